// Flipping in place, mirrored copies across a picked line, turning a line onto an axis
// and reversing paths.
#include <gtest/gtest.h>

#include "edit/mirror_flip.h"
#include "model/point_helpers.h"
#include "shell/undo.h"
#include "support/editor_fixture.h"
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

}  // namespace
}  // namespace quillon
