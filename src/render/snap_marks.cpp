#include "render/snap_marks.h"

#include <QPainter>

#include "model/point_helpers.h"
#include "render/shape_painters.h"
#include "shell/editor.h"
#include "shell/options.h"
#include "tools/snapping.h"
#include "shell/view_transform.h"

namespace quillon {

namespace {

QPointF px(const TEditor &editor, TPointF real) {
  const TPointF v = realToVirtual(editor.view(), real);
  return {v.X, v.Y};
}

void fillCircle(QPainter &canvas, QPointF c, qreal r) { canvas.drawEllipse(c, r, r); }

void ring(QPainter &canvas, QPointF c, qreal r) {
  canvas.setBrush(Qt::NoBrush);
  canvas.drawEllipse(c, r, r);
}

void setFill(QPainter &canvas, TAlphaColor color) { canvas.setBrush(QColor::fromRgba(color)); }

}  // namespace

void drawSnapPoints(const TEditor &editor, QPainter &canvas) {
  for (TPointF p : editor.snap().FSnapPoints) {
    const QPointF c = px(editor, p);
    setCanvasStroke(canvas, 0xFF0000FF, 1.0f, TStrokeDash::Solid);
    setFill(canvas, 0xFF0000FF);
    fillCircle(canvas, c, 3.0);
    setCanvasStroke(canvas, 0xFFFF0000, 2.0f, TStrokeDash::Solid);
    ring(canvas, c, 4.0);
  }
}

TPointF currentToolPoint(const TEditor &editor) {
  if (!editor.snap().FStickyExists || hasCtrl(editor.pointer().FLastShiftState))
    return virtualToReal(editor, editor.pointer().FLastMousePos);
  return editor.snap().FStickyPoint;
}

TPointF drawCurrentPoint(const TEditor &editor, QPainter &canvas) {
  const TPointF cur = currentToolPoint(editor);
  if (editor.snap().FStickyExists && !hasCtrl(editor.pointer().FLastShiftState)) {
    // Radial-repeat sections repeat this mark once radial repeats exist.
    const qreal opacity = canvas.opacity();
    canvas.setOpacity(0.8);
    setCanvasStroke(canvas, editor.display().FHandleColor, 1.0f, TStrokeDash::Solid);
    setFill(canvas, editor.display().FHandleColor);
    fillCircle(canvas, px(editor, cur), 4.0);
    canvas.setOpacity(opacity);
  }
  return cur;
}

void drawPointerMark(TEditor &editor, QPainter &canvas) {
  const bool tool = !editor.pointer().FIsShapeDragging && isDrawingTool(editor.tool().FTool);
  const bool clicked = !editor.tool().Clicked_Points.empty();
  if (!editor.pointer().FIsRotationCenterSpecified && !editor.pointer().FIsEdgeDragging && !clicked &&
      !editor.display().FShowRuler && !tool)
    return;

  TPointF p;
  if (editor.pointer().FIsEdgeDragging)
    p = editor.snap().FStickyExists ? editor.snap().FStickyPoint
                                    : virtualToReal(editor, editor.pointer().FLastMousePos, true);
  else if (clicked || editor.display().FShowRuler || tool)
    p = virtualToReal(editor, editor.pointer().FLastMousePos, true);
  else
    p = editor.pointer().FRotationCenter;

  setCanvasStroke(canvas, 0xFF0000FF, 3.0f, TStrokeDash::Solid);
  setFill(canvas, 0xFF0000FF);
  if (editor.pointer().FIsShapeDragging) ring(canvas, px(editor, p), 10.0);

  // The tangent-circle mode, when it exists, switches the highlight off.
  if (!editor.FOptions || !editor.FOptions->HighlightSnapTargets) return;
  bool single = false;
  std::vector<TPointF> candidates = snapCandidatesNear(editor, p, single);
  if (candidates.empty() || hasCtrl(editor.pointer().FLastShiftState)) return;
  const TPointF pPx = realToVirtual(editor.view(), p);
  bool near = false;
  for (TPointF c : candidates) near = near || calcDistance(realToVirtual(editor.view(), c), pPx) < 150.0f;
  if (!near) return;

  const TAlphaColor exact = editor.display().FIsBlackBackgroundMode ? 0xFFFFFF00 : 0xFFFFA500;
  for (TPointF c : candidates) {
    if (single) {
      const TPointF v = realToVirtual(editor.view(), c);
      const TPointF r = virtualToReal(editor, v, true);
      if (editor.snap().FStickyExists && r != c && calcDistance(v, editor.pointer().FLastMousePos) < 2.0f) {
        editor.snap().FStickyPoint = r;
        const TPointF rv = realToVirtual(editor.view(), r);
        editor.pointer().FLastMousePos = {editor.pointer().FLastMousePos.X + (rv.X - v.X),
                                          editor.pointer().FLastMousePos.Y + (rv.Y - v.Y)};
        c = r;
      }
    }
    const TAlphaColor color = c == p ? exact : 0xFF008000;
    setCanvasStroke(canvas, color, 2.0f, TStrokeDash::Solid);
    setFill(canvas, color);
    ring(canvas, px(editor, c), 7.0);
  }
}

}  // namespace quillon
