#include "render/rubber_bands.h"

#include <QPainter>

#include <cmath>
#include <memory>

#include "model/point_helpers.h"
#include "model/shape.h"
#include "render/rulers.h"
#include "render/shape_painters.h"
#include "shell/editor.h"
#include "shell/length_units.h"
#include "shell/options.h"
#include "tools/draw_tools.h"
#include "shell/view_transform.h"

namespace quillon {

namespace {

constexpr float kLabelFontSize = 20.0f;

QPointF pixel(const TEditor &editor, TPointF real) {
  const TPointF p = realToVirtual(editor.view(), real);
  return {p.X, p.Y};
}

void strokeSegment(QPainter &canvas, QPointF a, QPointF b, qreal opacity) {
  StrokeScope scope(canvas, opacity);
  canvas.drawLine(a, b);
}

// The stroke the band itself is drawn in.
void setRubberBandStroke(const TEditor &editor, QPainter &canvas, TAlphaColor color) {
  setCanvasStroke(canvas, color, editor.pen().FCurrentThickness * 1.5f, TStrokeDash::Dot);
}

// Stroke and fill of the labels.
void setLabelColour(const TEditor &editor, QPainter &canvas, float thickness) {
  const TAlphaColor c = editor.display().FStrokeDefs.RulerTextColor;
  setCanvasStroke(canvas, c, thickness, TStrokeDash::Dot);
  canvas.setBrush(QColor::fromRgba(c));
}

// A label in the canvas' fill colour with its top-left corner at `at` (its top centre when
// centred), unrotated.
void drawLabel(QPainter &canvas, QPointF at, const QString &text, bool centred, qreal opacity) {
  drawCanvasText(canvas, TPointF(float(at.x()), float(at.y())), text, kLabelFontSize, centred, float(opacity), false);
}

QString lengthText(const TEditor &editor, float mm) {
  return FormatLength(mm, editor.FOptions->LengthFormatSettings);
}

// A temporary arc drawn through a pixel copy in the current stroke.
void strokeArc(TEditor &editor, QPainter &canvas, TPointF centre, float radius, TPointF s, TPointF e, float sweep) {
  auto arc = std::make_unique<TQN_Path>(0, editor.pen().FCurrentColor, editor.pen().FCurrentThickness,
                                        editor.pen().FCurrentDash, 0);
  arc->drawArcPath(centre, {radius, radius}, s, e, sweep);
  pathToVirtual(editor.view(), *arc, editor.view().FOffset);
  StrokeScope scope(canvas, 1.0);
  canvas.drawPath(toPainterPath(arc->Data()));
}

// The arc the next click of the arc tool would create, drawn; its ends and radius go to
// s, e and radius. False when no arc exists for the current points.
bool drawArcPreview(TEditor &editor, QPainter &canvas, TPointF cur, TPointF &s, TPointF &e, float &radius) {
  const std::vector<TPointF> &points = editor.tool().Clicked_Points;
  const std::size_t n = points.size();
  const TPanelValues &panel = editor.panel();
  s = points[0];

  if (panel.rbArc_R || panel.rbArc_HalfMoonRatio) {
    e = n == 1 ? cur : points[1];
    const float chord = calcDistance(s, e);
    const float r = arcToolRadius(editor, panel.rbArc_R, chord);
    if (!std::isfinite(r)) return false;
    const TPointF u = calcUnitVector(s, e);
    if (chord > 2.0f * r) e = s + u * (2.0f * r);
    TPointF c1, c2;
    if (!arcCentresForChord(s, e, r, c1, c2)) {
      e = s + u * (2.0f * r * 0.9999f);
      if (!arcCentresForChord(s, e, r, c1, c2)) return false;
    }
    radius = r;
    setRubberBandStroke(editor, canvas, n == 1 ? editor.display().FColor_Drawing : editor.display().FColor_Centerline);
    const float d1 = calcDistance(c1, cur), d2 = calcDistance(c2, cur);
    const float sw1 = calcAngleAtVertex(c1, s, e, false, 0), sw2 = calcAngleAtVertex(c2, s, e, false, 0);
    if (r > 0.0f && s != e) {
      // With one point both candidates show; with two, the one bulging toward the pointer.
      if (n == 1 || d1 >= d2) strokeArc(editor, canvas, c1, r, s, e, sw1);
      if (n == 1 || d2 >= d1) strokeArc(editor, canvas, c2, r, s, e, sw2 == sw1 ? -sw2 : sw2);
    }
    return true;
  }

  if (!panel.rbArc_3_points) return false;
  if (n == 1) {
    e = cur;
    strokeSegment(canvas, pixel(editor, s), pixel(editor, cur), 1.0);
    return false;
  }
  e = points[1];
  TPointF m = cur;
  TThreePointArc arc;
  if (!threePointArc(editor, s, e, m, arc)) return false;
  radius = arc.Radius;
  if (arc.Radius > 0.0f && s != e) strokeArc(editor, canvas, arc.Centre, arc.Radius, s, e, arc.Sweep);
  return true;
}

}  // namespace

void drawDrawingToolRubberBand(TEditor &editor, QPainter &canvas, TPointF cur) {
  const std::vector<TPointF> &points = editor.tool().Clicked_Points;
  const TTool tool = editor.tool().FTool;
  if (points.empty()) return;
  if (tool != TTool::Line && tool != TTool::Bezier && tool != TTool::Rect && tool != TTool::Arc) return;
  if (!editor.FOptions) return;

  const TPointF P0 = points.front();
  if ((tool == TTool::Line && editor.panel().rbLineHorizontal) || hasShift(editor.pointer().FLastShiftState))
    cur = constrainWithShift(editor, P0, cur);
  setRubberBandStroke(editor, canvas, editor.display().FColor_Drawing);
  const QBrush brush = canvas.brush();

  if (tool == TTool::Line) {
    const TLineToolInput in = applyLineToolInput(editor, P0, cur);
    cur = in.End;
    if (in.Relative) {
      const TPointF a = P0 + in.EdgeDirection * 3.0f, b = P0 + in.Direction * 3.0f;
      strokeArc(editor, canvas, P0, 3.0f, a, b, calcAngleAtVertex(P0, a, b, false, 0));
    }
  }

  if (tool == TTool::Rect) {
    cur = applyRectSizeInput(editor, cur);
    const QPointF p0 = pixel(editor, P0), pc = pixel(editor, cur);
    {
      StrokeScope scope(canvas, 1.0);
      canvas.drawRect(QRectF(p0, pc).normalized());
    }
    setLabelColour(editor, canvas, editor.pen().FCurrentThickness * 1.5f);
    const qreal midX = (p0.x() + pc.x()) / 2.0, midY = (p0.y() + pc.y()) / 2.0;
    const QString width = lengthText(editor, std::fabs(cur.X - P0.X));
    const QString height = lengthText(editor, std::fabs(cur.Y - P0.Y));
    drawLabel(canvas, {midX, pc.y()}, width, true, 1.0);
    drawLabel(canvas, {midX, p0.y()}, width, true, 1.0);
    drawLabel(canvas, {pc.x(), midY}, height, false, 1.0);
    drawLabel(canvas, {p0.x(), midY}, height, false, 1.0);
  } else if (tool == TTool::Arc) {
    TPointF s, e;
    float radius = 0.0f;
    const bool found = drawArcPreview(editor, canvas, cur, s, e, radius);
    const float chord = calcDistance(s, e);
    if (found && chord > 0.0f) {
      setLabelColour(editor, canvas, editor.pen().FCurrentThickness * 1.5f);
      const QPointF p0 = pixel(editor, s), pe = pixel(editor, e);
      const QPointF mid = (p0 + pe) / 2.0;
      drawLabel(canvas, mid, editor.tr(QStringLiteral("directdist")) + lengthText(editor, chord), true, 0.8);
      drawLabel(canvas, mid - QPointF(0.0, 30.0), QStringLiteral("R = ") + lengthText(editor, radius), true, 0.8);
    }
  } else {
    // Line and Bezier: the chain from the pointer back through the clicked points, the
    // segment at the pointer in the band's stroke, each with its length.
    TPointF prev = cur;
    for (auto it = points.rbegin(); it != points.rend(); ++it) {
      const TPointF q = *it;
      strokeSegment(canvas, pixel(editor, prev), pixel(editor, q), 1.0);
      setLabelColour(editor, canvas, editor.pen().FCurrentThickness * 1.5f);
      drawLabel(canvas, pixel(editor, prev) + QPointF(20.0, 0.0), lengthText(editor, calcDistance(prev, q)), false,
                1.0);
      prev = q;
    }
  }
  canvas.setBrush(brush);
}

void drawRangeSelectionRect(const TEditor &editor, QPainter &canvas) {
  if (!editor.pointer().FIsRangeSelecting) return;
  setCanvasStroke(canvas, editor.display().FColor_Drawing, 1.5f, TStrokeDash::Dot);
  const QPointF a(editor.pointer().FFirstMousePos.X, editor.pointer().FFirstMousePos.Y),
      b(editor.pointer().FLastMousePos.X, editor.pointer().FLastMousePos.Y);
  StrokeScope scope(canvas, 0.9);
  canvas.drawRect(QRectF(a, b).normalized());
}

void drawTextPlacementCross(const TEditor &editor, QPainter &canvas) {
  const TQN_Path *text = editor.tool().FEditingText.get();
  if (text == nullptr || text->isKind(TShapeKind::Text)) return;
  setCanvasStroke(canvas, editor.pen().FCurrentColor, editor.pen().FCurrentThickness, TStrokeDash::Dot);
  const QPointF p = pixel(editor, text->FStartPt);
  StrokeScope scope(canvas, 1.0);
  canvas.drawLine(p - QPointF(10.0, 10.0), p + QPointF(10.0, 10.0));
  canvas.drawLine(p - QPointF(10.0, -10.0), p + QPointF(10.0, -10.0));
}

}  // namespace quillon
