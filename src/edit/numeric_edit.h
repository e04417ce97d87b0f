#pragma once
// Typed numbers for the selected shapes through the shape-size dialog: the angle between
// two lines that meet at an end, and the length of lines, the diameter of circles and the
// sweep and radius of arcs.

namespace quillon {

class TEditor;
class TQN_Path;

// True when the selection (dots and holes aside) is exactly two LINEs that share an end
// and are not parallel; the two in document order.
bool getTwoJoinedLines(const TEditor &editor, TQN_Path *&line1, TQN_Path *&line2);

// Asks for the angle between two joined lines; the line with fewer intersections at its
// far end (on a tie the newer one) turns about the joint, keeping its length and side.
// Without two joined lines the user is told what to select.
void actEditLineAngleExecute(TEditor &editor);
// Asks for the size of the first selected line, ellipse or arc and gives it to every
// selected shape of that kind (others are deselected): lines keep their better-connected
// end, ellipses become circles of the diameter, arcs keep their centre and start direction.
void actEditShapeSizeExecute(TEditor &editor);
// Enter on the canvas: the angle command for two joined lines, else the size command.
void editSizeOrAngle(TEditor &editor);

}  // namespace quillon
