#pragma once
// The layer commands of the window and the events of its layer list. The layers live
// in the document (TShapeList: IDs, names, visibility, the independent flag and their
// order); the list's rows and the active layer are the editor's (shell/layer_list.h).
// New shapes go on the active layer; delete, merge, duplicate and move are relative to
// it. Each command that changes the document ends with one undo snapshot.
// Moving the selection to a layer is moveSelectionToLayer of edit/move_shapes.h.
#include "edit/move_shapes.h"

namespace quillon {

class TEditor;

// Copies the selection onto the layer, which becomes independent: new shape IDs, one new
// group ID per group copied. The list is rebuilt and every intersection recomputed (with
// an undo snapshot).
void duplicateSelectionToLayer(TEditor &editor, int layer);

void actLayer_AddNewLayerExecute(TEditor &editor);
void actLayer_DeleteLayerExecute(TEditor &editor);
void actLayer_ChangeNameExecute(TEditor &editor);
void actLayer_MoveUpExecute(TEditor &editor);
void actLayer_MoveDownExecute(TEditor &editor);
void actLayer_ToggleIndependentLayerExecute(TEditor &editor);
void actLayer_HideOtherLayersExecute(TEditor &editor);
void actLayer_ShowAllLayersExecute(TEditor &editor);
void actLayer_IgnoreLayerExecute(TEditor &editor);
void actLayer_HighlightShapesOnCurrentLayerExecute(TEditor &editor);
void actLayer_MergeIntoBelowExecute(TEditor &editor);
void actLayer_FlattenAllLayersExecute(TEditor &editor);
void actLayer_MoveSelectedShapesToTheLayerBelowExecute(TEditor &editor);
void actLayer_DuplicateSelectedShapesOnBelowLayerExecute(TEditor &editor);
void actLayer_MoveToAnotherLayerExecute(TEditor &editor);
void actLayer_ActivateLayerOfSelectedShapeExecute(TEditor &editor);

// The list's events. A click on a row's text: lbLayersClick, then the row is selected.
void lbLayersClick(TEditor &editor);
// The selected row becomes `row` (by the user or a command), then lbLayersChange runs:
// its layer becomes active (in move-to-another-layer mode the selection moves there
// first) and no shape stays selected.
void selectLayerRow(TEditor &editor, int row);
void lbLayersChange(TEditor &editor);
// A row's check box changed: the layer's visibility follows it (one undo step); the
// active layer stays what it was.
void lbLayersChangeCheck(TEditor &editor, int row, bool checked);
// A double click on the selected row: when every layer is visible nothing changes,
// otherwise only that row's layer is shown.
void lbLayersDblClick(TEditor &editor);
// "No layer highlight": every layer painted at full opacity while checked.
void chkHighlightActiveLayerClick(TEditor &editor, bool checked);

}  // namespace quillon
