#pragma once
// Closed chains: LINE, ARC and BEZIER shapes joined end to end into one closed outline,
// every joint shared by exactly two shapes, and the end-point searches behind them. Two
// ends meet when they lie within 0.1 mm of each other.
#include <vector>

#include "platform/geometry.h"

namespace quillon {

class TShapeList;
class TQN_Path;

// The distance of a and b (worked in double) when it is at most `limit`, else -1.
float cappedDistance(TPointF a, TPointF b, float limit);

// The LINE, BEZIER and ARC shapes of the list with an end within 0.1 mm of the point, in
// list order: a shape once for its start point and once more for its end point when both
// meet it. Layers and visibility play no part.
std::vector<TQN_Path *> shapesWithEndAt(const std::vector<TQN_Path *> &shapes, TPointF point);
std::vector<TQN_Path *> shapesWithEndAt(const TShapeList &shapes, TPointF point);

// The closed chain of the document's shapes through `shape`, in the order the walk from
// its two ends meets them; empty when the shape is not a LINE, ARC, BEZIER or ELLIPSE, or
// when a joint of the walk has one shape (an open end) or more than two (a branch). A
// shape whose own ends meet is a chain by itself; a circle on its own is none (it has no
// ends to meet).
std::vector<TQN_Path *> getClosedChain(const TShapeList &shapes, TQN_Path *shape);
// The same within a list of shapes; `shape` must be a LINE, ARC or BEZIER.
std::vector<TQN_Path *> getClosedChainIn(const std::vector<TQN_Path *> &list, TQN_Path *shape);

}  // namespace quillon
