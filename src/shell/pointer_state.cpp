#include "shell/pointer_state.h"

#include "model/intersection.h"

namespace quillon {

void TPointerState::forget(const TQN_Path *shape) {
  const auto gone = [shape](const TQN_Path *field) { return field && (!shape || field == shape); };
  if (gone(FFirstSelection)) FFirstSelection = nullptr;
  if (gone(FLastRightClickMousePosItem)) FLastRightClickMousePosItem = nullptr;
  if (gone(FBezierEditInfo.p)) FBezierEditInfo = TBezierEditingInfo{};
  bool edgeRecord = false;
  // A record goes with its shape, and with the intersection record it holds, which is
  // freed with either of its shapes.
  for (const auto &rec : FDraggingEdges) {
    const TIntersection *ict = rec->FIntersection;
    edgeRecord = edgeRecord || gone(rec->QNPath) || (ict && (gone(ict->FPath1) || gone(ict->FPath2)));
  }
  if (edgeRecord) {
    FDraggingEdges.clear();
    FIsEdgeDragging = false;
  }
}

}  // namespace quillon
