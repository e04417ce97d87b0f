#include "stitching/hole_walking.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/model_test_util.h"
#include "model/point_helpers.h"
#include "stitching/hole_placement.h"
#include "support/editor_fixture.h"

namespace quillon {
namespace {

using test::pointNear;

class HoleWalkingTest : public test::EditorTest {
 protected:
  struct TRouteResult {
    float Estimate, Gap = -1.0f;
    std::vector<TPointF> Points, Directions;
    bool TwoWays = false;
  };
  TRouteResult walk(const std::vector<TQN_Path *> &route, TPointF start, TPointF end, TPointF second, float pitch,
                    bool otherWay = false) {
    THolePlacer placer(editor);
    TRouteResult r;
    r.Estimate = stepHolesAlongRoute(placer, route, start, end, second, pitch, r.Gap, r.Points, r.Directions,
                                     r.TwoWays, otherWay);
    return r;
  }
  std::vector<TQN_Path *> holes() const {
    std::vector<TQN_Path *> h;
    for (TQN_Path *s : editor.doc().PathList())
      if (s->isKind(TShapeKind::Hole)) h.push_back(s);
    return h;
  }
};

TEST_F(HoleWalkingTest, AStraightRouteAtPitchFour) {
  struct Case {
    float length;
    std::size_t points;
    bool endAdded;
    float gap, estimate;
  };
  const Case cases[] = {
      {31.0f, 9, true, 1.0f, 4.0f - 1.0f / 8.0f},  // 3 mm left: the end becomes a ninth point
      {29.0f, 8, false, 1.0f, 4.0f + 1.0f / 7.0f},  // 1 mm left: close enough
      {30.0f, 9, true, 2.0f, 4.0f - 2.0f / 8.0f},   // exactly half a pitch left: the gap stays 2
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.length);
    editor.doc().clear();
    TQN_Path *l = addLine({0, 0}, {c.length, 0});
    const TRouteResult r = walk({l}, {0, 0}, {c.length, 0}, {1, 0}, 4.0f);
    ASSERT_EQ(r.Points.size(), c.points);
    ASSERT_EQ(r.Directions.size(), c.points);
    for (std::size_t i = 0; i < 8; ++i) EXPECT_TRUE(pointNear(r.Points[i], {4.0f * float(i), 0}, 1e-3)) << i;
    if (c.endAdded) {
      EXPECT_TRUE(pointNear(r.Points.back(), {c.length, 0}));
    }
    for (const TPointF d : r.Directions) EXPECT_TRUE(pointNear(d, {1, 0}));
    EXPECT_NEAR(r.Gap, c.gap, 1e-3);
    EXPECT_NEAR(r.Estimate, c.estimate, 1e-4);
    EXPECT_FALSE(r.TwoWays);
    EXPECT_TRUE(holes().empty());  // a trial makes no hole
  }
}

TEST_F(HoleWalkingTest, AForkAtTheFirstStepOffersTwoWays) {
  TQN_Path *up = addLine({0, 0}, {10, -5});
  TQN_Path *down = addLine({0, 0}, {10, 5});
  // Towards the lower end the nearer crossing is taken; OtherWay takes the first one.
  TRouteResult r = walk({up, down}, {0, 0}, {10, 5}, {1, 0}, 4.0f);
  EXPECT_TRUE(r.TwoWays);
  ASSERT_GE(r.Points.size(), 2u);
  EXPECT_GT(r.Points[1].Y, 0.0f);
  r = walk({up, down}, {0, 0}, {10, 5}, {1, 0}, 4.0f, true);
  EXPECT_TRUE(r.TwoWays);
  EXPECT_LT(r.Points[1].Y, 0.0f);
}

TEST_F(HoleWalkingTest, ARouteWalkNeverStepsOntoAnExistingHole) {
  TQN_Path *l = addLine({0, 0}, {31, 0});
  addHole({8.5f, 0.3f});
  const TRouteResult r = walk({l}, {0, 0}, {31, 0}, {1, 0}, 4.0f);
  for (const TPointF p : r.Points) EXPECT_GE(calcDistance(p, {8.5f, 0.3f}), 2.0f) << p.X;
  // With nowhere to go the walk ends early; a hole on another layer is no obstacle.
  EXPECT_EQ(r.Points.size(), 3u);
  editor.doc().clear();
  l = addLine({0, 0}, {31, 0});
  addHole({8.5f, 0.3f}, 2);
  EXPECT_EQ(walk({l}, {0, 0}, {31, 0}, {1, 0}, 4.0f).Points.size(), 9u);
}

TEST_F(HoleWalkingTest, ASingleCentreGivesNoPitch) {
  TQN_Path *l = addLine({0, 0}, {1, 0});
  const TRouteResult r = walk({l}, {0, 0}, {1, 0}, {1, 0}, 4.0f);
  EXPECT_EQ(r.Points.size(), 1u);
  EXPECT_EQ(r.Estimate, 0.0f);
}

TEST_F(HoleWalkingTest, ALoopWalkPlacesARingOfLinkedHoles) {
  std::vector<TQN_Path *> square = {addLine({0, 0}, {20, 0}), addLine({20, 0}, {20, 20}),
                                    addLine({20, 20}, {0, 20}), addLine({0, 20}, {0, 0})};
  THolePlacer trial(editor);
  int count = 0;
  const float trialGap = walkHolesOnLoop(trial, count, square, {0, 0}, true, 5.0f);
  EXPECT_EQ(count, 16);
  EXPECT_TRUE(holes().empty());

  THolePlacer placer(editor);
  EXPECT_EQ(walkHolesOnLoop(placer, count, square, {0, 0}, false, 5.0f), trialGap);
  EXPECT_NEAR(trialGap, 5.0f, 1e-3);  // the last centre is one pitch before the start
  EXPECT_EQ(count, 16);
  const std::vector<TQN_Path *> h = holes();
  ASSERT_EQ(h.size(), 16u);
  for (std::size_t i = 0; i + 1 < h.size(); ++i) {
    EXPECT_EQ(h[i]->FNextStitchID, h[i + 1]->ID()) << i;
    EXPECT_EQ(h[i + 1]->FPrevStitchID, h[i]->ID()) << i;
    EXPECT_NEAR(calcDistance(h[i]->FCenter, h[i + 1]->FCenter), 5.0f, 1e-3) << i;
  }
  EXPECT_EQ(h.back()->FNextStitchID, h.front()->ID());
  EXPECT_EQ(editor.tool().FLastStitch, h.back());
  // Holes lie along their side: on the bottom side (y = 0) across the screen.
  EXPECT_NEAR(std::fabs(h[1]->FRotation), 90.0f, 1e-3);

  // Walking again places nothing new.
  THolePlacer again(editor);
  walkHolesOnLoop(again, count, square, {0, 0}, false, 5.0f);
  EXPECT_EQ(holes().size(), 16u);
}

TEST_F(HoleWalkingTest, ALoopWalkOnAnOpenLineStops) {
  TQN_Path *l = addLine({0, 0}, {20, 0});
  THolePlacer placer(editor);
  int count = 0;
  walkHolesOnLoop(placer, count, {l}, {0, 0}, true, 5.0f);
  EXPECT_GT(count, 0);
  EXPECT_LT(count, 30);
}

}  // namespace
}  // namespace quillon
