#include "shell/undo.h"

#include <QStringList>

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "model/intersection.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "platform/date_time.h"
#include "platform/number_text.h"
#include "shell/editor.h"
#include "shell/layer_list.h"
#include "shell/editor_ui.h"
#include "shell/groups.h"
#include "shell/options.h"
#include "shell/selection.h"

namespace quillon {

TUndoState::TUndoState() = default;
TUndoState::~TUndoState() = default;
TUndoState::TUndoState(TUndoState &&) noexcept = default;
TUndoState &TUndoState::operator=(TUndoState &&) noexcept = default;

void roundLineEnds(TQN_Path &shape) {
  if (!shape.isKind(TShapeKind::Line)) return;
  const bool freeAngle = shape.FIsFreeAngle;
  const TPointF st = roundPoint4(shape.FStartPt);
  const TPointF ep = roundPoint4(shape.FEndPt);
  const TPointF mid{(st.X + ep.X) / 2.0f, (st.Y + ep.Y) / 2.0f};
  // A line already in that form is left alone, so its cached boundary stays valid.
  const TPathData &d = shape.Data();
  if (st.exactlyEquals(shape.FStartPt) && ep.exactlyEquals(shape.FEndPt) && mid.exactlyEquals(shape.FCenter) &&
      d.Count() == 2 && d[0].Kind == TPathPointKind::MoveTo && d[0].Point.exactlyEquals(st) &&
      d[1].Kind == TPathPointKind::LineTo && d[1].Point.exactlyEquals(ep))
    return;
  shape.drawLinePath(st, ep);
  shape.FCenter = mid;
  shape.FIsFreeAngle = freeAngle;
}

std::int64_t estimateSnapshotBytes(const TShapeList *shapes, const TIntersections *intersections) {
  std::int64_t bytes = 0;
  if (shapes)
    for (const TQN_Path *s : *shapes) bytes += 536 + 16 * static_cast<std::int64_t>(s->Data().Count());
  if (intersections) bytes += 72 * static_cast<std::int64_t>(intersections->Count());
  return bytes;
}

namespace {

std::int64_t storedIntersectionBytes(const TUndoState &state) {
  return 72 * static_cast<std::int64_t>(state.Intersections.size());
}

std::int64_t storedShapeBytes(const TUndoState &state) {
  std::int64_t bytes = 0;
  for (const auto &s : state.Shapes) bytes += 536 + 16 * static_cast<std::int64_t>(s->Data().Count());
  return bytes;
}

// The positions in the document of the shapes the records name, by address, for the
// records' look-ups (several per record, hundreds of thousands in a drawing of dense
// crossings): an open-addressed table of just those shapes, kept small so that a snapshot
// of a large drawing with few records does not fill a table of every shape.
class TShapePositions {
 public:
  TShapePositions(const TShapeList &shapes, const TIntersections &records) {
    FSlots.assign(16, {nullptr, -1});
    for (const TIntersection *ict : records) {
      add(ict->FPath1);
      add(ict->FPath2);
    }
    if (FUsed == 0) return;
    for (int i = 0; i < shapes.Count(); ++i) {
      Slot &slot = FSlots[find(shapes[i])];
      if (slot.Shape != nullptr && slot.Position < 0) slot.Position = i;  // the first position of a shape counts
    }
  }

  // The shape's position, or -1 when it is not in the document.
  int of(const TQN_Path *shape) const {
    if (shape == nullptr) return -1;
    return FSlots[find(shape)].Position;
  }

 private:
  struct Slot {
    const TQN_Path *Shape;
    int Position;
  };
  std::size_t slotOf(const TQN_Path *shape) const {
    const auto h = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(shape)) * 0x9E3779B97F4A7C15ull;
    return static_cast<std::size_t>(h >> 20) & (FSlots.size() - 1);
  }
  // The slot that holds the shape, or the empty slot where it would go.
  std::size_t find(const TQN_Path *shape) const {
    std::size_t at = slotOf(shape);
    while (FSlots[at].Shape != nullptr && FSlots[at].Shape != shape) at = (at + 1) & (FSlots.size() - 1);
    return at;
  }
  void add(const TQN_Path *shape) {
    if (shape == nullptr) return;
    const std::size_t at = find(shape);
    if (FSlots[at].Shape != nullptr) return;
    FSlots[at] = {shape, -1};
    if (2 * ++FUsed <= FSlots.size()) return;
    std::vector<Slot> old(2 * FSlots.size(), Slot{nullptr, -1});  // kept at most half full
    old.swap(FSlots);
    for (const Slot &slot : old)
      if (slot.Shape != nullptr) FSlots[find(slot.Shape)] = slot;
  }
  std::vector<Slot> FSlots;
  std::size_t FUsed = 0;
};

// Copies the document (shapes with their layers, and the intersections by shape
// position) into a new stored state. Shapes equal to their copy in the previous state
// share that copy.
TUndoState storeDocument(TEditor &editor) {
  TShapeList &doc = editor.doc().PathList();
  TUndoState state;
  state.Layers = std::make_unique<TShapeList>(editor.FMultiLang.get(), editor.FLangID);
  state.Layers->copyLayersFrom(doc);

  const TUndoState *previous = editor.FUndoStore.FUndoList.empty() ? nullptr : &editor.FUndoStore.FUndoList.back();
  // The previous copies by ID, made only when a shape is not where it was.
  std::unordered_map<int, const std::shared_ptr<const TQN_Path> *> previousById;
  bool byIdMade = false;
  const auto reuse = [&](const TQN_Path &live, int index) -> std::shared_ptr<const TQN_Path> {
    if (!previous) return nullptr;
    if (index < static_cast<int>(previous->Shapes.size()) &&
        previous->Shapes[static_cast<std::size_t>(index)]->sameContent(live))
      return previous->Shapes[static_cast<std::size_t>(index)];
    if (!byIdMade) {
      previousById.reserve(previous->Shapes.size());
      for (const auto &p : previous->Shapes) previousById.emplace(p->ID(), &p);
      byIdMade = true;
    }
    const auto it = previousById.find(live.ID());
    if (it != previousById.end() && (*it->second)->sameContent(live)) return *it->second;
    return nullptr;
  };

  state.Shapes.reserve(static_cast<std::size_t>(doc.Count()));
  for (int i = 0; i < doc.Count(); ++i) {
    TQN_Path *live = doc[i];
    roundLineEnds(*live);
    std::shared_ptr<const TQN_Path> stored = reuse(*live, i);
    if (!stored) stored.reset(live->createCopy());
    state.Shapes.push_back(std::move(stored));
  }
  const TShapePositions position(doc, editor.doc().FIntersections);
  state.IsChanged = true;

  state.Intersections.reserve(static_cast<std::size_t>(editor.doc().FIntersections.Count()));
  for (const TIntersection *ict : editor.doc().FIntersections) {
    TStoredIntersection stored;
    stored.Point = ict->FPoint;
    stored.IsCrossing = ict->FIsCrossing;
    stored.Index1 = position.of(ict->FPath1);
    stored.Index2 = position.of(ict->FPath2);
    stored.PathID1 = ict->FPath1 ? ict->FPath1->ID() : -1;
    stored.PathID2 = ict->FPath2 ? ict->FPath2->ID() : -1;
    state.Intersections.push_back(stored);
  }
  state.Bytes = storedShapeBytes(state) + storedIntersectionBytes(state);
  return state;
}

// Rebuilds the document from a stored state. The print pages and the memo are the
// document's own and are kept (the states do not hold them).
void restoreDocument(TEditor &editor, const TUndoState &state, bool keepSelection) {
  TShapeList &doc = editor.doc().PathList();
  const QString memo = doc.Memo;
  const std::vector<TPointF> offsets = doc.PrintOffset();
  const std::vector<bool> targets = doc.PrintTarget();
  const std::vector<int> scalePos = doc.PrintScalePos();

  editor.doc().clear();
  doc.IsChanged = state.IsChanged;
  doc.copyLayersFrom(*state.Layers);
  doc.Memo = memo;
  doc.PrintOffset() = offsets;
  doc.PrintTarget() = targets;
  doc.PrintScalePos() = scalePos;

  for (const auto &stored : state.Shapes) {
    std::unique_ptr<TQN_Path> copy(stored->createCopy());
    if (!keepSelection) copy->SetSelected(false);
    editor.doc().add(std::move(copy), stored->FLayerID);
  }

  // Records are linked again by the position of their shapes in the state, so copies
  // that share an ID (radial repeats) find the right shape; a record whose shape cannot
  // be found is dropped rather than left with an empty side.
  std::vector<TIntersection *> records;
  records.reserve(state.Intersections.size());
  for (const TStoredIntersection &stored : state.Intersections) {
    if (stored.Index1 < 0 || stored.Index2 < 0 || stored.Index1 >= doc.Count() || stored.Index2 >= doc.Count())
      continue;
    auto *ict = new TIntersection(stored.Point, doc[stored.Index1], doc[stored.Index2]);
    ict->FIsCrossing = stored.IsCrossing;
    records.push_back(ict);
  }
  editor.doc().FIntersections.AddEach(records);
  doc.countNumOfAlwaysShowStitchSimulator();
}

// What undo and redo end before the document is rebuilt (the document itself tells
// everyone who points at its shapes that they go).
void leaveTransientEditing(TEditor &editor) {
  if (editor.tool().FEditingText) finishTextEditing(editor);
  // Typing ends: a text taken out of the document while it was typed goes too.
  editor.tool().FEditingText.reset();
}

}  // namespace

void takeUndoSnapshot(TEditor &editor, const QString &reason) {
  Q_UNUSED(reason);  // the reason tags only name the caller for tracing
  TUndoStore &store = editor.FUndoStore;
  if (store.FUndoGroupDepth > 0) {
    store.FUndoGroupPending = true;
    return;
  }
  store.FRequireSnapshotRotate = 0;
  store.FRequireSnapshotScale = 0;
  store.FRequireSnapshotText = 0;

  editor.doc().PathList().LastOperatedTime = dateTimeNow();
  editor.setDocumentChanged(true);

  store.FUndoList.push_back(storeDocument(editor));
  clearRedoHistory(editor);
  trimUndoHistory(editor);
  refreshDrawingCheckOrCanvas(editor);
}

void undo(TEditor &editor) {
  flushPendingSnapshots(editor);
  TUndoStore &store = editor.FUndoStore;
  if (store.FUndoList.size() < 2) return;
  leaveTransientEditing(editor);
  editor.tool().Clicked_Points.clear();

  store.FRedoList.push_back(std::move(store.FUndoList.back()));
  store.FUndoList.pop_back();
  restoreDocument(editor, store.FUndoList.back(), false);
  rebuildLayerList(editor);
  editor.pointer().FFirstSelection = nullptr;
  refreshDrawingCheckOrCanvas(editor);
}

void redo(TEditor &editor) {
  TUndoStore &store = editor.FUndoStore;
  if (store.FRedoList.empty()) return;
  leaveTransientEditing(editor);

  store.FUndoList.push_back(std::move(store.FRedoList.back()));
  store.FRedoList.pop_back();
  restoreDocument(editor, store.FUndoList.back(), true);
  rebuildLayerList(editor);
  editor.pointer().FFirstSelection = nullptr;
  refreshDrawingCheckOrCanvas(editor);
}

void actUndoExecute(TEditor &editor) {
  flushPendingSnapshots(editor);
  undo(editor);
  editor.doc().PathList().LastOperatedTime = dateTimeNow();
}

void actRedoExecute(TEditor &editor) {
  flushPendingSnapshots(editor);
  redo(editor);
  editor.doc().PathList().LastOperatedTime = dateTimeNow();
}

void beginUndoGroup(TEditor &editor) { ++editor.FUndoStore.FUndoGroupDepth; }

void endUndoGroup(TEditor &editor) {
  TUndoStore &store = editor.FUndoStore;
  if (store.FUndoGroupDepth > 0) --store.FUndoGroupDepth;
  if (store.FUndoGroupDepth == 0 && store.FUndoGroupPending) {
    store.FUndoGroupPending = false;
    takeUndoSnapshot(editor, QStringLiteral("group"));
  }
}

bool hasPendingSnapshots(const TEditor &editor) {
  const TUndoStore &store = editor.FUndoStore;
  return store.FRequireSnapshotRotate != 0 || store.FRequireSnapshotScale != 0 || store.FRequireSnapshotText != 0;
}

void flushPendingSnapshots(TEditor &editor) {
  if (hasPendingSnapshots(editor)) takeUndoSnapshot(editor, QStringLiteral("flush"));
}

void clearRedoHistory(TEditor &editor) { editor.FUndoStore.FRedoList.clear(); }
void clearUndoHistory(TEditor &editor) { editor.FUndoStore.FUndoList.clear(); }

void dropOldestUndo(TEditor &editor) {
  auto &list = editor.FUndoStore.FUndoList;
  if (!list.empty()) list.erase(list.begin());
}

void trimUndoHistory(TEditor &editor) {
  if (!editor.FOptions->TrimUndoHistory) return;
  const std::size_t keep = static_cast<std::size_t>(std::max(editor.FOptions->GuaranteedUndoSteps + 1, 2));
  auto &undoList = editor.FUndoStore.FUndoList;
  std::int64_t total = 0;
  for (const TUndoState &s : undoList) total += s.Bytes;
  for (const TUndoState &s : editor.FUndoStore.FRedoList) total += s.Bytes;
  std::size_t drop = 0;
  while (total > kUndoBudgetBytes && undoList.size() - drop > keep) {
    total -= undoList[drop].Bytes;
    ++drop;
  }
  if (drop > 0) undoList.erase(undoList.begin(), undoList.begin() + static_cast<std::ptrdiff_t>(drop));
}

double selectionFingerprint(const TEditor &editor) {
  double sum = 0.0;
  for (const TQN_Path *s : editor.doc().PathList()) {
    if (!s->FSelected) continue;
    sum += double(s->FStartPt.X) + s->FStartPt.Y + s->FEndPt.X + s->FEndPt.Y + s->FCenter.X + s->FCenter.Y;
  }
  return sum;
}

QString pendingChangesText(const TEditor &editor) {
  const TUndoStore &store = editor.FUndoStore;
  QStringList parts;
  if (store.FRequireSnapshotRotate != 0) parts << QStringLiteral("Rotate: %1").arg(store.FRequireSnapshotRotate);
  if (store.FRequireSnapshotScale != 0) parts << QStringLiteral("Scale: %1").arg(store.FRequireSnapshotScale);
  if (store.FRequireSnapshotText != 0) parts << QStringLiteral("Text: %1").arg(store.FRequireSnapshotText);
  return parts.join(QStringLiteral("; "));
}

bool canUndo(const TEditor &editor) {
  return editor.FUndoStore.FUndoList.size() >= 2 || hasPendingSnapshots(editor);
}

bool canRedo(const TEditor &editor) { return !editor.FUndoStore.FRedoList.empty(); }

}  // namespace quillon
