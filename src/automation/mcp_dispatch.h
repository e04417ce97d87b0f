#pragma once
// The editor's automation server: the handler that carries each request from its
// connection thread to the UI thread (mcpDispatch), and the steps of the program's
// start-up and shutdown that start and stop the server (the program owns it).
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
                                                    std::shared_ptr<TMcpHandOff> handOff = nullptr,
                                                    const TMcpLimits &limits = {});

// Start-up step of the program, last: when the settings file turns [MCP] EnableServer on,
// creates the server on kMcpPort for the editor and starts it. Empty when the server is
// off or cannot start (silently).
std::unique_ptr<TQNMCPServer> startMcpServer(TEditor &editor);
// Shutdown step of the program, first: stops and frees the server, if any, so that no
// request reaches the editor while it is saved and freed.
void stopMcpServer(std::unique_ptr<TQNMCPServer> &server);

}  // namespace quillon
