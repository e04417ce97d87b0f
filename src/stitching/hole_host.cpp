#include "stitching/hole_host.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "edit/drawing_check.h"
#include "edit/trim.h"
#include "model/intersection_finders.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"

namespace quillon {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

float paramOnLine(const TQN_Path &line, TPointF p) {
  const double dx = double(line.FEndPt.X) - line.FStartPt.X, dy = double(line.FEndPt.Y) - line.FStartPt.Y;
  const double length = std::hypot(dx, dy);
  if (length == 0.0) return 0.0f;
  return float(((double(p.X) - line.FStartPt.X) * dx + (double(p.Y) - line.FStartPt.Y) * dy) / length);
}

float paramOnArc(const TQN_Path &arc, TPointF p) {
  const TPointF c = arc.FCenter;
  const double atPoint = std::atan2(double(p.Y) - c.Y, double(p.X) - c.X);
  const double atStart = std::atan2(double(arc.FStartPt.Y) - c.Y, double(arc.FStartPt.X) - c.X);
  double e = atPoint - atStart;
  if (arc.FSweepAngle < 0.0f) e = -e;
  while (e < 0.0) e += kTwoPi;
  while (e >= kTwoPi) e -= kTwoPi;
  // A hair below a full turn would round up to 2 pi as a float: that is the start again.
  const float result = float(e);
  return result >= float(kTwoPi) ? 0.0f : result;
}

float paramOnBezier(const TQN_Path &bezier, TPointF p) {
  const std::vector<TPathPoint> &points = bezier.Data().Points();
  if (points.size() < 2) return 0.0f;
  double before = 0.0;  // outline length up to the current piece
  double best = std::numeric_limits<float>::max();
  double result = 0.0;
  for (std::size_t i = 0; i + 1 < points.size(); ++i) {
    const TPointF a = points[i].Point, b = points[i + 1].Point;
    const double dx = double(b.X) - a.X, dy = double(b.Y) - a.Y;
    const double length = std::hypot(dx, dy);
    if (!(length > 0.0)) continue;
    double v = ((double(p.X) - a.X) * dx + (double(p.Y) - a.Y) * dy) / (length * length);
    v = std::clamp(v, 0.0, 1.0);
    const double distance = std::hypot(a.X + v * dx - p.X, a.Y + v * dy - p.Y);
    if (distance < best) {
      best = distance;
      result = before + v * length;
    }
    before += length;
  }
  return float(result);
}

bool insideWidened(const TRectF &box, TPointF p, float margin) {
  return p.X >= box.Left - margin && p.X <= box.Right + margin && p.Y >= box.Top - margin &&
         p.Y <= box.Bottom + margin;
}

struct THostCandidate {
  TQN_Path *Shape;
  float Distance;
  TPointF Nearest;
};

}  // namespace

float holeParamOnHost(const TQN_Path *host, TPointF point) {
  if (!host) return 0.0f;
  if (host->isKind(TShapeKind::Line)) return paramOnLine(*host, point);
  if (host->isKind(TShapeKind::Arc)) return paramOnArc(*host, point);
  if (host->isKind(TShapeKind::Bezier)) return paramOnBezier(*host, point);
  return 0.0f;
}

TQN_Path *findHoleHost(const TShapeList &doc, const TQN_Path &hole, float &param, const THostVotes *votes) {
  param = 0.0f;
  const TPointF c = hole.FCenter;
  float nearest = kHoleHostReach;
  std::vector<THostCandidate> candidates;
  for (TQN_Path *s : doc) {
    if (!isLineArcOrBezier(s) || !isLintCandidate(doc, s)) continue;
    if (!insideWidened(s->getBoundary(false), c, kHoleHostReach)) continue;
    const TPointF q = nearestPointOnShape(*s, c);
    if (s->isKind(TShapeKind::Arc) && !IsPointOnArc(q, *s)) continue;
    const float d = calcDistance(q, c);
    if (!(d < kHoleHostReach)) continue;
    candidates.push_back({s, d, q});
    nearest = std::min(nearest, d);
  }
  if (candidates.empty()) return nullptr;

  TQN_Path *host = nullptr;
  int bestVotes = -1;
  float bestDistance = nearest;
  for (const THostCandidate &cand : candidates) {
    if (cand.Distance > nearest + kHoleHostVoteBand) continue;
    int count = 0;
    if (votes) {
      const auto it = votes->find(cand.Shape);
      if (it != votes->end()) count = it->second;
    }
    if (count > bestVotes || (count == bestVotes && cand.Distance < bestDistance)) {
      bestVotes = count;
      bestDistance = cand.Distance;
      host = cand.Shape;
      param = holeParamOnHost(cand.Shape, cand.Nearest);
    }
  }
  return host;
}

}  // namespace quillon
