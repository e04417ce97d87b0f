#include "tools/hit_test.h"

#include "stitching/hole_placement.h"

#include <algorithm>
#include <cmath>

#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "model/draw_pallet.h"
#include "shell/editor.h"
#include "shell/view_transform.h"
#include "tools/snapping.h"

namespace quillon {

namespace {

// Distance from p to the segment a-b; a segment of length 0 is never hit.
double segmentDistance(TPointF p, TPointF a, TPointF b) {
  const double dx = double(b.X) - a.X;
  const double dy = double(b.Y) - a.Y;
  const double L = dx * dx + dy * dy;
  const double u = (double(p.X) - a.X) * dx + (double(p.Y) - a.Y) * dy;
  if (u < 0.0) return std::hypot(double(p.X) - a.X, double(p.Y) - a.Y);
  if (u > L) return std::hypot(double(p.X) - b.X, double(p.Y) - b.Y);
  if (L == 0.0) return 2147483648.0;
  return std::fabs(dx * (double(a.Y) - p.Y) - dy * (double(a.X) - p.X)) / std::sqrt(L);
}

bool hiddenLineType(const TEditor &editor, const TQN_Path &shape) {
  const TDrawPallet *pallet = getPaletteOfPath(editor.pen(), shape);
  return pallet && !pallet->FIsVisible && shape.FCatalogGUID.isEmpty();
}

}  // namespace

std::vector<TQN_Path *> hitTestShapes(const TEditor &editor, const TShapeList &shapes, bool probe, TPointF point,
                                      bool loose, bool insideOther, bool allLayers) {
  const float px = probe ? kProbeTolerancePx : (loose ? kLooseTolerancePx : kStrictTolerancePx);
  const double t = pixelsToMm(editor.view(), px);
  std::vector<TQN_Path *> result;
  TQN_Path *nearest = nullptr;
  double best = 0.0;

  for (int k = shapes.Count() - 1; k >= 0; --k) {
    TQN_Path *shape = shapes[k];
    if (hiddenLineType(editor, *shape)) continue;
    if (!shapes.GetlayerVisible(shape->FLayerID)) continue;
    if (!allLayers && shape->FLayerID != editor.FActiveLayer) continue;

    // Cheap rejection: a point farther than the tolerance from the outline's bounds can
    // hit no segment (the inside tests and the dot distance still run below).
    const TPathData &data = shape->Data();
    bool added = false;
    const TRectF &bounds = shape->getBoundary(false);
    const bool nearBounds = point.X >= bounds.Left - t && point.X <= bounds.Right + t &&
                            point.Y >= bounds.Top - t && point.Y <= bounds.Bottom + t;
    if (nearBounds && data.Count() > 0) {
      TPointF prev = data[0].Point;
      for (int i = 1; i < data.Count(); ++i) {
        const TPathPoint &pp = data[i];
        if (pp.Kind == TPathPointKind::LineTo) {
          const double d = segmentDistance(point, prev, pp.Point);
          if (t > d) {
            if (!added) {
              result.push_back(shape);
              added = true;
            }
            if (!nearest || d < best) {
              nearest = shape;
              best = d;
              shape->FClickedPathIndex = i;
            }
          }
        }
        prev = pp.Point;
      }
    }
    if (added) continue;

    if (shape->isKind(TShapeKind::Dot) || shape->isKind(TShapeKind::Hole)) {
      const double d = calcDistance(shape->GetCenter(), point);
      if (t > d) {
        result.push_back(shape);
        if (!nearest || best > d) {
          nearest = shape;
          best = d;
        }
      }
    } else if (shape->isKind(TShapeKind::Ellipse)) {
      if (isSamePoint(point, shape->GetCenter(), 0.0f)) result.push_back(shape);
    } else if (shape->isKind(TShapeKind::Text) || (insideOther && shape->isKind(TShapeKind::Other))) {
      if (shape->isAPointInsideShape(point)) result.push_back(shape);
    }
  }

  // Loose filter: of several hits keep the nearest and those ending at the snapped point.
  if (!probe && loose && result.size() >= 2) {
    const TPointF s = virtualToReal(editor, realToVirtual(editor.view(), point), true);
    for (int i = static_cast<int>(result.size()) - 1; i >= 0 && result.size() >= 2; --i) {
      TQN_Path *shape = result[static_cast<std::size_t>(i)];
      if (shape == nearest) continue;
      if (!isSamePoint(shape->FStartPt, s, 0.0f) && !isSamePoint(shape->FEndPt, s, 0.0f))
        result.erase(result.begin() + i);
    }
  }
  return result;
}

std::vector<TQN_Path *> shapesAtScreenPoint(const TEditor &editor, const TShapeList &shapes, bool probe, float x,
                                            float y, bool loose, bool insideOther, bool allLayers) {
  return hitTestShapes(editor, shapes, probe, virtualToRealXY(editor, x, y), loose, insideOther, allLayers);
}

bool selectedShapeAt(const TEditor &editor, float x, float y, TQN_Path *&shape) {
  std::vector<TQN_Path *> hits = shapesAtScreenPoint(editor, editor.doc().PathList(), true, x, y, false, false, true);
  if (hits.empty()) hits = shapesAtScreenPoint(editor, editor.doc().PathList(), true, x, y, false, true, true);
  for (TQN_Path *hit : hits) {
    if (hit->FSelected) {
      shape = hit;
      return true;
    }
  }
  return false;
}

bool shapeOnOtherLayerAt(const TEditor &editor, float x, float y, TQN_Path *&shape) {
  std::vector<TQN_Path *> hits = shapesAtScreenPoint(editor, editor.doc().PathList(), false, x, y, false, false, true);
  if (hits.empty()) hits = shapesAtScreenPoint(editor, editor.doc().PathList(), false, x, y, false, true, true);
  for (TQN_Path *hit : hits) {
    if (hit->FLayerID != editor.FActiveLayer) {
      shape = hit;
      return true;
    }
  }
  return false;
}

bool lineEndpointAt(const TEditor &editor, const TQN_Path *shape, float x, float y, TPointF &point) {
  if (!shape) return false;
  if (!shape->isKind(TShapeKind::Line) && !shape->isKind(TShapeKind::Bezier) && !shape->isKind(TShapeKind::Arc))
    return false;
  const TPointF pointer{x, y};
  for (TPointF end : {shape->FStartPt, shape->FEndPt}) {
    if (calcDistance(realToVirtual(editor.view(), end), pointer) <= kLineEndTolerancePx) {
      point = end;
      return true;
    }
  }
  return false;
}

TQN_Path *findHoleNear(const TEditor &editor, TPointF point, float distance) {
  return THoleFinder(editor).findHoleNear(point, distance);
}

TQN_Path *holeAtScreenPoint(const TEditor &editor, float x, float y, float distance) {
  return findHoleNear(editor, virtualToRealXY(editor, x, y), distance);
}

}  // namespace quillon
