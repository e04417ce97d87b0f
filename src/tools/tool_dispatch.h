#pragma once
// The click of the pressed drawing tool: the release of a left-button click hands the
// clicked point to the tool's commit step.
#include "platform/geometry.h"
#include "platform/input.h"

namespace quillon {

class TEditor;

// Runs the pressed tool's commit step for a click at `pt` (millimetres: the sticky point
// or the raw pointer). `same` is true when `pt` equals the point collected last; tools
// that need a new point then do nothing. Sets FShapeCreated when a shape was created.
void dispatchToolClick(TEditor &editor, TPointF pt, bool same, TShiftState Shift);

}  // namespace quillon
