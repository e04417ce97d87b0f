// The construction routes: mirrored copies across a line, dividing ticks of a centre
// line, a perpendicular distance mark, a rounded corner between two lines, offsets of
// single shapes and of a connected chain, and the G1 and G2 smoothing of Bezier chains.
// Each uses the editor's own operation and reports the IDs of what it made.
#include <cmath>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <unordered_set>
#include <vector>

#include "automation/mcp_routes.h"
#include "edit/bezier_handles.h"
#include "edit/corner_rounding.h"
#include "edit/curve_chains.h"
#include "edit/mirror_flip.h"
#include "model/draw_pallet.h"
#include "model/intersection.h"
#include "model/intersection_finders.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "platform/json_text.h"
#include "shell/deletion.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/undo.h"
#include "stitching/chain_distribution.h"
#include "tools/mark_tools.h"
#include "tools/offset_builder.h"
#include "tools/offset_tool.h"

namespace quillon {

namespace {

// Corner radii and tick counts beyond these are mistakes of the sender (the tools' own
// boxes stop there too).
constexpr double kMaxRadius = 1000.0;
constexpr int kMaxDivisions = 1000;

std::string idList(const std::vector<int> &ids) {
  std::string text = "[";
  for (std::size_t i = 0; i < ids.size(); ++i) text += (i ? "," : "") + std::to_string(ids[i]);
  return text + "]";
}

std::string shapeNotFound(int id) { return R"({"error":"shape not found","id":)" + std::to_string(id) + "}"; }

// The IDs of the array member, in order; throws when it is not an array of integers.
std::vector<int> idsOf(const TJson &value, const char *name) {
  if (!value.is_array()) throw std::runtime_error(std::string(name) + " must be an array");
  if (value.size() > kMcpMaxIdCount) throw std::runtime_error(std::string(name) + " holds too many ids");
  std::vector<int> ids;
  for (const TJson &element : value) ids.push_back(mcpInteger(element, name));
  return ids;
}

// The refusal of a point member whose coordinates lie beyond the drawing's limits.
std::optional<std::string> checkPointMember(const TJson &body, const char *name) {
  const TJson *point = mcpMember(body, name);
  if (!point || !point->is_object()) return std::nullopt;
  if (auto refusal = mcpCheckLimits(*point, {{"x", kMcpMaxCoordinate}, {"y", kMcpMaxCoordinate}}))
    return std::string(name) + "." + *refusal;
  return std::nullopt;
}

// The 0-based line type a request asks for ("paletteIdx", 1-based); none when absent or
// below 1. One beyond the line types fails the request.
std::optional<int> requestedLineType(const TEditor &editor, const TJson &body) {
  const TJson *asked = mcpMember(body, "paletteIdx");
  if (!asked) return std::nullopt;
  const int index = mcpInteger(*asked, "paletteIdx") - 1;
  if (index < 0) return std::nullopt;
  if (std::size_t(index) >= editor.pen().FPalletList.size()) throw std::runtime_error("paletteIdx is out of range");
  return index;
}

// The shape takes the line type's index, colour, thickness and dash.
void applyLineType(const TEditor &editor, TQN_Path &shape, int index) {
  if (index < 0 || std::size_t(index) >= editor.pen().FPalletList.size())
    throw std::runtime_error("line type " + std::to_string(index + 1) + " does not exist");
  const TDrawPallet &p = *editor.pen().FPalletList[std::size_t(index)];
  shape.FPalletIndex = index;
  shape.FColor = p.Color();
  shape.FThickness = p.FThickness;
  shape.FDash = p.FDash;
}

std::set<int> documentIds(const TEditor &editor) {
  std::set<int> ids;
  for (const TQN_Path *s : editor.doc().PathList()) ids.insert(s->ID());
  return ids;
}

// The IDs of the shapes after position `from` of the document.
std::vector<int> idsAppendedSince(const TEditor &editor, int from) {
  std::vector<int> ids;
  const TShapeList &list = editor.doc().PathList();
  for (int i = from; i < list.Count(); ++i) ids.push_back(list[i]->ID());
  return ids;
}

// A positive distance within the drawing's limits, or the refusal.
std::optional<std::string> checkDistance(const TJson &body) {
  if (auto refusal = mcpCheckLimits(body, {{"distanceMm", kMcpMaxLength}})) return refusal;
  if (!(mcpRequiredNumber(body, "distanceMm") > 0.0)) return std::string("distanceMm must be above 0");
  return std::nullopt;
}

// The copies join the layer with new IDs and their intersections; then curve ends are
// welded and one undo step taken when any was made. Returns their IDs in order.
std::vector<int> addOffsetCopies(TEditor &editor, std::vector<std::unique_ptr<TQN_Path>> &copies, int layer,
                                 const char *reason) {
  std::vector<int> created;
  for (auto &copy : copies) {
    copy->updateId(editor.doc().PathList().getNextID());
    TQN_Path *added = editor.doc().add(std::move(copy), layer);
    editor.calcIntersectionsOfShape(added);
    created.push_back(added->ID());
  }
  if (!created.empty()) {
    weldCurveEnds(editor);
    takeUndoSnapshot(editor, QString::fromLatin1(reason));
    editor.ui().refreshCanvas();
  }
  return created;
}

std::string smoothChainRoute(TEditor &editor, const TMcpRequest &request, bool g2) {
  const std::optional<TJson> body = mcpParseBodyObject(request.Body);
  if (!body) return mcpErrorReply(kMcpInvalidJsonBody);
  std::vector<TQN_Path *> chain;
  if (const TJson *ids = mcpMember(*body, "shapeIds")) {
    for (int id : idsOf(*ids, "shapeIds")) {
      TQN_Path *s = findShapeById(editor.doc().PathList(), id);
      if (!s) return shapeNotFound(id);
      chain.push_back(s);
    }
  } else if (const TJson *one = mcpMember(*body, "shapeId")) {
    const int id = mcpInteger(*one, "shapeId");
    TQN_Path *s = findShapeById(editor.doc().PathList(), id);
    if (!s) return shapeNotFound(id);
    chain = collectShapeChain(editor, s);
  } else {
    return mcpErrorReply("shapeId or shapeIds is required");
  }
  if (chain.empty()) return mcpOkFalseReply("no shapes in chain");
  return smoothReplyText(smoothChain(editor, chain, g2));
}

}  // namespace

std::string mcpMirror(TEditor &editor, const TMcpRequest &request) {
  const std::optional<TJson> body = mcpParseBodyObject(request.Body);
  if (!body) return mcpErrorReply(kMcpInvalidJsonBody);
  const TJson *axisId = mcpMember(*body, "axisId");
  if (!axisId) return mcpErrorReply("axisId is required");
  const int aid = mcpInteger(*axisId, "axisId");
  TQN_Path *axis = findShapeById(editor.doc().PathList(), aid);
  if (!axis) return R"({"error":"axis shape not found","id":)" + std::to_string(aid) + "}";
  if (!axis->isKind(TShapeKind::Line)) return mcpErrorReply("axis must be a LINE");
  const TJson *ids = mcpMember(*body, "shapeIds");
  if (!ids || (ids->is_array() && ids->empty())) return mcpErrorReply("shapeIds is required and must be non-empty");
  std::vector<TQN_Path *> shapes;
  for (int id : idsOf(*ids, "shapeIds")) {
    TQN_Path *s = findShapeById(editor.doc().PathList(), id);
    if (!s) return shapeNotFound(id);
    shapes.push_back(s);
  }
  const int before = editor.doc().PathList().Count();
  mirrorCopyShapes(editor, shapes, *axis);
  const std::vector<int> created = idsAppendedSince(editor, before);
  if (!created.empty()) {
    takeUndoSnapshot(editor, QStringLiteral("mcp:mirror"));
    editor.ui().refreshCanvas();
  }
  return R"({"ok":true,"createdIds":)" + idList(created) + "}";
}

std::string mcpCenterLine(TEditor &editor, const TMcpRequest &request) {
  const std::optional<TJson> body = mcpParseBodyObject(request.Body);
  if (!body) return mcpErrorReply(kMcpInvalidJsonBody);
  for (const char *key : {"x1", "y1", "x2", "y2", "lengthMm"})
    if (!mcpMember(*body, key)) return mcpErrorReply("x1,y1,x2,y2,lengthMm are required");
  if (auto refusal = mcpCheckLimits(*body,
                                    {{"x1", kMcpMaxCoordinate}, {"y1", kMcpMaxCoordinate}, {"x2", kMcpMaxCoordinate},
                                     {"y2", kMcpMaxCoordinate}, {"lengthMm", kMcpMaxLength}},
                                    {"divisions"}))
    return mcpErrorReply(*refusal);
  const TPointF p1(mcpRequiredFloat(*body, "x1"), mcpRequiredFloat(*body, "y1"));
  const TPointF p2(mcpRequiredFloat(*body, "x2"), mcpRequiredFloat(*body, "y2"));
  const float length = mcpRequiredFloat(*body, "lengthMm");
  int divisions = 1;
  if (const TJson *d = mcpMember(*body, "divisions")) divisions = mcpInteger(*d, "divisions");
  if (divisions > kMaxDivisions)
    return mcpErrorReply("divisions must be at most " + std::to_string(kMaxDivisions));
  bool drawEdges = true;
  if (const TJson *e = mcpMember(*body, "drawEdges")) {
    if (!e->is_boolean()) throw std::runtime_error("drawEdges must be true or false");
    drawEdges = e->get<bool>();
  }
  const int before = editor.doc().PathList().Count();
  addDividingTicks(editor, p1, p2, length, divisions, drawEdges, false);
  editor.ui().refreshCanvas();
  return R"({"ok":true,"createdIds":)" + idList(idsAppendedSince(editor, before)) + "}";
}

std::string mcpDistanceMarking(TEditor &editor, const TMcpRequest &request) {
  const std::optional<TJson> body = mcpParseBodyObject(request.Body);
  if (!body) return mcpErrorReply(kMcpInvalidJsonBody);
  for (const char *key : {"refShapeId", "x", "y"})
    if (!mcpMember(*body, key)) return mcpErrorReply("refShapeId,x,y are required");
  if (auto refusal = mcpCheckLimits(*body, {{"x", kMcpMaxCoordinate}, {"y", kMcpMaxCoordinate}}))
    return mcpErrorReply(*refusal);
  const int id = mcpInteger(*mcpMember(*body, "refShapeId"), "refShapeId");
  TQN_Path *ref = findShapeById(editor.doc().PathList(), id);
  if (!ref) return R"({"error":"reference shape not found","id":)" + std::to_string(id) + "}";
  const TPointF at(mcpRequiredFloat(*body, "x"), mcpRequiredFloat(*body, "y"));
  TQN_Path *mark = placePerpendicularMark(editor, ref, at, false, nullptr);
  if (!mark) return mcpOkFalseReply("could not create marking line (point not on reference?)");
  const bool atCreate = mark->FIsFreeAngle;
  takeUndoSnapshot(editor, QStringLiteral("mcp:distance_marking"));
  editor.ui().refreshCanvas();
  const bool afterSnapshot = mark->FIsFreeAngle;
  return R"({"ok":true,"id":)" + std::to_string(mark->ID()) + R"(,"atCreate":)" + (atCreate ? "true" : "false") +
         R"(,"afterSnapshot":)" + (afterSnapshot ? "true" : "false") + "}";
}

std::string mcpChamfer(TEditor &editor, const TMcpRequest &request) {
  const std::optional<TJson> body = mcpParseBodyObject(request.Body);
  if (!body) return mcpErrorReply(kMcpInvalidJsonBody);
  const TJson *j1 = mcpMember(*body, "lineId1"), *j2 = mcpMember(*body, "lineId2");
  if (!j1 || !j2) return mcpErrorReply("lineId1 and lineId2 are required");
  const int id1 = mcpInteger(*j1, "lineId1"), id2 = mcpInteger(*j2, "lineId2");
  float radius = 5.0f;
  if (mcpMember(*body, "radiusMm")) {
    if (auto refusal = mcpCheckLimits(*body, {{"radiusMm", kMaxRadius}})) return mcpErrorReply(*refusal);
    radius = mcpRequiredFloat(*body, "radiusMm");
    if (!(radius > 0.0f)) return mcpErrorReply("radiusMm must be above 0");
  }
  TQN_Path *line1 = nullptr, *line2 = nullptr;
  for (TQN_Path *s : editor.doc().PathList()) {
    if (s->ID() == id1) line1 = s;
    if (s->ID() == id2) line2 = s;
  }
  if (!line1) return mcpOkFalseReply("lineId1 not found");
  if (!line2) return mcpOkFalseReply("lineId2 not found");
  if (!line1->isKind(TShapeKind::Line)) return mcpOkFalseReply("lineId1 is not a line");
  if (!line2->isKind(TShapeKind::Line)) return mcpOkFalseReply("lineId2 is not a line");
  if (line1 == line2) return mcpOkFalseReply("could not compute intersection point");
  for (TQN_Path *l : {line1, line2}) {
    l->calcLineParam();
    l->FClickedPoint = (l->FStartPt + l->FEndPt) * 0.5f;
  }
  bool cross = false;
  for (TIntersection *record : calcPathIntersections(line1, line2, nullptr, false)) {
    cross = true;
    delete record;
  }
  if (!cross) return mcpOkFalseReply("lines do not intersect \u2014 cannot chamfer");
  TPointF corner;
  if (!line1->calcCrossPointWith(*line2, corner)) return mcpOkFalseReply("could not compute intersection point");
  const std::set<int> before = documentIds(editor);
  filletLines(editor, line1, line2, radius, corner);
  for (const TQN_Path *s : editor.doc().PathList())
    if (!before.count(s->ID()))
      return R"({"ok":true,"arcId":)" + std::to_string(s->ID()) + R"(,"lineId1":)" + std::to_string(id1) +
             R"(,"lineId2":)" + std::to_string(id2) + "}";
  return mcpOkFalseReply("chamfer produced no arc");
}

std::string mcpOffset(TEditor &editor, const TMcpRequest &request) {
  const std::optional<TJson> body = mcpParseBodyObject(request.Body);
  if (!body) return mcpErrorReply(kMcpInvalidJsonBody);
  if (!mcpMember(*body, "distanceMm")) return mcpErrorReply("distanceMm is required");
  const TJson *dirJson = mcpMember(*body, "directionPoint");
  if (!dirJson) return mcpErrorReply("directionPoint is required");
  if (auto refusal = checkDistance(*body)) return mcpErrorReply(*refusal);
  if (auto refusal = checkPointMember(*body, "directionPoint")) return mcpErrorReply(*refusal);
  const float distance = mcpRequiredFloat(*body, "distanceMm");
  const TPointF dir = mcpRequiredPoint(*dirJson, "directionPoint");
  const std::optional<int> lineType = requestedLineType(editor, *body);
  const int layer = mcpLayerFromBody(&*body, editor.FActiveLayer);
  std::optional<std::unordered_set<int>> wanted;
  if (const TJson *ids = mcpMember(*body, "shapeIds")) {
    const std::vector<int> list = idsOf(*ids, "shapeIds");
    wanted.emplace(list.begin(), list.end());
  }

  // The copies are collected first: a failure on the way leaves the document as it was.
  TOffsetPen pen = offsetPen(editor, true);  // no IDs yet; each copy gets one when added
  std::vector<std::unique_ptr<TQN_Path>> made;
  std::vector<int> skipped;
  for (TQN_Path *s : editor.doc().PathList()) {
    if (wanted && !wanted->count(s->ID())) continue;
    std::unique_ptr<TQN_Path> copy;
    if (!s->isKind(TShapeKind::Hole)) {
      const int index = lineType.value_or(s->FPalletIndex);
      if (s->isKind(TShapeKind::Line)) copy = offsetLineShape(pen, *s, dir, distance);
      else if (s->isKind(TShapeKind::Arc)) copy = offsetArcShape(pen, *s, dir, distance);
      else if (s->isKind(TShapeKind::Bezier)) copy = offsetBezierShape(pen, *s, dir, distance);
      else if (s->isKind(TShapeKind::Ellipse)) {
        const float d = calcDistance(dir, s->FCenter) < s->FWidth / 2.0f ? -distance : distance;
        if (s->FWidth + 2.0f * d > 0.0f && s->FHeight + 2.0f * d > 0.0f) {
          copy = newOffsetShape(pen);
          copy->drawEllipsePath(s->FCenter, s->FWidth + 2.0f * d, s->FHeight + 2.0f * d);
        }
      }
      if (copy) applyLineType(editor, *copy, index);
    }
    if (copy)
      made.push_back(std::move(copy));
    else
      skipped.push_back(s->ID());
  }
  const std::vector<int> created = addOffsetCopies(editor, made, layer, "mcp:offset");
  return R"({"ok":true,"createdIds":)" + idList(created) + R"(,"skippedIds":)" + idList(skipped) + "}";
}

std::string mcpOffsetSmart(TEditor &editor, const TMcpRequest &request) {
  const std::optional<TJson> body = mcpParseBodyObject(request.Body);
  if (!body) return mcpErrorReply(kMcpInvalidJsonBody);
  const TJson *ids = mcpMember(*body, "shapeIds");
  if (!ids || (ids->is_array() && ids->empty())) return mcpErrorReply("shapeIds is required and must be non-empty");
  const TJson *dirJson = mcpMember(*body, "directionPoint");
  if (!dirJson) return mcpErrorReply("directionPoint is required");
  if (!mcpMember(*body, "distanceMm")) return mcpErrorReply("distanceMm is required");
  if (auto refusal = checkDistance(*body)) return mcpErrorReply(*refusal);
  if (auto refusal = checkPointMember(*body, "directionPoint")) return mcpErrorReply(*refusal);
  std::vector<TQN_Path *> shapes;
  for (int id : idsOf(*ids, "shapeIds")) {
    TQN_Path *s = findShapeById(editor.doc().PathList(), id);
    if (!s) return shapeNotFound(id);
    if (!s->isKind(TShapeKind::Line) && !s->isKind(TShapeKind::Arc) && !s->isKind(TShapeKind::Bezier))
      return R"({"error":"shape type not supported for smart offset","id":)" + std::to_string(id) + "}";
    shapes.push_back(s);
  }
  const float distance = mcpRequiredFloat(*body, "distanceMm");
  const TPointF dir = mcpRequiredPoint(*dirJson, "directionPoint");
  bool closed = false;
  if (const TJson *c = mcpMember(*body, "closed")) {
    if (!c->is_boolean()) throw std::runtime_error("closed must be true or false");
    closed = c->get<bool>();
  }
  const std::optional<int> lineType = requestedLineType(editor, *body);
  const int layer = mcpLayerFromBody(&*body, editor.FActiveLayer);

  std::vector<TQN_Path *> chain = shapes;
  std::vector<std::unique_ptr<TQN_Path>> reversed;
  if (shapes.size() >= 2) {
    std::vector<TQN_Path *> sorted;
    if (sortChain(shapes, sorted, reversed, {std::nanf(""), std::nanf("")})) chain = sorted;
  }
  std::vector<std::unique_ptr<TQN_Path>> pieces = offsetChain(chain, distance, dir, closed, offsetPen(editor, true));
  // Pieces pair with chain entries by position for their line type; bridging lines beyond
  // the chain's length take the last entry's.
  for (std::size_t i = 0; i < pieces.size(); ++i)
    applyLineType(editor, *pieces[i], lineType.value_or(chain[std::min(i, chain.size() - 1)]->FPalletIndex));
  const std::vector<int> created = addOffsetCopies(editor, pieces, layer, "mcp:offset_smart");
  return R"({"ok":true,"createdIds":)" + idList(created) + "}";
}

std::string mcpSmoothChainG1(TEditor &editor, const TMcpRequest &request) {
  return smoothChainRoute(editor, request, false);
}
std::string mcpSmoothChainG2(TEditor &editor, const TMcpRequest &request) {
  return smoothChainRoute(editor, request, true);
}

}  // namespace quillon
