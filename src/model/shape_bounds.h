#pragma once
// The common bounding rectangle of a list of shapes and its centre.
#include <vector>

#include "platform/geometry.h"

namespace quillon {

class TQN_Path;

// The control points of every shape and, for every shape but a LINE, each line and curve
// point of its outline; (0, 0, 0, 0) when there is no point. The list is only read.
TRectF calcShapesBoundary(const std::vector<TQN_Path *> &shapes);
// The centre of calcShapesBoundary.
TPointF getShapesCenter(const std::vector<TQN_Path *> &shapes);

}  // namespace quillon
