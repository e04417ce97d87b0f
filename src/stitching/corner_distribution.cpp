#include "stitching/corner_distribution.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/number_text.h"
#include "stitching/chain_distribution.h"
#include "stitching/hole_placement.h"

namespace quillon {

namespace {

constexpr double kTiny = 1e-9;
constexpr double kDegToRad = std::numbers::pi / 180.0;

TPointF unitOrZero(double x, double y) {
  const double len = std::hypot(x, y);
  if (len <= kTiny) return {0.0f, 0.0f};
  return {float(x / len), float(y / len)};
}

TPointF unitFrom(TPointF a, TPointF b) { return unitOrZero(double(b.X) - a.X, double(b.Y) - a.Y); }

// The tangent of an ARC at the angle (degrees), in the sense of its sweep.
TPointF arcTangent(const TQN_Path &arc, double degrees) {
  const double a = degrees * kDegToRad;
  return arc.FSweepAngle >= 0.0f ? unitOrZero(-std::sin(a), std::cos(a)) : unitOrZero(std::sin(a), -std::cos(a));
}

double totalLength(const std::vector<TPathInterval> &segments) {
  double total = 0.0;
  for (const TPathInterval &s : segments) total += std::hypot(double(s.Ed.X) - s.St.X, double(s.Ed.Y) - s.St.Y);
  return total;
}

// Holes at the fractions i / n (i from `firstIndex`) of the segments' length; the end
// itself is never placed. The first hole takes `startDirection` when asked.
void placeHolesOnIntervals(TChainDistribution &run, const std::vector<TPathInterval> &segments, int n,
                           float spacing, TPointF startDirection, bool useStartDirection, int firstIndex) {
  const double total = totalLength(segments);
  if (total < kTiny) return;
  for (int i = firstIndex; i < n; ++i) {
    TPointF position, direction;
    pointAtLength(segments, total * i / n, position, direction);
    if (i == 0 && useStartDirection) direction = startDirection;
    placeChainHole(run, position, direction, spacing);
  }
}

void append(std::vector<TPathInterval> &to, const std::vector<TPathInterval> &from) {
  to.insert(to.end(), from.begin(), from.end());
}

}  // namespace

TPointF startTangent(const TQN_Path &shape) {
  if (shape.isKind(TShapeKind::Line)) return unitFrom(shape.FStartPt, shape.FEndPt);
  if (shape.isKind(TShapeKind::Bezier)) {
    for (const TPointF toward : {shape.FBezierCp1, shape.FBezierCp2, shape.FEndPt}) {
      const TPointF t = unitFrom(shape.FStartPt, toward);
      if (!t.isZero()) return t;
    }
    return {0.0f, 0.0f};
  }
  if (shape.isKind(TShapeKind::Arc)) return arcTangent(shape, shape.FStartAngle);
  return {0.0f, 0.0f};
}

TPointF endTangent(const TQN_Path &shape) {
  if (shape.isKind(TShapeKind::Line)) return unitFrom(shape.FStartPt, shape.FEndPt);
  if (shape.isKind(TShapeKind::Bezier)) {
    for (const TPointF from : {shape.FBezierCp2, shape.FBezierCp1, shape.FStartPt}) {
      const TPointF t = unitFrom(from, shape.FEndPt);
      if (!t.isZero()) return t;
    }
    return {0.0f, 0.0f};
  }
  if (shape.isKind(TShapeKind::Arc)) return arcTangent(shape, double(shape.FStartAngle) + shape.FSweepAngle);
  return {0.0f, 0.0f};
}

float junctionAngle(const TQN_Path &a, const TQN_Path &b) {
  const TPointF e = endTangent(a), s = startTangent(b);
  if (e.isZero() || s.isZero()) return 180.0f;
  const double c = std::clamp(-(double(e.X) * s.X + double(e.Y) * s.Y), -1.0, 1.0);
  return float(std::acos(c) / kDegToRad);
}

std::vector<TPathInterval> halfOutlineIntervals(const TQN_Path &shape, bool second) {
  const std::vector<TPathInterval> segments = outlineIntervals(shape);
  const double half = totalLength(segments) / 2.0;
  if (half * 2.0 < kTiny) return {};
  // The split: the first segment that reaches half the length, else the end of the last.
  std::size_t at = segments.size() - 1;
  TPointF split = segments.back().Ed;
  double walked = 0.0;
  for (std::size_t i = 0; i < segments.size(); ++i) {
    const TPathInterval &s = segments[i];
    const double len = std::hypot(double(s.Ed.X) - s.St.X, double(s.Ed.Y) - s.St.Y);
    if (walked + len >= half - kTiny) {
      const double f = len <= kTiny ? 0.0 : std::clamp((half - walked) / len, 0.0, 1.0);
      at = i;
      split = {float(s.St.X + f * (double(s.Ed.X) - s.St.X)), float(s.St.Y + f * (double(s.Ed.Y) - s.St.Y))};
      break;
    }
    walked += len;
  }
  std::vector<TPathInterval> piece;
  const auto longEnough = [](TPointF a, TPointF b) { return std::hypot(double(b.X) - a.X, double(b.Y) - a.Y) > kTiny; };
  if (second) {
    if (longEnough(split, segments[at].Ed)) piece.push_back({split, segments[at].Ed});
    piece.insert(piece.end(), segments.begin() + std::ptrdiff_t(at) + 1, segments.end());
  } else {
    piece.assign(segments.begin(), segments.begin() + std::ptrdiff_t(at));
    if (longEnough(segments[at].St, split)) piece.push_back({segments[at].St, split});
  }
  return piece;
}

void distributeHolesSmartCorner(THolePlacer &placer, const std::vector<TQN_Path *> &chain, bool closed, float pitch,
                                float threshold, int &count) {
  count = 0;
  const std::size_t n = chain.size();
  if (n == 0 || !placer.Ready()) return;
  TChainDistribution run(placer);

  // Single-hole arcs and corners.
  std::vector<bool> single(n, false), corner(n, false);
  for (std::size_t i = 0; i < n; ++i) {
    const TQN_Path &s = *chain[i];
    const float length = shapeOutlineLength(s);
    if (s.isKind(TShapeKind::Arc) && length > kTiny)
      single[i] = intervalCount(length, pitch, true) == 2 && (closed || (i != 0 && i != n - 1));
    if (i > 0)
      corner[i] = junctionAngle(*chain[i - 1], s) < threshold;
    else
      corner[i] = !closed || junctionAngle(*chain[n - 1], s) < threshold;
  }

  std::size_t start = 0;
  if (closed) {
    const auto first = std::find(corner.begin(), corner.end(), true);
    if (first != corner.end()) start = std::size_t(first - corner.begin());
  }
  const TQN_Path *previous = nullptr;
  const TQN_Path *pendingArc = nullptr;
  if (closed && single[(start + n - 1) % n]) pendingArc = chain[(start + n - 1) % n];

  std::vector<TPathInterval> runSegments;
  std::size_t processed = 0, cursor = start;
  while (processed < n) {
    const std::size_t at = cursor % n;
    if (single[at]) {
      const TQN_Path &arc = *chain[at];
      placeHolesOnIntervals(run, outlineIntervals(arc), 2, shapeOutlineLength(arc) / 2.0f, {}, false, 1);
      pendingArc = &arc;
      previous = &arc;
      ++processed;
      ++cursor;
      continue;
    }
    // A run: shapes up to the next corner or single-hole arc.
    runSegments.clear();
    const TQN_Path *runFirst = chain[at];
    do {
      append(runSegments, outlineIntervals(*chain[cursor % n]));
      ++processed;
      ++cursor;
    } while (processed < n && !corner[cursor % n] && !single[cursor % n]);
    const TQN_Path *runLast = chain[(cursor + n - 1) % n];
    const double runLength = totalLength(runSegments);
    if (runLength < kTiny) {
      previous = runLast;
      pendingArc = nullptr;
      continue;
    }

    const std::size_t after = cursor % n;
    const bool closingArc = single[after] && (processed < n || (closed && after == start));
    std::vector<TPathInterval> work;
    if (pendingArc) work = halfOutlineIntervals(*pendingArc, true);
    append(work, runSegments);
    if (closingArc) append(work, halfOutlineIntervals(*chain[after], false));
    double w = totalLength(work);
    if (w < kTiny) w = runLength;
    const int k = std::max(1, int(roundHalfEven(w / pitch)));

    int firstIndex = 0;
    TPointF startDirection;
    bool useStartDirection = false;
    if (pendingArc) {
      firstIndex = 1;  // the arc's middle hole opens the run
    } else {
      // The first run of a closed chain starts at a junction too: with the chain's last shape.
      const TQN_Path *before = previous ? previous : (closed && n > 1 ? chain[(start + n - 1) % n] : nullptr);
      if (before) {
        startDirection = bisectorDirection(endTangent(*before), startTangent(*runFirst));
        useStartDirection = true;
      }
    }
    placeHolesOnIntervals(run, work, k, float(w / k), startDirection, useStartDirection, firstIndex);
    previous = runLast;
    pendingArc = nullptr;
  }

  if (!closed) {
    // The end hole, along the last segment of the last run.
    const TPathInterval last = runSegments.empty() ? TPathInterval{chain.back()->FEndPt, chain.back()->FEndPt}
                                                   : runSegments.back();
    const double dx = double(last.Ed.X) - last.St.X, dy = double(last.Ed.Y) - last.St.Y;
    const double len = std::hypot(dx, dy);
    const TPointF direction = len < kTiny ? TPointF(1.0f, 0.0f) : TPointF(float(dx / len), float(dy / len));
    placeChainHole(run, last.Ed, direction, pitch);
  }
  closeChainLinks(run, closed);
  count = run.Count;
}

}  // namespace quillon
