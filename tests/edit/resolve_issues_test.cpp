// The repair of one shape's drawing-check defects: who gives way, what moves, one undo step.
#include "edit/resolve_issues.h"

#include <gtest/gtest.h>

#include "model/shape_list.h"
#include "shell/undo.h"
#include "support/lint_shapes.h"

namespace quillon {
namespace {

using test::nearPoint;

class ResolveIssuesTest : public test::LintTest {
 protected:
  ResolveIssuesTest() { takeUndoSnapshot(editor, QStringLiteral("test")); }
  // The command as the context menu runs it, for a right click at `click`.
  void resolveAt(TQN_Path *shape, TPointF click = {0, 0}) {
    recordIntersections();
    editor.pointer().FLastRightClickMousePosItem = shape;
    editor.pointer().FLastRightClickRealPos = click;
    resolveIssuesOfClickedShape(editor);
  }
};

TEST_F(ResolveIssuesTest, LineWithAGapIsClosedInOneUndoStep) {
  TQN_Path *a = addLine({0, 0}, {10, 0});
  addLine({10.1f, 0}, {10.1f, 10});
  recordIntersections();
  takeUndoSnapshot(editor, QStringLiteral("test"));
  ASSERT_EQ(editor.lint().FLintWarnings.size(), 1u);
  const std::size_t before = undoStates();
  resolveAt(a);
  EXPECT_EQ(undoStates(), before + 1);
  EXPECT_TRUE(nearPoint(a->FEndPt, {10.1f, 0}, 0));
  EXPECT_TRUE(editor.lint().FLintWarnings.empty());
  undo(editor);
  EXPECT_TRUE(nearPoint(doc()[0]->FEndPt, {10, 0}, 0));
}

TEST_F(ResolveIssuesTest, TheLineGivesWayToTheCurve) {
  // The command on the line: its start moves onto the arc's end.
  TQN_Path *arc = addArc({0, 0}, 10, {10, 0}, {0, 10}, 90);
  const TPointF arcEnd = arc->FEndPt, arcStart = arc->FStartPt;
  TQN_Path *line = addLine(arcEnd + TPointF(0, 0.1f), {0, 30});
  resolveAt(line);
  EXPECT_TRUE(nearPoint(line->FStartPt, arcEnd, 0));
  EXPECT_TRUE(nearPoint(arc->FEndPt, arcEnd, 0));
  EXPECT_TRUE(nearPoint(arc->FStartPt, arcStart, 0));

  // The command on the arc: the line's end moves onto the arc's end.
  editor.doc().clear();
  arc = addArc({0, 0}, 10, {10, 0}, {0, 10}, 90);
  line = addLine({0, 30}, arc->FEndPt + TPointF(0, 0.1f));
  resolveAt(arc);
  EXPECT_TRUE(nearPoint(line->FEndPt, arc->FEndPt, 0));
  EXPECT_TRUE(nearPoint(arc->FEndPt, {0, 10}, 1e-4));
}

TEST_F(ResolveIssuesTest, BezierEndMovesWithItsControlPoint) {
  TQN_Path *first = addBezier({0, 0}, {3, -5}, {7, -5}, {10, 0});
  addBezier({10.1f, 0}, {13, 5}, {17, 5}, {20, 0});
  resolveAt(first);
  EXPECT_TRUE(nearPoint(first->FEndPt, {10.1f, 0}, 0));
  EXPECT_TRUE(nearPoint(first->FBezierCp2, {7.1f, -5}, 1e-5));
  EXPECT_TRUE(nearPoint(first->FBezierCp1, {3, -5}, 0));
}

TEST_F(ResolveIssuesTest, TiltedLineTurnsAboutTheEndAwayFromTheClick) {
  TQN_Path *line = addLine({0, 0}, {100, 0.5236f});  // 0.3 degree
  resolveAt(line, {95, 0});
  EXPECT_TRUE(nearPoint(line->FStartPt, {0, 0}, 0));
  EXPECT_TRUE(nearPoint(line->FEndPt, {100, 0}, 0));

  // A free-angle line is straightened too; clicked near its start, the start moves.
  editor.doc().clear();
  line = addLine({0, 0}, {0.5236f, 100});  // 0.3 degree off vertical
  line->FIsFreeAngle = true;
  resolveAt(line, {0, 2});
  EXPECT_TRUE(nearPoint(line->FStartPt, {0.5236f, 0}, 0));
}

TEST_F(ResolveIssuesTest, CrossingJustBeyondBothEndsBecomesAJoint) {
  TQN_Path *a = addLine({0, 0}, {10.03f, 0});
  TQN_Path *b = addLine({10, -10}, {10, 0.03f});
  resolveAt(a);
  EXPECT_TRUE(nearPoint(a->FEndPt, {10, 0}, 1e-5));
  EXPECT_TRUE(nearPoint(b->FEndPt, {10, 0}, 1e-5));
}

TEST_F(ResolveIssuesTest, NothingToDoAddsNoUndoStep) {
  const int hidden = doc().addLayer(5, QStringLiteral("hidden"), false);
  TQN_Path *clean = addLine({0, 0}, {10, 0});
  TQN_Path *onHidden = addLine({0, 20}, {100, 20.5236f}, hidden);
  TQN_Path *dim = addLine({0, 40}, {100, 40.5236f});
  dim->FIsDimensionLine = true;
  const std::size_t before = undoStates();
  for (TQN_Path *s : {clean, onHidden, dim}) resolveAt(s);
  resolveAt(nullptr);
  EXPECT_EQ(undoStates(), before);
  EXPECT_TRUE(nearPoint(onHidden->FEndPt, {100, 20.5236f}, 0));
  EXPECT_TRUE(nearPoint(dim->FEndPt, {100, 40.5236f}, 0));
}

}  // namespace
}  // namespace quillon
