#pragma once
// The automation route table: one ordered list of rows (method, path, route operation),
// the index reply of GET / and the reply for a request that no row serves.
//
// Rows are tested in order and the first match serves the request. Methods are compared
// without regard to ASCII case; an exact path too ("/PATHS" matches "/paths", a trailing
// slash does not). A prefix row matches paths that begin with "/shapes/" exactly (case
// included); the GET and DELETE prefix rows also need a path longer than that prefix.
//
// Route operations run on the UI thread, one at a time, and return the reply text; they
// may set a status other than 200. A failure they throw becomes status 500 with its
// message (edits made before it stay).
#include <string>
#include <string_view>
#include <vector>

#include "automation/mcp_hand_off.h"
#include "automation/mcp_request.h"

namespace quillon {

class TEditor;

using TMcpRouteOp = std::string (*)(TEditor &editor, const TMcpRequest &request);

enum class TMcpPathMatch {
  Exact,               // the whole path, ASCII case ignored
  ShapesPrefix,        // begins with "/shapes/"
  ShapesPrefixLonger,  // begins with "/shapes/" and is longer than it
};

enum class TMcpRowKind {
  Route,         // served by its operation on the UI thread
  Index,         // the fixed index reply; reads no editor state
  NotYetServed,  // a row whose operation is still to come: answered like an unmatched request
};

struct TMcpRoute {
  const char *Method;
  const char *Path;
  TMcpPathMatch Match;
  TMcpRowKind Kind;
  TMcpRouteOp Op;
};

// The table in the order its rows are tested.
const std::vector<TMcpRoute> &mcpRouteTable();
// The first row that matches, or null.
const TMcpRoute *findMcpRoute(std::string_view method, std::string_view path);

// The reply of GET /.
const std::string &mcpIndexReply();
// {"error":"unknown endpoint","method": the method,"path": the path}, for status 404.
std::string mcpUnknownEndpointReply(std::string_view method, std::string_view path);

// Runs the row's operation (Kind Route) and turns a failure into status 500.
TMcpReply runMcpRoute(TEditor &editor, const TMcpRoute &route, const TMcpRequest &request);
// The whole table on the calling thread, which must be the UI thread: the reply of the
// first matching row, or the 404 reply.
TMcpReply routeRequest(TEditor &editor, const TMcpRequest &request);

// Route operations (query routes).
std::string mcpGetPaths(TEditor &editor, const TMcpRequest &request);
std::string mcpGetIntersections(TEditor &editor, const TMcpRequest &request);
std::string mcpRuler(TEditor &editor, const TMcpRequest &request);
std::string mcpGetDoc(TEditor &editor, const TMcpRequest &request);
std::string mcpGetShape(TEditor &editor, const TMcpRequest &request);
std::string mcpLint(TEditor &editor, const TMcpRequest &request);
std::string mcpStitchHosts(TEditor &editor, const TMcpRequest &request);

// Route operations (shape edits).
std::string mcpCreateLine(TEditor &editor, const TMcpRequest &request);
std::string mcpCreateCircle(TEditor &editor, const TMcpRequest &request);
std::string mcpCreateArc(TEditor &editor, const TMcpRequest &request);
std::string mcpCreateBezier(TEditor &editor, const TMcpRequest &request);
std::string mcpUpdateShape(TEditor &editor, const TMcpRequest &request);
std::string mcpDeleteShapes(TEditor &editor, const TMcpRequest &request);
std::string mcpDeleteShape(TEditor &editor, const TMcpRequest &request);
std::string mcpResolveShape(TEditor &editor, const TMcpRequest &request);
std::string mcpRegularize(TEditor &editor, const TMcpRequest &request);

// Route operations (cutting).
std::string mcpTrimAtPoint(TEditor &editor, const TMcpRequest &request);
std::string mcpSplitAtIntersection(TEditor &editor, const TMcpRequest &request);

// Route operations (stitching).
std::string mcpCreateStitchHole(TEditor &editor, const TMcpRequest &request);
std::string mcpStitchLoop(TEditor &editor, const TMcpRequest &request);
std::string mcpStitchAlongPath(TEditor &editor, const TMcpRequest &request);

// Route operations (document and history).
std::string mcpNewDocument(TEditor &editor, const TMcpRequest &request);
std::string mcpUndo(TEditor &editor, const TMcpRequest &request);
std::string mcpRedo(TEditor &editor, const TMcpRequest &request);
std::string mcpFitViewport(TEditor &editor, const TMcpRequest &request);
std::string mcpSetViewport(TEditor &editor, const TMcpRequest &request);
std::string mcpClick(TEditor &editor, const TMcpRequest &request);
std::string mcpHitTest(TEditor &editor, const TMcpRequest &request);

// Route operations (construction and smoothing).
std::string mcpMirror(TEditor &editor, const TMcpRequest &request);
std::string mcpCenterLine(TEditor &editor, const TMcpRequest &request);
std::string mcpDistanceMarking(TEditor &editor, const TMcpRequest &request);
std::string mcpChamfer(TEditor &editor, const TMcpRequest &request);
std::string mcpOffset(TEditor &editor, const TMcpRequest &request);
std::string mcpOffsetSmart(TEditor &editor, const TMcpRequest &request);
std::string mcpSmoothChainG1(TEditor &editor, const TMcpRequest &request);
std::string mcpSmoothChainG2(TEditor &editor, const TMcpRequest &request);

}  // namespace quillon
