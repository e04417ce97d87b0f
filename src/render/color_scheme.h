#pragma once
// The two canvas colour schemes (dark and light): the overlay colours every painter
// reads instead of testing the background itself.
#include "platform/geometry.h"

namespace quillon {

class TEditor;

struct TStrokeDefs {
  TAlphaColor RulerColor = 0;
  TAlphaColor RulerTextColor = 0;
  TAlphaColor SelectionColor = 0;
  float SelectionThickness = 0.0f;
  float DotRadius = 0.0f;
  float RulerThickness = 0.0f;
  TAlphaColor RulerPathColor = 0;
  TAlphaColor OffsetTempColor = 0;
};

// Sets the scheme colours of the editor for the dark (true) or light background, the hole
// colour from line type 37, then the stroke definitions.
void applyCanvasColorScheme(TEditor &editor, bool Dark);
// Sets the stroke definitions for the editor's current background.
void resetStrokeDefs(TEditor &editor);
// The switch of the two background actions: scheme, every line type's mode, repaint.
void setGridBackground(TEditor &editor, bool black);

}  // namespace quillon
