#pragma once
// Numerics of cubic Bezier curves: arc length by Gauss-Legendre quadrature and the point
// at a given length along a curve, and points and whole cubics offset along the normal.
// All are pure functions of their arguments.
#include "platform/geometry.h"

namespace quillon {

// The four points of a cubic Bezier: P0 start, P1 and P2 the control points, P3 end.
struct TCubicBezier {
  TPointF P0;
  TPointF P1;
  TPointF P2;
  TPointF P3;
};

// Arc length. The arithmetic is done in doubles; points come back as floats.
TPointF bezierPointAt(const TCubicBezier &curve, double t);
// Length of the curve between the times t0 and t1 (10-point Gauss-Legendre).
double bezierArcLength(const TCubicBezier &curve, double t0, double t1);
double bezierTotalLength(const TCubicBezier &curve);
// The point at arc length s from P0 (P0 for s <= 0, P3 for s >= the total length);
// the total length goes to `totalLength`.
TPointF bezierPointAtLength(const TCubicBezier &curve, double s, double &totalLength);

// Offsets. Times and distances are floats.
TPointF BezierPoint(const TCubicBezier &curve, float t);
TPointF BezierDerivative(const TCubicBezier &curve, float t);
// B(t) moved by d along the normal (D.y, -D.x)/|D| of the derivative D; with y down a
// positive d lies left of the direction of travel on screen. B(t) itself where the
// derivative vanishes.
TPointF BezierOffsetPoint(const TCubicBezier &curve, float t, float d);
// A cubic approximating the curve offset by d: through the offset points at 0, 1/3, 2/3
// and 1, its handles turned to the directions of the given curve's handles.
TCubicBezier OffsetBezier(const TCubicBezier &curve, float d);

// The curve divided at time t (de Casteljau): `first` runs from P0 to B(t), `second` from
// B(t) to P3; both together trace the curve.
void splitCubicAt(const TCubicBezier &curve, float t, TCubicBezier &first, TCubicBezier &second);

}  // namespace quillon
