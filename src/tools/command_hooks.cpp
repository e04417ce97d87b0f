#include "tools/command_hooks.h"

#include "shell/editor.h"
#include "tools/tool_change.h"

namespace quillon {

void installCommandHooks(TEditor &editor) {
  editor.FCommandHooks.SwitchToSelectTool = [](TEditor &e) { switchToSelectTool(e); };
}

}  // namespace quillon
