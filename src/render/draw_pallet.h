#pragma once
// TDrawPallet: one of the 40 line types of the editor (the palette): stroke width, dash,
// a colour for the dark and one for the light canvas background, and whether shapes of
// the type are left out of printed pages.
#include <QString>

#include "platform/geometry.h"

namespace quillon {

class TDrawPallet {
 public:
  TDrawPallet() = default;

  // Copies every field from another line type.
  void copyFrom(const TDrawPallet &pallet);

  // The colour of the current background mode; writing changes only that colour.
  TAlphaColor Color() const { return FIsBlackBackgroundMode ? FColor_BlackMode : FColor_WhiteMode; }
  void setColor(TAlphaColor c) { (FIsBlackBackgroundMode ? FColor_BlackMode : FColor_WhiteMode) = c; }

  float FThickness = 2.0f;
  TStrokeDash FDash = TStrokeDash::Solid;
  bool FIsSelected = false;
  bool FIgnoreInPrinting = false;
  bool FIsVisible = true;
  bool FIsBlackBackgroundMode = true;
  TAlphaColor FColor_BlackMode = 0xFFFFFFFF;
  TAlphaColor FColor_WhiteMode = 0xFF000000;
};

// Index of the line type of every stitching hole (#37) and of previews (#40).
inline constexpr int kStitchingHolePalletIndex = 36;
inline constexpr int kPreviewPalletIndex = 39;
inline constexpr int kPalletCount = 40;

class TEditor;
class TQN_Path;

// The hint text of a line type's palette box ("#01" ... "#40 Offset Preview"); empty for
// an index outside 0..39.
QString palletHint(int index);

// With `create`, makes the 40 line types (only #01 current) and appends them to the
// editor's list. Then, in every case, writes the built-in colours and thicknesses into the
// list, and the built-in dash of the rows that fix one (#04-#07, #09, #10, #37-#40); the
// other rows keep their dash, and the flags are left as they are.
void setDefaultPalettes(TEditor &editor, bool create);

// The current line type: the last one with IsSelected among indexes 0..39; nullptr when
// none is current.
TDrawPallet *getCurrentPalette(const TEditor &editor);
// Its index, -1 when none is current.
int getCurrentPaletteIndex(const TEditor &editor);

// The line type a shape is drawn with. A stitching hole always has #37; a shape whose
// line-type index lies in 0..39 has that line type; a shape without one (index outside
// 0..39) has the first line type with its colour (as shown on the current background) and
// dash, else the first with its colour; nullptr when none has its colour.
TDrawPallet *getPaletteOfPath(const TEditor &editor, const TQN_Path &path);
// The index of that line type, -1 when none.
int getPaletteIndexOfPath(const TEditor &editor, const TQN_Path &path);

}  // namespace quillon
