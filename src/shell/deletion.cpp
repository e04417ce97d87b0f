#include "shell/deletion.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>
#include <utility>

#include <QString>

#include "model/intersection.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "shell/editor.h"
#include "tools/dragging.h"
#include "shell/editor_ui.h"
#include "shell/groups.h"
#include "shell/selection.h"
#include "shell/undo.h"

namespace quillon {

namespace {

// Removes a document shape with its intersection records and frees it.
void freeDocumentShape(TEditor &editor, TQN_Path *shape) {
  removeIntersectionsOf(editor.FIntersections, shape);
  editor.PathList->Remove(shape);
  forgetShape(editor, shape);
  if (shape->FGroupID > 0) editor.FGroupBoundary.erase(shape->FGroupID);
  delete shape;
}

// The shapes of `items` that duplicate an earlier one, each listed once, in order. Only
// shapes of one kind can be identical, so each shape is compared with the earlier shapes
// of its kind (and, with `sameLayer`, of its layer) only.
template <typename OnDuplicate>
void findDuplicates(const std::vector<TQN_Path *> &items, bool sameLayer, OnDuplicate onDuplicate) {
  std::map<std::pair<int, QString>, std::vector<TQN_Path *>> earlier;
  for (TQN_Path *b : items) {
    std::vector<TQN_Path *> &bucket = earlier[{sameLayer ? b->FLayerID : 0, b->FShapeType}];
    for (TQN_Path *a : bucket) {
      if (a->isIdentical(*b)) {
        onDuplicate(b);
        break;
      }
    }
    bucket.push_back(b);
  }
}

}  // namespace

void deleteSelectedShapes(TEditor &editor) {
  finishTextEditing(editor);
  editor.FFirstSelection = nullptr;
  TShapeList &doc = *editor.PathList;

  std::set<int> repeats;
  for (const TQN_Path *s : doc)
    if (s->FSelected && s->FMandalaID >= 1) repeats.insert(s->FMandalaID);

  std::vector<TQN_Path *> listed;
  for (TQN_Path *s : doc) {
    if (s->FLayerID != editor.FActiveLayer) continue;
    if (!s->FSelected && !(s->FMandalaID >= 1 && repeats.count(s->FMandalaID))) continue;
    listed.push_back(s);
    removeIntersectionsOf(editor.FIntersections, s);
  }
  invalidateGroupBounds(editor, listed);

  for (TQN_Path *s : listed) {
    doc.Remove(s);
    if (s == editor.FEditingText) {
      // The edited text leaves the document but lives on in the text box.
      finishTextEditing(editor);
      continue;
    }
    forgetShape(editor, s);
    delete s;
  }

  if (!listed.empty()) {
    repairStitchLinks(editor);
    takeUndoSnapshot(editor, QStringLiteral("L16679"));
  }
  editor.ui().refreshCanvas();
}

void actDeleteSelectedShapesExecute(TEditor &editor) {
  deleteSelectedShapes(editor);
  editor.ui().refreshCanvas();
}

int deleteDuplicateShapes(TEditor &editor, bool countOnly) {
  TShapeList &doc = *editor.PathList;
  std::vector<TQN_Path *> listed;
  std::vector<int> repeatIds;
  findDuplicates(doc.Items(), true, [&](TQN_Path *dup) {
    if (dup->FMandalaID == 0)
      listed.push_back(dup);
    else if (std::find(repeatIds.begin(), repeatIds.end(), dup->FMandalaID) == repeatIds.end())
      repeatIds.push_back(dup->FMandalaID);
  });
  const int result = static_cast<int>(listed.size() + repeatIds.size());
  if (countOnly) return result;

  for (TQN_Path *s : listed)
    if (doc.IndexOf(s) >= 0) freeDocumentShape(editor, s);
  for (int id : repeatIds) deleteMandalaMembers(editor, id);
  if (result > 0) {
    repairStitchLinks(editor);
    editor.ui().refreshCanvas();
    takeUndoSnapshot(editor, QStringLiteral("L22548"));
  }
  return result;
}

void forgetShape(TEditor &editor, const TQN_Path *shape) {
  auto gone = [shape](const TQN_Path *field) { return field && (!shape || field == shape); };
  if (gone(editor.FFirstSelection)) editor.FFirstSelection = nullptr;
  if (gone(editor.FEditingText)) editor.FEditingText = nullptr;
  if (gone(editor.FLastStitch)) editor.FLastStitch = nullptr;
  if (gone(editor.FLastRightClickMousePosItem)) editor.FLastRightClickMousePosItem = nullptr;
  if (gone(editor.FBezierEditInfo.p)) editor.FBezierEditInfo = TBezierEditingInfo{};
  if (gone(editor.FDimensionShape)) editor.FDimensionShape = nullptr;
  if (gone(editor.FTempDistMarkLine)) editor.FTempDistMarkLine = nullptr;
  bool edgeRecord = false;
  for (const auto &rec : editor.FDraggingEdges) edgeRecord = edgeRecord || gone(rec->QNPath);
  if (edgeRecord) {
    editor.FDraggingEdges.clear();
    editor.FIsEdgeDragging = false;
  }
}

int removeDuplicateShapes(std::vector<TQN_Path *> &shapes) {
  std::vector<TQN_Path *> listed;
  findDuplicates(shapes, false, [&](TQN_Path *dup) { listed.push_back(dup); });
  int removed = 0;
  for (TQN_Path *s : listed) {
    const auto it = std::find(shapes.begin(), shapes.end(), s);
    if (it == shapes.end()) continue;
    shapes.erase(it);
    delete s;
    ++removed;
  }
  return removed;
}

void actDeleteDuplicatesExecute(TEditor &editor) {
  const int n = deleteDuplicateShapes(editor, false);
  const QString key = QStringLiteral("duplicates_deleted");
  editor.ui().informationBox(key, editor.tr(key) + QLatin1Char(' ') + QString::number(n));
}

void deleteMandalaMembers(TEditor &editor, int radialRepeatID) {
  TShapeList &doc = *editor.PathList;
  int i = 0;
  while (i < doc.Count()) {
    TQN_Path *s = doc[i];
    if (s->FMandalaID != radialRepeatID) {
      ++i;
      continue;
    }
    freeDocumentShape(editor, s);  // the walk goes on at the same position
  }
}

void clearDocumentShapes(TEditor &editor) {
  TShapeList &doc = *editor.PathList;
  // The records go first, so none is left pointing at a freed shape; and the editor lets
  // go of every document shape it refers to.
  editor.FIntersections.FreeAll();
  if (editor.FEditingText && doc.IndexOf(editor.FEditingText) >= 0) editor.FEditingText = nullptr;
  TQN_Path *const editing = editor.FEditingText;  // a text being typed is not in the document
  forgetShape(editor, nullptr);
  editor.FEditingText = editing;
  editor.FStitchingCount = 0;
  editor.FStitchIntersections.FreeAll();
  // A document read next may reuse group IDs of this one.
  editor.FGroupBoundary.clear();
  doc.clearAll();
  editor.Clicked_Points.clear();
}

void btnClearAllClick(TEditor &editor) {
  const QString key = QStringLiteral("OK2RemoveAll");
  if (!editor.ui().confirmYesNo(key, editor.tr(key))) return;
  clearDocumentShapes(editor);
  takeUndoSnapshot(editor, QStringLiteral("L11717"));
  editor.ui().refreshCanvas();
}

void repairStitchLinks(TEditor &editor) {
  std::vector<TQN_Path *> holes;
  std::unordered_map<int, TQN_Path *> byId;
  for (TQN_Path *s : *editor.PathList) {
    if (!s->isKind(shape_kind::Hole)) continue;
    holes.push_back(s);
    byId[s->ID()] = s;  // of two holes with one ID the later wins
  }
  for (TQN_Path *h : holes) {
    if (h->FPrevStitchID != -1 && !byId.count(h->FPrevStitchID)) h->FPrevStitchID = -1;
    if (h->FNextStitchID != -1 && !byId.count(h->FNextStitchID)) h->FNextStitchID = -1;
  }
  for (TQN_Path *h : holes) {
    if (h->FPrevStitchID == -1) continue;
    TQN_Path *prev = byId.at(h->FPrevStitchID);
    if (prev->FNextStitchID == -1) prev->FNextStitchID = h->ID();
  }
}

TQN_Path *findShapeById(const TShapeList &shapes, int id) {
  for (TQN_Path *s : shapes)
    if (s->ID() == id) return s;
  return nullptr;
}

std::vector<TIntersection *> getIntersectionsAt(const TEditor &editor, TPointF point) {
  std::vector<TIntersection *> found;
  for (TIntersection *ict : editor.FIntersections)
    if (isSamePoint(ict->FPoint, point, 0.0f)) found.push_back(ict);
  return found;
}

int countShapesOnLayer(const TEditor &editor, int layer) {
  return static_cast<int>(std::count_if(editor.PathList->begin(), editor.PathList->end(),
                                        [layer](const TQN_Path *s) { return s->FLayerID == layer; }));
}

int countIntersectionsAtOtherEnd(const TEditor &editor, const TQN_Path &line, TPointF point, bool &atStart) {
  atStart = isSamePoint(line.FStartPt, point, 0.0f);
  const TPointF farEnd = atStart ? line.FEndPt : line.FStartPt;
  return static_cast<int>(getIntersectionsAt(editor, farEnd).size());
}

}  // namespace quillon
