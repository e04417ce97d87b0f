#include "render/shape_stroke.h"

#include <QBrush>
#include <QColor>
#include <QPainter>
#include <QPen>

#include <cmath>

#include "model/shape.h"
#include "model/draw_pallet.h"
#include "shell/editor.h"

namespace quillon {

namespace {

bool hasValidPalletIndex(const TEditor &editor, const TQN_Path &path) {
  return path.FPalletIndex >= 0 && path.FPalletIndex < kPalletCount &&
         static_cast<std::size_t>(path.FPalletIndex) < editor.pen().FPalletList.size();
}

// A shape is left off the page when its own line type is not for print; a shape without
// a line type when some not-for-print line type has its colour, thickness and dash.
bool isNotForPrint(const TEditor &editor, const TQN_Path &path) {
  if (hasValidPalletIndex(editor, path)) return editor.pen().FPalletList[path.FPalletIndex]->FIgnoreInPrinting;
  for (const auto &pallet : editor.pen().FPalletList) {
    if (pallet->FIgnoreInPrinting && pallet->Color() == path.FColor && pallet->FThickness == path.FThickness &&
        pallet->FDash == path.FDash)
      return true;
  }
  return false;
}

Qt::PenStyle penStyle(TStrokeDash dash) {
  switch (dash) {
    case TStrokeDash::Dash: return Qt::DashLine;
    case TStrokeDash::Dot: return Qt::DotLine;
    case TStrokeDash::DashDot: return Qt::DashDotLine;
    case TStrokeDash::DashDotDot: return Qt::DashDotDotLine;
    case TStrokeDash::Solid:
    case TStrokeDash::Custom: break;  // no custom pattern is ever set: solid
  }
  return Qt::SolidLine;
}

}  // namespace

TShapeStroke shapeStroke(const TEditor &editor, const TQN_Path &path, const TPrintStrokeContext *printing) {
  // The line type the shape is drawn with, holding the shape's own thickness.
  TDrawPallet pallet;
  if (hasValidPalletIndex(editor, path)) {
    pallet.copyFrom(*editor.pen().FPalletList[path.FPalletIndex]);
  } else {
    pallet.setColor(path.FColor);
    pallet.FDash = path.FDash;
  }
  pallet.FThickness = path.FThickness;

  TShapeStroke stroke;
  if (printing) {
    const TAlphaColor color = printing->PrintInColor ? pallet.Color() : 0xFF000000;
    stroke.StrokeColor = color;
    stroke.FillColor = color;
    stroke.FillSet = true;
    const bool shown = (printing->IsPreviewing && printing->ShowNotForPrintLines) || !isNotForPrint(editor, path);
    stroke.Thickness = shown ? path.FThickness * printing->ThicknessFactor : 0.0f;
    stroke.Dash = path.FDash;
  } else if (path.FIsSymmetryTarget) {
    stroke.StrokeColor = editor.display().FColor_Centerline;
    stroke.Thickness = 2.5f;
    stroke.Dash = TStrokeDash::Dot;
  } else {
    stroke.StrokeColor = path.FSelected ? editor.display().FStrokeDefs.SelectionColor : pallet.Color();
    stroke.FillColor = pallet.Color();
    stroke.FillSet = true;
    stroke.Thickness = pallet.FThickness - 0.5f + static_cast<float>(std::log10(double(editor.view().FScale)) / 2.0);
    stroke.Dash = pallet.FDash;
  }
  return stroke;
}

void applyShapeStroke(QPainter &painter, const TShapeStroke &stroke) {
  if (stroke.Thickness > 0.0f) {
    QPen pen(QBrush(QColor::fromRgba(stroke.StrokeColor)), stroke.Thickness, penStyle(stroke.Dash), Qt::FlatCap,
             Qt::MiterJoin);
    painter.setPen(pen);
  } else {
    painter.setPen(Qt::NoPen);
  }
  if (stroke.FillSet) painter.setBrush(QBrush(QColor::fromRgba(stroke.FillColor)));
}

}  // namespace quillon
