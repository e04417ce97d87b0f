#include "tools/view_commands.h"

#include <algorithm>
#include <cmath>

#include "edit/shape_bounds.h"
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
#include "tools/view_transform.h"

namespace quillon {

namespace {

void clampScale(TEditor &editor) {
  if (editor.FScale < kMinScale)
    editor.FScale = kMinScale;
  else if (editor.FScale > kMaxScale)
    editor.FScale = kMaxScale;
}

// Multiplies the scale by f (clamped) keeping the real point under `pointer` in place.
void zoomAbout(TEditor &editor, TPointF pointer, double f) {
  const TPointF r = virtualToReal(editor, pointer);
  editor.FScale = static_cast<float>(editor.FScale * f);
  clampScale(editor);
  const TPointF v = realToVirtual(editor, r);
  editor.FOffset = {editor.FOffset.X + (pointer.X - v.X), editor.FOffset.Y + (pointer.Y - v.Y)};
}

bool insideBox(const TEditor &editor, TPointF p) {
  return p.X >= 0.0f && p.Y >= 0.0f && p.X <= editor.FBoxWidth && p.Y <= editor.FBoxHeight;
}

}  // namespace

void actResetViewExecute(TEditor &editor) {
  if (!editor.PathList || editor.PathList->Count() == 0) {
    editor.FScale = 10.0f;
    editor.FOffset = {0.0f, 0.0f};
  } else {
    const TRectF b = calcShapesBoundary(editor.PathList->Items());
    const TPointF topLeft{b.Left - 5.0f, b.Top - 5.0f};
    const float w = std::max(b.Right + 5.0f - topLeft.X, 10.0f);
    const float h = std::max(b.Bottom + 5.0f - topLeft.Y, 10.0f);
    double s = std::min(double(editor.FBoxWidth) / w, double(editor.FBoxHeight) / h);
    s = roundHalfEven((s + 0.05) * 10.0) / 10.0;
    editor.FScale = static_cast<float>(s);
    editor.FOffset = {static_cast<float>(roundHalfEven(-topLeft.X * editor.FScale) - 5.0),
                      static_cast<float>(roundHalfEven(-topLeft.Y * editor.FScale) - 5.0)};
  }
  editor.ui().refreshCanvas();
}

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

  const TPointF p = insideBox(editor, pointer) ? pointer : editor.FLastMousePos;
  const bool shift = hasShift(Shift), ctrl = hasCtrl(Shift), alt = hasAlt(Shift);
  if (ctrl) {
    // Rotating and scaling the selection by wheel belong to the transform commands, which
    // the wheel reaches once they exist.
    return;
  }
  if (shift && alt) {
    editor.FOffset.Y -= float(d / 2);
  } else if (shift) {
    editor.FOffset.X += float(d / 2);
  } else if (alt && editor.FTool == TTool::Arc) {
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
      if (event.Begin || editor.FGestureLastZoomDistance <= 0.0f) {
        editor.FGestureLastZoomDistance = float(event.Distance);
      } else if (event.Distance > 0) {
        const double f = double(event.Distance) / editor.FGestureLastZoomDistance;
        zoomAbout(editor, event.Location, f);
        editor.FGestureLastZoomDistance = float(event.Distance);
        editor.ui().refreshCanvas();
      }
      if (event.End) editor.FGestureLastZoomDistance = 0.0f;
      return true;
    case TGestureKind::Pan:
      if (!event.Begin) {
        editor.FOffset = {editor.FOffset.X + (event.Location.X - editor.FGesturePrevLocation.X),
                          editor.FOffset.Y + (event.Location.Y - editor.FGesturePrevLocation.Y)};
        editor.ui().refreshCanvas();
      }
      editor.FGesturePrevLocation = event.Location;
      return true;
    case TGestureKind::Other: break;
  }
  return false;
}

void actShowHideGridExecute(TEditor &editor) {
  editor.FShowGrid = !editor.FShowGrid;
  editor.ui().refreshCanvas();
}

void actShowHideDimensionLinesExecute(TEditor &editor) {
  if (isThrottled(editor, QStringLiteral("F5"), 400)) return;
  editor.FShowDimensionShapes = !editor.FShowDimensionShapes;
  editor.ui().refreshCanvas();
}

void actShowHidePrintAreasExecute(TEditor &editor) {
  if (isThrottled(editor, QStringLiteral("F7"), 400)) return;
  editor.FShowPrintAreas = !editor.FShowPrintAreas;
  editor.ui().refreshCanvas();
}

void actShowHideScaleExecute(TEditor &editor) {
  editor.FShowRuler = !editor.FShowRuler;
  if (editor.FShowRuler) {
    editor.FRulerFixed = true;
    editor.FRulerRealSt =
        editor.FStickyExists ? editor.FStickyPoint : virtualToReal(editor, editor.FLastMousePos, true);
  }
  editor.ui().refreshCanvas();
}

void panByArrowKey(TEditor &editor, int dx, int dy) {
  const float sign = (editor.FOptions && editor.FOptions->ReverseCursorKeyGridAreaMove) ? -1.0f : 1.0f;
  const TPointF step{50.0f * float(dx) * sign, 50.0f * float(dy) * sign};
  editor.FOffset = {editor.FOffset.X + step.X, editor.FOffset.Y + step.Y};
  editor.FLastMousePos = {editor.FLastMousePos.X + step.X, editor.FLastMousePos.Y + step.Y};
  editor.ui().refreshCanvas();
}

void followScreenDrag(TEditor &editor, TPointF pointer) {
  editor.FOffset = {editor.FOriginalOffset.X + (pointer.X - editor.FFirstMousePos.X),
                    editor.FOriginalOffset.Y + (pointer.Y - editor.FFirstMousePos.Y)};
}

}  // namespace quillon
