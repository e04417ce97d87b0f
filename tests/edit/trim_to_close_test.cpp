#include "edit/trim_to_close.h"

#include <gtest/gtest.h>

#include <memory>

#include "model/intersection.h"
#include "model/model_test_util.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "edit/cutting_fixture.h"

namespace quillon {
namespace {

using test::pointNear;

class TrimToCloseTest : public test::CuttingTest {
 protected:
  static bool endsAre(const TQN_Path *s, TPointF a, TPointF b, double tol = 1e-3) {
    return (pointNear(s->FStartPt, a, tol) && pointNear(s->FEndPt, b, tol)) ||
           (pointNear(s->FStartPt, b, tol) && pointNear(s->FEndPt, a, tol));
  }
};

TEST_F(TrimToCloseTest, AHashSignOfOneLineTypeBecomesAClosedSquare) {
  TQN_Path *top = addLine({0, 10}, {40, 10});
  TQN_Path *bottom = addLine({0, 30}, {40, 30});
  TQN_Path *left = addLine({10, 0}, {10, 40});
  TQN_Path *right = addLine({30, 0}, {30, 40});
  TQN_Path *other = addLine({20, 0}, {20, 40}, 0, 5);  // another line type crosses both
  recordAll();
  const std::size_t states = undoStates();

  EXPECT_TRUE(trimToCloseCommand(editor, top));

  EXPECT_TRUE(endsAre(top, {10, 10}, {30, 10}));
  EXPECT_TRUE(endsAre(bottom, {10, 30}, {30, 30}));
  EXPECT_TRUE(endsAre(left, {10, 10}, {10, 30}));
  EXPECT_TRUE(endsAre(right, {30, 10}, {30, 30}));
  EXPECT_TRUE(endsAre(other, {20, 0}, {20, 40}));
  EXPECT_EQ(doc().Count(), 5);
  EXPECT_EQ(ui.statusTexts.back(), QStringLiteral("Tidied up the lines into a closed shape."));
  EXPECT_EQ(undoStates(), states + 1);
  // The records follow the new ends: each corner joins two sides, and the other line type
  // still crosses the top and bottom.
  EXPECT_EQ(editor.doc().FIntersections.Count(), 6);
}

TEST_F(TrimToCloseTest, AVIsClosedByALineWithThePenLayerAndGroupOfItsFirstLine) {
  doc().addLayer(2, QStringLiteral("second"), true);
  TQN_Path *a = addLine({0, 0}, {10, 10}, 2, 3);
  a->FGroupID = 12;
  a->FColor = 0xFF336699;
  addLine({10, 10}, {20, 0}, 2, 3);
  recordAll();
  EXPECT_TRUE(trimToCloseCommand(editor, a));
  ASSERT_EQ(doc().Count(), 3);
  const TQN_Path *closing = doc()[2];
  EXPECT_TRUE(closing->isKind(TShapeKind::Line));
  EXPECT_TRUE(endsAre(closing, {0, 0}, {20, 0}));
  EXPECT_EQ(closing->FLayerID, 2);
  EXPECT_EQ(closing->FGroupID, 12);
  EXPECT_EQ(closing->FPalletIndex, 3);
  EXPECT_EQ(closing->FColor, 0xFF336699u);
  EXPECT_TRUE(editor.doc().contains(closing));
}

TEST_F(TrimToCloseTest, NearEndsAreJoinedAndWiderGapsClosedWithALine) {
  struct Case {
    const char *what;
    TPointF loose;  // the last side's end near the corner (0, 0)
    bool joined;    // both ends moved to their midpoint
  };
  const Case cases[] = {
      {"0.2 mm apart: joined at the midpoint", {0.12f, 0.16f}, true},
      {"0.35 mm apart: closed with a line", {0.21f, 0.28f}, false},
  };
  for (const Case &c : cases) {
    editor.doc().clear();
    TQN_Path *base = addLine({0, 0}, {20, 0});
    addLine({20, 0}, {10, 15});
    TQN_Path *last = addLine({10, 15}, c.loose);
    recordAll();
    EXPECT_TRUE(trimToCloseCommand(editor, base)) << c.what;
    if (c.joined) {
      const TPointF mid{c.loose.X / 2.0f, c.loose.Y / 2.0f};
      EXPECT_TRUE(pointNear(base->FStartPt, mid, 1e-4)) << c.what;
      EXPECT_TRUE(pointNear(last->FEndPt, mid, 1e-4)) << c.what;
      EXPECT_EQ(doc().Count(), 3) << c.what;
    } else {
      EXPECT_TRUE(pointNear(base->FStartPt, {0, 0})) << c.what;
      ASSERT_EQ(doc().Count(), 4) << c.what;
      EXPECT_TRUE(endsAre(doc()[3], {0, 0}, c.loose)) << c.what;
    }
  }
}

TEST_F(TrimToCloseTest, ClosedGroupsStayAndOpenLinesReportTheyCouldNotClose) {
  TQN_Path *a = addLine({0, 0}, {10, 0});
  addLine({10, 0}, {5, 8});
  addLine({5, 8}, {0, 0});
  recordAll();
  const std::size_t states = undoStates();
  EXPECT_TRUE(trimToCloseCommand(editor, a));
  EXPECT_EQ(doc().Count(), 3);
  EXPECT_TRUE(endsAre(a, {0, 0}, {10, 0}));
  EXPECT_EQ(undoStates(), states + 1);  // the step is taken all the same

  editor.doc().clear();
  TQN_Path *single = addLine({0, 0}, {10, 0});
  recordAll();
  EXPECT_FALSE(trimToCloseCommand(editor, single));
  EXPECT_EQ(doc().Count(), 1);
  EXPECT_EQ(ui.statusTexts.back(), QStringLiteral("Trimmed the overhangs (could not form a closed shape)."));
}

TEST_F(TrimToCloseTest, OnlyLinesArcsAndBeziersHaveAGroup) {
  auto dot = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  dot->drawDotPath({0, 0}, 1.0f);
  TQN_Path *added = editor.doc().add(std::move(dot), 0);
  const std::size_t states = undoStates();
  EXPECT_TRUE(getConnectedSameLineType(editor, added).empty());
  EXPECT_FALSE(trimToCloseCommand(editor, added));
  EXPECT_FALSE(trimToCloseCommand(editor, nullptr));
  EXPECT_EQ(undoStates(), states);
  EXPECT_TRUE(ui.statusTexts.isEmpty());
}

}  // namespace
}  // namespace quillon
