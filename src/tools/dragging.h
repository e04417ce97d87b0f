#pragma once
// Dragging with the left button down: the selected shapes, the ends of selected lines,
// arcs and Beziers (edge dragging), a selected ellipse by its centre or box corners, and a
// Bezier control handle; with the snapping that each drag applies.
#include <memory>
#include <vector>

#include "platform/geometry.h"
#include "platform/input.h"
#include "shell/pointer_state.h"

class QPainter;

namespace quillon {

class TEditor;
class TIntersection;
class TQN_Path;

// Records of every shape end and intersection within 0.1 mm of the real point p, of any
// layer or selection; only the records at the smallest distance stay (ties all stay).
TEdgeDraggingList collectEdgeDragInfos(const TEditor &editor, TPointF p);
// Frees every record, empties the list and empties FSnapPoints.
void clearEdgeDragInfos(TEditor &editor, TEdgeDraggingList &records);
// Refills `records` with the handles under the drawing-box pixel (x, y): ends of selected
// lines, Beziers and arcs within 10 px; with `withEllipses` a selected ellipse's centre or
// box corner within 7 px (which also starts a shape drag); the centre of the one selected
// dot or hole within 7 px. True when any record was added.
bool detectEdgeDragStart(TEditor &editor, TEdgeDraggingList &records, float x, float y, bool withEllipses);
// The geometry a shape has while its ends are dragged: start, end (millimetres), their
// pixel positions and the sweep angle of an arc.
void draggedEdgeGeometry(const TEditor &editor, const TQN_Path &shape, TPointF &start, TPointF &end,
                         TPointF &startPx, TPointF &endPx, float &sweep);
// One step of a shape drag to the drawing-box pixel (x, y).
void dragSelectedShapes(TEditor &editor, float x, float y, TShiftState shift);
// The end of a shape drag (at the release).
void endShapeDrag(TEditor &editor);
// Moves a single circle so that it touches the nearest unselected line within 8 px of its
// rim. Outputs the shift in pixels and millimetres; with a painter, draws the guides.
bool snapDraggedCircleToLines(const TEditor &editor, const TQN_Path &circle, QPainter *canvas, TPointF &pixelShift,
                              TPointF &realShift);
// Mirrors the handle opposite the dragged one through their joint to the pointer.
void mirrorOppositeBezierHandle(TEditor &editor, const TBezierEditingInfo &info);
// Applies the current edge drag: every dragged shape rebuilt at its new ends; one undo
// snapshot for the whole drag.
void applyEdgeDragging(TEditor &editor);

// The handle of the selected shapes of `shapes` nearest to the pointer becomes the drag
// anchor FRotationCenter.
void pickDragAnchor(TEditor &editor, const std::vector<TQN_Path *> &shapes);
// The first control handle of a selected ungrouped BEZIER within 7 px of the pixel (x, y).
TBezierEditingInfo hitBezierHandle(const TEditor &editor, float x, float y);
// The neighbour Bezier (or, with allowLine, line) at the joint of the edited handle;
// p is null when none qualifies.
TBezierEditingInfo getOpponentBezierInfo(const TEditor &editor, const TBezierEditingInfo &EditInfo, bool allowLine);
// Moves one control point of a Bezier and rebuilds it (no snapshot, no repaint).
void applyBezierControlPoint(TEditor &editor, const TBezierEditingInfo &info, TPointF P);

}  // namespace quillon
