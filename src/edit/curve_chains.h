#pragma once
// Shapes joined end to end: closing hairline gaps between curve ends, the unambiguous
// chain through a shape, and the double-click selection of a connected outline.
#include <vector>

#include "platform/geometry.h"

namespace quillon {

class TEditor;
class TQN_Path;

// Every ARC and BEZIER end closer than 0.1 mm to (but not exactly at) an end of another
// shape that is not a LINE is moved onto that end and the curve rebuilt (an arc keeps
// its centre, radii and sweep; a Bezier its control points). LINEs are never moved and
// never targets. The caller takes the undo snapshot.
void weldCurveEnds(TEditor &editor);

// The chain of LINE, BEZIER and ARC shapes continuing `shape` at both ends while the way
// on is unambiguous (exactly one new shape with an end within 0.1 mm), from the head end
// to the tail end; at most about 500 shapes. Empty for other kinds. Shapes inside the
// chain keep their own direction.
std::vector<TQN_Path *> collectShapeChain(TEditor &editor, TQN_Path *shape);

// The double click: from the first LINE, BEZIER or ARC under the drawing-box pixel, selects
// the shapes chained end to end with it that share its line type (a visible one) and,
// unless Alt was held, its layer. True when at least one shape was newly selected.
bool selectConnectedShapes(TEditor &editor, TPointF point);

}  // namespace quillon
