#include "edit/notch.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "edit/trim.h"
#include "model/draw_pallet.h"
#include "model/intersection.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/undo.h"
#include "tools/hit_test.h"

namespace quillon {

namespace {

constexpr float kOnOutline = 0.5f;  // the first click lies this close to the outline

TQN_Path *otherShapeOf(const TIntersection &record, const TQN_Path *arm) {
  return record.FPath1 == arm ? record.FPath2 : record.FPath1;
}

TQN_Path *addArm(TEditor &editor, TPointF from, TPointF to) {
  const TPenState &pen = editor.pen();
  auto arm = std::make_unique<TQN_Path>(getCurrentPaletteIndex(pen), pen.FCurrentColor, pen.FCurrentThickness,
                                        pen.FCurrentDash, editor.doc().PathList().getNextID());
  arm->drawLinePath(from, to);
  return editor.doc().add(std::move(arm), editor.FActiveLayer);
}

// Cuts the arm where it meets the notched edge and gives it the edge's pen.
void endArm(TEditor &editor, const TNotchGeometry &notch, TQN_Path *arm, const std::vector<TIntersection *> &records,
            const std::vector<TQN_Path *> &met, const std::vector<TQN_Path *> &atNotch) {
  const TIntersection *end = chooseArmEndIntersection(notch, arm, records, met, atNotch);
  if (!end) return;
  const TPointF at = end->FPoint;
  TQN_Path *edge = otherShapeOf(*end, arm);
  removeIntersectionsOf(editor.doc().FIntersections, arm);
  arm->drawLinePath(notch.Apex, at);
  editor.calcIntersectionsOfShape(arm);
  if (edge) arm->copyPalletValuesFrom(*edge);
}

}  // namespace

TNotchGeometry notchGeometry(TPointF P0, TPointF P, float depth, float angleDegrees) {
  TNotchGeometry g;
  g.P0 = P0;
  g.Dir = calcUnitVector(P, P0);
  if (g.Dir.X == 0.0f && g.Dir.Y == 0.0f) g.Dir = {-1.0f, 0.0f};
  g.A1 = rotateVector(g.Dir, angleDegrees / 2.0f);
  g.A2 = rotateVector(g.Dir, -angleDegrees / 2.0f);
  g.Apex = P0 - g.Dir * depth;
  g.ArmEnd1 = g.Apex + g.A1 * (kNotchArmLengthFactor * depth);
  g.ArmEnd2 = g.Apex + g.A2 * (kNotchArmLengthFactor * depth);
  return g;
}

std::optional<TNotchGeometry> notchPreview(const TEditor &editor, TPointF point) {
  if (editor.tool().Clicked_Points.empty()) return std::nullopt;
  return notchGeometry(editor.tool().Clicked_Points.front(), point, editor.panel().NotchDepth,
                       editor.panel().NotchAngle);
}

bool notchClick(TEditor &editor, TPointF point) {
  std::vector<TPointF> &clicked = editor.tool().Clicked_Points;
  if (clicked.empty()) {
    const std::vector<TQN_Path *> hits =
        hitTestShapes(editor, editor.doc().PathList(), false, point, true, false, false);
    int segment = 0;
    if (hits.empty() || !hits.front()->isOnPath(point, segment, kOnOutline)) return false;
    clicked.push_back(point);
    editor.ui().refreshCanvas();
    return true;
  }
  const TNotchGeometry notch = *notchPreview(editor, point);
  const bool made = applyNotch(editor, notch);
  clicked.clear();
  if (made) {
    editor.ui().refreshCanvas();
    takeUndoSnapshot(editor, QStringLiteral("L27556"));
  }
  return made;
}

bool applyNotch(TEditor &editor, const TNotchGeometry &notch) {
  const std::vector<TQN_Path *> atNotch =
      hitTestShapes(editor, editor.doc().PathList(), false, notch.P0, false, false, false);
  if (atNotch.empty()) return false;
  TQN_Path *armA = addArm(editor, notch.Apex, notch.ArmEnd1);
  TQN_Path *armB = addArm(editor, notch.Apex, notch.ArmEnd2);
  editor.calcIntersectionsOfShape(armA);
  editor.calcIntersectionsOfShape(armB);
  // Both lists are filtered before either arm is cut back: cutting an arm frees its own
  // records, and only the records that join the two arms name both, which the filter
  // drops from both lists.
  std::vector<TIntersection *> recordsA = getShapeIntersections(editor, armA);
  std::vector<TIntersection *> recordsB = getShapeIntersections(editor, armB);
  std::vector<TQN_Path *> metA, metB;
  filterArmIntersections(notch, armA, armB, recordsA, metA);
  filterArmIntersections(notch, armB, armA, recordsB, metB);
  endArm(editor, notch, armA, recordsA, metA, atNotch);
  endArm(editor, notch, armB, recordsB, metB, atNotch);
  return true;
}

void filterArmIntersections(const TNotchGeometry &notch, const TQN_Path *arm, const TQN_Path *other,
                            std::vector<TIntersection *> &records, std::vector<TQN_Path *> &met) {
  std::erase_if(records, [&](const TIntersection *r) {
    if (r->FPath1 == other || r->FPath2 == other || isSamePoint(r->FPoint, notch.P0, 0.0f)) return true;
    const TPointF u = calcUnitVector(arm->FStartPt, r->FPoint);
    return !isSamePoint(u, notch.A1, 0.0f) && !isSamePoint(u, notch.A2, 0.0f);
  });
  for (const TIntersection *r : records) {
    TQN_Path *shape = otherShapeOf(*r, arm);
    if (std::find(met.begin(), met.end(), shape) == met.end()) met.push_back(shape);
  }
}

TIntersection *chooseArmEndIntersection(const TNotchGeometry &notch, const TQN_Path *arm,
                                        const std::vector<TIntersection *> &records, const std::vector<TQN_Path *> &met,
                                        const std::vector<TQN_Path *> &atNotch) {
  std::vector<TQN_Path *> candidates;
  if (met.size() == 1) {
    candidates = met;
  } else {
    for (const TQN_Path *m : met)
      for (TQN_Path *g : atNotch)
        if (m->FColor == g->FColor) candidates.push_back(g);
  }
  if (candidates.size() == 1) return findIntersectionOfPair(arm, candidates.front(), records);

  const TPointF w = calcUnitVector(notch.P0, notch.Apex);
  TIntersection *best = nullptr;
  double bestScore = 1e10;
  for (TIntersection *r : records) {
    const TPointF u = calcUnitVector(notch.P0, r->FPoint);
    const double score = std::round(10000.0 * (double(u.X) * w.X + double(u.Y) * w.Y));
    if (score < bestScore) {
      bestScore = score;
      best = r;
    }
  }
  return best;
}

TIntersection *findIntersectionOfPair(const TQN_Path *x, const TQN_Path *y, const std::vector<TIntersection *> &records) {
  for (TIntersection *r : records)
    if ((r->FPath1 == x && r->FPath2 == y) || (r->FPath1 == y && r->FPath2 == x)) return r;
  return nullptr;
}

}  // namespace quillon
