#pragma once
// Snapping: pulls the pointer onto control points of shapes, extra snap points (tangent
// points), intersections, the radial-repeat centre and the grid.
#include <vector>

#include "platform/geometry.h"

namespace quillon {

class TEditor;
class TShapeList;
class TQN_Path;

// The snap target nearest to the drawing-box pixel (x, y) within tolerancePx pixels.
// Control points and extra snap points compete within the tolerance, intersections within
// twice it; an intersection within the tolerance wins outright; the radial-repeat centre
// or the grid is tried only when nothing else was found. On success `target` (millimetres)
// is set and true returned; otherwise `target` is left as it was.
bool snapToNearest(const TEditor &editor, float x, float y, float tolerancePx, const TShapeList &shapes,
                   bool skipSelected, TPointF &target, bool skipHoles);

// The real position of a drawing-box pixel. With UseSticky, a snap target within 5 pixels
// (whole document, selected shapes and holes included) is returned exactly as found unless
// Ctrl was held at the last pointer event; otherwise the view's plain conversion
// (shell/view_transform.h). IgnoreStitchingHoles is accepted for the callers' sake and
// changes nothing.
TPointF virtualToReal(const TEditor &editor, TPointF VirtualPos, bool UseSticky = false,
                      bool IgnoreStitchingHoles = false);
TPointF virtualToRealXY(const TEditor &editor, float x, float y, bool UseSticky = false);

// The control points near `point` (millimetres) offered by the canvas and the centre-line
// tool: the nearest control point of the document alone (singlePoint true), or, when its
// shape is a free outline or a text, that shape's control points thinned where they crowd
// on screen (singlePoint false). Empty when the document has none; singlePoint is then
// left as it was.
std::vector<TPointF> snapCandidatesNear(TEditor &editor, TPointF point, bool &singlePoint);

// Appends to FSnapPoints the tangent points from `point` to every circle (an ELLIPSE whose
// width and height differ by at most 0.01 mm) on a visible layer.
void addCircleTangentSnapPoints(TEditor &editor, TPointF point);

// The two points where lines from `point` touch the circle; false (nothing set) when the
// point lies inside the circle.
bool getCircleTangentPoints(const TQN_Path &circle, TPointF point, TPointF &t1, TPointF &t2);

}  // namespace quillon
