#include "render/hole_batch.h"

#include <QBrush>
#include <QColor>
#include <QPainter>
#include <QPen>
#include <QRect>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "model/point_helpers.h"
#include "model/shape.h"
#include "platform/path_data.h"
#include "render/coverage_raster.h"
#include "render/shape_painters.h"
#include "shell/view_transform.h"
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

void clearBatch(THoleBatch &batch) {
  batch.FHoleOutlines.clear();
  batch.FHoleDots.clear();
  batch.FHoleShadows.clear();
  batch.FHoleBatchValid = false;
}

// The batched shapes whose pixels overlap, in groups. Each shape has a footprint: the
// device pixels it may paint, from its bounding box grown by what its pen and
// antialiasing may paint beyond it. Shapes whose footprints meet, directly or through
// other shapes, form one group; shapes of different groups share no pixel, so painting
// the groups one by one gives the same image as painting all shapes as one path.
class TOverlapGroups {
 public:
  explicit TOverlapGroups(const std::vector<QRect> &footprints)
      : lead_(footprints.size(), 0), next_(footprints.size(), -1) {
    const int n = static_cast<int>(footprints.size());
    std::vector<int> root(footprints.size());
    for (int i = 0; i < n; ++i) root[std::size_t(i)] = i;
    auto find = [&root](int i) {
      while (root[std::size_t(i)] != i) {
        root[std::size_t(i)] = root[std::size_t(root[std::size_t(i)])];
        i = root[std::size_t(i)];
      }
      return i;
    };
    joinOverlapping(footprints, [&](int a, int b) {
      const int ra = find(a), rb = find(b);
      if (ra != rb) root[std::size_t(std::max(ra, rb))] = std::min(ra, rb);
    });
    // Chain each group's shapes in list order, from its first shape.
    std::vector<int> last(footprints.size(), -1);
    for (int i = 0; i < n; ++i) {
      const int r = find(i);
      if (last[std::size_t(r)] < 0)
        lead_[std::size_t(i)] = 1;
      else
        next_[std::size_t(last[std::size_t(r)])] = i;
      last[std::size_t(r)] = i;
    }
  }

  // Whether shape i is the first of its group.
  bool leads(int i) const { return lead_[std::size_t(i)] != 0; }
  // The next shape of shape i's group in list order; -1 after the last.
  int next(int i) const { return next_[std::size_t(i)]; }

 private:
  // Calls join(a, b) for every two shapes whose footprints meet (and, where very many
  // footprints crowd one spot, for some that do not: joining too many only costs speed).
  // Each footprint is listed in the cells of a grid, cells about as large as a footprint,
  // and compared with the footprints listed before it in the same cells.
  template <class Join>
  static void joinOverlapping(const std::vector<QRect> &footprints, Join join) {
    constexpr int kCrowded = 32;  // footprints in one cell beyond which all are joined
    const int n = static_cast<int>(footprints.size());
    QRect box;
    qint64 extent = 0;
    int listed = 0;
    for (const QRect &f : footprints)
      if (!f.isEmpty()) {
        box |= f;
        extent += std::max(f.width(), f.height());
        ++listed;
      }
    if (listed < 2) return;
    int cell = 4;
    while (cell < extent / listed && cell < (1 << 24)) cell *= 2;
    const qint64 maxCells = std::clamp<qint64>(qint64(n) * 16, 1024, qint64(1) << 20);
    while ((qint64(box.width()) / cell + 1) * (qint64(box.height()) / cell + 1) > maxCells) cell *= 2;
    const int cols = box.width() / cell + 1, rows = box.height() / cell + 1;

    struct TEntry {
      int Shape;
      int Next;  // the entry listed before it in the same cell; -1: none
    };
    struct TCell {
      int Head = -1;
      int Count = 0;
    };
    std::vector<TCell> cells(std::size_t(cols) * std::size_t(rows));
    std::vector<TEntry> entries;
    entries.reserve(std::size_t(n) * 2);
    for (int i = 0; i < n; ++i) {
      const QRect &f = footprints[std::size_t(i)];
      if (f.isEmpty()) continue;
      const int x0 = (f.left() - box.left()) / cell, x1 = (f.right() - box.left()) / cell;
      const int y0 = (f.top() - box.top()) / cell, y1 = (f.bottom() - box.top()) / cell;
      for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
          TCell &c = cells[std::size_t(y) * std::size_t(cols) + std::size_t(x)];
          if (c.Count >= kCrowded) {
            join(entries[std::size_t(c.Head)].Shape, i);  // the cell's shapes are one group already
            continue;
          }
          for (int e = c.Head; e >= 0; e = entries[std::size_t(e)].Next) {
            const int other = entries[std::size_t(e)].Shape;
            if (c.Count + 1 >= kCrowded || footprints[std::size_t(other)].intersects(f)) join(other, i);
          }
          entries.push_back({i, c.Head});
          c.Head = static_cast<int>(entries.size()) - 1;
          ++c.Count;
        }
    }
  }

  std::vector<char> lead_;
  std::vector<int> next_;
};

// How far the painter's pen may paint beyond a shape's control points: the miter limit
// times the width at a sharp corner, plus the width. In logical units for a scaling pen,
// in device pixels for a cosmetic one.
struct TPenReach {
  qreal Logical = 0.0;
  qreal Device = 0.0;
};

TPenReach penReach(const QPen &pen) {
  if (pen.style() == Qt::NoPen) return {};
  const qreal width = std::max(pen.widthF(), qreal(0));
  const qreal reach = (std::max(pen.miterLimit(), qreal(1)) + 1.0) * width;
  if (pen.isCosmetic() || width == 0.0) return {0.0, std::max(reach, qreal(3))};
  return {reach, 0.0};
}

// The device pixels a shape whose control points lie in `bounds` may paint: its bounds
// grown by the pen's reach and a pixel for antialiasing, as whole pixels. Empty when the
// bounds are not finite.
QRect footprint(const QTransform &toDevice, const QRectF &bounds, TPenReach reach) {
  constexpr qreal kAntialias = 1.0;
  constexpr qreal kFar = qreal(1 << 28);  // beyond any device; keeps the pixels in int range
  const qreal l = reach.Logical, d = reach.Device + kAntialias;
  const QRectF f = toDevice.mapRect(bounds.normalized().adjusted(-l, -l, l, l)).adjusted(-d, -d, d, d);
  if (!std::isfinite(f.left()) || !std::isfinite(f.top()) || !std::isfinite(f.right()) || !std::isfinite(f.bottom()))
    return {};
  auto pixel = [kFar](qreal v) { return static_cast<int>(std::floor(std::clamp(v, -kFar, kFar))); };
  return QRect(QPoint(pixel(f.left()), pixel(f.top())), QPoint(pixel(f.right()), pixel(f.bottom())));
}

// How a list can go through a coverage mask: the colour it draws with and, when it
// strokes, the pen's width in device pixels (0 when it fills).
struct TMaskStyle {
  QRgb Color = 0;
  double Width = 0.0;
  double MiterLimit = 2.0;
};

// The mask style of the painter's state on a canvas a mask fits: a solid pen with flat caps
// and mitred joins that only strokes, or a solid brush that only fills; nothing otherwise.
std::optional<TMaskStyle> maskStyle(const QPainter &canvas) {
  if (!coverageFits(canvas)) return std::nullopt;
  const QPen &pen = canvas.pen();
  const bool strokes = pen.style() != Qt::NoPen, fills = canvas.brush().style() != Qt::NoBrush;
  if (strokes == fills) return std::nullopt;
  TMaskStyle style;
  if (strokes) {
    const std::optional<double> width = maskPenWidth(canvas);
    if (!width) return std::nullopt;
    style.Color = pen.color().rgba();
    style.Width = *width;
    style.MiterLimit = pen.miterLimit();
  } else {
    if (canvas.brush().style() != Qt::SolidPattern) return std::nullopt;
    style.Color = canvas.brush().color().rgba();
  }
  return style;
}

// Draws a list of batched shapes (outlines or dots) with the painter's current state, so
// that shapes sharing a pixel cover it once, as one path of them all would:
// - where a coverage mask fits the canvas and the state, all of them go into `mask`,
//   which is laid over the canvas once;
// - else shapes that share no pixel with another are drawn one call each (`drawOne`),
//   and one path per group of overlapping shapes (`addOne`), which keeps them vector on a
//   printer.
template <class FootprintOf, class DrawOne, class AddOne, class MaskOne>
void drawList(QPainter &canvas, TCoverageRaster &mask, int n, FootprintOf footprintOf, DrawOne drawOne,
              AddOne addOne, MaskOne maskOne) {
  if (const std::optional<TMaskStyle> style = maskStyle(canvas)) {
    mask.beginOn(canvas);
    const QTransform toDevice = canvas.deviceTransform();
    for (int i = 0; i < n; ++i) maskOne(mask, toDevice, *style, i);
    mask.paint(canvas, style->Color, canvas.opacity());
    return;
  }
  const QTransform toDevice = canvas.deviceTransform();
  const TPenReach reach = penReach(canvas.pen());
  std::vector<QRect> footprints;
  footprints.reserve(std::size_t(n));
  for (int i = 0; i < n; ++i) footprints.push_back(footprintOf(toDevice, reach, i));
  const TOverlapGroups groups(footprints);
  for (int i = 0; i < n; ++i) {
    if (!groups.leads(i)) continue;
    if (groups.next(i) < 0) {
      drawOne(canvas, i);
      continue;
    }
    QPainterPath group;
    group.setFillRule(Qt::WindingFill);  // shapes that overlap add up instead of cancelling
    for (int j = i; j >= 0; j = groups.next(j)) addOne(group, j);
    canvas.drawPath(group);
  }
}

// Draws outlines (stroked, or filled as shadows) with the painter's current state.
void drawOutlines(QPainter &canvas, TCoverageRaster &mask, const std::vector<QPainterPath> &paths) {
  drawList(
      canvas, mask, static_cast<int>(paths.size()),
      [&](const QTransform &toDevice, TPenReach reach, int i) {
        return footprint(toDevice, paths[std::size_t(i)].controlPointRect(), reach);
      },
      [&](QPainter &painter, int i) { painter.drawPath(paths[std::size_t(i)]); },
      [&](QPainterPath &group, int i) { group.addPath(paths[std::size_t(i)]); },
      [&](TCoverageRaster &m, const QTransform &t, const TMaskStyle &style, int i) {
        if (style.Width > 0.0)
          m.addPathStroke(paths[std::size_t(i)], t, style.Width, style.MiterLimit);
        else
          m.addPath(paths[std::size_t(i)], t);
      });
}

// Fills dots (ellipses) with the painter's current state.
void drawDots(QPainter &canvas, TCoverageRaster &mask, const std::vector<QRectF> &dots) {
  QPainterPath dot;
  drawList(
      canvas, mask, static_cast<int>(dots.size()),
      [&](const QTransform &toDevice, TPenReach reach, int i) { return footprint(toDevice, dots[std::size_t(i)], reach); },
      [&](QPainter &painter, int i) { painter.drawEllipse(dots[std::size_t(i)]); },
      [&](QPainterPath &group, int i) { group.addEllipse(dots[std::size_t(i)]); },
      [&](TCoverageRaster &m, const QTransform &t, const TMaskStyle &, int i) {
        dot.clear();
        dot.addEllipse(dots[std::size_t(i)]);
        m.addPath(dot, t);
      });
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

  if (!outline.isEmpty()) {
    if (withShadow) {
      QPainterPath shadow = outline;
      shadow.setFillRule(Qt::WindingFill);  // as the outline is filled in a group
      batch.FHoleShadows.push_back(std::move(shadow));
    }
    batch.FHoleOutlines.push_back(outline);
  }
  batch.FHoleDots.push_back(dotRect);
}

void flushHoleBatch(TEditor &editor, QPainter &painter) {
  THoleBatch &batch = holeBatch(editor);
  if (!batch.FHoleBatchValid) return;

  // The lists are emptied also when painting fails, so nothing is painted twice.
  struct Emptier {
    THoleBatch &b;
    ~Emptier() { clearBatch(b); }
  } emptier{batch};
  CanvasStyleGuard guard(painter);

  // Each list under one painter state.
  if (!batch.FHoleShadows.empty()) {
    painter.setPen(Qt::NoPen);
    setSolidFill(painter, kOpaqueBlack);
    painter.setOpacity(kShadowOpacity);
    drawOutlines(painter, batch.FMask, batch.FHoleShadows);
  }
  if (!batch.FHoleOutlines.empty() && batch.FHoleBatchThickness > 0.0f) {
    setCanvasStroke(painter, batch.FHoleBatchStroke, batch.FHoleBatchThickness, batch.FHoleBatchDash);
    painter.setBrush(Qt::NoBrush);
    painter.setOpacity(batch.FHoleBatchStrokeOpacity);
    drawOutlines(painter, batch.FMask, batch.FHoleOutlines);
  }
  if (!batch.FHoleDots.empty()) {
    painter.setPen(Qt::NoPen);
    setSolidFill(painter, batch.FHoleBatchFill);
    painter.setOpacity(batch.FHoleBatchDotOpacity);
    drawDots(painter, batch.FMask, batch.FHoleDots);
  }
}

void drawStitchingHole(TEditor &editor, QPainter &painter, TQN_Path &shape, const THolePaintState &state) {
  const float sx = editor.view().FScale;
  const bool isHole = shape.isKind(TShapeKind::Hole);
  const bool onScreen = !state.IsPrinting && !state.IsPrintPreviewing;
  const bool showPattern = editor.FOptions && editor.FOptions->ShowStitchPattern;
  const bool simulation = showPattern || shape.FAlwaysShowStitchSimulator;

  // 1. Where the hole is painted: its live start while it is dragged.
  const TPointF p0 = realToVirtual(editor.view(), shape.FStartPt);
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
    const QRectF circle(qp(realToVirtual(editor.view(), shape.FCenter - TPointF(0.25f, 0.25f))),
                        qp(realToVirtual(editor.view(), shape.FCenter + TPointF(0.25f, 0.25f))));
    QPainterPath circlePath;
    circlePath.addEllipse(circle);
    strokeOnly(painter, circlePath, 1.0);
    QPainterPath dot;
    dot.addEllipse(dotRect);
    fillOnly(painter, dot, dotOpacity);
    return;
  }

  // 4. The outline in pixels, moved with the drag: the stored outline scaled and moved as
  // pathToVirtual does, on a copy of the outline alone (a copy of the whole shape would
  // cost more than painting the hole).
  const QPainterPath outline = toPixelPath(shape.Data(), sx, editor.view().FOffset + shift);

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
    setCanvasStroke(painter, editor.display().FIsBlackBackgroundMode ? kOpaqueWhite : kOpaqueBlack, 1.0f,
                    TStrokeDash::Solid);
    QPainterPath square;
    square.addRect(QRectF(vs.X - 3.0, vs.Y - 3.0, 6.0, 6.0));
    strokeOnly(painter, square, 0.7);
  }

  // 8. The tick across the line on which the box-stitch command found the hole.
  if (shape.FTemp_OnPath) {
    const TPointF n = rotateVector(shape.FTemp_vector, 90.0f);
    setCanvasStroke(painter, kTickBlue, 1.0f, TStrokeDash::Solid);
    QPainterPath tick(qp(realToVirtual(editor.view(), shape.FCenter + n * 5.0f)));
    tick.lineTo(qp(realToVirtual(editor.view(), shape.FCenter - n * 5.0f)));
    strokeOnly(painter, tick, 0.7);
  }
}

}  // namespace quillon
