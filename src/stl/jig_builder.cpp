#include "stl/jig_builder.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "stl/extrude.h"
#include "stl/text_recess.h"

namespace quillon {

namespace {

constexpr int kPrecision = 2;
constexpr double kMinPathArea = 0.01;

clip::PathsD ringsToPaths(const std::vector<TRing> &rings) {
  clip::PathsD paths;
  paths.reserve(rings.size());
  for (const TRing &r : rings) paths.push_back(RingToPathD(r));
  return paths;
}

// Paths to regions by even-odd nesting.
std::vector<TPolyRegion> PathsDToRegions(const clip::PathsD &paths) {
  std::vector<TRing> rings;
  rings.reserve(paths.size());
  for (const clip::PathD &p : paths) rings.push_back(RingFromPathD(p));
  return BuildPolyRegions(rings);
}

TPolyRegion preparedRegion(const TPolyRegion &region) {
  TPolyRegion r;
  r.Outer = MakeRingCCW(CleanRing(region.Outer, kRingCleanTolerance));
  for (const TRing &h : region.Holes) r.Holes.push_back(MakeRingCCW(CleanRing(h, kRingCleanTolerance)));
  return r;
}

TExtrudeParams slabParams(double height) {
  TExtrudeParams p = DefaultExtrudeParams();
  p.Height = height;
  return p;
}

// The region as a plain slab from z0 to z1.
void ExtrudeSlab(const TPolyRegion &region, double z0, double z1, TTriangleList &triangles) {
  if (!(z1 > z0) || region.Outer.size() <= 2) return;
  const int first = int(triangles.size());
  AddExtrudedRegion(preparedRegion(region), slabParams(z1 - z0), triangles);
  if (std::abs(z0) > 1e-9) ShiftTrianglesZ(triangles, first, z0);
}

// The region as a slab from z0 to z1 with the text cut into its face at z1 (intoTop) or
// at z0.
void ExtrudeSlabWithTextRecess(const TPolyRegion &region, const std::vector<TPolyRegion> &text, bool intoTop,
                               double depth, double z0, double z1, TTriangleList &triangles) {
  if (!(z1 > z0) || region.Outer.size() <= 2) return;
  const int first = int(triangles.size());
  ExtrudeRegionWithTextRecess(preparedRegion(region), text, intoTop, depth, slabParams(z1 - z0), triangles);
  if (std::abs(z0) > 1e-9) ShiftTrianglesZ(triangles, first, z0);
}

TRectF pathsBounds(const clip::PathsD &paths) {
  double l = std::numeric_limits<double>::max(), t = l, r = -l, b = -l;
  for (const clip::PathD &p : paths)
    for (const clip::PointD &q : p) {
      l = std::min(l, q.x);
      r = std::max(r, q.x);
      t = std::min(t, q.y);
      b = std::max(b, q.y);
    }
  return TRectF{float(l), float(t), float(r), float(b)};
}

clip::PathsD BuildOuterPaths(const clip::PathsD &pattern, const TRectF &bounds, const TSTLTemplateSettings &s) {
  const int steps = std::max(s.ArcSteps, 2);
  switch (s.OuterMode) {
    case TSTLTemplateOuterMode::omRectMargin:
      return {RoundedRectRing(bounds.Left - s.OuterMargin, bounds.Top - s.OuterMargin, bounds.Right + s.OuterMargin,
                              bounds.Bottom + s.OuterMargin, s.OuterCornerRadius, steps)};
    case TSTLTemplateOuterMode::omRectExplicit: {
      const double cx = (double(bounds.Left) + bounds.Right) / 2, cy = (double(bounds.Top) + bounds.Bottom) / 2;
      return {RoundedRectRing(cx - s.OuterWidth / 2, cy - s.OuterHeight / 2, cx + s.OuterWidth / 2,
                              cy + s.OuterHeight / 2, s.OuterCornerRadius, steps)};
    }
    case TSTLTemplateOuterMode::omPatternOffset:
      return clip::InflatePaths(pattern, s.OuterMargin, clip::JoinType::Round, clip::EndType::Polygon, 3.0, kPrecision,
                                0);
  }
  return {};
}

}  // namespace

TSTLTemplateSettings DefaultTemplateSettings() { return TSTLTemplateSettings(); }

TPointF PolygonCentroid(const clip::PathD &ring) {
  if (ring.empty()) return {0, 0};
  if (ring.size() < 3) return {float(ring[0].x), float(ring[0].y)};
  double a = 0, cx = 0, cy = 0;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    const clip::PointD &p = ring[i], &q = ring[(i + 1) % ring.size()];
    const double c = p.x * q.y - q.x * p.y;
    a += c;
    cx += (p.x + q.x) * c;
    cy += (p.y + q.y) * c;
  }
  a /= 2;
  if (std::abs(a) < 1e-9) return {float(ring[0].x), float(ring[0].y)};
  return {float(cx / (6 * a)), float(cy / (6 * a))};
}

clip::PathD RoundedRectRing(double left, double top, double right, double bottom, double radius, int steps) {
  const clip::PathD corners = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
  if (radius <= 0) return corners;
  const double r = std::min({radius, (right - left) / 2, (bottom - top) / 2});
  if (r <= 0) return corners;
  steps = std::max(steps, 2);
  const struct {
    double cx, cy, a0;
  } arcs[] = {{left + r, top + r, 180}, {right - r, top + r, -90}, {right - r, bottom - r, 0}, {left + r, bottom - r, 90}};
  clip::PathD ring;
  ring.reserve(4 * (steps + 1));
  for (const auto &arc : arcs)
    for (int k = 0; k <= steps; ++k) {
      const double a = (arc.a0 + 90.0 * k / steps) * M_PI / 180;
      ring.push_back({arc.cx + r * std::cos(a), arc.cy + r * std::sin(a)});
    }
  return ring;
}

clip::PathD CirclePathD(double cx, double cy, double radius, int n) {
  n = std::max(n, 8);
  clip::PathD ring;
  ring.reserve(n);
  for (int i = 0; i < n; ++i) {
    const double a = 2 * M_PI * i / n;
    ring.push_back({cx + radius * std::cos(a), cy + radius * std::sin(a)});
  }
  return ring;
}

clip::PathsD FilterSmallPaths(const clip::PathsD &paths, double minArea, double minThickness) {
  clip::PathsD kept;
  for (const clip::PathD &p : paths) {
    if (p.size() < 3) continue;
    const double area = std::abs(clip::Area(p));
    if (area < minArea) continue;
    if (minThickness > 0) {
      double perimeter = 0;
      for (std::size_t i = 0; i < p.size(); ++i) {
        const clip::PointD &a = p[i], &b = p[(i + 1) % p.size()];
        perimeter += std::hypot(b.x - a.x, b.y - a.y);
      }
      if (perimeter != 0 && 2 * area / perimeter < minThickness) continue;
    }
    kept.push_back(p);
  }
  return kept;
}

void FlipTrianglesZ(TTriangleList &triangles, double h, std::size_t firstIndex) {
  for (std::size_t i = firstIndex; i < triangles.size(); ++i) {
    TTriangle3D &t = triangles[i];
    for (TVec3 *v : {&t.A, &t.B, &t.C}) v->Z = h - v->Z;
    std::swap(t.B, t.C);
  }
}

TTriangleList BuildTemplateMesh(const std::vector<TRing> &rings, const TSTLTemplateSettings &s,
                                TTriangleList *textBodies) {
  TTriangleList result;
  if (rings.empty()) return result;
  const double H = s.TotalHeight;
  if (H <= 0) return result;
  double D = s.PocketDepth;
  if (D > H || D <= 0) D = H;
  const bool through = std::abs(H - D) < 1e-6;

  // The pattern: every ring, or the largest one with the smallest as its inner contour.
  clip::PathsD pattern;
  std::optional<clip::PathD> inner;
  if (s.KeepNestedContours) {
    pattern = ringsToPaths(rings);
  } else {
    long long m = -10000;
    double smallest = 1e18;
    int largestAt = -1, smallestAt = -1;
    for (std::size_t i = 0; i < rings.size(); ++i) {
      const double area = std::abs(RingSignedArea(rings[i]));
      if (area * 1e4 > double(m)) {
        m = std::llround(area * 1e4);
        largestAt = int(i);
      }
      if (area < smallest) {
        smallest = area;
        smallestAt = int(i);
      }
    }
    if (largestAt >= 0) pattern.push_back(RingToPathD(rings[largestAt]));
    if (smallestAt >= 0 && smallestAt != largestAt) inner = RingToPathD(rings[smallestAt]);
  }

  clip::PathsD united = clip::Union(pattern, clip::FillRule::EvenOdd, kPrecision);
  if (united.empty()) return result;
  const TRectF bounds = pathsBounds(united);
  united = FilterSmallPaths(united, kMinPathArea, 0);

  clip::PathsD pocket = s.PocketGap > 1e-6 ? clip::InflatePaths(united, s.PocketGap, clip::JoinType::Round,
                                                                clip::EndType::Polygon, 3.0, kPrecision, 0)
                                           : united;
  pocket = FilterSmallPaths(pocket, kMinPathArea, 0);

  clip::PathsD outline = BuildOuterPaths(united, bounds, s);
  if (!outline.empty()) outline = clip::Union(outline, clip::FillRule::EvenOdd, kPrecision);
  if (outline.empty()) return result;

  const int circlePoints = std::max(16, 4 * s.ArcSteps);
  clip::PathsD fingers;
  if (s.FingerHoleAtCentroid && s.CentroidFingerDiameter > 0 && !pocket.empty()) {
    const TPointF c = PolygonCentroid(pocket.front());
    fingers.push_back(CirclePathD(c.X, c.Y, s.CentroidFingerDiameter / 2, circlePoints));
  }
  for (const TSTLTemplateFingerHole &f : s.CustomFingerHoles)
    if (f.Diameter > 0) fingers.push_back(CirclePathD(f.X, f.Y, f.Diameter / 2, circlePoints));

  const auto plainSolid = [&](const clip::PathD &path) {
    TPolyRegion region;
    region.Outer = RingFromPathD(path);
    ExtrudeSlab(region, 0, H, result);
  };
  if (s.DebugMode >= 1 && s.DebugMode <= 3) {
    if (s.DebugMode != 2) plainSolid(outline.front());
    if (s.DebugMode != 1 && !pocket.empty()) plainSolid(pocket.front());
    return result;
  }

  const auto walls = [&](double z0) {
    const clip::PathsD frame =
        FilterSmallPaths(clip::Difference(outline, pocket, clip::FillRule::EvenOdd, kPrecision), kMinPathArea, 0);
    for (const TPolyRegion &region : PathsDToRegions(frame)) ExtrudeSlab(region, z0, H, result);
  };

  if (through) {
    walls(0);
  } else {
    const double Hb = H - D;
    clip::PathsD floor = outline;
    if (inner) floor = clip::Difference(floor, {*inner}, clip::FillRule::EvenOdd, kPrecision);
    if (!fingers.empty()) floor = clip::Difference(floor, fingers, clip::FillRule::EvenOdd, kPrecision);
    if (!s.StitchHoles.empty())
      floor = clip::Difference(floor, ringsToPaths(s.StitchHoles), clip::FillRule::EvenOdd, kPrecision);
    floor = FilterSmallPaths(floor, kMinPathArea, 0);
    const std::vector<TPolyRegion> floorRegions = PathsDToRegions(floor);

    if (s.EngraveDepth > 1e-6 && !s.EngraveContours.empty()) {
      const std::vector<TPolyRegion> text = BuildPolyRegions(s.EngraveContours);
      for (const TPolyRegion &region : floorRegions) {
        std::vector<TPolyRegion> own;
        for (const TPolyRegion &t : text)
          if (!t.Outer.empty() && PointInPolygon(t.Outer.front(), region.Outer)) own.push_back(t);
        if (s.EngraveOnBottom) {
          const TRectF b = RingBounds(region.Outer);
          const double m = (double(b.Left) + b.Right) / 2;
          for (TPolyRegion &t : own) t = MirrorRegionX(t, m);
        }
        ExtrudeSlabWithTextRecess(region, own, !s.EngraveOnBottom, s.EngraveDepth, 0, Hb, result);
        if (textBodies) {
          const std::size_t first = textBodies->size();
          for (const TPolyRegion &t : own) AddExtrudedRegion(t, slabParams(s.EngraveDepth), *textBodies);
          if (!s.EngraveOnBottom) ShiftTrianglesZ(*textBodies, int(first), Hb - s.EngraveDepth);
        }
      }
    } else {
      for (const TPolyRegion &region : floorRegions) ExtrudeSlab(region, 0, Hb, result);
    }
    walls(Hb);
  }

  if (s.FlipZForPreview) {
    FlipTrianglesZ(result, H);
    if (textBodies) FlipTrianglesZ(*textBodies, H);
  }
  return result;
}

}  // namespace quillon
