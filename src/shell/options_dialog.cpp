#include "shell/options_dialog.h"

#include "shell/undo.h"

#include <algorithm>

#include "platform/number_text.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"

namespace quillon {

namespace {

constexpr double kMmPerInch = 25.4;

// A length box shows millimetres or inches; these turn its number into millimetres and
// back for the given unit.
double lengthToBox(double mm, TUnitMode unit) { return unit == umIN ? mm / kMmPerInch : mm; }
double lengthFromBox(double value, TUnitMode unit) { return unit == umIN ? value * kMmPerInch : value; }

}  // namespace

TOptionsDialogValues fillOptionsDialog(const TEditor &editor) {
  const TQN_Options &o = *editor.FOptions;
  TOptionsDialogValues v;
  v.rbAutoPitchFixed = o.IsFixedPitchDefault;
  v.rbAutoPitchAuto = !o.IsFixedPitchDefault;
  v.chkForceFitLastPrick = o.ForceFitLastPrick;
  v.nbOP_AutoPitchPrecision = o.AutoPitchPrecision;
  v.nbOP_AutoPitchSteps = o.AutoPitchSteps;
  v.nbOP_AutoPitchGapAllowance = o.AutoPitchStopGap;
  v.chkUseAutoSave = o.UseAutoSave;
  v.chkIncrementalSelection = o.IncrementalSelectionMode;
  v.chkOP_TrimUndoHistory = o.TrimUndoHistory;
  v.nbOP_GuaranteedUndoSteps = o.GuaranteedUndoSteps;
  v.nbPrintCalibrationX = o.PrintCalibration.X;
  v.nbPrintCalibrationY = o.PrintCalibration.Y;
  v.nbBoxStitchDistance = lengthToBox(o.BoxStitchDistance, o.UnitMode);
  v.nbBoxStitchDistanceDecimals = o.UnitMode == umIN ? o.LengthFormatSettings.InchDecimalDigits
                                                     : o.LengthFormatSettings.MmDecimalDigits;
  v.chkOP_ReverseZoomDirection = o.ReverseMouseWheelZoomDirection;
  v.chkOP_ReverseKeyboardPanDirection = o.ReverseCursorKeyGridAreaMove;
  v.rbUnitModeMetrics = o.UnitMode != umIN;
  v.rbUnitModeImperial = o.UnitMode == umIN;
  v.chkAutoDownload = o.AutomaticallyDownloadLeatherSimImages;
  v.chkNotifyNewImages = o.NotifyNewOrUpdatedSimImages;
  return v;
}

bool applyOptionsDialog(TEditor &editor, const TOptionsDialogValues &v) {
  TQN_Options &o = *editor.FOptions;
  o.IsFixedPitchDefault = !v.rbAutoPitchAuto;
  o.ForceFitLastPrick = v.chkForceFitLastPrick;
  o.AutoPitchPrecision = static_cast<float>(v.nbOP_AutoPitchPrecision);
  o.AutoPitchSteps = static_cast<int>(roundHalfEven(v.nbOP_AutoPitchSteps));
  o.AutoPitchStopGap = static_cast<float>(v.nbOP_AutoPitchGapAllowance);
  o.UseAutoSave = v.chkUseAutoSave;
  o.IncrementalSelectionMode = v.chkIncrementalSelection;
  o.TrimUndoHistory = v.chkOP_TrimUndoHistory;
  o.GuaranteedUndoSteps = std::max(1, static_cast<int>(roundHalfEven(v.nbOP_GuaranteedUndoSteps)));
  trimUndoHistory(editor);
  o.PrintCalibration = {static_cast<float>(v.nbPrintCalibrationX), static_cast<float>(v.nbPrintCalibrationY)};
  editor.panel().PitchMode = o.IsFixedPitchDefault ? TPitchMode::Fixed : TPitchMode::Auto;
  o.BoxStitchDistance = static_cast<float>(lengthFromBox(v.nbBoxStitchDistance, o.UnitMode));
  o.ReverseMouseWheelZoomDirection = v.chkOP_ReverseZoomDirection;
  o.ReverseCursorKeyGridAreaMove = v.chkOP_ReverseKeyboardPanDirection;
  o.AutomaticallyDownloadLeatherSimImages = v.chkAutoDownload;
  o.NotifyNewOrUpdatedSimImages = v.chkNotifyNewImages;
  // The update-check timer is switched on here exactly when either download option is on;
  // it comes with the catalog update check, which does not exist yet.
  o.LeatherSimImageChoiseMade = true;

  const TUnitMode unit = v.rbUnitModeImperial ? umIN : umMM;
  if (unit == o.UnitMode) return false;
  o.SetUnitMode(unit);
  // The window translates itself again and converts its registered number boxes when this
  // returns true (the box conversion comes with the length-unit module).
  editor.panel().DimPrecision = unit == umIN ? 4 : 2;
  editor.ui().refreshCanvas();
  return true;
}

}  // namespace quillon
