// The document and history routes through the server: a new empty document, and undo and
// redo with the depths of both stores.
#include "automation/mcp_test_util.h"
#include "shell/undo.h"

namespace quillon::test {
namespace {

using McpDocumentTest = McpServerTest;

constexpr const char *kLine = R"({"x1":0,"y1":0,"x2":10,"y2":0})";

TEST_F(McpDocumentTest, NewDocumentStartsAFreshHistoryAndKeepsTheIdCounter) {
  doc().addLayer(1, QStringLiteral("second"), true);
  addLine({0, 0}, {10, 0}, 1);
  doc().Memo = QStringLiteral("notes");
  editor.FActiveLayer = 1;
  editor.FFilename = QStringLiteral("/tmp/old.qnd");
  editor.pen().FPalletList[5]->FIsVisible = false;
  for (auto &pallet : editor.pen().FPalletList) pallet->FIsSelected = false;
  editor.pen().FPalletList[7]->FIsSelected = true;
  ok200("POST", "/shapes/line", kLine);
  editor.view().FScale = 3.5f;
  editor.view().FOffset = {40, -12};
  const int lastId = doc().LastID;

  EXPECT_EQ(ok200("POST", "/doc/new", "ignored body"), R"({"ok":true})");
  EXPECT_EQ(doc().Count(), 0);
  EXPECT_EQ(doc().Layers().size(), 1u);
  EXPECT_EQ(doc().Memo, QString());
  EXPECT_EQ(editor.FActiveLayer, 0);
  EXPECT_TRUE(editor.FFilename.isEmpty());
  EXPECT_EQ(ui.caption, QStringLiteral("Quillon ver3.7.9"));
  EXPECT_TRUE(editor.pen().FPalletList[5]->FIsVisible);
  EXPECT_TRUE(editor.pen().FPalletList[0]->FIsSelected);
  EXPECT_FALSE(editor.pen().FPalletList[7]->FIsSelected);
  EXPECT_EQ(editor.pen().FCurrentColor, editor.pen().FPalletList[0]->Color());
  EXPECT_FALSE(doc().IsChanged);
  EXPECT_EQ(undoStates(), 1u);
  EXPECT_TRUE(editor.FUndoStore.FRedoList.empty());
  // View All of an empty drawing.
  EXPECT_EQ(editor.view().FScale, 10.0f);
  EXPECT_TRUE(editor.view().FOffset.exactlyEquals({0, 0}));

  // Undo has nothing to step back to; the next shape continues the old numbering.
  EXPECT_EQ(ok200("POST", "/undo"), R"({"ok":true,"undone":false,"undoDepth":1,"redoDepth":0,"shapeCount":0})");
  EXPECT_EQ(ok200("POST", "/shapes/line", kLine), "{\"ok\":true,\"id\":" + std::to_string(lastId + 1) + "}");
}

TEST_F(McpDocumentTest, UndoAndRedoReportBothDepths) {
  ok200("POST", "/doc/new");
  EXPECT_EQ(ok200("POST", "/redo"), R"({"ok":true,"redone":false,"undoDepth":1,"redoDepth":0,"shapeCount":0})");
  ok200("POST", "/shapes/line", kLine);
  ok200("POST", "/shapes/line", kLine);
  EXPECT_EQ(ok200("POST", "/undo"), R"({"ok":true,"undone":true,"undoDepth":2,"redoDepth":1,"shapeCount":1})");
  EXPECT_EQ(ok200("POST", "/undo"), R"({"ok":true,"undone":true,"undoDepth":1,"redoDepth":2,"shapeCount":0})");
  EXPECT_EQ(ok200("POST", "/undo"), R"({"ok":true,"undone":false,"undoDepth":1,"redoDepth":2,"shapeCount":0})");
  EXPECT_EQ(ok200("POST", "/redo"), R"({"ok":true,"redone":true,"undoDepth":2,"redoDepth":1,"shapeCount":1})");
  EXPECT_EQ(ok200("POST", "/REDO"), R"({"ok":true,"redone":true,"undoDepth":3,"redoDepth":0,"shapeCount":2})");
  EXPECT_EQ(ok200("POST", "/redo"), R"({"ok":true,"redone":false,"undoDepth":3,"redoDepth":0,"shapeCount":2})");
}

}  // namespace
}  // namespace quillon::test
