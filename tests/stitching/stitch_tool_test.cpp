// The stitching tool and what it drives: holes around a closed loop with the pitch
// search, route pricking to a network vertex, and single presses of the iron.
#include "stitching/stitch_tool.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "model/intersection.h"
#include "model/model_test_util.h"
#include "model/point_helpers.h"
#include "model/route_network.h"
#include "shell/view_transform.h"
#include "stitching/chain_distribution.h"
#include "stitching/hole_placement.h"
#include "stitching/loop_pricking.h"
#include "stitching/route_pricking.h"
#include "stitching/stitch_state.h"
#include "support/editor_fixture.h"
#include "tools/tool_change.h"

namespace quillon {
namespace {

using test::pointNear;

class StitchToolTest : public test::EditorTest {
 protected:
  StitchToolTest() {
    editor.view().FScale = 10.0f;
    editor.view().FOffset = {100.0f, 100.0f};
  }

  // A diamond iron of pitch 4 with the prong count given, in use.
  void useIron(int blades) {
    auto group = std::make_unique<TPrickingIronGroup>(false);
    group->PrickingIron->BladeType = "D";
    group->PrickingIron->Pitch = 4.0f;
    group->addPrickingIron(blades);
    TPrickingIronGroup &g = *group;
    editor.FPrickingIronGroups.push_back(std::move(group));
    ClickedPrickingIron(editor, g, blades);
  }

  std::vector<TQN_Path *> holes() const {
    std::vector<TQN_Path *> h;
    for (TQN_Path *s : editor.doc().PathList())
      if (s->isKind(TShapeKind::Hole)) h.push_back(s);
    return h;
  }

  TQN_Path *addCircle(TPointF c, float d) {
    auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
    s->drawEllipsePath(c, d, d);
    return editor.doc().add(std::move(s), 0);
  }

  std::vector<TQN_Path *> addRectangle(float w, float h) {
    return {addLine({0, 0}, {w, 0}), addLine({w, 0}, {w, h}), addLine({w, h}, {0, h}), addLine({0, h}, {0, 0})};
  }

  void click(TPointF real) {
    const TPointF p = realToVirtual(editor.view(), real);
    placeStitchingHoles(editor, p.X, p.Y);
  }

  TLoopPricking prickLoop(const std::vector<TQN_Path *> &loop, TPointF start) {
    THolePlacer placer(editor);
    return placeHolesOnLoop(placer, loop, start);
  }
};

TEST_F(StitchToolTest, ACircleGetsAWholeNumberOfEquallySpacedHoles) {
  useIron(1);
  struct Case {
    TPitchMode mode;
    int count;
    float spacing;   // between neighbouring holes
    bool oneTrial;   // no trial walks after the first
  };
  const Case cases[] = {
      {TPitchMode::Auto, 31, float(40.0 * std::sin(std::numbers::pi / 31)), false},        // 4.0467
      {TPitchMode::NumOfHoles, 30, float(40.0 * std::sin(std::numbers::pi / 30)), true},  // 4.1811
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(int(c.mode));
    editor.doc().clear();
    TQN_Path *circle = addCircle({0, 0}, 40.0f);
    editor.panel().FixedPitchLen = 4.0f;
    editor.panel().PitchMode = c.mode;
    editor.panel().NumOfStitchingHoles = 30;
    TPointF start, second;
    circle->getFirstTwoPoints(start, second);
    const TLoopPricking r = prickLoop({circle}, start);
    EXPECT_EQ(r.Count, c.count);
    ASSERT_EQ(holes().size(), std::size_t(c.count));
    EXPECT_NEAR(r.ActualPitch, calcChainLength({circle}) / float(c.count), 1e-4);
    if (c.mode == TPitchMode::Auto) {
      EXPECT_NEAR(r.ActualPitch, 4.0537f, 2e-3);
    }
    if (c.oneTrial) {
      EXPECT_EQ(r.Trials, 1);
    }
    const std::vector<TQN_Path *> h = holes();
    for (std::size_t i = 0; i + 1 < h.size(); ++i)
      EXPECT_NEAR(calcDistance(h[i]->FCenter, h[i + 1]->FCenter), c.spacing, 0.02f) << i;
    for (const TQN_Path *hole : h) EXPECT_NEAR(calcDistance(hole->FCenter, {0, 0}), 20.0f, 0.02f);
  }
}

TEST_F(StitchToolTest, ARectangleTakesTheCornerModeOnlyWithTheSearchedPitch) {
  useIron(1);
  struct Case {
    TPitchMode mode;
    int cornerMode;
    bool cornersHoled;  // the corner distribution puts a hole on every corner
    int trials;         // -1: not checked
  };
  // 30 x 21: pitch 4 does not divide the sides, so a uniform walk misses corners.
  const Case cases[] = {
      {TPitchMode::Auto, 0, true, 0},
      {TPitchMode::Auto, 1, true, 0},
      {TPitchMode::Auto, 2, false, -1},
      {TPitchMode::Fixed, 0, false, 1},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.mode) << " " << c.cornerMode);
    editor.doc().clear();
    const std::vector<TQN_Path *> rect = addRectangle(30.0f, 21.0f);
    editor.panel().PitchMode = c.mode;
    editor.panel().CornerModeIndex = c.cornerMode;
    editor.panel().FixedPitchLen = 4.0f;
    const TLoopPricking r = prickLoop(rect, {0, 0});
    // The count includes a position that falls on a hole already made (the start's).
    EXPECT_LE(int(holes().size()), r.Count);
    EXPECT_GE(int(holes().size()), r.Count - 1);
    if (c.trials >= 0) {
      EXPECT_EQ(r.Trials, c.trials);
    }
    int corners = 0;
    for (const TPointF corner : {TPointF(30, 0), TPointF(30, 21), TPointF(0, 21)})
      for (const TQN_Path *h : holes())
        if (calcDistance(h->FCenter, corner) < 0.01f) ++corners;
    EXPECT_EQ(corners == 3, c.cornersHoled);
    // A closed loop's mean spacing divides the whole length by the count.
    EXPECT_NEAR(r.ActualPitch, 102.0f / float(r.Count), 0.05f);
  }
}

TEST_F(StitchToolTest, AClickOnAClosedRectanglePricksItsLoop) {
  useIron(1);
  sbToolsClick(editor, TTool::Stitch);
  const std::vector<TQN_Path *> rect = addRectangle(40.0f, 20.0f);
  const std::size_t states = undoStates();
  click({20.0f, 0.0f});  // the middle of the bottom side
  const std::size_t n = holes().size();
  ASSERT_GT(n, 10u);
  EXPECT_EQ(editor.FNumOfStitchesText, QStringLiteral("# of Pricked Holes:") + QString::number(n) + QStringLiteral("  "));
  EXPECT_TRUE(editor.FLengthText.startsWith(QStringLiteral("Auto pitch: ")));
  EXPECT_EQ(editor.tool().FTool, TTool::Select);
  EXPECT_EQ(undoStates(), states + 1);
  EXPECT_EQ(editor.tool().FStitchingCount, 0);

  // An open chain's middle does nothing; one of its ends opens a route.
  sbToolsClick(editor, TTool::Stitch);
  editor.doc().clear();
  addLine({0, 0}, {30, 0});
  addLine({30, 0}, {30, 20});
  click({15.0f, 0.0f});
  EXPECT_TRUE(holes().empty());
  EXPECT_EQ(editor.tool().FStitchingCount, 0);
  click({0.0f, 0.0f});
  EXPECT_EQ(editor.tool().FStitchingCount, 1);
  EXPECT_TRUE(holes().empty());
}

TEST_F(StitchToolTest, PressesMakeTheProngCountOfHoles) {
  struct Case {
    int blades;
    bool reduce;
    std::size_t afterFirst, afterSecond;
  };
  const Case cases[] = {
      {1, false, 2, 3},  // one prong: origin and one pitch on, then one a press
      {2, false, 2, 4},  // two prongs: origin and one pitch on, then two a press
      {2, true, 2, 3},   // "Reduce 1 Blade": the first prong goes into the last hole
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.blades << " " << c.reduce);
    editor.doc().clear();
    editor.panel().ReduceOneBlade = c.reduce;
    useIron(c.blades);
    sbToolsClick(editor, TTool::Stitch);
    addLine({0, 0}, {100, 0});
    click({0, 0});
    ASSERT_EQ(editor.tool().FStitchingCount, 1);
    // The reach circle crosses the line one reach away.
    const float reach1 = float(editor.tool().FNextHoleCnt) * 4.0f;
    ASSERT_TRUE(isOnStitchIntersection(editor.doc().FStitchIntersections, {reach1, 0}));
    click({reach1, 0});
    EXPECT_EQ(holes().size(), c.afterFirst);
    EXPECT_TRUE(pointNear(holes().front()->FCenter, {0, 0}));
    EXPECT_TRUE(pointNear(holes().back()->FCenter, {4, 0}));
    const float reach2 = 4.0f + float(editor.tool().FNextHoleCnt) * 4.0f;
    click({reach2, 0});
    ASSERT_EQ(holes().size(), c.afterSecond);
    EXPECT_TRUE(pointNear(holes().back()->FCenter, {reach2, 0}));
    // Each new hole links to the one before.
    const std::vector<TQN_Path *> h = holes();
    for (std::size_t i = 0; i + 1 < h.size(); ++i) EXPECT_EQ(h[i]->FNextStitchID, h[i + 1]->ID()) << i;
    // A click away from every crossing and vertex is ignored.
    const int count = editor.tool().FStitchingCount;
    click({50.0f, 3.0f});
    EXPECT_EQ(editor.tool().FStitchingCount, count);
  }
}

TEST_F(StitchToolTest, AClickOnTheRouteEndPricksTheWholeRoute) {
  useIron(1);
  struct Case {
    TPitchMode mode;
    std::size_t holes;
    const char *pitchPhrase;
  };
  // 31 mm at pitch 4 walks 9 points: 8 a pitch apart and the end, 3 mm on.
  const Case cases[] = {
      {TPitchMode::Fixed, 9, "Estimated best pitch: "},
      {TPitchMode::Auto, 9, "Auto pitch: "},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(int(c.mode));
    editor.doc().clear();
    sbToolsClick(editor, TTool::Stitch);
    editor.panel().PitchMode = c.mode;
    editor.panel().CornerModeIndex = 2;
    editor.panel().FixedPitchLen = 4.0f;
    addLine({0, 0}, {31, 0});
    const std::size_t states = undoStates();
    stitchBetweenPoints(editor, {0, 0}, {31, 0});
    EXPECT_EQ(holes().size(), c.holes);
    EXPECT_EQ(editor.tool().FStitchingCount, 0);
    EXPECT_EQ(undoStates(), states + 1);
    EXPECT_TRUE(pointNear(holes().front()->FCenter, {0, 0}));
    EXPECT_TRUE(pointNear(holes().back()->FCenter, {31, 0}));
    EXPECT_TRUE(editor.FLengthText.startsWith(QString::fromLatin1(c.pitchPhrase))) << editor.FLengthText.toStdString();
    EXPECT_EQ(editor.FNumOfStitchesText, QStringLiteral("# of Pricked Holes:%1  ").arg(c.holes));
  }
}

TEST_F(StitchToolTest, RoutePrickingSearchesThePitchOnlyWhenAsked) {
  useIron(1);
  struct Case {
    TPitchMode mode;
    bool searched;
  };
  const Case cases[] = {{TPitchMode::Fixed, false}, {TPitchMode::Auto, true}, {TPitchMode::NumOfHoles, false}};
  for (const Case &c : cases) {
    SCOPED_TRACE(int(c.mode));
    editor.doc().clear();
    addLine({0, 0}, {30.5f, 0});
    editor.panel().PitchMode = c.mode;
    editor.panel().CornerModeIndex = 2;
    editor.panel().FixedPitchLen = 4.0f;
    editor.panel().NumOfStitchingHoles = 10;
    editor.tool().FStitchingCount = 2;
    editor.tool().FStitchRealOrigin = editor.tool().FStitchRealLastPos = {0, 0};
    TVertexNetwork network(doc(), editor.doc().FIntersections);
    ASSERT_TRUE(network.dpConnect({0, 0}, {30.5f, 0}));
    const TRoutePricking r = prickRouteToVertex(editor, network, network.GetVertex({30.5f, 0}), {30.5f, 0});
    EXPECT_TRUE(r.Done);
    if (c.searched) {
      EXPECT_GT(r.Trials, 1);
    } else if (c.mode == TPitchMode::Fixed) {
      EXPECT_EQ(r.Trials, 1);
    }
    if (c.mode == TPitchMode::NumOfHoles) {
      // Ten holes a ninth of the length apart.
      EXPECT_EQ(r.Count, 10);
      EXPECT_EQ(holes().size(), 10u);
    }
    if (c.mode == TPitchMode::Fixed) {
      for (std::size_t i = 0; i + 2 < holes().size(); ++i)
        EXPECT_NEAR(calcDistance(holes()[i]->FCenter, holes()[i + 1]->FCenter), 4.0f, 1e-3);
    }
  }
}

TEST_F(StitchToolTest, AnLShapedRouteInSmartCornerModeHolesTheCorner) {
  useIron(1);
  sbToolsClick(editor, TTool::Stitch);
  editor.panel().PitchMode = TPitchMode::Auto;
  editor.panel().CornerModeIndex = 0;
  editor.panel().FixedPitchLen = 4.0f;
  addLine({0, 0}, {21, 0});
  addLine({21, 0}, {21, 13});
  stitchBetweenPoints(editor, {0, 0}, {21, 13});
  bool corner = false, end = false;
  for (const TQN_Path *h : holes()) {
    corner = corner || pointNear(h->FCenter, {21, 0});
    end = end || pointNear(h->FCenter, {21, 13});
  }
  EXPECT_TRUE(corner);
  EXPECT_TRUE(end);
  EXPECT_EQ(editor.tool().FStitchingCount, 0);
}

}  // namespace
}  // namespace quillon
