#include "render/tool_previews.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

#include "edit/notch.h"
#include "edit/shape_geometry.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "model/draw_pallet.h"
#include "render/shape_painters.h"
#include "shell/editor.h"
#include "shell/length_units.h"
#include "shell/options.h"
#include "tools/mark_tools.h"
#include "shell/view_transform.h"
#include "tools/snapping.h"

namespace quillon {

namespace {

const QString kLinearDimensionFont = QStringLiteral("Yu Gothic UI");
const QString kRadiusDimensionFont = QStringLiteral("Arial");
constexpr float kArrowAngle = 30.0f;
constexpr float kArrowLength = 1.0f;
constexpr TAlphaColor kYellow = 0xFFFFFF00;

QPointF px(const TEditor &editor, TPointF real) {
  const TPointF v = realToVirtual(editor.view(), real);
  return {v.X, v.Y};
}

TPointF midpoint(TPointF a, TPointF b) { return {(a.X + b.X) / 2.0f, (a.Y + b.Y) / 2.0f}; }

// The line type of dimensions: the entry of the list at the dimension tab's index, or a
// default line type when the index lies outside the list.
const TDrawPallet &dimensionLineType(const TEditor &editor) {
  static const TDrawPallet fallback;
  const int idx = editor.panel().DimPalletIndex;
  if (idx >= 0 && static_cast<std::size_t>(idx) < editor.pen().FPalletList.size())
    return *editor.pen().FPalletList[static_cast<std::size_t>(idx)];
  return fallback;
}

// A ring of 3 px around the screen position of a real point, in the current pen.
void pointMarker(const TEditor &editor, QPainter &canvas, TPointF p) {
  StrokeScope scope(canvas, canvas.opacity());
  canvas.drawEllipse(px(editor, p), 3.0, 3.0);
}

void strokeLine(const TEditor &editor, QPainter &canvas, TPointF a, TPointF b) {
  canvas.drawLine(px(editor, a), px(editor, b));
}

// A text shape of the dimension line type (not yet laid out).
std::unique_ptr<TQN_Path> newDimensionText(TEditor &editor, const TDrawPallet &L, bool preview) {
  const int id = preview ? -1 : editor.doc().PathList().getNextID();
  auto text =
      std::make_unique<TQN_Path>(editor.panel().DimPalletIndex, L.Color(), L.FThickness, TStrokeDash::Solid, id);
  text->FIsDimensionLine = true;
  return text;
}

// Lays out `tx` at `at` and keeps the ends of its base line as its start and end points.
void layOutText(TQN_Path &text, const QString &tx, TPointF at, float fontSize, float rotation, const QString &font) {
  text.drawTextPath(tx, at, fontSize, rotation, font, 0.0f, 1.0f);
  const double rho = double(rotation) * std::numbers::pi / 180.0;
  text.FStartPt = at;
  text.FEndPt = at + TPointF(float(std::cos(rho) * text.FWidth), float(std::sin(rho) * text.FWidth));
}

void translateText(TQN_Path &text, TPointF by) {
  text.Data().Translate(by.X, by.Y);
  text.FStartPt += by;
  text.FEndPt += by;
  text.FCenter += by;
  text.resetBoundary();
}

// The scratch text of a preview, drawn in pixels with a solid pen of the line type.
void drawPreviewText(const TEditor &editor, QPainter &canvas, TQN_Path &text, const TDrawPallet &L) {
  pathToVirtual(editor.view(), text, editor.view().FOffset);
  setCanvasStroke(canvas, L.Color(), L.FThickness, TStrokeDash::Solid);
  {
    StrokeScope scope(canvas, 1.0);
    canvas.drawPath(toPainterPath(text.Data()));
  }
  setCanvasStroke(canvas, L.Color(), L.FThickness, L.FDash);
}

// A LINE of a dimension: the line type's palette index, colour and thickness, the given
// dash, the next ID; added to the document on the active layer.
TQN_Path *addDimensionLine(TEditor &editor, const TDrawPallet &L, TStrokeDash dash, TPointF from, TPointF to,
                           int groupId, bool arrowSt, bool arrowEd) {
  auto *line =
      new TQN_Path(editor.panel().DimPalletIndex, L.Color(), L.FThickness, dash, editor.doc().PathList().getNextID());
  line->drawLinePath(from, to);
  line->FIsDimensionLine = true;
  line->FGroupID = groupId;
  line->FShowArrowSt = arrowSt;
  line->FShowArrowEd = arrowEd;
  editor.doc().add(std::unique_ptr<TQN_Path>(line), editor.FActiveLayer);
  return line;
}

}  // namespace

void drawArrowHead(const TEditor &editor, QPainter &canvas, TPointF point, TPointF direction, float angle,
                   float length) {
  const QPointF tip = px(editor, point);
  canvas.drawLine(tip, px(editor, point + rotateVector(direction, angle) * length));
  canvas.drawLine(tip, px(editor, point + rotateVector(direction, -angle) * length));
}

TTextSize measureTextSize(const QString &fontFamily, float fontSize, const QString &text) {
  TQN_Path scratch(-1, 0, 1.0f, TStrokeDash::Solid, -1);
  scratch.drawTextPath(text, {0.0f, 0.0f}, fontSize, 0.0f, fontFamily, 0.0f, 1.0f);
  if (scratch.Data().IsEmpty()) return {};
  const TRectF box = scratch.getMinMaxRect();
  return {box.width(), box.height()};
}

QString dimensionLengthText(const TEditor &editor, double mm) {
  TLengthFormatSettings format = editor.FOptions ? editor.FOptions->LengthFormatSettings : TLengthFormatSettings{};
  format.InchDisplayMode = idmHybrid;
  const int digits = editor.panel().DimPrecision;
  if (format.UnitMode == umIN)
    format.InchDecimalDigits = digits;
  else
    format.MmDecimalDigits = digits;
  return FormatLength(mm, format, true, true);
}

void drawLinearDimension(TEditor &editor, QPainter *canvas, TPointF point) {
  if (editor.tool().Clicked_Points.empty()) return;
  const TDrawPallet &L = dimensionLineType(editor);
  const TPanelValues &panel = editor.panel();
  const TPointF A = editor.tool().Clicked_Points[0];
  if (canvas) {
    setCanvasStroke(*canvas, L.Color(), L.FThickness, L.FDash);
    pointMarker(editor, *canvas, A);
  }

  // The ends of the dimension line and the starts of the extension lines.
  const bool placed = editor.tool().Clicked_Points.size() >= 2;
  TPointF q = point, E1 = A, E2 = point, A2 = A, B2 = point;
  if (placed) {
    q = virtualToReal(editor, editor.pointer().FLastMousePos);
    const TPointF B = editor.tool().Clicked_Points[1];
    if (canvas) pointMarker(editor, *canvas, B);
    const TPointF d = calcUnitVector(A, B);
    // Coinciding measured points have no direction: the offset is then taken from A.
    TPointF r = A;
    if (!d.isZero() && !intersectInfiniteLines(A, d, rotateVector(d, 90.0f), q, r)) r = A;
    const TPointF o = calcUnitVector(r, q);
    const float f = calcDistance(q, r);
    E1 = A + o * f;
    E2 = B + o * f;
    A2 = A + o * panel.DimGapMm;
    B2 = B + o * panel.DimGapMm;
  }
  const float D = calcDistance(E1, E2);
  const QString tx = dimensionLengthText(editor, D);

  std::unique_ptr<TQN_Path> text = newDimensionText(editor, L, canvas != nullptr);
  int groupId = 0;
  if (!canvas) {
    groupId = editor.doc().PathList().getNextID();
    text->FGroupID = groupId;
  }
  const TPointF along = panel.chkDms_TextReverse ? E1 - E2 : E2 - E1;
  double rotation = std::atan2(double(along.Y), double(along.X)) * 180.0 / std::numbers::pi;
  if (rotation < 0.0) rotation += 360.0;
  layOutText(*text, tx, q, panel.DimFontSize, float(rotation), kLinearDimensionFont);
  const float w = text->FWidth;

  // Centred on the middle of the dimension line; a single line moves it off the line.
  TPointF shift = midpoint(E1, E2) - text->FCenter;
  if (panel.chkDms_SingleLine) {
    const TPointF u = calcUnitVector(A, E1);
    const float h = measureTextSize(kLinearDimensionFont, panel.DimFontSize, tx).Height;
    const float s = panel.chkDms_TextInside ? -1.05f : 1.0f;
    shift += u * (h * s);
  }
  translateText(*text, shift);
  if (canvas)
    drawPreviewText(editor, *canvas, *text, L);
  else
    editor.doc().add(std::move(text), editor.FActiveLayer);

  const TPointF e = calcUnitVector(E1, E2);
  if (panel.chkDms_SingleLine) {
    if (canvas)
      strokeLine(editor, *canvas, E1, E2);
    else
      addDimensionLine(editor, L, L.FDash, E1, E2, groupId, true, true);
  } else {
    const float k = D / 2.0f - w / 2.0f - 0.5f;
    const TPointF G1 = E1 + e * k, G2 = E2 - e * k;
    if (canvas) {
      strokeLine(editor, *canvas, G1, E1);
      strokeLine(editor, *canvas, G2, E2);
    } else {
      addDimensionLine(editor, L, L.FDash, G1, E1, groupId, false, true);
      addDimensionLine(editor, L, L.FDash, G2, E2, groupId, false, true);
    }
  }
  if (canvas) {
    drawArrowHead(editor, *canvas, E1, e, kArrowAngle, kArrowLength);
    drawArrowHead(editor, *canvas, E2, -e, kArrowAngle, kArrowLength);
  }

  if (placed && !panel.chkDms_ArrowOnly) {
    if (canvas) {
      strokeLine(editor, *canvas, E1, A2);
      strokeLine(editor, *canvas, E2, B2);
    } else {
      addDimensionLine(editor, L, L.FDash, A2, E1, groupId, false, false);
      addDimensionLine(editor, L, L.FDash, B2, E2, groupId, false, false);
    }
  }
}

void drawRadiusDimension(TEditor &editor, QPainter *canvas, TPointF point) {
  TQN_Path *arc = editor.tool().FDimensionShape;
  if (editor.tool().Clicked_Points.empty() || !arc || editor.doc().PathList().IndexOf(arc) < 0) return;
  const TDrawPallet &L = dimensionLineType(editor);
  const TPanelValues &panel = editor.panel();
  const TPointF A = editor.tool().Clicked_Points[0];
  if (canvas) {
    setCanvasStroke(*canvas, L.Color(), L.FThickness, L.FDash);
    pointMarker(editor, *canvas, A);
  }
  TPointF B = point;
  if (editor.tool().Clicked_Points.size() >= 2) {
    B = editor.tool().Clicked_Points[1];
    if (canvas) pointMarker(editor, *canvas, B);
  }
  const TPointF d = calcUnitVector(A, B);
  const TPointF T = A + d * (2.0f * panel.DimGapMm);
  const QString tx = QStringLiteral("R=") + dimensionLengthText(editor, arc->FWidth);

  // Laid out at B, then again half its base line to the left so that it is centred on B.
  std::unique_ptr<TQN_Path> text = newDimensionText(editor, L, canvas != nullptr);
  layOutText(*text, tx, B, panel.DimFontSize, 0.0f, kRadiusDimensionFont);
  layOutText(*text, tx, B - (text->FEndPt - text->FStartPt) * 0.5f, panel.DimFontSize, 0.0f, kRadiusDimensionFont);
  const float dy = -(text->FEndPt.Y - text->FStartPt.Y) / 2.0f;
  text->FStartPt.Y += dy;
  text->FEndPt.Y += dy;
  text->FCenter = midpoint(text->FStartPt, text->FEndPt);

  const TPointF K = T + d * (0.85f * calcDistance(B, T));
  if (canvas) {
    strokeLine(editor, *canvas, T, K);
    drawArrowHead(editor, *canvas, T, d, kArrowAngle, kArrowLength);
    drawPreviewText(editor, *canvas, *text, L);
    return;
  }
  editor.doc().add(std::move(text), editor.FActiveLayer);
  addDimensionLine(editor, L, TStrokeDash::Solid, T, K, 0, true, false);
}

void drawMarkToolPreviews(TEditor &editor, QPainter &canvas, TPointF cur) {
  const std::size_t n = editor.tool().Clicked_Points.size();
  const TTool tool = editor.tool().FTool;
  if (n == 1 && (editor.tool().FIsCenterLineMode || tool == TTool::DistMarkLine)) {
    const TPointF P0 = editor.tool().Clicked_Points[0];
    setCanvasStroke(canvas, kYellow, 1.0f, TStrokeDash::Solid);
    {
      StrokeScope scope(canvas, canvas.opacity());
      canvas.drawEllipse(px(editor, P0), 5.0, 5.0);
    }
    setCanvasStroke(canvas, kYellow, 2.0f, TStrokeDash::Dot);
    if (tool == TTool::DistMarkLine) {
      commitDistanceMarkingTool(editor, cur, true, &canvas);
    } else {
      strokeLine(editor, canvas, cur, P0);
      const TPanelValues &panel = editor.panel();
      const TPointF w = rotateVector(calcUnitVector(cur, P0), 90.0f);
      const float k = std::max(1.0f, panel.nbNumDividingCenter);
      const TPointF d = (P0 - cur) * (1.0f / k);
      const float len = panel.nbCenterLineLength1;
      const int last = int(std::lround(k));
      setCanvasStroke(canvas, editor.pen().FCurrentColor, editor.pen().FCurrentThickness * 2.0f,
                      editor.pen().FCurrentDash);
      for (int j = 0; j <= last; ++j) {
        if ((j == 0 || j == last) && !panel.chkDrawEdges) continue;
        const TPointF m = cur + d * float(j);
        strokeLine(editor, canvas, m + w * (len / 2.0f), m - w * (len / 2.0f));
      }
    }
  }

  if (tool == TTool::DimensionLine && n > 0) {
    if (editor.tool().FDimensionShape)
      drawRadiusDimension(editor, &canvas, cur);
    else
      drawLinearDimension(editor, &canvas, cur);
  }
}

}  // namespace quillon

namespace quillon {

void drawNotchPreview(const TEditor &editor, QPainter &canvas) {
  if (!editor.tool().FIsNotchMode) return;
  const std::optional<TNotchGeometry> notch =
      notchPreview(editor, virtualToReal(editor, editor.pointer().FLastMousePos, true));
  if (!notch) return;
  const auto px = [&](TPointF real) {
    const TPointF p = realToVirtual(editor.view(), real);
    return QPointF(p.X, p.Y);
  };
  canvas.save();
  canvas.setOpacity(1.0);
  QPen pen = canvas.pen();
  pen.setStyle(Qt::SolidLine);
  pen.setColor(QColor::fromRgba(0xFF0000FF));
  canvas.setPen(pen);
  canvas.drawLine(px(notch->P0), px(notch->Apex));
  pen.setColor(QColor::fromRgba(0xFFFFFF00));
  canvas.setPen(pen);
  canvas.drawLine(px(notch->ArmEnd1), px(notch->Apex));
  canvas.drawLine(px(notch->ArmEnd2), px(notch->Apex));
  canvas.restore();
}

}  // namespace quillon
