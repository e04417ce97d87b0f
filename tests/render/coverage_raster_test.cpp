// The coverage mask against the raster engine's own antialiased filling and stroking.
#include "render/coverage_raster.h"
#include "render/stroke_batch.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPicture>
#include <QTransform>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace quillon {
namespace {

constexpr QRgb kPaper = 0xFFFFFFFF;

struct TDiff {
  int Worst = 0;      // largest difference of a channel
  double Mean = 0.0;  // mean difference over the pixels either image painted
  int Painted = 0;
};

TDiff compare(const QImage &a, const QImage &b) {
  TDiff d;
  long long total = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      if (p == kPaper && q == kPaper) continue;
      ++d.Painted;
      const int diff = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                 std::abs(qBlue(p) - qBlue(q))});
      d.Worst = std::max(d.Worst, diff);
      total += diff;
    }
  d.Mean = d.Painted ? double(total) / d.Painted : 0.0;
  return d;
}

QImage paper(int w, int h) {
  QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
  image.fill(kPaper);
  return image;
}

// The same shapes filled by the painter one by one and through the mask.
struct FillCase {
  const char *what;
  std::vector<QPainterPath> paths;
  QRgb color;
};

QPainterPath diamond(QPointF c, double w, double h) {
  QPainterPath p(c + QPointF(-w / 2, 0));
  p.lineTo(c + QPointF(0, -h / 2));
  p.lineTo(c + QPointF(w / 2, 0));
  p.lineTo(c + QPointF(0, h / 2));
  p.closeSubpath();
  return p;
}

QPainterPath ellipse(QRectF r) {
  QPainterPath p;
  p.addEllipse(r);
  return p;
}

TEST(CoverageRasterTest, FilledShapesMatchThePaintersOwnFilling) {
  std::vector<QPainterPath> holes;
  for (int i = 0; i < 40; ++i)
    holes.push_back(diamond(QPointF(5.3 + 4.7 * (i % 10), 6.1 + 9.3 * (i / 10)), 2.8 + 0.1 * i, 6.3));
  QPainterPath reversed;  // drawn clockwise: it still covers its inside
  reversed.moveTo(20, 5);
  reversed.lineTo(20, 30);
  reversed.lineTo(45, 30);
  reversed.lineTo(45, 5);
  reversed.closeSubpath();
  QPainterPath ring;  // an outline with an inner loop the other way: a hole in it
  ring.addRect(QRectF(5.5, 5.5, 40, 30));
  ring.addRect(QRectF(45.5, 15.5, -20, 10));
  const FillCase cases[] = {
      {"small diamonds at fractional positions", holes, 0xFF202080},
      {"translucent diamonds", holes, 0x80FF0000},
      {"dots", {ellipse({3.2, 4.7, 3.1, 3.1}), ellipse({10.5, 20.25, 7.0, 4.5}), ellipse({30, 12, 20, 20})}, 0xFF000000},
      {"clockwise rectangle", {reversed}, 0xFF008000},
      {"outline with a hole", {ring}, 0xFF000000},
      {"partly outside every edge", {ellipse({-10, -10, 30, 30}), ellipse({50, 40, 30, 30}), QPainterPath()},
       0xFF000000},
      {"wider than the device", {diamond(QPointF(30, 30), 400, 20)}, 0xFF000000},
  };
  for (const FillCase &c : cases) {
    QImage own = paper(64, 56), mask = paper(64, 56);
    {
      QPainter p(&own);
      p.setRenderHint(QPainter::Antialiasing);
      p.setPen(Qt::NoPen);
      p.setBrush(QColor::fromRgba(c.color));
      // All in one path: shapes that overlap cover a shared pixel once.
      QPainterPath all;
      all.setFillRule(Qt::WindingFill);
      for (const QPainterPath &path : c.paths) all.addPath(path);
      p.drawPath(all);
    }
    {
      QPainter p(&mask);
      p.setRenderHint(QPainter::Antialiasing);
      ASSERT_TRUE(coverageFits(p));
      TCoverageRaster raster;
      raster.begin(64, 56);
      for (const QPainterPath &path : c.paths) raster.addPath(path, p.deviceTransform());
      raster.paint(p, c.color, 1.0);
      EXPECT_TRUE(raster.empty());
    }
    const TDiff d = compare(own, mask);
    EXPECT_GT(d.Painted, 20) << c.what;
    // Curves are flattened a little differently.
    EXPECT_LE(d.Worst, 16) << c.what;
    EXPECT_LT(d.Mean, 2.0) << c.what;
  }
}

// Thin pens along lines, curves and closed outlines, as the shapes of a drawing are
// stroked.
TEST(CoverageRasterTest, ThinStrokesMatchThePaintersOwnStroking) {
  struct StrokeCase {
    const char *what;
    QPainterPath path;
    double width;
    int worst;    // per channel, anywhere
    double mean;  // over the painted pixels
  };
  QPainterPath lines;
  for (int i = 0; i < 12; ++i) {
    lines.moveTo(4.0 + 0.37 * i, 4.0 + 5.1 * i);
    lines.lineTo(60.0 - 2.3 * i, 8.0 + 4.2 * i);
  }
  QPainterPath steep;
  for (int i = 0; i < 8; ++i) {
    steep.moveTo(5.5 + 7.25 * i, 3.0);
    steep.lineTo(3.0 + 7.6 * i, 60.0);
  }
  QPainterPath curves;
  for (int i = 0; i < 6; ++i) {
    curves.moveTo(3.0, 6.0 + 9.0 * i);
    curves.cubicTo(20.0, -4.0 + 9.0 * i, 40.0, 20.0 + 9.0 * i, 61.0, 5.0 + 9.0 * i);
  }
  QPainterPath outlines;
  for (int i = 0; i < 20; ++i) outlines.addPath(diamond(QPointF(6.5 + 12.2 * (i % 5), 8.0 + 14.1 * (i / 5)), 5.0, 10.0));
  // Pens wider than a pixel are outlined and filled by the painter as by the mask, up to
  // the flattening of curves. Thinner ones it draws along each segment with a spread of
  // its own (lighter across a slanted step, corners unjoined, curves flattened coarser),
  // which the mask only approximates.
  const StrokeCase cases[] = {
      {"1.5 px lines", lines, 1.5, 8, 2.5},
      {"2 px steep lines", steep, 2.0, 8, 2.5},
      {"2 px curves", curves, 2.0, 32, 5.0},
      {"2 px closed diamonds", outlines, 2.0, 8, 1.5},
      {"1 px lines", lines, 1.0, 24, 3.0},
      {"half-pixel lines", lines, 0.5, 40, 20.0},
      {"1 px curves", curves, 1.0, 64, 12.0},
      {"1 px closed diamonds", outlines, 1.0, 96, 12.0},
  };
  for (const StrokeCase &c : cases) {
    const QRgb color = 0xFF000000;
    QImage own = paper(64, 64), mask = paper(64, 64);
    {
      QPainter p(&own);
      p.setRenderHint(QPainter::Antialiasing);
      p.setPen(QPen(QColor::fromRgba(color), c.width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
      p.setBrush(Qt::NoBrush);
      p.drawPath(c.path);
    }
    {
      QPainter p(&mask);
      p.setRenderHint(QPainter::Antialiasing);
      TCoverageRaster raster;
      raster.begin(64, 64);
      raster.addPathStroke(c.path, p.deviceTransform(), c.width, 2.0);
      raster.paint(p, color, 1.0);
    }
    const TDiff d = compare(own, mask);
    EXPECT_GT(d.Painted, 100) << c.what;
    EXPECT_LE(d.Worst, c.worst) << c.what;
    EXPECT_LT(d.Mean, c.mean) << c.what;
  }
}

// Translucent shapes that overlap cover a shared pixel once, and an opacity scales the
// colour's alpha; the mask is empty after painting and the next mask starts clean.
TEST(CoverageRasterTest, OverlapsCoverOnceAndPaintingEmptiesTheMask) {
  QImage image = paper(40, 20);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  TCoverageRaster raster;
  raster.begin(40, 20);
  EXPECT_TRUE(raster.empty());
  raster.addPath(diamond(QPointF(10, 10), 12, 12), QTransform());
  QPainterPath square;
  square.addRect(QRectF(8, 8, 4, 4));
  raster.addPath(square, QTransform());
  EXPECT_FALSE(raster.empty());
  raster.paint(p, 0xFF0000FF, 0.5);
  const QRgb once = image.pixel(10, 10), edge = image.pixel(4, 10);
  EXPECT_NEAR(qRed(once), 127, 1);
  EXPECT_NEAR(qBlue(once), 255, 1);
  EXPECT_EQ(image.pixel(7, 10), once) << "the square adds nothing where the diamond covers";
  EXPECT_GT(qRed(edge), qRed(once));

  // Painting again without adding draws nothing; a new mask forgets the old one.
  raster.paint(p, 0xFF000000, 1.0);
  EXPECT_EQ(image.pixel(10, 10), once);
  raster.addPath(square, QTransform());
  raster.begin(40, 20);
  raster.paint(p, 0xFF000000, 1.0);
  EXPECT_EQ(image.pixel(10, 10), once);
  // Nothing at all for shapes wholly outside, or a mask of no pixels.
  raster.addPath(diamond(QPointF(-30, 10), 6, 6), QTransform());
  raster.addPath(diamond(QPointF(90, 10), 6, 6), QTransform());
  raster.paint(p, 0xFF000000, 1.0);
  raster.begin(0, 0);
  raster.addPath(square, QTransform());
  raster.paint(p, 0xFF000000, 1.0);
  p.end();
  for (int x = 0; x < 40; ++x) EXPECT_EQ(image.pixel(x, 0), kPaper) << x;
}

TEST(CoverageRasterTest, FitsOnlyAntialiasedRasterPaintingWithoutRotation) {
  QImage image(10, 10, QImage::Format_ARGB32_Premultiplied);
  QPainter p(&image);
  EXPECT_FALSE(coverageFits(p)) << "no antialiasing";
  p.setRenderHint(QPainter::Antialiasing);
  EXPECT_TRUE(coverageFits(p));
  p.scale(2, 3);
  EXPECT_TRUE(coverageFits(p));
  p.rotate(10);
  EXPECT_FALSE(coverageFits(p));
  p.resetTransform();
  p.setCompositionMode(QPainter::CompositionMode_Multiply);
  EXPECT_FALSE(coverageFits(p));
  p.end();
  QPicture picture;
  QPainter recorder(&picture);
  recorder.setRenderHint(QPainter::Antialiasing);
  EXPECT_FALSE(coverageFits(recorder)) << "a device that keeps vectors";
}

}  // namespace
}  // namespace quillon

namespace quillon {
namespace {

// Strokes of one pen wait in the batch; a change of pen or opacity, a pen the batch cannot
// draw, or a flush draws them first, so shapes keep their document order where they cross.
TEST(StrokeBatchTest, StrokesKeepTheirOrderAcrossPenChanges) {
  QImage image = paper(40, 40);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  TStrokeBatch batch;
  auto pen = [&](QColor color, Qt::PenStyle style = Qt::SolidLine) {
    p.setPen(QPen(color, 2.0, style, Qt::FlatCap, Qt::MiterJoin));
  };
  pen(Qt::red);
  ASSERT_TRUE(batch.addLine(p, {0, 10}, {40, 10}, 1.0));
  EXPECT_EQ(image.pixel(20, 10), kPaper) << "still waiting in the batch";
  pen(Qt::blue);
  ASSERT_TRUE(batch.addLine(p, {20, 0}, {20, 40}, 1.0));
  EXPECT_EQ(image.pixel(5, 10), QColor(Qt::red).rgba()) << "the red line was drawn when the pen changed";
  pen(Qt::red);
  QPainterPath across;
  across.moveTo(0, 30);
  across.lineTo(40, 30);
  ASSERT_TRUE(batch.add(p, across, 1.0));
  EXPECT_EQ(image.pixel(20, 10), QColor(Qt::blue).rgba()) << "blue over the first red line";

  // A dashed pen is drawn by the painter, after what the batch held.
  pen(Qt::green, Qt::DashLine);
  EXPECT_FALSE(batch.add(p, across, 1.0));
  EXPECT_EQ(image.pixel(20, 30), QColor(Qt::red).rgba()) << "the batch was drawn before the painter's own stroke";
  p.drawPath(across);
  EXPECT_EQ(image.pixel(1, 30), QColor(Qt::green).rgba());

  // The same pen at another opacity starts a new batch; a discarded batch draws nothing.
  pen(Qt::black);
  ASSERT_TRUE(batch.addLine(p, {0, 20}, {40, 20}, 0.5));
  ASSERT_TRUE(batch.addLine(p, {0, 20}, {40, 20}, 1.0));
  EXPECT_NEAR(qRed(image.pixel(5, 20)), 127, 2);
  batch.discard();
  batch.flush(p);
  EXPECT_NEAR(qRed(image.pixel(5, 20)), 127, 2);
}

}  // namespace
}  // namespace quillon
