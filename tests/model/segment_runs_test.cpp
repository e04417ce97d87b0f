#include "model/segment_runs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <utility>
#include <vector>

namespace quillon {
namespace {

using TSegment = std::pair<TPointF, TPointF>;

// Whether the two segments' own boxes come within the margin of each other.
bool boxesNear(const TSegment &a, const TSegment &b, double margin) {
  TSegmentBox boxA, boxB;
  boxA.include(a.first);
  boxA.include(a.second);
  boxB.include(b.first);
  boxB.include(b.second);
  return boxA.near(boxB, margin);
}

// Outlines that wander in short steps (as flattened curves do), crossing each other here
// and there, with a few points that are not numbers or lie far off.
std::vector<TSegment> wanderingOutline(std::mt19937 &random, int count) {
  std::uniform_real_distribution<float> step(-0.6f, 0.6f);
  std::uniform_int_distribution<int> oddity(0, 150);
  std::vector<TSegment> segments;
  TPointF p{0.0f, 0.0f};
  for (int i = 0; i < count; ++i) {
    TPointF q{p.X + step(random) + 0.2f, p.Y + step(random)};
    switch (oddity(random)) {
      case 0: q.X = std::numeric_limits<float>::quiet_NaN(); break;
      case 1: q.Y = std::numeric_limits<float>::infinity(); break;
      case 2: q = {1e6f, -1e6f}; break;
      default: break;
    }
    segments.push_back({p, q});
    if (std::isfinite(q.X) && std::isfinite(q.Y) && std::fabs(q.X) < 1e5f) p = q;
  }
  return segments;
}

// What the finders rely on to give the records of the plain double loop: every pair whose
// own boxes come near is visited, and the visits come in the double loop's order.
TEST(SegmentRunsTest, VisitsEveryNearPairInDoubleLoopOrder) {
  std::mt19937 random(20);
  for (const double margin : {0.0, 0.1, 0.2, 3.0}) {
    for (const int countA : {0, 1, 31, 32, 33, 700}) {
      const std::vector<TSegment> a = wanderingOutline(random, countA);
      const std::vector<TSegment> b = wanderingOutline(random, 500);
      const auto endsA = [&](int i) { return a[static_cast<std::size_t>(i)]; };
      const auto endsB = [&](int j) { return b[static_cast<std::size_t>(j)]; };

      std::vector<std::pair<int, int>> visited;
      forNearSegmentPairs(countA, endsA, static_cast<int>(b.size()), endsB, margin,
                          [&](int i, int j) { visited.emplace_back(i, j); });

      std::vector<std::pair<int, int>> nearPairs;
      for (int i = 0; i < countA; ++i)
        for (int j = 0; j < static_cast<int>(b.size()); ++j)
          if (boxesNear(a[static_cast<std::size_t>(i)], b[static_cast<std::size_t>(j)], margin))
            nearPairs.emplace_back(i, j);

      SCOPED_TRACE(testing::Message() << "margin " << margin << ", " << countA << " segments");
      EXPECT_TRUE(std::is_sorted(visited.begin(), visited.end()));
      EXPECT_EQ(std::adjacent_find(visited.begin(), visited.end()), visited.end());
      EXPECT_TRUE(std::includes(visited.begin(), visited.end(), nearPairs.begin(), nearPairs.end()));
      // The point of it: far fewer pairs than the product.
      if (countA == 700) {
        EXPECT_LT(visited.size(), a.size() * b.size() / 10);
      }
    }
  }
}

TEST(SegmentRunsTest, ABoxWithoutNumbersIsNearNothing) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  TSegmentBox empty, lost, some;
  lost.include({nan, nan});
  some.include({0.0f, 0.0f});
  EXPECT_FALSE(empty.near(some, 1e9));
  EXPECT_FALSE(lost.near(some, 1e9));
  EXPECT_FALSE(some.near(lost, 1e9));
  // A point with one number widens that axis only.
  TSegmentBox half;
  half.include({nan, 5.0f});
  EXPECT_FALSE(half.near(some, 1e9));
  half.include({1.0f, nan});
  EXPECT_TRUE(half.near(some, 5.0));
  EXPECT_FALSE(half.near(some, 4.9));
}

}  // namespace
}  // namespace quillon
