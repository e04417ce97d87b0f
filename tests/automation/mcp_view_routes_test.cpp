// The view routes and the click route through the server.
#include "automation/mcp_test_util.h"
#include "shell/view_transform.h"

namespace quillon::test {
namespace {

class McpViewTest : public McpServerTest {
 protected:
  void SetUp() override {
    McpServerTest::SetUp();
    editor.view().FBoxWidth = 1000.0f;
    editor.view().FBoxHeight = 800.0f;
    editor.display().FShowGrid = false;
  }
};

TEST_F(McpViewTest, FitWritesUpToThreeDecimals) {
  EXPECT_EQ(ok200("POST", "/viewport/fit"), R"({"ok":true,"scale":10,"offsetX":0,"offsetY":0})");
  addLine({0, 0}, {190, 0});  // grown to 200 x 10 mm: 1000 / 200 = 5
  EXPECT_EQ(ok200("POST", "/viewport/fit"), R"({"ok":true,"scale":5,"offsetX":20,"offsetY":20})");
  EXPECT_FALSE(doc().IsChanged);
}

TEST_F(McpViewTest, SetViewportClampsAndCentres) {
  struct Case {
    const char *body;
    const char *expected;
  } cases[] = {
      // The box middle (500, 400) shows (50, 40) mm at the start view.
      {R"({"scale":0})",
       R"({"ok":true,"scale":0.1000,"offsetX":495.00,"offsetY":396.00,"canvasW":1000,"canvasH":800,"centerX":50.000,"centerY":40.000})"},
      {R"({"scale":500,"centerX":10,"centerY":5})",
       R"({"ok":true,"scale":200.0000,"offsetX":-1500.00,"offsetY":-600.00,"canvasW":1000,"canvasH":800,"centerX":10.000,"centerY":5.000})"},
      // Only one centre member: the current centre stays.
      {R"({"centerX":99})",
       R"({"ok":true,"scale":200.0000,"offsetX":-1500.00,"offsetY":-600.00,"canvasW":1000,"canvasH":800,"centerX":10.000,"centerY":5.000})"},
      // A body that does not parse applies the current view again.
      {"not json",
       R"({"ok":true,"scale":200.0000,"offsetX":-1500.00,"offsetY":-600.00,"canvasW":1000,"canvasH":800,"centerX":10.000,"centerY":5.000})"},
  };
  for (const Case &c : cases) EXPECT_EQ(ok200("POST", "/viewport", c.body), c.expected) << c.body;
  EXPECT_EQ(call("POST", "/viewport", R"({"scale":"big"})").status, 500);
  EXPECT_EQ(ok200("POST", "/viewport", R"({"scale":1e300})"),
            R"({"error":"scale must be a finite number from -100000 to 100000"})");
}

TEST_F(McpViewTest, ClickRunsThePointerHandlers) {
  TQN_Path *line = addLine({10, 10}, {50, 10});
  EXPECT_EQ(ok200("POST", "/click", R"({"x":30,"y":10.3})"),
            "{\"ok\":true,\"screenX\":300.00,\"screenY\":103.00,\"scale\":10.0000,\"selectedCount\":1,"
            "\"selected\":[{\"id\":" + std::to_string(line->ID()) + ",\"type\":\"LINE\",\"groupId\":0}]}");
  EXPECT_TRUE(line->FSelected);
  // Clicking beside it (moved by pixels) deselects in the select tool.
  EXPECT_EQ(ok200("POST", "/click", R"({"x":30,"y":10,"dyPx":200})"),
            R"({"ok":true,"screenX":300.00,"screenY":300.00,"scale":10.0000,"selectedCount":0,"selected":[]})");
  EXPECT_EQ(ok200("POST", "/click", R"({"x":30})"), R"({"error":"x and y are required"})");
  EXPECT_EQ(ok200("POST", "/click", "[]"), R"({"error":"invalid JSON body"})");
  EXPECT_EQ(call("POST", "/click", R"({"x":"a","y":1})").status, 500);
}

TEST_F(McpViewTest, HitTestReportsPickedAndNearestShapes) {
  editor.view().FScale = 20.0f;
  TQN_Path *a = addLine({0, 0}, {100, 0});
  doc().addLayer(1, QStringLiteral("hidden"), false);
  TQN_Path *hidden = addLine({0, 0.2f}, {100, 0.2f}, 1);
  TQN_Path *far = addLine({0, 50}, {100, 50});
  const std::string ida = std::to_string(a->ID()), idh = std::to_string(hidden->ID()),
                    idf = std::to_string(far->ID());
  // 0.5 mm away: inside 11.89 / 20 = 0.5945 mm (click), outside 9.95 / 20 (drag).
  EXPECT_EQ(ok200("POST", "/hit_test", R"({"x":50,"y":0.5})"),
            "{\"ok\":true,\"mode\":\"click\",\"scale\":20.0000,\"probe\":{\"x\":50.0000,\"y\":0.5000,"
            "\"screenX\":1000.00,\"screenY\":10.00},\"dragDecision\":{\"selectedNear\":false,\"selectedNearId\":-1,"
            "\"onEndPoint\":false,\"stickyExists\":false},\"picked\":[{\"id\":" + ida +
            ",\"type\":\"LINE\",\"distMm\":0.5000,\"distPx\":10.00}],\"nearest\":[{\"id\":" + idh +
            ",\"type\":\"LINE\",\"distMm\":0.3000,\"distPx\":6.00},{\"id\":" + ida +
            ",\"type\":\"LINE\",\"distMm\":0.5000,\"distPx\":10.00},{\"id\":" + idf +
            ",\"type\":\"LINE\",\"distMm\":49.5000,\"distPx\":990.00}]}");
  const std::string drag = ok200("POST", "/hit_test", R"({"x":50,"y":0.5,"mode":"DRAG"})");
  EXPECT_NE(drag.find("\"mode\":\"DRAG\""), std::string::npos);
  EXPECT_NE(drag.find("\"picked\":[]"), std::string::npos);
  a->SetSelected(true);
  const std::string sel = ok200("POST", "/hit_test", R"({"x":0,"y":0,"dxPx":4,"mode":3})");
  EXPECT_NE(sel.find("\"mode\":\"3\""), std::string::npos);
  EXPECT_NE(sel.find("\"selectedNear\":true,\"selectedNearId\":" + ida + ",\"onEndPoint\":true"),
            std::string::npos);
  EXPECT_EQ(ok200("POST", "/hit_test", R"({"y":1})"), R"({"error":"x and y are required"})");
}

}  // namespace
}  // namespace quillon::test
