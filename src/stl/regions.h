#pragma once
// Planar polygon regions of the three-dimensional templates, and the mesh types the
// whole STL pipeline shares.
//
// A ring is an ordered array of points in drawing millimetres (y down), closed
// implicitly. Its signed area is 1/2 * sum(x_i * y_(i+1) - x_(i+1) * y_i); a ring with
// a non-negative area is "counter-clockwise" (counter-clockwise in the mesh's frame,
// whose y axis points up). A region is an outer ring with the holes inside it.
#include <string>
#include <vector>

#include "platform/clip.h"
#include "platform/geometry.h"
#include "platform/path_data.h"

namespace quillon {

using TRing = std::vector<TPointF>;

// A point of the mesh: x and y in drawing millimetres, z across the thickness.
struct TVec3 {
  double X = 0.0;
  double Y = 0.0;
  double Z = 0.0;
};

// One facet; the order of A, B and C decides which way it faces (right-hand rule).
struct TTriangle3D {
  TVec3 A;
  TVec3 B;
  TVec3 C;
};

using TTriangleList = std::vector<TTriangle3D>;

struct TPolyRegion {
  TRing Outer;
  std::vector<TRing> Holes;
};

// The result of offsetting a region: Valid with Reason "OK" (or "Zero delta"), or not
// valid with a short diagnostic Reason.
struct TOffsetRegion {
  bool Valid = false;
  std::string Reason;
  TRing Outer;
  std::vector<TRing> Holes;
};

// The tolerance every ring of the templates is cleaned with.
inline constexpr float kRingCleanTolerance = 0.000001f;

// The closed rings of path data: cubic curves become `steps` straight pieces, points
// closer than `tolerance` to the previous one are dropped, and every sub-path of three or
// more distinct points comes out closed, ending with (a copy within the tolerance of)
// its first point. Sub-paths of fewer points are dropped.
std::vector<TRing> FlattenPathData(const TPathData &path, int steps, float tolerance);

// A copy without the closing repeat of the first point, without repeated points and
// without points whose cross product with their neighbours is at most `tolerance`.
TRing CleanRing(const TRing &ring, float tolerance);

double RingSignedArea(const TRing &ring);
TRing MakeRingCCW(const TRing &ring);
TRing MakeRingCW(const TRing &ring);
void ReverseRing(TRing &ring);

// Even-odd crossing test; a point at the height of a horizontal edge does not cross it.
bool PointInPolygon(TPointF p, const TRing &ring);

// Groups rings into regions by how deeply each ring's first point is nested: rings at
// even depth become outer rings, rings at odd depth holes of the nearest enclosing
// outer ring (islands inside holes are regions of their own). Orientation plays no part.
// Rings are cleaned; rings of fewer than three points are left out.
std::vector<TPolyRegion> BuildPolyRegions(const std::vector<TRing> &rings);

// The region as polygon paths: the cleaned outer ring counter-clockwise, then the cleaned
// holes clockwise (rings of fewer than three points are left out).
clip::PathsD RegionToPathsD(const TPolyRegion &region);
clip::PathD RingToPathD(const TRing &ring);
TRing RingFromPathD(const clip::PathD &path);

// Grows (delta > 0) or shrinks (delta < 0) the region with mitred corners. Fails, with
// its reason, when nothing is left, when the result falls apart into several regions,
// or when its outer ring has fewer than 3 or more than 200 points.
TOffsetRegion OffsetRegion(const TPolyRegion &region, double delta);

// Left = least x, Top = least y, Right = greatest x, Bottom = greatest y; all 0 when empty.
TRectF RingBounds(const TRing &ring);
TPointF RingMeanPoint(const TRing &ring);

}  // namespace quillon
