// The drawing-check routes through the server: the warning list, the repair of one shape
// and the whole-drawing regularisation, with their refusals.
#include "automation/mcp_test_util.h"
#include "platform/json_text.h"
#include "shell/undo.h"
#include "shell/options.h"

namespace quillon::test {
namespace {

class McpLintTest : public McpServerTest {
 protected:
  McpLintTest() { takeUndoSnapshot(editor, QStringLiteral("test")); }
};

TEST_F(McpLintTest, LintListsTheWarningsEvenWithTheOptionOff) {
  addLine({0, 0}, {10, 0});
  addLine({10.2f, 0}, {10.2f, 10});
  editor.FOptions->ShowLintWarnings = false;
  const std::string body = ok200("GET", "/lint");
  EXPECT_EQ(body, R"j({"ok":true,"count":1,"warnings":[{"kind":"gap","x":10.1000003814697,"y":0.0,)j"
                  R"j("info":"Gap 0.2000 mm  endpoints (10.00000, 0.00000)\/(10.20000, 0.00000)"}]})j");
  EXPECT_EQ(editor.lint().FLintWarnings.size(), 1u);
  editor.doc().clear();
  EXPECT_EQ(ok200("GET", "/lint"), R"({"ok":true,"count":0,"warnings":[]})");
}

TEST_F(McpLintTest, ResolveShapeRepairsOneShapeOrRefuses) {
  addLine({0, 0}, {10, 0});
  TQN_Path *b = addLine({10.1f, 0}, {10.1f, 10});
  const std::size_t states = undoStates();
  const std::string id = std::to_string(b->ID());
  EXPECT_EQ(ok200("POST", "/resolve_shape", R"({"shapeId":)" + id + "}"), R"({"ok":true,"id":)" + id + "}");
  EXPECT_TRUE(b->FStartPt.exactlyEquals({10, 0}));
  EXPECT_EQ(undoStates(), states + 1);
  // Nothing left to repair: still "ok", no undo step.
  EXPECT_EQ(ok200("POST", "/resolve_shape", R"({"shapeId":)" + id + "}"), R"({"ok":true,"id":)" + id + "}");
  EXPECT_EQ(undoStates(), states + 1);

  EXPECT_EQ(ok200("POST", "/resolve_shape", "[1]"), R"({"error":"invalid JSON body"})");
  EXPECT_EQ(ok200("POST", "/resolve_shape", "{}"), R"({"error":"shapeId is required"})");
  EXPECT_EQ(ok200("POST", "/resolve_shape", R"({"shapeId":999})"), R"({"error":"shape not found","id":999})");
  EXPECT_EQ(call("POST", "/resolve_shape", R"({"shapeId":"7"})").status, 500);
  EXPECT_EQ(undoStates(), states + 1);
}

TEST_F(McpLintTest, RegularizeReportsItsAdjustments) {
  EXPECT_EQ(ok200("POST", "/regularize", "ignored"), R"({"ok":true,"adjusted":0})");
  addLine({0, 0}, {10, 10});
  addLine({10.005f, 10}, {30, 40});
  const std::size_t states = undoStates();
  EXPECT_EQ(ok200("POST", "/regularize"), R"({"ok":true,"adjusted":2})");
  EXPECT_EQ(undoStates(), states + 1);
  EXPECT_EQ(ui.statusTexts.back(), QStringLiteral("Regularized the whole drawing (2 line edits in 2 iterations)."));
}

}  // namespace
}  // namespace quillon::test
