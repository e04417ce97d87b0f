#pragma once
// The snap marks of a frame: the extra snap points, the sticky point the tool previews
// use, the pointer mark and the highlight of the snap targets near the pointer.
#include "platform/geometry.h"

class QPainter;

namespace quillon {

class TEditor;

// The extra snap points: blue dots of 3 px ringed in red.
void drawSnapPoints(const TEditor &editor, QPainter &canvas);

// The point the tool previews use: the sticky point (marked with a handle-coloured dot)
// unless there is none or Ctrl is held, else the raw pointer in millimetres.
TPointF drawCurrentPoint(const TEditor &editor, QPainter &canvas);
// The same point without painting.
TPointF currentToolPoint(const TEditor &editor);

// The pointer mark while a drag, a tool or the ruler needs it, and the rings around the
// snap targets near the marked point. The highlight may move the sticky point and the
// last pointer position onto a target the pointer already sits on.
void drawPointerMark(TEditor &editor, QPainter &canvas);

}  // namespace quillon
