#include "model/draw_pallet.h"

#include <algorithm>
#include <optional>

#include "model/shape.h"

namespace quillon {

void TDrawPallet::copyFrom(const TDrawPallet &pallet) {
  FThickness = pallet.FThickness;
  FDash = pallet.FDash;
  FIsSelected = pallet.FIsSelected;
  FIgnoreInPrinting = pallet.FIgnoreInPrinting;
  FIsVisible = pallet.FIsVisible;
  FIsBlackBackgroundMode = pallet.FIsBlackBackgroundMode;
  FColor_BlackMode = pallet.FColor_BlackMode;
  FColor_WhiteMode = pallet.FColor_WhiteMode;
}

namespace {

// One row of the built-in line types. `Dash` is empty for the rows whose dash is Solid
// only when the line types are created, so that a reset keeps the user's dash there.
struct TDefaultPallet {
  const char *Hint;
  float Thickness;
  TAlphaColor DarkColor;
  TAlphaColor LightColor;
  std::optional<TStrokeDash> Dash;
};

constexpr std::optional<TStrokeDash> kKeepDash;

const TDefaultPallet kDefaultPallets[kPalletCount] = {
    {"#01", 1.5f, 0xFF00FFFF, 0xFF00008B, kKeepDash},
    {"#02", 1.5f, 0xFF00FF00, 0xFF006400, kKeepDash},
    {"#03", 1.2f, 0xFFFFFFFF, 0xFF000000, kKeepDash},
    {"#04", 1.1f, 0xFFFFFF00, 0xFFBDB76B, TStrokeDash::Dash},
    {"#05", 1.5f, 0xFFEE82EE, 0xFF9400D3, TStrokeDash::Dot},
    {"#06", 1.8f, 0xFF808080, 0xFFA9A9A9, TStrokeDash::DashDot},
    {"#07", 1.8f, 0xFF808080, 0xFFA9A9A9, TStrokeDash::DashDotDot},
    {"#08", 1.5f, 0xFFFFA500, 0xFFFF8C00, kKeepDash},
    {"#09", 1.8f, 0xFFA52A2A, 0xFFE9967A, TStrokeDash::Dash},
    {"#10", 1.5f, 0xFFFFC0CB, 0xFF8B008B, TStrokeDash::Dash},
    {"#11", 1.5f, 0xFFFF0000, 0xFFFF0000, kKeepDash},
    {"#12", 1.5f, 0xFF000077, 0xFF000077, kKeepDash},
    {"#13", 1.5f, 0xFF0000BB, 0xFF0000BB, kKeepDash},
    {"#14", 1.5f, 0xFF0000FF, 0xFF0000FF, kKeepDash},
    {"#15", 1.5f, 0xFF007700, 0xFF007700, kKeepDash},
    {"#16", 1.5f, 0xFF0077BB, 0xFF0077BB, kKeepDash},
    {"#17", 1.5f, 0xFF00BB00, 0xFF00BB00, kKeepDash},
    {"#18", 1.5f, 0xFF00BB77, 0xFF00BB77, kKeepDash},
    {"#19", 1.5f, 0xFF00BBBB, 0xFF00BBBB, kKeepDash},
    {"#20", 1.5f, 0xFF770000, 0xFF770000, kKeepDash},
    {"#21", 1.5f, 0xFF770077, 0xFF770077, kKeepDash},
    {"#22", 1.5f, 0xFF7700BB, 0xFF7700BB, kKeepDash},
    {"#23", 1.5f, 0xFF777700, 0xFF777700, kKeepDash},
    {"#24", 1.5f, 0xFF777777, 0xFF777777, kKeepDash},
    {"#25", 1.5f, 0xFF7777BB, 0xFF7777BB, kKeepDash},
    {"#26", 1.5f, 0xFF77BB00, 0xFF77BB00, kKeepDash},
    {"#27", 1.5f, 0xFF77BB77, 0xFF77BB77, kKeepDash},
    {"#28", 1.5f, 0xFF77BBBB, 0xFF77BBBB, kKeepDash},
    {"#29", 1.5f, 0xFFBB0000, 0xFFBB0000, kKeepDash},
    {"#30", 1.5f, 0xFFBB0077, 0xFFBB0077, kKeepDash},
    {"#31", 1.5f, 0xFFBB00BB, 0xFFBB00BB, kKeepDash},
    {"#32", 1.5f, 0xFFBB7700, 0xFFBB7700, kKeepDash},
    {"#33", 1.5f, 0xFFBB7777, 0xFFBB7777, kKeepDash},
    {"#34", 1.5f, 0xFFBB77BB, 0xFFBB77BB, kKeepDash},
    {"#35", 1.5f, 0xFFBBBB77, 0xFFBBBB77, kKeepDash},
    {"#36", 1.5f, 0xFFBBBBBB, 0xFFBBBBBB, kKeepDash},
    {"#37 Stitching Hole", 1.0f, 0xFFFFFFFF, 0xFFD2691E, TStrokeDash::Dot},
    {"#38 Boundary", 1.5f, 0xFFEE82EE, 0xFFEE82EE, TStrokeDash::Dash},
    {"#39 Scale", 2.0f, 0xFFFFFFFF, 0xFF000000, TStrokeDash::Solid},
    {"#40 Offset Preview", 1.5f, 0xFFFF00FF, 0xFFFF40FF, TStrokeDash::Solid},
};

// Number of line types the lookups scan: the list, at most 40.
int scannedCount(const TPenState &pen) {
  return static_cast<int>(std::min<std::size_t>(pen.FPalletList.size(), kPalletCount));
}

}  // namespace

QString palletHint(int index) {
  if (index < 0 || index >= kPalletCount) return QString();
  return QString::fromLatin1(kDefaultPallets[index].Hint);
}

void setDefaultPalettes(TPenState &pen, bool create) {
  if (create) {
    for (int i = 0; i < kPalletCount; ++i) {
      auto pallet = std::make_unique<TDrawPallet>();
      pallet->FIsSelected = (i == 0);
      pen.FPalletList.push_back(std::move(pallet));
    }
  }
  const int count = scannedCount(pen);
  for (int i = 0; i < count; ++i) {
    const TDefaultPallet &row = kDefaultPallets[i];
    TDrawPallet &pallet = *pen.FPalletList[i];
    pallet.FColor_BlackMode = row.DarkColor;
    pallet.FColor_WhiteMode = row.LightColor;
    pallet.FThickness = row.Thickness;
    if (row.Dash) pallet.FDash = *row.Dash;
  }
}

int getCurrentPaletteIndex(const TPenState &pen) {
  int result = -1;
  const int count = scannedCount(pen);
  for (int i = 0; i < count; ++i)
    if (pen.FPalletList[i]->FIsSelected) result = i;
  return result;
}

TDrawPallet *getCurrentPalette(const TPenState &pen) {
  const int index = getCurrentPaletteIndex(pen);
  return index < 0 ? nullptr : pen.FPalletList[index].get();
}

int getPaletteIndexOfPath(const TPenState &pen, const TQN_Path &path) {
  const int count = scannedCount(pen);
  if (path.isKind(TShapeKind::Hole)) return kStitchingHolePalletIndex < count ? kStitchingHolePalletIndex : -1;
  if (path.FPalletIndex >= 0 && path.FPalletIndex < count) return path.FPalletIndex;

  // A shape without a line type: the first one that shows its colour and dash, else the
  // first that shows its colour.
  for (int i = 0; i < count; ++i) {
    const TDrawPallet &pallet = *pen.FPalletList[i];
    if (pallet.Color() == path.FColor && pallet.FDash == path.FDash) return i;
  }
  for (int i = 0; i < count; ++i)
    if (pen.FPalletList[i]->Color() == path.FColor) return i;
  return -1;
}

TDrawPallet *getPaletteOfPath(const TPenState &pen, const TQN_Path &path) {
  const int index = getPaletteIndexOfPath(pen, path);
  return index < 0 ? nullptr : pen.FPalletList[index].get();
}

void choosePen(TPenState &pen, int lineType) {
  if (lineType < 0 || lineType >= static_cast<int>(pen.FPalletList.size())) return;
  for (std::size_t i = 0; i < pen.FPalletList.size(); ++i)
    pen.FPalletList[i]->FIsSelected = static_cast<int>(i) == lineType;
  const TDrawPallet &pallet = *pen.FPalletList[static_cast<std::size_t>(lineType)];
  pen.FCurrentColor = pallet.Color();
  pen.FCurrentThickness = pallet.FThickness;
  pen.FCurrentDash = pallet.FDash;
  pen.FSelectedPalette = lineType;
}

}  // namespace quillon
