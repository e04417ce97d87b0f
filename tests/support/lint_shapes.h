#pragma once
// An editor fixture for the drawing check and its fixes: arcs and Beziers added straight
// to the document, with their intersection records, and the kinds of the last check.
#include <cmath>
#include <vector>

#include "edit/drawing_check.h"
#include "model/point_helpers.h"
#include "support/editor_fixture.h"

namespace quillon::test {

class LintTest : public EditorTest {
 protected:
  // An arc round c of radius r from a to b (the caller gives ends on the circle).
  TQN_Path *addArc(TPointF c, float r, TPointF a, TPointF b, float sweep, int layer = 0) {
    auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
    s->drawArcPath(c, {r, r}, a, b, sweep);
    return editor.doc().add(std::move(s), layer);
  }
  TQN_Path *addBezier(TPointF a, TPointF c1, TPointF c2, TPointF b) {
    auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
    s->drawBezierPath(a, c1, c2, b);
    return editor.doc().add(std::move(s), 0);
  }
  // Records of every shape, as the drawing tools leave them.
  void recordIntersections() {
    for (TQN_Path *s : doc()) editor.calcIntersectionsOfShape(s);
  }
  std::vector<TLintWarning> check() {
    recordIntersections();
    return collectLintWarnings(editor);
  }
  static int count(const std::vector<TLintWarning> &w, TLintKind kind) {
    int n = 0;
    for (const TLintWarning &x : w) n += x.Kind == kind ? 1 : 0;
    return n;
  }
};

// Near-equal points, with the coordinates in the failure message.
inline ::testing::AssertionResult nearPoint(TPointF a, TPointF b, double tolerance = 1e-4) {
  if (std::hypot(double(a.X) - b.X, double(a.Y) - b.Y) <= tolerance) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << a.X << ", " << a.Y << ") is not (" << b.X << ", " << b.Y << ")";
}

}  // namespace quillon::test
