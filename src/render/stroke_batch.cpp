#include "render/stroke_batch.h"

#include <QPainter>
#include <QPen>
#include <QTransform>

#include <array>
#include <optional>

namespace quillon {

bool TStrokeBatch::accept(QPainter &canvas, qreal opacity) {
  if (!coverageFits(canvas)) return false;
  const std::optional<double> penWidth = maskPenWidth(canvas);
  if (!penWidth) return false;
  const QPen &pen = canvas.pen();
  const double width = *penWidth;
  const QRgb color = pen.color().rgba();
  if (FOpen && (color != FColor || width != FWidth || opacity != FOpacity || pen.miterLimit() != FMiterLimit))
    flush(canvas);
  if (!FOpen) {
    FMask.beginOn(canvas);
    FOpen = true;
    FColor = color;
    FWidth = width;
    FOpacity = opacity;
    FMiterLimit = pen.miterLimit();
  }
  return true;
}

bool TStrokeBatch::add(QPainter &canvas, const QPainterPath &pixelPath, qreal opacity) {
  if (!accept(canvas, opacity)) {
    flush(canvas);  // what came before is drawn before what the painter draws now
    return false;
  }
  FMask.addPathStroke(pixelPath, canvas.deviceTransform(), FWidth, FMiterLimit);
  return true;
}

bool TStrokeBatch::addLine(QPainter &canvas, QPointF a, QPointF b, qreal opacity) {
  if (!accept(canvas, opacity)) {
    flush(canvas);
    return false;
  }
  const QTransform toDevice = canvas.deviceTransform();
  const std::array<QPointF, 2> ends{toDevice.map(a), toDevice.map(b)};
  FMask.addStroke(ends.data(), 2, false, FWidth, FMiterLimit);
  return true;
}

void TStrokeBatch::flush(QPainter &canvas) {
  if (!FOpen) return;
  FOpen = false;
  FMask.paint(canvas, FColor, FOpacity);
}

}  // namespace quillon
