#include "shell/ui/options_dialog_window.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QRadioButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/options.h"

namespace quillon {
namespace {

const QStringList kNoDocument{QStringLiteral("--instance-id"), QStringLiteral("1")};

TEST(OptionsWindow, ControlsCarryTheirNamesAndRanges) {
  TfrmOptions form;
  struct Box {
    const char *name;
    double minimum, maximum;
  };
  const Box boxes[] = {
      {"nbOP_AutoPitchPrecision", 0.001, 0.1}, {"nbOP_AutoPitchGapAllowance", 0.01, 1},
      {"nbOP_GuaranteedUndoSteps", 1, 10000},  {"nbPrintCalibrationX", 50, 150},
      {"nbPrintCalibrationY", 50, 150},        {"nbBoxStitchDistance", 0.1, 1000},
  };
  for (const Box &b : boxes) {
    auto *box = form.findChild<QDoubleSpinBox *>(QString::fromLatin1(b.name));
    ASSERT_NE(box, nullptr) << b.name;
    EXPECT_DOUBLE_EQ(box->minimum(), b.minimum) << b.name;
    EXPECT_DOUBLE_EQ(box->maximum(), b.maximum) << b.name;
  }
  EXPECT_EQ(form.findChild<QDoubleSpinBox *>("nbOP_AutoPitchSteps")->minimum(), 1.0);
  EXPECT_EQ(form.findChild<QDoubleSpinBox *>("nbOP_AutoPitchSteps")->decimals(), 0);
  EXPECT_EQ(form.findChild<QDoubleSpinBox *>("nbOP_AutoPitchPrecision")->decimals(), 3);
  for (const char *name : {"rbAutoPitchFixed", "rbAutoPitchAuto", "rbUnitModeMetrics", "rbUnitModeImperial"})
    EXPECT_NE(form.findChild<QRadioButton *>(QString::fromLatin1(name)), nullptr) << name;
  for (const char *name : {"chkForceFitLastPrick", "chkUseAutoSave", "chkIncrementalSelection", "chkOP_TrimUndoHistory",
                           "chkOP_ReverseZoomDirection", "chkOP_ReverseKeyboardPanDirection", "chkAutoDownload",
                           "chkNotifyNewImages"})
    EXPECT_NE(form.findChild<QCheckBox *>(QString::fromLatin1(name)), nullptr) << name;
}

TEST(OptionsWindow, ShowsAndReadsBackValues) {
  TfrmOptions form;
  TOptionsDialogValues in;
  in.rbAutoPitchFixed = true;
  in.rbAutoPitchAuto = false;
  in.chkForceFitLastPrick = false;
  in.nbOP_AutoPitchPrecision = 0.005;
  in.nbOP_AutoPitchSteps = 75;
  in.nbOP_AutoPitchGapAllowance = 0.3;
  in.chkUseAutoSave = true;
  in.chkOP_TrimUndoHistory = false;
  in.nbOP_GuaranteedUndoSteps = 40;
  in.nbPrintCalibrationX = 200;  // beyond the box's range
  in.nbPrintCalibrationY = 99.5;
  in.nbBoxStitchDistance = 3.937008;
  in.nbBoxStitchDistanceDecimals = 6;
  in.rbUnitModeMetrics = false;
  in.rbUnitModeImperial = true;
  in.chkNotifyNewImages = true;
  form.setValues(in);

  const TOptionsDialogValues out = form.values();
  EXPECT_TRUE(out.rbAutoPitchFixed);
  EXPECT_FALSE(out.rbAutoPitchAuto);
  EXPECT_FALSE(out.chkForceFitLastPrick);
  EXPECT_DOUBLE_EQ(out.nbOP_AutoPitchPrecision, 0.005);
  EXPECT_DOUBLE_EQ(out.nbOP_AutoPitchSteps, 75);
  EXPECT_DOUBLE_EQ(out.nbOP_AutoPitchGapAllowance, 0.3);
  EXPECT_TRUE(out.chkUseAutoSave);
  EXPECT_FALSE(out.chkOP_TrimUndoHistory);
  EXPECT_DOUBLE_EQ(out.nbOP_GuaranteedUndoSteps, 40);
  EXPECT_DOUBLE_EQ(out.nbPrintCalibrationX, 150);
  EXPECT_DOUBLE_EQ(out.nbPrintCalibrationY, 99.5);
  EXPECT_DOUBLE_EQ(out.nbBoxStitchDistance, 3.937008);
  EXPECT_TRUE(out.rbUnitModeImperial);
  EXPECT_FALSE(out.rbUnitModeMetrics);
  EXPECT_TRUE(out.chkNotifyNewImages);
  EXPECT_FALSE(out.chkAutoDownload);
}

TEST(OptionsWindow, UndoStepsBoxFollowsTheTrimBox) {
  TfrmOptions form;
  TOptionsDialogValues v;
  v.chkOP_TrimUndoHistory = false;
  form.setValues(v);
  EXPECT_FALSE(form.nbOP_GuaranteedUndoSteps->isEnabled());
  EXPECT_FALSE(form.lblOP_GuaranteedUndoSteps->isEnabled());
  form.chkOP_TrimUndoHistory->setChecked(true);
  EXPECT_TRUE(form.nbOP_GuaranteedUndoSteps->isEnabled());
  EXPECT_TRUE(form.lblOP_GuaranteedUndoSteps->isEnabled());
  form.chkOP_TrimUndoHistory->setChecked(false);
  EXPECT_FALSE(form.nbOP_GuaranteedUndoSteps->isEnabled());
}

TEST(OptionsWindow, OkAppliesAndCancelChangesNothing) {
  TSilentEditorUi ui;
  TEditor editor(ui, kNoDocument);
  TfrmOptions form;

  // Cancel, after changing controls: every setting stays, the unit too.
  QTimer::singleShot(0, &form, [&form] {
    form.chkUseAutoSave->setChecked(true);
    form.rbUnitModeImperial->setChecked(true);
    form.reject();
  });
  bool unitChanged = true;
  EXPECT_FALSE(form.execute(editor, &unitChanged));
  EXPECT_FALSE(unitChanged);
  EXPECT_FALSE(editor.FOptions->UseAutoSave);
  EXPECT_EQ(editor.FOptions->UnitMode, umMM);

  // OK: the controls' values reach the settings; the form was refilled from them first.
  QTimer::singleShot(0, &form, [&form] {
    EXPECT_FALSE(form.chkUseAutoSave->isChecked());
    form.chkUseAutoSave->setChecked(true);
    form.rbUnitModeImperial->setChecked(true);
    form.accept();
  });
  EXPECT_TRUE(form.execute(editor, &unitChanged));
  EXPECT_TRUE(unitChanged);
  EXPECT_TRUE(editor.FOptions->UseAutoSave);
  EXPECT_EQ(editor.FOptions->UnitMode, umIN);
}

}  // namespace
}  // namespace quillon
