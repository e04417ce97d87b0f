#pragma once
// TfrmMoveOrCopy ("Move or copy to a set distance"): a displacement in X and Y and whether
// the original shapes stay. Enter evaluates the typed arithmetic of a box and the dialog
// stays open; a box emptied while typing shows 0.
#include "shell/ui/length_dialog.h"

class QCheckBox;
class QPushButton;

namespace quillon {

class TfrmMoveOrCopy : public TLengthDialog {
  Q_OBJECT
 public:
  explicit TfrmMoveOrCopy(QWidget *parent = nullptr);

  TNumberBox *nbDistanceX = nullptr;
  TNumberBox *nbDistanceY = nullptr;
  QCheckBox *chkCopyInsteadOfMove = nullptr;
  QPushButton *btnMOC_reset_values = nullptr;
};

}  // namespace quillon
