// Rounded corners between lines, extend-or-trim, and the rounding of every corner of a
// selection of lines.
#include <gtest/gtest.h>

#include <cmath>

#include "edit/corner_rounding.h"
#include "model/point_helpers.h"
#include "shell/undo.h"
#include "support/editor_fixture.h"

namespace quillon {
namespace {

using test::EditorTest;

int countKind(const TShapeList &list, TShapeKind kind) {
  int n = 0;
  for (const TQN_Path *s : list) n += s->isKind(kind) ? 1 : 0;
  return n;
}

TQN_Path *firstOfKind(const TShapeList &list, TShapeKind kind) {
  for (TQN_Path *s : list)
    if (s->isKind(kind)) return s;
  return nullptr;
}

TEST_F(EditorTest, AnLCornerRoundedWithRadiusFive) {
  TQN_Path *h = addLine({0, 0}, {20, 0}, 0, 2);
  TQN_Path *v = addLine({20, 0}, {20, 20}, 0, 5);  // the vertical leg's line type
  for (TQN_Path *s : {h, v}) {
    editor.calcIntersectionsOfShape(s);
    s->SetSelected(true);
  }
  editor.panel().nbR = 5.0f;
  const std::size_t before = undoStates();
  applyMentori(editor);
  EXPECT_EQ(h->FEndPt, TPointF(15, 0));
  EXPECT_EQ(v->FStartPt, TPointF(20, 5));
  const TQN_Path *arc = firstOfKind(doc(), TShapeKind::Arc);
  ASSERT_NE(arc, nullptr);
  EXPECT_FLOAT_EQ(arc->FWidth, 5.0f);
  EXPECT_NEAR(std::fabs(arc->FSweepAngle), 90.0f, 1e-3f);
  EXPECT_NEAR(arc->FCenter.X, 15.0f, 1e-4f);
  EXPECT_NEAR(arc->FCenter.Y, 5.0f, 1e-4f);
  EXPECT_EQ(arc->FPalletIndex, 5);
  EXPECT_EQ(undoStates(), before + 1);
  EXPECT_FALSE(h->FSelected);
}

TEST_F(EditorTest, CornerRoundingEdgeCases) {
  // A leg as long as the radius collapses and goes.
  TQN_Path *h = addLine({0, 0}, {5, 0});
  TQN_Path *v = addLine({5, 0}, {5, 20});
  for (TQN_Path *s : {h, v}) s->SetSelected(true);
  editor.panel().nbR = 5.0f;
  applyMentori(editor);
  EXPECT_FALSE(editor.doc().contains(h));
  EXPECT_EQ(countKind(doc(), TShapeKind::Arc), 1);

  // Parallel lines: the message, nothing else.
  editor.doc().clear();
  TQN_Path *a = addLine({0, 0}, {10, 0});
  TQN_Path *b = addLine({0, 5}, {10, 5});
  for (TQN_Path *s : {a, b}) s->SetSelected(true);
  applyMentori(editor);
  ASSERT_FALSE(ui.boxKeys.isEmpty());
  EXPECT_EQ(ui.boxKeys.back(), QStringLiteral("CantMentori"));
  EXPECT_EQ(countKind(doc(), TShapeKind::Arc), 0);

  // Grouped lines are never rounded.
  editor.doc().clear();
  TQN_Path *g1 = addLine({0, 0}, {10, 0});
  TQN_Path *g2 = addLine({10, 0}, {10, 10});
  for (TQN_Path *s : {g1, g2}) {
    s->FGroupID = 3;
    s->SetSelected(true);
  }
  applyMentori(editor);
  EXPECT_EQ(countKind(doc(), TShapeKind::Arc), 0);
}

TEST_F(EditorTest, CollinearSelectedLinesMergeWithoutLosingEitherPointer) {
  // Two selected pieces of one straight line: the first absorbs the second; no corner.
  TQN_Path *a = addLine({0, 0}, {10, 0});
  TQN_Path *b = addLine({10, 0}, {20, 0});
  for (TQN_Path *s : {a, b}) {
    editor.calcIntersectionsOfShape(s);
    s->SetSelected(true);
  }
  applyMentori(editor);
  ASSERT_EQ(doc().Count(), 1);
  EXPECT_EQ(doc()[0]->FStartPt, TPointF(0, 0));
  EXPECT_EQ(doc()[0]->FEndPt, TPointF(20, 0));
}

TEST_F(EditorTest, CanRoundCornerTable) {
  struct Case {
    TPointF A0, A1, B0, B1;
    bool Expected;
  };
  const Case cases[] = {
      {{0, 0}, {10, 0}, {10, 0}, {10, 10}, true},
      {{0, 0}, {10.001f, 5}, {10.004f, 5}, {20, 20}, true},  // equal after rounding to 0.01
      {{0, 0}, {10, 0}, {10, 0}, {20, 0}, false},            // collinear
      {{0, 0}, {10, 0}, {10, 1}, {10, 10}, false},           // apart
  };
  for (const Case &c : cases) {
    TQN_Path *a = addLine(c.A0, c.A1);
    TQN_Path *b = addLine(c.B0, c.B1);
    EXPECT_EQ(canRoundCorner(*a, *b), c.Expected);
  }
}

TEST_F(EditorTest, ExtendOrTrimMovesTheNearerEnds) {
  TQN_Path *a = addLine({0, 0}, {8, 0});
  TQN_Path *b = addLine({10, -5}, {10, -1});
  for (TQN_Path *s : {a, b}) s->SetSelected(true);
  const std::size_t before = undoStates();
  actExtendOrTrimLinesExecute(editor);
  EXPECT_EQ(a->FEndPt, TPointF(10, 0));
  EXPECT_EQ(b->FEndPt, TPointF(10, 0));
  EXPECT_EQ(undoStates(), before + 1);
  // They meet now: nothing more happens.
  actExtendOrTrimLinesExecute(editor);
  EXPECT_EQ(undoStates(), before + 1);
}

}  // namespace
}  // namespace quillon
