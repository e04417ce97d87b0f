#pragma once
// A started editor with its automation server listening on a free loopback port, and a
// client call that waits for the reply while this (the UI) thread serves the hand-offs.
#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <future>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "automation/mcp_dispatch.h"
#include "automation/mcp_server.h"
#include "support/editor_fixture.h"

namespace quillon::test {

struct TMcpResponse {
  int status = -1;  // -1: no reply (connection failed)
  std::string body;
  httplib::Headers headers;

  std::string header(const std::string &name) const {
    const auto it = headers.find(name);
    return it == headers.end() ? std::string() : it->second;
  }
  bool hasHeader(const std::string &name) const { return headers.find(name) != headers.end(); }
};

// One request with httplib's client, on the calling thread.
inline TMcpResponse mcpClientCall(int port, const std::string &method, const std::string &path,
                                  const std::string &body, const httplib::Headers &headers) {
  httplib::Client client("127.0.0.1", port);
  client.set_read_timeout(20, 0);
  const char *type = "application/json";
  httplib::Result result = [&] {
    if (method == "POST") return client.Post(path, headers, body, type);
    if (method == "PUT") return client.Put(path, headers, body, type);
    if (method == "DELETE") return body.empty() ? client.Delete(path, headers) : client.Delete(path, headers, body, type);
    if (method == "OPTIONS") return client.Options(path, headers);
    return client.Get(path, headers);
  }();
  TMcpResponse out;
  if (!result) return out;
  out.status = result->status;
  out.body = result->body;
  out.headers = result->headers;
  return out;
}

// A plain socket to the server, for requests and timings that no client library makes.
class TRawConnection {
 public:
  explicit TRawConnection(int port) {
    FSocket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(FSocket, reinterpret_cast<sockaddr *>(&address), sizeof(address)) != 0) {
      ::close(FSocket);
      FSocket = -1;
    }
  }
  ~TRawConnection() {
    if (FSocket >= 0) ::close(FSocket);
  }
  TRawConnection(const TRawConnection &) = delete;
  TRawConnection &operator=(const TRawConnection &) = delete;

  bool connected() const { return FSocket >= 0; }
  // Sends all the bytes; false when the server no longer takes them.
  bool send(std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t n = ::send(FSocket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (n <= 0) return false;
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
  }
  // Tells the server that nothing more comes (the connection stays open for the reply).
  void finishSending() { ::shutdown(FSocket, SHUT_WR); }
  // Everything the server sent (and was not read as a reply yet) until it closed the
  // connection, or until `limit` passed.
  std::string readUntilClosed(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!FClosed && std::chrono::steady_clock::now() < deadline) readSome(20);
    return std::exchange(FPending, std::string());
  }
  // One reply: its head and a body of its Content-Length, within `limit`.
  std::string readReply(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
      const std::size_t end = FPending.find("\r\n\r\n");
      if (end != std::string::npos) {
        std::size_t length = 0;
        const std::size_t at = FPending.find("Content-Length: ");
        if (at != std::string::npos && at < end) length = std::stoul(FPending.substr(at + 16));
        if (FPending.size() >= end + 4 + length) {
          const std::string reply = FPending.substr(0, end + 4 + length);
          FPending.erase(0, reply.size());
          return reply;
        }
      }
      if (FClosed || std::chrono::steady_clock::now() >= deadline) return std::exchange(FPending, std::string());
      readSome(20);
    }
  }
  // Whether the server has closed the connection; what it sent is kept for the reads.
  bool closed() {
    readSome(0);
    return FClosed;
  }

 private:
  void readSome(int waitMs) {
    pollfd entry{FSocket, POLLIN, 0};
    if (FClosed || ::poll(&entry, 1, waitMs) <= 0) return;
    char buffer[65536];
    const ssize_t n = ::recv(FSocket, buffer, sizeof(buffer), 0);
    if (n <= 0)
      FClosed = true;
    else
      FPending.append(buffer, static_cast<std::size_t>(n));
  }

  int FSocket = -1;
  bool FClosed = false;
  std::string FPending;
};

// The status of a raw reply ("HTTP/1.1 200 OK..." gives 200), -1 when there is none.
inline int rawStatus(const std::string &reply) {
  return reply.size() > 12 && reply.compare(0, 9, "HTTP/1.1 ") == 0 ? std::stoi(reply.substr(9, 3)) : -1;
}
// The body of a raw reply.
inline std::string rawBody(const std::string &reply) {
  const std::size_t end = reply.find("\r\n\r\n");
  return end == std::string::npos ? std::string() : reply.substr(end + 4);
}

// Runs `work` on a thread of its own while this thread processes events, so the hand-offs
// of its requests run here as they would on the program's UI thread.
template <typename Work>
auto servingEvents(Work work) {
  auto result = std::async(std::launch::async, std::move(work));
  while (result.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  return result.get();
}

inline TMcpResponse mcpCallServingEvents(int port, const std::string &method, const std::string &path,
                                         const std::string &body = {}, const httplib::Headers &headers = {}) {
  return servingEvents([=] { return mcpClientCall(port, method, path, body, headers); });
}

class McpServerTest : public EditorTest {
 protected:
  void SetUp() override {
    server = createEditorMcpServer(editor, 0, handOff, serverLimits);
    server->Start();
    port = server->Port();
  }
  void TearDown() override { server->Stop(); }

  TMcpResponse call(const std::string &method, const std::string &path, const std::string &body = {},
                    const httplib::Headers &headers = {}) {
    return mcpCallServingEvents(port, method, path, body, headers);
  }
  // The body of a reply that must have status 200.
  std::string ok200(const std::string &method, const std::string &path, const std::string &body = {}) {
    const TMcpResponse r = call(method, path, body);
    EXPECT_EQ(r.status, 200) << method << " " << path << " -> " << r.body;
    return r.body;
  }

  // The server's limits; a fixture may change them in its constructor.
  TMcpLimits serverLimits;

  std::shared_ptr<TMcpHandOff> handOff = std::make_shared<TMcpHandOff>();
  std::unique_ptr<TQNMCPServer> server;
  int port = 0;
};

}  // namespace quillon::test
