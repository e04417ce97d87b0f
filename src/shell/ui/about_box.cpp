#include "shell/ui/about_box.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/ui/dialog_texts.h"
#include "shell/ui/widget_names.h"
#include "shell/version.h"

namespace quillon {

TfrmAbout::TfrmAbout(QWidget *parent) : QDialog(parent, Qt::Popup | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("frmAbout"));
  setWindowTitle(phrase(this, "frmAbout"));
  setFixedSize(440, 500);
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 24, 24, 24);
  imgLogo = named(new QLabel(this), "imgLogo");
  imgLogo->setPixmap(QIcon(QStringLiteral(":/icons/quillon.svg")).pixmap(240, 240));
  imgLogo->setAlignment(Qt::AlignCenter);
  auto *name = named(new QLabel(QStringLiteral("Quillon"), this), "lblName");
  QFont big = name->font();
  big.setPointSizeF(big.pointSizeF() * 2.0);
  big.setBold(true);
  name->setFont(big);
  name->setAlignment(Qt::AlignCenter);
  lblVersion = named(new QLabel(QStringLiteral("ver") + QString::fromLatin1(kQuillonVersion), this), "lblVersion");
  lblVersion->setAlignment(Qt::AlignCenter);
  lblCredit = named(new QLabel(phrase(this, "lblCredit"), this), "lblCredit");
  lblCredit->setAlignment(Qt::AlignCenter);
  lblCredit->setWordWrap(true);
  btnOK = named(new QPushButton(phrase(this, "commonOK"), this), "btnOK");
  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
  layout->addWidget(imgLogo, 1);
  layout->addWidget(name);
  layout->addWidget(lblVersion);
  layout->addWidget(lblCredit);
  layout->addWidget(btnOK, 0, Qt::AlignCenter);
}

}  // namespace quillon
