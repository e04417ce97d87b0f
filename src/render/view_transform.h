#pragma once
// The view transform between drawing coordinates (real, millimetres) and drawing-box
// pixels (virtual): virtual = real x FScale + FOffset. Only the conversions the painters
// need; zoom, pan and snapping live with the pointer tools.
#include "platform/geometry.h"

namespace quillon {

class TEditor;
class TQN_Path;

// RealPos x FScale + FOffset, component by component.
TPointF realToVirtual(const TEditor &editor, TPointF RealPos);
TPointF realToVirtualXY(const TEditor &editor, float x, float y);

// The real position of a pixel without snapping: (VirtualPos - FOffset) / FScale worked in
// double precision, stored as single, then rounded to three decimals (halves to even).
TPointF virtualToReal(const TEditor &editor, TPointF VirtualPos);
TPointF virtualToRealXY(const TEditor &editor, float x, float y);

// The visible drawing rectangle in millimetres of a box of width x height pixels:
// (-FOffset) / FScale to ((width, height) - FOffset) / FScale.
TRectF visibleDrawingRect(const TEditor &editor, float width, float height);

// Moves a shape's outline into pixels in place: scaled by FScale (unless it is 1), then
// translated by Offset (normally FOffset); the cached boundary is reset. For copies and
// temporary preview shapes only, never for a shape of the document.
void pathToVirtual(const TEditor &editor, TQN_Path &Shape, TPointF Offset);

}  // namespace quillon
