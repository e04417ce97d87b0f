#include "shell/layer_list.h"

#include <algorithm>

#include "model/shape_list.h"
#include "shell/editor.h"

namespace quillon {

QString layerRowText(const QString &name, bool independent) {
  return independent ? QStringLiteral("** ") + name + QStringLiteral(" **") : name;
}

int layerPosition(const TEditor &editor, int layerId) {
  const std::vector<int> &order = editor.doc().PathList().Layers();
  const auto it = std::find(order.begin(), order.end(), layerId);
  return it == order.end() ? -1 : static_cast<int>(it - order.begin());
}

void rebuildLayerList(TEditor &editor) {
  TShapeList &doc = editor.doc().PathList();
  TLayerListState &list = editor.layers();
  list.Updating = true;
  if (doc.Layers().empty()) doc.addLayer(-1, QString(), true);

  list.Rows.clear();
  list.Selected = -1;
  for (const int id : doc.Layers()) {
    const bool independent = doc.GetIsIndependentLayer(id);
    list.Rows.push_back({id, layerRowText(doc.GetLayerName(id), independent), doc.GetlayerVisible(id), independent});
    if (id == editor.FActiveLayer) list.Selected = static_cast<int>(list.Rows.size()) - 1;
  }
  // The active layer is gone: the first visible layer takes its place, else the first.
  if (list.Selected < 0) {
    const auto visible =
        std::find_if(list.Rows.begin(), list.Rows.end(), [](const TLayerRow &row) { return row.Visible; });
    list.Selected = visible == list.Rows.end() ? 0 : static_cast<int>(visible - list.Rows.begin());
    editor.FActiveLayer = list.Rows[static_cast<std::size_t>(list.Selected)].ID;
  }
  list.Updating = false;
  updateLayerActions(editor);
}

void updateLayerActions(TEditor &editor) {
  TLayerListState &list = editor.layers();
  const int rows = static_cast<int>(list.Rows.size());
  TLayerActions &a = list.Actions;
  a.MoveUp = list.Selected > 0 && rows > 1;
  a.MoveDown = list.Selected >= 0 && list.Selected < rows - 1 && rows > 1;
  a.MergeIntoBelow = a.MoveDown && rows > 1;
  a.FlattenAllLayers = a.DeleteLayer = a.HideOtherLayers = a.ShowAllLayers = rows > 1;
}

}  // namespace quillon
