#include "render/overlays.h"

#include <QBrush>
#include <QPainter>
#include <QPen>

#include <cmath>

#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "platform/number_text.h"
#include "render/shape_painters.h"
#include "shell/view_transform.h"
#include "tools/snapping.h"
#include "shell/editor.h"
#include "shell/groups.h"

namespace quillon {

namespace {

constexpr TAlphaColor kPageFrameBlue = 0xFF0000FF;
constexpr TAlphaColor kGroupFrameWhite = 0xFFFFFFFF;

QPointF qp(TPointF p) { return {p.X, p.Y}; }
QPointF pixel(const TEditor &editor, TPointF real) { return qp(realToVirtual(editor.view(), real)); }


// The angle in degrees of section k of n sections turned by `rotation` degrees.
double sectionAngle(int n, int k, double rotation) { return double(k) * 360.0 / double(n) + rotation; }

// The pointer in millimetres with snapping, as the drag state converts it.
TPointF snappedPointer(const TEditor &editor, const TBezierDragState &drag) {
  return drag.VirtualToRealSnapped ? drag.VirtualToRealSnapped(drag.LastMousePos)
                                   : virtualToReal(editor, drag.LastMousePos);
}

// The neighbour Bezier at the edited end, with its handle at the joint mirrored through
// the joint to the pointer's opposite side, painted dotted in the centre-line colour with
// all its handles.
void drawMirroredHandlePreview(TEditor &editor, QPainter &canvas, const TBezierDragState &drag) {
  if (!drag.OpponentBezierInfo) return;
  const TOpponentBezier o = drag.OpponentBezierInfo(drag.EditInfo);
  if (!o.Bezier) return;
  const TQN_Path &edited = *drag.EditInfo.p;
  const TQN_Path &n = *o.Bezier;

  const TPointF m = snappedPointer(editor, drag);
  const TPointF joint = drag.EditInfo.IsCP1 ? edited.FStartPt : edited.FEndPt;
  const TPointF q = joint + (joint - m);  // m reflected through the joint

  TQN_Path preview(n.FPalletIndex, editor.display().FColor_Centerline, n.FThickness, TStrokeDash::Dot, -1);
  preview.drawBezierPath(n.FStartPt, o.AtCp1 ? q : n.FBezierCp1, o.AtCp1 ? n.FBezierCp2 : q, n.FEndPt);

  const QPen saved = canvas.pen();
  setCanvasStroke(canvas, preview.FColor, preview.FThickness, preview.FDash);
  TShapePaintState onScreen;
  drawBezierShape(editor, canvas, preview, true, onScreen);
  canvas.setPen(saved);
}

}  // namespace

void drawPrintAreas(TEditor &editor, QPainter &painter, const TPrintAreaState &state) {
  if (!state.IsPrintAreaAvailable || state.IsPrinting || state.IsPrintPreviewing || !state.PrintPageRect) return;
  const int pages = static_cast<int>(editor.doc().PathList().PrintOffset().size());
  for (int i = 0; i < pages; ++i) {
    const TRectF r = state.PrintPageRect(i);
    setCanvasStroke(painter, kPageFrameBlue, 1.0f, TStrokeDash::DashDotDot);
    {
      StrokeScope scope(painter, 0.9);
      painter.drawRect(QRectF(pixel(editor, r.topLeft()), pixel(editor, r.bottomRight())));
    }
    if (state.TilePrint && state.DrawTileOverlapMarks) state.DrawTileOverlapMarks(painter, i);
  }
}

void drawGroupRectangles(TEditor &editor, QPainter &painter) {
  const std::vector<int> ids = getSelectedGroupIds(editor);
  if (ids.empty()) return;
  setCanvasStroke(painter, kGroupFrameWhite, 1.0f, TStrokeDash::Dot);
  StrokeScope scope(painter, 1.0);
  for (int id : ids) {
    const TRectF b = getGroupBounds(editor, id);
    const QPointF tl = pixel(editor, b.topLeft()) - QPointF(2.0, 2.0);
    const QPointF br = pixel(editor, b.bottomRight()) + QPointF(2.0, 2.0);
    painter.drawRect(QRectF(tl, br));
  }
}

void drawMandalaGuides(TEditor &editor, QPainter &painter, const TMandalaGuideState &state) {
  const TPointF c = state.Center;
  const QPointF pc = pixel(editor, c);

  // Section borders (even) and the mirror axes halfway between them (odd).
  const int n = 2 * static_cast<int>(roundHalfEven(state.NumSections));
  if (n >= 2) {
    for (int i = 0; i < n; ++i) {
      const double a = sectionAngle(n, i, state.Rotation);
      const TPointF d = rotateVector(TPointF(1.0f, 0.0f), static_cast<float>(a));
      setCanvasStroke(painter,
                      i % 2 == 0 ? editor.display().FMandalaSectionColor : editor.display().FMandalaSectionColor2,
                      0.75f, TStrokeDash::Solid);
      StrokeScope scope(painter, 0.6);
      painter.drawLine(pc, pixel(editor, c + d * editor.display().FLastMandalaSectionLength));
    }
  }

  // Guide circles.
  setCanvasStroke(painter, editor.display().FMandalaSectionColor, 0.75f, TStrokeDash::Solid);
  StrokeScope scope(painter, 0.6);
  for (float g : state.CircleGuides) {
    const float r = g * editor.display().FMandala_Circle_Factor;
    painter.drawEllipse(QRectF(pixel(editor, c - TPointF(r, r)), pixel(editor, c + TPointF(r, r))));
  }
}

TPointF constrainHandleToAxis(const TBezierEditingInfo &EditInfo, TPointF P) {
  if (!EditInfo.p) return P;
  const TQN_Path &s = *EditInfo.p;
  const TPointF b = EditInfo.IsCP1 ? s.FStartPt : s.FEndPt;
  const TPointF h = EditInfo.IsCP1 ? s.FBezierCp1 : s.FBezierCp2;
  const double vx = double(h.X) - b.X, vy = double(h.Y) - b.Y;
  const double len = std::hypot(vx, vy);
  if (len <= 1e-6) return P;
  const double ux = vx / len, uy = vy / len;
  const double t = (double(P.X) - b.X) * ux + (double(P.Y) - b.Y) * uy;
  return {static_cast<float>(b.X + ux * t), static_cast<float>(b.Y + uy * t)};
}

void getPaintedBezierControlPoints(TEditor &editor, QPainter &painter, TPointF &Cp1, TPointF &Cp2,
                                   const TBezierDragState &drag, const TQN_Path &shape) {
  Cp1 = realToVirtual(editor.view(), shape.FBezierCp1);
  Cp2 = realToVirtual(editor.view(), shape.FBezierCp2);
  const TBezierEditingInfo &info = drag.EditInfo;
  if (!(info.IsBezierEditing && drag.IsMouseDown && info.p == &shape)) return;

  // The drag position: kept on the handle's axis with Shift alone.
  TPointF pos = drag.LastMousePos;
  if (drag.ShiftHeld && !drag.CtrlHeld)
    pos = realToVirtual(editor.view(), constrainHandleToAxis(info, snappedPointer(editor, drag)));
  if (info.IsCP1)
    Cp1 = pos;
  else
    Cp2 = pos;

  if (drag.ShiftHeld && drag.CtrlHeld) drawMirroredHandlePreview(editor, painter, drag);
}

}  // namespace quillon
