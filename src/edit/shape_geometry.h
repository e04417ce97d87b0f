#pragma once
// Small geometric services of the editing commands that the drawing tools share: turning
// an elliptical arc into Bezier curves, snapping a nearly axis-parallel line onto the
// axis, the straight piece of an outline under a point, a direction with the angle that
// stamps use, and the crossing of two infinite lines.
#include <vector>

#include "platform/geometry.h"

namespace quillon {

class TEditor;
class TQN_Path;

// New BEZIER shapes (current pen, new IDs from the document, not added to it) along the
// ellipse c + (axisEnd1 - c) cos t + (axisEnd2 - c) sin t from startAngle through sweep
// (radians); a negative sweep runs the other way, one beyond a full turn is cut back to
// one. A sweep up to 90 degrees is one part; a full turn (within 0.001 of 2 pi) is four;
// any other is cut into the fewest equal parts of at most 90 degrees (the single nearest
// to pi gives three, since it lies above pi). Each part uses the handle factor
// 4/3 tan(part / 4). A sweep of 0 gives no curve. The caller owns the shapes.
std::vector<TQN_Path *> ellipticalArcToBeziers(TEditor &editor, TPointF center, TPointF axisEnd1, TPointF axisEnd2,
                                               float startAngle, float sweep);

// How straightenToAxis chooses the axis.
enum class TAxisMode { Automatic = 0, Horizontal = 1, Vertical = 2 };

// Makes a LINE horizontal or vertical. Automatic does so only when the line lies within
// limitDegrees of the nearest axis (a negative limit counts as 0.5), choosing horizontal
// when its direction, folded into -90..90 degrees, is within 45 degrees of horizontal.
// keepStart moves the end point, otherwise the start point moves. True when a
// coordinate changed (the outline is then rebuilt); false for any other kind.
bool straightenToAxis(TQN_Path &shape, TAxisMode mode, bool keepStart, float limitDegrees);

// Over the straight pieces of the flattened outlines of `shapes`: the non-degenerate
// piece passing within 0.01 mm of `point` that lies nearest to it. Gives its unit
// direction (first to second point) and its shape; false when no piece is that close.
bool nearestSegmentDirection(const std::vector<TQN_Path *> &shapes, TPointF point, TPointF &direction,
                             TQN_Path *&shape);

// The unit direction from `from` to `to` as (cos a, sin a), a = atan2 of the difference,
// and `angle` = a - 90 degrees. An x difference of exactly 0 gives (0, 1) with angle 0
// (y difference 0 or more) or (0, -1) with angle 180.
TPointF unitDirectionAndAngle(TPointF from, TPointF to, float &angle);

// The crossing of the line through p1 along d1 with the line through p2 along d2, from
// the segments p1 +- k d1 and p2 +- k d2 with k = 1000, then 10000, then 100000 while no
// crossing is found. False when the lines are parallel.
bool intersectInfiniteLines(TPointF p1, TPointF d1, TPointF d2, TPointF p2, TPointF &point);

}  // namespace quillon
