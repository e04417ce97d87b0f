// The view routes (fit the drawing, set scale and centre) and the click route, which runs
// the drawing box's own pointer handlers with the active tool.
#include <cmath>
#include <string>

#include <QString>

#include "automation/mcp_routes.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/selection.h"
#include "tools/pointer.h"
#include "tools/view_commands.h"
#include "tools/view_transform.h"

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

}  // namespace

std::string mcpFitViewport(TEditor &editor, const TMcpRequest &) {
  actResetViewExecute(editor);
  return "{\"ok\":true,\"scale\":" + upToThreeDecimals(editor.FScale) +
         ",\"offsetX\":" + upToThreeDecimals(editor.FOffset.X) +
         ",\"offsetY\":" + upToThreeDecimals(editor.FOffset.Y) + "}";
}

std::string mcpSetViewport(TEditor &editor, const TMcpRequest &request) {
  double scale = editor.FScale;
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
  if (!haveCentre) centre = virtualToReal(editor, {editor.FBoxWidth / 2.0f, editor.FBoxHeight / 2.0f});

  editor.FScale = float(scale);
  editor.FOffset = {editor.FBoxWidth / 2.0f - centre.X * editor.FScale,
                    editor.FBoxHeight / 2.0f - centre.Y * editor.FScale};
  editor.ui().refreshCanvas();
  return "{\"ok\":true,\"scale\":" + fixed(editor.FScale, 4) + ",\"offsetX\":" + fixed(editor.FOffset.X, 2) +
         ",\"offsetY\":" + fixed(editor.FOffset.Y, 2) + ",\"canvasW\":" + fixed(editor.FBoxWidth, 0) +
         ",\"canvasH\":" + fixed(editor.FBoxHeight, 0) + ",\"centerX\":" + fixed(centre.X, 3) +
         ",\"centerY\":" + fixed(centre.Y, 3) + "}";
}

std::string mcpClick(TEditor &editor, const TMcpRequest &request) {
  const std::optional<TJson> body = mcpParseBodyObject(request.Body);
  if (!body) return mcpErrorReply(kMcpInvalidJsonBody);
  if (!mcpMember(*body, "x") || !mcpMember(*body, "y")) return mcpErrorReply("x and y are required");
  if (auto refusal = mcpCheckLimits(*body, {{"x", kMcpMaxCoordinate},
                                            {"y", kMcpMaxCoordinate},
                                            {"dxPx", kMcpMaxCoordinate},
                                            {"dyPx", kMcpMaxCoordinate}}))
    return mcpErrorReply(*refusal);
  const TPointF point{mcpRequiredFloat(*body, "x"), mcpRequiredFloat(*body, "y")};
  double dx = 0.0, dy = 0.0;
  optionalNumber(*body, "dxPx", dx);
  optionalNumber(*body, "dyPx", dy);
  TShiftState shift = ssLeft;
  if (literalTrue(*body, "shift")) shift |= ssShift;
  if (literalTrue(*body, "alt")) shift |= ssAlt;
  if (literalTrue(*body, "ctrl")) shift |= ssCtrl;

  const TPointF v = realToVirtual(editor, point);
  const TPointF screen{v.X + float(dx), v.Y + float(dy)};
  pointerDown(editor, TMouseButton::Left, shift, screen.X, screen.Y);
  pointerUp(editor, TMouseButton::Left, shift & ~ssLeft, screen.X, screen.Y);
  editor.ui().refreshCanvas();

  std::string selected;
  for (const TQN_Path *shape : *editor.PathList) {
    if (!shape->FSelected) continue;
    if (!selected.empty()) selected += ',';
    selected += "{\"id\":" + std::to_string(shape->ID()) + ",\"type\":" + mcpJsonString(shape->FShapeType.toStdString()) +
                ",\"groupId\":" + std::to_string(shape->FGroupID) + "}";
  }
  const std::size_t count = getSelectedPaths(editor, false, false).size();
  return "{\"ok\":true,\"screenX\":" + fixed(screen.X, 2) + ",\"screenY\":" + fixed(screen.Y, 2) +
         ",\"scale\":" + fixed(editor.FScale, 4) + ",\"selectedCount\":" + std::to_string(count) +
         ",\"selected\":[" + selected + "]}";
}

}  // namespace quillon
