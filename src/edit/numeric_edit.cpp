#include "edit/numeric_edit.h"

#include <cmath>
#include <optional>
#include <vector>

#include "edit/corner_rounding.h"
#include "model/intersection.h"
#include "model/intersection_finders.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "shell/deletion.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/selection.h"
#include "shell/undo.h"
#include "tools/status_info.h"

namespace quillon {

namespace {

void reshaped(TEditor &editor, TQN_Path &shape) {
  removeIntersectionsOf(editor.doc().FIntersections, &shape);
  editor.calcIntersectionsOfShape(&shape);
}

// The direction of a line away from the joint.
TPointF awayFrom(const TQN_Path &line, TPointF J) {
  return isSamePoint(line.FStartPt, J, 0.0f) ? calcUnitVector(line.FStartPt, line.FEndPt)
                                             : calcUnitVector(line.FEndPt, line.FStartPt);
}

}  // namespace

bool getTwoJoinedLines(const TEditor &editor, TQN_Path *&line1, TQN_Path *&line2) {
  const std::vector<TQN_Path *> sel = getSelectedPaths(editor, true, true);
  if (sel.size() != 2 || !sel[0]->isKind(TShapeKind::Line) || !sel[1]->isKind(TShapeKind::Line)) return false;
  if (!canRoundCorner(*sel[0], *sel[1])) return false;
  line1 = sel[0];
  line2 = sel[1];
  return true;
}

void actEditLineAngleExecute(TEditor &editor) {
  TQN_Path *line1 = nullptr, *line2 = nullptr;
  if (!getTwoJoinedLines(editor, line1, line2)) {
    editor.ui().informationBox(QStringLiteral("specifyAngleNeedsTwoLines"),
                               editor.tr(QStringLiteral("specifyAngleNeedsTwoLines")));
    return;
  }
  TPointF J;
  if (!calcLineCrossPoint(line1->FStartPt, line1->FEndPt, line2->FStartPt, line2->FEndPt, J)) return;
  const float A = calcAngleBetween(awayFrom(*line1, J), awayFrom(*line2, J));
  TShapeSizeValues shown;
  shown.LineAngle = A;
  const std::optional<TShapeSizeValues> answer = editor.ui().shapeSizeDialog(TShapeSizeTab::LineAngle, shown);
  if (!answer) return;
  const float B = answer->LineAngle;
  if (!std::isfinite(B) || std::fabs(double(B) - A) <= 1e-12) return;

  // The line that is less tied at its far end turns; on a tie the newer one.
  bool atStart = false;
  const int far1 = countIntersectionsAtOtherEnd(editor, *line1, J, atStart);
  const int far2 = countIntersectionsAtOtherEnd(editor, *line2, J, atStart);
  TQN_Path *moving = far1 < far2 ? line1 : far2 < far1 ? line2 : (line1->ID() > line2->ID() ? line1 : line2);
  const TQN_Path *reference = moving == line1 ? line2 : line1;
  const TPointF R = awayFrom(*reference, J);
  const float L = calcDistance(moving->FStartPt, moving->FEndPt);
  const TPointF probe = J + rotateVector(R, A) * L;
  const float side = isSamePoint(probe, moving->FStartPt, 0.0f) || isSamePoint(probe, moving->FEndPt, 0.0f) ? 1.0f : -1.0f;

  removeIntersectionsOf(editor.doc().FIntersections, moving);
  moving->drawLinePath(J, J + rotateVector(R, side * B) * L);
  editor.calcIntersectionsOfShape(moving);
  editor.ui().refreshCanvas();
  showShapeInfo(editor, *moving);
  showLineAngleInfo(editor);
  takeUndoSnapshot(editor, QStringLiteral("L3968"));
}

void actEditShapeSizeExecute(TEditor &editor) {
  TQN_Path *ref = getSizeEditableShape(editor);
  if (!ref) return;
  TShapeSizeValues shown;
  TShapeSizeTab tab = TShapeSizeTab::LineLength;
  const TShapeKind kind = ref->FShapeType;
  if (kind == TShapeKind::Line) {
    shown.LineLength = calcDistance(ref->FStartPt, ref->FEndPt);
  } else if (kind == TShapeKind::Ellipse) {
    tab = TShapeSizeTab::Ellipse;
    shown.EllipseWidth = ref->FWidth;
  } else {
    tab = TShapeSizeTab::Arc;
    shown.ArcSweep = ref->FSweepAngle;
    shown.ArcRadius = ref->FWidth;
  }
  const std::optional<TShapeSizeValues> answer = editor.ui().shapeSizeDialog(tab, shown);
  if (!answer) return;
  const TShapeSizeValues &v = *answer;
  // Sizes that leave no shape are refused; the shapes stay as they are.
  if ((kind == TShapeKind::Line && !(v.LineLength > 0.0f && std::isfinite(v.LineLength))) ||
      (kind == TShapeKind::Ellipse && !(v.EllipseWidth > 0.0f && std::isfinite(v.EllipseWidth))) ||
      (kind == TShapeKind::Arc && !(v.ArcRadius > 0.0f && std::isfinite(v.ArcRadius) && std::isfinite(v.ArcSweep) &&
                                    v.ArcSweep != 0.0f))) {
    editor.ui().setStatusText(editor.tr(QStringLiteral("sizeNotAccepted")));
    return;
  }

  // Measured before the loop: the reference itself may be the first line to change.
  const float refLength = calcDistance(ref->FStartPt, ref->FEndPt);
  bool changed = false;
  for (TQN_Path *s : getSelectedPaths(editor, true, true)) {
    if (s->FShapeType != kind) {
      s->SetSelected(false);
      continue;
    }
    bool thisChanged = false;
    if (kind == TShapeKind::Line) {
      if (std::fabs(double(v.LineLength) - refLength) > 1e-12 &&
          s->FStartPt != s->FEndPt) {
        const auto startLinks = getIntersectionsAt(editor, s->FStartPt).size();
        const auto endLinks = getIntersectionsAt(editor, s->FEndPt).size();
        if (startLinks < endLinks)
          s->drawLinePath(s->FEndPt + calcUnitVector(s->FEndPt, s->FStartPt) * v.LineLength, s->FEndPt);
        else
          s->drawLinePath(s->FStartPt, s->FStartPt + calcUnitVector(s->FStartPt, s->FEndPt) * v.LineLength);
        thisChanged = true;
      }
    } else if (kind == TShapeKind::Ellipse) {
      if (std::fabs(v.EllipseWidth - s->FWidth) > 0.001f) {
        s->drawEllipsePath(s->FCenter, v.EllipseWidth, v.EllipseWidth);
        thisChanged = true;
      }
    } else if (std::fabs(v.ArcSweep - s->FSweepAngle) > 0.001f || std::fabs(v.ArcRadius - s->FWidth) > 0.001f) {
      const TPointF c = s->FCenter;
      const TPointF st = c + calcUnitVector(c, s->FStartPt) * v.ArcRadius;
      s->drawArcPath(c, {v.ArcRadius, v.ArcRadius}, st, rotatePoint(st, c, v.ArcSweep), v.ArcSweep);
      thisChanged = true;
    }
    if (thisChanged) {
      reshaped(editor, *s);
      changed = true;
    }
  }
  if (!changed) return;
  editor.ui().refreshCanvas();
  takeUndoSnapshot(editor, QStringLiteral("L4101"));
  showShapeInfo(editor, *ref);
}

void editSizeOrAngle(TEditor &editor) {
  TQN_Path *a = nullptr, *b = nullptr;
  if (getTwoJoinedLines(editor, a, b))
    actEditLineAngleExecute(editor);
  else if (getSizeEditableShape(editor))
    actEditShapeSizeExecute(editor);
}

}  // namespace quillon
