#pragma once
// Hit testing: which shapes lie under a point. Tolerances are fixed in drawing-box pixels
// and divided by the view scale, so a hit feels the same at every zoom.
#include <vector>

#include "platform/geometry.h"

namespace quillon {

class TEditor;
class TShapeList;
class TQN_Path;

inline constexpr float kProbeTolerancePx = 9.95f;   // drag start, context menu, probe route
inline constexpr float kLooseTolerancePx = 11.89f;  // plain click selection, eyedropper
inline constexpr float kStrictTolerancePx = 7.52f;  // every other hit test
inline constexpr float kLineEndTolerancePx = 9.95f;

// The shapes under the real point, topmost first (the caller owns the list, not the
// shapes). The tolerance is the probe one when `probe`, else the loose one when `loose`,
// else the strict one. `insideOther` also hits free outlines anywhere inside them;
// `allLayers` lifts the active-layer restriction. Writes FClickedPathIndex of hit shapes.
// With the loose tolerance and several hits only the nearest and the shapes ending at the
// snapped point stay.
std::vector<TQN_Path *> hitTestShapes(const TEditor &editor, const TShapeList &shapes, bool probe, TPointF point,
                                      bool loose, bool insideOther, bool allLayers);
// The same for a drawing-box pixel, converted without snapping.
std::vector<TQN_Path *> shapesAtScreenPoint(const TEditor &editor, const TShapeList &shapes, bool probe, float x,
                                            float y, bool loose, bool insideOther, bool allLayers);

// The first selected shape under the pixel with the probe tolerance on all layers (again
// with the inside test when nothing was found).
bool selectedShapeAt(const TEditor &editor, float x, float y, TQN_Path *&shape);
// The first shape under the pixel, strict tolerance, all layers (again with the inside
// test), whose layer is not the active one.
bool shapeOnOtherLayerAt(const TEditor &editor, float x, float y, TQN_Path *&shape);
// For a LINE, BEZIER or ARC: its start point when within 9.95 pixels of the pixel (x, y),
// else its end point when that is.
bool lineEndpointAt(const TEditor &editor, const TQN_Path *shape, float x, float y, TPointF &point);
// The stitching hole of the active layer whose centre lies nearest to the real point and
// closer than `distance` (millimetres), whatever the view shows (THoleFinder, for one
// question; placing routines keep a finder for the whole run).
TQN_Path *findHoleNear(const TEditor &editor, TPointF point, float distance);
// findHoleNear at the raw real point of a drawing-box pixel.
TQN_Path *holeAtScreenPoint(const TEditor &editor, float x, float y, float distance);

}  // namespace quillon
