#include "stl/regions.h"

#include "stl/mesh_checks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace quillon {
namespace {

using test::circleRing;
using test::rectRing;

TEST(StlFlatten, SquareGivesOneClosedRingThatCleansToFourPoints) {
  TPathData square;
  square.MoveTo({0, 0});
  square.LineTo({10, 0});
  square.LineTo({10, 10});
  square.LineTo({0, 10});
  square.ClosePath();
  const std::vector<TRing> rings = FlattenPathData(square, 32, 0.0001f);
  ASSERT_EQ(rings.size(), 1u);
  ASSERT_EQ(rings[0].size(), 5u);
  EXPECT_TRUE(rings[0].back().exactlyEquals(rings[0].front()));
  EXPECT_EQ(CleanRing(rings[0], kRingCleanTolerance).size(), 4u);
}

TEST(StlFlatten, SubPathsWithoutThreeDistinctPointsAreDropped) {
  TPathData p;
  p.MoveTo({0, 0});  // two points
  p.LineTo({5, 0});
  p.MoveTo({0, 5});  // three points, two of them within the tolerance
  p.LineTo({5, 5});
  p.LineTo({5.00005f, 5});
  p.MoveTo({0, 20});  // an open cubic closes with its chord
  p.CurveTo({0, 30}, {10, 30}, {10, 20});
  const std::vector<TRing> rings = FlattenPathData(p, 8, 0.0001f);
  ASSERT_EQ(rings.size(), 1u);
  EXPECT_EQ(rings[0].size(), 10u);  // start, 8 curve points, start again
  EXPECT_TRUE(rings[0][8].exactlyEquals(TPointF(10, 20)));
}

TEST(StlRings, CleanRingDropsRepeatsAndPointsOnTheLine) {
  struct Case {
    const char *name;
    TRing in;
    size_t expected;
  };
  const Case cases[] = {
      {"closing repeat", {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}, 4},
      {"exact duplicate", {{0, 0}, {10, 0}, {10, 0}, {10, 10}, {0, 10}}, 4},
      {"collinear within 1e-6", {{0, 0}, {5, 0}, {10, 0}, {10, 10}, {0, 10}}, 4},
      {"kept corner", {{0, 0}, {5, 0.01f}, {10, 0}, {10, 10}, {0, 10}}, 5},
      {"too few points", {{0, 0}, {1, 1}}, 2},
  };
  for (const Case &c : cases) EXPECT_EQ(CleanRing(c.in, kRingCleanTolerance).size(), c.expected) << c.name;
}

TEST(StlRings, OrientationAndContainment) {
  const TRing ccw = rectRing(0, 0, 10, 10);  // positive area: counter-clockwise with y up
  EXPECT_DOUBLE_EQ(RingSignedArea(ccw), 100.0);
  TRing cw = ccw;
  ReverseRing(cw);
  EXPECT_DOUBLE_EQ(RingSignedArea(cw), -100.0);
  EXPECT_DOUBLE_EQ(RingSignedArea(MakeRingCCW(cw)), 100.0);
  EXPECT_DOUBLE_EQ(RingSignedArea(MakeRingCW(ccw)), -100.0);

  EXPECT_TRUE(PointInPolygon({5, 5}, ccw));
  EXPECT_TRUE(PointInPolygon({5, 5}, cw));
  EXPECT_FALSE(PointInPolygon({15, 5}, ccw));
  // A point level with the horizontal top edge, left of the ring: that edge is not crossed.
  const TRing notch{{0, 0}, {4, 0}, {4, 4}, {6, 4}, {6, 0}, {10, 0}, {10, 10}, {0, 10}};
  EXPECT_FALSE(PointInPolygon({-1, 4}, notch));
  EXPECT_TRUE(PointInPolygon({5, 6}, notch));

  const TRectF b = RingBounds(rectRing(1, 2, 3, 7));
  EXPECT_EQ(b, TRectF(1, 2, 3, 7));
  const TPointF m = RingMeanPoint(rectRing(1, 2, 3, 7));
  EXPECT_FLOAT_EQ(m.X, 2.0f);
  EXPECT_FLOAT_EQ(m.Y, 4.5f);
}

TEST(StlRegions, NestingMakesHolesAndIslandsWhateverTheOrientation) {
  TRing hole = circleRing(50, 50, 30, 64);
  ReverseRing(hole);
  const std::vector<TRing> rings{rectRing(0, 0, 100, 100), hole, rectRing(40, 40, 60, 60),
                                 rectRing(200, 0, 210, 10)};
  const std::vector<TPolyRegion> regions = BuildPolyRegions(rings);
  ASSERT_EQ(regions.size(), 3u);
  EXPECT_EQ(regions[0].Outer.size(), 4u);
  ASSERT_EQ(regions[0].Holes.size(), 1u);
  EXPECT_EQ(regions[0].Holes[0].size(), 64u);
  EXPECT_TRUE(regions[1].Holes.empty());  // the island inside the hole
  EXPECT_EQ(RingBounds(regions[1].Outer), TRectF(40, 40, 60, 60));
  EXPECT_TRUE(regions[2].Holes.empty());

  // Overlapping rings whose first points lie outside each other stay two regions.
  const std::vector<TPolyRegion> overlap = BuildPolyRegions({rectRing(0, 0, 10, 10), rectRing(5, -5, 15, 5)});
  EXPECT_EQ(overlap.size(), 2u);
  EXPECT_TRUE(BuildPolyRegions({}).empty());
}

TEST(StlRegions, RegionPathsAreOrientedOutlineFirst) {
  TPolyRegion region{MakeRingCW(rectRing(0, 0, 10, 10)), {MakeRingCCW(rectRing(2, 2, 4, 4)), {{1, 1}, {2, 2}}}};
  const clip::PathsD paths = RegionToPathsD(region);
  ASSERT_EQ(paths.size(), 2u);
  EXPECT_GT(clip::Area(paths[0]), 0.0);
  EXPECT_LT(clip::Area(paths[1]), 0.0);
}

TEST(StlOffset, ResultsAndReasons) {
  const TPolyRegion square{rectRing(0, 0, 10, 10), {}};
  const TOffsetRegion zero = OffsetRegion({rectRing(0, 0, 10, 10), {rectRing(2, 2, 3, 3)}}, 0.0);
  EXPECT_TRUE(zero.Valid);
  EXPECT_EQ(zero.Reason, "Zero delta");
  EXPECT_EQ(zero.Holes.size(), 1u);

  const TOffsetRegion inset = OffsetRegion(square, -1.0);
  EXPECT_TRUE(inset.Valid);
  EXPECT_EQ(inset.Reason, "OK");
  EXPECT_EQ(RingBounds(inset.Outer), TRectF(1, 1, 9, 9));
  EXPECT_EQ(inset.Outer.size(), 4u);

  const TOffsetRegion gone = OffsetRegion(square, -6.0);
  EXPECT_FALSE(gone.Valid);
  EXPECT_EQ(gone.Reason, "OutPaths empty after Inflate/Simplify");

  EXPECT_EQ(OffsetRegion({}, -1.0).Reason, "InPaths empty");

  // Two squares joined by a waist 1 mm wide fall apart when shrunk by 0.6 mm.
  const TRing eight{{0, 0}, {10, 0}, {10, 4.5f}, {20, 4.5f}, {20, 0}, {30, 0},
                    {30, 10}, {20, 10}, {20, 5.5f}, {10, 5.5f}, {10, 10}, {0, 10}};
  const TOffsetRegion split = OffsetRegion({eight, {}}, -0.6);
  EXPECT_FALSE(split.Valid);
  EXPECT_EQ(split.Reason, "BuildPolyRegions count = 2");

  const TOffsetRegion many = OffsetRegion({circleRing(0, 0, 50, 201), {}}, -0.1);
  EXPECT_FALSE(many.Valid);
  EXPECT_EQ(many.Reason, "Outer point count invalid = 201");
  EXPECT_TRUE(many.Outer.empty());
  const TOffsetRegion enough = OffsetRegion({circleRing(0, 0, 50, 200), {}}, -0.1);
  EXPECT_TRUE(enough.Valid) << enough.Reason;
  EXPECT_EQ(enough.Outer.size(), 200u);
}

}  // namespace
}  // namespace quillon
