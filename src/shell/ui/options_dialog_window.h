#pragma once
// TfrmOptions: the options window. It shows a TOptionsDialogValues in its controls and
// reads them back; the settings themselves are changed by applyOptionsDialog.
#include <QDialog>

#include "shell/options_dialog.h"

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QRadioButton;

namespace quillon {

class TEditor;

class TfrmOptions : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmOptions(QWidget *parent = nullptr);
  ~TfrmOptions() override;

  void setValues(const TOptionsDialogValues &values);
  TOptionsDialogValues values() const;

  // The options command: fills the controls from the editor's settings, shows the window
  // modally and applies it when closed with OK. Returns true for OK; unitChanged (when
  // given) tells whether OK switched the unit, after which the main window translates
  // itself again and converts its number boxes.
  bool execute(TEditor &editor, bool *unitChanged = nullptr);

  QRadioButton *rbAutoPitchFixed = nullptr;
  QRadioButton *rbAutoPitchAuto = nullptr;
  QCheckBox *chkForceFitLastPrick = nullptr;
  QDoubleSpinBox *nbOP_AutoPitchPrecision = nullptr;
  QDoubleSpinBox *nbOP_AutoPitchSteps = nullptr;
  QDoubleSpinBox *nbOP_AutoPitchGapAllowance = nullptr;
  QCheckBox *chkUseAutoSave = nullptr;
  QCheckBox *chkIncrementalSelection = nullptr;
  QCheckBox *chkOP_TrimUndoHistory = nullptr;
  QLabel *lblOP_GuaranteedUndoSteps = nullptr;
  QDoubleSpinBox *nbOP_GuaranteedUndoSteps = nullptr;
  QDoubleSpinBox *nbPrintCalibrationX = nullptr;
  QDoubleSpinBox *nbPrintCalibrationY = nullptr;
  QDoubleSpinBox *nbBoxStitchDistance = nullptr;
  QCheckBox *chkOP_ReverseZoomDirection = nullptr;
  QCheckBox *chkOP_ReverseKeyboardPanDirection = nullptr;
  QRadioButton *rbUnitModeMetrics = nullptr;
  QRadioButton *rbUnitModeImperial = nullptr;
  QCheckBox *chkAutoDownload = nullptr;
  QCheckBox *chkNotifyNewImages = nullptr;

 protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

 private:
  void updateUndoStepsEnabled();
};

}  // namespace quillon
