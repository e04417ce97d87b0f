#include "tools/snapping.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <stdexcept>

#include "model/intersection.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "platform/number_text.h"
#include "model/draw_pallet.h"
#include "render/grid_cache.h"
#include "render/paint.h"
#include "render/paint_error_log.h"
#include "shell/editor.h"
#include "shell/view_transform.h"

namespace quillon {

namespace {

// The running best candidate of one search.
struct TSnapSearch {
  TPointF P;  // the raw pointer, millimetres
  bool Found = false;
  float Best = 0.0f;
  TPointF Target;

  // q competes within `limit`: it wins when it is strictly nearer than the best so far.
  void compete(TPointF q, float limit) {
    const float d = calcDistance(P, q);
    if (d <= limit && (!Found || d < Best)) {
      Found = true;
      Best = d;
      Target = q;
    }
  }
};

// The candidates a shape offers to the pointer snap.
void shapeCandidates(const TEditor &editor, TQN_Path &shape, std::vector<TPointF> &out) {
  out.clear();
  if (shape.isKind(TShapeKind::Text)) {
    if (shape.FTextRadius != 0.0f) out.push_back({shape.FStartPt.X + std::fabs(shape.FTextRadius), shape.FStartPt.Y});
    return;
  }
  const bool quarters =
      shape.isKind(TShapeKind::Bezier) && !(editor.pointer().FIsShapeDragging && shape.FSelected);
  out = shape.getControlPoints(true, false, quarters);
}

// A box that holds every point shapeCandidates can offer, from the shape's own fields, so
// that shapes far from the pointer are passed over without building their candidates.
TRectF candidateBox(TQN_Path &shape) {
  const TPointF c = shape.FCenter;
  auto around = [](TPointF p, float r) { return TRectF(p.X - r, p.Y - r, p.X + r, p.Y + r); };
  auto spanning = [](std::initializer_list<TPointF> pts) {
    TRectF r(pts.begin()->X, pts.begin()->Y, pts.begin()->X, pts.begin()->Y);
    for (TPointF p : pts) {
      r.Left = std::min(r.Left, p.X);
      r.Top = std::min(r.Top, p.Y);
      r.Right = std::max(r.Right, p.X);
      r.Bottom = std::max(r.Bottom, p.Y);
    }
    return r;
  };
  if (shape.isKind(TShapeKind::Ellipse)) return around(c, std::max(std::fabs(shape.FWidth), std::fabs(shape.FHeight)));
  if (shape.isKind(TShapeKind::Dot) || shape.isKind(TShapeKind::Hole)) return around(c, 0.0f);
  if (shape.isKind(TShapeKind::Arc)) {
    const TRectF ends = spanning({shape.FStartPt, shape.FEndPt, c});
    const TRectF circle = around(c, std::fabs(shape.FWidth));
    return spanning({{ends.Left, ends.Top}, {ends.Right, ends.Bottom}, {circle.Left, circle.Top},
                     {circle.Right, circle.Bottom}});
  }
  if (shape.isKind(TShapeKind::Bezier))
    return spanning({shape.FStartPt, shape.FBezierCp1, shape.FBezierCp2, shape.FEndPt});
  if (shape.isKind(TShapeKind::Line)) return spanning({shape.FStartPt, shape.FEndPt});
  if (shape.isKind(TShapeKind::Text))
    return around({shape.FStartPt.X + std::fabs(shape.FTextRadius), shape.FStartPt.Y}, 0.0f);
  return shape.getBoundary(false);
}

bool withinBox(const TRectF &box, TPointF p, float t) {
  return p.X >= box.Left - t && p.X <= box.Right + t && p.Y >= box.Top - t && p.Y <= box.Bottom + t;
}

void competeIntersections(TSnapSearch &search, const TIntersections &list, bool skipSelected, float t,
                          bool &haveNear, TPointF &nearPoint, float &nearDistance) {
  for (const TIntersection *ict : list) {
    if (skipSelected && ((ict->FPath1 && ict->FPath1->FSelected) || (ict->FPath2 && ict->FPath2->FSelected)))
      continue;
    search.compete(ict->FPoint, 2.0f * t);
    const float d = calcDistance(search.P, ict->FPoint);
    if (d <= t && (!haveNear || d < nearDistance)) {
      haveNear = true;
      nearDistance = d;
      nearPoint = ict->FPoint;
    }
  }
}

bool gridSnapAllowed(const TEditor &editor) {
  return editor.tool().FTool != TTool::Select || editor.pointer().FBezierEditInfo.IsBezierEditing ||
         !editor.pointer().FDraggingEdges.empty() || editor.tool().FIsMandalaCenterChangeMode;
}

}  // namespace

TPointF virtualToReal(const TEditor &editor, TPointF VirtualPos, bool UseSticky, bool) {
  if (UseSticky) {
    TPointF target;
    if (snapToNearest(editor, VirtualPos.X, VirtualPos.Y, 5.0f, editor.doc().PathList(), false, target, false) &&
        !hasCtrl(editor.pointer().FLastShiftState))
      return target;
  }
  return virtualToReal(editor.view(), VirtualPos);
}

TPointF virtualToRealXY(const TEditor &editor, float x, float y, bool UseSticky) {
  return virtualToReal(editor, {x, y}, UseSticky, false);
}

bool snapToNearest(const TEditor &editor, float x, float y, float tolerancePx, const TShapeList &shapes,
                   bool skipSelected, TPointF &target, bool skipHoles) {
  TSnapSearch search;
  search.P = virtualToRealXY(editor, x, y);
  float t = pixelsToMm(editor.view(), tolerancePx);

  // 1. Control points of the shapes, each shape's list followed by the extra snap points.
  // The snap points compete after the first examined shape: competing again after later
  // shapes could never change the result (an equal distance does not replace).
  std::vector<TPointF> candidates;
  bool snapPointsDone = false;
  for (TQN_Path *shape : shapes) {
    if (skipSelected && shape->FSelected) continue;
    if (shape->isKind(TShapeKind::Other)) continue;
    if (shape->isKind(TShapeKind::Text) && shape->FTextRadius == 0.0f) continue;
    if (skipHoles && shape->isKind(TShapeKind::Hole)) continue;
    if (withinBox(candidateBox(*shape), search.P, t)) {
      shapeCandidates(editor, *shape, candidates);
      for (TPointF q : candidates) search.compete(q, t);
    }
    if (!snapPointsDone) {
      for (TPointF q : editor.snap().FSnapPoints) search.compete(q, t);
      snapPointsDone = true;
    }
  }

  // 2.-3. Intersections compete within twice the tolerance; the nearest within the
  // tolerance is kept apart.
  bool haveNear = false;
  TPointF nearPoint;
  float nearDistance = 0.0f;
  competeIntersections(search, editor.doc().FIntersections, skipSelected, t, haveNear, nearPoint, nearDistance);
  if (editor.doc().FStitchIntersections.Count() > 20000 && !editor.snap().FStitchIsecOverflowLogged) {
    // Reported once: the list has grown far beyond what the stitching tool collects. The
    // report is the search's only side effect, so it is made on the shared editor.
    TEditor &shared = const_cast<TEditor &>(editor);
    shared.snap().FStitchIsecOverflowLogged = true;
    const std::runtime_error report(QStringLiteral("FStitchIntersections grew to %1 entries")
                                        .arg(editor.doc().FStitchIntersections.Count())
                                        .toStdString());
    logPaintError(shared.display().FLastPaintError, report, nullptr);
  }
  competeIntersections(search, editor.doc().FStitchIntersections, false, t, haveNear, nearPoint, nearDistance);

  // 4. An intersection within the tolerance wins outright.
  if (haveNear) {
    search.Found = true;
    search.Best = nearDistance;
    search.Target = nearPoint;
  }

  // 5. Nothing yet: the radial-repeat centre, else the grid.
  const TDisplayState &canvas = editor.display();
  if (!search.Found) {
    if (canvas.IsMandalaMode && !editor.tool().FIsMandalaCenterChangeMode) {
      search.compete(canvas.Mandala.Center, t);
    } else if (editor.display().FShowGrid && gridSnapAllowed(editor)) {
      const float tick = gridTickForScale(editor);
      if (tick > 0.0f) {
        const TPointF g{static_cast<float>(roundHalfEven(search.P.X / tick) * tick),
                        static_cast<float>(roundHalfEven(search.P.Y / tick) * tick)};
        if (editor.pointer().FIsShapeDragging) t /= 3.0f;
        search.compete(g, t);
      }
    }
  }

  if (search.Found) target = search.Target;
  return search.Found;
}

std::vector<TPointF> snapCandidatesNear(TEditor &editor, TPointF point, bool &singlePoint) {
  const bool dragging = editor.pointer().FIsEdgeDragging || editor.pointer().FIsShapeDragging;
  TQN_Path *nearest = nullptr;
  TPointF nearestPoint;
  float best = std::numeric_limits<float>::max();
  for (TQN_Path *shape : editor.doc().PathList()) {
    if (!editor.doc().PathList().GetlayerVisible(shape->FLayerID)) continue;
    if (dragging && shape->FSelected) continue;
    const TDrawPallet *pallet = getPaletteOfPath(editor.pen(), *shape);
    if (pallet && !pallet->FIsVisible) continue;
    for (TPointF q : shape->getControlPoints(true, false, false)) {
      const float d = calcDistance(point, q);
      if (!nearest || d < best) {
        nearest = shape;
        best = d;
        nearestPoint = q;
      }
    }
  }
  if (!nearest) return {};
  if (!nearest->isKind(TShapeKind::Other) && !nearest->isKind(TShapeKind::Text)) {
    singlePoint = true;
    return {nearestPoint};
  }
  singlePoint = false;
  const std::vector<TPointF> all = nearest->getControlPoints(true, false, false);
  std::vector<TPointF> out;
  out.reserve(all.size());
  for (std::size_t i = 0; i < all.size(); ++i) {
    const bool inner = i > 0 && i + 1 < all.size();
    if (inner && (i % 2) == 1) {
      const TPointF a = realToVirtual(editor.view(), all[i - 1]);
      const TPointF b = realToVirtual(editor.view(), all[i]);
      if (calcDistance(a, b) <= 13.0f) continue;
    }
    out.push_back(all[i]);
  }
  return out;
}

bool getCircleTangentPoints(const TQN_Path &circle, TPointF point, TPointF &t1, TPointF &t2) {
  const TPointF c = circle.FCenter;
  const double r = circle.FWidth / 2.0;
  const double d = std::hypot(double(point.X) - c.X, double(point.Y) - c.Y);
  if (d == 0.0) return false;
  const double ratio = r / d;
  if (ratio < -1.0 || ratio > 1.0) return false;
  const double base = std::acos((double(point.X) - c.X) / d);
  const double half = std::acos(ratio);
  if (std::isnan(base) || std::isnan(half)) return false;
  const double sign = point.Y > c.Y ? 1.0 : -1.0;
  t1 = {static_cast<float>(c.X + r * std::cos(base + half)),
        static_cast<float>(c.Y + sign * r * std::sin(base + half))};
  t2 = {static_cast<float>(c.X + r * std::cos(base - half)),
        static_cast<float>(c.Y + sign * r * std::sin(base - half))};
  return true;
}

void addCircleTangentSnapPoints(TEditor &editor, TPointF point) {
  for (TQN_Path *shape : editor.doc().PathList()) {
    if (shape->FLayerID < 0 || !editor.doc().PathList().GetlayerVisible(shape->FLayerID)) continue;
    if (!shape->isKind(TShapeKind::Ellipse) || std::fabs(shape->FWidth - shape->FHeight) > 0.01f) continue;
    TPointF t1, t2;
    if (!getCircleTangentPoints(*shape, point, t1, t2)) continue;
    editor.snap().FSnapPoints.push_back(t1);
    if (!isSamePoint(t1, t2, 0.0f)) editor.snap().FSnapPoints.push_back(t2);
  }
}

}  // namespace quillon
