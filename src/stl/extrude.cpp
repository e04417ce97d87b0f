#include "stl/extrude.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <numbers>
#include <stdexcept>
#include <utility>

namespace quillon {

namespace {

constexpr double kModeEpsilon = 1e-9;

TVec3 at(TPointF p, double z) { return {p.X, p.Y, z}; }
TVec3 at(const clip::PointD &p, double z) { return {p.x, p.y, z}; }

// The open-shape warning: text, the function that shows it, and whether it was shown
// since the last reset.
struct OpenShapeWarning {
  std::mutex lock;
  std::string text;
  std::function<void(const std::string &)> show;
  std::atomic<bool> shown{false};
};

OpenShapeWarning &openShapeWarning() {
  static OpenShapeWarning warning;
  return warning;
}

// Adds the two triangles of the wall piece between the lower edge li -> lj and the upper
// edge ui -> uj.
void addWallQuad(const TVec3 &li, const TVec3 &lj, const TVec3 &ui, const TVec3 &uj, TWallOrder order,
                 const TExtrudeParams &params, TTriangleList &triangles) {
  if (order == TWallOrder::Plain) {
    AddTriangle(li, lj, uj, params, triangles);
    AddTriangle(li, uj, ui, params, triangles);
  } else {
    AddTriangle(lj, li, uj, params, triangles);
    AddTriangle(uj, li, ui, params, triangles);
  }
}

void addOrderedTriangle(const TVec3 &a, const TVec3 &b, const TVec3 &c, TWallOrder order,
                        const TExtrudeParams &params, TTriangleList &triangles) {
  if (order == TWallOrder::Plain) AddTriangle(a, b, c, params, triangles);
  else AddTriangle(c, b, a, params, triangles);
}

// The ring turned to start at index k, order kept.
TRing rotatedRing(const TRing &ring, size_t k) {
  TRing r;
  r.reserve(ring.size());
  for (size_t i = 0; i < ring.size(); ++i) r.push_back(ring[(k + i) % ring.size()]);
  return r;
}

size_t nearestPointIndex(const TRing &ring, TPointF p) {
  size_t best = 0;
  double bestD = 0.0;
  for (size_t i = 0; i < ring.size(); ++i) {
    const double dx = double(ring[i].X) - p.X, dy = double(ring[i].Y) - p.Y;
    const double d = dx * dx + dy * dy;
    if (i == 0 || d < bestD) {
      best = i;
      bestD = d;
    }
  }
  return best;
}

// The point of greatest x (least y among equal x).
size_t rightmostPointIndex(const TRing &ring) {
  size_t k = 0;
  for (size_t i = 1; i < ring.size(); ++i) {
    const double dx = double(ring[i].X) - ring[k].X;
    if (dx > 0.0 || (std::fabs(dx) < 1e-12 && ring[i].Y < ring[k].Y)) k = i;
  }
  return k;
}

// Cumulative length fractions along a closed ring: f[i] is the share of the perimeter
// before point i, f[n] = 1.
std::vector<double> lengthFractions(const TRing &ring) {
  const size_t n = ring.size();
  std::vector<double> f(n + 1, 0.0);
  double total = 0.0;
  for (size_t i = 0; i < n; ++i) {
    const TPointF &a = ring[i];
    const TPointF &b = ring[(i + 1) % n];
    total += std::hypot(double(b.X) - a.X, double(b.Y) - a.Y);
    f[i + 1] = total;
  }
  for (double &v : f) v = total > 0.0 ? v / total : 0.0;
  f[n] = 1.0;
  return f;
}

// Whether every point of every hole lies inside the outer ring and no hole edge crosses
// it, so that the region is still a ring with holes.
bool holesInside(const TRing &outer, const std::vector<TRing> &holes) {
  for (const TRing &hole : holes) {
    for (const TPointF &p : hole) {
      if (!PointInPolygon(p, outer)) return false;
    }
  }
  if (holes.empty()) return true;
  const clip::PathsD outerPath{RingToPathD(outer)};
  clip::PathsD holePaths;
  for (const TRing &h : holes) holePaths.push_back(RingToPathD(h));
  // A hole sticking out of the outline leaves some of its area outside.
  double inside = 0.0, whole = 0.0;
  for (const clip::PathD &p : clip::Intersect(holePaths, outerPath, clip::FillRule::NonZero, 6)) {
    inside += std::fabs(clip::Area(p));
  }
  for (const clip::PathD &p : holePaths) whole += std::fabs(clip::Area(p));
  return std::fabs(whole - inside) <= 1e-6 * std::max(1.0, whole);
}

}  // namespace

TExtrudeParams DefaultExtrudeParams() { return TExtrudeParams{}; }

TBevelEdgeMode BottomEdgeMode(const TExtrudeParams &params) {
  if (params.BottomFillet > kModeEpsilon) return TBevelEdgeMode::Fillet;
  if (params.BottomChamfer > kModeEpsilon) return TBevelEdgeMode::Chamfer;
  return TBevelEdgeMode::None;
}

TBevelEdgeMode TopEdgeMode(const TExtrudeParams &params) {
  if (params.TopFillet > kModeEpsilon) return TBevelEdgeMode::Fillet;
  if (params.TopChamfer > kModeEpsilon) return TBevelEdgeMode::Chamfer;
  return TBevelEdgeMode::None;
}

double BottomBevelSize(const TExtrudeParams &params) {
  switch (BottomEdgeMode(params)) {
    case TBevelEdgeMode::Fillet: return params.BottomFillet;
    case TBevelEdgeMode::Chamfer: return params.BottomChamfer;
    case TBevelEdgeMode::None: break;
  }
  return 0.0;
}

double TopBevelSize(const TExtrudeParams &params) {
  switch (TopEdgeMode(params)) {
    case TBevelEdgeMode::Fillet: return params.TopFillet;
    case TBevelEdgeMode::Chamfer: return params.TopChamfer;
    case TBevelEdgeMode::None: break;
  }
  return 0.0;
}

bool BevelAsked(const TExtrudeParams &params) {
  return BottomEdgeMode(params) != TBevelEdgeMode::None || TopEdgeMode(params) != TBevelEdgeMode::None;
}

double TriangleArea(const TVec3 &a, const TVec3 &b, const TVec3 &c) {
  const double ux = b.X - a.X, uy = b.Y - a.Y, uz = b.Z - a.Z;
  const double vx = c.X - a.X, vy = c.Y - a.Y, vz = c.Z - a.Z;
  const double cx = uy * vz - uz * vy, cy = uz * vx - ux * vz, cz = ux * vy - uy * vx;
  return 0.5 * std::sqrt(cx * cx + cy * cy + cz * cz);
}

void AddTriangle(const TVec3 &a, const TVec3 &b, const TVec3 &c, const TExtrudeParams &params,
                 TTriangleList &triangles) {
  if (params.SkipTinyTriangles && TriangleArea(a, b, c) < params.MinTriangleArea) return;
  triangles.push_back({a, b, c});
}

void ShiftTrianglesZ(TTriangleList &triangles, int firstIndex, double dz) {
  for (size_t i = static_cast<size_t>(std::max(0, firstIndex)); i < triangles.size(); ++i) {
    triangles[i].A.Z += dz;
    triangles[i].B.Z += dz;
    triangles[i].C.Z += dz;
  }
}

void SetOpenShapeWarning(std::string text, std::function<void(const std::string &)> show) {
  OpenShapeWarning &w = openShapeWarning();
  std::lock_guard guard(w.lock);
  w.text = std::move(text);
  w.show = std::move(show);
}

void ResetOpenShapeWarning() { openShapeWarning().shown = false; }

bool OpenShapeWarningShown() { return openShapeWarning().shown; }

void ShowOpenShapeWarning() {
  OpenShapeWarning &w = openShapeWarning();
  if (w.shown.exchange(true)) return;
  std::function<void(const std::string &)> show;
  std::string text;
  {
    std::lock_guard guard(w.lock);
    show = w.show;
    text = w.text;
  }
  if (show) show(text);
}

bool AddPathsCap(const clip::PathsD &paths, double z, TCapOrder order, const TExtrudeParams &params,
                 TTriangleList &triangles) {
  if (paths.empty()) return true;
  clip::PathsD tris;
  const clip::TriangulateResult result = clip::Triangulate(paths, 6, tris, true);
  if (result != clip::TriangulateResult::success || tris.empty()) return false;
  for (const clip::PathD &t : tris) {
    if (t.size() != 3) continue;
    if (order == TCapOrder::Top) AddTriangle(at(t[0], z), at(t[1], z), at(t[2], z), params, triangles);
    else AddTriangle(at(t[2], z), at(t[1], z), at(t[0], z), params, triangles);
  }
  return true;
}

void AddRingWallBetween(const TRing &ring, double z0, double z1, TWallOrder order, const TExtrudeParams &params,
                        TTriangleList &triangles) {
  const TRing r = CleanRing(ring, kRingCleanTolerance);
  const size_t n = r.size();
  if (n < 3) return;
  for (size_t i = 0; i < n; ++i) {
    const size_t j = (i + 1) % n;
    addWallQuad(at(r[i], z0), at(r[j], z0), at(r[i], z1), at(r[j], z1), order, params, triangles);
  }
}

void AddRegionWalls(const TRing &outer, const std::vector<TRing> &holes, double z0, double z1,
                    const TExtrudeParams &params, TTriangleList &triangles) {
  // A counter-clockwise ring in plain order faces right of its direction, away from the
  // area it encloses; a hole, also counter-clockwise, is walled in reversed order so that
  // its wall faces into the hole.
  AddRingWallBetween(MakeRingCCW(CleanRing(outer, kRingCleanTolerance)), z0, z1, TWallOrder::Plain, params,
                     triangles);
  for (const TRing &hole : holes) {
    AddRingWallBetween(MakeRingCCW(CleanRing(hole, kRingCleanTolerance)), z0, z1, TWallOrder::Reversed, params,
                       triangles);
  }
}

void ExtrudeRegion(const TPolyRegion &region, const TExtrudeParams &params, TTriangleList &triangles) {
  const clip::PathsD caps = RegionToPathsD(region);
  if (caps.empty()) return;
  clip::PathsD tris;
  if (clip::Triangulate(caps, 6, tris, true) != clip::TriangulateResult::success || tris.empty()) {
    ShowOpenShapeWarning();
    return;
  }
  for (const clip::PathD &t : tris) {
    if (t.size() != 3) continue;
    AddTriangle(at(t[0], params.Height), at(t[1], params.Height), at(t[2], params.Height), params, triangles);
    AddTriangle(at(t[2], 0.0), at(t[1], 0.0), at(t[0], 0.0), params, triangles);
  }
  AddRegionWalls(region.Outer, region.Holes, 0.0, params.Height, params, triangles);
}

TOffsetRegion InsetOuterForBevel(const TOffsetRegion &base, double amount) {
  if (amount < 0.001) return base;
  const TOffsetRegion inset = OffsetRegion(TPolyRegion{base.Outer, {}}, -amount);
  TOffsetRegion result;
  if (!inset.Valid) {
    result.Reason = inset.Reason;
    return result;
  }
  const TRing baseOuter = MakeRingCCW(CleanRing(base.Outer, kRingCleanTolerance));
  TRing outer = MakeRingCCW(CleanRing(inset.Outer, kRingCleanTolerance));
  if (!baseOuter.empty()) outer = rotatedRing(outer, nearestPointIndex(outer, baseOuter.front()));
  if (!holesInside(outer, base.Holes)) {
    result.Reason = "Inset outline meets a hole";
    return result;
  }
  result.Valid = true;
  result.Reason = "OK";
  result.Outer = std::move(outer);
  result.Holes = base.Holes;
  return result;
}

TBevelStack BuildBevelStack(const TPolyRegion &region, const TExtrudeParams &params, std::string &reason) {
  TBevelStack levels;
  reason.clear();
  const TBevelEdgeMode bottomMode = BottomEdgeMode(params), topMode = TopEdgeMode(params);
  const double b = BottomBevelSize(params), t = TopBevelSize(params);
  const double h = params.Height;
  if (h <= b + t) {
    char text[160];
    std::snprintf(text, sizeof text, "BottomSize + TopSize (%g) must be less than Height (%g).", b + t, h);
    reason = text;
    return {};
  }
  const int steps = std::clamp(params.FilletSteps, 2, 16);
  const TOffsetRegion base = OffsetRegion(region, 0.0);
  auto fail = [&reason](const std::string &text) {
    reason = text;
    return TBevelStack{};
  };
  auto stepFailure = [](const char *face, int k, const std::string &why) {
    return std::string(face) + " fillet step " + std::to_string(k) + " offset failed: " + why;
  };

  switch (bottomMode) {
    case TBevelEdgeMode::None:
      levels.push_back({base, 0.0, 0.0});
      break;
    case TBevelEdgeMode::Chamfer: {
      TOffsetRegion inset = InsetOuterForBevel(base, b);
      if (!inset.Valid) return fail("Bottom chamfer offset failed: " + inset.Reason);
      levels.push_back({std::move(inset), 0.0, b});
      levels.push_back({base, b, 0.0});
      break;
    }
    case TBevelEdgeMode::Fillet:
      for (int k = 0; k <= steps; ++k) {
        const double theta = static_cast<double>(k) / steps * std::numbers::pi / 2.0;
        const double inset = b * (1.0 - std::sin(theta));
        const double z = b * (1.0 - std::cos(theta));
        TOffsetRegion r = InsetOuterForBevel(base, inset);
        if (!r.Valid) return fail(stepFailure("Bottom", k, r.Reason));
        levels.push_back({std::move(r), z, inset});
      }
      break;
  }
  switch (topMode) {
    case TBevelEdgeMode::None:
      levels.push_back({base, h, 0.0});
      break;
    case TBevelEdgeMode::Chamfer: {
      TOffsetRegion inset = InsetOuterForBevel(base, t);
      if (!inset.Valid) return fail("Top chamfer offset failed: " + inset.Reason);
      levels.push_back({base, h - t, 0.0});
      levels.push_back({std::move(inset), h, t});
      break;
    }
    case TBevelEdgeMode::Fillet:
      for (int k = 0; k <= steps; ++k) {
        const double theta = static_cast<double>(k) / steps * std::numbers::pi / 2.0;
        const double inset = t * (1.0 - std::cos(theta));
        const double z = h - t + t * std::sin(theta);
        TOffsetRegion r = InsetOuterForBevel(base, inset);
        if (!r.Valid) return fail(stepFailure("Top", k, r.Reason));
        levels.push_back({std::move(r), z, inset});
      }
      break;
  }
  return levels;
}

void AddRingStrip(const TRing &a, double z0, const TRing &b, double z1, TWallOrder order,
                  const TExtrudeParams &params, TTriangleList &triangles) {
  TRing ra = CleanRing(a, kRingCleanTolerance);
  TRing rb = CleanRing(b, kRingCleanTolerance);
  if (ra.size() < 3 || rb.size() < 3) return;
  if (ra.size() == rb.size()) {
    const size_t n = ra.size();
    for (size_t i = 0; i < n; ++i) {
      const size_t j = (i + 1) % n;
      addWallQuad(at(ra[i], z0), at(ra[j], z0), at(rb[i], z1), at(rb[j], z1), order, params, triangles);
    }
    return;
  }
  // Different counts: the band keeps every original point of both rings, so that it meets
  // the caps and the neighbouring bands edge for edge. Both rings start at matching
  // points; each step takes the next point of the ring that is behind along its length.
  ra = rotatedRing(ra, rightmostPointIndex(ra));
  rb = rotatedRing(rb, nearestPointIndex(rb, ra.front()));
  const std::vector<double> fa = lengthFractions(ra), fb = lengthFractions(rb);
  const size_t na = ra.size(), nb = rb.size();
  size_t i = 0, j = 0;
  while (i < na || j < nb) {
    const bool advanceA = j >= nb || (i < na && fa[i + 1] <= fb[j + 1]);
    const TVec3 ai = at(ra[i % na], z0), bj = at(rb[j % nb], z1);
    if (advanceA) {
      addOrderedTriangle(ai, at(ra[(i + 1) % na], z0), bj, order, params, triangles);
      ++i;
    } else {
      addOrderedTriangle(ai, at(rb[(j + 1) % nb], z1), bj, order, params, triangles);
      ++j;
    }
  }
}

void AddLevelWalls(const TBevelStackItem &lower, const TBevelStackItem &upper, const TExtrudeParams &params,
                   TTriangleList &triangles) {
  const TRing lo = MakeRingCCW(CleanRing(lower.Region.Outer, kRingCleanTolerance));
  const TRing up = MakeRingCCW(CleanRing(upper.Region.Outer, kRingCleanTolerance));
  AddRingStrip(lo, lower.Z, up, upper.Z, TWallOrder::Plain, params, triangles);
  const std::vector<TRing> &lowerHoles = lower.Region.Holes, &upperHoles = upper.Region.Holes;
  for (size_t i = 0; i < lowerHoles.size() && i < upperHoles.size(); ++i) {
    // Counter-clockwise and reversed, as in AddRegionWalls: the wall faces into the hole.
    AddRingStrip(MakeRingCCW(CleanRing(lowerHoles[i], kRingCleanTolerance)), lower.Z,
                 MakeRingCCW(CleanRing(upperHoles[i], kRingCleanTolerance)), upper.Z, TWallOrder::Reversed, params,
                 triangles);
  }
}

bool AddLevelCap(const TBevelStackItem &level, TCapOrder order, const TExtrudeParams &params,
                 TTriangleList &triangles) {
  const TPolyRegion region{level.Region.Outer, level.Region.Holes};
  if (!AddPathsCap(RegionToPathsD(region), level.Z, order, params, triangles)) {
    ShowOpenShapeWarning();
    return false;
  }
  return true;
}

bool TryAddBeveledExtrude(const TPolyRegion &region, const TExtrudeParams &params, TTriangleList &triangles,
                          std::string &reason) {
  TBevelStack levels;
  try {
    levels = BuildBevelStack(region, params, reason);
  } catch (const std::exception &e) {
    reason = std::string("BuildBevelStack exception: ") + e.what();
    return false;
  }
  if (levels.size() < 2) return false;
  const size_t mark = triangles.size();
  try {
    // A cap that cannot be triangulated fails the bevel; the plain slab is tried next.
    for (const auto &[level, order] : {std::pair{&levels.front(), TCapOrder::Bottom},
                                       std::pair{&levels.back(), TCapOrder::Top}}) {
      const TPolyRegion r{level->Region.Outer, level->Region.Holes};
      if (!AddPathsCap(RegionToPathsD(r), level->Z, order, params, triangles)) {
        triangles.resize(mark);
        reason = "TryAddBeveledExtrude failed: cap triangulation failed";
        return false;
      }
    }
    for (size_t i = 0; i + 1 < levels.size(); ++i) {
      if (std::fabs(levels[i + 1].Z - levels[i].Z) >= 1e-9) AddLevelWalls(levels[i], levels[i + 1], params, triangles);
    }
  } catch (const std::exception &e) {
    triangles.resize(mark);
    reason = std::string("TryAddBeveledExtrude failed: ") + e.what();
    return false;
  }
  return true;
}

void AddExtrudedRegion(const TPolyRegion &region, const TExtrudeParams &params, TTriangleList &triangles) {
  if (!BevelAsked(params) || BottomBevelSize(params) + TopBevelSize(params) >= params.Height) {
    ExtrudeRegion(region, params, triangles);
    return;
  }
  std::string reason;
  if (!TryAddBeveledExtrude(region, params, triangles, reason)) ExtrudeRegion(region, params, triangles);
}

}  // namespace quillon
