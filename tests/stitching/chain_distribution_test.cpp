#include "stitching/chain_distribution.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "model/model_test_util.h"
#include "model/point_helpers.h"
#include "stitching/corner_distribution.h"
#include "stitching/hole_placement.h"
#include "support/editor_fixture.h"

namespace quillon {
namespace {

using test::pointNear;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

class ChainDistributionTest : public test::EditorTest {
 protected:
  std::unique_ptr<TQN_Path> line(TPointF a, TPointF b) {
    auto s = std::make_unique<TQN_Path>(3, 0xFF112233, 0.5f, TStrokeDash::Dash, doc().getNextID());
    s->drawLinePath(a, b);
    return s;
  }
  // An arc about `c` of radius r from the angle a0 through `sweep` degrees.
  TQN_Path *addArc(TPointF c, float r, float a0, float sweep) {
    auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
    const double t0 = a0 * std::numbers::pi / 180.0, t1 = (a0 + sweep) * std::numbers::pi / 180.0;
    s->drawArcPath(c, {r, r}, {float(c.X + r * std::cos(t0)), float(c.Y + r * std::sin(t0))},
                   {float(c.X + r * std::cos(t1)), float(c.Y + r * std::sin(t1))}, sweep);
    return editor.doc().add(std::move(s), 0);
  }
  std::vector<TQN_Path *> holes() const {
    std::vector<TQN_Path *> h;
    for (TQN_Path *s : editor.doc().PathList())
      if (s->isKind(TShapeKind::Hole)) h.push_back(s);
    return h;
  }
  // The holes follow one another by their links, the first without a previous hole.
  void expectSeam(const std::vector<TQN_Path *> &h, bool ring) {
    for (std::size_t i = 0; i + 1 < h.size(); ++i) {
      EXPECT_EQ(h[i]->FNextStitchID, h[i + 1]->ID()) << i;
      EXPECT_EQ(h[i + 1]->FPrevStitchID, h[i]->ID()) << i;
    }
    EXPECT_EQ(h.back()->FNextStitchID, ring ? h.front()->ID() : -1);
    EXPECT_EQ(h.front()->FPrevStitchID, ring ? h.back()->ID() : -1);
  }
  int allJunctions(const std::vector<TQN_Path *> &chain, bool closed, float pitch) {
    THolePlacer placer(editor);
    int count = -1;
    distributeHolesPerSegment(placer, chain, closed, pitch, count);
    return count;
  }
  std::vector<TQN_Path *> addSquare(float side) {
    return {addLine({0, 0}, {side, 0}), addLine({side, 0}, {side, side}), addLine({side, side}, {0, side}),
            addLine({0, side}, {0, 0})};
  }
};

TEST_F(ChainDistributionTest, SortChainOrdersAndTurnsShapesWithoutTouchingTheDocument) {
  const auto A = line({0, 0}, {10, 0}), C = line({10, 10}, {10, 0}), D = line({10, 10}, {0, 10});
  std::vector<TQN_Path *> chain{A.get()};  // cleared first
  std::vector<std::unique_ptr<TQN_Path>> created;

  // A-B, C-B: the second is turned; the copy keeps the pen and has ID -1.
  ASSERT_TRUE(sortChain({A.get(), C.get()}, chain, created, {kNaN, kNaN}));
  ASSERT_EQ(chain.size(), 2u);
  EXPECT_EQ(chain[0], A.get());
  ASSERT_EQ(created.size(), 1u);
  EXPECT_EQ(chain[1], created[0].get());
  EXPECT_TRUE(chain[1]->FStartPt.exactlyEquals({10, 0}) && chain[1]->FEndPt.exactlyEquals({10, 10}));
  EXPECT_EQ(chain[1]->ID(), -1);
  EXPECT_EQ(chain[1]->FPalletIndex, 3);
  EXPECT_EQ(chain[1]->FDash, TStrokeDash::Dash);
  EXPECT_TRUE(C->FStartPt.exactlyEquals({10, 10}));

  // B-C, A-B: the first start that takes every shape is the first line turned.
  created.clear();
  const auto BC = line({10, 0}, {10, 10});
  ASSERT_TRUE(sortChain({BC.get(), A.get()}, chain, created, {kNaN, kNaN}));
  ASSERT_EQ(created.size(), 2u);
  EXPECT_TRUE(chain[0]->FStartPt.exactlyEquals({10, 10}) && chain[1]->FEndPt.exactlyEquals({0, 0}));

  // A preferred start near the far end turns the whole chain.
  created.clear();
  ASSERT_TRUE(sortChain({A.get(), BC.get(), D.get()}, chain, created, {0, 10.2f}));
  ASSERT_EQ(chain.size(), 3u);
  EXPECT_TRUE(chain[0]->FStartPt.exactlyEquals({0, 10}));
  EXPECT_TRUE(chain[2]->FEndPt.exactlyEquals({0, 0}));
  EXPECT_EQ(created.size(), 3u);

  // With a shape that cannot be turned the chain keeps its direction.
  created.clear();
  TQN_Path other(0, 0, 1.0f, TStrokeDash::Solid, 99);
  other.FStartPt = {0, 10};
  other.FEndPt = {-10, 10};
  const auto DC = line({0, 10}, {10, 10});
  ASSERT_TRUE(sortChain({DC.get(), &other}, chain, created, {-10, 10.1f}));
  ASSERT_EQ(chain.size(), 2u);
  EXPECT_TRUE(chain[0]->FStartPt.exactlyEquals({10, 10}));  // DC turned to meet `other`
  EXPECT_EQ(chain[1], &other);
  EXPECT_EQ(created.size(), 1u);
  EXPECT_EQ(reversedShapeCopy(other), nullptr);

  // The gap is per axis: 0.6 in x does not join; 0.5 in x and in y does.
  created.clear();
  const auto far = line({10.6f, 0}, {20, 0}), near = line({10.5f, 0.5f}, {20, 0});
  EXPECT_FALSE(sortChain({A.get(), far.get()}, chain, created, {kNaN, kNaN}));
  EXPECT_TRUE(chain.empty());
  EXPECT_TRUE(created.empty());
  EXPECT_TRUE(sortChain({A.get(), near.get()}, chain, created, {kNaN, kNaN}));
}

TEST_F(ChainDistributionTest, IntervalCountsRoundHalvesToEvenAndArcsInsideAChainGetAnEvenCount) {
  struct Case {
    float length, pitch;
    bool arc;
    int k;
  };
  const Case cases[] = {{10, 4, false, 2}, {14, 4, false, 4}, {1, 4, false, 1}, {12, 4, false, 3},
                        {12, 4, true, 4},  {12, 4.5f, true, 4}, {4, 4, true, 2},  {20, 5, true, 4}};
  for (const Case &c : cases)
    EXPECT_EQ(intervalCount(c.length, c.pitch, c.arc), c.k) << c.length << " " << c.pitch << " " << c.arc;
}

TEST_F(ChainDistributionTest, AllJunctionsOnAnOpenLine) {
  TQN_Path *l = addLine({0, 0}, {10, 0});
  EXPECT_EQ(allJunctions({l}, false, 4.0f), 3);
  const std::vector<TQN_Path *> h = holes();
  ASSERT_EQ(h.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(pointNear(h[std::size_t(i)]->FCenter, {5.0f * i, 0})) << i;
    EXPECT_NEAR(h[std::size_t(i)]->FRotation, -90.0f, 1e-4);  // along +x
    EXPECT_EQ(h[std::size_t(i)]->PrickingIron(), editor.FPrickingIronGroups[3]->PrickingIron.get());
    EXPECT_EQ(h[std::size_t(i)]->FPalletIndex, kStitchingHolePalletIndex);
  }
  expectSeam(h, false);
  EXPECT_EQ(editor.tool().FLastStitch, h.back());

  // A second run finds every hole in place: no new hole, no new link.
  EXPECT_EQ(allJunctions({l}, false, 4.0f), 3);
  EXPECT_EQ(holes(), h);
  expectSeam(h, false);
}

TEST_F(ChainDistributionTest, ArcsKeepAnOddCountOnlyAtTheEndsOfAnOpenChain) {
  // A quarter arc 12 mm long followed by an 8 mm line.
  const float r = float(12.0 / (std::numbers::pi / 2.0));
  TQN_Path *arc = addArc({0, 0}, r, 180.0f, 90.0f);
  TQN_Path *l = addLine(arc->FEndPt, arc->FEndPt + TPointF(8, 0));
  EXPECT_EQ(allJunctions({arc, l}, false, 4.0f), 3 + 2 + 1);
  editor.doc().remove(holes());
  // The same arc inside the chain: 4 intervals.
  TQN_Path *before = addLine(arc->FStartPt + TPointF(0, 8), arc->FStartPt);
  EXPECT_EQ(allJunctions({before, arc, l}, false, 4.0f), 2 + 4 + 2 + 1);
}

TEST_F(ChainDistributionTest, AllJunctionsAroundAClosedSquare) {
  const std::vector<TQN_Path *> square = addSquare(20);
  EXPECT_EQ(allJunctions(square, true, 5.0f), 16);
  const std::vector<TQN_Path *> h = holes();
  ASSERT_EQ(h.size(), 16u);
  expectSeam(h, true);
  // Corner holes follow the diagonal: the first one too (between the last side and the first).
  for (const std::size_t corner : {0u, 4u, 8u, 12u}) {
    const float rot = h[corner]->FRotation;
    EXPECT_NEAR(std::fabs(std::fmod(rot, 90.0f)), 45.0f, 1e-3) << corner << " " << rot;
  }
  EXPECT_TRUE(pointNear(h[4]->FCenter, {20, 0}));
  EXPECT_NEAR(h[1]->FRotation, -90.0f, 1e-4);

  EXPECT_EQ(allJunctions(square, true, 5.0f), 16);
  EXPECT_EQ(holes().size(), 16u);
  expectSeam(h, true);
}

TEST_F(ChainDistributionTest, PointsAtFractionsAndBisectors) {
  TQN_Path *l = addLine({0, 0}, {0, 10});
  TPointF p, d;
  pointAtLengthFraction(*l, 0.25f, p, d);
  EXPECT_TRUE(pointNear(p, {0, 2.5f}) && pointNear(d, {0, 1}));
  pointAtLengthFraction(*l, 1.0f, p, d);
  EXPECT_TRUE(pointNear(p, {0, 10}));
  TQN_Path *zero = addLine({3, 3}, {3, 3});
  pointAtLengthFraction(*zero, 0.5f, p, d);
  EXPECT_TRUE(p.exactlyEquals({3, 3}) && d.exactlyEquals({1, 0}));
  EXPECT_TRUE(pointNear(bisectorDirection({1, 0}, {0, 1}), {0.70710678f, 0.70710678f}));
  EXPECT_TRUE(bisectorDirection({1, 0}, {-1, 0}).exactlyEquals({1, 0}));
  EXPECT_NEAR(calcChainLength({l, zero}), 10.0f, 1e-5);
}

// ---- SmartCorner ----

class SmartCornerTest : public ChainDistributionTest {
 protected:
  int smartCorner(const std::vector<TQN_Path *> &chain, bool closed, float pitch, float threshold = 160.0f) {
    THolePlacer placer(editor);
    int count = -1;
    distributeHolesSmartCorner(placer, chain, closed, pitch, threshold, count);
    return count;
  }
};

TEST_F(SmartCornerTest, AnOpenLHasAHoleOnItsCorner) {
  TQN_Path *a = addLine({0, 0}, {20, 0});
  TQN_Path *b = addLine({20, 0}, {20, 20});
  EXPECT_EQ(smartCorner({a, b}, false, 5.0f), 9);
  const std::vector<TQN_Path *> h = holes();
  ASSERT_EQ(h.size(), 9u);
  const TPointF at[] = {{0, 0}, {5, 0}, {10, 0}, {15, 0}, {20, 0}, {20, 5}, {20, 10}, {20, 15}, {20, 20}};
  for (std::size_t i = 0; i < 9; ++i) EXPECT_TRUE(pointNear(h[i]->FCenter, at[i])) << i;
  EXPECT_NEAR(h[4]->FRotation, -45.0f, 1e-3);  // along the bisector of +x and +y
  EXPECT_NEAR(h[0]->FRotation, -90.0f, 1e-3);
  EXPECT_NEAR(h[8]->FRotation, 0.0f, 1e-3);
  expectSeam(h, false);

  EXPECT_EQ(smartCorner({a, b}, false, 5.0f), 9);
  EXPECT_EQ(holes().size(), 9u);
}

TEST_F(SmartCornerTest, SmoothJunctionsGetNoHoleOfTheirOwn) {
  TQN_Path *a = addLine({0, 0}, {10, 0});
  TQN_Path *b = addLine({10, 0}, {20, 0});
  EXPECT_EQ(smartCorner({a, b}, false, 6.0f), 4);
  const std::vector<TQN_Path *> h = holes();
  ASSERT_EQ(h.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_TRUE(pointNear(h[i]->FCenter, {20.0f * float(i) / 3.0f, 0}, 1e-3)) << i;
}

TEST_F(SmartCornerTest, TheThresholdDecidesWhatACornerIs) {
  for (const float turn : {15.0f, 25.0f}) {  // junction angles of 165 and 155 degrees
    TQN_Path *a = addLine({0, 0}, {10, 0});
    const double t = turn * std::numbers::pi / 180.0;
    TQN_Path *b = addLine({10, 0}, {float(10 + 10 * std::cos(t)), float(10 * std::sin(t))});
    EXPECT_NEAR(junctionAngle(*a, *b), 180.0f - turn, 1e-3);
    smartCorner({a, b}, false, 4.0f);
    const std::vector<TQN_Path *> h = holes();
    const bool holeAtJunction = std::any_of(h.begin(), h.end(), [](TQN_Path *hole) {
      return calcDistance(hole->FCenter, {10, 0}) < 1e-3f;
    });
    EXPECT_EQ(holeAtJunction, turn > 20.0f) << turn;
    editor.doc().clear();
  }
}

TEST_F(SmartCornerTest, AClosedRectangleIsDividedSideBySide) {
  TQN_Path *a = addLine({0, 0}, {30, 0});
  TQN_Path *b = addLine({30, 0}, {30, 10});
  TQN_Path *c = addLine({30, 10}, {0, 10});
  TQN_Path *d = addLine({0, 10}, {0, 0});
  EXPECT_EQ(smartCorner({a, b, c, d}, true, 4.0f), 8 + 2 + 8 + 2);  // 30/4 = 7.5 -> 8, 10/4 = 2.5 -> 2
  const std::vector<TQN_Path *> h = holes();
  ASSERT_EQ(h.size(), 20u);
  expectSeam(h, true);
  EXPECT_TRUE(pointNear(h[0]->FCenter, {0, 0}));
  EXPECT_TRUE(pointNear(h[8]->FCenter, {30, 0}));
  EXPECT_TRUE(pointNear(h[10]->FCenter, {30, 10}));
  for (const std::size_t corner : {0u, 8u, 10u, 18u})
    EXPECT_NEAR(std::fabs(std::fmod(h[corner]->FRotation, 90.0f)), 45.0f, 1e-3) << corner;
}

TEST_F(SmartCornerTest, ShortArcsOfARoundedRectangleCarryOneHoleAtTheirMiddle) {
  // A 40 x 20 rectangle with corners rounded at radius 2 (arcs of pi mm, under 8/3 of 4).
  const float r = 2.0f;
  std::vector<TQN_Path *> chain = {
      addLine({r, 0}, {40 - r, 0}),   addArc({40 - r, r}, r, -90, 90),  addLine({40, r}, {40, 20 - r}),
      addArc({40 - r, 20 - r}, r, 0, 90), addLine({40 - r, 20}, {r, 20}), addArc({r, 20 - r}, r, 90, 90),
      addLine({0, 20 - r}, {0, r}),   addArc({r, r}, r, 180, 90)};
  // Tangent joins: no corners anywhere.
  for (std::size_t i = 0; i < chain.size(); ++i)
    EXPECT_NEAR(junctionAngle(*chain[i], *chain[(i + 1) % chain.size()]), 180.0f, 0.5f) << i;
  const int count = smartCorner(chain, true, 4.0f);
  const std::vector<TQN_Path *> h = holes();
  EXPECT_EQ(int(h.size()), count);
  expectSeam(h, true);
  // One hole at the middle of each arc.
  const TPointF middles[] = {{40 - r + r * 0.70710678f, r - r * 0.70710678f},
                             {40 - r + r * 0.70710678f, 20 - r + r * 0.70710678f},
                             {r - r * 0.70710678f, 20 - r + r * 0.70710678f},
                             {r - r * 0.70710678f, r - r * 0.70710678f}};
  for (const TPointF m : middles)
    EXPECT_EQ(std::count_if(h.begin(), h.end(), [m](TQN_Path *hole) { return calcDistance(hole->FCenter, m) < 0.02f; }),
              1)
        << m.X << ", " << m.Y;
  // Between two arc middles a long side is divided evenly: all spacings along it equal.
  std::vector<float> xs;
  for (TQN_Path *hole : h)
    if (std::fabs(hole->FCenter.Y) < 1e-3f) xs.push_back(hole->FCenter.X);
  std::sort(xs.begin(), xs.end());
  ASSERT_GE(xs.size(), 2u);
  for (std::size_t i = 1; i < xs.size(); ++i) EXPECT_NEAR(xs[i] - xs[i - 1], xs[1] - xs[0], 0.02f);

  // An open chain whose first shape is a short arc: the arc only joins the run.
  editor.doc().clear();
  TQN_Path *arc = addArc({0, 0}, r, 180, 90);
  TQN_Path *l = addLine(arc->FEndPt, arc->FEndPt + TPointF(20, 0));
  smartCorner({arc, l}, false, 4.0f);
  const std::vector<TQN_Path *> open = holes();
  EXPECT_FALSE(open.empty());
  EXPECT_FALSE(std::any_of(open.begin(), open.end(), [&](TQN_Path *hole) {
    return calcDistance(hole->FCenter, {-r * 0.70710678f, -r * 0.70710678f}) < 0.05f;
  }));
}

TEST_F(SmartCornerTest, TangentsOfEachKind) {
  TQN_Path *l = addLine({0, 0}, {0, 5});
  EXPECT_TRUE(pointNear(startTangent(*l), {0, 1}) && pointNear(endTangent(*l), {0, 1}));
  auto bz = std::make_unique<TQN_Path>(0, 0, 1.0f, TStrokeDash::Solid, 1);
  bz->drawBezierPath({0, 0}, {0, 0}, {10, 10}, {10, 0});  // first handle on its end point
  EXPECT_TRUE(pointNear(startTangent(*bz), {0.70710678f, 0.70710678f}));
  EXPECT_TRUE(pointNear(endTangent(*bz), {0, -1}));
  TQN_Path *arc = addArc({0, 0}, 5, 0, 90);  // from (5, 0) clockwise on screen to (0, 5)
  EXPECT_TRUE(pointNear(startTangent(*arc), {0, 1}, 1e-3));
  EXPECT_TRUE(pointNear(endTangent(*arc), {-1, 0}, 1e-3));
  TQN_Path *hole = addHole({0, 0});
  EXPECT_TRUE(startTangent(*hole).isZero());
  EXPECT_EQ(junctionAngle(*hole, *l), 180.0f);
}

}  // namespace
}  // namespace quillon
