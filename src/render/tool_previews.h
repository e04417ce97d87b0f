#pragma once
// Dimension drawing and the previews of the centre-line, distance-marking and dimension
// tools. One routine per dimension kind serves both the live preview (given a canvas it
// draws and changes nothing) and the commit (without a canvas it adds the dimension
// shapes to the document), so what the user sees is what gets stored.
#include <QString>

#include "platform/geometry.h"
#include "platform/text_layout.h"

class QPainter;

namespace quillon {

class TEditor;

// Two strokes in the canvas' current pen from the tip `point` to point + rotateVector
// (direction, +-angle) x length (millimetres and degrees; the ends converted to pixels).
// The head opens towards `direction`.
void drawArrowHead(const TEditor &editor, QPainter &canvas, TPointF point, TPointF direction, float angle,
                   float length);

// Width and height of the bounding box of `text` laid out as a straight, unrotated
// outline at (0, 0).
TTextSize measureTextSize(const QString &fontFamily, float fontSize, const QString &text);

// A length in the dimension text format: the settings' length format in the hybrid inch
// mode with the precision box's decimals, with the unit and without the bracketed
// decimals of the hybrid form.
QString dimensionLengthText(const TEditor &editor, double mm);

// The linear dimension from the first two clicked points, its dimension line placed
// through the pointer. With one clicked point `point` is the second end and no offset
// is applied; with two or more the routine reads the pointer itself. With a canvas it
// draws the preview; without, it adds the text, the dimension line (one LINE or two
// halves) and, unless "Arrow Only", the two extension lines to the document, grouped.
void drawLinearDimension(TEditor &editor, QPainter *canvas, TPointF point);

// The radius dimension of FDimensionShape: an arrow from the first clicked point (on the
// arc) towards the label at the second clicked point (or at `point` while only one is
// clicked), labelled "R=" and the radius. Preview with a canvas; without, adds the text
// and the arrow LINE to the document.
void drawRadiusDimension(TEditor &editor, QPainter *canvas, TPointF point);

// The previews of the centre-line and distance-marking tools while one point is clicked,
// and the dimension preview while the dimension tool has points; `cur` is the tools'
// current point in millimetres.
void drawMarkToolPreviews(TEditor &editor, QPainter &canvas, TPointF cur);

}  // namespace quillon

namespace quillon {

// The notch a second click of the notch tool would make, toward the snapped pointer: the
// line from the notch point to the apex in blue, the arms in yellow, in the canvas' pen
// width. Nothing unless the notch mode is on and a notch point is fixed.
void drawNotchPreview(const TEditor &editor, QPainter &canvas);

}  // namespace quillon
