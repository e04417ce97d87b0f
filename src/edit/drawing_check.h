#pragma once
// The drawing check: small geometric defects that make a pattern look joined on screen
// while its shapes are not (lines a hair off an axis, ends a hair apart, ends that overlap
// into a crossing, ends that stop just short of or past the middle of another line or
// arc), found after every edit and kept as TLintWarning records (shell/lint_state.h).
// Also the shape predicates, partner searches and end-moving steps that the fixes
// (edit/resolve_issues.h, edit/regularize.h) and other commands share.
//
// Tolerances in millimetres: near is at most 0.05 (isNearPoint), almost near more than
// 0.05 and at most 0.2 (isAlmostNearPoint), slightly off-axis more than 0 and at most 0.5
// degree from the nearest axis (isSlightlyOffAxis).
#include <vector>

#include "platform/geometry.h"
#include "shell/lint_state.h"

namespace quillon {

class TEditor;
class TShapeList;
class TQN_Path;

// A shape the check looks at: not a stitching hole, free outline or text, not a dimension
// line, on a visible layer. ELLIPSE and DOT shapes are candidates.
bool isLintCandidate(const TShapeList &doc, const TQN_Path *shape);
bool isLineArcOrBezier(const TQN_Path *shape);
// The direction StartPt to EndPt in degrees, -180 ... 180.
float calcLineAngle(const TQN_Path &shape);

// Rebuilds a LINE, ARC or BEZIER with one end at `point`: a LINE through its new ends, a
// BEZIER with the control point next to that end moved by the same offset, an ARC refitted
// through its new ends. False for other kinds (and when the arc cannot be refitted).
bool moveShapeEnd(TQN_Path &shape, bool atStart, TPointF point);
// Refits an ARC of unchanged radius through two new ends, keeping its centre on the side
// of the old centre and its sweep's size class and sign. False (the arc unchanged) when
// the radius is 0, the ends coincide or the chord does not fit the radius.
bool refitArcToEnds(TQN_Path &arc, TPointF p1, TPointF p2);

// The end (StartPt, then EndPt of each other candidate in list order) almost near the
// point and nearest to it; the first of equally near ends wins.
bool findGapPartner(const TShapeList &doc, const TQN_Path *shape, TPointF point, TQN_Path *&partner,
                    TPointF &partnerEnd);
// The candidate LINE other than `shape` whose interior (0.001 < t < 0.999) has the point
// almost near its perpendicular foot, the foot near neither end of the line; the nearest.
TQN_Path *findLineTGapPartner(const TShapeList &doc, TPointF point, const TQN_Path *shape, TPointF &foot);
// The candidate ARC other than `shape` whose circle is almost near the point, with the
// foot on the arc and near neither of its ends; the nearest.
TQN_Path *findArcTGapPartner(const TShapeList &doc, TPointF point, const TQN_Path *shape, TPointF &foot);

// Whether the context menu offers to fix this shape (the right-clicked one).
bool hasDrawingIssue(const TEditor &editor, const TQN_Path *shape);

// The warnings of the whole document in list order: axis, gap, overlap, then T-gap
// warnings; a warning near (0.05) one of the same kind already listed is left out.
std::vector<TLintWarning> collectLintWarnings(const TEditor &editor);
// Refills the editor's warning list from the document, whatever the option says.
void runDrawingCheck(TEditor &editor);
// After an edit: runs the check while the option is on (switching the intersection
// display on when it finds something) or empties the list; then the whole-drawing fix's
// enabling, the blink and a canvas refresh.
void refreshDrawingCheck(TEditor &editor);
// The View menu's "Show drawing-check warnings".
void toggleLintWarnings(TEditor &editor);
// The "I" key: the intersection display on or off, then the check again (which switches
// the display back on while it finds something).
void toggleIntersectionDisplay(TEditor &editor);

}  // namespace quillon
