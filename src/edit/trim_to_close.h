#pragma once
// Trim-to-close: tidies a group of connected lines, arcs and Bezier curves of one line
// type into a closed outline. Ends that overhang past a crossing are cut back to it, ends
// that almost meet are pulled together, and one remaining gap is closed with a line.
#include <memory>
#include <vector>

#include "platform/geometry.h"

namespace quillon {

class TEditor;
class TQN_Path;

// Ends of the set within this distance meet (millimetres).
inline constexpr float kChainEndReach = 0.1f;
// Two ends farther apart than kChainEndReach and no farther than this are pulled together.
inline constexpr float kChainJoinReach = 0.3f;
// At most this many passes of cutting back.
inline constexpr int kTrimToClosePasses = 20;

// The shape and every LINE, ARC or BEZIER linked to it through the document's records, of
// its line type and on visible layers, in the order found. Empty unless the shape is a
// LINE, ARC or BEZIER.
std::vector<TQN_Path *> getConnectedSameLineType(const TEditor &editor, TQN_Path *shape);
// Tidies the set in place (its shapes reshaped; the records are the caller's). A closing
// line, when one is made, is appended to the set and handed over in `made`; it is not in
// the document. True when no end of the set is left dangling.
bool trimToClose(TEditor &editor, std::vector<TQN_Path *> &set, std::vector<std::unique_ptr<TQN_Path>> &made);
// The command of the drawing's pop-up menu on a shape: tidies its connected group of one
// line type as one undo step and reports the result on the status line. False, with
// nothing changed, when the shape has no such group.
bool trimToCloseCommand(TEditor &editor, TQN_Path *shape);

}  // namespace quillon
