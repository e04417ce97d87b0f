#include "model/shape_bounds.h"

#include <algorithm>
#include <optional>

#include "model/shape.h"

namespace quillon {

TRectF calcShapesBoundary(const std::vector<TQN_Path *> &shapes) {
  std::optional<TRectF> box;
  auto include = [&box](TPointF p) {
    if (!box) {
      box = TRectF(p.X, p.Y, p.X, p.Y);
      return;
    }
    box->Left = std::min(box->Left, p.X);
    box->Top = std::min(box->Top, p.Y);
    box->Right = std::max(box->Right, p.X);
    box->Bottom = std::max(box->Bottom, p.Y);
  };
  for (TQN_Path *s : shapes) {
    for (TPointF p : s->getControlPoints(false, false, false)) include(p);
    if (s->isKind(TShapeKind::Line)) continue;
    for (const TPathPoint &e : s->Data().Points())
      if (e.Kind == TPathPointKind::LineTo || e.Kind == TPathPointKind::CurveTo) include(e.Point);
  }
  return box.value_or(TRectF());
}

TPointF getShapesCenter(const std::vector<TQN_Path *> &shapes) { return calcShapesBoundary(shapes).centerPoint(); }

}  // namespace quillon
