// The palette commands: choosing the pen, applying a line type to the selection, hiding a
// line type, the digit keys, the line-type menu, the line-type editor's outcome, the
// colour text, and the painting of a palette box and of the editor's sample.
#include "render/palette_commands.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include "model/shape.h"
#include "model/shape_list.h"
#include "shell/color_scheme.h"
#include "model/draw_pallet.h"
#include "shell/editor.h"
#include "shell/undo.h"
#include "support/scripted_ui.h"

namespace quillon {
namespace {

constexpr TStrokeDash Solid = TStrokeDash::Solid;
constexpr TStrokeDash Dash = TStrokeDash::Dash;
constexpr TStrokeDash Dot = TStrokeDash::Dot;
constexpr TStrokeDash DashDot = TStrokeDash::DashDot;
constexpr TStrokeDash DashDotDot = TStrokeDash::DashDotDot;

// A scripted user interface that also counts the palette bar's repaint requests.
class TPaletteUi : public test::TScriptedUi {
 public:
  int paletteRepaints = 0;
  void repaintPalettes() override { ++paletteRepaints; }
};

class PaletteCommandsTest : public ::testing::Test {
 protected:
  TPaletteUi ui;
  TEditor editor{ui, {QStringLiteral("--instance-id"), QStringLiteral("1")}};

  TShapeList &doc() { return editor.doc().PathList(); }
  TDrawPallet &pallet(int i) { return *editor.pen().FPalletList[static_cast<std::size_t>(i)]; }
  std::size_t undoStates() const { return editor.FUndoStore.FUndoList.size(); }

  // A line of line type `lineType` with a stroke of its own that differs from every
  // built-in line type (thickness 1.0, colour 0xFF010203).
  TQN_Path *addLine(int lineType, bool selected, int mandalaID = 0) {
    auto s = std::make_unique<TQN_Path>(lineType, 0xFF010203, 1.0f, Solid, doc().getNextID());
    const float y = float(doc().Count());
    s->drawLinePath({0, y}, {10, y});
    s->FMandalaID = mandalaID;
    s->SetSelected(selected);
    return editor.doc().add(std::move(s), 0);
  }
  TQN_Path *addHole(bool selected) {
    auto s = std::make_unique<TQN_Path>(kStitchingHolePalletIndex, 0xFFD2691E, 1.0f, Dot, doc().getNextID());
    s->drawDotPath({5, 5}, 0.5f);
    s->FShapeType = TShapeKind::Hole;
    s->FStartPt = s->FCenter = {5, 5};
    s->SetSelected(selected);
    return editor.doc().add(std::move(s), 0);
  }
  int countCurrent() {
    int n = 0;
    for (const auto &p : editor.pen().FPalletList) n += p->FIsSelected ? 1 : 0;
    return n;
  }
  // Puts the pen somewhere no line type is.
  void scramblePen() {
    editor.pen().FCurrentColor = 0xFF0A0B0C;
    editor.pen().FCurrentThickness = 4.4f;
    editor.pen().FCurrentDash = TStrokeDash::Custom;
  }
};

// --- choosing the pen -------------------------------------------------------------------

TEST_F(PaletteCommandsTest, SelectPaletteCopiesTheLineTypeForTheCurrentBackgroundIntoThePen) {
  struct Case {
    int lineType;
    bool dark;
    TAlphaColor color;
    float thickness;
    TStrokeDash dash;
  };
  const Case cases[] = {
      {2, true, 0xFFFFFFFF, 1.2f, Solid},    {2, false, 0xFF000000, 1.2f, Solid},
      {4, true, 0xFFEE82EE, 1.5f, Dot},      {4, false, 0xFF9400D3, 1.5f, Dot},
      {6, true, 0xFF808080, 1.8f, DashDotDot}, {39, false, 0xFFFF40FF, 1.5f, Solid},
      {0, false, 0xFF00008B, 1.5f, Solid},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.lineType);
    setGridBackground(editor, c.dark);
    pallet(0).FIsSelected = pallet(20).FIsSelected = pallet(39).FIsSelected = true;  // stale marks
    scramblePen();
    const int repaints = ui.paletteRepaints;

    selectPalette(editor, c.lineType, true);
    EXPECT_EQ(editor.pen().FCurrentColor, c.color);
    EXPECT_FLOAT_EQ(editor.pen().FCurrentThickness, c.thickness);
    EXPECT_EQ(editor.pen().FCurrentDash, c.dash);
    EXPECT_EQ(editor.pen().FSelectedPalette, c.lineType);
    EXPECT_EQ(countCurrent(), 1);
    EXPECT_TRUE(pallet(c.lineType).FIsSelected);
    EXPECT_EQ(getCurrentPaletteIndex(editor.pen()), c.lineType);
    EXPECT_EQ(ui.paletteRepaints, repaints + 1);
  }
}

TEST_F(PaletteCommandsTest, SelectPaletteWithoutRepaintAndOutOfRange) {
  selectPalette(editor, 9, false);
  EXPECT_EQ(ui.paletteRepaints, 0);
  EXPECT_EQ(editor.pen().FSelectedPalette, 9);
  EXPECT_EQ(editor.pen().FCurrentColor, 0xFFFFC0CBu);

  for (int bad : {-1, 40}) {
    selectPalette(editor, bad, true);
    EXPECT_EQ(editor.pen().FSelectedPalette, 9) << bad;
    EXPECT_EQ(getCurrentPaletteIndex(editor.pen()), 9) << bad;
    EXPECT_EQ(editor.pen().FCurrentColor, 0xFFFFC0CBu) << bad;
  }
  EXPECT_EQ(ui.paletteRepaints, 0);
}

// --- visibility -------------------------------------------------------------------------

TEST_F(PaletteCommandsTest, HidingALineTypeDeselectsItsShapesAndShowingSelectsNothing) {
  TQN_Path *selectedOf5 = addLine(4, true);
  TQN_Path *unselectedOf5 = addLine(4, false);
  TQN_Path *selectedOf2 = addLine(1, true);
  const int refreshes = ui.canvasRefreshes;

  togglePaletteVisibility(editor, 4);
  EXPECT_FALSE(pallet(4).FIsVisible);
  EXPECT_FALSE(selectedOf5->FSelected);
  EXPECT_FALSE(unselectedOf5->FSelected);
  EXPECT_TRUE(selectedOf2->FSelected);
  EXPECT_EQ(ui.paletteRepaints, 1);
  EXPECT_EQ(ui.canvasRefreshes, refreshes + 1);

  togglePaletteVisibility(editor, 4);
  EXPECT_TRUE(pallet(4).FIsVisible);
  EXPECT_FALSE(selectedOf5->FSelected);
  EXPECT_FALSE(unselectedOf5->FSelected);
  EXPECT_TRUE(selectedOf2->FSelected);
  EXPECT_EQ(ui.paletteRepaints, 2);
}

TEST_F(PaletteCommandsTest, SetAllPalettesVisibleSetsEveryLineTypeAndChoosesTheFirst) {
  for (bool visible : {true, false}) {
    SCOPED_TRACE(visible);
    for (int i = 0; i < kPalletCount; ++i) pallet(i).FIsVisible = (i % 3 == 0) != visible;
    selectPalette(editor, 11, false);
    scramblePen();

    setAllPalettesVisible(editor, visible);
    for (int i = 0; i < kPalletCount; ++i) EXPECT_EQ(pallet(i).FIsVisible, visible) << i;
    EXPECT_EQ(getCurrentPaletteIndex(editor.pen()), 0);
    EXPECT_EQ(countCurrent(), 1);
    EXPECT_EQ(editor.pen().FSelectedPalette, 0);
    EXPECT_EQ(editor.pen().FCurrentColor, 0xFF00FFFFu);
    EXPECT_FLOAT_EQ(editor.pen().FCurrentThickness, 1.5f);
  }
}

// --- a click on a palette box -----------------------------------------------------------

TEST_F(PaletteCommandsTest, DigitKeyRestrokesTheSelectionExceptHolesWithOneUndoStep) {
  TQN_Path *line = addLine(0, true);
  TQN_Path *other = addLine(0, false);
  TQN_Path *hole = addHole(true);
  takeUndoSnapshot(editor, QStringLiteral("setup"));
  const std::size_t before = undoStates();

  selectPaletteByDigitKey(editor, QLatin1Char('5'), 0);

  EXPECT_EQ(getCurrentPaletteIndex(editor.pen()), 4);
  EXPECT_EQ(editor.pen().FCurrentColor, 0xFFEE82EEu);
  EXPECT_EQ(editor.pen().FCurrentDash, Dot);
  EXPECT_EQ(line->FPalletIndex, 4);
  EXPECT_EQ(line->FColor, 0xFFEE82EEu);
  EXPECT_FLOAT_EQ(line->FThickness, 1.5f);
  EXPECT_EQ(line->FDash, Dot);
  // The unselected line and the selected hole keep their own stroke.
  EXPECT_EQ(other->FPalletIndex, 0);
  EXPECT_EQ(other->FColor, 0xFF010203u);
  EXPECT_EQ(hole->FPalletIndex, kStitchingHolePalletIndex);
  EXPECT_EQ(hole->FColor, 0xFFD2691Eu);
  EXPECT_FLOAT_EQ(hole->FThickness, 1.0f);
  // Everything is deselected, and one undo step brings the old stroke back.
  EXPECT_FALSE(line->FSelected);
  EXPECT_FALSE(hole->FSelected);
  EXPECT_EQ(undoStates(), before + 1);

  const int lineID = line->ID();
  undo(editor);
  const TQN_Path *restored = nullptr;
  for (const TQN_Path *s : doc())
    if (s->ID() == lineID) restored = s;
  ASSERT_NE(restored, nullptr);
  EXPECT_EQ(restored->FPalletIndex, 0);
  EXPECT_EQ(restored->FColor, 0xFF010203u);
  EXPECT_FLOAT_EQ(restored->FThickness, 1.0f);
}

TEST_F(PaletteCommandsTest, ClickWithNothingToRestrokeTakesNoSnapshot) {
  addLine(0, false);
  addHole(true);  // holes never take a line type
  const std::size_t before = undoStates();
  const int refreshes = ui.canvasRefreshes;
  selectPaletteByDigitKey(editor, QLatin1Char('3'), 0);
  EXPECT_EQ(getCurrentPaletteIndex(editor.pen()), 2);
  EXPECT_EQ(editor.pen().FCurrentColor, 0xFFFFFFFFu);
  EXPECT_EQ(undoStates(), before);
  EXPECT_EQ(ui.canvasRefreshes, refreshes + 1);
}

TEST_F(PaletteCommandsTest, DigitKeysMapToTheFirstTenLineTypes) {
  struct Case {
    char key;
    int lineType;  // -1: nothing happens
  };
  const Case cases[] = {{'1', 0}, {'2', 1}, {'9', 8}, {'0', 9}, {'a', -1}, {'#', -1}, {' ', -1}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.key);
    selectPalette(editor, 20, false);
    selectPaletteByDigitKey(editor, QLatin1Char(c.key), 0);
    EXPECT_EQ(getCurrentPaletteIndex(editor.pen()), c.lineType < 0 ? 20 : c.lineType);
  }
}

TEST_F(PaletteCommandsTest, CtrlClickOrCtrlDigitTogglesVisibilityOnly) {
  TQN_Path *line = addLine(1, true);
  selectPalette(editor, 20, false);
  editor.tool().FSplitNotSelectedWarning = true;
  const std::size_t before = undoStates();

  selectPaletteByDigitKey(editor, QLatin1Char('2'), ssCtrl);
  EXPECT_FALSE(pallet(1).FIsVisible);
  EXPECT_FALSE(line->FSelected);
  EXPECT_EQ(line->FColor, 0xFF010203u);
  EXPECT_EQ(getCurrentPaletteIndex(editor.pen()), 20);
  EXPECT_FALSE(editor.tool().FSplitNotSelectedWarning);
  EXPECT_EQ(undoStates(), before);

  EXPECT_FALSE(palletBoxMouseDown(editor, 1, TMouseButton::Left, ssCtrl | ssShift));
  EXPECT_TRUE(pallet(1).FIsVisible);
}

TEST_F(PaletteCommandsTest, ToolsThatKeepTheSelectionStrokeOnlyChangeThePen) {
  for (TTool tool : {TTool::Stitch, TTool::Offset, TTool::Backdrop}) {
    SCOPED_TRACE(int(tool));
    TQN_Path *line = addLine(0, true);
    editor.tool().FTool = tool;
    const std::size_t before = undoStates();
    palletBoxMouseDown(editor, 2, TMouseButton::Left, 0);
    EXPECT_EQ(getCurrentPaletteIndex(editor.pen()), 2);
    EXPECT_EQ(editor.pen().FCurrentColor, 0xFFFFFFFFu);
    EXPECT_EQ(line->FPalletIndex, 0);
    EXPECT_EQ(line->FColor, 0xFF010203u);
    EXPECT_TRUE(line->FSelected);
    EXPECT_EQ(undoStates(), before);
    line->SetSelected(false);
  }
}

TEST_F(PaletteCommandsTest, RadialRepeatTakesTheLineTypeAsAWhole) {
  TQN_Path *a = addLine(0, true, 7);
  TQN_Path *b = addLine(0, false, 7);
  TQN_Path *c = addLine(0, true, 7);
  TQN_Path *plain = addLine(0, false);
  const std::size_t before = undoStates();
  palletBoxMouseDown(editor, 1, TMouseButton::Left, 0);
  for (const TQN_Path *m : {a, b, c}) {
    EXPECT_EQ(m->FPalletIndex, 1);
    EXPECT_EQ(m->FColor, 0xFF00FF00u);
    EXPECT_FLOAT_EQ(m->FThickness, 1.5f);
    EXPECT_FALSE(m->FSelected);
  }
  EXPECT_EQ(plain->FPalletIndex, 0);
  EXPECT_EQ(undoStates(), before + 1);
}

TEST_F(PaletteCommandsTest, RightClickPicksTheLineTypeForTheMenuMiddleClickDoesNothing) {
  TQN_Path *line = addLine(0, true);
  selectPalette(editor, 0, false);
  scramblePen();

  EXPECT_FALSE(palletBoxMouseDown(editor, 12, TMouseButton::Middle, 0));
  EXPECT_EQ(editor.pen().FSelectedPalette, 0);

  EXPECT_TRUE(palletBoxMouseDown(editor, 12, TMouseButton::Right, 0));
  EXPECT_EQ(editor.pen().FSelectedPalette, 12);
  EXPECT_EQ(getCurrentPaletteIndex(editor.pen()), 0);  // the pen stays
  EXPECT_EQ(editor.pen().FCurrentColor, 0xFF0A0B0Cu);
  EXPECT_EQ(line->FPalletIndex, 0);

  actLinePaletteShowHideExecute(editor);
  EXPECT_FALSE(pallet(12).FIsVisible);
  actLinePaletteShowHideExecute(editor);
  EXPECT_TRUE(pallet(12).FIsVisible);
}

// --- the line-type editor's outcome -----------------------------------------------------

TEST_F(PaletteCommandsTest, EditorResultOkCancelDefault) {
  struct Case {
    TEditPalletResult result;
    TAlphaColor first;  // #01 on the dark background afterwards
    TStrokeDash dash4, dash11;
    TAlphaColor pen;
    int repaints;
  };
  const Case cases[] = {
      {TEditPalletResult::OK, 0xFFABCDEF, Dot, DashDot, 0xFFABCDEF, 1},
      {TEditPalletResult::Cancel, 0xFF123456, Solid, Dot, 0xFF0A0B0C, 0},
      {TEditPalletResult::Default, 0xFF00FFFF, Dash, Dot, 0xFF00FFFF, 1},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(int(c.result));
    // The user's line types before the editor opened.
    setDefaultPalettes(editor.pen(), false);
    pallet(0).FColor_BlackMode = 0xFF123456;
    pallet(3).FDash = Solid;
    pallet(10).FDash = Dot;
    selectPalette(editor, 0, false);
    scramblePen();
    TQN_Path *line = addLine(0, false);
    // The edits made in the window.
    TPalletList copies;
    for (const auto &p : editor.pen().FPalletList) {
      copies.push_back(std::make_unique<TDrawPallet>());
      copies.back()->copyFrom(*p);
    }
    copies[0]->FColor_BlackMode = 0xFFABCDEF;
    copies[3]->FDash = Dot;
    copies[10]->FDash = DashDot;
    const int repaints = ui.paletteRepaints;

    applyEditPalletResult(editor, c.result, copies);
    EXPECT_EQ(pallet(0).FColor_BlackMode, c.first);
    EXPECT_EQ(pallet(3).FDash, c.dash4);
    EXPECT_EQ(pallet(10).FDash, c.dash11);
    EXPECT_EQ(editor.pen().FCurrentColor, c.pen);
    EXPECT_EQ(ui.paletteRepaints, repaints + c.repaints);
    EXPECT_EQ(line->FColor, 0xFF010203u);  // shapes are never touched
    EXPECT_EQ(getCurrentPaletteIndex(editor.pen()), 0);
  }
}

TEST_F(PaletteCommandsTest, CopyPalletListCopiesEveryField) {
  TPalletList from, to;
  for (int i = 0; i < 3; ++i) {
    from.push_back(std::make_unique<TDrawPallet>());
    to.push_back(std::make_unique<TDrawPallet>());
  }
  TDrawPallet &f = *from[1];
  f.FThickness = 3.5f;
  f.FDash = DashDot;
  f.FIsSelected = true;
  f.FIgnoreInPrinting = true;
  f.FIsVisible = false;
  f.FIsBlackBackgroundMode = false;
  f.FColor_BlackMode = 0xFF111111;
  f.FColor_WhiteMode = 0xFF222222;
  copyPalletList(from, to);
  const TDrawPallet &t = *to[1];
  EXPECT_FLOAT_EQ(t.FThickness, 3.5f);
  EXPECT_EQ(t.FDash, DashDot);
  EXPECT_TRUE(t.FIsSelected);
  EXPECT_TRUE(t.FIgnoreInPrinting);
  EXPECT_FALSE(t.FIsVisible);
  EXPECT_FALSE(t.FIsBlackBackgroundMode);
  EXPECT_EQ(t.FColor_BlackMode, 0xFF111111u);
  EXPECT_EQ(t.FColor_WhiteMode, 0xFF222222u);
  EXPECT_FLOAT_EQ(to[0]->FThickness, 2.0f);

  to.pop_back();  // a shorter target takes what fits
  copyPalletList(from, to);
  EXPECT_EQ(to.size(), 2u);
}

TEST(PaletteDashChoice, FirstCheckedWinsElseUnchanged) {
  EXPECT_EQ(dashOfChoice(false, false, true, false, false, Solid), Dot);
  EXPECT_EQ(dashOfChoice(false, true, false, true, false, Solid), Dash);
  EXPECT_EQ(dashOfChoice(false, false, false, false, true, Solid), DashDotDot);
  EXPECT_EQ(dashOfChoice(false, false, false, false, false, TStrokeDash::Custom), TStrokeDash::Custom);
}

// --- colour text ------------------------------------------------------------------------

TEST(PaletteColorText, HexTextToColor) {
  struct Case {
    const char *text;
    bool ok;
    TAlphaColor color;
  };
  const Case cases[] = {
      {"#1a2B3c", true, 0xFF1A2B3C}, {"1A2B3C", true, 0xFF1A2B3C},  {"#FFFFFF", true, 0xFFFFFFFF},
      {"ZZ0000", true, 0xFF000000},  {"12ZZ56", true, 0xFF120056},  {"#1Z2B3C", true, 0xFF002B3C},
      {"#1A2B3", false, 0},          {"#1A2B3C4", false, 0},        {"", false, 0},
      {"#", false, 0},               {"##1A2B3C", false, 0},        {"1A2B3C#", false, 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text);
    TAlphaColor color = 0x12345678;
    EXPECT_EQ(hexTextToColor(QString::fromLatin1(c.text), color), c.ok);
    EXPECT_EQ(color, c.ok ? c.color : 0x12345678u);
  }
}

TEST(PaletteColorText, ColorToHexTextDropsAlphaAndPads) {
  EXPECT_EQ(colorToHexText(0x801A2B3C), QStringLiteral("#1A2B3C"));
  EXPECT_EQ(colorToHexText(0xFF00000A), QStringLiteral("#00000A"));
  EXPECT_EQ(colorToHexText(0x00ABCDEF), QStringLiteral("#ABCDEF"));
  TAlphaColor back = 0;
  ASSERT_TRUE(hexTextToColor(colorToHexText(0xFFE9967A), back));
  EXPECT_EQ(back, 0xFFE9967Au);
}

// --- painting ---------------------------------------------------------------------------

QImage paintedBox(const TDrawPallet &p, bool dark, float factor) {
  QImage img(40, 15, QImage::Format_ARGB32);
  img.fill(0xFF336699);
  QPainter painter(&img);
  paintPalletBox(painter, p, 40, 15, dark, factor);
  return img;
}

TEST(PalletBoxPaint, SampleFrameAndCross) {
  struct Case {
    bool dark, current, visible;
  };
  const Case cases[] = {{true, false, true}, {false, false, true}, {true, true, true},
                        {true, false, false}, {false, true, false}};
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.dark << c.current << c.visible);
    TDrawPallet p;
    p.FIsBlackBackgroundMode = c.dark;
    p.FColor_BlackMode = 0xFF00FFFF;
    p.FColor_WhiteMode = 0xFF00008B;
    p.FThickness = 1.5f;
    p.FIsSelected = c.current;
    p.FIsVisible = c.visible;
    const QImage img = paintedBox(p, c.dark, 1.0f);
    const QRgb background = c.dark ? 0xFF000000 : 0xFFFFFFFF;
    const QRgb contrast = c.dark ? 0xFFFFFFFF : 0xFF000000;
    // The sample stroke runs across the middle row (7.5 +- 0.75).
    EXPECT_EQ(img.pixel(30, 7), c.dark ? 0xFF00FFFFu : 0xFF00008Bu);
    EXPECT_EQ(img.pixel(20, 2), background);
    // The red frame of the current line type covers the outer column.
    EXPECT_EQ(img.pixel(0, 3), c.current ? 0xFFFF0000u : background);
    // The cross of a hidden line type: (8, 3) lies on the diagonal from (0, 0) to (40, 15).
    EXPECT_EQ(img.pixel(8, 3), c.visible ? background : contrast);
  }
}

TEST(PalletBoxPaint, StrokeWidthFollowsTheLineFactor) {
  TDrawPallet p;
  p.FThickness = 1.5f;
  p.FColor_BlackMode = 0xFFFFA500;
  // Factor 1: 1.5 pixels around row 7.5; factor 4: 6 pixels, rows 4.5 to 10.5.
  EXPECT_EQ(paintedBox(p, true, 1.0f).pixel(20, 5), 0xFF000000u);
  EXPECT_EQ(paintedBox(p, true, 4.0f).pixel(20, 5), 0xFFFFA500u);
  // Factor 0 draws no stroke.
  EXPECT_EQ(paintedBox(p, true, 0.0f).pixel(20, 7), 0xFF000000u);
}

TEST(PalletSamplePaint, DrawsTheSampleShapesOnBlack) {
  TDrawPallet p;
  p.FThickness = 2.0f;
  p.FColor_BlackMode = 0xFFFFFF00;
  QImage img(240, 210, QImage::Format_ARGB32);
  img.fill(0xFF336699);
  {
    QPainter painter(&img);
    paintPalletSample(painter, p, 240, 210);
  }
  // Stroke 2 wide: a horizontal line at y covers rows y-1 and y fully.
  struct Probe {
    int x, y;
    bool stroked;
  };
  const Probe probes[] = {
      {120, 4, true},   // the top line at y 5, x 5 to 235
      {2, 4, false},    // left of its start
      {50, 14, true},   // the first short line at y 15, x 5 to 95
      {94, 14, true},   // its end
      {8, 154, true},   // the last short line at y 155, x 5 to 11
      {50, 144, false}, // beyond the end of the line at y 145 (x 5 to 17)
      {120, 85, true},  // the top of the circle of radius 50 around (120, 135)
      {50, 20, false},  // between two short lines
      {120, 205, true}, // the triangle's base at y 205
  };
  for (const Probe &pr : probes)
    EXPECT_EQ(img.pixel(pr.x, pr.y), pr.stroked ? 0xFFFFFF00u : 0xFF000000u) << pr.x << "," << pr.y;
}

}  // namespace
}  // namespace quillon
