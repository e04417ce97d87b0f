#include "model/bezier.h"

#include <cmath>
#include <cstddef>
#include <utility>

namespace quillon {

namespace {

struct DVec {
  double x = 0.0;
  double y = 0.0;
};

DVec widen(TPointF p) { return {p.X, p.Y}; }
TPointF narrow(DVec v) { return {static_cast<float>(v.x), static_cast<float>(v.y)}; }

DVec pointAt(const TCubicBezier &c, double t) {
  const double mt = 1.0 - t;
  const double b0 = mt * mt * mt, b1 = 3.0 * mt * mt * t, b2 = 3.0 * mt * t * t, b3 = t * t * t;
  return {b0 * c.P0.X + b1 * c.P1.X + b2 * c.P2.X + b3 * c.P3.X,
          b0 * c.P0.Y + b1 * c.P1.Y + b2 * c.P2.Y + b3 * c.P3.Y};
}

DVec derivativeAt(const TCubicBezier &c, double t) {
  const double mt = 1.0 - t;
  const double k0 = 3.0 * mt * mt, k1 = 6.0 * mt * t, k2 = 3.0 * t * t;
  return {k0 * (double(c.P1.X) - c.P0.X) + k1 * (double(c.P2.X) - c.P1.X) + k2 * (double(c.P3.X) - c.P2.X),
          k0 * (double(c.P1.Y) - c.P0.Y) + k1 * (double(c.P2.Y) - c.P1.Y) + k2 * (double(c.P3.Y) - c.P2.Y)};
}

// Length of a vector as the scaled hypotenuse in single precision: the larger magnitude
// times sqrt(1 + (smaller / larger)^2).
float scaledHypot(float x, float y) {
  float a = std::fabs(x), b = std::fabs(y);
  if (a < b) std::swap(a, b);
  if (a == 0.0f) return 0.0f;
  const float r = b / a;
  return a * std::sqrt(1.0f + r * r);
}

double distance(DVec a, DVec b) { return std::hypot(a.x - b.x, a.y - b.y); }

// The 10-point Gauss-Legendre rule on [-1, 1], nodes in ascending order.
constexpr double kGaussNodes[10] = {
    -0.9739065285171717, -0.8650633666889845, -0.6794095682990244, -0.4333953941292472, -0.1488743389816312,
    0.1488743389816312,  0.4333953941292472,  0.6794095682990244,  0.8650633666889845,  0.9739065285171717};
constexpr double kGaussWeights[10] = {
    0.0666713443086881, 0.1494513491505806, 0.2190863625159820, 0.2692667193099963, 0.2955242247147529,
    0.2955242247147529, 0.2692667193099963, 0.2190863625159820, 0.1494513491505806, 0.0666713443086881};

// Entries of the length table: times i/64 for i = 0..64.
constexpr int kLengthTableSteps = 64;
constexpr int kBisectionSteps = 31;

}  // namespace

TPointF bezierPointAt(const TCubicBezier &curve, double t) { return narrow(pointAt(curve, t)); }

double bezierArcLength(const TCubicBezier &curve, double t0, double t1) {
  const double h = (t1 - t0) / 2.0;
  const double m = (t1 + t0) / 2.0;
  double sum = 0.0;
  for (std::size_t k = 0; k < 10; ++k) {
    const DVec d = derivativeAt(curve, h * kGaussNodes[k] + m);
    sum += kGaussWeights[k] * scaledHypot(static_cast<float>(d.x), static_cast<float>(d.y));
  }
  return sum * h;
}

double bezierTotalLength(const TCubicBezier &curve) { return bezierArcLength(curve, 0.0, 1.0); }

TPointF bezierPointAtLength(const TCubicBezier &curve, double s, double &totalLength) {
  const double total = bezierTotalLength(curve);
  totalLength = total;
  if (total <= 0.0 || s <= 0.0) return curve.P0;
  if (s >= total) return curve.P3;

  double times[kLengthTableSteps + 1];
  double lengths[kLengthTableSteps + 1];
  times[0] = 0.0;
  lengths[0] = 0.0;
  for (int i = 1; i <= kLengthTableSteps; ++i) {
    times[i] = double(i) / kLengthTableSteps;
    lengths[i] = lengths[i - 1] + bezierArcLength(curve, times[i - 1], times[i]);
  }

  int k = kLengthTableSteps;
  for (int i = 1; i < kLengthTableSteps; ++i) {
    if (s <= lengths[i]) {
      k = i;
      break;
    }
  }

  double lo = times[k - 1], hi = times[k];
  for (int step = 0; step < kBisectionSteps; ++step) {
    const double mid = (lo + hi) / 2.0;
    if (s > lengths[k - 1] + bezierArcLength(curve, times[k - 1], mid))
      lo = mid;
    else
      hi = mid;
  }
  return bezierPointAt(curve, (lo + hi) / 2.0);
}

TPointF BezierPoint(const TCubicBezier &curve, float t) { return narrow(pointAt(curve, t)); }

TPointF BezierDerivative(const TCubicBezier &curve, float t) { return narrow(derivativeAt(curve, t)); }

TPointF BezierOffsetPoint(const TCubicBezier &curve, float t, float d) {
  const TPointF p = BezierPoint(curve, t);
  const TPointF dv = BezierDerivative(curve, t);
  const double n = std::hypot(double(dv.X), double(dv.Y));
  if (n < 1e-9) return p;
  return {static_cast<float>(p.X + double(d) * dv.Y / n), static_cast<float>(p.Y - double(d) * dv.X / n)};
}

TCubicBezier OffsetBezier(const TCubicBezier &curve, float d) {
  const DVec s0 = widen(BezierOffsetPoint(curve, 0.0f, d));
  const DVec s1 = widen(BezierOffsetPoint(curve, 1.0f / 3.0f, d));
  const DVec s2 = widen(BezierOffsetPoint(curve, 2.0f / 3.0f, d));
  const DVec s3 = widen(BezierOffsetPoint(curve, 1.0f, d));

  // The cubic through the four samples at those times.
  const DVec q0 = s0, q3 = s3;
  DVec q1{(-5.0 * s0.x + 18.0 * s1.x - 9.0 * s2.x + 2.0 * s3.x) / 6.0,
          (-5.0 * s0.y + 18.0 * s1.y - 9.0 * s2.y + 2.0 * s3.y) / 6.0};
  DVec q2{(2.0 * s0.x - 9.0 * s1.x + 18.0 * s2.x - 5.0 * s3.x) / 6.0,
          (2.0 * s0.y - 9.0 * s1.y + 18.0 * s2.y - 5.0 * s3.y) / 6.0};

  // Each handle keeps its length and takes the direction of the given curve's handle.
  const DVec p0 = widen(curve.P0), p1 = widen(curve.P1), p2 = widen(curve.P2), p3 = widen(curve.P3);
  const double startHandle = distance(q1, q0), startDir = distance(p1, p0);
  if (startHandle > 1e-9 && startDir > 1e-9) {
    q1 = {q0.x + (p1.x - p0.x) / startDir * startHandle, q0.y + (p1.y - p0.y) / startDir * startHandle};
  }
  const double endHandle = distance(q3, q2), endDir = distance(p3, p2);
  if (endHandle > 1e-9 && endDir > 1e-9) {
    q2 = {q3.x - (p3.x - p2.x) / endDir * endHandle, q3.y - (p3.y - p2.y) / endDir * endHandle};
  }
  return {narrow(q0), narrow(q1), narrow(q2), narrow(q3)};
}

void splitCubicAt(const TCubicBezier &c, float t, TCubicBezier &first, TCubicBezier &second) {
  const auto lerp = [t](TPointF a, TPointF b) { return a + (b - a) * t; };
  const TPointF a = lerp(c.P0, c.P1), b = lerp(c.P1, c.P2), d = lerp(c.P2, c.P3);
  const TPointF e = lerp(a, b), f = lerp(b, d);
  const TPointF m = lerp(e, f);
  first = {c.P0, a, e, m};
  second = {m, f, d, c.P3};
}

}  // namespace quillon
