#pragma once
// Evenly spaced holes by walking a circle of radius one pitch along shapes: each hole is a
// centre of the circle, and the next centre is where the circle crosses the shapes ahead.
// Positions that already hold a hole (THolePlacer::findHoleNear at half the pitch) are
// never chosen, and each centre gets the direction of the straight piece of the shapes
// under it (nearestSegmentDirection).
#include <vector>

#include "platform/geometry.h"

namespace quillon {

class THolePlacer;
class TQN_Path;

// Walks an open route from Start towards EndPt as a trial: no hole is made. `Second`
// gives the direction of the first step. Each step goes to the crossing of the circle
// with the route that lies ahead, on a piece already entered (or a new one, never one
// left behind) and nearest to EndPt. The walk stops when a centre lies less than a pitch
// from EndPt or no crossing is acceptable; the remainder d becomes Gap.
//
// Points receives the centres in walking order and Directions the route's direction at
// each; when d is half a pitch or more EndPt is added as the last point and Gap is
// |d - Pitch| (d above half a pitch). Returns the pitch estimated to fit the route
// (Pitch + d / (n - 1) for an end close enough, else Pitch - (Pitch - d) / n), or 0 when
// the walk gives no usable estimate: a single point, or a walk beyond 5000 mm, which
// also shows "Endless loop error". TwoWays tells that the first step had more than one
// acceptable crossing; OtherWay then takes the first of them in crossing order instead
// of the one nearest EndPt.
float stepHolesAlongRoute(THolePlacer &placer, const std::vector<TQN_Path *> &Route, TPointF Start, TPointF EndPt,
                          TPointF Second, float Pitch, float &Gap, std::vector<TPointF> &Points,
                          std::vector<TPointF> &Directions, bool &TwoWays, bool OtherWay);

// Walks around a closed loop from Start until a centre falls between two centres already
// walked. The first step heads for the crossing pointing most directly away from the
// drawing's origin, each later one away from the previous centre. With Trial false a
// hole is made at every centre that holds none, each linked to the one before (the first
// by linkToLastStitch) and the last to the first. Count receives the number of centres;
// returns the distance between Start and the last centre. A walk that does not close
// within twice the loop's length stops with "Endless loop error".
float walkHolesOnLoop(THolePlacer &placer, int &Count, const std::vector<TQN_Path *> &Loop, TPointF Start,
                      bool Trial, float Pitch);

}  // namespace quillon
