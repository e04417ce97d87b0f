#include "stitching/stitch_state.h"

#include <algorithm>
#include <memory>

#include "model/intersection_upkeep.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "platform/number_text.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/options.h"
#include "stitching/pricking_iron.h"

namespace quillon {

namespace {

constexpr float kLinkReach = 1.8f;  // pitches within which a new hole links to the one before

}  // namespace

TPrickingIron *prickingIron(TEditor &editor) {
  TToolState &tool = editor.tool();
  if (!tool.FSelectedPrickingIron && !editor.FPrickingIronGroups.empty()) {
    tool.FSelectedPrickingIron = editor.FPrickingIronGroups.front()->PrickingIron.get();
    tool.FSelectedNumOfBlades = 1;
    editor.panel().FixedPitchLen = tool.FSelectedPrickingIron->Pitch;
  }
  return tool.FSelectedPrickingIron;
}

void updateIronReach(TEditor &editor) {
  TToolState &tool = editor.tool();
  const int blades = tool.FSelectedNumOfBlades;
  if (blades <= 1)
    tool.FNextHoleCnt = blades;
  else
    tool.FNextHoleCnt = tool.FStitchingCount == 1 || editor.panel().ReduceOneBlade ? blades - 1 : blades;

  TDocument &doc = editor.doc();
  doc.FStitchIntersections.FreeAll();
  const TPrickingIron *iron = prickingIron(editor);
  if (!iron) return;
  const float diameter = 2.0f * iron->Pitch * float(tool.FNextHoleCnt);
  TQN_Path circle(-1, editor.display().FColor_StitchingHole, 1.0f, TStrokeDash::Dot, -1);
  circle.FLayerID = editor.FActiveLayer;
  circle.drawEllipsePath(tool.FStitchRealLastPos, diameter, diameter);
  calcIntersectionsOfShape(doc.PathList(), doc.FStitchIntersections, &circle, editor.pointer().FIsShapeDragging,
                           &doc.FShapeIndex);
  // The circle goes: its records keep their points and the shapes it crossed.
  for (TIntersection *record : doc.FStitchIntersections) {
    if (record->FPath1 == &circle) record->FPath1 = nullptr;
    if (record->FPath2 == &circle) record->FPath2 = nullptr;
  }
}

void ClickedPrickingIron(TEditor &editor, TPrickingIronGroup &group, int blades) {
  editor.tool().FSelectedPrickingIron = group.PrickingIron.get();
  editor.panel().FixedPitchLen = group.PrickingIron->Pitch;
  editor.tool().FSelectedNumOfBlades = blades;
  updateIronReach(editor);
  editor.ui().refreshCanvas();
}

void chkInvertedChange(TEditor &editor, bool checked) {
  editor.tool().FIsInvertedStitchMode = checked;
  editor.ui().refreshCanvas();
}

void prickPitchChange(TEditor &editor, TPitchMode mode) { editor.panel().PitchMode = mode; }

void nbFixedPitchLen1Change(TEditor &editor, float mm) { editor.panel().FixedPitchLen = std::max(mm, 0.5f); }

void nbNumOfStitchingHolesChange(TEditor &editor, int count) {
  editor.panel().NumOfStitchingHoles = std::clamp(count, 3, 1000);
  editor.panel().PitchMode = TPitchMode::NumOfHoles;
}

void cmbCornerModeChange(TEditor &editor, int index) {
  index = std::clamp(index, 0, 2);
  editor.panel().CornerModeIndex = index;
  if (editor.FOptions) editor.FOptions->AutoPrickMode = index;
}

void nbCornerAngleChange(TEditor &editor, float degrees) {
  editor.panel().CornerAngle = float(roundHalfEven(std::clamp(degrees, 1.0f, 179.0f)));
}

void chkReduceOneBladeChange(TEditor &editor, bool checked) {
  editor.panel().ReduceOneBlade = checked;
  updateIronReach(editor);
}

bool isNearLastStitch(const TEditor &editor, const TQN_Path &hole, float pitch) {
  const TQN_Path *last = editor.tool().FLastStitch;
  return last && editor.doc().contains(last) && calcDistance(last->FCenter, hole.FCenter) < kLinkReach * pitch;
}

bool linkToLastStitch(TEditor &editor, TQN_Path &hole, float pitch) {
  TToolState &tool = editor.tool();
  TQN_Path *last = tool.FLastStitch;
  TQN_Path *skipped = tool.FSkippedStartStitch;
  tool.FSkippedStartStitch = nullptr;
  if (last && editor.doc().contains(last) && last->FNextStitchID < 0 && isNearLastStitch(editor, hole, pitch)) {
    hole.FPrevStitchID = last->ID();
    last->FNextStitchID = hole.ID();
    return true;
  }
  if (skipped && editor.doc().contains(skipped) &&
      calcDistance(skipped->FCenter, hole.FCenter) < kLinkReach * pitch) {
    hole.FPrevStitchID = skipped->ID();
    return true;
  }
  return false;
}

bool isOnStitchIntersection(const TIntersections &list, TPointF p) {
  return std::any_of(list.begin(), list.end(),
                     [p](const TIntersection *record) { return isSamePoint(record->FPoint, p, 0.0f); });
}

TPointF nearestEndPoint(const std::vector<TQN_Path *> &list, TPointF p) {
  TPointF best = p;
  float bestDistance = 0.0f;
  bool found = false;
  for (const TQN_Path *shape : list) {
    const float ds = calcDistance(shape->FStartPt, p), de = calcDistance(shape->FEndPt, p);
    const TPointF end = ds < de ? shape->FStartPt : shape->FEndPt;
    const float d = std::min(ds, de);
    if (!found || d < bestDistance) {
      best = end;
      bestDistance = d;
      found = true;
    }
  }
  return best;
}

TPointF nearestIntersectionPoint(const TIntersections &list, TPointF p) {
  TPointF best{0.0f, 0.0f};
  float bestDistance = 0.0f;
  bool found = false;
  for (const TIntersection *record : list) {
    const float d = calcDistance(record->FPoint, p);
    if (!found || d < bestDistance) {
      best = record->FPoint;
      bestDistance = d;
      found = true;
    }
  }
  return best;
}

}  // namespace quillon
