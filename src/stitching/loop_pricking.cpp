#include "stitching/loop_pricking.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <numbers>

#include "model/shape.h"
#include "platform/wait_cursor.h"
#include "shell/editor.h"
#include "shell/options.h"
#include "stitching/chain_distribution.h"
#include "stitching/corner_distribution.h"
#include "stitching/hole_placement.h"
#include "stitching/hole_walking.h"

namespace quillon {

namespace {

constexpr float kChainCloseness = 0.5f;  // mm, in x and in y, between a chain's two ends

// The corner modes on a loop of several shapes; false when the shapes do not sort into
// one chain (the uniform walk takes over).
bool placeLoopByCorners(THolePlacer &placer, const std::vector<TQN_Path *> &loop, TLoopPricking &result) {
  const TPanelValues &panel = placer.editor().panel();
  std::vector<TQN_Path *> chain;
  std::vector<std::unique_ptr<TQN_Path>> created;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  if (!sortChain(loop, chain, created, {nan, nan}) || chain.empty()) return false;
  const TPointF gap = chain.back()->FEndPt - chain.front()->FStartPt;
  const bool closed = chain.size() >= 2 && std::fabs(gap.X) <= kChainCloseness && std::fabs(gap.Y) <= kChainCloseness;
  const float pitch = panel.FixedPitchLen;
  if (panel.CornerModeIndex == 0)
    distributeHolesSmartCorner(placer, chain, closed, pitch, panel.CornerAngle, result.Count);
  else
    distributeHolesPerSegment(placer, chain, closed, pitch, result.Count);
  result.ActualPitch = pitch;
  if (result.Count >= 2)
    result.ActualPitch = calcChainLength(chain) / float(closed ? result.Count : result.Count - 1);
  return true;
}

// The diameter of a loop that is one circle; 0 for any other loop.
float circleDiameter(const std::vector<TQN_Path *> &loop) {
  if (loop.size() != 1 || !loop.front()->isKind(TShapeKind::Ellipse)) return 0.0f;
  const TQN_Path &s = *loop.front();
  return std::fabs(double(s.FWidth) - double(s.FHeight)) <= 1e-12 ? s.FWidth : 0.0f;
}

}  // namespace

TLoopPricking placeHolesOnLoop(THolePlacer &placer, const std::vector<TQN_Path *> &loop, TPointF start) {
  TWaitCursor wait;
  TLoopPricking result;
  if (!placer.Ready() || loop.empty()) return result;
  TEditor &editor = placer.editor();
  const TPanelValues &panel = editor.panel();
  const TQN_Options defaults;
  const TQN_Options &options = editor.FOptions ? *editor.FOptions : defaults;
  const TPitchMode mode = panel.PitchMode;

  if (loop.size() >= 2 && mode == TPitchMode::Auto && (panel.CornerModeIndex == 0 || panel.CornerModeIndex == 1) &&
      placeLoopByCorners(placer, loop, result))
    return result;

  // One trial walk: its count and its gap (from the last centre back to the start).
  const auto trial = [&](float pitch, int &count) {
    ++result.Trials;
    return walkHolesOnLoop(placer, count, loop, start, true, pitch);
  };

  const float p = panel.FixedPitchLen;
  int c = 0;
  const float g = trial(p, c);
  float seed = p;
  if (c >= 2) seed = p / 2.0f > g ? p + g / float(c - 1) : p - g / float(c);
  float bestPitch = p, bestGap = g;
  int bestCount = 1;
  const float diameter = circleDiameter(loop);

  if (mode == TPitchMode::Auto && seed > 0.0f) {
    const float step = options.AutoPitchPrecision * 2.0f;
    for (int i = 0; i < options.AutoPitchSteps; ++i) {
      const float d = step * float(i);
      const auto tryPitch = [&](float pitch) {
        if (!(pitch > 0.0f)) return;
        int count = 0;
        const float gap = trial(pitch, count);
        if (gap < bestGap) {
          bestPitch = pitch;
          bestCount = count;
          bestGap = gap;
        }
      };
      tryPitch(seed + d);
      if (d > 0.0f) tryPitch(seed - d);
    }
    // A circle: the whole number of equally spaced holes whose chord is nearest the pitch.
    if (diameter > 0.0f && bestCount >= 1) {
      const double target = p;
      double nearest = 2147483648.0;
      for (int n = std::max(2, bestCount - 20); n <= bestCount + 20; ++n) {
        const double chord = double(diameter) * std::sin(std::numbers::pi / n);
        if (std::fabs(target - chord) < nearest) {
          nearest = std::fabs(target - chord);
          bestPitch = float(chord);
        }
      }
    }
  } else if (mode == TPitchMode::NumOfHoles) {
    const float length = float(c - 1) * p + g;
    const int wanted = panel.NumOfStitchingHoles;
    if (wanted >= 1) {
      float s = length / float(wanted);
      bestGap = g;
      if (diameter > 0.0f) {
        s = float(double(diameter) * std::sin(std::numbers::pi / wanted));
        bestGap = 0.0f;
      }
      bestPitch = s;
      const float step = options.AutoPitchPrecision;
      for (int i = 0; i < 4 * options.AutoPitchSteps && bestGap > 0.0f; ++i) {
        const float d = step * float(i);
        const auto tryPitch = [&](float pitch) {
          if (!(pitch > 0.0f)) return;
          int count = 0;
          const float misfit = std::fabs(pitch - trial(pitch, count));
          if (misfit < bestGap && count == wanted) {
            bestPitch = pitch;
            bestGap = misfit;
          }
        };
        tryPitch(s + d);
        if (d > 0.0f) tryPitch(s - d);
      }
    }
  }

  walkHolesOnLoop(placer, result.Count, loop, start, false, bestPitch);
  result.ActualPitch = bestPitch;
  if (result.Count >= 2) result.ActualPitch = calcChainLength(loop) / float(result.Count);
  return result;
}

}  // namespace quillon
