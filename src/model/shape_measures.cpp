// Measures of a shape's outline: boundary, centre, characteristic points, segments and
// lengths, and the crossing of two lines.
#include <algorithm>

#include "model/shape.h"

namespace quillon {

TRectF TQN_Path::getMinMaxRect() const {
  bool any = false;
  TRectF r;
  for (const TPathPoint &e : FData.Points()) {
    if (e.Kind == TPathPointKind::Close) continue;
    if (!any) {
      r = TRectF(e.Point.X, e.Point.Y, e.Point.X, e.Point.Y);
      any = true;
      continue;
    }
    r.Left = std::min(r.Left, e.Point.X);
    r.Top = std::min(r.Top, e.Point.Y);
    r.Right = std::max(r.Right, e.Point.X);
    r.Bottom = std::max(r.Bottom, e.Point.Y);
  }
  return r;
}

}  // namespace quillon
