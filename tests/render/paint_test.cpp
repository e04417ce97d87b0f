// The paint routine: frames rendered into images and checked pixel by pixel.
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/intersection.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "model/draw_pallet.h"
#include "render/paint.h"
#include "render/paint_error_log.h"
#include "shell/view_transform.h"
#include "shell/editor.h"
#include "shell/options.h"
#include "support/editor_fixture.h"
#include "support/test_env.h"

namespace quillon {
namespace {

constexpr TAlphaColor kWhite = 0xFFFFFFFF;
constexpr QRgb kUnpainted = 0xFF123456;  // what the image holds before a frame

// Brightness of a pixel as a fraction of white (red channel; the tests draw white on black).
double lit(const QImage &img, int x, int y) { return qRed(img.pixel(x, y)) / 255.0; }

// Sum of the brightness of a run of pixels: the painted width across a line.
double columnSum(const QImage &img, int x, int y0, int y1) {
  double sum = 0;
  for (int y = y0; y <= y1; ++y) sum += lit(img, x, y);
  return sum;
}
double rowSum(const QImage &img, int y, int x0, int x1) {
  double sum = 0;
  for (int x = x0; x <= x1; ++x) sum += lit(img, x, y);
  return sum;
}

class PaintTest : public test::EditorTest {
 protected:
  PaintTest() {
    editor.display().FShowGrid = false;
    // Line type #01 and the hole type #37 draw white on the dark background.
    editor.pen().FPalletList[0]->FColor_BlackMode = kWhite;
    editor.pen().FPalletList[kStitchingHolePalletIndex]->FColor_BlackMode = kWhite;
  }

  void view(float scale, TPointF offset) {
    editor.view().FScale = scale;
    editor.view().FOffset = offset;
  }

  QImage render(int w = 200, int h = 100, TPaintTarget target = {}) {
    target.Width = w;
    target.Height = h;
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(kUnpainted);
    QPainter p(&img);
    paintCanvas(editor, p, target, state);
    p.end();
    return img;
  }

  // IDs of the shapes handed to their painters during one frame, in order.
  std::vector<int> paintedIds(TPaintTarget target = {}) {
    std::vector<int> ids;
    state.OnPaintShape = [&](const TQN_Path &s) { ids.push_back(s.ID()); };
    render(200, 100, target);
    state.OnPaintShape = nullptr;
    return ids;
  }

  TQN_Path *addLineT(TPointF a, TPointF b, float thickness = 1.5f, int layer = 0) {
    TQN_Path *s = addLine(a, b, layer);
    s->FThickness = thickness;
    return s;
  }

  TCanvasState state;
};

// --- view transform ---

TEST_F(PaintTest, ViewTransformMapsBothWaysAndRoundsRealPositionsHalfToEven) {
  view(10.0f, {5.0f, -3.0f});
  const TPointF v = realToVirtual(editor.view(), {1.25f, 2.0f});
  EXPECT_FLOAT_EQ(v.X, 17.5f);
  EXPECT_FLOAT_EQ(v.Y, 17.0f);
  const TPointF r = virtualToReal(editor.view(), {17.5f, 17.0f});
  EXPECT_FLOAT_EQ(r.X, 1.25f);
  EXPECT_FLOAT_EQ(r.Y, 2.0f);

  // 0.0625 and 0.1875 lie exactly halfway between thousandths: halves go to even.
  view(1.0f, {0.0f, 0.0f});
  EXPECT_FLOAT_EQ(virtualToReal(editor.view(), {0.0625f, 0.1875f}).X, 0.062f);
  EXPECT_FLOAT_EQ(virtualToReal(editor.view(), {0.0625f, 0.1875f}).Y, 0.188f);

  view(4.0f, {-20.0f, 8.0f});
  const TRectF vis = visibleDrawingRect(editor.view(), 200.0f, 100.0f);
  EXPECT_FLOAT_EQ(vis.Left, 5.0f);
  EXPECT_FLOAT_EQ(vis.Top, -2.0f);
  EXPECT_FLOAT_EQ(vis.Right, 55.0f);
  EXPECT_FLOAT_EQ(vis.Bottom, 23.0f);
}

TEST_F(PaintTest, PathToVirtualMovesTheOutlineAndForgetsTheBoundary) {
  TQN_Path *s = addLine({1, 2}, {3, 6});
  EXPECT_FLOAT_EQ(s->getBoundary(false).Right, 3.0f);
  view(10.0f, {5.0f, 7.0f});
  pathToVirtual(editor.view(), *s, editor.view().FOffset);
  EXPECT_FLOAT_EQ(s->Data()[0].Point.X, 15.0f);
  EXPECT_FLOAT_EQ(s->Data()[0].Point.Y, 27.0f);
  EXPECT_FLOAT_EQ(s->Data()[1].Point.X, 35.0f);
  EXPECT_FLOAT_EQ(s->Data()[1].Point.Y, 67.0f);
  const TRectF b = s->getBoundary(false);
  EXPECT_FLOAT_EQ(b.Right, 35.0f);
  EXPECT_FLOAT_EQ(b.Bottom, 67.0f);
}

// --- background, grid on paper ---

TEST_F(PaintTest, BackgroundFollowsTheSchemeAndPaperIsWhite) {
  editor.FOptions->WhiteBGColor = 0xFFE0D0C0;
  struct Case {
    bool dark, printing, previewing;
    QRgb expected;
  };
  const Case cases[] = {
      {true, false, false, 0xFF000000},  {false, false, false, 0xFFE0D0C0}, {true, true, false, 0xFFFFFFFF},
      {false, true, false, 0xFFFFFFFF},  {true, false, true, 0xFF000000},   {false, false, true, 0xFFE0D0C0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << "dark " << c.dark << " printing " << c.printing << " preview "
                                    << c.previewing);
    editor.display().FIsBlackBackgroundMode = c.dark;
    TPaintTarget t;
    t.IsPrinting = c.printing;
    t.IsPrintPreviewing = c.previewing;
    const QImage img = render(200, 100, t);
    for (QPoint p : {QPoint(0, 0), QPoint(199, 99), QPoint(100, 50), QPoint(0, 99)})
      EXPECT_EQ(img.pixel(p), c.expected) << p.x() << "," << p.y();
  }
}

TEST_F(PaintTest, GridShowsOnScreenAndInThePreviewButNeverOnPaper) {
  editor.display().FShowGrid = true;
  view(10.0f, {0.5f, 0.5f});
  auto countNonBackground = [](const QImage &img, QRgb bg) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) n += img.pixel(x, y) != bg;
    return n;
  };
  TPaintTarget screen, preview, paper;
  preview.IsPrintPreviewing = true;
  paper.IsPrinting = true;
  EXPECT_GT(countNonBackground(render(200, 100, screen), 0xFF000000), 1000);
  EXPECT_GT(countNonBackground(render(200, 100, preview), 0xFF000000), 1000);
  EXPECT_EQ(countNonBackground(render(200, 100, paper), 0xFFFFFFFF), 0);
}

// --- shapes where the view puts them ---

TEST_F(PaintTest, LinePixelsLieWhereTheViewTransformPutsThem) {
  // Offsets of half a pixel put whole millimetres on pixel centres.
  view(10.0f, {20.5f, 30.5f});
  addLineT({1, 2}, {8, 2});   // row 50, columns 30.5 .. 100.5
  addLineT({12, 1}, {12, 6});  // column 140, rows 40.5 .. 90.5
  const QImage img = render();
  for (int x : {32, 60, 99}) EXPECT_NEAR(lit(img, x, 50), 1.0, 0.02) << x;
  EXPECT_EQ(lit(img, 60, 45), 0.0);
  EXPECT_EQ(lit(img, 25, 50), 0.0);
  EXPECT_EQ(lit(img, 105, 50), 0.0);
  for (int y : {42, 70, 89}) EXPECT_NEAR(lit(img, 140, y), 1.0, 0.02) << y;
  EXPECT_EQ(lit(img, 135, 70), 0.0);
  EXPECT_EQ(lit(img, 140, 95), 0.0);
}

TEST_F(PaintTest, StrokeWidthFollowsTheThicknessAndTheLogOfTheScale) {
  // Thickness 1.5 draws 1.5 - 0.5 + log10(scale) / 2 pixels wide.
  addLineT({-1000, 0}, {1000, 0}, 1.5f);
  const struct {
    float scale;
    double width;
  } cases[] = {{1.0f, 1.0}, {10.0f, 1.5}, {100.0f, 2.0}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.scale);
    view(c.scale, {0.0f, 50.5f});
    const QImage img = render();
    EXPECT_NEAR(columnSum(img, 100, 40, 60), c.width, 0.05);
    EXPECT_NEAR(columnSum(img, 20, 40, 60), c.width, 0.05);
  }
}

TEST_F(PaintTest, HoleDotsGrowWithTheLogOfTheScale) {
  // A hole whose outline draws no stroke at these scales (thickness 0), so only its dot
  // shows: half-size 2, 3 and 4 px at 1, 10 and 100 pixels per millimetre, opacity 0.6.
  TQN_Path *hole = addHole({0, 0});
  hole->FThickness = 0.0f;
  const struct {
    float scale;
    double half;
  } cases[] = {{1.0f, 2.0}, {10.0f, 3.0}, {100.0f, 4.0}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.scale);
    view(c.scale, {100.5f, 50.5f});
    const QImage img = render();
    EXPECT_NEAR(lit(img, 100, 50), 0.6, 0.02);
    // Across the dot's middle row the covered width is the diameter (less a little for
    // the curvature within the row).
    EXPECT_NEAR(rowSum(img, 50, 88, 112) / 0.6, 2.0 * c.half, 0.15);
    EXPECT_NEAR(columnSum(img, 100, 38, 62) / 0.6, 2.0 * c.half, 0.15);
  }
}

TEST_F(PaintTest, EachKindPaintsWhereItsGeometryLies) {
  view(10.0f, {0.5f, 0.5f});  // millimetre (x, y) lies on pixel (10x, 10y)
  struct Case {
    const char *name;
    std::function<void()> build;
    QPoint on, off;
  };
  const Case cases[] = {
      {"LINE", [&] { addLineT({2, 2}, {8, 2}); }, {50, 20}, {50, 30}},
      {"ELLIPSE",
       [&] {
         auto s = std::make_unique<TQN_Path>(0, kWhite, 1.5f, TStrokeDash::Solid, doc().getNextID());
         s->drawEllipsePath({10, 5}, 6, 4);
         editor.doc().add(std::move(s), 0);
       },
       {130, 50}, {100, 50}},
      {"ARC",  // a quarter from (13, 5) clockwise to (10, 8); its middle near (12.12, 7.12)
       [&] {
         auto s = std::make_unique<TQN_Path>(0, kWhite, 1.5f, TStrokeDash::Solid, doc().getNextID());
         s->drawArcPath({10, 5}, {3, 3}, {13, 5}, {10, 8}, 90.0f);
         editor.doc().add(std::move(s), 0);
       },
       {121, 71}, {79, 29}},
      {"BEZIER",  // its middle lies at (10, 3.5)
       [&] {
         auto s = std::make_unique<TQN_Path>(0, kWhite, 1.5f, TStrokeDash::Solid, doc().getNextID());
         s->drawBezierPath({2, 8}, {6, 2}, {14, 2}, {18, 8});
         editor.doc().add(std::move(s), 0);
       },
       {100, 35}, {100, 60}},
      {"unknown kind, in its own colour",
       [&] {
         auto s = std::make_unique<TQN_Path>(0, 0xFFFF0000, 1.5f, TStrokeDash::Solid, doc().getNextID());
         s->drawLinePath({2, 5}, {18, 5});
         s->setKindName(QStringLiteral("SPLINE"));
         editor.doc().add(std::move(s), 0);
       },
       {100, 50}, {100, 40}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    editor.doc().clear();
    c.build();
    const QImage img = render();
    // The strongest channel near the expected pixel (the arc is flattened, so it may pass
    // a pixel beside the exact point).
    int best = 0;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) {
        const QRgb px = img.pixel(c.on.x() + dx, c.on.y() + dy);
        best = std::max({best, qRed(px), qGreen(px)});
      }
    EXPECT_GT(best, 128);
    EXPECT_EQ(img.pixel(c.off), 0xFF000000u);
    if (std::string(c.name).starts_with("unknown")) {
      EXPECT_GT(qRed(img.pixel(c.on)), 200);
      EXPECT_EQ(qGreen(img.pixel(c.on)), 0);
    }
  }
}

TEST_F(PaintTest, FilledTextStaysInsideItsOutline) {
  view(10.0f, {0.5f, 0.5f});
  auto text = std::make_unique<TQN_Path>(0, kWhite, 1.0f, TStrokeDash::Solid, doc().getNextID());
  text->drawTextPath(QStringLiteral("H"), {5, 5}, 6.0f, 0.0f, QStringLiteral("DejaVu Sans"), 0.0f, 1.0f);
  TQN_Path *s = editor.doc().add(std::move(text), 0);
  const TRectF b = s->getBoundary(false);
  const QImage img = render();
  int inside = 0, outside = 0;
  // Rows above 30 px hold the scale bar in the top-right corner; the text starts at 50 px.
  for (int y = 30; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      if (img.pixel(x, y) == 0xFF000000u) continue;
      const bool in = x >= b.Left * 10 - 1 && x <= b.Right * 10 + 1 && y >= b.Top * 10 - 1 && y <= b.Bottom * 10 + 1;
      (in ? inside : outside) += 1;
    }
  EXPECT_GT(inside, 100);
  EXPECT_EQ(outside, 0);
}

TEST_F(PaintTest, OtherLayersAreDimmedOnScreenOnly) {
  doc().addLayer(1, QStringLiteral("second"), true);
  view(10.0f, {0.5f, 0.5f});
  addLineT({2, 5}, {18, 5}, 1.5f, 1);  // active layer stays 0
  EXPECT_NEAR(lit(render(), 100, 50), 0.5, 0.02);

  editor.display().HighlightActiveLayer = true;  // "No layer highlight"
  EXPECT_NEAR(lit(render(), 100, 50), 1.0, 0.02);
  editor.display().HighlightActiveLayer = false;

  editor.display().IgnoreLayer = true;
  EXPECT_NEAR(lit(render(), 100, 50), 1.0, 0.02);
  editor.display().IgnoreLayer = false;

  TPaintTarget preview;
  preview.IsPrintPreviewing = true;
  preview.PrintStroke.PrintInColor = true;
  EXPECT_NEAR(lit(render(200, 100, preview), 100, 50), 1.0, 0.02);
}

TEST_F(PaintTest, SelectedLineShowsHandlesUnlessGrouped) {
  view(10.0f, {0.5f, 0.5f});
  TQN_Path *line = addLineT({2, 5}, {8, 5});
  line->FSelected = true;
  // The square mark's top edge runs along row 47 from column 17 to 23, in the handle
  // colour (white on the dark background); the line itself is in the selection colour.
  QImage img = render();
  EXPECT_GT(qBlue(img.pixel(20, 47)), 200);
  EXPECT_GT(qRed(img.pixel(50, 50)), 200);
  EXPECT_LT(qBlue(img.pixel(50, 50)), 50);

  line->FGroupID = 7;
  img = render();
  EXPECT_EQ(img.pixel(20, 47), 0xFF000000u);

  line->FGroupID = 0;
  TPaintTarget preview;
  preview.IsPrintPreviewing = true;
  img = render(200, 100, preview);
  EXPECT_EQ(img.pixel(20, 47), 0xFF000000u);
}

TEST_F(PaintTest, DimensionShapesVanishWhenSwitchedOff) {
  view(10.0f, {0.5f, 0.5f});
  TQN_Path *dim = addLineT({2, 5}, {8, 5});
  dim->FIsDimensionLine = true;
  addLineT({2, 8}, {8, 8});
  editor.display().FShowDimensionShapes = false;
  const QImage img = render();
  EXPECT_EQ(lit(img, 50, 50), 0.0);
  EXPECT_NEAR(lit(img, 50, 80), 1.0, 0.02);
  editor.display().FShowDimensionShapes = true;
  EXPECT_NEAR(lit(render(), 50, 50), 1.0, 0.02);
}

// --- which shapes are painted ---

TEST_F(PaintTest, CullingSkipsShapesDiagonallyOutsideTheViewOnScreenAndInThePreview) {
  view(10.0f, {0.0f, 0.0f});  // 200 x 100 pixels show (0, 0) .. (20, 10) mm
  const int holeInside = addHole({5, 5})->ID();
  const int inside = addLine({2, 2}, {8, 2})->ID();
  const int diagonal = addLine({30, 20}, {40, 25})->ID();
  const int rightSameHeight = addLine({30, 5}, {40, 5})->ID();  // overlapping y range: kept
  const int holeOutside = addHole({25, 15})->ID();
  const int belowSameX = addLine({5, 30}, {9, 40})->ID();  // overlapping x range: kept

  const std::vector<int> screen = {inside, rightSameHeight, belowSameX, holeInside};
  EXPECT_EQ(paintedIds(), screen);
  TPaintTarget preview;
  preview.IsPrintPreviewing = true;
  EXPECT_EQ(paintedIds(preview), screen);
  TPaintTarget paper;
  paper.IsPrinting = true;
  const std::vector<int> all = {inside, diagonal, rightSameHeight, belowSameX, holeInside, holeOutside};
  EXPECT_EQ(paintedIds(paper), all);
}

TEST_F(PaintTest, HiddenLayersLineTypesAndStrokesDecideWhatIsPainted) {
  doc().addLayer(1, QStringLiteral("hidden"), false);
  editor.pen().FPalletList[2]->FIsVisible = false;
  editor.pen().FPalletList[kStitchingHolePalletIndex]->FIsVisible = false;
  const int plain = addLine({1, 1}, {2, 1})->ID();
  const int onHiddenLayer = addLine({1, 2}, {2, 2}, 1)->ID();
  const int hiddenType = addLine({1, 3}, {2, 3}, 0, 2)->ID();
  TQN_Path *leather = addLine({1, 4}, {2, 4}, 0, 2);
  leather->FCatalogGUID = TGUID::newGuid();
  const int hole = addHole({5, 5})->ID();

  struct Case {
    const char *name;
    bool stitchPattern, hideStrokes, fillOn, simulatorOn;
    std::vector<int> painted;
  };
  const Case cases[] = {
      {"plain view", false, false, true, true, {plain, leather->ID()}},
      {"stitch pattern shows holes of a hidden type", true, false, true, true, {plain, leather->ID(), hole}},
      {"leather needs the fill switch", false, false, false, true, {plain}},
      {"leather needs the simulation switch", false, false, true, false, {plain}},
      {"hidden strokes keep leather and holes", true, true, true, true, {leather->ID(), hole}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    editor.FOptions->ShowStitchPattern = c.stitchPattern;
    editor.display().HideStrokeLines = c.hideStrokes;
    editor.display().FillOn = c.fillOn;
    editor.display().SimulatorOn = c.simulatorOn;
    EXPECT_EQ(paintedIds(), c.painted);
  }
  (void)onHiddenLayer;
  (void)hiddenType;
}

TEST_F(PaintTest, PrintSelectedShapesOnlyLimitsPaperAndPreview) {
  TQN_Path *a = addLine({1, 1}, {2, 1});
  const int b = addLine({1, 2}, {2, 2})->ID();
  a->FSelected = true;
  TPaintTarget t;
  t.PrintSelectedShapesOnly = true;
  EXPECT_EQ(paintedIds(t).size(), 2u);  // the screen ignores the switch
  t.IsPrintPreviewing = true;
  EXPECT_EQ(paintedIds(t), std::vector<int>{a->ID()});
  t.IsPrintPreviewing = false;
  t.IsPrinting = true;
  EXPECT_EQ(paintedIds(t), std::vector<int>{a->ID()});
  (void)b;
}

TEST_F(PaintTest, AShapeWithANegativeIdGetsAFreshIdOnTheFirstPaint) {
  addLine({1, 1}, {2, 1});
  auto line = std::make_unique<TQN_Path>(0, kWhite, 1.0f, TStrokeDash::Solid, -1);
  line->drawLinePath({1, 2}, {2, 2});
  TQN_Path *fresh = editor.doc().add(std::move(line), 0);
  const int next = doc().LastID + 1;
  render();
  EXPECT_EQ(fresh->ID(), next);
  render();
  EXPECT_EQ(fresh->ID(), next);
}

// --- overlays of the frame ---

TEST_F(PaintTest, IntersectionDotsAreRedWhereShapesCrossAndBlueWhereTheyTouch) {
  doc().addLayer(1, QStringLiteral("hidden"), false);
  view(10.0f, {0.5f, 0.5f});
  TQN_Path *a = addLine({0, 5}, {20, 5});
  TQN_Path *b = addLine({5, 0}, {5, 10});
  TQN_Path *c = addLine({15, 0}, {15, 5});
  TQN_Path *hidden = addLine({10, 0}, {10, 10}, 1);
  auto add = [&](TPointF p, TQN_Path *x, TQN_Path *y, bool crossing) {
    auto *ict = new TIntersection(p, x, y);
    ict->FIsCrossing = crossing;
    editor.doc().FIntersections.Add(ict);
  };
  add({5, 5}, a, b, true);
  add({15, 5}, a, c, false);
  add({10, 5}, a, hidden, true);

  // The dots lie on top of the lines.
  QImage img = render();
  EXPECT_EQ(img.pixel(50, 50), 0xFFFFFFFFu);  // no dots while they are switched off
  editor.display().FShow_intersections = true;
  img = render();
  EXPECT_EQ(img.pixel(50, 50), 0xFFFF0000u);
  EXPECT_EQ(img.pixel(48, 49), 0xFFFF0000u);  // 2 px left of and 1 px above the point
  EXPECT_EQ(img.pixel(150, 50), 0xFF0000FFu);
  EXPECT_EQ(img.pixel(100, 50), 0xFFFFFFFFu);  // its second shape lies on a hidden layer: the line only
  EXPECT_EQ(img.pixel(54, 54), 0xFF000000u);   // outside the 3 px radius
}

TEST_F(PaintTest, ClickedPointsShowAsYellowRings) {
  view(10.0f, {0.5f, 0.5f});
  editor.tool().Clicked_Points = {{5, 5}};
  const QImage img = render();
  const QRgb ring = img.pixel(51, 50);
  EXPECT_GT(qRed(ring), 150);
  EXPECT_GT(qGreen(ring), 150);
  EXPECT_EQ(qBlue(ring), 0);
  EXPECT_EQ(img.pixel(55, 50), 0xFF000000u);
}

TEST_F(PaintTest, BannersStackFromTheTopLeftInTableOrder) {
  doc().addLayer(1, QStringLiteral("second"), true);
  doc().SetIsIndependentLayer(0, true);
  editor.FDuplicatesRemovedOnLoad = 3;
  editor.display().HideStrokeLines = true;
  editor.display().IgnoreLayer = true;
  std::vector<int> rows;
  for (const TBanner &b : collectBanners(editor)) rows.push_back(b.Row);
  EXPECT_EQ(rows, (std::vector<int>{3, 8, 11, 15}));

  doc().SetlayerVisible(0, false);
  rows.clear();
  for (const TBanner &b : collectBanners(editor)) rows.push_back(b.Row);
  EXPECT_EQ(rows, (std::vector<int>{3, 8, 10, 11, 15}));

  // Each box is text height + 4 high; the next starts text height + 6 lower.
  QImage probe(1, 1, QImage::Format_ARGB32);
  QPainter pp(&probe);
  QFont font = pp.font();
  font.setPixelSize(15);
  const double th = QFontMetricsF(font, &probe).height();
  pp.end();
  const QImage img = render(400, 200);
  const QRgb colors[] = {0xFFA349A4, 0xFF4682B4, 0xFFFF0000, 0xFFFF0000, 0xFF008000};
  for (int i = 0; i < 5; ++i) {
    const int top = int(std::ceil(i * (th + 6)));
    EXPECT_EQ(img.pixel(1, top + 1), colors[i]) << i;
  }
  EXPECT_EQ(img.pixel(1, int(std::ceil(5 * (th + 6))) + 1), 0xFF000000u);
}

// --- paint errors ---

TEST_F(PaintTest, AFailingShapeIsLoggedAndTheOtherShapesStillPaint) {
  view(10.0f, {0.5f, 0.5f});
  TQN_Path *bad = addLineT({2, 2}, {8, 2});
  addLineT({2, 5}, {8, 5});
  state.OnPaintShape = [&](const TQN_Path &s) {
    if (&s == bad) throw std::runtime_error("canvas lost");
  };
  const QImage img = render();
  EXPECT_EQ(lit(img, 50, 20), 0.0);
  EXPECT_NEAR(lit(img, 50, 50), 1.0, 0.02);

  QFile log(QDir(test::testDocumentsDir()).filePath(QStringLiteral("Quillon_paint_errors.log")));
  ASSERT_TRUE(log.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(log.readAll());
  const QRegularExpression line(QStringLiteral(
      R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d  std::runtime_error: canvas lost \[shape ID=%1 type=LINE\]\r\n$)")
                                    .arg(bad->ID()));
  EXPECT_TRUE(line.match(text).hasMatch()) << text.toStdString();
  EXPECT_EQ(editor.display().FLastPaintError + QStringLiteral("\r\n"), text);
}

TEST(PaintErrorLog, WritesALineOnlyWhenItDiffersFromTheLastOneWritten) {
  QFile file(QDir(test::testDocumentsDir()).filePath(QStringLiteral("Quillon_paint_errors.log")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("earlier\r\n");
  file.close();

  TQN_Path shape(0, kWhite, 1.0f, TStrokeDash::Solid, 42);
  shape.FShapeType = TShapeKind::Arc;
  const QDateTime t0(QDate(2024, 3, 5), QTime(7, 8, 9));
  const std::runtime_error boom("boom");
  const std::out_of_range range("index 7 \xC3\xA9");  // UTF-8 text passes through

  QString last;
  logPaintError(last, t0, boom, &shape);
  logPaintError(last, t0, boom, &shape);              // same line: not written again
  logPaintError(last, t0.addSecs(1), boom, &shape);   // the next second: written
  logPaintError(last, t0.addSecs(1), range, nullptr);  // no shape: no suffix
  logPaintError(last, t0.addSecs(1), boom, &shape);   // differs from the last one again

  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  EXPECT_EQ(bytes, QByteArray("earlier\r\n"
                              "2024-03-05 07:08:09  std::runtime_error: boom [shape ID=42 type=ARC]\r\n"
                              "2024-03-05 07:08:10  std::runtime_error: boom [shape ID=42 type=ARC]\r\n"
                              "2024-03-05 07:08:10  std::out_of_range: index 7 \xC3\xA9\r\n"
                              "2024-03-05 07:08:10  std::runtime_error: boom [shape ID=42 type=ARC]\r\n"));
  EXPECT_EQ(last, QStringLiteral("2024-03-05 07:08:10  std::runtime_error: boom [shape ID=42 type=ARC]"));
}

TEST(PaintErrorLog, FailuresWhileLoggingAreSwallowed) {
  // The Documents folder is a file: nothing can be written, nothing is thrown.
  const QString blocker = QDir(test::testDataDir()).filePath(QStringLiteral("not-a-folder"));
  QFile f(blocker);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();
  qputenv("QUILLON_DOCUMENTS_DIR", blocker.toUtf8());
  QString last;
  EXPECT_NO_THROW(logPaintError(last, std::runtime_error("lost"), nullptr));
  EXPECT_TRUE(last.endsWith(QStringLiteral("  std::runtime_error: lost")));
}

}  // namespace
}  // namespace quillon

namespace quillon {
namespace {

TEST_F(PaintTest, DrawingCheckRingsBlinkWithTheirKindsColour) {
  view(10.0f, {0.0f, 0.0f});
  editor.display().FShow_intersections = true;
  editor.lint().FLintWarnings = {{{5.0f, 5.0f}, TLintKind::lkTGap, QStringLiteral("t")},
                                 {{15.0f, 5.0f}, TLintKind::lkGap, QStringLiteral("g")}};
  // The rings (radius 12 px, 3 px wide) round (50, 50) and (150, 50).
  QImage img = render();
  EXPECT_EQ(img.pixel(62, 50) & 0xFFFFFF, 0x00FFFFu);  // aqua
  EXPECT_EQ(img.pixel(162, 50) & 0xFFFFFF, 0xFFA500u);  // orange
  editor.display().FLintAnimPhase = 1;  // the dark half of the blink
  img = render();
  EXPECT_NE(img.pixel(62, 50) & 0xFFFFFF, 0x00FFFFu);
  EXPECT_NE(img.pixel(162, 50) & 0xFFFFFF, 0xFFA500u);
  // Switched off, nothing is drawn even in a visible phase.
  editor.display().FLintAnimPhase = 2;
  editor.FOptions->ShowLintWarnings = false;
  EXPECT_NE(render().pixel(62, 50) & 0xFFFFFF, 0x00FFFFu);
}

}  // namespace
}  // namespace quillon
