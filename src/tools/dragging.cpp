#include "tools/dragging.h"

#include <QColor>
#include <QPainter>
#include <QPointF>

#include <algorithm>
#include <cmath>
#include <limits>

#include "edit/closed_chains.h"
#include "edit/move_shapes.h"
#include "model/intersection.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "platform/number_text.h"
#include "shell/color_scheme.h"
#include "render/grid_cache.h"
#include "render/overlays.h"
#include "render/paint.h"
#include "render/shape_painters.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/groups.h"
#include "shell/selection.h"
#include "shell/undo.h"
#include "tools/snapping.h"
#include "shell/view_transform.h"
#include "stitching/hole_shape.h"

namespace quillon {

namespace {

constexpr float kEndHandlePx = 10.0f;        // ends of lines, arcs and Beziers
constexpr float kCentreHandlePx = 7.0f;      // ellipse centre and box corners, dot and hole centres
constexpr float kBezierHandlePx = 7.0f;      // Bezier control handles
constexpr float kDragSnapPx = 3.0f;          // shape-drag snapping and grid catch
constexpr float kEllipsePointerSnapPx = 5.0f;
constexpr float kCircleLineSnapPx = 8.0f;
constexpr float kCollectRadiusMm = 0.1f;

constexpr TAlphaColor kGuideRed = 0xFFFF0000;
constexpr TAlphaColor kTouchViolet = 0xFFEE82EE;

float screenDistance(const TEditor &editor, TPointF real, float x, float y) {
  return calcDistance(realToVirtual(editor.view(), real), {x, y});
}

// The one selected shape when exactly one is selected (radial-repeat members each count).
TQN_Path *singleSelectedShape(const TEditor &editor) {
  if (countSelected(editor, false, false) != 1) return nullptr;
  for (TQN_Path *s : editor.doc().PathList())
    if (s->FSelected) return s;
  return nullptr;
}

bool isCircle(const TQN_Path &shape) {
  return shape.isKind(TShapeKind::Ellipse) && std::fabs(shape.FWidth - shape.FHeight) <= 0.001f;
}

// The grid node nearest to p (millimetres); false when the grid has no step.
bool nearestGridNode(const TEditor &editor, TPointF p, TPointF &node) {
  const float tick = gridTickForScale(editor);
  if (!(tick > 0.0f)) return false;
  node = {static_cast<float>(roundHalfEven(p.X / tick) * tick), static_cast<float>(roundHalfEven(p.Y / tick) * tick)};
  return true;
}

// snapToNearest at the pixel position of a real point, selected shapes left out.
bool snapRealPoint(const TEditor &editor, TPointF p, float tolerancePx, TPointF &target) {
  const TPointF px = realToVirtual(editor.view(), p);
  return snapToNearest(editor, px.X, px.Y, tolerancePx, editor.doc().PathList(), true, target, false);
}

// An arc angle pulled onto a multiple of 5 degrees within 1 degree, else onto a whole
// degree within 0.1 degree.
float snapArcAngle(float a) {
  const float five = std::round(a / 5.0f) * 5.0f;
  if (std::fabs(a - five) <= 1.0f) return five;
  const float whole = std::round(a);
  if (std::fabs(a - whole) <= 0.1f) return whole;
  return a;
}

// Refits a dragged arc end: `moved` (the pointer's point on entry) is put on the arc's
// circle at the angle from `fixed`, and `sweep` becomes the arc's new sweep.
void refitArcEnd(const TEditor &editor, const TQN_Path &arc, TPointF fixed, TPointF &moved, float &sweep,
                 bool startMoved) {
  const TPointF c = arc.FCenter;
  float a = calcAngleBetween(calcUnitVector(c, fixed), calcUnitVector(c, moved));
  if (!hasCtrl(editor.pointer().FLastShiftState)) a = snapArcAngle(a);
  const TPointF plus = rotatePoint(fixed, c, a);
  const TPointF minus = rotatePoint(fixed, c, -a);
  float s = a;
  if (calcDistance(plus, moved) <= calcDistance(minus, moved)) {
    moved = plus;
  } else {
    moved = minus;
    s = -a;
  }
  if (startMoved) s = -s;
  if (arc.FSweepAngle > 0.0f && s < 0.0f)
    s += 360.0f;
  else if (arc.FSweepAngle < 0.0f && s > 0.0f)
    s -= 360.0f;
  sweep = s;
}


// Candidate points of a shape for the drag anchor.
std::vector<TPointF> anchorCandidates(TQN_Path &shape) {
  if (shape.isKind(TShapeKind::Ellipse)) {
    std::vector<TPointF> pts = shape.getControlPoints(false, false, false);
    pts.push_back(shape.FCenter);
    return pts;
  }
  if (shape.isKind(TShapeKind::Bezier)) return shape.getControlPoints(false, false, false);
  if (shape.isKind(TShapeKind::Arc)) return {shape.FStartPt, shape.FEndPt, shape.FCenter};
  if (shape.isKind(TShapeKind::Text)) {
    const TRectF b = shape.getBoundary(false);
    const float mx = (b.Left + b.Right) / 2.0f, my = (b.Top + b.Bottom) / 2.0f;
    return {{b.Left, b.Top}, {b.Right, b.Bottom}, {b.Right, b.Top}, {b.Left, b.Bottom},
            {mx, b.Top},     {b.Left, my},        {mx, b.Bottom},   {b.Right, my}};
  }
  return shape.getControlPoints(false, true, false);
}

// A line or circle found by snapDraggedCircleToLines, for the guides.
struct TLineFoot {
  bool Valid = false;
  float H = 0.0f;
  TPointF Foot;
};

}  // namespace

TEdgeDraggingList collectEdgeDragInfos(const TEditor &editor, TPointF p) {
  TEdgeDraggingList records;
  auto add = [&records](TQN_Path *shape, TIntersection *ict, bool atStart, bool atEnd, float d) {
    auto rec = std::make_unique<TEdgeDraggingInfo>();
    rec->QNPath = shape;
    rec->FIntersection = ict;
    rec->DraggingStartPt = atStart;
    rec->DraggingEndPt = atEnd;
    rec->Distance = d;
    records.push_back(std::move(rec));
  };
  for (TQN_Path *shape : editor.doc().PathList()) {
    const float ds = cappedDistance(shape->FStartPt, p, kCollectRadiusMm);
    if (ds >= 0.0f) add(shape, nullptr, true, false, ds);
    const float de = cappedDistance(shape->FEndPt, p, kCollectRadiusMm);
    if (de >= 0.0f) add(shape, nullptr, false, true, de);
  }
  for (TIntersection *ict : editor.doc().FIntersections) {
    const float d = cappedDistance(ict->FPoint, p, kCollectRadiusMm);
    if (d >= 0.0f) add(nullptr, ict, false, false, d);
  }
  if (records.empty()) return records;
  const float nearest =
      (*std::min_element(records.begin(), records.end(), [](const auto &a, const auto &b) {
        return a->Distance < b->Distance;
      }))->Distance;
  std::erase_if(records, [nearest](const auto &rec) { return rec->Distance > nearest; });
  return records;
}

void clearEdgeDragInfos(TEditor &editor, TEdgeDraggingList &records) {
  records.clear();
  editor.snap().FSnapPoints.clear();
}

bool detectEdgeDragStart(TEditor &editor, TEdgeDraggingList &records, float x, float y, bool withEllipses) {
  clearEdgeDragInfos(editor, records);
  const float scale = editor.view().FScale;
  auto add = [&](TQN_Path *shape, bool atStart, float distPx) {
    auto rec = std::make_unique<TEdgeDraggingInfo>();
    rec->QNPath = shape;
    rec->DraggingStartPt = atStart;
    rec->DraggingEndPt = !atStart;
    rec->Distance = scale != 0.0f ? distPx / scale : distPx;
    records.push_back(std::move(rec));
  };
  const bool single = countSelected(editor, false, false) == 1;

  for (TQN_Path *shape : editor.doc().PathList()) {
    if (!shape->FSelected) continue;
    if (shape->isKind(TShapeKind::Line) || shape->isKind(TShapeKind::Bezier) || shape->isKind(TShapeKind::Arc)) {
      const float ds = screenDistance(editor, shape->FStartPt, x, y);
      if (ds <= kEndHandlePx) add(shape, true, ds);
      const float de = screenDistance(editor, shape->FEndPt, x, y);
      if (de <= kEndHandlePx) add(shape, false, de);
    } else if (shape->isKind(TShapeKind::Ellipse)) {
      if (!withEllipses) continue;
      const TPointF c = shape->FCenter;
      const float dc = screenDistance(editor, c, x, y);
      if (dc <= kCentreHandlePx) {
        add(shape, true, dc);
        editor.pointer().FIsShapeDragging = true;
        editor.pointer().FRotationCenter = c;
        editor.pointer().FIsRotationCenterSpecified = true;
        continue;
      }
      const float hw = shape->FWidth / 2.0f, hh = shape->FHeight / 2.0f;
      const TPointF corners[4] = {
          {c.X + hw, c.Y + hh}, {c.X - hw, c.Y - hh}, {c.X + hw, c.Y - hh}, {c.X - hw, c.Y + hh}};
      for (TPointF corner : corners) {
        const float d = screenDistance(editor, corner, x, y);
        if (d <= kCentreHandlePx) {
          add(shape, false, d);
          editor.pointer().FIsShapeDragging = true;
          break;
        }
      }
    } else if (shape->isKind(TShapeKind::Dot) || shape->isKind(TShapeKind::Hole)) {
      // The centre of a dot or hole is its StartPt.
      if (!single) continue;
      const float d = screenDistance(editor, shape->FStartPt, x, y);
      if (d <= kCentreHandlePx) add(shape, true, d);
    }
  }
  return !records.empty();
}

void draggedEdgeGeometry(const TEditor &editor, const TQN_Path &shape, TPointF &start, TPointF &end,
                         TPointF &startPx, TPointF &endPx, float &sweep) {
  start = shape.FStartPt;
  end = shape.FEndPt;
  sweep = shape.FSweepAngle;
  startPx = realToVirtual(editor.view(), start);
  endPx = realToVirtual(editor.view(), end);
  const TShiftState shift = editor.pointer().FLastShiftState;
  const TPointF t = editor.snap().FStickyExists && !hasCtrl(shift) ? editor.snap().FStickyPoint
                                                            : virtualToReal(editor, editor.pointer().FLastMousePos);
  if (!editor.pointer().FIsEdgeDragging || shape.FGroupID != 0) return;
  const TPointF tPx = realToVirtual(editor.view(), t);

  for (const auto &rec : editor.pointer().FDraggingEdges) {
    if (rec->QNPath != &shape) continue;
    if (rec->DraggingStartPt) {
      start = t;
      startPx = tPx;
      if (shape.isKind(TShapeKind::Ellipse)) {
        end = t + (shape.FEndPt - shape.FStartPt);
      } else if (shape.isKind(TShapeKind::Arc)) {
        refitArcEnd(editor, shape, end, start, sweep, true);
      } else if (shape.isKind(TShapeKind::Line) && hasShift(shift)) {
        start = end + calcUnitVector(shape.FEndPt, shape.FStartPt) * calcDistance(start, end);
        startPx = realToVirtual(editor.view(), start);
      }
    }
    if (rec->DraggingEndPt) {
      end = t;
      endPx = tPx;
      if (shape.isKind(TShapeKind::Ellipse)) {
        if (hasShift(shift)) {
          const float k = calcDistance(end, start) / std::sqrt(2.0f);
          end = start + TPointF{k, k};
        }
      } else if (shape.isKind(TShapeKind::Arc)) {
        refitArcEnd(editor, shape, start, end, sweep, false);
      } else if (shape.isKind(TShapeKind::Line) && hasShift(shift)) {
        end = start + calcUnitVector(shape.FStartPt, shape.FEndPt) * calcDistance(end, start);
        endPx = realToVirtual(editor.view(), end);
      }
    }
  }
}

void dragSelectedShapes(TEditor &editor, float x, float y, TShiftState shift) {
  // 1. The pointer's move since the last event, without snapping.
  TPointF delta = virtualToRealXY(editor, x, y) - virtualToReal(editor, editor.pointer().FLastMousePos);
  TPointF adjust;
  bool snapped = false;
  float best = 0.0f;

  TQN_Path *single = singleSelectedShape(editor);
  const bool singleEllipse = single && single->isKind(TShapeKind::Ellipse);
  // 2. The anchor follows the raw pointer path unless a lone ellipse or arc is dragged.
  bool rawMode = editor.pointer().FDragSnapValid && editor.pointer().FIsRotationCenterSpecified;
  if (single && (single->isKind(TShapeKind::Ellipse) || single->isKind(TShapeKind::Arc))) rawMode = false;

  if (hasShift(shift)) {
    // 3. Axis lock: back to the drag's starting line, 0.01 mm steps along the other axis.
    const TPointF d = editor.pointer().FFirstMousePos - TPointF{x, y};
    if (std::fabs(d.X) >= std::fabs(d.Y)) {
      delta.X = round2(delta.X);
      delta.Y = -editor.pointer().FCummulativeShiftDistance.Y;
    } else {
      delta.Y = round2(delta.Y);
      delta.X = -editor.pointer().FCummulativeShiftDistance.X;
    }
  } else if (rawMode) {
    // 4. The anchor's unsnapped path jumps onto targets without drifting.
    const TPointF raw = editor.pointer().FDragSnapRawOrigin + delta;
    TPointF target = raw;
    TPointF s;
    TPointF g;
    if (snapRealPoint(editor, raw, kDragSnapPx, s) && !isSamePoint(s, raw, 0.0f)) {
      target = s;
      snapped = true;
    } else if (editor.display().FShowGrid && nearestGridNode(editor, raw, g) &&
               calcDistance(g, raw) < kDragSnapPx / editor.view().FScale) {
      target = g;
      snapped = true;
    }
    editor.pointer().FDragSnapRawOrigin = raw;
    adjust = (target - editor.pointer().FRotationCenter) - delta;
  } else {
    // 5. Per point: the nearest snap of any moved end or centre wins.
    for (TQN_Path *shape : editor.doc().PathList()) {
      if (!shape->FSelected || shape->isKind(TShapeKind::Hole)) continue;
      std::vector<TPointF> candidates{shape->FStartPt + delta, shape->FEndPt + delta};
      if (shape->isKind(TShapeKind::Ellipse) || shape->isKind(TShapeKind::Arc))
        candidates.push_back(shape->FCenter + delta);
      for (TPointF c : candidates) {
        TPointF s;
        if (!snapRealPoint(editor, c, kDragSnapPx, s) || s.exactlyEquals(c)) continue;
        const float dist = calcDistance(s, c);
        if (!snapped || dist < best) {
          adjust = s - c;
          best = dist;
          snapped = true;
        }
      }
    }
    if (singleEllipse) {
      const TPointF moved = single->FCenter + delta;
      TPointF s;
      if (snapToNearest(editor, x, y, kEllipsePointerSnapPx, editor.doc().PathList(), true, s, false) &&
          !s.exactlyEquals(moved)) {
        const float dist = calcDistance(s, virtualToRealXY(editor, x, y));
        if (!snapped || best > dist) {
          adjust = s - moved;
          best = dist;
          snapped = true;
        }
      }
    }
    if (editor.pointer().FIsRotationCenterSpecified) {
      const TPointF anchor = editor.pointer().FRotationCenter + delta;
      TPointF s;
      if (snapRealPoint(editor, anchor, kDragSnapPx, s) && !s.exactlyEquals(anchor)) {
        if (!snapped || calcDistance(s, anchor) < best) {
          adjust = s - anchor;
          snapped = true;
        }
      }
      TPointF g;
      if (!snapped && editor.display().FShowGrid && nearestGridNode(editor, anchor, g) &&
          calcDistance(g, anchor) < kDragSnapPx / editor.view().FScale) {
        adjust = g - anchor;
        snapped = true;
      }
    }
  }

  // 6. Drag bookkeeping.
  editor.pointer().FCummulativeShiftDistance += delta;
  if (hasShift(shift) && editor.pointer().FDragSnapValid) editor.pointer().FDragSnapRawOrigin += delta;
  if (editor.pointer().FIsRotationCenterSpecified)
    editor.pointer().FRotationCenter = editor.pointer().FRotationCenter + delta + adjust;

  // 7. Move the selection; a lone circle that did not snap may touch a line instead.
  for (TQN_Path *shape : getSelectedPaths(editor, false, false)) {
    TPointF move = delta + adjust;
    if (!snapped && shape == single && isCircle(*shape)) {
      TPointF pixelShift, realShift;
      if (snapDraggedCircleToLines(editor, *shape, nullptr, pixelShift, realShift)) move = delta + realShift;
    }
    translateShape(editor, *shape, move, true);
  }
  // 8.
  invalidateSelectedGroupBounds(editor);
}

void endShapeDrag(TEditor &editor) {
  editor.pointer().FIsShapeDragging = false;
  TQN_Path *single = singleSelectedShape(editor);
  for (TQN_Path *shape : editor.doc().PathList()) {
    if (!shape->FSelected) continue;
    if (shape == single && shape->isKind(TShapeKind::Ellipse)) {
      TPointF pixelShift, realShift;
      snapDraggedCircleToLines(editor, *shape, nullptr, pixelShift, realShift);
      if (round2(realShift.X) != 0.0f || round2(realShift.Y) != 0.0f)
        shape->drawEllipsePath(shape->FCenter + realShift, shape->FWidth, shape->FHeight);
    }
    editor.calcIntersectionsOfShape(shape);
    // The shape information labels come with the main window.
  }
  // Radial repeats are brought in line here once the radial-repeat tool exists.
  // The line-angle and selection-count labels come with the main window.
  invalidateSelectedGroupBounds(editor);
  editor.ui().refreshCanvas();
  editor.pointer().FIsMouseDown = false;
  if (!editor.pointer().FDragPrintValid || selectionFingerprint(editor) != editor.pointer().FDragStartPrint)
    takeUndoSnapshot(editor, QStringLiteral("mouseup:shapedrag"));
  editor.pointer().FDragPrintValid = false;
  editor.pointer().FDragSnapValid = false;
}

bool snapDraggedCircleToLines(const TEditor &editor, const TQN_Path &circle, QPainter *canvas, TPointF &pixelShift,
                              TPointF &realShift) {
  pixelShift = {0.0f, 0.0f};
  realShift = {0.0f, 0.0f};
  if (!isCircle(circle)) return false;
  const float r = circle.FWidth / 2.0f;
  const float scale = editor.view().FScale;
  bool result = false;
  TLineFoot nearest, second;

  for (const TQN_Path *line : editor.doc().PathList()) {
    if (line->FSelected || !line->isKind(TShapeKind::Line)) continue;
    // 1. The foot of the perpendicular from the (shifted) centre.
    const TPointF c = circle.FCenter + realShift;
    TPointF direction, foot;
    float h = 0.0f;
    if (!calcPerpendicularFoot(c, *line, direction, h, foot)) continue;
    // 2. The two nearest lines, for the guides.
    if (!nearest.Valid || h < nearest.H) {
      second = nearest;
      nearest = {true, h, foot};
    } else if (!second.Valid || h < second.H) {
      second = {true, h, foot};
    }
    // 3. Only a rim within reach of the line.
    const TPointF rim = c + direction * r;
    if (calcDistance(rim, foot) * scale >= kCircleLineSnapPx) continue;
    // 4. The on-screen gap between rim and line closes (or the overlap opens).
    const float g = calcDistance(realToVirtual(editor.view(), foot), realToVirtual(editor.view(), rim) + pixelShift);
    if (r > h)
      pixelShift -= direction * g;
    else
      pixelShift += direction * g;
    realShift = pixelShift * (1.0f / scale);
    result = true;
  }

  if (canvas) {
    canvas->save();
    const TPointF cPx = realToVirtual(editor.view(), circle.FCenter + realShift);
    for (const TLineFoot *f : {&nearest, &second}) {
      if (!f->Valid) continue;
      const TPointF fPx = realToVirtual(editor.view(), f->Foot);
      setCanvasStroke(*canvas, kGuideRed, 1.5f, TStrokeDash::Dot);
      canvas->setBrush(Qt::NoBrush);
      canvas->drawLine(QPointF(cPx.X, cPx.Y), QPointF(fPx.X, fPx.Y));
      if (std::fabs(r - f->H) <= 0.01f) {
        canvas->setPen(Qt::NoPen);
        canvas->setBrush(QColor::fromRgba(kTouchViolet));
        canvas->drawEllipse(QPointF(fPx.X, fPx.Y), 4.0, 4.0);
      }
    }
    canvas->restore();
  }
  return result;
}

void mirrorOppositeBezierHandle(TEditor &editor, const TBezierEditingInfo &info) {
  const TBezierEditingInfo opponent = getOpponentBezierInfo(editor, info, false);
  if (!opponent.p || !info.p) return;
  const TPointF joint = info.IsCP1 ? info.p->FStartPt : info.p->FEndPt;
  const TPointF m = virtualToReal(editor, editor.pointer().FLastMousePos, true);
  const TPointF mirrored = joint + calcUnitVector(m, joint) * calcDistance(m, joint);
  TQN_Path &n = *opponent.p;
  if (opponent.IsCP1)
    n.drawBezierPath(n.FStartPt, mirrored, n.FBezierCp2, n.FEndPt);
  else
    n.drawBezierPath(n.FStartPt, n.FBezierCp1, mirrored, n.FEndPt);
  if (n.FMandalaID > 0) {
    // The neighbour's radial repeat is updated here once the radial-repeat tool exists.
    return;
  }
  removeIntersectionsOf(editor.doc().FIntersections, &n);
  editor.calcIntersectionsOfShape(&n);
}

void applyEdgeDragging(TEditor &editor) {
  for (const auto &rec : editor.pointer().FDraggingEdges)
    if (rec->QNPath) removeIntersectionsOf(editor.doc().FIntersections, rec->QNPath);

  for (const auto &rec : editor.pointer().FDraggingEdges) {
    TQN_Path *S = rec->QNPath;
    if (!S) continue;
    TPointF N1, N2, px1, px2;
    float sweep = 0.0f;
    draggedEdgeGeometry(editor, *S, N1, N2, px1, px2, sweep);
    if (S->isKind(TShapeKind::Bezier)) {
      TPointF K1 = S->FBezierCp1, K2 = S->FBezierCp2;
      if (!hasShift(editor.pointer().FLastShiftState)) {
        K1 += N1 - S->FStartPt;
        K2 += N2 - S->FEndPt;
      }
      S->drawBezierPath(N1, K1, K2, N2);
      if (S->FMandalaID == 0) editor.calcIntersectionsOfShape(S);
    } else if (S->isKind(TShapeKind::Line)) {
      S->drawLinePath(N1, N2);
      editor.calcIntersectionsOfShape(S);
    } else if (S->isKind(TShapeKind::Hole)) {
      remakeHole(*S, N1, S->FRotation);
      editor.calcIntersectionsOfShape(S);
    } else if (S->isKind(TShapeKind::Arc)) {
      S->drawArcPath(S->FCenter, {S->FWidth, S->FHeight}, N1, N2, sweep);
      editor.calcIntersectionsOfShape(S);
    } else if (S->isKind(TShapeKind::Dot)) {
      S->drawDotPath(N1, editor.display().FStrokeDefs.DotRadius);
      editor.calcIntersectionsOfShape(S);
    }
    // Radial-repeat copies follow here once the radial-repeat tool exists.
    // The shape information labels come with the main window.
  }
  // One drag is one undo step, however many shapes met at the dragged point.
  if (!editor.pointer().FDraggingEdges.empty()) takeUndoSnapshot(editor, QStringLiteral("L33814"));
}

void pickDragAnchor(TEditor &editor, const std::vector<TQN_Path *> &shapes) {
  const TPointF pointer = virtualToReal(editor, editor.pointer().FLastMousePos, true);
  bool found = false;
  float best = 0.0f;
  TPointF bestPoint;
  for (TQN_Path *shape : shapes) {
    if (!shape->FSelected) continue;
    const std::vector<TPointF> candidates = anchorCandidates(*shape);
    if (candidates.empty()) continue;
    for (TPointF q : candidates) {
      const float d = calcDistance(pointer, q);
      if (!found || d < best) {
        found = true;
        best = d;
        bestPoint = q;
      }
    }
    editor.pointer().FIsRotationCenterSpecified = true;
    editor.pointer().FRotationCenter = bestPoint;
  }
}

TBezierEditingInfo hitBezierHandle(const TEditor &editor, float x, float y) {
  for (TQN_Path *shape : editor.doc().PathList()) {
    if (!shape->FSelected || !shape->isKind(TShapeKind::Bezier) || shape->FGroupID != 0) continue;
    if (screenDistance(editor, shape->FBezierCp1, x, y) <= kBezierHandlePx) return {true, shape, true};
    if (screenDistance(editor, shape->FBezierCp2, x, y) <= kBezierHandlePx) return {true, shape, false};
  }
  return {};
}

TBezierEditingInfo getOpponentBezierInfo(const TEditor &editor, const TBezierEditingInfo &EditInfo, bool allowLine) {
  TBezierEditingInfo result;
  if (!EditInfo.p) return result;
  const TPointF J = EditInfo.IsCP1 ? EditInfo.p->FStartPt : EditInfo.p->FEndPt;

  auto search = [&](TShapeKind kind, bool lineRule) {
    std::vector<TQN_Path *> candidates;
    for (TQN_Path *s : editor.doc().PathList()) {
      if (s == EditInfo.p || !s->isKind(kind)) continue;
      if (isSamePoint(s->FStartPt, J, 0.0f) || isSamePoint(s->FEndPt, J, 0.0f)) candidates.push_back(s);
    }
    for (TQN_Path *c : candidates) {
      if (candidates.size() != 1 && !c->FSelected) continue;
      result.p = c;
      result.IsCP1 = !lineRule && isSamePoint(c->FStartPt, J, 0.0f);
      return true;
    }
    return false;
  };
  if (!search(TShapeKind::Bezier, false) && allowLine) search(TShapeKind::Line, true);
  result.IsBezierEditing = false;
  return result;
}

void applyBezierControlPoint(TEditor &editor, const TBezierEditingInfo &info, TPointF P) {
  TQN_Path *S = info.p;
  if (!S) return;
  const TPointF cp1 = info.IsCP1 ? P : S->FBezierCp1;
  const TPointF cp2 = info.IsCP1 ? S->FBezierCp2 : P;
  removeIntersectionsOf(editor.doc().FIntersections, S);
  S->drawBezierPath(S->FStartPt, cp1, cp2, S->FEndPt);
  // A member of a radial repeat carries the change to its copies here once the
  // radial-repeat tool exists; its own intersections are recomputed like any other's.
  // Cleared first: the intersection upkeep waits while a handle is being edited.
  editor.pointer().FBezierEditInfo.IsBezierEditing = false;
  editor.calcIntersectionsOfShape(S);
}


}  // namespace quillon
