#pragma once
// The positioning jig: a slab whose outline is a rectangle around the pattern or an
// offset of it, with a pocket shaped like the pattern plus a clearance into which the cut
// piece is laid. A blind pocket leaves a floor that carries the finger holes, the
// through-holes of the stitching holes, the inner contour and engraved text; a through
// pocket leaves a frame.
#include <vector>

#include "stl/regions.h"
#include "stl/stl_export_settings.h"

namespace quillon {

struct TSTLTemplateFingerHole {
  double X = 0;
  double Y = 0;
  double Diameter = 0;
};

struct TSTLTemplateSettings {
  TSTLTemplateOuterMode OuterMode = TSTLTemplateOuterMode::omRectMargin;
  double OuterMargin = 5;     // around the pattern's box, or the offset distance
  double OuterWidth = 100;    // the explicit rectangle
  double OuterHeight = 100;
  double OuterCornerRadius = 0;
  double PocketGap = 0.2;     // clearance around the pattern
  double TotalHeight = 5;
  double PocketDepth = 5;     // the total height or more: a through pocket
  bool FingerHoleAtCentroid = true;
  double CentroidFingerDiameter = 8;
  std::vector<TSTLTemplateFingerHole> CustomFingerHoles;
  std::vector<TRing> StitchHoles;      // through-holes of the floor
  std::vector<TRing> EngraveContours;  // text cut into the floor
  double EngraveDepth = 0;
  bool EngraveOnBottom = true;  // into the underside, mirrored, rather than the pocket floor
  bool KeepNestedContours = false;
  int ArcSteps = 8;              // per rounded corner; circles get max(16, 4 * ArcSteps) points
  bool FlipZForPreview = false;  // mirror the result in z at the end
  int DebugMode = 0;             // 1, 2, 3: the outline, the pocket or both as plain solids
};

TSTLTemplateSettings DefaultTemplateSettings();

// The jig's triangles for the flattened rings of the pattern. The separate text bodies go
// to `textBodies` when given. Empty rings, a height of 0 or less, an empty union or an
// empty outline give no triangles.
TTriangleList BuildTemplateMesh(const std::vector<TRing> &rings, const TSTLTemplateSettings &settings,
                                TTriangleList *textBodies);

// Helpers of the builder, open for tests.
TPointF PolygonCentroid(const clip::PathD &ring);
clip::PathD RoundedRectRing(double left, double top, double right, double bottom, double radius, int steps);
clip::PathD CirclePathD(double cx, double cy, double radius, int n);
clip::PathsD FilterSmallPaths(const clip::PathsD &paths, double minArea, double minThickness);
// z' = h - z with the facing kept, from triangle `firstIndex` on.
void FlipTrianglesZ(TTriangleList &triangles, double h, std::size_t firstIndex = 0);

}  // namespace quillon
