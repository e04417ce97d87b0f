// The previews of the line, Bezier, rectangle and arc tools, the range-selection rectangle
// and the text placement cross, rendered into images and checked by colour.
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <cmath>

#include "model/shape.h"
#include "render/paint.h"
#include "render/rubber_bands.h"
#include "shell/editor.h"
#include "support/editor_fixture.h"
#include "tools/draw_tools.h"

namespace quillon {
namespace {

constexpr TAlphaColor kBand = 0xFF00FF00;       // FColor_Drawing: green
constexpr TAlphaColor kLabel = 0xFF0000FF;      // RulerTextColor: blue
constexpr TAlphaColor kCentreLine = 0xFFFF0000;  // FColor_Centerline: red

// How much of a colour channel lies in a box of pixels (sum of fractions of full).
double channelIn(const QImage &img, int (*channel)(QRgb), int x0, int y0, int x1, int y1) {
  double sum = 0;
  for (int y = std::max(0, y0); y <= std::min(img.height() - 1, y1); ++y)
    for (int x = std::max(0, x0); x <= std::min(img.width() - 1, x1); ++x) sum += channel(img.pixel(x, y)) / 255.0;
  return sum;
}
double greenIn(const QImage &img, int x0, int y0, int x1, int y1) { return channelIn(img, qGreen, x0, y0, x1, y1); }
double blueIn(const QImage &img, int x0, int y0, int x1, int y1) { return channelIn(img, qBlue, x0, y0, x1, y1); }
double redIn(const QImage &img, int x0, int y0, int x1, int y1) { return channelIn(img, qRed, x0, y0, x1, y1); }

// Scale 10, offset 0: pixel = 10 x millimetres.
class RubberBandTest : public test::EditorTest {
 protected:
  RubberBandTest() {
    editor.display().FShowGrid = false;
    editor.display().FColor_Drawing = kBand;
    editor.display().FColor_Centerline = kCentreLine;
    editor.display().FStrokeDefs.RulerTextColor = kLabel;
    editor.pen().FCurrentThickness = 2.0f;  // the band is 3 px wide
  }

  // The drawing tools' band alone on black, with the pointer at `cur` (millimetres).
  QImage band(TPointF cur, int w = 700, int h = 600) {
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(0xFF000000);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    drawDrawingToolRubberBand(editor, p, cur);
    p.end();
    return img;
  }
  void points(std::initializer_list<TPointF> pts) { editor.tool().Clicked_Points.assign(pts); }
};

TEST_F(RubberBandTest, LineToolWithTheAxisLockShowsTheConstrainedBand) {
  editor.tool().FTool = TTool::Line;
  editor.panel().rbLineHorizontal = true;
  points({{10.0f, 10.0f}});
  const QImage img = band({30.0f, 14.0f});
  EXPECT_GT(greenIn(img, 150, 97, 250, 103), 10.0);   // along y = 10 mm
  EXPECT_EQ(greenIn(img, 150, 115, 250, 145), 0.0);   // nothing toward the pointer
  // The length label, 20 px right of the pointer-side end (300, 100).
  EXPECT_GT(blueIn(img, 320, 100, 420, 125), 5.0);
  EXPECT_EQ(blueIn(img, 0, 0, 299, 600), 0.0);
}

TEST_F(RubberBandTest, RelativeAngleShowsAThreeMillimetreArcAtTheStart) {
  addLine({20.0f, 20.0f}, {60.0f, 20.0f});
  editor.tool().FTool = TTool::Line;
  editor.panel().rbLineRelativeAngle = true;
  editor.panel().nbLineAngle = 45.0f;
  points({{20.0f, 20.0f}});
  const QImage img = band({40.0f, 38.0f});
  // Between the edge (along +x) and the new line (45 degrees down) at 30 px from
  // (200, 200): the mark's middle lies at 22.5 degrees.
  const double c = std::cos(M_PI / 8) * 30.0, s = std::sin(M_PI / 8) * 30.0;
  EXPECT_GT(greenIn(img, int(200 + c) - 3, int(200 + s) - 3, int(200 + c) + 3, int(200 + s) + 3), 0.5);
  editor.panel().nbLineAngle = 0.0f;  // no relative angle: no mark
  const QImage plain = band({40.0f, 38.0f});
  EXPECT_EQ(greenIn(plain, int(200 + c) - 3, int(200 + s) - 3, int(200 + c) + 3, int(200 + s) + 3), 0.0);
}

TEST_F(RubberBandTest, ChainOfClickedPointsHasOneLabelPerSegment) {
  editor.tool().FTool = TTool::Bezier;
  points({{10.0f, 10.0f}, {10.0f, 40.0f}});
  const QImage img = band({50.0f, 40.0f});
  // Segments pointer-(10,40) and (10,40)-(10,10); the first in the band's colour, the
  // second in the label colour.
  EXPECT_GT(greenIn(img, 200, 397, 400, 403), 10.0);
  EXPECT_EQ(greenIn(img, 97, 150, 103, 350), 0.0);
  EXPECT_GT(blueIn(img, 97, 150, 103, 350), 10.0);
  // Labels 20 px right of (500, 400) and of (100, 400).
  EXPECT_GT(blueIn(img, 520, 402, 620, 425), 5.0);
  EXPECT_GT(blueIn(img, 120, 402, 220, 425), 5.0);
}

TEST_F(RubberBandTest, RectangleShowsFixedSizeAndLabels) {
  editor.tool().FTool = TTool::Rect;
  editor.panel().chkRectWidth = true;
  editor.panel().nbRectWidth1 = 30.0f;
  points({{10.0f, 10.0f}});
  const QImage img = band({5.0f, 30.0f});  // pointer left of the start: width still +30
  EXPECT_GT(greenIn(img, 397, 150, 403, 250), 10.0);  // right side at x = 40 mm
  EXPECT_EQ(greenIn(img, 40, 150, 60, 250), 0.0);     // nothing at the pointer's x
  // Width labels centred on x = 250 px at both horizontal sides, height labels at both
  // vertical sides.
  EXPECT_GT(blueIn(img, 200, 301, 300, 325), 5.0);
  EXPECT_GT(blueIn(img, 200, 101, 300, 125), 5.0);
  EXPECT_GT(blueIn(img, 401, 200, 500, 225), 5.0);
  EXPECT_GT(blueIn(img, 101, 200, 200, 225), 5.0);
}

TEST_F(RubberBandTest, ArcRadiusModeShowsBothCandidatesUntilTheSecondClick) {
  editor.tool().FTool = TTool::Arc;
  editor.panel().rbArc_R = true;
  editor.panel().nbRforArc1 = 20.0f;
  points({{10.0f, 30.0f}});
  // 50 mm chord, radius 20: the end is pulled in to (50, 30); both half circles about
  // (30, 30) show, a whole circle.
  const QImage img = band({60.0f, 30.0f});
  EXPECT_GT(greenIn(img, 290, 95, 310, 105), 2.0);
  EXPECT_GT(greenIn(img, 290, 495, 310, 505), 2.0);
  EXPECT_EQ(greenIn(img, 520, 280, 620, 320), 0.0);  // nothing beyond the pulled-in end
  // Labels: "Distance=40.00 mm" at the chord's middle, "R = 20.00 mm" 30 px above.
  EXPECT_GT(blueIn(img, 200, 300, 400, 325), 5.0);
  EXPECT_GT(blueIn(img, 200, 270, 400, 295), 5.0);
}

TEST_F(RubberBandTest, SemicircleModeAfterTheSecondClickShowsTheSideOfThePointer) {
  editor.tool().FTool = TTool::Arc;
  editor.panel().rbArc_R = false;
  editor.panel().rbArc_HalfMoonRatio = true;
  editor.panel().nbArc_HalfMoonRatio = 100.0f;
  points({{10.0f, 30.0f}, {50.0f, 30.0f}});
  const QImage below = band({30.0f, 45.0f});
  EXPECT_GT(redIn(below, 290, 495, 310, 505), 2.0);  // the second step is drawn red
  EXPECT_EQ(redIn(below, 290, 95, 310, 105), 0.0);
  const QImage above = band({30.0f, 15.0f});
  EXPECT_GT(redIn(above, 290, 95, 310, 105), 2.0);
  EXPECT_EQ(redIn(above, 290, 495, 310, 505), 0.0);
}

TEST_F(RubberBandTest, ThreePointModePreviewsTheArcThroughThePointer) {
  editor.tool().FTool = TTool::Arc;
  editor.panel().rbArc_R = false;
  editor.panel().rbArc_3_points = true;
  points({{10.0f, 30.0f}});
  const QImage one = band({50.0f, 30.0f});  // one point: a straight band
  EXPECT_GT(greenIn(one, 200, 297, 400, 303), 10.0);

  points({{10.0f, 30.0f}, {50.0f, 30.0f}});
  // Through (30, 45): centre (30, 145/6), radius sqrt(400 + (35/6)^2); the arc bulges
  // down to the pointer, the rest of its circle (top at 10/3 mm) is not drawn.
  const QImage through = band({30.0f, 45.0f});
  EXPECT_GT(greenIn(through, 290, 445, 310, 455), 1.0);
  EXPECT_EQ(greenIn(through, 290, 23, 310, 43), 0.0);
  // The pointer on the circle whose diameter is the chord: still a half circle, on
  // one side or the other.
  const QImage half = band({30.0f, 50.0f});
  EXPECT_GT(greenIn(half, 290, 495, 310, 505) + greenIn(half, 290, 95, 310, 105), 1.0);
  // Collinear pointer: nothing but no failure.
  const QImage none = band({70.0f, 30.0f});
  EXPECT_EQ(greenIn(none, 0, 0, 699, 599), 0.0);
}

TEST_F(RubberBandTest, OtherToolsAndNoClickedPointsDrawNothing) {
  editor.tool().FTool = TTool::Select;
  points({{10.0f, 10.0f}});
  EXPECT_EQ(greenIn(band({40.0f, 40.0f}), 0, 0, 699, 599), 0.0);
  editor.tool().FTool = TTool::Line;
  points({});
  EXPECT_EQ(greenIn(band({40.0f, 40.0f}), 0, 0, 699, 599), 0.0);
}

TEST_F(RubberBandTest, RangeSelectionAndTextCrossThroughThePaintPass) {
  editor.display().FIsBlackBackgroundMode = true;
  editor.pointer().FIsRangeSelecting = true;
  editor.pointer().FFirstMousePos = {20.0f, 20.0f};
  editor.pointer().FLastMousePos = {180.0f, 120.0f};
  editor.pen().FCurrentColor = 0xFFFF0000;
  editor.pen().FCurrentThickness = 2.0f;
  beginTextEntry(editor);  // anchored at the pointer: (18, 12) mm = (180, 120) px

  TCanvasState state;
  auto render = [&] {
    QImage img(300, 200, QImage::Format_ARGB32);
    img.fill(0xFF000000);
    QPainter p(&img);
    TPaintTarget target;
    target.Width = 300;
    target.Height = 200;
    paintCanvas(editor, p, target, state);
    p.end();
    return img;
  };
  const QImage img = render();
  EXPECT_GT(greenIn(img, 50, 18, 150, 22), 5.0);   // top edge of the selection rectangle
  EXPECT_GT(greenIn(img, 18, 50, 22, 100), 5.0);   // left edge
  EXPECT_EQ(greenIn(img, 60, 60, 140, 100), 0.0);  // not filled
  // The dotted cross at (180, 120): both diagonals, 10 px each way.
  EXPECT_GT(redIn(img, 171, 111, 176, 116), 0.5);
  EXPECT_GT(redIn(img, 184, 111, 189, 116), 0.5);
  EXPECT_GT(redIn(img, 171, 124, 176, 129), 0.5);

  // Once typed, the text is a TEXT and the cross is gone.
  editor.pointer().FIsRangeSelecting = false;
  editor.tool().FEditingText.get()->FShapeType = TShapeKind::Text;
  const QImage typed = render();
  EXPECT_EQ(redIn(typed, 171, 124, 176, 129), 0.0);
  EXPECT_EQ(greenIn(typed, 50, 18, 150, 22), 0.0);
}

}  // namespace
}  // namespace quillon
