#include "edit/closed_chains.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/editor_fixture.h"

namespace quillon {
namespace {

class ClosedChainsTest : public test::EditorTest {
 protected:
  TQN_Path *addBezier(TPointF a, TPointF c1, TPointF c2, TPointF b) {
    auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
    s->drawBezierPath(a, c1, c2, b);
    return editor.doc().add(std::move(s), 0);
  }
  TQN_Path *addCircle(TPointF c, float d) {
    auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
    s->drawEllipsePath(c, d, d);
    return editor.doc().add(std::move(s), 0);
  }
  // A square of four lines with corners within 0.1 mm of each other (not equal).
  std::vector<TQN_Path *> addSquare() {
    return {addLine({0, 0}, {20, 0}), addLine({20.05f, 0}, {20, 20}), addLine({20, 20}, {0, 20}),
            addLine({0, 20}, {0, 0.08f})};
  }
  static bool sameMembers(std::vector<TQN_Path *> a, std::vector<TQN_Path *> b) {
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return a == b;
  }
};

TEST_F(ClosedChainsTest, ASquareIsAChainFromEverySideAndABranchBreaksIt) {
  const std::vector<TQN_Path *> square = addSquare();
  for (TQN_Path *side : square) {
    const std::vector<TQN_Path *> chain = getClosedChain(doc(), side);
    EXPECT_EQ(chain.size(), 4u);
    EXPECT_TRUE(sameMembers(chain, square));
    EXPECT_EQ(chain.front(), side);
    EXPECT_TRUE(sameMembers(getClosedChainIn(square, side), square));
  }
  // Within a list that lacks a side there is no closed chain.
  EXPECT_TRUE(getClosedChainIn({square[0], square[1], square[2]}, square[0]).empty());

  TQN_Path *branch = addLine({20, 20}, {40, 40});
  for (TQN_Path *side : square) EXPECT_TRUE(getClosedChain(doc(), side).empty());
  EXPECT_TRUE(getClosedChain(doc(), branch).empty());
  // The list bounds the chain: without the branch it is closed again.
  EXPECT_EQ(getClosedChainIn(square, square[2]).size(), 4u);
}

TEST_F(ClosedChainsTest, LoneShapesAndEnds) {
  TQN_Path *loop = addBezier({100, 0}, {130, -30}, {130, 30}, {100.05f, 0});
  EXPECT_EQ(getClosedChain(doc(), loop), std::vector<TQN_Path *>{loop});
  TQN_Path *circle = addCircle({200, 0}, 10);
  EXPECT_TRUE(getClosedChain(doc(), circle).empty());
  EXPECT_TRUE(getClosedChainIn({circle}, circle).empty());
  TQN_Path *open = addLine({300, 0}, {310, 0});
  EXPECT_TRUE(getClosedChain(doc(), open).empty());
  EXPECT_TRUE(getClosedChain(doc(), addHole({400, 0})).empty());

  TQN_Path *zero = addLine({500, 0}, {500, 0});
  EXPECT_EQ(shapesWithEndAt(doc(), {500.05f, 0}), (std::vector<TQN_Path *>{zero, zero}));
  EXPECT_EQ(shapesWithEndAt(doc(), {310, 0.1f}), std::vector<TQN_Path *>{open});
  EXPECT_TRUE(shapesWithEndAt(doc(), {310, 0.11f}).empty());
  EXPECT_EQ(cappedDistance({0, 0}, {3, 4}, 5.0f), 5.0f);
  EXPECT_EQ(cappedDistance({0, 0}, {3, 4}, 4.99f), -1.0f);
}

}  // namespace
}  // namespace quillon
