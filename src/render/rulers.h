#pragma once
// The two rulers beside the drawing box (pbRulerX above it, pbRulerY to its left), the
// scale bar in the drawing box's top-right corner, the measuring ruler from a start point
// to the pointer with the shortest way along the drawn shapes, and the small painting
// helpers they share: canvas text with a cache of rotated labels, the perpendicular ticks
// that preview a Bezier's offset, the drawing of a route and the conversion of a real
// rectangle to the screen.
//
// Everything paints onto any QPainter: the ruler widgets, the paint routine and the tests
// all come through here.
#include <QHash>
#include <QImage>
#include <QString>

#include <vector>

#include "platform/geometry.h"

class QPainter;

namespace quillon {

class TEditor;
class TQN_Path;
class TRouteVertex;
class TVertexNetwork;

// Thickness of both rulers in pixels.
inline constexpr int kRulerThickness = 25;

// FRulerLabelCache: bitmaps of texts rotated by -90 degrees (reading upward), keyed by
// text, font size, colour and display scale. It owns its bitmaps; when it holds more than
// 256 of them at a miss it is emptied before the new one is stored.
class TRulerLabelCache {
 public:
  // The cached bitmap of `text` at `fontSize` pixels in `color`, rendered for the display
  // scale of `canvas` (its device pixels per logical pixel): Ceil(text height x scale)
  // device pixels wide, Ceil(text width x scale) high (at least 1 each), with that scale
  // as its device pixel ratio, transparent around the text.
  QImage getRulerLabelBitmap(QPainter &canvas, const QString &text, float fontSize, TAlphaColor color);

  // The cache key: text|size|AARRGGBB|Round(scale x 100), a scale of 0 or less counting as 1.
  static QString labelKey(const QString &text, float fontSize, TAlphaColor color, double scale);

  int count() const { return static_cast<int>(FItems.size()); }
  bool contains(const QString &key) const { return FItems.contains(key); }
  void clear() { FItems.clear(); }

 private:
  QHash<QString, QImage> FItems;
};

// Draws `text` at `point` (pixels) with the canvas font set to `fontSize` pixels.
// Not rotated: the text fills the rectangle from point to point + (width, height) of the
// text, moved left by half its width when centred, in the canvas' fill (brush) colour.
// Rotated: the cached bitmap of the text in the canvas' stroke (pen) colour, turned by
// -90 degrees; W = its width and H = its height in logical pixels (the text's height and
// width); when not centred the point moves down by W / 2; the bitmap fills the rectangle
// (x + H/2 - W/2, y - H/2) to (x + H/2 + W/2, y + H/2). Rotated text needs a cache; one
// made for this call only is used when none is given. Returns the rectangle filled.
QRectF drawCanvasText(QPainter &canvas, TPointF point, const QString &text, float fontSize, bool centred,
                      float opacity, bool rotated, TRulerLabelCache *cache = nullptr);

// One label a ruler painted: its text and the screen position of its tick along the ruler.
struct TRulerLabel {
  QString Text;
  float Position = 0.0f;
};

// What one ruler paint did.
struct TRulerPaintInfo {
  bool Painted = false;   // false when the document or the settings were missing
  float GridTick = 0.0f;  // the tick step in millimetres
  float Origin = 0.0f;    // the real coordinate labelled 0
  int TickCount = 0;
  std::vector<TRulerLabel> Labels;  // in painting order
};

// pbRulerXPaint: paints the horizontal (pbRulerX) or vertical (pbRulerY) ruler onto a
// canvas of width x height logical pixels that lines up with the drawing box (its pixel 0
// along the ruler is the box's pixel 0). Ticks at the grid step of the zoom, numbers
// relative to the first clicked point, else to the selection's left or top edge (whose
// extent is marked by a blue band), else to 0; a yellow mark at the pointer or the sticky
// point. The Y ruler's labels come rotated from `cache`.
TRulerPaintInfo pbRulerXPaint(TEditor &editor, QPainter &canvas, int width, int height, bool horizontal,
                              TRulerLabelCache &cache);

// What the scale bar drew.
struct TScaleBarInfo {
  bool Drawn = false;
  float X1 = 0.0f;  // pixels
  float X2 = 0.0f;
  float Length = 0.0f;  // millimetres
  QString Text;
};

// drawScaleBar: a bar of a whole number of grid steps, at most a quarter of the drawing
// box width (boxWidth pixels), 10 pixels from the top-right corner, labelled with its
// length. The caller leaves it out on paper.
TScaleBarInfo drawScaleBar(TEditor &editor, QPainter &canvas, float boxWidth);

// What the measuring ruler drew.
struct TMeasuringRulerInfo {
  TPointF Start;  // millimetres: where the ticks start
  TPointF End;    // millimetres: the measured end point
  float Angle = 0.0f;         // degrees
  float Distance = 0.0f;      // straight length from start to end (0 when the start is not fixed)
  float RulerLength = 0.0f;   // length the ticks cover, millimetres
  int TickCount = 0;          // ticks of the whole ruler
  int TicksDrawn = 0;         // those of them on the canvas, the only ones painted
  QString LengthText;  // empty when the start is not fixed
  QString TotalText;   // "(Total Len=... mm)" when the route search ran; else empty
  bool RouteFound = false;  // the end point became a vertex of the route network
  int RoutePieces = 0;      // pieces of shapes drawn for the route
};

// drawMeasuringRuler: the ticks of a ruler from the fixed start FRulerRealSt toward the
// pointer (or at the pointer, level, while the start is not fixed), the straight length,
// and the shortest way along the drawn shapes with its length. Only the ticks that can
// show on the canvas are painted, so a ruler of any length costs what the canvas holds.
TMeasuringRulerInfo drawMeasuringRuler(TEditor &editor, QPainter &canvas);

// drawRoutePath: the route into `vertex`, joint by joint back toward the start, each
// piece of shape in RulerPathColor at SelectionThickness. Returns the pieces drawn.
int drawRoutePath(TEditor &editor, QPainter &canvas, const TVertexNetwork &network, const TRouteVertex *vertex);

// drawOffsetSupportTicks: perpendicular ticks of halfLength millimetres on both sides of
// the shape: at its start point, at each end of its flattened outline segments lying at
// least minSpacing from the last tick, and at its end point. Returns the ticks drawn.
int drawOffsetSupportTicks(TEditor &editor, QPainter &canvas, const TQN_Path &shape, float halfLength,
                           float minSpacing);
// drawPerpendicularTick: an orange line across the straight piece of the shape's outline
// that carries `point` (millimetres), halfLength to each side; false (nothing drawn) when
// no piece carries it.
bool drawPerpendicularTick(TEditor &editor, QPainter &canvas, const TQN_Path &shape, TPointF point,
                           float halfLength);

// A real rectangle as a screen rectangle: its two corners through realToVirtual.
TRectF realRectToVirtual(const TEditor &editor, const TRectF &rect);

}  // namespace quillon
