#include "edit/move_shapes.h"

#include <gtest/gtest.h>

#include <memory>

#include "model/intersection.h"
#include "model/model_test_util.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "support/editor_fixture.h"

namespace quillon {
namespace {

using test::pointNear;

class MoveShapesTest : public test::EditorTest {
 protected:
  TQN_Path *addDot(TPointF c, float radius) {
    auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
    s->drawDotPath(c, radius);
    return editor.doc().add(std::move(s), 0);
  }
  std::vector<TPointF> crossings() const {
    std::vector<TPointF> points;
    for (const TIntersection *r : editor.doc().FIntersections) points.push_back(r->FPoint);
    return points;
  }
};

TEST_F(MoveShapesTest, ADotKeepsItsRadius) {
  for (const float radius : {1.0f, 0.45f, 3.0f}) {
    TQN_Path *dot = addDot({5, 5}, radius);
    translateShape(editor, *dot, {2, -1}, false);
    EXPECT_TRUE(pointNear(dot->FCenter, {7, 4}));
    EXPECT_NEAR(dot->FWidth, 2.0f * radius, 1e-6f);
    EXPECT_NEAR(dot->getBoundary(false).width(), 2.0f * radius, 1e-3f);
  }
}

TEST_F(MoveShapesTest, TheSelectionMovesWithItsCrossingsAsOneUndoStep) {
  TQN_Path *still = addLine({0, 0}, {100, 0});
  TQN_Path *moved = addLine({30, -10}, {30, 10});
  TQN_Path *hole = addHole({50, 5});
  hole->SetRotation(30.0f);
  hole->FPrevStitchID = 4;
  hole->FNextStitchID = 9;
  for (TQN_Path *s : {still, moved}) editor.calcIntersectionsOfShape(s);
  moved->SetSelected(true);
  hole->SetSelected(true);
  const std::size_t states = undoStates();
  const int refreshes = ui.canvasRefreshes;

  moveSelectedShapes(editor, 15.0f, 2.0f);

  EXPECT_TRUE(pointNear(moved->FStartPt, {45, -8}));
  EXPECT_TRUE(pointNear(still->FEndPt, {100, 0}));
  ASSERT_EQ(crossings().size(), 1u);
  EXPECT_TRUE(pointNear(crossings().front(), {45, 0}, 1e-3));
  EXPECT_TRUE(pointNear(hole->FCenter, {65, 7}));
  EXPECT_EQ(hole->FRotation, 30.0f);
  EXPECT_EQ(hole->FPrevStitchID, 4);
  EXPECT_EQ(hole->FNextStitchID, 9);
  EXPECT_EQ(undoStates(), states + 1);
  EXPECT_GT(ui.canvasRefreshes, refreshes);
}

TEST_F(MoveShapesTest, NothingSelectedMovesNothing) {
  TQN_Path *line = addLine({0, 0}, {10, 0});
  const std::size_t states = undoStates();
  moveSelectedShapes(editor, 5.0f, 5.0f);
  moveSelectionToLayer(editor, 3);
  EXPECT_TRUE(pointNear(line->FStartPt, {0, 0}));
  EXPECT_EQ(line->FLayerID, 0);
  EXPECT_EQ(undoStates(), states);
}

TEST_F(MoveShapesTest, TheSelectionGoesToALayerAsOneUndoStep) {
  doc().addLayer(2, QStringLiteral("second"), true);
  TQN_Path *a = addLine({0, 0}, {10, 0});
  TQN_Path *b = addLine({5, -5}, {5, 5});
  TQN_Path *other = addLine({0, 3}, {10, 3});
  for (TQN_Path *s : {a, b, other}) editor.calcIntersectionsOfShape(s);
  a->SetSelected(true);
  b->SetSelected(true);
  const std::size_t states = undoStates();

  moveSelectionToLayer(editor, 2);

  EXPECT_EQ(a->FLayerID, 2);
  EXPECT_EQ(b->FLayerID, 2);
  EXPECT_EQ(other->FLayerID, 0);
  EXPECT_EQ(crossings().size(), 2u);  // the moved shapes' crossings were recomputed, not lost
  EXPECT_EQ(undoStates(), states + 1);
}

}  // namespace
}  // namespace quillon
