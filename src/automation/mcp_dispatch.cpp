#include "automation/mcp_dispatch.h"

#include <exception>
#include <utility>

#include "automation/mcp_request.h"
#include "automation/mcp_routes.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/settings_file.h"

namespace quillon {

std::string mcpDispatch(TEditor &editor, TMcpHandOff &handOff, const std::string &AMethod, const std::string &APath,
                        const std::string &ABody, int &AStatusCode, std::string &AContentType) {
  AStatusCode = 200;
  AContentType = kMcpContentType;
  const TMcpRoute *route = findMcpRoute(AMethod, APath);
  if (route && route->Kind == TMcpRowKind::Index) return mcpIndexReply();
  if (!route || route->Kind != TMcpRowKind::Route) {
    AStatusCode = 404;
    return mcpUnknownEndpointReply(AMethod, APath);
  }

  TMcpRequest request{AMethod, APath, ABody};
  std::optional<TMcpReply> reply = handOff.run([&editor, route, request = std::move(request)]() -> TMcpReply {
    if (editor.ui().isModalActive()) return {200, mcpOkFalseReply(kMcpBusyError)};
    return runMcpRoute(editor, *route, request);
  });
  if (!reply) {
    AStatusCode = 503;
    return mcpErrorReply(kMcpShuttingDownError);
  }
  AStatusCode = reply->Status;
  return std::move(reply->Body);
}

std::unique_ptr<TQNMCPServer> createEditorMcpServer(TEditor &editor, int port, std::shared_ptr<TMcpHandOff> handOff,
                                                    const TMcpLimits &limits) {
  if (!handOff) handOff = std::make_shared<TMcpHandOff>();
  return std::make_unique<TQNMCPServer>(
      port,
      [&editor, handOff](const std::string &method, const std::string &path, const std::string &body, int &status,
                         std::string &contentType) {
        return mcpDispatch(editor, *handOff, method, path, body, status, contentType);
      },
      [handOff] { handOff->close(); }, limits);
}

std::unique_ptr<TQNMCPServer> startMcpServer(TEditor &editor) {
  try {
    if (!readMcpEnableServer(optionsFilePath(editor))) return nullptr;
    auto server = createEditorMcpServer(editor, kMcpPort);
    server->Start();
    return server;
  } catch (const std::exception &) {
    // The port is taken or the settings could not be read: the server stays off.
    return nullptr;
  }
}

void stopMcpServer(std::unique_ptr<TQNMCPServer> &server) {
  if (!server) return;
  server->Stop();
  server.reset();
}

}  // namespace quillon
