// The whole-drawing regularisation: joints, axis lines, ends on arcs and oblique lines,
// the status line and the one undo step.
#include "edit/regularize.h"

#include <gtest/gtest.h>

#include "model/shape_list.h"
#include "shell/undo.h"
#include "support/lint_shapes.h"

namespace quillon {
namespace {

using test::nearPoint;

class RegularizeTest : public test::LintTest {
 protected:
  RegularizeTest() { takeUndoSnapshot(editor, QStringLiteral("test")); }
  int regularize() {
    recordIntersections();
    return regularizeAllShapes(editor);
  }
};

TEST_F(RegularizeTest, CleanDrawingNeedsNoFixesAndNoUndoStep) {
  addLine({0, 0}, {10, 0});
  addLine({10, 0}, {10, 10});
  addLine({10, 10}, {0, 0});  // 45 degrees: far from every axis
  addArc({20, 0}, 10, {30, 0}, {20, 10}, 90);
  const std::size_t before = undoStates();
  EXPECT_EQ(regularize(), 0);
  EXPECT_EQ(undoStates(), before);
  EXPECT_EQ(ui.statusTexts.back(), QStringLiteral("No fixes were needed."));

  // Ends 0.005 apart are still snapped together and counted.
  editor.doc().clear();
  addLine({0, 0}, {10, 10});
  addLine({10.005f, 10}, {30, 40});
  EXPECT_EQ(regularize(), 2);
  EXPECT_EQ(undoStates(), before + 1);
  EXPECT_EQ(ui.statusTexts.back(), QStringLiteral("Regularized the whole drawing (2 line edits in 2 iterations)."));
}

TEST_F(RegularizeTest, JointTakesTheMeanOfTheLargestRun) {
  struct Case {
    float x1, x2, x3;
    float joint;
  } const cases[] = {{10.00f, 10.01f, 10.15f, 10.005f}, {10.00f, 10.05f, 10.15f, 10.0667f}};
  for (const Case &c : cases) {
    editor.doc().clear();
    // Three oblique lines meeting at y = 5 from far-apart other ends.
    TQN_Path *a = addLine({c.x1, 5}, {0, -5});
    TQN_Path *b = addLine({c.x2, 5}, {20, -5});
    TQN_Path *d = addLine({c.x3, 5}, {30, 25});
    EXPECT_EQ(regularize(), 3) << c.joint;
    for (TQN_Path *s : {a, b, d}) EXPECT_TRUE(nearPoint(s->FStartPt, {c.joint, 5}, 1e-4)) << c.joint;
  }
}

TEST_F(RegularizeTest, ArcEndsAnchorTheirJoint) {
  TQN_Path *arc = addArc({0, 0}, 10, {10, 0}, {0, 10}, 90);
  const TPointF end = arc->FEndPt;
  TQN_Path *line = addLine(end + TPointF(0.1f, 0.05f), {20, 40});
  regularize();
  EXPECT_TRUE(nearPoint(line->FStartPt, end, 0));
  EXPECT_TRUE(nearPoint(arc->FEndPt, end, 0));
}

TEST_F(RegularizeTest, ShortLineIsNotCollapsedIntoOneJoint) {
  addLine({0, 0}, {10, 0});
  TQN_Path *tiny = addLine({10.05f, 0}, {10.15f, 0});
  addLine({10.2f, 0}, {20, 10});
  regularize();
  EXPECT_GT(calcDistance(tiny->FStartPt, tiny->FEndPt), 0.05f);
}

TEST_F(RegularizeTest, NearAxisLinesAreStraightenedUpToHalfADegree) {
  // Lone lines: both ends take the mean of their Y values.
  TQN_Path *tilted = addLine({0, 0}, {100, 0.5236f});  // 0.3 degree
  TQN_Path *half = addLine({0, 50}, {100, 50.8726f});  // just under 0.5 degree
  TQN_Path *steep = addLine({0, 100}, {100, 101.0473f});  // 0.6 degree
  ASSERT_LE(calcLineAngle(*half), 0.5f);
  ASSERT_GT(calcLineAngle(*half), 0.4999f);
  regularize();
  EXPECT_TRUE(nearPoint(tilted->FStartPt, {0, 0.2618f}));
  EXPECT_TRUE(nearPoint(tilted->FEndPt, {100, 0.2618f}));
  EXPECT_FLOAT_EQ(half->FStartPt.Y, half->FEndPt.Y);
  EXPECT_TRUE(nearPoint(steep->FEndPt, {100, 101.0473f}, 0));
}

TEST_F(RegularizeTest, NearAxisLineMeetsAnObliqueLineAlongItsOwnDirection) {
  // A 30-degree line through (10, 0); a vertical line ending 0.15 below it.
  const float slope = 0.57735027f;
  addLine({0, -10 * slope}, {20, 10 * slope});
  TQN_Path *vertical = addLine({10, 30}, {10, 0.15f});
  regularize();
  EXPECT_TRUE(nearPoint(vertical->FEndPt, {10, 0}, 1e-4));
  EXPECT_FLOAT_EQ(vertical->FStartPt.X, 10.0f);
  EXPECT_FLOAT_EQ(vertical->FEndPt.X, 10.0f);
}

TEST_F(RegularizeTest, LooseObliqueEndIsPulledOntoAnArc) {
  addArc({0, 0}, 10, {10, 0}, {-10, 0}, 180);
  TQN_Path *line = addLine({20, 30}, {7.1418f, 7.1418f});  // 0.1 outside the arc at 45 degrees
  regularize();
  EXPECT_NEAR(std::hypot(double(line->FEndPt.X), double(line->FEndPt.Y)), 10.0, 1e-4);
}

}  // namespace
}  // namespace quillon
