#include "platform/clip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <stdexcept>
#include <utility>

namespace quillon::clip {
namespace {

PathD rect(double l, double t, double r, double b) { return {{l, t}, {r, t}, {r, b}, {l, b}}; }

PathD reversed(PathD p) {
  std::reverse(p.begin(), p.end());
  return p;
}

double totalArea(const PathsD &paths) {
  double a = 0.0;
  for (const PathD &p : paths) a += Area(p);
  return a;
}

TEST(ClipTriangulate, CoversTheEvenOddAreaWithCounterClockwiseTrianglesOnTheInputPoints) {
  // Outline and hole in every orientation: the even-odd area is the same.
  const PathD outer = rect(0.1, 0.3, 10.7, 10.3);
  const PathD hole = rect(3.25, 3.5, 6.125, 7.0);
  const double expected = 10.6 * 10.0 - 2.875 * 3.5;
  for (const PathsD &input : {PathsD{outer, hole}, PathsD{reversed(outer), hole}, PathsD{outer, reversed(hole)},
                              PathsD{reversed(outer), reversed(hole)}}) {
    PathsD tris;
    ASSERT_EQ(Triangulate(input, 6, tris, true), TriangulateResult::success);
    ASSERT_FALSE(tris.empty());
    std::set<std::pair<double, double>> inputPoints;
    for (const PathD &p : input)
      for (const PointD &q : p) inputPoints.insert({q.x, q.y});
    for (const PathD &t : tris) {
      ASSERT_EQ(t.size(), 3u);
      EXPECT_GT(Area(t), 0.0);
      for (const PointD &q : t) EXPECT_TRUE(inputPoints.count({q.x, q.y})) << q.x << ", " << q.y;
    }
    EXPECT_NEAR(totalArea(tris), expected, 1e-9);
  }
}

TEST(ClipTriangulate, SeveralOutlinesAndIslandsInsideHoles) {
  const PathsD input{rect(0, 0, 10, 10), rect(2, 2, 8, 8), rect(4, 4, 6, 6), rect(20, 0, 21, 1)};
  PathsD tris;
  ASSERT_EQ(Triangulate(input, 6, tris), TriangulateResult::success);
  EXPECT_NEAR(totalArea(tris), 100.0 - 36.0 + 4.0 + 1.0, 1e-9);
}

TEST(ClipTriangulate, NothingWithAnAreaGivesNoPolygons) {
  PathsD tris{{{1, 1}, {2, 2}, {3, 1}}};
  EXPECT_EQ(Triangulate({}, 6, tris), TriangulateResult::no_polygons);
  EXPECT_TRUE(tris.empty());
  EXPECT_EQ(Triangulate({{{0, 0}, {1, 1}}}, 6, tris), TriangulateResult::no_polygons);
  EXPECT_EQ(Triangulate({{{0, 0}, {1, 1}, {2, 2}}}, 6, tris), TriangulateResult::no_polygons);
}

TEST(ClipOffset, MitredSquareGrowsAndShrinks) {
  const PathsD square{rect(0, 0, 10, 10)};
  EXPECT_NEAR(totalArea(InflatePaths(square, -1.0, JoinType::Miter, EndType::Polygon, 3.0, 6)), 64.0, 1e-6);
  EXPECT_NEAR(totalArea(InflatePaths(square, 1.0, JoinType::Miter, EndType::Polygon, 3.0, 6)), 144.0, 1e-6);
  EXPECT_TRUE(InflatePaths(square, -6.0, JoinType::Miter, EndType::Polygon, 3.0, 6).empty());
  // Shrinking the area widens a hole given clockwise.
  const PathsD withHole{rect(0, 0, 10, 10), reversed(rect(4, 4, 6, 6))};
  EXPECT_NEAR(totalArea(InflatePaths(withHole, -1.0, JoinType::Miter, EndType::Polygon, 3.0, 6)), 64.0 - 16.0,
              1e-6);
}

TEST(ClipBoolean, DifferenceIntersectionAndUnionAreas) {
  const PathsD a{rect(0, 0, 10, 10)};
  const PathsD b{rect(5, 5, 15, 15)};
  EXPECT_NEAR(std::fabs(totalArea(Difference(a, b, FillRule::EvenOdd, 6))), 75.0, 1e-9);
  EXPECT_NEAR(std::fabs(totalArea(Intersect(a, b, FillRule::EvenOdd, 6))), 25.0, 1e-9);
  EXPECT_NEAR(std::fabs(totalArea(Union({a[0], b[0]}, FillRule::NonZero, 6))), 175.0, 1e-9);
}

TEST(ClipSimplify, RoundsToTheGridAndDropsRepeatedAndCollinearPoints) {
  const PathsD in{{{0, 0}, {0.001, 0.001}, {5, 0.000004}, {10, 0}, {10, 10}, {10, 10.002}, {0, 10}, {0, 0}},
                  {{0, 0}, {1, 0}, {2, 0}}};
  const PathsD out = SimplifyPaths(in, 0.00001, true, 2);
  ASSERT_EQ(out.size(), 1u);  // the flat path is gone
  EXPECT_EQ(out[0], (PathD{{0, 0}, {10, 0}, {10, 10}, {0, 10}}));
  // Open paths keep their ends.
  const PathsD open = SimplifyPaths({{{0, 0}, {1, 0}, {2, 0}}}, 0.00001, false, 2);
  ASSERT_EQ(open.size(), 1u);
  EXPECT_EQ(open[0], (PathD{{0, 0}, {2, 0}}));
}

TEST(ClipPrecision, OutOfRangeIsRefused) {
  PathsD tris;
  EXPECT_THROW(Union({rect(0, 0, 1, 1)}, FillRule::EvenOdd, 9), std::range_error);
  EXPECT_THROW(Triangulate({rect(0, 0, 1, 1)}, -1, tris), std::range_error);
}

}  // namespace
}  // namespace quillon::clip
