// The shape editing routes: create lines, circles, arcs and Bezier curves, change a
// shape's line type and geometry, delete shapes. Each change ends like an edit made with
// the pointer: one undo snapshot and a canvas refresh.
#include <cmath>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_set>
#include <vector>

#include "automation/mcp_routes.h"
#include "edit/regularize.h"
#include "edit/resolve_issues.h"
#include "model/intersection.h"
#include "model/intersection_upkeep.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "model/draw_pallet.h"
#include "platform/json_text.h"
#include "shell/deletion.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/selection.h"
#include "shell/undo.h"

namespace quillon {

namespace {

constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr const char *kFourPointsError = "points must have exactly 4 elements [P0,C1,C2,P1]";
constexpr const char *kUpdateFourPointsError = "bezier requires points:[P0,C1,C2,P1]";

using TDraw = std::function<void(TQN_Path &)>;

std::string okIdReply(int id) { return "{\"ok\":true,\"id\":" + std::to_string(id) + "}"; }

std::string shapeNotFoundReply(int id) {
  return "{\"ok\":false,\"error\":\"shape not found\",\"id\":" + std::to_string(id) + "}";
}

// Records of the shape with every other shape, whether or not a pointer drag is under way.
void recordIntersections(TEditor &editor, TQN_Path *shape) {
  calcIntersectionsOfShape(editor.doc().PathList(), editor.doc().FIntersections, shape, false,
                           &editor.doc().FShapeIndex);
}

// A sweep in degrees folded into one turn: whole turns beyond the first are dropped, so
// the arc still ends at its end angle (400 becomes 40, -370 becomes -10). What is left of
// a sweep of whole turns is one full turn: single-precision angles of up to 1000 radians
// are only good to a few thousandths of a degree, so 4 pi arrives as 720.00002 degrees and
// must not become an arc of 0.00002.
double foldIntoOneTurn(double degrees) {
  constexpr double kWholeTurnSlack = 0.01;
  if (!(std::fabs(degrees) > 360.0)) return degrees;
  const double folded = std::fmod(degrees, 360.0);
  if (std::fabs(folded) < kWholeTurnSlack) return degrees > 0.0 ? 360.0 : -360.0;
  return folded;
}

// The outline of an arc about (cx, cy) from startAngle to endAngle (radians, growing from
// +x toward +y). The trigonometry runs in double precision on the single inputs. The
// sweep is folded into one turn before the outline is built.
TDraw arcDrawing(float cx, float cy, float r, float startAngle, float endAngle) {
  const TPointF start{static_cast<float>(double(cx) + std::cos(double(startAngle)) * double(r)),
                      static_cast<float>(double(cy) + std::sin(double(startAngle)) * double(r))};
  const TPointF end{static_cast<float>(double(cx) + std::cos(double(endAngle)) * double(r)),
                    static_cast<float>(double(cy) + std::sin(double(endAngle)) * double(r))};
  const float sweep =
      static_cast<float>(foldIntoOneTurn((double(endAngle) - double(startAngle)) * kDegreesPerRadian));
  return [=](TQN_Path &s) { s.drawArcPath({cx, cy}, {r, r}, start, end, sweep); };
}

// The refusal of a geometry whose outline would have more than kMcpMaxOutlinePoints
// points; it is built once on a shape of its own to count them. A curve counts a point
// per 0.3 mm, its drawing step: a curve piece too long for that step is flattened into
// fewer, longer lines, and the shape is no smaller for it. A line is one segment.
std::optional<std::string> checkOutlineSize(const TDraw &draw) {
  constexpr double kCurveStep = 0.3;
  TQN_Path probe(0, 0, 1.0f, TStrokeDash::Solid, 0);
  draw(probe);
  const bool fits = probe.Data().Count() <= kMcpMaxOutlinePoints &&
                    (probe.isKind(TShapeKind::Line) ||
                     double(probe.calcTotalLength()) / kCurveStep <= double(kMcpMaxOutlinePoints));
  if (fits) return std::nullopt;
  return "the shape is too large: its outline would need more than " + std::to_string(kMcpMaxOutlinePoints) +
         " points";
}

// The four points of a Bezier request; `points` must be an array of four.
TDraw bezierDrawing(const TJson &points) {
  const TPointF p0 = mcpRequiredPoint(points[0], "points[0]");
  const TPointF c1 = mcpRequiredPoint(points[1], "points[1]");
  const TPointF c2 = mcpRequiredPoint(points[2], "points[2]");
  const TPointF p1 = mcpRequiredPoint(points[3], "points[3]");
  return [=](TQN_Path &s) { s.drawBezierPath(p0, c1, c2, p1); };
}

// The limits of the members that a geometry of each kind reads.
std::optional<std::string> checkLineLimits(const TJson &body) {
  return mcpCheckLimits(body, {{"x1", kMcpMaxCoordinate},
                               {"y1", kMcpMaxCoordinate},
                               {"x2", kMcpMaxCoordinate},
                               {"y2", kMcpMaxCoordinate}});
}
std::optional<std::string> checkCircleLimits(const TJson &body) {
  return mcpCheckLimits(body, {{"cx", kMcpMaxCoordinate},
                               {"cy", kMcpMaxCoordinate},
                               {"r", kMcpMaxLength},
                               {"rx", kMcpMaxLength},
                               {"ry", kMcpMaxLength}});
}
std::optional<std::string> checkArcLimits(const TJson &body) {
  return mcpCheckLimits(body, {{"cx", kMcpMaxCoordinate},
                               {"cy", kMcpMaxCoordinate},
                               {"r", kMcpMaxLength},
                               {"startAngle", kMcpMaxRadians},
                               {"endAngle", kMcpMaxRadians}});
}

// Geometry that no shape can have: a circle or arc without a positive radius (its SVG
// and DXF would be invalid) and a line whose two ends are one point once the document
// rounds them to 0.0001 mm (the document reader drops it). The refusal, or nothing when
// the values are usable.
std::optional<std::string> checkRadius(const char *name, float r) {
  if (r > 0.0f) return std::nullopt;
  return std::string(name) + " must be greater than 0";
}
std::optional<std::string> checkLineEnds(TPointF p1, TPointF p2) {
  if (!roundPoint4(p1).exactlyEquals(roundPoint4(p2))) return std::nullopt;
  return std::string("a line needs two different end points");
}

// The creation common to the four kinds: the line type and layer of the request, a new
// ID, the pen of the line type, the geometry, the records, the document, one undo step.
std::string createShape(TEditor &editor, const TJson &body, const TDraw &draw, const char *undoReason) {
  int index = 0;
  const TDrawPallet *pallet = mcpPaletteFromBody(editor, &body, index);
  const int layer = mcpLayerFromBody(&body, editor.FActiveLayer);
  if (!pallet) throw std::runtime_error("no current line type");
  if (auto refusal = checkOutlineSize(draw)) return mcpErrorReply(*refusal);
  const int id = editor.doc().PathList().getNextID();
  auto shape = std::make_unique<TQN_Path>(index, pallet->Color(), pallet->FThickness, pallet->FDash, id);
  draw(*shape);
  recordIntersections(editor, shape.get());
  editor.doc().add(std::move(shape), layer);
  takeUndoSnapshot(editor, QString::fromLatin1(undoReason));
  editor.ui().refreshCanvas();
  return okIdReply(id);
}

}  // namespace

std::string mcpCreateLine(TEditor &editor, const TMcpRequest &request) {
  const std::optional<TJson> body = mcpParseBodyObject(request.Body);
  if (!body) return mcpErrorReply(kMcpInvalidJsonBody);
  if (auto refusal = checkLineLimits(*body)) return mcpErrorReply(*refusal);
  if (auto refusal = mcpCheckLimits(*body, {}, {"layerId"})) return mcpErrorReply(*refusal);
  const TPointF p1{mcpRequiredFloat(*body, "x1"), mcpRequiredFloat(*body, "y1")};
  const TPointF p2{mcpRequiredFloat(*body, "x2"), mcpRequiredFloat(*body, "y2")};
  if (auto refusal = checkLineEnds(p1, p2)) return mcpErrorReply(*refusal);
  return createShape(editor, *body, [=](TQN_Path &s) { s.drawLinePath(p1, p2); }, "mcpCreateLine");
}

std::string mcpCreateCircle(TEditor &editor, const TMcpRequest &request) {
  const std::optional<TJson> body = mcpParseBodyObject(request.Body);
  if (!body) return mcpErrorReply(kMcpInvalidJsonBody);
  if (auto refusal = checkCircleLimits(*body)) return mcpErrorReply(*refusal);
  if (auto refusal = mcpCheckLimits(*body, {}, {"layerId"})) return mcpErrorReply(*refusal);
  const TPointF center{mcpRequiredFloat(*body, "cx"), mcpRequiredFloat(*body, "cy")};
  const float r = mcpRequiredFloat(*body, "r");
  if (auto refusal = checkRadius("r", r)) return mcpErrorReply(*refusal);
  return createShape(
      editor, *body, [=](TQN_Path &s) { s.drawEllipsePath(center, 2.0f * r, 2.0f * r); }, "mcpCreateCircle");
}

std::string mcpCreateArc(TEditor &editor, const TMcpRequest &request) {
  const std::optional<TJson> body = mcpParseBodyObject(request.Body);
  if (!body) return mcpErrorReply(kMcpInvalidJsonBody);
  if (auto refusal = checkArcLimits(*body)) return mcpErrorReply(*refusal);
  if (auto refusal = mcpCheckLimits(*body, {}, {"layerId"})) return mcpErrorReply(*refusal);
  const float cx = mcpRequiredFloat(*body, "cx");
  const float cy = mcpRequiredFloat(*body, "cy");
  const float r = mcpRequiredFloat(*body, "r");
  const float startAngle = mcpRequiredFloat(*body, "startAngle");
  const float endAngle = mcpRequiredFloat(*body, "endAngle");
  if (auto refusal = checkRadius("r", r)) return mcpErrorReply(*refusal);
  return createShape(editor, *body, arcDrawing(cx, cy, r, startAngle, endAngle), "mcpCreateArc");
}

std::string mcpCreateBezier(TEditor &editor, const TMcpRequest &request) {
  const std::optional<TJson> body = mcpParseBodyObject(request.Body);
  if (!body) return mcpErrorReply(kMcpInvalidJsonBody);
  const TJson *points = mcpMember(*body, "points");
  if (!points) return mcpErrorReply(kFourPointsError);
  if (!points->is_array()) throw std::runtime_error("points must be an array");
  if (points->size() != 4) return mcpErrorReply(kFourPointsError);
  if (auto refusal = mcpCheckPointArray(*body, "points")) return mcpErrorReply(*refusal);
  if (auto refusal = mcpCheckLimits(*body, {}, {"layerId"})) return mcpErrorReply(*refusal);
  return createShape(editor, *body, bezierDrawing(*points), "mcpCreateBezier");
}

std::string mcpUpdateShape(TEditor &editor, const TMcpRequest &request) {
  const int id = mcpIdFromPath(request.Path);
  if (id < 0) return mcpErrorReply("invalid id in path");
  const std::optional<TJson> body = mcpParseBodyObject(request.Body);
  if (!body) return mcpErrorReply(kMcpInvalidJsonBody);
  TQN_Path *shape = findShapeById(editor.doc().PathList(), id);
  if (!shape) return shapeNotFoundReply(id);

  // Everything is read and checked before anything changes: a refused or failing request
  // leaves the shape as it was, line type included.
  const TDrawPallet *pallet = nullptr;
  int palletIndex = -1;
  if (const TJson *asked = mcpMember(*body, "paletteIdx"); asked && asked->is_number())
    pallet = mcpPaletteFromBody(editor, &*body, palletIndex);

  TDraw reshape;
  if (shape->isKind(TShapeKind::Bezier)) {
    if (const TJson *points = mcpMember(*body, "points")) {
      if (!points->is_array() || points->size() != 4) return mcpErrorReply(kUpdateFourPointsError);
      if (auto refusal = mcpCheckPointArray(*body, "points")) return mcpErrorReply(*refusal);
      reshape = bezierDrawing(*points);
    }
  } else if (shape->isKind(TShapeKind::Line)) {
    if (mcpMember(*body, "x1")) {
      if (auto refusal = checkLineLimits(*body)) return mcpErrorReply(*refusal);
      const TPointF p1{mcpRequiredFloat(*body, "x1"), mcpRequiredFloat(*body, "y1")};
      const TPointF p2{mcpRequiredFloat(*body, "x2"), mcpRequiredFloat(*body, "y2")};
      if (auto refusal = checkLineEnds(p1, p2)) return mcpErrorReply(*refusal);
      reshape = [=](TQN_Path &s) { s.drawLinePath(p1, p2); };
    }
  } else if (shape->isKind(TShapeKind::Ellipse)) {
    if (mcpMember(*body, "cx")) {
      if (auto refusal = checkCircleLimits(*body)) return mcpErrorReply(*refusal);
      const TPointF center{mcpRequiredFloat(*body, "cx"), mcpRequiredFloat(*body, "cy")};
      float width = 0.0f, height = 0.0f;
      if (mcpMember(*body, "rx") && mcpMember(*body, "ry")) {
        const float rx = mcpRequiredFloat(*body, "rx"), ry = mcpRequiredFloat(*body, "ry");
        if (auto refusal = checkRadius("rx", rx)) return mcpErrorReply(*refusal);
        if (auto refusal = checkRadius("ry", ry)) return mcpErrorReply(*refusal);
        width = 2.0f * rx;
        height = 2.0f * ry;
      } else {
        const float r = mcpRequiredFloat(*body, "r");
        if (auto refusal = checkRadius("r", r)) return mcpErrorReply(*refusal);
        width = height = 2.0f * r;
      }
      reshape = [=](TQN_Path &s) { s.drawEllipsePath(center, width, height); };
    }
  } else if (shape->isKind(TShapeKind::Arc)) {
    if (mcpMember(*body, "cx")) {
      if (auto refusal = checkArcLimits(*body)) return mcpErrorReply(*refusal);
      const float cx = mcpRequiredFloat(*body, "cx");
      const float cy = mcpRequiredFloat(*body, "cy");
      const float r = mcpRequiredFloat(*body, "r");
      const float startAngle = mcpRequiredFloat(*body, "startAngle");
      const float endAngle = mcpRequiredFloat(*body, "endAngle");
      if (auto refusal = checkRadius("r", r)) return mcpErrorReply(*refusal);
      reshape = arcDrawing(cx, cy, r, startAngle, endAngle);
    }
  }

  if (reshape)
    if (auto refusal = checkOutlineSize(reshape)) return mcpErrorReply(*refusal);
  if (pallet) {
    shape->FPalletIndex = palletIndex;
    shape->FColor = pallet->Color();
    shape->FThickness = pallet->FThickness;
    shape->FDash = pallet->FDash;
  }
  removeIntersectionsOf(editor.doc().FIntersections, shape);
  if (reshape) reshape(*shape);
  recordIntersections(editor, shape);
  takeUndoSnapshot(editor, QStringLiteral("mcpUpdateShape"));
  editor.ui().refreshCanvas();
  return okIdReply(id);
}

std::string mcpDeleteShape(TEditor &editor, const TMcpRequest &request) {
  const int id = mcpIdFromPath(request.Path);
  if (id < 0) return mcpErrorReply("invalid id");
  TQN_Path *shape = findShapeById(editor.doc().PathList(), id);
  if (!shape) return shapeNotFoundReply(id);
  editor.doc().remove(shape);
  takeUndoSnapshot(editor, QStringLiteral("mcpDeleteShape"));
  editor.ui().refreshCanvas();
  return "{\"ok\":true,\"deletedId\":" + std::to_string(id) + "}";
}

std::string mcpDeleteShapes(TEditor &editor, const TMcpRequest &request) {
  const TShapeList &doc = editor.doc().PathList();

  if (request.Body.empty()) {
    // Every shape goes; layers, print pages and the ID counter stay.
    const std::vector<TQN_Path *> all = doc.Items();
    const int count = static_cast<int>(all.size());
    editor.doc().remove(all);
    if (count > 0) {
      takeUndoSnapshot(editor, QStringLiteral("mcpDeleteAllShapes"));
      editor.ui().refreshCanvas();
    }
    return "{\"ok\":true,\"deletedCount\":" + std::to_string(count) + ",\"notFoundIds\":[]}";
  }

  const std::optional<TJson> body = mcpParseBodyObject(request.Body);
  if (!body) return mcpErrorReply(kMcpInvalidJsonBody);
  const TJson *ids = mcpMember(*body, "ids");
  if (!ids) return mcpErrorReply(kMcpInvalidJsonBody);
  if (!ids->is_array()) throw std::runtime_error("ids must be an array");
  if (ids->size() > kMcpMaxIdCount)
    return mcpErrorReply("ids may hold at most " + std::to_string(kMcpMaxIdCount) + " entries");
  if (auto refusal = mcpCheckIntegerArray(*body, "ids")) return mcpErrorReply(*refusal);

  // The requested ids, each once, in the order first asked.
  std::vector<int> requested;
  std::unordered_set<int> wanted;
  for (const TJson &element : *ids) {
    const int id = mcpInteger(element, "ids element");
    if (wanted.insert(id).second) requested.push_back(id);
  }

  std::unordered_set<int> found;
  std::vector<TQN_Path *> going;
  for (TQN_Path *s : doc) {
    if (!wanted.count(s->ID())) continue;
    found.insert(s->ID());
    going.push_back(s);
  }
  const int deleted = static_cast<int>(going.size());
  editor.doc().remove(going);
  if (deleted > 0) {
    takeUndoSnapshot(editor, QStringLiteral("mcpDeleteShapes"));
    editor.ui().refreshCanvas();
  }

  std::string notFound;
  for (const int id : requested) {
    if (found.count(id)) continue;
    if (!notFound.empty()) notFound += ',';
    notFound += std::to_string(id);
  }
  return "{\"ok\":true,\"deletedCount\":" + std::to_string(deleted) + ",\"notFoundIds\":[" + notFound + "]}";
}

std::string mcpResolveShape(TEditor &editor, const TMcpRequest &request) {
  const std::optional<TJson> body = mcpParseBodyObject(request.Body);
  if (!body) return mcpErrorReply(kMcpInvalidJsonBody);
  const TJson *given = mcpMember(*body, "shapeId");
  if (!given) return mcpErrorReply("shapeId is required");
  const int id = mcpInteger(*given, "shapeId");
  TQN_Path *shape = findShapeById(editor.doc().PathList(), id);
  if (!shape) return "{\"error\":\"shape not found\",\"id\":" + std::to_string(id) + "}";
  resolveIssues(editor, shape);
  return "{\"ok\":true,\"id\":" + std::to_string(id) + "}";
}

std::string mcpRegularize(TEditor &editor, const TMcpRequest &) {
  const int adjusted = regularizeAllShapes(editor);
  return "{\"ok\":true,\"adjusted\":" + std::to_string(adjusted) + "}";
}

}  // namespace quillon
