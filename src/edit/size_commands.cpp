#include "edit/size_commands.h"

#include "model/shape.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/selection.h"
#include "shell/undo.h"

namespace quillon {

void changeSelectedThickness(TEditor &editor, float delta) {
  const float step = delta > 0.0f ? 0.5f : -0.5f;
  for (TQN_Path *shape : getSelectedPaths(editor, true, true)) {
    const bool inside = step > 0.0f ? shape->FThickness < 20.0f : shape->FThickness > 1.0f;
    if (inside) shape->FThickness += step;
    // Radial-repeat copies follow once radial repeats exist.
  }
  takeUndoSnapshot(editor, QStringLiteral("L29803"));
  editor.ui().refreshCanvas();
}

}  // namespace quillon
