#pragma once
// The "SmartCorner" corner mode: holes along an ordered chain (sortChain) so that every
// sharp corner carries a hole, every short arc exactly one hole at its middle, and the
// holes between these fixed points are spaced evenly, as near the pitch as a whole number
// of intervals allows. Junctions that continue smoothly get no hole of their own.
#include <vector>

#include "model/shape.h"
#include "platform/geometry.h"

namespace quillon {

class THolePlacer;

// The unit direction in which a shape leaves its start, and arrives at its end: a LINE
// its chord; a BEZIER towards its first control point (from its second, at the end),
// falling back to the other control point and then to the chord; an ARC the tangent of
// its sweep. (0, 0) for other kinds and for vectors of length 1e-9 or less.
TPointF startTangent(const TQN_Path &shape);
TPointF endTangent(const TQN_Path &shape);
// The angle (degrees) between shape a arriving and shape b leaving at their junction:
// 180 for a straight continuation, 90 for a right angle, near 0 for a hairpin; 180 when
// either tangent is (0, 0).
float junctionAngle(const TQN_Path &a, const TQN_Path &b);

// The first or the second half (by length) of the shape's outline segments.
std::vector<TPathInterval> halfOutlineIntervals(const TQN_Path &shape, bool second);

// "SmartCorner": a junction whose angle is below `threshold` degrees is a corner and gets
// a hole (every shape's start on an open chain's first shape too); an ARC that the pitch
// divides into 2 gets one hole at its middle (not the first or last shape of an open
// chain); each run of shapes between these points is divided into the nearest whole
// number of equal intervals; an open chain gets a hole at its end. A closed chain starts
// at its first corner. `count` receives the number of positions.
void distributeHolesSmartCorner(THolePlacer &placer, const std::vector<TQN_Path *> &chain, bool closed, float pitch,
                                float threshold, int &count);

}  // namespace quillon
