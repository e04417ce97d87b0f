#pragma once
// The stitching tool (sbStitch, key P): a click on one closed outline pricks the whole
// loop; a click on a shape end or an intersection opens a route; each further click
// presses the iron once toward a crossing of its reach circle, or, on a vertex of the
// route network, pricks the whole route from the origin to that vertex. While a route is
// open the drawing box shows where the next press would put its holes.
//
// The tool's state between clicks is TToolState's (FStitchingCount, FStitchRealOrigin,
// FStitchRealLastPos, ...), its options the pricking tab's (TPanelValues).
class QPainter;

#include "platform/geometry.h"

namespace quillon {

class TEditor;

// The tool's click at a drawing-box pixel (the left-button release).
void placeStitchingHoles(TEditor &editor, float X, float Y);

// One press of the iron from FStitchRealLastPos toward RealPos: up to the prong count of
// holes a pitch of the iron apart; a position that already holds a hole within pitch / 2
// (pitch: the pricking tab's pitch) gets none. True when a hole was made.
bool pressPrickingIron(TEditor &editor, TPointF RealPos, float pitch);

// The preview of the next press while a route is open: the network route to the snap
// point, the reach circle, and the holes a press toward the pointer would make.
void drawPrickingIronPreview(TEditor &editor, QPainter &canvas);

// Pricks the route between two drawing points as the tool's two clicks (P1 must be a
// shape end or an intersection).
void stitchBetweenPoints(TEditor &editor, TPointF P1, TPointF P2);

}  // namespace quillon
