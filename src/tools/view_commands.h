#pragma once
// The commands that change the view: View All, wheel zoom and pan, touch gestures, arrow
// key panning and the view switches.
#include "platform/geometry.h"
#include "platform/input.h"
#include "shell/view_transform.h"

namespace quillon {

class TEditor;

// One wheel step of `WheelDelta` with the modifiers `Shift`. `pointer` is the mouse
// position in drawing-box pixels; outside the box the last pointer position is used.
void pboxMouseWheel(TEditor &editor, TShiftState Shift, int WheelDelta, TPointF pointer);

// Touch gestures of the drawing box.
enum class TGestureKind { Zoom, Pan, Other };
struct TGestureEvent {
  TGestureKind Kind = TGestureKind::Other;
  bool Begin = false;
  bool End = false;
  int Distance = 0;  // finger distance of a zoom gesture
  TPointF Location;  // drawing-box pixels
};
// Returns whether the gesture was handled (zoom and pan only).
bool pboxGesture(TEditor &editor, const TGestureEvent &event);

// The view switches.
void actShowHideGridExecute(TEditor &editor);
void actShowHideDimensionLinesExecute(TEditor &editor);  // F5, guarded against key repeat
void actShowHidePrintAreasExecute(TEditor &editor);      // F7, likewise
void actShowHideScaleExecute(TEditor &editor);           // the measuring ruler

// An arrow key without Ctrl: moves the view and the last pointer position by 50 pixels in
// the key's direction (dx, dy of -1, 0 or 1), reversed by ReverseCursorKeyGridAreaMove.
void panByArrowKey(TEditor &editor, int dx, int dy);

// The pointer pan while the right or middle button is held.
void followScreenDrag(TEditor &editor, TPointF pointer);

}  // namespace quillon
