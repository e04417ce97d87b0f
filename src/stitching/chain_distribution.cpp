#include "stitching/chain_distribution.h"

#include <algorithm>
#include <cmath>

#include "edit/shape_geometry.h"
#include "model/point_helpers.h"
#include "platform/number_text.h"
#include "shell/editor.h"
#include "stitching/hole_placement.h"
#include "stitching/stitch_state.h"

namespace quillon {

namespace {

constexpr float kChainGap = 0.5f;  // per axis, between one shape's end and the next one's start
constexpr double kTiny = 1e-9;

bool meets(TPointF a, TPointF b) {
  return std::fabs(double(a.X) - b.X) <= kChainGap && std::fabs(double(a.Y) - b.Y) <= kChainGap;
}

double segmentLength(const TPathInterval &s) { return std::hypot(double(s.Ed.X) - s.St.X, double(s.Ed.Y) - s.St.Y); }

// One attempt of sortChain from a first element: the chain and the reversed copies it
// made.
struct TAttempt {
  std::vector<TQN_Path *> Chain;
  std::vector<std::unique_ptr<TQN_Path>> Copies;
};

TAttempt chainFrom(const std::vector<TQN_Path *> &source, std::size_t startIndex, bool reversed) {
  TAttempt attempt;
  if (reversed) {
    auto copy = reversedShapeCopy(*source[startIndex]);
    if (!copy) return attempt;
    attempt.Chain.push_back(copy.get());
    attempt.Copies.push_back(std::move(copy));
  } else {
    attempt.Chain.push_back(source[startIndex]);
  }
  std::vector<TQN_Path *> remaining;
  for (std::size_t i = 0; i < source.size(); ++i)
    if (i != startIndex) remaining.push_back(source[i]);

  for (;;) {
    const TPointF end = attempt.Chain.back()->FEndPt;
    auto next =
        std::find_if(remaining.begin(), remaining.end(), [end](TQN_Path *s) { return meets(s->FStartPt, end); });
    if (next != remaining.end()) {
      attempt.Chain.push_back(*next);
    } else {
      for (next = remaining.begin(); next != remaining.end(); ++next) {
        if (!meets((*next)->FEndPt, end)) continue;
        if (auto copy = reversedShapeCopy(**next)) {
          attempt.Chain.push_back(copy.get());
          attempt.Copies.push_back(std::move(copy));
          break;
        }
      }
      if (next == remaining.end()) break;
    }
    remaining.erase(next);
  }
  return attempt;
}

}  // namespace

std::unique_ptr<TQN_Path> reversedShapeCopy(const TQN_Path &shape) {
  auto copy = std::make_unique<TQN_Path>(shape.FPalletIndex, shape.FColor, shape.FThickness, shape.FDash, -1);
  if (shape.isKind(TShapeKind::Line))
    copy->drawLinePath(shape.FEndPt, shape.FStartPt);
  else if (shape.isKind(TShapeKind::Bezier))
    copy->drawBezierPath(shape.FEndPt, shape.FBezierCp2, shape.FBezierCp1, shape.FStartPt);
  else if (shape.isKind(TShapeKind::Arc))
    copy->drawArcPath(shape.FCenter, {shape.FWidth, shape.FHeight}, shape.FEndPt, shape.FStartPt, -shape.FSweepAngle);
  else
    return nullptr;
  return copy;
}

bool sortChain(const std::vector<TQN_Path *> &source, std::vector<TQN_Path *> &chain,
               std::vector<std::unique_ptr<TQN_Path>> &created, TPointF preferStart) {
  chain.clear();
  TAttempt best;
  for (std::size_t i = 0; i < source.size() && best.Chain.size() < source.size(); ++i) {
    for (const bool reversed : {false, true}) {
      TAttempt attempt = chainFrom(source, i, reversed);
      if (attempt.Chain.size() > best.Chain.size()) best = std::move(attempt);
      if (best.Chain.size() == source.size()) break;
    }
  }
  if (source.empty() || best.Chain.size() != source.size()) return false;

  chain = std::move(best.Chain);
  for (auto &copy : best.Copies) created.push_back(std::move(copy));

  if (!std::isnan(preferStart.X) &&
      calcDistance(chain.front()->FStartPt, preferStart) > calcDistance(chain.back()->FEndPt, preferStart)) {
    std::vector<std::unique_ptr<TQN_Path>> turned;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
      auto copy = reversedShapeCopy(**it);
      if (!copy) return true;  // one cannot be reversed: the chain keeps its direction
      turned.push_back(std::move(copy));
    }
    chain.clear();
    for (auto &copy : turned) {
      chain.push_back(copy.get());
      created.push_back(std::move(copy));
    }
  }
  return true;
}

std::vector<TPathInterval> outlineIntervals(const TQN_Path &shape) {
  std::vector<TPathInterval> segments;
  for (const TRectF &r : shape.getIntervals(false)) segments.push_back({r.topLeft(), r.bottomRight()});
  return segments;
}

float shapeOutlineLength(const TQN_Path &shape) {
  double total = 0.0;
  for (const TPathInterval &s : outlineIntervals(shape)) total += segmentLength(s);
  return float(total);
}

float calcChainLength(const std::vector<TQN_Path *> &chain) {
  double total = 0.0;
  for (const TQN_Path *s : chain) total += shapeOutlineLength(*s);
  return float(total);
}

void pointAtLength(const std::vector<TPathInterval> &segments, double length, TPointF &position,
                   TPointF &direction) {
  direction = {1.0f, 0.0f};
  position = segments.empty() ? TPointF() : segments.front().St;
  double walked = 0.0;
  for (const TPathInterval &s : segments) {
    const double len = segmentLength(s);
    const double dx = double(s.Ed.X) - s.St.X, dy = double(s.Ed.Y) - s.St.Y;
    if (len > kTiny) direction = {float(dx / len), float(dy / len)};
    if (walked + len + kTiny >= length) {
      const double f = len <= kTiny ? 0.0 : std::clamp((length - walked) / len, 0.0, 1.0);
      position = {float(s.St.X + f * dx), float(s.St.Y + f * dy)};
      return;
    }
    walked += len;
    position = s.Ed;
  }
}

void pointAtLengthFraction(const TQN_Path &shape, float t, TPointF &position, TPointF &direction) {
  const std::vector<TPathInterval> segments = outlineIntervals(shape);
  double total = 0.0;
  for (const TPathInterval &s : segments) total += segmentLength(s);
  if (total < kTiny) {
    position = shape.FStartPt;
    direction = {1.0f, 0.0f};
    return;
  }
  pointAtLength(segments, double(t) * total, position, direction);
}

TPointF bisectorDirection(TPointF a, TPointF b) {
  const double x = double(a.X) + b.X, y = double(a.Y) + b.Y;
  const double len = std::hypot(x, y);
  if (len <= kTiny) return a;
  return {float(x / len), float(y / len)};
}

void placeChainHole(TChainDistribution &run, TPointF position, TPointF direction, float spacing) {
  ++run.Count;
  if (TQN_Path *found = run.Placer.findHoleNear(position, spacing / 2.0f)) {
    run.LastHit = found;
    return;
  }
  run.LastHit = nullptr;
  float rotation = 0.0f;
  unitDirectionAndAngle({0.0f, 0.0f}, direction, rotation);
  std::unique_ptr<TQN_Path> hole = run.Placer.newHole(position, rotation);
  if (run.Previous) {
    hole->FPrevStitchID = run.Previous->ID();
    run.Previous->FNextStitchID = hole->ID();
  } else {
    linkToLastStitch(run.Placer.editor(), *hole, spacing);
  }
  TQN_Path *added = run.Placer.addHole(std::move(hole));
  if (!run.First) run.First = added;
  run.Previous = added;
}

void closeChainLinks(TChainDistribution &run, bool closed) {
  if (!closed) {
    if (run.LastHit && run.Previous && run.Previous->FNextStitchID < 0 && run.Previous != run.LastHit)
      run.Previous->FNextStitchID = run.LastHit->ID();
  } else if (run.First && run.Previous && run.First != run.Previous) {
    run.Previous->FNextStitchID = run.First->ID();
    run.First->FPrevStitchID = run.Previous->ID();
  }
}

int intervalCount(float length, float pitch, bool evenForArc) {
  int k = std::max(1, int(roundHalfEven(double(length) / pitch)));
  if (evenForArc && k % 2 != 0) {
    const int lower = std::max(2, k - 1), upper = k + 1;
    const double offLower = std::fabs(double(length) / lower - pitch);
    const double offUpper = std::fabs(double(length) / upper - pitch);
    k = std::max(2, offLower < offUpper ? lower : upper);
  }
  return k;
}

void distributeHolesPerSegment(THolePlacer &placer, const std::vector<TQN_Path *> &chain, bool closed, float pitch,
                               int &count) {
  count = 0;
  if (!placer.Ready()) return;
  TChainDistribution run(placer);
  const std::size_t n = chain.size();
  float lastSpacing = pitch;
  for (std::size_t s = 0; s < n; ++s) {
    const TQN_Path &shape = *chain[s];
    const float length = shapeOutlineLength(shape);
    if (length < kTiny) continue;
    const bool innerArc = shape.isKind(TShapeKind::Arc) && (closed || (s != 0 && s != n - 1));
    const int k = intervalCount(length, pitch, innerArc);
    lastSpacing = length / float(k);
    for (int j = 0; j < k; ++j) {
      TPointF position, direction;
      pointAtLengthFraction(shape, float(j) / float(k), position, direction);
      // A junction hole follows both shapes; that of a closed chain's start, too.
      if (j == 0 && (s > 0 || closed) && n > 1) {
        TPointF before, endDirection;
        pointAtLengthFraction(*chain[s > 0 ? s - 1 : n - 1], 1.0f, before, endDirection);
        if (!endDirection.isZero()) direction = bisectorDirection(endDirection, direction);
      }
      placeChainHole(run, position, direction, lastSpacing);
    }
  }
  if (!closed && n > 0 && shapeOutlineLength(*chain.back()) >= kTiny) {
    TPointF position, direction;
    pointAtLengthFraction(*chain.back(), 1.0f, position, direction);
    placeChainHole(run, position, direction, lastSpacing);
  }
  closeChainLinks(run, closed);
  count = run.Count;
}

}  // namespace quillon
