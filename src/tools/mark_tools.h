#pragma once
// The commits of the dot, ellipse, centre-line, dimension and distance-marking tools, the
// marks they share and the stamping of a part of the parts repository. The pointer
// release hands each commit the released, snapped point in millimetres.
#include <vector>

#include "platform/geometry.h"
#include "platform/input.h"

class QPainter;

namespace quillon {

class TEditor;
class TQN_Path;

// The dot tool: stamps the part selected in the parts repository window (FRepositoryTemplate)
// centred on the point when there is one, else adds a DOT of the scheme's dot radius with
// the current pen (one undo snapshot). The new shape is selected per `select`.
void commitDotTool(TEditor &editor, TPointF point, bool select);

// The ellipse tool: collects the centre, then a corner. The second point creates a circle
// (an ELLIPSE) when the two radii differ by at most 0.01 mm, else four BEZIER quarters;
// Shift makes both radii the larger one. Unless noAdd the shapes are added to the active
// layer with their intersections. Returns the shapes created (the caller owns them only
// with noAdd). No undo snapshot: the caller takes it.
std::vector<TQN_Path *> commitEllipseTool(TEditor &editor, TPointF point, TShiftState shift, bool select,
                                          bool refresh, bool noAdd);

// The centre-line tool: a click counts only on a shape end, an intersection or a snap
// candidate; the second accepted point lays the dividing ticks between the two. True when
// the click was accepted. The shift state is not read.
bool commitCenterLineTool(TEditor &editor, TPointF point, TShiftState shift, bool select);

// Ticks of length tickLength across the line p-q at its `divisions` equal divisions (below
// 1 counts as 1): the inner ones always, the ones at p and q only withEnds. Each tick is a
// LINE with the current pen, made exactly axis-parallel when within 0.1 degrees of it,
// with its intersections and its own undo snapshot.
void addDividingTicks(TEditor &editor, TPointF p, TPointF q, float tickLength, int divisions, bool withEnds,
                      bool select);

// Adds to `list` (once each) every shape that shares an intersection record with `shape`;
// crossings count only withCrossings.
void collectTouchingPaths(const TEditor &editor, const TQN_Path *shape, std::vector<TQN_Path *> &list,
                          bool withCrossings);

// The dimension tool: the first click picks the arc of a radius dimension (when it lands
// on an arc away from its ends); two clicks then make the radius dimension, otherwise three
// make a linear one. Always true. The shift state is not read.
bool commitDimensionTool(TEditor &editor, TPointF point, TShiftState shift);

// The distance-marking tool. On a click (preview false): starts a measurement at the
// sticky point, or puts a mark across the paths connected at the first point where the
// circle of the marking distance around it crosses them, at the crossing nearest `point`.
// With preview true it draws that mark on `canvas` and changes nothing. Returns the last
// mark made (the red start mark included); none in preview.
TQN_Path *commitDistanceMarkingTool(TEditor &editor, TPointF point, bool preview, QPainter *canvas);

// A mark across `shape` at `point`: perpendicular to the straight piece of its outline
// within 0.01 mm of the point, of the marking length (0.1 mm while a repository part is
// selected, which is then stamped there too). Preview draws it on `canvas` and returns
// none; otherwise the LINE is added with its intersections (no undo snapshot) and
// returned. None when no straight piece passes the point.
TQN_Path *placePerpendicularMark(TEditor &editor, TQN_Path *shape, TPointF point, bool preview, QPainter *canvas);

// A copy of `part` with a new ID, its bounding box centred on `point` and turned to
// `direction` ((1, 0) leaves it unturned); at point (-1, -1) its top-left corner goes to
// the drawing-box pixel (50, 50) instead. Added to the active layer with one undo
// snapshot, not selected, no intersections. Returns the copy.
TQN_Path *stampTemplateAt(TEditor &editor, const TQN_Path &part, TPointF point, TPointF direction);

}  // namespace quillon
