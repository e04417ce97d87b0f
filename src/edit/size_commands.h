#pragma once
// Numeric size commands of the selection.

namespace quillon {

class TEditor;

// One step of the selection's line thickness: +0.5 for a delta above 0, else -0.5, for
// every selected shape (dots and holes aside) still inside 1..20 on the side it moves
// away from. Takes an undo snapshot and repaints, changed or not.
void changeSelectedThickness(TEditor &editor, float delta);

}  // namespace quillon
