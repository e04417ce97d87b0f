#include "shell/ui/font_list_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "shell/font_list.h"
#include "shell/ui/dialog_texts.h"
#include "shell/ui/widget_names.h"

namespace quillon {

TfrmFontList::TfrmFontList(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmFontList"));
  setWindowTitle(phrase(this, "frmFontList"));
  resize(704, 472);
  auto *grid = new QGridLayout(this);
  memoFontList = named(new QPlainTextEdit(this), "memoFontList");
  cmbFontList = named(new QComboBox(this), "cmbFontList");
  memoPreviewText = named(new QPlainTextEdit(this), "memoPreviewText");
  grid->addWidget(new QLabel(phrase(this, "lblFontList"), this), 0, 0);
  grid->addWidget(memoFontList, 1, 0, 3, 1);
  grid->addWidget(cmbFontList, 1, 1);
  grid->addWidget(new QLabel(phrase(this, "lblFontPreview"), this), 2, 1);
  grid->addWidget(memoPreviewText, 3, 1);
  grid->setColumnStretch(0, 2);
  grid->setColumnStretch(1, 3);

  auto *buttons = new QDialogButtonBox(this);
  Button1 = named(buttons->addButton(phrase(this, "btnFontListReset"), QDialogButtonBox::ResetRole), "Button1");
  buttons->addButton(QDialogButtonBox::Ok);
  QPushButton *cancel = buttons->addButton(QDialogButtonBox::Cancel);
  cancel->setDefault(true);
  grid->addWidget(buttons, 4, 0, 1, 2);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(Button1, &QPushButton::clicked, this,
          [this] { memoFontList->setPlainText(GetSystemFonts().join(QLatin1Char('\n'))); });
  connect(memoFontList, &QPlainTextEdit::textChanged, this, &TfrmFontList::memoFontListChangeTracking);
  connect(cmbFontList, &QComboBox::currentIndexChanged, this, &TfrmFontList::updatePreview);
}

bool TfrmFontList::execute(QStringList &families, const QString &langID) {
  memoFontList->setPlainText(families.join(QLatin1Char('\n')));
  if (memoPreviewText->toPlainText().isEmpty()) memoPreviewText->setPlainText(fontPreviewText(langID));
  if (exec() != QDialog::Accepted) return false;
  families = fontListFromText(memoFontList->toPlainText());
  return true;
}

void TfrmFontList::memoFontListChangeTracking() {
  const QStringList names = fontListFromText(memoFontList->toPlainText());
  {
    const QSignalBlocker block(cmbFontList);
    for (int k = 0; k < names.size(); ++k) {
      if (k < cmbFontList->count())
        cmbFontList->setItemText(k, names[k]);
      else
        cmbFontList->addItem(names[k]);
    }
    while (cmbFontList->count() > names.size()) cmbFontList->removeItem(cmbFontList->count() - 1);
    if (cmbFontList->count() > 0 && cmbFontList->currentIndex() < 0) cmbFontList->setCurrentIndex(0);
  }
  updatePreview();
}

void TfrmFontList::updatePreview() {
  QPalette palette = memoPreviewText->palette();
  const bool chosen = cmbFontList->currentIndex() >= 0;
  palette.setColor(QPalette::Text, chosen ? QColor(0xFF000000u) : QColor(0xFF808080u));
  memoPreviewText->setPalette(palette);
  if (chosen) {
    QFont font = memoPreviewText->font();
    font.setFamily(cmbFontList->currentText());
    memoPreviewText->setFont(font);
  }
  memoPreviewText->viewport()->update();
}

}  // namespace quillon
