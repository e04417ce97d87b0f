#include "render/palette_commands.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>

#include <algorithm>
#include <set>

#include "model/shape.h"
#include "model/shape_list.h"
#include "model/draw_pallet.h"
#include "render/shape_painters.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/selection.h"
#include "shell/undo.h"

namespace quillon {

namespace {

bool validIndex(const TEditor &editor, int lineType) {
  return lineType >= 0 && lineType < static_cast<int>(editor.pen().FPalletList.size());
}

// The tools during which a palette click only changes the pen.
bool toolKeepsSelectionStroke(const TEditor &editor) {
  return editor.tool().FTool == TTool::Stitch || editor.tool().FTool == TTool::Offset ||
         editor.tool().FTool == TTool::Backdrop;
}

void takeStroke(TQN_Path &shape, int lineType, const TDrawPallet &pallet) {
  shape.FPalletIndex = lineType;
  shape.FColor = pallet.Color();
  shape.FThickness = pallet.FThickness;
  shape.FDash = pallet.FDash;
}

// The other members of a radial repeat follow the stroke of the member that changed.
void carryStrokeToRepeat(TEditor &editor, const TQN_Path &source) {
  for (TQN_Path *member : editor.doc().PathList()) {
    if (member == &source || member->FMandalaID != source.FMandalaID) continue;
    member->FPalletIndex = source.FPalletIndex;
    member->FColor = source.FColor;
    member->FThickness = source.FThickness;
    member->FDash = source.FDash;
  }
}

int hexDigit(QChar c) {
  const char16_t u = c.unicode();
  if (u >= u'0' && u <= u'9') return u - u'0';
  if (u >= u'a' && u <= u'f') return u - u'a' + 10;
  if (u >= u'A' && u <= u'F') return u - u'A' + 10;
  return -1;
}

// A pair of hexadecimal digits; 0 when either is not one.
int hexByte(QChar high, QChar low) {
  const int h = hexDigit(high), l = hexDigit(low);
  return h < 0 || l < 0 ? 0 : h * 16 + l;
}

}  // namespace

void selectPalette(TEditor &editor, int lineType, bool repaintBar) {
  if (!validIndex(editor, lineType)) return;
  choosePen(editor.pen(), lineType);
  if (repaintBar) editor.ui().repaintPalettes();
}

void togglePaletteVisibility(TEditor &editor, int lineType) {
  if (!validIndex(editor, lineType)) return;
  TDrawPallet &pallet = *editor.pen().FPalletList[lineType];
  pallet.FIsVisible = !pallet.FIsVisible;
  if (!pallet.FIsVisible)
    for (TQN_Path *s : editor.doc().PathList())
      if (s->FSelected && s->FPalletIndex == lineType) s->SetSelected(false);
  editor.ui().repaintPalettes();
  editor.ui().refreshCanvas();
}

bool applyPaletteToSelection(TEditor &editor, int lineType) {
  if (!validIndex(editor, lineType)) return false;
  const TDrawPallet &pallet = *editor.pen().FPalletList[lineType];
  std::set<int> handledRepeats;
  bool changed = false;
  for (TQN_Path *s : editor.doc().PathList()) {
    if (s->FMandalaID > 0 && handledRepeats.count(s->FMandalaID)) continue;
    if (!s->FSelected || s->isKind(TShapeKind::Hole)) continue;
    takeStroke(*s, lineType, pallet);
    changed = true;
    if (s->FMandalaID > 0) {
      carryStrokeToRepeat(editor, *s);
      handledRepeats.insert(s->FMandalaID);
    }
  }
  if (changed) {
    deselectAll(editor);
    takeUndoSnapshot(editor, QStringLiteral("L25664"));
  }
  return changed;
}

bool palletBoxMouseDown(TEditor &editor, int lineType, TMouseButton button, TShiftState shift) {
  if (!validIndex(editor, lineType)) return false;
  switch (button) {
    case TMouseButton::Right:
      editor.pen().FSelectedPalette = lineType;
      return true;
    case TMouseButton::Left:
      if (hasCtrl(shift)) {
        editor.tool().FSplitNotSelectedWarning = false;
        togglePaletteVisibility(editor, lineType);
        editor.ui().refreshCanvas();
        return false;
      }
      selectPalette(editor, lineType, true);
      if (toolKeepsSelectionStroke(editor)) return false;
      applyPaletteToSelection(editor, lineType);
      editor.ui().refreshCanvas();
      return false;
    case TMouseButton::Middle: break;
  }
  return false;
}

void selectPaletteByDigitKey(TEditor &editor, QChar keyChar, TShiftState shift) {
  const char16_t c = keyChar.unicode();
  if (c < u'0' || c > u'9') return;
  const int lineType = c == u'0' ? 9 : c - u'1';
  palletBoxMouseDown(editor, lineType, TMouseButton::Left, shift);
}

void actLinePaletteShowHideExecute(TEditor &editor) { togglePaletteVisibility(editor, editor.pen().FSelectedPalette); }

void copyPalletList(const TPalletList &from, TPalletList &to) {
  const std::size_t n = std::min(from.size(), to.size());
  for (std::size_t i = 0; i < n; ++i) to[i]->copyFrom(*from[i]);
}

void applyEditPalletResult(TEditor &editor, TEditPalletResult result, const TPalletList &workingCopies) {
  switch (result) {
    case TEditPalletResult::Cancel: return;
    case TEditPalletResult::OK: copyPalletList(workingCopies, editor.pen().FPalletList); break;
    case TEditPalletResult::Default: setDefaultPalettes(editor.pen(), false); break;
  }
  if (const TDrawPallet *current = getCurrentPalette(editor.pen())) {
    editor.pen().FCurrentColor = current->Color();
    editor.pen().FCurrentThickness = current->FThickness;
    editor.pen().FCurrentDash = current->FDash;
  }
  editor.ui().repaintPalettes();
  editor.ui().refreshCanvas();
}

QString colorToHexText(TAlphaColor color) {
  return QStringLiteral("#%1%2%3")
      .arg((color >> 16) & 0xFF, 2, 16, QLatin1Char('0'))
      .arg((color >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
      .arg(color & 0xFF, 2, 16, QLatin1Char('0'))
      .toUpper();
}

bool hexTextToColor(const QString &text, TAlphaColor &color) {
  const QString digits = text.startsWith(QLatin1Char('#')) ? text.mid(1) : text;
  if (digits.size() != 6) return false;
  const int r = hexByte(digits[0], digits[1]);
  const int g = hexByte(digits[2], digits[3]);
  const int b = hexByte(digits[4], digits[5]);
  color = 0xFF000000u + TAlphaColor(r) * 65536u + TAlphaColor(g) * 256u + TAlphaColor(b);
  return true;
}

TStrokeDash dashOfChoice(bool solid, bool dash, bool dot, bool dashDot, bool dashDotDot, TStrokeDash current) {
  if (solid) return TStrokeDash::Solid;
  if (dash) return TStrokeDash::Dash;
  if (dot) return TStrokeDash::Dot;
  if (dashDot) return TStrokeDash::DashDot;
  if (dashDotDot) return TStrokeDash::DashDotDot;
  return current;
}

void paintPalletBox(QPainter &painter, const TDrawPallet &pallet, int w, int h, bool blackBackground,
                    float lineFactor) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setOpacity(1.0);
  painter.setBrush(Qt::NoBrush);
  painter.fillRect(QRectF(0, 0, w, h), QColor::fromRgba(blackBackground ? 0xFF000000u : 0xFFFFFFFFu));

  const qreal mid = h / 2.0;
  setCanvasStroke(painter, pallet.Color(), pallet.FThickness * lineFactor, pallet.FDash);
  painter.drawLine(QPointF(0, mid), QPointF(999, mid));

  if (pallet.FIsSelected) {
    setCanvasStroke(painter, 0xFFFF0000, 2.0f, TStrokeDash::Solid);
    painter.drawRect(QRectF(0, 0, w, h));
  }
  if (!pallet.FIsVisible) {
    setCanvasStroke(painter, blackBackground ? 0xFFFFFFFFu : 0xFF000000u, 2.0f, TStrokeDash::Solid);
    painter.drawLine(QPointF(0, 0), QPointF(w, h));
    painter.drawLine(QPointF(0, h), QPointF(w, 0));
  }
  painter.restore();
}

void paintPalletSample(QPainter &painter, const TDrawPallet &pallet, int w, int h) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setOpacity(1.0);
  painter.fillRect(QRectF(0, 0, w, h), QColor::fromRgba(0xFF000000u));
  setCanvasStroke(painter, pallet.Color(), pallet.FThickness, pallet.FDash);
  painter.setBrush(Qt::NoBrush);

  painter.drawLine(QPointF(5, 5), QPointF(w - 5, 5));
  const QPolygonF triangle({QPointF(w / 2.0, 10), QPointF(w - 5, h - 5), QPointF(5, h - 5)});
  painter.drawPolygon(triangle);
  painter.drawEllipse(QPointF(w / 2.0, h / 2.0 + 30), 50.0, 50.0);
  for (int i = 0; i < 15; ++i) {
    const qreal y = 15 + 10 * i;
    painter.drawLine(QPointF(5, y), QPointF(95 - 6 * i, y));
  }
  QPainterPath curve(QPointF(130, 20));
  curve.cubicTo(QPointF(280, 80), QPointF(160, 180), QPointF(220, 200));
  painter.drawPath(curve);
  painter.restore();
}

}  // namespace quillon
