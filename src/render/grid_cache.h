#pragma once
// The background grid of the drawing box, drawn into an off-screen bitmap 300 pixels
// larger than the box on every side and reused while nothing that shapes the grid
// changes. While the view pans or zooms the cached bitmap is shifted and stretched to the
// new view; 140 ms after the view stops changing a one-shot settle timer forces a fresh
// rendering at the new scale.
//
// The grid step follows the zoom: the first entry of a fixed series (millimetres or
// inches) that is at least 10 pixels wide. Every LargeTickInterval-th line is a 1 px solid
// major line, line SmallTickInterval of each cycle a 0.75 px solid middle line, the others
// 0.5 px dashed.
#include <QImage>
#include <QString>

#include <memory>

#include "platform/geometry.h"

class QPainter;
class QTimer;

namespace quillon {

class TEditor;

// The grid cache key: "%.1f;%.1f;%.3f;%d;%d;%d;%d" of width, height, bitmap scale, unit
// mode, SmallTickInterval, LargeTickInterval and 1 or 0 for the dark background; empty
// without settings.
QString gridCacheKey(const TEditor &editor, float Width, float Height, float BitmapScale);

// The grid step in millimetres at the current scale: the first entry of the series (of
// the unit mode) that is at least 10 pixels wide.
float gridTickForScale(const TEditor &editor);

// The ticks of one axis of the view that fall on the pixels from `from` to `to`: the
// positions origin + k x step (millimetres, k whole) through pixel = mm x scale + offset.
// Worked in double precision and bounded by the pixels covered, whatever the coordinates:
// there are never more ticks than `maxCount`, and far from the origin, where a double can
// no longer tell one step from the next, the ticks keep their spacing on the screen but
// lose their index (Exact false).
struct TAxisTicks {
  double FirstPixel = 0.0;  // position of the first tick: at `from` or less than a step before
  double StepPixels = 0.0;
  double FirstIndex = 0.0;  // k of the first tick, a whole number
  bool Exact = false;       // FirstIndex counts the steps from the origin exactly
  int Count = 0;            // ticks up to `to`; 0 when the view or the step is unusable
  double pixel(int i) const { return FirstPixel + double(i) * StepPixels; }
  // The index of tick i modulo `period` (0 .. period - 1); without a period (0 or less),
  // the index itself (at least 0).
  int indexModulo(int i, int period) const;
};
TAxisTicks axisTicks(double scale, double offset, double origin, double step, double from, double to,
                     int maxCount);

class TGridCache {
 public:
  TGridCache();
  ~TGridCache();
  TGridCache(const TGridCache &) = delete;
  TGridCache &operator=(const TGridCache &) = delete;

  // Draws the grid over a canvas of W x H logical pixels whose bitmap scale (device
  // pixels per logical pixel) is BitmapScale.
  void drawGrid(TEditor &editor, QPainter &canvas, float W, float H, float BitmapScale = 1.0f);

  // Draws grid lines for the drawing-box rectangle (X, Y, W, H) onto a canvas whose
  // origin stands for the box point (X, Y). Chooses the step when the scale changed.
  void drawGridLines(TEditor &editor, QPainter &canvas, float X, float Y, float W, float H);

  // The settle tick: stops the timer, empties the key and asks the editor's window to
  // repaint, so the next frame renders the grid afresh.
  void settleTick();

  // The settle timer; nullptr until the first frame that drew a moved cache.
  QTimer *settleTimer() const { return FGridSettleTimer.get(); }

  QImage FGridCache;          // the cached grid
  QString FGridCacheKey;      // key of the settings it was drawn with; empty forces a rebuild
  float FGridCacheScale = 0;  // FScale when it was drawn
  TPointF FGridCacheOffset;   // FOffset when it was drawn
  float FGridTick = 0;        // current grid step in millimetres
  float FPrevScale = 0;       // the scale FGridTick was chosen for
  int RebuildCount = 0;       // number of times the bitmap was drawn afresh

 private:
  std::unique_ptr<QTimer> FGridSettleTimer;
  TEditor *FSettleEditor = nullptr;  // whose window the settle tick repaints
};

}  // namespace quillon
