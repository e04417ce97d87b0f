#pragma once
// Overlays the paint pass draws around the shapes: the frames of the print pages, the
// dotted rectangle around each selected group, the section lines and circles of the
// radial-repeat (mandala) mode, and the painted positions of Bezier control points while
// a handle is dragged.
#include <functional>
#include <vector>

#include "platform/geometry.h"
#include "shell/display_state.h"
#include "shell/pointer_state.h"

class QPainter;

namespace quillon {

class TEditor;
class TQN_Path;

// What the print-page frames read besides the editor (the document's FPrintOffset gives
// the number of pages).
struct TPrintAreaState {
  bool IsPrintAreaAvailable = false;  // FIsPrintAreaAvailable (the paint pass takes the editor's)
  bool IsPrinting = false;
  bool IsPrintPreviewing = false;
  bool TilePrint = false;  // print preview: "Tile Print"
  // The rectangle of page i in millimetres (getPrintPageRect with the printer's
  // calibration factors); without it no frame can be drawn.
  std::function<TRectF(int page)> PrintPageRect;
  // Draws the tile overlap marks of page i (drawTileOverlapMarks); used with TilePrint.
  std::function<void(QPainter &, int page)> DrawTileOverlapMarks;
};

// The frames of the print pages, blue and dash-dot-dotted; nothing while printing or
// previewing or when no pages exist.
void drawPrintAreas(TEditor &editor, QPainter &painter, const TPrintAreaState &state);

// One white dotted rectangle 2 px outside the bounds of each group that has a selected
// member.
void drawGroupRectangles(TEditor &editor, QPainter &painter);


// The section lines (two per section, alternating between the two section colours) and
// the guide circles of the radial-repeat mode.
void drawMandalaGuides(TEditor &editor, QPainter &painter, const TMandalaGuideState &state);

// The projection (millimetres) of P onto the handle axis of the edited end: the line
// through the end point and its control point. P itself when nothing is edited or the
// handle has no length.
TPointF constrainHandleToAxis(const TBezierEditingInfo &EditInfo, TPointF P);

// The Bezier that joins the edited one at the edited end (getOpponentBezierInfo with
// lines not allowed): the neighbour, and whether the joint is at its first control point
// (its StartPt) rather than its second (its EndPt). No Bezier when there is none.
struct TOpponentBezier {
  TQN_Path *Bezier = nullptr;  // not owned
  bool AtCp1 = false;
};

// The pointer state a handle drag is painted from.
struct TBezierDragState {
  TBezierEditingInfo EditInfo;  // FBezierEditInfo
  bool IsMouseDown = false;     // FIsMouseDown
  bool ShiftHeld = false;       // from FLastShiftState
  bool CtrlHeld = false;
  TPointF LastMousePos;         // FLastMousePos, pixels
  // virtualToReal with snapping on; without it the pointer is converted without snapping.
  std::function<TPointF(TPointF)> VirtualToRealSnapped;
  // The neighbour for the mirrored-handle preview (Shift and Ctrl held); without it no
  // preview is drawn.
  std::function<TOpponentBezier(const TBezierEditingInfo &)> OpponentBezierInfo;
};

// The two control points (pixels) of a BEZIER as they are to be painted now: the stored
// ones, or, while one of this shape's handles is dragged, that one at the drag position;
// with Shift and Ctrl held it also paints the neighbour curve with its mirrored handle.
void getPaintedBezierControlPoints(TEditor &editor, QPainter &painter, TPointF &Cp1, TPointF &Cp2,
                                   const TBezierDragState &drag, const TQN_Path &shape);

}  // namespace quillon
