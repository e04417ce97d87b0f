// Stitching holes: batching (the painter's state is set once for the shadows, once for the
// outlines and once for the dots of a style, however many holes), the holes that bypass
// the batch, the stitch-simulation look, printing holes as dots, the dot size over the
// zoom, and the holes' pixels: places, colours, overlaps and the order of batches.
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPicture>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "shell/color_scheme.h"
#include "render/hole_batch.h"
#include "render/shape_painters.h"
#include "render/shape_stroke.h"
#include "shell/options.h"
#include "support/editor_fixture.h"

namespace quillon {
namespace {

// The drawing calls the canvas received under one painter state: every call between two
// state changes. `path` holds what the calls drew (a drawn ellipse as an ellipse), so its
// subpaths count the holes whatever calls drew them.
struct TRecordedRun {
  QPen pen;
  QBrush brush;
  qreal opacity = 1.0;
  QPainterPath path;
  int calls = 0;

  bool strokes() const { return pen.style() != Qt::NoPen; }
  bool fills() const { return brush.style() != Qt::NoBrush; }
  QRgb penColor() const { return pen.color().rgba(); }
  QRgb brushColor() const { return brush.color().rgba(); }
};

// A paint engine that draws nothing and records every call with the painter's pen,
// brush and opacity at that moment, in runs: the painter hands the engine its state
// (updateState) only when the state changed since the last call.
class TRecordingEngine : public QPaintEngine {
 public:
  TRecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
  std::vector<TRecordedRun> runs;
  int stateChanges = 0;

  bool begin(QPaintDevice *) override { return true; }
  bool end() override { return true; }
  void updateState(const QPaintEngineState &) override {
    ++stateChanges;
    newRun_ = true;
  }
  Type type() const override { return QPaintEngine::User; }

  void drawPath(const QPainterPath &path) override { record().addPath(path); }
  void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override { record(); }
  void drawPolygon(const QPointF *points, int count, PolygonDrawMode) override {
    record().addPolygon(QPolygonF(QList<QPointF>(points, points + count)));
  }
  void drawRects(const QRectF *rects, int count) override {
    QPainterPath &path = record();
    for (int i = 0; i < count; ++i) path.addRect(rects[i]);
  }
  void drawLines(const QLineF *lines, int count) override {
    QPainterPath &path = record();
    for (int i = 0; i < count; ++i) {
      path.moveTo(lines[i].p1());
      path.lineTo(lines[i].p2());
    }
  }
  void drawEllipse(const QRectF &rect) override { record().addEllipse(rect); }
  void drawPoints(const QPointF *, int) override { record(); }
  void drawTextItem(const QPointF &, const QTextItem &) override { record(); }

 private:
  bool newRun_ = true;

  QPainterPath &record() {
    if (newRun_ || runs.empty()) {
      runs.push_back({painter()->pen(), painter()->brush(), painter()->opacity(), {}, 0});
      newRun_ = false;
    }
    ++runs.back().calls;
    return runs.back().path;
  }
};

class TRecordingDevice : public QPaintDevice {
 public:
  mutable TRecordingEngine engine;
  QPaintEngine *paintEngine() const override { return &engine; }

 protected:
  int metric(PaintDeviceMetric m) const override {
    switch (m) {
      case PdmWidth:
      case PdmHeight: return 4000;
      case PdmWidthMM:
      case PdmHeightMM: return 1000;
      case PdmNumColors: return 0x7fffffff;
      case PdmDepth: return 32;
      case PdmDpiX:
      case PdmDpiY:
      case PdmPhysicalDpiX:
      case PdmPhysicalDpiY: return 96;
      case PdmDevicePixelRatio: return 1;
      case PdmDevicePixelRatioScaled: return static_cast<int>(devicePixelRatioFScale());
      default: return QPaintDevice::metric(m);
    }
  }
};

constexpr QRgb kYellow = 0xFFFFFF00;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlue = 0xFF0000FF;

class HoleBatchTest : public test::EditorTest {
 protected:
  THolePaintState state;

  // Paints the document's holes as the shape pass does: the batch is emptied, every
  // shape gets its line type's stroke and is drawn, and the batch is flushed at the end.
  void paintHoles(QPainter &p) {
    resetHoleBatch(editor);
    for (TQN_Path *s : doc()) {
      applyShapeStroke(p, shapeStroke(editor, *s, nullptr));
      drawStitchingHole(editor, p, *s, state);
    }
    flushHoleBatch(editor, p);
  }

  // The runs of calls that painting the document's holes made.
  std::vector<TRecordedRun> record(int *stateChanges = nullptr) {
    TRecordingDevice device;
    {
      QPainter p(&device);
      paintHoles(p);
    }
    if (stateChanges) *stateChanges = device.engine.stateChanges;
    return device.engine.runs;
  }

  // The document's holes painted on an image of the background colour.
  QImage render(QRgb background, int width = 200, int height = 200) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(background);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    paintHoles(p);
    return image;
  }

  // A row of holes 2 mm apart along y = 10 mm.
  std::vector<TQN_Path *> addRow(int count, int pallet = kStitchingHolePalletIndex) {
    std::vector<TQN_Path *> holes;
    for (int i = 0; i < count; ++i) {
      TQN_Path *h = addHole({5.0f + 2.0f * float(i), 10.0f});
      h->FPalletIndex = pallet;
      holes.push_back(h);
    }
    return holes;
  }

  static int ellipses(const QPainterPath &path) {
    int moves = 0;
    for (int i = 0; i < path.elementCount(); ++i)
      if (path.elementAt(i).isMoveTo()) ++moves;
    return moves;
  }
};

TEST_F(HoleBatchTest, AThousandHolesOfOneLineTypeAreTwoRunsUnderOneStateEach) {
  addRow(10);
  int fewChanges = 0;
  record(&fewChanges);
  editor.doc().clear();
  addRow(1000);
  int manyChanges = 0;
  const auto runs = record(&manyChanges);
  // The painter's state changes as often for a thousand holes as for ten.
  EXPECT_EQ(manyChanges, fewChanges);
  ASSERT_EQ(runs.size(), 2u);
  const TDrawPallet &holeType = *editor.pen().FPalletList[kStitchingHolePalletIndex];

  // Outlines first: stroked in the hole line type's colour and dash, at full layer opacity.
  EXPECT_TRUE(runs[0].strokes());
  EXPECT_FALSE(runs[0].fills());
  EXPECT_EQ(runs[0].penColor(), holeType.Color());
  EXPECT_EQ(runs[0].pen.style(), Qt::DotLine);
  EXPECT_DOUBLE_EQ(runs[0].opacity, 1.0);
  EXPECT_EQ(ellipses(runs[0].path), 1000);
  EXPECT_EQ(runs[0].calls, 1000);  // holes 2 mm apart do not overlap: one call each

  // Then the dots: filled in the same colour at 0.6.
  EXPECT_FALSE(runs[1].strokes());
  EXPECT_TRUE(runs[1].fills());
  EXPECT_EQ(runs[1].brushColor(), holeType.Color());
  EXPECT_NEAR(runs[1].opacity, 0.6, 1e-6);
  EXPECT_EQ(ellipses(runs[1].path), 1000);
  EXPECT_EQ(runs[1].calls, 1000);
}

TEST_F(HoleBatchTest, TwoLineTypesInTurnGiveTwoRunsEach) {
  addRow(300, kStitchingHolePalletIndex);
  addRow(200, 10);  // line type #11, red
  const auto runs = record();
  ASSERT_EQ(runs.size(), 4u);
  EXPECT_EQ(runs[0].penColor(), editor.pen().FPalletList[kStitchingHolePalletIndex]->Color());
  EXPECT_EQ(ellipses(runs[1].path), 300);
  EXPECT_EQ(runs[2].penColor(), 0xFFFF0000u);
  EXPECT_EQ(runs[3].brushColor(), 0xFFFF0000u);
  EXPECT_EQ(ellipses(runs[3].path), 200);
}

TEST_F(HoleBatchTest, AlternatingLineTypesFlushAtEveryChangeInListOrder) {
  std::vector<TQN_Path *> holes;
  for (int i = 0; i < 6; ++i) {
    TQN_Path *h = addHole({5.0f + 2.0f * float(i), 10.0f});
    h->FPalletIndex = i % 2 == 0 ? kStitchingHolePalletIndex : 10;
  }
  const auto runs = record();
  ASSERT_EQ(runs.size(), 12u);
  for (int i = 0; i < 6; ++i) {
    const QRgb expected = i % 2 == 0 ? editor.pen().FPalletList[kStitchingHolePalletIndex]->Color() : 0xFFFF0000u;
    const TRecordedRun &outline = runs[2 * i], &dot = runs[2 * i + 1];
    EXPECT_EQ(outline.penColor(), expected) << i;
    EXPECT_EQ(ellipses(outline.path), 1) << i;
    // The dot of hole i sits at its own place: the holes keep their list order.
    EXPECT_NEAR(dot.path.boundingRect().center().x(), (5.0 + 2.0 * i) * 10.0, 1e-3) << i;
  }
}

TEST_F(HoleBatchTest, ASelectedHoleIsPaintedOnItsOwnOverTheHolesBeforeIt) {
  const auto holes = addRow(10);
  holes[4]->FSelected = true;
  const auto runs = record();

  // Holes 0..3 as one batch, hole 4 on its own with its square, holes 5..9 as a new batch.
  ASSERT_EQ(runs.size(), 7u);
  EXPECT_EQ(ellipses(runs[0].path), 4);
  EXPECT_EQ(ellipses(runs[1].path), 4);
  EXPECT_EQ(runs[2].penColor(), editor.display().FStrokeDefs.SelectionColor);  // its own line-type style
  EXPECT_EQ(ellipses(runs[2].path), 1);
  EXPECT_TRUE(runs[3].fills());
  EXPECT_NEAR(runs[3].path.boundingRect().center().x(), 130.0, 1e-3);

  // The square: centre +-3 px, white on the dark background, opacity 0.7.
  EXPECT_EQ(runs[4].penColor(), kWhite);
  EXPECT_NEAR(runs[4].opacity, 0.7, 1e-6);
  EXPECT_EQ(runs[4].path.boundingRect(), QRectF(127.0, 97.0, 6.0, 6.0));

  EXPECT_EQ(ellipses(runs[5].path), 5);
  EXPECT_EQ(ellipses(runs[6].path), 5);
}

TEST_F(HoleBatchTest, ASelectedGroupedHoleHasNoSquare) {
  const auto holes = addRow(1);
  holes[0]->FSelected = true;
  holes[0]->FGroupID = 7;
  const auto runs = record();
  ASSERT_EQ(runs.size(), 2u);  // outline and dot, no square
}

TEST_F(HoleBatchTest, APreviewHoleIsYellowTwoPixelsWideAndNotBatched) {
  addRow(3);
  auto preview = std::make_unique<TQN_Path>(kStitchingHolePalletIndex, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, -1);
  preview->drawDotPath({30.0f, 10.0f}, 0.5f);
  preview->FShapeType = TShapeKind::Hole;
  preview->FStartPt = preview->FCenter = {30.0f, 10.0f};
  editor.doc().add(std::move(preview), 0);
  state.LayerOpacity = 0.5f;  // ignored for a preview

  const auto runs = record();
  ASSERT_EQ(runs.size(), 4u);
  EXPECT_EQ(ellipses(runs[0].path), 3);  // the batch before it is flushed first
  EXPECT_EQ(runs[2].penColor(), kYellow);
  EXPECT_DOUBLE_EQ(runs[2].pen.widthF(), 2.0);
  EXPECT_EQ(runs[2].pen.style(), Qt::SolidLine);
  EXPECT_DOUBLE_EQ(runs[2].opacity, 1.0);
  EXPECT_NEAR(runs[3].path.boundingRect().center().x(), 300.0, 1e-3);
}

TEST_F(HoleBatchTest, StitchSimulationPaintsShadowsThenFaintOutlinesThenFaintDots) {
  editor.FOptions->ShowStitchPattern = true;
  addRow(50);
  const auto runs = record();
  ASSERT_EQ(runs.size(), 3u);

  EXPECT_FALSE(runs[0].strokes());  // shadows: black at 0.45
  EXPECT_EQ(runs[0].brushColor(), kBlack);
  EXPECT_NEAR(runs[0].opacity, 0.45, 1e-6);
  EXPECT_EQ(ellipses(runs[0].path), 50);

  EXPECT_EQ(runs[1].penColor(), kWhite);  // outlines: white at 0.12, solid
  EXPECT_EQ(runs[1].pen.style(), Qt::SolidLine);
  EXPECT_NEAR(runs[1].pen.widthF(), 1.0, 1e-6);  // 1 mm x 10 px/mm x 0.15, at most 1 px
  EXPECT_NEAR(runs[1].opacity, 0.12, 1e-6);
  EXPECT_FALSE(runs[1].fills());

  EXPECT_EQ(runs[2].brushColor(), kBlack);  // faint dots, 2 px at 10 px/mm
  EXPECT_NEAR(runs[2].opacity, 0.1, 1e-6);
  EXPECT_EQ(ellipses(runs[2].path), 50);
}

TEST_F(HoleBatchTest, SimulationOutlineThicknessFollowsTheHoleWidth) {
  editor.FOptions->ShowStitchPattern = true;
  const auto holes = addRow(1);
  holes[0]->FWidth = 0.4f;  // 0.4 mm x 10 px/mm x 0.15 = 0.6 px
  auto runs = record();
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_NEAR(runs[1].pen.widthF(), 0.6, 1e-5);

  holes[0]->FWidth = 0.1f;  // 0.15 px, raised to 0.3
  runs = record();
  EXPECT_NEAR(runs[1].pen.widthF(), 0.3, 1e-6);

  holes[0]->FWidth = 2.0f;  // 3 px, clamped to 1
  runs = record();
  EXPECT_NEAR(runs[1].pen.widthF(), 1.0, 1e-6);
}

TEST_F(HoleBatchTest, ASelectedHoleKeepsItsLineTypeStyleInTheSimulation) {
  editor.FOptions->ShowStitchPattern = true;
  const auto holes = addRow(1);
  holes[0]->FSelected = true;
  const auto runs = record();
  // No shadow: the outline in the selection colour at layer opacity, then the dot and square.
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].penColor(), editor.display().FStrokeDefs.SelectionColor);
  EXPECT_DOUBLE_EQ(runs[0].opacity, 1.0);
}

TEST_F(HoleBatchTest, AnUnbatchableShadowedHoleFillsItsShadowAtOnce) {
  // A hole marked by the box-stitch command bypasses the batch but still casts a shadow.
  editor.FOptions->ShowStitchPattern = true;
  TQN_Path line(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, 99);
  const auto holes = addRow(1);
  holes[0]->FTemp_OnPath = &line;
  holes[0]->FTemp_vector = {1.0f, 0.0f};
  const auto runs = record();
  ASSERT_EQ(runs.size(), 4u);
  EXPECT_EQ(runs[0].brushColor(), kBlack);
  EXPECT_NEAR(runs[0].opacity, 0.45, 1e-6);
  EXPECT_NEAR(runs[1].opacity, 0.12, 1e-6);
  EXPECT_NEAR(runs[2].opacity, 0.1, 1e-6);

  // The tick: blue, 10 mm across the line (turned 90 degrees from its direction).
  EXPECT_EQ(runs[3].penColor(), kBlue);
  EXPECT_NEAR(runs[3].opacity, 0.7, 1e-6);
  const QRectF tick = runs[3].path.boundingRect();
  EXPECT_NEAR(tick.left(), 50.0, 1e-3);
  EXPECT_NEAR(tick.width(), 0.0, 1e-3);
  EXPECT_NEAR(tick.top(), 50.0, 1e-3);
  EXPECT_NEAR(tick.bottom(), 150.0, 1e-3);
}

TEST_F(HoleBatchTest, SelectNextHoleModeShowsNoSimulation) {
  editor.FOptions->ShowStitchPattern = true;
  state.SelectNextStitchingHoleMode = true;
  addRow(5);
  const auto runs = record();
  ASSERT_EQ(runs.size(), 2u);  // no shadows, line-type outlines, normal dots
  EXPECT_EQ(runs[0].penColor(), editor.pen().FPalletList[kStitchingHolePalletIndex]->Color());
  EXPECT_NEAR(runs[1].opacity, 0.6, 1e-6);
}

TEST_F(HoleBatchTest, PrintingHolesAsDotsDrawsAHalfMillimetreCircleAndADot) {
  addRow(2);
  state.IsPrinting = true;
  state.PrintStitchingHoleAsDot = true;
  const auto runs = record();
  ASSERT_EQ(runs.size(), 4u);  // per hole: circle and dot, no outline
  for (int i = 0; i < 2; ++i) {
    const double cx = (5.0 + 2.0 * i) * 10.0;
    const TRecordedRun &circle = runs[2 * i], &dot = runs[2 * i + 1];
    EXPECT_TRUE(circle.strokes());
    EXPECT_FALSE(circle.fills());
    EXPECT_DOUBLE_EQ(circle.opacity, 1.0);
    EXPECT_NEAR(circle.path.boundingRect().width(), 5.0, 1e-3);  // 0.5 mm at 10 px/mm
    EXPECT_NEAR(circle.path.boundingRect().center().x(), cx, 1e-3);
    EXPECT_FALSE(dot.strokes());
    EXPECT_NEAR(dot.opacity, 0.6, 1e-6);
    EXPECT_NEAR(dot.path.boundingRect().width(), 6.0, 1e-3);
  }
}

TEST_F(HoleBatchTest, PrintingWithoutDotsBatchesAsOnScreen) {
  addRow(20);
  state.IsPrinting = true;
  const auto runs = record();
  EXPECT_EQ(runs.size(), 2u);
}

TEST_F(HoleBatchTest, DotsGrowWithTheLogarithmOfTheZoom) {
  struct Case {
    float scale;
    bool simulation;
    double halfSize;
  };
  const Case cases[] = {
      {1.0f, false, 2.0}, {10.0f, false, 3.0}, {100.0f, false, 4.0},
      {10.0f, true, 2.0}, {100.0f, true, 2.1},
  };
  addRow(1);
  for (const Case &c : cases) {
    editor.view().FScale = c.scale;
    editor.FOptions->ShowStitchPattern = c.simulation;
    const auto runs = record();
    ASSERT_FALSE(runs.empty());
    const QRectF dot = runs.back().path.boundingRect();
    EXPECT_NEAR(dot.width(), 2.0 * c.halfSize, 1e-4) << c.scale << " " << c.simulation;
    EXPECT_NEAR(dot.center().x(), 5.0 * c.scale, 1e-3) << c.scale;
  }
}

TEST_F(HoleBatchTest, ADraggedHoleIsPaintedAtItsLivePosition) {
  addRow(1);
  state.LiveStart = TPointF(80.0f, 120.0f);  // stored start (5, 10) mm is (50, 100) px
  const auto runs = record();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_NEAR(runs[0].path.boundingRect().center().x(), 80.0, 1e-3);
  EXPECT_NEAR(runs[0].path.boundingRect().center().y(), 120.0, 1e-3);
  EXPECT_NEAR(runs[1].path.boundingRect().center().x(), 80.0, 1e-3);
}

TEST_F(HoleBatchTest, FlushLeavesThePainterStyleAndAnEmptyBatch) {
  addRow(3);
  TRecordingDevice device;
  QPainter p(&device);
  resetHoleBatch(editor);
  for (TQN_Path *s : doc()) {
    applyShapeStroke(p, shapeStroke(editor, *s, nullptr));
    drawStitchingHole(editor, p, *s, state);
  }
  const QPen pen(QColor(1, 2, 3), 4.5, Qt::DashLine);
  p.setPen(pen);
  p.setBrush(QColor(9, 8, 7));
  p.setOpacity(0.3);
  EXPECT_TRUE(holeBatch(editor).FHoleBatchValid);
  flushHoleBatch(editor, p);
  EXPECT_EQ(device.engine.runs.size(), 2u);
  EXPECT_EQ(p.pen(), pen);
  EXPECT_EQ(p.brush().color(), QColor(9, 8, 7));
  EXPECT_DOUBLE_EQ(p.opacity(), 0.3);

  const THoleBatch &batch = holeBatch(editor);
  EXPECT_FALSE(batch.FHoleBatchValid);
  EXPECT_TRUE(batch.FHoleOutlines.empty());
  EXPECT_TRUE(batch.FHoleDots.empty());
  EXPECT_TRUE(batch.FHoleShadows.empty());
  flushHoleBatch(editor, p);  // an empty batch paints nothing
  EXPECT_EQ(device.engine.runs.size(), 2u);
}

// Every part of the style starts a new batch when it changes; casting a shadow does not.
TEST_F(HoleBatchTest, EachPartOfTheStyleStartsANewBatch) {
  struct Case {
    const char *what;
    QRgb stroke;
    float thickness;
    TStrokeDash dash;
    QRgb fill;
    float strokeOpacity, dotOpacity;
    bool shadow;
    bool newBatch;
  };
  const Case cases[] = {
      {"same style, with a shadow", 0xFFFFFFFF, 1.0f, TStrokeDash::Dot, 0xFF00FF00, 1.0f, 0.6f, true, false},
      {"stroke colour", 0xFFFF0000, 1.0f, TStrokeDash::Dot, 0xFF00FF00, 1.0f, 0.6f, false, true},
      {"thickness", 0xFFFFFFFF, 1.5f, TStrokeDash::Dot, 0xFF00FF00, 1.0f, 0.6f, false, true},
      {"dash", 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, 0xFF00FF00, 1.0f, 0.6f, false, true},
      {"fill colour", 0xFFFFFFFF, 1.0f, TStrokeDash::Dot, 0xFF0000FF, 1.0f, 0.6f, false, true},
      {"outline opacity", 0xFFFFFFFF, 1.0f, TStrokeDash::Dot, 0xFF00FF00, 0.5f, 0.6f, false, true},
      {"dot opacity", 0xFFFFFFFF, 1.0f, TStrokeDash::Dot, 0xFF00FF00, 1.0f, 0.1f, false, true},
  };
  QPainterPath outline;
  outline.addEllipse(QRectF(0, 0, 10, 10));
  const QRectF dot(3, 3, 4, 4);
  for (const Case &c : cases) {
    TRecordingDevice device;
    QPainter p(&device);
    resetHoleBatch(editor);
    setCanvasStroke(p, 0xFFFFFFFF, 1.0f, TStrokeDash::Dot);
    p.setBrush(QColor::fromRgba(0xFF00FF00));
    addHoleToBatch(editor, p, outline, dot, 1.0f, 0.6f, false);

    setCanvasStroke(p, c.stroke, c.thickness, c.dash);
    p.setBrush(QColor::fromRgba(c.fill));
    addHoleToBatch(editor, p, outline, dot, c.strokeOpacity, c.dotOpacity, c.shadow);
    EXPECT_EQ(device.engine.runs.size(), c.newBatch ? 2u : 0u) << c.what;
    flushHoleBatch(editor, p);
    const auto &runs = device.engine.runs;
    if (c.newBatch) {
      ASSERT_EQ(runs.size(), 4u) << c.what;
      EXPECT_EQ(runs[2].penColor(), c.stroke) << c.what;
      EXPECT_EQ(runs[3].brushColor(), c.fill) << c.what;
      EXPECT_NEAR(runs[3].opacity, c.dotOpacity, 1e-6) << c.what;
    } else {
      // One batch: the shadow of the second hole, both outlines, both dots; the two holes
      // lie on each other, so each pair is one path.
      ASSERT_EQ(runs.size(), 3u) << c.what;
      EXPECT_EQ(ellipses(runs[0].path), 1) << c.what;
      EXPECT_EQ(ellipses(runs[1].path), 2) << c.what;
      EXPECT_EQ(ellipses(runs[2].path), 2) << c.what;
      EXPECT_EQ(runs[1].calls, 1) << c.what;
      EXPECT_EQ(runs[2].calls, 1) << c.what;
    }
  }
}

// The hole colour of line type #37 in each scheme, on a real image: the dot at the hole's
// centre is that colour at 0.6 over the background.
TEST_F(HoleBatchTest, HoleColourFollowsTheScheme) {
  struct Case {
    bool dark;
    QRgb background;
    QColor expected;
  };
  const Case cases[] = {
      {true, kBlack, QColor(153, 153, 153)},     // white at 0.6 over black
      {false, kWhite, QColor(228, 165, 120)},  // 0xD2691E at 0.6 over white
  };
  addRow(1);
  for (const Case &c : cases) {
    setGridBackground(editor, c.dark);
    EXPECT_EQ(editor.display().FColor_StitchingHole, c.dark ? 0xFFFFFFFFu : 0xFFD2691Eu);
    QImage image(120, 120, QImage::Format_ARGB32);
    image.fill(c.background);
    {
      QPainter p(&image);
      paintHoles(p);
    }
    const QColor got = image.pixelColor(50, 100);
    EXPECT_NEAR(got.red(), c.expected.red(), 2) << c.dark;
    EXPECT_NEAR(got.green(), c.expected.green(), 2) << c.dark;
    EXPECT_NEAR(got.blue(), c.expected.blue(), 2) << c.dark;
    EXPECT_EQ(image.pixel(50, 90), c.background) << c.dark;  // 1 mm above: beyond the hole
  }
}

// Holes on a real image, on the dark scheme (hole line type white, #11 red): each dot at
// its hole's centre in its line type's colour at 0.6, each outline (a dotted circle of
// 0.5 mm, 5 px) in that colour, and nothing between the holes.
TEST_F(HoleBatchTest, HolesArePaintedAtTheirPlacesInTheirColours) {
  const auto holes = addRow(3);  // centres at x = 50, 70, 90 px, y = 100 px
  holes[1]->FPalletIndex = 10;
  const QImage image = render(kBlack);

  struct Hole {
    int x;
    QColor dot;
    bool red;
  };
  const Hole cases[] = {
      {50, QColor(153, 153, 153), false}, {70, QColor(153, 0, 0), true}, {90, QColor(153, 153, 153), false}};
  for (const Hole &h : cases) {
    const QColor dot = image.pixelColor(h.x, 100);
    EXPECT_NEAR(dot.red(), h.dot.red(), 2) << h.x;
    EXPECT_NEAR(dot.green(), h.dot.green(), 2) << h.x;
    EXPECT_NEAR(dot.blue(), h.dot.blue(), 2) << h.x;

    // The outline: pixels 4.5 to 5.5 px from the centre, some lit (the pen is dotted),
    // all in the line type's colour.
    int lit = 0;
    for (int y = 94; y <= 106; ++y)
      for (int x = h.x - 6; x <= h.x + 6; ++x) {
        const double d = std::hypot(x + 0.5 - h.x, y + 0.5 - 100.0);
        const QColor c = image.pixelColor(x, y);
        if (d < 4.5 || d > 5.5 || c.red() == 0) continue;
        ++lit;
        if (h.red)
          EXPECT_EQ(c.green(), 0) << x << "," << y;
        else
          EXPECT_EQ(c.green(), c.red()) << x << "," << y;
      }
    EXPECT_GE(lit, 8) << h.x;
  }
  for (int x : {60, 80, 100, 110}) EXPECT_EQ(image.pixel(x, 100), kBlack) << x;  // between and beyond
  EXPECT_EQ(image.pixel(70, 90), kBlack);                                     // 1 mm above
}

// Where two dots overlap, a dot of the same batch covers the shared pixel once, as one
// shape; a dot of a later batch (another line type) lies over the earlier one.
TEST_F(HoleBatchTest, OverlappingDotsCoverASharedPixelOnceWithinABatch) {
  struct Case {
    const char *what;
    int secondPallet;
    QColor shared;
  };
  const Case cases[] = {
      // white at 0.6 over black, once (twice would be 214)
      {"same line type", kStitchingHolePalletIndex, QColor(153, 153, 153)},
      // red at 0.6 over the white dot: 255 x 0.6 + 153 x 0.4 red, 153 x 0.4 green and blue
      {"later line type", 10, QColor(214, 61, 61)},
  };
  for (const Case &c : cases) {
    editor.doc().clear();
    addHole({5.0f, 10.0f});                                      // dot of radius 3 px at (50, 100)
    addHole({5.2f, 10.0f})->FPalletIndex = c.secondPallet;       // dot at (52, 100)
    const QImage image = render(kBlack);
    const QColor got = image.pixelColor(50, 99);  // inside both dots
    EXPECT_NEAR(got.red(), c.shared.red(), 2) << c.what;
    EXPECT_NEAR(got.green(), c.shared.green(), 2) << c.what;
    EXPECT_NEAR(got.blue(), c.shared.blue(), 2) << c.what;
  }
}

// The shadows of the stitch simulation overlap the same way: black at 0.45 once over white
// where two holes' outlines overlap (twice would be 77).
TEST_F(HoleBatchTest, OverlappingShadowsDarkenASharedPixelOnce) {
  editor.FOptions->ShowStitchPattern = true;
  setGridBackground(editor, false);
  addHole({5.0f, 10.0f});  // outlines of radius 5 px at (50, 100) and (54, 100)
  addHole({5.4f, 10.0f});
  const QImage image = render(kWhite);
  // Inside both outlines, clear of both dots (radius 2 px) and of the outline strokes.
  const QColor shared = image.pixelColor(52, 102);
  EXPECT_NEAR(shared.red(), 140, 2);
  EXPECT_NEAR(shared.green(), 140, 2);
  EXPECT_NEAR(shared.blue(), 140, 2);
  const QColor single = image.pixelColor(47, 102);  // inside the first outline only
  EXPECT_NEAR(single.red(), 140, 2);
}

// On an image, each list of holes is gathered into one coverage mask laid over the image
// once. Against the combined paths (what a device other than an image still gets:
// recorded in a picture, then replayed on an image), the frame may only differ in the
// antialiasing of edges (where overlapping holes meet, and along one-pixel outlines, which
// the painter spreads its own way): every pixel within kEdgeTolerance per channel (half
// that where no holes overlap), and the mean difference over the painted pixels below
// kMeanTolerance.
TEST_F(HoleBatchTest, CompositedOverlapsLookLikeCombinedPaths) {
  constexpr int kEdgeTolerance = 64;
  constexpr double kMeanTolerance = 8.0;
  struct Case {
    const char *what;
    float scale;      // pixels per millimetre
    bool simulation;  // stitch simulation: shadows and faint outlines
    float layerOpacity;
    float top;  // millimetres at the top of the image
    bool overlaps;
  };
  const Case cases[] = {
      {"view all, dots and outlines overlap", 1.2f, false, 1.0f, -4.0f, true},
      {"view all, another layer", 1.2f, false, 0.5f, -4.0f, true},
      {"view all, stitch simulation", 1.6f, true, 1.0f, -3.0f, true},
      {"close up, nothing overlaps", 20.0f, false, 0.5f, 10.0f, false},
      {"close up, stitch simulation", 20.0f, true, 1.0f, 10.0f, false},
  };
  // Rows of holes 4 mm apart in two line types, as a pricking iron lays them along pieces,
  // and a few holes laid nearly on each other near the top.
  for (int row = 0; row < 12; ++row)
    for (int i = 0; i < 30; ++i) {
      TQN_Path *h = addHole({3.0f + 4.0f * float(i) + 0.5f * float(row % 2), 3.0f + 3.0f * float(row)});
      if (row % 3 == 2) h->FPalletIndex = 10;
    }
  for (int i = 0; i < 5; ++i) addHole({3.0f + 8.0f * float(i), 3.3f});

  for (const Case &c : cases) {
    editor.view().FScale = c.scale;
    editor.view().FOffset = {5.0f, -c.top * c.scale};
    editor.FOptions->ShowStitchPattern = c.simulation;
    state.LayerOpacity = c.layerOpacity;
    const int w = c.scale > 10.0f ? 400 : 200, h = w;

    const QImage composited = render(kBlack, w, h);
    QPicture picture;
    {
      QPainter p(&picture);
      p.setRenderHint(QPainter::Antialiasing);
      paintHoles(p);
    }
    QImage combined(w, h, QImage::Format_ARGB32);
    combined.fill(kBlack);
    {
      QPainter p(&combined);
      picture.play(&p);
    }

    int painted = 0, worst = 0;
    long long total = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const QRgb a = composited.pixel(x, y), b = combined.pixel(x, y);
        if (a != kBlack || b != kBlack) ++painted;
        const int d = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                std::abs(qBlue(a) - qBlue(b))});
        worst = std::max(worst, d);
        total += d;
      }
    EXPECT_GT(painted, 1000) << c.what;
    const double mean = double(total) / painted;
    EXPECT_LE(worst, c.overlaps ? kEdgeTolerance : kEdgeTolerance / 2) << c.what;
    EXPECT_LT(mean, kMeanTolerance) << c.what;
  }
}

}  // namespace
}  // namespace quillon
