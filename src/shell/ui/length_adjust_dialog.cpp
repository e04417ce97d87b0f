#include "shell/ui/length_adjust_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "shell/ui/dialog_texts.h"
#include "shell/ui/number_box.h"
#include "shell/ui/widget_names.h"

namespace quillon {

TfrmLengthAdjustDialog::TfrmLengthAdjustDialog(QWidget *parent) : TLengthDialog(parent) {
  setObjectName(QStringLiteral("frmLengthAdjustDialog"));
  setWindowTitle(phrase(this, "frmLengthAdjustDialog"));
  resize(472, 344);
  auto *layout = new QVBoxLayout(this);
  auto *title = named(new QLabel(phrase(this, "lblLA_Title"), this), "lblLA_Title");
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);
  auto *description = named(new QLabel(phrase(this, "lblLA_Description"), this), "lblLA_Description");
  description->setWordWrap(true);
  layout->addWidget(title);
  layout->addWidget(description);

  auto *choices = new QGridLayout;
  rbNoAdjustment = named(new QRadioButton(phrase(this, "rbNoAdjustment"), this), "rbNoAdjustment");
  rbUseLength = named(new QRadioButton(phrase(this, "rbUseLength"), this), "rbUseLength");
  rbUseRatio = named(new QRadioButton(phrase(this, "rbUseRatio"), this), "rbUseRatio");
  rbNoAdjustment->setChecked(true);
  nbLength = addBox("nbLength", 1, 10000, 100, 2, true);
  nbAdjustRate = addBox("nbAdjustRate", -10, 10, -1.5, 2, false);
  nbAdjustRate->setSingleStep(0.1);
  choices->addWidget(rbNoAdjustment, 0, 0, 1, 3);
  choices->addWidget(rbUseLength, 1, 0);
  choices->addWidget(nbLength, 1, 1);
  choices->addWidget(unitLabel(), 1, 2);
  choices->addWidget(rbUseRatio, 2, 0);
  choices->addWidget(nbAdjustRate, 2, 1);
  choices->addWidget(new QLabel(QStringLiteral("%"), this), 2, 2);
  choices->setColumnStretch(3, 1);
  layout->addLayout(choices);
  layout->addStretch(1);

  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);

  for (QRadioButton *b : {rbNoAdjustment, rbUseLength, rbUseRatio})
    connect(b, &QRadioButton::toggled, this, &TfrmLengthAdjustDialog::updateEnabling);
  for (TNumberBox *box : FBoxes) {
    evaluateOnEnter(box, true);
    box->setSelectAllOnClick(true);
  }
  updateEnabling();
}

void TfrmLengthAdjustDialog::updateEnabling() {
  nbLength->setEnabled(rbUseLength->isChecked());
  nbAdjustRate->setEnabled(rbUseRatio->isChecked());
}

}  // namespace quillon
