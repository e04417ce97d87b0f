#pragma once
// Painting of free outlines ("OTHER" shapes): a closed outline is filled in its line
// type's colour at the shape's own opacity, an open one (or a selected one) is stroked.
#include <optional>

#include "platform/geometry.h"

class QPainter;

namespace quillon {

class TEditor;
class TQN_Path;

// What the fill painter reads of the paint in progress besides the editor.
struct TFillPaintState {
  bool IsPrinting = false;
  bool IsPrintPreviewing = false;
  bool FillOn = true;                // "Show filled shapes"
  float LayerOpacity = 1.0f;         // layerOpacity of the shape
  std::optional<TPointF> LiveStart;  // live start and end in pixels while an end is dragged
  std::optional<TPointF> LiveEnd;
};

// Fills and strokes one "OTHER" shape. `pixelCopy` is a copy of the shape whose outline
// is already in drawing-box pixels; its StartPt and EndPt are still in millimetres. The
// painter's pen and brush hold the shape's line-type style on entry.
void drawFilledShape(TEditor &editor, QPainter &painter, TQN_Path &pixelCopy, const TFillPaintState &state = {});

}  // namespace quillon
