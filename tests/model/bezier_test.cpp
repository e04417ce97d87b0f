#include "model/bezier.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/model_test_util.h"

namespace quillon {
namespace {

using test::pointNear;

// x = 3t, y = 3t^2: the parabola y = x^2/3 for x from 0 to 3, |B'(t)| = 3*sqrt(1 + 4t^2).
constexpr TCubicBezier kParabola{{0, 0}, {1, 0}, {2, 1}, {3, 3}};
// 3 * integral of sqrt(1 + 4t^2): [t*sqrt(1+4t^2)/2 + asinh(2t)/4] * 3.
const double kParabolaLength = 3.0 * (std::sqrt(5.0) / 2.0 + std::asinh(2.0) / 4.0);         // 4.4368286
const double kParabolaHalfTimeLength = 3.0 * (std::sqrt(2.0) / 4.0 + std::asinh(1.0) / 4.0);  // 1.7216904

TEST(BezierArcLength, PointsAndLengthsOfKnownCurves) {
  EXPECT_TRUE(pointNear(bezierPointAt(kParabola, 0.5), {1.5f, 0.75f}, 1e-7));
  EXPECT_TRUE(pointNear(bezierPointAt(kParabola, 0.0), {0, 0}, 0));
  EXPECT_TRUE(pointNear(bezierPointAt(kParabola, 1.0), {3, 3}, 0));

  EXPECT_NEAR(bezierTotalLength(kParabola), kParabolaLength, 1e-5);
  EXPECT_NEAR(bezierArcLength(kParabola, 0.0, 0.5), kParabolaHalfTimeLength, 1e-5);
  EXPECT_NEAR(bezierArcLength(kParabola, 0.5, 1.0), kParabolaLength - kParabolaHalfTimeLength, 1e-5);

  // A straight segment of length 15 (a 3-4-5 triangle scaled by 3).
  const TCubicBezier straight{{0, 0}, {3, 4}, {6, 8}, {9, 12}};
  EXPECT_NEAR(bezierTotalLength(straight), 15.0, 1e-5);
  EXPECT_NEAR(bezierArcLength(straight, 0.2, 0.6), 6.0, 1e-5);
}

TEST(BezierArcLength, PointAtLength) {
  struct Case {
    const char *what;
    TCubicBezier curve;
    double s;
    TPointF expected;
    double tolerance;
  };
  const TCubicBezier straight{{0, 0}, {3, 4}, {6, 8}, {9, 12}};
  // Straight but with speed 24t^2: the point at length s is found by searching the time.
  const TCubicBezier slowStart{{0, 0}, {0, 0}, {0, 0}, {8, 0}};
  const Case cases[] = {
      {"before the start", straight, -1.0, {0, 0}, 0},
      {"at zero", straight, 0.0, {0, 0}, 0},
      {"half of a straight curve", straight, 7.5, {4.5f, 6.0f}, 1e-6},
      {"a fifth of a straight curve", straight, 3.0, {1.8f, 2.4f}, 1e-6},
      {"at the total length", straight, bezierTotalLength(straight), {9, 12}, 0},
      {"beyond the end", straight, 100.0, {9, 12}, 0},
      {"slow start, a quarter", slowStart, 2.0, {2, 0}, 1e-5},
      {"slow start, an eighth", slowStart, 1.0, {1, 0}, 1e-5},
      {"slow start, in the last table step", slowStart, 7.99, {7.99f, 0}, 1e-5},
  };
  for (const Case &c : cases) {
    double total = -1.0;
    EXPECT_TRUE(pointNear(bezierPointAtLength(c.curve, c.s, total), c.expected, c.tolerance)) << c.what;
    EXPECT_DOUBLE_EQ(total, bezierTotalLength(c.curve)) << c.what;
  }

  // A curve whose four points coincide has no length and always gives its start.
  const TCubicBezier point{{3, 4}, {3, 4}, {3, 4}, {3, 4}};
  double total = -1.0;
  EXPECT_TRUE(pointNear(bezierPointAtLength(point, 1.0, total), {3, 4}, 0));
  EXPECT_EQ(total, 0.0);

  // On a curved Bezier the length from the start to the found point is the asked length.
  double ignored = 0.0;
  const TPointF p = bezierPointAtLength(kParabola, kParabolaHalfTimeLength, ignored);
  EXPECT_TRUE(pointNear(p, {1.5f, 0.75f}, 1e-5));
}

TEST(BezierOffset, PointsDerivativesAndOffsetPoints) {
  EXPECT_TRUE(pointNear(BezierPoint(kParabola, 0.5f), {1.5f, 0.75f}, 1e-7));
  EXPECT_TRUE(pointNear(BezierDerivative(kParabola, 0.0f), {3, 0}, 1e-6));
  EXPECT_TRUE(pointNear(BezierDerivative(kParabola, 0.5f), {3, 3}, 1e-6));
  EXPECT_TRUE(pointNear(BezierDerivative(kParabola, 1.0f), {3, 6}, 1e-6));

  // Travelling along +x, a positive distance lies toward -y (left on screen).
  EXPECT_TRUE(pointNear(BezierOffsetPoint(kParabola, 0.0f, 2.0f), {0, -2}, 1e-6));
  // At the end the derivative is (3, 6): the normal (6, -3)/sqrt(45).
  const double k = 2.0 / std::sqrt(45.0);
  EXPECT_TRUE(pointNear(BezierOffsetPoint(kParabola, 1.0f, 2.0f), {float(3 + 6 * k), float(3 - 3 * k)}, 1e-5));
  EXPECT_TRUE(pointNear(BezierOffsetPoint(kParabola, 1.0f, -2.0f), {float(3 - 6 * k), float(3 + 3 * k)}, 1e-5));

  // Where the derivative vanishes the point is not moved.
  const TCubicBezier cusp{{0, 0}, {0, 0}, {10, 10}, {20, 0}};
  EXPECT_TRUE(pointNear(BezierOffsetPoint(cusp, 0.0f, 5.0f), {0, 0}, 0));
}

TEST(BezierOffset, OffsetCurves) {
  // Offset by nothing: the same curve.
  const TCubicBezier same = OffsetBezier(kParabola, 0.0f);
  EXPECT_TRUE(pointNear(same.P0, kParabola.P0, 1e-5));
  EXPECT_TRUE(pointNear(same.P1, kParabola.P1, 1e-5));
  EXPECT_TRUE(pointNear(same.P2, kParabola.P2, 1e-5));
  EXPECT_TRUE(pointNear(same.P3, kParabola.P3, 1e-5));

  // A straight horizontal curve offset by 2 lies on y = -2.
  const TCubicBezier line{{0, 0}, {10, 0}, {20, 0}, {30, 0}};
  const TCubicBezier shifted = OffsetBezier(line, 2.0f);
  EXPECT_TRUE(pointNear(shifted.P0, {0, -2}, 1e-5));
  EXPECT_TRUE(pointNear(shifted.P1, {10, -2}, 1e-4));
  EXPECT_TRUE(pointNear(shifted.P2, {20, -2}, 1e-4));
  EXPECT_TRUE(pointNear(shifted.P3, {30, -2}, 1e-5));
  for (float t = 0.0f; t <= 1.0f; t += 0.125f) EXPECT_NEAR(BezierPoint(shifted, t).Y, -2.0, 1e-5) << t;

  // The handles take the directions of the given curve's handles: the start handle of
  // the parabola runs along +x, its end handle along (1, 2).
  const TCubicBezier outer = OffsetBezier(kParabola, 1.0f);
  EXPECT_NEAR(outer.P1.Y, outer.P0.Y, 1e-5);
  EXPECT_GT(outer.P1.X, outer.P0.X);
  const TPointF endHandle = outer.P3 - outer.P2;
  EXPECT_NEAR(endHandle.X * 2.0f - endHandle.Y, 0.0, 1e-4);  // parallel to (1, 2)
  EXPECT_GT(endHandle.X, 0.0f);

  // A first control point on the start: the offset starts on P0 itself and the start
  // handle keeps the direction of the interpolating cubic (there is none to copy).
  const TCubicBezier cusp{{0, 0}, {0, 0}, {10, 10}, {20, 0}};
  const TCubicBezier fromCusp = OffsetBezier(cusp, 1.0f);
  EXPECT_TRUE(pointNear(fromCusp.P0, {0, 0}, 0));
  const TPointF s0 = BezierOffsetPoint(cusp, 0.0f, 1.0f), s1 = BezierOffsetPoint(cusp, 1.0f / 3.0f, 1.0f);
  const TPointF s2 = BezierOffsetPoint(cusp, 2.0f / 3.0f, 1.0f), s3 = BezierOffsetPoint(cusp, 1.0f, 1.0f);
  const TPointF interpolated{(-5 * s0.X + 18 * s1.X - 9 * s2.X + 2 * s3.X) / 6,
                             (-5 * s0.Y + 18 * s1.Y - 9 * s2.Y + 2 * s3.Y) / 6};
  EXPECT_TRUE(pointNear(fromCusp.P1, interpolated, 1e-4));
}

}  // namespace
}  // namespace quillon
