// Stitching holes: batching (one shadow fill, one outline stroke and one dot fill per
// style however many holes), the holes that bypass the batch, the stitch-simulation look,
// printing holes as dots, the dot size over the zoom, and the hole colour of each scheme.
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "render/color_scheme.h"
#include "render/hole_batch.h"
#include "render/shape_painters.h"
#include "render/shape_stroke.h"
#include "shell/options.h"
#include "support/editor_fixture.h"

namespace quillon {
namespace {

// One drawing call as the canvas received it.
struct TRecordedCall {
  enum Kind { Path, Other } kind = Path;
  QPen pen;
  QBrush brush;
  qreal opacity = 1.0;
  QPainterPath path;

  bool strokes() const { return pen.style() != Qt::NoPen; }
  bool fills() const { return brush.style() != Qt::NoBrush; }
  QRgb penColor() const { return pen.color().rgba(); }
  QRgb brushColor() const { return brush.color().rgba(); }
};

// A paint engine that draws nothing and records every call with the painter's pen,
// brush and opacity at that moment.
class TRecordingEngine : public QPaintEngine {
 public:
  TRecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
  std::vector<TRecordedCall> calls;

  bool begin(QPaintDevice *) override { return true; }
  bool end() override { return true; }
  void updateState(const QPaintEngineState &) override {}
  Type type() const override { return QPaintEngine::User; }

  void drawPath(const QPainterPath &path) override { record(TRecordedCall::Path, path); }
  void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override { record(TRecordedCall::Other); }
  void drawPolygon(const QPointF *, int, PolygonDrawMode) override { record(TRecordedCall::Other); }
  void drawRects(const QRectF *, int) override { record(TRecordedCall::Other); }
  void drawLines(const QLineF *, int) override { record(TRecordedCall::Other); }
  void drawEllipse(const QRectF &) override { record(TRecordedCall::Other); }
  void drawPoints(const QPointF *, int) override { record(TRecordedCall::Other); }
  void drawTextItem(const QPointF &, const QTextItem &) override { record(TRecordedCall::Other); }

 private:
  void record(TRecordedCall::Kind kind, const QPainterPath &path = {}) {
    calls.push_back({kind, painter()->pen(), painter()->brush(), painter()->opacity(), path});
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

  std::vector<TRecordedCall> record() {
    TRecordingDevice device;
    {
      QPainter p(&device);
      paintHoles(p);
    }
    return device.engine.calls;
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

TEST_F(HoleBatchTest, AThousandHolesOfOneLineTypeCostOneStrokeAndOneFill) {
  addRow(1000);
  const auto calls = record();
  ASSERT_EQ(calls.size(), 2u);
  const TDrawPallet &holeType = *editor.FPalletList[kStitchingHolePalletIndex];

  // Outlines first: stroked in the hole line type's colour and dash, at full layer opacity.
  EXPECT_TRUE(calls[0].strokes());
  EXPECT_FALSE(calls[0].fills());
  EXPECT_EQ(calls[0].penColor(), holeType.Color());
  EXPECT_EQ(calls[0].pen.style(), Qt::DotLine);
  EXPECT_DOUBLE_EQ(calls[0].opacity, 1.0);
  EXPECT_EQ(ellipses(calls[0].path), 1000);

  // Then the dots: filled in the same colour at 0.6.
  EXPECT_FALSE(calls[1].strokes());
  EXPECT_TRUE(calls[1].fills());
  EXPECT_EQ(calls[1].brushColor(), holeType.Color());
  EXPECT_NEAR(calls[1].opacity, 0.6, 1e-6);
  EXPECT_EQ(ellipses(calls[1].path), 1000);
}

TEST_F(HoleBatchTest, TwoLineTypesInRunsGiveTwoCallsEach) {
  addRow(300, kStitchingHolePalletIndex);
  addRow(200, 10);  // line type #11, red
  const auto calls = record();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0].penColor(), editor.FPalletList[kStitchingHolePalletIndex]->Color());
  EXPECT_EQ(ellipses(calls[1].path), 300);
  EXPECT_EQ(calls[2].penColor(), 0xFFFF0000u);
  EXPECT_EQ(calls[3].brushColor(), 0xFFFF0000u);
  EXPECT_EQ(ellipses(calls[3].path), 200);
}

TEST_F(HoleBatchTest, AlternatingLineTypesFlushAtEveryChangeInListOrder) {
  std::vector<TQN_Path *> holes;
  for (int i = 0; i < 6; ++i) {
    TQN_Path *h = addHole({5.0f + 2.0f * float(i), 10.0f});
    h->FPalletIndex = i % 2 == 0 ? kStitchingHolePalletIndex : 10;
  }
  const auto calls = record();
  ASSERT_EQ(calls.size(), 12u);
  for (int i = 0; i < 6; ++i) {
    const QRgb expected = i % 2 == 0 ? editor.FPalletList[kStitchingHolePalletIndex]->Color() : 0xFFFF0000u;
    const TRecordedCall &outline = calls[2 * i], &dot = calls[2 * i + 1];
    EXPECT_EQ(outline.penColor(), expected) << i;
    EXPECT_EQ(ellipses(outline.path), 1) << i;
    // The dot of hole i sits at its own place: the holes keep their list order.
    EXPECT_NEAR(dot.path.boundingRect().center().x(), (5.0 + 2.0 * i) * 10.0, 1e-3) << i;
  }
}

TEST_F(HoleBatchTest, ASelectedHoleIsPaintedOnItsOwnOverTheHolesBeforeIt) {
  const auto holes = addRow(10);
  holes[4]->FSelected = true;
  const auto calls = record();

  // Holes 0..3 as one batch, hole 4 on its own with its square, holes 5..9 as a new batch.
  ASSERT_EQ(calls.size(), 7u);
  EXPECT_EQ(ellipses(calls[0].path), 4);
  EXPECT_EQ(ellipses(calls[1].path), 4);
  EXPECT_EQ(calls[2].penColor(), editor.FStrokeDefs.SelectionColor);  // its own line-type style
  EXPECT_EQ(ellipses(calls[2].path), 1);
  EXPECT_TRUE(calls[3].fills());
  EXPECT_NEAR(calls[3].path.boundingRect().center().x(), 130.0, 1e-3);

  // The square: centre +-3 px, white on the dark background, opacity 0.7.
  EXPECT_EQ(calls[4].penColor(), kWhite);
  EXPECT_NEAR(calls[4].opacity, 0.7, 1e-6);
  EXPECT_EQ(calls[4].path.boundingRect(), QRectF(127.0, 97.0, 6.0, 6.0));

  EXPECT_EQ(ellipses(calls[5].path), 5);
  EXPECT_EQ(ellipses(calls[6].path), 5);
}

TEST_F(HoleBatchTest, ASelectedGroupedHoleHasNoSquare) {
  const auto holes = addRow(1);
  holes[0]->FSelected = true;
  holes[0]->FGroupID = 7;
  const auto calls = record();
  ASSERT_EQ(calls.size(), 2u);  // outline and dot, no square
}

TEST_F(HoleBatchTest, APreviewHoleIsYellowTwoPixelsWideAndNotBatched) {
  addRow(3);
  auto *preview = new TQN_Path(kStitchingHolePalletIndex, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, -1);
  preview->drawDotPath({30.0f, 10.0f}, 0.5f);
  preview->FShapeType = QString::fromLatin1(shape_kind::Hole);
  preview->FStartPt = preview->FCenter = {30.0f, 10.0f};
  doc().add(preview, 0);
  state.LayerOpacity = 0.5f;  // ignored for a preview

  const auto calls = record();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(ellipses(calls[0].path), 3);  // the batch before it is flushed first
  EXPECT_EQ(calls[2].penColor(), kYellow);
  EXPECT_DOUBLE_EQ(calls[2].pen.widthF(), 2.0);
  EXPECT_EQ(calls[2].pen.style(), Qt::SolidLine);
  EXPECT_DOUBLE_EQ(calls[2].opacity, 1.0);
  EXPECT_NEAR(calls[3].path.boundingRect().center().x(), 300.0, 1e-3);
}

TEST_F(HoleBatchTest, StitchSimulationPaintsShadowsThenFaintOutlinesThenFaintDots) {
  editor.FOptions->ShowStitchPattern = true;
  addRow(50);
  const auto calls = record();
  ASSERT_EQ(calls.size(), 3u);

  EXPECT_FALSE(calls[0].strokes());  // shadows: black at 0.45
  EXPECT_EQ(calls[0].brushColor(), kBlack);
  EXPECT_NEAR(calls[0].opacity, 0.45, 1e-6);
  EXPECT_EQ(ellipses(calls[0].path), 50);

  EXPECT_EQ(calls[1].penColor(), kWhite);  // outlines: white at 0.12, solid
  EXPECT_EQ(calls[1].pen.style(), Qt::SolidLine);
  EXPECT_NEAR(calls[1].pen.widthF(), 1.0, 1e-6);  // 1 mm x 10 px/mm x 0.15, at most 1 px
  EXPECT_NEAR(calls[1].opacity, 0.12, 1e-6);
  EXPECT_FALSE(calls[1].fills());

  EXPECT_EQ(calls[2].brushColor(), kBlack);  // faint dots, 2 px at 10 px/mm
  EXPECT_NEAR(calls[2].opacity, 0.1, 1e-6);
  EXPECT_EQ(ellipses(calls[2].path), 50);
}

TEST_F(HoleBatchTest, SimulationOutlineThicknessFollowsTheHoleWidth) {
  editor.FOptions->ShowStitchPattern = true;
  const auto holes = addRow(1);
  holes[0]->FWidth = 0.4f;  // 0.4 mm x 10 px/mm x 0.15 = 0.6 px
  auto calls = record();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_NEAR(calls[1].pen.widthF(), 0.6, 1e-5);

  holes[0]->FWidth = 0.1f;  // 0.15 px, raised to 0.3
  calls = record();
  EXPECT_NEAR(calls[1].pen.widthF(), 0.3, 1e-6);

  holes[0]->FWidth = 2.0f;  // 3 px, clamped to 1
  calls = record();
  EXPECT_NEAR(calls[1].pen.widthF(), 1.0, 1e-6);
}

TEST_F(HoleBatchTest, ASelectedHoleKeepsItsLineTypeStyleInTheSimulation) {
  editor.FOptions->ShowStitchPattern = true;
  const auto holes = addRow(1);
  holes[0]->FSelected = true;
  const auto calls = record();
  // No shadow: the outline in the selection colour at layer opacity, then the dot and square.
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].penColor(), editor.FStrokeDefs.SelectionColor);
  EXPECT_DOUBLE_EQ(calls[0].opacity, 1.0);
}

TEST_F(HoleBatchTest, AnUnbatchableShadowedHoleFillsItsShadowAtOnce) {
  // A hole marked by the box-stitch command bypasses the batch but still casts a shadow.
  editor.FOptions->ShowStitchPattern = true;
  TQN_Path line(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, 99);
  const auto holes = addRow(1);
  holes[0]->FTemp_OnPath = &line;
  holes[0]->FTemp_vector = {1.0f, 0.0f};
  const auto calls = record();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0].brushColor(), kBlack);
  EXPECT_NEAR(calls[0].opacity, 0.45, 1e-6);
  EXPECT_NEAR(calls[1].opacity, 0.12, 1e-6);
  EXPECT_NEAR(calls[2].opacity, 0.1, 1e-6);

  // The tick: blue, 10 mm across the line (turned 90 degrees from its direction).
  EXPECT_EQ(calls[3].penColor(), kBlue);
  EXPECT_NEAR(calls[3].opacity, 0.7, 1e-6);
  const QRectF tick = calls[3].path.boundingRect();
  EXPECT_NEAR(tick.left(), 50.0, 1e-3);
  EXPECT_NEAR(tick.width(), 0.0, 1e-3);
  EXPECT_NEAR(tick.top(), 50.0, 1e-3);
  EXPECT_NEAR(tick.bottom(), 150.0, 1e-3);
}

TEST_F(HoleBatchTest, SelectNextHoleModeShowsNoSimulation) {
  editor.FOptions->ShowStitchPattern = true;
  state.SelectNextStitchingHoleMode = true;
  addRow(5);
  const auto calls = record();
  ASSERT_EQ(calls.size(), 2u);  // no shadows, line-type outlines, normal dots
  EXPECT_EQ(calls[0].penColor(), editor.FPalletList[kStitchingHolePalletIndex]->Color());
  EXPECT_NEAR(calls[1].opacity, 0.6, 1e-6);
}

TEST_F(HoleBatchTest, PrintingHolesAsDotsDrawsAHalfMillimetreCircleAndADot) {
  addRow(2);
  state.IsPrinting = true;
  state.PrintStitchingHoleAsDot = true;
  const auto calls = record();
  ASSERT_EQ(calls.size(), 4u);  // per hole: circle and dot, no outline
  for (int i = 0; i < 2; ++i) {
    const double cx = (5.0 + 2.0 * i) * 10.0;
    const TRecordedCall &circle = calls[2 * i], &dot = calls[2 * i + 1];
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
  const auto calls = record();
  EXPECT_EQ(calls.size(), 2u);
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
    editor.FScale = c.scale;
    editor.FOptions->ShowStitchPattern = c.simulation;
    const auto calls = record();
    ASSERT_FALSE(calls.empty());
    const QRectF dot = calls.back().path.boundingRect();
    EXPECT_NEAR(dot.width(), 2.0 * c.halfSize, 1e-4) << c.scale << " " << c.simulation;
    EXPECT_NEAR(dot.center().x(), 5.0 * c.scale, 1e-3) << c.scale;
  }
}

TEST_F(HoleBatchTest, ADraggedHoleIsPaintedAtItsLivePosition) {
  addRow(1);
  state.LiveStart = TPointF(80.0f, 120.0f);  // stored start (5, 10) mm is (50, 100) px
  const auto calls = record();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_NEAR(calls[0].path.boundingRect().center().x(), 80.0, 1e-3);
  EXPECT_NEAR(calls[0].path.boundingRect().center().y(), 120.0, 1e-3);
  EXPECT_NEAR(calls[1].path.boundingRect().center().x(), 80.0, 1e-3);
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
  EXPECT_EQ(device.engine.calls.size(), 2u);
  EXPECT_EQ(p.pen(), pen);
  EXPECT_EQ(p.brush().color(), QColor(9, 8, 7));
  EXPECT_DOUBLE_EQ(p.opacity(), 0.3);

  const THoleBatch &batch = holeBatch(editor);
  EXPECT_FALSE(batch.FHoleBatchValid);
  EXPECT_TRUE(batch.FHoleOutlines.isEmpty());
  EXPECT_TRUE(batch.FHoleDots.isEmpty());
  flushHoleBatch(editor, p);  // an empty batch paints nothing
  EXPECT_EQ(device.engine.calls.size(), 2u);
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
    EXPECT_EQ(device.engine.calls.size(), c.newBatch ? 2u : 0u) << c.what;
    flushHoleBatch(editor, p);
    const auto &calls = device.engine.calls;
    if (c.newBatch) {
      ASSERT_EQ(calls.size(), 4u) << c.what;
      EXPECT_EQ(calls[2].penColor(), c.stroke) << c.what;
      EXPECT_EQ(calls[3].brushColor(), c.fill) << c.what;
      EXPECT_NEAR(calls[3].opacity, c.dotOpacity, 1e-6) << c.what;
    } else {
      // One batch: the shadow of the second hole, both outlines, both dots.
      ASSERT_EQ(calls.size(), 3u) << c.what;
      EXPECT_EQ(ellipses(calls[0].path), 1) << c.what;
      EXPECT_EQ(ellipses(calls[1].path), 2) << c.what;
      EXPECT_EQ(ellipses(calls[2].path), 2) << c.what;
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
    EXPECT_EQ(editor.FColor_StitchingHole, c.dark ? 0xFFFFFFFFu : 0xFFD2691Eu);
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

}  // namespace
}  // namespace quillon
