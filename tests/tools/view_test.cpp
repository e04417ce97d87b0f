// View transform and the commands that change the view.
#include <gtest/gtest.h>

#include <cmath>

#include "shell/deletion.h"
#include "shell/options.h"
#include "shell/throttle.h"
#include "support/editor_fixture.h"
#include "tools/view_commands.h"
#include "shell/view_transform.h"
#include "tools/snapping.h"

namespace quillon {
namespace {

class ViewTest : public test::EditorTest {
 protected:
  void SetUp() override {
    editor.view().FBoxWidth = 1000.0f;
    editor.view().FBoxHeight = 800.0f;
  }
  // A dot of radius 0: its bounds have no size.
  TQN_Path *addDot(TPointF c) {
    auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
    s->drawDotPath(c, 0.0f);
    return editor.doc().add(std::move(s), 0);
  }
};

TEST_F(ViewTest, ViewAllOfEmptyDocumentIsTheStartView) {
  editor.view().FScale = 37.0f;
  editor.view().FOffset = {12.0f, -4.0f};
  actResetViewExecute(editor);
  EXPECT_FLOAT_EQ(editor.view().FScale, 10.0f);
  EXPECT_EQ(editor.view().FOffset, (TPointF{0.0f, 0.0f}));
}

TEST_F(ViewTest, ViewAllFitsASingleDotAsTenMillimetreSquare) {
  addDot({20.0f, 30.0f});
  actResetViewExecute(editor);
  // min(1000/10, 800/10) = 80 -> round(800.5)/10 = 80.0
  EXPECT_FLOAT_EQ(editor.view().FScale, 80.0f);
  // The grown corner (15, 25) lands 5 px outside the box's top-left.
  EXPECT_FLOAT_EQ(editor.view().FOffset.X, -15.0f * 80.0f - 5.0f);
  EXPECT_FLOAT_EQ(editor.view().FOffset.Y, -25.0f * 80.0f - 5.0f);
  const TPointF corner = realToVirtual(editor.view(), {15.0f, 25.0f});
  EXPECT_FLOAT_EQ(corner.X, -5.0f);
  EXPECT_FLOAT_EQ(corner.Y, -5.0f);
}

TEST_F(ViewTest, ViewAllRoundsTheScaleUpToATenthAndMayExceedTheZoomLimit) {
  addLine({0.0f, 0.0f}, {190.0f, 0.0f});  // grown to 200 x 10 mm
  actResetViewExecute(editor);
  // min(1000/200, 800/10) = 5 -> round(50.5) = 50 (halves to even) -> 5.0
  EXPECT_FLOAT_EQ(editor.view().FScale, 5.0f);

  clearDocumentShapes(editor);
  addDot({0.0f, 0.0f});
  editor.view().FBoxWidth = 4000.0f;
  editor.view().FBoxHeight = 3000.0f;
  actResetViewExecute(editor);
  EXPECT_FLOAT_EQ(editor.view().FScale, 300.0f);  // not clamped
  pboxMouseWheel(editor, 0, 120, {10.0f, 10.0f});
  EXPECT_FLOAT_EQ(editor.view().FScale, kMaxScale);
}

TEST_F(ViewTest, WheelZoomKeepsThePointUnderThePointer) {
  editor.view().FScale = 10.0f;
  editor.view().FOffset = {100.0f, 50.0f};
  const TPointF pointer{400.0f, 300.0f};
  const TPointF before = virtualToReal(editor, pointer);
  pboxMouseWheel(editor, 0, 120, pointer);
  EXPECT_NEAR(editor.view().FScale, 10.0f * 1.18099f, 1e-4);
  const TPointF under = realToVirtual(editor.view(), before);
  EXPECT_NEAR(under.X, pointer.X, 1e-3);
  EXPECT_NEAR(under.Y, pointer.Y, 1e-3);
}

TEST_F(ViewTest, WheelZoomClampsAtBothEnds) {
  struct Case {
    float start;
    int delta;
    float expected;
  } cases[] = {{180.0f, 120, 200.0f}, {0.11f, -120, 0.1f}, {199.0f, 500, 200.0f}, {0.2f, -1000, 0.1f}};
  for (const Case &c : cases) {
    editor.view().FScale = c.start;
    pboxMouseWheel(editor, 0, c.delta, {10.0f, 10.0f});
    EXPECT_FLOAT_EQ(editor.view().FScale, c.expected) << "from " << c.start;
  }
}

TEST_F(ViewTest, WheelOutsideTheBoxZoomsAboutTheLastPointer) {
  editor.pointer().FLastMousePos = {200.0f, 100.0f};
  const TPointF before = virtualToReal(editor, editor.pointer().FLastMousePos);
  pboxMouseWheel(editor, 0, -120, {-5.0f, 900.0f});
  const TPointF under = realToVirtual(editor.view(), before);
  EXPECT_NEAR(under.X, 200.0f, 1e-3);
  EXPECT_NEAR(under.Y, 100.0f, 1e-3);
}

TEST_F(ViewTest, ShiftWheelPansAndTheReverseSettingNegates) {
  pboxMouseWheel(editor, ssShift, 120, {10.0f, 10.0f});
  EXPECT_FLOAT_EQ(editor.view().FOffset.X, 60.0f);
  pboxMouseWheel(editor, ssShift | ssAlt, 120, {10.0f, 10.0f});
  EXPECT_FLOAT_EQ(editor.view().FOffset.Y, -60.0f);
  pboxMouseWheel(editor, ssShift, 121, {10.0f, 10.0f});  // 121 div 2 = 60
  EXPECT_FLOAT_EQ(editor.view().FOffset.X, 120.0f);
  editor.FOptions->ReverseMouseWheelZoomDirection = true;
  pboxMouseWheel(editor, ssShift, 120, {10.0f, 10.0f});
  EXPECT_FLOAT_EQ(editor.view().FOffset.X, 60.0f);
  EXPECT_FLOAT_EQ(editor.view().FScale, 10.0f);  // no zoom happened
}

TEST_F(ViewTest, ZoomGestureStartsByRecordingTheDistance) {
  TGestureEvent e;
  e.Kind = TGestureKind::Zoom;
  e.Distance = 100;
  e.Location = {0.0f, 0.0f};
  EXPECT_TRUE(pboxGesture(editor, e));  // no begin flag, nothing under way: records only
  EXPECT_FLOAT_EQ(editor.view().FScale, 10.0f);
  e.Distance = 200;
  pboxGesture(editor, e);
  EXPECT_FLOAT_EQ(editor.view().FScale, 20.0f);
  e.End = true;
  e.Distance = 300;
  pboxGesture(editor, e);
  EXPECT_FLOAT_EQ(editor.view().FScale, 30.0f);
  EXPECT_FLOAT_EQ(editor.view().FGestureLastZoomDistance, 0.0f);

  TGestureEvent pan;
  pan.Kind = TGestureKind::Pan;
  pan.Begin = true;
  pan.Location = {10.0f, 10.0f};
  pboxGesture(editor, pan);
  pan.Begin = false;
  pan.Location = {25.0f, 5.0f};
  pboxGesture(editor, pan);
  EXPECT_EQ(editor.view().FOffset, (TPointF{15.0f, -5.0f}));
  TGestureEvent other;
  EXPECT_FALSE(pboxGesture(editor, other));
}

TEST_F(ViewTest, ArrowKeysMoveOffsetAndPointerTogether) {
  ASSERT_TRUE(editor.FOptions->ReverseCursorKeyGridAreaMove);  // the default
  editor.pointer().FLastMousePos = {5.0f, 5.0f};
  panByArrowKey(editor, 1, 0);
  EXPECT_EQ(editor.view().FOffset, (TPointF{-50.0f, 0.0f}));
  EXPECT_EQ(editor.pointer().FLastMousePos, (TPointF{-45.0f, 5.0f}));
  editor.FOptions->ReverseCursorKeyGridAreaMove = false;
  panByArrowKey(editor, 0, 1);
  EXPECT_EQ(editor.view().FOffset, (TPointF{-50.0f, 50.0f}));
}

TEST_F(ViewTest, VirtualToRealSnapsUnlessCtrlWasHeld) {
  addLine({10.0f, 10.0f}, {20.0f, 10.0f});
  // 3 px from the line's start at scale 10.
  const TPointF pixel{103.0f, 100.0f};
  EXPECT_EQ(virtualToReal(editor, pixel, true), (TPointF{10.0f, 10.0f}));
  editor.pointer().FLastShiftState = ssCtrl;
  EXPECT_EQ(virtualToReal(editor, pixel, true), (TPointF{10.3f, 10.0f}));
  // Without snapping the raw position is rounded to three decimals.
  EXPECT_FLOAT_EQ(virtualToReal(editor, {100.0625f, 0.0f}).X, 10.006f);
}

TEST_F(ViewTest, ViewSwitchesAndTheKeyRepeatGuard) {
  const bool grid = editor.display().FShowGrid;
  actShowHideGridExecute(editor);
  EXPECT_NE(editor.display().FShowGrid, grid);

  const bool dims = editor.display().FShowDimensionShapes;
  actShowHideDimensionLinesExecute(editor);
  EXPECT_NE(editor.display().FShowDimensionShapes, dims);
  actShowHideDimensionLinesExecute(editor);  // a repeat within 400 ms is ignored
  EXPECT_NE(editor.display().FShowDimensionShapes, dims);
  EXPECT_FALSE(isThrottled(editor, QStringLiteral("F7"), 400));
  EXPECT_TRUE(isThrottled(editor, QStringLiteral("F7"), 400));

  editor.snap().FStickyExists = true;
  editor.snap().FStickyPoint = {3.0f, 4.0f};
  actShowHideScaleExecute(editor);
  EXPECT_TRUE(editor.display().FShowRuler);
  EXPECT_TRUE(editor.tool().FRulerFixed);
  EXPECT_EQ(editor.tool().FRulerRealSt, (TPointF{3.0f, 4.0f}));
}

}  // namespace
}  // namespace quillon

namespace quillon {
namespace {

class WheelThicknessTest : public test::EditorTest {};

TEST_F(WheelThicknessTest, AltWheelStepsTheSelectedThicknessInsideItsRange) {
  struct Case {
    float start;
    int delta;
    float expected;
  } cases[] = {{1.0f, 120, 1.5f}, {19.8f, 120, 20.3f}, {20.3f, 120, 20.3f},
               {1.2f, -120, 0.7f}, {0.7f, -120, 0.7f}, {5.0f, 0, 4.5f}};
  for (const Case &c : cases) {
    TQN_Path *line = addLine({0.0f, 0.0f}, {10.0f, 0.0f});
    line->FThickness = c.start;
    line->SetSelected(true);
    const std::size_t before = undoStates();
    pboxMouseWheel(editor, ssAlt, c.delta, {5.0f, 5.0f});
    EXPECT_FLOAT_EQ(line->FThickness, c.expected) << c.start << " " << c.delta;
    EXPECT_EQ(undoStates(), before + 1);  // a snapshot, changed or not
    line->SetSelected(false);
  }
}

}  // namespace
}  // namespace quillon
