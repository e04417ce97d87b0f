// The dark and light canvas colour schemes and the switch between them.
#include <gtest/gtest.h>

#include <memory>

#include "model/shape.h"
#include "shell/color_scheme.h"
#include "model/draw_pallet.h"
#include "render/shape_stroke.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"

namespace quillon {
namespace {

class CountingUi : public TSilentEditorUi {
 public:
  void refreshCanvas() override { ++refreshes; }
  int refreshes = 0;
};

struct SchemeValues {
  TAlphaColor mandala, mandala2, handle, drawing, centerline, hole;
  TAlphaColor ruler, rulerText, selection;
  float selectionThickness, dotRadius, rulerThickness;
  TAlphaColor rulerPath, offsetTemp;
};

const SchemeValues kDark = {0xFFFFFFFF, 0xFFFF0000, 0xFFFFFFFF, 0xFF00FFFF, 0xFFFFC0CB, 0xFFFFFFFF, 0xFFFFA500,
                            0xFFFFFFFF, 0xFFFF5500, 2.0f,       0.45f,      1.0f,       0xFF0000FF, 0xFFFF00FF};
const SchemeValues kLight = {0xFFA9A9A9, 0xFFFF0000, 0xFF666666, 0xFF00BBBB, 0xFFFF4500, 0xFFD2691E, 0xFFFF8C00,
                             0xFF333333, 0xFFFF5500, 2.0f,       0.45f,      1.0f,       0xFF0000FF, 0xFFBB00BB};

void expectScheme(const TEditor &e, const SchemeValues &v) {
  EXPECT_EQ(e.display().FMandalaSectionColor, v.mandala);
  EXPECT_EQ(e.display().FMandalaSectionColor2, v.mandala2);
  EXPECT_EQ(e.display().FHandleColor, v.handle);
  EXPECT_EQ(e.display().FColor_Drawing, v.drawing);
  EXPECT_EQ(e.display().FColor_Centerline, v.centerline);
  EXPECT_EQ(e.display().FColor_StitchingHole, v.hole);
  const TStrokeDefs &d = e.display().FStrokeDefs;
  EXPECT_EQ(d.RulerColor, v.ruler);
  EXPECT_EQ(d.RulerTextColor, v.rulerText);
  EXPECT_EQ(d.SelectionColor, v.selection);
  EXPECT_FLOAT_EQ(d.SelectionThickness, v.selectionThickness);
  EXPECT_FLOAT_EQ(d.DotRadius, v.dotRadius);
  EXPECT_FLOAT_EQ(d.RulerThickness, v.rulerThickness);
  EXPECT_EQ(d.RulerPathColor, v.rulerPath);
  EXPECT_EQ(d.OffsetTempColor, v.offsetTemp);
}

class ColorSchemeTest : public ::testing::Test {
 protected:
  CountingUi ui;
  TEditor editor{ui, {"--instance-id", "1"}};
};

TEST_F(ColorSchemeTest, StartsDarkAndSwitchesBothWays) {
  EXPECT_TRUE(editor.display().FIsBlackBackgroundMode);
  {
    SCOPED_TRACE("start-up");
    expectScheme(editor, kDark);
  }

  const int before = ui.refreshes;
  setGridBackground(editor, false);
  EXPECT_FALSE(editor.display().FIsBlackBackgroundMode);
  {
    SCOPED_TRACE("light");
    expectScheme(editor, kLight);
  }
  for (const auto &p : editor.pen().FPalletList) EXPECT_FALSE(p->FIsBlackBackgroundMode);
  EXPECT_EQ(ui.refreshes, before + 1);

  setGridBackground(editor, true);
  EXPECT_TRUE(editor.display().FIsBlackBackgroundMode);
  {
    SCOPED_TRACE("dark again");
    expectScheme(editor, kDark);
  }
  for (const auto &p : editor.pen().FPalletList) EXPECT_TRUE(p->FIsBlackBackgroundMode);
  EXPECT_EQ(ui.refreshes, before + 2);
}

TEST_F(ColorSchemeTest, SwitchingRecoloursShapesThroughTheirLineTypeOnly) {
  TQN_Path first(0, 0xFF00FFFF, 1.5f, TStrokeDash::Solid, 1);
  EXPECT_EQ(shapeStroke(editor, first, nullptr).StrokeColor, 0xFF00FFFFu);

  setGridBackground(editor, false);
  EXPECT_EQ(editor.pen().FPalletList[0]->Color(), 0xFF00008Bu);
  EXPECT_EQ(shapeStroke(editor, first, nullptr).StrokeColor, 0xFF00008Bu);
  EXPECT_EQ(first.FColor, 0xFF00FFFFu);
  EXPECT_EQ(first.FPalletIndex, 0);

  setGridBackground(editor, true);
  EXPECT_EQ(shapeStroke(editor, first, nullptr).StrokeColor, 0xFF00FFFFu);
}

TEST_F(ColorSchemeTest, HoleColourComesFromLineTypeThirtySeven) {
  TDrawPallet &hole = *editor.pen().FPalletList[36];
  hole.FColor_BlackMode = 0xFF112233;
  hole.FColor_WhiteMode = 0xFF445566;
  // Takes effect at the next switch, not before.
  EXPECT_EQ(editor.display().FColor_StitchingHole, 0xFFFFFFFFu);
  setGridBackground(editor, false);
  EXPECT_EQ(editor.display().FColor_StitchingHole, 0xFF445566u);
  setGridBackground(editor, true);
  EXPECT_EQ(editor.display().FColor_StitchingHole, 0xFF112233u);
}

TEST_F(ColorSchemeTest, StrokeDefsFollowTheEditorsBackgroundFlag) {
  // The six colours follow the argument, the stroke definitions the editor's flag.
  applyCanvasColorScheme(editor, false);
  EXPECT_EQ(editor.display().FHandleColor, 0xFF666666u);
  EXPECT_EQ(editor.display().FStrokeDefs.RulerColor, 0xFFFFA500u);
  editor.display().FIsBlackBackgroundMode = false;
  resetStrokeDefs(editor);
  EXPECT_EQ(editor.display().FStrokeDefs.RulerColor, 0xFFFF8C00u);
  EXPECT_EQ(editor.display().FStrokeDefs.RulerTextColor, 0xFF333333u);
  EXPECT_EQ(editor.display().FStrokeDefs.OffsetTempColor, 0xFFBB00BBu);
}

}  // namespace
}  // namespace quillon
