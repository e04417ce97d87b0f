#pragma once
// The selection: the shapes of the document whose selection flag is set. These are the
// rules that decide which shapes a selecting operation may take (layer, line-type
// visibility, kind), the select and deselect commands, range selection, the queries that
// hand the selection to commands, and the end of text editing that a change of selection
// implies. Selection by a single click belongs to the pointer handlers, which call these.
#include <QString>

#include <vector>

#include "platform/geometry.h"

namespace quillon {

class TEditor;
class TQN_Path;
enum class TShapeKind : unsigned char;

// The modifier keys held when a range selection ends.
struct TSelectKeys {
  bool Shift = false;  // only stitching holes
  bool Ctrl = false;   // keep the earlier selection
  bool Alt = false;    // shapes of every visible layer as well
};

// A shape counts as visible for selection when it has no line type or a visible one.
bool isVisibleForSelection(const TEditor &editor, const TQN_Path &shape);

// Clears the selection and what depends on it: every shape loses its selection and
// manually-clicked flags and its scratch parameters; a deselected text stops being the
// edited text. The canvas is not refreshed (callers do it).
void deselectAll(TEditor &editor);

// Forgets the text being edited. A text outside the document is freed; with `freeShape`
// a text of the document leaves it and is freed too.
void resetTextEditor(TEditor &editor, bool freeShape);
// Ends typing: a new text with nothing typed (not yet of kind TEXT) is freed; an
// existing text stays the edited shape.
void finishTextEditing(TEditor &editor);

// Select All: every shape of the active layer that is on a visible layer and visible for
// selection becomes selected.
void actSelectAllExecute(TEditor &editor);
// Deselect All: clears the selection and the clicked points of the tool in progress.
void actDeselectAllExecute(TEditor &editor);

// The line-type context menu, working on the line type `FSelectedPalette`.
// Selects every shape of that line type, on any layer, visible or not.
void actLinePaletteSelectAllExecute(TEditor &editor);
// Unselects the selected shapes of that line type.
void actLinePaletteUnselectLineTypeExecute(TEditor &editor);
// Unselects the selected shapes of every other line type.
void actLinePaletteUnselectOthersExecute(TEditor &editor);

// Range selection over the rectangle spanned by two corners in drawing coordinates
// (millimetres; the pointer handler converts the drag's pixel corners without snapping).
// The drag direction does not matter; a shape is hit when its boundary lies inside.
void selectShapesInRect(TEditor &editor, TPointF corner1, TPointF corner2, TSelectKeys keys);

// Whether the thread from a stitching hole to its linked hole (next, else previous)
// touches the rectangle; false for other shapes and for a hole without a linked hole.
bool holeThreadSegmentInRect(const TEditor &editor, const TQN_Path &shape, const TRectF &rect);
// Whether an end of the segment lies in the rectangle (left and top inclusive, right and
// bottom exclusive) or the segment crosses one of its edges.
bool segmentTouchesRect(TPointF a, TPointF b, const TRectF &rect);
// Whether segments p-q and r-s properly cross; touching and collinear do not count.
bool segmentsCross(TPointF p, TPointF q, TPointF r, TPointF s);
bool isCounterClockwise(TPointF a, TPointF b, TPointF c);

// The selected shapes in document order, one member standing for each radial repeat (the
// first selected one), dots and stitching holes left out on request. The list does not
// own the shapes.
std::vector<TQN_Path *> getSelectedPaths(const TEditor &editor, bool withoutDots, bool withoutHoles);
// The number of selected shapes, dots and holes left out on request; every radial-repeat
// member counts.
int countSelected(const TEditor &editor, bool withoutDots, bool withoutHoles);
// count := the number of selected shapes of that kind; true when it is above 0.
bool countSelectedOfKind(const TEditor &editor, TShapeKind kind, int &count);
// The shape that the numeric size and angle commands edit: the first selected path when
// it is a LINE, ELLIPSE or ARC; otherwise none.
TQN_Path *getSizeEditableShape(const TEditor &editor);

}  // namespace quillon
