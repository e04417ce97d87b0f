#include "stitching/stitch_state.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/model_test_util.h"
#include "shell/options.h"
#include "stitching/pricking_iron_store.h"
#include "support/editor_fixture.h"
#include "tools/hit_test.h"

namespace quillon {
namespace {

using test::pointNear;

class StitchStateTest : public test::EditorTest {
 protected:
  TPrickingIronGroup &group(std::size_t i) { return *editor.FPrickingIronGroups.at(i); }
};

TEST_F(StitchStateTest, ANewHoleLinksToTheLastOneWithinOnePointEightPitches) {
  struct Case {
    const char *what;
    float x;                 // the new hole's centre on the x axis; the last hole is at 0
    bool lastHasNext;        // the last hole already has a next hole
    bool skippedAtOrigin;    // a hole found at the route origin (x = 1)
    int expectedPrev;        // 0: none, 1: the last hole, 2: the skipped hole
  };
  const Case cases[] = {
      {"near", 7.1f, false, false, 1},
      {"too far", 7.3f, false, false, 0},
      {"last hole taken", 7.1f, true, false, 0},
      {"back to the skipped hole", 7.1f, true, true, 2},
      {"skipped hole too far", 8.4f, true, true, 0},
      {"last hole wins", 7.1f, false, true, 1},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    editor.doc().clear();
    TQN_Path *last = addHole({0, 0});
    TQN_Path *skipped = c.skippedAtOrigin ? addHole({1, 0}) : nullptr;
    if (c.lastHasNext) last->FNextStitchID = 999;
    editor.tool().FLastStitch = last;
    editor.tool().FSkippedStartStitch = skipped;
    TQN_Path *hole = addHole({c.x, 0});

    const bool linked = linkToLastStitch(editor, *hole, 4.0f);
    EXPECT_EQ(linked, c.expectedPrev != 0);
    EXPECT_EQ(editor.tool().FSkippedStartStitch, nullptr);
    const int prev = c.expectedPrev == 1 ? last->ID() : c.expectedPrev == 2 ? skipped->ID() : -1;
    EXPECT_EQ(hole->FPrevStitchID, prev);
    EXPECT_EQ(last->FNextStitchID, c.expectedPrev == 1 ? hole->ID() : (c.lastHasNext ? 999 : -1));
    if (skipped) {
      EXPECT_EQ(skipped->FNextStitchID, -1);  // its own next link is left alone
    }
  }
}

TEST_F(StitchStateTest, ALastHoleThatLeftTheDocumentIsNoLinkTarget) {
  TQN_Path *last = addHole({0, 0});
  TQN_Path *hole = addHole({4, 0});
  editor.tool().FLastStitch = last;
  EXPECT_TRUE(isNearLastStitch(editor, *hole, 4.0f));
  editor.doc().remove(last);
  EXPECT_EQ(editor.tool().FLastStitch, nullptr);  // the document let it go
  EXPECT_FALSE(isNearLastStitch(editor, *hole, 4.0f));
  EXPECT_FALSE(linkToLastStitch(editor, *hole, 4.0f));
  EXPECT_EQ(hole->FPrevStitchID, -1);
}

// The search is geometric: the zoom, hidden layers and hidden line types play no part,
// only the active layer and the distance in millimetres.
TEST_F(StitchStateTest, FindHoleNearSeesTheActiveLayersHolesWhateverTheView) {
  TQN_Path *far = addHole({10.9f, 10.0f});
  TQN_Path *near = addHole({10.6f, 10.0f});
  TQN_Path *other = addHole({10.1f, 10.0f}, 3);
  editor.doc().PathList().addLayer(3, QStringLiteral("other"), true);
  for (const float scale : {0.5f, 10.0f, 200.0f}) {
    editor.view().FScale = scale;
    EXPECT_EQ(findHoleNear(editor, {10.0f, 10.0f}, 1.0f), near) << scale;
    EXPECT_EQ(findHoleNear(editor, {10.0f, 10.0f}, 0.5f), nullptr) << scale;  // strictly closer
  }
  editor.doc().PathList().SetlayerVisible(0, false);
  editor.pen().FPalletList[kStitchingHolePalletIndex]->FIsVisible = false;
  EXPECT_EQ(findHoleNear(editor, {11.0f, 10.0f}, 1.0f), far);
  editor.FActiveLayer = 3;
  EXPECT_EQ(findHoleNear(editor, {10.0f, 10.0f}, 1.0f), other);
}

TEST_F(StitchStateTest, TheReachFollowsTheProngsAndCrossesTheShapes) {
  TPrickingIronGroup &d4 = group(3);  // Diamond 4mm: 1, 2, 4, 6 prongs
  TQN_Path *line = addLine({12, -20}, {12, 20});
  struct Case {
    int blades, clicks;
    bool reduce;
    int reach;
  };
  const Case cases[] = {{1, 1, true, 1}, {4, 1, false, 3}, {4, 2, false, 4}, {4, 2, true, 3}, {6, 3, false, 6}};
  for (const Case &c : cases) {
    ClickedPrickingIron(editor, d4, c.blades);
    editor.tool().FStitchingCount = c.clicks;
    chkReduceOneBladeChange(editor, c.reduce);
    EXPECT_EQ(editor.tool().FNextHoleCnt, c.reach) << c.blades << " " << c.clicks << " " << c.reduce;
  }
  // Radius 4 pitches of 4 mm about the origin: the line at x = 12 is crossed twice.
  ClickedPrickingIron(editor, d4, 4);
  editor.tool().FStitchingCount = 2;
  chkReduceOneBladeChange(editor, false);
  const TIntersections &crossings = editor.doc().FStitchIntersections;
  ASSERT_EQ(crossings.Count(), 2);
  const double y = std::sqrt(16.0 * 16.0 - 12.0 * 12.0);
  EXPECT_TRUE(pointNear(nearestIntersectionPoint(crossings, {12, 11}), {12.0f, float(y)}, 1e-3));
  EXPECT_TRUE(pointNear(nearestIntersectionPoint(crossings, {12, -11}), {12.0f, float(-y)}, 1e-3));
  for (const TIntersection *r : crossings) {
    EXPECT_TRUE((r->FPath1 == line && !r->FPath2) || (r->FPath2 == line && !r->FPath1));
    EXPECT_TRUE(isOnStitchIntersection(crossings, r->FPoint));
  }
  EXPECT_FALSE(isOnStitchIntersection(crossings, {12.0f, float(y) + 0.02f}));
  // A smaller reach crosses nothing.
  ClickedPrickingIron(editor, d4, 1);
  EXPECT_EQ(crossings.Count(), 0);
}

TEST_F(StitchStateTest, NearestPointsPreferTheEarlierOnTies) {
  TIntersections empty;
  EXPECT_TRUE(nearestIntersectionPoint(empty, {5, 5}).exactlyEquals({0, 0}));
  TQN_Path *a = addLine({0, 0}, {10, 0});
  TQN_Path *b = addLine({20, 0}, {30, 0});
  // Both nearer ends lie 5 from (15, 0): the earlier shape's.
  EXPECT_TRUE(nearestEndPoint({a, b}, {15, 0}).exactlyEquals({10, 0}));
  EXPECT_TRUE(nearestEndPoint({b, a}, {15, 0}).exactlyEquals({20, 0}));
  // A shape whose ends are equally near gives its end point.
  TQN_Path *c = addLine({-1, 3}, {1, 3});
  EXPECT_TRUE(nearestEndPoint({c}, {0, 0}).exactlyEquals({1, 3}));
  TIntersections two;
  two.Add(new TIntersection({3, 0}, a, b));
  two.Add(new TIntersection({-3, 0}, a, c));
  EXPECT_TRUE(nearestIntersectionPoint(two, {0, 0}).exactlyEquals({3, 0}));
  two.FreeAll();
}

TEST_F(StitchStateTest, TheControlsStoreTheirValues) {
  chkInvertedChange(editor, true);
  EXPECT_TRUE(editor.tool().FIsInvertedStitchMode);
  nbFixedPitchLen1Change(editor, 0.2f);
  EXPECT_EQ(editor.panel().FixedPitchLen, 0.5f);
  prickPitchChange(editor, TPitchMode::Fixed);
  nbNumOfStitchingHolesChange(editor, 2000);
  EXPECT_EQ(editor.panel().NumOfStitchingHoles, 1000);
  EXPECT_EQ(editor.panel().PitchMode, TPitchMode::NumOfHoles);
  cmbCornerModeChange(editor, 1);
  EXPECT_EQ(editor.panel().CornerModeIndex, 1);
  EXPECT_EQ(editor.FOptions->AutoPrickMode, 1);
  nbCornerAngleChange(editor, 179.6f);
  EXPECT_EQ(editor.panel().CornerAngle, 179.0f);
  nbCornerAngleChange(editor, 120.5f);
  EXPECT_EQ(editor.panel().CornerAngle, 120.0f);  // halves to even

  ClickedPrickingIron(editor, group(9), 5);  // French 3.38mm with 5 prongs
  EXPECT_EQ(editor.tool().FSelectedPrickingIron, group(9).PrickingIron.get());
  EXPECT_EQ(editor.tool().FSelectedNumOfBlades, 5);
  EXPECT_EQ(editor.panel().FixedPitchLen, 3.38f);
}

}  // namespace
}  // namespace quillon
