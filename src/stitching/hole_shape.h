#pragma once
// Stitching holes: shapes of kind Hole ("S_HOLE") whose outline is the cut of one blade of
// a pricking iron. The outline builders are members of TQN_Path (declared in
// model/shape.h, defined in hole_shape.cpp); this header adds what goes with them.
//
// A hole is built in its own frame, centred on (0, 0) with its long axis along +y, then
// turned by its rotation (plus, for diamond and French blades, the iron's tilt) and moved
// to its centre. Rotations use the canvas matrix: with y pointing down a positive angle
// turns clockwise on the screen, so a seam running down the screen has rotation 0 and one
// running to the right (+x) has -90.
//
// The iron tilt of a hole is -Angle of its iron, +Angle when the hole is inverted, and 0
// without an iron. It turns the outline of diamond and French holes and the thread entry
// and exit points of every hole.
//
// Building (TQN_Path::createStichPath with an iron of blade "D", "F", "L" or "R"):
//   - diamond: a rhombus (0,-h/2) (w/2,0) (0,h/2) (-w/2,0) back to (0,-h/2), turned by
//     rotation + tilt;
//   - French: the rectangle from (-w/2,-h/2) to (w/2,h/2), turned by rotation + tilt;
//   - flat: the same rectangle turned by the rotation only;
//   - w = 0 gives those three a single slit (0,-h/2) to (0,h/2);
//   - round: the circle of the iron's width as diameter, not turned; its height is the
//     width too.
// Figures end with a line back to their first point (no close entry). Thread points in
// the hole's frame: entry (s*w, -k*h/2), exit (-s*w, k*h/2) with (s, k) = (0, 0.75) for
// "R", (0.15, 0.65) for "D", (0.15, 0.75) for "F" and (0.05, 0.75) for "L" and any other
// letter; turned by rotation + tilt and moved to the centre.
//
// A hole that has no iron (read from a file without "pr"), or whose iron has a blade
// letter none of the four, cannot be rebuilt: createStichPath then keeps its outline and
// thread points and moves and turns them with the hole (from its old centre and rotation
// to the new ones), so the hole is still drawn where it is.
#include <string>

#include "platform/geometry.h"

namespace quillon {

class TPrickingIron;
class TQN_Path;

// The default hole size of a blade letter (the built-in irons use it): "D" 0.8 x 2.2 at
// 32 degrees, "F" 0.25 x 2.0 at 45, "L" 0.3 x 2.0 at 0, "R" 1.2 x 1.2 at 0, any other
// text (lower case too) 1.0 x 1.0 at 0.
struct THoleSize {
  float Width;
  float Length;
  float Angle;
};
THoleSize GetDefaultHoleSize(const std::string &bladeType);

// The tilt (degrees) an iron gives a hole: -Angle, +Angle when inverted, 0 without iron.
float ironTilt(const TPrickingIron *iron, bool inverted);

// Re-makes a hole at a new centre and rotation with its own iron and inversion flag: the
// one way every move, turn, flip and drag of a hole rebuilds it.
void remakeHole(TQN_Path &hole, TPointF center, float rotation);

}  // namespace quillon
