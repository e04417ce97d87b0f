// The document and history routes: a new empty document without asking about the old
// one, and the editor's own Undo and Redo.
#include <string>

#include "automation/mcp_routes.h"
#include "model/shape_list.h"
#include "shell/editor.h"
#include "shell/project_file.h"
#include "shell/undo.h"

namespace quillon {

namespace {

std::string historyReply(TEditor &editor, const char *stepName, bool stepped) {
  return std::string("{\"ok\":true,\"") + stepName + "\":" + (stepped ? "true" : "false") +
         ",\"undoDepth\":" + std::to_string(editor.FUndoStore.FUndoList.size()) +
         ",\"redoDepth\":" + std::to_string(editor.FUndoStore.FRedoList.size()) +
         ",\"shapeCount\":" + std::to_string(editor.doc().PathList().Count()) + "}";
}

}  // namespace

std::string mcpNewDocument(TEditor &editor, const TMcpRequest &) {
  newDocument(editor);
  return R"({"ok":true})";
}

std::string mcpUndo(TEditor &editor, const TMcpRequest &) {
  // The first state is where the history starts; it is never undone.
  const bool undone = editor.FUndoStore.FUndoList.size() > 1;
  if (undone) actUndoExecute(editor);
  return historyReply(editor, "undone", undone);
}

std::string mcpRedo(TEditor &editor, const TMcpRequest &) {
  const bool redone = !editor.FUndoStore.FRedoList.empty();
  if (redone) actRedoExecute(editor);
  return historyReply(editor, "redone", redone);
}

}  // namespace quillon
