// Automation requests through the real server, the requests handed to this thread, which
// serves them between its events as the program's UI thread does: requests per second on
// a drawing of 5,000 shapes from one client (an HTTP client on a thread of its own, one
// kept-alive connection), the hole hosts of a drawing of stitched pattern pieces, and
// eight clients at once on a drawing of dense crossings.
#include <benchmark/benchmark.h>
#include <httplib.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "automation/mcp_dispatch.h"
#include "automation/mcp_server.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "bench_editor.h"
#include "pattern_pieces.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/undo.h"

namespace {

using namespace quillon;

// A drawing made by `build`, its first undo state and the server on a free port.
struct ServedDrawing : bench::TBenchEditor {
  std::unique_ptr<TQNMCPServer> server;

  explicit ServedDrawing(const std::function<void(TEditor &)> &build) {
    build(*editor);
    takeUndoSnapshot(*editor, QStringLiteral("bench"));
    server = createEditorMcpServer(*editor, 0);
    server->Start();
  }
  ~ServedDrawing() {
    server->Stop();
    server.reset();
    editor.reset();
  }
};

void shapeGrid(TEditor &editor) { bench::addShapeGrid(editor, 5000, true); }

// A client thread with one connection: each call hands it a request and serves this
// thread's events until the reply is in.
class ClientThread {
 public:
  explicit ClientThread(int port) : FThread([this, port] { loop(port); }) {}
  ~ClientThread() {
    {
      std::lock_guard<std::mutex> guard(FMutex);
      FQuit = true;
    }
    FChanged.notify_all();
    FThread.join();
  }

  int request(const std::string &method, const std::string &path, const std::string &body) {
    {
      std::lock_guard<std::mutex> guard(FMutex);
      FMethod = method;
      FPath = path;
      FBody = body;
      FPending = true;
      FDone = false;
    }
    FChanged.notify_all();
    for (;;) {
      {
        std::lock_guard<std::mutex> guard(FMutex);
        if (FDone) return FStatus;
      }
      QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
  }

 private:
  void loop(int port) {
    httplib::Client client("127.0.0.1", port);
    client.set_keep_alive(true);
    client.set_tcp_nodelay(true);
    client.set_read_timeout(120, 0);  // a slow reply is measured, not given up on
    std::unique_lock<std::mutex> lock(FMutex);
    for (;;) {
      FChanged.wait(lock, [this] { return FPending || FQuit; });
      if (FQuit) return;
      FPending = false;
      const std::string method = FMethod, path = FPath, body = FBody;
      lock.unlock();
      auto result = method == "GET" ? client.Get(path) : client.Post(path, body, "application/json");
      const int status = result ? result->status : -1;
      lock.lock();
      FStatus = status;
      FDone = true;
    }
  }

  std::mutex FMutex;
  std::condition_variable FChanged;
  std::string FMethod, FPath, FBody;
  bool FPending = false, FDone = false, FQuit = false;
  int FStatus = 0;
  std::thread FThread;
};

void BM_McpGetDoc(benchmark::State &state) {
  ServedDrawing drawing(shapeGrid);
  ClientThread client(drawing.server->Port());
  for (auto _ : state)
    if (client.request("GET", "/doc", {}) != 200) state.SkipWithError("GET /doc failed");
  state.counters["requests/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_McpGetDoc)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_McpPostLine(benchmark::State &state) {
  ServedDrawing drawing(shapeGrid);
  ClientThread client(drawing.server->Port());
  int i = 0;
  for (auto _ : state) {
    // Lines across the drawing, each crossing a few shapes.
    const int x = (i * 7) % 400, y = (i * 13) % 200;
    ++i;
    const std::string body = "{\"x1\":" + std::to_string(x) + ",\"y1\":" + std::to_string(y) +
                             ",\"x2\":" + std::to_string(x + 9) + ",\"y2\":" + std::to_string(y + 5) + "}";
    if (client.request("POST", "/shapes/line", body) != 200) state.SkipWithError("POST /shapes/line failed");
  }
  state.counters["requests/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_McpPostLine)->Unit(benchmark::kMicrosecond)->UseRealTime();

// POST /ruler on the drawing of dense crossings from the end of a short line that crosses
// a few of its lines, so the network reaches every line and every crossing; the reply
// lists the whole network.
void BM_McpRulerOnDenseCrossings(benchmark::State &state) {
  ServedDrawing drawing([](TEditor &editor) {
    bench::addDenseCrossings(editor);
    auto s = std::make_unique<TQN_Path>(0, 0xFF00FFFF, 1.0f, TStrokeDash::Solid, editor.doc().PathList().getNextID());
    s->drawLinePath({3.0f, 3.0f}, {8.0f, 7.0f});
    editor.calcIntersectionsOfShape(s.get());
    editor.doc().add(std::move(s), 0);
  });
  ClientThread client(drawing.server->Port());
  for (auto _ : state)
    if (client.request("POST", "/ruler", R"({"x1":3,"y1":3,"x2":8,"y2":7})") != 200)
      state.SkipWithError("POST /ruler failed");
}
BENCHMARK(BM_McpRulerOnDenseCrossings)->Unit(benchmark::kMillisecond)->UseRealTime();

// GET /stitch_hosts on a sheet of about 200 rounded pieces (1,600 shapes), the straight
// sides of 195 of them pricked at a 4 mm pitch (4,680 holes): every hole is matched
// against the shapes twice.
void BM_McpStitchHostsOnPatternPieces(benchmark::State &state) {
  ServedDrawing drawing([](TEditor &editor) {
    bench::addPatternPieces(editor, 1600);
    constexpr int kColumns = 15;  // as the pieces are laid out for 1,600 shapes
    for (int piece = 0; piece < 195; ++piece) {
      const float x = static_cast<float>(piece % kColumns) * 60.0f, y = static_cast<float>(piece / kColumns) * 60.0f;
      for (float along = 7.0f; along < 34.0f; along += 4.0f) {
        bench::addHoleAt(editor, x + along, y);
        bench::addHoleAt(editor, x + along, y + 30.0f);
      }
      for (float along = 7.0f; along < 24.0f; along += 4.0f) {
        bench::addHoleAt(editor, x, y + along);
        bench::addHoleAt(editor, x + 40.0f, y + along);
      }
    }
  });
  ClientThread client(drawing.server->Port());
  for (auto _ : state)
    if (client.request("GET", "/stitch_hosts", {}) != 200) state.SkipWithError("GET /stitch_hosts failed");
  state.counters["shapes"] = drawing.editor->doc().PathList().Count();
}
BENCHMARK(BM_McpStitchHostsOnPatternPieces)->Unit(benchmark::kMillisecond)->UseRealTime();

constexpr int kClients = 8;
constexpr int kRequestsEach = 2000;  // the figure to reach; a shorter run is registered too
using Clock = std::chrono::steady_clock;

// One assistant: its requests in a fixed random mix; the time each took; how many did
// not answer 200.
struct ClientRun {
  std::vector<double> Milliseconds;
  int Failed = 0;
};

std::string number(std::mt19937 &random, int low, int high) {
  return std::to_string(std::uniform_int_distribution<int>(low, high)(random));
}

// A short line somewhere on the drawing, crossing a few of its lines.
std::string shortLine(std::mt19937 &random) {
  const int x = std::uniform_int_distribution<int>(0, bench::kCrossingLinesEachWay - 6)(random);
  const int y = std::uniform_int_distribution<int>(0, bench::kCrossingLinesEachWay - 6)(random);
  return "{\"x1\":" + std::to_string(x) + ",\"y1\":" + std::to_string(y) + ",\"x2\":" + std::to_string(x + 5) +
         ",\"y2\":" + std::to_string(y + 4) + "}";
}

ClientRun runClient(int port, int seed, int requests) {
  std::mt19937 random(static_cast<unsigned>(seed));
  httplib::Client client("127.0.0.1", port);
  client.set_keep_alive(true);
  client.set_tcp_nodelay(true);
  client.set_read_timeout(60, 0);
  std::vector<int> own;  // lines this client made (some may be gone through others' undo)
  ClientRun run;
  const int shapes = 2 * bench::kCrossingLinesEachWay;
  for (int i = 0; i < requests; ++i) {
    const int pick = std::uniform_int_distribution<int>(0, 99)(random);
    const Clock::time_point start = Clock::now();
    const httplib::Result result = [&] {
      if (pick < 20) return client.Get("/doc");
      if (pick < 35) return client.Get("/shapes/" + number(random, 1, shapes));
      if (pick < 50 || own.empty()) {
        httplib::Result made = client.Post("/shapes/line", shortLine(random), "application/json");
        if (made && made->status == 200) {
          const std::size_t at = made->body.find("\"id\":");
          if (at != std::string::npos) own.push_back(std::stoi(made->body.substr(at + 5)));
        }
        return made;
      }
      if (pick < 60)
        return client.Put("/shapes/" + std::to_string(own[random() % own.size()]), shortLine(random),
                          "application/json");
      if (pick < 68) {
        const int id = own.back();
        own.pop_back();
        return client.Delete("/shapes/" + std::to_string(id));
      }
      if (pick < 76) return client.Post("/undo", "", "application/json");
      if (pick < 82) return client.Post("/redo", "", "application/json");
      if (pick < 92) {
        const std::string x = number(random, 0, bench::kCrossingLinesEachWay);
        const std::string y = number(random, 0, bench::kCrossingLinesEachWay);
        return client.Post("/hit_test", "{\"x\":" + x + ",\"y\":" + y + "}", "application/json");
      }
      if (pick < 97) return client.Post("/ruler", shortLine(random), "application/json");
      return client.Get("/paths");
    }();
    run.Milliseconds.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    if (!result || result->status != 200) ++run.Failed;
  }
  return run;
}

void BM_McpEightClientsOnDenseCrossings(benchmark::State &state) {
  ServedDrawing drawing(bench::addDenseCrossings);
  const int port = drawing.server->Port();
  const int requests = static_cast<int>(state.range(0));
  for (auto _ : state) {
    std::vector<std::future<ClientRun>> clients;
    for (int c = 0; c < kClients; ++c)
      clients.push_back(
          std::async(std::launch::async, [port, c, requests] { return runClient(port, 20 + c, requests); }));
    std::vector<double> all;
    int failed = 0;
    for (auto &client : clients) {
      while (client.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
      const ClientRun run = client.get();
      all.insert(all.end(), run.Milliseconds.begin(), run.Milliseconds.end());
      failed += run.Failed;
    }
    std::sort(all.begin(), all.end());
    state.counters["requests"] = static_cast<double>(all.size());
    state.counters["failed"] = failed;
    state.counters["slowest_ms"] = all.back();
    state.counters["p99_ms"] = all[all.size() * 99 / 100];
    state.counters["median_ms"] = all[all.size() / 2];
    state.counters["records"] = drawing.editor->doc().FIntersections.Count();
    if (failed > 0) state.SkipWithError("requests failed");
  }
}
BENCHMARK(BM_McpEightClientsOnDenseCrossings)
    ->Arg(kRequestsEach)
    ->Arg(250)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

}  // namespace
