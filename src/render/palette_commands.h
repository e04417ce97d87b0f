#pragma once
// The commands of the palette bar: choosing the pen's line type, applying it to the
// selection, hiding and showing the shapes of a line type, the line-type context menu, the
// digit keys, the result of the line-type editor, the colour text of the colour controls
// and the painting of a palette box and of the editor's sample.
//
// Line types are addressed by their 0-based index in the editor's FPalletList; an index
// outside the list does nothing.
#include <QChar>
#include <QString>

#include <memory>
#include <vector>

#include "platform/geometry.h"
#include "platform/input.h"
#include "model/draw_pallet.h"

class QPainter;

namespace quillon {

class TEditor;


// Makes lineType the only current line type, copies its colour (for the current
// background), thickness and dash into the pen and remembers it as FSelectedPalette; asks
// the window to repaint the palette bar when repaintBar.
void selectPalette(TEditor &editor, int lineType, bool repaintBar);

// Flips the visibility of a line type. Hiding it deselects the selected shapes of that
// line type. Then the bar and the canvas repaint.
void togglePaletteVisibility(TEditor &editor, int lineType);

// Gives the selected shapes other than stitching holes the line type's index, colour,
// thickness and dash, walking the document in order; a radial repeat counts once. When any
// shape changed, deselects everything and takes one undo snapshot. True when a shape
// changed.
bool applyPaletteToSelection(TEditor &editor, int lineType);

// A mouse press on the palette box of a line type:
// - right button: the line type becomes FSelectedPalette; returns true, upon which the
//   window opens the line-type menu at the pressed point;
// - left button with Ctrl: the split warning is cleared and the visibility toggled;
// - left button: the line type becomes the pen and, unless the stitching, offset or
//   tracing-image tool is active, is applied to the selection;
// - middle button: nothing.
bool palletBoxMouseDown(TEditor &editor, int lineType, TMouseButton button, TShiftState shift);

// "1" to "9" press palette boxes #01 to #09 and "0" presses #10 with the left button and
// the given modifiers; other characters do nothing.
void selectPaletteByDigitKey(TEditor &editor, QChar keyChar, TShiftState shift);

// "Show/hide this line type" of the line-type menu: toggles FSelectedPalette.
void actLinePaletteShowHideExecute(TEditor &editor);

// How the line-type editor was closed.
enum class TEditPalletResult { OK, Cancel, Default };

// Copies every field of every line type of `from` into the line type of the same index of
// `to` (as far as both lists go).
void copyPalletList(const TPalletList &from, TPalletList &to);

// Applies the line-type editor's outcome to the editor. Cancel changes nothing. OK copies
// the working copies into FPalletList; Default resets FPalletList to the built-in values
// and drops the working copies' edits. After OK and Default the pen is set from the
// current line type and the bar and the canvas repaint; the shapes themselves are not
// touched.
void applyEditPalletResult(TEditor &editor, TEditPalletResult result, const TPalletList &workingCopies);

// "#" followed by red, green and blue as two upper-case hexadecimal digits each; the alpha
// is dropped.
QString colorToHexText(TAlphaColor color);
// Reads "#RRGGBB" or "RRGGBB" (any letter case) as an opaque colour. The text must have
// exactly six characters after an optional "#"; a pair that is not hexadecimal reads as 0.
// False (and `color` untouched) when the length is wrong.
bool hexTextToColor(const QString &text, TAlphaColor &color);

// The dash a radio-button choice gives: the first of the five flags that is set, in the
// order Solid, Dash, Dot, DashDot, DashDotDot; `current` when none is set.
TStrokeDash dashOfChoice(bool solid, bool dash, bool dot, bool dashDot, bool dashDotDot, TStrokeDash current);

// Paints one palette box of w x h pixels: the background of the canvas (black or white),
// the line type's sample stroke across the middle (its thickness times lineFactor), a red
// frame when the line type is current and a cross when it is hidden.
void paintPalletBox(QPainter &painter, const TDrawPallet &pallet, int w, int h, bool blackBackground,
                    float lineFactor);

// Paints the line-type editor's sample of w x h pixels on black: a line, a triangle, a
// circle, 15 shortening lines and a curve, all in the line type's colour, thickness and
// dash.
void paintPalletSample(QPainter &painter, const TDrawPallet &pallet, int w, int h);

}  // namespace quillon
