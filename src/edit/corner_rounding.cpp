#include "edit/corner_rounding.h"

#include <array>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "edit/shape_geometry.h"
#include "model/intersection.h"
#include "model/intersection_finders.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/selection.h"
#include "shell/undo.h"
#include "tools/mark_tools.h"

namespace quillon {

namespace {

// The crossings the outline finder reports for two shapes; the records are freed here.
std::vector<TPointF> crossingsOf(TEditor &editor, TQN_Path *a, TQN_Path *b, bool extend) {
  std::vector<TPointF> points;
  for (TIntersection *record : calcPathIntersections(a, b, &editor.doc().PathList(), extend)) {
    points.push_back(record->FPoint);
    delete record;
  }
  return points;
}

// A line rebuilt through new ends, keeping its free-angle flag.
void redrawLine(TQN_Path &line, TPointF st, TPointF ep) {
  const bool freeAngle = line.FIsFreeAngle;
  line.drawLinePath(st, ep);
  line.FIsFreeAngle = freeAngle;
}

TPointF normalised(TPointF v) {
  const double len = std::hypot(double(v.X), double(v.Y));
  return len > 1e-12 ? TPointF(float(v.X / len), float(v.Y / len)) : TPointF();
}

// The point of a line a reference for the corner's sector: a quarter along from the end
// that lies on the corner, else where the user clicked it.
TPointF sectorReference(TQN_Path &line, TPointF I) {
  if (isSamePoint(line.FStartPt, I, 0.0f)) line.FClickedPoint = (line.FStartPt * 3.0f + line.FEndPt) * 0.25f;
  else if (isSamePoint(line.FEndPt, I, 0.0f)) line.FClickedPoint = (line.FStartPt + line.FEndPt * 3.0f) * 0.25f;
  return line.FClickedPoint;
}

}  // namespace

TQN_Path *filletLines(TEditor &editor, TQN_Path *line1, TQN_Path *line2, float R, TPointF corner) {
  for (TQN_Path *line : {line1, line2}) {
    const bool moveStart = calcDistance(line->FStartPt, corner) >= calcDistance(line->FEndPt, corner);
    straightenToAxis(*line, TAxisMode::Automatic, !moveStart, -1.0f);
    line->calcLineParam();
  }
  TPointF I;
  if (!calcLineCrossPoint(line1->FStartPt, line1->FEndPt, line2->FStartPt, line2->FEndPt, I)) return nullptr;
  // A vertical line is always the first: the arc takes its pen.
  if (line2->IsVerticalLine()) std::swap(line1, line2);

  // The four circles of radius R touching both lines, one in each sector at I: their
  // centres lie at signed distances +-R from both lines.
  const TPointF d1 = calcUnitVector(line1->FStartPt, line1->FEndPt);
  const TPointF d2 = calcUnitVector(line2->FStartPt, line2->FEndPt);
  const TPointF n1(-d1.Y, d1.X), n2(-d2.Y, d2.X);
  const double det = double(n1.X) * n2.Y - double(n1.Y) * n2.X;
  if (std::fabs(det) < 1e-12) return nullptr;
  struct TCandidate {
    TPointF Centre, T1, T2;
  };
  std::array<TCandidate, 4> candidates;
  const std::array<std::pair<float, float>, 4> signs{{{-1.0f, -1.0f}, {-1.0f, 1.0f}, {1.0f, 1.0f}, {1.0f, -1.0f}}};
  for (std::size_t k = 0; k < 4; ++k) {
    const double a = double(signs[k].first) * R, b = double(signs[k].second) * R;
    // n1 . v = a, n2 . v = b
    const double vx = (a * n2.Y - b * n1.Y) / det, vy = (double(n1.X) * b - double(n2.X) * a) / det;
    const TPointF C(float(I.X + vx), float(I.Y + vy));
    candidates[k] = {C, C - n1 * (signs[k].first * R), C - n2 * (signs[k].second * R)};
  }

  const TPointF ref = normalised(calcUnitVector(I, sectorReference(*line1, I)) +
                                 calcUnitVector(I, sectorReference(*line2, I)));
  std::size_t chosen = 0;
  float best = 0.0f;
  for (std::size_t k = 0; k < 4; ++k) {
    const float dist = calcDistance(calcUnitVector(I, candidates[k].Centre), ref);
    if (k == 0 || dist < best) {
      best = dist;
      chosen = k;
    }
  }
  const TCandidate &c = candidates[chosen];

  auto arc = std::make_unique<TQN_Path>(line1->FPalletIndex, line1->FColor, line1->FThickness, line1->FDash,
                                        editor.doc().PathList().getNextID());
  arc->drawArcPath(c.Centre, {R, R}, c.T1, c.T2, calcAngleAtVertex(c.Centre, c.T1, c.T2, false, 0));
  TQN_Path *added = editor.doc().add(std::move(arc), editor.FActiveLayer);

  for (auto [line, T] : {std::pair{line1, c.T1}, std::pair{line2, c.T2}}) {
    if (calcDistance(line->FStartPt, T) > calcDistance(line->FStartPt, I))
      redrawLine(*line, T, line->FEndPt);
    else
      redrawLine(*line, line->FStartPt, T);
    line->resetBoundary();
  }
  for (TQN_Path *line : {line1, line2}) {
    removeIntersectionsOf(editor.doc().FIntersections, line);
    if (isSamePoint(line->FStartPt, line->FEndPt, 0.0f))
      editor.doc().remove(line);
    else
      editor.calcIntersectionsOfShape(line);
  }
  editor.calcIntersectionsOfShape(added);
  takeUndoSnapshot(editor, QStringLiteral("L19954"));
  deselectAll(editor);
  editor.ui().refreshCanvas();
  return added;
}

bool areLinesParallel(const TQN_Path &line, const TQN_Path &other) {
  if (!line.isKind(TShapeKind::Line) || !other.isKind(TShapeKind::Line)) return false;
  const TPointF u = calcUnitVector(line.FStartPt, line.FEndPt);
  const TPointF v = calcUnitVector(other.FStartPt, other.FEndPt);
  return isSamePoint(u, v, 0.0f) || isSamePoint(u, v * -1.0f, 0.0f);
}

void mergeCollinearLine(TEditor &editor, TQN_Path &line, TQN_Path *other) {
  if (!other || !areLinesParallel(line, *other)) return;
  removeIntersectionsOf(editor.doc().FIntersections, &line);
  removeIntersectionsOf(editor.doc().FIntersections, other);
  TPointF st = line.FStartPt, ep = line.FEndPt;
  if (isSamePoint(st, other->FStartPt, 0.0f)) st = other->FEndPt;
  else if (isSamePoint(st, other->FEndPt, 0.0f)) st = other->FStartPt;
  else if (isSamePoint(ep, other->FEndPt, 0.0f)) ep = other->FStartPt;
  else ep = other->FEndPt;
  editor.doc().remove(other);
  redrawLine(line, st, ep);
  editor.calcIntersectionsOfShape(&line);
}

bool mergeCollinearNeighbours(TEditor &editor, TQN_Path &line) {
  bool any = false;
  for (bool again = true; again;) {
    again = false;
    std::vector<TQN_Path *> touching;
    collectTouchingPaths(editor, &line, touching, false);
    for (TQN_Path *other : touching) {
      if (other == &line || !editor.doc().PathList().GetlayerVisible(other->FLayerID) ||
          other->FLayerID != line.FLayerID || !areLinesParallel(line, *other))
        continue;
      mergeCollinearLine(editor, line, other);
      any = again = true;
      break;
    }
  }
  return any;
}

bool extendOrTrimLinesToMeet(TEditor &editor, TQN_Path &line1, TQN_Path &line2, TPointF &P, bool recompute) {
  const std::vector<TPointF> crossings = crossingsOf(editor, &line1, &line2, true);
  if (crossings.size() != 1) return false;
  P = crossings.front();
  const auto atEnd = [&](const TQN_Path &l) { return isSamePoint(P, l.FStartPt, 0.0f) || isSamePoint(P, l.FEndPt, 0.0f); };
  if (atEnd(line1) && atEnd(line2)) return false;
  for (TQN_Path *l : {&line1, &line2}) {
    if (calcDistance(l->FEndPt, P) > calcDistance(l->FStartPt, P))
      redrawLine(*l, P, l->FEndPt);
    else
      redrawLine(*l, l->FStartPt, P);
  }
  if (recompute) {
    for (TQN_Path *l : {&line1, &line2}) {
      removeIntersectionsOf(editor.doc().FIntersections, l);
      editor.calcIntersectionsOfShape(l);
    }
  }
  return true;
}

void actExtendOrTrimLinesExecute(TEditor &editor) {
  const std::vector<TQN_Path *> sel = getSelectedPaths(editor, false, false);
  if (sel.size() != 2 || !sel[0]->isKind(TShapeKind::Line) || !sel[1]->isKind(TShapeKind::Line)) return;
  TPointF P;
  if (!extendOrTrimLinesToMeet(editor, *sel[0], *sel[1], P, true)) return;
  takeUndoSnapshot(editor, QStringLiteral("L4424"));
  editor.ui().refreshCanvas();
}

void applyMentori(TEditor &editor) {
  std::vector<TQN_Path *> lines;
  for (TQN_Path *s : editor.doc().PathList()) {
    if (s->FSelected && s->isKind(TShapeKind::Line) && s->FGroupID == 0) lines.push_back(s);
    if (lines.size() == 2) break;
  }
  if (lines.size() < 2) return;
  TQN_Path *line1 = lines[0], *line2 = lines[1];
  line1->calcLineParam();
  line2->calcLineParam();

  bool merged = mergeCollinearNeighbours(editor, *line1);
  // The second line may have been absorbed by the first: then one line is left and there
  // is no corner.
  const bool secondLeft = editor.doc().contains(line2);
  if (secondLeft) merged = mergeCollinearNeighbours(editor, *line2) || merged;
  if (merged) takeUndoSnapshot(editor, QStringLiteral("L27142"));
  if (!secondLeft || !editor.doc().contains(line1)) return;

  if (!line1->doesItIntersectWith(*line2)) {
    TPointF P;
    extendOrTrimLinesToMeet(editor, *line1, *line2, P, false);
  }
  const auto cant = [&] {
    editor.ui().messageBox(QStringLiteral("CantMentori"), editor.tr(QStringLiteral("CantMentori")));
  };
  if (crossingsOf(editor, line1, line2, true).empty()) return cant();
  line1->calcLineParam();
  line2->calcLineParam();
  TPointF corner;
  if (!line1->calcCrossPointWith(*line2, corner)) return cant();
  filletLines(editor, line1, line2, editor.panel().nbR, corner);
}

bool canRoundCorner(TQN_Path &line1, TQN_Path &line2) {
  if (&line1 == &line2 || line1.isIdentical(line2)) return false;
  const bool shareEnd = isSamePoint(line1.FStartPt, line2.FStartPt, 0.0f) ||
                        isSamePoint(line1.FStartPt, line2.FEndPt, 0.0f) ||
                        isSamePoint(line1.FEndPt, line2.FStartPt, 0.0f) || isSamePoint(line1.FEndPt, line2.FEndPt, 0.0f);
  if (!shareEnd) return false;
  const TPointF u = calcUnitVector(line1.FStartPt, line1.FEndPt);
  const TPointF v = calcUnitVector(line2.FStartPt, line2.FEndPt);
  return !isSamePoint(u, v, 0.0f) && !isSamePoint(u, v * -1.0f, 0.0f);
}

bool roundSelectedCorners(TEditor &editor) {
  TUndoGroup group(editor);
  std::vector<TQN_Path *> lines;
  for (TQN_Path *s : getSelectedPaths(editor, true, true)) {
    if (!s->isKind(TShapeKind::Line)) continue;
    if (!s->FIsManuallyClicked) s->FClickedPoint = (s->FStartPt + s->FEndPt) * 0.5f;
    lines.push_back(s);
  }
  if (lines.size() < 2) return false;
  if (lines.size() == 2) {
    deselectAll(editor);
    for (TQN_Path *l : lines) l->SetSelected(true);
    applyMentori(editor);
    return true;
  }
  std::vector<std::pair<TQN_Path *, TQN_Path *>> pairs;
  for (std::size_t i = 0; i < lines.size(); ++i)
    for (std::size_t j = i + 1; j < lines.size(); ++j)
      if (canRoundCorner(*lines[i], *lines[j])) pairs.emplace_back(lines[i], lines[j]);
  deselectAll(editor);
  for (auto [a, b] : pairs) {
    if (!editor.doc().contains(a) || !editor.doc().contains(b)) continue;
    a->SetSelected(true);
    b->SetSelected(true);
    applyMentori(editor);
    for (TQN_Path *l : {a, b})
      if (editor.doc().contains(l)) l->SetSelected(false);
  }
  return true;
}

}  // namespace quillon
