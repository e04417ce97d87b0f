// The pointer state machine driven with synthetic presses, moves and releases.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "shell/deletion.h"
#include "shell/undo.h"
#include "support/editor_fixture.h"
#include "tools/dragging.h"
#include "tools/pointer.h"
#include "shell/view_transform.h"
#include "tools/snapping.h"
#include "tools/tool_change.h"

namespace quillon {
namespace {

// Scale 10, offset 0: pixel = 10 x millimetres.
class PointerTest : public test::EditorTest {
 protected:
  void SetUp() override {
    editor.view().FBoxWidth = 1000.0f;
    editor.view().FBoxHeight = 800.0f;
    editor.display().FShowGrid = false;
  }
  void click(float x, float y, TShiftState shift = 0, TMouseButton b = TMouseButton::Left) {
    pointerDown(editor, b, shift, x, y);
    pointerUp(editor, b, shift, x, y);
  }
  // A drag in steps of about 2 px, as a real pointer moves (a drag starts at the first
  // move, judged at that move's position).
  void drag(TPointF from, TPointF to, TShiftState shift = 0, TMouseButton b = TMouseButton::Left) {
    const int steps = std::max(1, int(std::hypot(to.X - from.X, to.Y - from.Y) / 2.0f));
    pointerDown(editor, b, shift, from.X, from.Y);
    for (int i = 1; i <= steps; ++i) {
      const float f = float(i) / float(steps);
      pointerMove(editor, shift, from.X + (to.X - from.X) * f, from.Y + (to.Y - from.Y) * f);
    }
    pointerUp(editor, b, shift, to.X, to.Y);
  }
};

TEST_F(PointerTest, AReleaseLessThanOnePixelAwayIsAClick) {
  TQN_Path *line = addLine({10.0f, 10.0f}, {50.0f, 10.0f});
  pointerDown(editor, TMouseButton::Left, 0, 300.0f, 100.0f);
  pointerUp(editor, TMouseButton::Left, 0, 300.9f, 100.0f);
  EXPECT_TRUE(line->FSelected);

  // A release 1 px away is no click: the plain release deselects and reports the distance.
  pointerDown(editor, TMouseButton::Left, 0, 300.0f, 100.0f);
  pointerUp(editor, TMouseButton::Left, 0, 301.0f, 100.0f);
  EXPECT_FALSE(line->FSelected);
  EXPECT_TRUE(editor.FRangeText.startsWith(QStringLiteral("Mouse up pos is not same as the first pos. ")));
}

TEST_F(PointerTest, ClickSelectsAndClickOnNothingDeselects) {
  TQN_Path *a = addLine({10.0f, 10.0f}, {50.0f, 10.0f});
  TQN_Path *b = addLine({10.0f, 30.0f}, {50.0f, 30.0f});
  click(300.0f, 100.0f);
  EXPECT_TRUE(a->FSelected);
  EXPECT_EQ(editor.pointer().FFirstSelection, a);
  click(300.0f, 300.0f, ssShift);  // Shift adds
  EXPECT_TRUE(a->FSelected);
  EXPECT_TRUE(b->FSelected);
  click(300.0f, 300.0f, ssCtrl);  // Ctrl toggles
  EXPECT_FALSE(b->FSelected);
  click(300.0f, 600.0f);  // nothing there
  EXPECT_FALSE(a->FSelected);
}

TEST_F(PointerTest, PlainClickOnACrossingSelectsOnlyTheNearerLine) {
  TQN_Path *h = addLine({0.0f, 20.0f}, {100.0f, 20.0f});
  TQN_Path *v = addLine({50.0f, 0.0f}, {50.0f, 60.0f});
  // 0.05 mm right of the vertical, 0.08 mm below the horizontal, no snap target near.
  click(500.5f, 200.8f);
  EXPECT_TRUE(v->FSelected);
  EXPECT_FALSE(h->FSelected);
  click(500.5f, 200.8f, ssShift);  // the strict tolerance keeps both
  EXPECT_TRUE(v->FSelected);
  EXPECT_TRUE(h->FSelected);
}

TEST_F(PointerTest, CtrlPressStartsARangeSelectionEvenOnASelectedShape) {
  TQN_Path *a = addLine({10.0f, 10.0f}, {20.0f, 10.0f});
  TQN_Path *b = addLine({30.0f, 30.0f}, {40.0f, 30.0f});
  TQN_Path *far = addLine({80.0f, 70.0f}, {90.0f, 70.0f});
  a->SetSelected(true);
  pointerDown(editor, TMouseButton::Left, ssCtrl, 150.0f, 100.0f);
  EXPECT_TRUE(editor.pointer().FIsRangeSelecting);
  pointerMove(editor, ssCtrl, 300.0f, 250.0f);
  EXPECT_FALSE(editor.pointer().FIsShapeDragging);
  pointerMove(editor, ssCtrl, 450.0f, 350.0f);
  pointerUp(editor, TMouseButton::Left, ssCtrl, 450.0f, 350.0f);
  EXPECT_FALSE(editor.pointer().FIsRangeSelecting);
  EXPECT_EQ(a->FStartPt, (TPointF{10.0f, 10.0f}));  // not moved
  EXPECT_TRUE(b->FSelected);
  EXPECT_FALSE(far->FSelected);
}

TEST_F(PointerTest, PlainDragOnEmptyCanvasSelectsByRangeInTheSelectTool) {
  TQN_Path *a = addLine({10.0f, 10.0f}, {20.0f, 10.0f});
  drag({50.0f, 50.0f}, {250.0f, 150.0f});
  EXPECT_TRUE(a->FSelected);
  // In a drawing tool the same drag selects nothing.
  a->SetSelected(false);
  editor.tool().FTool = TTool::Line;
  drag({50.0f, 50.0f}, {250.0f, 150.0f});
  EXPECT_FALSE(a->FSelected);
}

TEST_F(PointerTest, ARangeSelectionInTheCornerToolRoundsAClosedRectangleAsOneStep) {
  const TPointF corners[] = {{10, 10}, {50, 10}, {50, 40}, {10, 40}};
  for (int i = 0; i < 4; ++i) editor.calcIntersectionsOfShape(addLine(corners[i], corners[(i + 1) % 4]));
  takeUndoSnapshot(editor, QStringLiteral("drawn"));
  sbToolsClick(editor, TTool::Mentori);
  ASSERT_TRUE(editor.tool().FIsMentoriMode);
  editor.panel().nbR = 5.0f;
  const std::size_t before = undoStates();
  drag({50.0f, 50.0f}, {600.0f, 500.0f});  // 5 to 60 mm by 5 to 50 mm: the whole rectangle

  int arcs = 0, lines = 0;
  for (const TQN_Path *s : doc()) {
    arcs += s->isKind(TShapeKind::Arc) ? 1 : 0;
    lines += s->isKind(TShapeKind::Line) ? 1 : 0;
  }
  EXPECT_EQ(arcs, 4);
  EXPECT_EQ(lines, 4);
  EXPECT_EQ(undoStates(), before + 1);
  undo(editor);
  EXPECT_EQ(doc().Count(), 4);
}

TEST_F(PointerTest, RightAndMiddleDragPanMiddleClickDeletes) {
  TQN_Path *a = addLine({10.0f, 10.0f}, {20.0f, 10.0f});
  a->SetSelected(true);
  drag({100.0f, 100.0f}, {160.0f, 70.0f}, 0, TMouseButton::Middle);
  EXPECT_EQ(editor.view().FOffset, (TPointF{60.0f, -30.0f}));
  EXPECT_EQ(doc().Count(), 1);  // a middle drag deletes nothing
  drag({100.0f, 100.0f}, {90.0f, 100.0f}, 0, TMouseButton::Right);
  EXPECT_EQ(editor.view().FOffset, (TPointF{50.0f, -30.0f}));
  EXPECT_FALSE(editor.pointer().FIsScreenDragging);
  click(500.0f, 500.0f, 0, TMouseButton::Middle);
  EXPECT_EQ(doc().Count(), 0);
}

TEST_F(PointerTest, ReleaseAfterADoubleClickIsIgnored) {
  TQN_Path *a = addLine({10.0f, 10.0f}, {50.0f, 10.0f});
  click(300.0f, 100.0f);
  ASSERT_TRUE(a->FSelected);
  pointerDown(editor, TMouseButton::Left, 0, 300.0f, 600.0f);
  pointerDoubleClick(editor);
  pointerUp(editor, TMouseButton::Left, 0, 300.0f, 600.0f);  // would deselect
  EXPECT_TRUE(a->FSelected);
  EXPECT_FALSE(editor.pointer().FDoubleClicked);
}

TEST_F(PointerTest, StickyPointFollowsThePointer) {
  addLine({10.0f, 10.0f}, {50.0f, 10.0f});
  pointerMove(editor, 0, 103.0f, 102.0f);
  ASSERT_TRUE(editor.snap().FStickyExists);
  EXPECT_EQ(editor.snap().FStickyPoint, (TPointF{10.0f, 10.0f}));
  pointerMove(editor, 0, 300.0f, 400.0f);
  EXPECT_FALSE(editor.snap().FStickyExists);
  // Ctrl keeps the sticky point but the conversions ignore it.
  pointerMove(editor, ssCtrl, 103.0f, 102.0f);
  EXPECT_TRUE(editor.snap().FStickyExists);
  EXPECT_EQ(virtualToReal(editor, {103.0f, 102.0f}, true), (TPointF{10.3f, 10.2f}));
}

TEST_F(PointerTest, DraggingASelectedShapeMovesItWithOneSnapshot) {
  TQN_Path *a = addLine({10.0f, 10.0f}, {50.0f, 10.0f});
  a->SetSelected(true);
  const std::size_t before = undoStates();
  drag({300.0f, 100.0f}, {300.0f, 250.0f});
  EXPECT_FALSE(editor.pointer().FIsShapeDragging);
  EXPECT_NEAR(a->FStartPt.Y, 25.0f, 1e-3);
  EXPECT_NEAR(a->FEndPt.Y, 25.0f, 1e-3);
  EXPECT_EQ(undoStates(), before + 1);
}

TEST_F(PointerTest, PressOnUnselectedShapeAndMoveSelectsByRange) {
  TQN_Path *a = addLine({10.0f, 10.0f}, {50.0f, 10.0f});
  drag({300.0f, 100.0f}, {600.0f, 200.0f});
  EXPECT_EQ(a->FStartPt, (TPointF{10.0f, 10.0f}));  // not dragged
  EXPECT_FALSE(editor.pointer().FIsShapeDragging);
}

TEST_F(PointerTest, ShiftDragReturnsToTheStartHeight) {
  TQN_Path *a = addLine({10.0f, 10.0f}, {50.0f, 10.0f});
  a->SetSelected(true);
  pointerDown(editor, TMouseButton::Left, 0, 300.0f, 100.0f);
  for (int i = 1; i <= 30; ++i) pointerMove(editor, 0, 300.0f + 2.0f * i, 100.0f + 1.0f * i);
  ASSERT_TRUE(editor.pointer().FIsShapeDragging);
  ASSERT_NEAR(a->FStartPt.Y, 13.0f, 1e-3);
  // Mostly horizontal from the press: the line goes back to its start height.
  pointerMove(editor, ssShift, 380.0f, 140.0f);
  EXPECT_NEAR(a->FStartPt.Y, 10.0f, 1e-3);
  EXPECT_NEAR(a->FStartPt.X, 18.0f, 1e-3);
  pointerUp(editor, TMouseButton::Left, ssShift, 380.0f, 140.0f);
  EXPECT_NEAR(a->FStartPt.Y, 10.0f, 1e-3);
  EXPECT_NEAR(a->FEndPt.Y, 10.0f, 1e-3);
}

TEST_F(PointerTest, DraggingALineEndMovesOnlyThatEnd) {
  TQN_Path *a = addLine({10.0f, 10.0f}, {50.0f, 10.0f});
  a->SetSelected(true);
  drag({500.0f, 100.0f}, {500.0f, 300.0f});
  EXPECT_EQ(a->FStartPt, (TPointF{10.0f, 10.0f}));
  EXPECT_NEAR(a->FEndPt.X, 50.0f, 1e-3);
  EXPECT_NEAR(a->FEndPt.Y, 30.0f, 1e-3);
  EXPECT_FALSE(editor.pointer().FIsEdgeDragging);
  EXPECT_TRUE(editor.pointer().FDraggingEdges.empty());
}

}  // namespace
}  // namespace quillon

namespace quillon {
namespace {

class ForgetShapeTest : public test::EditorTest {};

// Every editor field that points at a document shape lets go of it when the shape is
// freed by deletion or replaced by undo; otherwise the next click reads freed memory.
TEST_F(ForgetShapeTest, DeletionAndUndoClearEveryReference) {
  for (int way = 0; way < 2; ++way) {
    SCOPED_TRACE(way);
    takeUndoSnapshot(editor, QStringLiteral("start"));
    TQN_Path *a = addLine({10.0f, 10.0f}, {50.0f, 10.0f});
    takeUndoSnapshot(editor, QStringLiteral("added"));
    a->SetSelected(true);
    editor.tool().FLastStitch = a;
    editor.pointer().FLastRightClickMousePosItem = a;
    editor.pointer().FBezierEditInfo.p = a;
    editor.pointer().FFirstSelection = a;
    ASSERT_TRUE(detectEdgeDragStart(editor, editor.pointer().FDraggingEdges, 100.0f, 100.0f, false));
    if (way == 0)
      deleteSelectedShapes(editor);
    else
      undo(editor);
    EXPECT_EQ(editor.tool().FLastStitch, nullptr);
    EXPECT_EQ(editor.pointer().FLastRightClickMousePosItem, nullptr);
    EXPECT_EQ(editor.pointer().FBezierEditInfo.p, nullptr);
    EXPECT_EQ(editor.pointer().FFirstSelection, nullptr);
    EXPECT_TRUE(editor.pointer().FDraggingEdges.empty());
    clearDocumentShapes(editor);
  }
}

}  // namespace
}  // namespace quillon
