#include "shell/color_scheme.h"

#include "model/draw_pallet.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"

namespace quillon {

void applyCanvasColorScheme(TEditor &editor, bool Dark) {
  editor.display().FMandalaSectionColor = Dark ? 0xFFFFFFFF : 0xFFA9A9A9;
  editor.display().FMandalaSectionColor2 = 0xFFFF0000;
  editor.display().FHandleColor = Dark ? 0xFFFFFFFF : 0xFF666666;
  editor.display().FColor_Drawing = Dark ? 0xFF00FFFF : 0xFF00BBBB;
  editor.display().FColor_Centerline = Dark ? 0xFFFFC0CB : 0xFFFF4500;
  // New holes take the colour of the "Stitching Hole" line type for this background.
  if (editor.pen().FPalletList.size() > static_cast<std::size_t>(kStitchingHolePalletIndex)) {
    const TDrawPallet &hole = *editor.pen().FPalletList[kStitchingHolePalletIndex];
    editor.display().FColor_StitchingHole = Dark ? hole.FColor_BlackMode : hole.FColor_WhiteMode;
  }
  resetStrokeDefs(editor);
}

void resetStrokeDefs(TEditor &editor) {
  const bool dark = editor.display().FIsBlackBackgroundMode;
  TStrokeDefs &defs = editor.display().FStrokeDefs;
  defs.RulerColor = dark ? 0xFFFFA500 : 0xFFFF8C00;
  defs.RulerTextColor = dark ? 0xFFFFFFFF : 0xFF333333;
  defs.SelectionColor = 0xFFFF5500;
  defs.SelectionThickness = 2.0f;
  defs.DotRadius = 0.45f;
  defs.RulerThickness = 1.0f;
  defs.RulerPathColor = 0xFF0000FF;
  defs.OffsetTempColor = dark ? 0xFFFF00FF : 0xFFBB00BB;
}

void setGridBackground(TEditor &editor, bool black) {
  editor.display().FIsBlackBackgroundMode = black;
  applyCanvasColorScheme(editor, black);
  for (const auto &pallet : editor.pen().FPalletList) pallet->FIsBlackBackgroundMode = black;
  editor.ui().refreshCanvas();
}

void setAllPalettesVisible(TEditor &editor, bool visible) {
  for (auto &pallet : editor.pen().FPalletList) pallet->FIsVisible = visible;
  choosePen(editor.pen(), 0);
  editor.ui().repaintPalettes();
}

}  // namespace quillon
