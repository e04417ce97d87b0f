// The view routes (fit the drawing, set scale and centre) and the click route, which runs
// the drawing box's own pointer handlers with the active tool.
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QString>

#include "automation/mcp_routes.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "platform/json_text.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/selection.h"
#include "model/point_helpers.h"
#include "tools/hit_test.h"
#include "tools/pointer.h"
#include "tools/snapping.h"
#include "tools/view_commands.h"
#include "shell/view_transform.h"

namespace quillon {

namespace {

std::string fixed(double value, int decimals) {
  QString text = QString::number(value, 'f', decimals);
  // "-0.00" and the like are written without the sign.
  bool nonZero = false;
  for (QChar c : text) nonZero = nonZero || (c.isDigit() && c != QLatin1Char('0'));
  if (!nonZero && text.startsWith(QLatin1Char('-'))) text.remove(0, 1);
  return text.toStdString();
}

// The "0.###" pattern: at most three decimals, no trailing zeros, no point for a whole
// number.
std::string upToThreeDecimals(double value) {
  std::string text = fixed(value, 3);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  return text == "-0" ? "0" : text;
}

// An optional number member: absent gives false; another JSON type throws (a 500 reply).
bool optionalNumber(const TJson &body, const char *name, double &out) {
  const TJson *member = mcpMember(body, name);
  if (!member) return false;
  out = mcpRequiredNumber(body, name);
  return true;
}

bool literalTrue(const TJson &body, const char *name) {
  const TJson *member = mcpMember(body, name);
  return member && member->is_boolean() && member->get<bool>();
}

// The distance of a shape from a point: a dot's or hole's centre, else the nearest
// straight piece of its outline; shapes without outline line points are infinitely far.
double probeDistance(const TQN_Path &shape, TPointF p) {
  constexpr double kFar = 3.4028235e38;
  const TPathData &data = shape.Data();
  if (data.Count() == 0) return kFar;
  if (shape.isKind(TShapeKind::Dot) || shape.isKind(TShapeKind::Hole)) return calcDistance(shape.FCenter, p);
  double best = kFar;
  for (int i = 1; i < data.Count(); ++i) {
    if (data[i].Kind != TPathPointKind::LineTo) continue;
    const TPointF a = data[i - 1].Point, b = data[i].Point;
    const double dx = double(b.X) - a.X, dy = double(b.Y) - a.Y;
    const double L = dx * dx + dy * dy;
    const double u = (double(p.X) - a.X) * dx + (double(p.Y) - a.Y) * dy;
    double d;
    if (L == 0.0 || u < 0.0)
      d = std::hypot(double(p.X) - a.X, double(p.Y) - a.Y);
    else if (u > L)
      d = std::hypot(double(p.X) - b.X, double(p.Y) - b.Y);
    else
      d = std::fabs(dx * (double(a.Y) - p.Y) - dy * (double(a.X) - p.X)) / std::sqrt(L);
    best = std::min(best, d);
  }
  return best;
}

std::string hitEntry(const TEditor &editor, const TQN_Path &shape, double mm) {
  return "{\"id\":" + std::to_string(shape.ID()) + ",\"type\":" + mcpJsonString(shape.kindName().toStdString()) +
         ",\"distMm\":" + fixed(mm, 4) + ",\"distPx\":" + fixed(mm * editor.view().FScale, 2) + "}";
}

// The text of any JSON value: a string's content, else its literal JSON text.
std::string valueText(const TJson &value) {
  return value.is_string() ? value.get<std::string>() : value.dump();
}

std::string asciiLower(std::string text) {
  for (char &c : text)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return text;
}

// The body of the click and hit-test routes: the point "x", "y" in millimetres (required)
// and the pixel offset "dxPx", "dyPx". Returns the refusal reply, or nothing when read.
std::optional<std::string> readPointRequest(const TMcpRequest &request, std::optional<TJson> &body, TPointF &point,
                                            double &dx, double &dy) {
  body = mcpParseBodyObject(request.Body);
  if (!body) return mcpErrorReply(kMcpInvalidJsonBody);
  if (!mcpMember(*body, "x") || !mcpMember(*body, "y")) return mcpErrorReply("x and y are required");
  if (auto refusal = mcpCheckLimits(*body, {{"x", kMcpMaxCoordinate},
                                            {"y", kMcpMaxCoordinate},
                                            {"dxPx", kMcpMaxCoordinate},
                                            {"dyPx", kMcpMaxCoordinate}}))
    return mcpErrorReply(*refusal);
  point = {mcpRequiredFloat(*body, "x"), mcpRequiredFloat(*body, "y")};
  optionalNumber(*body, "dxPx", dx);
  optionalNumber(*body, "dyPx", dy);
  return std::nullopt;
}

}  // namespace

std::string mcpHitTest(TEditor &editor, const TMcpRequest &request) {
  std::optional<TJson> body;
  TPointF point;
  double dx = 0.0, dy = 0.0;
  if (auto refusal = readPointRequest(request, body, point, dx, dy)) return *refusal;
  const TJson *modeMember = mcpMember(*body, "mode");
  const std::string mode = modeMember ? valueText(*modeMember) : std::string("click");
  const std::string lowered = asciiLower(mode);

  const TPointF v = realToVirtual(editor.view(), point);
  const TPointF screen{v.X + float(dx), v.Y + float(dy)};
  const TPointF probe = virtualToReal(editor, screen);

  TQN_Path *near = nullptr;
  const bool selectedNear = selectedShapeAt(editor, screen.X, screen.Y, near);
  TPointF end;
  const bool onEndPoint = selectedNear && lineEndpointAt(editor, near, screen.X, screen.Y, end);

  const bool drag = lowered == "drag", multi = lowered == "multi";
  const std::vector<TQN_Path *> picked =
      hitTestShapes(editor, editor.doc().PathList(), drag, probe, !drag && !multi, false, false);
  std::vector<std::pair<double, TQN_Path *>> all;
  for (TQN_Path *shape : editor.doc().PathList()) all.emplace_back(probeDistance(*shape, probe), shape);
  std::stable_sort(all.begin(), all.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
  if (all.size() > 5) all.resize(5);

  std::string pickedText, nearestText;
  for (const TQN_Path *shape : picked) {
    if (!pickedText.empty()) pickedText += ',';
    pickedText += hitEntry(editor, *shape, probeDistance(*shape, probe));
  }
  for (const auto &[d, shape] : all) {
    if (!nearestText.empty()) nearestText += ',';
    nearestText += hitEntry(editor, *shape, d);
  }
  return "{\"ok\":true,\"mode\":" + mcpJsonString(mode) + ",\"scale\":" + fixed(editor.view().FScale, 4) +
         ",\"probe\":{\"x\":" + fixed(probe.X, 4) + ",\"y\":" + fixed(probe.Y, 4) +
         ",\"screenX\":" + fixed(screen.X, 2) + ",\"screenY\":" + fixed(screen.Y, 2) +
         "},\"dragDecision\":{\"selectedNear\":" + (selectedNear ? "true" : "false") +
         ",\"selectedNearId\":" + std::to_string(selectedNear ? near->ID() : -1) +
         ",\"onEndPoint\":" + (onEndPoint ? "true" : "false") +
         ",\"stickyExists\":" + (editor.snap().FStickyExists ? "true" : "false") + "},\"picked\":[" + pickedText +
         "],\"nearest\":[" + nearestText + "]}";
}

std::string mcpFitViewport(TEditor &editor, const TMcpRequest &) {
  actResetViewExecute(editor);
  return "{\"ok\":true,\"scale\":" + upToThreeDecimals(editor.view().FScale) +
         ",\"offsetX\":" + upToThreeDecimals(editor.view().FOffset.X) +
         ",\"offsetY\":" + upToThreeDecimals(editor.view().FOffset.Y) + "}";
}

std::string mcpSetViewport(TEditor &editor, const TMcpRequest &request) {
  double scale = editor.view().FScale;
  bool haveCentre = false;
  TPointF centre;
  if (const std::optional<TJson> body = mcpParseBodyObject(request.Body)) {
    if (auto refusal = mcpCheckLimits(*body, {{"scale", kMcpMaxLength},
                                              {"centerX", kMcpMaxCoordinate},
                                              {"centerY", kMcpMaxCoordinate}}))
      return mcpErrorReply(*refusal);
    optionalNumber(*body, "scale", scale);
    double cx = 0.0, cy = 0.0;
    const bool hasX = optionalNumber(*body, "centerX", cx);
    const bool hasY = optionalNumber(*body, "centerY", cy);
    if (hasX && hasY) {
      haveCentre = true;
      centre = {float(cx), float(cy)};
    }
  }
  if (scale < kMinScale)
    scale = kMinScale;
  else if (scale > kMaxScale)
    scale = kMaxScale;
  if (!haveCentre) centre = virtualToReal(editor, {editor.view().FBoxWidth / 2.0f, editor.view().FBoxHeight / 2.0f});

  editor.view().FScale = float(scale);
  editor.view().FOffset = {editor.view().FBoxWidth / 2.0f - centre.X * editor.view().FScale,
                    editor.view().FBoxHeight / 2.0f - centre.Y * editor.view().FScale};
  editor.ui().refreshCanvas();
  return "{\"ok\":true,\"scale\":" + fixed(editor.view().FScale, 4) +
         ",\"offsetX\":" + fixed(editor.view().FOffset.X, 2) + ",\"offsetY\":" + fixed(editor.view().FOffset.Y, 2) +
         ",\"canvasW\":" + fixed(editor.view().FBoxWidth, 0) + ",\"canvasH\":" + fixed(editor.view().FBoxHeight, 0) +
         ",\"centerX\":" + fixed(centre.X, 3) + ",\"centerY\":" + fixed(centre.Y, 3) + "}";
}

std::string mcpClick(TEditor &editor, const TMcpRequest &request) {
  std::optional<TJson> body;
  TPointF point;
  double dx = 0.0, dy = 0.0;
  if (auto refusal = readPointRequest(request, body, point, dx, dy)) return *refusal;
  TShiftState shift = ssLeft;
  if (literalTrue(*body, "shift")) shift |= ssShift;
  if (literalTrue(*body, "alt")) shift |= ssAlt;
  if (literalTrue(*body, "ctrl")) shift |= ssCtrl;

  const TPointF v = realToVirtual(editor.view(), point);
  const TPointF screen{v.X + float(dx), v.Y + float(dy)};
  pointerDown(editor, TMouseButton::Left, shift, screen.X, screen.Y);
  pointerUp(editor, TMouseButton::Left, shift & ~ssLeft, screen.X, screen.Y);
  editor.ui().refreshCanvas();

  std::string selected;
  for (const TQN_Path *shape : editor.doc().PathList()) {
    if (!shape->FSelected) continue;
    if (!selected.empty()) selected += ',';
    selected += "{\"id\":" + std::to_string(shape->ID()) +
                ",\"type\":" + mcpJsonString(shape->kindName().toStdString()) +
                ",\"groupId\":" + std::to_string(shape->FGroupID) + "}";
  }
  const std::size_t count = getSelectedPaths(editor, false, false).size();
  return "{\"ok\":true,\"screenX\":" + fixed(screen.X, 2) + ",\"screenY\":" + fixed(screen.Y, 2) +
         ",\"scale\":" + fixed(editor.view().FScale, 4) + ",\"selectedCount\":" + std::to_string(count) +
         ",\"selected\":[" + selected + "]}";
}

}  // namespace quillon
