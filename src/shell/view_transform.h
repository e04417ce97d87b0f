#pragma once
// The view: the transform between drawing coordinates (real, millimetres) and drawing-box
// pixels (virtual): virtual = real x FScale + FOffset, with one scale for both axes. Only
// the conversions and View All live here; the commands that zoom and pan by pointer,
// wheel, gesture and key are in tools/view_commands.h, and the conversion of a pointer
// position that snaps to the drawing is tools' virtualToReal (tools/snapping.h).
#include "platform/geometry.h"

namespace quillon {

class TEditor;
class TQN_Path;

inline constexpr float kMinScale = 0.1f;
inline constexpr float kMaxScale = 200.0f;

// The view state of the drawing box.
struct TViewState {
  float FScale = 10.0f;  // pixels per millimetre
  TPointF FOffset;        // pixels
  float FBoxWidth = 0.0f;   // drawing box size in pixels, set by the window
  float FBoxHeight = 0.0f;
  TPointF FOriginalOffset;  // FOffset when a pointer pan started
  TPointF FGesturePrevLocation;
  float FGestureLastZoomDistance = 0.0f;  // 0 or less: no zoom gesture under way
};

// RealPos x FScale + FOffset, component by component.
TPointF realToVirtual(const TViewState &view, TPointF RealPos);
TPointF realToVirtualXY(const TViewState &view, float x, float y);

// The real position of a pixel without snapping: (VirtualPos - FOffset) / FScale worked in
// double precision, stored as single, then rounded to three decimals (halves to even).
TPointF virtualToReal(const TViewState &view, TPointF VirtualPos);
TPointF virtualToRealXY(const TViewState &view, float x, float y);

// The visible drawing rectangle in millimetres of a box of width x height pixels:
// (-FOffset) / FScale to ((width, height) - FOffset) / FScale; without a size, the
// drawing box.
TRectF visibleDrawingRect(const TViewState &view, float width, float height);
TRectF visibleDrawingRect(const TViewState &view);

// A tolerance in pixels as millimetres at the current scale (undivided at scale 0).
float pixelsToMm(const TViewState &view, float pixels);

// Moves a shape's outline into pixels in place: scaled by FScale (unless it is 1), then
// translated by Offset (normally FOffset); the cached boundary is reset. For copies and
// temporary preview shapes only, never for a shape of the document.
void pathToVirtual(const TViewState &view, TQN_Path &Shape, TPointF Offset);

// View All: fits the control points of all shapes with a 5 mm margin into the drawing
// box (scale rounded up to the next 0.1, not clamped above; never below the smallest
// scale 0.1, which a drawing too large for the box would otherwise round to 0); an empty
// document gets scale 10 at offset (0, 0).
void actResetViewExecute(TEditor &editor);

}  // namespace quillon
