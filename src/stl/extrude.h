#pragma once
// Extrusion of a polygon region into a closed, outward-facing triangle mesh: a slab from
// z = 0 to z = Height with triangulated caps and walls along every ring, optionally with
// the outer edge of either face chamfered (45 degrees) or filleted (a quarter round made
// of stepped inset outlines). A bevel that cannot be built falls back to the plain slab.
//
// Orientation: a triangle (A, B, C) faces along cross(B - A, C - A). Caps are written so
// that the face at z = Height looks up and the face at z = 0 looks down; walls look away
// from the solid, along outer rings and holes alike, whatever the rings' orientation.
#include <functional>
#include <string>
#include <vector>

#include "stl/regions.h"

namespace quillon {

struct TExtrudeParams {
  double Height = 5.0;
  double TopChamfer = 0.0;     // chamfer size of the outer edge at z = Height
  double BottomChamfer = 0.0;  // chamfer size of the outer edge at z = 0
  double TopFillet = 0.0;      // fillet radius at z = Height (wins over a chamfer)
  double BottomFillet = 0.0;   // fillet radius at z = 0
  int FilletSteps = 6;         // clamped to 2 ... 16 when used
  bool SkipTinyTriangles = true;
  double MinTriangleArea = 1e-8;  // mm^2
};

TExtrudeParams DefaultExtrudeParams();

enum class TBevelEdgeMode { None, Chamfer, Fillet };

// One level of a bevel stack: the region at height Z, its outer ring inset by
// InsetAmount. All levels share the base region's holes.
struct TBevelStackItem {
  TOffsetRegion Region;
  double Z = 0.0;
  double InsetAmount = 0.0;
};
using TBevelStack = std::vector<TBevelStackItem>;

// Plain: (Li, Lj, Uj), (Li, Uj, Ui) for the edge i -> j of a ring between a lower and an
// upper height; Reversed: the same triangles turned over.
enum class TWallOrder { Plain, Reversed };
// Top: a counter-clockwise triangle as it is (facing up); Bottom: turned over.
enum class TCapOrder { Top, Bottom };

// Appends the slab of the region, bevelled when asked and possible.
void AddExtrudedRegion(const TPolyRegion &region, const TExtrudeParams &params, TTriangleList &triangles);

// Adds dz to every z from triangle `firstIndex` to the end of the list.
void ShiftTrianglesZ(TTriangleList &triangles, int firstIndex, double dz);

double TriangleArea(const TVec3 &a, const TVec3 &b, const TVec3 &c);

// The open-shape warning: shown at most once between two resets when a cap cannot be
// triangulated. The export dialog sets the translated text and the function that shows
// it, and resets the warning each time it is shown. Without a function nothing is shown.
void SetOpenShapeWarning(std::string text, std::function<void(const std::string &)> show);
void ResetOpenShapeWarning();
void ShowOpenShapeWarning();
bool OpenShapeWarningShown();

// The steps of the extrusion, shared with the text recess and the jig.
TBevelEdgeMode BottomEdgeMode(const TExtrudeParams &params);
TBevelEdgeMode TopEdgeMode(const TExtrudeParams &params);
double BottomBevelSize(const TExtrudeParams &params);
double TopBevelSize(const TExtrudeParams &params);
bool BevelAsked(const TExtrudeParams &params);

// Appends (a, b, c) unless tiny triangles are skipped and its area is below the minimum.
void AddTriangle(const TVec3 &a, const TVec3 &b, const TVec3 &c, const TExtrudeParams &params,
                 TTriangleList &triangles);
// Triangulates the paths (even-odd) and appends the triangles at height z; false when the
// triangulation fails (nothing is added then). No paths add nothing and count as done.
bool AddPathsCap(const clip::PathsD &paths, double z, TCapOrder order, const TExtrudeParams &params,
                 TTriangleList &triangles);
// The wall along a ring between two heights; `ring` is cleaned first, and a ring of fewer
// than three points gets no wall.
void AddRingWallBetween(const TRing &ring, double z0, double z1, TWallOrder order, const TExtrudeParams &params,
                        TTriangleList &triangles);
// Outward walls of a whole region between two heights.
void AddRegionWalls(const TRing &outer, const std::vector<TRing> &holes, double z0, double z1,
                    const TExtrudeParams &params, TTriangleList &triangles);

// The plain slab.
void ExtrudeRegion(const TPolyRegion &region, const TExtrudeParams &params, TTriangleList &triangles);
// The levels of the bevelled slab in ascending z; empty with a reason when the bevels do
// not fit the height or an inset fails.
TBevelStack BuildBevelStack(const TPolyRegion &region, const TExtrudeParams &params, std::string &reason);
// The base region with its outer ring inset by `amount`, turned counter-clockwise and
// started near the base ring's first point. Not valid when the inset fails or when the
// inset outline no longer holds every hole.
TOffsetRegion InsetOuterForBevel(const TOffsetRegion &base, double amount);
// The walls between two neighbouring levels.
void AddLevelWalls(const TBevelStackItem &lower, const TBevelStackItem &upper, const TExtrudeParams &params,
                   TTriangleList &triangles);
// A band of triangles between ring a at z0 and ring b at z1 that uses every point of both
// rings. Rings of equal count are joined point by point; otherwise both start at matching
// points and the band advances along whichever ring is behind in length.
void AddRingStrip(const TRing &a, double z0, const TRing &b, double z1, TWallOrder order,
                  const TExtrudeParams &params, TTriangleList &triangles);
// The cap of a level; shows the open-shape warning when it cannot be triangulated.
bool AddLevelCap(const TBevelStackItem &level, TCapOrder order, const TExtrudeParams &params,
                 TTriangleList &triangles);
// Appends the bevelled slab; false with a reason (and nothing appended) when it fails.
bool TryAddBeveledExtrude(const TPolyRegion &region, const TExtrudeParams &params, TTriangleList &triangles,
                          std::string &reason);

}  // namespace quillon
