#include "model/route_network.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <numbers>
#include <vector>

#include "i18n/multi_lang.h"
#include "model/document.h"
#include "model/intersection.h"
#include "model/model_test_util.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"

namespace quillon {
namespace {

using test::pointNear;

// The document owns the shapes and the crossing records.
class RouteNetworkTest : public ::testing::Test {
 protected:
  TQN_Path *newShape() {
    return document.add(std::make_unique<TQN_Path>(0, 0xFF000000, 0.3f, TStrokeDash::Solid, doc.getNextID()), 0);
  }
  TQN_Path *line(TPointF a, TPointF b) {
    TQN_Path *s = newShape();
    s->drawLinePath(a, b);
    return s;
  }
  TIntersection *crossing(TPointF p, TQN_Path *a, TQN_Path *b) {
    auto *record = new TIntersection(p, a, b);
    record->FIsCrossing = true;
    intersections.Add(record);
    return record;
  }

  TMultiLang lang;
  TDocument document{&lang, QStringLiteral("en")};
  TShapeList &doc = document.PathList();
  TIntersections &intersections = document.FIntersections;
};

// The best way into v, as the vertices it passes from v back to the start.
std::vector<TPointF> wayBack(const TRouteVertex *v) {
  std::vector<TPointF> points;
  for (; v != nullptr; v = v->FMinDistFromVertex) points.push_back(v->FPoint);
  return points;
}

TEST_F(RouteNetworkTest, NewConnectionPointJointAndVertexStartEmpty) {
  const TConnectionPointInfo cp;
  EXPECT_TRUE(cp.FPoint.exactlyEquals({-10000.0f, -10000.0f}));
  EXPECT_EQ(cp.FPath, nullptr);
  EXPECT_EQ(cp.FIntersection, nullptr);
  EXPECT_FALSE(cp.FIsStartPt);
  EXPECT_FALSE(cp.FIsEndPt);
  const TJointInfo joint;
  EXPECT_EQ(joint.FPath, nullptr);
  EXPECT_EQ(joint.FLength, 0.0f);
  const TRouteVertex vertex;
  EXPECT_EQ(vertex.FMinDist, 0.0f);
  EXPECT_EQ(vertex.FMinDistJoint, nullptr);
  EXPECT_EQ(vertex.FMinDistFromVertex, nullptr);
  const TVertexNetwork net(doc, intersections);
  EXPECT_EQ(net.Count(), 0);
  EXPECT_EQ(net.StartVertex(), nullptr);
  EXPECT_EQ(net.EndVertex(), nullptr);
}

TEST_F(RouteNetworkTest, ConnectionPointFlagsFollowTheShapesEndsAndAreNeverCleared) {
  TQN_Path *l = line({0, 0}, {10, 0});
  TQN_Path *tiny = line({0, 0}, {0.03f, 0});  // both ends within 0.05 of the origin

  TConnectionPointInfo cp;
  cp.SetPoint(l, {0.049f, 0});
  EXPECT_TRUE(cp.FIsStartPt);
  EXPECT_FALSE(cp.FIsEndPt);
  cp.SetPoint(l, {9.96f, 0});  // now near the end: the start flag stays
  EXPECT_TRUE(cp.FIsStartPt);
  EXPECT_TRUE(cp.FIsEndPt);

  TConnectionPointInfo mid;
  mid.SetPoint(l, {5, 0});
  EXPECT_FALSE(mid.FIsStartPt || mid.FIsEndPt);
  TConnectionPointInfo both;
  both.SetPoint(tiny, {0.01f, 0});  // near both ends: only the start counts
  EXPECT_TRUE(both.FIsStartPt);
  EXPECT_FALSE(both.FIsEndPt);

  TIntersection record({5, 0}, l, tiny);
  mid.SetPoint(tiny, &record, {5, 0});
  EXPECT_EQ(mid.FPath, tiny);
  EXPECT_EQ(mid.FIntersection, &record);
  EXPECT_FALSE(mid.FIsStartPt || mid.FIsEndPt);
  const TConnectionPointInfo clone = mid.Clone();
  EXPECT_EQ(clone.FPath, tiny);
  EXPECT_EQ(clone.FIntersection, &record);
  EXPECT_TRUE(clone.FPoint.exactlyEquals({5, 0}));
}

TEST_F(RouteNetworkTest, JointPointsAndOpponents) {
  TQN_Path *l = line({0, 0}, {10, 0});
  TQN_Path *other = line({0, 5}, {10, 5});
  TConnectionPointInfo a, b;
  a.SetPoint(other, {2, 0});
  b.SetPoint(l, {7, 0});
  TJointInfo joint;
  joint.SetJoint(a, b);
  EXPECT_EQ(joint.FPath, l);  // the second point's shape

  EXPECT_TRUE(joint.hasPoint(l, {2.04f, 0}));
  EXPECT_FALSE(joint.hasPoint(l, {2.06f, 0}));
  EXPECT_FALSE(joint.hasPoint(other, {2, 0}));  // another shape
  EXPECT_TRUE(joint.hasPoint(l, {7, 0.03f}));

  EXPECT_TRUE(joint.getOpponent({2.004f, 0}).exactlyEquals({7, 0}));  // same point after rounding
  EXPECT_TRUE(joint.getOpponent({7, 0}).exactlyEquals({2, 0}));
  // 2.006 rounds to 2.01, so it is not point 0's point: the answer is point 0.
  EXPECT_TRUE(joint.getOpponent({2.006f, 0}).exactlyEquals({2, 0}));
}

TEST_F(RouteNetworkTest, VerticesAreStoredRoundedAndFoundByRounding) {
  TVertexNetwork net(doc, intersections);
  TRouteVertex *v = net.addVertex({1.0051f, -2.3449f});
  EXPECT_FLOAT_EQ(v->FPoint.X, 1.01f);
  EXPECT_FLOAT_EQ(v->FPoint.Y, -2.34f);
  EXPECT_EQ(net.GetVertex({1.0071f, -2.336f}), v);
  EXPECT_EQ(net.GetVertex({1.0151f, -2.3449f}), nullptr);  // 1.02
  TRouteVertex *twin = net.addVertex({1.01f, -2.34f});
  EXPECT_EQ(net.Count(), 2);
  EXPECT_EQ(net.GetVertex({1.01f, -2.34f}), v);  // the first in creation order
  EXPECT_EQ(net[1], twin);
  EXPECT_EQ(net.GetVertex({-0.001f, 0.001f}), nullptr);
  TRouteVertex *origin = net.addVertex({-0.001f, 0.0f});  // rounds to -0: the same point as 0
  EXPECT_EQ(net.GetVertex({0.002f, -0.004f}), origin);
}

TEST_F(RouteNetworkTest, StartAndGoalOnTheSamePointAfterRoundingGiveNoNetwork) {
  line({5, 0}, {10, 0});
  TVertexNetwork net(doc, intersections);
  EXPECT_FALSE(net.dpConnect({5.001f, 0}, {5.004f, 0}));
  EXPECT_EQ(net.Count(), 0);
  EXPECT_TRUE(net.Joints().empty());
  EXPECT_EQ(net.EndVertex(), nullptr);
}

TEST_F(RouteNetworkTest, RouteOverTwoJoinedLines) {
  TQN_Path *first = line({0, 0}, {10, 0});
  TQN_Path *second = line({10, 0}, {10, 5});
  TVertexNetwork net(doc, intersections);
  ASSERT_TRUE(net.dpConnect({0, 0}, {10, 5}));

  ASSERT_EQ(net.Count(), 3);
  EXPECT_TRUE(net[0]->FPoint.exactlyEquals({0, 0}));
  EXPECT_TRUE(net[1]->FPoint.exactlyEquals({10, 0}));
  EXPECT_TRUE(net[2]->FPoint.exactlyEquals({10, 5}));
  ASSERT_EQ(net.Joints().size(), 2u);
  EXPECT_FLOAT_EQ(net.Joints()[0]->FLength, 10.0f);
  EXPECT_FLOAT_EQ(net.Joints()[1]->FLength, 5.0f);
  // Every joint is listed at both of its vertices.
  EXPECT_EQ(net[1]->FJoints.size(), 2u);

  EXPECT_EQ(net.StartVertex(), net[0]);
  EXPECT_EQ(net.EndVertex(), net[2]);
  EXPECT_FLOAT_EQ(net.EndVertex()->FMinDist, 15.0f);
  EXPECT_EQ(net.StartVertex()->FMinDist, 0.0f);
  EXPECT_EQ(net.StartVertex()->FMinDistJoint, nullptr);
  EXPECT_EQ(net.getActualPathList(net.EndVertex()), (std::vector<TQN_Path *>{second, first}));

  // Walking back: the second line's piece, then the first's.
  const TJointInfo *last = net.EndVertex()->FMinDistJoint;
  const TJointInfo *before = net.EndVertex()->FMinDistFromVertex->FMinDistJoint;
  EXPECT_EQ(last->getActualPath()->Data().toText(), "M10,0 L10,5 ");
  EXPECT_EQ(before->getActualPath()->Data().toText(), "M0,0 L10,0 ");
}

TEST_F(RouteNetworkTest, RouteAcrossAnIntersection) {
  // A T: the stem ends on the middle of the bar, where a record joins them.
  TQN_Path *bar = line({0, 0}, {10, 0});
  TQN_Path *stem = line({5, 0}, {5, 5});
  crossing({5, 0}, bar, stem);
  TVertexNetwork net(doc, intersections);
  ASSERT_TRUE(net.dpConnect({5, 5}, {0, 0}));

  // (5,5); the foot (5,0); along the bar to (0,0); the foot to (10,0). From (0,0) the
  // bar runs back to the foot, where the record is, so it is no joint of its own: the
  // bar's two halves meet at the foot. Joints: stem 5, foot to (0,0) 5, foot to (10,0) 5.
  ASSERT_EQ(net.Count(), 4);
  EXPECT_TRUE(net[3]->FPoint.exactlyEquals({10, 0}));
  ASSERT_EQ(net.Joints().size(), 3u);
  for (const auto &j : net.Joints()) EXPECT_FLOAT_EQ(j->FLength, 5.0f);

  EXPECT_FLOAT_EQ(net.EndVertex()->FMinDist, 10.0f);
  EXPECT_EQ(net.getActualPathList(net.EndVertex()), (std::vector<TQN_Path *>{bar, stem}));
  const TJointInfo *onBar = net.EndVertex()->FMinDistJoint;
  EXPECT_EQ(onBar->getActualPath()->Data().toText(), "M5,0 L0,0 ");
  EXPECT_EQ(net.EndVertex()->FMinDistFromVertex->FMinDistJoint->getActualPath()->Data().toText(), "M5,0 L5,5 ");
  const std::vector<TPointF> way = wayBack(net.EndVertex());
  ASSERT_EQ(way.size(), 3u);
  EXPECT_TRUE(way[1].exactlyEquals({5, 0}));
  // The far end of the bar is 10 away too, by the foot.
  EXPECT_FLOAT_EQ(net[3]->FMinDist, 10.0f);
}

// Where shapes cross in their middles a route changes from one to the other: a joint
// along a shape stops at the first intersection of the shape on its way, and the
// network goes on from there.
TEST_F(RouteNetworkTest, RoutesChangeShapesWhereTheyCrossInTheirMiddles) {
  struct Case {
    const char *name;
    std::function<void()> draw;
    TPointF from, to;
    float length;
    std::vector<TPointF> way;  // from the goal back to the start
  };
  const float r = 10.0f, diagonal = r / std::numbers::sqrt2_v<float>;
  const Case cases[] = {
      {"a cross: along the bar to the crossing, then up the other line",
       [&] {
         TQN_Path *bar = line({0, 0}, {10, 0});
         crossing({5, 0}, bar, line({5, -5}, {5, 5}));
       },
       {0, 0},
       {5, 5},
       10.0f,
       {{5, 5}, {5, 0}, {0, 0}}},
      {"past one crossing to turn at the next",
       [&] {
         TQN_Path *bar = line({0, 0}, {20, 0});
         crossing({5, 0}, bar, line({5, -5}, {5, 5}));
         crossing({15, 0}, bar, line({15, -5}, {15, 5}));
       },
       {0, 0},
       {15, -5},
       20.0f,
       {{15, -5}, {15, 0}, {5, 0}, {0, 0}}},
      {"a line across a quarter arc, found by the document's own intersection upkeep",
       [&] {
         TQN_Path *arc = newShape();
         arc->drawArcPath({0, 0}, {r, r}, {r, 0}, {0, r}, 90);
         document.calcIntersectionsOfShape(arc, false);
         document.calcIntersectionsOfShape(line({0, 0}, {10, 10}), false);
       },
       {10, 10},
       {10, 0},
       // Down the line to the crossing, then an eighth of the circle.
       10.0f * std::numbers::sqrt2_v<float> - r + r * std::numbers::pi_v<float> / 4.0f,
       {{10, 0}, {diagonal, diagonal}, {10, 10}}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    document.clear();
    c.draw();
    TVertexNetwork net(doc, intersections);
    ASSERT_TRUE(net.dpConnect(c.from, c.to));
    EXPECT_NEAR(net.EndVertex()->FMinDist, c.length, 0.02);
    const std::vector<TPointF> way = wayBack(net.EndVertex());
    ASSERT_EQ(way.size(), c.way.size());
    for (std::size_t i = 0; i < way.size(); ++i) EXPECT_TRUE(pointNear(way[i], c.way[i], 0.01)) << i;
    // Each piece of the route runs between its two vertices.
    for (const TRouteVertex *v = net.EndVertex(); v->FMinDistJoint != nullptr; v = v->FMinDistFromVertex) {
      const std::unique_ptr<TQN_Path> piece = v->FMinDistJoint->getActualPath();
      const TPointF ends[] = {piece->FStartPt, piece->FEndPt};
      for (const TPointF vertex : {v->FPoint, v->FMinDistFromVertex->FPoint})
        EXPECT_TRUE(pointNear(ends[0], vertex, 0.02) || pointNear(ends[1], vertex, 0.02));
    }
  }
}

// The way a joint takes to its far end is cut at the first intersection on it, counted
// the way the joint's length is measured.
TEST_F(RouteNetworkTest, JointsStopAtTheFirstIntersectionOnTheirWay) {
  TQN_Path *bar = line({0, 0}, {20, 0});
  TQN_Path *lonely = line({0, 30}, {10, 30});
  // A circle of radius 10 about (50,50): its outline starts at the left point (40,50)
  // and runs over the top (50,40) at a quarter, the right (60,50) at a half and the
  // bottom (50,60) at three quarters.
  TQN_Path *circle = newShape();
  circle->drawEllipsePath({50, 50}, 20, 20);
  TQN_Path *crosser = line({0, -9}, {0, 9});
  for (const TPointF p : {TPointF{5, 0}, TPointF{15, 0}}) crossing(p, bar, crosser);
  for (const TPointF p : {TPointF{40, 50}, TPointF{60, 50}, TPointF{50, 60}}) crossing(p, circle, crosser);
  const float d = 10.0f / std::numbers::sqrt2_v<float>;
  const TPointF upperLeft{50 - d, 50 - d}, lowerRight{50 + d, 50 + d};  // at 1/8 and 5/8
  TVertexNetwork net(doc, intersections);
  struct Case {
    const char *name;
    TQN_Path *shape;
    TPointF from, to, stop;
  };
  const Case cases[] = {
      {"line, forwards", bar, {0, 0}, {20, 0}, {5, 0}},
      {"line, backwards", bar, {20, 0}, {0, 0}, {15, 0}},
      {"line, from an intersection", bar, {5, 0}, {20, 0}, {15, 0}},
      {"line, an intersection at the far end does not stop it", bar, {10, 0}, {15.03f, 0}, {15.03f, 0}},
      {"line, nothing on the way", bar, {6, 0}, {14, 0}, {14, 0}},
      {"a shape without intersections", lonely, {0, 30}, {10, 30}, {10, 30}},
      {"outline, forwards", circle, {50, 40}, lowerRight, {60, 50}},
      {"outline, backwards with nothing on the way", circle, {50, 40}, upperLeft, upperLeft},
      {"outline, the shorter way round passes the outline's start", circle, {50, 60}, upperLeft, {40, 50}},
      {"outline, round to itself: the nearer intersection either way", circle, {40, 50}, {40, 50}, {50, 60}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(pointNear(net.firstIntersectionOnTheWay(c.shape, c.from, c.to), c.stop, 1e-4));
  }
}

TEST_F(RouteNetworkTest, ShapesMeetOnlyAtEndsAndIntersectionRecords) {
  // The same T without a record: the stem's foot is no way onto the bar.
  line({0, 0}, {10, 0});
  line({5, 0}, {5, 5});
  TVertexNetwork tee(doc, intersections);
  EXPECT_FALSE(tee.dpConnect({5, 5}, {0, 0}));
  EXPECT_EQ(tee.Count(), 2);

  // Two lines apart from each other.
  line({20, 0}, {30, 0});
  TVertexNetwork apart(doc, intersections);
  EXPECT_FALSE(apart.dpConnect({0, 0}, {30, 0}));
  EXPECT_EQ(apart.GetVertex({30, 0}), nullptr);
  EXPECT_EQ(apart.EndVertex(), nullptr);
  EXPECT_TRUE(apart.VertexQueue().empty());
}

TEST_F(RouteNetworkTest, GoalInTheMiddleOfAShapeRunsNoSearch) {
  line({0, 0}, {10, 0});
  TVertexNetwork net(doc, intersections);
  EXPECT_FALSE(net.dpConnect({0, 0}, {5, 0}));
  ASSERT_EQ(net.Count(), 2);  // (0,0) and (10,0)
  EXPECT_EQ(net.EndVertex(), nullptr);
  EXPECT_EQ(net.StartVertex(), nullptr);
  EXPECT_EQ(net[1]->FMinDist, 0.0f);  // unreached: no search ran
}

TEST_F(RouteNetworkTest, StartInTheMiddleOfALineGoesToTheFartherEndFirst) {
  line({0, 0}, {10, 0});
  TVertexNetwork net(doc, intersections);
  ASSERT_TRUE(net.dpConnect({3, 0}, {0, 0}));
  // The first joint runs to the farther end (10,0); from there the whole line leads back
  // to (0,0). No joint joins (3,0) with (0,0) directly, so the way is 7 + 10.
  ASSERT_EQ(net.Joints().size(), 2u);
  const TJointInfo &first = *net.Joints()[0];
  EXPECT_TRUE(first.FPoints[0].FPoint.exactlyEquals({3, 0}));
  EXPECT_TRUE(first.FPoints[1].FPoint.exactlyEquals({10, 0}));
  EXPECT_FLOAT_EQ(first.FLength, 7.0f);
  EXPECT_FLOAT_EQ(net.Joints()[1]->FLength, 10.0f);
  for (const auto &j : net.Joints()) EXPECT_FALSE(j->hasPoint(j->FPath, {3, 0}) && j->hasPoint(j->FPath, {0, 0}));
  EXPECT_FLOAT_EQ(net.EndVertex()->FMinDist, 17.0f);
}

TEST_F(RouteNetworkTest, JointStopsAtAGoalOnAnIntersection) {
  TQN_Path *bar = line({0, 0}, {10, 0});
  TQN_Path *cross = line({5, -5}, {5, 5});
  crossing({5, 0}, bar, cross);
  TVertexNetwork net(doc, intersections);
  ASSERT_TRUE(net.dpConnect({0, 0}, {5, 0}));

  const TJointInfo &first = *net.Joints()[0];
  EXPECT_EQ(first.FPath, bar);
  EXPECT_TRUE(first.FPoints[1].FPoint.exactlyEquals({5, 0}));  // not the bar's end (10,0)
  EXPECT_FLOAT_EQ(first.FLength, 5.0f);
  EXPECT_FLOAT_EQ(net.EndVertex()->FMinDist, 5.0f);
  EXPECT_EQ(net.EndVertex()->FMinDistJoint, &first);
  EXPECT_EQ(first.getActualPath()->Data().toText(), "M0,0 L5,0 ");
  // (0,0), (5,0), then both ends of the bar's other half and of the crossing line.
  EXPECT_EQ(net.Count(), 5);
  EXPECT_EQ(net.Joints().size(), 4u);
}

TEST_F(RouteNetworkTest, HasIntersectionGoalIgnoresRecordsAtTheStartOfTheJoint) {
  TQN_Path *bar = line({0, 0}, {10, 0});
  TQN_Path *cross = line({5, -5}, {5, 5});
  TQN_Path *far = line({50, 0}, {60, 0});
  crossing({5, 0}, bar, cross);
  const TVertexNetwork net(doc, intersections);
  EXPECT_TRUE(net.hasIntersectionGoal(bar, {0, 0}, {10, 0}, {5.04f, 0}));
  EXPECT_TRUE(net.hasIntersectionGoal(cross, {5, 5}, {999, 999}, {5, 0}));  // ToPt is not examined
  EXPECT_FALSE(net.hasIntersectionGoal(bar, {5.03f, 0}, {10, 0}, {5, 0}));  // starts on the record
  EXPECT_FALSE(net.hasIntersectionGoal(bar, {0, 0}, {10, 0}, {5.06f, 0}));
  EXPECT_FALSE(net.hasIntersectionGoal(far, {50, 0}, {60, 0}, {5, 0}));
}

TEST_F(RouteNetworkTest, FirstOfTwoWaysThatRoundAlikeStays) {
  // Two ways from (0,0) to (10,0), over (5,+y1) and over (5,-y2): 2 * sqrt(25 + y^2) is
  // 10.004 for y1^2 = 0.020004 and 10.001 for y2^2 = 0.00500025. Both round to 10.00.
  const float y1 = std::sqrt(0.020004f), y2 = std::sqrt(0.00500025f);
  struct Case {
    const char *name;
    bool longerFirst;
    float expected;
  };
  for (const Case &c : {Case{"longer way listed first", true, 10.004f}, Case{"shorter way first", false, 10.001f}}) {
    SCOPED_TRACE(c.name);
    document.clear();
    const float firstY = c.longerFirst ? y1 : -y2, secondY = c.longerFirst ? -y2 : y1;
    line({0, 0}, {5, firstY});
    line({5, firstY}, {10, 0});
    line({0, 0}, {5, secondY});
    line({5, secondY}, {10, 0});
    TVertexNetwork net(doc, intersections);
    ASSERT_TRUE(net.dpConnect({0, 0}, {10, 0}));
    EXPECT_NEAR(net.EndVertex()->FMinDist, c.expected, 2e-5);
    EXPECT_NEAR(net.EndVertex()->FMinDistFromVertex->FPoint.Y, round2(firstY), 1e-6);
  }
}

TEST_F(RouteNetworkTest, ShorterWayFoundLaterReplacesTheFirst) {
  // From (0,0) to (10,0): a half circle of radius 5 (length about 15.7) reaches (10,0)
  // first, in one step; the two lines over (5,1) (2 * sqrt(26) = 10.198) come later and
  // replace it, with the length rounded to 0.01.
  TQN_Path *arc = newShape();
  arc->drawArcPath({5, 0}, {5, 5}, {0, 0}, {10, 0}, 180);
  TQN_Path *up = line({0, 0}, {5, 1});
  TQN_Path *down = line({5, 1}, {10, 0});
  TVertexNetwork net(doc, intersections);
  ASSERT_TRUE(net.dpConnect({0, 0}, {10, 0}));
  EXPECT_FLOAT_EQ(net.EndVertex()->FMinDist, 10.2f);
  EXPECT_EQ(net.getActualPathList(net.EndVertex()), (std::vector<TQN_Path *>{down, up}));
  EXPECT_NEAR(net.GetVertex({5, 1})->FMinDist, 5.09902f, 1e-4);
  // The half circle is still a joint of the network, just not on the way.
  EXPECT_TRUE(std::any_of(net.Joints().begin(), net.Joints().end(), [&](const auto &j) { return j->FPath == arc; }));
}

TEST_F(RouteNetworkTest, WayOfLengthZeroLeavesAVertexUnreached) {
  // A DOT's outline has no straight segments, so a joint along it has length 0. Its end
  // is set to (0,0), where a line starts.
  TQN_Path *dot = newShape();
  dot->drawDotPath({50, 50}, 1.0f);
  dot->FEndPt = {0, 0};
  TQN_Path *l = line({0, 0}, {0, 10});
  TVertexNetwork net(doc, intersections);
  ASSERT_TRUE(net.dpConnect({51, 50}, {0, 10}));  // (51,50) lies on the dot's outline

  TRouteVertex *origin = net.GetVertex({0, 0});
  ASSERT_NE(origin, nullptr);
  EXPECT_EQ(origin->FMinDist, 0.0f);
  ASSERT_NE(origin->FMinDistJoint, nullptr);
  EXPECT_EQ(origin->FMinDistJoint->FPath, dot);
  EXPECT_FLOAT_EQ(net.EndVertex()->FMinDist, 10.0f);

  // Met again (from (0,10) along the line), it counts as unreached and takes that way.
  net.addToQueue(net.EndVertex(), nullptr, {51, 50});
  net.dpProcessQueue({51, 50});
  EXPECT_FLOAT_EQ(origin->FMinDist, 20.0f);
  EXPECT_EQ(origin->FMinDistJoint->FPath, l);
  EXPECT_EQ(origin->FMinDistFromVertex, net.EndVertex());
}

TEST_F(RouteNetworkTest, QuarterOfAClosedOutline) {
  // A circle of radius 10 about (50,50): its outline starts at the left point (40,50) and
  // runs over the top (50,40), the right and the bottom (50,60) back to the start.
  TQN_Path *circle = newShape();
  circle->drawEllipsePath({50, 50}, 20, 20);
  const double total = circle->calcTotalLength();
  ASSERT_NEAR(total, 20 * std::numbers::pi, 0.05);
  const TVertexNetwork net(doc, intersections);

  float from = -1, to = -1;
  EXPECT_NEAR(net.calcPathLen(circle, {40, 50}, {50, 40}, from, to), total / 4, 1e-3);
  EXPECT_EQ(from, 0.0f);
  EXPECT_NEAR(to, total / 4, 1e-3);
  // Three quarters one way are a quarter the other way round.
  EXPECT_NEAR(net.calcPathLen(circle, {40, 50}, {50, 60}, from, to), total / 4, 1e-3);
  EXPECT_NEAR(to, 3 * total / 4, 1e-3);
  // Start and end of the outline: the whole length.
  EXPECT_NEAR(net.calcPathLen(circle, {40, 50}, {40, 50}, from, to), total, 1e-3);

  // The actual path of a joint between the left and the bottom point is the lower-left
  // quarter, not the other three.
  TConnectionPointInfo left, bottom;
  left.SetPoint(circle, {40, 50});
  bottom.SetPoint(circle, {50, 60});
  TJointInfo joint;
  joint.SetJoint(left.Clone(), bottom);
  joint.FLength = net.calcPathLen(circle, {40, 50}, {50, 60}, from, to);
  const std::unique_ptr<TQN_Path> piece = joint.getActualPath();
  ASSERT_NE(piece, nullptr);
  EXPECT_NEAR(piece->calcTotalLength(), total / 4, 1e-3);
  EXPECT_TRUE(pointNear(piece->FStartPt, {50, 60}));
  EXPECT_TRUE(pointNear(piece->FEndPt, {40, 50}));
  for (const TPathPoint &p : piece->Data().Points()) {
    EXPECT_LE(p.Point.X, 50.0f + 1e-4f);
    EXPECT_GE(p.Point.Y, 50.0f - 1e-4f);
  }
  EXPECT_EQ(piece->FShapeType, circle->FShapeType);  // a copy of the shape
  EXPECT_EQ(piece->ID(), circle->ID());
}

TEST_F(RouteNetworkTest, ActualPathOfAnOpenCurveIsThePieceBetweenItsPoints) {
  // An arc of radius 10 about (0,0) from (10,0) over a quarter turn to (0,10).
  TQN_Path *arc = newShape();
  arc->drawArcPath({0, 0}, {10, 10}, {10, 0}, {0, 10}, 90);
  const double total = arc->calcTotalLength();
  ASSERT_NEAR(total, 5 * std::numbers::pi, 0.05);
  const TVertexNetwork net(doc, intersections);

  // The outline point nearest the middle of the arc; along the arc it lies about
  // 10 * its angle from the start.
  TPointF middle = arc->Data()[0].Point;
  for (const TPathPoint &p : arc->Data().Points())
    if (std::fabs(double(p.Point.X) - p.Point.Y) < std::fabs(double(middle.X) - middle.Y)) middle = p.Point;
  ASSERT_TRUE(pointNear(middle, {7.0711f, 7.0711f}, 1.0));
  const double alongArc = 10 * std::atan2(double(middle.Y), double(middle.X));

  TConnectionPointInfo start, mid;
  start.SetPoint(arc, {10, 0});
  mid.SetPoint(arc, middle);
  TJointInfo joint;
  joint.SetJoint(mid, start);
  float from = 0, to = 0;
  joint.FLength = net.calcPathLen(arc, middle, {10, 0}, from, to);
  EXPECT_NEAR(joint.FLength, alongArc, 0.02);
  EXPECT_EQ(to, 0.0f);
  const std::unique_ptr<TQN_Path> piece = joint.getActualPath();
  EXPECT_NEAR(piece->calcTotalLength(), joint.FLength, 1e-3);
  EXPECT_TRUE(pointNear(piece->FStartPt, {10, 0}));
  EXPECT_TRUE(pointNear(piece->FEndPt, middle));
  for (const TPathPoint &p : piece->Data().Points()) EXPECT_LE(p.Point.Y, middle.Y + 1e-4f);

  // Start to end: the whole outline, as it stands.
  TConnectionPointInfo end;
  end.SetPoint(arc, {0, 10});
  TJointInfo whole;
  whole.SetJoint(start, end);
  EXPECT_EQ(whole.getActualPath()->Data().toText(), arc->Data().toText());
}

TEST_F(RouteNetworkTest, ClearAllReleasesTheNetwork) {
  line({0, 0}, {10, 0});
  line({10, 0}, {10, 5});
  TVertexNetwork net(doc, intersections);
  ASSERT_TRUE(net.dpConnect({0, 0}, {10, 5}));
  net.clearAll();
  EXPECT_EQ(net.Count(), 0);
  EXPECT_TRUE(net.Joints().empty());
  EXPECT_TRUE(net.VertexQueue().empty());
  EXPECT_EQ(net.GetVertex({0, 0}), nullptr);
  // A second query on the same network gives the same answer.
  ASSERT_TRUE(net.dpConnect({10, 5}, {0, 0}));
  EXPECT_FLOAT_EQ(net.EndVertex()->FMinDist, 15.0f);
}

TEST_F(RouteNetworkTest, LongChainBuildsWithoutExhaustingTheStack) {
  constexpr int kSegments = 100000;
  for (int i = 0; i < kSegments; ++i) line({static_cast<float>(i), 0}, {static_cast<float>(i + 1), 0});
  TVertexNetwork net(doc, intersections);
  ASSERT_TRUE(net.dpConnect({0, 0}, {static_cast<float>(kSegments), 0}));
  EXPECT_EQ(net.Count(), kSegments + 1);
  EXPECT_EQ(net.Joints().size(), static_cast<std::size_t>(kSegments));
  EXPECT_EQ(net.EndVertex()->FMinDist, static_cast<float>(kSegments));
  const std::vector<TQN_Path *> shapes = net.getActualPathList(net.EndVertex());
  ASSERT_EQ(shapes.size(), static_cast<std::size_t>(kSegments));
  EXPECT_EQ(shapes.front(), doc[kSegments - 1]);
  EXPECT_EQ(shapes.back(), doc[0]);
  // Vertices in creation order along the chain.
  EXPECT_TRUE(net[kSegments / 2]->FPoint.exactlyEquals({static_cast<float>(kSegments / 2), 0}));
}

// findJoint looks only near its first point; it must give what scanning every joint in
// creation order gives: a grid of crossing lines (joints meet at shared points and at
// points a few hundredths apart), asked at points on, near and off the joints' points.
TEST_F(RouteNetworkTest, FindJointGivesTheFirstMatchingJointInCreationOrder) {
  std::vector<TQN_Path *> lines;
  for (int i = 0; i < 6; ++i) {
    const float at = static_cast<float>(i) + 0.5f + 0.03f * static_cast<float>(i % 3);
    lines.push_back(line({0, at}, {7, at}));
    lines.push_back(line({at, 0}, {at, 7}));
  }
  for (std::size_t a = 0; a < lines.size(); a += 2)
    for (std::size_t d = 1; d < lines.size(); d += 2)
      crossing({lines[d]->FStartPt.X, lines[a]->FStartPt.Y}, lines[a], lines[d]);
  TVertexNetwork net(doc, intersections);
  // Each search from another crossing adds its joints to the same network.
  for (const TIntersection *record : intersections) net.dpConnect(record->FPoint, {3.5f, 3.5f});
  ASSERT_GT(net.Joints().size(), 50u);

  std::vector<TPointF> probes;
  for (const auto &J : net.Joints())
    for (const TConnectionPointInfo &p : J->FPoints)
      for (const TPointF offset : {TPointF{0, 0}, TPointF{0.049f, 0}, TPointF{0, -0.051f}, TPointF{0.03f, 0.03f}})
        probes.push_back(p.FPoint + offset);
  probes.push_back({NAN, 1});
  int found = 0;
  for (std::size_t k = 0; k + 1 < probes.size(); k += 7) {
    for (TQN_Path *shape : lines) {
      const TPointF pt1 = probes[k], pt2 = probes[std::min(k ^ 4, probes.size() - 1)];  // the other point
      TJointInfo *scanned = nullptr;
      for (const auto &J : net.Joints())
        if (J->hasPoint(shape, pt1) && J->hasPoint(shape, pt2)) {
          scanned = J.get();
          break;
        }
      EXPECT_EQ(net.findJoint(shape, pt1, pt2), scanned);
      found += scanned != nullptr;
    }
  }
  EXPECT_GT(found, 0);
  // Asked for the two points of a joint: the first joint that has both.
  for (const auto &J : net.Joints()) {
    const TJointInfo *first = nullptr;
    for (const auto &K : net.Joints())
      if (K->hasPoint(J->FPath, J->FPoints[0].FPoint) && K->hasPoint(J->FPath, J->FPoints[1].FPoint)) {
        first = K.get();
        break;
      }
    EXPECT_EQ(net.findJoint(J->FPath, J->FPoints[0].FPoint, J->FPoints[1].FPoint), first);
  }
}

// The first record on a way along a LINE, as a scan of all its records in list order
// finds it: the smallest distance along the way inside it, the earlier record on a tie.
TPointF firstOnTheWayByScan(const TIntersections &records, const TQN_Path *line, TPointF from, TPointF to) {
  const double dx = double(to.X) - from.X, dy = double(to.Y) - from.Y;
  const double span = std::hypot(dx, dy);
  if (span == 0.0) return to;
  TPointF best = to;
  double bestTravel = 0.0;
  bool found = false;
  for (const TIntersection *r : records) {
    if (r->FPath1 != line && r->FPath2 != line) continue;
    const TPointF X = r->FPoint;
    if (!std::isfinite(X.X) || !std::isfinite(X.Y)) continue;
    if (isSamePoint(X, from, 0.05f) || isSamePoint(X, to, 0.05f)) continue;
    const double travel = ((double(X.X) - from.X) * dx + (double(X.Y) - from.Y) * dy) / span;
    if (travel > 0.0 && travel < span && (!found || travel < bestTravel)) {
      best = X;
      bestTravel = travel;
      found = true;
    }
  }
  return best;
}

TEST_F(RouteNetworkTest, FirstIntersectionOnALineIsTheOneAScanOfItsRecordsFinds) {
  // Lines across (some drawn right to left), lines down and slanted lines, crossing each
  // other; the crossing points of the slanted ones lie a little off the lines as floats
  // do. Three lines pass through (5.5, 5.5); a record far from its line (as a damaged file
  // may hold) and a line of no length take part too.
  std::vector<TQN_Path *> lines;
  for (int i = 0; i < 8; ++i) {
    const float at = static_cast<float>(i) + 0.5f;
    lines.push_back(i % 3 == 1 ? line({9, at}, {0, at}) : line({0, at}, {9, at}));
    lines.push_back(line({at, 0}, {at, 9}));
  }
  TQN_Path *slant = line({0.2f, 0.1f}, {8.9f, 8.7f});
  TQN_Path *steep = line({7.3f, 0.1f}, {2.1f, 8.8f});
  TQN_Path *diagonal = line({0.5f, 0.5f}, {8.5f, 8.5f});
  TQN_Path *dot = line({4.0f, 4.0f}, {4.0f, 4.0f});
  const auto crossAt = [](const TQN_Path *p, const TQN_Path *q, TPointF &x) {
    const double ax = p->FStartPt.X, ay = p->FStartPt.Y, bx = double(p->FEndPt.X) - ax, by = double(p->FEndPt.Y) - ay;
    const double cx = q->FStartPt.X, cy = q->FStartPt.Y, ex = double(q->FEndPt.X) - cx, ey = double(q->FEndPt.Y) - cy;
    const double den = bx * ey - by * ex;
    if (std::fabs(den) < 1e-12) return false;
    const double t = ((cx - ax) * ey - (cy - ay) * ex) / den, u = ((cx - ax) * by - (cy - ay) * bx) / den;
    if (t < 0 || t > 1 || u < 0 || u > 1) return false;
    x = {static_cast<float>(ax + bx * t), static_cast<float>(ay + by * t)};
    return true;
  };
  std::vector<TQN_Path *> all = lines;
  for (TQN_Path *s : {slant, steep, diagonal}) all.push_back(s);
  for (std::size_t i = 0; i < all.size(); ++i)
    for (std::size_t j = i + 1; j < all.size(); ++j) {
      TPointF x;
      if (crossAt(all[i], all[j], x)) crossing(x, all[j], all[i]);
    }
  crossing({5.5f, 5.51f}, lines[10], diagonal);  // a second record near the shared point
  crossing({30.0f, 2.0f}, lines[2], slant);
  crossing({4.0f, 4.0f}, dot, diagonal);
  all.push_back(dot);
  ASSERT_GT(intersections.Count(), 100);

  TVertexNetwork net(doc, intersections);
  int compared = 0, stopped = 0;
  for (const TQN_Path *s : all) {
    std::vector<TPointF> places = {s->FStartPt, s->FEndPt, {4.26f, 4.3f}, {NAN, 1.0f}};
    for (const TIntersection *r : intersections)
      if (r->FPath1 == s || r->FPath2 == s)
        for (const TPointF offset : {TPointF{0, 0}, TPointF{0.03f, -0.02f}, TPointF{0.3f, 0.4f}})
          places.push_back(r->FPoint + offset);
    for (std::size_t f = 0; f < places.size(); ++f)
      for (std::size_t t = 0; t < places.size(); t += (f % 3) + 1) {
        const TPointF expected = firstOnTheWayByScan(intersections, s, places[f], places[t]);
        const TPointF got = net.firstIntersectionOnTheWay(s, places[f], places[t]);
        ASSERT_TRUE(std::memcmp(&got, &expected, sizeof(TPointF)) == 0)
            << "from (" << places[f].X << ", " << places[f].Y << ") to (" << places[t].X << ", " << places[t].Y
            << ") got (" << got.X << ", " << got.Y << ") expected (" << expected.X << ", " << expected.Y << ")";
        ++compared;
        stopped += std::memcmp(&expected, &places[t], sizeof(TPointF)) != 0;
      }
  }
  EXPECT_GT(compared, 10000);
  EXPECT_GT(stopped, compared / 4);  // most ways meet a record before their end
}

}  // namespace
}  // namespace quillon
