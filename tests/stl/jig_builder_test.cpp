// The positioning jig: outline, pocket, floor with finger and stitching holes, nested
// contours, and the shape helpers. Results are checked by their volume (worked out by
// hand from the areas), their z range and by being closed and facing out.
#include <gtest/gtest.h>

#include <cmath>

#include "stl/jig_builder.h"
#include "stl/shell_checks.h"

namespace quillon::test {

namespace {

// The area of a regular n-gon of that radius.
double ngonArea(double radius, int n) { return 0.5 * n * radius * radius * std::sin(2 * M_PI / n); }

// The pocket of a 40 x 20 rectangle grown by 0.2 with round corners.
const double kPocketArea = 800 + 120 * 0.2 + M_PI * 0.04;

TSTLTemplateSettings jigSettings() {
  TSTLTemplateSettings s = DefaultTemplateSettings();
  s.FlipZForPreview = true;
  return s;
}

}  // namespace

TEST(JigBuilder, DefaultsOnARectangleGiveAFrameAroundAThroughPocket) {
  const TTriangleList mesh = BuildTemplateMesh({rectRing(0, 0, 40, 20)}, jigSettings(), nullptr);
  ASSERT_FALSE(mesh.empty());
  EXPECT_EQ(unbalancedEdges(mesh), 0);
  EXPECT_NEAR(meshVolume(mesh), (50 * 30 - kPocketArea) * 5, 0.002 * 3380);
  double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
  for (const TTriangle3D &t : mesh)
    for (const TVec3 *v : {&t.A, &t.B, &t.C}) {
      minX = std::min(minX, v->X);
      maxX = std::max(maxX, v->X);
      minY = std::min(minY, v->Y);
      maxY = std::max(maxY, v->Y);
    }
  EXPECT_NEAR(minX, -5, 1e-4);
  EXPECT_NEAR(maxX, 45, 1e-4);
  EXPECT_NEAR(minY, -5, 1e-4);
  EXPECT_NEAR(maxY, 25, 1e-4);
  EXPECT_EQ(zRange(mesh), (std::pair<double, double>(0, 5)));
}

TEST(JigBuilder, ABlindPocketLeavesAFloorWithAFingerHoleAndStitchingHoles) {
  TSTLTemplateSettings s = jigSettings();
  s.PocketDepth = 3;
  const TTriangleList plain = BuildTemplateMesh({rectRing(0, 0, 40, 20)}, s, nullptr);
  EXPECT_EQ(unbalancedEdges(plain), 0);
  const double walls = (1500 - kPocketArea) * 3;
  const double floor = (1500 - ngonArea(4, 32)) * 2;
  EXPECT_NEAR(meshVolume(plain), walls + floor, 0.002 * (walls + floor));
  // The pocket opens at z = 0: the floor's upper face lies at z = 3, the underside at 5.
  bool floorFace = false;
  for (const TTriangle3D &t : plain) floorFace |= t.A.Z == 3 && t.B.Z == 3 && t.C.Z == 3 && t.A.X > 0 && t.A.X < 40;
  EXPECT_TRUE(floorFace);

  s.StitchHoles = {circleRing(5, 5, 0.8f, 16), circleRing(35, 15, 0.8f, 16)};
  const TTriangleList holed = BuildTemplateMesh({rectRing(0, 0, 40, 20)}, s, nullptr);
  EXPECT_EQ(unbalancedEdges(holed), 0);
  EXPECT_NEAR(meshVolume(plain) - meshVolume(holed), 2 * ngonArea(0.8, 16) * 2, 0.1);  // corners on a 0.01 grid

  // A through pocket has no floor, so the holes leave no trace.
  s.PocketDepth = 5;
  const TTriangleList through = BuildTemplateMesh({rectRing(0, 0, 40, 20)}, s, nullptr);
  EXPECT_NEAR(meshVolume(through), (1500 - kPocketArea) * 5, 0.002 * 3380);
}

TEST(JigBuilder, PocketDepthsOutsideTheHeightMeanThrough) {
  for (double depth : {8.0, 0.0, -1.0}) {
    TSTLTemplateSettings s = jigSettings();
    s.PocketDepth = depth;
    EXPECT_NEAR(meshVolume(BuildTemplateMesh({rectRing(0, 0, 40, 20)}, s, nullptr)), (1500 - kPocketArea) * 5, 7)
        << depth;
  }
}

TEST(JigBuilder, NestedContoursAndSeparateOutlines) {
  // A 40 x 40 square with a round hole of radius 10 (64 points).
  const std::vector<TRing> ring = {rectRing(0, 0, 40, 40), circleRing(20, 20, 10, 64)};
  TSTLTemplateSettings s = jigSettings();
  s.PocketDepth = 3;
  s.PocketGap = 0;
  s.FingerHoleAtCentroid = false;
  // Nested off: the pocket is the whole square, the hole goes through the floor.
  const TTriangleList off = BuildTemplateMesh(ring, s, nullptr);
  const double outer = 50 * 50, square = 40 * 40, hole = ngonArea(10, 64);
  EXPECT_EQ(unbalancedEdges(off), 0);
  EXPECT_NEAR(meshVolume(off), (outer - square) * 3 + (outer - hole) * 2, 1);
  // Nested on: the hole stays an island of wall inside the pocket; the floor is whole.
  s.KeepNestedContours = true;
  const TTriangleList on = BuildTemplateMesh(ring, s, nullptr);
  EXPECT_EQ(unbalancedEdges(on), 0);
  EXPECT_NEAR(meshVolume(on), (outer - square + hole) * 3 + outer * 2, 1);

  // Two outlines, nested off: the larger makes the pocket, the smaller is cut through.
  s.KeepNestedContours = false;
  s.OuterMargin = 10;
  const std::vector<TRing> two = {rectRing(0, 0, 40, 40), rectRing(42, 0, 44, 2)};
  const TTriangleList separate = BuildTemplateMesh(two, s, nullptr);
  EXPECT_EQ(unbalancedEdges(separate), 0);
  EXPECT_NEAR(meshVolume(separate), (3600 - square) * 3 + (3600 - 4) * 2, 1);
}

TEST(JigBuilder, OuterShapes) {
  TSTLTemplateSettings s = jigSettings();
  s.OuterMode = TSTLTemplateOuterMode::omRectExplicit;
  s.OuterWidth = 60;
  s.OuterHeight = 40;
  EXPECT_NEAR(meshVolume(BuildTemplateMesh({rectRing(0, 0, 40, 20)}, s, nullptr)), (2400 - kPocketArea) * 5, 10);
  // Fully rounded ends when the radius passes half the shorter side.
  s.OuterCornerRadius = 100;
  const double stadium = 40 * 20 + ngonArea(20, 32);  // 60 x 40 with radius 20: a 20 x 40 middle and a circle
  EXPECT_NEAR(meshVolume(BuildTemplateMesh({rectRing(0, 0, 40, 20)}, s, nullptr)), (stadium - kPocketArea) * 5, 10);
  // Pattern offset 5 with round joins: the rectangle grown by 5.
  s.OuterMode = TSTLTemplateOuterMode::omPatternOffset;
  const double grown = 800 + 120 * 5 + M_PI * 25;
  EXPECT_NEAR(meshVolume(BuildTemplateMesh({rectRing(0, 0, 40, 20)}, s, nullptr)), (grown - kPocketArea) * 5, 10);
}

TEST(JigBuilder, NothingToBuildGivesNoTriangles) {
  TSTLTemplateSettings s = jigSettings();
  EXPECT_TRUE(BuildTemplateMesh({}, s, nullptr).empty());
  s.TotalHeight = 0;
  EXPECT_TRUE(BuildTemplateMesh({rectRing(0, 0, 40, 20)}, s, nullptr).empty());
  s.TotalHeight = 5;
  EXPECT_TRUE(BuildTemplateMesh({TRing{{0, 0}, {1, 1}}}, s, nullptr).empty());
}

TEST(JigBuilder, ShapeHelpers) {
  EXPECT_EQ(RoundedRectRing(0, 0, 10, 6, 0, 8).size(), 4u);
  const clip::PathD rounded = RoundedRectRing(0, 0, 10, 6, 2, 8);
  ASSERT_EQ(rounded.size(), 36u);
  EXPECT_NEAR(rounded.front().x, 0, 1e-12);  // the top-left arc starts at 180 degrees
  EXPECT_NEAR(rounded.front().y, 2, 1e-12);
  EXPECT_NEAR(rounded[8].x, 2, 1e-12);  // and ends at the top
  EXPECT_NEAR(rounded[8].y, 0, 1e-12);
  EXPECT_EQ(RoundedRectRing(0, 0, 10, 6, 2, 1).size(), 12u);  // at least two steps
  EXPECT_EQ(CirclePathD(0, 0, 1, 3).size(), 8u);
  EXPECT_EQ(CirclePathD(0, 0, 1, 32).size(), 32u);

  const TPointF c = PolygonCentroid({{0, 0}, {4, 0}, {4, 2}, {0, 2}});
  EXPECT_FLOAT_EQ(c.X, 2);
  EXPECT_FLOAT_EQ(c.Y, 1);
  EXPECT_EQ(PolygonCentroid({}), TPointF(0, 0));
  EXPECT_EQ(PolygonCentroid({{3, 4}, {5, 6}}), TPointF(3, 4));
  EXPECT_EQ(PolygonCentroid({{3, 4}, {5, 6}, {7, 8}}), TPointF(3, 4));  // no area

  const clip::PathsD kept = FilterSmallPaths({{{0, 0}, {1, 0}, {1, 1}}, {{0, 0}, {0.1, 0}, {0.1, 0.1}}, {{0, 0}, {1, 1}}}, 0.01, 0);
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].size(), 3u);

  TTriangleList flipped = {{{0, 0, 1}, {1, 0, 1}, {0, 1, 2}}};
  FlipTrianglesZ(flipped, 5);
  EXPECT_EQ(flipped[0].A.Z, 4);
  EXPECT_EQ(flipped[0].B.Y, 1);  // the second and third corners swapped
  EXPECT_EQ(flipped[0].B.Z, 3);
}

}  // namespace quillon::test
