#include "shell/groups.h"

#include "model/shape_bounds.h"

#include <algorithm>
#include <optional>

#include <QString>

#include "model/shape.h"
#include "model/shape_list.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/selection.h"
#include "shell/undo.h"

namespace quillon {

namespace {

// The members of a radial repeat, in document order.
std::vector<TQN_Path *> repeatMembers(const TShapeList &doc, int repeatId) {
  std::vector<TQN_Path *> members;
  for (TQN_Path *s : doc)
    if (s->FMandalaID == repeatId) members.push_back(s);
  return members;
}

// Moves the selected shapes (holes aside) to the end or the start of the document list.
void restackSelection(TEditor &editor, bool toFront, const QString &reason) {
  const TShapeList &doc = editor.doc().PathList();
  const std::vector<TQN_Path *> list = getSelectedPaths(editor, false, true);
  auto move = [&](TQN_Path *s) {
    const int from = doc.IndexOf(s);
    if (from >= 0) editor.doc().moveShape(from, toFront ? doc.Count() - 1 : 0);
  };
  for (TQN_Path *s : list) {
    if (s->FMandalaID <= 0) {
      move(s);
      continue;
    }
    for (TQN_Path *member : repeatMembers(doc, s->FMandalaID)) move(member);
  }
  if (list.empty()) return;
  takeUndoSnapshot(editor, reason);
  editor.ui().refreshCanvas();
}

}  // namespace

void invalidateGroupBounds(TEditor &editor, const std::vector<int> &groupIds) {
  for (int id : groupIds) editor.doc().FGroupBoundary.erase(id);
}

void invalidateGroupBounds(TEditor &editor, const std::vector<TQN_Path *> &shapes) {
  for (const TQN_Path *s : shapes)
    if (s->FGroupID > 0) editor.doc().FGroupBoundary.erase(s->FGroupID);
}

void invalidateSelectedGroupBounds(TEditor &editor) { invalidateGroupBounds(editor, getSelectedGroupIds(editor)); }

void actCreateGroupExecute(TEditor &editor) {
  if (countSelected(editor, false, false) < 2) return;
  TShapeList &doc = editor.doc().PathList();
  const int g = doc.getNextID();
  for (TQN_Path *s : doc) {
    if (!s->FSelected) continue;
    // The group the shape leaves keeps its other members; its frame must be recomputed.
    if (s->FGroupID > 0) editor.doc().FGroupBoundary.erase(s->FGroupID);
    s->FGroupID = g;
  }
  editor.ui().refreshCanvas();
  takeUndoSnapshot(editor, QStringLiteral("L3405"));
}

void actUngroupExecute(TEditor &editor) { applyToSelectedGroups(editor, true); }

void applyToSelectedGroups(TEditor &editor, bool ungroup) {
  const std::vector<int> ids = getSelectedGroupIds(editor);
  bool changed = false;
  if (ungroup) {
    for (TQN_Path *s : editor.doc().PathList()) {
      if (std::find(ids.begin(), ids.end(), s->FGroupID) == ids.end()) continue;
      s->FGroupID = 0;
      s->SetSelected(true);
      changed = true;
    }
  } else {
    for (int id : ids)
      if (selectGroupMembers(editor, id, true)) changed = true;
  }
  if (!changed) return;
  editor.ui().refreshCanvas();
  if (ungroup) takeUndoSnapshot(editor, QStringLiteral("ungroup"));
}

bool selectGroupMembers(TEditor &editor, int groupID, bool selected) {
  bool changed = false;
  for (TQN_Path *s : editor.doc().PathList()) {
    if (s->FGroupID != groupID || s->FSelected == selected) continue;
    s->SetSelected(selected);
    changed = true;
  }
  return changed;
}

std::vector<int> getSelectedGroupIds(const TEditor &editor) {
  std::vector<int> ids;
  for (const TQN_Path *s : editor.doc().PathList())
    if (s->FSelected && s->FGroupID > 0 && std::find(ids.begin(), ids.end(), s->FGroupID) == ids.end())
      ids.push_back(s->FGroupID);
  return ids;
}

std::vector<TQN_Path *> getShapesOfGroup(const TEditor &editor, int groupID) {
  std::vector<TQN_Path *> shapes;
  for (TQN_Path *s : editor.doc().PathList())
    if (s->FGroupID == groupID) shapes.push_back(s);
  return shapes;
}

TRectF getGroupBounds(TEditor &editor, int groupID) {
  const auto cached = editor.doc().FGroupBoundary.find(groupID);
  if (cached != editor.doc().FGroupBoundary.end()) return cached->second;
  const TRectF bounds = calcShapesBoundary(getShapesOfGroup(editor, groupID));
  editor.doc().FGroupBoundary[groupID] = bounds;
  return bounds;
}

void actOrder_BringToFrontExecute(TEditor &editor) { restackSelection(editor, true, QStringLiteral("L5809")); }

void actOrder_SendToBackExecute(TEditor &editor) { restackSelection(editor, false, QStringLiteral("L5848")); }

}  // namespace quillon
