// Where a shape lies relative to a point, a rectangle or another shape: on its outline,
// inside a selection or the visible area, touching another boundary, duplicating
// another shape; and the nearest point of a Bezier curve.
#include <algorithm>
#include <cmath>

#include "model/point_helpers.h"
#include "model/shape.h"

namespace quillon {

namespace {

bool insideRect(TPointF p, float left, float top, float right, float bottom) {
  return p.X >= left && p.X <= right && p.Y >= top && p.Y <= bottom;
}

// The rectangle spanned by two points, normalised.
TRectF spanned(TPointF a, TPointF b) {
  return {std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y)};
}

}  // namespace

bool calcPerpendicularFoot(TPointF p, const TQN_Path &line, TPointF &direction, float &distance, TPointF &foot) {
  const TPointF st = line.FStartPt, ep = line.FEndPt;
  const TPointF n = calcPerpendicular(calcUnitVector(st, ep), false);
  distance = calcTriangleHeight(calcDistance(p, st), calcDistance(p, ep), calcDistance(st, ep));
  const double d = distance;
  const TPointF c1{static_cast<float>(p.X + n.X * d), static_cast<float>(p.Y + n.Y * d)};
  const TPointF c2{static_cast<float>(p.X - n.X * d), static_cast<float>(p.Y - n.Y * d)};
  // The true foot is the candidate nearer to the start of the line.
  if (calcDistance(st, c2) > calcDistance(st, c1)) {
    foot = c1;
    direction = n;
  } else {
    foot = c2;
    direction = -n;
  }
  int segment = 0;
  return line.isOnPath(foot, segment, 0.1f);
}

bool TQN_Path::isOnPath(TPointF rp, int &intervalIdx, float Threshold) const {
  const std::vector<TRectF> segments = getIntervals(false);
  float best = 2147483648.0f;
  int found = -1;
  for (std::size_t i = 0; i < segments.size(); ++i) {
    const TPointF st = segments[i].topLeft(), ed = segments[i].bottomRight();
    if (st.exactlyEquals(ed)) continue;
    float cross = 0.0f;
    if (isPointOnSegment(st, ed, rp, cross, Threshold) && cross < best) {
      best = cross;
      found = static_cast<int>(i);
    }
  }
  if (found < 0) return false;
  intervalIdx = found;
  return true;
}

bool TQN_Path::inRange(TPointF rsp, TPointF rep, bool AllowPartial) {
  const TRectF r = spanned(rsp, rep);
  const TRectF b = getBoundary(false);
  if (!AllowPartial) {
    return insideRect({b.Left, b.Top}, r.Left, r.Top, r.Right, r.Bottom) &&
           insideRect({b.Right, b.Bottom}, r.Left, r.Top, r.Right, r.Bottom);
  }
  if (isKind(TShapeKind::Hole)) {
    const TPointF corners[] = {{b.Left, b.Top}, {b.Right, b.Bottom}, {b.Left, b.Bottom}, {b.Right, b.Top}};
    for (const TPointF &c : corners)
      if (insideRect(c, r.Left, r.Top, r.Right, r.Bottom)) return true;
    return false;
  }
  const bool apartInX = b.Left > r.Right || r.Left > b.Right;
  const bool apartInY = b.Top > r.Bottom || r.Top > b.Bottom;
  return !(apartInX && apartInY);
}

bool TQN_Path::isAPointInsideShape(TPointF pt) {
  const TRectF b = getBoundary(false);
  return insideRect(pt, b.Left, b.Top, b.Right, b.Bottom);
}

bool TQN_Path::isInRect(TPointF rp) const {
  const TRectF r = spanned(FStartPt, FEndPt);
  return insideRect(rp, r.Left, r.Top, r.Right, r.Bottom);
}

bool TQN_Path::doesItIntersectWith(TQN_Path &tp) {
  constexpr double kGap = 0.01;
  const TRectF a = getBoundary(false);
  const TRectF b = tp.getBoundary(false);
  if (double(b.Left) - a.Right > kGap) return false;
  if (double(a.Left) - b.Right > kGap) return false;
  if (double(b.Top) - a.Bottom > kGap) return false;
  if (double(a.Top) - b.Bottom > kGap) return false;
  return true;
}

bool TQN_Path::isIdentical(TQN_Path &p) {
  if (FShapeType != p.FShapeType || FUnknownKindName != p.FUnknownKindName) return false;
  const auto endsMatch = [&] {
    return (isSamePoint(FStartPt, p.FStartPt, 0.0f) && isSamePoint(FEndPt, p.FEndPt, 0.0f)) ||
           (isSamePoint(FStartPt, p.FEndPt, 0.0f) && isSamePoint(FEndPt, p.FStartPt, 0.0f));
  };
  if (isKind(TShapeKind::Line)) return endsMatch();
  if (isKind(TShapeKind::Dot)) return FCenter == p.GetCenter();
  if (isKind(TShapeKind::Ellipse))
    return FCenter == p.GetCenter() && FWidth == p.FWidth && FHeight == p.FHeight && FRotation == p.FRotation;
  if (isKind(TShapeKind::Hole)) return FStartPt == p.FStartPt;
  if (isKind(TShapeKind::Arc)) {
    // Radii are 32-bit values, so "within 1e-12" means equal.
    return endsMatch() && isSamePoint(FCenter, p.GetCenter(), 0.0f) && FWidth == p.FWidth && FHeight == p.FHeight;
  }
  if (isKind(TShapeKind::Bezier))
    return endsMatch() && FBezierCp1 == p.FBezierCp1 && FBezierCp2 == p.FBezierCp2;
  if (isKind(TShapeKind::Text) || isKind(TShapeKind::Other)) return FData.toText() == p.FData.toText();
  return false;
}

float TQN_Path::findNearestBezierT(TPointF pt, TPointF &ActualPt) const {
  const double x0 = FStartPt.X, x1 = FBezierCp1.X, x2 = FBezierCp2.X, x3 = FEndPt.X;
  const double y0 = FStartPt.Y, y1 = FBezierCp1.Y, y2 = FBezierCp2.Y, y3 = FEndPt.Y;
  const double px = pt.X, py = pt.Y;
  constexpr int kSamples = 10000;

  double bestT = 0.0, bestX = x0, bestY = y0;
  double bestDist = (x0 - px) * (x0 - px) + (y0 - py) * (y0 - py);
  for (int i = 1; i <= kSamples; ++i) {
    const double t = static_cast<double>(i) / kSamples;
    const double mt = 1.0 - t;
    const double b0 = mt * mt * mt, b1 = 3.0 * mt * mt * t, b2 = 3.0 * mt * t * t, b3 = t * t * t;
    const double x = b0 * x0 + b1 * x1 + b2 * x2 + b3 * x3;
    const double y = b0 * y0 + b1 * y1 + b2 * y2 + b3 * y3;
    const double dist = (x - px) * (x - px) + (y - py) * (y - py);
    if (dist < bestDist) {
      bestDist = dist;
      bestT = t;
      bestX = x;
      bestY = y;
    }
  }
  ActualPt = {static_cast<float>(bestX), static_cast<float>(bestY)};
  return static_cast<float>(bestT);
}

}  // namespace quillon
