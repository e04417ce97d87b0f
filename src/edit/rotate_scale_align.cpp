#include "edit/rotate_scale_align.h"

#include <algorithm>
#include <map>
#include <numbers>

#include "edit/move_shapes.h"
#include "model/intersection.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_bounds.h"
#include "platform/number_text.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/groups.h"
#include "shell/selection.h"
#include "shell/undo.h"
#include "stitching/hole_shape.h"
#include "tools/dragging.h"
#include "shell/view_transform.h"

namespace quillon {

namespace {

constexpr double kDegToRad = std::numbers::pi / 180.0;

// The number typed into an input box; text that is no number reads as 0.
float typedNumber(const QString &text) {
  return float(parseDouble(text.trimmed().toStdString()).value_or(0.0));
}

bool allHoles(const std::vector<TQN_Path *> &shapes) {
  return !shapes.empty() &&
         std::all_of(shapes.begin(), shapes.end(), [](const TQN_Path *s) { return s->isKind(TShapeKind::Hole); });
}

// The common end of a rotation or scaling: group frames dropped, intersections of every
// shape recomputed, and the snapshot or the status line's note.
void finishTransform(TEditor &editor, const std::vector<TQN_Path *> &shapes, bool changed, bool takeSnapshot,
                     const char *reason) {
  invalidateSelectedGroupBounds(editor);
  if (changed) editor.ui().refreshCanvas();
  for (TQN_Path *s : shapes) editor.calcIntersectionsOfShape(s);
  if (!changed)
    editor.ui().setStatusText(editor.tr(QStringLiteral("RotationLimitation")));
  else if (takeSnapshot)
    takeUndoSnapshot(editor, QString::fromLatin1(reason));
}

}  // namespace

void refreshFrame(TQN_Path &shape) {
  shape.resetBoundary();
  const TRectF b = shape.getBoundary(false);
  shape.FStartPt = {b.Left, b.Top};
  shape.FEndPt = {b.Right, b.Bottom};
  shape.FCenter = b.centerPoint();
}

TPointF chooseRotationPivot(TEditor &editor, const std::vector<TQN_Path *> &shapes) {
  TPointerState &p = editor.pointer();
  if (p.FIsRotationCenterSpecified) return p.FRotationCenter;
  if (shapes.size() == 1 && shapes.front()->isKind(TShapeKind::Other))
    p.FRotationCenter = shapes.front()->GetCenter();
  else
    p.FRotationCenter = getShapesCenter(shapes);
  p.FIsRotationCenterSpecified = true;
  return p.FRotationCenter;
}

void rotateShapeAbout(TQN_Path &shape, float angle, TPointF centre) {
  if (!shape.isKind(TShapeKind::Other) && !shape.isKind(TShapeKind::Text)) return;
  shape.Data().Translate(-centre.X, -centre.Y);
  shape.Data().ApplyMatrix(TMatrix::rotation(double(angle) * kDegToRad));
  shape.Data().Translate(centre.X, centre.Y);
  refreshFrame(shape);
}

void scaleShapeAbout(TQN_Path &shape, float sx, float sy, TPointF centre) {
  if (!shape.isKind(TShapeKind::Other) && !shape.isKind(TShapeKind::Text)) return;
  shape.Data().Translate(-centre.X, -centre.Y);
  shape.Data().Scale(sx, sy);
  shape.Data().Translate(centre.X, centre.Y);
  refreshFrame(shape);
}

TPointF scalePointAbout(TPointF p, float sx, float sy, TPointF centre) {
  return {centre.X + (p.X - centre.X) * sx, centre.Y + (p.Y - centre.Y) * sy};
}

void rotateShapes(TEditor &editor, const std::vector<TQN_Path *> &shapes, float angle, bool takeSnapshot) {
  const TPointF c = chooseRotationPivot(editor, shapes);
  for (TQN_Path *s : shapes) removeIntersectionsOf(editor.doc().FIntersections, s);
  const bool holesOnly = allHoles(shapes);
  const auto turn = [&](TPointF p) { return rotatePointWithMatrix(p, angle, c); };
  bool changed = false;
  for (TQN_Path *s : shapes) {
    switch (s->FShapeType) {
      case TShapeKind::Line: {
        const bool freeAngle = s->FIsFreeAngle;
        s->drawLinePath(turn(s->FStartPt), turn(s->FEndPt));
        s->FIsFreeAngle = freeAngle;
        break;
      }
      case TShapeKind::Bezier:
        s->drawBezierPath(turn(s->FStartPt), turn(s->FBezierCp1), turn(s->FBezierCp2), turn(s->FEndPt));
        break;
      case TShapeKind::Arc:
        s->drawArcPath(turn(s->FCenter), {s->FWidth, s->FHeight}, turn(s->FStartPt), turn(s->FEndPt),
                       s->FSweepAngle);
        break;
      case TShapeKind::Ellipse: s->drawEllipsePath(turn(s->FCenter), s->FWidth, s->FHeight); break;
      case TShapeKind::Dot: s->drawDotPath(turn(s->FCenter), s->FWidth / 2.0f); break;
      case TShapeKind::Hole:
        // Holes alone turn in place; with other shapes they swing about the pivot too.
        remakeHole(*s, holesOnly ? s->FCenter : turn(s->FCenter), s->FRotation + angle);
        break;
      case TShapeKind::Other:
      case TShapeKind::Text:
        rotateShapeAbout(*s, angle, c);
        s->SetRotation(s->FRotation + angle);
        if (s->isKind(TShapeKind::Text) && shapes.size() == 1) editor.panel().nbTextRotation = s->FRotation;
        break;
      default: continue;
    }
    changed = true;
  }
  finishTransform(editor, shapes, changed, takeSnapshot, "L27508");
}

void rotateSelection(TEditor &editor, float angle, bool takeSnapshot) {
  rotateShapes(editor, getSelectedPaths(editor, false, false), angle, takeSnapshot);
}

void scaleShapes(TEditor &editor, const std::vector<TQN_Path *> &shapes, float sx, float sy, bool takeSnapshot) {
  const TPointF c = chooseRotationPivot(editor, shapes);
  for (TQN_Path *s : shapes) removeIntersectionsOf(editor.doc().FIntersections, s);
  const bool holesOnly = allHoles(shapes);
  const auto scale = [&](TPointF p) { return scalePointAbout(p, sx, sy, c); };
  bool changed = false;
  for (TQN_Path *s : shapes) {
    switch (s->FShapeType) {
      case TShapeKind::Line: {
        const bool freeAngle = s->FIsFreeAngle;
        s->drawLinePath(scale(s->FStartPt), scale(s->FEndPt));
        s->FIsFreeAngle = freeAngle;
        break;
      }
      case TShapeKind::Bezier:
        s->drawBezierPath(scale(s->FStartPt), scale(s->FBezierCp1), scale(s->FBezierCp2), scale(s->FEndPt));
        break;
      case TShapeKind::Arc:
        s->drawArcPath(scale(s->FCenter), {s->FWidth * sx, s->FHeight * sy}, scale(s->FStartPt), scale(s->FEndPt),
                       s->FSweepAngle);
        break;
      case TShapeKind::Ellipse: s->drawEllipsePath(scale(s->FCenter), s->FWidth * sx, s->FHeight * sy); break;
      case TShapeKind::Dot: s->drawDotPath(scale(s->FCenter), s->FWidth / 2.0f); break;
      case TShapeKind::Hole:
        // A hole keeps the size of its iron; holes alone therefore do not change at all.
        if (holesOnly) continue;
        remakeHole(*s, scale(s->FCenter), s->FRotation);
        break;
      case TShapeKind::Other: scaleShapeAbout(*s, sx, sy, s->FMandalaID > 0 ? s->GetCenter() : c); break;
      case TShapeKind::Text:
        scaleShapeAbout(*s, sx, sy, c);
        s->FFontSize *= (sx + sy) / 2.0f;
        break;
      default: continue;
    }
    changed = true;
  }
  finishTransform(editor, shapes, changed, takeSnapshot, "L29394");
}

void scaleSelection(TEditor &editor, float sx, float sy, bool takeSnapshot) {
  scaleShapes(editor, getSelectedPaths(editor, false, false), sx, sy, takeSnapshot);
}

void actSpecifyRotationAngleExecute(TEditor &editor) {
  const std::optional<QString> answer = editor.ui().inputBox(
      QStringLiteral("askRotationAngle"), editor.tr(QStringLiteral("askRotationAngle")),
      QStringLiteral("askRotationAngleBody"), editor.tr(QStringLiteral("askRotationAngleBody")), QString());
  if (!answer) return;
  const float angle = typedNumber(*answer);
  if (angle != 0.0f && angle > -360.0f && angle < 360.0f) rotateSelection(editor, angle, true);
}

void actSpecifyScaleRatioExecute(TEditor &editor, TScaleAxes axes) {
  const std::optional<QString> answer = editor.ui().inputBox(
      QStringLiteral("askScalingRatio"), editor.tr(QStringLiteral("askScalingRatio")),
      QStringLiteral("askScalingRatioBody"), editor.tr(QStringLiteral("askScalingRatioBody")), QString());
  if (!answer) return;
  const float r = typedNumber(*answer);
  if (!(r >= 0.1f && r <= 10.0f)) return;
  scaleSelection(editor, axes == TScaleAxes::Vertical ? 1.0f : r, axes == TScaleAxes::Horizontal ? 1.0f : r, true);
}

void actSetAsRotationCenterExecute(TEditor &editor) {
  TPointerState &p = editor.pointer();
  p.FRotationCenter =
      editor.snap().FStickyExists ? editor.snap().FStickyPoint : virtualToReal(editor.view(), p.FLastMousePos);
  p.FIsRotationCenterSpecified = true;
  p.FIsSnapPointManuallySet = true;
}

void alignSelection(TEditor &editor, TAlignment alignment) {
  const std::vector<TQN_Path *> sel = getSelectedPaths(editor, false, false);
  if (sel.size() < 2) return;
  const TRectF S = calcShapesBoundary(sel);
  // The whole frame of every group is taken before anything moves.
  std::map<int, TRectF> groupBox;
  for (TQN_Path *s : sel)
    if (s->FGroupID > 0 && !groupBox.count(s->FGroupID)) groupBox[s->FGroupID] = getGroupBounds(editor, s->FGroupID);
  invalidateSelectedGroupBounds(editor);

  for (TQN_Path *s : sel) {
    const TRectF R = s->FGroupID != 0 && groupBox.count(s->FGroupID) ? groupBox[s->FGroupID] : s->getBoundary(false);
    TPointF d;
    switch (alignment) {
      case TAlignment::Left: d = {S.Left - R.Left, 0.0f}; break;
      case TAlignment::Right: d = {S.Right - R.Right, 0.0f}; break;
      case TAlignment::MiddleH: d = {(S.Left + S.Right) / 2.0f - (R.Left + R.Right) / 2.0f, 0.0f}; break;
      case TAlignment::MiddleV: d = {0.0f, (S.Top + S.Bottom) / 2.0f - (R.Top + R.Bottom) / 2.0f}; break;
      case TAlignment::Top: d = {0.0f, S.Top - R.Top}; break;
      case TAlignment::Bottom: d = {0.0f, S.Bottom - R.Bottom}; break;
    }
    removeIntersectionsOf(editor.doc().FIntersections, s);
    translateShape(editor, *s, d, true);
    editor.calcIntersectionsOfShape(s);
  }
  editor.pointer().FFirstSelection = nullptr;
  editor.ui().refreshCanvas();
  takeUndoSnapshot(editor, QStringLiteral("L26123"));
}

}  // namespace quillon
