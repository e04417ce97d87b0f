#pragma once
// The paint routine: one whole frame of the editor state onto any QPainter. The canvas
// widget, the print preview, the print job and the tests all paint through paintCanvas;
// every difference between screen, preview and paper is decided here and in the painters.
//
// A frame paints, in order: background, grid, print-page frames, every shape of the
// document in list order with the stitching holes after all other shapes (batched),
// group rectangles and radial-repeat guides, intersection dots, the clicked points of the
// tool in progress and the warning banners.
#include <QString>

#include <functional>
#include <vector>

#include "render/grid_cache.h"
#include "render/overlays.h"
#include "render/shape_stroke.h"
#include "render/stroke_batch.h"

class QPainter;

namespace quillon {

class TEditor;
class TQN_Path;

// What is painted on: its size and whether it is the screen, the print preview or paper.
struct TPaintTarget {
  int Width = 0;  // logical pixels
  int Height = 0;
  float BitmapScale = 1.0f;        // device pixels per logical pixel
  bool IsPrinting = false;         // FIsPrinting: paper
  bool IsPrintPreviewing = false;  // FIsPrintPreviewing: the print preview
  // The print job's choices (preview switches and line-thickness factor); used while
  // printing or previewing.
  TPrintStrokeContext PrintStroke;
  bool PrintSelectedShapesOnly = false;  // "Print selected shapes only"
  bool PrintStitchingHoleAsDot = false;  // "Print stitching holes as dots"

  bool onScreen() const { return !IsPrinting && !IsPrintPreviewing; }
};

// What the drawing box keeps from frame to frame: the grid bitmap, and what the window
// hands the painters for the print pages and the Bezier handle being dragged. The canvas
// widget owns one; a test or the print job may make its own.
struct TCanvasState {
  TGridCache Grid;
  TPrintAreaState PrintAreas;  // print pages (its printing flags come from the target)
  TBezierDragState BezierDrag;  // the Bezier handle being dragged
  TStrokeBatch Strokes;         // strokes of the shape pass, kept between frames for its buffers

  // Test hook, called with each shape handed to its painter (after culling and the
  // visibility decision); it may count or throw.
  std::function<void(const TQN_Path &)> OnPaintShape;
};

// Paints one frame. Does nothing without settings. A failure while one shape is painted
// is logged with that shape and the frame goes on; any other failure is logged without a
// shape and ends the frame.
void paintCanvas(TEditor &editor, QPainter &canvas, const TPaintTarget &target, TCanvasState &state);

// The warning banners of the frame, in table order: row of the banner table, translated
// text and colour.
struct TBanner {
  int Row = 0;
  QString Text;
  TAlphaColor Color = 0;
};
std::vector<TBanner> collectBanners(const TEditor &editor);

}  // namespace quillon
