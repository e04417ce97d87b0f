#pragma once
// What the pointer handlers keep between a press, the moves and the release: the buttons
// and modifiers of the last event, the drags under way (screen pan, range selection, shape
// drag, edge drag, Bezier handle), the shapes the pointer last picked; and the snapping
// state that follows the pointer. Plain state: the handlers are in tools/.
#include <memory>
#include <vector>

#include "platform/geometry.h"
#include "platform/input.h"

namespace quillon {

class TIntersection;
class TQN_Path;

// One end (or intersection) taking part in an edge drag.
class TEdgeDraggingInfo {
 public:
  bool DraggingStartPt = false;           // the shape's StartPt is the dragged point
  bool DraggingEndPt = false;             // the shape's EndPt is the dragged point
  TIntersection *FIntersection = nullptr;  // an intersection record at the point (not owned)
  TQN_Path *QNPath = nullptr;             // the shape whose end is dragged (not owned)
  float Distance = 0.0f;                  // millimetres from where the records were collected
};

using TEdgeDraggingList = std::vector<std::unique_ptr<TEdgeDraggingInfo>>;

// The Bezier handle being dragged.
struct TBezierEditingInfo {
  bool IsBezierEditing = false;
  TQN_Path *p = nullptr;  // the edited Bezier (not owned)
  bool IsCP1 = false;     // the first control point is dragged
};

struct TPointerState {
  TShiftState FLastShiftState = 0;
  int FLastKey = 0;
  bool FIsMouseDown = false;
  TPointF FFirstMousePos;  // pixels, last press
  TPointF FLastMousePos;   // pixels, last press or move
  bool FIsScreenDragging = false;
  bool FIsEdgeDragging = false;
  bool FIsRangeSelecting = false;
  TEdgeDraggingList FDraggingEdges;
  TBezierEditingInfo FBezierEditInfo;
  bool FIsShapeDragging = false;  // a drag or Bezier handle edit is under way
  bool FShapeCreated = false;
  bool FDoubleClicked = false;
  TPointF FCummulativeShiftDistance;
  double FDragStartPrint = 0.0;
  bool FDragPrintValid = false;
  bool FDragSnapValid = false;
  TPointF FDragSnapRawOrigin;
  bool FIsRotationCenterSpecified = false;
  TPointF FRotationCenter;
  bool FIsSnapPointManuallySet = false;
  bool FIsPasted = false;
  TQN_Path *FFirstSelection = nullptr;
  TQN_Path *FLastRightClickMousePosItem = nullptr;
  TPointF FLastRightClickRealPos;

  // Lets go of every reference to the shape (with none: to every shape).
  void forget(const TQN_Path *shape);
};

struct TSnapState {
  bool FStickyExists = false;
  TPointF FStickyPoint;              // millimetres
  std::vector<TPointF> FSnapPoints;  // extra snap targets (tangent points)
  bool FStitchIsecOverflowLogged = false;
};

}  // namespace quillon
