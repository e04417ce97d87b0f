#include "automation/mcp_request.h"

#include <cmath>
#include <stdexcept>

#include "platform/json_text.h"
#include "platform/json_values.h"
#include "platform/number_text.h"
#include "model/draw_pallet.h"
#include "shell/editor.h"

namespace quillon {

namespace {

[[noreturn]] void fail(const std::string &message) { throw std::runtime_error(message); }

std::string limitText(double max) { return floatToTextNoDotZero(static_cast<float>(max)); }

}  // namespace

// ---------------------------------------------------------------------------------
// Text-built replies

std::string mcpJsonString(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20 || c == 0x7F) {
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    } else {
      out += ch;
    }
  }
  out += '"';
  return out;
}

std::string mcpErrorReply(std::string_view message) { return "{\"error\":" + mcpJsonString(message) + "}"; }

std::string mcpOkFalseReply(std::string_view message) {
  return "{\"ok\":false,\"error\":" + mcpJsonString(message) + "}";
}

// ---------------------------------------------------------------------------------
// Request helpers

int mcpIdFromPath(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  const std::string_view tail = slash == std::string_view::npos ? path : path.substr(slash + 1);
  return parseInt32(tail).value_or(-1);
}

std::optional<TJson> mcpParseBodyObject(const std::string &body) {
  try {
    TJson value = parseJsonText(body);
    if (!value.is_object()) return std::nullopt;
    return value;
  } catch (const std::exception &) {
    return std::nullopt;
  }
}

TDrawPallet *mcpPaletteFromBody(const TEditor &editor, const TJson *body, int &index) {
  index = getCurrentPaletteIndex(editor.pen());
  const int count = static_cast<int>(editor.pen().FPalletList.size());
  if (body && body->is_object()) {
    if (const TJson *asked = mcpMember(*body, "paletteIdx"); asked && asked->is_number()) {
      if (!asked->is_number_integer()) fail("paletteIdx must be an integer");
      // 1-based in requests; anything outside 1..count keeps the current line type.
      if (const TJsonRead<int> asked1 = readJsonInt(*asked); asked1 && asked1.Value >= 1 && asked1.Value <= count)
        index = asked1.Value - 1;
    }
  }
  if (index < 0 || index >= count) return nullptr;
  return editor.pen().FPalletList[static_cast<std::size_t>(index)].get();
}

int mcpLayerFromBody(const TJson *body, int def) {
  if (!body || !body->is_object()) return def;
  const TJson *layer = mcpMember(*body, "layerId");
  if (!layer || !layer->is_number()) return def;
  return mcpInteger(*layer, "layerId");
}

TJson mcpPointJson(TPointF point) {
  TJson o = TJson::object();
  o["x"] = static_cast<double>(point.X);
  o["y"] = static_cast<double>(point.Y);
  return o;
}

const char *mcpPathCommandLetter(TPathPointKind kind) {
  switch (kind) {
    case TPathPointKind::MoveTo: return "M";
    case TPathPointKind::LineTo: return "L";
    case TPathPointKind::CurveTo: return "C";
    case TPathPointKind::Close: return "Z";
  }
  return "?";
}

// ---------------------------------------------------------------------------------
// Members

const TJson *mcpMember(const TJson &object, const char *name) {
  if (!object.is_object()) return nullptr;
  const auto it = object.find(name);
  return it == object.end() ? nullptr : &*it;
}

double mcpRequiredNumber(const TJson &object, const char *name) {
  const TJson *value = mcpMember(object, name);
  if (!value) fail(std::string("missing member ") + name);
  if (!value->is_number()) fail(std::string(name) + " must be a number");
  return value->get<double>();
}

float mcpRequiredFloat(const TJson &object, const char *name) {
  return static_cast<float>(mcpRequiredNumber(object, name));
}

TPointF mcpRequiredPoint(const TJson &value, const char *name) {
  if (!value.is_object()) fail(std::string(name) + " must be an object with x and y");
  return {mcpRequiredFloat(value, "x"), mcpRequiredFloat(value, "y")};
}

int mcpInteger(const TJson &value, const char *name) {
  if (!value.is_number_integer()) fail(std::string(name) + " must be an integer");
  const TJsonRead<int> n = readJsonInt(value);
  if (!n) fail(std::string(name) + " is out of range");
  return n.Value;
}

std::optional<std::string> mcpCheckLimits(const TJson &object, std::initializer_list<TMcpLimit> limits,
                                          std::initializer_list<const char *> integers) {
  for (const TMcpLimit &limit : limits) {
    const TJson *value = mcpMember(object, limit.Name);
    if (!value || !value->is_number()) continue;
    const double v = value->get<double>();
    if (!std::isfinite(v) || std::fabs(v) > limit.Max)
      return std::string(limit.Name) + " must be a finite number from -" + limitText(limit.Max) + " to " +
             limitText(limit.Max);
  }
  for (const char *name : integers) {
    const TJson *value = mcpMember(object, name);
    if (value && value->is_number_integer() && !readJsonInt(*value))
      return std::string(name) + " is out of range";
  }
  return std::nullopt;
}

std::optional<std::string> mcpCheckPointArray(const TJson &object, const char *name) {
  const TJson *array = mcpMember(object, name);
  if (!array || !array->is_array()) return std::nullopt;
  for (const TJson &element : *array) {
    if (!element.is_object()) continue;
    for (const char *axis : {"x", "y"}) {
      const TJson *value = mcpMember(element, axis);
      if (!value || !value->is_number()) continue;
      const double v = value->get<double>();
      if (!std::isfinite(v) || std::fabs(v) > kMcpMaxCoordinate)
        return std::string(name) + "." + axis + " must be a finite number from -" + limitText(kMcpMaxCoordinate) +
               " to " + limitText(kMcpMaxCoordinate);
    }
  }
  return std::nullopt;
}

std::optional<std::string> mcpCheckIntegerArray(const TJson &object, const char *name) {
  const TJson *array = mcpMember(object, name);
  if (!array || !array->is_array()) return std::nullopt;
  for (const TJson &element : *array)
    if (element.is_number_integer() && !readJsonInt(element)) return std::string(name) + " holds an id out of range";
  return std::nullopt;
}

}  // namespace quillon
