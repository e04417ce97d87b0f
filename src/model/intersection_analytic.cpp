// The analytic intersection finder: where two shapes meet, worked out from their
// parameters. Lines are segments, circles and circular arcs are exact circles, Beziers
// are the straight pieces of their cached outline. All arithmetic is in doubles on the
// shapes' single-precision values; record points are stored in single precision.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

#include "model/intersection_finders.h"
#include "model/segment_runs.h"
#include "model/shape.h"

namespace quillon {

namespace {

constexpr double kPointTol = 0.008;      // near test, merging, shared ends, parameter slack
constexpr double kSnapDistance = 0.05;   // moving a point onto the midpoint of touching ends
constexpr double kBoxMargin = 0.1;       // box prefilters
constexpr double kTiny = 1e-12;          // degenerate vectors, radii, squared lengths
constexpr double kOnCircleRel = 5e-4;    // |d^2 - r^2| <= 5e-4 * max(1, r^2)
constexpr double kCircleSlack = 0.005;   // circle-circle reach and tangency
constexpr double kAngleSlack = 1e-6;     // degrees, arc sweep bounds
constexpr double kFullCircle = 359.999999;
constexpr double kCrossingLimit = 0.001;  // normalised cross product of two directions
constexpr int kBezierSteps = 250;         // samples t = i / 250 for the tangent of a Bezier
// Width and height of an ELLIPSE or ARC further apart than this: not a circle.
constexpr double kCircularity = 0.01;

struct DPoint {
  double x = 0.0;
  double y = 0.0;
};

DPoint widen(TPointF p) { return {p.X, p.Y}; }
TPointF narrow(DPoint p) { return {static_cast<float>(p.x), static_cast<float>(p.y)}; }
DPoint operator-(DPoint a, DPoint b) { return {a.x - b.x, a.y - b.y}; }
DPoint operator+(DPoint a, DPoint b) { return {a.x + b.x, a.y + b.y}; }
DPoint operator*(DPoint a, double k) { return {a.x * k, a.y * k}; }
double dot(DPoint a, DPoint b) { return a.x * b.x + a.y * b.y; }
double cross(DPoint a, DPoint b) { return a.x * b.y - a.y * b.x; }
double lengthOf(DPoint v) { return std::hypot(v.x, v.y); }

// A square test, not a circle: each coordinate within the point tolerance.
bool near(DPoint p, DPoint q) { return std::fabs(p.x - q.x) <= kPointTol && std::fabs(p.y - q.y) <= kPointTol; }

DPoint unit(DPoint v) {
  const double len = lengthOf(v);
  if (len <= kTiny) return {0.0, 0.0};
  return {v.x / len, v.y / len};
}

enum class Kind { Line, Ellipse, Arc, Bezier, Other };

Kind kindOf(const TQN_Path &s) {
  if (s.isKind(TShapeKind::Line)) return Kind::Line;
  if (s.isKind(TShapeKind::Ellipse)) return Kind::Ellipse;
  if (s.isKind(TShapeKind::Arc)) return Kind::Arc;
  if (s.isKind(TShapeKind::Bezier)) return Kind::Bezier;
  return Kind::Other;
}

struct Circle {
  DPoint c;
  double r = 0.0;
};

// The circle the finder uses for an ELLIPSE (diameter Width) or an ARC (radius Width).
Circle circleOf(const TQN_Path &s) {
  switch (kindOf(s)) {
    case Kind::Ellipse: return {widen(s.FCenter), double(s.FWidth) / 2.0};
    case Kind::Arc: return {widen(s.FCenter), double(s.FWidth)};
    default: return {widen(s.FCenter), 0.0};
  }
}

// An ELLIPSE or ARC whose width and height differ is not the circle above; pairs with
// such a shape are left to the outline finder, which follows the drawn outline.
bool isNonCircular(const TQN_Path &s) {
  const Kind k = kindOf(s);
  if (k != Kind::Ellipse && k != Kind::Arc) return false;
  return std::fabs(double(s.FWidth) - double(s.FHeight)) > kCircularity;
}

bool boxesOverlap(const TRectF &r1, const TRectF &r2, double m) {
  return double(r2.Right) + m >= r1.Left && double(r1.Right) >= double(r2.Left) - m &&
         double(r2.Bottom) + m >= r1.Top && double(r1.Bottom) >= double(r2.Top) - m;
}

TRectF sortedBox(TPointF p, TPointF q) {
  return TRectF(std::min(p.X, q.X), std::min(p.Y, q.Y), std::max(p.X, q.X), std::max(p.Y, q.Y));
}

// The candidate points of one geometric step; a point near an earlier one is dropped.
class Candidates {
 public:
  void add(DPoint p) {
    for (const DPoint &q : points_)
      if (near(p, q)) return;
    points_.push_back(p);
  }
  const std::vector<DPoint> &points() const { return points_; }

 private:
  std::vector<DPoint> points_;
};

// Segment p0-p1 against segment q0-q1: at most one point. Parallel segments report only
// a touching end.
void segmentSegment(DPoint p0, DPoint p1, DPoint q0, DPoint q1, Candidates &out) {
  const DPoint d1 = p1 - p0, d2 = q1 - q0, w = q0 - p0;
  const double den = cross(d1, d2);
  if (std::fabs(den) <= kTiny) {
    if (near(p0, q0) || near(p0, q1))
      out.add(p0);
    else if (near(p1, q0) || near(p1, q1))
      out.add(p1);
    return;
  }
  const double t = cross(w, d2) / den;
  const double u = cross(w, d1) / den;
  const double len1 = lengthOf(d1), len2 = lengthOf(d2);
  const double slack1 = len1 <= kTiny ? 0.0 : kPointTol / len1;
  const double slack2 = len2 <= kTiny ? 0.0 : kPointTol / len2;
  if (t >= -slack1 && t <= 1.0 + slack1 && u >= -slack2 && u <= 1.0 + slack2) out.add(p0 + d1 * t);
}

// Segment p0-p1 against a circle: at most two points, in the order of the segment.
void segmentCircle(DPoint p0, DPoint p1, const Circle &circle, Candidates &out) {
  const double r = circle.r;
  if (r <= kTiny) return;
  const DPoint d = p1 - p0;
  const double e = dot(d, d);
  const double a = r * r;
  const double tol = kOnCircleRel * std::max(1.0, a);
  if (e <= kTiny) {
    const DPoint v = p0 - circle.c;
    if (std::fabs(dot(v, v) - a) <= tol) out.add(p0);
    return;
  }
  const double s0 = dot(circle.c - p0, d) / e;
  const DPoint foot = p0 + d * s0;
  const DPoint cf = circle.c - foot;
  const double h = dot(cf, cf);
  if (h > a + tol) return;
  // The window is in parameter units.
  const auto inWindow = [](double s) { return s >= -kPointTol && s <= 1.0 + kPointTol; };
  if (std::fabs(h - a) <= tol) {
    if (inWindow(s0)) out.add(foot);
    return;
  }
  const double k = std::sqrt(std::max(0.0, a - h)) / std::sqrt(e);
  for (const double s : {s0 - k, s0 + k})
    if (inWindow(s)) out.add(p0 + d * s);
}

// Circle against circle: at most two points; concentric circles meet nowhere.
void circleCircle(const Circle &c1, const Circle &c2, Candidates &out) {
  const double r1 = c1.r, r2 = c2.r;
  if (r1 <= kTiny || r2 <= kTiny) return;
  const double dx = c2.c.x - c1.c.x, dy = c2.c.y - c1.c.y;
  const double dd = dx * dx + dy * dy;
  if (dd <= kTiny) return;
  const double d = std::sqrt(dd);
  if (d > r1 + r2 + kCircleSlack || d < std::fabs(r1 - r2) - kCircleSlack) return;
  const double m = (r1 * r1 - r2 * r2 + dd) / (2.0 * d);
  double h2 = r1 * r1 - m * m;
  if (h2 < 0.0) {
    if (h2 > -kCircleSlack)
      h2 = 0.0;
    else
      return;
  }
  const double h = std::sqrt(h2);
  const DPoint mid{c1.c.x + m * dx / d, c1.c.y + m * dy / d};
  out.add({mid.x - h * dy / d, mid.y + h * dx / d});
  out.add({mid.x + h * dy / d, mid.y - h * dx / d});  // dropped when near the first
}

// Folds an angle in degrees into 0 <= angle < 360.
double foldDegrees(double a) {
  while (a < 0.0) a += 360.0;
  while (a >= 360.0) a -= 360.0;
  return a;
}

double angleFrom(DPoint c, DPoint p) {
  return foldDegrees(std::atan2(p.y - c.y, p.x - c.x) * 180.0 / std::numbers::pi);
}

bool pointOnArc(DPoint pt, const TQN_Path &s) {
  const Circle circle = circleOf(s);
  const double r = circle.r;
  if (r <= kTiny) return false;
  const DPoint v = pt - circle.c;
  if (std::fabs(dot(v, v) - r * r) > kOnCircleRel * std::max(1.0, r * r)) return false;
  if (near(pt, widen(s.FStartPt)) || near(pt, widen(s.FEndPt))) return true;
  const double sweep = s.FSweepAngle;
  const double absSweep = std::fabs(sweep);
  if (absSweep <= kAngleSlack) return false;
  if (absSweep >= kFullCircle) return true;
  const double a0 = angleFrom(circle.c, widen(s.FStartPt));
  const double ap = angleFrom(circle.c, pt);
  if (sweep > 0.0) {
    const double f = foldDegrees(ap - a0);
    return f >= -kAngleSlack && f <= sweep + kAngleSlack;
  }
  const double f = foldDegrees(a0 - ap);
  return f >= -kAngleSlack && f <= -sweep + kAngleSlack;
}

DPoint bezierPoint(const DPoint (&b)[4], double t) {
  const double u = 1.0 - t;
  return b[0] * (u * u * u) + b[1] * (3.0 * u * u * t) + b[2] * (3.0 * u * t * t) + b[3] * (t * t * t);
}

// The direction of a shape at a point on it, for the crossing test.
DPoint directionAt(const TQN_Path &s, DPoint p) {
  switch (kindOf(s)) {
    case Kind::Line: return unit(widen(s.FEndPt) - widen(s.FStartPt));
    case Kind::Ellipse:
    case Kind::Arc: {
      const DPoint c = widen(s.FCenter);
      return unit({-(p.y - c.y), p.x - c.x});
    }
    case Kind::Bezier: {
      const DPoint b[4] = {widen(s.FStartPt), widen(s.FBezierCp1), widen(s.FBezierCp2), widen(s.FEndPt)};
      double bestT = 0.0, bestD = 0.0;
      for (int i = 0; i <= kBezierSteps; ++i) {
        const double t = double(i) / kBezierSteps;
        const DPoint q = bezierPoint(b, t) - p;
        const double d = dot(q, q);
        if (i == 0 || d < bestD) {  // on a tie the earlier sample stays
          bestD = d;
          bestT = t;
        }
      }
      const double t = bestT, u = 1.0 - t;
      return unit((b[1] - b[0]) * (3.0 * u * u) + (b[2] - b[1]) * (6.0 * u * t) + (b[3] - b[2]) * (3.0 * t * t));
    }
    case Kind::Other: break;
  }
  return {0.0, 0.0};
}

bool crosses(DPoint d1, DPoint d2) {
  const double l1 = lengthOf(d1), l2 = lengthOf(d2);
  if (l1 <= kTiny || l2 <= kTiny) return true;
  return std::fabs(cross(d1, d2)) / (l1 * l2) > kCrossingLimit;
}

void addPoint(TIntersectionList &list, DPoint pt, TQN_Path *A, TQN_Path *B, bool crossing) {
  const bool both = A != nullptr && B != nullptr;
  bool shared = both && (near(pt, widen(A->FStartPt)) || near(pt, widen(A->FEndPt))) &&
                (near(pt, widen(B->FStartPt)) || near(pt, widen(B->FEndPt)));
  if (!shared && both) {
    const DPoint aEnds[2] = {widen(A->FStartPt), widen(A->FEndPt)};
    const DPoint bEnds[2] = {widen(B->FStartPt), widen(B->FEndPt)};
    bool found = false;
    DPoint mid;
    for (const DPoint &a : aEnds) {
      for (const DPoint &b : bEnds) {
        if (near(a, b)) {
          mid = (a + b) * 0.5;
          found = true;
          break;
        }
      }
      if (found) break;
    }
    if (found && lengthOf(pt - mid) <= kSnapDistance) {
      pt = mid;
      shared = true;
    }
  }
  if (shared) crossing = false;

  for (TIntersection *record : list) {
    if (near(widen(record->FPoint), pt)) {
      if (shared)
        record->FIsCrossing = false;
      else if (crossing)
        record->FIsCrossing = true;
      return;
    }
  }
  auto *record = new TIntersection(narrow(pt), A, B);
  record->FIsCrossing = crossing;
  record->FPathID1 = A != nullptr ? A->ID() : -1;
  record->FPathID2 = B != nullptr ? B->ID() : -1;
  list.push_back(record);
}

// Hands the candidates of a pair (X, Y) to addPoint, each with the crossing test of the
// two shapes' directions there; `keep` filters them first.
template <typename Keep>
void offer(TIntersectionList &list, const Candidates &candidates, TQN_Path *X, TQN_Path *Y, Keep keep) {
  for (const DPoint &p : candidates.points()) {
    if (!keep(p)) continue;
    addPoint(list, p, X, Y, crosses(directionAt(*X, p), directionAt(*Y, p)));
  }
}

bool always(DPoint) { return true; }

// ends(i) of a list of segments, as forNearSegmentPairs asks for them.
auto segmentEnds(const std::vector<TPathInterval> &segs) {
  return [&segs](int i) {
    const TPathInterval &s = segs[static_cast<std::size_t>(i)];
    return std::pair{s.St, s.Ed};
  };
}

}  // namespace

bool IsPointOnArc(TPointF pt, const TQN_Path &S) { return pointOnArc(widen(pt), S); }

void AddIntersectionPoint(TIntersectionList &list, TPointF pt, TQN_Path *A, TQN_Path *B, bool crossing) {
  addPoint(list, widen(pt), A, B, crossing);
}

void IntersectLineLine(TIntersectionList &list, TQN_Path *L1, TQN_Path *L2) {
  Candidates c;
  segmentSegment(widen(L1->FStartPt), widen(L1->FEndPt), widen(L2->FStartPt), widen(L2->FEndPt), c);
  offer(list, c, L1, L2, always);
}

void IntersectLineEllipse(TIntersectionList &list, TQN_Path *L, TQN_Path *E) {
  Candidates c;
  segmentCircle(widen(L->FStartPt), widen(L->FEndPt), circleOf(*E), c);
  offer(list, c, L, E, always);
}

void IntersectLineArc(TIntersectionList &list, TQN_Path *L, TQN_Path *Arc) {
  Candidates c;
  segmentCircle(widen(L->FStartPt), widen(L->FEndPt), circleOf(*Arc), c);
  offer(list, c, L, Arc, [&](DPoint p) { return pointOnArc(p, *Arc); });
}

void IntersectEllipseEllipse(TIntersectionList &list, TQN_Path *E1, TQN_Path *E2) {
  Candidates c;
  circleCircle(circleOf(*E1), circleOf(*E2), c);
  offer(list, c, E1, E2, always);
}

void IntersectArcEllipse(TIntersectionList &list, TQN_Path *Arc, TQN_Path *E) {
  Candidates c;
  circleCircle(circleOf(*Arc), circleOf(*E), c);
  offer(list, c, Arc, E, [&](DPoint p) { return pointOnArc(p, *Arc); });
}

void IntersectArcArc(TIntersectionList &list, TQN_Path *Arc1, TQN_Path *Arc2) {
  Candidates c;
  circleCircle(circleOf(*Arc1), circleOf(*Arc2), c);
  offer(list, c, Arc1, Arc2, [&](DPoint p) { return pointOnArc(p, *Arc1) && pointOnArc(p, *Arc2); });
}

void IntersectBezierShape(TIntersectionList &list, TQN_Path *Bz, TQN_Path *S) {
  const Kind kind = kindOf(*S);
  if (kind == Kind::Bezier || kind == Kind::Other) return;  // no candidates for these kinds
  const TRectF boxS = S->getBoundary(false);
  const Circle circle = circleOf(*S);
  for (const TPathInterval &seg : Bz->getIntervalsFast(false)) {
    const DPoint p = widen(seg.St), q = widen(seg.Ed);
    if (near(p, q)) continue;
    if (!boxesOverlap(sortedBox(seg.St, seg.Ed), boxS, kBoxMargin)) continue;
    Candidates c;
    if (kind == Kind::Line) {
      segmentSegment(p, q, widen(S->FStartPt), widen(S->FEndPt), c);
      offer(list, c, Bz, S, always);
    } else if (kind == Kind::Ellipse) {
      segmentCircle(p, q, circle, c);
      offer(list, c, Bz, S, always);
    } else {
      segmentCircle(p, q, circle, c);
      offer(list, c, Bz, S, [&](DPoint x) { return pointOnArc(x, *S); });
    }
  }
}

const TBezierPieces::TPieces &TBezierPieces::of(const TQN_Path &curve) {
  const auto [at, added] = FPieces.try_emplace(&curve);
  TPieces &pieces = at->second;
  if (added) {
    pieces.Segments = curve.getIntervalsFast(false);
    pieces.Runs = segmentRunBoxes(static_cast<int>(pieces.Segments.size()), segmentEnds(pieces.Segments));
  }
  return pieces;
}

void IntersectBezierBezier(TIntersectionList &list, TQN_Path *Bz1, TQN_Path *Bz2, TBezierPieces *pieces) {
  TBezierPieces ownPieces;
  TBezierPieces &kept = pieces != nullptr ? *pieces : ownPieces;
  const TBezierPieces::TPieces &pieces1 = kept.of(*Bz1);
  const TBezierPieces::TPieces &pieces2 = kept.of(*Bz2);
  const std::vector<TPathInterval> &segs1 = pieces1.Segments;
  const std::vector<TPathInterval> &segs2 = pieces2.Segments;
  // Only segments whose boxes overlap (within kBoxMargin) meet, so the pairs of runs
  // that lie apart are skipped; the pairs left come in the order of the double loop.
  forNearSegmentPairs(
      pieces1.Runs, static_cast<int>(segs1.size()), segmentEnds(segs1), pieces2.Runs, static_cast<int>(segs2.size()),
      2.0 * kBoxMargin, [&](int i, int j) {
        const TPathInterval &s1 = segs1[static_cast<std::size_t>(i)];
        const TPathInterval &s2 = segs2[static_cast<std::size_t>(j)];
        const DPoint p0 = widen(s1.St), p1 = widen(s1.Ed);
        const DPoint q0 = widen(s2.St), q1 = widen(s2.Ed);
        if (near(p0, p1) || near(q0, q1)) return;
        if (!boxesOverlap(sortedBox(s1.St, s1.Ed), sortedBox(s2.St, s2.Ed), kBoxMargin)) return;
        Candidates c;
        segmentSegment(p0, p1, q0, q1, c);
        offer(list, c, Bz1, Bz2, always);
      });
}

TIntersectionList IntersectShapes(TQN_Path *A, TQN_Path *B, TBezierPieces *pieces) {
  TIntersectionList list;
  if (A == nullptr || B == nullptr) return list;
  if (!boxesOverlap(A->getBoundary(false), B->getBoundary(false), kBoxMargin)) return list;

  const Kind ka = kindOf(*A), kb = kindOf(*B);
  // Only lines, circles, arcs and Beziers meet anything here (a Bezier against any other
  // kind finds no candidates).
  if (ka == Kind::Other || kb == Kind::Other) return list;
  if (ka == Kind::Bezier && kb == Kind::Bezier) {
    IntersectBezierBezier(list, A, B, pieces);
    return list;
  }

  // The routine of the pair and its argument order (its first argument becomes Path1).
  using Routine = void (*)(TIntersectionList &, TQN_Path *, TQN_Path *);
  struct Row {
    Kind a, b;
    Routine routine;
    bool swapped;
  };
  static constexpr Row kTable[] = {
      {Kind::Line, Kind::Line, IntersectLineLine, false},
      {Kind::Line, Kind::Ellipse, IntersectLineEllipse, false},
      {Kind::Ellipse, Kind::Line, IntersectLineEllipse, true},
      {Kind::Line, Kind::Arc, IntersectLineArc, false},
      {Kind::Arc, Kind::Line, IntersectLineArc, true},
      {Kind::Ellipse, Kind::Ellipse, IntersectEllipseEllipse, false},
      {Kind::Arc, Kind::Ellipse, IntersectArcEllipse, false},
      {Kind::Ellipse, Kind::Arc, IntersectArcEllipse, true},
      {Kind::Arc, Kind::Arc, IntersectArcArc, false},
  };
  Routine routine = nullptr;
  bool swapped = false;
  for (const Row &row : kTable) {
    if (row.a == ka && row.b == kb) {
      routine = row.routine;
      swapped = row.swapped;
      break;
    }
  }
  if (routine == nullptr) {  // a Bezier against a line, circle or arc
    routine = IntersectBezierShape;
    swapped = kb == Kind::Bezier;
  }

  TQN_Path *first = swapped ? B : A;
  TQN_Path *second = swapped ? A : B;
  // An ellipse that is not a circle, or an arc of such an ellipse: cross the drawn
  // outlines instead of a circle that is not there (same argument order).
  if (isNonCircular(*first) || isNonCircular(*second)) return calcPathIntersections(first, second, nullptr, false);
  routine(list, first, second);
  return list;
}

}  // namespace quillon
