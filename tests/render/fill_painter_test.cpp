// Free outlines ("OTHER"): a closed outline is filled in its line type's colour at its
// own opacity and shows no outline until selected; an open one is only stroked; a
// selected one shows round corner marks and a dotted frame in the handle colour.
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <memory>

#include "shell/color_scheme.h"
#include "render/fill_painter.h"
#include "render/shape_stroke.h"
#include "shell/view_transform.h"
#include "support/editor_fixture.h"

namespace quillon {
namespace {

constexpr QRgb kBlack = 0xFF000000;

class FillPainterTest : public test::EditorTest {
 protected:
  TFillPaintState state;
  QImage image{120, 120, QImage::Format_ARGB32};

  // A square outline from (2, 2) to (8, 8) mm, line type #01 (cyan on the dark
  // background): 20..80 px at 10 px/mm.
  TQN_Path *addSquare(bool closed) {
    auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
    TPathData d;
    d.MoveTo({2.0f, 2.0f});
    d.LineTo({8.0f, 2.0f});
    d.LineTo({8.0f, 8.0f});
    d.LineTo({2.0f, 8.0f});
    if (closed) d.ClosePath();
    s->setData(d);
    s->FShapeType = TShapeKind::Other;
    s->FStartPt = {2.0f, 2.0f};
    s->FEndPt = {8.0f, 8.0f};
    return editor.doc().add(std::move(s), 0);
  }

  // Paints the shape as the shape pass does: its stroke, then the painter with a pixel copy.
  void paint(TQN_Path &shape, QRgb background = kBlack) {
    image.fill(background);
    QPainter p(&image);
    applyShapeStroke(p, shapeStroke(editor, shape, nullptr));
    std::unique_ptr<TQN_Path> copy(shape.createCopy());
    pathToVirtual(editor.view(), *copy, editor.view().FOffset);
    drawFilledShape(editor, p, *copy, state);
  }

  // True when some pixel within 1 px of (x, y) has the colour.
  bool near(int x, int y, QRgb color) const {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (image.pixel(x + dx, y + dy) == color) return true;
    return false;
  }
  void expectColor(int x, int y, QColor expected, const char *what) const {
    const QColor got = image.pixelColor(x, y);
    EXPECT_NEAR(got.red(), expected.red(), 2) << what;
    EXPECT_NEAR(got.green(), expected.green(), 2) << what;
    EXPECT_NEAR(got.blue(), expected.blue(), 2) << what;
  }
};

TEST_F(FillPainterTest, AClosedOutlineIsFilledAtItsOpacityWithoutAnOutline) {
  struct Case {
    float opacity;
    int channel;  // cyan at that opacity over black
  };
  const Case cases[] = {{0.5f, 128}, {0.25f, 64}, {1.0f, 255}};
  TQN_Path *s = addSquare(true);
  for (const Case &c : cases) {
    s->FOpacity = c.opacity;
    paint(*s);
    expectColor(50, 50, QColor(0, c.channel, c.channel), "inside");
    expectColor(25, 75, QColor(0, c.channel, c.channel), "inside near a corner");
    EXPECT_EQ(image.pixel(10, 50), kBlack) << "outside";
    EXPECT_EQ(image.pixel(90, 50), kBlack) << "outside";
    EXPECT_EQ(image.pixel(18, 50), kBlack) << "no outline left of the edge";
    EXPECT_EQ(image.pixel(50, 18), kBlack) << "no outline above the edge";
  }
}

TEST_F(FillPainterTest, AnOpenOutlineIsOnlyStroked) {
  TQN_Path *s = addSquare(false);
  for (bool fillOn : {true, false}) {
    state.FillOn = fillOn;
    paint(*s);
    EXPECT_EQ(image.pixel(50, 50), kBlack) << fillOn;
    EXPECT_TRUE(near(50, 20, 0xFF00FFFF)) << "the top edge in the line type's colour";
    EXPECT_TRUE(near(80, 50, 0xFF00FFFF)) << "the right edge";
    EXPECT_EQ(image.pixel(20, 50), kBlack) << "an open outline is not closed";
  }
}

TEST_F(FillPainterTest, FillsOffLeaveTheOutlineOnly) {
  TQN_Path *s = addSquare(true);
  state.FillOn = false;
  paint(*s);
  EXPECT_EQ(image.pixel(50, 50), kBlack);
  EXPECT_TRUE(near(80, 50, 0xFF00FFFF)) << "the closing right edge is stroked too";
}

TEST_F(FillPainterTest, TheOutlineIsDrawnAtLayerOpacity) {
  TQN_Path *s = addSquare(false);
  state.LayerOpacity = 0.5f;
  paint(*s);
  // The line is 1.5 px wide here; find the pixel most covered along the top edge.
  int best = 0;
  for (int y = 18; y <= 22; ++y) best = std::max(best, image.pixelColor(50, y).green());
  EXPECT_NEAR(best, 128, 2);
}

TEST_F(FillPainterTest, ASelectedShapeShowsItsOutlineAndHandlesInTheHandleColour) {
  setGridBackground(editor, false);  // handle colour 0xFF666666 on the light scheme
  const QRgb background = 0xFFF8F8F8, handle = editor.display().FHandleColor;
  TQN_Path *s = addSquare(true);
  s->FSelected = true;
  paint(*s, background);

  // The fill stays, and the outline shows in the selection colour.
  EXPECT_NE(image.pixel(50, 50), background);
  EXPECT_TRUE(near(50, 20, editor.display().FStrokeDefs.SelectionColor));
  // Round marks of radius 3 px at the four corners: their far sides lie outside the shape.
  EXPECT_TRUE(near(17, 20, handle)) << "top-left mark";
  EXPECT_TRUE(near(83, 20, handle)) << "top-right mark";
  EXPECT_TRUE(near(83, 80, handle)) << "bottom-right mark";
  EXPECT_TRUE(near(20, 83, handle)) << "bottom-left mark";
  EXPECT_EQ(image.pixel(13, 20), background) << "nothing beyond the mark";
  EXPECT_EQ(image.pixel(20, 13), background);
}

TEST_F(FillPainterTest, SelectedOutlineIsHalfAsThickAgain) {
  TQN_Path *s = addSquare(false);
  auto countOnEdge = [&](bool selected) {
    s->FSelected = selected;
    paint(*s);
    int n = 0;
    for (int y = 14; y <= 26; ++y)
      if (image.pixel(50, y) != kBlack) ++n;
    return n;
  };
  s->FThickness = 4.0f;  // 4 - 0.5 + 0.5 = 4 px on screen at 10 px/mm
  EXPECT_EQ(countOnEdge(false), 4);
  EXPECT_EQ(countOnEdge(true), 6);
}

TEST_F(FillPainterTest, NoHandlesForGroupedShapesOrOnPaper) {
  struct Case {
    int group;
    bool printing;
    bool previewing;
  };
  const Case cases[] = {{3, false, false}, {0, true, false}, {0, false, true}};
  TQN_Path *s = addSquare(true);
  s->FSelected = true;
  for (const Case &c : cases) {
    s->FGroupID = c.group;
    state.IsPrinting = c.printing;
    state.IsPrintPreviewing = c.previewing;
    paint(*s);
    EXPECT_EQ(image.pixel(17, 20), kBlack) << c.group << c.printing << c.previewing;
    EXPECT_EQ(image.pixel(83, 80), kBlack) << c.group << c.printing << c.previewing;
  }
}

TEST_F(FillPainterTest, HandlesFollowTheLiveCornersWhileDragged) {
  TQN_Path *s = addSquare(true);
  s->FSelected = true;
  state.LiveEnd = TPointF(100.0f, 100.0f);
  paint(*s);
  EXPECT_TRUE(near(103, 100, editor.display().FHandleColor)) << "mark at the dragged corner";
  EXPECT_EQ(image.pixel(83, 80), kBlack) << "none at the stored corner";
}

}  // namespace
}  // namespace quillon
