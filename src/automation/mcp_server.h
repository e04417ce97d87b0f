#pragma once
// TQNMCPServer: the local automation endpoint, an HTTP server on 127.0.0.1 that turns
// every request into one call of its handler and sends back the handler's JSON reply.
// Each connection is served on a thread of its own; the handler runs on that thread.
//
// Only local programs may call it, and only as themselves: a request must name the
// server in its Host header (127.0.0.1:<port> or localhost:<port>), so a web page that
// reaches the port through a rebound host name is refused; a request that carries an
// Origin header must come from a loopback origin (http://127.0.0.1 or http://localhost,
// any port), and only such an origin is named in the CORS reply headers. Requests without
// an Origin (curl, scripts) get no CORS headers. Bodies above kMcpMaxBodyBytes are refused,
// chunked ones too; a request without a length and without chunks has an empty body.
//
// No client can hold the server: each request must arrive within its time (head and body
// apart, TMcpLimits), and connections beyond a cap are refused at once with 503.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace quillon {

// The handler: (method, path, body, out status, out content type) -> reply body. The
// status and content type are preset to 200 and kMcpContentType.
using TQNMCPHandler = std::function<std::string(const std::string &AMethod, const std::string &APath,
                                                const std::string &ABody, int &AStatusCode,
                                                std::string &AContentType)>;

inline constexpr int kMcpPort = 7777;
inline constexpr std::size_t kMcpMaxBodyBytes = 1024 * 1024;

// What one client may take of the server.
struct TMcpLimits {
  int Threads = 32;          // connections served at once
  int MaxConnections = 64;   // connections served or waiting for a thread; more get 503
  int HeadMilliseconds = 5000;   // request line and headers, from the request's first byte
  int BodyMilliseconds = 10000;  // the body, from the end of the headers
  int IdleMilliseconds = 5000;   // a kept-alive connection waiting for its next request
  int RequestsPerConnection = 100;
};

class TQNMCPServer {
 public:
  // Stores the port (0: any free port, chosen by Start) and the handler; `ABeforeStop`
  // runs at the start of every Stop that stops a listening server (the editor's server
  // ends the requests waiting for the UI thread there). Does not listen yet.
  TQNMCPServer(int APort, TQNMCPHandler AHandler, std::function<void()> ABeforeStop = {},
               const TMcpLimits &ALimits = {});
  // Stop.
  ~TQNMCPServer();
  TQNMCPServer(const TQNMCPServer &) = delete;
  TQNMCPServer &operator=(const TQNMCPServer &) = delete;

  // Starts listening on 127.0.0.1 when not listening. Throws std::runtime_error when the
  // port cannot be had (another program, or another window of this one, holds it).
  void Start();
  // Stops listening and ends every connection when listening; returns when all
  // connection threads have finished.
  void Stop();
  bool Active() const;
  // The listening port (the chosen one after Start with port 0).
  int Port() const;

 private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};

}  // namespace quillon
