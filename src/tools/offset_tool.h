#pragma once
// The offset tool: a parallel copy of the selected shapes at the panel's distance, on the
// side of the pointer. While the tool is active the canvas shows the copy as a preview
// that follows the pointer; a click on empty canvas makes it. Two or more lines, arcs and
// Bezier curves that form one chain are offset as one chain with joined corners; any
// other selection shape by shape.
#include <memory>
#include <vector>

#include "platform/geometry.h"

class QPainter;

namespace quillon {

class TEditor;
class TQN_Path;
struct TOffsetPen;

// With a canvas: draws the preview (nothing changes, no ID is used). Without: makes the
// copies (current pen, active layer, not selected), then clears the selection; one undo
// step when any copy was made. Returns the number of copies made.
int runOffsetTool(TEditor &editor, QPainter *canvas);

// `point` moved perpendicular to the line through lineStart and lineEnd by the distance,
// to the side of `side` (millimetres).
TPointF offsetPointTowardCursor(TPointF point, TPointF lineStart, TPointF lineEnd, TPointF side, float distance);
// The single-shape copies made with the pen (none when they would have no size).
// An arc goes outward when the line from its centre to the side point crosses it; an
// ellipse when the point lies outside half its width; a Bezier to the side whose copy's
// ends lie nearer the point.
// The ellipse's copy also shows the pointer's distance from its centre on the length line.
std::unique_ptr<TQN_Path> offsetLineShape(const TOffsetPen &pen, const TQN_Path &line, TPointF side, float distance);
std::unique_ptr<TQN_Path> offsetArcShape(const TOffsetPen &pen, TQN_Path &arc, TPointF side, float distance);
std::unique_ptr<TQN_Path> offsetBezierShape(const TOffsetPen &pen, const TQN_Path &curve, TPointF side, float distance);
std::unique_ptr<TQN_Path> offsetEllipseShape(TEditor &editor, const TOffsetPen &pen, const TQN_Path &ellipse,
                                             TPointF side, float distance);

}  // namespace quillon
