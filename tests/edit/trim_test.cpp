#include "edit/trim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "model/intersection.h"
#include "model/model_test_util.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "edit/cutting_fixture.h"

namespace quillon {
namespace {

using test::pointNear;

class TrimTest : public test::CuttingTest {
 protected:
  TQN_Path *addArc(TPointF c, float r, TPointF from, TPointF to, float sweep) {
    return addDrawn([&](TQN_Path &s) { s.drawArcPath(c, {r, r}, from, to, sweep); });
  }
  TQN_Path *addCircle(TPointF c, float w, float h) {
    return addDrawn([&](TQN_Path &s) { s.drawEllipsePath(c, w, h); });
  }
  TQN_Path *addBezier(TPointF p0, TPointF p1, TPointF p2, TPointF p3) {
    return addDrawn([&](TQN_Path &s) { s.drawBezierPath(p0, p1, p2, p3); });
  }
  std::vector<TQN_Path *> ofKind(TShapeKind kind) {
    std::vector<TQN_Path *> out;
    for (TQN_Path *s : doc().Items())
      if (s->isKind(kind)) out.push_back(s);
    return out;
  }
  // The lines other than the given crossing lines.
  std::vector<TQN_Path *> linesBut(std::initializer_list<const TQN_Path *> others) {
    std::vector<TQN_Path *> out;
    for (TQN_Path *s : ofKind(TShapeKind::Line))
      if (std::find(others.begin(), others.end(), s) == others.end()) out.push_back(s);
    return out;
  }
};

TEST_F(TrimTest, ALineCrossedTwiceLosesThePieceBetweenTheCrossingsInOneUndoStep) {
  TQN_Path *line = addLine({0, 0}, {100, 0});
  TQN_Path *c1 = addLine({30, -10}, {30, 10});
  TQN_Path *c2 = addLine({60, -10}, {60, 10});
  recordAll();
  const int lastId = doc().LastID;
  const std::size_t states = undoStates();
  const int boxes = ui.boxKeys.size();

  ASSERT_TRUE(trimAtPoint(editor, {45, 0}));

  EXPECT_FALSE(editor.doc().contains(line));
  const std::vector<TQN_Path *> pieces = linesBut({c1, c2});
  ASSERT_EQ(pieces.size(), 2u);
  EXPECT_TRUE(pointNear(pieces[0]->FStartPt, {0, 0}));
  EXPECT_TRUE(pointNear(pieces[0]->FEndPt, {30, 0}));
  EXPECT_TRUE(pointNear(pieces[1]->FStartPt, {100, 0}));
  EXPECT_TRUE(pointNear(pieces[1]->FEndPt, {60, 0}));
  for (const TQN_Path *p : pieces) {
    EXPECT_GT(p->ID(), lastId);
    EXPECT_EQ(p->FPalletIndex, 0);
    EXPECT_EQ(p->FLayerID, 0);
  }
  EXPECT_EQ(undoStates(), states + 1);
  // The pieces meet the crossing lines at their cut ends; no record names the old line.
  EXPECT_EQ(editor.doc().FIntersections.Count(), 2);
  EXPECT_EQ(ui.boxKeys.size(), boxes);
}

TEST_F(TrimTest, LineCutPointsFromCrossingsAndHoles) {
  struct Case {
    const char *what;
    float crossingX;  // a vertical line crosses here; < 0: none
    TPointF hole;     // a stitching hole; x < 0: none
    float clickX;
    std::vector<std::pair<TPointF, TPointF>> left;
  };
  const Case cases[] = {
      {"nothing meets it: deleted", -1, {-1, 0}, 50, {}},
      {"crossed once, clicked before: the end part, reversed", 40, {-1, 0}, 20, {{{100, 0}, {40, 0}}}},
      {"crossed once, clicked after: the start part", 40, {-1, 0}, 70, {{{0, 0}, {40, 0}}}},
      {"a hole beside the line cuts at its foot", -1, {50, 0.3f}, 70, {{{0, 0}, {50, 0}}}},
      {"a hole at the end makes no cut", -1, {99.97f, 0.2f}, 70, {}},
      {"a hole too far away makes no cut", -1, {50, 0.7f}, 70, {}},
  };
  for (const Case &c : cases) {
    editor.doc().clear();
    addLine({0, 0}, {100, 0});
    const TQN_Path *crossing = c.crossingX >= 0 ? addLine({c.crossingX, -10}, {c.crossingX, 10}) : nullptr;
    if (c.hole.X >= 0) addHole(c.hole);
    recordAll();
    ASSERT_TRUE(trimAtPoint(editor, {c.clickX, 0})) << c.what;
    const std::vector<TQN_Path *> left = linesBut({crossing});
    ASSERT_EQ(left.size(), c.left.size()) << c.what;
    for (std::size_t i = 0; i < left.size(); ++i) {
      EXPECT_TRUE(pointNear(left[i]->FStartPt, c.left[i].first, 1e-3)) << c.what;
      EXPECT_TRUE(pointNear(left[i]->FEndPt, c.left[i].second, 1e-3)) << c.what;
    }
  }
}

TEST_F(TrimTest, AnArcKeepsThePieceBeyondItsCutWithItsSweepDirection) {
  // A quarter of a circle of radius 20 about the origin, clockwise on screen from (20, 0)
  // to (0, 20), crossed by the diagonal at about (14.14, 14.14).
  TQN_Path *arc = addArc({0, 0}, 20, {20, 0}, {0, 20}, 90);
  TQN_Path *diagonal = addLine({0, 0}, {30, 30});
  recordAll();
  ASSERT_TRUE(trimAtPoint(editor, {18.48f, 7.65f}));  // 22.5 degrees: between start and cut
  EXPECT_FALSE(editor.doc().contains(arc));
  const std::vector<TQN_Path *> arcs = ofKind(TShapeKind::Arc);
  ASSERT_EQ(arcs.size(), 1u);
  EXPECT_TRUE(pointNear(arcs[0]->FStartPt, {14.142f, 14.142f}, 0.02));
  EXPECT_TRUE(pointNear(arcs[0]->FEndPt, {0, 20}, 1e-3));
  EXPECT_NEAR(arcs[0]->FSweepAngle, 45.0f, 0.1f);
  EXPECT_EQ(arcs[0]->FWidth, 20.0f);

  // The arc with nothing left to meet goes.
  editor.doc().remove(diagonal);
  ASSERT_TRUE(trimAtPoint(editor, {10, 17.32f}));
  EXPECT_TRUE(ofKind(TShapeKind::Arc).empty());
}

TEST_F(TrimTest, ABezierCutOnBothSidesKeepsItsIdAndStartAndGivesItsEndToANewShape) {
  TQN_Path *arch = addBezier({0, 0}, {0, 30}, {60, 30}, {60, 0});
  addLine({10, -5}, {10, 40});
  addLine({50, -5}, {50, 40});
  recordAll();
  const int id = arch->ID();
  ASSERT_TRUE(trimAtPoint(editor, {30, 22.5f}));
  ASSERT_TRUE(editor.doc().contains(arch));
  EXPECT_EQ(arch->ID(), id);
  EXPECT_TRUE(pointNear(arch->FStartPt, {0, 0}));
  EXPECT_NEAR(arch->FEndPt.X, 10.0f, 0.05f);
  const std::vector<TQN_Path *> curves = ofKind(TShapeKind::Bezier);
  ASSERT_EQ(curves.size(), 2u);
  const TQN_Path *end = curves[0] == arch ? curves[1] : curves[0];
  EXPECT_GT(end->ID(), id);
  EXPECT_NEAR(end->FStartPt.X, 50.0f, 0.05f);
  EXPECT_TRUE(pointNear(end->FEndPt, {60, 0}));
}

TEST_F(TrimTest, ACutBesideTheClickOnTheSameStretchBoundsOnlyOneSide) {
  // The click lies a tenth of a millimetre before the crossing, on the same stretch of
  // the outline: the part before the crossing goes, the part after it stays whole.
  addBezier({0, 0}, {0, 30}, {60, 30}, {60, 0});
  TQN_Path *cross = addLine({30, -5}, {30, 40});
  recordAll();
  ASSERT_TRUE(trimAtPoint(editor, {29.9f, 22.5f}));
  const std::vector<TQN_Path *> curves = ofKind(TShapeKind::Bezier);
  ASSERT_EQ(curves.size(), 1u);
  EXPECT_NEAR(curves[0]->FStartPt.X, 30.0f, 0.05f);
  EXPECT_NEAR(curves[0]->FStartPt.Y, 22.5f, 0.05f);
  EXPECT_TRUE(pointNear(curves[0]->FEndPt, {60, 0}));
  EXPECT_TRUE(editor.doc().contains(cross));
}

TEST_F(TrimTest, ACircleCrossedTwiceKeepsTheArcAwayFromTheClick) {
  addCircle({0, 0}, 20, 20);
  addLine({-20, 0}, {20, 0});
  recordAll();
  ASSERT_TRUE(trimAtPoint(editor, {0, -10}));
  EXPECT_TRUE(ofKind(TShapeKind::Ellipse).empty());
  const std::vector<TQN_Path *> arcs = ofKind(TShapeKind::Arc);
  ASSERT_EQ(arcs.size(), 1u);
  int segment = 0;
  EXPECT_TRUE(arcs[0]->isOnPath({0, 10}, segment, 0.1f));
  EXPECT_FALSE(arcs[0]->isOnPath({0, -10}, segment, 0.1f));
  EXPECT_NEAR(std::fabs(arcs[0]->FSweepAngle), 180.0f, 0.1f);
}

TEST_F(TrimTest, ACircleWithFewerThanTwoCutPointsIsRemoved) {
  for (const bool withHole : {false, true}) {
    editor.doc().clear();
    addCircle({0, 0}, 20, 20);
    if (withHole) addHole({0, 10.2f});
    recordAll();
    ASSERT_TRUE(trimAtPoint(editor, {0, -10})) << withHole;
    EXPECT_TRUE(ofKind(TShapeKind::Ellipse).empty()) << withHole;
    EXPECT_TRUE(ofKind(TShapeKind::Arc).empty()) << withHole;
  }
}

TEST_F(TrimTest, KindsThatCannotBeTrimmedAreRefusedAndStay) {
  TQN_Path *ellipse = addCircle({0, 0}, 20, 10);
  recordAll();
  const std::size_t states = undoStates();
  const int boxes = ui.boxKeys.size();
  EXPECT_FALSE(trimAtPoint(editor, {10, 0}));
  ASSERT_EQ(ui.boxKeys.size(), boxes + 1);
  EXPECT_EQ(ui.boxKeys.back(), QStringLiteral("TrimmingNotSupported"));
  EXPECT_EQ(ui.boxTexts.back(),
            QStringLiteral("Trimming is only available for line, Bezier curve, arc or circle in this version."));
  EXPECT_TRUE(editor.doc().contains(ellipse));
  EXPECT_EQ(ellipse->FWidth, 20.0f);
  EXPECT_EQ(undoStates(), states);

  // The request form says it without a box.
  bool refused = false;
  EXPECT_FALSE(trimAtPointQuietly(editor, {10, 0}, refused));
  EXPECT_TRUE(refused);
  EXPECT_EQ(ui.boxKeys.size(), boxes + 1);

  // Nothing under the point: nothing happens, nothing is said.
  EXPECT_FALSE(trimAtPointQuietly(editor, {50, 50}, refused));
  EXPECT_FALSE(refused);
  EXPECT_EQ(ui.boxKeys.size(), boxes + 1);
  EXPECT_EQ(undoStates(), states);
}

TEST_F(TrimTest, OnlyTheActiveLayerIsTrimmed) {
  TQN_Path *line = addLine({0, 0}, {100, 0}, 1);
  recordAll();
  editor.FActiveLayer = 0;
  EXPECT_FALSE(trimAtPoint(editor, {50, 0}));
  EXPECT_TRUE(editor.doc().contains(line));
}

}  // namespace
}  // namespace quillon
