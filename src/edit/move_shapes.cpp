#include "edit/move_shapes.h"

#include <unordered_set>
#include <vector>

#include "model/intersection.h"
#include "model/shape.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/groups.h"
#include "shell/selection.h"
#include "shell/undo.h"
#include "stitching/hole_shape.h"

namespace quillon {

void translateShape(TEditor &editor, TQN_Path &shape, TPointF offset, bool followRadialCopies) {
  const TPointF d = offset;
  if (shape.isKind(TShapeKind::Line)) {
    const bool freeAngle = shape.FIsFreeAngle;
    shape.drawLinePath(shape.FStartPt + d, shape.FEndPt + d);
    shape.FIsFreeAngle = freeAngle;
  } else if (shape.isKind(TShapeKind::Bezier)) {
    shape.drawBezierPath(shape.FStartPt + d, shape.FBezierCp1 + d, shape.FBezierCp2 + d, shape.FEndPt + d);
  } else if (shape.isKind(TShapeKind::Ellipse)) {
    shape.drawEllipsePath(shape.FCenter + d, shape.FWidth, shape.FHeight);
  } else if (shape.isKind(TShapeKind::Dot)) {
    // A dot keeps the size it has; only a dot without one takes the default radius.
    const float radius = shape.FWidth > 0.0f ? shape.FWidth / 2.0f : editor.display().FStrokeDefs.DotRadius;
    shape.drawDotPath(shape.FStartPt + d, radius);
  } else if (shape.isKind(TShapeKind::Arc)) {
    shape.drawArcPath(shape.FCenter + d, {shape.FWidth, shape.FHeight}, shape.FStartPt + d, shape.FEndPt + d,
                      shape.FSweepAngle);
  } else if (shape.isKind(TShapeKind::Hole)) {
    remakeHole(shape, shape.FCenter + d, shape.FRotation);
  } else if (shape.isKind(TShapeKind::Text)) {
    shape.Data().Translate(d.X, d.Y);
    shape.FStartPt += d;
    shape.FEndPt += d;
    shape.resetBoundary();
  } else {
    shape.Data().Translate(d.X, d.Y);
    shape.resetBoundary();
    shape.getBoundary(true);
  }

  if (!editor.display().IsMandalaMode && shape.FMandalaID > 0) {
    shape.FMandalaCenter += d;
    editor.display().Mandala.Center = shape.FMandalaCenter;
  }
  // With followRadialCopies the shape's radial copies are regenerated here once the
  // radial-repeat tool exists.
  (void)followRadialCopies;
}

void moveSelectedShapes(TEditor &editor, float dx, float dy) {
  const std::vector<TQN_Path *> shapes = getSelectedPaths(editor, false, false);
  if (shapes.empty()) return;
  removeIntersectionsOf(editor.doc().FIntersections,
                        std::unordered_set<const TQN_Path *>(shapes.begin(), shapes.end()));
  for (TQN_Path *shape : shapes) translateShape(editor, *shape, {dx, dy}, true);
  for (TQN_Path *shape : shapes) editor.calcIntersectionsOfShape(shape);
  invalidateGroupBounds(editor, shapes);
  takeUndoSnapshot(editor, QStringLiteral("L38332"));
  editor.ui().refreshCanvas();
}

void moveSelectionToLayer(TEditor &editor, int layer) {
  const std::vector<TQN_Path *> shapes = getSelectedPaths(editor, false, false);
  if (shapes.empty()) return;
  // A member of a radial repeat carries the layer to its copies once the radial-repeat
  // tool regenerates them.
  for (TQN_Path *shape : shapes) shape->FLayerID = layer;
  removeIntersectionsOf(editor.doc().FIntersections,
                        std::unordered_set<const TQN_Path *>(shapes.begin(), shapes.end()));
  for (TQN_Path *shape : shapes) editor.calcIntersectionsOfShape(shape);
  takeUndoSnapshot(editor, QStringLiteral("L38352"));
}

}  // namespace quillon
