#pragma once
// "Fix alignment & connection issues (whole drawing)": tidies the whole drawing in passes
// until a pass changes nothing (at most 50), as one undoable edit. A pass snaps shape ends
// that lie within 0.2 mm of each other onto common joints, makes lines within 0.5 degree
// of an axis exactly horizontal or vertical and puts ends lying on such lines exactly on
// them; then loose ends near an arc are pulled onto it, and near-axis lines that stop
// short of or overshoot an oblique line are extended or trimmed along their own direction
// to meet it.
namespace quillon {

class TEditor;

// The command; returns the number of edits. Reports on the status line; takes one undo
// step when anything changed.
int regularizeAllShapes(TEditor &editor);
// Rebuilds the BEZIERs whose outline no longer starts and ends at their stored ends
// (0.01 mm); returns their number. No undo step of its own.
int resyncBezierEnds(TEditor &editor);

// The steps of one pass, each returning its number of edits.
int regularizeJoints(TEditor &editor);  // joints, axis lines and ends on them
int attachEndsToArcs(TEditor &editor);
int meetObliqueLines(TEditor &editor);

}  // namespace quillon
