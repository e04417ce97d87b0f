#pragma once
// One painter per shape kind. paintShape is the single entry: it hides dimension shapes
// when they are switched off, makes a pixel copy of the outline where a painter needs
// one, sets the stroke of the shape's line type, dispatches by kind and adds the
// direction arrow. Painters draw in drawing-box pixels onto any QPainter.
#include <QPainter>
#include <QPainterPath>

#include <functional>

#include "platform/geometry.h"
#include "platform/path_data.h"
#include "render/overlays.h"
#include "render/shape_stroke.h"

class QPainter;

namespace quillon {

class TEditor;
class TQN_Path;
class TStrokeBatch;

// What the painters read of the paint in progress besides the editor: the kind of
// target and the window's switches.
struct TShapePaintState {
  bool IsPrinting = false;
  bool IsPrintPreviewing = false;
  // The print job's stroke choices; used while printing or previewing.
  TPrintStrokeContext PrintStroke;
  bool PrintStitchingHoleAsDot = false;      // print preview: "Print stitching holes as dots"
  bool HighlightActiveLayer = false;         // chkHighlightActiveLayer ("No layer highlight") checked
  bool IgnoreLayer = false;                  // FIgnoreLayer, layer-ignore mode
  bool FillOn = true;                        // chkFillOn, "Show filled shapes"
  bool SelectNextStitchingHoleMode = false;  // FSelectNextStitchingHoleMode
  TBezierDragState BezierDrag;               // the Bezier handle being dragged, if any
  // Called with each shape paintShape is given, before anything is drawn; a test hook
  // (it may count shapes or throw).
  std::function<void(const TQN_Path &)> OnPaintShape;
  // Where lines, arcs and Beziers are stroked when the canvas allows it (the frame draws
  // what it holds before anything else); none: each shape is stroked on its own.
  TStrokeBatch *Strokes = nullptr;

  bool onScreen() const { return !IsPrinting && !IsPrintPreviewing; }
};

// Paints one shape of the document (its outline in millimetres).
void paintShape(TEditor &editor, QPainter &canvas, TQN_Path &shape, const TShapePaintState &state);

// 1 while printing or previewing, with "No layer highlight" checked, in layer-ignore mode
// or for a shape on the active layer; 0.5 otherwise, so other layers are dimmed.
float layerOpacity(const TEditor &editor, const TQN_Path &shape, const TShapePaintState &state);

// The painters of the kinds, in the stroke paintShape set.
void drawLineShape(TEditor &editor, QPainter &canvas, TQN_Path &shape, const TShapePaintState &state);
void drawArcShape(TEditor &editor, QPainter &canvas, TQN_Path &shape, const TShapePaintState &state);
void drawEllipseShape(TEditor &editor, QPainter &canvas, TQN_Path &shape, const TShapePaintState &state);
void drawBezierShape(TEditor &editor, QPainter &canvas, TQN_Path &shape, bool ForceHandles,
                     const TShapePaintState &state);
// `pixelCopy` is a copy of the shape whose outline is already in pixels.
void drawTextShape(TEditor &editor, QPainter &canvas, TQN_Path &pixelCopy, const TShapePaintState &state);
// Two 10 px strokes at the last point of the pixel outline, opening back along it by
// +-30 degrees; nothing for an outline of fewer than two points.
void drawPathDirection(QPainter &canvas, const TQN_Path &pixelCopy);

// Canvas helpers shared by the painters.
// The outline as a Qt path, entry by entry (a close entry closes the subpath).
QPainterPath toPainterPath(const TPathData &data);
// The outline (millimetres) in pixels: scaled by `scale`, then moved by `offset`, point by
// point as pathToVirtual moves a copy.
QPainterPath toPixelPath(const TPathData &data, float scale, TPointF offset);
// Sets the pen: colour, thickness in pixels (no pen when 0 or less), dash; flat caps.
void setCanvasStroke(QPainter &canvas, TAlphaColor color, float thickness, TStrokeDash dash);

// Draws with the current pen only (the brush holds the fill colour for the fill painters)
// at the given opacity; the painter's brush and opacity are restored when it ends.
class StrokeScope {
 public:
  StrokeScope(QPainter &canvas, qreal opacity) : c_(canvas), brush_(canvas.brush()), opacity_(canvas.opacity()) {
    c_.setBrush(Qt::NoBrush);
    c_.setOpacity(opacity);
  }
  ~StrokeScope() {
    c_.setBrush(brush_);
    c_.setOpacity(opacity_);
  }
  StrokeScope(const StrokeScope &) = delete;
  StrokeScope &operator=(const StrokeScope &) = delete;

 private:
  QPainter &c_;
  QBrush brush_;
  qreal opacity_;
};

}  // namespace quillon
