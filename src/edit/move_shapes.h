#pragma once
// Moving shapes: one shape of any kind by an offset (the step that the arrow keys, shape
// dragging, paste, the generators and the path-object conversion share), the selection by
// an offset as one undo step, and the selection onto another layer.
#include "platform/geometry.h"

namespace quillon {

class TEditor;
class TQN_Path;

// Moves one shape by `offset` millimetres and rebuilds its outline: a line keeps its
// free-angle flag, an ellipse its size, a dot its radius, an arc its radii and sweep, a
// stitching hole is re-made at its new centre with its own rotation, iron and inversion.
// Outside the radial-repeat tool the repeat centre of a member moves along. The
// intersection records are the caller's to remove before and recompute after.
void translateShape(TEditor &editor, TQN_Path &shape, TPointF offset, bool followRadialCopies);
// Moves the selection (dots and holes included) by (dx, dy) with its intersection records
// and group frames kept right, as one undo step, and repaints. Nothing selected: nothing.
void moveSelectedShapes(TEditor &editor, float dx, float dy);
// Puts every selected shape on the layer and recomputes the records of the moved shapes,
// as one undo step. It does not repaint; callers do. Nothing selected: nothing.
void moveSelectionToLayer(TEditor &editor, int layer);

}  // namespace quillon
