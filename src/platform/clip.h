#pragma once
// Polygon operations on double-precision paths: offsetting, boolean operations,
// simplification and triangulation. The call shapes follow the polygon library the
// three-dimensional templates were written against; here offsetting and the boolean
// operations run on Clipper 1 (integer coordinates scaled by 10^precision), the
// simplification is our own, and the triangulation is the constrained Delaunay
// triangulation of GEOS.
//
// Paths are closed unless stated otherwise: the last point connects to the first and is
// not repeated. Orientation follows the usual mathematical sign: a positive area turns
// counter-clockwise when the y axis points up.
#include <vector>

namespace quillon::clip {

struct PointD {
  double x = 0.0;
  double y = 0.0;
  bool operator==(const PointD &o) const { return x == o.x && y == o.y; }
};
using PathD = std::vector<PointD>;
using PathsD = std::vector<PathD>;

enum class FillRule { EvenOdd, NonZero, Positive, Negative };
enum class JoinType { Square, Round, Miter };
// Polygon: closed paths; Joined: open paths offset on both sides and joined at the ends;
// Butt, Square, Round: open paths with that end cap.
enum class EndType { Polygon, Joined, Butt, Square, Round };

enum class TriangulateResult { success, fail, no_polygons, paths_intersect };

// Valid precisions are 0 ... 8 decimal places; others throw std::range_error.
inline constexpr int kMaxPrecision = 8;

// Signed area (positive counter-clockwise); 0 for fewer than three points.
double Area(const PathD &path);

// Grows (delta > 0) or shrinks (delta < 0) the paths. With EndType::Polygon the
// orientation of the paths tells outlines from holes: the path with the lowest point
// is taken as an outline and the others follow it. miterLimit is in multiples of
// |delta|; arcTolerance 0 means the library's default. Coordinates are rounded to
// `precision` decimal places.
PathsD InflatePaths(const PathsD &paths, double delta, JoinType joinType, EndType endType, double miterLimit = 2.0,
                    int precision = 2, double arcTolerance = 0.0);

PathsD Union(const PathsD &subjects, FillRule fillRule, int precision = 2);
PathsD Intersect(const PathsD &subjects, const PathsD &clips, FillRule fillRule, int precision = 2);
PathsD Difference(const PathsD &subjects, const PathsD &clips, FillRule fillRule, int precision = 2);

// Rounds every point to the grid of `precision` decimal places, then removes repeated
// points and every point that lies within `epsilon` of the straight line through its
// neighbours (repeatedly, so runs of nearly collinear points thin out). A closed path
// left with fewer than three points, or an open one with fewer than two, is dropped.
PathsD SimplifyPaths(const PathsD &paths, double epsilon, bool isClosedPath = true, int precision = 2);

// Triangulates the area the paths enclose under the even-odd rule (outlines and holes
// may be given in any orientation). Every triangle comes back as a path of three
// points with a positive area. The triangles use only the vertices of the paths (no
// points are added inside) and keep their exact coordinates; only where paths cross
// does a crossing point, rounded to `precision` decimal places, become a vertex.
// no_polygons: nothing with an area was given. paths_intersect: the area could not be
// made into valid polygons. `useDelaunay` is accepted for the callers' sake: the
// triangulation is always the constrained Delaunay one.
TriangulateResult Triangulate(const PathsD &paths, int precision, PathsD &triangles, bool useDelaunay = true);

}  // namespace quillon::clip
