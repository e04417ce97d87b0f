#include "shell/undo.h"

#include <QStringList>

#include <algorithm>
#include <optional>
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

// The copies of a stored state by shape ID (the first copy of an ID counts), as positions
// in the state: an open-addressed table, made only when a shape is not found where it was.
class TCopiesById {
 public:
  explicit TCopiesById(const std::vector<std::shared_ptr<const TQN_Path>> &copies) {
    std::size_t size = 16;
    while (size < 2 * copies.size()) size *= 2;
    FSlots.assign(size, Slot{0, -1});
    for (std::size_t i = 0; i < copies.size(); ++i) {
      Slot &slot = FSlots[find(copies[i]->ID())];
      if (slot.Position < 0) slot = {copies[i]->ID(), static_cast<int>(i)};
    }
  }
  // The position of the first copy with the ID, or -1.
  int of(int id) const { return FSlots[find(id)].Position; }

 private:
  struct Slot {
    int ID;
    int Position;
  };
  std::size_t find(int id) const {
    const std::size_t mask = FSlots.size() - 1;
    std::size_t at = static_cast<std::size_t>(static_cast<std::uint32_t>(id) * 0x9E3779B1u) & mask;
    while (FSlots[at].Position >= 0 && FSlots[at].ID != id) at = (at + 1) & mask;
    return at;
  }
  std::vector<Slot> FSlots;
};

// Starts loading a shape's object into the cache ahead of its comparison.
void prefetchShape(const TQN_Path *shape) {
  const char *at = reinterpret_cast<const char *>(shape);
  for (std::size_t offset = 0; offset < sizeof(TQN_Path); offset += 64) __builtin_prefetch(at + offset);
}

// Copies the document (shapes with their layers, and the intersections by shape
// position) into a new stored state. Shapes equal to their copy in the previous state
// share that copy.
TUndoState storeDocument(TEditor &editor) {
  TShapeList &doc = editor.doc().PathList();
  TUndoState state;
  state.Layers = std::make_unique<TShapeList>(editor.FMultiLang.get(), editor.FLangID);
  state.Layers->copyLayersFrom(doc);

  const TUndoState *previous = editor.FUndoStore.FUndoList.empty() ? nullptr : &editor.FUndoStore.FUndoList.back();
  const int previousCount = previous ? static_cast<int>(previous->Shapes.size()) : 0;
  const auto previousAt = [&](int position) { return previous->Shapes[static_cast<std::size_t>(position)]; };
  // Shapes added or taken out before a shape move its previous copy by as many places:
  // the last such move is tried first.
  int shift = 0;
  std::optional<TCopiesById> byId;
  const auto reuse = [&](const TQN_Path &live, int index) -> std::shared_ptr<const TQN_Path> {
    const int guess = index + shift;
    if (guess >= 0 && guess < previousCount) {
      const TQN_Path &copy = *previous->Shapes[static_cast<std::size_t>(guess)];
      if (copy.sameContent(live)) return previousAt(guess);
      // Its own previous copy, changed: no other copy is looked for.
      if (copy.ID() == live.ID()) return nullptr;
    }
    // A shape with an ID above every ID of the previous state is new.
    if (previousCount == 0 || live.ID() > previous->MaxShapeID) return nullptr;
    if (!byId) byId.emplace(previous->Shapes);
    const int found = byId->of(live.ID());
    if (found < 0 || !previous->Shapes[static_cast<std::size_t>(found)]->sameContent(live)) return nullptr;
    shift = found - index;
    return previousAt(found);
  };

  constexpr int kAhead = 4;  // how many shapes ahead their objects are fetched
  const int count = doc.Count();
  state.Shapes.reserve(static_cast<std::size_t>(count));
  std::int64_t shapeBytes = 0;
  for (int i = 0; i < count; ++i) {
    if (i + kAhead < count) {
      prefetchShape(doc[i + kAhead]);
      const int ahead = i + kAhead + shift;
      if (ahead >= 0 && ahead < previousCount) prefetchShape(previous->Shapes[static_cast<std::size_t>(ahead)].get());
    }
    TQN_Path *live = doc[i];
    roundLineEnds(*live);
    std::shared_ptr<const TQN_Path> stored = reuse(*live, i);
    if (!stored) stored.reset(live->createCopy());
    state.MaxShapeID = std::max(state.MaxShapeID, live->ID());
    shapeBytes += 536 + 16 * static_cast<std::int64_t>(live->Data().Count());
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
  state.Bytes = shapeBytes + storedIntersectionBytes(state);
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
