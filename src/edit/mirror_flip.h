#pragma once
// Flipping the selection in place, mirrored copies across a picked line (the symmetry
// command), turning the selection so that a line becomes horizontal or vertical, and
// reversing the drawing direction of paths.
#include <vector>

#include "platform/geometry.h"

namespace quillon {

class TEditor;
class TQN_Path;

// p mirrored about the vertical line x = centre.x (horizontal) or the horizontal line
// y = centre.y.
TPointF flipPoint(TPointF p, TPointF centre, bool horizontal);
// Mirrors one shape in place (intersections are the caller's). Texts are left alone; a
// dot takes the stroke settings' dot radius.
void flipShape(TEditor &editor, TQN_Path &shape, TPointF centre, bool horizontal);
// Flips the selection about the middle of its bounding box; one undo step when anything
// was flipped.
void actFlipSelectedPathsExecute(TEditor &editor, bool horizontal);

// The angle in degrees (0..360) of a stitching hole mirrored across a line whose
// direction makes `lineAngle` degrees with the x axis: 2 lineAngle - rotation.
float mirroredHoleRotation(float rotation, float lineAngle);
// The image of p mirrored across the line through `origin` along the unit vector u.
TPointF reflectAcrossLine(TPointF p, TPointF origin, TPointF u);

// The symmetry command: marks the selection as the targets, deselects it and waits for
// the mirror line.
void actLineSymmetryExecute(TEditor &editor);
// The click on the mirror line: the marked shapes get mirrored copies; one undo step.
void commitLineSymmetry(TEditor &editor, TQN_Path &line);
// Adds a mirrored copy of every shape of the list (the line itself excepted) across the
// line, selected, on the active layer. The line is first made exactly horizontal or
// vertical when it lies within 0.5 degree of an axis. Holes mirrored together keep their
// sewing links among the copies. True when a copy was made.
bool mirrorCopyShapes(TEditor &editor, const std::vector<TQN_Path *> &shapes, TQN_Path &line);

// Turns the selection so that the right-clicked line becomes horizontal or vertical,
// by at most 90 degrees.
void actMakeSelectedLineAxisExecute(TEditor &editor, bool horizontal);
// Reverses every selected line, arc and Bezier; one undo step when any was reversed.
void actReversePathExecute(TEditor &editor);

}  // namespace quillon
