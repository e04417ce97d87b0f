#pragma once
// Turning, resizing and lining up the selection: rotations by steps or a typed angle,
// scalings by steps or a typed ratio, the pivot both keep for a run of steps, the pivot
// set at the pointer, and the six alignments.
//
// Angles are degrees; a positive angle turns clockwise on the screen (y grows downward).
#include <vector>

#include "platform/geometry.h"

namespace quillon {

class TEditor;
class TQN_Path;

// Which edge or middle the alignment lines up.
enum class TAlignment { Left, Right, Top, Bottom, MiddleH, MiddleV };

// The pivot of a rotation or scaling of `shapes`: the kept pivot when one is in force,
// else the centre of a single free outline, else the middle of the shapes' bounding box;
// a pivot chosen here is kept (FIsRotationCenterSpecified) for the steps that follow.
TPointF chooseRotationPivot(TEditor &editor, const std::vector<TQN_Path *> &shapes);

// Rotates the shapes about the pivot. With takeSnapshot false the caller takes the
// snapshot of a run of steps itself. When no shape could turn, the status line says so.
void rotateShapes(TEditor &editor, const std::vector<TQN_Path *> &shapes, float angle, bool takeSnapshot);
// The selection (dots and holes included) rotated with rotateShapes.
void rotateSelection(TEditor &editor, float angle, bool takeSnapshot);
// Scales the shapes about the pivot by (sx, sy); holes keep their size and a selection of
// holes alone does not change.
void scaleShapes(TEditor &editor, const std::vector<TQN_Path *> &shapes, float sx, float sy, bool takeSnapshot);
void scaleSelection(TEditor &editor, float sx, float sy, bool takeSnapshot);

// A free outline or text turned or scaled about a centre, its frame and centre updated.
// Other kinds are left alone.
void rotateShapeAbout(TQN_Path &shape, float angle, TPointF centre);
void scaleShapeAbout(TQN_Path &shape, float sx, float sy, TPointF centre);
// The frame, start, end and centre of a free outline or text after its outline changed.
void refreshFrame(TQN_Path &shape);
TPointF scalePointAbout(TPointF p, float sx, float sy, TPointF centre);

// The typed-angle command: asks for an angle; a number strictly between -360 and 360 and
// not 0 rotates the selection, anything else changes nothing.
void actSpecifyRotationAngleExecute(TEditor &editor);
// The typed-ratio commands: asks for a ratio; 0.1 to 10 (both included) scales the
// selection by (r, r), (r, 1) or (1, r).
enum class TScaleAxes { Both, Horizontal, Vertical };
void actSpecifyScaleRatioExecute(TEditor &editor, TScaleAxes axes);
// The pivot at the shown snap point, else at the pointer (without snapping), set by hand.
void actSetAsRotationCenterExecute(TEditor &editor);

// Lines up two or more selected shapes (a group moves as one block) with the selection's
// bounding box. One undo step.
void alignSelection(TEditor &editor, TAlignment alignment);

}  // namespace quillon
