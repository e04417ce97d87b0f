// Measures of a shape's outline: boundary, centre, characteristic points, segments and
// lengths, and the crossing of two lines.
#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#include "model/bezier.h"
#include "model/point_helpers.h"
#include "model/shape.h"

namespace quillon {

namespace {

// a + (b - a) * k, worked in doubles.
TPointF between(TPointF a, TPointF b, double k) {
  return {static_cast<float>(a.X + (double(b.X) - a.X) * k), static_cast<float>(a.Y + (double(b.Y) - a.Y) * k)};
}

// c + v * k, worked in doubles.
TPointF offsetBy(TPointF c, TPointF v, double k) {
  return {static_cast<float>(c.X + v.X * k), static_cast<float>(c.Y + v.Y * k)};
}

float segmentLength(const TRectF &segment) { return calcDistance(segment.topLeft(), segment.bottomRight()); }

// The straight segments of a path: a move sets the current point, each line adds the
// segment from the current point to its point; curves and closes add nothing.
template <typename Add>
void walkLineSegments(const TPathData &path, Add add) {
  TPointF current;
  for (const TPathPoint &e : path.Points()) {
    switch (e.Kind) {
      case TPathPointKind::MoveTo: current = e.Point; break;
      case TPathPointKind::LineTo:
        add(current, e.Point);
        current = e.Point;
        break;
      case TPathPointKind::CurveTo:
      case TPathPointKind::Close: break;
    }
  }
}

}  // namespace

TRectF TQN_Path::getBoundary(bool SetStartEndCenter) {
  if (FIsBoundaryCalculated) return FBoundaryCache;

  const std::vector<TPointF> pts = getControlPoints(false, true, false);
  if (pts.empty()) return TRectF(FStartPt, FEndPt);

  float minX = pts.front().X, minY = pts.front().Y, maxX = minX, maxY = minY;
  double sumX = 0.0, sumY = 0.0;
  for (const TPointF &p : pts) {
    minX = std::min(minX, p.X);
    minY = std::min(minY, p.Y);
    maxX = std::max(maxX, p.X);
    maxY = std::max(maxY, p.Y);
    sumX += p.X;
    sumY += p.Y;
  }
  FBoundaryCache = TRectF(minX, minY, maxX, maxY);
  FIsBoundaryCalculated = true;
  if (SetStartEndCenter) {
    FStartPt = {minX, minY};
    FEndPt = {maxX, maxY};
    const double n = static_cast<double>(pts.size());
    FCenter = {static_cast<float>(sumX / n), static_cast<float>(sumY / n)};
  }
  return FBoundaryCache;
}

TPointF TQN_Path::GetCenter() {
  if (isKind(TShapeKind::Line))
    FCenter = between(FStartPt, FEndPt, 0.5);
  else if (isKind(TShapeKind::Bezier))
    FCenter = getBoundary(false).centerPoint();
  else if (isKind(TShapeKind::Other))
    getBoundary(true);
  return FCenter;
}

TPointF TQN_Path::calcCenter() {
  const TPointF c = getBoundary(false).centerPoint();
  FData.Translate(-c.X, -c.Y);
  return {0.0f, 0.0f};
}

std::vector<TPointF> TQN_Path::getControlPoints(bool IncludeCenterForArc, bool forceEachPathPoints,
                                                bool DoBezierQuaters) {
  std::vector<TPointF> result;

  if (forceEachPathPoints) {
    // Every outline point, control points included, with the run starts repeated. A curve
    // entry appends the point before it, so the end of a curve that a line follows is
    // appended by that line; otherwise a boundary could miss that point.
    TPointF current;
    bool pending = true;  // a subpath has begun and nothing of it is appended yet
    bool afterCurve = false;
    for (const TPathPoint &e : FData.Points()) {
      switch (e.Kind) {
        case TPathPointKind::MoveTo:
          if (!pending) result.push_back(current);
          pending = true;
          current = e.Point;
          break;
        case TPathPointKind::LineTo:
          if (pending || afterCurve) result.push_back(current);
          result.push_back(e.Point);
          pending = false;
          current = e.Point;
          break;
        case TPathPointKind::CurveTo:
          if (pending) result.push_back(current);
          result.push_back(current);
          pending = false;
          current = e.Point;
          break;
        case TPathPointKind::Close: break;
      }
      afterCurve = e.Kind == TPathPointKind::CurveTo;
    }
    if (!result.empty() && result.back() != current) result.push_back(current);
    return result;
  }

  const TPointF c = FCenter;
  if (isKind(TShapeKind::Ellipse)) {
    const double halfW = FWidth / 2.0, halfH = FHeight / 2.0;
    if (std::fabs(double(FWidth) - FHeight) <= 0.001) {
      const double d = halfW / std::sqrt(2.0);
      result = {offsetBy(c, {0, -1}, halfH), offsetBy(c, {1, -1}, d), offsetBy(c, {1, 0}, halfW),
                offsetBy(c, {1, 1}, d),      offsetBy(c, {0, 1}, halfH), offsetBy(c, {-1, 1}, d),
                offsetBy(c, {-1, 0}, halfW), offsetBy(c, {-1, -1}, d), c};
    } else {
      result = {c, offsetBy(c, {0, 1}, halfH), offsetBy(c, {0, -1}, halfH), offsetBy(c, {1, 0}, halfW),
                offsetBy(c, {-1, 0}, halfW)};
    }
  } else if (isKind(TShapeKind::Dot) || isKind(TShapeKind::Hole)) {
    result = {c};
  } else if (isKind(TShapeKind::Arc)) {
    const TPointF u = calcUnitVector(c, FStartPt);
    result.push_back(FStartPt);
    for (int q = 1; q <= 3; ++q)
      result.push_back(offsetBy(c, rotateVector(u, FSweepAngle * static_cast<float>(q) / 4.0f), FWidth));
    result.push_back(FEndPt);
    if (IncludeCenterForArc) result.push_back(c);
  } else if (isKind(TShapeKind::Bezier)) {
    if (!DoBezierQuaters) return {FStartPt, FEndPt};
    if (!FControlPointsCache.empty()) return FControlPointsCache;
    const TCubicBezier curve{FStartPt, FBezierCp1, FBezierCp2, FEndPt};
    const double total = bezierTotalLength(curve);
    double ignored = 0.0;
    result = {FStartPt, FEndPt, bezierPointAtLength(curve, total * 0.25, ignored),
              bezierPointAtLength(curve, total * 0.5, ignored), bezierPointAtLength(curve, total * 0.75, ignored)};
    FControlPointsCache = result;
  } else if (isKind(TShapeKind::Line)) {
    result = {FStartPt, between(FStartPt, FEndPt, 0.25), between(FStartPt, FEndPt, 0.5),
              between(FStartPt, FEndPt, 0.75), FEndPt};
  } else {
    const TRectF b = getBoundary(false);
    result = {{b.Left, b.Top}, {b.Right, b.Top}, {b.Right, b.Bottom}, {b.Left, b.Bottom}};
  }
  return result;
}

void TQN_Path::getFirstTwoPoints(TPointF &pt1, TPointF &pt2) const {
  pt1 = {0.0f, 0.0f};
  pt2 = {0.0f, 0.0f};
  // A move (re)sets the first point, so a leading lone move (an ellipse's move to its
  // centre) does not count as the direction the path starts in.
  bool moved = false;
  for (const TPathPoint &e : FData.Points()) {
    if (e.Kind == TPathPointKind::MoveTo) {
      pt1 = e.Point;
      moved = true;
    } else if (moved && e.Point != pt1) {
      pt2 = e.Point;
      return;
    }
  }
}

void TQN_Path::getLastTwoPoints(TPointF &pt1, TPointF &pt2) const {
  pt1 = {0.0f, 0.0f};
  pt2 = {0.0f, 0.0f};
  const auto &pts = FData.Points();
  if (pts.empty()) return;
  pt2 = pts.back().Point;
  for (std::size_t i = pts.size() - 1; i-- > 0;) {
    if (pts[i].Point != pt2) {
      pt1 = pts[i].Point;
      return;
    }
  }
}

std::vector<TRectF> TQN_Path::getIntervals(bool DoReverse) const {
  TPathData flat = FData;
  flat.Flatten(0.25f);
  std::vector<TRectF> result;
  walkLineSegments(flat, [&](TPointF st, TPointF ed) { result.emplace_back(st, ed); });
  if (DoReverse) {
    std::reverse(result.begin(), result.end());
    for (TRectF &r : result) r = TRectF(r.bottomRight(), r.topLeft());
  }
  return result;
}

std::vector<TPathInterval> TQN_Path::getIntervalsFast(bool DoReverse) const {
  std::vector<TPathInterval> result;
  walkLineSegments(FData, [&](TPointF st, TPointF ed) { result.push_back({st, ed}); });
  if (DoReverse) {
    std::reverse(result.begin(), result.end());
    for (TPathInterval &r : result) std::swap(r.St, r.Ed);
  }
  return result;
}

TRectF TQN_Path::getMinMaxRect() const {
  bool any = false;
  TRectF r;
  for (const TPathPoint &e : FData.Points()) {
    if (e.Kind == TPathPointKind::Close) continue;
    if (!any) {
      r = TRectF(e.Point.X, e.Point.Y, e.Point.X, e.Point.Y);
      any = true;
      continue;
    }
    r.Left = std::min(r.Left, e.Point.X);
    r.Top = std::min(r.Top, e.Point.Y);
    r.Right = std::max(r.Right, e.Point.X);
    r.Bottom = std::max(r.Bottom, e.Point.Y);
  }
  return r;
}

float TQN_Path::calcTotalLength() const {
  double sum = 0.0;
  for (const TRectF &s : getIntervals(false)) sum += segmentLength(s);
  return static_cast<float>(sum);
}

float TQN_Path::calcLengthBetween(int fromIndex, int toIndex, int direction) const {
  const bool againstOrder = (fromIndex < toIndex && direction < 0) || (toIndex < fromIndex && direction > 0);
  if (againstOrder && !isKind(TShapeKind::Ellipse)) return std::numeric_limits<float>::quiet_NaN();

  const std::vector<TRectF> segments = getIntervals(false);
  const int count = static_cast<int>(segments.size());
  const int step = direction > 0 ? 1 : -1;
  double sum = 0.0;
  // Adds segments from `i` on in the walking direction up to `toIndex` or the end of the
  // list; true when `toIndex` was reached.
  const auto walk = [&](int i) {
    for (; i >= 0 && i < count; i += step) {
      sum += segmentLength(segments[static_cast<std::size_t>(i)]);
      if (i == toIndex) return true;
    }
    return false;
  };
  if (!walk(fromIndex)) walk(step < 0 ? count - 1 : 0);
  return static_cast<float>(sum);
}

float TQN_Path::calcLengthFromAnIndex(int fromIndex, int direction) const {
  TPathData flat = FData;
  flat.Flatten(0.25f);
  const int count = flat.Count();
  if (fromIndex < 0 || fromIndex >= count)
    throw std::out_of_range("outline entry index " + std::to_string(fromIndex) + " out of range");
  const int step = direction > 0 ? 1 : -1;
  double sum = 0.0;
  for (int i = fromIndex; i + step >= 0 && i + step < count; i += step)
    sum += calcDistance(flat[i].Point, flat[i + step].Point);
  return static_cast<float>(sum);
}

float TQN_Path::calcLengthFromAPoint(TPointF fromPt, int direction) const {
  int k = 0;
  if (!isOnPath(fromPt, k, 0.1f)) return 0.0f;
  const std::vector<TRectF> segments = getIntervals(false);
  const int count = static_cast<int>(segments.size());
  double sum = 0.0;
  if (direction > 0) {
    sum = calcDistance(fromPt, segments[static_cast<std::size_t>(k)].bottomRight());
    for (int i = k + 1; i < count; ++i) sum += segmentLength(segments[static_cast<std::size_t>(i)]);
  } else {
    sum = calcDistance(fromPt, segments[static_cast<std::size_t>(k)].topLeft());
    for (int i = k - 1; i >= 0; --i) sum += segmentLength(segments[static_cast<std::size_t>(i)]);
  }
  return static_cast<float>(sum);
}

bool TQN_Path::calcCrossPointWith(const TQN_Path &line2, float &x, float &y) const {
  if ((FIsHorizontalLine && line2.FIsHorizontalLine) || (FIsVerticalLine && line2.FIsVerticalLine)) return false;
  const double a1 = FLine_param_a, b1 = FLine_param_b;
  const double a2 = line2.FLine_param_a, b2 = line2.FLine_param_b;
  if (round2(line2.FLine_param_a - FLine_param_a) == 0.0f) return false;

  double cx = 0.0, cy = 0.0;
  if (line2.FIsHorizontalLine) {
    cy = b2;
    cx = FIsVerticalLine ? double(FStartPt.X) : (cy - b1) / a1;
  } else if (line2.FIsVerticalLine) {
    cx = line2.FStartPt.X;
    cy = a1 * cx + b1;
  } else if (FIsHorizontalLine) {
    cy = b1;
    cx = (cy - b2) / a2;
  } else if (FIsVerticalLine) {
    cx = FStartPt.X;
    cy = a2 * cx + b2;
  } else {
    cx = (b2 - b1) / (a1 - a2);
    cy = a1 * cx + b1;
  }
  x = static_cast<float>(cx);
  y = static_cast<float>(cy);
  return true;
}

bool TQN_Path::calcCrossPointWith(const TQN_Path &line2, TPointF &pt) const {
  float x = pt.X, y = pt.Y;
  const bool crossed = calcCrossPointWith(line2, x, y);
  if (crossed) pt = {x, y};
  return crossed;
}

}  // namespace quillon
