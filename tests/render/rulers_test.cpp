// The rulers, the scale bar, the measuring ruler and their painting helpers, rendered into
// images and checked pixel by pixel and by what they report having drawn.
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "i18n/multi_lang.h"
#include "model/route_network.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "shell/color_scheme.h"
#include "model/draw_pallet.h"
#include "render/paint.h"
#include "render/rulers.h"
#include "shell/editor.h"
#include "shell/options.h"
#include "support/editor_fixture.h"

namespace quillon {
namespace {

constexpr QRgb kUnpainted = 0xFF123456;
constexpr int kDarkRuler = 0x30;  // grey level of the dark ruler background

// A pixel is "lit" on a dark background when it is clearly brighter than the background.
bool lit(const QImage &img, int x, int y, int background = kDarkRuler) {
  return qRed(img.pixel(x, y)) > background + 25;
}
bool isYellow(QRgb c) { return qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) < 100; }
bool isBlue(QRgb c) { return qBlue(c) > 150 && qRed(c) < 100 && qGreen(c) < 100; }
bool isOrange(QRgb c) { return qRed(c) > 200 && qGreen(c) > 100 && qGreen(c) < 200 && qBlue(c) < 60; }

// Whether any pixel of the rectangle satisfies the test.
bool anyIn(const QImage &img, int x0, int y0, int x1, int y1, const std::function<bool(QRgb)> &test) {
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x)
      if (test(img.pixel(x, y))) return true;
  return false;
}

class RulersTest : public test::EditorTest {
 protected:
  RulersTest() {
    editor.display().FShowGrid = false;
    view(10.0f, {0.5f, 0.5f});
    editor.pointer().FLastMousePos = {-100.0f, -100.0f};  // pointer mark off the rulers
  }

  void view(float scale, TPointF offset) {
    editor.view().FScale = scale;
    editor.view().FOffset = offset;
  }
  void inches() { editor.FOptions->SetUnitMode(umIN); }

  // One ruler painted into a fresh image of w x h pixels.
  QImage ruler(bool horizontal, int w, int h, TRulerPaintInfo *info = nullptr) {
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(kUnpainted);
    QPainter p(&img);
    const TRulerPaintInfo i = pbRulerXPaint(editor, p, w, h, horizontal, cache);
    p.end();
    if (info) *info = i;
    return img;
  }

  // A black image that `draw` paints on.
  QImage canvas(int w, int h, const std::function<void(QPainter &)> &draw) {
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(0xFF000000);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    draw(p);
    p.end();
    return img;
  }

  QImage frame(int w, int h, TPaintTarget target = {}) {
    target.Width = w;
    target.Height = h;
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(kUnpainted);
    QPainter p(&img);
    paintCanvas(editor, p, target, state);
    p.end();
    return img;
  }

  TMeasuringRulerInfo measure(QImage *out = nullptr, int w = 500, int h = 300) {
    TMeasuringRulerInfo info;
    const QImage img = canvas(w, h, [&](QPainter &p) { info = drawMeasuringRuler(editor, p); });
    if (out) *out = img;
    return info;
  }

  // A fixed measuring ruler from `start` to the snapped point `end` (millimetres).
  void fixRuler(TPointF start, TPointF end) {
    editor.display().FShowRuler = true;
    editor.tool().FRulerFixed = true;
    editor.tool().FRulerRealSt = start;
    editor.snap().FStickyExists = true;
    editor.snap().FStickyPoint = end;
  }

  // The text of the label painted at a screen position along the ruler; empty when none.
  static QString labelAt(const TRulerPaintInfo &info, float pos) {
    for (const TRulerLabel &l : info.Labels)
      if (std::fabs(l.Position - pos) < 0.01f) return l.Text;
    return {};
  }
  // The labels whose ticks lie on a ruler `length` pixels long (the ticks start before it).
  static std::vector<TRulerLabel> onRuler(const TRulerPaintInfo &info, float length) {
    std::vector<TRulerLabel> out;
    for (const TRulerLabel &l : info.Labels)
      if (l.Position >= 0.0f && l.Position < length) out.push_back(l);
    return out;
  }

  // Every label begins more than 5 px after the previous one ends, measured with the font
  // the labels are drawn with.
  static void expectLabelsApart(const TRulerPaintInfo &info) {
    QFont font;
    font.setPixelSize(15);
    const QFontMetricsF fm(font);
    for (std::size_t i = 1; i < info.Labels.size(); ++i) {
      const TRulerLabel &a = info.Labels[i - 1], &b = info.Labels[i];
      const double end = a.Position + fm.horizontalAdvance(a.Text) / 2.0;
      const double start = b.Position - fm.horizontalAdvance(b.Text) / 2.0;
      EXPECT_GT(start, end + 5.0) << a.Text.toStdString() << " then " << b.Text.toStdString();
    }
  }

  TRulerLabelCache cache;
  TCanvasState state;
};

// ---- Tick steps ----

TEST_F(RulersTest, TickStepIsTheFirstCandidateAtLeastTenPixelsLong) {
  struct Case {
    TUnitMode unit;
    float scale;
    double step;  // millimetres
  };
  const Case cases[] = {
      {umMM, 10.0f, 1.0},        {umMM, 1.0f, 10.0},        {umMM, 100.0f, 0.1},
      {umMM, 3.0f, 5.0},         {umMM, 0.5f, 20.0},        {umMM, 0.01f, 500.0},  // none reaches 10 px
      {umIN, 10.0f, 25.4 / 16},  {umIN, 1.0f, 25.4 / 2},    {umIN, 100.0f, 25.4 / 128},
      {umIN, 0.01f, 25.4 * 24},
  };
  for (const Case &c : cases) {
    editor.FOptions->SetUnitMode(c.unit);
    view(c.scale, {0.5f, 0.5f});
    TRulerPaintInfo info;
    ruler(true, 300, kRulerThickness, &info);
    EXPECT_NEAR(info.GridTick, c.step, 1e-4 * c.step) << "unit " << c.unit << " scale " << c.scale;
  }
}

// Ticks of a 60 px thick ruler (t = 60): major t long, medium t/3, small t/5, from the inner
// edge (row 59) outward. The labels sit in the top rows, clear of the rows checked.
TEST_F(RulersTest, TickLengthsInMillimetres) {
  const QImage img = ruler(true, 300, 60);
  // 10 px per mm: 0 mm at x = 0.5, so the tick of n mm covers column 10n.
  EXPECT_TRUE(lit(img, 100, 30));   // 10 mm: major, full height
  EXPECT_TRUE(lit(img, 100, 21));
  EXPECT_TRUE(lit(img, 150, 40));   // 5 mm: medium, 20 px: rows 39..58
  EXPECT_FALSE(lit(img, 150, 37));
  EXPECT_TRUE(lit(img, 130, 48));   // 3 mm: small, 12 px: rows 47..58
  EXPECT_FALSE(lit(img, 130, 45));
  EXPECT_FALSE(lit(img, 135, 52));  // between ticks
  EXPECT_EQ(qRed(img.pixel(135, 52)), kDarkRuler);
}

TEST_F(RulersTest, InchTicksAtOneSixteenthWithLabelsAtQuarters) {
  inches();
  TRulerPaintInfo info;
  const QImage img = ruler(true, 300, 60, &info);
  EXPECT_NEAR(info.GridTick, 1.5875f, 1e-5f);
  // 1/16 in = 15.875 px; major every half inch (127 px), medium at each quarter.
  EXPECT_TRUE(lit(img, 127, 30));   // 1/2 in at x = 127.5: major
  EXPECT_TRUE(lit(img, 16, 52));    // 1/16 in at x = 16.375: small
  EXPECT_FALSE(lit(img, 16, 44));
  EXPECT_FALSE(lit(img, 190, 30));  // 3/4 in at x = 191: medium, rows 39..58 only
  EXPECT_TRUE(lit(img, 190, 45) || lit(img, 191, 45));

  const std::vector<TRulerLabel> expected = {
      {QStringLiteral("0"), 0.5f},     {QStringLiteral("1/4"), 64.0f}, {QStringLiteral("1/2"), 127.5f},
      {QStringLiteral("3/4"), 191.0f}, {QStringLiteral("1"), 254.5f}};
  const std::vector<TRulerLabel> shown = onRuler(info, 300.0f);
  ASSERT_EQ(shown.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(shown[i].Text, expected[i].Text);
    EXPECT_NEAR(shown[i].Position, expected[i].Position, 0.01f);
  }
}

// At 100 px per mm the step is 0.1 mm, but only whole millimetres are numbered, without
// a trailing ".0".
TEST_F(RulersTest, MillimetreLabelsOnlyOnWholeNumbers) {
  view(100.0f, {0.5f, 0.5f});
  TRulerPaintInfo info;
  ruler(true, 350, kRulerThickness, &info);
  const std::vector<TRulerLabel> shown = onRuler(info, 350.0f);
  ASSERT_EQ(shown.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(shown[i].Text, QString::number(i));
    EXPECT_NEAR(shown[i].Position, 0.5f + 100.0f * i, 0.01f);
  }
}

// With a clicked point at x = 12.5 mm the X ruler reads 0 there and counts outward both
// ways.
TEST_F(RulersTest, ClickedPointIsTheOriginOfTheNumbers) {
  editor.tool().Clicked_Points = {{12.5f, 3.0f}};
  TRulerPaintInfo info;
  const QImage img = ruler(true, 400, kRulerThickness, &info);
  EXPECT_FLOAT_EQ(info.Origin, 12.5f);
  EXPECT_EQ(labelAt(info, 125.5f), QStringLiteral("0"));
  EXPECT_EQ(labelAt(info, 25.5f), QStringLiteral("-10"));
  EXPECT_EQ(labelAt(info, 225.5f), QStringLiteral("10"));
  EXPECT_EQ(labelAt(info, 325.5f), QStringLiteral("20"));
  // The "0" is painted centred over its tick in the top rows.
  EXPECT_TRUE(anyIn(img, 121, 0, 130, 16, [](QRgb c) { return qRed(c) > 200; }));
  expectLabelsApart(info);
}

// Labels never touch: at every zoom, in both units and on both rulers, each label begins
// more than 5 px after the previous one ends (measured with the 15 px font they are drawn
// with), and they stand at a regular step that takes in the origin.
TEST_F(RulersTest, LabelsNeverTouchAtAnyZoom) {
  struct Case {
    TUnitMode unit;
    float scale;
  };
  const Case cases[] = {{umMM, 10.0f}, {umMM, 9.3f}, {umMM, 4.4f},  {umMM, 1.0f}, {umMM, 0.1f},
                        {umMM, 37.0f}, {umMM, 200.0f}, {umIN, 10.0f}, {umIN, 3.0f}, {umIN, 0.5f}};
  for (const Case &c : cases) {
    editor.FOptions->SetUnitMode(c.unit);
    for (const bool horizontal : {true, false}) {
      SCOPED_TRACE(testing::Message() << "unit " << c.unit << " scale " << c.scale << " horizontal " << horizontal);
      view(c.scale, {-3000.5f, -3000.5f});  // negative and positive numbers of several digits
      TRulerPaintInfo info;
      if (horizontal)
        ruler(true, 1400, kRulerThickness, &info);
      else
        ruler(false, kRulerThickness, 1400, &info);
      ASSERT_GE(info.Labels.size(), 2u);
      expectLabelsApart(info);
      const float step = info.Labels[1].Position - info.Labels[0].Position;
      for (std::size_t i = 1; i < info.Labels.size(); ++i)
        EXPECT_NEAR(info.Labels[i].Position - info.Labels[i - 1].Position, step, 0.01f) << i;
    }
  }
}

// A drawing of any size paints a ruler bounded by its pixels: far from the origin the
// ticks keep their spacing and the labels their exact values, and where a number can no
// longer tell one step from the next no label is drawn rather than a wrong one.
TEST_F(RulersTest, HugeCoordinatesPaintBoundedRulersWithExactLabels) {
  // The view's left edge at -1e12 mm (View All of a line from -1e12 to 1e12).
  view(0.1f, {1e11f, 0.5f});
  TRulerPaintInfo info;
  ruler(true, 1400, kRulerThickness, &info);
  EXPECT_FLOAT_EQ(info.GridTick, 100.0f);
  EXPECT_GE(info.TickCount, 140);  // a tick every 10 px
  EXPECT_LE(info.TickCount, 141);
  ASSERT_GE(info.Labels.size(), 2u);
  expectLabelsApart(info);
  const double offset = editor.view().FOffset.X, scale = editor.view().FScale;
  for (const TRulerLabel &l : info.Labels) {
    // Each label is the value at its own tick, a multiple of the step.
    const double mm = (double(l.Position) - offset) / scale;
    EXPECT_LT(mm, -9.9e11);
    EXPECT_EQ(l.Text, QString::number(std::llround(mm / 100.0) * 100)) << l.Position;
  }

  // At 1e30 mm, and with the origin there too (the line selected), both rulers finish
  // with at most a tick per pixel and no label.
  for (const bool selected : {false, true}) {
    TQN_Path *line = addLine({-1e30f, 5.0f}, {1e30f, 5.0f});
    line->FSelected = selected;
    view(0.1f, {1e29f, 1e29f});
    ruler(true, 1400, kRulerThickness, &info);
    EXPECT_LE(info.TickCount, 1402);
    EXPECT_TRUE(info.Labels.empty()) << info.Labels.front().Text.toStdString();
    ruler(false, kRulerThickness, 900, &info);
    EXPECT_LE(info.TickCount, 902);
    editor.doc().remove(line);
  }
}

TEST_F(RulersTest, VerticalRulerNumbersRotatedFromTheClickedPoint) {
  editor.tool().Clicked_Points = {{3.0f, 12.5f}};
  TRulerPaintInfo info;
  const QImage img = ruler(false, kRulerThickness, 400, &info);
  EXPECT_FLOAT_EQ(info.Origin, 12.5f);
  ASSERT_FALSE(info.Labels.empty());
  EXPECT_EQ(labelAt(info, 125.5f), QStringLiteral("0"));
  EXPECT_EQ(labelAt(info, 225.5f), QStringLiteral("10"));
  // The rotated "10" lies across row 225 near the ruler's outer edge; the ticks of the
  // Y ruler are horizontal and run from column 24 outward.
  EXPECT_TRUE(anyIn(img, 0, 215, 18, 235, [](QRgb c) { return qRed(c) > 200; }));
  EXPECT_TRUE(lit(img, 2, 225));                 // 10 mm: major tick across the ruler
  EXPECT_TRUE(lit(img, 21, 175) && !lit(img, 13, 175));  // 5 mm: medium tick, 8.3 px
  EXPECT_EQ(cache.count(), static_cast<int>(info.Labels.size()));
}

TEST_F(RulersTest, SelectionIsTheOriginAndIsMarkedByABand) {
  addLine({10, 5}, {30, 5})->FSelected = true;
  addLine({5, 12}, {5, 20})->FSelected = true;
  addLine({100, 100}, {120, 100});  // not selected
  // Selection 5 .. 30 mm across (x = 50.5 .. 300.5) and 5 .. 20 mm down (y = 50.5 .. 200.5).
  TRulerPaintInfo info;
  QImage img = ruler(true, 400, kRulerThickness, &info);
  EXPECT_FLOAT_EQ(info.Origin, 5.0f);
  EXPECT_EQ(labelAt(info, 50.5f), QStringLiteral("0"));
  EXPECT_EQ(labelAt(info, 150.5f), QStringLiteral("10"));
  EXPECT_TRUE(isBlue(img.pixel(205, 20)));  // rows 15 .. 24
  EXPECT_TRUE(isBlue(img.pixel(295, 16)));
  EXPECT_TRUE(isBlue(img.pixel(55, 23)));
  EXPECT_FALSE(isBlue(img.pixel(205, 12)));
  EXPECT_FALSE(isBlue(img.pixel(45, 20)));
  EXPECT_FALSE(isBlue(img.pixel(305, 20)));

  img = ruler(false, kRulerThickness, 400, &info);
  EXPECT_FLOAT_EQ(info.Origin, 5.0f);
  EXPECT_TRUE(isBlue(img.pixel(20, 195)));
  EXPECT_FALSE(isBlue(img.pixel(20, 205)));
  EXPECT_FALSE(isBlue(img.pixel(12, 195)));

  // A clicked point outranks the selection and no band is drawn.
  editor.tool().Clicked_Points = {{12.0f, 7.0f}};
  img = ruler(true, 400, kRulerThickness, &info);
  EXPECT_FLOAT_EQ(info.Origin, 12.0f);
  EXPECT_FALSE(isBlue(img.pixel(205, 20)));
}

TEST_F(RulersTest, PointerMarkFollowsTheSnapPointWhenThereIsOne) {
  editor.pointer().FLastMousePos = {77.0f, 40.0f};
  QImage img = ruler(true, 300, kRulerThickness);
  EXPECT_TRUE(isYellow(img.pixel(76, 22)));
  EXPECT_TRUE(isYellow(img.pixel(77, 1)));
  EXPECT_FALSE(isYellow(img.pixel(80, 22)));
  img = ruler(false, kRulerThickness, 300);
  EXPECT_TRUE(isYellow(img.pixel(22, 39)));

  editor.snap().FStickyExists = true;
  editor.snap().FStickyPoint = {20.0f, 4.0f};
  img = ruler(true, 300, kRulerThickness);
  EXPECT_TRUE(isYellow(img.pixel(200, 22)));
  EXPECT_FALSE(isYellow(img.pixel(76, 22)));
}

TEST_F(RulersTest, BackgroundAndInkFollowTheCanvasScheme) {
  struct Case {
    bool dark;
    QRgb background;
    bool tickBrighter;
  };
  for (const Case &c : {Case{true, 0xFF303030, true}, Case{false, 0xFFF8F8F8, false}}) {
    setGridBackground(editor, c.dark);
    const QImage img = ruler(true, 300, 60);
    EXPECT_EQ(img.pixel(135, 52), c.background) << c.dark;
    const int tick = qRed(img.pixel(100, 30)), bg = qRed(c.background);
    EXPECT_TRUE(c.tickBrighter ? tick > bg + 25 : tick < bg - 25) << c.dark;
  }
}

TEST_F(RulersTest, NothingIsPaintedWithoutSettings) {
  std::unique_ptr<TQN_Options> saved = std::move(editor.FOptions);
  TRulerPaintInfo info;
  info.Painted = true;
  const QImage img = ruler(true, 100, kRulerThickness, &info);
  editor.FOptions = std::move(saved);
  EXPECT_FALSE(info.Painted);
  EXPECT_EQ(img.pixel(50, 10), kUnpainted);
}

// ---- Text and the label cache ----

TEST_F(RulersTest, LabelCacheKeysOnTextSizeColourAndScale) {
  EXPECT_EQ(TRulerLabelCache::labelKey(QStringLiteral("12"), 15.0f, 0xFFFF8000, 1.0),
            QStringLiteral("12|15|FFFF8000|100"));
  EXPECT_EQ(TRulerLabelCache::labelKey(QStringLiteral("x"), 7.5f, 0x0000000A, 1.25),
            QStringLiteral("x|7.5|0000000A|125"));
  EXPECT_EQ(TRulerLabelCache::labelKey(QStringLiteral("x"), 10.0f, 0xFF000000, 0.0),
            TRulerLabelCache::labelKey(QStringLiteral("x"), 10.0f, 0xFF000000, 1.0));

  QImage target(10, 10, QImage::Format_ARGB32);
  QPainter p(&target);
  const QImage a = cache.getRulerLabelBitmap(p, QStringLiteral("12"), 15.0f, 0xFFFFFFFF);
  const QImage b = cache.getRulerLabelBitmap(p, QStringLiteral("12"), 15.0f, 0xFFFFFFFF);
  EXPECT_EQ(a.cacheKey(), b.cacheKey());  // the same bitmap, not a new rendering
  EXPECT_EQ(cache.count(), 1);
  cache.getRulerLabelBitmap(p, QStringLiteral("12"), 15.0f, 0xFF000000);
  cache.getRulerLabelBitmap(p, QStringLiteral("12"), 16.0f, 0xFFFFFFFF);
  EXPECT_EQ(cache.count(), 3);

  // A display scale of 2 renders a bitmap twice as large that knows its scale.
  QImage hiDpi(10, 10, QImage::Format_ARGB32);
  hiDpi.setDevicePixelRatio(2.0);
  QPainter p2(&hiDpi);
  const QImage c = cache.getRulerLabelBitmap(p2, QStringLiteral("12"), 15.0f, 0xFFFFFFFF);
  EXPECT_EQ(cache.count(), 4);
  EXPECT_DOUBLE_EQ(c.devicePixelRatio(), 2.0);
  EXPECT_NEAR(c.width(), 2 * a.width(), 1);
  EXPECT_NEAR(c.height(), 2 * a.height(), 1);
}

TEST_F(RulersTest, LabelBitmapIsTheTextTurnedToReadUpward) {
  QImage target(10, 10, QImage::Format_ARGB32);
  QPainter p(&target);
  QFont font = p.font();
  font.setPixelSize(15);
  const QFontMetricsF fm(font);
  const QString text = QStringLiteral("W.....");
  const QImage bmp = cache.getRulerLabelBitmap(p, text, 15.0f, 0xFFFFFFFF);
  EXPECT_EQ(bmp.width(), static_cast<int>(std::ceil(fm.height())));
  EXPECT_EQ(bmp.height(), static_cast<int>(std::ceil(fm.horizontalAdvance(text))));

  // Reading upward, the "W" is at the bottom and the dots, sitting on the base line, at
  // the top on the right-hand side.
  auto ink = [&](int x0, int y0, int x1, int y1) {
    double sum = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) sum += qAlpha(bmp.pixel(x, y));
    return sum;
  };
  const int w = bmp.width(), h = bmp.height(), part = static_cast<int>(fm.horizontalAdvance(QStringLiteral("W")));
  const int dotsEnd = h - part - 2;  // clear of the W's overhang
  const double wInk = ink(0, h - part, w, h);
  const double dotsLeft = ink(0, 0, w / 2, dotsEnd), dotsRight = ink(w / 2, 0, w, dotsEnd);
  EXPECT_GT(wInk, dotsRight);
  EXPECT_GT(dotsRight, 0.0);
  EXPECT_EQ(dotsLeft, 0.0);
}

TEST_F(RulersTest, LabelCacheIsEmptiedWhenItHoldsMoreThan256) {
  QImage target(10, 10, QImage::Format_ARGB32);
  QPainter p(&target);
  for (int i = 0; i < 257; ++i) cache.getRulerLabelBitmap(p, QString::number(i), 10.0f, 0xFFFFFFFF);
  EXPECT_EQ(cache.count(), 257);
  cache.getRulerLabelBitmap(p, QStringLiteral("5"), 10.0f, 0xFFFFFFFF);  // a hit keeps everything
  EXPECT_EQ(cache.count(), 257);
  cache.getRulerLabelBitmap(p, QStringLiteral("new"), 10.0f, 0xFFFFFFFF);
  EXPECT_EQ(cache.count(), 1);
  EXPECT_TRUE(cache.contains(TRulerLabelCache::labelKey(QStringLiteral("new"), 10.0f, 0xFFFFFFFF, 1.0)));
}

TEST_F(RulersTest, CanvasTextPlacement) {
  QFont font;
  font.setPixelSize(20);
  const QFontMetricsF fm(font);
  const QString text = QStringLiteral("Hello");
  const qreal w = fm.horizontalAdvance(text), h = fm.height();

  QRectF left, centred, rotated, rotatedCentred;
  const QImage img = canvas(300, 200, [&](QPainter &p) {
    p.setFont(font);
    p.setPen(QColor(0, 255, 0));    // the stroke colour
    p.setBrush(QColor(255, 0, 0));  // the fill colour: the text's colour when not rotated
    left = drawCanvasText(p, {20, 10}, text, 20.0f, false, 1.0f, false);
    centred = drawCanvasText(p, {200, 10}, text, 20.0f, true, 1.0f, false);
    rotated = drawCanvasText(p, {40, 60}, text, 20.0f, false, 1.0f, true, &cache);
    rotatedCentred = drawCanvasText(p, {200, 120}, text, 20.0f, true, 1.0f, true, &cache);
  });
  EXPECT_NEAR(left.left(), 20, 1e-6);
  EXPECT_NEAR(left.top(), 10, 1e-6);
  EXPECT_NEAR(left.width(), w, 1e-6);
  EXPECT_NEAR(left.height(), h, 1e-6);
  EXPECT_NEAR(centred.left(), 200 - w / 2, 1e-6);
  EXPECT_TRUE(anyIn(img, 20, 10, 20 + int(w), 10 + int(h), [](QRgb c) { return qRed(c) > 150 && qGreen(c) < 60; }));

  // Rotated: W = text height, H = text width (whole device pixels); not centred the point
  // moves down by W / 2.
  const double W = std::ceil(h), H = std::ceil(w);
  EXPECT_NEAR(rotated.left(), 40 + H / 2 - W / 2, 1e-6);
  EXPECT_NEAR(rotated.top(), 60 + W / 2 - H / 2, 1e-6);
  EXPECT_NEAR(rotated.width(), W, 1e-6);
  EXPECT_NEAR(rotated.height(), H, 1e-6);
  EXPECT_NEAR(rotatedCentred.top(), 120 - H / 2, 1e-6);
  const QRect r = rotated.toAlignedRect();
  EXPECT_TRUE(
      anyIn(img, r.left(), r.top(), r.right(), r.bottom(), [](QRgb c) { return qGreen(c) > 150 && qRed(c) < 60; }));
  EXPECT_EQ(cache.count(), 1);  // both rotated texts share one bitmap
}

// ---- Scale bar ----

TEST_F(RulersTest, ScaleBarLengthAndText) {
  struct Case {
    TUnitMode unit;
    float scale;
    float boxWidth;
    float pixels;
    const char *text;
  };
  const Case cases[] = {
      {umMM, 10.0f, 886.0f, 100.0f, "10 mm"},  // the documented example
      {umMM, 10.0f, 300.0f, 50.0f, "5 mm"},
      {umMM, 10.0f, 200.0f, 50.0f, "5 mm"},   // exactly a quarter is allowed
      {umMM, 10.0f, 150.0f, 25.0f, "3 mm"},   // 2.5 mm shown without decimals, halves away from zero
      {umMM, 1.0f, 886.0f, 100.0f, "100 mm"},
      {umMM, 3.0f, 886.0f, 150.0f, "50 mm"},
      {umIN, 10.0f, 886.0f, 127.0f, "1/2 in (0.500000)"},
      {umIN, 10.0f, 400.0f, 63.5f, "1/4 in (0.250000)"},
  };
  for (const Case &c : cases) {
    editor.FOptions->SetUnitMode(c.unit);
    view(c.scale, {0.0f, 0.0f});
    TScaleBarInfo info;
    canvas(int(c.boxWidth), 40, [&](QPainter &p) { info = drawScaleBar(editor, p, c.boxWidth); });
    ASSERT_TRUE(info.Drawn);
    EXPECT_FLOAT_EQ(info.X2, c.boxWidth - 10.0f) << c.text;
    EXPECT_NEAR(info.X2 - info.X1, c.pixels, 1e-3) << c.text;
    EXPECT_LE(info.X2 - info.X1, c.boxWidth / 4.0f);
    EXPECT_EQ(info.Text, QString::fromLatin1(c.text));
  }
}

TEST_F(RulersTest, PaintRoutineDrawsTheScaleBarOnScreenAndInThePreviewButNotOnPaper) {
  setGridBackground(editor, false);  // black line type #39 on light paper
  view(10.0f, {0.0f, 0.0f});
  auto darkAt = [](const QImage &img, int x, int y) { return qRed(img.pixel(x, y)) < 80; };

  QImage img = frame(886, 100);
  // The bar from x = 776 to 876 at y = 10, 2 px thick; end marks from y = 5 to 15.
  EXPECT_TRUE(darkAt(img, 780, 9) && darkAt(img, 826, 10));
  EXPECT_FALSE(darkAt(img, 780, 12));
  EXPECT_TRUE(darkAt(img, 776, 6) && darkAt(img, 875, 14));
  EXPECT_FALSE(darkAt(img, 770, 10));
  EXPECT_TRUE(anyIn(img, 800, 12, 850, 26, [](QRgb c) { return qRed(c) < 80; }));  // "10 mm"

  TPaintTarget preview;
  preview.IsPrintPreviewing = true;
  img = frame(886, 100, preview);
  EXPECT_TRUE(darkAt(img, 826, 10));

  TPaintTarget paper;
  paper.IsPrinting = true;
  img = frame(886, 100, paper);
  EXPECT_EQ(img.pixel(826, 10), 0xFFFFFFFF);
}

// ---- Measuring ruler ----

// The documented example: a fixed ruler of 183.2 mm is 190 mm long. At 2 px per mm the
// step is 5 mm (10 px), so 39 ticks from x = 10.5 to 390.5 and none at 400.5.
TEST_F(RulersTest, FixedRulerOf183Point2MillimetresHas190MillimetresOfTicks) {
  view(2.0f, {0.5f, 0.5f});
  fixRuler({5.0f, 50.0f}, {188.2f, 50.0f});
  editor.pointer().FLastMousePos = {100.0f, 200.0f};  // the labels below the ticks
  QImage img;
  const TMeasuringRulerInfo info = measure(&img);
  EXPECT_NEAR(info.Distance, 183.2f, 1e-3f);
  EXPECT_FLOAT_EQ(info.Angle, 0.0f);
  EXPECT_FLOAT_EQ(info.RulerLength, 190.0f);
  EXPECT_EQ(info.TickCount, 39);
  EXPECT_EQ(info.LengthText, QStringLiteral("183.20 mm"));

  // Ticks point up from y = 100.5: major 36 px (every 50 mm), medium 18, small 9.
  EXPECT_TRUE(isOrange(img.pixel(390, 95)));   // 190 mm, small
  EXPECT_FALSE(isOrange(img.pixel(390, 88)));
  EXPECT_EQ(img.pixel(400, 95), 0xFF000000);   // nothing at 195 mm
  EXPECT_TRUE(isOrange(img.pixel(110, 70)));   // 50 mm, major
  EXPECT_TRUE(isOrange(img.pixel(60, 85)));    // 25 mm, medium
  EXPECT_FALSE(isOrange(img.pixel(60, 78)));
  EXPECT_FALSE(isOrange(img.pixel(65, 95)));   // between ticks: no base line
  EXPECT_FALSE(isOrange(img.pixel(60, 102)));  // nothing below the start line
  // The length label at the pointer + (20, 0), in the colour of #39 (white).
  EXPECT_TRUE(anyIn(img, 120, 200, 240, 235, [](QRgb c) { return qRed(c) > 200 && qBlue(c) > 200; }));
}

// A ruler of any length paints only the ticks that can show on the canvas.
TEST_F(RulersTest, AMeasuringRulerOfAnyLengthPaintsOnlyTheTicksOnTheCanvas) {
  view(2.0f, {0.5f, 0.5f});
  fixRuler({5.0f, 50.0f}, {1e30f, 50.0f});
  editor.pointer().FLastMousePos = {100.0f, 200.0f};
  QImage img;
  const TMeasuringRulerInfo info = measure(&img);  // 500 x 300 pixels
  EXPECT_EQ(info.TickCount, 2147483647);
  // 5 mm (10 px) apart from x = 10.5 to the canvas' right edge and a little beyond.
  EXPECT_GE(info.TicksDrawn, 49);
  EXPECT_LE(info.TicksDrawn, 55);
  EXPECT_TRUE(isOrange(img.pixel(110, 70)));  // 50 mm: major, as on a short ruler
  EXPECT_TRUE(isOrange(img.pixel(490, 95)));  // 240 mm: small
}

TEST_F(RulersTest, RulerLengthIsAtLeast150AndOtherwiseTheNextTen) {
  view(2.0f, {0.5f, 0.5f});
  const struct {
    float distance;
    float length;
  } cases[] = {{40.0f, 150.0f}, {149.9f, 150.0f}, {150.0f, 160.0f}, {183.2f, 190.0f}, {190.0f, 200.0f}};
  for (const auto &c : cases) {
    fixRuler({0.0f, 0.0f}, {0.0f, c.distance});
    const TMeasuringRulerInfo info = measure();
    EXPECT_FLOAT_EQ(info.RulerLength, c.length) << c.distance;
    EXPECT_EQ(info.TickCount, int(c.length / 5.0f) + 1) << c.distance;
  }
}

TEST_F(RulersTest, RulerAngleFollowsTheDirectionToTheEnd) {
  view(2.0f, {0.5f, 0.5f});
  const struct {
    TPointF end;
    float angle;
  } cases[] = {{{60, 50}, 0.0f}, {{50, 90}, 90.0f}, {{50, 10}, 270.0f}, {{10, 50}, 180.0f}, {{80, 80}, 45.0f}};
  for (const auto &c : cases) {
    fixRuler({50.0f, 50.0f}, c.end);
    EXPECT_NEAR(measure().Angle, c.angle, 1e-4f) << c.end.X << "," << c.end.Y;
  }
  // Pointing down the screen the ticks stand out to the right: the 0 mm tick from
  // (100.5, 100.5) to (136.5, 100.5).
  fixRuler({50.0f, 50.0f}, {50.0f, 90.0f});
  editor.pointer().FLastMousePos = {300.0f, 250.0f};
  QImage img;
  measure(&img);
  EXPECT_TRUE(isOrange(img.pixel(125, 100)));
  EXPECT_FALSE(isOrange(img.pixel(80, 100)));
}

TEST_F(RulersTest, ShiftMakesTheMeasuredLineLevelOrPlumb) {
  view(10.0f, {0.0f, 0.0f});
  editor.display().FShowRuler = true;
  editor.tool().FRulerFixed = true;
  editor.tool().FRulerRealSt = {5.0f, 5.0f};
  editor.pointer().FLastShiftState = ssShift;
  const struct {
    TPointF pointer;  // pixels
    TPointF end;      // millimetres
  } cases[] = {
      {{250, 100}, {25, 5}},  // |dx| 20 > |dy| 5: level
      {{80, 400}, {5, 40}},   // plumb
      {{150, 150}, {5, 15}},  // a tie is plumb
  };
  for (const auto &c : cases) {
    editor.pointer().FLastMousePos = c.pointer;
    const TMeasuringRulerInfo info = measure();
    EXPECT_NEAR(info.End.X, c.end.X, 1e-4f) << c.pointer.X;
    EXPECT_NEAR(info.End.Y, c.end.Y, 1e-4f) << c.pointer.X;
  }
}

// The shortest way from the free end of one line over a second one joined to it: drawn in
// blue over both, and its length reported beside the straight one.
TEST_F(RulersTest, RouteAlongTheShapesIsDrawnAndMeasured) {
  view(2.0f, {0.5f, 0.5f});
  addLine({5, 50}, {45, 50});
  addLine({45, 50}, {45, 80});
  fixRuler({5.0f, 50.0f}, {45.0f, 80.0f});
  editor.pointer().FLastMousePos = {200.0f, 200.0f};
  QImage img;
  const TMeasuringRulerInfo info = measure(&img);
  EXPECT_EQ(info.LengthText, QStringLiteral("50.00 mm"));
  EXPECT_EQ(info.TotalText, QStringLiteral("(Total Len=70.00 mm)"));
  EXPECT_TRUE(info.RouteFound);
  EXPECT_EQ(info.RoutePieces, 2);
  EXPECT_TRUE(isBlue(img.pixel(50, 100)));  // along the first line (y = 100.5)
  EXPECT_TRUE(isBlue(img.pixel(90, 130)));  // along the second (x = 90.5)
  EXPECT_FALSE(isBlue(img.pixel(50, 105)));
}

TEST_F(RulersTest, EndAwayFromTheShapesShowsOnlyTheStraightLength) {
  view(2.0f, {0.5f, 0.5f});
  addLine({5, 50}, {45, 50});
  for (TPointF end : {TPointF(25, 80), TPointF(25, 50)}) {  // on nothing; inside the line, at no crossing
    fixRuler({5.0f, 50.0f}, end);
    QImage img;
    const TMeasuringRulerInfo info = measure(&img);
    EXPECT_FALSE(info.LengthText.isEmpty());
    EXPECT_TRUE(info.TotalText.isEmpty());
    EXPECT_FALSE(info.RouteFound);
    EXPECT_EQ(info.RoutePieces, 0);
    EXPECT_FALSE(anyIn(img, 0, 0, img.width() - 1, img.height() - 1, isBlue));
  }
}

TEST_F(RulersTest, LooseRulerSitsAtThePointerLevelWithoutLabels) {
  view(2.0f, {0.5f, 0.5f});
  editor.display().FShowRuler = true;
  editor.tool().FRulerFixed = false;
  editor.tool().FRulerRealSt = {0.0f, 0.0f};
  editor.snap().FStickyExists = true;
  editor.snap().FStickyPoint = {20.0f, 50.0f};
  QImage img;
  const TMeasuringRulerInfo info = measure(&img);
  EXPECT_NEAR(info.Start.X, 20.0f, 1e-6f);
  EXPECT_FLOAT_EQ(info.Angle, 0.0f);
  EXPECT_FLOAT_EQ(info.RulerLength, 150.0f);
  EXPECT_TRUE(info.LengthText.isEmpty());
  EXPECT_TRUE(info.TotalText.isEmpty());
  EXPECT_TRUE(isOrange(img.pixel(40, 70)));  // 0 mm major tick at x = 40.5 standing 36 px up
  EXPECT_TRUE(isOrange(img.pixel(340, 70)));  // 150 mm: major
}

TEST_F(RulersTest, PaintRoutineDrawsTheMeasuringRulerWhenItIsShown) {
  view(2.0f, {0.5f, 0.5f});
  fixRuler({5.0f, 50.0f}, {100.0f, 50.0f});
  editor.display().FShowRuler = false;
  QImage img = frame(500, 300);
  EXPECT_FALSE(isOrange(img.pixel(110, 70)));
  editor.display().FShowRuler = true;
  img = frame(500, 300);
  EXPECT_TRUE(isOrange(img.pixel(110, 70)));
}

// ---- Offset support ticks and rectangles ----

TEST_F(RulersTest, OffsetSupportTicksStandAcrossTheShape) {
  view(2.0f, {0.5f, 0.5f});
  TQN_Path *line = addLine({10, 50}, {30, 50});  // pixels y = 100.5, x 20.5 .. 60.5
  int ticks = 0;
  QImage img = canvas(200, 200, [&](QPainter &p) { ticks = drawOffsetSupportTicks(editor, p, *line, 5.0f, 0.5f); });
  EXPECT_EQ(ticks, 3);  // the start, the end of its one segment, the end point
  EXPECT_TRUE(isOrange(img.pixel(20, 92)));
  EXPECT_TRUE(isOrange(img.pixel(20, 109)));
  EXPECT_FALSE(isOrange(img.pixel(20, 86)));
  EXPECT_TRUE(isOrange(img.pixel(60, 95)));
  EXPECT_FALSE(isOrange(img.pixel(40, 95)));

  bool drawn = true;
  img = canvas(200, 200, [&](QPainter &p) { drawn = drawPerpendicularTick(editor, p, *line, {20, 60}, 5.0f); });
  EXPECT_FALSE(drawn);
  EXPECT_FALSE(anyIn(img, 0, 0, 199, 199, isOrange));

  // Along a curve, a wider spacing leaves out the segment ends that crowd the last tick.
  auto bezier = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  bezier->drawBezierPath({10, 10}, {40, 10}, {60, 40}, {60, 70});
  TQN_Path *curve = editor.doc().add(std::move(bezier), 0);
  int dense = 0, sparse = 0;
  img = canvas(200, 200, [&](QPainter &p) {
    dense = drawOffsetSupportTicks(editor, p, *curve, 2.0f, 0.5f);
    sparse = drawOffsetSupportTicks(editor, p, *curve, 2.0f, 10.0f);
  });
  const float length = curve->calcTotalLength();
  EXPECT_GT(dense, sparse);
  EXPECT_LE(sparse, int(length / 10.0f) + 2);
  EXPECT_GE(sparse, int(length / 10.0f / 2.0f));
  EXPECT_TRUE(isOrange(img.pixel(20, 18)));  // at the start the curve runs level: the tick is upright
  EXPECT_TRUE(isOrange(img.pixel(20, 23)));
}

TEST_F(RulersTest, RealRectangleToTheScreen) {
  view(10.0f, {0.5f, 0.5f});
  const TRectF r = realRectToVirtual(editor, TRectF(1, 2, 3, 4));
  EXPECT_FLOAT_EQ(r.Left, 10.5f);
  EXPECT_FLOAT_EQ(r.Top, 20.5f);
  EXPECT_FLOAT_EQ(r.Right, 30.5f);
  EXPECT_FLOAT_EQ(r.Bottom, 40.5f);
}

}  // namespace
}  // namespace quillon
