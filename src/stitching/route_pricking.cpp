#include "stitching/route_pricking.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "edit/shape_geometry.h"
#include "model/intersection.h"
#include "model/point_helpers.h"
#include "model/route_network.h"
#include "platform/number_text.h"
#include "platform/wait_cursor.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/options.h"
#include "shell/undo.h"
#include "stitching/chain_distribution.h"
#include "stitching/corner_distribution.h"
#include "stitching/hole_placement.h"
#include "stitching/hole_walking.h"
#include "stitching/stitch_state.h"
#include "tools/status_info.h"

namespace quillon {

TRoutePieces collectRoutePieces(const TVertexNetwork &network, const TRouteVertex *vertex, TPointF start,
                                TPointF end) {
  TRoutePieces route;
  const TRouteVertex *lastWalked = nullptr;
  // The way back never has more steps than the network has vertices.
  for (int left = network.Count(); vertex && vertex->FMinDistJoint && left > 0; --left) {
    if (std::unique_ptr<TQN_Path> piece = vertex->FMinDistJoint->getActualPath()) {
      route.Pieces.push_back(piece.get());
      route.Owned.push_back(std::move(piece));
    }
    lastWalked = vertex;
    vertex = vertex->FMinDistFromVertex;
  }
  route.Second = lastWalked && !lastWalked->FPoint.exactlyEquals(start) ? lastWalked->FPoint : end;
  return route;
}

TRouteTrialSearch::TRouteTrialSearch(THolePlacer &placer, const std::vector<TQN_Path *> &pieces, TPointF start,
                                     TPointF end, TPointF second, TRule rule)
    : FPlacer(placer), FPieces(pieces), FStart(start), FEnd(end), FSecond(second), FRule(rule) {}

void TRouteTrialSearch::judge(float estimate, float gap, const std::vector<TPointF> &points,
                              const std::vector<TPointF> &directions) {
  // A walk without an estimate (a single point, a runaway walk) never becomes the best.
  if (!(estimate > 0.0f)) return;
  const int n = static_cast<int>(points.size());
  const bool wanted = n == FRule.WantedCount;
  const bool accepted = BestCount == 0 || (!FRule.SetNum && gap < BestGap) ||
                        (FRule.SetNum && gap < BestGap && wanted) ||
                        (FRule.CountWins && wanted && BestCount != FRule.WantedCount);
  if (!accepted) return;
  BestGap = gap;
  BestCount = n;
  BestPitch = estimate;
  BestPoints = points;
  BestDirections = directions;
}

void TRouteTrialSearch::tryPitch(float pitch) {
  if (!(pitch > 0.0f) || !std::isfinite(pitch)) return;
  std::vector<TPointF> points, directions;
  float gap = 0.0f;
  bool twoWays = false;
  ++Trials;
  float estimate = stepHolesAlongRoute(FPlacer, FPieces, FStart, FEnd, FSecond, pitch, gap, points, directions,
                                       twoWays, false);
  judge(estimate, gap, points, directions);
  if (!FRule.BothWays || !twoWays) return;
  ++Trials;
  estimate = stepHolesAlongRoute(FPlacer, FPieces, FStart, FEnd, FSecond, pitch, gap, points, directions, twoWays,
                                 true);
  judge(estimate, gap, points, directions);
}

void TRouteTrialSearch::search(float base, float precision, int steps, float stopGap) {
  for (int i = 0; i < steps; ++i) {
    const bool countMissing = FRule.SetNum && BestCount != FRule.WantedCount;
    if (!(BestGap >= stopGap) && !countMissing) break;
    const float d = precision * float(i);
    tryPitch(base + d);
    if (d > 0.0f) tryPitch(base - d);
  }
}

void showPrickedHoles(TEditor &editor, int count, const QString &pitchKey, float pitch) {
  editor.FNumOfStitchesText = editor.tr(QStringLiteral("#ofAutoPricks")) + QString::number(count) + QStringLiteral("  ");
  editor.FLengthText = editor.tr(pitchKey) + lengthWithUnit(editor, pitch) + QStringLiteral("  ");
  showInfoTexts(editor);
}

namespace {

// The end of a pricked route: the tool is idle again, one undo step.
void endPrickedRoute(TEditor &editor, const char *tag) {
  editor.tool().Clicked_Points.clear();
  editor.tool().FStitchingCount = 0;
  editor.doc().FStitchIntersections.FreeAll();
  editor.ui().refreshCanvas();
  takeUndoSnapshot(editor, QString::fromLatin1(tag));
}

// The corner modes on the route's pieces ordered from the origin; false when they laid
// nothing (the pieces do not sort, or no hole position came out).
bool prickRouteByCorners(TEditor &editor, THolePlacer &placer, const std::vector<TQN_Path *> &pieces,
                         TRoutePricking &result) {
  const TPanelValues &panel = editor.panel();
  std::vector<TQN_Path *> fromOrigin(pieces.rbegin(), pieces.rend());
  std::vector<TQN_Path *> chain;
  std::vector<std::unique_ptr<TQN_Path>> created;
  if (!sortChain(fromOrigin, chain, created, editor.tool().FStitchRealLastPos) || chain.empty()) return false;
  const float pitch = panel.FixedPitchLen;
  int n = 0;
  if (panel.CornerModeIndex == 0)
    distributeHolesSmartCorner(placer, chain, false, pitch, panel.CornerAngle, n);
  else
    distributeHolesPerSegment(placer, chain, false, pitch, n);
  if (n == 0) return false;
  result.CornerMode = true;
  result.Count = n;
  result.Pitch = n > 1 ? calcChainLength(chain) / float(n - 1) : pitch;
  return true;
}

}  // namespace

TRoutePricking prickRouteToVertex(TEditor &editor, const TVertexNetwork &network, const TRouteVertex *vertex,
                                  TPointF clicked) {
  TWaitCursor wait;
  TRoutePricking result;
  const TPanelValues &panel = editor.panel();
  const TQN_Options defaults;
  const TQN_Options &options = editor.FOptions ? *editor.FOptions : defaults;
  TToolState &tool = editor.tool();
  const TPointF start = tool.FStitchRealLastPos;
  const TRoutePieces route = collectRoutePieces(network, vertex, start, clicked);
  const bool setNum = panel.PitchMode == TPitchMode::NumOfHoles;
  const bool autoPitch = panel.PitchMode == TPitchMode::Auto;
  const int wanted = panel.NumOfStitchingHoles;

  THolePlacer placer(editor);
  if (!placer.Ready()) return result;

  if (autoPitch && (panel.CornerModeIndex == 0 || panel.CornerModeIndex == 1) && !route.Pieces.empty() &&
      prickRouteByCorners(editor, placer, route.Pieces, result)) {
    result.Done = true;
    endPrickedRoute(editor, "L28038");
    showPrickedHoles(editor, result.Count, QStringLiteral("AutoPitch"), result.Pitch);
    return result;
  }

  // The uniform walk: the first pitch.
  const TRouteVertex *end = network.EndVertex();
  float first = panel.FixedPitchLen;
  if (setNum) {
    if (!end || wanted <= 1) return result;
    const double length = roundHalfEven(double(end->FMinDist) * 10000.0);
    first = float(length / double(wanted - 1)) / 10000.0f;
  }

  TRouteTrialSearch::TRule rule;
  rule.SetNum = setNum;
  rule.WantedCount = wanted;
  rule.CountWins = true;
  rule.BothWays = true;
  TRouteTrialSearch search(placer, route.Pieces, start, clicked, route.Second, rule);
  search.tryPitch(first);
  const float base = search.BestPitch;
  if (base > 0.0f && ((setNum && end) || autoPitch))
    search.search(base, options.AutoPitchPrecision, options.AutoPitchSteps, options.AutoPitchStopGap);
  result.Trials = search.Trials;

  // The holes of the best walk.
  const float B = search.BestPitch;
  int made = 0;
  std::int64_t spacing = 0;  // 1/10000 mm
  const TQN_Path *previous = nullptr;
  const std::size_t n = search.BestPoints.size();
  for (std::size_t k = 0; k < n; ++k) {
    TPointF point = search.BestPoints[k];
    if (autoPitch && options.ForceFitLastPrick && k + 1 == n && calcDistance(point, clicked) < B / 2.0f)
      point = clicked;
    if (placer.findHoleNear(point, B / 2.0f)) continue;
    float rotation = 0.0f;
    unitDirectionAndAngle({0.0f, 0.0f}, search.BestDirections[k], rotation);
    std::unique_ptr<TQN_Path> hole = placer.newHole(point, rotation);
    linkToLastStitch(editor, *hole, B);
    const TQN_Path *added = placer.addHole(std::move(hole));
    if (previous)
      spacing = std::int64_t(roundHalfEven(double(spacing) + double(calcDistance(previous->FCenter, point)) * 10000.0));
    previous = added;
    ++made;
  }

  result.Done = true;
  endPrickedRoute(editor, "L28196");
  result.Count = setNum ? static_cast<int>(n) : made;
  if (panel.PitchMode == TPitchMode::Fixed) {
    result.Estimated = true;
    result.Pitch = base;
  } else {
    result.Pitch = made > 1 ? float(double(spacing) / double(made - 1) / 10000.0) : (B > 0.0f ? B : first);
  }
  showPrickedHoles(editor, result.Count, result.Estimated ? QStringLiteral("EstimatedBestPitch") : QStringLiteral("AutoPitch"),
                   result.Pitch);
  return result;
}

}  // namespace quillon
