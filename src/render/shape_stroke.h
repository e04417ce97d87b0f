#pragma once
// The stroke and fill of one shape on the canvas, on a printed page or in the print
// preview, from its line type and the editor's view and colour scheme.
#include "platform/geometry.h"

class QPainter;

namespace quillon {

class TEditor;
class TQN_Path;

// The print job's choices that change how shapes are stroked.
struct TPrintStrokeContext {
  bool PrintInColor = false;          // the preview's print-in-colour box
  bool IsPreviewing = false;          // drawing the preview, not the printer
  bool ShowNotForPrintLines = false;  // the preview's box for showing not-for-print lines
  float ThicknessFactor = 1.0f;       // the preview's line-thickness factor
};

struct TShapeStroke {
  TAlphaColor StrokeColor = 0;
  TAlphaColor FillColor = 0;
  bool FillSet = false;  // false: the fill is left as it was
  float Thickness = 0.0f;  // pixels on screen, the shape's units when printing
  TStrokeDash Dash = TStrokeDash::Solid;
};

// The stroke of a shape. `printing` is nullptr on screen.
//
// A shape with a line-type index in 0..39 shows the colour and dash of that line type (on
// screen), never its own stored colour; any other shape shows its own colour and dash. The
// thickness is always the shape's own. On screen it becomes FThickness - 0.5 +
// log10(scale) / 2 pixels; a selected shape is stroked in the selection colour and a
// symmetry target in the centre-line colour, 2.5 wide and dotted. On a page every shape is
// black (unless printed in colour) with its own dash, and the shapes of a not-for-print
// line type get thickness 0 unless the preview shows them.
TShapeStroke shapeStroke(const TEditor &editor, const TQN_Path &path, const TPrintStrokeContext *printing);

// Sets the painter's pen to the stroke (no pen when the thickness is 0 or less, so that
// nothing is drawn) and, when the stroke sets one, the brush to the fill colour. Painters
// that only stroke a shape draw with Qt::NoBrush or QPainter::strokePath.
void applyShapeStroke(QPainter &painter, const TShapeStroke &stroke);

}  // namespace quillon
