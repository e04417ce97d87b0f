#pragma once
// What every automation route shares: the request, the reading of its JSON body and of
// its members, the limits on the values it accepts, and the two ways replies are written.
//
// Replies are one line of JSON. Replies built as JSON objects go through the program's
// JSON writer (writeJsonText: 15 significant digits with ".0", "\/", \uXXXX escapes);
// replies built as text use mcpJsonString for any text taken from the request or from a
// failure.
//
// A route reports a refusal with status 200 and an "error" member. A member that is
// required but missing, or of the wrong JSON type, is a failure: the reader throws
// std::runtime_error, and the dispatcher answers status 500 with the message.
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "platform/geometry.h"
#include "platform/json_fwd.h"
#include "platform/path_data.h"

namespace quillon {

class TDrawPallet;
class TEditor;

// One request as the routes see it: the method as sent, the path percent-decoded without
// its query, the body text (UTF-8).
struct TMcpRequest {
  std::string Method;
  std::string Path;
  std::string Body;
};

// The content type of every reply.
inline constexpr const char *kMcpContentType = "application/json; charset=utf-8";

// Limits on request values. Lengths and coordinates are millimetres; a drawing far
// beyond 100 m, or a circle whose outline would need millions of points, is a mistake of
// the sender, not a drawing.
inline constexpr double kMcpMaxCoordinate = 100000.0;
inline constexpr double kMcpMaxLength = 100000.0;
// Angles in radians (about 160 turns either way).
inline constexpr double kMcpMaxRadians = 1000.0;
// Entries of an id list.
inline constexpr std::size_t kMcpMaxIdCount = 100000;
// Points of the outline of a shape a route makes (an outline has a point per 0.3 mm of
// its length: this is a circle of about 9.5 m radius). Longer outlines are refused, as
// every later request would carry, copy and send them whole.
inline constexpr int kMcpMaxOutlinePoints = 200000;

// ---------------------------------------------------------------------------------
// Text-built replies

// The text as a quoted JSON string: quotation mark and backslash escaped with a
// backslash, control characters (below 32, and 127) as \u00XX; everything else as it is.
std::string mcpJsonString(std::string_view text);
// {"error":"<message>"} and {"ok":false,"error":"<message>"}.
std::string mcpErrorReply(std::string_view message);
std::string mcpOkFalseReply(std::string_view message);

inline constexpr const char *kMcpInvalidJsonBody = "invalid JSON body";

// ---------------------------------------------------------------------------------
// Request helpers

// The text after the last "/" of the path as a decimal integer (optionally signed);
// -1 when it is not a 32-bit integer. Callers treat every negative id as invalid.
int mcpIdFromPath(std::string_view path);

// The body parsed as one JSON value; empty when it does not parse or is not an object
// (an empty body included).
std::optional<TJson> mcpParseBodyObject(const std::string &body);

// The line type a request asks for and its 0-based index: the current line type, unless
// the body's "paletteIdx" is a JSON number (which must be a plain integer, or this
// throws) in 1..40. Null when the editor has no current line type and none was asked.
TDrawPallet *mcpPaletteFromBody(const TEditor &editor, const TJson *body, int &index);
// The body's "layerId" when it is a JSON number (a plain integer, or this throws), else
// `def`.
int mcpLayerFromBody(const TJson *body, int def);

// {"x": x, "y": y} with both as JSON numbers.
TJson mcpPointJson(TPointF point);
// "M", "L", "C" or "Z" for the command of an outline point, "?" for anything else.
const char *mcpPathCommandLetter(TPathPointKind kind);

// ---------------------------------------------------------------------------------
// Members

// The member, or null when the object has none of that name.
const TJson *mcpMember(const TJson &object, const char *name);
// A required number: throws when it is missing or not a JSON number.
double mcpRequiredNumber(const TJson &object, const char *name);
float mcpRequiredFloat(const TJson &object, const char *name);
// A point object {"x","y"} with required numbers; throws when it is not an object.
TPointF mcpRequiredPoint(const TJson &value, const char *name);
// A JSON number written as a plain integer that fits 32 bits; throws otherwise.
int mcpInteger(const TJson &value, const char *name);

// One member's limit: a present number must be finite and within -Max..Max.
struct TMcpLimit {
  const char *Name;
  double Max;
};
// The refusal text for the first present number outside its limit, or for a present
// integer member (`integers`) outside 32 bits; empty when all are in range. Members that
// are missing or of another JSON type are left to the readers.
std::optional<std::string> mcpCheckLimits(const TJson &object, std::initializer_list<TMcpLimit> limits,
                                          std::initializer_list<const char *> integers = {});
// The same for every {"x","y"} element of an array member, against the coordinate limit.
std::optional<std::string> mcpCheckPointArray(const TJson &object, const char *name);
// The same for every integer element of an array member, against 32 bits.
std::optional<std::string> mcpCheckIntegerArray(const TJson &object, const char *name);

}  // namespace quillon
