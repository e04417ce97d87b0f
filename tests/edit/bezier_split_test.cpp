#include "edit/bezier_split.h"

#include <gtest/gtest.h>

#include <memory>

#include "model/bezier.h"
#include "model/intersection.h"
#include "model/model_test_util.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "support/editor_fixture.h"

namespace quillon {
namespace {

using test::pointNear;

class BezierSplitTest : public test::EditorTest {
 protected:
  void SetUp() override { doc().addLayer(2, QStringLiteral("second"), true); }
  // An arch from (0,0) up to y = 22.5 at x = 30 and down to (60,0), on layer 2.
  TQN_Path *addArch() {
    auto s = std::make_unique<TQN_Path>(5, 0xFF123456, 0.7f, TStrokeDash::Dash, doc().getNextID());
    s->drawBezierPath({0, 0}, {0, 30}, {60, 30}, {60, 0});
    s->FGroupID = 77;
    return editor.doc().add(std::move(s), 2);
  }
  static TCubicBezier curveOf(const TQN_Path &s) { return {s.FStartPt, s.FBezierCp1, s.FBezierCp2, s.FEndPt}; }
  int recordsOf(const TQN_Path *s) const {
    int n = 0;
    for (const TIntersection *r : editor.doc().FIntersections)
      if (r->FPath1 == s || r->FPath2 == s) ++n;
    return n;
  }
};

TEST_F(BezierSplitTest, HalvesAtTheMiddleFollowTheCurveAsItWas) {
  TQN_Path *arch = addArch();
  const TCubicBezier before = curveOf(*arch);
  const int id = arch->ID();

  std::unique_ptr<TQN_Path> piece = splitBezierAtPoint(editor, *arch, BezierPoint(before, 0.5f));
  ASSERT_TRUE(piece);
  const TCubicBezier first = curveOf(*arch), second = curveOf(*piece);
  for (int i = 0; i <= 20; ++i) {
    const float s = float(i) / 20.0f;
    EXPECT_TRUE(pointNear(BezierPoint(first, s), BezierPoint(before, s / 2.0f), 0.01)) << s;
    EXPECT_TRUE(pointNear(BezierPoint(second, s), BezierPoint(before, 0.5f + s / 2.0f), 0.01)) << s;
  }
  EXPECT_TRUE(pointNear(arch->FEndPt, piece->FStartPt, 0.0));
  // The shape keeps its ID and everything else; the piece has a fresh ID and only the pen.
  EXPECT_EQ(arch->ID(), id);
  EXPECT_EQ(arch->FGroupID, 77);
  EXPECT_GT(piece->ID(), id);
  EXPECT_TRUE(piece->isKind(TShapeKind::Bezier));
  EXPECT_EQ(piece->FPalletIndex, 5);
  EXPECT_EQ(piece->FColor, 0xFF123456u);
  EXPECT_EQ(piece->FThickness, 0.7f);
  EXPECT_EQ(piece->FDash, TStrokeDash::Dash);
  EXPECT_EQ(piece->FGroupID, 0);
  // Outside the document and without records.
  EXPECT_FALSE(editor.doc().contains(piece.get()));
  EXPECT_EQ(recordsOf(piece.get()), 0);
}

TEST_F(BezierSplitTest, APointOffTheCurveOrAtAnEndCutsNothing) {
  struct Case {
    const char *what;
    TPointF at;
  };
  const Case cases[] = {
      {"3.5 mm beside the top of the curve", {30, 26}},
      {"at the start", {0, 0}},
      {"at the end", {60, 0}},
      {"beyond the end", {61, -1}},
  };
  for (const Case &c : cases) {
    TQN_Path *arch = addArch();
    addLine({30, -5}, {30, 40});  // crosses the arch, so it has a record to keep
    editor.calcIntersectionsOfShape(arch);
    const int records = recordsOf(arch);
    ASSERT_GT(records, 0);
    const TCubicBezier before = curveOf(*arch);
    const int shapes = doc().Count();

    EXPECT_FALSE(splitBezierAtPoint(editor, *arch, c.at)) << c.what;
    EXPECT_FALSE(splitBezierAtPointInDocument(editor, *arch, c.at)) << c.what;
    EXPECT_TRUE(pointNear(arch->FBezierCp1, before.P1, 0.0)) << c.what;
    EXPECT_TRUE(pointNear(arch->FEndPt, before.P3, 0.0)) << c.what;
    EXPECT_EQ(recordsOf(arch), records) << c.what;
    EXPECT_EQ(doc().Count(), shapes) << c.what;
    editor.doc().clear();
  }
}

TEST_F(BezierSplitTest, OnlyABezierIsCut) {
  TQN_Path *line = addLine({0, 0}, {10, 0});
  EXPECT_FALSE(splitBezierAtPoint(editor, *line, {5, 0}));
  EXPECT_TRUE(pointNear(line->FEndPt, {10, 0}, 0.0));
}

TEST_F(BezierSplitTest, IntoTheDocumentThePieceJoinsTheLayerAndBothGetTheirCrossings) {
  TQN_Path *arch = addArch();
  TQN_Path *left = addLine({10, -5}, {10, 40});
  TQN_Path *right = addLine({50, -5}, {50, 40});
  for (TQN_Path *s : {arch, left, right}) editor.calcIntersectionsOfShape(s);
  ASSERT_EQ(recordsOf(arch), 2);

  TQN_Path *piece = splitBezierAtPointInDocument(editor, *arch, {30, 22.5f});
  ASSERT_TRUE(piece);
  EXPECT_TRUE(editor.doc().contains(piece));
  EXPECT_EQ(piece->FLayerID, 2);
  EXPECT_EQ(doc().Count(), 4);
  // Each half crosses one of the two lines, and the halves touch where they were cut.
  ASSERT_EQ(recordsOf(arch), 2);
  ASSERT_EQ(recordsOf(piece), 2);
  for (const TIntersection *r : editor.doc().FIntersections) {
    const bool halves = (r->FPath1 == arch && r->FPath2 == piece) || (r->FPath1 == piece && r->FPath2 == arch);
    if (halves) {
      EXPECT_TRUE(pointNear(r->FPoint, arch->FEndPt, 0.01));
    } else if (r->FPath1 == arch || r->FPath2 == arch) {
      EXPECT_NEAR(r->FPoint.X, 10.0f, 0.05f);
    } else if (r->FPath1 == piece || r->FPath2 == piece) {
      EXPECT_NEAR(r->FPoint.X, 50.0f, 0.05f);
    }
  }
}

}  // namespace
}  // namespace quillon
