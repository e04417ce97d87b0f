#include "shell/tool_state.h"

#include "model/shape.h"

namespace quillon {

void TTextEntry::beginNew(std::unique_ptr<TQN_Path> shape) {
  FOwned = std::move(shape);
  FShape = FOwned.get();
}

void TTextEntry::adopt(std::unique_ptr<TQN_Path> shape) { beginNew(std::move(shape)); }

std::unique_ptr<TQN_Path> TTextEntry::release() { return std::move(FOwned); }

void TTextEntry::reset() {
  FShape = nullptr;
  FOwned.reset();
}

TToolState::TToolState() = default;
TToolState::~TToolState() = default;

void TToolState::forget(const TQN_Path *shape) {
  const auto gone = [shape](const TQN_Path *field) { return field && (!shape || field == shape); };
  if (gone(FDimensionShape)) FDimensionShape = nullptr;
  if (gone(FTempDistMarkLine)) FTempDistMarkLine = nullptr;
  if (gone(FLastStitch)) FLastStitch = nullptr;
  if (gone(FSkippedStartStitch)) FSkippedStartStitch = nullptr;
  // The document tells of its own shapes only: a text outside it is not one of them.
  if (gone(FEditingText.get()) && !FEditingText.isOutsideDocument()) FEditingText.reset();
}

}  // namespace quillon
