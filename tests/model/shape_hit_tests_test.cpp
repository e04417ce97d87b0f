#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

#include "model/model_test_util.h"
#include "model/point_helpers.h"
#include "model/shape.h"

namespace quillon {
namespace {

using test::pointNear;
using ShapePtr = std::unique_ptr<TQN_Path>;

ShapePtr newShape() { return std::make_unique<TQN_Path>(0, 0xFF000000, 1, TStrokeDash::Solid, 1); }

ShapePtr outlineShape(const char *kind, const char *path) {
  auto s = newShape();
  s->setKindName(QString::fromLatin1(kind));
  s->setData(TPathData::fromText(path));
  return s;
}

ShapePtr line(TPointF a, TPointF b) {
  auto s = newShape();
  s->drawLinePath(a, b);
  return s;
}

TEST(ShapeHitTests, IsOnPathPicksTheSegmentWithTheSmallestSignedCross) {
  struct Case {
    const char *what;
    const char *path;
    TPointF p;
    float threshold;
    bool expected;
    int index;  // expected index; 42 (the value passed in) when the point is not on the path
  };
  const Case cases[] = {
      {"0.09 from a line", "M0,0 L10,0", {5, 0.09f}, 0.1f, true, 0},
      {"0.09 from a line, threshold 0.05", "M0,0 L10,0", {5, 0.09f}, 0.05f, false, 42},
      {"on the line beyond its end", "M0,0 L10,0", {10.5f, 0}, 0.1f, false, 42},
      {"on the line before its start", "M0,0 L10,0", {-0.5f, 0}, 0.1f, false, 42},
      {"second segment", "M0,0 L10,0 L10,10", {10.05f, 5}, 0.1f, true, 1},
      // Near the corner both segments pass; the smaller signed cross product wins.
      {"corner, later segment smaller", "M0,0 L10,0 L10,10", {9.98f, 0.05f}, 0.1f, true, 1},
      {"corner, earlier segment smaller", "M0,0 L10,0 L10,10", {9.95f, 0.02f}, 0.1f, true, 0},
      // Reversed: the crosses are -0.2 (nearer, first) and -0.5 (farther, second).
      {"corner, farther segment more negative", "M10,10 L10,0 L0,0", {9.98f, 0.05f}, 0.1f, true, 1},
      {"zero-length segment skipped", "M0,0 L0,0 L10,0", {0, 0.05f}, 0.1f, true, 1},
      {"empty outline", "", {0, 0}, 0.1f, false, 42},
  };
  for (const Case &c : cases) {
    auto s = outlineShape("OTHER", c.path);
    int idx = 42;
    EXPECT_EQ(s->isOnPath(c.p, idx, c.threshold), c.expected) << c.what;
    EXPECT_EQ(idx, c.index) << c.what;
  }

  // The segments are those of the flattened outline: a point on a dot's circle is found.
  auto dot = newShape();
  dot->drawDotPath({0, 0}, 5);
  int idx = -1;
  EXPECT_TRUE(dot->isOnPath({0, -5}, idx, 0.1f));
  EXPECT_GE(idx, 0);
}

TEST(ShapeHitTests, PerpendicularFootOnALine) {
  auto l = line({0, 0}, {10, 0});
  struct Case {
    TPointF p;
    TPointF foot, direction;
    float distance;
    bool onSegment;
  };
  const Case cases[] = {
      {{4, 3}, {4, 0}, {0, -1}, 3, true},
      {{4, -3}, {4, 0}, {0, 1}, 3, true},
      {{15, 2}, {15, 0}, {0, -1}, 2, false},
  };
  for (const Case &c : cases) {
    TPointF direction{9, 9}, foot{9, 9};
    float distance = -1;
    EXPECT_EQ(calcPerpendicularFoot(c.p, *l, direction, distance, foot), c.onSegment) << c.p.X << "," << c.p.Y;
    EXPECT_TRUE(pointNear(foot, c.foot, 1e-4)) << c.p.X << "," << c.p.Y;
    EXPECT_TRUE(pointNear(direction, c.direction, 1e-6)) << c.p.X << "," << c.p.Y;
    EXPECT_NEAR(distance, c.distance, 1e-4) << c.p.X << "," << c.p.Y;
  }
}

TEST(ShapeHitTests, RangesRectanglesAndBoundaryContact) {
  struct Case {
    const char *what;
    const char *kind;
    const char *path;
    TPointF rsp, rep;
    bool partial;
    bool expected;
  };
  const Case cases[] = {
      {"inside, touching the edges", "LINE", "M0,0 L10,10", {0, 0}, {10, 10}, false, true},
      {"inside, rectangle given backwards", "LINE", "M0,0 L10,10", {10, 10}, {0, 0}, false, true},
      {"sticking out at the bottom", "LINE", "M0,0 L10,11", {0, 0}, {10, 10}, false, false},
      {"partly in, whole asked", "LINE", "M5,5 L15,15", {0, 0}, {10, 10}, false, false},
      {"partly in, partial asked", "LINE", "M5,5 L15,15", {0, 0}, {10, 10}, true, true},
      {"straight to the right", "LINE", "M20,0 L30,10", {0, 0}, {10, 10}, true, true},
      {"straight below", "LINE", "M0,20 L10,30", {0, 0}, {10, 10}, true, true},
      {"diagonally outside", "LINE", "M20,20 L30,30", {0, 0}, {10, 10}, true, false},
      {"hole straddling an edge, no corner inside", "S_HOLE", "M-1,-1 L1,-1 L1,1 L-1,1 Z", {0, -5}, {0.5f, 5}, true,
       false},
      {"same outline, not a hole", "OTHER", "M-1,-1 L1,-1 L1,1 L-1,1 Z", {0, -5}, {0.5f, 5}, true, true},
      {"hole with its bottom-right corner inside", "S_HOLE", "M-1,-1 L1,-1 L1,1 L-1,1 Z", {0, 0}, {5, 5}, true,
       true},
      {"hole with its top-right corner inside", "S_HOLE", "M-1,-1 L1,-1 L1,1 L-1,1 Z", {0, -5}, {5, 0}, true, true},
  };
  for (const Case &c : cases) {
    auto s = outlineShape(c.kind, c.path);
    EXPECT_EQ(s->inRange(c.rsp, c.rep, c.partial), c.expected) << c.what;
  }

  // An empty outline is tested with the rectangle of its start and end.
  auto empty = newShape();
  empty->FStartPt = {2, 2};
  empty->FEndPt = {3, 3};
  EXPECT_TRUE(empty->inRange({0, 0}, {5, 5}, false));
  EXPECT_TRUE(empty->isAPointInsideShape({2.5f, 2.5f}));

  auto l = line({0, 0}, {10, 4});
  EXPECT_TRUE(l->isAPointInsideShape({10, 4}));
  EXPECT_TRUE(l->isAPointInsideShape({3, 1}));
  EXPECT_FALSE(l->isAPointInsideShape({5, 4.01f}));

  auto backwards = line({10, 4}, {0, 0});
  EXPECT_TRUE(backwards->isInRect({0, 4}));
  EXPECT_TRUE(backwards->isInRect({10, 0}));
  EXPECT_FALSE(backwards->isInRect({-0.01f, 2}));

  struct Contact {
    TPointF b1, b2;
    bool expected;
  };
  const Contact contacts[] = {
      {{10.005f, 0}, {20, 10}, true},  {{10.02f, 0}, {20, 10}, false},  // to the right
      {{0, 10.005f}, {10, 20}, true},  {{0, 10.02f}, {10, 20}, false},  // below
      {{-20, 0}, {-0.005f, 10}, true}, {{-20, 0}, {-0.02f, 10}, false},  // to the left
      {{0, -20}, {10, -0.005f}, true}, {{0, -20}, {10, -0.02f}, false},  // above
      {{5, 5}, {6, 6}, true},                                            // overlapping
  };
  auto a = line({0, 0}, {10, 10});
  for (const Contact &c : contacts) {
    auto b = line(c.b1, c.b2);
    EXPECT_EQ(a->doesItIntersectWith(*b), c.expected) << c.b1.X << "," << c.b1.Y;
    EXPECT_EQ(b->doesItIntersectWith(*a), c.expected) << c.b1.X << "," << c.b1.Y;
  }
}

TEST(ShapeHitTests, IdenticalShapes) {
  const auto arc = [](TPointF st, TPointF ep, float radius, float sweep) {
    auto s = newShape();
    s->drawArcPath({0, 0}, {radius, radius}, st, ep, sweep);
    return s;
  };
  const auto ellipse = [](float rotation) {
    auto s = newShape();
    s->drawEllipsePath({1, 2}, 10, 6);
    s->FRotation = rotation;
    return s;
  };
  const auto dot = [](TPointF c, float r) {
    auto s = newShape();
    s->drawDotPath(c, r);
    return s;
  };
  const auto hole = [](TPointF c) {
    auto s = newShape();
    s->FShapeType = TShapeKind::Hole;
    s->FStartPt = c;
    s->FCenter = c;
    return s;
  };
  const auto bezier = [](TPointF st, TPointF c1, TPointF c2, TPointF ep) {
    auto s = newShape();
    s->drawBezierPath(st, c1, c2, ep);
    return s;
  };
  struct Case {
    const char *what;
    std::function<ShapePtr()> a, b;
    bool expected;
  };
  const Case cases[] = {
      {"same line", [] { return line({0, 0}, {10, 4}); }, [] { return line({0, 0}, {10, 4}); }, true},
      {"line with swapped ends", [] { return line({0, 0}, {10, 4}); }, [] { return line({10, 4}, {0, 0}); }, true},
      {"line ends equal at 0.01", [] { return line({0, 0}, {10, 4}); }, [] { return line({0.004f, 0}, {10, 4}); },
       true},
      {"line ends apart at 0.01", [] { return line({0, 0}, {10, 4}); }, [] { return line({0.006f, 0}, {10, 4}); },
       false},
      {"different kinds", [] { return line({10, 0}, {0, 10}); },
       [&] { return arc({10, 0}, {0, 10}, 10, 90); }, false},
      {"same ellipse", [&] { return ellipse(0); }, [&] { return ellipse(0); }, true},
      {"ellipses differing in rotation", [&] { return ellipse(0); }, [&] { return ellipse(30); }, false},
      {"dots with one centre", [&] { return dot({1, 1}, 1); }, [&] { return dot({1, 1}, 2); }, true},
      {"dots apart", [&] { return dot({1, 1}, 1); }, [&] { return dot({1.01f, 1}, 1); }, false},
      {"holes with one centre", [&] { return hole({3, 3}); }, [&] { return hole({3, 3}); }, true},
      {"holes apart", [&] { return hole({3, 3}); }, [&] { return hole({3, 3.001f}); }, false},
      {"same arc", [&] { return arc({10, 0}, {0, 10}, 10, 90); }, [&] { return arc({10, 0}, {0, 10}, 10, 90); },
       true},
      {"arc run backwards",
       [&] { return arc({10, 0}, {0, 10}, 10, 90); },
       [&] {
         auto s = arc({10, 0}, {0, 10}, 10, 90);
         s->reversePath();
         return s;
       },
       true},
      {"arcs of other radii", [&] { return arc({10, 0}, {0, 10}, 10, 90); },
       [&] { return arc({10, 0}, {0, 10}, 10.001f, 90); }, false},
      {"same bezier", [&] { return bezier({0, 0}, {1, 5}, {9, 5}, {10, 0}); },
       [&] { return bezier({0, 0}, {1, 5}, {9, 5}, {10, 0}); }, true},
      {"bezier run backwards", [&] { return bezier({0, 0}, {1, 5}, {9, 5}, {10, 0}); },
       [&] { return bezier({10, 0}, {9, 5}, {1, 5}, {0, 0}); }, false},
      // The control points are compared in place even when the ends match crosswise.
      {"bezier with swapped ends only", [&] { return bezier({0, 0}, {1, 5}, {9, 5}, {10, 0}); },
       [&] { return bezier({10, 0}, {1, 5}, {9, 5}, {0, 0}); }, true},
      {"same outline text", [] { return outlineShape("OTHER", "M0,0 L1,1 Z"); },
       [] { return outlineShape("OTHER", "M0,0 L1,1 Z"); }, true},
      {"other outline text", [] { return outlineShape("TEXT", "M0,0 L1,1"); },
       [] { return outlineShape("TEXT", "M0,0 L1,2"); }, false},
      {"unknown kind", [] { return outlineShape("FOO", "M0,0 L1,1"); },
       [] { return outlineShape("FOO", "M0,0 L1,1"); }, false},
  };
  for (const Case &c : cases) {
    ShapePtr a = c.a(), b = c.b();
    EXPECT_EQ(a->isIdentical(*b), c.expected) << c.what;
  }
}

TEST(ShapeHitTests, NearestBezierTimeBySampling) {
  auto s = newShape();
  s->drawBezierPath({0, 0}, {10, 0}, {20, 0}, {30, 0});
  TPointF actual{-1, -1};
  EXPECT_EQ(s->findNearestBezierT({-5, 3}, actual), 0.0f);
  EXPECT_TRUE(pointNear(actual, {0, 0}, 0));
  EXPECT_EQ(s->findNearestBezierT({40, -2}, actual), 1.0f);
  EXPECT_TRUE(pointNear(actual, {30, 0}, 0));

  // x = 30t: 12.34567 lies between the samples 0.4115 (12.345) and 0.4116 (12.348).
  const float t = s->findNearestBezierT({12.34567f, 1}, actual);
  EXPECT_FLOAT_EQ(t, 0.4115f);
  EXPECT_NEAR(t * 10000.0, std::round(t * 10000.0), 1e-3);
  EXPECT_TRUE(pointNear(actual, {12.345f, 0}, 1e-5));

  // A point 0.1 off the parabola x = 3t, y = 3t^2 along its normal at t = 0.25.
  auto p = newShape();
  p->drawBezierPath({0, 0}, {1, 0}, {2, 1}, {3, 3});
  const double n = std::hypot(1.5, 3.0);
  const TPointF off{static_cast<float>(0.75 + 0.1 * 1.5 / n), static_cast<float>(0.1875 - 0.1 * 3.0 / n)};
  EXPECT_NEAR(p->findNearestBezierT(off, actual), 0.25, 1.5e-4);
  EXPECT_TRUE(pointNear(actual, {0.75f, 0.1875f}, 1e-3));
}

}  // namespace
}  // namespace quillon
