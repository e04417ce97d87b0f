#pragma once
// The options dialog in core terms: the values its controls show, filled from the
// settings and applied back to them when the user confirms with OK.
#include "shell/options.h"

namespace quillon {

class TEditor;

// One member per control of the options window, named after the control.
struct TOptionsDialogValues {
  bool rbAutoPitchFixed = false;
  bool rbAutoPitchAuto = true;
  bool chkForceFitLastPrick = true;
  double nbOP_AutoPitchPrecision = 0.001;    // 0.001 to 0.1, 3 decimals
  double nbOP_AutoPitchSteps = 50;           // at least 1, whole numbers
  double nbOP_AutoPitchGapAllowance = 0.1;   // 0.01 to 1
  bool chkUseAutoSave = false;
  bool chkIncrementalSelection = false;
  bool chkOP_TrimUndoHistory = true;         // also enables nbOP_GuaranteedUndoSteps
  double nbOP_GuaranteedUndoSteps = 20;      // 1 to 10000
  double nbPrintCalibrationX = 100;          // 50 to 150
  double nbPrintCalibrationY = 100;          // 50 to 150
  double nbBoxStitchDistance = 100;          // 0.1 to 1000, in the current unit
  int nbBoxStitchDistanceDecimals = 2;       // the decimals of the current unit
  bool chkOP_ReverseZoomDirection = false;
  bool chkOP_ReverseKeyboardPanDirection = true;
  bool rbUnitModeMetrics = true;
  bool rbUnitModeImperial = false;
  bool chkAutoDownload = false;
  bool chkNotifyNewImages = false;
};

// The controls' values from the settings. The box-stitch distance is shown in the
// current unit; the dialog's box for MentoriWithoutCtrl is not filled.
TOptionsDialogValues fillOptionsDialog(const TEditor &editor);

// Applies the values of a dialog closed with OK to the settings, then switches the unit
// when another one was chosen (the length format, the dimension precision box, a canvas
// refresh). Returns true when the unit changed, so the window can translate itself again
// and convert its number boxes.
bool applyOptionsDialog(TEditor &editor, const TOptionsDialogValues &values);

}  // namespace quillon
