#pragma once
// The stitching tool's state between clicks (TToolState, shell/tool_state.h) and the
// pricking options of the ribbon's pricking tab (TPanelValues, shell/tool_panel.h): the
// iron in use and its reach, the controls' changes, and how a new hole is linked to the
// hole placed before it.
#include <vector>

#include "platform/geometry.h"
#include "shell/tool_panel.h"

namespace quillon {

class TEditor;
class TIntersections;
class TPrickingIron;
class TPrickingIronGroup;
class TQN_Path;

// The iron the stitching routines use: the selected one; when none is selected (the
// default diamond 4 mm group was missing at start-up), the first group's iron with one
// prong is selected and used. None only when there is no group at all.
TPrickingIron *prickingIron(TEditor &editor);

// How many pitch steps the next press reaches (FNextHoleCnt: the prong count, one less
// when the iron has several prongs and the route has its first click or "Reduce 1 Blade"
// is ticked), and the points where the reach circle (radius FNextHoleCnt pitches about
// FStitchRealLastPos) crosses the document's shapes (FStitchIntersections).
void updateIronReach(TEditor &editor);

// A prong item of the iron tree was clicked: that group's iron with `blades` prongs
// becomes the one in use and its pitch the fixed pitch; the reach follows.
void ClickedPrickingIron(TEditor &editor, TPrickingIronGroup &group, int blades);

// The controls of the pricking tab. Each stores its value and does what follows from it.
void chkInvertedChange(TEditor &editor, bool checked);         // "Reverse"
void prickPitchChange(TEditor &editor, TPitchMode mode);       // the pitch radio group
void nbFixedPitchLen1Change(TEditor &editor, float mm);        // at least 0.5
void nbNumOfStitchingHolesChange(TEditor &editor, int count);  // 3..1000; checks rbSetNumOfHoles
void cmbCornerModeChange(TEditor &editor, int index);          // 0 SmartCorner, 1 AllJunctions, 2 Uniform
void nbCornerAngleChange(TEditor &editor, float degrees);      // whole degrees 1..179
void chkReduceOneBladeChange(TEditor &editor, bool checked);

// Whether FLastStitch is still in the document and its centre lies less than 1.8 pitches
// from the hole's.
bool isNearLastStitch(const TEditor &editor, const TQN_Path &hole, float pitch);
// Links a new hole to the one before it: to FLastStitch when that is in the document,
// has no next hole and is near (isNearLastStitch); else back to FSkippedStartStitch when
// that is in the document and less than 1.8 pitches away (its own next link unchanged).
// FSkippedStartStitch is cleared in every case. True when a link was made.
bool linkToLastStitch(TEditor &editor, TQN_Path &hole, float pitch);

// Whether p is the point of one of the records (both coordinates equal after rounding
// to 0.01).
bool isOnStitchIntersection(const TIntersections &list, TPointF p);
// Of the start and end points of the shapes, the one nearest to p (per shape the end
// point when both ends are equally near; the earlier shape on ties). p itself for none.
TPointF nearestEndPoint(const std::vector<TQN_Path *> &list, TPointF p);
// The point of the record nearest to p (the earlier on ties); (0, 0) for an empty list.
TPointF nearestIntersectionPoint(const TIntersections &list, TPointF p);

}  // namespace quillon
