#pragma once
// "Fix alignment & connection issues": repairs the drawing-check defects that touch one
// shape (gaps at its ends, near-crossings at its ends, a slight tilt, ends just short of
// or past another line or arc) as one undoable edit.
namespace quillon {

class TEditor;
class TQN_Path;

// The repair of one shape. Nothing happens (no undo step) for a shape the check does not
// look at or that has nothing to repair. A tilted LINE turns about its end farther from
// the last right click (FLastRightClickRealPos).
void resolveIssues(TEditor &editor, TQN_Path *shape);
// The context-menu command: resolveIssues for the right-clicked shape, if any.
void resolveIssuesOfClickedShape(TEditor &editor);

}  // namespace quillon
