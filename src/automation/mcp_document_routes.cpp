// The document and history routes: a new empty document without asking about the old
// one, and the editor's own Undo and Redo.
#include <string>

#include "automation/mcp_routes.h"
#include "model/shape_list.h"
#include "render/draw_pallet.h"
#include "render/palette_commands.h"
#include "shell/deletion.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/selection.h"
#include "shell/undo.h"
#include "tools/view_commands.h"

namespace quillon {

namespace {

std::string historyReply(TEditor &editor, const char *stepName, bool stepped) {
  return std::string("{\"ok\":true,\"") + stepName + "\":" + (stepped ? "true" : "false") +
         ",\"undoDepth\":" + std::to_string(editor.FUndoStore.FUndoList.size()) +
         ",\"redoDepth\":" + std::to_string(editor.FUndoStore.FRedoList.size()) +
         ",\"shapeCount\":" + std::to_string(editor.PathList->Count()) + "}";
}

}  // namespace

std::string mcpNewDocument(TEditor &editor, const TMcpRequest &) {
  finishTextEditing(editor);
  editor.PathList->Memo.clear();
  resetTextEditor(editor, false);

  clearUndoHistory(editor);
  deselectAll(editor);
  clearDocumentShapes(editor);

  editor.FIsRotationCenterSpecified = false;
  editor.FIsSnapPointManuallySet = false;
  editor.FFilename.clear();

  setAllPalettesVisible(editor, true);
  editor.updateCaption(QString());
  editor.FActiveLayer = 0;

  // The first state of the new history; the id counter runs on from the old document.
  takeUndoSnapshot(editor, QStringLiteral("mcpNewDocument"));
  editor.setDocumentChanged(false);
  actResetViewExecute(editor);
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
