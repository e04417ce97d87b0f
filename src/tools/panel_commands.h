#pragma once
// The commands behind the number boxes and check boxes of the ribbon: applying a typed
// length or size to the selection, and rebuilding the text being typed when its size,
// rotation, font, stretch, radius or fill changes. The window keeps the boxes' values in
// the editor's panel values (lengths in millimetres) and then calls these.
#include "platform/geometry.h"

namespace quillon {

class TEditor;
struct TPanelValues;

// Enter in the line tool's length box: every selected line gets the box's length.
void applyLineLengthToSelection(TEditor &editor);

// The size Enter in an ellipse box hands to the selected ellipses, as (width, height) in
// millimetres rounded to 0.0001 mm: (x, x) when only the diameter box is ticked, (y, y)
// when only the height box is, (x, y) with both, (0, 0) with neither.
TPointF ellipseSizeOfPanel(const TPanelValues &panel);
// Enter in one of the ellipse tool's boxes: the selected ellipses get that size.
void applyEllipseSizeToSelection(TEditor &editor);

// A text box of the text tool changed (size, rotation, font, stretch, radius, direction or
// fill): the TEXT being typed is laid out again with the panel's values. Each change
// counts as one pending text change, all of which become one undo step later (on a key
// release, a tool change, a click on the drawing, undo). False when there is no text being
// typed or nothing differs from it.
bool rebuildEditedText(TEditor &editor);

}  // namespace quillon
