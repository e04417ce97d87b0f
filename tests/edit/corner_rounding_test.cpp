// Rounded corners between lines, extend-or-trim, and the rounding of every corner of a
// selection of lines.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

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

TEST_F(EditorTest, FourRectangleSidesRoundAsOneUndoStep) {
  // Drawn in order: top, right, bottom, left, each ending where the next begins.
  const TPointF corners[] = {{0, 0}, {40, 0}, {40, 30}, {0, 30}};
  std::vector<TQN_Path *> sides;
  for (int i = 0; i < 4; ++i) sides.push_back(addLine(corners[i], corners[(i + 1) % 4]));
  for (TQN_Path *s : sides) editor.calcIntersectionsOfShape(s);
  takeUndoSnapshot(editor, QStringLiteral("drawn"));
  for (TQN_Path *s : sides) s->SetSelected(true);
  editor.panel().nbR = 5.0f;
  const std::size_t before = undoStates();

  ASSERT_TRUE(roundSelectedCorners(editor));
  EXPECT_EQ(undoStates(), before + 1);
  ASSERT_EQ(countKind(doc(), TShapeKind::Line), 4);
  ASSERT_EQ(countKind(doc(), TShapeKind::Arc), 4);
  // Every side is cut back 5 mm at both ends, and every arc is a quarter of radius 5
  // about a point 5 mm inside its corner.
  for (TQN_Path *s : sides) {
    ASSERT_TRUE(editor.doc().contains(s));
    const float full = s == sides[0] || s == sides[2] ? 40.0f : 30.0f;
    EXPECT_NEAR(calcDistance(s->FStartPt, s->FEndPt), full - 10.0f, 1e-3f);
  }
  std::vector<TPointF> centres;
  for (TQN_Path *s : doc()) {
    if (!s->isKind(TShapeKind::Arc)) continue;
    EXPECT_FLOAT_EQ(s->FWidth, 5.0f);
    EXPECT_NEAR(std::fabs(s->FSweepAngle), 90.0f, 1e-3f);
    centres.push_back(s->FCenter);
  }
  for (TPointF inner : {TPointF(5, 5), TPointF(35, 5), TPointF(35, 25), TPointF(5, 25)}) {
    int found = 0;
    for (TPointF c : centres) found += calcDistance(c, inner) < 1e-3f ? 1 : 0;
    EXPECT_EQ(found, 1) << inner.X << "," << inner.Y;
  }

  // The one step takes the whole rounding back.
  undo(editor);
  ASSERT_EQ(doc().Count(), 4);
  EXPECT_EQ(countKind(doc(), TShapeKind::Arc), 0);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(doc()[i]->FStartPt, corners[i]);
    EXPECT_EQ(doc()[i]->FEndPt, corners[(i + 1) % 4]);
  }
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
