#include "tools/view_commands.h"

#include <algorithm>
#include <cmath>

#include "edit/rotate_scale_align.h"
#include "model/shape_bounds.h"
#include "edit/size_commands.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "platform/number_text.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/options.h"
#include "shell/selection.h"
#include "shell/throttle.h"
#include "tools/snapping.h"
#include "shell/view_transform.h"

namespace quillon {

namespace {

void clampScale(TEditor &editor) {
  if (editor.view().FScale < kMinScale)
    editor.view().FScale = kMinScale;
  else if (editor.view().FScale > kMaxScale)
    editor.view().FScale = kMaxScale;
}

// Multiplies the scale by f (clamped) keeping the real point under `pointer` in place.
void zoomAbout(TEditor &editor, TPointF pointer, double f) {
  const TPointF r = virtualToReal(editor, pointer);
  editor.view().FScale = static_cast<float>(editor.view().FScale * f);
  clampScale(editor);
  const TPointF v = realToVirtual(editor.view(), r);
  editor.view().FOffset = {editor.view().FOffset.X + (pointer.X - v.X), editor.view().FOffset.Y + (pointer.Y - v.Y)};
}

bool insideBox(const TEditor &editor, TPointF p) {
  return p.X >= 0.0f && p.Y >= 0.0f && p.X <= editor.view().FBoxWidth && p.Y <= editor.view().FBoxHeight;
}

}  // namespace

void pboxMouseWheel(TEditor &editor, TShiftState Shift, int WheelDelta, TPointF pointer) {
  int d = WheelDelta;
  if (editor.FOptions && editor.FOptions->ReverseMouseWheelZoomDirection) d = -d;

  // A single leather-filled shape with Shift or Ctrl: scale its leather texture.
  const std::vector<TQN_Path *> selected = getSelectedPaths(editor, true, true);
  if (selected.size() == 1 && !selected.front()->FCatalogGUID.isEmpty() && (hasShift(Shift) || hasCtrl(Shift))) {
    TQN_Path *shape = selected.front();
    const float vx = hasShift(Shift) ? 0.01f : 0.0f;
    const float vy = hasCtrl(Shift) ? 0.01f : 0.0f;
    shape->FCatalogScale = {shape->FCatalogScale.X + vx * float(d) / 200.0f,
                            shape->FCatalogScale.Y + vy * float(d) / 200.0f};
    ++editor.FUndoStore.FRequireSnapshotScale;
    editor.ui().refreshCanvas();
    return;
  }

  const TPointF p = insideBox(editor, pointer) ? pointer : editor.pointer().FLastMousePos;
  const bool shift = hasShift(Shift), ctrl = hasCtrl(Shift), alt = hasAlt(Shift);
  if (ctrl) {
    // Every step counts as a change waiting for its snapshot, whichever way it turned: the
    // shapes were rebuilt either way.
    if (shift) {
      const float f = d > 0 ? 1.01f : 0.99f;
      scaleSelection(editor, f, f, false);
      ++editor.FUndoStore.FRequireSnapshotScale;
    } else {
      rotateSelection(editor, d > 0 ? -1.0f : 1.0f, false);
      ++editor.FUndoStore.FRequireSnapshotRotate;
    }
    editor.ui().refreshCanvas();
    return;
  }
  if (shift && alt) {
    editor.view().FOffset.Y -= float(d / 2);
  } else if (shift) {
    editor.view().FOffset.X += float(d / 2);
  } else if (alt && editor.tool().FTool == TTool::Arc) {
    // The arc tool's radius and half-moon boxes are stepped by the window's number boxes.
    return;
  } else if (alt) {
    changeSelectedThickness(editor, float(d));
  } else {
    zoomAbout(editor, p, std::pow(2.0, double(d) / 500.0));
  }
  editor.ui().refreshCanvas();
}

bool pboxGesture(TEditor &editor, const TGestureEvent &event) {
  switch (event.Kind) {
    case TGestureKind::Zoom:
      if (event.Begin || editor.view().FGestureLastZoomDistance <= 0.0f) {
        editor.view().FGestureLastZoomDistance = float(event.Distance);
      } else if (event.Distance > 0) {
        const double f = double(event.Distance) / editor.view().FGestureLastZoomDistance;
        zoomAbout(editor, event.Location, f);
        editor.view().FGestureLastZoomDistance = float(event.Distance);
        editor.ui().refreshCanvas();
      }
      if (event.End) editor.view().FGestureLastZoomDistance = 0.0f;
      return true;
    case TGestureKind::Pan:
      if (!event.Begin) {
        editor.view().FOffset = {editor.view().FOffset.X + (event.Location.X - editor.view().FGesturePrevLocation.X),
                          editor.view().FOffset.Y + (event.Location.Y - editor.view().FGesturePrevLocation.Y)};
        editor.ui().refreshCanvas();
      }
      editor.view().FGesturePrevLocation = event.Location;
      return true;
    case TGestureKind::Other: break;
  }
  return false;
}

void actShowHideGridExecute(TEditor &editor) {
  editor.display().FShowGrid = !editor.display().FShowGrid;
  editor.ui().refreshCanvas();
}

void actShowHideDimensionLinesExecute(TEditor &editor) {
  if (isThrottled(editor, QStringLiteral("F5"), 400)) return;
  editor.display().FShowDimensionShapes = !editor.display().FShowDimensionShapes;
  editor.ui().refreshCanvas();
}

void actShowHidePrintAreasExecute(TEditor &editor) {
  if (isThrottled(editor, QStringLiteral("F7"), 400)) return;
  editor.display().FShowPrintAreas = !editor.display().FShowPrintAreas;
  editor.ui().refreshCanvas();
}

void actShowHideScaleExecute(TEditor &editor) {
  editor.display().FShowRuler = !editor.display().FShowRuler;
  if (editor.display().FShowRuler) {
    editor.tool().FRulerFixed = true;
    editor.tool().FRulerRealSt = editor.snap().FStickyExists
                                     ? editor.snap().FStickyPoint
                                     : virtualToReal(editor, editor.pointer().FLastMousePos, true);
  }
  editor.ui().refreshCanvas();
}

void panByArrowKey(TEditor &editor, int dx, int dy) {
  const float sign = (editor.FOptions && editor.FOptions->ReverseCursorKeyGridAreaMove) ? -1.0f : 1.0f;
  const TPointF step{50.0f * float(dx) * sign, 50.0f * float(dy) * sign};
  editor.view().FOffset = {editor.view().FOffset.X + step.X, editor.view().FOffset.Y + step.Y};
  editor.pointer().FLastMousePos = {editor.pointer().FLastMousePos.X + step.X,
                                    editor.pointer().FLastMousePos.Y + step.Y};
  editor.ui().refreshCanvas();
}

void followScreenDrag(TEditor &editor, TPointF pointer) {
  editor.view().FOffset = {editor.view().FOriginalOffset.X + (pointer.X - editor.pointer().FFirstMousePos.X),
                    editor.view().FOriginalOffset.Y + (pointer.Y - editor.pointer().FFirstMousePos.Y)};
}

}  // namespace quillon
