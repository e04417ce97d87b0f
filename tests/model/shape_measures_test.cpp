#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/model_test_util.h"
#include "model/shape.h"

namespace quillon {
namespace {

using test::pointNear;

std::unique_ptr<TQN_Path> newShape() { return std::make_unique<TQN_Path>(0, 0xFF000000, 1, TStrokeDash::Solid, 1); }

// A shape of the given kind whose outline is the given path text.
std::unique_ptr<TQN_Path> outlineShape(const char *kind, const char *path) {
  auto s = newShape();
  s->setKindName(QString::fromLatin1(kind));
  s->setData(TPathData::fromText(path));
  return s;
}

void expectPoints(const std::vector<TPointF> &actual, const std::vector<TPointF> &expected, double tol,
                  const std::string &what) {
  ASSERT_EQ(actual.size(), expected.size()) << what;
  for (std::size_t i = 0; i < actual.size(); ++i)
    EXPECT_TRUE(pointNear(actual[i], expected[i], tol)) << what << ", point " << i;
}

void expectRect(const TRectF &r, float l, float t, float rt, float b) {
  EXPECT_FLOAT_EQ(r.Left, l);
  EXPECT_FLOAT_EQ(r.Top, t);
  EXPECT_FLOAT_EQ(r.Right, rt);
  EXPECT_FLOAT_EQ(r.Bottom, b);
}

TEST(ShapeMeasures, LineBoundaryControlPointsAndCentre) {
  auto s = newShape();
  s->drawLinePath({0, 0}, {10, 4});
  expectRect(s->getBoundary(false), 0, 0, 10, 4);
  EXPECT_TRUE(s->FIsBoundaryCalculated);
  expectPoints(s->getControlPoints(false, false, false), {{0, 0}, {2.5f, 1}, {5, 2}, {7.5f, 3}, {10, 4}}, 1e-6,
               "line");
  expectPoints(s->getControlPoints(true, false, true), {{0, 0}, {2.5f, 1}, {5, 2}, {7.5f, 3}, {10, 4}}, 1e-6,
               "line with every flag");
  EXPECT_TRUE(pointNear(s->GetCenter(), {5, 2}, 1e-6));
  EXPECT_TRUE(pointNear(s->FCenter, {5, 2}, 1e-6));
}

TEST(ShapeMeasures, ControlPointsByKind) {
  const float r = static_cast<float>(5.0 / std::sqrt(2.0));

  auto circle = newShape();
  circle->drawEllipsePath({0, 0}, 10, 10);
  expectPoints(circle->getControlPoints(false, false, false),
               {{0, -5}, {r, -r}, {5, 0}, {r, r}, {0, 5}, {-r, r}, {-5, 0}, {-r, -r}, {0, 0}}, 1e-5, "circle");

  auto ellipse = newShape();
  ellipse->drawEllipsePath({0, 0}, 10, 6);
  expectPoints(ellipse->getControlPoints(false, false, false), {{0, 0}, {0, 3}, {0, -3}, {5, 0}, {-5, 0}}, 1e-6,
               "ellipse");

  auto dot = newShape();
  dot->drawDotPath({2, 3}, 0.5f);
  expectPoints(dot->getControlPoints(false, false, false), {{2, 3}}, 0, "dot");

  auto hole = outlineShape("S_HOLE", "M4,4 L6,4 L6,6 Z");
  hole->FCenter = {5, 5};
  expectPoints(hole->getControlPoints(true, false, true), {{5, 5}}, 0, "hole");

  // A quarter of the circle of radius 10 from (10, 0) clockwise on screen to (0, 10).
  auto arc = newShape();
  arc->drawArcPath({0, 0}, {10, 10}, {10, 0}, {0, 10}, 90);
  const std::vector<TPointF> arcPoints{
      {10, 0}, {9.238795f, 3.826834f}, {7.071068f, 7.071068f}, {3.826834f, 9.238795f}, {0, 10}};
  expectPoints(arc->getControlPoints(false, false, false), arcPoints, 1e-5, "arc");
  std::vector<TPointF> withCentre = arcPoints;
  withCentre.push_back({0, 0});
  expectPoints(arc->getControlPoints(true, false, false), withCentre, 1e-5, "arc with centre");

  // Any other kind: the corners of the boundary.
  auto other = outlineShape("OTHER", "M1,2 L5,2 L5,8");
  expectPoints(other->getControlPoints(false, false, false), {{1, 2}, {5, 2}, {5, 8}, {1, 8}}, 0, "other");
  auto text = outlineShape("TEXT", "M1,2 L5,2 L5,8");
  expectPoints(text->getControlPoints(false, false, false), {{1, 2}, {5, 2}, {5, 8}, {1, 8}}, 0, "text");
}

TEST(ShapeMeasures, BezierQuarterPointsAreCachedUntilReset) {
  auto s = newShape();
  s->drawBezierPath({0, 0}, {10, 0}, {20, 0}, {30, 0});
  expectPoints(s->getControlPoints(false, false, false), {{0, 0}, {30, 0}}, 0, "ends only");
  EXPECT_TRUE(s->FControlPointsCache.empty());

  const std::vector<TPointF> quarters{{0, 0}, {30, 0}, {7.5f, 0}, {15, 0}, {22.5f, 0}};
  expectPoints(s->getControlPoints(false, false, true), quarters, 1e-4, "with quarters");
  expectPoints(s->FControlPointsCache, quarters, 1e-4, "cache");

  // The cached points stay until the caches are reset, whatever the fields say.
  s->FStartPt = {-100, 0};
  expectPoints(s->getControlPoints(false, false, true), quarters, 1e-4, "from the cache");
  expectPoints(s->getControlPoints(false, false, false), {{-100, 0}, {30, 0}}, 0, "cache not consulted");
  s->resetBoundary();
  EXPECT_TRUE(s->FControlPointsCache.empty());
  EXPECT_NEAR(s->getControlPoints(false, false, true)[3].X, -35.0, 1e-3);  // half of the new length
}

TEST(ShapeMeasures, EveryPathPointWalk) {
  struct Case {
    const char *path;
    std::vector<TPointF> expected;
  };
  const Case cases[] = {
      {"M0,0 L10,4", {{0, 0}, {10, 4}}},
      // A move after a run repeats the run's end; a lone move followed by a move adds nothing.
      {"M0,0 L1,0 M5,5 L6,6", {{0, 0}, {1, 0}, {1, 0}, {5, 5}, {6, 6}}},
      {"M100,100 M0,0 L1,1", {{0, 0}, {1, 1}}},
      // A curve run starts with its start twice; each curve entry appends the point
      // before it, and the last point is appended at the end of the walk.
      {"M0,0 C1,2 3,4 5,6", {{0, 0}, {0, 0}, {1, 2}, {3, 4}, {5, 6}}},
      // A line right after a curve appends the curve's end before its own point.
      {"M5,5 C6,5 7,6 8,8 L9,9 Z", {{5, 5}, {5, 5}, {6, 5}, {7, 6}, {8, 8}, {9, 9}}},
      {"M7,7", {}},
      {"", {}},
  };
  for (const Case &c : cases) {
    auto s = outlineShape("OTHER", c.path);
    expectPoints(s->getControlPoints(false, true, true), c.expected, 0, c.path);
  }

  // The walk is the same for every kind: a LINE's outline gives exactly its two ends.
  auto line = newShape();
  line->drawLinePath({1, 2}, {3, 4});
  expectPoints(line->getControlPoints(false, true, false), {{1, 2}, {3, 4}}, 0, "line forced");
}

TEST(ShapeMeasures, BoundaryCacheAndTheStartEndCentreOfOther) {
  // The mean counts the repeated points: (0,0), (4,0), (4,0), (4,2), (0,2).
  auto s = outlineShape("OTHER", "M0,0 L4,0 M4,2 L0,2");
  EXPECT_TRUE(pointNear(s->GetCenter(), {2.4f, 0.8f}, 1e-6));
  EXPECT_TRUE(pointNear(s->FStartPt, {0, 0}, 0));
  EXPECT_TRUE(pointNear(s->FEndPt, {4, 2}, 0));
  expectRect(s->FBoundaryCache, 0, 0, 4, 2);
  EXPECT_TRUE(s->FIsBoundaryCalculated);

  // With a valid cache nothing else happens, even when asked to set the fields.
  s->FCenter = {99, 99};
  s->FStartPt = {-1, -1};
  expectRect(s->getBoundary(true), 0, 0, 4, 2);
  EXPECT_TRUE(pointNear(s->GetCenter(), {99, 99}, 0));
  EXPECT_TRUE(pointNear(s->FStartPt, {-1, -1}, 0));

  // Moving the outline without resetting keeps the old rectangle.
  s->Data().Translate(100, 0);
  expectRect(s->getBoundary(false), 0, 0, 4, 2);
  s->resetBoundary();
  expectRect(s->getBoundary(false), 100, 0, 104, 2);

  // Without SetStartEndCenter only the cache changes.
  auto t = outlineShape("OTHER", "M1,1 L3,5");
  t->FCenter = {7, 7};
  expectRect(t->getBoundary(false), 1, 1, 3, 5);
  EXPECT_TRUE(pointNear(t->FCenter, {7, 7}, 0));
  EXPECT_TRUE(pointNear(t->FStartPt, {0, 0}, 0));
}

TEST(ShapeMeasures, EmptyOutlineBoundaryIsTheUncachedStartEndRectangle) {
  auto s = newShape();
  s->FStartPt = {5, 5};
  s->FEndPt = {1, 1};
  s->FCenter = {3, 8};
  expectRect(s->getBoundary(true), 5, 5, 1, 1);
  EXPECT_FALSE(s->FIsBoundaryCalculated);
  EXPECT_TRUE(pointNear(s->GetCenter(), {3, 8}, 0));
  EXPECT_TRUE(pointNear(s->FStartPt, {5, 5}, 0));
  EXPECT_TRUE(s->getIntervals(false).empty());
  EXPECT_TRUE(s->getIntervalsFast(false).empty());
  EXPECT_EQ(s->calcTotalLength(), 0.0f);
  EXPECT_EQ(s->calcLengthBetween(0, 3, 1), 0.0f);
}

TEST(ShapeMeasures, BezierCentreAndMovingToTheOrigin) {
  auto b = newShape();
  b->drawBezierPath({0, 2}, {10, 2}, {20, 2}, {30, 2});
  b->FCenter = {-5, -5};
  EXPECT_TRUE(pointNear(b->GetCenter(), {15, 2}, 1e-5));

  auto s = outlineShape("OTHER", "M2,2 L6,4");
  const TPointF origin = s->calcCenter();
  EXPECT_TRUE(pointNear(origin, {0, 0}, 0));
  EXPECT_EQ(s->Data().toText(), "M-2,-1 L2,1 ");
  // The cache still holds the rectangle from before the move.
  EXPECT_TRUE(s->FIsBoundaryCalculated);
  expectRect(s->getBoundary(false), 2, 2, 6, 4);
}

TEST(ShapeMeasures, FirstAndLastTwoPoints) {
  struct Case {
    const char *path;
    TPointF first1, first2, last1, last2;
  };
  const Case cases[] = {
      {"M1,1 L1,1 L3,1 L3,1", {1, 1}, {3, 1}, {1, 1}, {3, 1}},
      {"M0,0 L10,4", {0, 0}, {10, 4}, {0, 0}, {10, 4}},
      {"M2,2", {2, 2}, {0, 0}, {0, 0}, {2, 2}},
      {"", {0, 0}, {0, 0}, {0, 0}, {0, 0}},
      // A later move starts again: the first two points are those of the drawn run.
      {"M5,5 L5,5 M6,7 L8,8 L5,5 L8,8", {6, 7}, {8, 8}, {5, 5}, {8, 8}},
      // The ellipse's lone move to its centre is not the start direction.
      {"M5,3 M0,3 L1,2", {0, 3}, {1, 2}, {0, 3}, {1, 2}},
  };
  for (const Case &c : cases) {
    auto s = outlineShape("OTHER", c.path);
    TPointF p1{-9, -9}, p2{-9, -9};
    s->getFirstTwoPoints(p1, p2);
    EXPECT_TRUE(pointNear(p1, c.first1, 0)) << c.path;
    EXPECT_TRUE(pointNear(p2, c.first2, 0)) << c.path;
    p1 = p2 = {-9, -9};
    s->getLastTwoPoints(p1, p2);
    EXPECT_TRUE(pointNear(p1, c.last1, 0)) << c.path;
    EXPECT_TRUE(pointNear(p2, c.last2, 0)) << c.path;
  }
}

TEST(ShapeMeasures, IntervalsForwardReversedAndFast) {
  auto s = outlineShape("OTHER", "M0,0 L1,0 L1,1");
  const std::vector<TRectF> forward = s->getIntervals(false);
  ASSERT_EQ(forward.size(), 2u);
  expectRect(forward[0], 0, 0, 1, 0);
  expectRect(forward[1], 1, 0, 1, 1);
  const std::vector<TRectF> reversed = s->getIntervals(true);
  ASSERT_EQ(reversed.size(), 2u);
  expectRect(reversed[0], 1, 1, 1, 0);
  expectRect(reversed[1], 1, 0, 0, 0);
  const std::vector<TPathInterval> fast = s->getIntervalsFast(true);
  ASSERT_EQ(fast.size(), 2u);
  EXPECT_TRUE(pointNear(fast[0].St, {1, 1}, 0));
  EXPECT_TRUE(pointNear(fast[0].Ed, {1, 0}, 0));
  EXPECT_TRUE(pointNear(fast[1].St, {1, 0}, 0));
  EXPECT_TRUE(pointNear(fast[1].Ed, {0, 0}, 0));

  // A dot keeps its curves: the fast walk finds no lines, the full one flattens a copy.
  auto dot = newShape();
  dot->drawDotPath({0, 0}, 1);
  const int entries = dot->Data().Count();
  EXPECT_TRUE(dot->getIntervalsFast(false).empty());
  EXPECT_GT(dot->getIntervals(false).size(), 8u);
  EXPECT_EQ(dot->Data().Count(), entries);
  EXPECT_NEAR(dot->calcTotalLength(), 2 * std::numbers::pi, 0.05);

  // An already flattened outline is not changed by flattening it again.
  auto bezier = newShape();
  bezier->drawBezierPath({0, 0}, {0, 10}, {10, 10}, {10, 0});
  const std::vector<TRectF> flat = bezier->getIntervals(false);
  const std::vector<TPathInterval> lines = bezier->getIntervalsFast(false);
  ASSERT_EQ(flat.size(), lines.size());
  for (std::size_t i = 0; i < flat.size(); ++i) {
    EXPECT_TRUE(pointNear(flat[i].topLeft(), lines[i].St, 0)) << i;
    EXPECT_TRUE(pointNear(flat[i].bottomRight(), lines[i].Ed, 0)) << i;
  }
}

TEST(ShapeMeasures, LengthsAlongTheOutline) {
  // Segments of lengths 1, 2, 3 and 4.
  const char *steps = "M0,0 L1,0 L1,2 L4,2 L4,6";
  auto s = outlineShape("OTHER", steps);
  EXPECT_FLOAT_EQ(s->calcTotalLength(), 10);

  struct Between {
    const char *kind;
    int from, to, direction;
    float expected;  // NaN: a walk against the order
  };
  const float nan = std::nanf("");
  const Between between[] = {
      {"OTHER", 1, 2, 1, 5},  {"OTHER", 2, 1, -1, 5}, {"OTHER", 0, 3, 1, 10}, {"OTHER", 3, 0, -1, 10},
      {"OTHER", 2, 2, 1, 3},  {"OTHER", 2, 2, -1, 3}, {"OTHER", 1, 2, -1, nan}, {"OTHER", 2, 1, 1, nan},
      {"ARC", 5, 2, 1, nan},
      // On an ELLIPSE the walk wraps round the closed outline.
      {"ELLIPSE", 2, 1, 1, 10}, {"ELLIPSE", 1, 2, -1, 10}, {"ELLIPSE", 3, 0, 1, 5}, {"ELLIPSE", 0, 3, -1, 5},
      {"ELLIPSE", 1, 2, 1, 5},
  };
  for (const Between &c : between) {
    auto shape = outlineShape(c.kind, steps);
    const float got = shape->calcLengthBetween(c.from, c.to, c.direction);
    const std::string what = std::string(c.kind) + " " + std::to_string(c.from) + " to " + std::to_string(c.to) +
                             " by " + std::to_string(c.direction);
    if (std::isnan(c.expected))
      EXPECT_TRUE(std::isnan(got)) << what << " gave " << got;
    else
      EXPECT_FLOAT_EQ(got, c.expected) << what;
  }

  // A real ellipse: from 5 on round to 2, plus 3 and 4, is the whole outline.
  auto ellipse = newShape();
  ellipse->drawEllipsePath({0, 0}, 20, 12);
  ASSERT_GT(ellipse->getIntervals(false).size(), 10u);
  EXPECT_NEAR(ellipse->calcLengthBetween(5, 2, 1) + ellipse->calcLengthBetween(3, 4, 1), ellipse->calcTotalLength(),
              1e-3);

  // From an entry: moves count as points too.
  EXPECT_FLOAT_EQ(s->calcLengthFromAnIndex(1, 1), 9);
  EXPECT_FLOAT_EQ(s->calcLengthFromAnIndex(3, -1), 6);
  EXPECT_FLOAT_EQ(s->calcLengthFromAnIndex(0, -1), 0);
  EXPECT_FLOAT_EQ(s->calcLengthFromAnIndex(4, 1), 0);
  auto jump = outlineShape("OTHER", "M0,0 L3,4 M3,10 L3,11");
  EXPECT_FLOAT_EQ(jump->calcLengthFromAnIndex(0, 1), 12);
  EXPECT_THROW(s->calcLengthFromAnIndex(5, 1), std::out_of_range);
  EXPECT_THROW(s->calcLengthFromAnIndex(-1, -1), std::out_of_range);

  // From a point: the rest of its segment plus the segments beyond it.
  EXPECT_FLOAT_EQ(s->calcLengthFromAPoint({2.5f, 2}, 1), 5.5f);
  EXPECT_FLOAT_EQ(s->calcLengthFromAPoint({2.5f, 2}, -1), 4.5f);
  EXPECT_FLOAT_EQ(s->calcLengthFromAPoint({2.5f, 3}, 1), 0);
  auto line = newShape();
  line->drawLinePath({0, 0}, {10, 0});
  EXPECT_FLOAT_EQ(line->calcLengthFromAPoint({5, 0}, 1), 5);
  EXPECT_FLOAT_EQ(line->calcLengthFromAPoint({5, 0}, -1), 5);
}

TEST(ShapeMeasures, CrossingOfTwoLines) {
  struct Case {
    const char *what;
    TPointF a1, a2, b1, b2;
    bool crosses;
    TPointF expected;
  };
  const Case cases[] = {
      {"x = 3 and y = 2x + 1", {3, 0}, {3, 10}, {0, 1}, {2, 5}, true, {3, 7}},
      {"y = 2x + 1 and x = 3", {0, 1}, {2, 5}, {3, 0}, {3, 10}, true, {3, 7}},
      {"vertical and horizontal", {3, 0}, {3, 10}, {0, 5}, {10, 5}, true, {3, 5}},
      {"horizontal and vertical", {0, 5}, {10, 5}, {3, 0}, {3, 10}, true, {3, 5}},
      {"horizontal and sloped", {0, 5}, {10, 5}, {0, 1}, {2, 5}, true, {2, 5}},
      {"sloped and horizontal", {0, 1}, {2, 5}, {0, 5}, {10, 5}, true, {2, 5}},
      {"outside both segments", {0, 1}, {1, 3}, {0, 10}, {1, 9}, true, {3, 7}},
      {"slopes 1.001 and 1.004", {0, 0}, {1000, 1001}, {0, 5}, {1000, 1009}, false, {}},
      {"both horizontal", {0, 0}, {10, 0}, {0, 5}, {10, 5}, false, {}},
      {"both vertical", {0, 0}, {0, 10}, {5, 0}, {5, 10}, false, {}},
  };
  for (const Case &c : cases) {
    auto a = newShape(), b = newShape();
    a->drawLinePath(c.a1, c.a2);
    b->drawLinePath(c.b1, c.b2);
    float x = -1, y = -1;
    EXPECT_EQ(a->calcCrossPointWith(*b, x, y), c.crosses) << c.what;
    TPointF pt{-1, -1};
    EXPECT_EQ(a->calcCrossPointWith(*b, pt), c.crosses) << c.what;
    if (c.crosses) {
      EXPECT_TRUE(pointNear({x, y}, c.expected, 1e-4)) << c.what;
      EXPECT_TRUE(pointNear(pt, c.expected, 1e-4)) << c.what;
    } else {
      EXPECT_TRUE(pointNear(pt, {-1, -1}, 0)) << c.what;
    }
  }
}

}  // namespace
}  // namespace quillon
