#pragma once
// Path objects ("template objects" to the user): shapes of kind OTHER whose outline is
// path text of moves, lines, cubic curves and closes. The selection is joined into one
// path object, path objects are separated into lines and Beziers again, and arcs are
// turned into Beziers.
//
// Path text written here: "M x,y " starts a sub-path, "L x,y " is a straight step,
// "C x1,y1 x2,y2 x,y " a cubic step, every number with four decimals and "." as the
// separator; "z" closes a chain, "z " a circle; sub-paths are joined with one blank.
#include <memory>
#include <string>
#include <vector>

namespace quillon {

class TEditor;
class TPathData;
class TQN_Path;

// The path text of one shape. A LINE gives "L" of its end, a BEZIER "C" of its control
// points and end, an ARC one "C" per equal piece of at most 90 degrees, a circle (an
// ELLIPSE whose width and height differ by at most 0.01) four quarter "C" steps from its
// left point, followed by "z " with closeCircle. Unless `continuing` (the shape goes on
// from the current point of a sub-path) the steps begin with "M" of the start. Every
// other kind gives the text of its own outline, continuing or not.
std::string shapeToPathString(const TQN_Path &shape, bool continuing, bool closeCircle);

// Joins the shapes into the path text of one path object; empty when no shape could be
// converted.
//
// Shapes of one group are chained only with each other (groups in the document's order,
// then the ungrouped shapes). LINEs, BEZIERs and ARCs whose ends lie less than 0.2 mm
// apart become one sub-path; a chain is first walked back to its first shape over
// shapes of the same stroke. Shapes that run against their chain are reversed in place.
// With closeNear a chain whose end lies less than 0.2 mm from its start is closed with
// "z" (and a circle with "z "). Path objects and dimension lines are passed over and stay
// as they are. `shapes` is refilled with the shapes that went into the text, in that
// order.
std::string chainedPathText(const TEditor &editor, std::vector<TQN_Path *> &shapes, bool closeNear);
// A new path object (current pen, a new ID; not yet in the document) with that text, or
// none when it is empty. With moveToOrigin the object is moved so that its bounding box
// starts at (0, 0).
std::unique_ptr<TQN_Path> convertSelectionToPathObject(TEditor &editor, std::vector<TQN_Path *> &shapes,
                                                       bool moveToOrigin, bool closeNear);

// The plain variant: every shape becomes sub-paths of its own (an arc and a circle one
// per Bezier piece), with no chaining and no closes; the shapes are not changed.
std::unique_ptr<TQN_Path> shapesToPathObject(TEditor &editor, const std::vector<TQN_Path *> &shapes,
                                             bool moveToOrigin);

// "Convert selected shape(s) into a template object" (F9): the selection (dots
// included, stitching holes left out) becomes one path object on the active layer,
// selected, in the place of its source shapes; a whole radial repeat goes with any of its
// members. The sources stay when the last pointer event held Shift. A second call within
// 400 ms does nothing. One undo step when an object was made.
void actConvertToPathExecute(TEditor &editor);
// "Convert a copy of selected Shape(s) into a template object" (F10): the same, keeping
// the source shapes.
void actConvertACopyToPathExecute(TEditor &editor);

// Appends to `out` one new shape (current pen, new ID, the group ID) per step of the
// path data: a LINE for a line step, a BEZIER for a cubic step, every point scaled by
// `scale`. A close step whose sub-path does not end on its start gives the LINE back to
// the start.
void pathDataToShapes(TEditor &editor, const TPathData &data, std::vector<std::unique_ptr<TQN_Path>> &out,
                      int groupId, float scale);

// "Separate a template into shapes" (F8): every selected path object is replaced by its
// lines and Beziers, selected, on the active layer; a path object of a radial repeat
// takes its whole repeat with it. A second call within 400 ms does nothing. One undo step
// when a path object was separated.
void actSeparateTemplateIntoShapesExecute(TEditor &editor);

// "Convert an arc to a Bezier curve": every selected ARC becomes a Bezier in place; one
// of more than 90 degrees is cut into equal pieces of at most 90 degrees first, the new
// pieces (new IDs) joining the document on the arc's own layer. One undo step when an
// arc was converted.
void actConvertArcToBezierExecute(TEditor &editor);

}  // namespace quillon
