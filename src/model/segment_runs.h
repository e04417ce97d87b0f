#pragma once
// Pairs of segments of two outlines that may come near each other.
//
// A pass that tests every segment of one outline against every segment of another costs
// the product of their lengths: two long flattened outlines that meet in a few places
// spend minutes on pairs that are far apart. forNearSegmentPairs groups each outline's
// consecutive segments into runs with a box around each run and visits only the pairs
// whose runs come within the margin, in the order of the plain double loop. A caller whose
// test of a pair can only succeed when the two segments come within the margin of each
// other therefore gets exactly the results, in the same order, of the double loop.
#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

#include "platform/geometry.h"

namespace quillon {

// A box around points, in double precision. A coordinate that is not a number widens
// nothing; a box that took no number on an axis is near nothing.
struct TSegmentBox {
  double Left = std::numeric_limits<double>::infinity();
  double Top = std::numeric_limits<double>::infinity();
  double Right = -std::numeric_limits<double>::infinity();
  double Bottom = -std::numeric_limits<double>::infinity();

  void include(TPointF p) {
    const double x = p.X, y = p.Y;
    if (x < Left) Left = x;
    if (x > Right) Right = x;
    if (y < Top) Top = y;
    if (y > Bottom) Bottom = y;
  }
  // Whether the gap between the boxes is at most `margin` on both axes.
  bool near(const TSegmentBox &other, double margin) const {
    return Left <= other.Right + margin && other.Left <= Right + margin && Top <= other.Bottom + margin &&
           other.Top <= Bottom + margin;
  }
};

// Consecutive segments per run.
inline constexpr int kSegmentRunLength = 32;

// The boxes of the runs of `count` segments; ends(i) gives the two ends of segment i.
template <typename Ends>
std::vector<TSegmentBox> segmentRunBoxes(int count, const Ends &ends) {
  std::vector<TSegmentBox> boxes(static_cast<std::size_t>((std::max(count, 0) + kSegmentRunLength - 1) /
                                                          kSegmentRunLength));
  for (int i = 0; i < count; ++i) {
    const std::pair<TPointF, TPointF> segment = ends(i);
    TSegmentBox &box = boxes[static_cast<std::size_t>(i / kSegmentRunLength)];
    box.include(segment.first);
    box.include(segment.second);
  }
  return boxes;
}

// Calls visit(i, j) for the segments i of A (0..countA-1) and j of B (0..countB-1) whose
// runs come within `margin` of each other and whose run of B comes within `margin` of
// segment i itself; i rises in the outer order, j in the inner, as in the double loop.
// Every pair whose own two segments come within `margin` is visited. endsA(i) and
// endsB(j) give the two ends of a segment.
//
// The form with `runsA` and `runsB` takes the run boxes made by segmentRunBoxes for the
// same segments, for a caller that keeps them across many pairs (B's segments are then
// known by their run boxes alone).
template <typename EndsA, typename Visit>
void forNearSegmentPairs(const std::vector<TSegmentBox> &runsA, int countA, const EndsA &endsA,
                         const std::vector<TSegmentBox> &runsB, int countB, double margin, const Visit &visit) {
  std::vector<int> nearRuns;
  for (std::size_t ra = 0; ra < runsA.size(); ++ra) {
    nearRuns.clear();
    for (std::size_t rb = 0; rb < runsB.size(); ++rb)
      if (runsA[ra].near(runsB[rb], margin)) nearRuns.push_back(static_cast<int>(rb));
    if (nearRuns.empty()) continue;
    const int firstA = static_cast<int>(ra) * kSegmentRunLength;
    const int endA = std::min(countA, firstA + kSegmentRunLength);
    for (int i = firstA; i < endA; ++i) {
      const std::pair<TPointF, TPointF> segment = endsA(i);
      TSegmentBox own;
      own.include(segment.first);
      own.include(segment.second);
      for (const int rb : nearRuns) {
        if (!own.near(runsB[static_cast<std::size_t>(rb)], margin)) continue;
        const int firstB = rb * kSegmentRunLength;
        const int endB = std::min(countB, firstB + kSegmentRunLength);
        for (int j = firstB; j < endB; ++j) visit(i, j);
      }
    }
  }
}

template <typename EndsA, typename EndsB, typename Visit>
void forNearSegmentPairs(int countA, const EndsA &endsA, int countB, const EndsB &endsB, double margin,
                         const Visit &visit) {
  forNearSegmentPairs(segmentRunBoxes(countA, endsA), countA, endsA, segmentRunBoxes(countB, endsB), countB, margin,
                      visit);
}

}  // namespace quillon
