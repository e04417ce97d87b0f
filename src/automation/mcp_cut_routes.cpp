// The cutting routes: trimming the piece of a shape at a point, and splitting a line, arc
// or circle at one of its intersections. Both run the editing commands the pointer tools
// run and end with one undo snapshot and a canvas refresh.
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "automation/mcp_routes.h"
#include "edit/split.h"
#include "edit/trim.h"
#include "model/intersection.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "platform/json_text.h"
#include "shell/deletion.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/undo.h"

namespace quillon {

namespace {

// An intersection this far from the requested point, or farther, is not taken (mm).
constexpr float kSplitRouteReach = 5.0f;

std::string generalNumber(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", double(value));
  return text;
}

}  // namespace

std::string mcpTrimAtPoint(TEditor &editor, const TMcpRequest &request) {
  const std::optional<TJson> body = mcpParseBodyObject(request.Body);
  if (!body) return mcpOkFalseReply(kMcpInvalidJsonBody);
  const TJson *point = mcpMember(*body, "point");
  if (!point) return mcpOkFalseReply("point is required");
  if (!point->is_object()) throw std::runtime_error("point must be an object with x and y");
  if (!mcpMember(*point, "x") || !mcpMember(*point, "y")) return mcpOkFalseReply("point.x and point.y are required");
  if (auto refusal = mcpCheckLimits(*point, {{"x", kMcpMaxCoordinate}, {"y", kMcpMaxCoordinate}}))
    return mcpOkFalseReply(*refusal);
  const TPointF at{mcpRequiredFloat(*point, "x"), mcpRequiredFloat(*point, "y")};

  bool refused = false;
  if (trimAtPointQuietly(editor, at, refused)) {
    editor.ui().refreshCanvas();
    return "{\"ok\":true}";
  }
  // A request gets its answer at once: a kind that cannot be trimmed is said in the reply,
  // not in a box that would hold the request until someone closes it.
  if (refused) return mcpOkFalseReply("only LINE/ARC/BEZIER/CIRCLE can be trimmed");
  return mcpOkFalseReply("no trimmable shape found at this point");
}

std::string mcpSplitAtIntersection(TEditor &editor, const TMcpRequest &request) {
  const std::optional<TJson> body = mcpParseBodyObject(request.Body);
  if (!body) return mcpErrorReply(kMcpInvalidJsonBody);
  if (!mcpMember(*body, "shapeId") || !mcpMember(*body, "x") || !mcpMember(*body, "y"))
    return mcpErrorReply("shapeId,x,y are required");
  const int id = mcpInteger(*mcpMember(*body, "shapeId"), "shapeId");
  if (auto refusal = mcpCheckLimits(*body, {{"x", kMcpMaxCoordinate}, {"y", kMcpMaxCoordinate}}))
    return mcpErrorReply(*refusal);
  const TPointF near{mcpRequiredFloat(*body, "x"), mcpRequiredFloat(*body, "y")};

  TShapeList &doc = editor.doc().PathList();
  TQN_Path *shape = findShapeById(doc, id);
  if (!shape) return "{\"error\":\"shape not found\",\"id\":" + std::to_string(id) + "}";
  if (!shape->isKind(TShapeKind::Line) && !shape->isKind(TShapeKind::Arc) && !isCircleShape(*shape))
    return mcpErrorReply("only LINE/ARC/CIRCLE can be split at an intersection");

  const TIntersection *nearest = nullptr;
  float best = kSplitRouteReach;
  for (const TIntersection *r : editor.doc().FIntersections) {
    if (r->FPath1 != shape && r->FPath2 != shape) continue;
    const float d = calcDistance(r->FPoint, near);
    if (d < best) {
      best = d;
      nearest = r;
    }
  }
  if (!nearest) return mcpOkFalseReply("no intersection on this shape near the point");
  const TPointF at = nearest->FPoint;  // the record may go with the split

  const int before = doc.Count();
  if (!splitShapeAtPoint(editor, *shape, at)) return mcpOkFalseReply("split failed (point at an endpoint?)");
  takeUndoSnapshot(editor, QStringLiteral("mcp:split"));
  editor.ui().refreshCanvas();

  std::string created;
  for (int i = before; i < doc.Count(); ++i) {
    if (!created.empty()) created += ',';
    created += std::to_string(doc[i]->ID());
  }
  return "{\"ok\":true,\"id\":" + std::to_string(id) + ",\"createdIds\":[" + created + "],\"splitPoint\":{\"x\":" +
         generalNumber(at.X) + ",\"y\":" + generalNumber(at.Y) + "}}";
}

}  // namespace quillon
