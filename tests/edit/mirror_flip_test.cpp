// Flipping in place, mirrored copies across a picked line, turning a line onto an axis
// and reversing paths.
#include "edit/mirror_flip.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "edit/rotate_scale_align.h"
#include "model/point_helpers.h"
#include "shell/selection.h"
#include "shell/undo.h"
#include "support/editor_fixture.h"
#include "stitching/pricking_iron.h"
#include "support/near_points.h"

namespace quillon {
namespace {

using test::EditorTest;
using test::expectNear;

TEST(MirrorRotation, HoleAnglesFollowTheMirrorLine) {
  struct Case {
    float Rotation, LineAngle, Expected;
  };
  // A vertical line gives 180 - r and a horizontal one 360 - r, as the flips do; any
  // other line reflects the hole's axis across itself.
  const Case cases[] = {{30, 90, 150}, {30, 0, 330}, {30, -90, 150}, {30, 45, 60}, {0, 30, 60}, {-30, 90, 210}};
  for (const Case &c : cases)
    EXPECT_NEAR(mirroredHoleRotation(c.Rotation, c.LineAngle), c.Expected, 1e-3f) << c.Rotation << " " << c.LineAngle;
}

TEST_F(EditorTest, FlipMirrorsShapesAboutTheSelectionMiddle) {
  TQN_Path *hole = addHole({0, 0});
  hole->SetRotation(30.0f);
  TQN_Path *line = addLine({0, 10}, {10, 20});
  for (TQN_Path *s : {hole, line}) s->SetSelected(true);
  const std::size_t before = undoStates();
  actFlipSelectedPathsExecute(editor, true);
  EXPECT_NEAR(hole->FRotation, 150.0f, 1e-4f);
  EXPECT_NEAR(line->FStartPt.Y, 10.0f, 1e-4f);
  EXPECT_NEAR(line->FStartPt.X, hole->FCenter.X, 1e-3f);  // both were at x = 0
  EXPECT_EQ(undoStates(), before + 1);

  actFlipSelectedPathsExecute(editor, false);
  EXPECT_NEAR(hole->FRotation, 210.0f, 1e-4f);  // 360 - 150

  // Nothing selected: no step.
  for (TQN_Path *s : {hole, line}) s->SetSelected(false);
  actFlipSelectedPathsExecute(editor, true);
  EXPECT_EQ(undoStates(), before + 2);
}

TEST_F(EditorTest, MirrorCopiesLinkTheirHolesAmongThemselves) {
  TQN_Path *axis = addLine({50, -10}, {50.0f + 0.05f, 100});  // 0.03 degrees off vertical
  TQN_Path *h1 = addHole({10, 0});
  TQN_Path *h2 = addHole({20, 0});
  TQN_Path *h3 = addHole({30, 0});  // not mirrored
  h1->FNextStitchID = h2->ID();
  h2->FPrevStitchID = h1->ID();
  h2->FNextStitchID = h3->ID();
  h2->SetRotation(30.0f);
  const int count = doc().Count();
  ASSERT_TRUE(mirrorCopyShapes(editor, {h1, h2, axis}, *axis));
  EXPECT_FLOAT_EQ(axis->FStartPt.X, axis->FEndPt.X);  // made exactly vertical first
  ASSERT_EQ(doc().Count(), count + 2);                 // the axis gets no copy
  TQN_Path *c1 = doc()[count], *c2 = doc()[count + 1];
  expectNear(c1->FCenter, {2.0f * axis->FEndPt.X - 10.0f, 0});
  EXPECT_EQ(c1->FNextStitchID, c2->ID());
  EXPECT_EQ(c2->FPrevStitchID, c1->ID());
  EXPECT_EQ(c2->FNextStitchID, -1);
  EXPECT_NEAR(c2->FRotation, 150.0f, 1e-3f);
  EXPECT_TRUE(c1->FSelected);
}

TEST_F(EditorTest, SymmetryCommandWaitsForTheLineThenCopies) {
  TQN_Path *line = addLine({0, 0}, {10, 5});
  TQN_Path *axis = addLine({20, -50}, {20, 50});
  line->SetSelected(true);
  actLineSymmetryExecute(editor);
  EXPECT_TRUE(editor.tool().FInLineSymmetryMode);
  EXPECT_FALSE(line->FSelected);
  const std::size_t before = undoStates();
  commitLineSymmetry(editor, *axis);
  EXPECT_FALSE(editor.tool().FInLineSymmetryMode);
  TQN_Path *copy = doc()[doc().Count() - 1];
  expectNear(copy->FStartPt, {40, 0});
  expectNear(copy->FEndPt, {30, 5});
  EXPECT_EQ(undoStates(), before + 1);
}

TEST_F(EditorTest, MakeTheRightClickedLineHorizontalOrVertical) {
  struct Case {
    float Degrees;  // the reference line's direction
    bool Horizontal;
    float Turn;  // the smaller turn, either way
  };
  const Case cases[] = {{30, true, 30}, {100, true, 80}, {-60, true, 60}, {170, true, 10},
                        {30, false, 60}, {100, false, 10}, {135, false, 45}};
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.Degrees << (c.Horizontal ? " horizontal" : " vertical"));
    editor.doc().clear();
    editor.pointer().FIsRotationCenterSpecified = false;
    const double t = double(c.Degrees) * std::numbers::pi / 180.0;
    const TPointF start(20, 20), end(float(20 + 10 * std::cos(t)), float(20 + 10 * std::sin(t)));
    TQN_Path *ref = addLine(start, end);
    TQN_Path *other = addLine({0, 0}, {0, 5});
    for (TQN_Path *s : {ref, other}) s->SetSelected(true);
    editor.pointer().FLastRightClickMousePosItem = ref;
    const std::size_t before = undoStates();
    actMakeSelectedLineAxisExecute(editor, c.Horizontal);

    const TPointF d = ref->FEndPt - ref->FStartPt;
    EXPECT_NEAR(std::fabs(c.Horizontal ? d.Y : d.X), 0.0f, 1e-3f);
    EXPECT_NEAR(calcDistance(ref->FStartPt, ref->FEndPt), 10.0f, 1e-3f);
    EXPECT_NEAR(calcDistance(other->FStartPt, other->FEndPt), 5.0f, 1e-3f);
    // The other shape turned with it by the same, smaller angle.
    EXPECT_NEAR(calcAngleBetween(other->FEndPt - other->FStartPt, {0, 5}), c.Turn, 1e-2f);
    EXPECT_EQ(undoStates(), before + 1);
  }

  // Without a right-clicked line nothing turns.
  editor.doc().clear();
  TQN_Path *line = addLine({0, 0}, {10, 10});
  line->SetSelected(true);
  editor.pointer().FLastRightClickMousePosItem = nullptr;
  const std::size_t before = undoStates();
  actMakeSelectedLineAxisExecute(editor, true);
  EXPECT_EQ(line->FEndPt, TPointF(10, 10));
  EXPECT_EQ(undoStates(), before);
}

TEST_F(EditorTest, ReversePathIsOneUndoStep) {
  TQN_Path *line = addLine({0, 0}, {10, 0});
  TQN_Path *crossing = addLine({5, -5}, {5, 5});
  for (TQN_Path *s : {line, crossing}) editor.calcIntersectionsOfShape(s);
  takeUndoSnapshot(editor, QStringLiteral("drawn"));
  line->SetSelected(true);
  const std::size_t before = undoStates();
  actReversePathExecute(editor);
  EXPECT_EQ(line->FStartPt, TPointF(10, 0));
  EXPECT_EQ(line->FEndPt, TPointF(0, 0));
  EXPECT_EQ(undoStates(), before + 1);

  undo(editor);
  ASSERT_EQ(doc().Count(), 2);
  EXPECT_EQ(doc()[0]->FStartPt, TPointF(0, 0));
  EXPECT_EQ(doc()[0]->FEndPt, TPointF(10, 0));
  redo(editor);
  EXPECT_EQ(doc()[0]->FStartPt, TPointF(10, 0));

  // Nothing that can be reversed: no step.
  deselectAll(editor);
  const std::size_t after = undoStates();
  addHole({3, 3})->SetSelected(true);
  actReversePathExecute(editor);
  EXPECT_EQ(undoStates(), after);
}

// Diamond holes sitting on a slanted line, turned along it, follow the line exactly
// through every turn, flip and mirror, and stay turned along it.
TEST_F(EditorTest, HolesOnALineFollowItThroughRotationsFlipsAndMirrors) {
  static TPrickingIron iron;
  iron.BladeType = "D";
  iron.Width = 0.8f;
  iron.Height = 2.2f;
  iron.Angle = 32.0f;
  const auto angleOf = [](TPointF d) { return std::atan2(double(d.Y), double(d.X)) * 180.0 / std::numbers::pi; };
  // The distance of p from the line through the line's ends, and where along it p lies
  // (0 at the start, 1 at the end).
  const auto offLine = [](const TQN_Path &l, TPointF p) {
    const TPointF u = calcUnitVector(l.FStartPt, l.FEndPt);
    const TPointF v = p - l.FStartPt;
    return std::fabs(double(v.X) * u.Y - double(v.Y) * u.X);
  };
  const auto along = [](const TQN_Path &l, TPointF p) {
    const TPointF d = l.FEndPt - l.FStartPt, v = p - l.FStartPt;
    return (double(v.X) * d.X + double(v.Y) * d.Y) / (double(d.X) * d.X + double(d.Y) * d.Y);
  };
  // Each hole on the line, at its fraction, its rotation along the line (either way).
  const auto expectOnLine = [&](const TQN_Path &l, const std::vector<TQN_Path *> &holes,
                                const std::vector<double> &fractions) {
    const double lineAngle = angleOf(l.FEndPt - l.FStartPt);
    for (std::size_t i = 0; i < holes.size(); ++i) {
      EXPECT_LT(offLine(l, holes[i]->FCenter), 1e-3) << i;
      EXPECT_NEAR(along(l, holes[i]->FCenter), fractions[i], 1e-4) << i;
      const double turn = std::remainder(double(holes[i]->FRotation) - lineAngle, 180.0);
      EXPECT_NEAR(turn, 0.0, 1e-2) << i;
    }
  };

  TQN_Path *line = addLine({3, 7}, {33, 17});
  const float lineDeg = float(angleOf(line->FEndPt - line->FStartPt));
  std::vector<TQN_Path *> holes;
  std::vector<double> fractions;
  for (double f : {0.1, 0.5, 0.8}) {
    TQN_Path *h = addHole({float(3 + 30 * f), float(7 + 10 * f)});
    h->createStichPath(h->FCenter, false, &iron, lineDeg, 0.0f);
    holes.push_back(h);
    fractions.push_back(f);
  }
  const auto selectAll = [&] {
    line->SetSelected(true);
    for (TQN_Path *h : holes) h->SetSelected(true);
  };
  selectAll();
  expectOnLine(*line, holes, fractions);

  {
    SCOPED_TRACE("rotated");
    rotateSelection(editor, 17.0f, true);
    rotateSelection(editor, -43.0f, true);
    expectOnLine(*line, holes, fractions);
  }
  for (bool horizontal : {true, false}) {
    SCOPED_TRACE(horizontal ? "flipped horizontally" : "flipped vertically");
    actFlipSelectedPathsExecute(editor, horizontal);
    expectOnLine(*line, holes, fractions);
  }
  {
    SCOPED_TRACE("mirrored");
    TQN_Path *axis = addLine({-40, -30}, {-20, 60});
    const int first = doc().Count();
    std::vector<TQN_Path *> shapes{line};
    shapes.insert(shapes.end(), holes.begin(), holes.end());
    ASSERT_TRUE(mirrorCopyShapes(editor, shapes, *axis));
    ASSERT_EQ(doc().Count(), first + 4);
    std::vector<TQN_Path *> copies{doc()[first + 1], doc()[first + 2], doc()[first + 3]};
    expectOnLine(*doc()[first], copies, fractions);
  }
}

}  // namespace
}  // namespace quillon
