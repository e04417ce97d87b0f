#pragma once
// The pointer handlers of the drawing box: press, move, release and double click form one
// state machine whose state lives in the editor. Every position is a drawing-box pixel.
// The canvas widget and the automation interface's click route call these; tests drive
// them with synthetic input.
#include "platform/geometry.h"
#include "platform/input.h"

namespace quillon {

class TEditor;

void pointerDown(TEditor &editor, TMouseButton Button, TShiftState Shift, float X, float Y);
void pointerMove(TEditor &editor, TShiftState Shift, float X, float Y);
void pointerUp(TEditor &editor, TMouseButton Button, TShiftState Shift, float X, float Y);
void pointerDoubleClick(TEditor &editor);

// The distance from the last press to (x, y) is less than 1 pixel.
bool isClickWithoutMove(const TEditor &editor, float x, float y);

// Selection by click at the drawing-box pixel (x, y), the release's fallback when the
// pressed tool created nothing. `pt` is the clicked real point. False when the click
// ended the release itself (it picked the mirror line of the symmetry command).
bool selectByClick(TEditor &editor, TShiftState Shift, float x, float y, TPointF pt);

// Leaves the corner-rounding mode (returning to the select tool) when it is on.
void leaveMentoriMode(TEditor &editor);

}  // namespace quillon
