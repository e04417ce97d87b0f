// Curve-end welding, the chain through a shape and the double-click chain selection.
#include "edit/curve_chains.h"

#include <gtest/gtest.h>

#include "model/draw_pallet.h"
#include "model/shape_list.h"
#include "shell/view_transform.h"
#include "support/lint_shapes.h"
#include "tools/pointer.h"

namespace quillon {
namespace {

using test::nearPoint;

class CurveChainsTest : public test::LintTest {
 protected:
  std::vector<TQN_Path *> rectangle(TPointF at, int layer = 0, int pallet = 0) {
    const TPointF a = at, b = at + TPointF(40, 0), c = at + TPointF(40, 20), d = at + TPointF(0, 20);
    return {addLine(a, b, layer, pallet), addLine(b, c, layer, pallet), addLine(c, d, layer, pallet),
            addLine(d, a, layer, pallet)};
  }
};

TEST_F(CurveChainsTest, CurveEndsWeldOntoOtherCurvesNeverOntoLines) {
  TQN_Path *bezier = addBezier({0, 0}, {3, -5}, {7, -5}, {10, 0});
  TQN_Path *arc = addArc({20, 0}, 10, {10.05f, 0}, {20, 10}, 90);
  addLine({20, 10.03f}, {40, 40});  // a LINE end is never a target
  TQN_Path *far = addArc({60, 0}, 10, {70, 0}, {60, 10}, 90);
  addBezier({70.12f, 0}, {75, 5}, {80, 5}, {90, 0});  // more than 0.1 away: not welded
  const TPointF arcEnd = arc->FEndPt, farStart = far->FStartPt;
  weldCurveEnds(editor);
  EXPECT_TRUE(arc->FStartPt.exactlyEquals(bezier->FEndPt));
  EXPECT_TRUE(arc->FEndPt.exactlyEquals(arcEnd));
  EXPECT_TRUE(far->FStartPt.exactlyEquals(farStart));
  EXPECT_TRUE(doc()[2]->FStartPt.exactlyEquals({20, 10.03f}));  // LINEs are never welded
}

TEST_F(CurveChainsTest, ChainRunsRoundALoopAndStopsAtABranch) {
  const std::vector<TQN_Path *> sides = rectangle({0, 0});
  for (TQN_Path *side : sides) {
    const std::vector<TQN_Path *> chain = collectShapeChain(editor, side);
    ASSERT_EQ(chain.size(), 4u);
    // In order round the loop: each shape shares an end with the next.
    for (std::size_t k = 0; k + 1 < chain.size(); ++k) {
      const TQN_Path *p = chain[k], *q = chain[k + 1];
      EXPECT_TRUE(p->FEndPt == q->FStartPt || p->FStartPt == q->FEndPt || p->FEndPt == q->FEndPt ||
                  p->FStartPt == q->FStartPt);
    }
  }
  // A T-junction (three shapes at one point) stops the chain there; the other way it grows.
  editor.doc().clear();
  TQN_Path *a = addLine({0, 0}, {10, 0});
  addLine({10, 0}, {20, 0});
  addLine({10, 0}, {10, 10});
  TQN_Path *d = addLine({-10, 0}, {0.05f, 0});
  EXPECT_EQ(collectShapeChain(editor, a), (std::vector<TQN_Path *>{d, a}));
  EXPECT_TRUE(collectShapeChain(editor, nullptr).empty());
}

TEST_F(CurveChainsTest, DoubleClickSelectsTheRectangleOfOneLineTypeAndLayer) {
  editor.view().FScale = 10.0f;
  editor.view().FOffset = {0, 0};
  const std::vector<TQN_Path *> sides = rectangle({0, 0});
  const TPointF onTop = realToVirtual(editor.view(), {20, 0});
  // The walk selects the others; the clicked side keeps its selection as it was.
  EXPECT_TRUE(selectConnectedShapes(editor, onTop));
  EXPECT_FALSE(sides[0]->FSelected);
  for (TQN_Path *side : {sides[1], sides[2], sides[3]}) EXPECT_TRUE(side->FSelected);

  // Another line type, another layer or a hidden line type stops the walk.
  struct Case {
    int layer, pallet;
    bool hidden;
  } const cases[] = {{0, 2, false}, {1, 0, false}, {0, 0, true}};
  for (const Case &c : cases) {
    editor.doc().clear();
    doc().addLayer(1, QStringLiteral("second"), true);
    editor.pen().FPalletList[0]->FIsVisible = true;
    TQN_Path *top = addLine({0, 0}, {40, 0});
    TQN_Path *right = addLine({40, 0}, {40, 20}, c.layer, c.pallet);
    TQN_Path *bottom = addLine({40, 20}, {0, 20});
    TQN_Path *left = addLine({0, 20}, {0, 0});
    if (c.hidden) right->FPalletIndex = 3, editor.pen().FPalletList[3]->FIsVisible = false;
    EXPECT_TRUE(selectConnectedShapes(editor, onTop));
    EXPECT_FALSE(right->FSelected);
    EXPECT_TRUE(left->FSelected && bottom->FSelected);
    EXPECT_FALSE(top->FSelected);
    editor.pen().FPalletList[3]->FIsVisible = true;
  }

  // The double click of the pointer runs it.
  editor.doc().clear();
  const std::vector<TQN_Path *> again = rectangle({0, 0});
  editor.pointer().FLastMousePos = onTop;
  again[0]->SetSelected(true);  // the first click of the double click
  pointerDoubleClick(editor);
  for (TQN_Path *side : again) EXPECT_TRUE(side->FSelected);
}

}  // namespace
}  // namespace quillon
