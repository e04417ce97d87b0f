#pragma once
// The editor's automation server: the handler that carries each request from its
// connection thread to the UI thread (mcpDispatch), and the start-up and shutdown steps
// that start and stop the server.
//
// A request for a route runs on the UI thread, one at a time, between the user's own
// events. While a modal dialog or popup menu is open it is refused as busy instead (it
// would otherwise run inside that box's event loop, in the middle of the command that
// opened it). The index and unmatched requests read no editor state and are answered on
// the connection thread.
#include <memory>
#include <string>

#include "automation/mcp_hand_off.h"
#include "automation/mcp_server.h"

namespace quillon {

class TEditor;

// The refusal while a modal box is open, and the reply of a request whose hand-off was
// ended by shutdown (status 503).
inline constexpr const char *kMcpBusyError = "busy: a dialog or menu is open in the editor";
inline constexpr const char *kMcpShuttingDownError = "the editor is shutting down";

// The handler: finds the route; a route that needs the editor is handed to the UI thread
// through `handOff` and this waits for it.
std::string mcpDispatch(TEditor &editor, TMcpHandOff &handOff, const std::string &AMethod, const std::string &APath,
                        const std::string &ABody, int &AStatusCode, std::string &AContentType);

// A server on the port (0: any free port) whose handler is mcpDispatch for the editor,
// through `handOff` (a new one when none is given); stopping it first closes the hand-off,
// ending every request still waiting for the UI thread. Not started.
std::unique_ptr<TQNMCPServer> createEditorMcpServer(TEditor &editor, int port,
                                                    std::shared_ptr<TMcpHandOff> handOff = nullptr);

// Start-up step: when the settings file turns [MCP] EnableServer on, creates the server on
// kMcpPort and starts it in FMCPServer. Any failure leaves FMCPServer empty, silently.
void startMcpServer(TEditor &editor);
// Shutdown step: stops and frees the server in FMCPServer, if any.
void stopMcpServer(TEditor &editor);

}  // namespace quillon
