#pragma once
// The split tool: Alt and a click on a selected line, arc, circle or Bezier curve cuts it
// in two there. A line, arc or circle is cut at the intersection of that shape nearest
// the click, a Bezier at the curve point nearest the click.
#include "platform/geometry.h"

namespace quillon {

class TEditor;
class TQN_Path;

// An intersection farther than this from the click, in drawing-box pixels, is not taken.
inline constexpr float kSplitIntersectionReachPx = 12.0f;

// The split at the drawing-box pixel (x, y): the topmost selected split candidate under
// it (strict tolerance, active layer) is cut, both parts end selected, as one undo step.
// When only unselected candidates lie there the "splitSelectFirst" banner is raised.
// True when a shape was split or any candidate lay under the point.
bool splitAtPoint(TEditor &editor, float x, float y);
// Cuts a LINE, ARC or circle of the document at p (millimetres). A line becomes itself up
// to p and a copy (new ID, every other property kept) from p; an arc becomes two arcs; a
// circle becomes one closed arc of 360 degrees that starts and ends at p projected onto
// its rim, so its radius stays. Both parts are selected and their records recomputed.
// False, with nothing changed, at an end of the shape, for an arc part of 0.4 mm or less,
// and for other kinds. No undo snapshot: the callers take it.
bool splitShapeAtPoint(TEditor &editor, TQN_Path &shape, TPointF p);
// The document intersection of the shape whose pixel position lies nearest (x, y),
// strictly closer than kSplitIntersectionReachPx; its drawing position goes to `p`.
bool nearestIntersectionOnShape(const TEditor &editor, const TQN_Path &shape, float x, float y, TPointF &p);
// Whether the shape can be split: a LINE, ARC or BEZIER, or a circle (an ELLIPSE whose
// width and height differ by at most 0.01 mm).
bool isSplitCandidate(const TQN_Path &shape);

}  // namespace quillon
