#pragma once
// The shape a stitching hole lies on (its host) and where along that shape it lies.
//
// A host is a LINE, ARC or BEZIER that the drawing check looks at (not a dimension line,
// on a visible layer) and that passes within 0.6 mm of the hole's centre. Among hosts
// nearly as near as the nearest one (at most 0.1 mm farther) a caller may prefer those
// that more holes chose: the votes of a first pass without preferences.
#include <unordered_map>

#include "platform/geometry.h"

namespace quillon {

class TQN_Path;
class TShapeList;

// Per host, the number of holes that chose it.
using THostVotes = std::unordered_map<const TQN_Path *, int>;

// A hole farther than this from every shape has no host (millimetres).
inline constexpr float kHoleHostReach = 0.6f;
// Candidates at most this much farther than the nearest one compete by their votes.
inline constexpr float kHoleHostVoteBand = 0.1f;

// The position of `point` along `host`, used to order the holes of one host:
// - LINE: the signed distance from the start point along the line's direction (not
//   limited to its length); 0 for a line of zero length.
// - ARC: the angle in radians from the start point, counted in the sweep's direction,
//   in [0, 2 pi).
// - BEZIER: the length along its outline polyline up to the foot of the point on the
//   nearest outline piece (the first of equally near pieces).
// 0 for no host and for any other kind.
float holeParamOnHost(const TQN_Path *host, TPointF point);

// The host of the hole (its centre is what counts), or null; `param` is the hole's
// position along it (0 without host). Without votes the nearest candidate wins, the first
// in document order among equally near ones; with votes, among the candidates within
// 0.1 mm of the nearest, the one with most votes, then the nearer, then the first.
// An arc is a candidate only where the point nearest the hole lies within its sweep.
TQN_Path *findHoleHost(const TShapeList &doc, const TQN_Path &hole, float &param,
                       const THostVotes *votes = nullptr);

}  // namespace quillon
