#include "edit/split.h"

#include <cmath>
#include <memory>
#include <vector>

#include "edit/bezier_split.h"
#include "edit/trim.h"
#include "model/intersection.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/undo.h"
#include "shell/view_transform.h"
#include "tools/hit_test.h"
#include "tools/snapping.h"

namespace quillon {

namespace {

// The radial repeat of a split member is rebuilt from its parts once the radial-repeat
// tool exists; until then the parts stay as they are.
void selectParts(TQN_Path &first, TQN_Path *second) {
  first.SetSelected(true);
  if (second) second->SetSelected(true);
}

bool splitCircle(TEditor &editor, TQN_Path &circle, TPointF p) {
  const float r = circle.FWidth / 2.0f;
  if (!(r > 0.0f) || !(calcDistance(circle.FCenter, p) > 0.0f)) return false;
  const TPointF onRim = nearestPointOnShape(circle, p);
  removeIntersectionsOf(editor.doc().FIntersections, &circle);
  circle.drawArcPath(circle.FCenter, {r, r}, onRim, onRim, 360.0f);
  editor.calcIntersectionsOfShape(&circle);
  selectParts(circle, nullptr);
  return true;
}

bool splitLine(TEditor &editor, TQN_Path &line, TPointF p) {
  std::unique_ptr<TQN_Path> copy(line.createCopy());
  copy->updateId(editor.doc().PathList().getNextID());
  const TPointF end = line.FEndPt;
  copy->drawLinePath(p, end);
  removeIntersectionsOf(editor.doc().FIntersections, &line);
  line.drawLinePath(line.FStartPt, p);
  TQN_Path *added = editor.doc().add(std::move(copy), line.FLayerID);
  editor.calcIntersectionsOfShape(&line);
  editor.calcIntersectionsOfShape(added);
  selectParts(line, added);
  return true;
}

bool splitArc(TEditor &editor, TQN_Path &arc, TPointF p) {
  std::unique_ptr<TQN_Path> first, second;
  trimArcBetween(editor, arc, first, second, p, p);
  if (!first || !second) return false;
  removeIntersectionsOf(editor.doc().FIntersections, &arc);
  arc.drawArcPath(first->FCenter, {first->FWidth, first->FHeight}, first->FStartPt, first->FEndPt,
                  first->FSweepAngle);
  TQN_Path *added = editor.doc().add(std::move(second), arc.FLayerID);
  editor.calcIntersectionsOfShape(&arc);
  editor.calcIntersectionsOfShape(added);
  selectParts(arc, added);
  return true;
}

}  // namespace

bool isSplitCandidate(const TQN_Path &shape) {
  return shape.isKind(TShapeKind::Bezier) || shape.isKind(TShapeKind::Line) || shape.isKind(TShapeKind::Arc) ||
         isCircleShape(shape);
}

bool splitShapeAtPoint(TEditor &editor, TQN_Path &shape, TPointF p) {
  if (isCircleShape(shape)) return splitCircle(editor, shape, p);
  if (isSamePoint(p, shape.FStartPt, 0.0f) || isSamePoint(p, shape.FEndPt, 0.0f)) return false;
  if (shape.isKind(TShapeKind::Line)) return splitLine(editor, shape, p);
  if (shape.isKind(TShapeKind::Arc)) return splitArc(editor, shape, p);
  return false;
}

bool nearestIntersectionOnShape(const TEditor &editor, const TQN_Path &shape, float x, float y, TPointF &p) {
  const TPointF click{x, y};
  bool found = false;
  float best = kSplitIntersectionReachPx;
  for (const TIntersection *r : editor.doc().FIntersections) {
    if (r->FPath1 != &shape && r->FPath2 != &shape) continue;
    const float d = calcDistance(realToVirtual(editor.view(), r->FPoint), click);
    if (d < best) {
      best = d;
      p = r->FPoint;
      found = true;
    }
  }
  return found;
}

bool splitAtPoint(TEditor &editor, float x, float y) {
  editor.tool().FSplitNotSelectedWarning = false;
  const std::vector<TQN_Path *> hits =
      shapesAtScreenPoint(editor, editor.doc().PathList(), false, x, y, false, false, false);
  bool candidate = false, unselected = false;
  for (TQN_Path *shape : hits) {
    if (!isSplitCandidate(*shape)) continue;
    candidate = true;
    if (!shape->FSelected) {
      unselected = true;
      continue;
    }
    if (shape->isKind(TShapeKind::Bezier)) {
      const TPointF at = virtualToReal(editor, {x, y}, true);
      if (TQN_Path *piece = splitBezierAtPointInDocument(editor, *shape, at)) {
        selectParts(*shape, piece);
        editor.ui().refreshCanvas();
        takeUndoSnapshot(editor, QStringLiteral("L32601"));
        return true;
      }
      continue;
    }
    TPointF p;
    if (nearestIntersectionOnShape(editor, *shape, x, y, p) && splitShapeAtPoint(editor, *shape, p)) {
      editor.ui().refreshCanvas();
      takeUndoSnapshot(editor, QStringLiteral("L32613"));
      return true;
    }
  }
  if (unselected) {
    editor.tool().FSplitNotSelectedWarning = true;
    editor.ui().refreshCanvas();
  }
  return candidate;
}

}  // namespace quillon
