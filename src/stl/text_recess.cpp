#include "stl/text_recess.h"

#include <algorithm>
#include <cmath>

namespace quillon {

namespace {

clip::PathsD regionsToPaths(const std::vector<TPolyRegion> &regions) {
  clip::PathsD paths;
  for (const TPolyRegion &r : regions) {
    for (clip::PathD &p : RegionToPathsD(r)) paths.push_back(std::move(p));
  }
  return paths;
}

TRing reversedRing(const TRing &ring) {
  TRing r = ring;
  ReverseRing(r);
  return r;
}

// The face with the text rings as further boundaries: under the even-odd rule the text
// areas are cut out and the counters of letters stay as islands. The face's own rings
// are passed as they are, so that the face meets the walls along the very same points.
clip::PathsD faceWithText(const TPolyRegion &face, const std::vector<TPolyRegion> &text) {
  clip::PathsD paths = RegionToPathsD(face);
  for (const TPolyRegion &t : text) {
    paths.push_back(RingToPathD(reversedRing(t.Outer)));
    for (const TRing &h : t.Holes) paths.push_back(RingToPathD(reversedRing(h)));
  }
  return paths;
}

// The walls of the pockets, facing into them.
void addPocketWalls(const std::vector<TPolyRegion> &text, double zf, double zr, const TExtrudeParams &params,
                    TTriangleList &triangles) {
  const double lo = std::min(zf, zr), hi = std::max(zf, zr);
  for (const TPolyRegion &t : text) {
    AddRingWallBetween(MakeRingCCW(t.Outer), lo, hi, TWallOrder::Reversed, params, triangles);
    for (const TRing &h : t.Holes) AddRingWallBetween(MakeRingCW(h), lo, hi, TWallOrder::Reversed, params, triangles);
  }
}

}  // namespace

std::vector<TPolyRegion> ClipTextToFace(const std::vector<TPolyRegion> &textRegions, const TPolyRegion &face) {
  const clip::PathsD text = regionsToPaths(textRegions);
  const clip::PathsD facePaths = RegionToPathsD(face);
  if (text.empty() || facePaths.empty()) return {};
  const clip::PathsD merged = clip::Union(text, clip::FillRule::NonZero, 6);
  const clip::PathsD inner =
      clip::InflatePaths(facePaths, -kTextRecessMargin, clip::JoinType::Miter, clip::EndType::Polygon, 3.0, 6);
  std::vector<TRing> rings;
  for (const clip::PathD &p : clip::Intersect(merged, inner, clip::FillRule::NonZero, 6)) {
    rings.push_back(RingFromPathD(p));
  }
  return BuildPolyRegions(rings);
}

void ExtrudeRegionWithTextRecess(const TPolyRegion &body, const std::vector<TPolyRegion> &textRegions, bool intoTop,
                                 double depth, const TExtrudeParams &params, TTriangleList &triangles) {
  if (depth <= 0.0 || regionsToPaths(textRegions).empty()) {
    AddExtrudedRegion(body, params, triangles);
    return;
  }
  const double d = std::min(depth, 0.95 * params.Height);
  const TCapOrder faceOrder = intoTop ? TCapOrder::Top : TCapOrder::Bottom;
  const TCapOrder oppositeOrder = intoTop ? TCapOrder::Bottom : TCapOrder::Top;

  TBevelStack levels;
  if (BevelAsked(params)) {
    std::string reason;
    levels = BuildBevelStack(body, params, reason);
    if (levels.size() < 2) levels.clear();
  }

  // The pockets stay inside the narrowest outline of the slab, so that they are inside
  // the solid at every height they reach.
  TPolyRegion narrowest = body;
  if (!levels.empty()) {
    const auto it = std::max_element(levels.begin(), levels.end(), [](const auto &a, const auto &b) {
      return a.InsetAmount < b.InsetAmount;
    });
    narrowest = {it->Region.Outer, it->Region.Holes};
  }
  const std::vector<TPolyRegion> text = ClipTextToFace(textRegions, narrowest);
  if (text.empty()) {
    AddExtrudedRegion(body, params, triangles);
    return;
  }
  const clip::PathsD floor = regionsToPaths(text);

  const size_t mark = triangles.size();
  bool capsDone = true;
  double zf = 0.0;
  if (!levels.empty()) {
    for (size_t i = 0; i + 1 < levels.size(); ++i) {
      if (std::fabs(levels[i + 1].Z - levels[i].Z) >= 1e-9) AddLevelWalls(levels[i], levels[i + 1], params, triangles);
    }
    const TBevelStackItem &opposite = intoTop ? levels.front() : levels.back();
    const TBevelStackItem &face = intoTop ? levels.back() : levels.front();
    capsDone &= AddPathsCap(RegionToPathsD({opposite.Region.Outer, opposite.Region.Holes}), opposite.Z,
                            oppositeOrder, params, triangles);
    zf = face.Z;
    capsDone &= AddPathsCap(faceWithText({face.Region.Outer, face.Region.Holes}, text), zf, faceOrder, params,
                            triangles);
  } else {
    zf = intoTop ? params.Height : 0.0;
    const double zo = intoTop ? 0.0 : params.Height;
    capsDone &= AddPathsCap(RegionToPathsD(body), zo, oppositeOrder, params, triangles);
    capsDone &= AddPathsCap(faceWithText(body, text), zf, faceOrder, params, triangles);
    AddRegionWalls(body.Outer, body.Holes, 0.0, params.Height, params, triangles);
  }
  const double zr = intoTop ? zf - d : zf + d;
  capsDone &= AddPathsCap(floor, zr, faceOrder, params, triangles);
  addPocketWalls(text, zf, zr, params, triangles);

  // A face or floor that cannot be triangulated would leave the mesh open: the slab is
  // made without the text instead.
  if (!capsDone) {
    triangles.resize(mark);
    AddExtrudedRegion(body, params, triangles);
  }
}

TPolyRegion MirrorRegionX(const TPolyRegion &region, double m) {
  auto mirror = [m](const TRing &ring) {
    TRing r;
    r.reserve(ring.size());
    for (const TPointF &p : ring) r.emplace_back(static_cast<float>(2.0 * m - p.X), p.Y);
    ReverseRing(r);
    return r;
  };
  TPolyRegion out;
  out.Outer = mirror(region.Outer);
  for (const TRing &h : region.Holes) out.Holes.push_back(mirror(h));
  return out;
}

}  // namespace quillon
