#include "stitching/hole_shape.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/model_test_util.h"
#include "model/shape.h"
#include "stitching/pricking_iron.h"

namespace quillon {
namespace {

using test::pointNear;

TPrickingIron iron(const char *blade, float width, float height, float angle) {
  TPrickingIron i;
  i.BladeType = blade;
  i.Width = width;
  i.Height = height;
  i.Angle = angle;
  return i;
}

TQN_Path newShape() { return TQN_Path(36, 0xFF000000, 2.0f, TStrokeDash::Dot, 5); }

// The outline's points in order.
std::vector<TPointF> points(const TQN_Path &s) {
  std::vector<TPointF> p;
  for (const TPathPoint &e : s.Data().Points()) p.push_back(e.Point);
  return p;
}

// The direction of the long side of a rectangular hole (its second point to its third).
double longSideAngle(const TQN_Path &hole) {
  const std::vector<TPointF> p = points(hole);
  return std::atan2(double(p[2].Y) - p[1].Y, double(p[2].X) - p[1].X) * 180.0 / M_PI;
}

TEST(HoleShape, TheDiamondOfTheWorkedExample) {
  TPrickingIron d = iron("D", 0.8f, 2.2f, 32.0f);
  TQN_Path hole = newShape();
  hole.setLineParams(3.0f, 4.0f, true, true);
  hole.createStichPath({10.0f, 20.0f}, false, &d, 0.0f, 0.0f);

  const std::vector<TPointF> p = points(hole);
  ASSERT_EQ(p.size(), 5u);
  const TPointF corners[] = {{9.4171f, 19.0671f}, {10.3392f, 19.788f}, {10.5829f, 20.9329f}, {9.6608f, 20.212f}};
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(pointNear(p[std::size_t(i)], corners[i], 1e-4)) << i;
  EXPECT_TRUE(pointNear(p[4], p[0], 1e-6));  // back to the first point, no close entry
  EXPECT_EQ(test::countKind(hole.Data(), TPathPointKind::Close), 0);
  EXPECT_TRUE(pointNear(hole.FStitchIn, {9.7229f, 19.3301f}, 1e-4));
  EXPECT_TRUE(pointNear(hole.FStitchOut, {10.2771f, 20.6699f}, 1e-4));

  EXPECT_TRUE(hole.isKind(TShapeKind::Hole));
  EXPECT_EQ(hole.FStitchType, QStringLiteral("D"));
  EXPECT_EQ(hole.PrickingIron(), &d);
  EXPECT_EQ(hole.FWidth, 0.8f);
  EXPECT_EQ(hole.FHeight, 2.2f);
  EXPECT_EQ(hole.FThickness, 1.0f);
  EXPECT_EQ(hole.FDash, TStrokeDash::Solid);
  EXPECT_TRUE(hole.FStartPt.exactlyEquals({10.0f, 20.0f}));
  EXPECT_EQ(hole.Line_param_a(), 0.0f);
  EXPECT_FALSE(hole.IsVerticalLine() || hole.IsHorizontalLine());
  const TRectF box = hole.getBoundary(false);
  EXPECT_NEAR(box.Left, 9.4171, 1e-4);
  EXPECT_NEAR(box.Bottom, 20.9329, 1e-4);
}

TEST(HoleShape, TheIronTiltTurnsFrenchHolesAndEveryHolesThreadPoints) {
  // A French hole on a seam running to the right: its long side 45 degrees off the seam,
  // mirrored when inverted.
  TPrickingIron f = iron("F", 0.25f, 2.0f, 45.0f);
  TQN_Path french = newShape();
  french.createStichPath({0, 0}, false, &f, -90.0f, 0.0f);
  EXPECT_NEAR(std::fabs(longSideAngle(french)), 45.0, 1e-3);
  const double plain = longSideAngle(french);
  french.createStichPath({0, 0}, true, &f, -90.0f, 0.0f);
  EXPECT_TRUE(french.FStitchInversed);
  EXPECT_NEAR(longSideAngle(french), -plain, 1e-3);

  // A flat hole of angle 0 lies along the seam, its thread points 0.05 w beside the axis
  // at three quarters of the half length.
  TPrickingIron flat = iron("L", 0.3f, 2.0f, 0.0f);
  TQN_Path l = newShape();
  l.createStichPath({5, 5}, false, &flat, 0.0f, 0.0f);
  EXPECT_NEAR(longSideAngle(l), 90.0, 1e-4);
  EXPECT_TRUE(pointNear(l.FStitchIn, {5.015f, 4.25f}, 1e-5));
  EXPECT_TRUE(pointNear(l.FStitchOut, {4.985f, 5.75f}, 1e-5));
  // With an angle the rectangle stays along the seam while the thread points turn.
  flat.Angle = 30.0f;
  l.createStichPath({5, 5}, false, &flat, 0.0f, 0.0f);
  EXPECT_NEAR(longSideAngle(l), 90.0, 1e-4);
  EXPECT_NEAR(std::atan2(l.FStitchOut.Y - l.FStitchIn.Y, l.FStitchOut.X - l.FStitchIn.X) * 180.0 / M_PI,
              90.0 - 30.0 + std::atan2(0.03, 1.5) * 180.0 / M_PI, 1e-3);

  // A round hole is the iron width across; its thread points lie on the long axis at
  // 0.375 of the diameter, turned by the rotation.
  TPrickingIron r = iron("R", 1.2f, 5.0f, 0.0f);
  TQN_Path round = newShape();
  round.createStichPath({1, 1}, false, &r, -90.0f, 0.0f);
  EXPECT_EQ(round.FWidth, 1.2f);
  EXPECT_EQ(round.FHeight, 1.2f);
  // Entry behind (to the left of) the centre on a seam running to the right.
  EXPECT_TRUE(pointNear(round.FStitchIn, {0.55f, 1.0f}, 1e-5));
  EXPECT_TRUE(pointNear(round.FStitchOut, {1.45f, 1.0f}, 1e-5));
  const TRectF box = round.getBoundary(false);
  EXPECT_NEAR(box.Left, 0.4, 1e-5);
  EXPECT_NEAR(box.Right, 1.6, 1e-5);
}

TEST(HoleShape, WidthZeroGivesASlitAndTheAxisCrossTurnsWithTheHole) {
  for (const char *blade : {"D", "F", "L"}) {
    TPrickingIron slit = iron(blade, 0.0f, 2.0f, 0.0f);
    TQN_Path hole = newShape();
    hole.createStichPath({0, 0}, false, &slit, 0.0f, 0.0f);
    const std::vector<TPointF> p = points(hole);
    ASSERT_EQ(p.size(), 2u) << blade;
    EXPECT_TRUE(pointNear(p[0], {0, -1}) && pointNear(p[1], {0, 1})) << blade;
  }
  TPrickingIron d = iron("D", 0.8f, 2.2f, 0.0f);
  TQN_Path preview = newShape();
  preview.createStichPath({10, 0}, false, &d, -90.0f, 3.0f);
  const std::vector<TPointF> p = points(preview);
  ASSERT_EQ(p.size(), 9u);
  EXPECT_TRUE(pointNear(p[0], {10, 3}));  // (-3, 0) turned by -90 degrees
  EXPECT_TRUE(pointNear(p[2], {7, 0}));
  EXPECT_EQ(preview.Data()[2].Kind, TPathPointKind::MoveTo);
}

TEST(HoleShape, RebuildingKeepsOrChangesTheInversionAsTheBladeSays) {
  TPrickingIron d = iron("D", 0.8f, 2.2f, 32.0f), l = iron("L", 0.3f, 2.0f, 0.0f);
  TQN_Path hole = newShape();
  hole.createStichPath({0, 0}, true, &d, 0.0f, 0.0f);
  hole.createStichPath({0, 0}, false, &l, 0.0f, 0.0f);
  EXPECT_TRUE(hole.FStitchInversed);  // a flat hole leaves it as it was
  EXPECT_EQ(hole.FStitchType, QStringLiteral("L"));
  // The tilt of thread points is read from the hole's own flag.
  EXPECT_EQ(ironTilt(&d, false), -32.0f);
  EXPECT_EQ(ironTilt(&d, true), 32.0f);
  EXPECT_EQ(ironTilt(nullptr, true), 0.0f);
}

TEST(HoleShape, DefaultHoleSizes) {
  struct Case {
    const char *blade;
    THoleSize size;
  };
  const Case cases[] = {{"D", {0.8f, 2.2f, 32.0f}}, {"F", {0.25f, 2.0f, 45.0f}}, {"L", {0.3f, 2.0f, 0.0f}},
                        {"R", {1.2f, 1.2f, 0.0f}},  {"d", {1.0f, 1.0f, 0.0f}},   {"", {1.0f, 1.0f, 0.0f}}};
  for (const Case &c : cases) {
    const THoleSize s = GetDefaultHoleSize(c.blade);
    EXPECT_EQ(s.Width, c.size.Width) << c.blade;
    EXPECT_EQ(s.Length, c.size.Length) << c.blade;
    EXPECT_EQ(s.Angle, c.size.Angle) << c.blade;
  }
}

// A hole without an iron (read without "pr") or with an iron of an unknown blade cannot be
// rebuilt: moving and turning it carries its outline and thread points along.
TEST(HoleShape, AHoleWithoutABuildableIronCarriesItsOutlineWhenRemade) {
  TPrickingIron unknownBlade = iron("X", 1.0f, 2.0f, 0.0f);
  for (TPrickingIron *ironOrNone : {static_cast<TPrickingIron *>(nullptr), &unknownBlade}) {
    TQN_Path hole = newShape();
    TPrickingIron d = iron("D", 0.8f, 2.2f, 32.0f);
    hole.createStichPath({10, 20}, false, &d, 0.0f, 0.0f);
    hole.setPrickingIron(ironOrNone);
    const std::vector<TPointF> before = points(hole);
    const TPointF in = hole.FStitchIn;

    remakeHole(hole, {15, 20}, 0.0f);
    std::vector<TPointF> after = points(hole);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i) EXPECT_TRUE(pointNear(after[i], before[i] + TPointF(5, 0), 1e-5));
    EXPECT_TRUE(pointNear(hole.FStitchIn, in + TPointF(5, 0), 1e-5));
    EXPECT_TRUE(hole.FCenter.exactlyEquals({15, 20}));
    EXPECT_TRUE(hole.FStartPt.exactlyEquals({15, 20}));
    EXPECT_EQ(hole.FStitchType, QStringLiteral("D"));

    // A quarter turn about the centre.
    remakeHole(hole, {15, 20}, 90.0f);
    after = points(hole);
    const TPointF was = before[0] + TPointF(5, 0) - TPointF(15, 20);
    EXPECT_TRUE(pointNear(after[0], TPointF(15, 20) + TPointF(-was.Y, was.X), 1e-4));
    EXPECT_EQ(hole.FRotation, 90.0f);
  }
}

}  // namespace
}  // namespace quillon
