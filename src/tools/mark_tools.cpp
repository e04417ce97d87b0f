#include "tools/mark_tools.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

#include "edit/shape_geometry.h"
#include "model/intersection.h"
#include "model/intersection_upkeep.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "platform/number_text.h"
#include "model/draw_pallet.h"
#include "render/shape_painters.h"
#include "render/tool_previews.h"
#include "shell/deletion.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "tools/status_info.h"
#include "shell/undo.h"
#include "tools/dragging.h"
#include "tools/draw_tools.h"
#include "tools/hit_test.h"
#include "tools/snapping.h"
#include "shell/view_transform.h"

namespace quillon {

namespace {

constexpr TAlphaColor kStartMarkColor = 0xFFFF0000;
constexpr float kStraightenLimitDegrees = 0.1f;
constexpr float kTemplateMarkLength = 0.1f;
constexpr float kTemplateFlatness = 0.3f;

bool inDocument(const TEditor &editor, const TQN_Path *shape) {
  return shape && editor.doc().PathList().IndexOf(shape) >= 0;
}

// The shapes a mark is put across.
bool isMarkableKind(const TQN_Path &shape) {
  return shape.isKind(TShapeKind::Line) || shape.isKind(TShapeKind::Bezier) || shape.isKind(TShapeKind::Ellipse) ||
         shape.isKind(TShapeKind::Arc);
}

void addToDocument(TEditor &editor, TQN_Path *shape) {
  editor.doc().add(std::unique_ptr<TQN_Path>(shape), editor.FActiveLayer);
}

void addWithIntersections(TEditor &editor, TQN_Path *shape) {
  addToDocument(editor, shape);
  editor.calcIntersectionsOfShape(shape);
}

void pushOnce(std::vector<TQN_Path *> &list, TQN_Path *shape) {
  if (shape && std::find(list.begin(), list.end(), shape) == list.end()) list.push_back(shape);
}

// The rotation a stamp or a previewed part gets for a direction, in radians.
double stampRotation(TPointF direction) {
  float angle = 0.0f;
  unitDirectionAndAngle({0.0f, 0.0f}, direction, angle);
  return (double(angle) + 90.0) * std::numbers::pi / 180.0;
}

// A shape whose outline is at `point` and turned to `direction` once its bounding box is
// centred on the origin.
TMatrix placeCentredOn(TPointF boxCentre, TPointF point, TPointF direction) {
  return TMatrix::translation(-boxCentre.X, -boxCentre.Y) * TMatrix::rotation(stampRotation(direction)) *
         TMatrix::translation(point.X, point.Y);
}

// The shapes the circle of a measurement may cross: the shapes of the edge records at the
// first point, each followed by the shapes sharing an intersection with it.
std::vector<TQN_Path *> measurementCandidates(const TEditor &editor, const TEdgeDraggingList &records) {
  std::vector<TQN_Path *> candidates;
  auto take = [&](TQN_Path *shape) {
    if (!shape) return;
    pushOnce(candidates, shape);
    collectTouchingPaths(editor, shape, candidates, true);
  };
  for (const auto &rec : records) {
    if (rec->QNPath) {
      take(rec->QNPath);
    } else if (rec->FIntersection) {
      take(rec->FIntersection->FPath1);
      take(rec->FIntersection->FPath2);
    }
  }
  return candidates;
}

}  // namespace

// ---- Dot ----

void commitDotTool(TEditor &editor, TPointF point, bool select) {
  TQN_Path *shape = nullptr;
  if (const TQN_Path *part = editor.tool().FRepositoryTemplate) {
    shape = stampTemplateAt(editor, *part, point, {1.0f, 0.0f});
  } else {
    shape = newShapeWithCurrentPen(editor);
    shape->drawDotPath(point, editor.display().FStrokeDefs.DotRadius);
    addToDocument(editor, shape);
    takeUndoSnapshot(editor, QStringLiteral("L8244"));
  }
  shape->SetSelected(select);
  showShapeInfo(editor, *shape);
  editor.ui().refreshCanvas();
}

// ---- Ellipse ----

std::vector<TQN_Path *> commitEllipseTool(TEditor &editor, TPointF point, TShiftState shift, bool select,
                                          bool refresh, bool noAdd) {
  std::vector<TQN_Path *> created;
  std::vector<TPointF> &points = editor.tool().Clicked_Points;
  points.push_back(point);
  if (points.size() == 2) {
    const TPointF centre = points[0];
    const TPointF corner = applyEllipseSizeInput(editor, centre, points[1]);
    float rx = std::fabs(centre.X - corner.X), ry = std::fabs(centre.Y - corner.Y);
    if (hasShift(shift)) rx = ry = std::max(rx, ry);

    if (std::fabs(rx - ry) <= 0.01f) {
      TQN_Path *circle = newShapeWithCurrentPen(editor);
      circle->drawEllipsePath(centre, 2.0f * rx, 2.0f * rx);
      circle->SetSelected(select);
      created.push_back(circle);
      if (!noAdd) {
        addToDocument(editor, circle);
        showShapeInfo(editor, *circle);
        editor.calcIntersectionsOfShape(circle);
      }
    } else {
      created = ellipticalArcToBeziers(editor, centre, centre + TPointF(0.0f, ry), centre + TPointF(rx, 0.0f), 0.0f,
                                       float(2.0 * std::numbers::pi));
      if (!noAdd) {
        for (TQN_Path *quarter : created) {
          quarter->SetSelected(select);
          addToDocument(editor, quarter);
          showShapeInfo(editor, *quarter);
          editor.calcIntersectionsOfShape(quarter);
        }
      }
    }
    points.clear();
  }
  if (refresh) editor.ui().refreshCanvas();
  return created;
}

// ---- Centre line ----

bool commitCenterLineTool(TEditor &editor, TPointF point, TShiftState, bool select) {
  bool anchored = !collectEdgeDragInfos(editor, point).empty();
  if (!anchored) {
    bool single = false;
    for (const TPointF c : snapCandidatesNear(editor, point, single))
      anchored = anchored || isSamePoint(c, point, 0.0f);
  }
  if (!anchored) return false;

  std::vector<TPointF> &points = editor.tool().Clicked_Points;
  points.push_back(point);
  if (points.size() >= 2) {
    const TPanelValues &panel = editor.panel();
    const TPointF p = points[0], q = points[1];
    points.clear();
    addDividingTicks(editor, p, q, panel.nbCenterLineLength1, int(roundHalfEven(panel.nbNumDividingCenter)),
                     panel.chkDrawEdges, select);
    editor.ui().refreshCanvas();
  }
  return true;
}

void addDividingTicks(TEditor &editor, TPointF p, TPointF q, float tickLength, int divisions, bool withEnds,
                      bool select) {
  divisions = std::max(divisions, 1);
  const TPointF step = (q - p) * (1.0f / float(divisions));
  const TPointF perp = rotateVector(calcUnitVector(p, q), 90.0f);
  for (int i = 0; i <= divisions; ++i) {
    if ((i == 0 || i == divisions) && !withEnds) continue;
    const TPointF m = p + step * float(i);
    TQN_Path *tick = newShapeWithCurrentPen(editor);
    tick->drawLinePath(m + perp * (tickLength / 2.0f), m - perp * (tickLength / 2.0f));
    straightenToAxis(*tick, TAxisMode::Automatic, true, kStraightenLimitDegrees);
    tick->SetSelected(select);
    addWithIntersections(editor, tick);
    takeUndoSnapshot(editor, QStringLiteral("L7699"));
  }
}

void collectTouchingPaths(const TEditor &editor, const TQN_Path *shape, std::vector<TQN_Path *> &list,
                          bool withCrossings) {
  for (const TIntersection *ict : editor.doc().FIntersections) {
    if (ict->FIsCrossing && !withCrossings) continue;
    if (ict->FPath1 == shape)
      pushOnce(list, ict->FPath2);
    else if (ict->FPath2 == shape)
      pushOnce(list, ict->FPath1);
  }
}

// ---- Dimension ----

bool commitDimensionTool(TEditor &editor, TPointF point, TShiftState) {
  std::vector<TPointF> &points = editor.tool().Clicked_Points;
  points.push_back(point);
  // The window shows the dimension tab of the top bar while the tool collects points.
  if (!inDocument(editor, editor.tool().FDimensionShape)) editor.tool().FDimensionShape = nullptr;

  if (points.size() == 1) {
    editor.tool().FDimensionShape = nullptr;
    const std::vector<TQN_Path *> hits =
        hitTestShapes(editor, editor.doc().PathList(), false, point, false, false, false);
    if (!hits.empty()) {
      TQN_Path *top = hits.front();
      if (top->isKind(TShapeKind::Arc) && !isSamePoint(point, top->FStartPt, 0.0f) &&
          !isSamePoint(point, top->FEndPt, 0.0f))
        editor.tool().FDimensionShape = top;
    }
  } else if (points.size() == 2 && editor.tool().FDimensionShape) {
    drawRadiusDimension(editor, nullptr, point);
    takeUndoSnapshot(editor, QStringLiteral("L8014"));
    points.clear();
    editor.tool().FDimensionShape = nullptr;
  } else if (points.size() >= 3) {
    drawLinearDimension(editor, nullptr, point);
    takeUndoSnapshot(editor, QStringLiteral("L8021"));
    points.clear();
  }
  return true;
}

// ---- Distance marking ----

TQN_Path *commitDistanceMarkingTool(TEditor &editor, TPointF point, bool preview, QPainter *canvas) {
  const TPanelValues &panel = editor.panel();
  std::vector<TPointF> &points = editor.tool().Clicked_Points;
  // The shape ends and intersections at the click; a preview changes nothing and needs none.
  const TPointF probe = editor.snap().FStickyExists ? editor.snap().FStickyPoint : point;
  const TEdgeDraggingList records = preview ? TEdgeDraggingList{} : collectEdgeDragInfos(editor, probe);
  TPointF working = point;
  std::size_t n = points.size();
  TQN_Path *result = nullptr;

  // A click on a shape end or an intersection starts a new measurement there.
  if (n > 0 && !records.empty() && !preview) {
    points.clear();
    working = editor.snap().FStickyPoint;
    --n;
  }

  bool started = false;
  if (points.empty() && !preview && editor.snap().FStickyExists) {
    const TPointF start = editor.snap().FStickyPoint;
    points.push_back(start);
    started = true;
    const bool anchored = std::any_of(records.begin(), records.end(), [](const auto &rec) {
      return rec->FIntersection || (rec->QNPath && isMarkableKind(*rec->QNPath));
    });
    if (!anchored) {
      // In the middle of a shape: red marks there anchor the measurement until the next
      // mark is made.
      for (TQN_Path *hit : hitTestShapes(editor, editor.doc().PathList(), false, start, false, false, false)) {
        if (!isMarkableKind(*hit)) continue;
        if (TQN_Path *mark = placePerpendicularMark(editor, hit, start, false, nullptr)) {
          mark->FColor = kStartMarkColor;
          editor.tool().FTempDistMarkLine = mark;
          result = mark;
        }
      }
      editor.ui().refreshCanvas();
    }
  }
  ++n;

  if (started && panel.chkDrawFirstPos && !records.empty()) {
    const auto &rec = records.front();
    TQN_Path *shape = rec->QNPath ? rec->QNPath : (rec->FIntersection ? rec->FIntersection->FPath1 : nullptr);
    if (shape) {
      if (TQN_Path *mark = placePerpendicularMark(editor, shape, points.front(), false, nullptr)) result = mark;
      takeUndoSnapshot(editor, QStringLiteral("L8144"));
    }
  }

  if (n > 1 && !points.empty()) {
    const TPointF first = points.front();
    const std::vector<TQN_Path *> candidates = measurementCandidates(editor, collectEdgeDragInfos(editor, first));

    // The circle of the marking distance around the first point, crossed with the
    // candidates only; the document's intersections stay as they are.
    TQN_Path circle(getCurrentPaletteIndex(editor.pen()), editor.pen().FCurrentColor, editor.pen().FCurrentThickness,
                    editor.pen().FCurrentDash, -1);
    circle.drawEllipsePath(first, 2.0f * panel.nbMarkingDistance1, 2.0f * panel.nbMarkingDistance1);
    circle.FLayerID = editor.FActiveLayer;
    const std::unique_ptr<TShapeList> others = TShapeList::borrowing(editor.doc().PathList(), candidates);
    TIntersections crossings;
    calcIntersectionsOfShape(*others, crossings, &circle, false, nullptr);

    const TIntersection *nearest = nullptr;
    float best = 0.0f;
    for (const TIntersection *ict : crossings) {
      const float d = calcDistance(ict->FPoint, working);
      if (!nearest || d < best) {
        nearest = ict;
        best = d;
      }
    }
    if (nearest) {
      const TPointF at = nearest->FPoint;
      TQN_Path *target = nearest->FPath1 == &circle ? nearest->FPath2 : nearest->FPath1;
      result = placePerpendicularMark(editor, target, at, preview, canvas);
      if (!preview) {
        points.clear();
        discardTempDistMarkLine(editor);
        takeUndoSnapshot(editor, QStringLiteral("L8208"));
        if (panel.chkContinuousDistanceMarking) points.push_back(at);
      }
    }
    crossings.FreeAll();
  }
  return preview ? nullptr : result;
}

TQN_Path *placePerpendicularMark(TEditor &editor, TQN_Path *shape, TPointF point, bool preview, QPainter *canvas) {
  const TQN_Path *part = editor.tool().FRepositoryTemplate;
  const float len = part ? kTemplateMarkLength : editor.panel().nbMarkLen1;
  TPointF dir;
  TQN_Path *found = nullptr;
  if (!shape || !nearestSegmentDirection({shape}, point, dir, found)) return nullptr;
  const TPointF perp = rotateVector(dir, 90.0f);
  const TPointF a = point + perp * (len / 2.0f), b = point - perp * (len / 2.0f);

  if (preview) {
    if (!canvas) return nullptr;
    StrokeScope scope(*canvas, 1.0);
    if (part) {
      std::unique_ptr<TQN_Path> copy(part->createCopy());
      copy->Data().Flatten(kTemplateFlatness);
      copy->resetBoundary();
      copy->calcCenter();
      copy->Data().ApplyMatrix(placeCentredOn({0.0f, 0.0f}, point, dir));
      pathToVirtual(editor.view(), *copy, editor.view().FOffset);
      canvas->drawPath(toPainterPath(copy->Data()));
    } else {
      const TPointF pa = realToVirtual(editor.view(), a), pb = realToVirtual(editor.view(), b);
      canvas->drawLine(QPointF(pa.X, pa.Y), QPointF(pb.X, pb.Y));
    }
    return nullptr;
  }

  TQN_Path *mark = newShapeWithCurrentPen(editor);
  mark->drawLinePath(a, b);
  straightenToAxis(*mark, TAxisMode::Automatic, true, kStraightenLimitDegrees);
  mark->FIsFreeAngle = true;
  addWithIntersections(editor, mark);
  if (part) stampTemplateAt(editor, *part, point, dir);
  return mark;
}

// ---- Template stamp ----

TQN_Path *stampTemplateAt(TEditor &editor, const TQN_Path &part, TPointF point, TPointF direction) {
  TQN_Path *copy = part.createCopy();
  copy->updateId(editor.doc().PathList().getNextID());
  const TRectF box = copy->getBoundary(false);
  if (point.exactlyEquals({-1.0f, -1.0f})) {
    const TPointF corner = virtualToReal(editor, {50.0f, 50.0f});
    copy->Data().Translate(corner.X - box.Left, corner.Y - box.Top);
  } else {
    copy->Data().ApplyMatrix(placeCentredOn(box.centerPoint(), point, direction));
  }
  copy->resetBoundary();
  copy->getBoundary(true);
  addToDocument(editor, copy);
  editor.ui().refreshCanvas();
  takeUndoSnapshot(editor, QStringLiteral("L8653"));
  return copy;
}


}  // namespace quillon
