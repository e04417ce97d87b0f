// The dimension drawing and the previews of the centre-line, distance-marking and
// dimension tools, rendered into images and checked pixel by pixel.
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <functional>

#include "model/draw_pallet.h"
#include "render/paint.h"
#include "render/shape_painters.h"
#include "render/tool_previews.h"
#include "shell/options.h"
#include "support/editor_fixture.h"
#include "shell/view_transform.h"

namespace quillon {
namespace {

constexpr TAlphaColor kRed = 0xFFFF0000;
constexpr TAlphaColor kGreen = 0xFF00FF00;

bool isRed(QRgb c) { return qRed(c) > 150 && qGreen(c) < 100 && qBlue(c) < 100; }
bool isGreen(QRgb c) { return qGreen(c) > 150 && qRed(c) < 100 && qBlue(c) < 100; }
bool isYellow(QRgb c) { return qRed(c) > 150 && qGreen(c) > 150 && qBlue(c) < 100; }

// Whether any pixel of the rectangle (inclusive) passes the test.
bool anyIn(const QImage &img, int x0, int y0, int x1, int y1, const std::function<bool(QRgb)> &test) {
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x)
      if (img.valid(x, y) && test(img.pixel(x, y))) return true;
  return false;
}

class ToolPreviewsTest : public test::EditorTest {
 protected:
  ToolPreviewsTest() {
    editor.display().FShowGrid = false;
    editor.view().FScale = 10.0f;
    editor.view().FOffset = {0.0f, 0.0f};
    // The dimension line type draws solid red, 2 px.
    TDrawPallet &dim = *editor.pen().FPalletList[7];
    dim.FColor_BlackMode = kRed;
    dim.FDash = TStrokeDash::Solid;
    dim.FThickness = 2.0f;
    editor.panel().DimPalletIndex = 7;
  }
  // The previews of the mark tools on a black image.
  QImage preview(TPointF cur, int w = 600, int h = 400) {
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    drawMarkToolPreviews(editor, p, cur);
    p.end();
    return img;
  }
  void pointerAt(TPointF mm) { editor.pointer().FLastMousePos = realToVirtual(editor.view(), mm); }
};

TEST_F(ToolPreviewsTest, ArrowHeadOpensTowardsItsDirection) {
  QImage img(200, 200, QImage::Format_ARGB32);
  img.fill(Qt::black);
  QPainter p(&img);
  setCanvasStroke(p, kRed, 1.0f, TStrokeDash::Solid);
  drawArrowHead(editor, p, {10.0f, 10.0f}, {1.0f, 0.0f}, 30.0f, 2.0f);
  p.end();
  // Strokes from (100, 100) to (117.3, 110) and (117.3, 90).
  EXPECT_TRUE(anyIn(img, 108, 104, 109, 106, isRed));
  EXPECT_TRUE(anyIn(img, 108, 94, 109, 96, isRed));
  EXPECT_FALSE(anyIn(img, 106, 99, 110, 101, isRed));  // open between the strokes
  EXPECT_FALSE(anyIn(img, 85, 90, 97, 110, isRed));    // nothing behind the tip
}

TEST_F(ToolPreviewsTest, MeasureTextSize) {
  const QString font = QStringLiteral("Arial");
  const TTextSize one = measureTextSize(font, 2.0f, QStringLiteral("M"));
  const TTextSize two = measureTextSize(font, 2.0f, QStringLiteral("MM"));
  EXPECT_GT(one.Width, 0.5f);
  EXPECT_LT(one.Height, 2.0f);  // the ink of a capital, not the line height
  EXPECT_GT(two.Width, 1.8f * one.Width);
  EXPECT_FLOAT_EQ(two.Height, one.Height);
  const TTextSize none = measureTextSize(font, 2.0f, QString());
  EXPECT_EQ(none.Width, 0.0f);
  EXPECT_EQ(none.Height, 0.0f);
}

TEST_F(ToolPreviewsTest, DimensionTextFormat) {
  struct Case {
    TUnitMode unit;
    int precision;
    double mm;
    const char *expected;
  };
  const Case cases[] = {
      {umMM, 1, 100.0, "100.0 mm"},      {umMM, 3, 12.3456, "12.346 mm"}, {umMM, 0, 12.5, "13 mm"},
      {umIN, 4, 38.1, "1 1/2 in"},        // exactly 1.5 in: a fraction
      {umIN, 4, 1.503 * 25.4, "1.5030 in"},  // off the fraction grid: decimals
  };
  for (const Case &c : cases) {
    editor.FOptions->SetUnitMode(c.unit);
    editor.panel().DimPrecision = c.precision;
    EXPECT_EQ(dimensionLengthText(editor, c.mm).toStdString(), c.expected) << c.mm;
  }
}

TEST_F(ToolPreviewsTest, LinearDimensionPreviewChangesNothing) {
  editor.tool().FTool = TTool::DimensionLine;
  editor.tool().Clicked_Points = {{5.0f, 30.0f}, {45.0f, 30.0f}};
  pointerAt({25.0f, 10.0f});
  const QImage img = preview({25.0f, 10.0f});
  // The dimension line at y = 10 mm from x = 5 mm, the extension line at x = 5 mm from
  // the gap (29.5 mm) up to it.
  EXPECT_TRUE(anyIn(img, 70, 99, 70, 101, isRed));
  EXPECT_TRUE(anyIn(img, 49, 200, 51, 200, isRed));
  // The text sits in the middle of the line.
  EXPECT_TRUE(anyIn(img, 230, 92, 270, 108, isRed));
  EXPECT_EQ(doc().Count(), 0);
  EXPECT_EQ(editor.tool().Clicked_Points.size(), 2u);

  editor.panel().chkDms_ArrowOnly = true;
  const QImage arrowOnly = preview({25.0f, 10.0f});
  EXPECT_FALSE(anyIn(arrowOnly, 45, 150, 55, 250, isRed));
  EXPECT_TRUE(anyIn(arrowOnly, 70, 99, 70, 101, isRed));
}

TEST_F(ToolPreviewsTest, RadiusDimensionPreview) {
  auto quarter = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  quarter->drawArcPath({20.0f, 30.0f}, {10.0f, 10.0f}, {10.0f, 30.0f}, {20.0f, 20.0f}, 90.0f);
  TQN_Path *arc = editor.doc().add(std::move(quarter), 0);
  editor.tool().FTool = TTool::DimensionLine;
  editor.tool().FDimensionShape = arc;
  editor.tool().Clicked_Points = {{10.0f, 30.0f}};
  const QImage img = preview({40.0f, 30.0f});
  // From the tip at 11 mm to 85 % of the way on to the label at 40 mm: 35.65 mm.
  EXPECT_TRUE(anyIn(img, 200, 299, 200, 301, isRed));
  EXPECT_TRUE(anyIn(img, 350, 299, 350, 301, isRed));
  EXPECT_FALSE(anyIn(img, 105, 298, 108, 302, isRed));  // the gap between marker and tip
  EXPECT_TRUE(anyIn(img, 360, 285, 440, 315, isRed));    // the label around (400, 300)
  EXPECT_EQ(doc().Count(), 1);
}

TEST_F(ToolPreviewsTest, CentreLinePreviewShowsTheTicks) {
  editor.tool().FTool = TTool::CenterLine;
  editor.tool().FIsCenterLineMode = true;
  editor.tool().Clicked_Points = {{10.0f, 10.0f}};
  editor.pen().FCurrentColor = kGreen;
  editor.pen().FCurrentThickness = 1.0f;
  editor.panel().nbNumDividingCenter = 2.0f;
  editor.panel().nbCenterLineLength1 = 20.0f;
  const QImage img = preview({50.0f, 10.0f});
  EXPECT_TRUE(anyIn(img, 299, 150, 301, 150, isGreen));  // the middle tick at x = 30 mm
  EXPECT_FALSE(anyIn(img, 95, 150, 105, 150, isGreen));  // none at the ends
  EXPECT_FALSE(anyIn(img, 495, 150, 505, 150, isGreen));
  EXPECT_TRUE(anyIn(img, 104, 99, 106, 101, isYellow));  // the ring around the first point

  editor.panel().chkDrawEdges = true;
  const QImage edges = preview({50.0f, 10.0f});
  EXPECT_TRUE(anyIn(edges, 99, 150, 101, 150, isGreen));
  EXPECT_TRUE(anyIn(edges, 499, 150, 501, 150, isGreen));
}

TEST_F(ToolPreviewsTest, DistanceMarkingPreviewDrawsTheMark) {
  TQN_Path *line = addLine({0.0f, 10.0f}, {10.0f, 10.0f});
  editor.calcIntersectionsOfShape(line);
  editor.tool().FTool = TTool::DistMarkLine;
  editor.panel().nbMarkingDistance1 = 3.0f;
  editor.panel().nbMarkLen1 = 3.0f;
  editor.tool().Clicked_Points = {{10.0f, 10.0f}};
  const QImage img = preview({6.0f, 10.8f});
  // A dotted yellow mark across the line at x = 7 mm, from y = 8.5 to 11.5 mm.
  int lit = 0;
  for (int y = 85; y <= 115; ++y) lit += anyIn(img, 69, y, 71, y, isYellow) ? 1 : 0;
  EXPECT_GT(lit, 5);
  EXPECT_FALSE(anyIn(img, 40, 85, 60, 95, isYellow));
  EXPECT_EQ(doc().Count(), 1);
  EXPECT_EQ(editor.tool().Clicked_Points.size(), 1u);
}

TEST_F(ToolPreviewsTest, PaintPassShowsTheDimensionPreview) {
  editor.tool().FTool = TTool::DimensionLine;
  editor.tool().Clicked_Points = {{5.0f, 30.0f}, {45.0f, 30.0f}};
  pointerAt({25.0f, 10.0f});
  TPaintTarget target;
  target.Width = 600;
  target.Height = 400;
  QImage img(600, 400, QImage::Format_ARGB32);
  QPainter p(&img);
  TCanvasState state;
  paintCanvas(editor, p, target, state);
  p.end();
  EXPECT_TRUE(anyIn(img, 70, 99, 70, 101, isRed));
}

}  // namespace
}  // namespace quillon
