#pragma once
// The steps the editor core reaches through its command hooks (TCommandHooks).
namespace quillon {

class TEditor;

// Fills the editor's command hooks with the tools' routines. Call once after building an
// editor, before the user or a test works with it.
void installCommandHooks(TEditor &editor);

}  // namespace quillon
