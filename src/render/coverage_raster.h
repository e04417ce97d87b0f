#pragma once
// An antialiased coverage mask for many small, thin shapes painted in one colour.
//
// Shapes are added as closed polygons in device pixels; each adds the signed area it
// covers to a per-pixel accumulation row, and the coverage of a pixel is the running sum
// along its row, clamped to one. Every polygon is taken counter-clockwise (its area
// positive), so shapes that overlap cover a shared pixel once, as one path of them all
// would. The mask is then laid over the painter in a single image: one blend per pixel
// however many shapes were added, instead of one rasterisation and blend per shape.
//
// A pixel is the unit square [x, x+1) x [y, y+1); its coverage is the exact area of the
// shapes within it (up to the clamp where shapes overlap), as the raster engine's own
// antialiasing computes it.
#include <QImage>
#include <QPointF>
#include <QRgb>

#include <cstdint>
#include <optional>
#include <vector>

class QPainter;
class QPainterPath;
class QTransform;

namespace quillon {

class TCoverageRaster {
 public:
  // Empties the mask and sizes it to a device of `width` x `height` pixels.
  void begin(int width, int height);
  // The same, sized to the device `painter` draws on, in device pixels.
  void beginOn(const QPainter &painter);
  bool empty() const { return FTop > FBottom; }

  // A closed polygon (the last point joins the first).
  void addPolygon(const QPointF *points, int count);
  // Every subpath of `path`, mapped by `toDevice` and flattened, as polygons of one
  // outline (an inner loop drawn the other way is a hole).
  void addPath(const QPainterPath &path, const QTransform &toDevice);
  // The outline a pen of `width` device pixels draws along every subpath of `path`
  // (mapped by `toDevice`): flat caps, mitred joins; a subpath that ends at its start is
  // closed.
  void addPathStroke(const QPainterPath &path, const QTransform &toDevice, double width, double miterLimit);
  // The area a pen of `width` pixels with flat caps and mitred joins covers along the
  // polyline (closed: the last point joins the first). A pen of one pixel or less is
  // drawn as the raster engine draws it: its width across each step along a segment's
  // longer axis, the corners unjoined.
  void addStroke(const QPointF *points, int count, bool closed, double width, double miterLimit);

  // Lays the mask over `painter` in `color` (unpremultiplied ARGB) at `opacity`, in
  // device pixels, then empties it.
  void paint(QPainter &painter, QRgb color, qreal opacity);

 private:
  void addEdge(double x0, double y0, double x1, double y1);
  void addRowPiece(int row, double xa, double xb, double d);
  void addOriented(const QPointF *points, int count, double sign);
  void addHairline(const QPointF *points, int count, bool closed, double width);
  // The subpaths of `path` in device pixels, flattened into FScratch and FLoops.
  void flatten(const QPainterPath &path, const QTransform &toDevice);

  struct TLoop {
    int Start = 0, Count = 0;
    bool Closed = false;
  };

  int FWidth = 0, FHeight = 0;
  std::vector<float> FCells;       // (FWidth + 2) per row: signed area carried to the right
  // Coverage of hairlines in 1/255, added as is, in tiles of 8 x 8 pixels (one cache line):
  // a thin curve touches few of them whichever way it runs.
  std::vector<std::uint8_t> FDirect;
  int FTilesAcross = 0;
  std::size_t directIndex(int x, int y) const {
    return (std::size_t(y >> 3) * std::size_t(FTilesAcross) + std::size_t(x >> 3)) * 64 + std::size_t((y & 7) * 8 + (x & 7));
  }
  void clearDirect(int left, int right);
  std::vector<int> FRowLeft, FRowRight;  // the cells each row touched (empty: left > right)
  int FTop = 0, FBottom = -1;      // rows touched
  QImage FImage;                   // the mask in colour, premultiplied
  std::vector<QPointF> FScratch;
  std::vector<TLoop> FLoops;
};

// Whether `painter` draws on a raster device with antialiasing, plain source-over
// blending and a transform of scale and translation only: where a coverage mask looks
// as the painter's own filling would.
bool coverageFits(const QPainter &painter);
// The width in device pixels of the painter's pen where a mask strokes as the pen does (a
// solid, non-cosmetic pen with flat caps and mitred joins, under an even scale); nothing
// otherwise.
std::optional<double> maskPenWidth(const QPainter &painter);

}  // namespace quillon
