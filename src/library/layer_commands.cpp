#include "library/layer_commands.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "model/document.h"
#include "model/intersection.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "shell/deletion.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/layer_list.h"
#include "shell/selection.h"
#include "shell/undo.h"
#include "tools/hit_test.h"

namespace quillon {

namespace {

// Reason tags of the undo snapshots.
constexpr const char *kAddLayerReason = "LayerAdd";
constexpr const char *kDeleteLayerReason = "LayerDelete";
constexpr const char *kRenameLayerReason = "LayerRename";
constexpr const char *kMoveLayerReason = "LayerMove";
constexpr const char *kIndependentReason = "LayerIndependent";
constexpr const char *kMergeReason = "LayerMerge";
constexpr const char *kFlattenReason = "LayerFlatten";
constexpr const char *kDuplicateReason = "LayerDuplicate";
constexpr const char *kVisibilityReason = "LayerVisible";

void snapshot(TEditor &editor, const char *reason) { takeUndoSnapshot(editor, QString::fromLatin1(reason)); }

// A shape changes layer: its records go, then come again for its new layer (an
// independent layer's shapes meet only shapes on the same layer).
void moveShapeToLayer(TEditor &editor, TQN_Path *shape, int layer) {
  removeIntersectionsOf(editor.doc().FIntersections, shape);
  shape->FLayerID = layer;
  editor.calcIntersectionsOfShape(shape);
}

std::vector<TQN_Path *> shapesOnLayer(const TEditor &editor, int layer) {
  std::vector<TQN_Path *> shapes;
  for (TQN_Path *s : editor.doc().PathList())
    if (s->FLayerID == layer) shapes.push_back(s);
  return shapes;
}

// The layer below the active one, if there is one.
std::optional<int> positionBelowActive(const TEditor &editor) {
  const int p = layerPosition(editor, editor.FActiveLayer);
  if (p < 0 || p + 1 >= static_cast<int>(editor.doc().PathList().Layers().size())) return std::nullopt;
  return p + 1;
}

// Every layer's visibility by the rule, the rows checked to match, the active layer's row
// selected; no undo step.
template <class Rule>
void setVisibilities(TEditor &editor, Rule visible) {
  TShapeList &doc = editor.doc().PathList();
  for (const int id : doc.Layers()) doc.SetlayerVisible(id, visible(id));
  rebuildLayerList(editor);
  editor.ui().refreshCanvas();
}

// The active layer's position moves by `step` in the order, with its row.
void moveActiveLayer(TEditor &editor, int step) {
  TLayerListState &list = editor.layers();
  const int i = list.Selected, j = i + step;
  if (i < 0 || j < 0 || j >= static_cast<int>(list.Rows.size())) return;
  std::vector<int> &order = editor.doc().PathList().Layers();
  std::swap(order[static_cast<std::size_t>(i)], order[static_cast<std::size_t>(j)]);
  rebuildLayerList(editor);
  snapshot(editor, kMoveLayerReason);
}

}  // namespace

void duplicateSelectionToLayer(TEditor &editor, int layer) {
  TShapeList &doc = editor.doc().PathList();
  doc.SetIsIndependentLayer(layer, true);
  std::map<int, int> newGroups;  // old group ID to its copies' group ID
  for (const TQN_Path *source : getSelectedPaths(editor, false, false)) {
    std::unique_ptr<TQN_Path> copy(source->createCopy());
    copy->updateId(doc.getNextID());
    if (source->FGroupID > 0) {
      auto it = newGroups.find(source->FGroupID);
      if (it == newGroups.end()) it = newGroups.emplace(source->FGroupID, doc.getNextID()).first;
      copy->FGroupID = it->second;
    }
    // A radial-repeat member starts a repeat of its own.
    if (source->FMandalaID > 0) copy->FMandalaID = doc.getNextID();
    editor.doc().add(std::move(copy), layer);
  }
  rebuildLayerList(editor);
  editor.btnRecalcIntersectionsClick();
}

void actLayer_AddNewLayerExecute(TEditor &editor) {
  TShapeList &doc = editor.doc().PathList();
  const int a = layerPosition(editor, editor.FActiveLayer);
  const int id = doc.addLayer(-1, QString(), true);
  // Directly below the active layer.
  std::vector<int> &order = doc.Layers();
  if (a >= 0 && a + 1 < static_cast<int>(order.size()) - 1) {
    order.pop_back();
    order.insert(order.begin() + a + 1, id);
  }
  rebuildLayerList(editor);
  snapshot(editor, kAddLayerReason);
}

void actLayer_DeleteLayerExecute(TEditor &editor) {
  TShapeList &doc = editor.doc().PathList();
  if (doc.Layers().size() < 2) return;
  const int active = editor.FActiveLayer;
  if (countShapesOnLayer(editor, active) > 0 &&
      !editor.ui().confirmYesNo(QStringLiteral("confirmDeleteLayer"), editor.tr(QStringLiteral("confirmDeleteLayer"))))
    return;
  editor.doc().remove(shapesOnLayer(editor, active));
  const int p = layerPosition(editor, active);
  doc.deleteLayer(active);
  const int last = static_cast<int>(doc.Layers().size()) - 1;
  editor.FActiveLayer = doc.Layers()[static_cast<std::size_t>(std::clamp(p, 0, last))];
  editor.layers().FOldActiveLayer = editor.FActiveLayer;
  repairStitchLinks(doc);
  rebuildLayerList(editor);
  editor.ui().refreshCanvas();
  snapshot(editor, kDeleteLayerReason);
}

void actLayer_ChangeNameExecute(TEditor &editor) {
  TShapeList &doc = editor.doc().PathList();
  const std::optional<QString> name = editor.ui().inputBox(
      QStringLiteral("CaptionLayerChangeName"), editor.tr(QStringLiteral("CaptionLayerChangeName")),
      QStringLiteral("QLayerChangeName"), editor.tr(QStringLiteral("QLayerChangeName")),
      doc.GetLayerName(editor.FActiveLayer));
  if (name && !name->isEmpty() && layerPosition(editor, editor.FActiveLayer) >= 0)
    doc.SetLayerName(editor.FActiveLayer, *name);
  rebuildLayerList(editor);
  snapshot(editor, kRenameLayerReason);
}

void actLayer_MoveUpExecute(TEditor &editor) { moveActiveLayer(editor, -1); }

void actLayer_MoveDownExecute(TEditor &editor) { moveActiveLayer(editor, 1); }

void actLayer_ToggleIndependentLayerExecute(TEditor &editor) {
  const TLayerListState &list = editor.layers();
  const int target = list.Selected >= 0 ? list.Rows[static_cast<std::size_t>(list.Selected)].ID : editor.FActiveLayer;
  if (layerPosition(editor, target) < 0) return;
  TShapeList &doc = editor.doc().PathList();
  // The flag and the intersections it changes are one undo step.
  const TUndoGroup step(editor);
  doc.SetIsIndependentLayer(target, !doc.GetIsIndependentLayer(target));
  rebuildLayerList(editor);
  editor.btnRecalcIntersectionsClick();
  editor.ui().refreshCanvas();
  snapshot(editor, kIndependentReason);
}

void actLayer_HideOtherLayersExecute(TEditor &editor) {
  const int active = editor.FActiveLayer;
  setVisibilities(editor, [active](int id) { return id == active; });
}

void actLayer_ShowAllLayersExecute(TEditor &editor) {
  setVisibilities(editor, [](int) { return true; });
}

void actLayer_IgnoreLayerExecute(TEditor &editor) {
  editor.display().IgnoreLayer = !editor.display().IgnoreLayer;
  editor.ui().refreshCanvas();
}

void actLayer_HighlightShapesOnCurrentLayerExecute(TEditor &editor) {
  chkHighlightActiveLayerClick(editor, !editor.display().HighlightActiveLayer);
}

void actLayer_MergeIntoBelowExecute(TEditor &editor) {
  TShapeList &doc = editor.doc().PathList();
  const int i = editor.layers().Selected;
  if (i < 0 || i + 1 >= static_cast<int>(doc.Layers().size())) return;
  const int below = doc.Layers()[static_cast<std::size_t>(i + 1)];
  const int active = editor.FActiveLayer;
  for (TQN_Path *s : shapesOnLayer(editor, below)) moveShapeToLayer(editor, s, active);
  doc.deleteLayer(below);
  editor.layers().FOldActiveLayer = active;
  rebuildLayerList(editor);
  editor.ui().refreshCanvas();
  snapshot(editor, kMergeReason);
}

void actLayer_FlattenAllLayersExecute(TEditor &editor) {
  TShapeList &doc = editor.doc().PathList();
  if (doc.Layers().size() < 2) return;
  const int top = doc.Layers().front();
  for (TQN_Path *s : doc)
    if (s->FLayerID != top) moveShapeToLayer(editor, s, top);
  while (doc.Layers().size() > 1) doc.deleteLayer(doc.Layers().back());
  editor.FActiveLayer = top;
  editor.layers().FOldActiveLayer = top;
  rebuildLayerList(editor);
  editor.ui().refreshCanvas();
  snapshot(editor, kFlattenReason);
}

void actLayer_MoveSelectedShapesToTheLayerBelowExecute(TEditor &editor) {
  const std::optional<int> below = positionBelowActive(editor);
  if (!below) return;
  moveSelectionToLayer(editor, editor.doc().PathList().Layers()[static_cast<std::size_t>(*below)]);
  selectLayerRow(editor, *below);
  editor.ui().refreshCanvas();
}

void actLayer_DuplicateSelectedShapesOnBelowLayerExecute(TEditor &editor) {
  const std::optional<int> below = positionBelowActive(editor);
  if (!below) return;
  // The copies, the independent flag and the intersections are one undo step.
  const TUndoGroup step(editor);
  duplicateSelectionToLayer(editor, editor.doc().PathList().Layers()[static_cast<std::size_t>(*below)]);
  selectLayerRow(editor, *below);
  editor.ui().refreshCanvas();
  snapshot(editor, kDuplicateReason);
}

void actLayer_MoveToAnotherLayerExecute(TEditor &editor) {
  editor.layers().FIsLayerMoveMode = true;
  editor.ui().refreshCanvas();
}

void actLayer_ActivateLayerOfSelectedShapeExecute(TEditor &editor) {
  const TPointF at = editor.pointer().FLastMousePos;
  TQN_Path *other = nullptr;
  if (!shapeOnOtherLayerAt(editor, at.X, at.Y, other)) return;
  const int p = layerPosition(editor, other->FLayerID);
  if (p >= 0) selectLayerRow(editor, p);
}

void lbLayersClick(TEditor &editor) { editor.layers().FLayerItemClicked = true; }

void selectLayerRow(TEditor &editor, int row) {
  TLayerListState &list = editor.layers();
  if (row < 0 || row >= static_cast<int>(list.Rows.size())) return;
  list.Selected = row;
  if (!list.Updating) lbLayersChange(editor);
}

void lbLayersChange(TEditor &editor) {
  TLayerListState &list = editor.layers();
  if (list.Selected < 0 || list.Updating) return;
  const int chosen = list.Rows[static_cast<std::size_t>(list.Selected)].ID;
  if (chosen == editor.FActiveLayer) return;
  if (!list.FLayerItemClicked) list.FOldActiveLayer = editor.FActiveLayer;
  if (list.FIsLayerMoveMode) {
    moveSelectionToLayer(editor, chosen);
    list.FIsLayerMoveMode = false;
  }
  editor.FActiveLayer = chosen;
  if (list.FLayerItemClicked) {
    list.FOldActiveLayer = chosen;
    list.FLayerItemClicked = false;
  }
  deselectAll(editor);
  updateLayerActions(editor);
  editor.ui().refreshCanvas();
}

void lbLayersChangeCheck(TEditor &editor, int row, bool checked) {
  TLayerListState &list = editor.layers();
  if (list.Updating || row < 0 || row >= static_cast<int>(list.Rows.size())) return;
  TShapeList &doc = editor.doc().PathList();
  const int id = list.Rows[static_cast<std::size_t>(row)].ID;
  if (doc.GetlayerVisible(id) != checked) {
    doc.SetlayerVisible(id, checked);
    snapshot(editor, kVisibilityReason);
  }
  // The rows follow; the active layer and its row stay as they were.
  rebuildLayerList(editor);
  editor.ui().refreshCanvas();
}

void lbLayersDblClick(TEditor &editor) {
  const TLayerListState &list = editor.layers();
  if (list.Selected < 0) return;
  TShapeList &doc = editor.doc().PathList();
  const bool allVisible =
      std::all_of(doc.Layers().begin(), doc.Layers().end(), [&](int id) { return doc.GetlayerVisible(id); });
  const int chosen = list.Rows[static_cast<std::size_t>(list.Selected)].ID;
  setVisibilities(editor, [&](int id) { return id == chosen || allVisible; });
}

void chkHighlightActiveLayerClick(TEditor &editor, bool checked) {
  editor.display().HighlightActiveLayer = checked;
  editor.ui().refreshCanvas();
}

}  // namespace quillon
