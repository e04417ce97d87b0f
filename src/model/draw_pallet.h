#pragma once
// TDrawPallet: one of the 40 line types of the editor (the palette): stroke width, dash,
// a colour for the dark and one for the light canvas background, and whether shapes of
// the type are left out of printed pages.
#include <QString>

#include <memory>
#include <vector>

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

class TQN_Path;

using TPalletList = std::vector<std::unique_ptr<TDrawPallet>>;

// The pen new shapes are drawn with, and the 40 line types it is chosen from.
struct TPenState {
  TPalletList FPalletList;
  int FSelectedPalette = 0;  // the line type the palette menu works on
  TAlphaColor FCurrentColor = 0xFFFFFFFF;
  float FCurrentThickness = 1.0f;
  TStrokeDash FCurrentDash = TStrokeDash::Solid;
};

// The hint text of a line type's palette box ("#01" ... "#40 Offset Preview"); empty for
// an index outside 0..39.
QString palletHint(int index);

// With `create`, makes the 40 line types (only #01 current) and appends them to the
// pen's list. Then, in every case, writes the built-in colours and thicknesses into the
// list, and the built-in dash of the rows that fix one (#04-#07, #09, #10, #37-#40); the
// other rows keep their dash, and the flags are left as they are.
void setDefaultPalettes(TPenState &pen, bool create);

// The current line type: the last one with IsSelected among indexes 0..39; nullptr when
// none is current.
TDrawPallet *getCurrentPalette(const TPenState &pen);
// Its index, -1 when none is current.
int getCurrentPaletteIndex(const TPenState &pen);

// The line type a shape is drawn with. A stitching hole always has #37; a shape whose
// line-type index lies in 0..39 has that line type; a shape without one (index outside
// 0..39) has the first line type with its colour (as shown on the current background) and
// dash, else the first with its colour; nullptr when none has its colour.
TDrawPallet *getPaletteOfPath(const TPenState &pen, const TQN_Path &path);
// The index of that line type, -1 when none.
int getPaletteIndexOfPath(const TPenState &pen, const TQN_Path &path);

// Makes lineType the only current line type and copies its colour (for the current
// background), thickness and dash into the pen, remembering it as FSelectedPalette. An
// index outside the list does nothing.
void choosePen(TPenState &pen, int lineType);

}  // namespace quillon
