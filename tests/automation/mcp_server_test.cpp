// The automation server as a client sees it: the index, the route table's matching and
// its 404 reply, who may call (Host and Origin), CORS, the body limit, the busy refusal,
// shutdown with a request waiting, and the start-up switch.
#include <QDir>
#include <QFile>

#include <chrono>
#include <cstdio>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <utility>
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

// ---------------------------------------------------------------------------------
// Request framing, over a plain socket

using namespace std::chrono_literals;

// A body in chunks of at most `piece` bytes.
std::string chunked(const std::string &body, std::size_t piece) {
  std::string out;
  for (std::size_t at = 0; at < body.size(); at += piece) {
    const std::string part = body.substr(at, piece);
    char size[32];
    std::snprintf(size, sizeof(size), "%zX\r\n", part.size());
    out += size + part + "\r\n";
  }
  return out + "0\r\n\r\n";
}

class McpRawRequestTest : public McpServerTest {
 protected:
  // The request line, the Host header, further header lines (each ending in CR LF), the
  // blank line and the bytes after it.
  std::string request(const std::string &line, const std::string &headers = {}, const std::string &after = {}) {
    return line + "\r\nHost: 127.0.0.1:" + std::to_string(port) + "\r\n" + headers + "\r\n" + after;
  }
  // Sends the bytes on a new connection and reads one reply, serving the hand-offs.
  std::string exchange(const std::string &bytes) {
    return servingEvents([&] {
      TRawConnection connection(port);
      connection.send(bytes);
      return connection.readReply(10s);
    });
  }
};

// A request whose body has no length is answered at once: a POST, PUT or PATCH with 411,
// since where its body ends is unknown; a DELETE (curl -X DELETE sends none) has an empty
// body. A length of 0 is an empty body, which a route that reads one answers as the routes
// answer every body that is not a JSON object. A body cut short by the client gets 400.
// Such requests used to wait for the connection to end and then get 400.
TEST_F(McpRawRequestTest, RequestsWithoutLengthOrWithoutBodyGetAClearReplyAtOnce) {
  ok200("POST", "/shapes/line", kLine);
  ok200("POST", "/shapes/line", kLine);
  const std::string second = "/shapes/" + std::to_string(doc()[1]->ID());
  const std::string body = kLine;
  struct Case {
    std::string line, headers, after;
    bool finishSending;  // the client ends its side after the bytes
    int status;
    std::string reply;  // its start
    int shapes;         // after the request
    bool closes;        // the server closes the connection after the reply
  };
  const Case cases[] = {
      {"POST /shapes/line HTTP/1.1", "", body, false, 411, R"({"error":"Content-Length required"})", 2, true},
      {"POST /undo HTTP/1.1", "", "", false, 411, R"({"error":"Content-Length required"})", 2, true},
      {"PUT " + second + " HTTP/1.1", "", body, false, 411, R"({"error":"Content-Length required"})", 2, true},
      {"PATCH " + second + " HTTP/1.1", "", "", false, 411, R"({"error":"Content-Length required"})", 2, true},
      {"POST /shapes/line HTTP/1.1", "Content-Length: 0\r\n", "", false, 200, R"({"error":"invalid JSON body"})", 2,
       false},
      {"POST /shapes/line HTTP/1.1", "Content-Length: 60\r\n", body.substr(0, 10), true, 400,
       R"({"error":"bad request"})", 2, true},
      {"DELETE " + second + " HTTP/1.1", "", "", false, 200, R"({"ok":true,"deletedId":)", 1, false},
      {"POST /undo HTTP/1.1", "Content-Length: 0\r\n", "", false, 200, R"({"ok":true,"undone":true,)", 2, false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.line + " / " + c.headers);
    const auto [reply, closed] = servingEvents([&] {
      TRawConnection connection(port);
      connection.send(request(c.line, c.headers, c.after));
      if (c.finishSending) connection.finishSending();
      // Well within the server's time for a head or a body: no waiting for either.
      std::string r = connection.readReply(3s);
      return std::pair{r, connection.readUntilClosed(c.closes ? 3s : 300ms).empty() && connection.closed()};
    });
    EXPECT_EQ(rawStatus(reply), c.status) << reply;
    EXPECT_EQ(rawBody(reply).rfind(c.reply, 0), 0u) << reply;
    EXPECT_EQ(closed, c.closes);
    EXPECT_EQ(doc().Count(), c.shapes);
  }
  EXPECT_EQ(call("GET", "/").body, kIndex);
}

// A body whose length two readers could see differently is refused before any of it is
// read, and the connection closes after the reply.
TEST_F(McpRawRequestTest, AmbiguousFramingIsRefusedBeforeTheBody) {
  const std::string body = kLine;
  const std::string length = std::to_string(body.size());
  struct Case {
    std::string headers;
    std::string after;
    int status;
    const char *reply;  // null: served
  };
  const Case cases[] = {
      {"Content-Length: " + length + "\r\nContent-Length: " + std::to_string(body.size() + 1) + "\r\n", body, 400,
       R"({"error":"conflicting Content-Length headers"})"},
      {"Content-Length: " + length + "\r\nTransfer-Encoding: chunked\r\n", chunked(body, 8), 400,
       R"({"error":"Transfer-Encoding and Content-Length together"})"},
      {"Transfer-Encoding: gzip, chunked\r\n", chunked(body, 8), 501, R"({"error":"unsupported transfer coding"})"},
      {"Transfer-Encoding: chunked\r\nTransfer-Encoding: chunked\r\n", chunked(body, 8), 501,
       R"({"error":"unsupported transfer coding"})"},
      {"Content-Length: 3O\r\n", body, 400, R"({"error":"bad Content-Length"})"},
      {"Content-Length: -1\r\n", body, 400, R"({"error":"bad Content-Length"})"},
      {"Content-Length: 99999999999999999999999\r\n", body, 413, R"({"error":"request body too large"})"},
      // The same length twice, and chunks, are plain.
      {"Content-Length: " + length + "\r\ncontent-length: " + length + "\r\n", body, 200, nullptr},
      {"Transfer-Encoding: chunked\r\n", chunked(body, 8), 200, nullptr},
  };
  int shapes = 0;
  for (const Case &c : cases) {
    SCOPED_TRACE(c.headers);
    const auto [reply, closed] = servingEvents([&] {
      TRawConnection connection(port);
      connection.send(request("POST /shapes/line HTTP/1.1", c.headers, c.after));
      std::string r = connection.readReply(10s);
      return std::pair{r, c.reply ? connection.readUntilClosed(10s).empty() && connection.closed() : false};
    });
    EXPECT_EQ(rawStatus(reply), c.status) << reply;
    if (c.reply) {
      EXPECT_EQ(rawBody(reply), c.reply);
      EXPECT_TRUE(closed);
    } else {
      ++shapes;
    }
    EXPECT_EQ(doc().Count(), shapes);
  }
}

// Methods are matched without regard to case and every method reaches the route table,
// which answers one it has no row for with 404 and the method as sent. The library
// itself takes only the upper-case names of the methods it knows.
TEST_F(McpRawRequestTest, MethodsInAnyCaseAndUnknownMethodsReachTheRouteTable) {
  const std::string body = kLine;
  const std::string length = "Content-Length: " + std::to_string(body.size()) + "\r\n";
  struct Case {
    std::string line, headers, after;
    int status;
    std::string reply;  // its start
    int shapes;         // after the request
  };
  const Case cases[] = {
      {"get /PATHS HTTP/1.1", "", "", 200, R"({"paths":[],"count":0})", 0},
      {"post /shapes/line HTTP/1.1", length, body, 200, R"({"ok":true,"id":)", 1},
      {"Post /shapes/line HTTP/1.1", length, body, 200, R"({"ok":true,"id":)", 2},
      {"dElEtE /shapes HTTP/1.1", "", "", 200, R"({"ok":true,"deletedCount":2,)", 0},
      {"options /paths HTTP/1.1", "", "", 204, "", 0},
      {"FOO /x HTTP/1.1", "", "", 404, R"({"error":"unknown endpoint","method":"FOO","path":"/x"})", 0},
      {"purge /shapes/line HTTP/1.1", length, body, 404,
       R"({"error":"unknown endpoint","method":"purge","path":"/shapes/line"})", 0},
      {"TRACE / HTTP/1.1", "", "", 404, R"({"error":"unknown endpoint","method":"TRACE","path":"/"})", 0},
      // Not a method at all: the library's refusal.
      {"G(T /paths HTTP/1.1", "", "", 400, R"({"error":"bad request"})", 0},
      {std::string(40, 'X') + " /paths HTTP/1.1", "", "", 400, R"({"error":"bad request"})", 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.line);
    const std::string reply = exchange(request(c.line, c.headers, c.after));
    EXPECT_EQ(rawStatus(reply), c.status) << reply;
    EXPECT_EQ(rawBody(reply).rfind(c.reply, 0), 0u) << reply;
    EXPECT_EQ(doc().Count(), c.shapes);
  }

  // A method that comes in pieces, and the next request on the same connection.
  const auto [first, second] = servingEvents([&] {
    TRawConnection connection(port);
    connection.send("g");
    std::this_thread::sleep_for(50ms);
    connection.send(request("et /paths HTTP/1.1") + request("Foo /paths HTTP/1.1"));
    std::string one = connection.readReply(10s);
    return std::pair{one, connection.readReply(10s)};
  });
  EXPECT_EQ(rawStatus(first), 200) << first;
  EXPECT_EQ(rawBody(first), R"({"paths":[],"count":0})");
  EXPECT_EQ(rawStatus(second), 404) << second;
  EXPECT_EQ(rawBody(second), R"({"error":"unknown endpoint","method":"Foo","path":"/paths"})");
}

TEST_F(McpRawRequestTest, ChunkedBodiesAreHeldToTheSameLimit) {
  std::string atLimit = kLine;
  atLimit.append(kMcpMaxBodyBytes - atLimit.size(), ' ');
  const std::string head = request("POST /shapes/line HTTP/1.1", "Transfer-Encoding: chunked\r\n");
  EXPECT_EQ(rawStatus(exchange(head + chunked(atLimit, 65536))), 200);
  EXPECT_EQ(doc().Count(), 1);

  const std::string over = exchange(head + chunked(atLimit + " ", 65536));
  EXPECT_EQ(rawStatus(over), 413) << over;
  EXPECT_EQ(rawBody(over), R"({"error":"request body too large"})");
  EXPECT_EQ(doc().Count(), 1);
}

// The body is JSON whatever the client calls it: curl -d labels it form data, for which
// the library had a limit of 8 KB, and a multipart label sent it to another reader.
TEST_F(McpRawRequestTest, BodiesAreReadAsJsonWhateverTheirContentType) {
  std::string body = kLine;
  body.append(20000, ' ');
  const char *types[] = {"application/x-www-form-urlencoded", "multipart/form-data; boundary=xyz", "text/plain",
                         "application/json"};
  for (const char *type : types) {
    const std::string reply = exchange(request(
        "POST /shapes/line HTTP/1.1",
        std::string("Content-Type: ") + type + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n", body));
    EXPECT_EQ(rawStatus(reply), 200) << type << ": " << reply;
    EXPECT_EQ(rawBody(reply).rfind(R"({"ok":true,"id":)", 0), 0u) << type << ": " << reply;
  }
  EXPECT_EQ(doc().Count(), 4);
}

// A body nested 100,000 deep (200 KB, under the size limit) used to end the program.
TEST_F(McpServerTest, ADeeplyNestedBodyIsInvalidJson) {
  const std::string deep = "{\"d\":" + std::string(100000, '[') + std::string(100000, ']') + "," +
                           std::string(kLine).substr(1);
  const TMcpResponse r = call("POST", "/shapes/line", deep);
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.body, R"({"error":"invalid JSON body"})");
  EXPECT_EQ(doc().Count(), 0);
  EXPECT_EQ(call("GET", "/").body, kIndex);
}

// ---------------------------------------------------------------------------------
// Slow clients and the connection cap

class McpSlowClientTest : public McpRawRequestTest {
 protected:
  McpSlowClientTest() { serverLimits.HeadMilliseconds = serverLimits.BodyMilliseconds = 1500; }
};

// Eight clients that send their headers a line at a time ("slowloris") hold no thread
// another client needs, and each is cut off with 408 when its time for the head is up,
// long before it would have finished.
TEST_F(McpSlowClientTest, SlowHeadersAreCutOffAndHoldNoOtherClient) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  static constexpr std::chrono::seconds kTrickle{10};
  struct TSlow {
    std::string Reply;
    Clock::time_point ClosedAt;
  };
  std::vector<std::future<TSlow>> slow;
  for (int k = 0; k < 8; ++k)
    slow.push_back(std::async(std::launch::async, [this, k, start] {
      TRawConnection connection(port);
      connection.send("POST /shapes/line HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) + "\r\n");
      while (Clock::now() - start < kTrickle && !connection.closed()) {
        connection.send("X-Slow-" + std::to_string(k) + ": 1\r\n");
        std::this_thread::sleep_for(200ms);
      }
      TSlow result;
      result.ClosedAt = Clock::now();
      result.Reply = connection.readUntilClosed(1s);
      return result;
    }));
  // Let them start trickling.
  std::this_thread::sleep_for(300ms);

  const TMcpResponse other = call("POST", "/shapes/line", kLine);
  const Clock::time_point answeredAt = Clock::now();
  EXPECT_EQ(other.status, 200);
  for (auto &future : slow) {
    const TSlow s = future.get();
    EXPECT_GT(s.ClosedAt, answeredAt) << "the other client waited for a slow one";
    EXPECT_LT(s.ClosedAt - start, kTrickle) << "a slow client was never cut off";
    EXPECT_EQ(rawStatus(s.Reply), 408) << s.Reply;
    EXPECT_EQ(rawBody(s.Reply), R"({"error":"request timed out"})");
  }
  EXPECT_EQ(doc().Count(), 1);
}

TEST_F(McpSlowClientTest, ABodyThatStopsComingIsCutOff) {
  TRawConnection connection(port);
  const std::string body = kLine;
  connection.send(request("POST /shapes/line HTTP/1.1", "Content-Length: 100\r\n", body.substr(0, 10)));
  const std::string reply = connection.readUntilClosed(10s);
  EXPECT_EQ(rawStatus(reply), 408) << reply;
  EXPECT_EQ(rawBody(reply), R"({"error":"request timed out"})");
  EXPECT_TRUE(connection.closed());
  EXPECT_EQ(doc().Count(), 0);
}

class McpConnectionCapTest : public McpServerTest {
 protected:
  McpConnectionCapTest() {
    serverLimits.Threads = 2;
    serverLimits.MaxConnections = 3;
  }
};

TEST_F(McpConnectionCapTest, ConnectionsBeyondTheCapAreRefusedAtOnce) {
  std::vector<std::unique_ptr<TRawConnection>> idle;
  for (int k = 0; k < 3; ++k) idle.push_back(std::make_unique<TRawConnection>(port));
  TRawConnection extra(port);
  const std::string reply = extra.readUntilClosed(3s);
  EXPECT_EQ(rawStatus(reply), 503) << reply;
  EXPECT_EQ(rawBody(reply), R"({"error":"too many connections"})");
  EXPECT_TRUE(extra.closed());

  // Once the idle ones are gone, clients are served again.
  idle.clear();
  int status = -1;
  for (int attempt = 0; attempt < 100 && status != 200; ++attempt) {
    status = call("GET", "/").status;
    if (status != 200) std::this_thread::sleep_for(50ms);
  }
  EXPECT_EQ(status, 200);
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
