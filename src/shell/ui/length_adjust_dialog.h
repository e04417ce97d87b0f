#pragma once
// TfrmLengthAdjustDialog ("Stretch Compensation"): how much a leather strip stretches
// when it is wrapped round: no compensation, the actual length, or a stretch ratio in
// per cent. Enter evaluates the typed arithmetic of a box and the dialog stays open.
#include "shell/ui/length_dialog.h"

class QRadioButton;

namespace quillon {

class TfrmLengthAdjustDialog : public TLengthDialog {
  Q_OBJECT
 public:
  explicit TfrmLengthAdjustDialog(QWidget *parent = nullptr);

  QRadioButton *rbNoAdjustment = nullptr;
  QRadioButton *rbUseLength = nullptr;
  QRadioButton *rbUseRatio = nullptr;
  TNumberBox *nbLength = nullptr;
  TNumberBox *nbAdjustRate = nullptr;

 private:
  // The length box is enabled only with the length choice, the ratio box only with the
  // ratio choice.
  void updateEnabling();
};

}  // namespace quillon
