// The cached background grid: its step, its line weights, and when the cache is reused,
// shifted or drawn afresh.
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <gtest/gtest.h>

#include "render/grid_cache.h"
#include "render/paint.h"
#include "shell/editor.h"
#include "shell/options.h"
#include "support/editor_fixture.h"

namespace quillon {
namespace {

class GridCacheTest : public test::EditorTest {
 protected:
  GridCacheTest() { editor.display().FShowGrid = true; }

  void view(float scale, TPointF offset) {
    editor.view().FScale = scale;
    editor.view().FOffset = offset;
  }

  QImage render(int w = 300, int h = 120) {
    TPaintTarget target;
    target.Width = w;
    target.Height = h;
    QImage img(w, h, QImage::Format_ARGB32);
    QPainter p(&img);
    paintCanvas(editor, p, target, state);
    p.end();
    return img;
  }

  // The strongest red value of a column over rows 4..12, which lie between the
  // horizontal lines of rows 3 and 13 in these views.
  static int columnPeak(const QImage &img, int x) {
    int peak = 0;
    for (int y = 4; y <= 12; ++y) peak = std::max(peak, qRed(img.pixel(x, y)));
    return peak;
  }

  TCanvasState state;
  TGridCache &grid() { return state.Grid; }
};

TEST_F(GridCacheTest, StepIsTheFirstOfTheSeriesAtLeastTenPixelsWide) {
  const struct {
    float scale;
    TUnitMode unit;
    float step;
  } cases[] = {
      {10.0f, umMM, 1.0f}, {1.0f, umMM, 10.0f},  {0.1f, umMM, 100.0f}, {200.0f, umMM, 0.1f},
      {3.0f, umMM, 5.0f},  {0.01f, umMM, 500.0f},  // beyond the series: its last step
      {10.0f, umIN, 1.5875f},                      // 1/16 inch
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << c.scale << " unit " << int(c.unit));
    TCanvasState fresh;
    editor.FOptions->SetUnitMode(c.unit);
    view(c.scale, {0.0f, 0.0f});
    QImage img(100, 100, QImage::Format_ARGB32);
    QPainter p(&img);
    TPaintTarget target;
    target.Width = target.Height = 100;
    paintCanvas(editor, p, target, fresh);
    EXPECT_FLOAT_EQ(fresh.Grid.FGridTick, c.step);
  }
}

TEST_F(GridCacheTest, MajorMiddleAndMinorLinesFallOnTheStepsOfTheSeries) {
  // At 10, 1 and 0.1 pixels per millimetre the steps of 1, 10 and 100 mm are all 10 px
  // apart; with the real origin at pixel 37.5 every tenth line (a multiple of 10 steps)
  // lies on column 37, 137, 237 and the fifth of each cycle on 87, 187.
  for (float scale : {10.0f, 1.0f, 0.1f}) {
    SCOPED_TRACE(scale);
    view(scale, {37.5f, 3.5f});
    grid().settleTick();  // the view has settled: no stretched cache of the previous scale
    const QImage img = render(400);  // wide enough that the scale bar stays right of x = 237
    for (int x : {37, 137, 237}) EXPECT_NEAR(columnPeak(img, x), 0.4 * 255, 4) << x;          // 1 px solid
    for (int x : {87, 187}) EXPECT_NEAR(columnPeak(img, x), 0.75 * 0.4 * 255, 4) << x;       // 0.75 px solid
    for (int x : {47, 57, 127, 177}) EXPECT_NEAR(columnPeak(img, x), 0.5 * 0.4 * 255, 4) << x;  // 0.5 px dashed
    for (int x : {42, 90, 133}) EXPECT_EQ(columnPeak(img, x), 0) << x;
    // Each line is laid over the others at opacity 0.4: where two major lines cross,
    // 1 - 0.6 x 0.6 of the white shows.
    EXPECT_NEAR(qRed(img.pixel(37, 3)), 0.64 * 255, 4);
    // The dashes leave gaps in a minor line.
    int gaps = 0;
    for (int y = 4; y <= 12; ++y) gaps += qRed(img.pixel(47, y)) == 0;
    EXPECT_GT(gaps, 0);
  }
}

// Far from the origin the lines keep their spacing (worked in double precision, they do
// not collapse onto the few positions a single-precision millimetre value can take), and
// at any distance the lines drawn are bounded by the pixels.
TEST_F(GridCacheTest, FarFromTheOriginTheLinesKeepTheirSpacing) {
  // Runs of lit columns between the horizontal lines, left of the scale bar.
  const auto verticalLines = [&](const QImage &img) {
    int runs = 0;
    for (int x = 0, previous = 0; x < 280; ++x) {
      const int lit = columnPeak(img, x) > 0;
      runs += lit && !previous;
      previous = lit;
    }
    return runs;
  };
  view(0.1f, {1e11f, 3.5f});  // the left edge at -1e12 mm, a line every 100 mm = 10 px
  grid().settleTick();
  EXPECT_GE(verticalLines(render(400)), 27);

  view(0.1f, {1e29f, 3.5f});  // the left edge at -1e30 mm
  grid().settleTick();
  EXPECT_LE(verticalLines(render(400)), 29);
}

TEST_F(GridCacheTest, LinesAreBlackOnTheLightBackground) {
  editor.display().FIsBlackBackgroundMode = false;
  editor.FOptions->WhiteBGColor = 0xFFFFFFFF;
  view(10.0f, {37.5f, 3.5f});
  const QImage img = render();
  EXPECT_NEAR(qRed(img.pixel(37, 8)), 0.6 * 255, 4);  // black at opacity 0.4 over white
  EXPECT_EQ(img.pixel(42, 8), 0xFFFFFFFFu);
}

TEST_F(GridCacheTest, KeyListsSizeScaleUnitTicksAndBackground) {
  editor.FOptions->LengthFormatSettings.SmallTickInterval = 5;
  editor.FOptions->LengthFormatSettings.LargeTickInterval = 10;
  EXPECT_EQ(gridCacheKey(editor, 1600.0f, 1200.0f, 1.0f), QStringLiteral("1600.0;1200.0;1.000;0;5;10;1"));
  editor.FOptions->SetUnitMode(umIN);
  editor.FOptions->LengthFormatSettings.SmallTickInterval = 8;
  editor.FOptions->LengthFormatSettings.LargeTickInterval = 16;
  editor.display().FIsBlackBackgroundMode = false;
  EXPECT_EQ(gridCacheKey(editor, 900.5f, 700.0f, 1.25f), QStringLiteral("900.5;700.0;1.250;1;8;16;0"));
}

TEST_F(GridCacheTest, PanAndZoomShiftTheCacheUntilTheSettleTick) {
  view(10.0f, {37.5f, 3.5f});
  render();
  render();
  EXPECT_EQ(grid().RebuildCount, 1);
  EXPECT_EQ(grid().settleTimer(), nullptr);

  // A pan shows the same bitmap shifted, and starts the 140 ms settle timer.
  view(10.0f, {77.5f, 3.5f});
  QImage img = render();
  EXPECT_EQ(grid().RebuildCount, 1);
  EXPECT_NEAR(columnPeak(img, 77), 0.4 * 255, 4);
  ASSERT_NE(grid().settleTimer(), nullptr);
  EXPECT_TRUE(grid().settleTimer()->isActive());
  EXPECT_TRUE(grid().settleTimer()->isSingleShot());
  EXPECT_EQ(grid().settleTimer()->interval(), 140);

  const int refreshes = ui.canvasRefreshes;
  grid().settleTick();
  EXPECT_FALSE(grid().settleTimer()->isActive());
  EXPECT_TRUE(grid().FGridCacheKey.isEmpty());
  EXPECT_EQ(ui.canvasRefreshes, refreshes + 1);
  render();
  EXPECT_EQ(grid().RebuildCount, 2);
  EXPECT_FALSE(grid().settleTimer()->isActive());  // the view matches the fresh cache

  // Zooming in threefold shows the stretched cache until the settle tick.
  view(30.0f, {37.5f, 3.5f});
  render();
  EXPECT_EQ(grid().RebuildCount, 2);
  EXPECT_TRUE(grid().settleTimer()->isActive());
  grid().settleTick();
  render();
  EXPECT_EQ(grid().RebuildCount, 3);
  EXPECT_FLOAT_EQ(grid().FGridTick, 0.5f);
}

TEST_F(GridCacheTest, SettingsThatShapeTheGridRebuildItAtOnce) {
  view(10.0f, {0.0f, 0.0f});
  render();
  ASSERT_EQ(grid().RebuildCount, 1);
  struct Change {
    const char *name;
    std::function<void()> apply;
    int w, h;
  };
  const Change changes[] = {
      {"background", [&] { editor.display().FIsBlackBackgroundMode = false; }, 300, 120},
      {"size", [] {}, 310, 120},
      {"small tick", [&] { editor.FOptions->LengthFormatSettings.SmallTickInterval = 4; }, 310, 120},
      {"large tick", [&] { editor.FOptions->LengthFormatSettings.LargeTickInterval = 8; }, 310, 120},
      {"unit", [&] { editor.FOptions->UnitMode = umIN; }, 310, 120},
  };
  int expected = 1;
  for (const Change &c : changes) {
    SCOPED_TRACE(c.name);
    c.apply();
    render(c.w, c.h);
    EXPECT_EQ(grid().RebuildCount, ++expected);
    EXPECT_EQ(grid().settleTimer(), nullptr);
  }
}

TEST_F(GridCacheTest, CacheCoversThreeHundredPixelsBeyondEachEdgeAtTheBitmapScale) {
  view(10.0f, {0.0f, 0.0f});
  QImage img(200, 100, QImage::Format_ARGB32);
  img.setDevicePixelRatio(2.0);
  QPainter p(&img);
  grid().drawGrid(editor, p, 100.0f, 50.0f, 2.0f);
  p.end();
  EXPECT_EQ(grid().FGridCache.width(), 1400);
  EXPECT_EQ(grid().FGridCache.height(), 1300);
  EXPECT_DOUBLE_EQ(grid().FGridCache.devicePixelRatio(), 2.0);
  EXPECT_TRUE(grid().FGridCacheKey.startsWith(QStringLiteral("700.0;650.0;2.000;")));
}

}  // namespace
}  // namespace quillon
