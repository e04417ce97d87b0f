#include "render/grid_cache.h"

#include <QLocale>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

#include "platform/number_text.h"
#include "render/shape_painters.h"
#include "shell/view_transform.h"
#include "tools/snapping.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/options.h"

namespace quillon {

namespace {

constexpr float kMargin = 300.0f;  // pixels the cache reaches beyond each edge of the box
constexpr int kSettleMs = 140;

constexpr int kStepCount = 12;
constexpr double kMmSteps[kStepCount] = {0.1, 0.2, 0.5, 1, 2, 5, 10, 20, 50, 100, 200, 500};
constexpr double kInchSteps[kStepCount] = {1.0 / 128, 1.0 / 64, 1.0 / 32, 1.0 / 16, 1.0 / 8, 1.0 / 4,
                                 1.0 / 2,   1,        2,        4,        8,        24};

QString fixed(double value, int decimals) { return QLocale::c().toString(value, 'f', decimals); }

}  // namespace

QString gridCacheKey(const TEditor &editor, float Width, float Height, float BitmapScale) {
  if (!editor.FOptions) return {};
  const TQN_Options &o = *editor.FOptions;
  const TLengthFormatSettings &lf = o.LengthFormatSettings;
  return fixed(Width, 1) + QLatin1Char(';') + fixed(Height, 1) + QLatin1Char(';') + fixed(BitmapScale, 3) +
         QLatin1Char(';') + QString::number(int(o.UnitMode)) + QLatin1Char(';') +
         QString::number(lf.SmallTickInterval) + QLatin1Char(';') + QString::number(lf.LargeTickInterval) +
         QLatin1Char(';') + QString::number(editor.display().FIsBlackBackgroundMode ? 1 : 0);
}

TGridCache::TGridCache() = default;
TGridCache::~TGridCache() = default;

void TGridCache::drawGrid(TEditor &editor, QPainter &canvas, float W, float H, float BitmapScale) {
  if (!editor.FOptions || !(W > 0.0f) || !(H > 0.0f)) return;
  const float s = BitmapScale > 0.0f ? BitmapScale : 1.0f;
  const float CW = W + 2.0f * kMargin, CH = H + 2.0f * kMargin;
  const QString key = gridCacheKey(editor, CW, CH, s);

  // Where the cached area lies in the present view.
  const bool usable = !FGridCache.isNull() && FGridCacheScale != 0.0f;
  QRectF D;
  float ratio = 1.0f;
  if (usable) {
    auto cachedToPresent = [&](float vx, float vy) {
      const TPointF mm((vx - FGridCacheOffset.X) / FGridCacheScale, (vy - FGridCacheOffset.Y) / FGridCacheScale);
      const TPointF p = realToVirtual(editor.view(), mm);
      return QPointF(p.X, p.Y);
    };
    D = QRectF(cachedToPresent(-kMargin, -kMargin), cachedToPresent(W + kMargin, H + kMargin));
    ratio = editor.view().FScale / FGridCacheScale;
  }
  const bool viewChanged =
      !sameCoordinate(FGridCacheScale, editor.view().FScale) || FGridCacheOffset != editor.view().FOffset;
  const bool moved = usable && viewChanged;
  const bool stale = !usable || key != FGridCacheKey;
  const bool uncovered = ratio < 0.5f || ratio > 2.0f || D.left() > 0 || D.top() > 0 || W > D.right() ||
                         H > D.bottom();

  if (stale || (uncovered && !moved)) {
    FGridCache = QImage(static_cast<int>(std::lround(CW * s)), static_cast<int>(std::lround(CH * s)),
                        QImage::Format_ARGB32_Premultiplied);
    FGridCache.setDevicePixelRatio(s);
    FGridCacheScale = editor.view().FScale;
    FGridCacheOffset = editor.view().FOffset;
    FGridCache.fill(Qt::transparent);
    {
      QPainter p(&FGridCache);
      p.setRenderHint(QPainter::Antialiasing, true);
      drawGridLines(editor, p, -kMargin, -kMargin, CW, CH);
    }
    FGridCacheKey = key;
    D = QRectF(QPointF(-kMargin, -kMargin), QPointF(W + kMargin, H + kMargin));
    ++RebuildCount;
  }

  canvas.save();
  canvas.setOpacity(1.0);
  canvas.setRenderHint(QPainter::SmoothPixmapTransform, false);
  canvas.drawImage(D, FGridCache);
  canvas.restore();

  // A shifted or stretched cache: render afresh once the view has settled.
  if (!sameCoordinate(FGridCacheScale, editor.view().FScale) || FGridCacheOffset != editor.view().FOffset) {
    if (!FGridSettleTimer) {
      FGridSettleTimer = std::make_unique<QTimer>();
      FGridSettleTimer->setSingleShot(true);
      FGridSettleTimer->setInterval(kSettleMs);
      QObject::connect(FGridSettleTimer.get(), &QTimer::timeout, [this] { settleTick(); });
    }
    FSettleEditor = &editor;
    FGridSettleTimer->stop();
    FGridSettleTimer->start();
  }
}

void TGridCache::settleTick() {
  if (FGridSettleTimer) FGridSettleTimer->stop();
  FGridCacheKey.clear();
  if (FSettleEditor) FSettleEditor->ui().refreshCanvas();
}

float gridTickForScale(const TEditor &editor) {
  const bool inch = editor.FOptions && editor.FOptions->UnitMode == umIN;
  const double *series = inch ? kInchSteps : kMmSteps;
  float tick = 0.0f;
  for (int k = 0; k < kStepCount; ++k) {
    tick = static_cast<float>(inch ? series[k] * 25.4 : series[k]);
    if (tick * editor.view().FScale >= 10.0f) break;
  }
  return tick;
}

int TAxisTicks::indexModulo(int i, int period) const {
  // Without a period the count never wraps.
  if (period <= 0) return static_cast<int>(std::clamp(FirstIndex + i, 0.0, 2147483647.0));
  double m = std::fmod(FirstIndex, double(period));
  if (m < 0.0) m += period;
  return (static_cast<int>(m) + i % period) % period;
}

TAxisTicks axisTicks(double scale, double offset, double origin, double step, double from, double to,
                     int maxCount) {
  TAxisTicks t;
  const double stepPx = step * scale;
  if (!std::isfinite(stepPx) || !(stepPx > 0.0) || !std::isfinite(offset) || !std::isfinite(origin) ||
      !std::isfinite(from) || !std::isfinite(to) || !(to >= from) || maxCount <= 0)
    return t;
  double k = std::floor(((from - offset) / scale - origin) / step);
  double pos = (origin + k * step) * scale + offset;
  if (!std::isfinite(k) || !std::isfinite(pos)) return t;
  // Far from the origin the tick found lies anywhere near `from`: it is moved back to
  // within one step of it, and its index is no longer known.
  bool exact = std::fabs(k) < 1125899906842624.0;  // 2^50
  if (pos > from || pos <= from - stepPx) {
    const double shift = std::ceil((pos - from) / stepPx);
    pos -= shift * stepPx;
    k -= shift;
    if (pos > from) pos -= stepPx;
    if (pos <= from - stepPx) pos = from;
    exact = exact && std::fabs(shift) <= 1.0;
  }
  t.FirstPixel = pos;
  t.StepPixels = stepPx;
  t.FirstIndex = k;
  t.Exact = exact;
  t.Count = static_cast<int>(std::min<double>(std::floor((to - pos) / stepPx) + 1.0, maxCount));
  return t;
}

void TGridCache::drawGridLines(TEditor &editor, QPainter &canvas, float X, float Y, float W, float H) {
  if (!editor.FOptions) return;
  const TQN_Options &o = *editor.FOptions;
  const TAlphaColor color = editor.display().FIsBlackBackgroundMode ? 0xFFFFFFFF : 0xFF000000;
  setCanvasStroke(canvas, color, 0.5f, TStrokeDash::Solid);

  // The step: the first of the series at least 10 pixels wide, chosen again only when the
  // scale changed.
  if (!sameCoordinate(editor.view().FScale, FPrevScale)) {
    FGridTick = gridTickForScale(editor);
    FPrevScale = editor.view().FScale;
  }
  if (!(FGridTick > 0.0f)) return;
  const double tick = FGridTick;
  const int large = o.LengthFormatSettings.LargeTickInterval;
  const int small = o.LengthFormatSettings.SmallTickInterval;

  auto strokeFor = [&](QPainter &p, int i) {
    if (i == small)
      setCanvasStroke(p, color, 0.75f, TStrokeDash::Solid);
    else if (i == 0)
      setCanvasStroke(p, color, 1.0f, TStrokeDash::Solid);
    else
      setCanvasStroke(p, color, 0.5f, TStrokeDash::Dash);
  };

  // Every line is drawn with opacity 0.4. Lines of one direction never overlap, so each
  // direction is drawn opaque into a layer whose alpha is then scaled by 0.4 in one pass,
  // and the layer is laid over the canvas: the same pixels as line-by-line opacity (the
  // crossings included), without blending every thin line on its own, which the raster
  // engine does very slowly for vertical lines.
  const qreal dpr = canvas.device() ? canvas.device()->devicePixelRatioF() : 1.0;
  QImage layer(static_cast<int>(std::lround(W * dpr)), static_cast<int>(std::lround(H * dpr)),
               QImage::Format_ARGB32_Premultiplied);
  layer.setDevicePixelRatio(dpr);
  auto drawLayer = [&](const std::function<void(QPainter &)> &lines) {
    layer.fill(Qt::transparent);
    QPainter p(&layer);
    p.setRenderHints(canvas.renderHints());
    lines(p);
    p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    p.fillRect(QRectF(0, 0, W, H), QColor(0, 0, 0, 102));  // alpha x 0.4
    p.end();
    canvas.save();
    canvas.setOpacity(1.0);
    canvas.drawImage(QPointF(0, 0), layer);
    canvas.restore();
  };

  // The lines of one direction over the pixels `from` .. `from + length - 1` of the box.
  // The weight cycle starts at the multiple of ten steps nearest to the first pixel, one
  // cycle of ten further back; the lines are counted from there, but only those on the
  // area are drawn, so their number follows the pixels whatever the coordinates.
  const double scale = editor.view().FScale;
  auto linesOf = [&](double offset, float from, float length) {
    const double m = 10.0 * tick;
    const double start = (double(from) - offset) / scale;
    const double first = roundHalfEven(start / m) * 10.0 - 10.0;  // in steps from 0
    const TAxisTicks t = axisTicks(scale, offset, 0.0, tick, from, double(from) + length - 1.0,
                                   static_cast<int>(length) + 2);
    TAxisTicks cycle = t;
    cycle.FirstIndex = t.Exact && std::isfinite(first) ? t.FirstIndex - first : 0.0;
    return std::pair(t, cycle);
  };

  drawLayer([&](QPainter &p) {  // vertical lines
    const auto [t, cycle] = linesOf(editor.view().FOffset.X, X, W);
    for (int i = 0; i < t.Count; ++i) {
      strokeFor(p, cycle.indexModulo(i, large));
      const double px = t.pixel(i) - X;
      p.drawLine(QPointF(px, 0.0), QPointF(px, H - 1.0));
    }
  });
  drawLayer([&](QPainter &p) {  // horizontal lines
    const auto [t, cycle] = linesOf(editor.view().FOffset.Y, Y, H);
    for (int i = 0; i < t.Count; ++i) {
      strokeFor(p, cycle.indexModulo(i, large));
      const double py = t.pixel(i) - Y;
      p.drawLine(QPointF(0.0, py), QPointF(W - 1.0, py));
    }
  });
  setCanvasStroke(canvas, color, 1.0f, TStrokeDash::Solid);
}

}  // namespace quillon
