#pragma once
// The previews the paint pass draws while the line, Bezier, rectangle and arc tools
// collect points (the rubber band with its length labels), the range-selection rectangle
// and the placement cross of a text with nothing typed yet. They change nothing in the
// document, and they build their geometry with the tools' own rules (tools/draw_tools.h),
// so that what is previewed is what a click creates.
#include "platform/geometry.h"

class QPainter;

namespace quillon {

class TEditor;

// The rubber band of the line, Bezier, rectangle or arc tool once it has a clicked point;
// `cur` is the current point of the frame (the pointer in millimetres, or the sticky
// point). Nothing for the other tools.
void drawDrawingToolRubberBand(TEditor &editor, QPainter &canvas, TPointF cur);

// The dotted rectangle from the press to the pointer while a range selection is drawn.
void drawRangeSelectionRect(const TEditor &editor, QPainter &canvas);

// A dotted cross at the anchor of a new text until its first character is typed.
void drawTextPlacementCross(const TEditor &editor, QPainter &canvas);

}  // namespace quillon
