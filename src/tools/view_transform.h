#pragma once
// The view transform between drawing coordinates (real, millimetres) and drawing-box
// pixels (virtual): virtual = real x FScale + FOffset. Only the conversions the painters
// the painters and the pointer tools need; the commands that change the view are in
// tools/view_commands.h.
#include "platform/geometry.h"

namespace quillon {

class TEditor;
class TQN_Path;

// RealPos x FScale + FOffset, component by component.
TPointF realToVirtual(const TEditor &editor, TPointF RealPos);
TPointF realToVirtualXY(const TEditor &editor, float x, float y);

// The real position of a pixel. With UseSticky, a snap target within 5 pixels (whole
// document, selected shapes and holes included) is returned exactly as found unless Ctrl
// was held at the last pointer event. Otherwise (VirtualPos - FOffset) / FScale worked in
// double precision, stored as single, then rounded to three decimals (halves to even).
// IgnoreStitchingHoles is accepted for the callers' sake and changes nothing.
TPointF virtualToReal(const TEditor &editor, TPointF VirtualPos, bool UseSticky = false,
                      bool IgnoreStitchingHoles = false);
TPointF virtualToRealXY(const TEditor &editor, float x, float y, bool UseSticky = false);

// The visible drawing rectangle in millimetres of a box of width x height pixels:
// (-FOffset) / FScale to ((width, height) - FOffset) / FScale; without a size, the
// editor's drawing box.
TRectF visibleDrawingRect(const TEditor &editor, float width, float height);
TRectF visibleDrawingRect(const TEditor &editor);

// A tolerance in pixels as millimetres at the current scale (undivided at scale 0).
float pixelsToMm(const TEditor &editor, float pixels);

// Moves a shape's outline into pixels in place: scaled by FScale (unless it is 1), then
// translated by Offset (normally FOffset); the cached boundary is reset. For copies and
// temporary preview shapes only, never for a shape of the document.
void pathToVirtual(const TEditor &editor, TQN_Path &Shape, TPointF Offset);

}  // namespace quillon
