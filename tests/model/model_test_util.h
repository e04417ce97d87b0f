#pragma once
// Small assertion helpers for geometry tests.
#include <gtest/gtest.h>

#include "platform/geometry.h"
#include "platform/path_data.h"

namespace quillon::test {

inline ::testing::AssertionResult pointNear(TPointF actual, TPointF expected, double tol = 1e-4) {
  if (std::fabs(double(actual.X) - expected.X) <= tol && std::fabs(double(actual.Y) - expected.Y) <= tol)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << actual.X << ", " << actual.Y << ") is not within " << tol
                                       << " of (" << expected.X << ", " << expected.Y << ")";
}

inline int countKind(const TPathData &path, TPathPointKind kind) {
  int n = 0;
  for (const auto &p : path.Points())
    if (p.Kind == kind) ++n;
  return n;
}

}  // namespace quillon::test
