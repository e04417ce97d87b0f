// The snap search: control points, extra snap points, intersections and the grid.
#include <gtest/gtest.h>

#include <cmath>

#include "model/intersection.h"
#include "shell/deletion.h"
#include "support/editor_fixture.h"
#include "tools/snapping.h"
#include "shell/view_transform.h"

namespace quillon {
namespace {

// Scale 10, offset 0: one millimetre is ten pixels.
class SnapTest : public test::EditorTest {
 protected:
  void SetUp() override { editor.display().FShowGrid = false; }
  void addIntersection(TPointF p, TQN_Path *a, TQN_Path *b) {
    ASSERT_GE(editor.doc().FIntersections.Add(new TIntersection(p, a, b)), 0);
  }
  bool snap(TPointF pixel, TPointF &target, float tol = 5.0f) {
    return snapToNearest(editor, pixel.X, pixel.Y, tol, doc(), false, target, false);
  }
};

TEST_F(SnapTest, IntersectionWithinToleranceBeatsANearerEnd) {
  struct Case {
    float endPx, isecPx;
    bool isecWins;
  } cases[] = {{3.0f, 4.0f, true}, {4.0f, 8.0f, false}, {7.0f, 9.0f, true}};
  for (const Case &c : cases) {
    clearDocumentShapes(editor);
    // Pointer at pixel (500, 500) = (50, 50) mm; an end to the left, an intersection to
    // the right.
    TQN_Path *a = addLine({50.0f - c.endPx / 10.0f, 50.0f}, {50.0f - c.endPx / 10.0f, 0.0f});
    TQN_Path *b = addLine({0.0f, 90.0f}, {10.0f, 90.0f});
    const TPointF isec{50.0f + c.isecPx / 10.0f, 50.0f};
    addIntersection(isec, a, b);
    TPointF target{-1.0f, -1.0f};
    ASSERT_TRUE(snap({500.0f, 500.0f}, target)) << c.endPx;
    if (c.isecWins)
      EXPECT_EQ(target, isec) << c.endPx;
    else
      EXPECT_EQ(target, a->FStartPt) << c.endPx;
  }
}

TEST_F(SnapTest, GridOnlyOutsideTheSelectToolAndTighterDuringADrag) {
  editor.display().FShowGrid = true;
  // Grid step at scale 10 is 1 mm; pointer 0.3 mm (3 px) from the node (10, 10).
  TPointF target{-1.0f, -1.0f};
  editor.tool().FTool = TTool::Select;
  EXPECT_FALSE(snap({103.0f, 100.0f}, target));
  EXPECT_EQ(target, (TPointF{-1.0f, -1.0f}));  // left as it was
  editor.tool().FTool = TTool::Line;
  ASSERT_TRUE(snap({103.0f, 100.0f}, target));
  EXPECT_EQ(target, (TPointF{10.0f, 10.0f}));
  // During a shape drag the grid catches within a third of the tolerance only.
  editor.pointer().FIsShapeDragging = true;
  EXPECT_FALSE(snap({103.0f, 100.0f}, target, 5.0f));
  EXPECT_TRUE(snap({101.5f, 100.0f}, target, 5.0f));
}

TEST_F(SnapTest, EqualDistanceGoesToTheEarlierShape) {
  TQN_Path *first = addLine({10.0f, 10.2f}, {10.0f, 30.0f});
  addLine({10.0f, 9.8f}, {10.0f, 0.0f});
  TPointF target;
  ASSERT_TRUE(snap({100.0f, 100.0f}, target));
  EXPECT_EQ(target, first->FStartPt);
}

TEST_F(SnapTest, ExtraSnapPointsNeedAnExaminedShape) {
  editor.snap().FSnapPoints = {{10.0f, 10.0f}};
  TPointF target;
  EXPECT_FALSE(snap({101.0f, 100.0f}, target));
  addLine({90.0f, 90.0f}, {95.0f, 90.0f});
  ASSERT_TRUE(snap({101.0f, 100.0f}, target));
  EXPECT_EQ(target, (TPointF{10.0f, 10.0f}));
}

TEST_F(SnapTest, SelectedShapesAndHolesCanBeLeftOut) {
  TQN_Path *line = addLine({10.0f, 10.0f}, {30.0f, 10.0f});
  TQN_Path *hole = addHole({50.0f, 50.0f});
  TPointF target;
  line->SetSelected(true);
  EXPECT_FALSE(snapToNearest(editor, 101.0f, 100.0f, 5.0f, doc(), true, target, false));
  EXPECT_TRUE(snapToNearest(editor, 101.0f, 100.0f, 5.0f, doc(), false, target, false));
  EXPECT_TRUE(snapToNearest(editor, 501.0f, 500.0f, 5.0f, doc(), false, target, false));
  EXPECT_EQ(target, hole->FStartPt);
  EXPECT_FALSE(snapToNearest(editor, 501.0f, 500.0f, 5.0f, doc(), false, target, true));
}

TEST_F(SnapTest, TextOffersOnlyItsArchPoint) {
  auto label = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  label->FShapeType = TShapeKind::Text;
  label->FStartPt = {10.0f, 10.0f};
  TQN_Path *text = editor.doc().add(std::move(label), 0);
  TPointF target;
  EXPECT_FALSE(snap({100.0f, 100.0f}, target));
  text->FTextRadius = -20.0f;
  EXPECT_FALSE(snap({100.0f, 100.0f}, target));
  ASSERT_TRUE(snap({301.0f, 100.0f}, target));
  EXPECT_EQ(target, (TPointF{30.0f, 10.0f}));
}

TEST_F(SnapTest, CandidatesNearGiveOnePointOrAThinnedOutline) {
  bool single = false;
  EXPECT_TRUE(snapCandidatesNear(editor, {0.0f, 0.0f}, single).empty());
  addLine({10.0f, 10.0f}, {30.0f, 10.0f});
  std::vector<TPointF> pts = snapCandidatesNear(editor, {29.0f, 11.0f}, single);
  EXPECT_TRUE(single);
  ASSERT_EQ(pts.size(), 1u);
  EXPECT_EQ(pts[0], (TPointF{30.0f, 10.0f}));

  // A free outline offers the corners of its box; the second corner lies 10 px (1 mm)
  // from the first and is dropped, the last always stays.
  auto other = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  other->FShapeType = TShapeKind::Other;
  other->setData(TPathData::fromText("M100,0 L101,0 L101,3 L100,3 Z"));
  editor.doc().add(std::move(other), 0);
  pts = snapCandidatesNear(editor, {100.0f, 0.0f}, single);
  EXPECT_FALSE(single);
  const std::vector<TPointF> expected{{100.0f, 0.0f}, {101.0f, 3.0f}, {100.0f, 3.0f}};
  EXPECT_EQ(pts, expected);
}

TEST_F(SnapTest, CircleTangentPoints) {
  auto circle = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  circle->drawEllipsePath({0.0f, 0.0f}, 20.0f, 20.0f);
  editor.doc().add(std::move(circle), 0);
  addCircleTangentSnapPoints(editor, {20.0f, 0.0f});
  ASSERT_EQ(editor.snap().FSnapPoints.size(), 2u);
  // From (20, 0) to a circle of radius 10 at the origin the tangents touch at 60 degrees.
  for (TPointF t : editor.snap().FSnapPoints) {
    EXPECT_NEAR(t.X, 5.0f, 1e-4);
    EXPECT_NEAR(std::fabs(t.Y), 8.66025f, 1e-4);
  }
  editor.snap().FSnapPoints.clear();
  addCircleTangentSnapPoints(editor, {2.0f, 0.0f});  // inside: none
  EXPECT_TRUE(editor.snap().FSnapPoints.empty());
}

}  // namespace
}  // namespace quillon
