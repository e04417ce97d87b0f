// The automation server as a client sees it: the index, the route table's matching and
// its 404 reply, who may call (Host and Origin), CORS, the body limit, the busy refusal,
// shutdown with a request waiting, and the start-up switch.
#include <QDir>
#include <QFile>

#include <thread>
#include <vector>

#include "automation/mcp_request.h"
#include "automation/mcp_test_util.h"
#include "support/test_env.h"

namespace quillon::test {
namespace {

constexpr const char *kIndex =
    R"idx({"name":"Quillon MCP","phase":1,"endpoints":["GET /paths","GET /intersections","POST /ruler","GET /doc",)idx"
    R"idx("GET /shapes/{id}","POST /shapes/line","POST /shapes/circle","POST /shapes/arc","POST /shapes/bezier",)idx"
    R"idx("PUT /shapes/{id}","POST /shapes/stitch_hole","POST /stitch/along_path","POST /shapes/chamfer",)idx"
    R"idx("POST /shapes/offset","POST /shapes/offset/smart","POST /shapes/smooth_chain","POST /stitch/loop",)idx"
    R"idx("POST /doc/new","POST /viewport/fit","POST /viewport","POST /hit_test","POST /click","POST /regularize",)idx"
    R"idx("POST /fix_stitch_order","GET /stitch_hosts","POST /thread","GET /threads","POST /resolve_shape",)idx"
    R"idx("POST /split_at_intersection","GET /lint","POST /mirror","POST /center_line","POST /distance_marking",)idx"
    R"idx("DELETE /shapes/{id}","DELETE /shapes (body:{ids:[...]} for bulk, no body = clear all)"]})idx";

constexpr const char *kLine = R"({"x1":1,"y1":2,"x2":11,"y2":2})";

TEST_F(McpServerTest, IndexIsTheFixedTextAsJsonWithoutCorsHeaders) {
  const TMcpResponse r = call("GET", "/");
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.body, kIndex);
  EXPECT_EQ(r.header("Content-Type"), "application/json; charset=utf-8");
  EXPECT_FALSE(r.hasHeader("Access-Control-Allow-Origin"));
  // A body sent along is ignored.
  EXPECT_EQ(call("GET", "/", "{garbage").body, kIndex);
}

TEST_F(McpServerTest, UnmatchedRequestsAnswer404WithMethodAndDecodedPath) {
  struct Case {
    const char *method;
    const char *path;
    const char *expected;
  };
  const Case cases[] = {
      {"GET", "/nothing", R"({"error":"unknown endpoint","method":"GET","path":"/nothing"})"},
      // The prefix rows of GET and DELETE need an id after "/shapes/".
      {"GET", "/shapes/", R"({"error":"unknown endpoint","method":"GET","path":"/shapes/"})"},
      {"DELETE", "/shapes/", R"({"error":"unknown endpoint","method":"DELETE","path":"/shapes/"})"},
      // The prefix is compared with its letter case; exact paths are not.
      {"PUT", "/Shapes/5", R"({"error":"unknown endpoint","method":"PUT","path":"/Shapes/5"})"},
      // A trailing slash is another path.
      {"GET", "/paths/", R"({"error":"unknown endpoint","method":"GET","path":"/paths/"})"},
      // Method and path must match together.
      {"POST", "/paths", R"({"error":"unknown endpoint","method":"POST","path":"/paths"})"},
      // Decoded, then written as JSON string content.
      {"GET", "/a%22b%5Cc", R"({"error":"unknown endpoint","method":"GET","path":"/a\"b\\c"})"},
      {"GET", "/x%0Ay", R"({"error":"unknown endpoint","method":"GET","path":"/x\u000Ay"})"},
      {"GET", "/caf%C3%A9", "{\"error\":\"unknown endpoint\",\"method\":\"GET\",\"path\":\"/caf\xC3\xA9\"}"},
      // Exact paths only.
      {"POST", "/viewport/fit/", R"({"error":"unknown endpoint","method":"POST","path":"/viewport/fit/"})"},
  };
  for (const Case &c : cases) {
    const TMcpResponse r = call(c.method, c.path, c.method == std::string("GET") ? "" : "{}");
    EXPECT_EQ(r.status, 404) << c.method << " " << c.path;
    EXPECT_EQ(r.body, c.expected) << c.method << " " << c.path;
  }
}

TEST_F(McpServerTest, ExactPathsIgnoreLetterCaseAndQueriesAreIgnored) {
  EXPECT_EQ(ok200("GET", "/PATHS"), R"({"paths":[],"count":0})");
  EXPECT_EQ(ok200("DELETE", "/SHAPES"), R"({"ok":true,"deletedCount":0,"notFoundIds":[]})");
  addLine({0, 0}, {1, 0});
  const int id = doc()[0]->ID();
  // The id is the text after the last "/", without the query.
  const std::string byQuery = ok200("GET", "/shapes/" + std::to_string(id) + "?x=1");
  const std::string byTail = ok200("GET", "/shapes/abc/" + std::to_string(id));
  EXPECT_EQ(byQuery.rfind("{\"id\":" + std::to_string(id) + ",", 0), 0u) << byQuery;
  EXPECT_EQ(byQuery, byTail);
}

// Host and Origin: only this server by its own name, only loopback pages; refused
// requests never reach the editor.
TEST_F(McpServerTest, ForeignHostsAndOriginsAreRefused) {
  const std::string p = ":" + std::to_string(port);
  struct Case {
    std::string host;    // empty: the client's own (127.0.0.1:port)
    std::string origin;  // empty: none sent
    int status;
  };
  const Case cases[] = {
      {"evil.example" + p, "", 403},
      {"127.0.0.1:1", "", 403},
      {"127.0.0.1", "", 403},
      {"localhost" + p, "", 200},
      {"LocalHost" + p, "", 200},
      {"", "http://evil.example", 403},
      {"", "null", 403},
      {"", "https://127.0.0.1", 403},
      {"", "http://127.0.0.1.evil.example", 403},
      {"", "http://localhost:99999", 403},
      {"", "http://localhost:3000", 200},
      {"", "http://127.0.0.1", 200},
      {"", "http://127.0.0.1" + p, 200},
  };
  for (const Case &c : cases) {
    httplib::Headers headers;
    if (!c.host.empty()) headers.emplace("Host", c.host);
    if (!c.origin.empty()) headers.emplace("Origin", c.origin);
    const int before = doc().Count();
    const TMcpResponse r = call("POST", "/shapes/line", kLine, headers);
    EXPECT_EQ(r.status, c.status) << c.host << " " << c.origin;
    if (c.status == 403) {
      EXPECT_EQ(r.body, c.host.empty() ? R"({"error":"forbidden origin"})" : R"({"error":"forbidden host"})");
      EXPECT_EQ(doc().Count(), before);
      EXPECT_FALSE(r.hasHeader("Access-Control-Allow-Origin"));
    } else {
      EXPECT_EQ(doc().Count(), before + 1);
      // Only a loopback page is named, never a wildcard.
      EXPECT_EQ(r.header("Access-Control-Allow-Origin"), c.origin) << c.origin;
    }
  }
}

TEST_F(McpServerTest, OptionsAnswers204WithCorsHeadersOnlyForLoopbackPages) {
  const TMcpResponse page = call("OPTIONS", "/anything", "", {{"Origin", "http://localhost:5173"}});
  EXPECT_EQ(page.status, 204);
  EXPECT_EQ(page.body, "");
  EXPECT_EQ(page.header("Access-Control-Allow-Origin"), "http://localhost:5173");
  EXPECT_EQ(page.header("Access-Control-Allow-Methods"), "GET, POST, OPTIONS");
  EXPECT_EQ(page.header("Access-Control-Allow-Headers"), "Content-Type");

  const TMcpResponse plain = call("OPTIONS", "/anything");
  EXPECT_EQ(plain.status, 204);
  EXPECT_FALSE(plain.hasHeader("Access-Control-Allow-Origin"));

  EXPECT_EQ(call("OPTIONS", "/anything", "", {{"Origin", "http://evil.example"}}).status, 403);
}

TEST_F(McpServerTest, BodiesAboveTheLimitAreRefusedWithJson) {
  // A valid body padded with blanks to exactly the limit is served; one byte more is not.
  std::string atLimit = kLine;
  atLimit.append(kMcpMaxBodyBytes - atLimit.size(), ' ');
  EXPECT_EQ(call("POST", "/shapes/line", atLimit).status, 200);
  EXPECT_EQ(doc().Count(), 1);

  const TMcpResponse over = call("POST", "/shapes/line", atLimit + " ");
  EXPECT_EQ(over.status, 413);
  EXPECT_EQ(over.body, R"({"error":"request body too large"})");
  EXPECT_EQ(over.header("Content-Type"), "application/json; charset=utf-8");
  EXPECT_EQ(doc().Count(), 1);
}

TEST_F(McpServerTest, WhileADialogIsOpenEditorRequestsAreBusy) {
  ui.modalActive = true;
  const std::string busy = R"({"ok":false,"error":"busy: a dialog or menu is open in the editor"})";
  const int lastId = doc().LastID;
  EXPECT_EQ(ok200("POST", "/shapes/line", kLine), busy);
  EXPECT_EQ(ok200("GET", "/doc"), busy);
  EXPECT_EQ(ok200("POST", "/undo"), busy);
  EXPECT_EQ(doc().Count(), 0);
  EXPECT_EQ(doc().LastID, lastId);
  // The index and unknown paths read no editor state.
  EXPECT_EQ(ok200("GET", "/"), kIndex);
  EXPECT_EQ(call("GET", "/nothing").status, 404);

  ui.modalActive = false;
  EXPECT_EQ(ok200("POST", "/shapes/line", kLine), "{\"ok\":true,\"id\":" + std::to_string(lastId + 1) + "}");
}

TEST_F(McpServerTest, RequestsFromManyConnectionsRunOneAtATime) {
  constexpr int kClients = 8;
  constexpr int kEach = 5;
  std::vector<std::future<std::vector<TMcpResponse>>> clients;
  for (int c = 0; c < kClients; ++c)
    clients.push_back(std::async(std::launch::async, [this] {
      std::vector<TMcpResponse> replies;
      for (int i = 0; i < kEach; ++i) replies.push_back(mcpClientCall(port, "POST", "/shapes/line", kLine, {}));
      return replies;
    }));
  std::set<std::string> bodies;
  for (auto &client : clients) {
    while (client.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    for (const TMcpResponse &r : client.get()) {
      EXPECT_EQ(r.status, 200);
      bodies.insert(r.body);
    }
  }
  // Every request got a shape of its own.
  EXPECT_EQ(doc().Count(), kClients * kEach);
  EXPECT_EQ(bodies.size(), std::size_t(kClients * kEach));
}

// A request waiting for the UI thread when the server stops: Stop returns without the UI
// thread running anything, the request gets an error, and its queued work never runs.
TEST_F(McpServerTest, StopFailsRequestsWaitingForTheUiThread) {
  auto reply =
      std::async(std::launch::async, [this] { return mcpClientCall(port, "POST", "/shapes/line", kLine, {}); });
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (handOff->waitingCount() == 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_EQ(handOff->waitingCount(), 1);

  // This thread serves no events while the server stops (Stop runs on a helper thread so
  // that a deadlock shows as a failure; the events are served afterwards to end it).
  auto stopping = std::async(std::launch::async, [this] { server->Stop(); });
  const bool stopped = stopping.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
  EXPECT_TRUE(stopped) << "Stop waited for the UI thread";
  while (stopping.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  EXPECT_FALSE(server->Active());
  const TMcpResponse r = reply.get();
  EXPECT_EQ(r.status, 503);
  EXPECT_EQ(r.body, R"({"error":"the editor is shutting down"})");

  QCoreApplication::processEvents();
  EXPECT_EQ(doc().Count(), 0);
  // Nothing listens any more.
  EXPECT_EQ(mcpClientCall(port, "GET", "/", "", {}).status, -1);
}

TEST_F(McpServerTest, ASecondServerCannotTakeTheSamePort) {
  TQNMCPServer second(port, nullptr);
  EXPECT_THROW(second.Start(), std::runtime_error);
  EXPECT_FALSE(second.Active());
  EXPECT_EQ(call("GET", "/").body, kIndex);
}

TEST(McpServerNoHandler, Answers500) {
  TQNMCPServer server(0, nullptr);
  server.Start();
  const TMcpResponse r = mcpClientCall(server.Port(), "GET", "/", "", {});
  EXPECT_EQ(r.status, 500);
  EXPECT_EQ(r.body, R"({"error":"no handler bound"})");
}

TEST(McpJsonString, EscapesQuotesBackslashesAndControlCharactersOnly) {
  EXPECT_EQ(mcpJsonString("a\"b\\c/d\x01\n\x7F\xC3\xA9"), "\"a\\\"b\\\\c/d\\u0001\\u000A\\u007F\xC3\xA9\"");
  EXPECT_EQ(mcpErrorReply("say \"hi\""), R"({"error":"say \"hi\""})");
}

// The start-up switch: [MCP] EnableServer in the settings file turns the server on when the
// program starts it for its editor; the program's shutdown stops it before the editor goes.
class McpStartUpTest : public ::testing::Test {
 protected:
  void writeSettings(const char *text) {
    QFile file(QDir(testDataDir()).filePath(QStringLiteral("qn_options.ini")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
  }
  TScriptedUi ui;
};

TEST_F(McpStartUpTest, ServerIsOffUnlessTheSettingsTurnItOn) {
  for (const char *text : {"", "[MCP]\r\nEnableServer=0\r\n", "[MCP]\r\nEnableServer=yes\r\n"}) {
    writeSettings(text);
    TEditor editor(ui, {QStringLiteral("--instance-id"), QStringLiteral("1")});
    EXPECT_EQ(startMcpServer(editor), nullptr) << text;
  }
}

TEST_F(McpStartUpTest, EnabledServerListensOn7777UntilShutdown) {
  writeSettings("[MCP]\r\nEnableServer=1\r\n");
  auto editor = std::make_unique<TEditor>(ui, QStringList{QStringLiteral("--instance-id"), QStringLiteral("1")});
  std::unique_ptr<TQNMCPServer> server = startMcpServer(*editor);
  if (!server) {
    // Only acceptable when something else holds the port.
    TQNMCPServer probe(kMcpPort, nullptr);
    EXPECT_THROW(probe.Start(), std::runtime_error);
    GTEST_SKIP() << "port 7777 is in use";
  }
  EXPECT_EQ(server->Port(), kMcpPort);
  EXPECT_EQ(mcpCallServingEvents(kMcpPort, "GET", "/doc").body,
            R"({"shapeCount":0,"layerCount":1,"paletteCount":40,"activePaletteIdx":1,"activeLayerId":0,"bbox":null})");
  stopMcpServer(server);
  EXPECT_EQ(server, nullptr);
  editor.reset();
  EXPECT_EQ(mcpClientCall(kMcpPort, "GET", "/", "", {}).status, -1);
}

}  // namespace
}  // namespace quillon::test
