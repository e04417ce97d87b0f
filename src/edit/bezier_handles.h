#pragma once
// Editing at Bezier handles: the three commands of a handle's context menu that adjust
// the handle across the joint, the G1 and G2 smoothing of chains of Beziers (shared with
// the automation routes), and the switch of the selected Beziers' offset support lines.
#include <QString>

#include <string>
#include <vector>

namespace quillon {

class TEditor;
class TQN_Path;

// What the handle commands do with the handle on the other side of the edited one's joint.
enum class TOpponentHandle {
  Flat,        // turned onto the line of the edited handle, keeping its own length
  SameLength,  // its own direction, the edited handle's length
  Symmetric,   // the mirror image of the edited handle through the joint (a line there
               // becomes that mirror image when no Bezier continues the curve)
};
// Runs while a handle is being edited (FBezierEditInfo); one undo step when a neighbour
// was changed.
void adjustOpponentHandle(TEditor &editor, TOpponentHandle how);

// The outcome of a smoothing run.
struct TSmoothResult {
  int UpdatedCount = 0;  // Bezier rebuilds, one per handle set
  bool ClosedLoop = false;
  int ChainLength = 0;
};
// Smooths the joints of the chain (in its order): every handle at a joint turns to the
// common direction (the fixed neighbour's, or the mean of both), keeping its length;
// with `g2` the two handles of a Bezier-to-Bezier joint then take the mean of their
// lengths. End points and lines and arcs never change. Takes an undo snapshot and
// refreshes the canvas.
TSmoothResult smoothChain(TEditor &editor, const std::vector<TQN_Path *> &chain, bool g2);
// The reply text of a smoothing run.
std::string smoothReplyText(const TSmoothResult &result);
// The commands: the selected Beziers (one alone: the chain through it; several: the list
// in document order) smoothed, the reply shown on the ID line. Nothing without a Bezier.
void actBezierSmoothingExecute(TEditor &editor, bool g2);

// Inverts the offset-support switch of every selected Bezier; one undo step when any.
void actShowHideBezierOffsetSupportExecute(TEditor &editor);

}  // namespace quillon
