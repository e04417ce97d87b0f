#pragma once
// Numeric size commands of the selection: the typed length of the selected lines, the
// typed size of the selected ellipses, the opacity of the selected templates and the line
// thickness of the selection.

namespace quillon {

class TEditor;

// Every selected LINE (dots and holes aside) keeps its start point and direction and ends
// `length` millimetres from it; its intersections are recomputed. When any line changed:
// a repaint and one undo snapshot. A line of no length has no direction and stays.
void setSelectedLinesLength(TEditor &editor, float length);

// Every selected ELLIPSE is rebuilt about its centre with the width and height in
// millimetres; its intersections are recomputed. When any changed: a repaint and one
// undo snapshot. A size that is not above 0 in both directions would leave no outline and
// changes nothing.
void setSelectedEllipsesSize(TEditor &editor, float width, float height);

// The opacity of every selected template (OTHER shape) one step of 0.1 up (to at most 1)
// or down (to at least 0.2). When any changed: one undo snapshot and a repaint.
void changeTemplateOpacity(TEditor &editor, bool up);

// One step of the selection's line thickness: +0.5 for a delta above 0, else -0.5, for
// every selected shape (dots and holes aside) still inside 1..20 on the side it moves
// away from. Takes an undo snapshot and repaints, changed or not.
void changeSelectedThickness(TEditor &editor, float delta);

}  // namespace quillon
