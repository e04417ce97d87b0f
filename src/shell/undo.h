#pragma once
// Whole-document undo and redo. After every completed edit the command calls
// takeUndoSnapshot, which stores a deep copy of the shapes, layers and intersections;
// undo and redo rebuild the document from a stored state. Quick series of small changes
// are coalesced into one snapshot, and composite commands open an undo group.
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/geometry.h"

namespace quillon {

class TEditor;
class TShapeList;
class TIntersections;
class TQN_Path;

// One stored intersection: its point, whether the shapes cross, and its two shapes by
// their position in the stored shape list (and by ID, as the record carried them).
struct TStoredIntersection {
  TPointF Point;
  bool IsCrossing = false;
  int Index1 = -1;
  int Index2 = -1;
  int PathID1 = -1;
  int PathID2 = -1;
};

// One stored document state: copies of the shapes in document order, the layers and the
// intersections. A shape that did not change between two states is one stored copy
// shared by both, so a snapshot of a large drawing allocates only for what changed.
struct TUndoState {
  TUndoState();
  ~TUndoState();
  TUndoState(TUndoState &&) noexcept;
  TUndoState &operator=(TUndoState &&) noexcept;

  std::vector<std::shared_ptr<const TQN_Path>> Shapes;
  int MaxShapeID = -1;  // the highest ID of the shapes; -1 when there are none
  std::unique_ptr<TShapeList> Layers;  // layer order, names and flags; holds no shapes
  bool IsChanged = true;
  std::vector<TStoredIntersection> Intersections;
  std::int64_t Bytes = 0;
};

struct TUndoStore {
  std::vector<TUndoState> FUndoList;  // oldest first; the last is the current state
  std::vector<TUndoState> FRedoList;  // the last is the next to redo
  int FUndoGroupDepth = 0;
  bool FUndoGroupPending = false;
  int FRequireSnapshotRotate = 0;
  int FRequireSnapshotScale = 0;
  int FRequireSnapshotText = 0;
};

// The memory budget of the history, in bytes of the size estimate.
inline constexpr std::int64_t kUndoBudgetBytes = 268435456;

void takeUndoSnapshot(TEditor &editor, const QString &reason);
void undo(TEditor &editor);
void redo(TEditor &editor);
// The undo and redo commands: flush waiting coalesced changes first.
void actUndoExecute(TEditor &editor);
void actRedoExecute(TEditor &editor);

void beginUndoGroup(TEditor &editor);
void endUndoGroup(TEditor &editor);
// Opens an undo group for its lifetime; the group is closed also when the work throws.
class TUndoGroup {
 public:
  explicit TUndoGroup(TEditor &editor) : FEditor(editor) { beginUndoGroup(FEditor); }
  ~TUndoGroup() { endUndoGroup(FEditor); }
  TUndoGroup(const TUndoGroup &) = delete;
  TUndoGroup &operator=(const TUndoGroup &) = delete;

 private:
  TEditor &FEditor;
};

void flushPendingSnapshots(TEditor &editor);
bool hasPendingSnapshots(const TEditor &editor);
void clearRedoHistory(TEditor &editor);
void clearUndoHistory(TEditor &editor);
std::int64_t estimateSnapshotBytes(const TShapeList *shapes, const TIntersections *intersections);
void dropOldestUndo(TEditor &editor);
void trimUndoHistory(TEditor &editor);
double selectionFingerprint(const TEditor &editor);
QString pendingChangesText(const TEditor &editor);
bool canUndo(const TEditor &editor);
bool canRedo(const TEditor &editor);

// Rounds a LINE's ends to 0.0001 mm (halves away from zero), puts its centre on the
// rounded midpoint and rebuilds its outline, keeping its free-angle flag. Other kinds are
// left as they are.
void roundLineEnds(TQN_Path &shape);

}  // namespace quillon
