#include "shell/ui/move_or_copy_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/ui/dialog_texts.h"
#include "shell/ui/number_box.h"
#include "shell/ui/widget_names.h"

namespace quillon {

TfrmMoveOrCopy::TfrmMoveOrCopy(QWidget *parent) : TLengthDialog(parent) {
  setObjectName(QStringLiteral("frmMoveOrCopy"));
  setWindowTitle(phrase(this, "frmMoveOrCopy"));
  setFixedSize(528, 200);
  auto *layout = new QVBoxLayout(this);
  auto *grid = new QGridLayout;
  nbDistanceX = addBox("nbDistanceX", -1000, 1000, 0, 2, true);
  nbDistanceY = addBox("nbDistanceY", -1000, 1000, 0, 2, true);
  grid->addWidget(named(new QLabel(phrase(this, "lblMC_moveto_x"), this), "lblMC_moveto_x"), 0, 0);
  grid->addWidget(nbDistanceX, 0, 1);
  grid->addWidget(unitLabel(), 0, 2);
  grid->addWidget(named(new QLabel(phrase(this, "lblMC_moveto_y"), this), "lblMC_moveto_y"), 1, 0);
  grid->addWidget(nbDistanceY, 1, 1);
  grid->addWidget(unitLabel(), 1, 2);
  grid->setColumnStretch(3, 1);
  layout->addLayout(grid);
  chkCopyInsteadOfMove =
      named(new QCheckBox(phrase(this, "chkCopyInsteadOfMove"), this), "chkCopyInsteadOfMove");
  layout->addWidget(chkCopyInsteadOfMove);
  layout->addStretch(1);

  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  btnMOC_reset_values = named(buttons->addButton(phrase(this, "btnMOC_reset_values"), QDialogButtonBox::ResetRole),
                              "btnMOC_reset_values");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(btnMOC_reset_values, &QPushButton::clicked, this, [this] {
    nbDistanceX->setExactValue(0);
    nbDistanceY->setExactValue(0);
  });
  layout->addWidget(buttons);

  for (TNumberBox *box : FBoxes) {
    evaluateOnEnter(box, true);
    box->setSelectAllOnClick(true);
    connect(box->editor(), &QLineEdit::textEdited, this, [box](const QString &text) {
      if (text.isEmpty()) box->editor()->setText(QStringLiteral("0"));
    });
    connect(box->editor(), &QLineEdit::textChanged, this, [this, box] { showHint(box); });
  }
}

}  // namespace quillon
