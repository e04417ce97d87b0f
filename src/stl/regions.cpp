#include "stl/regions.h"

#include <algorithm>
#include <cmath>

#include "model/bezier.h"

namespace quillon {

namespace {

// Squared distance in single precision, as the flattening and cleaning compare it.
float distanceSqr(TPointF a, TPointF b) {
  const float dx = a.X - b.X;
  const float dy = a.Y - b.Y;
  return dx * dx + dy * dy;
}

// The ring being gathered by FlattenPathData.
class RingGatherer {
 public:
  RingGatherer(float tolerance, std::vector<TRing> &out) : t2_(tolerance * tolerance), out_(out) {}

  void add(TPointF p) {
    if (ring_.empty() || distanceSqr(ring_.back(), p) >= t2_) ring_.push_back(p);
  }
  bool empty() const { return ring_.empty(); }

  // Closes the ring explicitly and hands it over when it has three distinct points.
  void flush() {
    if (ring_.size() >= 3) {
      if (distanceSqr(ring_.front(), ring_.back()) > t2_) add(ring_.front());
      if (ring_.size() >= 4) out_.push_back(ring_);
    }
    ring_.clear();
  }

 private:
  float t2_;
  std::vector<TRing> &out_;
  TRing ring_;
};

}  // namespace

std::vector<TRing> FlattenPathData(const TPathData &path, int steps, float tolerance) {
  std::vector<TRing> out;
  RingGatherer ring(tolerance, out);
  const int n = path.Count();
  const int pieces = std::max(1, steps);
  TPointF current;
  for (int i = 0; i < n; ++i) {
    const TPathPoint &pt = path[i];
    switch (pt.Kind) {
      case TPathPointKind::MoveTo:
        if (!ring.empty()) ring.flush();
        ring.add(pt.Point);
        current = pt.Point;
        break;
      case TPathPointKind::LineTo:
        ring.add(pt.Point);
        current = pt.Point;
        break;
      case TPathPointKind::CurveTo: {
        if (i + 2 >= n) {
          i = n;  // an incomplete curve ends the walk
          break;
        }
        const TPointF p1 = pt.Point, p2 = path[i + 1].Point, p3 = path[i + 2].Point;
        for (int k = 1; k <= pieces; ++k) {
          const float u = static_cast<float>(static_cast<double>(k) / pieces);
          ring.add(bezierPointAt({current, p1, p2, p3}, u));
        }
        current = p3;
        i += 2;
        break;
      }
      case TPathPointKind::Close:
        ring.flush();
        break;
    }
  }
  if (!ring.empty()) ring.flush();
  return out;
}

TRing CleanRing(const TRing &ring, float tolerance) {
  const float t2 = tolerance * tolerance;
  TRing work = ring;
  if (work.size() >= 2 && distanceSqr(work.front(), work.back()) <= t2) work.pop_back();

  TRing kept;
  kept.reserve(work.size());
  for (const TPointF &p : work) {
    if (kept.empty() || distanceSqr(kept.back(), p) > t2) kept.push_back(p);
  }
  if (kept.size() < 3) return kept;

  // Each point is judged against its neighbours in `kept`, not in the thinned result.
  TRing result;
  result.reserve(kept.size());
  const size_t n = kept.size();
  for (size_t i = 0; i < n; ++i) {
    const TPointF &prev = kept[(i + n - 1) % n];
    const TPointF &p = kept[i];
    const TPointF &next = kept[(i + 1) % n];
    const double c = (double(p.X) - prev.X) * (double(next.Y) - prev.Y) -
                     (double(p.Y) - prev.Y) * (double(next.X) - prev.X);
    if (std::fabs(c) > tolerance) result.push_back(p);
  }
  return result;
}

double RingSignedArea(const TRing &ring) {
  const size_t n = ring.size();
  if (n < 3) return 0.0;
  double sum = 0.0;
  for (size_t i = 0; i < n; ++i) {
    const TPointF &a = ring[i];
    const TPointF &b = ring[(i + 1) % n];
    sum += double(a.X) * b.Y - double(b.X) * a.Y;
  }
  return sum * 0.5;
}

TRing MakeRingCCW(const TRing &ring) {
  TRing r = ring;
  if (RingSignedArea(r) < 0.0) ReverseRing(r);
  return r;
}

TRing MakeRingCW(const TRing &ring) {
  TRing r = ring;
  if (RingSignedArea(r) > 0.0) ReverseRing(r);
  return r;
}

void ReverseRing(TRing &ring) { std::reverse(ring.begin(), ring.end()); }

bool PointInPolygon(TPointF p, const TRing &ring) {
  const size_t n = ring.size();
  if (n < 3) return false;
  bool inside = false;
  const double px = p.X, py = p.Y;
  for (size_t i = 0, j = n - 1; i < n; j = i++) {
    const double xi = ring[i].X, yi = ring[i].Y;
    const double xj = ring[j].X, yj = ring[j].Y;
    if ((yi > py) != (yj > py) && px < xi + (xj - xi) * (py - yi) / (yj - yi + 1e-30)) inside = !inside;
  }
  return inside;
}

std::vector<TPolyRegion> BuildPolyRegions(const std::vector<TRing> &rings) {
  std::vector<TPolyRegion> regions;
  std::vector<TRing> cleaned;
  for (const TRing &r : rings) {
    TRing c = CleanRing(r, kRingCleanTolerance);
    if (c.size() >= 3) cleaned.push_back(std::move(c));
  }
  const int n = static_cast<int>(cleaned.size());
  std::vector<int> depth(n, 0), parent(n, -1);
  std::vector<double> absArea(n);
  for (int i = 0; i < n; ++i) absArea[i] = std::fabs(RingSignedArea(cleaned[i]));
  for (int i = 0; i < n; ++i) {
    const TPointF test = cleaned[i].front();
    for (int j = 0; j < n; ++j) {
      if (j == i || !PointInPolygon(test, cleaned[j])) continue;
      ++depth[i];
      if (parent[i] < 0 || absArea[j] < absArea[parent[i]]) parent[i] = j;
    }
  }
  std::vector<int> regionOf(n, -1);
  for (int i = 0; i < n; ++i) {
    if (depth[i] % 2 != 0) continue;
    regionOf[i] = static_cast<int>(regions.size());
    regions.push_back({cleaned[i], {}});
  }
  for (int i = 0; i < n; ++i) {
    if (depth[i] % 2 == 0) continue;
    int p = parent[i];
    while (p >= 0 && depth[p] % 2 != 0) p = parent[p];
    if (p >= 0 && regionOf[p] >= 0) regions[regionOf[p]].Holes.push_back(cleaned[i]);
  }
  return regions;
}

clip::PathD RingToPathD(const TRing &ring) {
  const TRing c = CleanRing(ring, kRingCleanTolerance);
  clip::PathD path;
  path.reserve(c.size());
  for (const TPointF &p : c) path.push_back({p.X, p.Y});
  return path;
}

TRing RingFromPathD(const clip::PathD &path) {
  TRing ring;
  ring.reserve(path.size());
  for (const clip::PointD &p : path) ring.emplace_back(static_cast<float>(p.x), static_cast<float>(p.y));
  return ring;
}

clip::PathsD RegionToPathsD(const TPolyRegion &region) {
  clip::PathsD paths;
  const TRing outer = CleanRing(region.Outer, kRingCleanTolerance);
  if (outer.size() >= 3) paths.push_back(RingToPathD(MakeRingCCW(outer)));
  for (const TRing &hole : region.Holes) {
    const TRing h = CleanRing(hole, kRingCleanTolerance);
    if (h.size() >= 3) paths.push_back(RingToPathD(MakeRingCW(h)));
  }
  return paths;
}

TOffsetRegion OffsetRegion(const TPolyRegion &region, double delta) {
  TOffsetRegion result;
  if (std::fabs(delta) < 1e-12) {
    result.Valid = true;
    result.Reason = "Zero delta";
    result.Outer = CleanRing(region.Outer, kRingCleanTolerance);
    result.Holes = region.Holes;
    return result;
  }
  const clip::PathsD in = RegionToPathsD(region);
  if (in.empty()) {
    result.Reason = "InPaths empty";
    return result;
  }
  clip::PathsD out = clip::InflatePaths(in, delta, clip::JoinType::Miter, clip::EndType::Polygon, 3.0, 6, 0.0);
  out = clip::SimplifyPaths(out, 0.00001, true, 2);
  if (out.empty()) {
    result.Reason = "OutPaths empty after Inflate/Simplify";
    return result;
  }
  std::vector<TRing> rings;
  rings.reserve(out.size());
  for (const clip::PathD &p : out) rings.push_back(RingFromPathD(p));
  const std::vector<TPolyRegion> regions = BuildPolyRegions(rings);
  if (regions.size() != 1) {
    result.Reason = "BuildPolyRegions count = " + std::to_string(regions.size());
    return result;
  }
  TRing outer = CleanRing(regions.front().Outer, kRingCleanTolerance);
  if (outer.size() < 3 || outer.size() > 200) {
    result.Reason = "Outer point count invalid = " + std::to_string(outer.size());
    return result;
  }
  result.Valid = true;
  result.Reason = "OK";
  result.Outer = std::move(outer);
  result.Holes = regions.front().Holes;
  return result;
}

TRectF RingBounds(const TRing &ring) {
  if (ring.empty()) return {};
  TRectF r(ring.front().X, ring.front().Y, ring.front().X, ring.front().Y);
  for (const TPointF &p : ring) {
    r.Left = std::min(r.Left, p.X);
    r.Top = std::min(r.Top, p.Y);
    r.Right = std::max(r.Right, p.X);
    r.Bottom = std::max(r.Bottom, p.Y);
  }
  return r;
}

TPointF RingMeanPoint(const TRing &ring) {
  if (ring.empty()) return {};
  double sx = 0.0, sy = 0.0;
  for (const TPointF &p : ring) {
    sx += p.X;
    sy += p.Y;
  }
  const double n = static_cast<double>(ring.size());
  return {static_cast<float>(sx / n), static_cast<float>(sy / n)};
}

}  // namespace quillon
