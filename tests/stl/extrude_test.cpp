#include "stl/extrude.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "stl/mesh_checks.h"

namespace quillon {
namespace {

using test::circleRing;
using test::isClosedAndOriented;
using test::meshVolume;
using test::rectRing;

TRing reversed(TRing r) {
  ReverseRing(r);
  return r;
}

// Volume of a W x L block of height h whose outer edges are bevelled: inset(z) gives the
// inset of the outline at height z; integrated finely.
double bevelledBlockVolume(double w, double l, double h, const std::function<double(double)> &inset) {
  const int n = 20000;
  double v = 0.0;
  for (int i = 0; i < n; ++i) {
    const double z = (i + 0.5) * h / n;
    const double u = inset(z);
    v += (w - 2 * u) * (l - 2 * u) * h / n;
  }
  return v;
}

TEST(StlExtrude, PlainRectangleIsTwelveFacetsWithItsVolume) {
  // Either orientation of the outline gives the same outward mesh.
  for (const TRing &outer : {rectRing(0, 0, 50, 30), reversed(rectRing(0, 0, 50, 30))}) {
    TExtrudeParams params;
    params.Height = 3.0;
    TTriangleList mesh;
    AddExtrudedRegion({outer, {}}, params, mesh);
    ASSERT_EQ(mesh.size(), 12u);
    EXPECT_NEAR(meshVolume(mesh), 4500.0, 1e-6);
    EXPECT_TRUE(isClosedAndOriented(mesh));
    // The first cap triangle lies on top and faces up.
    EXPECT_EQ(mesh[0].A.Z, 3.0);
    EXPECT_EQ(mesh[0].B.Z, 3.0);
    EXPECT_EQ(mesh[0].C.Z, 3.0);
    EXPECT_GT(TriangleNormal(mesh[0].A, mesh[0].B, mesh[0].C).Z, 0.99);
  }
}

TEST(StlExtrude, HolesGetWallsFacingIntoTheHoleWhateverTheOrientation) {
  const TRing hole = circleRing(25, 15, 4, 48);
  const double holeArea = std::fabs(RingSignedArea(hole));
  for (const TPolyRegion &region :
       {TPolyRegion{rectRing(0, 0, 50, 30), {hole}}, TPolyRegion{rectRing(0, 0, 50, 30), {reversed(hole)}},
        TPolyRegion{reversed(rectRing(0, 0, 50, 30)), {hole}}}) {
    TExtrudeParams params;
    params.Height = 3.0;
    TTriangleList mesh;
    AddExtrudedRegion(region, params, mesh);
    EXPECT_TRUE(isClosedAndOriented(mesh));
    EXPECT_NEAR(meshVolume(mesh), (1500.0 - holeArea) * 3.0, 1e-6);
  }
}

TEST(StlExtrude, BevelledRectangleWithRoundHoleIsClosedWithItsVolume) {
  const TRing hole = circleRing(25, 15, 4, 48);
  const double holeArea = std::fabs(RingSignedArea(hole));
  const double h = 3.0;
  struct Case {
    const char *name;
    double bottomChamfer, topChamfer, bottomFillet, topFillet;
    std::function<double(double)> inset;
  };
  const Case cases[] = {
      {"bottom chamfer", 1, 0, 0, 0, [](double z) { return z < 1 ? 1 - z : 0.0; }},
      {"top chamfer", 0, 1, 0, 0, [h](double z) { return z > h - 1 ? z - (h - 1) : 0.0; }},
      {"both chamfers", 0.8, 0.6, 0, 0,
       [h](double z) { return z < 0.8 ? 0.8 - z : (z > h - 0.6 ? z - (h - 0.6) : 0.0); }},
      {"bottom fillet", 0, 0, 1, 0,
       [](double z) { return z < 1 ? 1 - std::sqrt(1 - (1 - z) * (1 - z)) : 0.0; }},
      {"top fillet wins over chamfer", 0, 0.5, 0, 1.2,
       [h](double z) {
         const double r = 1.2, d = z - (h - r);
         return d > 0 ? r - std::sqrt(r * r - d * d) : 0.0;
       }},
  };
  for (const Case &c : cases) {
    TExtrudeParams params;
    params.Height = h;
    params.BottomChamfer = c.bottomChamfer;
    params.TopChamfer = c.topChamfer;
    params.BottomFillet = c.bottomFillet;
    params.TopFillet = c.topFillet;
    TTriangleList mesh;
    AddExtrudedRegion({rectRing(0, 0, 50, 30), {reversed(hole)}}, params, mesh);
    EXPECT_TRUE(isClosedAndOriented(mesh)) << c.name;
    const double expected = bevelledBlockVolume(50, 30, h, c.inset) - holeArea * h;
    EXPECT_NEAR(meshVolume(mesh), expected, expected * 0.01) << c.name;
    EXPECT_LT(meshVolume(mesh), 4500.0 - holeArea * h) << c.name;
  }
}

TEST(StlExtrude, BevelStackLevels) {
  const TPolyRegion square{rectRing(0, 0, 10, 10), {}};
  TExtrudeParams params;
  params.BottomChamfer = 1.0;
  std::string reason;
  const TBevelStack chamfer = BuildBevelStack(square, params, reason);
  ASSERT_EQ(chamfer.size(), 3u);
  EXPECT_EQ(RingBounds(chamfer[0].Region.Outer), TRectF(1, 1, 9, 9));
  EXPECT_EQ(chamfer[0].Z, 0.0);
  EXPECT_EQ(RingBounds(chamfer[1].Region.Outer), TRectF(0, 0, 10, 10));
  EXPECT_EQ(chamfer[1].Z, 1.0);
  EXPECT_EQ(chamfer[2].Z, 5.0);

  params = {};
  params.BottomFillet = 1.0;
  for (const auto &[steps, levels] : {std::pair{1, 3 + 1}, std::pair{40, 17 + 1}, std::pair{6, 7 + 1}}) {
    params.FilletSteps = steps;
    EXPECT_EQ(BuildBevelStack(square, params, reason).size(), static_cast<size_t>(levels)) << steps;
  }

  params = {};
  params.TopChamfer = 3.0;
  params.BottomChamfer = 2.0;
  EXPECT_TRUE(BuildBevelStack(square, params, reason).empty());
  EXPECT_EQ(reason, "BottomSize + TopSize (5) must be less than Height (5).");
  TTriangleList mesh;
  AddExtrudedRegion(square, params, mesh);
  EXPECT_EQ(mesh.size(), 12u);  // plain
}

TEST(StlExtrude, FailedBevelFallsBackToThePlainSlabAlone) {
  // A strip 1 mm wide cannot take a fillet of 0.8 mm: the slab is plain, with nothing of
  // the failed attempt left behind and no warning.
  ResetOpenShapeWarning();
  TExtrudeParams params;
  params.TopFillet = 0.8;
  TTriangleList mesh;
  const TPolyRegion strip{rectRing(0, 0, 30, 1), {}};
  std::string reason;
  EXPECT_TRUE(BuildBevelStack(strip, params, reason).empty());
  EXPECT_EQ(reason.rfind("Top fillet step ", 0), 0u) << reason;
  AddExtrudedRegion(strip, params, mesh);
  EXPECT_EQ(mesh.size(), 12u);
  EXPECT_TRUE(isClosedAndOriented(mesh));
  EXPECT_FALSE(OpenShapeWarningShown());

  // A chamfer that would cut into a hole near the edge is not made either.
  params = {};
  params.BottomChamfer = 1.0;
  mesh.clear();
  const TPolyRegion nearEdge{rectRing(0, 0, 20, 20), {rectRing(0.5f, 5, 3, 8)}};
  AddExtrudedRegion(nearEdge, params, mesh);
  EXPECT_TRUE(isClosedAndOriented(mesh));
  EXPECT_NEAR(meshVolume(mesh), (400.0 - 2.5 * 3) * 5.0, 1e-6);
}

TEST(StlExtrude, LevelsWithDifferentPointCountsStillMeetTheCaps) {
  // The small tab on the top edge vanishes from the inset outline: the levels differ in
  // point count, and the walls between them must use the points of both.
  const TRing notched{{0, 0}, {8, 0}, {8, -0.4f}, {9, -0.4f}, {9, 0}, {20, 0}, {20, 10}, {0, 10}};
  for (int mode = 0; mode < 2; ++mode) {
    TExtrudeParams params;
    params.Height = 4.0;
    (mode == 0 ? params.TopChamfer : params.BottomFillet) = 1.0;
    std::string reason;
    const TBevelStack levels = BuildBevelStack({notched, {}}, params, reason);
    ASSERT_GE(levels.size(), 3u) << reason;
    EXPECT_NE(CleanRing(levels.front().Region.Outer, kRingCleanTolerance).size(),
              CleanRing(levels.back().Region.Outer, kRingCleanTolerance).size());
    TTriangleList mesh;
    ASSERT_TRUE(TryAddBeveledExtrude({notched, {}}, params, mesh, reason)) << reason;
    EXPECT_TRUE(isClosedAndOriented(mesh)) << mode;
    EXPECT_GT(meshVolume(mesh), 0.0);
  }
  // A filleted disc: many points per level.
  TExtrudeParams params;
  params.TopFillet = 1.5;
  params.BottomChamfer = 0.5;
  TTriangleList mesh;
  AddExtrudedRegion({circleRing(0, 0, 20, 150), {circleRing(0, 0, 5, 40)}}, params, mesh);
  EXPECT_TRUE(isClosedAndOriented(mesh));
}

TEST(StlExtrude, TinyTrianglesShiftsAndTheOneTimeWarning) {
  const TVec3 a{0, 0, 0}, b{1, 0, 0}, c{0.5, 2e-9, 0};  // area 1e-9
  TExtrudeParams params;
  TTriangleList list;
  AddTriangle(a, b, c, params, list);
  EXPECT_TRUE(list.empty());
  params.SkipTinyTriangles = false;
  AddTriangle(a, b, c, params, list);
  EXPECT_EQ(list.size(), 1u);

  TTriangleList ten(10, TTriangle3D{{0, 0, 1}, {1, 0, 1}, {0, 1, 1}});
  ShiftTrianglesZ(ten, 10, 2.0);
  EXPECT_EQ(ten[9].A.Z, 1.0);
  ShiftTrianglesZ(ten, 8, 2.0);
  EXPECT_EQ(ten[7].C.Z, 1.0);
  EXPECT_EQ(ten[8].C.Z, 3.0);
  EXPECT_EQ(ten[9].B.Z, 3.0);

  // Two regions whose caps cannot be made (flat once rounded to the triangulation's grid)
  // show the warning once.
  int shown = 0;
  std::string text;
  SetOpenShapeWarning("open shape", [&](const std::string &t) {
    ++shown;
    text = t;
  });
  ResetOpenShapeWarning();
  const TRing flat{{0, 0}, {10, 0}, {5, 0.0000004f}};
  TTriangleList mesh;
  AddExtrudedRegion({flat, {}}, DefaultExtrudeParams(), mesh);
  AddExtrudedRegion({flat, {}}, DefaultExtrudeParams(), mesh);
  EXPECT_TRUE(mesh.empty());
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(text, "open shape");
  ResetOpenShapeWarning();
  AddExtrudedRegion({flat, {}}, DefaultExtrudeParams(), mesh);
  EXPECT_EQ(shown, 2);
  SetOpenShapeWarning({}, nullptr);
}

}  // namespace
}  // namespace quillon
