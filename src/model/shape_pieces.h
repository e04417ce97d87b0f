#pragma once
// A shape taken apart into cubic pieces, and the stroke comparison that decides whether
// two shapes may be joined into one outline.
#include <memory>
#include <vector>

namespace quillon {

class TQN_Path;

// The cubic Beziers of an ARC, one per equal piece of at most 90 degrees, in order from
// the arc's start: copies of the arc cut with splitArc and turned with
// convertArcToBezier. The arc itself is not changed.
std::vector<std::unique_ptr<TQN_Path>> arcToBezierPieces(const TQN_Path &arc);

// Equal colour, thickness (exactly) and dash style.
bool hasSameStroke(const TQN_Path &a, const TQN_Path &b);

}  // namespace quillon
