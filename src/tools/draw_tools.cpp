#include "tools/draw_tools.h"

#include <algorithm>
#include <cmath>

#include "model/intersection.h"
#include "model/intersection_finders.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "model/draw_pallet.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/selection.h"
#include "tools/status_info.h"
#include "shell/undo.h"
#include "tools/dragging.h"
#include "tools/snapping.h"
#include "shell/view_transform.h"

namespace quillon {

namespace {

// Two coordinates count as equal within a relative tolerance of 1e-4, and at least 1e-4 mm.
bool sameLength(float a, float b) {
  const double tol = std::max(1e-4 * std::max(std::fabs(double(a)), std::fabs(double(b))), 1e-4);
  return std::fabs(double(a) - double(b)) <= tol;
}

// A new shape of the document: selection, list, shape info and its intersection records
// (the radial-repeat copier, which skips them, comes with the radial-repeat mode).
void addToDocument(TEditor &editor, TQN_Path *shape, bool select) {
  shape->SetSelected(select);
  editor.doc().add(std::unique_ptr<TQN_Path>(shape), editor.FActiveLayer);
  showShapeInfo(editor, *shape);
  editor.calcIntersectionsOfShape(shape);
}

bool isLineShape(const TQN_Path *shape) { return shape != nullptr && shape->isKind(TShapeKind::Line); }

// The edge direction leaving `start` of one edge record, for the pointer direction `toward`.
TPointF edgeDirectionOf(const TEdgeDraggingInfo &rec, TPointF start, TPointF toward) {
  if (rec.FIntersection == nullptr) {
    const TQN_Path &s = *rec.QNPath;
    return rec.DraggingStartPt ? calcUnitVector(s.FStartPt, s.FEndPt) : calcUnitVector(s.FEndPt, s.FStartPt);
  }
  TPointF best;
  float bestCos = -2.0f;
  for (const TQN_Path *line : {rec.FIntersection->FPath1, rec.FIntersection->FPath2}) {
    if (!isLineShape(line)) continue;
    for (TPointF end : {line->FStartPt, line->FEndPt}) {
      const TPointF e = calcUnitVector(start, end);
      const float c = calcCosBetween(e, toward);
      if (c > bestCos) {
        bestCos = c;
        best = e;
      }
    }
  }
  return best;
}

}  // namespace

TQN_Path *newShapeWithCurrentPen(TEditor &editor) {
  return new TQN_Path(getCurrentPaletteIndex(editor.pen()), editor.pen().FCurrentColor, editor.pen().FCurrentThickness,
                      editor.pen().FCurrentDash, editor.doc().PathList().getNextID());
}

// ---- Line and rectangle ----

TQN_Path *commitLineOrRectTool(TEditor &editor, TPointF point, bool isRect, TShiftState shift, bool noConstraints,
                               bool takeSnapshot, bool select, bool refresh) {
  std::vector<TPointF> &points = editor.tool().Clicked_Points;
  points.push_back(point);
  TQN_Path *last = nullptr;

  if (points.size() == 2) {
    const TPointF first = points[0];
    TPointF end = points[1];
    if (isRect)
      end = applyRectSizeInput(editor, end);
    else if (!noConstraints && (hasShift(shift) || editor.panel().rbLineHorizontal))
      end = constrainWithShift(editor, first, end);

    auto addLine = [&](TPointF a, TPointF b) {
      TQN_Path *line = newShapeWithCurrentPen(editor);
      line->drawLinePath(a, b);
      addToDocument(editor, line, select);
      last = line;
    };
    if (isRect && !sameLength(end.X, first.X) && !sameLength(end.Y, first.Y)) {
      const TPointF c2(end.X, first.Y), c4(first.X, end.Y);
      addLine(first, c2);
      addLine(c2, end);
      addLine(end, c4);
      addLine(c4, first);
    } else {
      if (!noConstraints) end = applyLineToolInput(editor, first, end).End;
      addLine(first, end);
    }
    if (takeSnapshot) takeUndoSnapshot(editor, QStringLiteral("L8485"));
    points.clear();
    editor.snap().FSnapPoints.clear();
  } else if (!isRect) {
    addCircleTangentSnapPoints(editor, point);
  }

  if (refresh && last) editor.ui().refreshCanvas();
  return last;
}

TPointF constrainWithShift(const TEditor &editor, TPointF first, TPointF current) {
  const float dx = std::fabs(first.X - current.X);
  const float dy = std::fabs(first.Y - current.Y);
  if (editor.tool().FTool == TTool::Line) return dy > dx ? TPointF(first.X, current.Y) : TPointF(current.X, first.Y);
  const float sx = current.X > first.X ? 1.0f : -1.0f;
  const float sy = current.Y > first.Y ? 1.0f : -1.0f;
  const float d = std::max(dx, dy);
  return {first.X + d * sx, first.Y + d * sy};
}

TLineToolInput applyLineToolInput(const TEditor &editor, TPointF start, TPointF pointer) {
  const TPanelValues &panel = editor.panel();
  TLineToolInput in;
  in.Angle = panel.nbLineAngle;
  in.Relative = panel.rbLineRelativeAngle && in.Angle != 0.0f;
  in.Direction = relativeLineDirection(editor, start, pointer, in.Angle, in.Relative, in.EdgeDirection);
  const float length = panel.chkLineLength ? panel.nbLineLength1 : calcDistance(start, pointer);
  in.End = start + in.Direction * length;
  return in;
}

TPointF relativeLineDirection(const TEditor &editor, TPointF start, TPointF pointer, float &angle, bool &applies,
                              TPointF &edgeDirection) {
  const TPointF toward = calcUnitVector(start, pointer);
  TEdgeDraggingList records;
  if (applies) {
    records = collectEdgeDragInfos(editor, start);
    std::erase_if(records, [](const auto &rec) {
      if (rec->FIntersection)
        return !isLineShape(rec->FIntersection->FPath1) && !isLineShape(rec->FIntersection->FPath2);
      return !isLineShape(rec->QNPath);
    });
  }
  if (!applies || records.empty()) {
    angle = 0.0f;
    applies = false;
    return toward;
  }

  const float a = angle;
  float bestDistance = 0.0f;
  bool found = false;
  TPointF bestDirection;
  for (const auto &rec : records) {
    const TPointF e = edgeDirectionOf(*rec, start, toward);
    const TPointF plus = rotateVector(e, a), minus = rotateVector(e, -a);
    const float dPlus = calcDistance(start + plus, pointer), dMinus = calcDistance(start + minus, pointer);
    const bool takeMinus = dMinus < dPlus;
    const float d = takeMinus ? dMinus : dPlus;
    if (!found || d < bestDistance) {
      found = true;
      bestDistance = d;
      bestDirection = takeMinus ? minus : plus;
      edgeDirection = e;
      angle = takeMinus ? -a : a;
    }
  }
  return bestDirection;
}

TPointF applyRectSizeInput(const TEditor &editor, TPointF corner) {
  const TPanelValues &panel = editor.panel();
  if (editor.tool().Clicked_Points.empty()) return corner;
  const TPointF first = editor.tool().Clicked_Points.front();
  if (panel.chkRectWidth) corner.X = first.X + panel.nbRectWidth1;
  if (panel.chkRectHeight) corner.Y = first.Y + panel.nbRectHeight1;
  return corner;
}

TPointF applyEllipseSizeInput(const TEditor &editor, TPointF centre, TPointF corner) {
  const TPanelValues &panel = editor.panel();
  if (!panel.chkEllipseXlen) return corner;
  const float x = panel.nbEllipseXlen1;
  const float y = panel.chkEllipseYlen ? panel.nbEllipseYlen1 : x;
  return {centre.X + x / 2.0f, centre.Y + y / 2.0f};
}

// ---- Bezier ----

TQN_Path *commitBezierTool(TEditor &editor, TPointF point, bool takeSnapshot, bool select, bool refresh) {
  std::vector<TPointF> &points = editor.tool().Clicked_Points;
  points.push_back(point);
  if (points.size() != 4) return nullptr;
  TQN_Path *curve = newShapeWithCurrentPen(editor);
  curve->drawBezierPath(points[0], points[1], points[2], points[3]);
  curve->SetSelected(select);
  editor.doc().add(std::unique_ptr<TQN_Path>(curve), editor.FActiveLayer);
  showShapeInfo(editor, *curve);
  points.clear();
  editor.calcIntersectionsOfShape(curve);
  if (takeSnapshot) takeUndoSnapshot(editor, QStringLiteral("L12705"));
  if (refresh) editor.ui().refreshCanvas();
  return curve;
}

// ---- Arc ----

float arcToolRadius(const TEditor &editor, bool radiusMode, float chord) {
  if (radiusMode) return editor.panel().nbRforArc1;
  return (chord / 2.0f) / (editor.panel().nbArc_HalfMoonRatio / 100.0f);
}

bool arcCentresForChord(TPointF a, TPointF b, float radius, TPointF &centre1, TPointF &centre2) {
  const TPointF m = (a + b) * 0.5f;
  const float h = calcDistance(a, m);
  const float d2 = radius * radius - h * h;
  float d = 0.0f;
  if (d2 > 0.0f)
    d = std::sqrt(d2);
  else if (d2 == 0.0f)
    d = 0.0009f;
  else
    return false;
  const TPointF n = rotateVector(calcUnitVector(a, b), 90.0f);
  centre1 = m + n * d;
  centre2 = m - n * d;
  return true;
}

bool threePointArcCentre(TEditor &editor, TPointF p1, TPointF &p2, TPointF &p3, TPointF &centre) {
  const float a = calcDistance(p1, p2), b = calcDistance(p2, p3), c = calcDistance(p1, p3);
  if (c > a || b > a) std::swap(p2, p3);
  constexpr float kReach = 10000.0f;
  const TPointF m13 = (p1 + p3) * 0.5f, n13 = rotateVector(calcUnitVector(p1, p3), 90.0f);
  const TPointF m23 = (p2 + p3) * 0.5f, n23 = rotateVector(calcUnitVector(p2, p3), 90.0f);
  if (!calcLineCrossPoint(m13 - n13 * kReach, m13 + n13 * kReach, m23 - n23 * kReach, m23 + n23 * kReach, centre))
    return false;
  editor.ui().setStatusText(QStringLiteral("Angle=") + QString::number(calcRotationSense(p1, p3, centre)));
  return true;
}

bool threePointArc(TEditor &editor, TPointF start, TPointF &end, TPointF &third, TThreePointArc &arc) {
  TPointF centre;
  if (!threePointArcCentre(editor, start, end, third, centre)) return false;
  const float r = calcDistance(start, centre);
  if (isSamePoint(centre, (start + end) * 0.5f, 0.0f)) {
    // A half circle: the third point moves just inside the circle and the centre is found
    // again, so that the arc is no longer an exact half turn.
    third = centre + calcUnitVector(centre, third) * (r * 0.9999f);
    if (!threePointArcCentre(editor, start, end, third, centre)) return false;
  }
  const TPointF toThird = calcUnitVector(centre, third);
  const float a1 = calcAngleBetween(calcUnitVector(centre, start), toThird);
  const float a2 = calcAngleBetween(calcUnitVector(centre, end), toThird);
  arc.Centre = centre;
  arc.Radius = r;
  arc.Sweep = calcAngleAtVertex(centre, start, end, a1 + a2 > 180.0f, 0);
  return true;
}

TQN_Path *commitArcTool(TEditor &editor, TPointF point, bool select, bool previewOnly, bool radiusMode,
                        bool halfMoonMode, bool threePointMode) {
  std::vector<TPointF> &points = editor.tool().Clicked_Points;
  points.push_back(point);
  if (points.size() < 2) return nullptr;
  const TPointF start = points[0];
  TPointF end = points[1];
  TQN_Path *arc = nullptr;

  if (radiusMode || halfMoonMode) {
    const float chord = calcDistance(start, end);
    const float r = arcToolRadius(editor, radiusMode, chord);
    const TPointF u = calcUnitVector(start, end);
    TPointF c1, c2;
    // A zero ratio gives no finite radius: no circle passes through the points.
    bool found = std::isfinite(r);
    if (found) {
      if (chord > 2.0f * r) end = start + u * (2.0f * r);
      found = arcCentresForChord(start, end, r, c1, c2);
      if (!found) {
        end = start + u * (2.0f * r * 0.9999f);
        points[1] = end;
        found = arcCentresForChord(start, end, r, c1, c2);
      }
    }
    if (!found) {
      points.erase(points.begin() + (points.size() >= 3 ? 2 : 1));
      return nullptr;
    }
    if (points.size() >= 3) {
      const TPointF third = points[2];
      const TPointF centre = calcDistance(c2, third) > calcDistance(c1, third) ? c2 : c1;
      const float sw1 = calcAngleAtVertex(c1, start, end, false, 0);
      const float sw2 = calcAngleAtVertex(c2, start, end, false, 0);
      float sweep = sw1;
      if (sw1 != sw2) {
        sweep = calcAngleAtVertex(centre, start, end, false, 0);
      } else {
        // A half circle: the sweep turns toward the side of the third click.
        const TPointF qMinus = rotatePoint(start, c1, -90.0f), qPlus = rotatePoint(start, c1, 90.0f);
        if (!(calcDistance(qMinus, third) > calcDistance(qPlus, third))) sweep = -sweep;
      }
      arc = newShapeWithCurrentPen(editor);
      arc->drawArcPath(centre, {r, r}, start, end, sweep);
    }
  } else if (threePointMode && points.size() >= 3) {
    TPointF third = points[2];
    TThreePointArc geometry;
    if (!threePointArc(editor, start, end, third, geometry)) {
      points.erase(points.begin() + 2);
      return nullptr;
    }
    arc = newShapeWithCurrentPen(editor);
    arc->drawArcPath(geometry.Centre, {geometry.Radius, geometry.Radius}, start, end, geometry.Sweep);
  }

  if (previewOnly || arc == nullptr) return arc;
  arc->SetSelected(select);
  editor.doc().add(std::unique_ptr<TQN_Path>(arc), editor.FActiveLayer);
  editor.calcIntersectionsOfShape(arc);
  showShapeInfo(editor, *arc);
  takeUndoSnapshot(editor, QStringLiteral("L7535"));
  points.clear();
  editor.ui().refreshCanvas();
  return arc;
}

// ---- Text ----

void beginTextEntry(TEditor &editor) {
  const TPointF anchor = editor.snap().FStickyExists ? editor.snap().FStickyPoint
                                                     : virtualToReal(editor, editor.pointer().FLastMousePos, true);
  // A new text with nothing typed yet is dropped; a text of the document stays.
  finishTextEditing(editor);
  editor.tool().FEditingText.reset();
  TPanelValues &panel = editor.panel();
  panel.edText.clear();
  panel.nbTextTracking = 1.0f;
  panel.nbTextRadius1 = 0.0f;
  panel.chkTextCCW = false;
  panel.edTextEnabled = true;
  editor.ui().refreshCanvas();

  std::unique_ptr<TQN_Path> text(newShapeWithCurrentPen(editor));
  text->FStartPt = anchor;
  text->FTextFill = panel.chkTextFill;
  editor.tool().FEditingText.beginNew(std::move(text));
}

namespace {

// Rebuilds the text being edited from the box's trimmed text, which must not be blank.
void rebuildEditedText(TEditor &editor, TQN_Path &shape, const QString &text) {
  const TPanelValues &panel = editor.panel();
  const bool listed = panel.SelectedFontIndex >= 0 && panel.SelectedFontIndex < panel.FontNames.size();
  const QString family = listed ? panel.FontNames[panel.SelectedFontIndex] : QString();
  shape.drawTextPath(text, shape.FStartPt, panel.TextFontSize, panel.nbTextRotation, family,
                     getSignedTextRadius(editor), panel.nbTextTracking);
}

}  // namespace

void edTextTyping(TEditor &editor) {
  TQN_Path *shape = editor.tool().FEditingText.get();
  if (shape == nullptr) return;
  const QString s = editor.panel().edText.trimmed();
  if (s.isEmpty()) return;
  rebuildEditedText(editor, *shape, s);
  if (shape->Data().IsEmpty()) return;
  if (editor.tool().FEditingText.isOutsideDocument()) {
    editor.doc().add(editor.tool().FEditingText.release(), editor.FActiveLayer);
    shape->SetSelected(true);
  }
  ++editor.FUndoStore.FRequireSnapshotText;
  editor.ui().refreshCanvas();
}

void edTextChange(TEditor &editor) {
  TQN_Path *shape = editor.tool().FEditingText.get();
  if (shape == nullptr) return;
  const QString s = editor.panel().edText.trimmed();
  if (!s.isEmpty()) rebuildEditedText(editor, *shape, s);
  const bool inDocument = !editor.tool().FEditingText.isOutsideDocument();
  if (s.isEmpty() || shape->Data().IsEmpty()) {
    if (inDocument) {
      resetTextEditor(editor, true);
      takeUndoSnapshot(editor, QStringLiteral("edTextChange"));
    }
  } else if (!inDocument) {
    editor.doc().add(editor.tool().FEditingText.release(), editor.FActiveLayer);
    takeUndoSnapshot(editor, QStringLiteral("edTextChange"));
    shape->SetSelected(true);
  } else {
    takeUndoSnapshot(editor, QStringLiteral("edTextChange"));
  }
  editor.ui().refreshCanvas();
}

float getSignedTextRadius(const TEditor &editor) {
  const float r = editor.panel().nbTextRadius1;
  return editor.panel().chkTextCCW ? -r : r;
}

}  // namespace quillon
