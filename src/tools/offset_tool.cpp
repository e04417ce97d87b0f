#include "tools/offset_tool.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <limits>

#include "edit/curve_chains.h"
#include "model/bezier.h"
#include "model/intersection.h"
#include "model/intersection_finders.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "platform/number_text.h"
#include "render/shape_painters.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/selection.h"
#include "shell/undo.h"
#include "shell/view_transform.h"
#include "stitching/chain_distribution.h"
#include "tools/offset_builder.h"
#include "tools/status_info.h"

namespace quillon {

namespace {

constexpr TAlphaColor kHandleBlue = 0xFF0000FF;

bool chainable(const TQN_Path *s) {
  return s->isKind(TShapeKind::Line) || s->isKind(TShapeKind::Arc) || s->isKind(TShapeKind::Bezier);
}

bool sameCurve(float a, float b, float c, float d) {
  const float tol = std::max(1e-4f, 1e-4f * std::max({std::fabs(a), std::fabs(b), std::fabs(c), std::fabs(d)}));
  return std::fabs(a - b) <= tol && std::fabs(a - c) <= tol && std::fabs(a - d) <= tol;
}

// The preview of one copy, in pixels.
void drawPreview(TEditor &editor, QPainter &canvas, const TQN_Path &shape) {
  TPathData pixels = shape.Data();
  const TViewState &v = editor.view();
  pixels.ApplyMatrix(TMatrix::scaling(v.FScale, v.FScale) * TMatrix::translation(v.FOffset.X, v.FOffset.Y));
  setCanvasStroke(canvas, editor.display().FStrokeDefs.OffsetTempColor, 1.0f, TStrokeDash::Solid);
  canvas.setBrush(Qt::NoBrush);
  canvas.drawPath(toPainterPath(pixels));
  if (!shape.isKind(TShapeKind::Bezier)) return;
  setCanvasStroke(canvas, kHandleBlue, 1.0f, TStrokeDash::Solid);
  const auto px = [&](TPointF p) {
    const TPointF q = realToVirtual(v, p);
    return QPointF(q.X, q.Y);
  };
  canvas.drawLine(px(shape.FStartPt), px(shape.FBezierCp1));
  canvas.drawLine(px(shape.FEndPt), px(shape.FBezierCp2));
  for (TPointF cp : {shape.FBezierCp1, shape.FBezierCp2}) canvas.drawRect(QRectF(px(cp) - QPointF(2, 2), QSizeF(4, 4)));
}

}  // namespace

TPointF offsetPointTowardCursor(TPointF point, TPointF a, TPointF b, TPointF side, float distance) {
  if (round2(a.X) == round2(b.X))
    return side.X >= a.X ? TPointF(point.X + distance, point.Y) : TPointF(point.X - distance, point.Y);
  if (round2(a.Y) == round2(b.Y))
    return side.Y >= a.Y ? TPointF(point.X, point.Y + distance) : TPointF(point.X, point.Y - distance);
  const double m = (double(b.Y) - a.Y) / (double(b.X) - a.X);
  const double r = -1.0 / m, t = std::sqrt(1.0 / (r * r + 1.0));
  const TPointF n(float(t), float(t * r));
  const TPointF c1 = point + n * distance, c2 = point - n * distance;
  return calcDistance(c2, side) > calcDistance(c1, side) ? c1 : c2;
}

std::unique_ptr<TQN_Path> offsetLineShape(const TOffsetPen &pen, const TQN_Path &line, TPointF side, float d) {
  auto s = newOffsetShape(pen);
  s->drawLinePath(offsetPointTowardCursor(line.FStartPt, line.FStartPt, line.FEndPt, side, d),
                  offsetPointTowardCursor(line.FEndPt, line.FStartPt, line.FEndPt, side, d));
  return s;
}

std::unique_ptr<TQN_Path> offsetArcShape(const TOffsetPen &pen, TQN_Path &arc, TPointF side, float distance) {
  TQN_Path probe(0, 0, 1.0f, TStrokeDash::Solid, -1);
  probe.drawLinePath(arc.FCenter, side);
  bool crosses = false;
  for (TIntersection *record : calcPathIntersections(&probe, &arc, nullptr, false)) {
    crosses = true;
    delete record;
  }
  const float d = crosses ? distance : -distance;
  if (arc.FWidth + d <= 0.0f || arc.FHeight + d <= 0.0f) return nullptr;
  auto s = newOffsetShape(pen);
  const TPointF c = arc.FCenter;
  s->drawArcPath(c, {arc.FWidth + d, arc.FHeight + d}, arc.FStartPt + calcUnitVector(c, arc.FStartPt) * d,
                 arc.FEndPt + calcUnitVector(c, arc.FEndPt) * d, arc.FSweepAngle);
  return s;
}

std::unique_ptr<TQN_Path> offsetBezierShape(const TOffsetPen &pen, const TQN_Path &curve, TPointF p, float d) {
  TCubicBezier c{curve.FStartPt, curve.FBezierCp1, curve.FBezierCp2, curve.FEndPt};
  TPointF shift;
  if (sameCurve(c.P0.X, c.P1.X, c.P2.X, c.P3.X))
    shift = {p.X > c.P0.X ? d : -d, 0.0f};
  else if (sameCurve(c.P0.Y, c.P1.Y, c.P2.Y, c.P3.Y))
    shift = {0.0f, p.Y > c.P0.Y ? d : -d};
  if (shift.X != 0.0f || shift.Y != 0.0f) {
    c = {c.P0 + shift, c.P1 + shift, c.P2 + shift, c.P3 + shift};
  } else {
    const TCubicBezier plus = OffsetBezier(c, d), minus = OffsetBezier(c, -d);
    const float sumPlus = calcDistance(plus.P0, p) + calcDistance(plus.P3, p);
    const float sumMinus = calcDistance(minus.P0, p) + calcDistance(minus.P3, p);
    c = sumMinus > sumPlus ? plus : minus;
  }
  auto s = newOffsetShape(pen);
  s->drawBezierPath(c.P0, c.P1, c.P2, c.P3);
  return s;
}

std::unique_ptr<TQN_Path> offsetEllipseShape(TEditor &editor, const TOffsetPen &pen, const TQN_Path &ellipse,
                                             TPointF p, float distance) {
  const float r = calcDistance(p, ellipse.FCenter);
  editor.FLengthText = editor.tr(QStringLiteral("radius")) + QString::fromStdString(floatToTextNoDotZero(r));
  showInfoTexts(editor);
  const float d = r > ellipse.FWidth / 2.0f ? distance : -distance;
  const float w = ellipse.FWidth + 2.0f * d, h = ellipse.FHeight + 2.0f * d;
  // An inward copy of more than half the size would turn inside out: there is none.
  if (w <= 0.0f || h <= 0.0f) return nullptr;
  auto s = newOffsetShape(pen);
  s->drawEllipsePath(ellipse.FCenter, w, h);
  return s;
}

int runOffsetTool(TEditor &editor, QPainter *canvas) {
  const bool preview = canvas != nullptr;
  const std::vector<TQN_Path *> sel = getSelectedPaths(editor, true, true);
  const TPointF p = virtualToReal(editor.view(), editor.pointer().FLastMousePos);
  const float d = editor.panel().nbOffsetDist1;

  std::vector<std::unique_ptr<TQN_Path>> copies;
  std::vector<TQN_Path *> chain;
  std::vector<std::unique_ptr<TQN_Path>> reversed;
  const bool chainMode = sel.size() > 1 && std::all_of(sel.begin(), sel.end(), chainable) &&
                         sortChain(sel, chain, reversed,
                                   {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::quiet_NaN()});
  if (chainMode) {
    const TPointF gap = chain.back()->FEndPt - chain.front()->FStartPt;
    const bool closed = std::fabs(gap.X) <= 0.5f && std::fabs(gap.Y) <= 0.5f;
    copies = offsetChain(chain, d, p, closed, offsetPen(editor, preview));
  } else {
    const TOffsetPen pen = offsetPen(editor, preview);
    for (TQN_Path *s : sel) {
      std::unique_ptr<TQN_Path> c;
      if (s->isKind(TShapeKind::Line)) c = offsetLineShape(pen, *s, p, d);
      else if (s->isKind(TShapeKind::Bezier)) c = offsetBezierShape(pen, *s, p, d);
      else if (s->isKind(TShapeKind::Ellipse)) c = offsetEllipseShape(editor, pen, *s, p, d);
      else if (s->isKind(TShapeKind::Arc)) c = offsetArcShape(pen, *s, p, d);
      if (c) copies.push_back(std::move(c));
    }
  }

  if (preview) {
    canvas->save();
    for (const auto &c : copies) drawPreview(editor, *canvas, *c);
    canvas->restore();
    return 0;
  }
  const int made = int(copies.size());
  for (auto &c : copies) {
    c->SetSelected(false);
    TQN_Path *added = editor.doc().add(std::move(c), editor.FActiveLayer);
    editor.calcIntersectionsOfShape(added);
  }
  weldCurveEnds(editor);
  if (made > 0) takeUndoSnapshot(editor, QStringLiteral("L21243"));
  deselectAll(editor);
  editor.ui().refreshCanvas();
  return made;
}

}  // namespace quillon
