// Turning, scaling and aligning the selection, and the kept pivot that makes a run of
// steps turn about one point.
#include <gtest/gtest.h>

#include <cmath>

#include "edit/rotate_scale_align.h"
#include "model/point_helpers.h"
#include "shell/selection.h"
#include "shell/undo.h"
#include "support/editor_fixture.h"
#include "support/near_points.h"

namespace quillon {
namespace {

using test::EditorTest;
using test::expectNear;

TEST_F(EditorTest, TwoFiveDegreeStepsTurnTenDegreesAboutOnePivot) {
  TQN_Path *a = addLine({0, 0}, {10, 0});
  TQN_Path *b = addLine({0, 10}, {10, 10});
  for (TQN_Path *s : {a, b}) s->SetSelected(true);
  const std::size_t before = undoStates();
  rotateSelection(editor, 5.0f, true);
  rotateSelection(editor, 5.0f, true);
  // About the middle of the first bounding box (5, 5); the second step did not take the
  // middle of the turned box.
  const TPointF c(5, 5);
  expectNear(a->FStartPt, rotatePoint({0, 0}, c, 10.0f));
  expectNear(b->FEndPt, rotatePoint({10, 10}, c, 10.0f));
  EXPECT_EQ(undoStates(), before + 2);
  // Positive angles turn clockwise on the screen (y down): +x turns toward +y.
  EXPECT_GT(a->FEndPt.Y, a->FStartPt.Y);
}

TEST_F(EditorTest, ClearingTheSelectionDropsThePivotEvenOneSetByHand) {
  TQN_Path *a = addLine({0, 0}, {10, 0});
  TQN_Path *b = addLine({100, 0}, {110, 0});
  a->SetSelected(true);
  rotateSelection(editor, 90.0f, false);  // about (5, 0), kept
  ASSERT_TRUE(editor.pointer().FIsRotationCenterSpecified);
  editor.pointer().FIsSnapPointManuallySet = true;
  deselectAll(editor);
  EXPECT_FALSE(editor.pointer().FIsRotationCenterSpecified);
  EXPECT_FALSE(editor.pointer().FIsSnapPointManuallySet);
  // The next selection turns about its own middle, not the old pivot.
  b->SetSelected(true);
  rotateSelection(editor, 90.0f, true);
  expectNear(b->FStartPt, {105, -5});
  expectNear(b->FEndPt, {105, 5});
}

TEST_F(EditorTest, ScalingKeepsHolesTheirSizeAndRefusesHolesAlone) {
  TQN_Path *h1 = addHole({0, 0});
  TQN_Path *h2 = addHole({10, 0});
  for (TQN_Path *s : {h1, h2}) s->SetSelected(true);
  const std::size_t before = undoStates();
  scaleSelection(editor, 2.0f, 2.0f, true);
  expectNear(h2->FCenter, {10, 0});
  EXPECT_EQ(undoStates(), before);
  ASSERT_FALSE(ui.statusTexts.isEmpty());
  EXPECT_EQ(ui.statusTexts.back(), editor.tr(QStringLiteral("RotationLimitation")));

  editor.pointer().FIsRotationCenterSpecified = false;
  TQN_Path *line = addLine({0, 0}, {10, 0});
  line->SetSelected(true);
  const float width = h2->getBoundary(false).Right - h2->getBoundary(false).Left;
  scaleSelection(editor, 2.0f, 2.0f, true);  // pivot (5, 0)
  expectNear(h2->FCenter, {15, 0});
  expectNear(line->FStartPt, {-5, 0});
  EXPECT_NEAR(h2->getBoundary(false).Right - h2->getBoundary(false).Left, width, 1e-4f);
  EXPECT_EQ(undoStates(), before + 1);
}

TEST_F(EditorTest, ScaledEllipseAndArcTakeTheFactorsPerAxis) {
  auto e = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  e->drawEllipsePath({0, 0}, 20, 10);
  e->SetSelected(true);
  TQN_Path *ellipse = editor.doc().add(std::move(e), 0);
  scaleSelection(editor, 1.5f, 2.0f, true);
  EXPECT_FLOAT_EQ(ellipse->FWidth, 30.0f);
  EXPECT_FLOAT_EQ(ellipse->FHeight, 20.0f);
  expectNear(ellipse->FCenter, {0, 0});
}

TEST_F(EditorTest, TypedAnglesAndRatiosWithinTheirRanges) {
  TQN_Path *line = addLine({0, 0}, {10, 0});
  line->SetSelected(true);
  struct Case {
    const char *Typed;
    bool Turns;
  };
  const Case angles[] = {{"360", false}, {"-360", false}, {"0", false}, {"abc", false}, {"359.5", true}, {"-90", true}};
  for (const Case &c : angles) {
    const std::size_t before = undoStates();
    ui.inputAnswers.push_back(QString::fromLatin1(c.Typed));
    actSpecifyRotationAngleExecute(editor);
    EXPECT_EQ(undoStates(), before + (c.Turns ? 1 : 0)) << c.Typed;
  }
  const Case ratios[] = {{"0.1", true}, {"10", true}, {"0.09", false}, {"10.5", false}, {"x", false}};
  for (const Case &c : ratios) {
    const std::size_t before = undoStates();
    ui.inputAnswers.push_back(QString::fromLatin1(c.Typed));
    actSpecifyScaleRatioExecute(editor, TScaleAxes::Horizontal);
    EXPECT_EQ(undoStates(), before + (c.Turns ? 1 : 0)) << c.Typed;
  }
  // A cancelled box changes nothing.
  const std::size_t before = undoStates();
  ui.inputAnswers.push_back(std::nullopt);
  actSpecifyRotationAngleExecute(editor);
  EXPECT_EQ(undoStates(), before);
}

TEST_F(EditorTest, HorizontalRatioLeavesHeightsAlone) {
  TQN_Path *line = addLine({0, 0}, {10, 10});
  line->SetSelected(true);
  ui.inputAnswers.push_back(QStringLiteral("2"));
  actSpecifyScaleRatioExecute(editor, TScaleAxes::Horizontal);  // pivot (5, 5)
  expectNear(line->FStartPt, {-5, 0});
  expectNear(line->FEndPt, {15, 10});
}

TEST_F(EditorTest, AlignmentMovesAGroupAsOneBlock) {
  TQN_Path *g1 = addLine({10, 0}, {20, 0});
  TQN_Path *g2 = addLine({15, 5}, {30, 5});
  TQN_Path *single = addLine({0, 20}, {5, 20});
  for (TQN_Path *s : {g1, g2}) s->FGroupID = 7;
  for (TQN_Path *s : {g1, g2, single}) s->SetSelected(true);
  const std::size_t before = undoStates();
  alignSelection(editor, TAlignment::Left);
  // The group's leftmost point meets the selection's left edge; both members moved by 10.
  expectNear(g1->FStartPt, {0, 0});
  expectNear(g2->FStartPt, {5, 5});
  expectNear(single->FStartPt, {0, 20});
  EXPECT_EQ(undoStates(), before + 1);

  alignSelection(editor, TAlignment::Bottom);
  EXPECT_NEAR(g2->FStartPt.Y, 20.0f, 1e-4f);  // the group's bottom (y 5) went to 20
  EXPECT_NEAR(g1->FStartPt.Y, 15.0f, 1e-4f);

  // Fewer than two shapes: nothing.
  for (TQN_Path *s : {g1, g2}) s->SetSelected(false);
  const std::size_t after = undoStates();
  alignSelection(editor, TAlignment::Right);
  EXPECT_EQ(undoStates(), after);
}

}  // namespace
}  // namespace quillon
