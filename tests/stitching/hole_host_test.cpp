// The host shape of a stitching hole and the hole's position along it.
#include "stitching/hole_host.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "model/shape.h"
#include "support/editor_fixture.h"

namespace quillon {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;

std::unique_ptr<TQN_Path> newShape(int id) {
  return std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, id);
}

std::unique_ptr<TQN_Path> lineShape(TPointF a, TPointF b) {
  auto s = newShape(1);
  s->drawLinePath(a, b);
  return s;
}

// An arc of radius r round `c`, from the angle `fromDeg` through `sweepDeg` (degrees; +x
// turning toward +y for a positive sweep).
std::unique_ptr<TQN_Path> arcShape(TPointF c, float r, float fromDeg, float sweepDeg, int id = 1) {
  const auto at = [&](float deg) {
    const double a = double(deg) * std::numbers::pi / 180.0;
    return TPointF{float(c.X + r * std::cos(a)), float(c.Y + r * std::sin(a))};
  };
  auto s = newShape(id);
  s->drawArcPath(c, {r, r}, at(fromDeg), at(fromDeg + sweepDeg), sweepDeg);
  return s;
}

TEST(HoleParamOnHost, LineGivesTheSignedDistanceAlongItsDirection) {
  const auto line = lineShape({2, 1}, {12, 1});
  const auto reversed = lineShape({12, 1}, {2, 1});
  const auto slanted = lineShape({0, 0}, {3, 4});
  const auto empty = lineShape({5, 5}, {5, 5});
  struct Case {
    const TQN_Path *host;
    TPointF point;
    float expected;
  } cases[] = {
      {line.get(), {5, 3}, 3.0f},       // off the line: its foot counts
      {line.get(), {0, 1}, -2.0f},      // before the start
      {line.get(), {15, 0}, 13.0f},     // beyond the end
      {reversed.get(), {5, 3}, 7.0f},   // measured from the other end
      {slanted.get(), {3, 4}, 5.0f},    // the end of a 3-4-5 line
      {slanted.get(), {4, -3}, 0.0f},   // square to the line at its start
      {empty.get(), {9, 9}, 0.0f},      // a line of no length
  };
  for (const Case &c : cases)
    EXPECT_NEAR(holeParamOnHost(c.host, c.point), c.expected, 1e-5f) << c.point.X << "," << c.point.Y;
}

TEST(HoleParamOnHost, ArcGivesTheAngleInTheSweepDirectionWithinOneTurn) {
  const auto forward = arcShape({0, 0}, 10, 0, 270);      // start at +x, turning toward +y
  const auto backward = arcShape({0, 0}, 10, 0, -270);    // start at +x, turning toward -y
  const auto acrossSeam = arcShape({0, 0}, 10, 170, 40);  // starts just before 180 degrees
  const auto pointAt = [](float deg, float r) {
    const double a = double(deg) * std::numbers::pi / 180.0;
    return TPointF{float(r * std::cos(a)), float(r * std::sin(a))};
  };
  struct Case {
    const TQN_Path *host;
    TPointF point;
    float expected;
  } cases[] = {
      {forward.get(), pointAt(45, 10), kPi / 4},
      {forward.get(), pointAt(45, 3), kPi / 4},             // the radius does not matter
      {forward.get(), pointAt(-90, 10), 3 * kPi / 2},       // a negative difference wraps up
      {forward.get(), pointAt(0, 10), 0.0f},                // the start
      {backward.get(), pointAt(-90, 10), kPi / 2},          // counted the other way round
      {backward.get(), pointAt(45, 10), 7 * kPi / 4},
      {acrossSeam.get(), pointAt(190, 10), 20 * kPi / 180},  // past the atan2 seam
  };
  for (const Case &c : cases) {
    const float param = holeParamOnHost(c.host, c.point);
    EXPECT_NEAR(param, c.expected, 1e-4f) << c.point.X << "," << c.point.Y;
    EXPECT_GE(param, 0.0f);
    EXPECT_LT(param, 2 * kPi);
  }
}

TEST(HoleParamOnHost, BezierGivesTheLengthAlongItsOutline) {
  // Symmetric about x = 10: the top of the bulge is half way along the outline.
  auto curve = newShape(1);
  curve->drawBezierPath({0, 0}, {0, 10}, {20, 10}, {20, 0});
  const float total = curve->calcTotalLength();
  ASSERT_GT(total, 20.0f);
  EXPECT_NEAR(holeParamOnHost(curve.get(), {10, 8}), total / 2, 0.05f);
  EXPECT_NEAR(holeParamOnHost(curve.get(), {10, 7}), total / 2, 0.05f);
  EXPECT_NEAR(holeParamOnHost(curve.get(), {0, 0}), 0.0f, 1e-5f);
  EXPECT_NEAR(holeParamOnHost(curve.get(), {20, 0}), total, 0.01f);
  // Beyond the end the nearest piece's foot is the end itself.
  EXPECT_NEAR(holeParamOnHost(curve.get(), {20, -5}), total, 0.01f);
  // Further along the outline means a larger position.
  EXPECT_LT(holeParamOnHost(curve.get(), {2, 5}), holeParamOnHost(curve.get(), {18, 5}));
}

TEST(HoleParamOnHost, OtherKindsAndNoHostGiveZero) {
  auto circle = newShape(1);
  circle->drawEllipsePath({0, 0}, 20, 20);
  EXPECT_EQ(holeParamOnHost(circle.get(), {10, 0.5f}), 0.0f);
  EXPECT_EQ(holeParamOnHost(nullptr, {10, 0.5f}), 0.0f);
}

class HoleHostTest : public test::EditorTest {
 protected:
  TQN_Path *addArc(TPointF c, float r, float fromDeg, float sweepDeg) {
    return editor.doc().add(arcShape(c, r, fromDeg, sweepDeg, doc().getNextID()), 0);
  }
  TQN_Path *host(TPointF at, float &param, const THostVotes *votes = nullptr) {
    TQN_Path *hole = addHole(at);
    return findHoleHost(doc(), *hole, param, votes);
  }
};

TEST_F(HoleHostTest, OnlyShapesCloserThanTheReachAreHosts) {
  TQN_Path *line = addLine({0, 0}, {20, 0});
  struct Case {
    TPointF at;
    bool hosted;
    float param;
  } cases[] = {
      {{5, 0.0f}, true, 5.0f},
      {{5, 0.59f}, true, 5.0f},
      {{5, -0.59f}, true, 5.0f},
      {{5, 0.61f}, false, 0.0f},
      {{5, 0.65f}, false, 0.0f},
      {{-0.4f, 0.3f}, true, 0.0f},  // past the start: the nearest point is the start (0.5 away)
      {{-0.5f, 0.4f}, false, 0.0f},  // 0.64 from the start
      {{20.3f, 0.0f}, true, 20.0f},
  };
  for (const Case &c : cases) {
    float param = -1.0f;
    EXPECT_EQ(host(c.at, param), c.hosted ? line : nullptr) << c.at.X << "," << c.at.Y;
    EXPECT_NEAR(param, c.param, 1e-4f) << c.at.X << "," << c.at.Y;
  }
}

TEST_F(HoleHostTest, AnArcHostsOnlyWhereTheNearestPointLiesWithinItsSweep) {
  TQN_Path *arc = addArc({0, 0}, 10, 0, 270);
  float param = -1.0f;
  EXPECT_EQ(host({0, 10.3f}, param), arc);
  EXPECT_NEAR(param, kPi / 2, 1e-4f);
  // On the arc's circle in the missing quarter.
  EXPECT_EQ(host({7.0711f, -7.0711f}, param), nullptr);
  EXPECT_EQ(param, 0.0f);
  // 0.3 from the arc's start, but the point of the circle nearest to it lies just before
  // the start: not on the arc.
  EXPECT_EQ(host({10.0f, -0.3f}, param), nullptr);
  // Just inside the sweep next to the start.
  EXPECT_EQ(host({10.0f, 0.3f}, param), arc);
  EXPECT_NEAR(param, 0.03f, 1e-3f);
}

TEST_F(HoleHostTest, NearlyEquallyNearHostsGoToTheOneWithMoreVotes) {
  // Two lines meeting at (10, 0): a hole near the corner is within 0.1 mm of both.
  TQN_Path *a = addLine({0, 0}, {10, 0});
  TQN_Path *b = addLine({10, 0}, {10, 10});
  float param = -1.0f;
  const TPointF nearCorner{9.92f, 0.03f};  // 0.03 from a, 0.08 from b
  EXPECT_EQ(host(nearCorner, param), a);  // no votes: the nearer
  EXPECT_NEAR(param, 9.92f, 1e-4f);

  const THostVotes bLeads{{b, 5}, {a, 2}};
  EXPECT_EQ(host(nearCorner, param, &bLeads), b);
  EXPECT_NEAR(param, 0.03f, 1e-4f);  // the position along b, from its start
  const THostVotes tied{{a, 3}, {b, 3}};
  EXPECT_EQ(host(nearCorner, param, &tied), a);  // equal votes: the nearer

  // More than 0.1 mm farther than the nearest: votes do not count.
  EXPECT_EQ(host({9.5f, 0.03f}, param, &bLeads), a);

  // Exactly on the corner, with equal votes: the one met first in the document.
  EXPECT_EQ(host({10, 0}, param), a);
  EXPECT_NEAR(param, 10.0f, 1e-4f);
  const THostVotes bOnly{{b, 1}};
  EXPECT_EQ(host({10, 0}, param, &bOnly), b);
  EXPECT_NEAR(param, 0.0f, 1e-4f);
}

TEST_F(HoleHostTest, HiddenLayersDimensionLinesAndOtherKindsHostNothing) {
  doc().addLayer(1, QStringLiteral("hidden"), false);
  addLine({0, 0}, {20, 0}, 1);  // on the hidden layer, right under the hole
  TQN_Path *dimension = addLine({0, 0.1f}, {20, 0.1f});
  dimension->FIsDimensionLine = true;
  auto circle = newShape(doc().getNextID());
  circle->drawEllipsePath({5, 10}, 20, 20);  // passes through (5, 0)
  editor.doc().add(std::move(circle), 0);
  float param = -1.0f;
  EXPECT_EQ(host({5, 0}, param), nullptr);

  // A visible line farther away is the host, though the hidden ones are nearer.
  TQN_Path *visible = addLine({0, 0.5f}, {20, 0.5f});
  EXPECT_EQ(host({5, 0}, param), visible);
  EXPECT_NEAR(param, 5.0f, 1e-4f);
}

}  // namespace
}  // namespace quillon
