// The stitching routes: one stitching hole at a point, holes all around the closed loop
// at a point (driving the pricking tab's settings, as the stitching tool's click does),
// and holes along the shortest route between two points.
//
// Placement here never opens a message box: a request must get its answer without a
// person at the screen, so a walk that runs away is reported in the reply instead.
#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_set>
#include <vector>

#include "automation/mcp_routes.h"
#include "edit/closed_chains.h"
#include "edit/shape_geometry.h"
#include "model/draw_pallet.h"
#include "model/intersection.h"
#include "model/route_network.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "platform/json_text.h"
#include "platform/number_text.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/options.h"
#include "shell/undo.h"
#include "stitching/chain_distribution.h"
#include "stitching/corner_distribution.h"
#include "stitching/hole_placement.h"
#include "stitching/loop_pricking.h"
#include "stitching/pricking_iron.h"
#include "stitching/route_pricking.h"
#include "stitching/stitch_state.h"
#include "tools/hit_test.h"

namespace quillon {

namespace {

// The pitch box's range, and the hole-count box's.
constexpr double kMinPitchMm = 0.5;
constexpr double kMaxPitchMm = 1000.0;
constexpr int kMinLoopHoles = 3;
constexpr int kMaxHoles = 1000;
constexpr const char *kRunawayError = "the hole walk did not end (endless loop); no holes were made";

std::string lowerAscii(std::string text) {
  for (char &c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

// A string member in lower case, or `def` when it is missing; another JSON type fails.
std::string lowerStringMember(const TJson &body, const char *name, const char *def) {
  const TJson *value = mcpMember(body, name);
  if (!value) return def;
  if (!value->is_string()) throw std::runtime_error(std::string(name) + " must be a string");
  return lowerAscii(value->get<std::string>());
}

double numberMember(const TJson &body, const char *name, double def) {
  return mcpMember(body, name) ? mcpRequiredNumber(body, name) : def;
}

int integerMember(const TJson &body, const char *name, int def) {
  const TJson *value = mcpMember(body, name);
  return value ? mcpInteger(*value, name) : def;
}

// A point member {"x","y"} within the coordinate limit; the refusal otherwise.
std::optional<std::string> checkPoint(const TJson &point, const char *name) {
  if (!point.is_object()) return std::nullopt;  // mcpRequiredPoint fails the request
  if (auto refusal = mcpCheckLimits(point, {{"x", kMcpMaxCoordinate}, {"y", kMcpMaxCoordinate}}))
    return std::string(name) + ": " + *refusal;
  return std::nullopt;
}

std::optional<std::string> checkPitch(double pitch) {
  if (std::isfinite(pitch) && pitch >= kMinPitchMm && pitch <= kMaxPitchMm) return std::nullopt;
  return "pitchMm must be a number from 0.5 to 1000";
}

// "0.###": at most three decimals, no trailing zeros, "." as separator.
std::string pitchText(double value) {
  std::string text = formatFixed(roundHalfAwayFromZero(value, 3), 3);
  while (!text.empty() && text.back() == '0') text.pop_back();
  if (!text.empty() && text.back() == '.') text.pop_back();
  if (text == "-0") text = "0";
  return text;
}

char bladeLetter(const std::string &stitchType) {
  if (stitchType == "french") return 'F';
  if (stitchType == "flat") return 'L';
  if (stitchType == "round") return 'R';
  return 'D';
}

// The selected iron's blade letter for the lifetime of the object.
class TBladeOverride {
 public:
  TBladeOverride(TEditor &editor, const std::string &stitchType) : FIron(prickingIron(editor)) {
    if (!FIron) return;
    FSaved = FIron->BladeType;
    FIron->BladeType = std::string(1, bladeLetter(stitchType));
  }
  ~TBladeOverride() {
    if (FIron) FIron->BladeType = FSaved;
  }
  TBladeOverride(const TBladeOverride &) = delete;
  TBladeOverride &operator=(const TBladeOverride &) = delete;

 private:
  TPrickingIron *FIron;
  std::string FSaved;
};

std::string idList(const std::vector<int> &ids) {
  std::string text = "[";
  for (std::size_t i = 0; i < ids.size(); ++i) {
    if (i) text += ',';
    text += std::to_string(ids[i]);
  }
  return text + "]";
}

// The holes of the document whose IDs are not in `before`, in document order.
std::vector<TQN_Path *> newHoles(const TEditor &editor, const std::unordered_set<int> &before) {
  std::vector<TQN_Path *> holes;
  for (TQN_Path *s : editor.doc().PathList())
    if (s->isKind(TShapeKind::Hole) && !before.count(s->ID())) holes.push_back(s);
  return holes;
}

std::vector<int> idsOf(const std::vector<TQN_Path *> &shapes) {
  std::vector<int> ids;
  for (const TQN_Path *s : shapes) ids.push_back(s->ID());
  return ids;
}

std::unordered_set<int> documentIds(const TEditor &editor) {
  std::unordered_set<int> ids;
  for (const TQN_Path *s : editor.doc().PathList()) ids.insert(s->ID());
  return ids;
}

// The pricking tab's values and the active layer, put back when the object ends (also
// when the placement fails); writes go through the controls' own change commands.
class TPanelOverride {
 public:
  explicit TPanelOverride(TEditor &editor)
      : FEditor(editor), FLayer(editor.FActiveLayer), FPitchMode(editor.panel().PitchMode),
        FPitch(editor.panel().FixedPitchLen), FCornerMode(editor.panel().CornerModeIndex) {}
  ~TPanelOverride() {
    FEditor.FActiveLayer = FLayer;
    nbFixedPitchLen1Change(FEditor, FPitch);
    prickPitchChange(FEditor, FPitchMode);
    cmbCornerModeChange(FEditor, FCornerMode);
  }
  TPanelOverride(const TPanelOverride &) = delete;
  TPanelOverride &operator=(const TPanelOverride &) = delete;

 private:
  TEditor &FEditor;
  int FLayer;
  TPitchMode FPitchMode;
  float FPitch;
  int FCornerMode;
};

}  // namespace

std::string mcpCreateStitchHole(TEditor &editor, const TMcpRequest &request) {
  const std::optional<TJson> body = mcpParseBodyObject(request.Body);
  if (!body) return mcpErrorReply(kMcpInvalidJsonBody);
  if (auto refusal = mcpCheckLimits(*body, {{"cx", kMcpMaxCoordinate}, {"cy", kMcpMaxCoordinate}, {"angle", 1e6}},
                                    {"layerId"}))
    return mcpErrorReply(*refusal);
  const TPointF center{mcpRequiredFloat(*body, "cx"), mcpRequiredFloat(*body, "cy")};
  const float angle = float(numberMember(*body, "angle", 0.0));
  const std::string type = lowerStringMember(*body, "stitchType", "diamond");
  const int layer = mcpLayerFromBody(&*body, editor.FActiveLayer);
  const TPrickingIron *iron = prickingIron(editor);
  if (!iron) return mcpErrorReply("no pricking iron is available");

  auto hole = std::make_unique<TQN_Path>(kStitchingHolePalletIndex, editor.display().FColor_StitchingHole,
                                         editor.pen().FCurrentThickness, editor.pen().FCurrentDash,
                                         editor.doc().PathList().getNextID());
  const bool inverted = editor.tool().FIsInvertedStitchMode;
  switch (bladeLetter(type)) {
    case 'F': hole->setAsFrenchHole(center, *iron, inverted, angle, 0.0f); break;
    case 'L': hole->setAsFlatHole(center, *iron, angle, 0.0f); break;
    case 'R': hole->setAsRoundHole(center, *iron, angle, 0.0f); break;
    default: hole->setAsDiamondHole(center, *iron, inverted, angle, 0.0f); break;
  }
  hole->FStartPt = center;
  hole->FCenter = center;
  hole->FRotation = angle;
  const int id = hole->ID();
  editor.doc().add(std::move(hole), layer);
  takeUndoSnapshot(editor, QStringLiteral("mcpCreateStitchHole"));
  editor.ui().refreshCanvas();
  return "{\"ok\":true,\"id\":" + std::to_string(id) + "}";
}

std::string mcpStitchLoop(TEditor &editor, const TMcpRequest &request) {
  const std::optional<TJson> body = mcpParseBodyObject(request.Body);
  if (!body) return mcpErrorReply(kMcpInvalidJsonBody);
  const TJson *pointValue = mcpMember(*body, "pointOnLoop");
  if (!pointValue) return mcpErrorReply("pointOnLoop is required");
  if (auto refusal = checkPoint(*pointValue, "pointOnLoop")) return mcpErrorReply(*refusal);
  if (auto refusal = mcpCheckLimits(*body, {}, {"layerId", "holeCount", "cornerMode"})) return mcpErrorReply(*refusal);
  const TPointF point = mcpRequiredPoint(*pointValue, "pointOnLoop");
  const std::string mode = lowerStringMember(*body, "mode", "auto");
  const double pitch = numberMember(*body, "pitchMm", 4.0);
  const int holeCount = integerMember(*body, "holeCount", 10);
  const std::string type = lowerStringMember(*body, "stitchType", "diamond");
  const bool hasCornerMode = mcpMember(*body, "cornerMode") != nullptr;
  const int cornerMode = integerMember(*body, "cornerMode", 0);
  const int layer = mcpLayerFromBody(&*body, editor.FActiveLayer);
  if (auto refusal = checkPitch(pitch)) return mcpErrorReply(*refusal);
  if (mode == "count" && (holeCount < kMinLoopHoles || holeCount > kMaxHoles))
    return mcpErrorReply("holeCount must be an integer from 3 to 1000");
  if (hasCornerMode && (cornerMode < 0 || cornerMode > 2)) return mcpErrorReply("cornerMode must be 0, 1 or 2");

  const std::vector<TQN_Path *> hits = hitTestShapes(editor, editor.doc().PathList(), false, point, true, false, false);
  if (hits.empty()) return mcpOkFalseReply("no shape found near pointOnLoop");
  TQN_Path *shape = hits.front();
  std::vector<TQN_Path *> loop;
  TPointF start = shape->FStartPt;
  if (shape->isKind(TShapeKind::Ellipse)) {
    TPointF second;
    shape->getFirstTwoPoints(start, second);
    loop = {shape};
  } else {
    loop = getClosedChain(editor.doc().PathList(), shape);
  }
  if (loop.empty()) return mcpOkFalseReply("shape at pointOnLoop is not part of a closed loop");

  const std::unordered_set<int> before = documentIds(editor);
  TLoopPricking result;
  bool ranAway = false;
  {
    TBladeOverride blade(editor, type);
    TPanelOverride panel(editor);
    editor.FActiveLayer = layer;
    nbFixedPitchLen1Change(editor, float(pitch));
    if (mode == "count") nbNumOfStitchingHolesChange(editor, holeCount);
    prickPitchChange(editor, mode == "count"   ? TPitchMode::NumOfHoles
                             : mode == "fixed" ? TPitchMode::Fixed
                                               : TPitchMode::Auto);
    if (hasCornerMode) cmbCornerModeChange(editor, cornerMode);
    THolePlacer placer(editor);
    if (!placer.Ready()) return mcpErrorReply("no pricking iron is available");
    placer.setQuiet(true);
    result = placeHolesOnLoop(placer, loop, start);
    ranAway = placer.ranAway();
    if (ranAway) {
      editor.doc().remove(newHoles(editor, before));
    } else {
      takeUndoSnapshot(editor, QStringLiteral("mcpStitchLoop"));
      editor.ui().refreshCanvas();
    }
  }
  if (ranAway) return mcpOkFalseReply(kRunawayError);
  return "{\"ok\":true,\"holeCount\":" + std::to_string(result.Count) +
         ",\"actualPitchMm\":" + pitchText(result.ActualPitch) + ",\"createdIds\":" +
         idList(idsOf(newHoles(editor, before))) + "}";
}

std::string mcpStitchAlongPath(TEditor &editor, const TMcpRequest &request) {
  const std::optional<TJson> body = mcpParseBodyObject(request.Body);
  if (!body) return mcpErrorReply(kMcpInvalidJsonBody);
  const TJson *startValue = mcpMember(*body, "startPoint");
  const TJson *endValue = mcpMember(*body, "endPoint");
  if (!startValue || !endValue) return mcpErrorReply("startPoint and endPoint are required");
  if (auto refusal = checkPoint(*startValue, "startPoint")) return mcpErrorReply(*refusal);
  if (auto refusal = checkPoint(*endValue, "endPoint")) return mcpErrorReply(*refusal);
  if (auto refusal = mcpCheckLimits(*body, {}, {"layerId", "holeCount", "cornerMode"})) return mcpErrorReply(*refusal);
  const TPointF startPoint = mcpRequiredPoint(*startValue, "startPoint");
  const TPointF endPoint = mcpRequiredPoint(*endValue, "endPoint");
  const std::string mode = lowerStringMember(*body, "mode", "auto");
  const double pitch = numberMember(*body, "pitchMm", 4.0);
  const int cornerMode = integerMember(*body, "cornerMode", 2);
  const int holeCount = integerMember(*body, "holeCount", 10);
  const std::string type = lowerStringMember(*body, "stitchType", "diamond");
  const int layer = mcpLayerFromBody(&*body, editor.FActiveLayer);
  if (auto refusal = checkPitch(pitch)) return mcpErrorReply(*refusal);
  if (mode == "count" && holeCount > kMaxHoles) return mcpErrorReply("holeCount must be at most 1000");

  const TQN_Options defaults;
  const TQN_Options &options = editor.FOptions ? *editor.FOptions : defaults;
  TVertexNetwork network(editor.doc().PathList(), editor.doc().FIntersections);
  TBladeOverride blade(editor, type);
  if (!network.dpConnect(startPoint, endPoint))
    return mcpOkFalseReply("no route found between startPoint and endPoint");
  const TRouteVertex *destination = network.GetVertex(endPoint);
  if (!destination) return mcpOkFalseReply("destination vertex not found in network");
  const TRoutePieces route = collectRoutePieces(network, destination, startPoint, endPoint);

  THolePlacer placer(editor);
  if (!placer.Ready()) return mcpErrorReply("no pricking iron is available");
  placer.setQuiet(true);
  const std::unordered_set<int> before = documentIds(editor);

  if (cornerMode < 2 && !route.Pieces.empty()) {
    const std::vector<TQN_Path *> fromStart(route.Pieces.rbegin(), route.Pieces.rend());
    std::vector<TQN_Path *> chain;
    std::vector<std::unique_ptr<TQN_Path>> created;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    if (sortChain(fromStart, chain, created, {nan, nan}) && !chain.empty()) {
      int n = 0;
      if (cornerMode == 0)
        distributeHolesSmartCorner(placer, chain, false, float(pitch), options.CornerAngleThreshold, n);
      else
        distributeHolesPerSegment(placer, chain, false, float(pitch), n);
      if (n > 0) {
        takeUndoSnapshot(editor, QStringLiteral("mcpStitchAlongPath"));
        editor.ui().refreshCanvas();
        return "{\"ok\":true,\"holeCount\":" + std::to_string(n) + ",\"actualPitchMm\":" + pitchText(pitch) +
               ",\"cornerMode\":" + std::to_string(cornerMode) + ",\"createdIds\":" +
               idList(idsOf(newHoles(editor, before))) + "}";
      }
    }
  }

  // Uniform placement.
  float first = float(pitch);
  if (mode == "count") {
    const TRouteVertex *end = network.EndVertex();
    if (!end || holeCount <= 1) return mcpOkFalseReply("cannot compute pitch: no route or holeCount <= 1");
    first = end->FMinDist / float(holeCount - 1);
  }
  TRouteTrialSearch search(placer, route.Pieces, startPoint, endPoint, route.Second, {});
  search.BestPitch = first;
  search.tryPitch(first);
  const float best = search.BestPitch;
  if (mode != "fixed" && best > 0.0f)
    search.search(best, options.AutoPitchPrecision, options.AutoPitchSteps, options.AutoPitchStopGap);
  if (search.BestPoints.empty() && placer.ranAway()) return mcpOkFalseReply(kRunawayError);

  std::vector<int> created;
  for (std::size_t k = 0; k < search.BestPoints.size(); ++k) {
    float rotation = 0.0f;
    unitDirectionAndAngle({0.0f, 0.0f}, search.BestDirections[k], rotation);
    created.push_back(placer.addUnlinkedHole(placer.newHole(search.BestPoints[k], rotation), layer)->ID());
  }
  if (!created.empty()) {
    takeUndoSnapshot(editor, QStringLiteral("mcpStitchAlongPath"));
    editor.ui().refreshCanvas();
  }
  return "{\"ok\":true,\"holeCount\":" + std::to_string(search.BestPoints.size()) +
         ",\"actualPitchMm\":" + pitchText(search.BestPitch) + ",\"createdIds\":" + idList(created) + "}";
}

}  // namespace quillon
