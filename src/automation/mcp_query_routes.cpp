// The query routes: the shapes with their outlines, the intersection list, the route
// network's search between two points, the document totals and one shape by id. They
// change nothing, take no undo snapshot and do not refresh the canvas.
#include <limits>
#include <unordered_map>

#include "automation/mcp_routes.h"
#include "edit/drawing_check.h"
#include "model/intersection.h"
#include "model/route_network.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "model/spatial_index.h"
#include "model/draw_pallet.h"
#include "platform/json_text.h"
#include "shell/deletion.h"
#include "shell/editor.h"

namespace quillon {

namespace {

TJson number(float value) { return TJson(static_cast<double>(value)); }

// A little wider than the distance at which a joint has a point (0.05 mm).
constexpr float kJointEndMargin = 0.06f;

// One object per outline point: {"kind","x","y"}.
TJson outlineJson(const TQN_Path &shape) {
  TJson data = TJson::array();
  for (const TPathPoint &p : shape.Data().Points()) {
    TJson point = TJson::object();
    point["kind"] = mcpPathCommandLetter(p.Kind);
    point["x"] = number(p.Point.X);
    point["y"] = number(p.Point.Y);
    data.push_back(std::move(point));
  }
  return data;
}

// The path object of GET /paths. Members are read in their order: the centre of a free
// outline is found by a boundary pass that also stores its start and end points, which
// are written before it.
TJson pathJson(TQN_Path &s) {
  TJson o = TJson::object();
  o["id"] = s.ID();
  o["shapeType"] = s.kindName().toStdString();
  o["paletteIdx"] = s.FPalletIndex + 1;
  o["layerId"] = s.FLayerID;
  o["startPt"] = mcpPointJson(s.FStartPt);
  o["endPt"] = mcpPointJson(s.FEndPt);
  o["center"] = mcpPointJson(s.GetCenter());
  o["width"] = number(s.FWidth);
  o["height"] = number(s.FHeight);
  o["rotation"] = number(s.FRotation);
  o["isFreeAngle"] = s.FIsFreeAngle;
  if (s.isKind(TShapeKind::Hole)) {
    o["prevStitchID"] = s.FPrevStitchID;
    o["nextStitchID"] = s.FNextStitchID;
    if (!s.FThreadCode.isEmpty()) o["threadCode"] = s.FThreadCode.toStdString();
  }
  o["data"] = outlineJson(s);
  return o;
}

// The shape object of GET /shapes/{id}.
TJson shapeJson(TQN_Path &s) {
  TJson o = TJson::object();
  o["id"] = s.ID();
  o["shapeType"] = s.kindName().toStdString();
  o["paletteIdx"] = s.FPalletIndex + 1;
  o["layerId"] = s.FLayerID;
  o["selected"] = s.FSelected;
  o["startPt"] = mcpPointJson(s.FStartPt);
  o["endPt"] = mcpPointJson(s.FEndPt);
  o["center"] = mcpPointJson(s.GetCenter());
  const TRectF box = s.getBoundary(false);
  TJson bbox = TJson::object();
  bbox["x"] = number(box.Left);
  bbox["y"] = number(box.Top);
  bbox["width"] = number(box.width());
  bbox["height"] = number(box.height());
  o["bbox"] = std::move(bbox);
  o["rotation"] = number(s.FRotation);
  o["isFreeAngle"] = s.FIsFreeAngle;
  o["length"] = number(s.calcTotalLength());
  o["prevStitchID"] = s.FPrevStitchID;
  o["nextStitchID"] = s.FNextStitchID;
  const bool bezier = s.isKind(TShapeKind::Bezier);
  o["bezierCp1"] = bezier ? mcpPointJson(s.FBezierCp1) : TJson(nullptr);
  o["bezierCp2"] = bezier ? mcpPointJson(s.FBezierCp2) : TJson(nullptr);
  o["data"] = outlineJson(s);
  return o;
}

TJson shapeIdOrNull(const TQN_Path *shape) { return shape ? TJson(shape->ID()) : TJson(nullptr); }

}  // namespace

std::string mcpGetPaths(TEditor &editor, const TMcpRequest &) {
  TJson paths = TJson::array();
  for (TQN_Path *s : editor.doc().PathList()) paths.push_back(pathJson(*s));
  const std::size_t count = paths.size();
  TJson root = TJson::object();
  root["paths"] = std::move(paths);
  root["count"] = count;
  return writeJsonText(root);
}

std::string mcpGetIntersections(TEditor &editor, const TMcpRequest &) {
  TJson list = TJson::array();
  for (const TIntersection *ict : editor.doc().FIntersections) {
    TJson o = TJson::object();
    o["point"] = mcpPointJson(ict->FPoint);
    o["path1Id"] = shapeIdOrNull(ict->FPath1);
    o["path2Id"] = shapeIdOrNull(ict->FPath2);
    list.push_back(std::move(o));
  }
  TJson root = TJson::object();
  const std::size_t count = list.size();
  root["intersections"] = std::move(list);
  root["count"] = count;
  return writeJsonText(root);
}

std::string mcpRuler(TEditor &editor, const TMcpRequest &request) {
  const std::optional<TJson> body = mcpParseBodyObject(request.Body);
  if (!body) return mcpErrorReply(kMcpInvalidJsonBody);
  if (auto refusal = mcpCheckLimits(*body, {{"x1", kMcpMaxCoordinate},
                                            {"y1", kMcpMaxCoordinate},
                                            {"x2", kMcpMaxCoordinate},
                                            {"y2", kMcpMaxCoordinate}}))
    return mcpErrorReply(*refusal);
  const TPointF rp1{mcpRequiredFloat(*body, "x1"), mcpRequiredFloat(*body, "y1")};
  const TPointF rp2{mcpRequiredFloat(*body, "x2"), mcpRequiredFloat(*body, "y2")};

  TVertexNetwork network(editor.doc().PathList(), editor.doc().FIntersections);
  const bool connected = network.dpConnect(rp1, rp2);

  std::unordered_map<const TRouteVertex *, int> vertexIndex;
  for (int i = 0; i < network.Count(); ++i) vertexIndex.emplace(network[i], i);
  std::unordered_map<const TJointInfo *, int> jointIndex;
  const auto &joints = network.Joints();
  for (std::size_t i = 0; i < joints.size(); ++i) jointIndex.emplace(joints[i].get(), static_cast<int>(i));
  const auto indexOrNull = [](const auto &map, const auto *key) {
    const auto it = map.find(key);
    return key && it != map.end() ? TJson(it->second) : TJson(nullptr);
  };

  TJson root = TJson::object();
  root["rp1"] = mcpPointJson(rp1);
  root["rp2"] = mcpPointJson(rp2);
  root["connected"] = connected;
  root["totalDistance"] = network.EndVertex() ? number(network.EndVertex()->FMinDist) : TJson(nullptr);

  TJson vertices = TJson::array();
  for (int i = 0; i < network.Count(); ++i) {
    const TRouteVertex *v = network[i];
    TJson o = TJson::object();
    o["idx"] = i;
    o["point"] = mcpPointJson(v->FPoint);
    o["minDist"] = number(v->FMinDist);
    o["minDistJointIdx"] = indexOrNull(jointIndex, v->FMinDistJoint);
    o["minDistFromVertexIdx"] = indexOrNull(vertexIndex, v->FMinDistFromVertex);
    o["isStart"] = v == network.StartVertex();
    o["isEnd"] = v == network.EndVertex();
    vertices.push_back(std::move(o));
  }
  root["vertices"] = std::move(vertices);

  // The vertices by their points, so that each joint looks only at the vertices near its
  // two points (in creation order, as a scan of all of them would meet them).
  TRectGrid vertexGrid(1.0f);
  for (int i = 0; i < network.Count(); ++i) vertexGrid.insert(i, TRectF(network[i]->FPoint, network[i]->FPoint));
  std::vector<int> near;

  TJson jointList = TJson::array();
  for (std::size_t j = 0; j < joints.size(); ++j) {
    const TJointInfo &joint = *joints[j];
    // The joint's ends: the first vertex it has as an end on its own shape, then the next
    // such vertex at another point.
    const TRouteVertex *first = nullptr;
    const TRouteVertex *second = nullptr;
    const TRectF ends[2] = {TRectF(joint.FPoints[0].FPoint, joint.FPoints[0].FPoint),
                            TRectF(joint.FPoints[1].FPoint, joint.FPoints[1].FPoint)};
    vertexGrid.query(ends, 2, kJointEndMargin, near);
    for (std::size_t k = 0; k < near.size() && !second; ++k) {
      const TRouteVertex *v = network[near[k]];
      if (!joint.hasPoint(joint.FPath, v->FPoint)) continue;
      if (!first)
        first = v;
      else if (v->FPoint.X != first->FPoint.X || v->FPoint.Y != first->FPoint.Y)
        second = v;
    }
    TJson o = TJson::object();
    o["idx"] = static_cast<int>(j);
    o["pathId"] = shapeIdOrNull(joint.FPath);
    o["fLength"] = number(joint.FLength);
    o["pt0"] = first ? mcpPointJson(first->FPoint) : TJson(nullptr);
    o["pt1"] = second ? mcpPointJson(second->FPoint) : TJson(nullptr);
    jointList.push_back(std::move(o));
  }
  root["joints"] = std::move(jointList);

  // From the end vertex back to the start vertex.
  TJson chain = TJson::array();
  const TRouteVertex *v = network.EndVertex();
  while (v && chain.size() < 1000) {
    chain.push_back(indexOrNull(vertexIndex, v));
    if (v == network.StartVertex()) break;
    v = v->FMinDistFromVertex;
  }
  root["routeChain"] = std::move(chain);

  std::string reply = writeJsonText(root);
  network.clearAll();
  return reply;
}

std::string mcpGetDoc(TEditor &editor, const TMcpRequest &) {
  const TShapeList &doc = editor.doc().PathList();
  constexpr float kFar = std::numeric_limits<float>::max();
  float xMin = kFar, yMin = kFar, xMax = -kFar, yMax = -kFar;
  bool any = false;
  for (TQN_Path *s : doc) {
    const TRectF r = s->getBoundary(false);
    if (!(r.width() + r.height() > 0.0f)) continue;
    any = true;
    if (r.Left < xMin) xMin = r.Left;
    if (r.Top < yMin) yMin = r.Top;
    if (r.Right > xMax) xMax = r.Right;
    if (r.Bottom > yMax) yMax = r.Bottom;
  }
  TJson root = TJson::object();
  root["shapeCount"] = doc.Count();
  root["layerCount"] = doc.Layers().size();
  root["paletteCount"] = editor.pen().FPalletList.size();
  root["activePaletteIdx"] = getCurrentPaletteIndex(editor.pen()) + 1;
  root["activeLayerId"] = editor.FActiveLayer;
  if (any) {
    TJson bbox = TJson::object();
    bbox["xMin"] = number(xMin);
    bbox["yMin"] = number(yMin);
    bbox["xMax"] = number(xMax);
    bbox["yMax"] = number(yMax);
    root["bbox"] = std::move(bbox);
  } else {
    root["bbox"] = nullptr;
  }
  return writeJsonText(root);
}

std::string mcpGetShape(TEditor &editor, const TMcpRequest &request) {
  const int id = mcpIdFromPath(request.Path);
  if (id < 0) return mcpErrorReply("invalid id");
  TQN_Path *shape = findShapeById(editor.doc().PathList(), id);
  if (!shape) return "{\"error\":\"shape not found\",\"id\":" + std::to_string(id) + "}";
  return writeJsonText(shapeJson(*shape));
}

std::string mcpLint(TEditor &editor, const TMcpRequest &) {
  runDrawingCheck(editor);
  TJson warnings = TJson::array();
  for (const TLintWarning &w : editor.lint().FLintWarnings) {
    TJson o = TJson::object();
    o["kind"] = lintKindName(w.Kind);
    o["x"] = number(w.Point.X);
    o["y"] = number(w.Point.Y);
    o["info"] = w.Info.toStdString();
    warnings.push_back(std::move(o));
  }
  TJson root = TJson::object();
  root["ok"] = true;
  root["count"] = warnings.size();
  root["warnings"] = std::move(warnings);
  return writeJsonText(root);
}

}  // namespace quillon
