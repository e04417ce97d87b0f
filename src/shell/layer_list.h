#pragma once
// The layer list of the side panel as the editor keeps it: one row per layer in the
// document's layer order, the selected row (the active layer's), the enabling of the
// order-dependent layer commands, and the modes of the list. The window shows these
// rows; the layer commands (library/layer_commands.h) change them.
#include <QString>

#include <vector>

namespace quillon {

class TEditor;

struct TLayerRow {
  int ID = 0;             // the row's tag
  QString Text;           // the name, "** name **" for an independent layer
  bool Visible = true;    // the check box
  bool Independent = false;  // drawn in red
};

// Which order-dependent layer commands are enabled (updateLayerActions).
struct TLayerActions {
  bool MoveUp = false;
  bool MoveDown = false;
  bool MergeIntoBelow = false;
  bool FlattenAllLayers = false;
  bool DeleteLayer = false;
  bool HideOtherLayers = false;
  bool ShowAllLayers = false;
};

struct TLayerListState {
  std::vector<TLayerRow> Rows;
  int Selected = -1;  // the selected row, -1 for none
  TLayerActions Actions;
  // Set while the rows are rebuilt: selection changes made then are not the user's.
  bool Updating = false;

  int FOldActiveLayer = 0;         // the active layer as last chosen by a click on a row
  bool FLayerItemClicked = false;  // a click on the list, consumed by the next selection change
  bool FIsLayerMoveMode = false;   // the next row chosen receives the selected shapes
};

// The text of a layer's row.
QString layerRowText(const QString &name, bool independent);
// Rebuilds every row from the document and repairs the active layer: when it no longer
// exists, the first visible layer becomes active, else the first layer (a document left
// without layers gets one). Ends with updateLayerActions.
void rebuildLayerList(TEditor &editor);
void updateLayerActions(TEditor &editor);
// The position of a layer in the document's layer order, -1 when it has none.
int layerPosition(const TEditor &editor, int layerId);

}  // namespace quillon
