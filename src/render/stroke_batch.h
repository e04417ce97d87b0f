#pragma once
// Strokes of consecutive shapes drawn with one pen at one opacity, gathered into one
// coverage mask and laid over the canvas in one go when the pen changes or something
// else is about to be drawn. On a raster canvas this replaces one stroker run and one
// blend per shape; shapes of one pen that cross cover a shared pixel once, as one path
// of them all would. Elsewhere (printers, PDF, dashed or wide-joined pens) the shapes are
// stroked by the painter as before.
#include <QPainterPath>
#include <QPointF>
#include <QRgb>

#include "render/coverage_raster.h"

class QPainter;

namespace quillon {

class TStrokeBatch {
 public:
  // Adds the stroke of `pixelPath` (drawing-box pixels) with the painter's pen at
  // `opacity`; false when the batch cannot draw it and the painter must.
  bool add(QPainter &canvas, const QPainterPath &pixelPath, qreal opacity);
  bool addLine(QPainter &canvas, QPointF a, QPointF b, qreal opacity);
  // Draws what the batch holds and empties it.
  void flush(QPainter &canvas);
  // Forgets what it holds (a frame that ended early), without drawing.
  void discard() { FOpen = false; }

 private:
  // Starts or continues the batch for the painter's pen; false when it does not fit.
  bool accept(QPainter &canvas, qreal opacity);

  TCoverageRaster FMask;
  bool FOpen = false;
  QRgb FColor = 0;
  double FWidth = 0.0;  // device pixels
  double FMiterLimit = 2.0;
  qreal FOpacity = 1.0;
};

}  // namespace quillon
