#pragma once
// Painting of stitching holes ("S_HOLE") and dots ("DOT"). Holes of one style are
// collected into three lists (shadows, outlines, dots) and painted when the style changes,
// when a hole must be painted on its own, or when the shape pass ends: the painter's state
// is set once for each list, then the list is drawn one cheap call per hole. (One combined
// path of thousands of holes is far slower to fill or stroke than the holes one by one.)
// Holes whose pixels overlap are drawn so that a translucent dot or shadow covers a shared
// pixel once, as a single path of the whole batch would: on raster canvases each list is
// gathered into one coverage mask laid over the canvas once at the list's opacity; on
// other devices (printers, PDF) overlapping holes are drawn together as one path.
//
// The "canvas style" of the batch is the painter's pen (colour, width, dash) and brush
// colour, as applyShapeStroke left them for the hole's line type.
#include <QPainterPath>
#include <QRectF>

#include <optional>
#include <vector>

#include "platform/geometry.h"
#include "render/coverage_raster.h"

class QPainter;

namespace quillon {

class TEditor;
class TQN_Path;

// The batch of one window; valid only during one paint.
struct THoleBatch {
  std::vector<QPainterPath> FHoleOutlines;  // outline of each batched hole, pixels
  std::vector<QRectF> FHoleDots;            // dot rectangle of each batched hole, pixels
  std::vector<QPainterPath> FHoleShadows;   // outlines of the batched holes that cast a shadow
  bool FHoleBatchValid = false;
  TAlphaColor FHoleBatchStroke = 0;
  float FHoleBatchThickness = 0.0f;  // 0 when the pen draws nothing
  TStrokeDash FHoleBatchDash = TStrokeDash::Solid;
  TAlphaColor FHoleBatchFill = 0;
  float FHoleBatchStrokeOpacity = 1.0f;
  float FHoleBatchDotOpacity = 1.0f;
  TCoverageRaster FMask;  // where a list is gathered on raster canvases; kept between frames for its buffers
};

// The hole batch of an editor (one per editor, kept as long as the process runs).
THoleBatch &holeBatch(TEditor &editor);
// Empties the three lists and marks the batch empty; the pipeline calls it at the start
// of each frame.
void resetHoleBatch(TEditor &editor);

// What the hole painter reads of the paint in progress besides the editor.
struct THolePaintState {
  bool IsPrinting = false;
  bool IsPrintPreviewing = false;
  bool PrintStitchingHoleAsDot = false;      // print preview: "Print stitching holes as dots"
  bool SelectNextStitchingHoleMode = false;  // FSelectNextStitchingHoleMode
  float LayerOpacity = 1.0f;                 // layerOpacity of the shape
  std::optional<TPointF> LiveStart;          // live start in pixels while the hole is dragged
};

// Paints one "S_HOLE" or "DOT" shape (the stored shape, in millimetres), batched where
// allowed. The painter's pen and brush hold the shape's line-type style on entry.
void drawStitchingHole(TEditor &editor, QPainter &painter, TQN_Path &shape, const THolePaintState &state = {});
// Adds one hole (outline in pixels, dot rectangle in pixels) to the batch, painting the
// batch first when the painter's style or the opacities differ from the batch's.
void addHoleToBatch(TEditor &editor, QPainter &painter, const QPainterPath &outline, const QRectF &dotRect,
                    float strokeOpacity, float dotOpacity, bool withShadow);
// Paints and empties the batch: shadows, then outlines, then dots, each list under one
// painter state; nothing when empty. The painter's pen, brush and opacity are left as
// they were.
void flushHoleBatch(TEditor &editor, QPainter &painter);

}  // namespace quillon
