#include "render/coverage_raster.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace quillon {

namespace {

// Pixels a flattened curve may stray from the curve.
constexpr double kFlatness = 0.1;
// Segments of one cubic at most: a curve longer than any screen still ends in time.
constexpr int kMaxCurveSegments = 256;

double signedArea(const QPointF *p, int n) {
  double a = 0.0;
  for (int i = 0, j = n - 1; i < n; j = i++) a += (p[j].x() - p[i].x()) * (p[j].y() + p[i].y());
  return a / 2.0;
}

// Appends the cubic from `p0` (already in `out`) to `p3`, in straight pieces no farther
// than kFlatness from it.
void flattenCubic(std::vector<QPointF> &out, QPointF p0, QPointF p1, QPointF p2, QPointF p3) {
  const QPointF d1 = p0 - 2 * p1 + p2, d2 = p1 - 2 * p2 + p3;
  const double dd = std::max(std::hypot(d1.x(), d1.y()), std::hypot(d2.x(), d2.y()));
  // Uniform steps in t stray at most 3/4 * dd / n^2 from the curve.
  const int n = std::clamp(static_cast<int>(std::ceil(std::sqrt(0.75 * dd / kFlatness))), 1, kMaxCurveSegments);
  for (int i = 1; i < n; ++i) {
    const double t = double(i) / n, u = 1.0 - t;
    out.push_back(u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3);
  }
  out.push_back(p3);
}

}  // namespace

void TCoverageRaster::begin(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width != FWidth || height != FHeight) {
    FWidth = width;
    FHeight = height;
    FCells.assign(std::size_t(width + 2) * std::size_t(height), 0.0f);
    FTilesAcross = (width + 7) / 8;
    FDirect.assign(std::size_t(FTilesAcross) * std::size_t((height + 7) / 8) * 64, 0);
    FRowLeft.assign(std::size_t(height), width + 2);
    FRowRight.assign(std::size_t(height), -1);
  } else if (!empty()) {
    // What a mask left unpainted is cleared now.
    clearDirect(0, FWidth - 1);
    for (int y = FTop; y <= FBottom; ++y) {
      const std::size_t row = std::size_t(y);
      if (FRowLeft[row] <= FRowRight[row]) {
        const std::ptrdiff_t from = std::ptrdiff_t(row * std::size_t(FWidth + 2) + std::size_t(FRowLeft[row]));
        const std::ptrdiff_t to = std::ptrdiff_t(row * std::size_t(FWidth + 2) + std::size_t(FRowRight[row]) + 1);
        std::fill(FCells.begin() + from, FCells.begin() + to, 0.0f);
      }
      FRowLeft[row] = FWidth + 2;
      FRowRight[row] = -1;
    }
  }
  FTop = 0;
  FBottom = -1;
}

void TCoverageRaster::beginOn(const QPainter &painter) {
  const QPaintDevice *device = painter.device();
  const qreal dpr = device ? device->devicePixelRatioF() : 1.0;
  begin(device ? static_cast<int>(std::ceil(device->width() * dpr)) : 0,
        device ? static_cast<int>(std::ceil(device->height() * dpr)) : 0);
}

// The signed area `d` (positive downwards) of a piece of an edge inside one row, from x
// = xa to x = xb: each cell gets the part of the piece's area to its right, the cell after
// it the rest, so that the running sum along the row is the covered area.
void TCoverageRaster::addRowPiece(int row, double xa, double xb, double d) {
  if (xa > xb) std::swap(xa, xb);
  const double w = FWidth;
  float *cells = FCells.data() + std::size_t(row) * std::size_t(FWidth + 2);
  int &left = FRowLeft[std::size_t(row)], &right = FRowRight[std::size_t(row)];
  // Left of the device a piece covers the whole row from x = 0 on; right of it, the cell
  // just past the last pixel takes its area so the row's sum stays whole.
  auto whole = [&](int cell, double area) {
    cells[cell] += float(area);
    left = std::min(left, cell);
    right = std::max(right, cell);
  };
  if (xb <= 0.0) return whole(0, d);
  if (xa >= w) return whole(FWidth, d);
  if (xa < 0.0) {
    const double part = d * (-xa) / (xb - xa);
    whole(0, part);
    d -= part;
    xa = 0.0;
  }
  if (xb > w) {
    const double part = d * (xb - w) / (xb - xa);
    whole(FWidth, part);
    d -= part;
    xb = w;
  }
  const int c0 = std::min(static_cast<int>(xa), FWidth), c1 = std::min(static_cast<int>(xb), FWidth);
  if (c0 == c1 || xb - xa < 1e-12) {
    const double m = (xa + xb) * 0.5 - c0;
    cells[c0] += float(d * (1.0 - m));
    cells[c0 + 1] += float(d * m);
  } else {
    const double perX = d / (xb - xa);
    double xs = xa;
    for (int c = c0; c <= c1; ++c) {
      const double xe = std::min(xb, double(c + 1));
      const double part = (xe - xs) * perX, m = (xs + xe) * 0.5 - c;
      cells[c] += float(part * (1.0 - m));
      cells[c + 1] += float(part * m);
      xs = xe;
    }
  }
  left = std::min(left, c0);
  right = std::max(right, c1 + 1);
}

void TCoverageRaster::addEdge(double x0, double y0, double x1, double y1) {
  if (!(y0 != y1) || !std::isfinite(x0) || !std::isfinite(x1)) return;
  double sign = 1.0;
  if (y0 > y1) {
    std::swap(x0, x1);
    std::swap(y0, y1);
    sign = -1.0;
  }
  const double h = FHeight;
  if (y1 <= 0.0 || y0 >= h) return;
  const double dxdy = (x1 - x0) / (y1 - y0);
  const double top = std::max(y0, 0.0), bottom = std::min(y1, h);
  const int r0 = static_cast<int>(top), r1 = std::min(static_cast<int>(std::ceil(bottom)), FHeight) - 1;
  for (int r = r0; r <= r1; ++r) {
    const double ya = std::max(top, double(r)), yb = std::min(bottom, double(r + 1));
    if (yb <= ya) continue;
    addRowPiece(r, x0 + (ya - y0) * dxdy, x0 + (yb - y0) * dxdy, (yb - ya) * sign);
  }
  FTop = std::min(FTop > FBottom ? r0 : FTop, r0);
  FBottom = std::max(FBottom, r1);
}

void TCoverageRaster::addOriented(const QPointF *points, int count, double sign) {
  if (count < 3) return;
  for (int i = 0, j = count - 1; i < count; j = i++) {
    if (sign > 0)
      addEdge(points[j].x(), points[j].y(), points[i].x(), points[i].y());
    else
      addEdge(points[i].x(), points[i].y(), points[j].x(), points[j].y());
  }
}

void TCoverageRaster::addPolygon(const QPointF *points, int count) {
  if (count < 3) return;
  addOriented(points, count, signedArea(points, count) >= 0.0 ? 1.0 : -1.0);
}

void TCoverageRaster::flatten(const QPainterPath &path, const QTransform &toDevice) {
  std::vector<QPointF> &pts = FScratch;
  pts.clear();
  FLoops.clear();
  auto endLoop = [&](bool closed) {
    const int start = FLoops.empty() ? 0 : FLoops.back().Start + FLoops.back().Count;
    if (int(pts.size()) - start > 0) FLoops.push_back({start, int(pts.size()) - start, closed});
  };
  const int n = path.elementCount();
  for (int i = 0; i < n; ++i) {
    const QPainterPath::Element e = path.elementAt(i);
    const QPointF p = toDevice.map(QPointF(e.x, e.y));
    switch (e.type) {
      case QPainterPath::MoveToElement:
        endLoop(false);
        pts.push_back(p);
        break;
      case QPainterPath::LineToElement: pts.push_back(p); break;
      case QPainterPath::CurveToElement:
        if (i + 2 < n && !pts.empty()) {
          const QPainterPath::Element c2 = path.elementAt(i + 1), e3 = path.elementAt(i + 2);
          flattenCubic(pts, pts.back(), p, toDevice.map(QPointF(c2.x, c2.y)), toDevice.map(QPointF(e3.x, e3.y)));
        }
        i += 2;
        break;
      case QPainterPath::CurveToDataElement: break;
    }
  }
  endLoop(false);
  // A subpath that ends where it began is closed (closeSubpath adds that point).
  for (TLoop &loop : FLoops) {
    if (loop.Count < 3) continue;
    if (pts[std::size_t(loop.Start)] == pts[std::size_t(loop.Start + loop.Count - 1)]) {
      loop.Closed = true;
      --loop.Count;
    }
  }
}

void TCoverageRaster::addPath(const QPainterPath &path, const QTransform &toDevice) {
  flatten(path, toDevice);
  double area = 0.0;
  for (const TLoop &l : FLoops) area += signedArea(FScratch.data() + l.Start, l.Count);
  for (const TLoop &l : FLoops) addOriented(FScratch.data() + l.Start, l.Count, area >= 0.0 ? 1.0 : -1.0);
}

void TCoverageRaster::addPathStroke(const QPainterPath &path, const QTransform &toDevice, double width,
                                    double miterLimit) {
  flatten(path, toDevice);
  for (const TLoop &l : FLoops) addStroke(FScratch.data() + l.Start, l.Count, l.Closed, width, miterLimit);
}

void TCoverageRaster::addStroke(const QPointF *points, int count, bool closed, double width, double miterLimit) {
  const double half = width / 2.0;
  if (count < 2 || !(half > 0.0)) return;
  if (width <= 1.0) return addHairline(points, count, closed, width);
  // Each segment is a rectangle; at each corner the wedge on the outer side is filled with
  // the miter, or cut flat (bevelled) where the miter would reach farther than the limit.
  auto normalOf = [half](QPointF a, QPointF b, QPointF &n) {
    const QPointF d = b - a;
    const double len = std::hypot(d.x(), d.y());
    if (!(len > 0.0)) return false;
    n = QPointF(-d.y(), d.x()) * (half / len);
    return true;
  };
  const int segments = closed ? count : count - 1;
  QPointF prevNormal;
  bool havePrev = false;
  QPointF firstNormal;
  bool haveFirst = false;
  // The miter may reach `limit` pixels from the corner; beyond that it is cut square to
  // the corner's bisector there (or bevelled when the limit is not above the pen's half).
  const double limit = miterLimit * width;
  auto join = [&](QPointF v, QPointF na, QPointF nb) {
    const double cross = na.x() * nb.y() - na.y() * nb.x();
    if (std::fabs(cross) < 1e-12 * half * half) return;
    const double side = cross > 0 ? -1.0 : 1.0;  // the outer side of the turn
    const QPointF a = v + side * na, b = v + side * nb;
    const QPointF sum = na + nb;
    const double sum2 = sum.x() * sum.x() + sum.y() * sum.y();
    if (!(sum2 > 0.0)) return;  // the path turns back on itself
    // The miter point lies at half / cos(angle / 2) from the corner.
    const double reach = 2.0 * half * half / std::sqrt(sum2);
    const QPointF m = v + side * sum * (2.0 * half * half / sum2);
    if (reach <= limit) {
      const std::array<QPointF, 4> wedge{v, a, m, b};
      addPolygon(wedge.data(), 4);
      return;
    }
    const double base = std::sqrt(sum2) / 2.0;  // a's and b's distance along the bisector
    if (limit <= base) {
      const std::array<QPointF, 3> wedge{v, a, b};
      addPolygon(wedge.data(), 3);
      return;
    }
    const double t = (limit - base) / (reach - base);
    const std::array<QPointF, 5> wedge{v, a, a + (m - a) * t, b + (m - b) * t, b};
    addPolygon(wedge.data(), 5);
  };
  for (int i = 0; i < segments; ++i) {
    const QPointF a = points[i], b = points[(i + 1) % count];
    QPointF n;
    if (!normalOf(a, b, n)) continue;
    const std::array<QPointF, 4> quad{a + n, b + n, b - n, a - n};
    addPolygon(quad.data(), 4);
    if (havePrev) join(a, prevNormal, n);
    if (!haveFirst) {
      firstNormal = n;
      haveFirst = true;
    }
    prevNormal = n;
    havePrev = true;
  }
  if (closed && haveFirst && havePrev) join(points[0], prevNormal, firstNormal);
}

// Zeroes the hairline tiles over the rows FTop..FBottom and the pixels left..right.
void TCoverageRaster::clearDirect(int left, int right) {
  if (FTop > FBottom || left > right) return;
  const std::size_t across = std::size_t(FTilesAcross) * 64;
  for (int ty = FTop >> 3; ty <= FBottom >> 3; ++ty) {
    std::uint8_t *tiles = FDirect.data() + std::size_t(ty) * across;
    std::fill(tiles + std::size_t(left >> 3) * 64, tiles + std::size_t((right >> 3) + 1) * 64, 0);
  }
}

// Each step of one pixel along the segment's longer axis covers `width` of a pixel across
// it, split between the two pixels the step's middle lies between; a step the segment
// covers only in part counts that part. The coverage goes straight into FDirect.
void TCoverageRaster::addHairline(const QPointF *points, int count, bool closed, double width) {
  const int segments = closed ? count : count - 1;
  auto touchRows = [&](int top, int bottom, int left, int right) {
    top = std::max(top, 0);
    bottom = std::min(bottom, FHeight - 1);
    if (top > bottom || left > right) return;
    for (int y = top; y <= bottom; ++y) {
      FRowLeft[std::size_t(y)] = std::min(FRowLeft[std::size_t(y)], left);
      FRowRight[std::size_t(y)] = std::max(FRowRight[std::size_t(y)], right);
    }
    if (FTop > FBottom) FTop = FBottom = top;
    FTop = std::min(FTop, top);
    FBottom = std::max(FBottom, bottom);
  };
  for (int i = 0; i < segments; ++i) {
    const QPointF a = points[i], b = points[(i + 1) % count];
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    if (!std::isfinite(dx) || !std::isfinite(dy) || (dx == 0.0 && dy == 0.0)) continue;
    const bool alongX = std::fabs(dx) >= std::fabs(dy);
    // u runs along the longer axis, v across it.
    double u0 = alongX ? a.x() : a.y(), u1 = alongX ? b.x() : b.y();
    double v0 = alongX ? a.y() : a.x(), v1 = alongX ? b.y() : b.x();
    if (u0 > u1) {
      std::swap(u0, u1);
      std::swap(v0, v1);
    }
    const double slope = (v1 - v0) / (u1 - u0);
    const int uSize = alongX ? FWidth : FHeight, vSize = alongX ? FHeight : FWidth;
    if (u1 < 0.0 || u0 >= uSize || std::max(v0, v1) < -1.0 || std::min(v0, v1) > vSize + 1.0) continue;
    const int first = std::max(0, static_cast<int>(std::floor(u0)));
    const int last = std::min(uSize - 1, static_cast<int>(std::floor(u1)));
    const int vLow = static_cast<int>(std::floor(std::min(v0, v1) - 0.5)) - 1;
    const int vHigh = static_cast<int>(std::floor(std::max(v0, v1) + 0.5)) + 1;
    if (alongX)
      touchRows(vLow, vHigh, first, last);
    else
      touchRows(first, last, std::max(vLow, 0), std::min(vHigh, FWidth - 1));
    for (int u = first; u <= last; ++u) {
      double part = width, middle = u + 0.5;
      if (u == first || u == last) {
        const double ua = std::max(u0, double(u)), ub = std::min(u1, double(u + 1));
        part = (ub - ua) * width;
        middle = (ua + ub) * 0.5;
        if (!(part > 0.0)) continue;
      }
      const double v = v0 + (middle - u0) * slope - 0.5;  // top of the band
      if (!(v >= -1.0) || v >= vSize) continue;
      const int k = static_cast<int>(v + 1.0) - 1;
      const int lower = static_cast<int>((v - k) * part * 255.0 + 0.5);
      const int upper = static_cast<int>(part * 255.0 + 0.5) - lower;
      auto add = [](std::uint8_t &cell, int amount) { cell = std::uint8_t(std::min(255, cell + amount)); };
      if (alongX) {
        if (k >= 0) add(FDirect[directIndex(u, k)], upper);
        if (k + 1 < vSize) add(FDirect[directIndex(u, k + 1)], lower);
      } else {
        if (k >= 0) add(FDirect[directIndex(k, u)], upper);
        if (k + 1 < vSize) add(FDirect[directIndex(k + 1, u)], lower);
      }
    }
  }
}

void TCoverageRaster::paint(QPainter &painter, QRgb color, qreal opacity) {
  if (empty()) return;
  // The colour of each coverage level, premultiplied.
  const double alpha = qAlpha(color) / 255.0 * std::clamp(opacity, 0.0, 1.0);
  std::array<QRgb, 256> levels;
  for (int i = 0; i < 256; ++i) {
    const double a = alpha * i / 255.0;
    auto channel = [a](int c) { return static_cast<int>(std::lround(c * a)); };
    levels[std::size_t(i)] = qRgba(channel(qRed(color)), channel(qGreen(color)), channel(qBlue(color)),
                                   static_cast<int>(std::lround(255.0 * a)));
  }
  if (FImage.width() != FWidth || FImage.height() != FHeight)
    FImage = QImage(FWidth, FHeight, QImage::Format_ARGB32_Premultiplied);

  int left = FWidth, right = -1;
  for (int y = FTop; y <= FBottom; ++y) {
    const std::size_t row = std::size_t(y);
    left = std::min(left, FRowLeft[row]);
    right = std::max(right, FRowRight[row]);
  }
  right = std::min(right, FWidth - 1);
  if (right < left) {
    begin(FWidth, FHeight);
    return;
  }
  for (int y = FTop; y <= FBottom; ++y) {
    const std::size_t row = std::size_t(y);
    QRgb *out = reinterpret_cast<QRgb *>(FImage.scanLine(y));
    float *cells = FCells.data() + row * std::size_t(FWidth + 2);
    const int from = FRowLeft[row], last = FRowRight[row];
    if (from > last) {
      std::fill(out + left, out + right + 1, 0u);
      continue;
    }
    const int to = std::min(last, right);
    std::fill(out + left, out + from, 0u);
    const std::uint8_t *direct = FDirect.data() + std::size_t(y >> 3) * std::size_t(FTilesAcross) * 64 + (y & 7) * 8;
    float sum = 0.0f;
    for (int x = from; x <= to; ++x) {
      sum += cells[x];
      const float c = std::min(std::fabs(sum) + direct[(x >> 3) * 64 + (x & 7)] * (1.0f / 255.0f), 1.0f);
      out[x] = levels[std::size_t(static_cast<int>(c * 255.0f + 0.5f))];
    }
    std::fill(out + to + 1, out + right + 1, 0u);
    std::fill(cells + from, cells + last + 1, 0.0f);
    FRowLeft[row] = FWidth + 2;
    FRowRight[row] = -1;
  }

  clearDirect(left, right);

  const qreal dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
  painter.save();
  painter.setWorldTransform(QTransform::fromScale(1.0 / dpr, 1.0 / dpr));
  painter.setOpacity(1.0);
  painter.drawImage(QPointF(left, FTop), FImage, QRectF(left, FTop, right - left + 1, FBottom - FTop + 1));
  painter.restore();
  FTop = 0;
  FBottom = -1;
}

bool coverageFits(const QPainter &painter) {
  const QPaintEngine *engine = painter.paintEngine();
  if (!engine || engine->type() != QPaintEngine::Raster) return false;
  if (!painter.testRenderHint(QPainter::Antialiasing)) return false;
  if (painter.compositionMode() != QPainter::CompositionMode_SourceOver) return false;
  return painter.deviceTransform().type() <= QTransform::TxScale;
}

std::optional<double> maskPenWidth(const QPainter &painter) {
  const QPen &pen = painter.pen();
  const QTransform toDevice = painter.deviceTransform();
  if (pen.style() != Qt::SolidLine || pen.brush().style() != Qt::SolidPattern || pen.capStyle() != Qt::FlatCap ||
      (pen.joinStyle() != Qt::MiterJoin && pen.joinStyle() != Qt::SvgMiterJoin) || pen.isCosmetic() ||
      !(pen.widthF() > 0.0) || toDevice.m11() != toDevice.m22() || !(toDevice.m11() > 0.0))
    return std::nullopt;
  return pen.widthF() * toDevice.m11();
}

}  // namespace quillon
