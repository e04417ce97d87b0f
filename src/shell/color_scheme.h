#pragma once
// The two canvas colour schemes (dark and light): the overlay colours every painter
// reads instead of testing the background itself; and the display of the line types.
#include "shell/display_state.h"

namespace quillon {

class TEditor;

// Sets the scheme colours of the editor for the dark (true) or light background, the hole
// colour from line type 37, then the stroke definitions.
void applyCanvasColorScheme(TEditor &editor, bool Dark);
// Sets the stroke definitions for the editor's current background.
void resetStrokeDefs(TEditor &editor);
// The switch of the two background actions: scheme, every line type's mode, repaint.
void setGridBackground(TEditor &editor, bool black);
// Shows (or hides) all 40 line types, then makes #01 the pen; the palette bar repaints.
void setAllPalettesVisible(TEditor &editor, bool visible);

}  // namespace quillon
