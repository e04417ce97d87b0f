#include "automation/mcp_routes.h"

#include <exception>

#include "shell/editor.h"

namespace quillon {

namespace {

constexpr std::string_view kShapesPrefix = "/shapes/";

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

bool pathMatches(const TMcpRoute &row, std::string_view path) {
  switch (row.Match) {
    case TMcpPathMatch::Exact: return equalsIgnoringAsciiCase(path, row.Path);
    case TMcpPathMatch::ShapesPrefix: return path.substr(0, kShapesPrefix.size()) == kShapesPrefix;
    case TMcpPathMatch::ShapesPrefixLonger:
      return path.size() > kShapesPrefix.size() && path.substr(0, kShapesPrefix.size()) == kShapesPrefix;
  }
  return false;
}

using M = TMcpPathMatch;
using K = TMcpRowKind;

}  // namespace

const std::vector<TMcpRoute> &mcpRouteTable() {
  // Rows of routes that are not built yet are left out (they answer 404 like any unknown
  // request).
  static const std::vector<TMcpRoute> table = {
      {"GET", "/paths", M::Exact, K::Route, mcpGetPaths},
      {"GET", "/intersections", M::Exact, K::Route, mcpGetIntersections},
      {"POST", "/ruler", M::Exact, K::Route, mcpRuler},
      {"GET", "/doc", M::Exact, K::Route, mcpGetDoc},
      {"GET", "/lint", M::Exact, K::Route, mcpLint},
      {"POST", "/undo", M::Exact, K::Route, mcpUndo},
      {"POST", "/redo", M::Exact, K::Route, mcpRedo},
      {"POST", "/resolve_shape", M::Exact, K::Route, mcpResolveShape},
      {"POST", "/split_at_intersection", M::Exact, K::Route, mcpSplitAtIntersection},
      {"GET", "/shapes/", M::ShapesPrefixLonger, K::Route, mcpGetShape},
      {"POST", "/shapes/line", M::Exact, K::Route, mcpCreateLine},
      {"POST", "/shapes/circle", M::Exact, K::Route, mcpCreateCircle},
      {"POST", "/shapes/arc", M::Exact, K::Route, mcpCreateArc},
      {"POST", "/shapes/bezier", M::Exact, K::Route, mcpCreateBezier},
      {"PUT", "/shapes/", M::ShapesPrefix, K::Route, mcpUpdateShape},
      {"POST", "/shapes/stitch_hole", M::Exact, K::Route, mcpCreateStitchHole},
      {"POST", "/stitch/along_path", M::Exact, K::Route, mcpStitchAlongPath},
      {"POST", "/shapes/chamfer", M::Exact, K::Route, mcpChamfer},
      {"POST", "/shapes/offset/smart", M::Exact, K::Route, mcpOffsetSmart},
      {"POST", "/shapes/smooth_chain", M::Exact, K::Route, mcpSmoothChainG1},
      {"POST", "/shapes/smooth_chain_g2", M::Exact, K::Route, mcpSmoothChainG2},
      {"POST", "/shapes/trim", M::Exact, K::Route, mcpTrimAtPoint},
      {"POST", "/shapes/offset", M::Exact, K::Route, mcpOffset},
      {"POST", "/stitch/loop", M::Exact, K::Route, mcpStitchLoop},
      {"POST", "/doc/new", M::Exact, K::Route, mcpNewDocument},
      {"POST", "/viewport/fit", M::Exact, K::Route, mcpFitViewport},
      {"POST", "/viewport", M::Exact, K::Route, mcpSetViewport},
      {"POST", "/hit_test", M::Exact, K::Route, mcpHitTest},
      {"POST", "/click", M::Exact, K::Route, mcpClick},
      {"POST", "/regularize", M::Exact, K::Route, mcpRegularize},
      {"GET", "/stitch_hosts", M::Exact, K::Route, mcpStitchHosts},
      {"POST", "/mirror", M::Exact, K::Route, mcpMirror},
      {"POST", "/center_line", M::Exact, K::Route, mcpCenterLine},
      {"POST", "/distance_marking", M::Exact, K::Route, mcpDistanceMarking},
      {"DELETE", "/shapes", M::Exact, K::Route, mcpDeleteShapes},
      {"DELETE", "/shapes/", M::ShapesPrefixLonger, K::Route, mcpDeleteShape},
      {"GET", "/", M::Exact, K::Index, nullptr},
  };
  return table;
}

const TMcpRoute *findMcpRoute(std::string_view method, std::string_view path) {
  for (const TMcpRoute &row : mcpRouteTable())
    if (equalsIgnoringAsciiCase(method, row.Method) && pathMatches(row, path)) return &row;
  return nullptr;
}

const std::string &mcpIndexReply() {
  static const std::string text =
      R"idx({"name":"Quillon MCP","phase":1,"endpoints":["GET /paths","GET /intersections","POST /ruler",)idx"
      R"idx("GET /doc","GET /shapes/{id}","POST /shapes/line","POST /shapes/circle","POST /shapes/arc",)idx"
      R"idx("POST /shapes/bezier","PUT /shapes/{id}","POST /shapes/stitch_hole","POST /stitch/along_path",)idx"
      R"idx("POST /shapes/chamfer","POST /shapes/offset","POST /shapes/offset/smart","POST /shapes/smooth_chain",)idx"
      R"idx("POST /stitch/loop","POST /doc/new","POST /viewport/fit","POST /viewport","POST /hit_test",)idx"
      R"idx("POST /click","POST /regularize","POST /fix_stitch_order","GET /stitch_hosts","POST /thread",)idx"
      R"idx("GET /threads","POST /resolve_shape","POST /split_at_intersection","GET /lint","POST /mirror",)idx"
      R"idx("POST /center_line","POST /distance_marking","DELETE /shapes/{id}",)idx"
      R"idx("DELETE /shapes (body:{ids:[...]} for bulk, no body = clear all)"]})idx";
  return text;
}

std::string mcpUnknownEndpointReply(std::string_view method, std::string_view path) {
  return "{\"error\":\"unknown endpoint\",\"method\":" + mcpJsonString(method) + ",\"path\":" + mcpJsonString(path) +
         "}";
}

TMcpReply runMcpRoute(TEditor &editor, const TMcpRoute &route, const TMcpRequest &request) {
  try {
    return {200, route.Op(editor, request)};
  } catch (const std::exception &e) {
    return {500, mcpErrorReply(e.what())};
  } catch (...) {
    return {500, mcpErrorReply("unexpected failure")};
  }
}

TMcpReply routeRequest(TEditor &editor, const TMcpRequest &request) {
  const TMcpRoute *route = findMcpRoute(request.Method, request.Path);
  if (route && route->Kind == TMcpRowKind::Route) return runMcpRoute(editor, *route, request);
  if (route && route->Kind == TMcpRowKind::Index) return {200, mcpIndexReply()};
  return {404, mcpUnknownEndpointReply(request.Method, request.Path)};
}

}  // namespace quillon
