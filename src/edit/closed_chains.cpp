#include "edit/closed_chains.h"

#include <algorithm>
#include <cmath>
#include <deque>

#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"

namespace quillon {

namespace {

constexpr float kEndReach = 0.1f;

bool isChainKind(const TQN_Path &s) {
  return s.isKind(TShapeKind::Line) || s.isKind(TShapeKind::Bezier) || s.isKind(TShapeKind::Arc);
}

template <typename Shapes>
std::vector<TQN_Path *> endsAt(const Shapes &shapes, TPointF point) {
  std::vector<TQN_Path *> found;
  for (TQN_Path *s : shapes) {
    if (!isChainKind(*s)) continue;
    if (cappedDistance(point, s->FStartPt, kEndReach) >= 0.0f) found.push_back(s);
    if (cappedDistance(point, s->FEndPt, kEndReach) >= 0.0f) found.push_back(s);
  }
  return found;
}

// The walk of getClosedChain over the shapes that `ends` gives for a point.
template <typename EndsAt>
std::vector<TQN_Path *> walkClosedChain(TQN_Path *start, const EndsAt &ends) {
  std::vector<TQN_Path *> chain{start};
  std::deque<TPointF> pending{start->FStartPt, start->FEndPt};
  while (!pending.empty()) {
    const TPointF q = pending.front();
    pending.pop_front();
    const std::vector<TQN_Path *> meeting = ends(q);
    if (meeting.size() != 2) return {};
    for (TQN_Path *x : meeting) {
      if (std::find(chain.begin(), chain.end(), x) != chain.end()) continue;
      for (const TPointF end : {x->FStartPt, x->FEndPt})
        if (!isSamePoint(end, q, 0.0f)) pending.push_back(end);
      chain.push_back(x);
    }
  }
  return chain;
}

}  // namespace

float cappedDistance(TPointF a, TPointF b, float limit) {
  const float d = static_cast<float>(std::hypot(double(a.X) - b.X, double(a.Y) - b.Y));
  return d <= limit ? d : -1.0f;
}

std::vector<TQN_Path *> shapesWithEndAt(const std::vector<TQN_Path *> &shapes, TPointF point) {
  return endsAt(shapes, point);
}

std::vector<TQN_Path *> shapesWithEndAt(const TShapeList &shapes, TPointF point) { return endsAt(shapes, point); }

std::vector<TQN_Path *> getClosedChain(const TShapeList &shapes, TQN_Path *shape) {
  if (!shape || !(isChainKind(*shape) || shape->isKind(TShapeKind::Ellipse))) return {};
  return walkClosedChain(shape, [&shapes](TPointF q) { return shapesWithEndAt(shapes, q); });
}

std::vector<TQN_Path *> getClosedChainIn(const std::vector<TQN_Path *> &list, TQN_Path *shape) {
  if (!shape || !isChainKind(*shape)) return {};
  return walkClosedChain(shape, [&list](TPointF q) { return shapesWithEndAt(list, q); });
}

}  // namespace quillon
