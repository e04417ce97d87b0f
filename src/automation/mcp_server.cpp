#include "automation/mcp_server.h"

#include <httplib.h>

#include <QString>

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <exception>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <thread>
#include <utility>

#include "automation/mcp_connection.h"
#include "automation/mcp_request.h"

namespace quillon {

namespace {

constexpr const char *kLoopbackAddress = "127.0.0.1";

std::string lowerAscii(std::string_view text) {
  std::string out(text);
  for (char &c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// Bytes as UTF-8 text: invalid sequences become U+FFFD, so everything after this point
// (the JSON reader, the reply writers) sees well-formed text.
std::string asUtf8Text(const std::string &bytes) {
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())).toStdString();
}

// The Host header names this server: 127.0.0.1:<port> or localhost:<port>.
bool isOwnHost(const std::string &host, int port) {
  const std::string suffix = ":" + std::to_string(port);
  const std::string h = lowerAscii(host);
  return h == kLoopbackAddress + suffix || h == "localhost" + suffix;
}

// http://127.0.0.1 or http://localhost, optionally with a port 1..65535, nothing else.
bool isLoopbackOrigin(const std::string &origin) {
  const std::string o = lowerAscii(origin);
  std::string_view rest = o;
  constexpr std::string_view scheme = "http://";
  if (rest.substr(0, scheme.size()) != scheme) return false;
  rest.remove_prefix(scheme.size());
  bool hostFound = false;
  for (const std::string_view host : {std::string_view(kLoopbackAddress), std::string_view("localhost")}) {
    if (rest.substr(0, host.size()) == host) {
      rest.remove_prefix(host.size());
      hostFound = true;
      break;
    }
  }
  if (!hostFound) return false;
  if (rest.empty()) return true;
  if (rest.front() != ':') return false;
  rest.remove_prefix(1);
  if (rest.empty() || rest.size() > 5) return false;
  long port = 0;
  for (const char c : rest) {
    if (c < '0' || c > '9') return false;
    port = port * 10 + (c - '0');
  }
  return port >= 1 && port <= 65535;
}

void sendJson(httplib::Response &res, int status, const std::string &body) {
  res.status = status;
  res.set_content(body, kMcpContentType);
}

// Only SO_REUSEADDR: the library's default also sets SO_REUSEPORT, which would let a
// second window of the program bind the same port and take half of the connections.
void listeningSocketOptions(socket_t sock) {
  int yes = 1;
  setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
}

// The connection a thread is serving: its stream, whether its request was refused before
// the body, and whether it must close after the reply. The library's handlers run on the
// connection's thread and reach it here.
struct TServedConnection {
  TMcpConnectionStream &Stream;
  std::optional<TMcpRefusal> Refusal;
  bool CloseAfterReply = false;
  std::string SentMethod;  // the request's method as the client wrote it
};

thread_local TServedConnection *tServed = nullptr;
// How long a connection closed by the server reads what its client still sends.
constexpr int kLingerMilliseconds = 1000;

// Set while the listening thread answers a connection beyond the cap.
thread_local bool tOverCap = false;

// The connection threads: a fixed pool, and a cap on the connections it holds, served or
// waiting for a thread. A connection beyond the cap is answered at once, on the listening
// thread, with 503 and closed.
class TConnectionQueue : public httplib::TaskQueue {
 public:
  TConnectionQueue(int threads, int cap) : FPool(static_cast<std::size_t>(std::max(threads, 1))), FCap(cap) {}

  void enqueue(std::function<void()> fn) override {
    if (FOpen.load() >= FCap) {
      tOverCap = true;
      fn();
      tOverCap = false;
      return;
    }
    ++FOpen;
    FPool.enqueue([this, fn = std::move(fn)] {
      fn();
      --FOpen;
    });
  }
  void shutdown() override { FPool.shutdown(); }

 private:
  httplib::ThreadPool FPool;
  const int FCap;
  std::atomic<int> FOpen{0};
};

// The reply to a connection beyond the cap, sent without reading anything.
void refuseOverCap(socket_t sock) {
  const std::string body = mcpErrorReply("too many connections");
  const std::string reply = "HTTP/1.1 503 Service Unavailable\r\nContent-Type: " + std::string(kMcpContentType) +
                            "\r\nContent-Length: " + std::to_string(body.size()) +
                            "\r\nConnection: close\r\n\r\n" + body;
  ::send(sock, reply.data(), reply.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
}

// The library's server with connections served under the limits: each request's head
// and body must arrive in their time, and the framing is checked before the body is read.
class TLimitedServer : public httplib::Server {
 public:
  explicit TLimitedServer(const TMcpLimits &limits) : FLimits(limits) {
    new_task_queue = [threads = limits.Threads, cap = limits.MaxConnections] {
      return new TConnectionQueue(threads, cap);
    };
  }

 private:
  bool process_and_close_socket(socket_t sock) override {
    if (tOverCap)
      refuseOverCap(sock);
    else
      serve(sock);
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
    return true;
  }

  void serve(socket_t sock) {
    using std::chrono::milliseconds;
    TMcpConnectionStream stream(sock, svr_sock_,
                                milliseconds(write_timeout_sec_ * 1000 + write_timeout_usec_ / 1000));
    TServedConnection served{stream, std::nullopt, false, {}};
    tServed = &served;
    for (int left = FLimits.RequestsPerConnection; left > 0; --left) {
      if (!stream.waitForRequest(TMcpClock::now() + milliseconds(FLimits.IdleMilliseconds))) break;
      stream.setReadDeadline(TMcpClock::now() + milliseconds(FLimits.HeadMilliseconds));
      served.Refusal.reset();
      served.SentMethod = stream.takeRequestMethod();
      bool clientCloses = false;
      const bool answered = process_request(
          stream, left == 1 || stream.serverStopping(), clientCloses, [&](httplib::Request &req) {
            stream.setReadDeadline(TMcpClock::now() + milliseconds(FLimits.BodyMilliseconds));
            served.Refusal = prepareMcpRequestFraming(req, kMcpMaxBodyBytes, served.CloseAfterReply);
            if (served.CloseAfterReply) {
              req.headers.erase("Connection");
              req.headers.emplace("Connection", "close");
            }
          });
      if (!answered || clientCloses || served.CloseAfterReply || stream.timedOut()) break;
    }
    // A refused or late request may still be arriving.
    if (served.CloseAfterReply || stream.timedOut()) stream.lingerBeforeClose(milliseconds(kLingerMilliseconds));
    tServed = nullptr;
  }

  const TMcpLimits FLimits;
};

}  // namespace

struct TQNMCPServer::TImpl {
  int RequestedPort = 0;
  std::atomic<int> BoundPort{0};
  TQNMCPHandler Handler;
  std::function<void()> BeforeStop;
  TMcpLimits Limits;
  std::unique_ptr<httplib::Server> Server;
  std::thread Listener;
  std::atomic<bool> ListenerDone{false};

  void handleCommand(const httplib::Request &req, const std::string &bodyBytes, httplib::Response &res) const;
  void handleWithBody(const httplib::Request &req, httplib::Response &res, const httplib::ContentReader &reader) const;
  void configure(httplib::Server &server);
};

// Reads the whole body, within kMcpMaxBodyBytes (a chunked body is counted as it comes),
// then serves the request. A body that is too large, late or broken off is answered
// without serving, and the connection closes.
void TQNMCPServer::TImpl::handleWithBody(const httplib::Request &req, httplib::Response &res,
                                         const httplib::ContentReader &reader) const {
  std::string body;
  bool tooLarge = false;
  const bool whole = reader([&](const char *data, std::size_t length) {
    if (length > kMcpMaxBodyBytes - body.size()) {
      tooLarge = true;
      return false;
    }
    body.append(data, length);
    return true;
  });
  if (!whole) {
    if (tServed) tServed->CloseAfterReply = true;
    res.set_header("Connection", "close");
    const bool late = tServed && tServed->Stream.timedOut();
    if (tooLarge)
      sendJson(res, 413, mcpErrorReply("request body too large"));
    else if (late)
      sendJson(res, 408, mcpErrorReply("request timed out"));
    else
      sendJson(res, 400, mcpErrorReply("bad request"));
    return;
  }
  handleCommand(req, body, res);
}

void TQNMCPServer::TImpl::handleCommand(const httplib::Request &req, const std::string &bodyBytes,
                                        httplib::Response &res) const {
  // Who may call: this server by its own name, from no page or from a loopback page.
  if (req.get_header_value_count("Host") != 1 || !isOwnHost(req.get_header_value("Host"), BoundPort)) {
    sendJson(res, 403, mcpErrorReply("forbidden host"));
    return;
  }
  const std::size_t origins = req.get_header_value_count("Origin");
  const std::string origin = req.get_header_value("Origin");
  if (origins > 1 || (origins == 1 && !isLoopbackOrigin(origin))) {
    sendJson(res, 403, mcpErrorReply("forbidden origin"));
    return;
  }
  const bool fromPage = origins == 1;
  const std::string &method = tServed && !tServed->SentMethod.empty() ? tServed->SentMethod : req.method;

  if (lowerAscii(method) == "options") {
    res.status = 204;
    if (fromPage) {
      res.set_header("Access-Control-Allow-Origin", origin);
      res.set_header("Access-Control-Allow-Methods", "GET, POST, OPTIONS");
      res.set_header("Access-Control-Allow-Headers", "Content-Type");
      res.set_header("Vary", "Origin");
    }
    return;
  }

  const std::string body = bodyBytes.empty() ? std::string() : asUtf8Text(bodyBytes);
  int status = 200;
  std::string contentType = kMcpContentType;
  std::string reply;
  if (Handler) {
    try {
      reply = Handler(method, asUtf8Text(req.path), body, status, contentType);
    } catch (const std::exception &e) {
      status = 500;
      reply = mcpErrorReply(e.what());
    } catch (...) {
      status = 500;
      reply = mcpErrorReply("unexpected failure");
    }
  } else {
    status = 500;
    reply = mcpErrorReply("no handler bound");
  }
  res.status = status;
  res.set_content(reply, contentType);
  if (fromPage) {
    res.set_header("Access-Control-Allow-Origin", origin);
    res.set_header("Vary", "Origin");
  }
}

void TQNMCPServer::TImpl::configure(httplib::Server &server) {
  // Every path of every method reaches the one callback (the pattern also matches line
  // breaks, which a decoded path may hold).
  // Methods with a body read it themselves, so that the limit holds for chunked bodies.
  const std::string everyPath = R"([\s\S]*)";
  const auto callback = [this](const httplib::Request &req, httplib::Response &res) {
    handleCommand(req, std::string(), res);
  };
  const auto withBody = [this](const httplib::Request &req, httplib::Response &res,
                               const httplib::ContentReader &reader) { handleWithBody(req, res, reader); };
  server.Get(everyPath, callback);
  server.Post(everyPath, withBody);
  server.Put(everyPath, withBody);
  server.Patch(everyPath, withBody);
  server.Delete(everyPath, withBody);
  server.Options(everyPath, callback);
  server.set_payload_max_length(kMcpMaxBodyBytes);
  // A request whose framing was refused is answered before anything else.
  server.set_pre_routing_handler([](const httplib::Request &, httplib::Response &res) {
    if (!tServed || !tServed->Refusal) return httplib::Server::HandlerResponse::Unhandled;
    sendJson(res, tServed->Refusal->Status, mcpErrorReply(tServed->Refusal->Message));
    return httplib::Server::HandlerResponse::Handled;
  });
  server.set_socket_options(listeningSocketOptions);
  // Replies go out at once: with Nagle's algorithm a kept-alive connection waits for the
  // peer's delayed acknowledgement (tens of milliseconds) on every request.
  server.set_tcp_nodelay(true);
  // Replies the library makes itself (a malformed request, headers that came too late)
  // get a JSON body like every other reply.
  server.set_error_handler(httplib::Server::HandlerWithResponse(
      [](const httplib::Request &, httplib::Response &res) {
        if (!res.body.empty()) return httplib::Server::HandlerResponse::Unhandled;
        if (tServed && tServed->Stream.timedOut()) res.status = 408;
        const std::string message = res.status == 413   ? "request body too large"
                                    : res.status == 408 ? "request timed out"
                                    : res.status == 400 ? "bad request"
                                                        : "HTTP error " + std::to_string(res.status);
        sendJson(res, res.status, mcpErrorReply(message));
        return httplib::Server::HandlerResponse::Handled;
      }));
  server.set_exception_handler([](const httplib::Request &, httplib::Response &res, std::exception_ptr) {
    sendJson(res, 500, mcpErrorReply("unexpected failure"));
  });
}

TQNMCPServer::TQNMCPServer(int APort, TQNMCPHandler AHandler, std::function<void()> ABeforeStop,
                           const TMcpLimits &ALimits)
    : FImpl(std::make_unique<TImpl>()) {
  FImpl->RequestedPort = APort;
  FImpl->BoundPort = APort;
  FImpl->Handler = std::move(AHandler);
  FImpl->BeforeStop = std::move(ABeforeStop);
  FImpl->Limits = ALimits;
}

TQNMCPServer::~TQNMCPServer() { Stop(); }

void TQNMCPServer::Start() {
  if (Active()) return;
  auto server = std::make_unique<TLimitedServer>(FImpl->Limits);
  FImpl->configure(*server);
  int port = FImpl->RequestedPort;
  if (port == 0) {
    port = server->bind_to_any_port(kLoopbackAddress);
    if (port <= 0) throw std::runtime_error("automation server: cannot listen on 127.0.0.1");
  } else if (!server->bind_to_port(kLoopbackAddress, port)) {
    throw std::runtime_error("automation server: cannot listen on 127.0.0.1:" + std::to_string(port));
  }
  FImpl->BoundPort = port;
  FImpl->ListenerDone = false;
  FImpl->Server = std::move(server);
  httplib::Server *listening = FImpl->Server.get();
  std::atomic<bool> *done = &FImpl->ListenerDone;
  FImpl->Listener = std::thread([listening, done] {
    listening->listen_after_bind();
    *done = true;
  });
  // Stop must not come before the listener runs: the library's stop is a no-op until then.
  while (!listening->is_running() && !*done) std::this_thread::sleep_for(std::chrono::microseconds(200));
}

void TQNMCPServer::Stop() {
  if (!FImpl->Server) return;
  if (FImpl->BeforeStop) FImpl->BeforeStop();
  FImpl->Server->stop();
  if (FImpl->Listener.joinable()) FImpl->Listener.join();
  FImpl->Server.reset();
}

bool TQNMCPServer::Active() const { return FImpl->Server != nullptr; }

int TQNMCPServer::Port() const { return FImpl->BoundPort; }

}  // namespace quillon
