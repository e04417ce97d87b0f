// Automation requests per second on a drawing of 5,000 shapes, through the real server:
// an HTTP client on a thread of its own (one kept-alive connection), the request handed to
// this thread, which serves it between its events as the program's UI thread does.
#include <benchmark/benchmark.h>
#include <httplib.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "automation/mcp_dispatch.h"
#include "automation/mcp_server.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "bench_editor.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/undo.h"

namespace {

using namespace quillon;

struct ServedDrawing : bench::TBenchEditor {
  std::unique_ptr<TQNMCPServer> server;

  ServedDrawing() {
    bench::addShapeGrid(*editor, 5000, true);
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
  ServedDrawing drawing;
  ClientThread client(drawing.server->Port());
  for (auto _ : state)
    if (client.request("GET", "/doc", {}) != 200) state.SkipWithError("GET /doc failed");
  state.counters["requests/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_McpGetDoc)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_McpPostLine(benchmark::State &state) {
  ServedDrawing drawing;
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

}  // namespace
