#include "render/fill_painter.h"

#include <QBrush>
#include <QPainter>
#include <QPen>

#include "model/shape.h"
#include "render/shape_painters.h"
#include "shell/view_transform.h"
#include "shell/editor.h"

namespace quillon {

namespace {

QPointF qp(TPointF p) { return {p.X, p.Y}; }

// Runs a drawing call at the given opacity with only the pen or only the brush, leaving
// the painter's pen, brush and opacity as they were.
class PaintScope {
 public:
  enum Part { StrokeOnly, FillOnly };
  PaintScope(QPainter &canvas, Part part, qreal opacity)
      : c_(canvas), pen_(canvas.pen()), brush_(canvas.brush()), opacity_(canvas.opacity()) {
    if (part == StrokeOnly)
      c_.setBrush(Qt::NoBrush);
    else
      c_.setPen(Qt::NoPen);
    c_.setOpacity(opacity);
  }
  ~PaintScope() {
    c_.setPen(pen_);
    c_.setBrush(brush_);
    c_.setOpacity(opacity_);
  }
  PaintScope(const PaintScope &) = delete;
  PaintScope &operator=(const PaintScope &) = delete;

 private:
  QPainter &c_;
  QPen pen_;
  QBrush brush_;
  qreal opacity_;
};

}  // namespace

void drawFilledShape(TEditor &editor, QPainter &painter, TQN_Path &pixelCopy, const TFillPaintState &state) {
  // 1. Live corners of the shape's box in pixels; a solid fill of the current colour.
  const QPointF vs = qp(state.LiveStart.value_or(realToVirtual(editor.view(), pixelCopy.FStartPt)));
  const QPointF ve = qp(state.LiveEnd.value_or(realToVirtual(editor.view(), pixelCopy.FEndPt)));
  painter.setBrush(QBrush(painter.brush().color()));

  const QPainterPath outline = toPainterPath(pixelCopy.Data());
  const bool closed = pixelCopy.fillPath();

  // 2. A closed outline is filled in the line type's colour at the shape's own opacity.
  if (closed && state.FillOn) {
    PaintScope scope(painter, PaintScope::FillOnly, pixelCopy.FOpacity);
    painter.drawPath(outline);
  }

  // 3. The outline shows when the shape is open, selected or fills are off; a selected
  // shape's stroke is half as thick again.
  if (!closed || pixelCopy.FSelected || !state.FillOn) {
    if (pixelCopy.FSelected) {
      QPen pen = painter.pen();
      pen.setWidthF(pen.widthF() * 1.5);
      painter.setPen(pen);
    }
    PaintScope scope(painter, PaintScope::StrokeOnly, state.LayerOpacity);
    painter.drawPath(outline);
  }

  // 4. Handles: round marks at the corners of the box and a dotted frame along its sides.
  const bool onScreen = !state.IsPrinting && !state.IsPrintPreviewing;
  if (pixelCopy.FSelected && onScreen && pixelCopy.FGroupID == 0) {
    setCanvasStroke(painter, editor.display().FHandleColor, 1.0f, TStrokeDash::Solid);
    const QRectF box = QRectF(vs, ve).normalized();
    const QPointF corners[] = {box.topLeft(), box.topRight(), box.bottomRight(), box.bottomLeft()};
    {
      PaintScope scope(painter, PaintScope::StrokeOnly, 1.0);
      for (const QPointF &c : corners) painter.drawEllipse(QRectF(c.x() - 3.0, c.y() - 3.0, 6.0, 6.0));
    }
    setCanvasStroke(painter, editor.display().FHandleColor, 1.0f, TStrokeDash::Dot);
    PaintScope scope(painter, PaintScope::StrokeOnly, 0.7);
    for (int i = 0; i < 4; ++i) painter.drawLine(corners[i], corners[(i + 1) % 4]);
  }
}

}  // namespace quillon
