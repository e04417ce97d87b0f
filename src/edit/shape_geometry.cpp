#include "edit/shape_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "model/intersection_finders.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "model/draw_pallet.h"
#include "shell/editor.h"

namespace quillon {

namespace {

constexpr double kPi = std::numbers::pi;

double distanceToSegment(TPointF p, TPointF a, TPointF b) {
  const double dx = double(b.X) - a.X, dy = double(b.Y) - a.Y;
  const double len2 = dx * dx + dy * dy;
  double t = ((double(p.X) - a.X) * dx + (double(p.Y) - a.Y) * dy) / len2;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(a.X + t * dx - p.X, a.Y + t * dy - p.Y);
}

}  // namespace

std::vector<TQN_Path *> ellipticalArcToBeziers(TEditor &editor, TPointF center, TPointF axisEnd1, TPointF axisEnd2,
                                               float startAngle, float sweep) {
  std::vector<TQN_Path *> result;
  if (sweep == 0.0f) return result;
  // More than a full turn is one full turn (2 pi as a single, so that it lies within
  // 0.001 of 2 pi below).
  const float turn = std::fabs(sweep) > float(2.0 * kPi) ? float(2.0 * kPi) : std::fabs(sweep);
  const double total = sweep < 0.0f ? -double(turn) : double(turn);
  // The sweep is compared as the single it is: the single nearest to pi / 2 lies above
  // pi / 2 and makes two parts.
  int parts = 1;
  if (double(turn) > kPi / 2.0)
    parts = std::fabs(double(turn) - 2.0 * kPi) <= 0.001 ? 4 : int(std::ceil(double(turn) / (kPi / 2.0)));
  const double step = total / parts;
  const double k = 4.0 / 3.0 * std::tan(step / 4.0);

  const double ux = double(axisEnd1.X) - center.X, uy = double(axisEnd1.Y) - center.Y;
  const double vx = double(axisEnd2.X) - center.X, vy = double(axisEnd2.Y) - center.Y;
  auto pointAt = [&](double t) {
    return TPointF(float(center.X + ux * std::cos(t) + vx * std::sin(t)),
                   float(center.Y + uy * std::cos(t) + vy * std::sin(t)));
  };
  // The derivative with respect to t, times the handle factor.
  auto handleAt = [&](double t) {
    return TPointF(float(k * (-ux * std::sin(t) + vx * std::cos(t))),
                   float(k * (-uy * std::sin(t) + vy * std::cos(t))));
  };

  const int palette = getCurrentPaletteIndex(editor.pen());
  for (int i = 0; i < parts; ++i) {
    const double t0 = startAngle + step * i;
    const double t1 = t0 + step;
    const TPointF p0 = pointAt(t0), p3 = pointAt(t1);
    auto *bz = new TQN_Path(palette, editor.pen().FCurrentColor, editor.pen().FCurrentThickness,
                            editor.pen().FCurrentDash, editor.doc().PathList().getNextID());
    bz->drawBezierPath(p0, p0 + handleAt(t0), p3 - handleAt(t1), p3);
    result.push_back(bz);
  }
  return result;
}

bool straightenToAxis(TQN_Path &shape, TAxisMode mode, bool keepStart, float limitDegrees) {
  if (!shape.isKind(TShapeKind::Line)) return false;
  TPointF st = shape.FStartPt, ed = shape.FEndPt;
  double angle = std::atan2(double(ed.Y) - st.Y, double(ed.X) - st.X) * 180.0 / kPi;
  if (angle > 90.0) angle -= 180.0;
  if (angle < -90.0) angle += 180.0;

  bool horizontal = mode == TAxisMode::Horizontal;
  if (mode == TAxisMode::Automatic) {
    const float limit = limitDegrees < 0.0f ? 0.5f : limitDegrees;
    if (foldAngleToAxis(float(angle)) > limit) return false;
    horizontal = std::fabs(angle) <= 45.0;
  }

  const TPointF oldSt = st, oldEd = ed;
  if (horizontal) {
    if (keepStart)
      ed.Y = st.Y;
    else
      st.Y = ed.Y;
  } else {
    if (keepStart)
      ed.X = st.X;
    else
      st.X = ed.X;
  }
  if (st.exactlyEquals(oldSt) && ed.exactlyEquals(oldEd)) return false;
  shape.drawLinePath(st, ed);
  return true;
}

bool nearestSegmentDirection(const std::vector<TQN_Path *> &shapes, TPointF point, TPointF &direction,
                             TQN_Path *&shape) {
  constexpr double kReach = 0.01;
  bool found = false;
  double best = 0.0;
  for (TQN_Path *s : shapes) {
    if (!s) continue;
    for (const TRectF &seg : s->getIntervals(false)) {
      const TPointF a = seg.topLeft(), b = seg.bottomRight();
      if (a.exactlyEquals(b)) continue;
      const double d = distanceToSegment(point, a, b);
      if (d > kReach || (found && d >= best)) continue;
      found = true;
      best = d;
      const double len = std::hypot(double(b.X) - a.X, double(b.Y) - a.Y);
      direction = {float((double(b.X) - a.X) / len), float((double(b.Y) - a.Y) / len)};
      shape = s;
    }
  }
  return found;
}

TPointF unitDirectionAndAngle(TPointF from, TPointF to, float &angle) {
  const double dx = double(to.X) - from.X, dy = double(to.Y) - from.Y;
  if (dx == 0.0) {
    angle = dy >= 0.0 ? 0.0f : 180.0f;
    return dy >= 0.0 ? TPointF(0.0f, 1.0f) : TPointF(0.0f, -1.0f);
  }
  const double a = std::atan2(dy, dx);
  angle = float(a * 180.0 / kPi - 90.0);
  return {float(std::cos(a)), float(std::sin(a))};
}

bool intersectInfiniteLines(TPointF p1, TPointF d1, TPointF d2, TPointF p2, TPointF &point) {
  bool found = false;
  for (const float k : {1000.0f, 10000.0f, 100000.0f}) {
    found = calcLineCrossPoint(p1 - d1 * k, p1 + d1 * k, p2 - d2 * k, p2 + d2 * k, point);
    if (found) break;
  }
  return found;
}

}  // namespace quillon
