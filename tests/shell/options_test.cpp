#include "shell/options.h"

#include <gtest/gtest.h>

#include <memory>

#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/options_dialog.h"

namespace quillon {
namespace {

const QStringList kNoDocument{QStringLiteral("--instance-id"), QStringLiteral("1")};

TEST(QN_Options, ConstructorDefaults) {
  const TQN_Options o;
  EXPECT_FALSE(o.IsFixedPitchDefault);
  EXPECT_FALSE(o.UseAutoSave);
  EXPECT_TRUE(o.ForceFitLastPrick);
  EXPECT_FALSE(o.IncrementalSelectionMode);
  EXPECT_TRUE(o.MentoriWithoutCtrl);
  EXPECT_EQ(o.SVGDotRadius, 0.5f);
  EXPECT_EQ(o.PrintCalibration.X, 100.0f);
  EXPECT_EQ(o.PrintCalibration.Y, 100.0f);
  EXPECT_EQ(o.BoxStitchDistance, 100.0f);
  EXPECT_FALSE(o.SVG_with_templates);
  EXPECT_FALSE(o.SVG_with_text_shapes);
  EXPECT_TRUE(o.SVG_as_dots);
  EXPECT_TRUE(o.LangID.isEmpty());
  EXPECT_EQ(o.AutoPitchStopGap, 0.1f);
  EXPECT_EQ(o.AutoPitchSteps, 50);
  EXPECT_EQ(o.AutoPitchPrecision, 0.001f);
  EXPECT_TRUE(o.LastVersion.isEmpty());
  EXPECT_EQ(o.StitchColor, 0xFFFFFFFFu);
  EXPECT_EQ(o.StitchThickness, 3.0f);
  EXPECT_FALSE(o.ShowStitchPattern);
  EXPECT_TRUE(o.ShowLintWarnings);
  EXPECT_EQ(o.StitchOpacity, 1.0f);
  EXPECT_EQ(o.ThreadCycleMm, 1260.0f);
  EXPECT_EQ(o.LeatherThicknessMm, 2.0f);
  EXPECT_EQ(o.ThreadStartPhase, 0.5f);
  EXPECT_EQ(o.ThreadDiameterMm, 0.45f);
  EXPECT_EQ(o.LastThreadCode, "MEISI_SF:MS101");
  EXPECT_FALSE(o.ReverseMouseWheelZoomDirection);
  EXPECT_TRUE(o.ReverseCursorKeyGridAreaMove);
  EXPECT_TRUE(o.DXFExportInvertY);
  EXPECT_EQ(o.WhiteBGColor, 0xFFF8F8F8u);
  EXPECT_TRUE(o.LoadDemoProjectAtStartup);
  EXPECT_TRUE(o.PinSideBar);
  EXPECT_TRUE(o.DefaultFont.isEmpty());
  EXPECT_FALSE(o.PrintInColor);
  EXPECT_TRUE(o.HighlightSnapTargets);
  EXPECT_EQ(o.NotchAngle, 45.0f);
  EXPECT_EQ(o.NotchDepth, 2.0f);
  EXPECT_TRUE(o.UseDXFR14);
  EXPECT_FALSE(o.PrintRulerInside);
  EXPECT_EQ(o.UnitMode, umMM);
  EXPECT_FALSE(o.NewPrickingIronsAdded);
  EXPECT_FALSE(o.AutomaticallyDownloadLeatherSimImages);
  EXPECT_FALSE(o.NotifyNewOrUpdatedSimImages);
  EXPECT_FALSE(o.LeatherSimImageChoiseMade);
  EXPECT_EQ(o.AutoPrickMode, 0);
  EXPECT_EQ(o.CornerAngleThreshold, 160.0f);
  EXPECT_TRUE(o.TrimUndoHistory);
  EXPECT_EQ(o.GuaranteedUndoSteps, 20);
}

void expectFormat(const TLengthFormatSettings &f, TUnitMode unit, int large, int small) {
  EXPECT_EQ(f.UnitMode, unit);
  EXPECT_EQ(f.InchDisplayMode, idmHybrid);
  EXPECT_EQ(f.InchDecimalDigits, 6);
  EXPECT_EQ(f.InchFractionDenom, 64);
  EXPECT_EQ(f.MmDecimalDigits, 2);
  EXPECT_EQ(f.LargeTickInterval, large);
  EXPECT_EQ(f.SmallTickInterval, small);
}

TEST(QN_Options, SetUnitModeFillsTheLengthFormat) {
  TQN_Options o;
  expectFormat(o.LengthFormatSettings, umMM, 10, 5);  // the constructor's millimetre format

  // A format changed by hand is refilled by every switch.
  o.LengthFormatSettings.InchDisplayMode = idmFraction;
  o.LengthFormatSettings.MmDecimalDigits = 0;
  o.SetUnitMode(umIN);
  EXPECT_EQ(o.UnitMode, umIN);
  expectFormat(o.LengthFormatSettings, umIN, 8, 4);

  o.SetUnitMode(umMM);
  EXPECT_EQ(o.UnitMode, umMM);
  expectFormat(o.LengthFormatSettings, umMM, 10, 5);
}

class CountingUi : public TSilentEditorUi {
 public:
  void refreshCanvas() override { ++refreshes; }
  int refreshes = 0;
};

class OptionsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    editor = std::make_unique<TEditor>(ui, kNoDocument);
    ui.refreshes = 0;  // count only what the dialog causes
  }
  CountingUi ui;
  std::unique_ptr<TEditor> editor;
};

TEST_F(OptionsDialogTest, FillShowsTheSettings) {
  TQN_Options &o = *editor->FOptions;
  o.IsFixedPitchDefault = true;
  o.ForceFitLastPrick = false;
  o.AutoPitchPrecision = 0.005f;
  o.AutoPitchSteps = 70;
  o.AutoPitchStopGap = 0.25f;
  o.UseAutoSave = true;
  o.IncrementalSelectionMode = true;
  o.TrimUndoHistory = false;
  o.GuaranteedUndoSteps = 33;
  o.PrintCalibration = {99.0f, 101.5f};
  o.BoxStitchDistance = 42.0f;
  o.ReverseMouseWheelZoomDirection = true;
  o.ReverseCursorKeyGridAreaMove = false;
  o.AutomaticallyDownloadLeatherSimImages = true;
  o.NotifyNewOrUpdatedSimImages = false;

  const TOptionsDialogValues v = fillOptionsDialog(*editor);
  EXPECT_TRUE(v.rbAutoPitchFixed);
  EXPECT_FALSE(v.rbAutoPitchAuto);
  EXPECT_FALSE(v.chkForceFitLastPrick);
  EXPECT_EQ(v.nbOP_AutoPitchPrecision, static_cast<double>(0.005f));
  EXPECT_EQ(v.nbOP_AutoPitchSteps, 70.0);
  EXPECT_EQ(v.nbOP_AutoPitchGapAllowance, 0.25);
  EXPECT_TRUE(v.chkUseAutoSave);
  EXPECT_TRUE(v.chkIncrementalSelection);
  EXPECT_FALSE(v.chkOP_TrimUndoHistory);
  EXPECT_EQ(v.nbOP_GuaranteedUndoSteps, 33.0);
  EXPECT_EQ(v.nbPrintCalibrationX, 99.0);
  EXPECT_EQ(v.nbPrintCalibrationY, 101.5);
  EXPECT_EQ(v.nbBoxStitchDistance, 42.0);
  EXPECT_EQ(v.nbBoxStitchDistanceDecimals, 2);
  EXPECT_TRUE(v.chkOP_ReverseZoomDirection);
  EXPECT_FALSE(v.chkOP_ReverseKeyboardPanDirection);
  EXPECT_TRUE(v.rbUnitModeMetrics);
  EXPECT_FALSE(v.rbUnitModeImperial);
  EXPECT_TRUE(v.chkAutoDownload);
  EXPECT_FALSE(v.chkNotifyNewImages);
}

TEST_F(OptionsDialogTest, OkStoresEveryValueAndRounds) {
  TOptionsDialogValues v = fillOptionsDialog(*editor);
  v.rbAutoPitchFixed = true;
  v.rbAutoPitchAuto = false;
  v.chkForceFitLastPrick = false;
  v.nbOP_AutoPitchPrecision = 0.02;
  v.nbOP_AutoPitchSteps = 49.6;
  v.nbOP_AutoPitchGapAllowance = 0.5;
  v.chkUseAutoSave = true;
  v.chkIncrementalSelection = true;
  v.chkOP_TrimUndoHistory = false;
  v.nbOP_GuaranteedUndoSteps = 12.5;  // halves to even
  v.nbPrintCalibrationX = 98.5;
  v.nbPrintCalibrationY = 102;
  v.nbBoxStitchDistance = 55;
  v.chkOP_ReverseZoomDirection = true;
  v.chkOP_ReverseKeyboardPanDirection = false;
  v.chkAutoDownload = false;
  v.chkNotifyNewImages = true;
  editor->FOptions->MentoriWithoutCtrl = false;  // not on the dialog: stays

  EXPECT_FALSE(applyOptionsDialog(*editor, v));
  const TQN_Options &o = *editor->FOptions;
  EXPECT_TRUE(o.IsFixedPitchDefault);
  EXPECT_EQ(editor->panel().PitchMode, TPitchMode::Fixed);
  EXPECT_FALSE(o.ForceFitLastPrick);
  EXPECT_EQ(o.AutoPitchPrecision, 0.02f);
  EXPECT_EQ(o.AutoPitchSteps, 50);
  EXPECT_EQ(o.AutoPitchStopGap, 0.5f);
  EXPECT_TRUE(o.UseAutoSave);
  EXPECT_TRUE(o.IncrementalSelectionMode);
  EXPECT_FALSE(o.TrimUndoHistory);
  EXPECT_EQ(o.GuaranteedUndoSteps, 12);
  EXPECT_EQ(o.PrintCalibration.X, 98.5f);
  EXPECT_EQ(o.PrintCalibration.Y, 102.0f);
  EXPECT_EQ(o.BoxStitchDistance, 55.0f);
  EXPECT_TRUE(o.ReverseMouseWheelZoomDirection);
  EXPECT_FALSE(o.ReverseCursorKeyGridAreaMove);
  EXPECT_FALSE(o.AutomaticallyDownloadLeatherSimImages);
  EXPECT_TRUE(o.NotifyNewOrUpdatedSimImages);
  EXPECT_TRUE(o.LeatherSimImageChoiseMade);
  EXPECT_FALSE(o.MentoriWithoutCtrl);
  EXPECT_EQ(ui.refreshes, 0);  // the unit did not change

  // Pitch mode follows "not automatic"; undo steps are at least 1.
  v.rbAutoPitchFixed = false;
  v.rbAutoPitchAuto = true;
  v.nbOP_GuaranteedUndoSteps = 0.4;
  applyOptionsDialog(*editor, v);
  EXPECT_FALSE(editor->FOptions->IsFixedPitchDefault);
  EXPECT_EQ(editor->panel().PitchMode, TPitchMode::Auto);
  EXPECT_EQ(editor->FOptions->GuaranteedUndoSteps, 1);
}

TEST_F(OptionsDialogTest, UnitSwitchConvertsOnceAndSetsTheDimensionPrecision) {
  editor->panel().DimPrecision = 1;
  TOptionsDialogValues v = fillOptionsDialog(*editor);
  ASSERT_TRUE(v.rbUnitModeMetrics);
  // Only the unit changes: the distance box still shows millimetres.
  v.rbUnitModeMetrics = false;
  v.rbUnitModeImperial = true;
  EXPECT_TRUE(applyOptionsDialog(*editor, v));
  EXPECT_EQ(editor->FOptions->UnitMode, umIN);
  EXPECT_EQ(editor->FOptions->LengthFormatSettings.LargeTickInterval, 8);
  EXPECT_EQ(editor->FOptions->BoxStitchDistance, 100.0f);
  EXPECT_EQ(editor->panel().DimPrecision, 4);
  EXPECT_EQ(ui.refreshes, 1);

  // Now the box shows inches: 127 mm is 5 in, with the inch decimals; 2 in back is 50.8 mm.
  editor->FOptions->BoxStitchDistance = 127.0f;
  v = fillOptionsDialog(*editor);
  EXPECT_TRUE(v.rbUnitModeImperial);
  EXPECT_DOUBLE_EQ(v.nbBoxStitchDistance, 5.0);
  EXPECT_EQ(v.nbBoxStitchDistanceDecimals, 6);
  v.nbBoxStitchDistance = 2.0;
  EXPECT_FALSE(applyOptionsDialog(*editor, v));  // same unit: nothing more happens
  EXPECT_EQ(editor->FOptions->BoxStitchDistance, 50.8f);
  EXPECT_EQ(editor->panel().DimPrecision, 4);
  EXPECT_EQ(ui.refreshes, 1);

  v.rbUnitModeImperial = false;
  v.rbUnitModeMetrics = true;
  EXPECT_TRUE(applyOptionsDialog(*editor, v));
  EXPECT_EQ(editor->FOptions->UnitMode, umMM);
  EXPECT_EQ(editor->FOptions->LengthFormatSettings.SmallTickInterval, 5);
  EXPECT_EQ(editor->panel().DimPrecision, 2);
  EXPECT_EQ(ui.refreshes, 2);
}

}  // namespace
}  // namespace quillon
