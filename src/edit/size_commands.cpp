#include "edit/size_commands.h"

#include <algorithm>
#include <cmath>

#include "model/intersection.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/groups.h"
#include "shell/selection.h"
#include "shell/undo.h"

namespace quillon {

namespace {

// A reshaped shape's records go and come again; its group's frame is measured anew.
void reshaped(TEditor &editor, TQN_Path *shape) {
  removeIntersectionsOf(editor.doc().FIntersections, shape);
  editor.calcIntersectionsOfShape(shape);
  invalidateGroupBounds(editor, std::vector<TQN_Path *>{shape});
}

void finishChange(TEditor &editor, bool changed, const char *reason) {
  if (!changed) return;
  editor.ui().refreshCanvas();
  takeUndoSnapshot(editor, QString::fromLatin1(reason));
}

}  // namespace

void setSelectedLinesLength(TEditor &editor, float length) {
  bool changed = false;
  for (TQN_Path *shape : getSelectedPaths(editor, true, true)) {
    if (!shape->isKind(TShapeKind::Line)) continue;
    const TPointF start = shape->FStartPt;
    if (calcDistance(start, shape->FEndPt) <= 0.0f) continue;
    const TPointF end = start + calcUnitVector(start, shape->FEndPt) * length;
    if (end == shape->FEndPt) continue;
    const bool freeAngle = shape->FIsFreeAngle;
    shape->drawLinePath(start, end);
    shape->FIsFreeAngle = freeAngle;
    reshaped(editor, shape);
    changed = true;
  }
  finishChange(editor, changed, "L34060");
}

void setSelectedEllipsesSize(TEditor &editor, float width, float height) {
  if (!(width > 0.0f && height > 0.0f)) return;
  bool changed = false;
  for (TQN_Path *shape : getSelectedPaths(editor, true, true)) {
    if (!shape->isKind(TShapeKind::Ellipse)) continue;
    if (shape->FWidth == width && shape->FHeight == height) continue;
    shape->drawEllipsePath(shape->GetCenter(), width, height);
    reshaped(editor, shape);
    changed = true;
  }
  finishChange(editor, changed, "L34176");
}

void changeTemplateOpacity(TEditor &editor, bool up) {
  bool changed = false;
  for (TQN_Path *shape : getSelectedPaths(editor, true, true)) {
    if (!shape->isKind(TShapeKind::Other)) continue;
    if (up && shape->FOpacity < 1.0f) {
      shape->FOpacity = std::min(1.0f, shape->FOpacity + 0.1f);
      changed = true;
    } else if (!up && shape->FOpacity > 0.2f) {
      shape->FOpacity = std::max(0.2f, shape->FOpacity - 0.1f);
      changed = true;
    }
    // Radial-repeat copies follow once radial repeats exist.
  }
  if (!changed) return;
  takeUndoSnapshot(editor, QStringLiteral("L29772"));
  editor.ui().refreshCanvas();
}

void changeSelectedThickness(TEditor &editor, float delta) {
  const float step = delta > 0.0f ? 0.5f : -0.5f;
  for (TQN_Path *shape : getSelectedPaths(editor, true, true)) {
    const bool inside = step > 0.0f ? shape->FThickness < 20.0f : shape->FThickness > 1.0f;
    if (inside) shape->FThickness += step;
    // Radial-repeat copies follow once radial repeats exist.
  }
  takeUndoSnapshot(editor, QStringLiteral("L29803"));
  editor.ui().refreshCanvas();
}

}  // namespace quillon
