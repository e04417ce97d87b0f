#include "stl/text_recess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "stl/mesh_checks.h"

namespace quillon {
namespace {

using test::isClosedAndOriented;
using test::meshVolume;
using test::rectRing;

// A square letter "O": a 12 x 12 outline with a 4 x 4 counter, centred in a 20 x 20 piece.
const TPolyRegion kLetterO{rectRing(4, 4, 16, 16), {rectRing(8, 8, 12, 12)}};
const TPolyRegion kPiece{rectRing(0, 0, 20, 20), {}};
constexpr double kLetterArea = 144.0 - 16.0;

bool hasFlatTriangleAt(const TTriangleList &mesh, double z) {
  return std::any_of(mesh.begin(), mesh.end(), [z](const TTriangle3D &t) {
    return std::fabs(t.A.Z - z) < 1e-9 && std::fabs(t.B.Z - z) < 1e-9 && std::fabs(t.C.Z - z) < 1e-9;
  });
}

TEST(StlTextRecess, PocketsIntoEitherFaceAreClosedWithTheirVolume) {
  struct Case {
    bool intoTop;
    double depth;
    double floorZ;
  };
  // A depth beyond 0.95 x Height is limited to it.
  const Case cases[] = {{true, 1.0, 4.0}, {false, 1.0, 1.0}, {true, 10.0, 0.25}, {false, 10.0, 4.75}};
  for (const Case &c : cases) {
    TTriangleList mesh;
    ExtrudeRegionWithTextRecess(kPiece, {kLetterO}, c.intoTop, c.depth, DefaultExtrudeParams(), mesh);
    EXPECT_TRUE(isClosedAndOriented(mesh)) << c.intoTop << " " << c.depth;
    const double d = std::min(c.depth, 4.75);
    EXPECT_NEAR(meshVolume(mesh), 400.0 * 5.0 - kLetterArea * d, 1e-6) << c.intoTop << " " << c.depth;
    EXPECT_TRUE(hasFlatTriangleAt(mesh, c.floorZ)) << c.floorZ;
  }
}

TEST(StlTextRecess, TextReachingBeyondThePieceIsCutBackToIt) {
  // The bar runs out of the piece on the right and over a hole: the pockets stay inside
  // the solid, and the mesh stays closed.
  const TPolyRegion bar{rectRing(5, 8, 30, 12), {}};
  const TPolyRegion pieceWithHole{rectRing(0, 0, 20, 20), {rectRing(9, 9, 11, 11)}};
  TTriangleList mesh;
  ExtrudeRegionWithTextRecess(pieceWithHole, {bar}, true, 1.0, DefaultExtrudeParams(), mesh);
  EXPECT_TRUE(isClosedAndOriented(mesh));
  const double m = kTextRecessMargin;
  const double pocket = (20.0 - m - 5.0) * 4.0 - (2.0 + 2 * m) * (2.0 + 2 * m);
  EXPECT_NEAR(meshVolume(mesh), (400.0 - 4.0) * 5.0 - pocket * 1.0, 1e-4);
  for (const TTriangle3D &t : mesh) {
    for (const TVec3 &v : {t.A, t.B, t.C}) EXPECT_LE(v.X, 20.0 + 1e-9);
  }

  // Text wholly outside the piece leaves the plain slab.
  TTriangleList outside, plain;
  ExtrudeRegionWithTextRecess(kPiece, {{rectRing(30, 0, 40, 5), {}}}, true, 1.0, DefaultExtrudeParams(), outside);
  AddExtrudedRegion(kPiece, DefaultExtrudeParams(), plain);
  EXPECT_EQ(outside.size(), plain.size());
}

TEST(StlTextRecess, BevelledSlabsWithPockets) {
  for (bool intoTop : {true, false}) {
    TExtrudeParams params;
    params.TopChamfer = 1.0;
    params.BottomFillet = 1.0;
    TTriangleList mesh;
    ExtrudeRegionWithTextRecess(kPiece, {kLetterO}, intoTop, 1.5, params, mesh);
    EXPECT_TRUE(isClosedAndOriented(mesh)) << intoTop;
    TTriangleList solid;
    AddExtrudedRegion(kPiece, params, solid);
    EXPECT_NEAR(meshVolume(mesh), meshVolume(solid) - kLetterArea * 1.5, 1e-4) << intoTop;
  }
}

TEST(StlTextRecess, NoDepthOrNoTextIsThePlainExtrusion) {
  TExtrudeParams params;
  params.BottomChamfer = 0.5;
  TTriangleList expected;
  AddExtrudedRegion(kPiece, params, expected);
  const std::vector<std::vector<TPolyRegion>> texts{{kLetterO}, {}, {{{{1, 1}, {2, 2}}, {}}}};
  const double depths[] = {0.0, 1.0, 1.0};
  for (size_t i = 0; i < texts.size(); ++i) {
    TTriangleList mesh;
    ExtrudeRegionWithTextRecess(kPiece, texts[i], true, depths[i], params, mesh);
    ASSERT_EQ(mesh.size(), expected.size()) << i;
    for (size_t k = 0; k < mesh.size(); ++k) {
      EXPECT_EQ(mesh[k].A.X, expected[k].A.X);
      EXPECT_EQ(mesh[k].C.Z, expected[k].C.Z);
    }
  }
}

TEST(StlTextRecess, MirrorInXKeepsOrientation) {
  const TPolyRegion r{{{12, 3}, {14, 3}, {14, 6}}, {{{12.5f, 3.5f}, {13, 4}, {13.5f, 3.5f}}}};
  const TPolyRegion m = MirrorRegionX(r, 10.0);
  ASSERT_EQ(m.Outer.size(), 3u);
  EXPECT_TRUE(m.Outer.back().exactlyEquals(TPointF(8, 3)));
  EXPECT_TRUE(m.Outer.front().exactlyEquals(TPointF(6, 6)));
  EXPECT_EQ(RingSignedArea(m.Outer) > 0, RingSignedArea(r.Outer) > 0);
  ASSERT_EQ(m.Holes.size(), 1u);
  EXPECT_EQ(RingSignedArea(m.Holes[0]) > 0, RingSignedArea(r.Holes[0]) > 0);
}

}  // namespace
}  // namespace quillon
