// The small geometric services of the editing commands that the tools share.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "edit/shape_geometry.h"
#include "model/bezier.h"
#include "model/point_helpers.h"
#include "support/editor_fixture.h"

namespace quillon {
namespace {

constexpr double kPi = std::numbers::pi;

class ShapeGeometryTest : public test::EditorTest {
 protected:
  std::vector<std::unique_ptr<TQN_Path>> owned;
  std::vector<TQN_Path *> beziers(float start, float sweep) {
    std::vector<TQN_Path *> made =
        ellipticalArcToBeziers(editor, {0.0f, 0.0f}, {10.0f, 0.0f}, {0.0f, 10.0f}, start, sweep);
    for (TQN_Path *s : made) owned.emplace_back(s);
    return made;
  }
  static std::unique_ptr<TQN_Path> line(TPointF a, TPointF b) {
    auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, 1);
    s->drawLinePath(a, b);
    return s;
  }
};

TEST_F(ShapeGeometryTest, EllipticalArcIsCutIntoAtMostFourParts) {
  struct Case {
    double sweep;
    std::size_t parts;
  };
  // The sweep is a single: the one nearest to pi / 2 lies above it (two parts), the one
  // nearest to pi too (three). More than a full turn is one full turn.
  const Case cases[] = {{0.0, 0},
                        {1.5, 1},
                        {-1.5, 1},
                        {1.6, 2},
                        {kPi / 2, 2},
                        {kPi, 3},
                        {-kPi, 3},
                        {3 * kPi / 2 + 0.01, 4},
                        {2 * kPi - 0.0005, 4},
                        {2 * kPi, 4},
                        {2 * kPi + 0.0005, 4},
                        {3 * kPi, 4}};
  for (const Case &c : cases) {
    const std::vector<TQN_Path *> made = beziers(0.0f, float(c.sweep));
    EXPECT_EQ(made.size(), c.parts) << c.sweep;
    for (std::size_t i = 1; i < made.size(); ++i) EXPECT_EQ(made[i]->FStartPt, made[i - 1]->FEndPt);
  }
  // A negative sweep runs from the first radius end away from the second.
  EXPECT_LT(beziers(0.0f, -1.5f)[0]->FEndPt.Y, -9.0f);
  EXPECT_GT(beziers(0.0f, 1.5f)[0]->FEndPt.Y, 9.0f);
  // Three turns draw one turn: the last end is the first start again.
  const std::vector<TQN_Path *> turn = beziers(0.0f, float(3 * kPi));
  EXPECT_NEAR(turn.back()->FEndPt.X, 10.0f, 1e-4);
  EXPECT_NEAR(turn.back()->FEndPt.Y, 0.0f, 1e-4);
}

TEST_F(ShapeGeometryTest, EllipticalArcFollowsTheCircle) {
  // A quarter from the first axis end towards the second, with distinct IDs and the pen.
  editor.pen().FCurrentColor = 0xFF00FF00;
  editor.pen().FCurrentThickness = 3.0f;
  const std::vector<TQN_Path *> made = beziers(float(kPi / 2), float(kPi));
  ASSERT_EQ(made.size(), 3u);
  EXPECT_NEAR(made[0]->FStartPt.X, 0.0f, 1e-5);
  EXPECT_NEAR(made[0]->FStartPt.Y, 10.0f, 1e-5);
  EXPECT_NEAR(made[2]->FEndPt.X, 0.0f, 1e-5);
  EXPECT_NEAR(made[2]->FEndPt.Y, -10.0f, 1e-5);
  // Handle length 4/3 tan(pi/12) x radius along the tangent (three parts of 60 degrees).
  EXPECT_NEAR(made[0]->FBezierCp1.X, -10.0 * 4.0 / 3.0 * std::tan(kPi / 12), 1e-4);
  EXPECT_NE(made[0]->ID(), made[1]->ID());
  for (TQN_Path *bz : made) {
    EXPECT_TRUE(bz->isKind(TShapeKind::Bezier));
    EXPECT_EQ(bz->FColor, 0xFF00FF00u);
    EXPECT_EQ(bz->FThickness, 3.0f);
    const TCubicBezier curve{bz->FStartPt, bz->FBezierCp1, bz->FBezierCp2, bz->FEndPt};
    for (double t = 0.1; t < 1.0; t += 0.1) EXPECT_NEAR(calcDistance(bezierPointAt(curve, t), {}), 10.0f, 0.004);
  }
  EXPECT_EQ(doc().Count(), 0);
}

TEST_F(ShapeGeometryTest, StraightenToAxis) {
  struct Case {
    TPointF a, b;
    TAxisMode mode;
    bool keepStart;
    float limit;
    bool changed;
    TPointF a2, b2;
  };
  const Case cases[] = {
      {{0, 0}, {10, 0.01f}, TAxisMode::Automatic, true, 0.1f, true, {0, 0}, {10, 0}},
      {{0, 0}, {10, 0.01f}, TAxisMode::Automatic, false, 0.1f, true, {0, 0.01f}, {10, 0.01f}},
      {{10, 0}, {0, 0.01f}, TAxisMode::Automatic, true, 0.1f, true, {10, 0}, {0, 0}},  // leftwards
      {{0, 0}, {0.01f, 10}, TAxisMode::Automatic, true, 0.1f, true, {0, 0}, {0, 10}},
      {{0, 0}, {10, 0.5f}, TAxisMode::Automatic, true, 0.1f, false, {0, 0}, {10, 0.5f}},
      {{0, 0}, {10, 0.05f}, TAxisMode::Automatic, true, 0.1f, false, {0, 0}, {10, 0.05f}},
      {{0, 0}, {10, 0.05f}, TAxisMode::Automatic, true, -1.0f, true, {0, 0}, {10, 0}},  // limit 0.5
      {{0, 0}, {10, 0}, TAxisMode::Automatic, true, 0.1f, false, {0, 0}, {10, 0}},
      {{0, 0}, {10, 9}, TAxisMode::Vertical, true, 0.1f, true, {0, 0}, {0, 9}},
      {{0, 0}, {10, 9}, TAxisMode::Horizontal, false, 0.1f, true, {0, 9}, {10, 9}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.b.X << ", " << c.b.Y << " mode " << int(c.mode));
    std::unique_ptr<TQN_Path> l = line(c.a, c.b);
    EXPECT_EQ(straightenToAxis(*l, c.mode, c.keepStart, c.limit), c.changed);
    EXPECT_TRUE(l->FStartPt.exactlyEquals(c.a2));
    EXPECT_TRUE(l->FEndPt.exactlyEquals(c.b2));
    EXPECT_EQ(l->Data().LastPoint(), c.b2);  // the outline follows
  }
  TQN_Path dot(0, 0, 1.0f, TStrokeDash::Solid, 1);
  dot.drawDotPath({1.0f, 1.0f}, 0.5f);
  EXPECT_FALSE(straightenToAxis(dot, TAxisMode::Horizontal, true, 0.1f));
}

TEST_F(ShapeGeometryTest, NearestSegmentDirection) {
  std::unique_ptr<TQN_Path> h = line({0, 0}, {10, 0});
  std::unique_ptr<TQN_Path> d = line({10, 10}, {0, 0.004f});  // passes near (5, 5.002)
  std::unique_ptr<TQN_Path> zero = line({5, 0}, {5, 0});
  TPointF dir;
  TQN_Path *found = nullptr;
  EXPECT_TRUE(nearestSegmentDirection({zero.get(), h.get()}, {5.0f, 0.005f}, dir, found));
  EXPECT_EQ(found, h.get());
  EXPECT_NEAR(dir.X, 1.0f, 1e-6);
  EXPECT_NEAR(dir.Y, 0.0f, 1e-6);
  EXPECT_FALSE(nearestSegmentDirection({h.get()}, {5.0f, 0.02f}, dir, found));
  EXPECT_FALSE(nearestSegmentDirection({zero.get()}, {5.0f, 0.0f}, dir, found));
  // At the shared end both pass: the nearer one wins.
  EXPECT_TRUE(nearestSegmentDirection({h.get(), d.get()}, {0.0f, 0.003f}, dir, found));
  EXPECT_EQ(found, d.get());
  EXPECT_LT(dir.X, 0.0f);  // from its first to its second point
}

TEST_F(ShapeGeometryTest, UnitDirectionAndAngle) {
  struct Case {
    TPointF to, dir;
    float angle;
  };
  const Case cases[] = {{{1, 0}, {1, 0}, -90.0f},   {{-2, 0}, {-1, 0}, 90.0f}, {{0, 5}, {0, 1}, 0.0f},
                        {{0, -5}, {0, -1}, 180.0f}, {{0, 0}, {0, 1}, 0.0f},
                        {{3, 3}, {0.7071068f, 0.7071068f}, -45.0f}};
  for (const Case &c : cases) {
    float angle = 1234.0f;
    const TPointF dir = unitDirectionAndAngle({0.0f, 0.0f}, c.to, angle);
    EXPECT_NEAR(dir.X, c.dir.X, 1e-6) << c.to.X << ", " << c.to.Y;
    EXPECT_NEAR(dir.Y, c.dir.Y, 1e-6) << c.to.X << ", " << c.to.Y;
    EXPECT_NEAR(angle, c.angle, 1e-4) << c.to.X << ", " << c.to.Y;
  }
}

TEST_F(ShapeGeometryTest, IntersectInfiniteLinesGivesTheFootOfAPerpendicular) {
  TPointF p;
  ASSERT_TRUE(intersectInfiniteLines({0, 0}, {1, 0}, {0, 1}, {50, -20}, p));
  EXPECT_NEAR(p.X, 50.0f, 1e-3);
  EXPECT_NEAR(p.Y, 0.0f, 1e-3);
  const TPointF d = calcUnitVector({0, 0}, {1, 1});
  ASSERT_TRUE(intersectInfiniteLines({0, 0}, d, rotateVector(d, 90.0f), {10, 0}, p));
  EXPECT_NEAR(p.X, 5.0f, 1e-3);
  EXPECT_NEAR(p.Y, 5.0f, 1e-3);
  EXPECT_FALSE(intersectInfiniteLines({0, 0}, {1, 0}, {1, 0}, {0, 5}, p));
}

}  // namespace
}  // namespace quillon
