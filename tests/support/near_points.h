#pragma once
// Near-equal points for tests of geometry worked out by hand.
#include <gtest/gtest.h>

#include "platform/geometry.h"

namespace quillon::test {

inline void expectNear(TPointF a, TPointF b, float tol = 1e-3f) {
  EXPECT_NEAR(a.X, b.X, tol);
  EXPECT_NEAR(a.Y, b.Y, tol);
}

}  // namespace quillon::test
