// Line types: the built-in 40, the "Default" reset, the current line type, the line type
// of a shape, and the stroke of one shape on screen and on a page.
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <memory>

#include "model/shape.h"
#include "model/draw_pallet.h"
#include "render/shape_stroke.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"

namespace quillon {
namespace {

constexpr TStrokeDash Solid = TStrokeDash::Solid;
constexpr TStrokeDash Dash = TStrokeDash::Dash;
constexpr TStrokeDash Dot = TStrokeDash::Dot;
constexpr TStrokeDash DashDot = TStrokeDash::DashDot;
constexpr TStrokeDash DashDotDot = TStrokeDash::DashDotDot;

struct ExpectedPallet {
  const char *hint;
  float thickness;
  TAlphaColor dark;
  TAlphaColor light;
  TStrokeDash dashAtCreation;
  bool resetSetsDash;
};

// The built-in line types as the user sees them in the palette bar.
const ExpectedPallet kExpected[40] = {
    {"#01", 1.5f, 0xFF00FFFF, 0xFF00008B, Solid, false},
    {"#02", 1.5f, 0xFF00FF00, 0xFF006400, Solid, false},
    {"#03", 1.2f, 0xFFFFFFFF, 0xFF000000, Solid, false},
    {"#04", 1.1f, 0xFFFFFF00, 0xFFBDB76B, Dash, true},
    {"#05", 1.5f, 0xFFEE82EE, 0xFF9400D3, Dot, true},
    {"#06", 1.8f, 0xFF808080, 0xFFA9A9A9, DashDot, true},
    {"#07", 1.8f, 0xFF808080, 0xFFA9A9A9, DashDotDot, true},
    {"#08", 1.5f, 0xFFFFA500, 0xFFFF8C00, Solid, false},
    {"#09", 1.8f, 0xFFA52A2A, 0xFFE9967A, Dash, true},
    {"#10", 1.5f, 0xFFFFC0CB, 0xFF8B008B, Dash, true},
    {"#11", 1.5f, 0xFFFF0000, 0xFFFF0000, Solid, false},
    {"#12", 1.5f, 0xFF000077, 0xFF000077, Solid, false},
    {"#13", 1.5f, 0xFF0000BB, 0xFF0000BB, Solid, false},
    {"#14", 1.5f, 0xFF0000FF, 0xFF0000FF, Solid, false},
    {"#15", 1.5f, 0xFF007700, 0xFF007700, Solid, false},
    {"#16", 1.5f, 0xFF0077BB, 0xFF0077BB, Solid, false},
    {"#17", 1.5f, 0xFF00BB00, 0xFF00BB00, Solid, false},
    {"#18", 1.5f, 0xFF00BB77, 0xFF00BB77, Solid, false},
    {"#19", 1.5f, 0xFF00BBBB, 0xFF00BBBB, Solid, false},
    {"#20", 1.5f, 0xFF770000, 0xFF770000, Solid, false},
    {"#21", 1.5f, 0xFF770077, 0xFF770077, Solid, false},
    {"#22", 1.5f, 0xFF7700BB, 0xFF7700BB, Solid, false},
    {"#23", 1.5f, 0xFF777700, 0xFF777700, Solid, false},
    {"#24", 1.5f, 0xFF777777, 0xFF777777, Solid, false},
    {"#25", 1.5f, 0xFF7777BB, 0xFF7777BB, Solid, false},
    {"#26", 1.5f, 0xFF77BB00, 0xFF77BB00, Solid, false},
    {"#27", 1.5f, 0xFF77BB77, 0xFF77BB77, Solid, false},
    {"#28", 1.5f, 0xFF77BBBB, 0xFF77BBBB, Solid, false},
    {"#29", 1.5f, 0xFFBB0000, 0xFFBB0000, Solid, false},
    {"#30", 1.5f, 0xFFBB0077, 0xFFBB0077, Solid, false},
    {"#31", 1.5f, 0xFFBB00BB, 0xFFBB00BB, Solid, false},
    {"#32", 1.5f, 0xFFBB7700, 0xFFBB7700, Solid, false},
    {"#33", 1.5f, 0xFFBB7777, 0xFFBB7777, Solid, false},
    {"#34", 1.5f, 0xFFBB77BB, 0xFFBB77BB, Solid, false},
    {"#35", 1.5f, 0xFFBBBB77, 0xFFBBBB77, Solid, false},
    {"#36", 1.5f, 0xFFBBBBBB, 0xFFBBBBBB, Solid, false},
    {"#37 Stitching Hole", 1.0f, 0xFFFFFFFF, 0xFFD2691E, Dot, true},
    {"#38 Boundary", 1.5f, 0xFFEE82EE, 0xFFEE82EE, Dash, true},
    {"#39 Scale", 2.0f, 0xFFFFFFFF, 0xFF000000, Solid, true},
    {"#40 Offset Preview", 1.5f, 0xFFFF00FF, 0xFFFF40FF, Solid, true},
};

// An editor whose line types are freshly created from the built-in table (whatever the
// start-up made of them).
class PalletFixture : public ::testing::Test {
 protected:
  PalletFixture() {
    editor.pen().FPalletList.clear();
    setDefaultPalettes(editor.pen(), true);
  }
  TDrawPallet &pallet(int index) { return *editor.pen().FPalletList.at(index); }
  void setBackground(bool black) {
    for (auto &p : editor.pen().FPalletList) p->FIsBlackBackgroundMode = black;
  }
  std::unique_ptr<TQN_Path> shape(int palletIndex, TAlphaColor color, float thickness, TStrokeDash dash) {
    return std::make_unique<TQN_Path>(palletIndex, color, thickness, dash, 1);
  }

  TSilentEditorUi ui;
  TEditor editor{ui, {"--instance-id", "1"}};
};

using DrawPalletTest = PalletFixture;

TEST(DrawPallet, CreateColorAndCopy) {
  TDrawPallet p;
  EXPECT_FLOAT_EQ(p.FThickness, 2.0f);
  EXPECT_EQ(p.FDash, Solid);
  EXPECT_FALSE(p.FIsSelected);
  EXPECT_FALSE(p.FIgnoreInPrinting);
  EXPECT_TRUE(p.FIsVisible);
  EXPECT_TRUE(p.FIsBlackBackgroundMode);
  EXPECT_EQ(p.Color(), 0xFFFFFFFFu);

  // Writing Color changes only the colour of the current background.
  p.FIsBlackBackgroundMode = false;
  EXPECT_EQ(p.Color(), 0xFF000000u);
  p.setColor(0xFF123456);
  EXPECT_EQ(p.FColor_WhiteMode, 0xFF123456u);
  EXPECT_EQ(p.FColor_BlackMode, 0xFFFFFFFFu);

  TDrawPallet src;
  src.FThickness = 0.7f;
  src.FDash = DashDotDot;
  src.FIsSelected = true;
  src.FIgnoreInPrinting = true;
  src.FIsVisible = false;
  src.FIsBlackBackgroundMode = false;
  src.FColor_BlackMode = 0xFF010203;
  src.FColor_WhiteMode = 0xFF040506;
  TDrawPallet copy;
  copy.copyFrom(src);
  EXPECT_FLOAT_EQ(copy.FThickness, 0.7f);
  EXPECT_EQ(copy.FDash, DashDotDot);
  EXPECT_TRUE(copy.FIsSelected);
  EXPECT_TRUE(copy.FIgnoreInPrinting);
  EXPECT_FALSE(copy.FIsVisible);
  EXPECT_FALSE(copy.FIsBlackBackgroundMode);
  EXPECT_EQ(copy.FColor_BlackMode, 0xFF010203u);
  EXPECT_EQ(copy.FColor_WhiteMode, 0xFF040506u);
}

TEST_F(DrawPalletTest, DefaultsOfAllFortyLineTypes) {
  ASSERT_EQ(editor.pen().FPalletList.size(), 40u);
  for (int i = 0; i < 40; ++i) {
    SCOPED_TRACE(kExpected[i].hint);
    const TDrawPallet &p = pallet(i);
    EXPECT_EQ(palletHint(i), QString::fromLatin1(kExpected[i].hint));
    EXPECT_FLOAT_EQ(p.FThickness, kExpected[i].thickness);
    EXPECT_EQ(p.FColor_BlackMode, kExpected[i].dark);
    EXPECT_EQ(p.FColor_WhiteMode, kExpected[i].light);
    EXPECT_EQ(p.FDash, kExpected[i].dashAtCreation);
    EXPECT_EQ(p.FIsSelected, i == 0);
    EXPECT_TRUE(p.FIsVisible);
    EXPECT_FALSE(p.FIgnoreInPrinting);
    EXPECT_TRUE(p.FIsBlackBackgroundMode);
  }
  EXPECT_TRUE(palletHint(-1).isEmpty());
  EXPECT_TRUE(palletHint(40).isEmpty());
}

TEST(DrawPallet, StartUpPenIsLineTypeOne) {
  TSilentEditorUi ui;
  TEditor fresh(ui, {"--instance-id", "1"});
  ASSERT_EQ(fresh.pen().FPalletList.size(), 40u);
  EXPECT_EQ(getCurrentPaletteIndex(fresh.pen()), 0);
  EXPECT_EQ(fresh.pen().FCurrentColor, 0xFF00FFFFu);
  EXPECT_FLOAT_EQ(fresh.pen().FCurrentThickness, 1.5f);
  EXPECT_EQ(fresh.pen().FCurrentDash, Solid);
}

TEST_F(DrawPalletTest, DefaultResetKeepsUserDashOnlyWhereTheTableHasNone) {
  for (int i = 0; i < 40; ++i) {
    TDrawPallet &p = pallet(i);
    p.FColor_BlackMode = 0xFF010101;
    p.FColor_WhiteMode = 0xFF020202;
    p.FThickness = 9.0f;
    p.FDash = DashDot;
  }
  pallet(10).FDash = Dot;  // the user made #11 dotted
  pallet(0).FIsSelected = false;
  pallet(7).FIsSelected = true;
  pallet(3).FIgnoreInPrinting = true;
  pallet(5).FIsVisible = false;
  pallet(8).FIsBlackBackgroundMode = false;

  setDefaultPalettes(editor.pen(), false);

  ASSERT_EQ(editor.pen().FPalletList.size(), 40u);
  EXPECT_EQ(pallet(10).FDash, Dot);
  EXPECT_EQ(pallet(3).FDash, Dash);
  for (int i = 0; i < 40; ++i) {
    SCOPED_TRACE(kExpected[i].hint);
    const TDrawPallet &p = pallet(i);
    EXPECT_FLOAT_EQ(p.FThickness, kExpected[i].thickness);
    EXPECT_EQ(p.FColor_BlackMode, kExpected[i].dark);
    EXPECT_EQ(p.FColor_WhiteMode, kExpected[i].light);
    if (i != 10) {
      EXPECT_EQ(p.FDash, kExpected[i].resetSetsDash ? kExpected[i].dashAtCreation : DashDot);
    }
  }
  // The flags are not part of the defaults.
  EXPECT_FALSE(pallet(0).FIsSelected);
  EXPECT_TRUE(pallet(7).FIsSelected);
  EXPECT_TRUE(pallet(3).FIgnoreInPrinting);
  EXPECT_FALSE(pallet(5).FIsVisible);
  EXPECT_FALSE(pallet(8).FIsBlackBackgroundMode);
}

TEST_F(DrawPalletTest, CurrentLineTypeIsTheLastSelected) {
  EXPECT_EQ(getCurrentPalette(editor.pen()), &pallet(0));
  EXPECT_EQ(getCurrentPaletteIndex(editor.pen()), 0);

  pallet(5).FIsSelected = true;
  EXPECT_EQ(getCurrentPaletteIndex(editor.pen()), 5);
  EXPECT_EQ(getCurrentPalette(editor.pen()), &pallet(5));

  for (auto &p : editor.pen().FPalletList) p->FIsSelected = false;
  EXPECT_EQ(getCurrentPalette(editor.pen()), nullptr);
  EXPECT_EQ(getCurrentPaletteIndex(editor.pen()), -1);

  pallet(39).FIsSelected = true;
  EXPECT_EQ(getCurrentPaletteIndex(editor.pen()), 39);
}

TEST_F(DrawPalletTest, LineTypeOfAShape) {
  pallet(0).FColor_BlackMode = 0xFF123456;  // the user recoloured #01
  struct Case {
    const char *what;
    bool hole;
    int palletIndex;
    TAlphaColor color;
    TStrokeDash dash;
    int expected;
  };
  const Case cases[] = {
      {"hole with stored index 5", true, 5, 0xFFFFFFFF, Dot, 36},
      {"hole without a line type", true, -1, 0xFF00FFFF, Solid, 36},
      {"index 0 after #01 is recoloured", false, 0, 0xFF00FFFF, Solid, 0},
      {"index wins over colour", false, 12, 0xFFFFFF00, Dash, 12},
      {"last index", false, 39, 0xFF000000, Dot, 39},
      {"no index: colour and dash (#07, not #06)", false, -1, 0xFF808080, DashDotDot, 6},
      {"no index: colour only when no dash matches", false, -1, 0xFF808080, Dot, 5},
      {"no index: first of equal colour and dash", false, -1, 0xFFFFFFFF, Solid, 2},
      {"index beyond the list falls back to colour", false, 40, 0xFFEE82EE, Dash, 37},
      {"no index: old #01 colour now matches nothing", false, -1, 0xFF00FFFF, Solid, -1},
      {"no index: unknown colour", false, -1, 0xFF010203, Solid, -1},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    auto s = shape(c.palletIndex, c.color, 1.5f, c.dash);
    if (c.hole) s->FShapeType = TShapeKind::Hole;
    EXPECT_EQ(getPaletteIndexOfPath(editor.pen(), *s), c.expected);
    EXPECT_EQ(getPaletteOfPath(editor.pen(), *s), c.expected < 0 ? nullptr : &pallet(c.expected));
  }
}

TEST_F(DrawPalletTest, ShapeWithoutLineTypeMatchesTheColourShownNow) {
  setBackground(false);
  auto darkBlue = shape(-1, 0xFF00008B, 1.5f, Solid);
  auto cyan = shape(-1, 0xFF00FFFF, 1.5f, Solid);
  EXPECT_EQ(getPaletteIndexOfPath(editor.pen(), *darkBlue), 0);
  EXPECT_EQ(getPaletteIndexOfPath(editor.pen(), *cyan), -1);
  setBackground(true);
  EXPECT_EQ(getPaletteIndexOfPath(editor.pen(), *darkBlue), -1);
  EXPECT_EQ(getPaletteIndexOfPath(editor.pen(), *cyan), 0);
}

// ---- The stroke of one shape ----

using ShapeStrokeTest = PalletFixture;

TEST_F(ShapeStrokeTest, ScreenThicknessFollowsTheScale) {
  struct Case {
    float scale;
    float expected;
  };
  const Case cases[] = {{10.0f, 1.5f}, {1.0f, 1.0f}, {100.0f, 2.0f}};
  // #03 is 1.2 wide: the shape's own thickness counts, not the line type's.
  auto s = shape(2, 0xFFFFFFFF, 1.5f, Solid);
  for (const Case &c : cases) {
    SCOPED_TRACE(c.scale);
    editor.view().FScale = c.scale;
    EXPECT_FLOAT_EQ(shapeStroke(editor, *s, nullptr).Thickness, c.expected);
  }
}

TEST_F(ShapeStrokeTest, ScreenColourAndDashComeFromTheLineType) {
  auto s = shape(3, 0xFF112233, 1.5f, Solid);  // #04: yellow, Dash
  TShapeStroke st = shapeStroke(editor, *s, nullptr);
  EXPECT_EQ(st.StrokeColor, 0xFFFFFF00u);
  EXPECT_EQ(st.FillColor, 0xFFFFFF00u);
  EXPECT_TRUE(st.FillSet);
  EXPECT_EQ(st.Dash, Dash);

  // Editing the line type restyles the shape.
  pallet(3).FColor_BlackMode = 0xFF445566;
  pallet(3).FDash = DashDot;
  st = shapeStroke(editor, *s, nullptr);
  EXPECT_EQ(st.StrokeColor, 0xFF445566u);
  EXPECT_EQ(st.Dash, DashDot);

  // Selected: the selection colour strokes, the line type still fills.
  s->FSelected = true;
  st = shapeStroke(editor, *s, nullptr);
  EXPECT_EQ(st.StrokeColor, 0xFFFF5500u);
  EXPECT_EQ(st.StrokeColor, editor.display().FStrokeDefs.SelectionColor);
  EXPECT_EQ(st.FillColor, 0xFF445566u);
}

TEST_F(ShapeStrokeTest, ShapeWithoutLineTypeUsesItsOwnStyle) {
  for (int index : {-1, 40, 99}) {
    SCOPED_TRACE(index);
    auto s = shape(index, 0xFF112233, 0.8f, DashDotDot);
    const TShapeStroke st = shapeStroke(editor, *s, nullptr);
    EXPECT_EQ(st.StrokeColor, 0xFF112233u);
    EXPECT_EQ(st.FillColor, 0xFF112233u);
    EXPECT_EQ(st.Dash, DashDotDot);
    EXPECT_FLOAT_EQ(st.Thickness, 0.8f);
  }
}

TEST_F(ShapeStrokeTest, SymmetryTargetUsesTheCentreLineColour) {
  auto s = shape(0, 0xFF00FFFF, 1.5f, Solid);
  s->FIsSymmetryTarget = true;
  s->FSelected = true;
  editor.view().FScale = 100.0f;
  const TShapeStroke st = shapeStroke(editor, *s, nullptr);
  EXPECT_EQ(st.StrokeColor, editor.display().FColor_Centerline);
  EXPECT_EQ(st.StrokeColor, 0xFFFFC0CBu);
  EXPECT_FLOAT_EQ(st.Thickness, 2.5f);
  EXPECT_EQ(st.Dash, Dot);
  EXPECT_FALSE(st.FillSet);
}

TEST_F(ShapeStrokeTest, PrintingInBlackAndWhiteAndInColour) {
  auto s = shape(3, 0xFF112233, 1.5f, DashDot);  // #04 is yellow and dashed
  s->FIsSymmetryTarget = true;                    // no effect on a page
  s->FSelected = true;                            // neither
  TPrintStrokeContext print{false, false, false, 2.0f};
  TShapeStroke st = shapeStroke(editor, *s, &print);
  EXPECT_EQ(st.StrokeColor, 0xFF000000u);
  EXPECT_EQ(st.FillColor, 0xFF000000u);
  EXPECT_TRUE(st.FillSet);
  EXPECT_FLOAT_EQ(st.Thickness, 3.0f);
  EXPECT_EQ(st.Dash, DashDot);

  print.PrintInColor = true;
  st = shapeStroke(editor, *s, &print);
  EXPECT_EQ(st.StrokeColor, 0xFFFFFF00u);
  EXPECT_EQ(st.FillColor, 0xFFFFFF00u);
  EXPECT_EQ(st.Dash, DashDot);
}

TEST_F(ShapeStrokeTest, NotForPrintLineTypes) {
  pallet(3).FIgnoreInPrinting = true;  // #04: 1.1, yellow, Dash
  struct Case {
    const char *what;
    int palletIndex;
    TAlphaColor color;
    float thickness;
    TStrokeDash dash;
    bool notForPrint;
  };
  const Case cases[] = {
      {"own line type, own style differs", 3, 0xFF112233, 1.5f, Solid, true},
      {"other line type with #04's exact style", 4, 0xFFFFFF00, 1.1f, Dash, false},
      {"no line type, #04's exact style", -1, 0xFFFFFF00, 1.1f, Dash, true},
      {"no line type, other thickness", -1, 0xFFFFFF00, 1.5f, Dash, false},
      {"no line type, other dash", -1, 0xFFFFFF00, 1.1f, Dot, false},
  };
  struct Mode {
    bool previewing;
    bool showNotForPrint;
    bool showsHidden;
  };
  const Mode modes[] = {
      {false, false, false}, {false, true, false}, {true, false, false}, {true, true, true}};
  for (const Case &c : cases) {
    for (const Mode &m : modes) {
      SCOPED_TRACE(testing::Message() << c.what << " previewing=" << m.previewing
                                      << " show=" << m.showNotForPrint);
      auto s = shape(c.palletIndex, c.color, c.thickness, c.dash);
      const TPrintStrokeContext print{false, m.previewing, m.showNotForPrint, 2.0f};
      const bool drawn = !c.notForPrint || m.showsHidden;
      EXPECT_FLOAT_EQ(shapeStroke(editor, *s, &print).Thickness, drawn ? 2.0f * c.thickness : 0.0f);
    }
  }
}

TEST(ShapeStroke, ApplyToPainter) {
  QImage image(40, 20, QImage::Format_ARGB32);
  image.fill(Qt::black);
  QPainter painter(&image);

  applyShapeStroke(painter, TShapeStroke{0xFF00FFFF, 0xFF102030, true, 3.0f, TStrokeDash::DashDot});
  EXPECT_EQ(painter.pen().color().rgba(), 0xFF00FFFFu);
  EXPECT_DOUBLE_EQ(painter.pen().widthF(), 3.0);
  EXPECT_EQ(painter.pen().style(), Qt::DashDotLine);
  EXPECT_EQ(painter.brush().color().rgba(), 0xFF102030u);
  EXPECT_EQ(painter.brush().style(), Qt::SolidPattern);

  const struct {
    TStrokeDash dash;
    Qt::PenStyle style;
  } styles[] = {{TStrokeDash::Solid, Qt::SolidLine},       {TStrokeDash::Dash, Qt::DashLine},
                {TStrokeDash::Dot, Qt::DotLine},           {TStrokeDash::DashDotDot, Qt::DashDotDotLine},
                {TStrokeDash::Custom, Qt::SolidLine}};
  for (const auto &s : styles) {
    applyShapeStroke(painter, TShapeStroke{0xFFFFFFFF, 0, false, 1.0f, s.dash});
    EXPECT_EQ(painter.pen().style(), s.style);
  }
  // A stroke that sets no fill leaves the brush.
  EXPECT_EQ(painter.brush().color().rgba(), 0xFF102030u);

  // A solid 4-pixel red line across the middle.
  painter.setBrush(Qt::NoBrush);
  applyShapeStroke(painter, TShapeStroke{0xFFFF0000, 0, false, 4.0f, TStrokeDash::Solid});
  painter.drawLine(QPointF(0, 10), QPointF(40, 10));
  // Thickness 0 draws nothing at all (not a one-pixel line).
  applyShapeStroke(painter, TShapeStroke{0xFF00FF00, 0, false, 0.0f, TStrokeDash::Solid});
  EXPECT_EQ(painter.pen().style(), Qt::NoPen);
  painter.drawLine(QPointF(20, 0), QPointF(20, 20));
  painter.end();

  EXPECT_EQ(image.pixel(10, 10), 0xFFFF0000u);
  EXPECT_EQ(image.pixel(10, 3), 0xFF000000u);
  EXPECT_EQ(image.pixel(20, 3), 0xFF000000u);
}

}  // namespace
}  // namespace quillon
