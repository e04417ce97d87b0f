#include "tools/command_hooks.h"

#include "edit/drawing_check.h"
#include "edit/regularize.h"
#include "shell/editor.h"
#include "tools/tool_change.h"

namespace quillon {

void installCommandHooks(TEditor &editor) {
  editor.FCommandHooks.SwitchToSelectTool = [](TEditor &e) { switchToSelectTool(e); };
  editor.FCommandHooks.RefreshDrawingCheck = [](TEditor &e) { refreshDrawingCheck(e); };
  editor.FCommandHooks.DocumentOpened = [](TEditor &e) {
    resyncBezierEnds(e);
    refreshDrawingCheck(e);
  };
  editor.FCommandHooks.RegularizeAllShapes = [](TEditor &e) { regularizeAllShapes(e); };
}

}  // namespace quillon
