#include "render/rulers.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPaintDevice>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <numbers>

#include "model/shape_bounds.h"
#include "model/point_helpers.h"
#include "model/route_network.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "platform/input.h"
#include "platform/number_text.h"
#include "model/draw_pallet.h"
#include "render/grid_cache.h"
#include "render/shape_painters.h"
#include "shell/editor.h"
#include "shell/length_units.h"
#include "shell/options.h"
#include "shell/view_transform.h"
#include "tools/snapping.h"

namespace quillon {

namespace {

constexpr TAlphaColor kWhite = 0xFFFFFFFF;
constexpr TAlphaColor kBlack = 0xFF000000;
constexpr TAlphaColor kDarkRulerBackground = 0xFF303030;
constexpr TAlphaColor kSelectionBand = 0xFF0000FF;
constexpr TAlphaColor kPointerMark = 0xFFFFFF00;
constexpr TAlphaColor kOffsetTick = 0xFFFFA500;
constexpr int kScaleLineType = 38;     // "#39 Scale"
constexpr int kMaxCachedLabels = 256;  // more than this at a miss empties the cache
constexpr float kRulerFontSize = 15.0f;
constexpr double kRulerLabelGap = 5.0;  // pixels at least between two ruler labels

QPointF qp(TPointF p) { return {p.X, p.Y}; }

// Device pixels per logical pixel of what the painter paints on.
double canvasScale(const QPainter &canvas) {
  const QPaintDevice *device = canvas.device();
  const double s = device ? device->devicePixelRatioF() : 1.0;
  return s > 0.0 ? s : 1.0;
}

QFont fontOfSize(const QPainter &canvas, float fontSize) {
  QFont f = canvas.font();
  f.setPixelSize(std::max(1, static_cast<int>(std::lround(fontSize))));
  return f;
}

// The line type the scale bar and the measuring ruler are drawn with; null when the
// editor has no line types.
const TDrawPallet *scaleLineType(const TEditor &editor) {
  if (editor.pen().FPalletList.size() <= static_cast<std::size_t>(kScaleLineType)) return nullptr;
  return editor.pen().FPalletList[kScaleLineType].get();
}

// Restores the pen and the brush when a painter helper ends.
class PenBrushScope {
 public:
  explicit PenBrushScope(QPainter &canvas) : c_(canvas), pen_(canvas.pen()), brush_(canvas.brush()) {}
  ~PenBrushScope() {
    c_.setPen(pen_);
    c_.setBrush(brush_);
  }
  PenBrushScope(const PenBrushScope &) = delete;
  PenBrushScope &operator=(const PenBrushScope &) = delete;

 private:
  QPainter &c_;
  QPen pen_;
  QBrush brush_;
};

// The first of the ruler steps (grid steps) whose screen length is at least 10 pixels.
double rulerStep(const TEditor &editor) { return gridTickForScale(editor); }

// The labels' step in ticks: a whole number of `period` ticks (the ticks whose labels are
// wanted; with period 0, the ticks of whole millimetres) times 1, 2, 5, 10, 20, ... (powers
// of two in inches), the first that spans more than `room` pixels; 0 when none does.
int rulerLabelStride(double step, int period, double stepPixels, double room) {
  const bool inches = period > 0;
  if (!inches) period = step < 1.0 ? std::max(1, static_cast<int>(std::lround(1.0 / step))) : 1;
  if (!(stepPixels > 0.0)) return 0;
  constexpr std::int64_t kLimit = std::int64_t(1) << 30;
  std::int64_t n = 1;
  for (int i = 0; n * period <= kLimit; ++i) {
    if (double(n * period) * stepPixels > room) return static_cast<int>(n * period);
    n = inches || i % 3 != 1 ? n * 2 : n / 2 * 5;  // 1, 2, 5, 10, 20, 50, ...
  }
  return 0;
}

// A ruler label: the length as the local format shows it without unit, with the first
// ".0" taken out ("12.0" -> "12").
QString rulerLabelText(double mm, const TLengthFormatSettings &format) {
  QString text = FormatLength(mm, format, false);
  const qsizetype dotZero = text.indexOf(QStringLiteral(".0"));
  if (dotZero >= 0) text.remove(dotZero, 2);
  return text;
}

// The selected shapes of the document, in document order.
std::vector<TQN_Path *> selectedShapes(const TEditor &editor) {
  std::vector<TQN_Path *> out;
  for (TQN_Path *s : editor.doc().PathList())
    if (s->FSelected) out.push_back(s);
  return out;
}

// The straight piece of the shape's outline that passes within 0.01 mm of `point`: over
// the line steps (a move-to starts a piece, a degenerate step is passed over, curve and
// close entries are never pieces) the one carrying the point with the smallest signed
// cross product, the first on ties. Its unit direction along the outline goes to
// `direction`; false when no piece carries the point.
bool carryingSegmentDirection(const TQN_Path &shape, TPointF point, TPointF &direction) {
  float best = 2147483648.0f;
  bool found = false;
  TPointF a;
  TPointF bestA, bestB;
  for (const TPathPoint &e : shape.Data().Points()) {
    if (e.Kind == TPathPointKind::MoveTo) {
      a = e.Point;
      continue;
    }
    if (e.Kind != TPathPointKind::LineTo) continue;
    const TPointF b = e.Point;
    if (isSamePoint(a, b, 0.0f)) continue;
    float cross = 0.0f;
    if (isPointOnSegment(a, b, point, cross, 0.01f) && cross < best) {
      best = cross;
      bestA = a;
      bestB = b;
      found = true;
    }
    a = b;
  }
  if (!found) return false;
  const float len = calcDistance(bestA, bestB);
  direction = TPointF((bestB.X - bestA.X) / len, (bestB.Y - bestA.Y) / len);
  return true;
}

}  // namespace

// ---- Text and the label cache ----

QString TRulerLabelCache::labelKey(const QString &text, float fontSize, TAlphaColor color, double scale) {
  if (!(scale > 0.0)) scale = 1.0;
  return text + QLatin1Char('|') + QString::fromStdString(floatToTextNoDotZero(fontSize)) + QLatin1Char('|') +
         QStringLiteral("%1").arg(color, 8, 16, QLatin1Char('0')).toUpper() + QLatin1Char('|') +
         QString::number(static_cast<long long>(roundHalfEven(scale * 100.0)));
}

QImage TRulerLabelCache::getRulerLabelBitmap(QPainter &canvas, const QString &text, float fontSize,
                                             TAlphaColor color) {
  const double scale = canvasScale(canvas);
  const QString key = labelKey(text, fontSize, color, scale);
  if (const auto it = FItems.constFind(key); it != FItems.constEnd()) return it.value();

  const QFont font = fontOfSize(canvas, fontSize);
  const QFontMetricsF fm(font);
  const double w = fm.horizontalAdvance(text), h = fm.height();
  if (FItems.size() > kMaxCachedLabels) FItems.clear();

  const int bw = std::max(1, static_cast<int>(std::ceil(h * scale)));
  const int bh = std::max(1, static_cast<int>(std::ceil(w * scale)));
  QImage bitmap(bw, bh, QImage::Format_ARGB32_Premultiplied);
  bitmap.setDevicePixelRatio(scale);
  bitmap.fill(Qt::transparent);
  {
    QPainter p(&bitmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setFont(font);
    p.setPen(QColor::fromRgba(color));
    // Centre the text on the origin, turn it to read upward, and move it into the bitmap.
    p.translate(h / 2.0, w / 2.0);
    p.rotate(-90.0);
    p.translate(-w / 2.0, -h / 2.0);
    p.drawText(QRectF(0.0, 0.0, w, h), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
  }
  FItems.insert(key, bitmap);
  return bitmap;
}

QRectF drawCanvasText(QPainter &canvas, TPointF point, const QString &text, float fontSize, bool centred,
                      float opacity, bool rotated, TRulerLabelCache *cache) {
  canvas.setFont(fontOfSize(canvas, fontSize));
  const qreal oldOpacity = canvas.opacity();
  canvas.setOpacity(opacity);
  QRectF r;
  if (!rotated) {
    const QFontMetricsF fm(canvas.font());
    const qreal w = fm.horizontalAdvance(text), h = fm.height();
    r = QRectF(point.X - (centred ? w / 2.0 : 0.0), point.Y, w, h);
    const QPen oldPen = canvas.pen();
    canvas.setPen(canvas.brush().color());
    canvas.drawText(r, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
    canvas.setPen(oldPen);
  } else {
    TRulerLabelCache scratch;
    TRulerLabelCache &labels = cache ? *cache : scratch;
    const QImage bitmap = labels.getRulerLabelBitmap(canvas, text, fontSize, canvas.pen().color().rgba());
    const double scale = canvasScale(canvas);
    const double W = bitmap.width() / scale;   // the text's height
    const double H = bitmap.height() / scale;  // the text's width
    const double x = point.X;
    double y = point.Y;
    if (!centred) y += W / 2.0;
    r = QRectF(QPointF(x + H / 2.0 - W / 2.0, y - H / 2.0), QPointF(x + H / 2.0 + W / 2.0, y + H / 2.0));
    canvas.drawImage(r, bitmap);
  }
  canvas.setOpacity(oldOpacity);
  return r;
}

// ---- The rulers ----

TRulerPaintInfo pbRulerXPaint(TEditor &editor, QPainter &canvas, int width, int height, bool horizontal,
                              TRulerLabelCache &cache) {
  TRulerPaintInfo info;
  if (!editor.FOptions || width <= 0 || height <= 0 || !canvas.isActive())
    return info;
  info.Painted = true;
  canvas.save();
  canvas.setRenderHint(QPainter::Antialiasing, true);
  canvas.setRenderHint(QPainter::TextAntialiasing, true);
  canvas.setOpacity(1.0);

  const float t = static_cast<float>(std::min(width, height));
  TLengthFormatSettings format = editor.FOptions->LengthFormatSettings;
  const bool inches = format.UnitMode == umIN;
  if (inches)
    format.InchDisplayMode = idmFraction;
  else
    format.MmDecimalDigits = 1;
  const int large = std::max(1, format.LargeTickInterval);
  const int medium = format.SmallTickInterval;

  const TPointF pointer = editor.snap().FStickyExists ? realToVirtual(editor.view(), editor.snap().FStickyPoint)
                                                      : editor.pointer().FLastMousePos;
  const bool dark = editor.display().FIsBlackBackgroundMode;

  {
    canvas.save();
    canvas.setCompositionMode(QPainter::CompositionMode_Source);
    canvas.fillRect(QRectF(0, 0, width, height),
                    QColor::fromRgba(dark ? kDarkRulerBackground : editor.FOptions->WhiteBGColor));
    canvas.restore();
  }

  const TAlphaColor ink = dark ? kWhite : kBlack;
  setCanvasStroke(canvas, ink, 0.75f, TStrokeDash::Solid);
  canvas.setBrush(QColor::fromRgba(ink));

  const double step = rulerStep(editor);
  info.GridTick = static_cast<float>(step);

  // Origin: the first clicked point, else the selection's near edge, else 0.
  double origin = 0.0;
  if (!editor.tool().Clicked_Points.empty()) {
    origin = horizontal ? editor.tool().Clicked_Points.front().X : editor.tool().Clicked_Points.front().Y;
  } else if (const std::vector<TQN_Path *> sel = selectedShapes(editor); !sel.empty()) {
    const TRectF b = calcShapesBoundary(sel);
    origin = horizontal ? b.Left : b.Top;
    const TPointF v0 = realToVirtual(editor.view(), b.topLeft()), v1 = realToVirtual(editor.view(), b.bottomRight());
    const QRectF band = horizontal ? QRectF(QPointF(v0.X, t - 10.0f), QPointF(v1.X, t - 1.0f))
                                   : QRectF(QPointF(t - 10.0f, v0.Y), QPointF(t - 1.0f, v1.Y));
    canvas.setOpacity(0.6);
    canvas.fillRect(band, QColor::fromRgba(kSelectionBand));
    canvas.setOpacity(1.0);
  }
  info.Origin = static_cast<float>(origin);

  // The pointer mark.
  setCanvasStroke(canvas, kPointerMark, 2.0f, TStrokeDash::Solid);
  if (horizontal)
    canvas.drawLine(QPointF(pointer.X, 0.0), QPointF(pointer.X, height));
  else
    canvas.drawLine(QPointF(0.0, pointer.Y), QPointF(width, pointer.Y));
  setCanvasStroke(canvas, ink, 0.75f, TStrokeDash::Solid);

  // The ticks over the ruler's length, counted from the origin.
  const int length = horizontal ? width : height;
  const double offset = horizontal ? editor.view().FOffset.X : editor.view().FOffset.Y;
  const TAxisTicks ticks = axisTicks(editor.view().FScale, offset, origin, step, 0.0, length - 1.0, length + 2);

  // The labels: whole millimetres, or the inch ticks at multiples of SmallTickInterval,
  // every `stride` ticks so that each label ends more than 5 pixels before the next one
  // begins, measured with the font they are drawn with.
  std::vector<QString> texts(static_cast<std::size_t>(ticks.Count));
  double widest = 0.0;
  const QFontMetricsF metrics(fontOfSize(canvas, kRulerFontSize));
  for (int i = 0; ticks.Exact && i < ticks.Count; ++i) {
    const int counter = ticks.indexModulo(i, large);
    QString text = rulerLabelText((ticks.FirstIndex + i) * step, format);
    const bool wanted =
        inches ? (medium > 0 ? counter % medium == 0 : counter == 0) : !text.contains(QLatin1Char('.'));
    if (!wanted) continue;
    widest = std::max(widest, std::ceil(metrics.horizontalAdvance(text)));
    texts[static_cast<std::size_t>(i)] = std::move(text);
  }
  const int stride = rulerLabelStride(step, inches ? std::max(1, medium > 0 ? medium : large) : 0,
                                      ticks.StepPixels, widest + kRulerLabelGap);

  for (int i = 0; i < ticks.Count; ++i) {
    const int counter = ticks.indexModulo(i, large);
    const float pos = static_cast<float>(ticks.pixel(i));
    const float len = counter == 0 ? t : (counter == medium ? t / 3.0f : t / 5.0f);
    canvas.setOpacity(0.4);
    if (horizontal)
      canvas.drawLine(QPointF(pos, t - 1.0f), QPointF(pos, t - 1.0f - len));
    else
      canvas.drawLine(QPointF(t - 1.0f, pos), QPointF(t - 1.0f - len, pos));
    canvas.setOpacity(1.0);
    ++info.TickCount;

    const QString &text = texts[static_cast<std::size_t>(i)];
    if (text.isEmpty() || stride <= 0 || ticks.indexModulo(i, stride) != 0) continue;
    if (horizontal)
      drawCanvasText(canvas, TPointF(pos, 0.0f), text, kRulerFontSize, true, 1.0f, false);
    else
      drawCanvasText(canvas, TPointF(0.0f, pos), text, kRulerFontSize, true, 1.0f, true, &cache);
    info.Labels.push_back({text, pos});
  }

  setCanvasStroke(canvas, ink, 1.0f, TStrokeDash::Solid);
  canvas.restore();
  return info;
}

// ---- The scale bar ----

TScaleBarInfo drawScaleBar(TEditor &editor, QPainter &canvas, float boxWidth) {
  TScaleBarInfo info;
  const TDrawPallet *lineType = scaleLineType(editor);
  if (!editor.FOptions || !lineType || !(boxWidth > 0.0f)) return info;
  TLengthFormatSettings format = editor.FOptions->LengthFormatSettings;
  const bool inches = format.UnitMode == umIN;
  if (!inches) format.MmDecimalDigits = 0;
  const double tick = rulerStep(editor);
  double k = inches ? 8.0 : 10.0;
  double L = tick * k * editor.view().FScale;
  if (!(L > 0.0)) return info;
  for (int halvings = 0; L > boxWidth / 4.0 && halvings < 64; ++halvings) {
    k /= 2.0;
    L = tick * k * editor.view().FScale;
  }

  const double x1 = boxWidth - L - 10.0, x2 = boxWidth - 10.0;
  info.Drawn = true;
  info.X1 = static_cast<float>(x1);
  info.X2 = static_cast<float>(x2);
  info.Length = static_cast<float>(tick * k);
  info.Text = FormatLength(tick * k, format, true);

  PenBrushScope keep(canvas);
  const qreal oldOpacity = canvas.opacity();
  canvas.setOpacity(0.5);
  canvas.fillRect(QRectF(QPointF(x1 - 3.0, 3.0), QPointF(x2 + 3.0, 27.0)),
                  QColor::fromRgba(editor.display().FIsBlackBackgroundMode ? kBlack : kWhite));
  canvas.setOpacity(oldOpacity);

  const TAlphaColor color = lineType->Color();
  setCanvasStroke(canvas, color, lineType->FThickness, lineType->FDash);
  {
    StrokeScope scope(canvas, 1.0);
    canvas.drawLine(QPointF(x1, 15.0), QPointF(x1, 5.0));
    canvas.drawLine(QPointF(x2, 15.0), QPointF(x2, 5.0));
    canvas.drawLine(QPointF(x1, 10.0), QPointF(x2, 10.0));
  }
  canvas.setFont(fontOfSize(canvas, kRulerFontSize));
  canvas.setPen(QColor::fromRgba(color));
  canvas.drawText(QRectF(QPointF(x1, 10.0), QPointF(x2, 25.0)), Qt::AlignCenter | Qt::TextDontClip, info.Text);
  return info;
}

// ---- The measuring ruler ----

TMeasuringRulerInfo drawMeasuringRuler(TEditor &editor, QPainter &canvas) {
  TMeasuringRulerInfo info;
  if (!editor.FOptions) return info;
  const TLengthFormatSettings &format = editor.FOptions->LengthFormatSettings;
  const TDrawPallet *lineType = scaleLineType(editor);
  const TAlphaColor scaleColor =
      lineType ? lineType->Color() : (editor.display().FIsBlackBackgroundMode ? kWhite : kBlack);
  PenBrushScope keep(canvas);

  // The end point: level or plumb with the start under Shift, else the snap or the pointer.
  TPointF end;
  if (hasShift(editor.pointer().FLastShiftState)) {
    const TPointF m = virtualToReal(editor, editor.pointer().FLastMousePos, true);
    const TPointF st = editor.tool().FRulerRealSt;
    end = std::fabs(m.X - st.X) > std::fabs(m.Y - st.Y) ? TPointF(m.X, st.Y) : TPointF(st.X, m.Y);
  } else if (editor.snap().FStickyExists) {
    end = editor.snap().FStickyPoint;
  } else {
    end = virtualToReal(editor, editor.pointer().FLastMousePos);
  }
  info.End = end;

  TPointF start = end;
  double angle = 0.0, distance = 0.0;
  if (editor.tool().FRulerFixed) {
    start = editor.tool().FRulerRealSt;
    const double dx = double(end.X) - start.X, dy = double(end.Y) - start.Y;
    if (dx == 0.0)
      angle = dy > 0.0 ? 90.0 : 270.0;
    else
      angle = std::atan2(dy, dx) * 180.0 / std::numbers::pi;
    distance = std::hypot(dx, dy);

    TVertexNetwork network(editor.doc().PathList(), editor.doc().FIntersections);
    network.dpConnect(start, end);
    setCanvasStroke(canvas, scaleColor, lineType ? lineType->FThickness : 1.0f,
                    lineType ? lineType->FDash : TStrokeDash::Solid);
    canvas.setBrush(QColor::fromRgba(scaleColor));
    const TPointF mouse = editor.pointer().FLastMousePos;
    info.LengthText = FormatLength(distance, format, true);
    drawCanvasText(canvas, mouse + TPointF(20.0f, 0.0f), info.LengthText, 30.0f, false, 1.0f, false);
    if (const TRouteVertex *last = network.EndVertex()) {
      info.TotalText = QStringLiteral("(") + editor.tr(QStringLiteral("TotalLen")) +
                       FormatLength(last->FMinDist, format, true) + QStringLiteral(")");
      drawCanvasText(canvas, mouse + TPointF(20.0f, 40.0f), info.TotalText, 25.0f, false, 1.0f, false);
    }
    if (const TRouteVertex *v = network.GetVertex(end)) {
      info.RouteFound = true;
      info.RoutePieces = drawRoutePath(editor, canvas, network, v);
    }
  }
  info.Start = start;
  info.Angle = static_cast<float>(angle);
  info.Distance = static_cast<float>(distance);

  const double R = distance < 150.0 ? 150.0 : (std::floor(distance / 10.0) + 1.0) * 10.0;
  info.RulerLength = static_cast<float>(R);
  const double s = editor.view().FScale < 0.001f ? 1.0 : editor.view().FScale;
  const double major = 36.0 / s, mid = 18.0 / s, minor = 9.0 / s;
  const int large = std::max(1, format.LargeTickInterval);
  const int medium = format.SmallTickInterval;
  const double tick = rulerStep(editor);
  if (!(tick > 0.0)) return info;

  // The ticks in millimetres about the start, turned by the angle, then scaled to pixels
  // and moved to the start's pixel position.
  const double rad = angle * std::numbers::pi / 180.0;
  const double c = std::cos(rad), sn = std::sin(rad);
  const TPointF origin = realToVirtual(editor.view(), start);
  auto toScreen = [&](double x, double y) {
    return QPointF(origin.X + (x * c - y * sn) * editor.view().FScale,
                   origin.Y + (x * sn + y * c) * editor.view().FScale);
  };
  // The ticks along the ruler that can reach the canvas: the stretch of the ruler's line
  // within the painted area grown by the longest tick.
  const double slack = tick * 1e-4;  // keeps the last tick of a whole ruler length
  const double lastTick = std::floor((R + slack) / tick);
  info.TickCount = static_cast<int>(std::min(lastTick + 1.0, 2147483647.0));
  const double pixelsPerTick = tick * editor.view().FScale;
  double from = 0.0, to = R * editor.view().FScale;
  const QRectF area = canvas.worldTransform().inverted().mapRect(QRectF(canvas.window())).adjusted(-40, -40, 40, 40);
  const auto clip = [&](double p, double d, double low, double high) {
    if (d == 0.0) {
      if (p < low || p > high) to = -1.0;
      return;
    }
    double a = (low - p) / d, b = (high - p) / d;
    if (a > b) std::swap(a, b);
    from = std::max(from, a);
    to = std::min(to, b);
  };
  clip(origin.X, c, area.left(), area.right());
  clip(origin.Y, sn, area.top(), area.bottom());
  QPainterPath ticks;
  if (pixelsPerTick > 0.0 && to >= from) {
    const double first = std::ceil(from / pixelsPerTick);
    const double last = std::min(lastTick, std::floor(to / pixelsPerTick));
    const int count = last < first ? 0 : static_cast<int>(std::min(last - first + 1.0, 100000.0));
    for (int j = 0; j < count; ++j) {
      const double i = first + j;
      const double x = i * tick;
      const double m = std::fmod(i, double(large));
      const double h = m == 0.0 ? major : (medium > 0 && std::fmod(i, double(medium)) == 0.0 ? mid : minor);
      ticks.moveTo(toScreen(x, 0.0));
      ticks.lineTo(toScreen(x, -h));
      ++info.TicksDrawn;
    }
  }
  setCanvasStroke(canvas, editor.display().FStrokeDefs.RulerColor, editor.display().FStrokeDefs.RulerThickness,
                  TStrokeDash::Solid);
  StrokeScope scope(canvas, 1.0);
  canvas.drawPath(ticks);
  return info;
}

int drawRoutePath(TEditor &editor, QPainter &canvas, const TVertexNetwork &network, const TRouteVertex *vertex) {
  PenBrushScope keep(canvas);
  setCanvasStroke(canvas, editor.display().FStrokeDefs.RulerPathColor, editor.display().FStrokeDefs.SelectionThickness,
                  TStrokeDash::Solid);
  StrokeScope scope(canvas, 1.0);
  int pieces = 0;
  // The way back never has more steps than the network has vertices.
  for (int left = network.Count(); vertex && vertex->FMinDistJoint && left > 0; --left) {
    std::unique_ptr<TQN_Path> piece = vertex->FMinDistJoint->getActualPath();
    pathToVirtual(editor.view(), *piece, editor.view().FOffset);
    canvas.drawPath(toPainterPath(piece->Data()));
    ++pieces;
    vertex = vertex->FMinDistFromVertex;
  }
  return pieces;
}

// ---- Offset support ticks ----

bool drawPerpendicularTick(TEditor &editor, QPainter &canvas, const TQN_Path &shape, TPointF point,
                           float halfLength) {
  TPointF dir;
  if (!carryingSegmentDirection(shape, point, dir)) return false;
  const TPointF across(-dir.Y, dir.X);
  const TPointF a = realToVirtual(editor.view(), point + across * halfLength);
  const TPointF b = realToVirtual(editor.view(), point - across * halfLength);
  PenBrushScope keep(canvas);
  setCanvasStroke(canvas, kOffsetTick, 1.0f, TStrokeDash::Solid);
  StrokeScope scope(canvas, 1.0);
  canvas.drawLine(qp(a), qp(b));
  return true;
}

int drawOffsetSupportTicks(TEditor &editor, QPainter &canvas, const TQN_Path &shape, float halfLength,
                           float minSpacing) {
  int drawn = drawPerpendicularTick(editor, canvas, shape, shape.FStartPt, halfLength) ? 1 : 0;
  TPointF last = shape.FStartPt;
  for (const TRectF &segment : shape.getIntervals(false)) {
    const TPointF end = segment.bottomRight();
    if (calcDistance(end, last) < minSpacing) continue;
    if (drawPerpendicularTick(editor, canvas, shape, end, halfLength)) ++drawn;
    last = end;
  }
  if (drawPerpendicularTick(editor, canvas, shape, shape.FEndPt, halfLength)) ++drawn;
  return drawn;
}

TRectF realRectToVirtual(const TEditor &editor, const TRectF &rect) {
  return TRectF(realToVirtual(editor.view(), rect.topLeft()), realToVirtual(editor.view(), rect.bottomRight()));
}

}  // namespace quillon
