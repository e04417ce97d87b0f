#include "stitching/hole_walking.h"

#include <algorithm>
#include <cmath>

#include "edit/shape_geometry.h"
#include "model/draw_pallet.h"
#include "model/intersection_finders.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "shell/editor.h"
#include "stitching/chain_distribution.h"
#include "stitching/hole_placement.h"
#include "stitching/stitch_state.h"

namespace quillon {

namespace {

constexpr float kRouteLimit = 5000.0f;  // mm a route walk may travel

struct TCrossing {
  TPointF Point;
  TQN_Path *Shape;
};

// Where the circle crosses the shapes, shape by shape in list order.
std::vector<TCrossing> probeCrossings(TQN_Path &circle, const std::vector<TQN_Path *> &shapes) {
  std::vector<TCrossing> crossings;
  for (TQN_Path *shape : shapes) {
    for (TIntersection *record : IntersectShapes(&circle, shape)) {
      crossings.push_back({record->FPoint, shape});
      delete record;
    }
  }
  return crossings;
}

// One route walk: its state between steps.
struct TRouteWalk {
  THolePlacer &Placer;
  const std::vector<TQN_Path *> &Route;
  TPointF EndPt, Second;
  float Pitch;
  bool OtherWay;
  std::vector<TPointF> &Points;
  std::vector<TPointF> &Directions;
  bool &TwoWays;
  std::vector<const TQN_Path *> Visited;  // pieces entered so far
  TPointF Direction;                      // the route's direction at the latest centre

  // Whether a centre already walked lies closer than half a pitch to p.
  bool isNearWalkedPoint(TPointF p) const {
    return std::any_of(Points.rbegin(), Points.rend(), [&](TPointF c) { return calcDistance(c, p) < Pitch / 2.0f; });
  }

  // One step from `cur`: appends it to the points and finds the next centre.
  bool walkStepOnRoute(int steps, TPointF previous, TPointF cur, TPointF &next) {
    TQN_Path circle(kStitchingHolePalletIndex, Placer.editor().display().FColor_StitchingHole, 1.0f,
                    TStrokeDash::Dot, -1);
    circle.drawEllipsePath(cur, 2.0f * Pitch, 2.0f * Pitch);
    circle.flattenAndClean(0.5f);
    const std::vector<TCrossing> crossings = probeCrossings(circle, Route);

    const TPointF v = steps == 0 ? Second - cur : cur - previous;
    const bool ahead = double(v.X) * v.X + double(v.Y) * v.Y > 1e-12;
    float best = 100000.0f;
    bool found = false;
    for (const TCrossing &c : crossings) {
      if (isNearWalkedPoint(c.Point)) continue;
      if (Placer.findHoleNear(c.Point, Pitch / 2.0f)) continue;
      if (ahead && double(v.X) * (c.Point.X - cur.X) + double(v.Y) * (c.Point.Y - cur.Y) < 0.0) continue;
      // A piece left behind is never entered again.
      const auto seen = std::find(Visited.begin(), Visited.end(), c.Shape);
      if (seen == Visited.end())
        Visited.push_back(c.Shape);
      else if (seen + 1 != Visited.end())
        continue;
      const float e = calcDistance(c.Point, EndPt);
      if (!(e < best)) continue;
      best = e;
      if (!found || steps != 0) {
        next = c.Point;
        found = true;
      } else {
        TwoWays = true;
        if (!OtherWay) next = c.Point;
      }
    }
    TQN_Path *onShape = nullptr;
    nearestSegmentDirection(Route, cur, Direction, onShape);
    Points.push_back(cur);
    Directions.push_back(Direction);
    return found;
  }
};

// Whether the centre lies within the lens of a walked segment: for consecutive centres
// p, q, |p - q| is at least both |p - centre| and |q - centre| (each rounded to 0.01).
bool loopWalkClosed(TPointF centre, const std::vector<TPointF> &visited) {
  for (std::size_t i = 0; i + 1 < visited.size(); ++i) {
    const float a = round2(calcDistance(visited[i], visited[i + 1]));
    const float b = round2(calcDistance(visited[i], centre));
    const float c = round2(calcDistance(visited[i + 1], centre));
    if (a >= b && a >= c) return true;
  }
  return false;
}

}  // namespace

float stepHolesAlongRoute(THolePlacer &placer, const std::vector<TQN_Path *> &Route, TPointF Start, TPointF EndPt,
                          TPointF Second, float Pitch, float &Gap, std::vector<TPointF> &Points,
                          std::vector<TPointF> &Directions, bool &TwoWays, bool OtherWay) {
  TwoWays = false;
  Points.clear();
  Directions.clear();
  const TPointF initial = calcUnitVector(Start, Second);
  TRouteWalk walk{placer, Route, EndPt, Second, Pitch, OtherWay, Points, Directions, TwoWays, {},
                  initial.isZero() ? TPointF(0.0f, 1.0f) : initial};

  float travelled = -Pitch;
  int steps = 0;
  TPointF cur = Start, previous = Start, next = Start;
  float d = 0.0f;
  for (;;) {
    const bool ok = walk.walkStepOnRoute(steps, previous, cur, next);
    travelled += Pitch;
    if (travelled > kRouteLimit) {
      placer.reportEndlessLoop();
      return 0.0f;
    }
    ++steps;
    d = calcDistance(cur, EndPt);
    if (d < Pitch || !ok) break;
    previous = cur;
    cur = next;
  }

  Gap = d;
  const float n = float(Points.size());
  if (d < Pitch / 2.0f) return Points.size() > 1 ? Pitch + d / (n - 1.0f) : 0.0f;
  const float estimate = Pitch - (Pitch - d) / n;
  walk.walkStepOnRoute(steps, cur, EndPt, next);
  if (d > Pitch / 2.0f) Gap = std::fabs(d - Pitch);
  return estimate;
}

float walkHolesOnLoop(THolePlacer &placer, int &Count, const std::vector<TQN_Path *> &Loop, TPointF Start,
                      bool Trial, float Pitch) {
  TEditor &editor = placer.editor();
  Count = 0;
  TPointF centre = Start, previous{0.0f, 0.0f}, next = Start;
  std::vector<TPointF> visited;
  TPointF direction{0.0f, 1.0f};  // of the loop under the latest centre
  TQN_Path *first = nullptr;
  const bool placing = !Trial && placer.Ready();
  const int limit = int(std::ceil(2.0 * calcChainLength(Loop) / Pitch)) + 10;

  while (!loopWalkClosed(centre, visited)) {
    if (Count > limit) {
      placer.reportEndlessLoop();
      break;
    }
    TQN_Path circle(-1, editor.pen().FCurrentColor, editor.pen().FCurrentThickness, editor.pen().FCurrentDash, -1);
    circle.drawEllipsePath(centre, 2.0f * Pitch, 2.0f * Pitch);
    std::vector<TCrossing> crossings = probeCrossings(circle, Loop);

    TQN_Path *under = nullptr;
    const bool onPiece = nearestSegmentDirection(Loop, centre, direction, under);
    if (crossings.size() == 1 && onPiece) {
      // One crossing: the nearer end of the shape under the centre is the other way on.
      const bool startNearer = calcDistance(under->FEndPt, centre) > calcDistance(under->FStartPt, centre);
      crossings.push_back({startNearer ? under->FStartPt : under->FEndPt, under});
    }
    if (crossings.size() > 1) {
      const TPointF back = calcUnitVector(centre, previous);
      double widest = -1.0;
      for (const TCrossing &c : crossings) {
        const double cosine = calcCosBetween(back, calcUnitVector(centre, c.Point));
        const double angle = std::acos(std::clamp(cosine, -1.0, 1.0));
        if (angle > widest) {
          widest = angle;
          next = c.Point;
        }
      }
    }

    if (placing && !placer.findHoleNear(centre, Pitch / 2.0f)) {
      float rotation = 0.0f;
      unitDirectionAndAngle({0.0f, 0.0f}, direction, rotation);
      std::unique_ptr<TQN_Path> hole = placer.newHole(centre, rotation);
      linkToLastStitch(editor, *hole, Pitch);
      TQN_Path *added = placer.addHole(std::move(hole));
      if (!first) first = added;
    }
    ++Count;
    visited.push_back(centre);
    previous = centre;
    centre = next;
  }
  if (first && editor.tool().FLastStitch) editor.tool().FLastStitch->FNextStitchID = first->ID();
  return visited.empty() ? 0.0f : calcDistance(Start, visited.back());
}

}  // namespace quillon
