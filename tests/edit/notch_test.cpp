#include "edit/notch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "model/draw_pallet.h"
#include "model/intersection.h"
#include "model/model_test_util.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "edit/cutting_fixture.h"

namespace quillon {
namespace {

using test::pointNear;

// An edge along y = 0 with its own pen; the current pen differs from it.
class NotchTest : public test::CuttingTest {
 protected:
  void SetUp() override {
    CuttingTest::SetUp();
    editor.pen().FCurrentColor = 0xFFFF0000;
    editor.pen().FCurrentThickness = 0.3f;
    edge = addLine({-20, 0}, {20, 0}, 0, 4);
    edge->FColor = 0xFF00FF00;
    edge->FThickness = 0.8f;
    editor.calcIntersectionsOfShape(edge);
    editor.panel().NotchDepth = 2.0f;
    editor.panel().NotchAngle = 45.0f;
  }
  std::vector<TQN_Path *> arms() {
    std::vector<TQN_Path *> out;
    for (TQN_Path *s : doc().Items())
      if (s != edge) out.push_back(s);
    return out;
  }
  TQN_Path *edge = nullptr;
};

TEST_F(NotchTest, OnAStraightEdgeTheArmsEndOnTheEdgeAndTakeItsPen) {
  const std::size_t states = undoStates();
  ASSERT_TRUE(notchClick(editor, {0, 0}));
  ASSERT_EQ(editor.tool().Clicked_Points.size(), 1u);
  ASSERT_TRUE(notchClick(editor, {0, 5}));  // the pointer below the edge

  EXPECT_TRUE(editor.tool().Clicked_Points.empty());
  EXPECT_EQ(undoStates(), states + 1);
  const std::vector<TQN_Path *> made = arms();
  ASSERT_EQ(made.size(), 2u);
  const float reach = 2.0f / std::cos(22.5f * std::numbers::pi_v<float> / 180.0f);  // about 2.16
  for (const TQN_Path *arm : made) {
    EXPECT_TRUE(pointNear(arm->FStartPt, {0, 2}, 1e-4));  // apex 2 mm inside, on the pointer's side
    EXPECT_NEAR(arm->FEndPt.Y, 0.0f, 1e-3f);
    EXPECT_NEAR(calcDistance(arm->FStartPt, arm->FEndPt), reach, 1e-3f);
    EXPECT_EQ(arm->FColor, 0xFF00FF00u);
    EXPECT_EQ(arm->FThickness, 0.8f);
    EXPECT_EQ(arm->FPalletIndex, 4);
  }
  EXPECT_NEAR(made[0]->FEndPt.X, -made[1]->FEndPt.X, 1e-4f);
  // The edge stays whole.
  EXPECT_TRUE(pointNear(edge->FStartPt, {-20, 0}));
  EXPECT_TRUE(pointNear(edge->FEndPt, {20, 0}));
}

TEST_F(NotchTest, AWideNotchKeepsFullArmsWithTheCurrentPen) {
  editor.panel().NotchAngle = 120.0f;
  ASSERT_TRUE(notchClick(editor, {0, 0}));
  ASSERT_TRUE(notchClick(editor, {0, 5}));
  const std::vector<TQN_Path *> made = arms();
  ASSERT_EQ(made.size(), 2u);
  for (const TQN_Path *arm : made) {
    EXPECT_NEAR(calcDistance(arm->FStartPt, arm->FEndPt), 3.0f, 1e-4f);
    EXPECT_EQ(arm->FColor, 0xFFFF0000u);
    EXPECT_EQ(arm->FThickness, 0.3f);
  }
}

TEST_F(NotchTest, GeometryFollowsThePointerAndFallsBackToTheRightOnTheNotchPoint) {
  const TNotchGeometry above = notchGeometry({0, 0}, {0, -7}, 2.0f, 45.0f);
  EXPECT_TRUE(pointNear(above.Apex, {0, -2}));
  const TNotchGeometry same = notchGeometry({0, 0}, {0, 0}, 2.0f, 45.0f);
  EXPECT_TRUE(pointNear(same.Dir, {-1, 0}));
  EXPECT_TRUE(pointNear(same.Apex, {2, 0}));
  EXPECT_NEAR(calcDistance(same.Apex, same.ArmEnd1), 3.0f, 1e-5f);
}

TEST_F(NotchTest, AFirstClickOffEveryOutlineFixesNothingAndASecondClickAlwaysEndsTheNotch) {
  EXPECT_FALSE(notchClick(editor, {0, 5}));
  EXPECT_TRUE(editor.tool().Clicked_Points.empty());

  // The notch point fixed, then the edge taken away: no arms, no step, the point dropped.
  ASSERT_TRUE(notchClick(editor, {0, 0}));
  editor.doc().remove(edge);
  edge = nullptr;
  const std::size_t states = undoStates();
  EXPECT_FALSE(notchClick(editor, {0, 5}));
  EXPECT_TRUE(editor.tool().Clicked_Points.empty());
  EXPECT_EQ(doc().Count(), 0);
  EXPECT_EQ(undoStates(), states);
}

TEST_F(NotchTest, AnArmCrossingAnotherColourEndsOnTheNotchedEdge) {
  // A stitching line of another colour 1 mm inside, crossed by both arms before the edge.
  TQN_Path *stitchLine = addLine({-20, 1}, {20, 1}, 0, 7);
  stitchLine->FColor = 0xFF0000FF;
  editor.calcIntersectionsOfShape(stitchLine);
  ASSERT_TRUE(notchClick(editor, {0, 0}));
  ASSERT_TRUE(notchClick(editor, {0, 5}));
  int made = 0;
  for (const TQN_Path *s : doc().Items()) {
    if (s == edge || s == stitchLine) continue;
    ++made;
    EXPECT_NEAR(s->FEndPt.Y, 0.0f, 1e-3f);
    EXPECT_EQ(s->FColor, 0xFF00FF00u);
  }
  EXPECT_EQ(made, 2);
}

}  // namespace
}  // namespace quillon
