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
#include "model/document.h"
#include "model/shape_list.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/groups.h"
#include "shell/selection.h"
#include "shell/undo.h"

namespace quillon {

namespace {

// The shapes of `items` that duplicate an earlier one, each listed once, in order. Only
// shapes of one kind can be identical, so each shape is compared with the earlier shapes
// of its kind (and, with `sameLayer`, of its layer) only.
template <typename OnDuplicate>
void findDuplicates(const std::vector<TQN_Path *> &items, bool sameLayer, OnDuplicate onDuplicate) {
  std::map<std::pair<int, TShapeKind>, std::vector<TQN_Path *>> earlier;
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
  editor.pointer().FFirstSelection = nullptr;
  TDocument &document = editor.doc();

  std::set<int> repeats;
  for (const TQN_Path *s : document.PathList())
    if (s->FSelected && s->FMandalaID >= 1) repeats.insert(s->FMandalaID);

  std::vector<TQN_Path *> listed;
  for (TQN_Path *s : document.PathList()) {
    if (s->FLayerID != editor.FActiveLayer) continue;
    if (!s->FSelected && !(s->FMandalaID >= 1 && repeats.count(s->FMandalaID))) continue;
    listed.push_back(s);
  }
  if (listed.empty()) {
    editor.ui().refreshCanvas();
    return;
  }

  // The edited text leaves the document but lives on in the text box.
  TQN_Path *typed = editor.tool().FEditingText.get();
  if (typed && std::find(listed.begin(), listed.end(), typed) != listed.end()) {
    std::unique_ptr<TQN_Path> text = document.take(typed);
    editor.tool().FEditingText.adopt(std::move(text));
    listed.erase(std::find(listed.begin(), listed.end(), typed));
  }
  document.remove(listed);
  repairStitchLinks(document.PathList());
  takeUndoSnapshot(editor, QStringLiteral("L16679"));
  editor.ui().refreshCanvas();
}

void actDeleteSelectedShapesExecute(TEditor &editor) {
  deleteSelectedShapes(editor);
  editor.ui().refreshCanvas();
}

int deleteDuplicateShapes(TEditor &editor, bool countOnly) {
  TShapeList &doc = editor.doc().PathList();
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

  editor.doc().remove(listed);
  for (int id : repeatIds) deleteMandalaMembers(editor, id);
  if (result > 0) {
    repairStitchLinks(editor.doc().PathList());
    editor.ui().refreshCanvas();
    takeUndoSnapshot(editor, QStringLiteral("L22548"));
  }
  return result;
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
  std::vector<TQN_Path *> members;
  for (TQN_Path *s : editor.doc().PathList())
    if (s->FMandalaID == radialRepeatID) members.push_back(s);
  editor.doc().remove(members);
}

void clearDocumentShapes(TEditor &editor) {
  // Everyone lets go of the document's shapes; a text being typed outside the document
  // stays the text being typed.
  editor.doc().clear();
  editor.tool().Clicked_Points.clear();
}

void btnClearAllClick(TEditor &editor) {
  const QString key = QStringLiteral("OK2RemoveAll");
  if (!editor.ui().confirmYesNo(key, editor.tr(key))) return;
  clearDocumentShapes(editor);
  takeUndoSnapshot(editor, QStringLiteral("L11717"));
  editor.ui().refreshCanvas();
}

void discardTempDistMarkLine(TEditor &editor) {
  TQN_Path *line = editor.tool().FTempDistMarkLine;
  if (!line) return;  // a document rebuilt since (undo, clearing) let go of it already
  editor.doc().remove(line);
  editor.tool().FTempDistMarkLine = nullptr;
  editor.ui().refreshCanvas();
}

TQN_Path *findShapeById(const TShapeList &shapes, int id) {
  for (TQN_Path *s : shapes)
    if (s->ID() == id) return s;
  return nullptr;
}

std::vector<TIntersection *> getIntersectionsAt(const TEditor &editor, TPointF point) {
  std::vector<TIntersection *> found;
  for (TIntersection *ict : editor.doc().FIntersections)
    if (isSamePoint(ict->FPoint, point, 0.0f)) found.push_back(ict);
  return found;
}

int countShapesOnLayer(const TEditor &editor, int layer) {
  return static_cast<int>(std::count_if(editor.doc().PathList().begin(), editor.doc().PathList().end(),
                                        [layer](const TQN_Path *s) { return s->FLayerID == layer; }));
}

int countIntersectionsAtOtherEnd(const TEditor &editor, const TQN_Path &line, TPointF point, bool &atStart) {
  atStart = isSamePoint(line.FStartPt, point, 0.0f);
  const TPointF farEnd = atStart ? line.FEndPt : line.FStartPt;
  return static_cast<int>(getIntersectionsAt(editor, farEnd).size());
}

}  // namespace quillon
