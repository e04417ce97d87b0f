#pragma once
// Making two straight lines meet: a tangent arc of a chosen radius in place of their
// corner (corner rounding, shown to the user as bevelling), extending or trimming both to
// their crossing, and the rounding of every corner of a selection of lines.
#include "platform/geometry.h"

namespace quillon {

class TEditor;
class TQN_Path;

// Rounds the corner of the first two selected ungrouped LINEs (document order) with the
// radius of the corner-rounding box: collinear lines touching either are merged into it
// first (an undo step of its own), lines whose boxes are apart are extended to meet, and
// lines that neither meet nor cross get the "CantMentori" message.
void applyMentori(TEditor &editor);
// The rounding itself; `corner` is the crossing of the two lines. Lines within 0.5 degree
// of an axis are straightened first. The new ARC (pen of the vertical line when there is
// one, else of line1) joins both lines, which are cut back to the tangent points; a line
// reduced to a point is removed. One undo step; the selection is cleared. Returns the
// arc, or null when the lines are parallel.
TQN_Path *filletLines(TEditor &editor, TQN_Path *line1, TQN_Path *line2, float radius, TPointF corner);

// Both LINEs, with unit directions equal or opposite (after rounding to 0.01).
bool areLinesParallel(const TQN_Path &line, const TQN_Path &other);
// Extends `line` over the parallel `other`, which leaves the document.
void mergeCollinearLine(TEditor &editor, TQN_Path &line, TQN_Path *other);
// Absorbs every parallel LINE joined to `line` on its own visible layer; true when any was.
bool mergeCollinearNeighbours(TEditor &editor, TQN_Path &line);

// Moves the nearer end of each line to the one crossing of their lines. False (nothing
// changed) without exactly one crossing or when the lines already meet there.
bool extendOrTrimLinesToMeet(TEditor &editor, TQN_Path &line1, TQN_Path &line2, TPointF &point, bool recompute);
// The command: exactly two selected LINEs, one undo step when they changed.
void actExtendOrTrimLinesExecute(TEditor &editor);

// Two different lines that share an end (compared after rounding to 0.01) and are not
// parallel either way.
bool canRoundCorner(TQN_Path &line1, TQN_Path &line2);
// The corner-rounding tool's end of a selection: every corner between selected lines that
// share an end is rounded, all in one undo step. True when two or more lines were found.
bool roundSelectedCorners(TEditor &editor);

}  // namespace quillon
