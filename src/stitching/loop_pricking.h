#pragma once
// Holes all around a closed loop (a closed chain of shapes, or one ellipse) with the
// pricking tab's settings: the corner modes for a loop of several shapes with the pitch
// searched, otherwise a walk of evenly spaced holes whose pitch is searched so that the
// loop closes evenly (or gives the set number of holes); a circle gets a whole number of
// equally spaced holes.
#include <vector>

#include "platform/geometry.h"

namespace quillon {

class THolePlacer;
class TQN_Path;

struct TLoopPricking {
  int Count = 0;            // hole positions laid, holes found in place included
  float ActualPitch = 0.0f; // the mean spacing
  int Trials = 0;           // trial walks of the pitch search (the first one included)
};

// Lays the holes on the placer's editor's active layer, starting the walk at `start`.
// The caller takes the undo snapshot and shows the count and pitch.
TLoopPricking placeHolesOnLoop(THolePlacer &placer, const std::vector<TQN_Path *> &loop, TPointF start);

}  // namespace quillon
