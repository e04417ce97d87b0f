#include "stl/stl_path_data.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "stitching/pricking_iron.h"
#include "stl/regions.h"

namespace quillon {
namespace {

constexpr TAlphaColor kRed = 0xFFFF0000;
constexpr TAlphaColor kBlue = 0xFF0000FF;

// Kinds of all entries as letters, e.g. "MLLLLZ" (a cubic curve is "CCC").
std::string kinds(const TPathData &p) {
  std::string s;
  for (const TPathPoint &e : p.Points()) {
    switch (e.Kind) {
      case TPathPointKind::MoveTo: s += 'M'; break;
      case TPathPointKind::LineTo: s += 'L'; break;
      case TPathPointKind::CurveTo: s += 'C'; break;
      case TPathPointKind::Close: s += 'Z'; break;
    }
  }
  return s;
}

class StlPathData : public ::testing::Test {
 protected:
  TQN_Path *line(TPointF a, TPointF b, TAlphaColor color = kRed, int group = 0) {
    TQN_Path *s = keep(color);
    s->FShapeType = TShapeKind::Line;
    s->drawLinePath(a, b);
    s->FStartPt = a;
    s->FEndPt = b;
    s->FGroupID = group;
    return s;
  }
  TQN_Path *curve(TPointF a, TPointF c1, TPointF c2, TPointF b) {
    TQN_Path *s = keep(kRed);
    s->FShapeType = TShapeKind::Bezier;
    s->drawBezierPath(a, c1, c2, b);
    return s;
  }
  TQN_Path *text(const TRectF &box) {
    TQN_Path *s = keep(kRed);
    s->FShapeType = TShapeKind::Text;
    TPathData d;
    d.MoveTo(box.topLeft());
    d.LineTo({box.Right, box.Top});
    d.LineTo(box.bottomRight());
    d.LineTo({box.Left, box.Bottom});
    d.ClosePath();
    s->setData(d);
    return s;
  }
  TQN_Path *circle(TPointF centre, float size) {
    TQN_Path *s = keep(kRed);
    s->drawEllipsePath(centre, size, size);
    return s;
  }
  TQN_Path *hole(char blade, bool inverted, TPointF at = {5, 5}) {
    TQN_Path *s = keep(kRed);
    if (blade == 'D') s->setAsDiamondHole(at, iron_, inverted, 0.0f, 0.0f);
    else s->setAsRoundHole(at, iron_, 0.0f, 0.0f);
    return s;
  }
  std::vector<TQN_Path *> square(float size, TAlphaColor color = kRed, int group = 0, float x = 0) {
    return {line({x, 0}, {x + size, 0}, color, group), line({x + size, 0}, {x + size, size}, color, group),
            line({x + size, size}, {x, size}, color, group), line({x, size}, {x, 0}, color, group)};
  }
  TSTLPathData build(std::vector<TQN_Path *> &shapes, TSTLStitchSettings settings = DefaultStitchSettings(),
                     const TShiftShapePositionProc &shift = nullptr) {
    TSTLPathData result;
    BuildSTLPathData(result, shapes, getGroupIDs(shapes), settings, TSTLPen{}, shift);
    return result;
  }

  TPrickingIron iron_;

 private:
  TQN_Path *keep(TAlphaColor color) {
    shapes_.push_back(std::make_unique<TQN_Path>(0, color, 1.0f, TStrokeDash::Solid, static_cast<int>(shapes_.size())));
    return shapes_.back().get();
  }
  std::vector<std::unique_ptr<TQN_Path>> shapes_;
};

TEST_F(StlPathData, LinesHeadToTailCloseIntoOneSubPathWithoutChangingTheShapes) {
  std::vector<TQN_Path *> shapes = square(10);
  // One line drawn the other way round, and the list out of order.
  TQN_Path *flipped = line({10, 10}, {10, 0});
  shapes[1] = flipped;
  std::swap(shapes[0], shapes[2]);
  const std::vector<TQN_Path *> given = shapes;
  const TSTLPathData r = build(shapes);
  ASSERT_TRUE(r.Body);
  EXPECT_EQ(kinds(*r.Body), "MLLLLZ");
  EXPECT_EQ(r.SkippedCount, 0);
  EXPECT_FALSE(r.Text);
  // The drawing's own line keeps its direction; the list holds the same shapes.
  EXPECT_TRUE(flipped->FStartPt.exactlyEquals(TPointF(10, 10)));
  EXPECT_TRUE(flipped->Data()[0].Point.exactlyEquals(TPointF(10, 10)));
  ASSERT_EQ(shapes.size(), given.size());
  for (TQN_Path *s : given) EXPECT_NE(std::find(shapes.begin(), shapes.end(), s), shapes.end());

  // The string of a chain: one move, four lines and a "z" without a blank.
  std::string chain = ShapeToSTLPath(*given[2], false, DefaultStitchSettings(), {});
  EXPECT_EQ(chain, "M0.0000,0.0000 L10.0000,0.0000 ");
  EXPECT_EQ(ShapeToSTLPath(*given[2], true, DefaultStitchSettings(), {}), "L10.0000,0.0000 ");
}

TEST_F(StlPathData, ChainsRingsAndSkippedShapes) {
  struct Case {
    const char *name;
    std::vector<TQN_Path *> shapes;
    std::string bodyKinds;  // empty: no body
    int skipped;
  };
  std::vector<Case> cases;
  cases.push_back({"ends 0.25 apart: not closed, still a ring",
                   {line({0, 0}, {10, 0}), line({10, 0}, {10, 10}), line({10, 10}, {0.25f, 0})}, "MLLL", 0});
  cases.push_back({"single open line", {line({0, 0}, {10, 0})}, "", 1});
  cases.push_back({"single open cubic", {curve({0, 0}, {0, 10}, {10, 10}, {10, 0})}, "MCCC", 0});
  // Backwards only through the same style: the red predecessor of the blue seed stays
  // out (and alone gives no ring), the blue successor joins.
  cases.push_back({"predecessor of another colour",
                   {line({10, 0}, {10, 10}, kBlue), line({0, 0}, {10, 0}, kRed), line({10, 10}, {0, 10}, kBlue)},
                   "MLL",
                   1});
  // Forwards any style joins.
  cases.push_back({"successor of another colour",
                   {line({0, 0}, {10, 0}, kRed), line({10, 0}, {10, 10}, kBlue), line({10, 10}, {0, 10}, kBlue)},
                   "MLLL",
                   0});
  std::vector<TQN_Path *> twoGroups = square(10, kRed, 0);
  for (TQN_Path *s : square(10, kRed, 7, 10)) twoGroups.push_back(s);
  cases.push_back({"touching squares of two groups stay apart", twoGroups, "MLLLLZMLLLLZ", 0});

  for (Case &c : cases) {
    const TSTLPathData r = build(c.shapes);
    EXPECT_EQ(r.SkippedCount, c.skipped) << c.name;
    if (c.bodyKinds.empty()) {
      EXPECT_FALSE(r.Body) << c.name;
    } else {
      ASSERT_TRUE(r.Body) << c.name;
      EXPECT_EQ(kinds(*r.Body), c.bodyKinds) << c.name;
    }
  }
}

TEST_F(StlPathData, StitchingHoles) {
  TSTLStitchSettings settings = DefaultStitchSettings();
  // Round: four curves about the centre of the hole's box, radius 1.6 / 4.
  TQN_Path *round = hole('D', false, {20, 30});
  const TPathData circle = TPathData::fromText(ShapeToSTLPath(*round, false, settings, {}));
  EXPECT_EQ(kinds(circle), "M" + std::string(12, 'C') + "Z");  // four curves
  const TPointF centre = round->getBoundary(true).centerPoint();
  for (const std::vector<TRing> &rings : {FlattenPathData(circle, 32, 0.0001f)}) {
    ASSERT_EQ(rings.size(), 1u);
    for (const TPointF &p : rings[0]) EXPECT_NEAR(std::hypot(p.X - centre.X, p.Y - centre.Y), 0.4, 1e-3);
  }

  // Slits of a diamond iron turn by -32 degrees, or +32 when inverted.
  settings.StitchAsRound = false;
  for (bool inverted : {false, true}) {
    TQN_Path *d = hole('D', inverted);
    const TPathData slit = TPathData::fromText(ShapeToSTLPath(*d, false, settings, {}));
    EXPECT_EQ(kinds(slit), "MLLLZ");
    const TPointF c = d->getBoundary(true).centerPoint();
    const double a = (inverted ? 32.0 : -32.0) * std::numbers::pi / 180.0;
    EXPECT_NEAR(slit[0].Point.X - c.X, 1.1 * std::sin(a), 1e-4) << inverted;
    EXPECT_NEAR(slit[0].Point.Y - c.Y, -1.1 * std::cos(a), 1e-4) << inverted;
  }
  // A round-blade hole keeps its own outline.
  TQN_Path *r = hole('R', false);
  EXPECT_EQ(ShapeToSTLPath(*r, false, settings, {}), r->Data().toText());
  // So does a slit whose size is switched off.
  settings.DiamondW = 0.0f;
  TQN_Path *d = hole('D', false);
  EXPECT_EQ(ShapeToSTLPath(*d, false, settings, {}), d->Data().toText());
}

TEST_F(StlPathData, TextDimensionLinesAndMovingToTheOrigin) {
  std::vector<TQN_Path *> shapes = square(40);
  for (TQN_Path *s : square(10, kRed, 0, 100)) shapes.push_back(s);  // a second piece
  TQN_Path *inHole = text({12, 12, 18, 18});
  TQN_Path *outside = text({60, 60, 70, 70});
  TQN_Path *dimension = line({0, 50}, {40, 50});
  dimension->FIsDimensionLine = true;
  shapes.push_back(inHole);
  shapes.push_back(outside);
  shapes.push_back(dimension);
  // A round hole of the piece with the text centred in it.
  shapes.push_back(circle({15, 15}, 10));

  std::vector<TQN_Path *> list = shapes;
  TSTLPathData r = build(list);
  ASSERT_TRUE(r.Body);
  ASSERT_TRUE(r.Text);
  EXPECT_EQ(kinds(*r.Text), "MLLLZ");
  EXPECT_EQ(std::find(list.begin(), list.end(), dimension), list.end());
  EXPECT_EQ(list.size(), shapes.size() - 1);

  TSTLStitchSettings noText = DefaultStitchSettings();
  noText.EngraveDepth = 0.0f;
  list = shapes;
  EXPECT_FALSE(build(list, noText).Text);

  // Moving to the origin needs the shift callback.
  TSTLStitchSettings toOrigin = DefaultStitchSettings();
  toOrigin.MoveToOrigin = true;
  const std::vector<TQN_Path *> moved{line({5, 3}, {15, 3}), line({15, 3}, {15, 13}), line({15, 13}, {5, 13}), line({5, 13}, {5, 3})};
  std::vector<TQN_Path *> copy = moved;
  EXPECT_EQ(build(copy, toOrigin).Body->GetBounds(), TRectF(5, 3, 15, 13));
  copy = moved;
  const TSTLPathData shifted = build(copy, toOrigin, [](TQN_Path *, TPointF, bool) {});
  EXPECT_EQ(shifted.Body->GetBounds(), TRectF(0, 0, 10, 10));
}

}  // namespace
}  // namespace quillon
