#include "edit/trim_to_close.h"

#include <algorithm>

#include "edit/bezier_split.h"
#include "edit/drawing_check.h"
#include "edit/trim.h"
#include "model/draw_pallet.h"
#include "model/intersection.h"
#include "model/intersection_finders.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/groups.h"
#include "shell/undo.h"

namespace quillon {

namespace {

constexpr float kLeaveAtLeast = 0.2f;  // a cut closer than this to the other end is not made

struct TShapeEnd {
  TQN_Path *Shape;
  bool AtStart;
  TPointF point() const { return AtStart ? Shape->FStartPt : Shape->FEndPt; }
};

// The records of two shapes as points; the finder's records are freed.
std::vector<TPointF> meetingPoints(TQN_Path *a, TQN_Path *b) {
  std::vector<TPointF> points;
  for (TIntersection *r : IntersectShapes(a, b)) {
    points.push_back(r->FPoint);
    delete r;
  }
  return points;
}

bool isDangling(const std::vector<TQN_Path *> &set, const TQN_Path *shape, TPointF p) {
  return std::none_of(set.begin(), set.end(), [&](const TQN_Path *o) {
    return o != shape && isLineArcOrBezier(o) &&
           (calcDistance(o->FStartPt, p) <= kChainEndReach || calcDistance(o->FEndPt, p) <= kChainEndReach);
  });
}

std::vector<TShapeEnd> collectDanglingEnds(const std::vector<TQN_Path *> &set) {
  std::vector<TShapeEnd> ends;
  for (TQN_Path *s : set) {
    if (!isLineArcOrBezier(s)) continue;
    for (const bool atStart : {true, false}) {
      const TShapeEnd end{s, atStart};
      if (isDangling(set, s, end.point())) ends.push_back(end);
    }
  }
  return ends;
}

// The crossings of the shape with the others of the set, away from its own ends.
std::vector<TPointF> collectCrossingsAwayFromEnds(const std::vector<TQN_Path *> &set, TQN_Path *shape) {
  std::vector<TPointF> crossings;
  for (TQN_Path *o : set) {
    if (o == shape || !isLineArcOrBezier(o)) continue;
    for (const TPointF &p : meetingPoints(shape, o))
      if (calcDistance(p, shape->FStartPt) > kChainEndReach && calcDistance(p, shape->FEndPt) > kChainEndReach)
        crossings.push_back(p);
  }
  return crossings;
}

// Cuts one end of the shape back to B; false (the shape unchanged) when it cannot.
bool cutShapeEndAt(TEditor &editor, TQN_Path &shape, bool atStart, TPointF B) {
  if (shape.isKind(TShapeKind::Line)) {
    if (atStart)
      shape.drawLinePath(B, shape.FEndPt);
    else
      shape.drawLinePath(shape.FStartPt, B);
    return true;
  }
  if (shape.isKind(TShapeKind::Bezier)) {
    std::unique_ptr<TQN_Path> rest = splitBezierAtPoint(editor, shape, B);
    if (!rest) return false;
    if (atStart) shape.drawBezierPath(rest->FStartPt, rest->FBezierCp1, rest->FBezierCp2, rest->FEndPt);
    return true;
  }
  if (shape.isKind(TShapeKind::Arc)) {
    std::unique_ptr<TQN_Path> first, second;
    trimArcBetween(editor, shape, first, second, B, B);
    const TQN_Path *kept = atStart ? second.get() : first.get();
    if (!kept) return false;
    shape.drawArcPath(kept->FCenter, {kept->FWidth, kept->FHeight}, kept->FStartPt, kept->FEndPt, kept->FSweepAngle);
    return true;
  }
  return false;
}

bool closingLineCrossesSet(const TEditor &editor, const std::vector<TQN_Path *> &set, TPointF a, TPointF b) {
  const TPenState &pen = editor.pen();
  TQN_Path probe(0, pen.FCurrentColor, pen.FCurrentThickness, pen.FCurrentDash, -1);
  probe.drawLinePath(a, b);
  for (TQN_Path *s : set) {
    if (!isLineArcOrBezier(s)) continue;
    for (const TPointF &p : meetingPoints(&probe, s))
      if (calcDistance(p, a) > kChainEndReach && calcDistance(p, b) > kChainEndReach) return true;
  }
  return false;
}

// One pass of cutting back overhanging ends; true when it cut anything.
bool cutBackOverhangs(TEditor &editor, const std::vector<TQN_Path *> &set, std::vector<const TQN_Path *> &cutStarts,
                      std::vector<const TQN_Path *> &cutEnds) {
  bool changed = false;
  for (TQN_Path *S : set) {
    if (!isLineArcOrBezier(S)) continue;
    for (const bool atStart : {true, false}) {
      std::vector<const TQN_Path *> &cut = atStart ? cutStarts : cutEnds;
      if (std::find(cut.begin(), cut.end(), S) != cut.end()) continue;
      const TPointF P = atStart ? S->FStartPt : S->FEndPt;
      if (!isDangling(set, S, P)) continue;
      const std::vector<TPointF> crossings = collectCrossingsAwayFromEnds(set, S);
      if (crossings.empty()) continue;
      TPointF B = crossings.front();
      for (const TPointF &c : crossings)
        if (calcDistance(c, P) < calcDistance(B, P)) B = c;
      if (calcDistance(B, atStart ? S->FEndPt : S->FStartPt) < kLeaveAtLeast) continue;
      if (cutShapeEndAt(editor, *S, atStart, B)) {
        cut.push_back(S);
        changed = true;
      }
    }
  }
  return changed;
}

}  // namespace

std::vector<TQN_Path *> getConnectedSameLineType(const TEditor &editor, TQN_Path *S) {
  if (!isLineArcOrBezier(S)) return {};
  const TShapeList &doc = editor.doc().PathList();
  std::vector<TQN_Path *> result{S};
  for (std::size_t next = 0; next < result.size(); ++next) {
    const TQN_Path *C = result[next];
    for (const TIntersection *r : editor.doc().FIntersections) {
      if (!r->FPath1 || !r->FPath2 || (r->FPath1 != C && r->FPath2 != C)) continue;
      TQN_Path *O = r->FPath1 == C ? r->FPath2 : r->FPath1;
      if (O == C || !isLineArcOrBezier(O) || O->FPalletIndex != S->FPalletIndex || !doc.GetlayerVisible(O->FLayerID))
        continue;
      if (std::find(result.begin(), result.end(), O) == result.end()) result.push_back(O);
    }
  }
  return result;
}

bool trimToClose(TEditor &editor, std::vector<TQN_Path *> &set, std::vector<std::unique_ptr<TQN_Path>> &made) {
  std::vector<const TQN_Path *> cutStarts, cutEnds;
  for (int pass = 0; pass < kTrimToClosePasses; ++pass)
    if (!cutBackOverhangs(editor, set, cutStarts, cutEnds)) break;

  // Ends that almost meet are pulled to their midpoint; later pairs see the moved ends.
  const std::vector<TShapeEnd> loose = collectDanglingEnds(set);
  for (std::size_t i = 0; i < loose.size(); ++i) {
    for (std::size_t j = i + 1; j < loose.size(); ++j) {
      if (loose[i].Shape == loose[j].Shape) continue;
      const TPointF a = loose[i].point(), b = loose[j].point();
      const float d = calcDistance(a, b);
      if (!(d > kChainEndReach && d <= kChainJoinReach)) continue;
      const TPointF mid{(a.X + b.X) / 2.0f, (a.Y + b.Y) / 2.0f};
      moveShapeEnd(*loose[i].Shape, loose[i].AtStart, mid);
      moveShapeEnd(*loose[j].Shape, loose[j].AtStart, mid);
    }
  }

  const std::vector<TShapeEnd> gap = collectDanglingEnds(set);
  if (gap.size() == 2 && gap[0].Shape != gap[1].Shape) {
    const TPointF a = gap[0].point(), b = gap[1].point();
    if (calcDistance(a, b) > kChainEndReach && !closingLineCrossesSet(editor, set, a, b)) {
      const TQN_Path &first = *gap[0].Shape;
      std::unique_ptr<TQN_Path> line = makePieceLike(editor, first);
      line->drawLinePath(a, b);
      line->FLayerID = first.FLayerID;
      line->FGroupID = first.FGroupID;
      set.push_back(line.get());
      made.push_back(std::move(line));
    }
  }
  return collectDanglingEnds(set).empty();
}

bool trimToCloseCommand(TEditor &editor, TQN_Path *shape) {
  std::vector<TQN_Path *> group = getConnectedSameLineType(editor, shape);
  if (group.empty()) return false;
  for (const TQN_Path *s : group) removeIntersectionsOf(editor.doc().FIntersections, s);
  std::vector<std::unique_ptr<TQN_Path>> made;
  const bool closed = trimToClose(editor, group, made);
  for (std::unique_ptr<TQN_Path> &line : made) {
    const int layer = line->FLayerID;
    editor.doc().add(std::move(line), layer);
  }
  for (TQN_Path *s : group) editor.calcIntersectionsOfShape(s);
  invalidateSelectedGroupBounds(editor);
  editor.ui().refreshCanvas();
  takeUndoSnapshot(editor, QStringLiteral("L35424"));
  editor.ui().refreshCanvas();
  editor.ui().setStatusText(editor.tr(closed ? QStringLiteral("trimToCloseDone") : QStringLiteral("trimToCloseNotClosed")));
  return closed;
}

}  // namespace quillon
