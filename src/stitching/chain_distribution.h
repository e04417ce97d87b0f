#pragma once
// Holes along a chain: an ordered list of LINE, ARC and BEZIER shapes, each ending within
// 0.5 mm (in x and in y) of the start of the next, some of them reversed copies. This
// file orders a chain (sortChain), measures it and its shapes, and lays the holes of the
// "AllJunctions" corner mode, where every shape gets its own whole number of equal
// intervals so that a hole falls on every junction. The "SmartCorner" mode is in
// corner_distribution.h; both make and link their holes through placeChainHole.
//
// A count taken from a length ratio is the nearest whole number, halves to the even
// neighbour.
#include <memory>
#include <vector>

#include "model/shape.h"
#include "platform/geometry.h"

namespace quillon {

class THolePlacer;

// A new shape running the other way (line type, colour, thickness and dash of the
// source, ID -1): a LINE or BEZIER with its points in reverse order (the control points
// swapped), an ARC from its end to its start with the sweep negated. None for any other
// kind.
std::unique_ptr<TQN_Path> reversedShapeCopy(const TQN_Path &shape);

// Orders `source` into `chain` (cleared first): starting from each shape in turn, and
// failing that from its reversed copy, it appends the first remaining shape whose start
// lies within 0.5 of the chain's end in x and in y, else a reversed copy of the first
// whose end does; the longest chain found wins. True when it holds every shape; the
// reversed copies it uses are then moved into `created` (empty on entry), which the
// caller keeps until the holes are placed. With `preferStart` set (x not NaN) a chain
// whose start lies farther from it than its end is replaced by reversed copies of its
// shapes in reverse order, when every one of them can be reversed. On failure the chain
// and `created` stay empty.
bool sortChain(const std::vector<TQN_Path *> &source, std::vector<TQN_Path *> &chain,
               std::vector<std::unique_ptr<TQN_Path>> &created, TPointF preferStart);

// The straight segments of the shape's outline flattened at 0.25, forwards.
std::vector<TPathInterval> outlineIntervals(const TQN_Path &shape);
// Their summed length; and the summed lengths of a chain's shapes.
float shapeOutlineLength(const TQN_Path &shape);
float calcChainLength(const std::vector<TQN_Path *> &chain);

// The point at a length along segments, and the direction of the segment it lies on:
// from the first segment's start with direction (1, 0), the first segment whose end
// reaches the length (within 1e-9) holds the point; zero-length segments give no
// direction. Past the last segment, its end and direction.
void pointAtLength(const std::vector<TPathInterval> &segments, double length, TPointF &position,
                   TPointF &direction);
// The point at the fraction t (0..1) of the shape's outline length, with its direction.
void pointAtLengthFraction(const TQN_Path &shape, float t, TPointF &position, TPointF &direction);
// (a + b) normalised, or a when the sum is (nearly) zero.
TPointF bisectorDirection(TPointF a, TPointF b);

// One distribution run: the holes it made and the hole it last found in place.
struct TChainDistribution {
  explicit TChainDistribution(THolePlacer &placer) : Placer(placer) {}
  THolePlacer &Placer;
  int Count = 0;               // positions so far, holes found in place included
  TQN_Path *First = nullptr;     // the first hole made
  TQN_Path *Previous = nullptr;  // the last hole made
  TQN_Path *LastHit = nullptr;   // the hole found at the latest position, if any
};

// One hole position: a hole of the active layer closer than spacing / 2 is taken as it
// is (no new hole, no link); otherwise a hole turned along `direction` is made, linked
// after the run's previous hole (or, as the run's first, to the tool's last hole by
// linkToLastStitch) and added to the document.
void placeChainHole(TChainDistribution &run, TPointF position, TPointF direction, float spacing);
// The end of a run: an open chain that ended on a hole found in place has its last made
// hole link forward to it (when that has no next hole yet); a closed chain links its
// last and first made holes to each other.
void closeChainLinks(TChainDistribution &run, bool closed);

// The number of intervals of a shape of length L at the pitch: the nearest whole number,
// at least 1; with `evenForArc`, an odd count becomes the even neighbour (at least 2)
// whose spacing lies nearer the pitch, the higher one on a tie.
int intervalCount(float length, float pitch, bool evenForArc);

// "AllJunctions": each shape of length L gets k = intervalCount(L, pitch) equal intervals
// (an ARC an even k, unless it is the first or last shape of an open chain); a hole at
// the start of each interval, the junction holes turned along the bisector of the two
// shapes' directions there, and on an open chain a hole at the end. Shapes shorter than
// 1e-9 give no holes. `count` receives the number of positions.
void distributeHolesPerSegment(THolePlacer &placer, const std::vector<TQN_Path *> &chain, bool closed, float pitch,
                               int &count);

}  // namespace quillon
