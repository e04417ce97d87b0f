#include "render/hole_batch.h"

#include <QBrush>
#include <QColor>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

#include "model/point_helpers.h"
#include "model/shape.h"
#include "render/shape_painters.h"
#include "render/view_transform.h"
#include "shell/editor.h"
#include "shell/options.h"

namespace quillon {

namespace {

constexpr TAlphaColor kOpaqueBlack = 0xFF000000;
constexpr TAlphaColor kOpaqueWhite = 0xFFFFFFFF;
constexpr TAlphaColor kPreviewYellow = 0xFFFFFF00;
constexpr TAlphaColor kTickBlue = 0xFF0000FF;
constexpr qreal kShadowOpacity = 0.45;

QPointF qp(TPointF p) { return {p.X, p.Y}; }

TStrokeDash dashOf(Qt::PenStyle style) {
  switch (style) {
    case Qt::DashLine: return TStrokeDash::Dash;
    case Qt::DotLine: return TStrokeDash::Dot;
    case Qt::DashDotLine: return TStrokeDash::DashDot;
    case Qt::DashDotDotLine: return TStrokeDash::DashDotDot;
    case Qt::CustomDashLine: return TStrokeDash::Custom;
    default: return TStrokeDash::Solid;
  }
}

// The stroke thickness the pen draws with; 0 when it draws nothing.
float penThickness(const QPen &pen) { return pen.style() == Qt::NoPen ? 0.0f : static_cast<float>(pen.widthF()); }

// An empty combined path. Winding fill, so holes or dots that touch add up instead of
// cancelling each other.
QPainterPath emptyBatchPath() {
  QPainterPath path;
  path.setFillRule(Qt::WindingFill);
  return path;
}

void clearBatch(THoleBatch &batch) {
  batch.FHoleOutlines = emptyBatchPath();
  batch.FHoleDots = emptyBatchPath();
  batch.FHoleShadows = emptyBatchPath();
  batch.FHoleBatchValid = false;
}

// Restores the painter's pen, brush and opacity when it goes out of scope, also when
// painting throws.
class CanvasStyleGuard {
 public:
  explicit CanvasStyleGuard(QPainter &canvas)
      : c_(canvas), pen_(canvas.pen()), brush_(canvas.brush()), opacity_(canvas.opacity()) {}
  ~CanvasStyleGuard() {
    c_.setPen(pen_);
    c_.setBrush(brush_);
    c_.setOpacity(opacity_);
  }
  CanvasStyleGuard(const CanvasStyleGuard &) = delete;
  CanvasStyleGuard &operator=(const CanvasStyleGuard &) = delete;

 private:
  QPainter &c_;
  QPen pen_;
  QBrush brush_;
  qreal opacity_;
};

// Strokes a path with the current pen only, at the given opacity.
void strokeOnly(QPainter &canvas, const QPainterPath &path, qreal opacity) {
  CanvasStyleGuard guard(canvas);
  canvas.setBrush(Qt::NoBrush);
  canvas.setOpacity(opacity);
  canvas.drawPath(path);
}

// Fills a path with the current brush colour only, at the given opacity.
void fillOnly(QPainter &canvas, const QPainterPath &path, qreal opacity) {
  CanvasStyleGuard guard(canvas);
  canvas.setPen(Qt::NoPen);
  canvas.setOpacity(opacity);
  canvas.drawPath(path);
}

// The brush as a solid fill of its colour.
void setSolidFill(QPainter &canvas, TAlphaColor color) { canvas.setBrush(QBrush(QColor::fromRgba(color))); }

}  // namespace

THoleBatch &holeBatch(TEditor &editor) {
  // One batch per editor. The batch belongs with the window's state; it is kept here,
  // keyed by the editor, until the editor carries it.
  static std::map<const TEditor *, std::unique_ptr<THoleBatch>> batches;
  auto &slot = batches[&editor];
  if (!slot) {
    slot = std::make_unique<THoleBatch>();
    clearBatch(*slot);
  }
  return *slot;
}

void resetHoleBatch(TEditor &editor) { clearBatch(holeBatch(editor)); }

void addHoleToBatch(TEditor &editor, QPainter &painter, const QPainterPath &outline, const QRectF &dotRect,
                    float strokeOpacity, float dotOpacity, bool withShadow) {
  THoleBatch &batch = holeBatch(editor);
  const QPen pen = painter.pen();
  const TAlphaColor stroke = pen.color().rgba();
  const float thickness = penThickness(pen);
  const TStrokeDash dash = dashOf(pen.style());
  const TAlphaColor fill = painter.brush().color().rgba();

  if (batch.FHoleBatchValid &&
      (batch.FHoleBatchStroke != stroke || batch.FHoleBatchThickness != thickness || batch.FHoleBatchDash != dash ||
       batch.FHoleBatchFill != fill || batch.FHoleBatchStrokeOpacity != strokeOpacity ||
       batch.FHoleBatchDotOpacity != dotOpacity))
    flushHoleBatch(editor, painter);

  if (!batch.FHoleBatchValid) {
    batch.FHoleBatchStroke = stroke;
    batch.FHoleBatchThickness = thickness;
    batch.FHoleBatchDash = dash;
    batch.FHoleBatchFill = fill;
    batch.FHoleBatchStrokeOpacity = strokeOpacity;
    batch.FHoleBatchDotOpacity = dotOpacity;
    batch.FHoleBatchValid = true;
  }

  if (withShadow) batch.FHoleShadows.addPath(outline);
  batch.FHoleOutlines.addPath(outline);
  batch.FHoleDots.addEllipse(dotRect);
}

void flushHoleBatch(TEditor &editor, QPainter &painter) {
  THoleBatch &batch = holeBatch(editor);
  if (!batch.FHoleBatchValid) return;

  // The paths are emptied also when painting fails, so nothing is painted twice.
  struct Emptier {
    THoleBatch &b;
    ~Emptier() { clearBatch(b); }
  } emptier{batch};
  CanvasStyleGuard guard(painter);

  if (!batch.FHoleShadows.isEmpty()) {
    setSolidFill(painter, kOpaqueBlack);
    fillOnly(painter, batch.FHoleShadows, kShadowOpacity);
  }
  if (!batch.FHoleOutlines.isEmpty() && batch.FHoleBatchThickness > 0.0f) {
    setCanvasStroke(painter, batch.FHoleBatchStroke, batch.FHoleBatchThickness, batch.FHoleBatchDash);
    strokeOnly(painter, batch.FHoleOutlines, batch.FHoleBatchStrokeOpacity);
  }
  if (!batch.FHoleDots.isEmpty()) {
    setSolidFill(painter, batch.FHoleBatchFill);
    fillOnly(painter, batch.FHoleDots, batch.FHoleBatchDotOpacity);
  }
}

void drawStitchingHole(TEditor &editor, QPainter &painter, TQN_Path &shape, const THolePaintState &state) {
  const float sx = editor.FScale;
  const bool isHole = shape.isKind(shape_kind::Hole);
  const bool onScreen = !state.IsPrinting && !state.IsPrintPreviewing;
  const bool showPattern = editor.FOptions && editor.FOptions->ShowStitchPattern;
  const bool simulation = showPattern || shape.FAlwaysShowStitchSimulator;

  // 1. Where the hole is painted: its live start while it is dragged.
  const TPointF p0 = realToVirtual(editor, shape.FStartPt);
  const TPointF vs = state.LiveStart.value_or(p0);
  const TPointF shift = vs - p0;

  // 2. The dot grows with the logarithm of the zoom; faint in the stitch simulation.
  const bool sim = isHole && simulation && !state.SelectNextStitchingHoleMode;
  const double logScale = std::log10(double(sx));
  const double h = sim ? (logScale - 1.0) / 10.0 + 2.0 : logScale - 1.0 + 3.0;
  const float dotOpacity = sim ? 0.1f : 0.6f;
  const QRectF dotRect(vs.X - h, vs.Y - h, 2.0 * h, 2.0 * h);

  // 3. Holes that keep their own style or stacking bypass the batch; everything batched
  // so far goes under them.
  const bool printAsDot = state.IsPrinting && state.PrintStitchingHoleAsDot;
  const bool batchable = shape.ID() >= 0 && !shape.FSelected && !shape.FTemp_OnPath && !printAsDot;
  if (!batchable) flushHoleBatch(editor, painter);

  if (printAsDot) {
    // 5. Paper: a 0.5 mm circle and the dot, nothing else.
    const QRectF circle(qp(realToVirtual(editor, shape.FCenter - TPointF(0.25f, 0.25f))),
                        qp(realToVirtual(editor, shape.FCenter + TPointF(0.25f, 0.25f))));
    QPainterPath circlePath;
    circlePath.addEllipse(circle);
    strokeOnly(painter, circlePath, 1.0);
    QPainterPath dot;
    dot.addEllipse(dotRect);
    fillOnly(painter, dot, dotOpacity);
    return;
  }

  // 4. The outline in pixels, moved with the drag.
  std::unique_ptr<TQN_Path> copy(shape.createCopy());
  pathToVirtual(editor, *copy, editor.FOffset + shift);
  const QPainterPath outline = toPainterPath(copy->Data());

  // 6. Style of the hole.
  const bool shadowed = isHole && simulation && !shape.FSelected && !state.SelectNextStitchingHoleMode;
  float outlineOpacity = state.LayerOpacity;
  if (shadowed) {
    setSolidFill(painter, kOpaqueBlack);
    if (!batchable) fillOnly(painter, outline, kShadowOpacity);
    const float thickness = std::clamp(shape.FWidth * sx * 0.15f, 0.3f, 1.0f);
    setCanvasStroke(painter, kOpaqueWhite, thickness, TStrokeDash::Solid);
    outlineOpacity = 0.12f;
  }
  if (shape.ID() < 0) {  // a hole that is not yet part of the document (a preview)
    outlineOpacity = 1.0f;
    setCanvasStroke(painter, kPreviewYellow, 2.0f, TStrokeDash::Solid);
  }

  if (batchable) {
    addHoleToBatch(editor, painter, outline, dotRect, outlineOpacity, dotOpacity, shadowed);
  } else {
    strokeOnly(painter, outline, outlineOpacity);
    QPainterPath dot;
    dot.addEllipse(dotRect);
    fillOnly(painter, dot, dotOpacity);
  }

  // 7. The selection square.
  if (shape.FSelected && onScreen && shape.FGroupID == 0) {
    setCanvasStroke(painter, editor.FIsBlackBackgroundMode ? kOpaqueWhite : kOpaqueBlack, 1.0f, TStrokeDash::Solid);
    QPainterPath square;
    square.addRect(QRectF(vs.X - 3.0, vs.Y - 3.0, 6.0, 6.0));
    strokeOnly(painter, square, 0.7);
  }

  // 8. The tick across the line on which the box-stitch command found the hole.
  if (shape.FTemp_OnPath) {
    const TPointF n = rotateVector(shape.FTemp_vector, 90.0f);
    setCanvasStroke(painter, kTickBlue, 1.0f, TStrokeDash::Solid);
    QPainterPath tick(qp(realToVirtual(editor, shape.FCenter + n * 5.0f)));
    tick.lineTo(qp(realToVirtual(editor, shape.FCenter - n * 5.0f)));
    strokeOnly(painter, tick, 0.7);
  }
}

}  // namespace quillon
