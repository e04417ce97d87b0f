#pragma once
// A started editor with its automation server listening on a free loopback port, and a
// client call that waits for the reply while this (the UI) thread serves the hand-offs.
#include <httplib.h>

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>

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

// Runs the client call on a thread of its own while this thread processes events, so the
// hand-offs of the request run here as they would on the program's UI thread.
inline TMcpResponse mcpCallServingEvents(int port, const std::string &method, const std::string &path,
                                         const std::string &body = {}, const httplib::Headers &headers = {}) {
  auto reply = std::async(std::launch::async, [=] { return mcpClientCall(port, method, path, body, headers); });
  while (reply.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  return reply.get();
}

class McpServerTest : public EditorTest {
 protected:
  void SetUp() override {
    server = createEditorMcpServer(editor, 0, handOff);
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

  std::shared_ptr<TMcpHandOff> handOff = std::make_shared<TMcpHandOff>();
  std::unique_ptr<TQNMCPServer> server;
  int port = 0;
};

}  // namespace quillon::test
