#pragma once
// The two intersection finders.
//
// The analytic finder (IntersectShapes) works from the shapes' parameters: lines as
// segments, circles and circular arcs exactly, Beziers through the straight pieces of
// their cached outline. It is fast and reports a point where two shapes merely touch at
// their ends once and as not crossing. An ELLIPSE or ARC whose two radii differ is not a
// circle; such a pair is handed to the outline finder so that the records lie on the
// drawn outline.
//
// The outline finder (calcPathIntersections) crosses the straight segments of the two
// cached outlines; in extend mode two segments also meet where their lines meet beyond
// their ends.
//
// Both return a new list whose records the caller owns (list and records alike). Path1
// of every record is the first shape argument, Path2 the second, and PathID1/PathID2 hold
// their IDs.
#include <unordered_map>
#include <vector>

#include "model/intersection.h"
#include "model/segment_runs.h"
#include "model/shape.h"
#include "platform/geometry.h"

namespace quillon {

class TShapeList;

// A plain list of intersection records as the finders return it; the caller frees the
// records (the list itself is a value).
using TIntersectionList = std::vector<TIntersection *>;

// The straight pieces of Beziers' cached outlines and the boxes of their runs, built once
// per curve. A caller that intersects many pairs while no shape changes keeps one for
// the whole pass, so a curve that meets many others is walked once, not once per pair.
// It holds the curves by address: it must not outlive a change to any of them.
class TBezierPieces {
 public:
  struct TPieces {
    std::vector<TPathInterval> Segments;
    std::vector<TSegmentBox> Runs;
  };
  const TPieces &of(const TQN_Path &curve);

 private:
  // Elements stay where they are while others are added.
  std::unordered_map<const TQN_Path *, TPieces> FPieces;
};

// ---- Analytic finder ----

// Where A and B meet. Empty when either is null, when their boxes (margin 0.1) do not
// overlap, or when the pair of kinds has no routine. Records within 0.008 of each other
// are merged.
// A caller that passes `pieces` gets the same records; see TBezierPieces.
TIntersectionList IntersectShapes(TQN_Path *A, TQN_Path *B, TBezierPieces *pieces = nullptr);

// Whether pt lies on the circle of S (radius Width for an ARC, Width / 2 for an ELLIPSE)
// and within its sweep from StartPt; its ends always count.
bool IsPointOnArc(TPointF pt, const TQN_Path &S);

// Per pair of kinds: each appends to `list`; the first shape becomes Path1.
void IntersectLineLine(TIntersectionList &list, TQN_Path *L1, TQN_Path *L2);
void IntersectLineEllipse(TIntersectionList &list, TQN_Path *L, TQN_Path *E);
void IntersectLineArc(TIntersectionList &list, TQN_Path *L, TQN_Path *Arc);
void IntersectEllipseEllipse(TIntersectionList &list, TQN_Path *E1, TQN_Path *E2);
void IntersectArcEllipse(TIntersectionList &list, TQN_Path *Arc, TQN_Path *E);
void IntersectArcArc(TIntersectionList &list, TQN_Path *Arc1, TQN_Path *Arc2);
void IntersectBezierShape(TIntersectionList &list, TQN_Path *Bz, TQN_Path *S);
void IntersectBezierBezier(TIntersectionList &list, TQN_Path *Bz1, TQN_Path *Bz2, TBezierPieces *pieces = nullptr);

// Appends pt as a record of (A, B), or merges it into a record of the list within 0.008.
// A point next to two touching ends is moved onto their midpoint and never crosses.
void AddIntersectionPoint(TIntersectionList &list, TPointF pt, TQN_Path *A, TQN_Path *B, bool crossing);

// ---- Outline finder ----

// Where the outlines of A and B meet. shapeList is the document (for the independent
// layer rule) or null. With `extend`, segments meet where their lines meet, even beyond
// their ends, and the box prefilter is skipped.
TIntersectionList calcPathIntersections(TQN_Path *A, TQN_Path *B, const TShapeList *shapeList, bool extend);

// The crossing P of the infinite line through A0, A1 with the one through B0, B1 (all
// coordinates rounded to 4 decimals first); false when the lines are parallel.
bool calcLineCrossPoint(TPointF A0, TPointF A1, TPointF B0, TPointF B1, TPointF &P);

}  // namespace quillon
