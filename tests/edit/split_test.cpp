#include "edit/split.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

#include "model/intersection.h"
#include "model/model_test_util.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "edit/cutting_fixture.h"

namespace quillon {
namespace {

using test::pointNear;

// Drawing coordinates times ten are the pixels.
class SplitTest : public test::CuttingTest {
 protected:
  bool altClick(TPointF mm) { return splitAtPoint(editor, mm.X * 10.0f, mm.Y * 10.0f); }
  TQN_Path *addCircle(TPointF c, float d) {
    return addDrawn([&](TQN_Path &s) { s.drawEllipsePath(c, d, d); });
  }
};

TEST_F(SplitTest, AnAltClickSplitsASelectedLineAtTheNearestCrossingIntoTwoSelectedParts) {
  TQN_Path *line = addLine({0, 0}, {100, 0});
  line->FGroupID = 9;
  addLine({30, -10}, {30, 10});
  recordAll();
  line->SetSelected(true);
  const int lastId = doc().LastID;
  const std::size_t states = undoStates();

  ASSERT_TRUE(altClick({31, 0.2f}));

  ASSERT_EQ(doc().Count(), 3);
  TQN_Path *copy = doc()[2];
  EXPECT_TRUE(pointNear(line->FStartPt, {0, 0}));
  EXPECT_TRUE(pointNear(line->FEndPt, {30, 0}));
  EXPECT_TRUE(pointNear(copy->FStartPt, {30, 0}));
  EXPECT_TRUE(pointNear(copy->FEndPt, {100, 0}));
  EXPECT_GT(copy->ID(), lastId);
  EXPECT_EQ(copy->FGroupID, 9);
  EXPECT_EQ(copy->FLayerID, line->FLayerID);
  EXPECT_TRUE(line->FSelected);
  EXPECT_TRUE(copy->FSelected);
  EXPECT_EQ(undoStates(), states + 1);
}

TEST_F(SplitTest, AnUnselectedShapeIsNotSplitAndTheBannerAsksForASelection) {
  TQN_Path *line = addLine({0, 0}, {100, 0});
  addLine({30, -10}, {30, 10});
  recordAll();
  const std::size_t states = undoStates();
  EXPECT_TRUE(altClick({30, 0}));  // the click is taken all the same
  EXPECT_TRUE(editor.tool().FSplitNotSelectedWarning);
  EXPECT_EQ(doc().Count(), 2);
  EXPECT_TRUE(pointNear(line->FEndPt, {100, 0}));
  EXPECT_EQ(undoStates(), states);

  // A click far from every crossing of a selected line splits nothing and says nothing.
  line->SetSelected(true);
  EXPECT_TRUE(altClick({70, 0}));
  EXPECT_FALSE(editor.tool().FSplitNotSelectedWarning);
  EXPECT_EQ(doc().Count(), 2);
  // Nothing splittable under the point.
  EXPECT_FALSE(altClick({50, 50}));
}

TEST_F(SplitTest, ACircleSplitOnItsRimBecomesOneClosedArcOfTheSameRadius) {
  struct Case {
    const char *what;
    TPointF at;
  };
  // The second point lies off the rim: the arc still has the circle's radius.
  const Case cases[] = {{"on the rim", {10, 0}}, {"outside the rim", {12, 0}}};
  for (const Case &c : cases) {
    editor.doc().clear();
    TQN_Path *circle = addCircle({0, 0}, 20);
    ASSERT_TRUE(splitShapeAtPoint(editor, *circle, c.at)) << c.what;
    EXPECT_EQ(doc().Count(), 1) << c.what;
    EXPECT_TRUE(circle->isKind(TShapeKind::Arc)) << c.what;
    EXPECT_EQ(circle->FWidth, 10.0f) << c.what;
    EXPECT_EQ(circle->FHeight, 10.0f) << c.what;
    EXPECT_NEAR(std::fabs(circle->FSweepAngle), 360.0f, 1e-3f) << c.what;
    EXPECT_TRUE(pointNear(circle->FStartPt, {10, 0}, 1e-4)) << c.what;
    EXPECT_TRUE(pointNear(circle->FEndPt, {10, 0}, 1e-4)) << c.what;
    EXPECT_TRUE(circle->FSelected) << c.what;
  }
}

TEST_F(SplitTest, AnArcBecomesTwoArcsAndRefusesItsEnds) {
  TQN_Path *arc = addDrawn([](TQN_Path &s) { s.drawArcPath({0, 0}, {20, 20}, {20, 0}, {0, 20}, 90); });
  const TPointF middle{14.1421356f, 14.1421356f};
  EXPECT_FALSE(splitShapeAtPoint(editor, *arc, {20, 0}));
  EXPECT_FALSE(splitShapeAtPoint(editor, *arc, {0, 20}));
  EXPECT_EQ(doc().Count(), 1);

  ASSERT_TRUE(splitShapeAtPoint(editor, *arc, middle));
  ASSERT_EQ(doc().Count(), 2);
  TQN_Path *second = doc()[1];
  EXPECT_TRUE(pointNear(arc->FStartPt, {20, 0}, 1e-3));
  EXPECT_TRUE(pointNear(arc->FEndPt, middle, 1e-3));
  EXPECT_NEAR(arc->FSweepAngle, 45.0f, 0.05f);
  EXPECT_TRUE(pointNear(second->FStartPt, middle, 1e-3));
  EXPECT_TRUE(pointNear(second->FEndPt, {0, 20}, 1e-3));
  EXPECT_NEAR(second->FSweepAngle, 45.0f, 0.05f);
  EXPECT_EQ(second->FWidth, 20.0f);
  EXPECT_TRUE(arc->FSelected && second->FSelected);
}

TEST_F(SplitTest, ASelectedBezierIsCutWhereTheClickIsAndBothPartsAreSelected) {
  TQN_Path *arch = addDrawn([](TQN_Path &s) { s.drawBezierPath({0, 0}, {0, 30}, {60, 30}, {60, 0}); });
  arch->SetSelected(true);
  const std::size_t states = undoStates();
  ASSERT_TRUE(altClick({30, 22.5f}));
  ASSERT_EQ(doc().Count(), 2);
  TQN_Path *piece = doc()[1];
  EXPECT_TRUE(pointNear(arch->FEndPt, {30, 22.5f}, 0.01));
  EXPECT_TRUE(pointNear(piece->FStartPt, {30, 22.5f}, 0.01));
  EXPECT_TRUE(pointNear(piece->FEndPt, {60, 0}));
  EXPECT_TRUE(arch->FSelected && piece->FSelected);
  EXPECT_EQ(undoStates(), states + 1);
}

TEST_F(SplitTest, OnlyTheTopmostOfTwoOverlappingSelectedShapesIsSplit) {
  TQN_Path *lower = addLine({0, 0}, {100, 0});
  TQN_Path *upper = addLine({0, 0}, {100, 0});
  addLine({30, -10}, {30, 10});
  recordAll();
  lower->SetSelected(true);
  upper->SetSelected(true);
  ASSERT_TRUE(altClick({30, 0}));
  EXPECT_TRUE(pointNear(upper->FEndPt, {30, 0}));
  EXPECT_TRUE(pointNear(lower->FEndPt, {100, 0}));
  EXPECT_EQ(doc().Count(), 4);
}

}  // namespace
}  // namespace quillon
