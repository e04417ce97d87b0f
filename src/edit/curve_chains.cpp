#include "edit/curve_chains.h"

#include <algorithm>
#include <cmath>
#include <deque>

#include "edit/closed_chains.h"
#include "model/draw_pallet.h"
#include "model/intersection.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "shell/editor.h"
#include "tools/hit_test.h"

namespace quillon {

namespace {

constexpr std::size_t kMaxChain = 500;

bool isChainKind(const TQN_Path *s) {
  return s && (s->isKind(TShapeKind::Line) || s->isKind(TShapeKind::Arc) || s->isKind(TShapeKind::Bezier));
}

// Moves `end` onto `target` when it differs from it and lies closer than 0.1.
bool weldTo(TPointF &end, TPointF target) {
  if (end.exactlyEquals(target) || !(double(calcDistance(end, target)) < 0.1)) return false;
  end = target;
  return true;
}

// Within 0.5 in x and in y.
bool closeInXY(TPointF a, TPointF b) {
  return std::fabs(double(a.X) - b.X) <= 0.5 && std::fabs(double(a.Y) - b.Y) <= 0.5;
}

// The one shape not yet in the chain with an end at p, or nullptr when none or several.
TQN_Path *soleContinuation(const TShapeList &doc, const std::deque<TQN_Path *> &chain, TPointF p) {
  TQN_Path *found = nullptr;
  int count = 0;
  for (TQN_Path *t : shapesWithEndAt(doc, p)) {
    if (!isChainKind(t) || std::find(chain.begin(), chain.end(), t) != chain.end()) continue;
    found = t;
    ++count;
  }
  return count == 1 ? found : nullptr;
}

}  // namespace

void weldCurveEnds(TEditor &editor) {
  TShapeList &doc = editor.doc().PathList();
  for (TQN_Path *s : doc) {
    if (!s->isKind(TShapeKind::Arc) && !s->isKind(TShapeKind::Bezier)) continue;
    TPointF st = s->FStartPt, ep = s->FEndPt;
    bool moved = false;
    for (TQN_Path *t : doc) {
      if (t == s || t->isKind(TShapeKind::Line)) continue;
      if (!weldTo(st, t->FStartPt)) moved = weldTo(st, t->FEndPt) || moved;
      else moved = true;
      if (!weldTo(ep, t->FEndPt)) moved = weldTo(ep, t->FStartPt) || moved;
      else moved = true;
    }
    if (!moved) continue;
    removeIntersectionsOf(editor.doc().FIntersections, s);
    if (s->isKind(TShapeKind::Bezier))
      s->drawBezierPath(st, s->FBezierCp1, s->FBezierCp2, ep);
    else
      s->drawArcPath(s->GetCenter(), TPointF(s->FWidth, s->FHeight), st, ep, s->FSweepAngle);
    editor.calcIntersectionsOfShape(s);
  }
}

std::vector<TQN_Path *> collectShapeChain(TEditor &editor, TQN_Path *shape) {
  if (!isChainKind(shape)) return {};
  const TShapeList &doc = editor.doc().PathList();
  std::deque<TQN_Path *> chain{shape};
  TPointF head = shape->FStartPt, tail = shape->FEndPt;
  bool grew = true;
  while (grew && chain.size() <= kMaxChain) {
    grew = false;
    if (TQN_Path *t = soleContinuation(doc, chain, tail)) {
      chain.push_back(t);
      tail = closeInXY(tail, t->FStartPt) ? t->FEndPt : t->FStartPt;
      grew = true;
    }
    if (TQN_Path *t = soleContinuation(doc, chain, head)) {
      chain.push_front(t);
      head = closeInXY(head, t->FEndPt) ? t->FStartPt : t->FEndPt;
      grew = true;
    }
  }
  return {chain.begin(), chain.end()};
}

bool selectConnectedShapes(TEditor &editor, TPointF point) {
  const TShapeList &doc = editor.doc().PathList();
  TQN_Path *first = nullptr;
  for (TQN_Path *s : shapesAtScreenPoint(editor, doc, false, point.X, point.Y, true, false, false))
    if (isChainKind(s)) {
      first = s;
      break;
    }
  if (!first) return false;
  const bool allLayers = hasAlt(editor.pointer().FLastShiftState);
  const auto lineTypeShown = [&](const TQN_Path &s) {
    const auto &types = editor.pen().FPalletList;
    return s.FPalletIndex < 0 || static_cast<std::size_t>(s.FPalletIndex) >= types.size() ||
           types[static_cast<std::size_t>(s.FPalletIndex)]->FIsVisible;
  };
  std::deque<TPointF> queue{first->FStartPt, first->FEndPt};
  std::vector<const TQN_Path *> visited{first};
  bool selected = false;
  while (!queue.empty()) {
    const TPointF p = queue.front();
    queue.pop_front();
    for (TQN_Path *t : shapesWithEndAt(doc, p)) {
      if (!allLayers && t->FLayerID != first->FLayerID) continue;
      if (!lineTypeShown(*t) || t->FPalletIndex != first->FPalletIndex) continue;
      if (std::find(visited.begin(), visited.end(), t) != visited.end()) continue;
      selected = selected || !t->FSelected;
      t->SetSelected(true);
      visited.push_back(t);
      queue.push_back(isSamePoint(t->FStartPt, p, 0.0f) ? t->FEndPt : t->FStartPt);
      break;
    }
  }
  return selected;
}

}  // namespace quillon
