#include "render/shape_painters.h"

#include <QPainter>
#include <QPen>

#include <cmath>
#include <memory>

#include "model/shape.h"
#include "render/fill_painter.h"
#include "render/hole_batch.h"
#include "render/stroke_batch.h"
#include "shell/view_transform.h"
#include "shell/editor.h"

namespace quillon {

namespace {

QPointF qp(TPointF p) { return {p.X, p.Y}; }

QPointF pixel(const TEditor &editor, TPointF real) { return qp(realToVirtual(editor.view(), real)); }

Qt::PenStyle penStyleOf(TStrokeDash dash) {
  switch (dash) {
    case TStrokeDash::Dash: return Qt::DashLine;
    case TStrokeDash::Dot: return Qt::DotLine;
    case TStrokeDash::DashDot: return Qt::DashDotLine;
    case TStrokeDash::DashDotDot: return Qt::DashDotDotLine;
    case TStrokeDash::Solid:
    case TStrokeDash::Custom: break;
  }
  return Qt::SolidLine;
}


void strokePath(QPainter &canvas, const QPainterPath &path, qreal opacity) {
  StrokeScope scope(canvas, opacity);
  canvas.drawPath(path);
}

void strokeLine(QPainter &canvas, QPointF a, QPointF b, qreal opacity) {
  StrokeScope scope(canvas, opacity);
  canvas.drawLine(a, b);
}

// Strokes the shape's outline (pixels) with the painter's pen, through the frame's stroke
// batch where it can take it.
void strokeShapePath(QPainter &canvas, const QPainterPath &path, qreal opacity, const TShapePaintState &state) {
  if (!state.Strokes || !state.Strokes->add(canvas, path, opacity)) strokePath(canvas, path, opacity);
}

// Draws what the stroke batch holds before something else is drawn over it.
void flushStrokes(QPainter &canvas, const TShapePaintState &state) {
  if (state.Strokes) state.Strokes->flush(canvas);
}

QRectF around(QPointF p, qreal r) { return {p.x() - r, p.y() - r, 2 * r, 2 * r}; }

// The handle stroke: the scheme's handle colour, solid, 1 px.
void setHandleStroke(const TEditor &editor, QPainter &canvas) {
  setCanvasStroke(canvas, editor.display().FHandleColor, 1.0f, TStrokeDash::Solid);
}

// Square mark: the rectangle point +-3 px.
void squareMark(QPainter &canvas, QPointF p, qreal opacity = 1.0) {
  StrokeScope scope(canvas, opacity);
  canvas.drawRect(around(p, 3.0));
}

// Round mark: the ellipse in the rectangle point +-3 px.
void roundMark(QPainter &canvas, QPointF p) {
  StrokeScope scope(canvas, 1.0);
  canvas.drawEllipse(around(p, 3.0));
}

// The dotted frame along the four sides of a rectangle, opacity 0.7, in the current colour.
void dottedFrame(QPainter &canvas, const QRectF &r) {
  QPen pen = canvas.pen();
  pen.setStyle(Qt::DotLine);
  canvas.setPen(pen);
  StrokeScope scope(canvas, 0.7);
  canvas.drawLine(r.topLeft(), r.topRight());
  canvas.drawLine(r.topRight(), r.bottomRight());
  canvas.drawLine(r.bottomRight(), r.bottomLeft());
  canvas.drawLine(r.bottomLeft(), r.topLeft());
}

bool showsHandles(const TQN_Path &shape, const TShapePaintState &state) {
  return shape.FSelected && state.onScreen() && shape.FGroupID == 0;
}

QPointF rotated(QPointF v, double degrees) {
  const double a = degrees * M_PI / 180.0;
  const double c = std::cos(a), s = std::sin(a);
  return {v.x() * c - v.y() * s, v.x() * s + v.y() * c};
}

}  // namespace

namespace {

// The outline as a Qt path, each point mapped by `map`.
template <class Map>
QPainterPath mappedPath(const TPathData &data, Map map) {
  QPainterPath path;
  const auto &pts = data.Points();
  const std::size_t n = pts.size();
  for (std::size_t i = 0; i < n; ++i) {
    const TPathPoint &e = pts[i];
    switch (e.Kind) {
      case TPathPointKind::MoveTo: path.moveTo(map(e.Point)); break;
      case TPathPointKind::LineTo: path.lineTo(map(e.Point)); break;
      case TPathPointKind::CurveTo:
        if (i + 2 < n) {
          path.cubicTo(map(e.Point), map(pts[i + 1].Point), map(pts[i + 2].Point));
          i += 2;
        } else {
          i = n;  // an incomplete curve ends the outline
        }
        break;
      case TPathPointKind::Close: path.closeSubpath(); break;
    }
  }
  return path;
}

}  // namespace

QPainterPath toPainterPath(const TPathData &data) {
  return mappedPath(data, [](TPointF p) { return qp(p); });
}

QPainterPath toPixelPath(const TPathData &data, float scale, TPointF offset) {
  return mappedPath(data, [scale, offset](TPointF p) {
    const float x = p.X * scale, y = p.Y * scale;
    return QPointF(x + offset.X, y + offset.Y);
  });
}

void setCanvasStroke(QPainter &canvas, TAlphaColor color, float thickness, TStrokeDash dash) {
  if (thickness > 0.0f)
    canvas.setPen(QPen(QBrush(QColor::fromRgba(color)), thickness, penStyleOf(dash), Qt::FlatCap, Qt::MiterJoin));
  else
    canvas.setPen(Qt::NoPen);
}

float layerOpacity(const TEditor &editor, const TQN_Path &shape, const TShapePaintState &state) {
  if (!state.onScreen() || state.HighlightActiveLayer || state.IgnoreLayer || shape.FLayerID == editor.FActiveLayer)
    return 1.0f;
  return 0.5f;
}

void paintShape(TEditor &editor, QPainter &canvas, TQN_Path &shape, const TShapePaintState &state) {
  if (state.OnPaintShape) state.OnPaintShape(shape);
  if (!editor.display().FShowDimensionShapes && shape.FIsDimensionLine) return;

  const bool isLine = shape.isKind(TShapeKind::Line), isBezier = shape.isKind(TShapeKind::Bezier),
             isEllipse = shape.isKind(TShapeKind::Ellipse), isArc = shape.isKind(TShapeKind::Arc),
             isDot = shape.isKind(TShapeKind::Dot), isHole = shape.isKind(TShapeKind::Hole);
  const bool known = isDot || isHole || isBezier || isLine || isEllipse || isArc;
  const bool arrow = editor.display().FShowPathDirections && (isLine || isBezier || isEllipse || isArc);
  if (arrow || !(isLine || isBezier || isArc)) flushStrokes(canvas, state);

  // A pixel copy of the outline for the painters that draw the outline itself.
  std::unique_ptr<TQN_Path> copy;
  if (!known || arrow) {
    copy.reset(shape.createCopy());
    pathToVirtual(editor.view(), *copy, editor.view().FOffset);
  }

  applyShapeStroke(canvas, shapeStroke(editor, shape, state.onScreen() ? nullptr : &state.PrintStroke));

  if (isDot || isHole) {
    THolePaintState hole;
    hole.IsPrinting = state.IsPrinting;
    hole.IsPrintPreviewing = state.IsPrintPreviewing;
    hole.PrintStitchingHoleAsDot = state.PrintStitchingHoleAsDot;
    hole.SelectNextStitchingHoleMode = state.SelectNextStitchingHoleMode;
    hole.LayerOpacity = layerOpacity(editor, shape, state);
    drawStitchingHole(editor, canvas, shape, hole);
  } else if (isBezier) {
    drawBezierShape(editor, canvas, shape, false, state);
  } else if (isLine) {
    drawLineShape(editor, canvas, shape, state);
  } else if (isEllipse) {
    drawEllipseShape(editor, canvas, shape, state);
  } else if (isArc) {
    drawArcShape(editor, canvas, shape, state);
  } else if (shape.isKind(TShapeKind::Text)) {
    drawTextShape(editor, canvas, *copy, state);
  } else if (shape.isKind(TShapeKind::Other)) {
    TFillPaintState fill;
    fill.IsPrinting = state.IsPrinting;
    fill.IsPrintPreviewing = state.IsPrintPreviewing;
    fill.FillOn = state.FillOn;
    fill.LayerOpacity = layerOpacity(editor, shape, state);
    drawFilledShape(editor, canvas, *copy, fill);
  } else {
    // A kind no painter knows: stroked in its own colour and dash.
    setCanvasStroke(canvas, copy->FColor, copy->FThickness * editor.display().FPrintLineFactor, copy->FDash);
    strokePath(canvas, toPainterPath(copy->Data()), 1.0);
  }

  if (arrow) drawPathDirection(canvas, *copy);
}

void drawLineShape(TEditor &editor, QPainter &canvas, TQN_Path &shape, const TShapePaintState &state) {
  const QPointF vs = pixel(editor, shape.FStartPt), ve = pixel(editor, shape.FEndPt);
  const float opacity = layerOpacity(editor, shape, state);
  if (!state.Strokes || !state.Strokes->addLine(canvas, vs, ve, opacity)) strokeLine(canvas, vs, ve, opacity);
  if (showsHandles(shape, state)) {
    flushStrokes(canvas, state);
    setHandleStroke(editor, canvas);
    squareMark(canvas, vs);
    squareMark(canvas, ve);
  }
  // The arrow heads of ShowArrowSt and ShowArrowEd are drawn by drawArrowHead, which
  // arrives with the tool previews and dimension drawing.
}

void drawArcShape(TEditor &editor, QPainter &canvas, TQN_Path &shape, const TShapePaintState &state) {
  const TPointF s = shape.FStartPt, e = shape.FEndPt;
  const float sweep = shape.FSweepAngle;

  // The arc is painted from its parameters, rebuilt on a copy.
  std::unique_ptr<TQN_Path> arc(shape.createCopy());
  arc->drawArcPath(shape.FCenter, {shape.FWidth, shape.FHeight}, s, e, sweep);
  pathToVirtual(editor.view(), *arc, editor.view().FOffset);
  strokeShapePath(canvas, toPainterPath(arc->Data()), layerOpacity(editor, shape, state), state);

  if (shape.FSelected && state.onScreen()) {  // grouped arcs too
    flushStrokes(canvas, state);
    setCanvasStroke(canvas, editor.display().FHandleColor, 1.0f, TStrokeDash::Dot);
    const QPointF c = pixel(editor, shape.FCenter), ps = pixel(editor, s), pe = pixel(editor, e);
    roundMark(canvas, c);
    roundMark(canvas, ps);
    roundMark(canvas, pe);
    strokeLine(canvas, ps, c, 0.8);
    strokeLine(canvas, pe, c, 0.8);
  }
  // The sweep label appears while the arc is reshaped by a drag, which the dragging
  // tools bring.
}

void drawEllipseShape(TEditor &editor, QPainter &canvas, TQN_Path &shape, const TShapePaintState &state) {
  const TPointF c = shape.FCenter;
  const TPointF half(shape.FWidth / 2.0f, shape.FHeight / 2.0f);
  const QRectF r(pixel(editor, c - half), pixel(editor, c + half));
  {
    StrokeScope scope(canvas, layerOpacity(editor, shape, state));
    canvas.drawEllipse(r);
  }
  if (showsHandles(shape, state)) {
    setHandleStroke(editor, canvas);
    squareMark(canvas, pixel(editor, c));
    squareMark(canvas, r.topLeft());
    squareMark(canvas, r.topRight());
    squareMark(canvas, r.bottomRight());
    squareMark(canvas, r.bottomLeft());
    dottedFrame(canvas, r);
    // The info labels (showShapeInfo) follow with the selection info of the status bar.
  }
}

void drawBezierShape(TEditor &editor, QPainter &canvas, TQN_Path &shape, bool ForceHandles,
                     const TShapePaintState &state) {
  const QPointF p0 = pixel(editor, shape.FStartPt), p3 = pixel(editor, shape.FEndPt);
  const QPointF vs = p0, ve = p3;  // live ends: the stored ones until ends can be dragged

  TPointF c1, c2;
  getPaintedBezierControlPoints(editor, canvas, c1, c2, state.BezierDrag, shape);
  QPointF cp1 = qp(c1), cp2 = qp(c2);
  if (!state.BezierDrag.ShiftHeld) {  // the handles travel with a dragged end
    cp1 += vs - p0;
    cp2 += ve - p3;
  }

  QPainterPath path(vs);
  path.cubicTo(cp1, cp2, ve);
  strokeShapePath(canvas, path, layerOpacity(editor, shape, state), state);

  if (showsHandles(shape, state) || ForceHandles) {
    flushStrokes(canvas, state);
    setHandleStroke(editor, canvas);
    strokeLine(canvas, vs, cp1, 0.7);
    strokeLine(canvas, cp2, ve, 0.7);
    for (const QPointF &p : {vs, cp1, cp2, ve}) squareMark(canvas, p, 0.7);
  }
  // The offset support ticks (ShowBezierOffsetSupport) come with the rulers and the
  // measuring tools.
}

void drawTextShape(TEditor &editor, QPainter &canvas, TQN_Path &pixelCopy, const TShapePaintState &state) {
  const QPainterPath path = toPainterPath(pixelCopy.Data());
  const float opacity = layerOpacity(editor, pixelCopy, state);
  if (pixelCopy.FTextFill) {
    const qreal old = canvas.opacity();
    canvas.setOpacity(opacity);
    canvas.fillPath(path, canvas.brush());
    canvas.setOpacity(old);
  } else {
    strokePath(canvas, path, opacity);
  }
  if (showsHandles(pixelCopy, state)) {
    setHandleStroke(editor, canvas);
    const TRectF b = pixelCopy.getBoundary(false);
    const QRectF r(QPointF(b.Left, b.Top), QPointF(b.Right, b.Bottom));
    squareMark(canvas, r.topLeft());
    squareMark(canvas, r.topRight());
    squareMark(canvas, r.bottomRight());
    squareMark(canvas, r.bottomLeft());
    dottedFrame(canvas, r);
    if (pixelCopy.FTextRadius != 0.0f)  // text set on an arc: a mark at the arc's reference point
      squareMark(canvas, pixel(editor, pixelCopy.FStartPt + TPointF(std::fabs(pixelCopy.FTextRadius), 0.0f)));
  }
}

void drawPathDirection(QPainter &canvas, const TQN_Path &pixelCopy) {
  const TPathData &data = pixelCopy.Data();
  if (data.Count() < 2) return;
  const QPointF t = qp(data[data.Count() - 1].Point);
  const QPointF u = qp(data[data.Count() - 2].Point);
  const QPointF v = u - t;
  const double len = std::hypot(v.x(), v.y());
  if (!(len > 0.0)) return;
  const QPointF d = v / len;
  StrokeScope scope(canvas, 1.0);
  canvas.drawLine(t, t + rotated(d, 30.0) * 10.0);
  canvas.drawLine(t, t + rotated(d, -30.0) * 10.0);
}

}  // namespace quillon
