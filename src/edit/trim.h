#pragma once
// The trim tool: a click on a line, arc, Bezier curve or circle removes the piece of it
// between the two cut points around the click. Cut points are where the document's
// intersection records say the shape meets another and where stitching holes sit on it.
// Also the small steps other cutting commands reuse: the nearest point of a shape, the
// hole cut points, the records of one shape and the arc cut.
#include <memory>
#include <string>
#include <vector>

#include "platform/geometry.h"

namespace quillon {

class TEditor;
class TIntersection;
class TQN_Path;

// A piece shorter than this after rounding to 0.01 mm is not made (millimetres).
inline constexpr float kShortestLinePiece = 0.1f;
inline constexpr float kShortestArcPiece = 0.4f;

// A circle: an ELLIPSE whose width and height differ by at most 0.01 mm.
bool isCircleShape(const TQN_Path &shape);

// The trim at the real point: the topmost shape of the active layer under it (loose
// tolerance) loses the piece between its cut points around the point, as one undo step.
// A line, arc or circle is replaced by its remaining pieces (fresh IDs, on the active
// layer); a Bezier keeps its ID and start part. Other kinds and ellipses that are not
// circles get the "TrimmingNotSupported" box and stay. True when a supported shape was
// found and trimmed.
bool trimAtPoint(TEditor &editor, TPointF point);
// The same as the automation request POST /shapes/trim answers it: a kind that cannot be
// trimmed gives a false result without the box. `refused` tells a refused kind apart.
bool trimAtPointQuietly(TEditor &editor, TPointF point, bool &refused);

// The point of the shape nearest `point`: the foot on a LINE, the radial projection on the
// circle of an ARC or ELLIPSE (for an arc possibly outside its sweep), the foot on the
// outline polyline of a BEZIER; the point itself for other kinds.
TPointF nearestPointOnShape(const TQN_Path &shape, TPointF point);
// Appends the cut points that stitching holes of visible layers make on a LINE, ARC,
// BEZIER or ELLIPSE: the foot of each hole centre within 0.5 mm of the shape, not within
// 0.05 mm of either end (on an arc, only feet inside its sweep).
void collectHoleCutPoints(const TEditor &editor, const TQN_Path &shape, std::vector<TPointF> &points);
// The document's records that name the shape, in list order (the document owns them).
std::vector<TIntersection *> getShapeIntersections(const TEditor &editor, const TQN_Path *shape);
// Every cut point of the shape: its record points, then its hole cut points.
std::vector<TPointF> collectCutPoints(const TEditor &editor, const TQN_Path &shape);

// The cut points of a LINE around `point`: the nearest one toward its start (else the
// start) and the nearest toward its end (else the end).
void findLineTrimBounds(const TEditor &editor, const TQN_Path &line, TPointF point, TPointF &startCut,
                        TPointF &endCut);
// The cut points of an ARC, BEZIER or ELLIPSE nearest the clicked point along its outline,
// backward (else the start) and forward (else the end; a circle's outline wraps round).
// Lengths are measured from the click itself, so a cut on the clicked stretch of outline
// lies on one side only. False for other kinds.
bool findCurveTrimBounds(const TEditor &editor, const TQN_Path &shape, TPointF point, TPointF &startCut,
                         TPointF &endCut);

// The pieces of a LINE outside (a, b): start to the cut nearer the start, and end to the
// other cut (the end piece runs from the old end toward its cut). Each is null when it
// would be 0.1 mm or shorter.
void trimLineBetween(TEditor &editor, const TQN_Path &line, std::unique_ptr<TQN_Path> &pieceA,
                     std::unique_ptr<TQN_Path> &pieceB, TPointF startCut, TPointF endCut);
// The pieces of an ARC outside (startCut, endCut): start to startCut and endCut to end,
// with the sweep direction of the arc. Each is null when it would be 0.4 mm or shorter.
void trimArcBetween(TEditor &editor, const TQN_Path &arc, std::unique_ptr<TQN_Path> &pieceA,
                    std::unique_ptr<TQN_Path> &pieceB, TPointF startCut, TPointF endCut);
// Cuts a BEZIER of the document outside (startCut, endCut): the curve keeps its part up to
// startCut and `pieceB` gets the part from endCut on. When nothing of the start remains the
// curve leaves the document and `bezier` becomes null.
void trimBezierBetween(TEditor &editor, TQN_Path *&bezier, std::unique_ptr<TQN_Path> &pieceB, TPointF startCut,
                       TPointF endCut);
// The arc of a circle that remains when the stretch between the cuts that holds the
// clicked point is removed. Null when the cuts coincide (fewer than two cut points): then
// nothing of the circle remains. False (the "OvalTrimmingNotSupported" box) when the
// circle's rounded width and height differ.
bool trimCircleBetween(TEditor &editor, const TQN_Path &circle, TPointF clicked, std::unique_ptr<TQN_Path> &piece,
                       TPointF startCut, TPointF endCut);


}  // namespace quillon
