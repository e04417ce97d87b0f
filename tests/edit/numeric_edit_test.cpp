// Typed sizes and angles through the shape-size dialog.
#include <gtest/gtest.h>

#include "edit/numeric_edit.h"
#include "model/point_helpers.h"
#include "shell/undo.h"
#include "support/editor_fixture.h"

namespace quillon {
namespace {

using test::EditorTest;

TShapeSizeValues lengthOf(float mm) {
  TShapeSizeValues v;
  v.LineLength = mm;
  return v;
}

TEST_F(EditorTest, SizeDialogGivesEverySelectedLineTheLength) {
  TQN_Path *l10 = addLine({0, 0}, {10, 0});
  TQN_Path *l20 = addLine({0, 10}, {20, 10});
  TQN_Path *l30 = addLine({0, 20}, {0, 50});
  TQN_Path *tie = addLine({20, 10}, {20, 30});  // meets l20's end: that end stays
  for (TQN_Path *s : {l10, l20, l30, tie}) editor.calcIntersectionsOfShape(s);
  for (TQN_Path *s : {l10, l20, l30}) s->SetSelected(true);
  const std::size_t before = undoStates();

  ui.sizeAnswers.push_back(lengthOf(10.0f));  // the reference's own length: nothing
  actEditShapeSizeExecute(editor);
  EXPECT_EQ(undoStates(), before);

  ui.sizeAnswers.push_back(lengthOf(15.0f));
  actEditShapeSizeExecute(editor);
  for (TQN_Path *s : {l10, l20, l30}) EXPECT_NEAR(calcDistance(s->FStartPt, s->FEndPt), 15.0f, 1e-4f);
  EXPECT_EQ(l10->FStartPt, TPointF(0, 0));
  EXPECT_EQ(l20->FEndPt, TPointF(20, 10));  // the better-connected end kept
  EXPECT_EQ(undoStates(), before + 1);
}

TEST_F(EditorTest, SizeDialogMakesCirclesAndDeselectsOtherKinds) {
  TQN_Path *line = addLine({0, 0}, {10, 0});
  auto e = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  e->drawEllipsePath({50, 50}, 20, 10);
  TQN_Path *ellipse = editor.doc().add(std::move(e), 0);
  ellipse->SetSelected(true);
  TShapeSizeValues v;
  v.EllipseWidth = 30.0f;
  ui.sizeAnswers.push_back(v);
  actEditShapeSizeExecute(editor);
  EXPECT_FLOAT_EQ(ellipse->FWidth, 30.0f);
  EXPECT_FLOAT_EQ(ellipse->FHeight, 30.0f);

  // The line comes first: the line tab, and the circle is deselected and left alone.
  line->SetSelected(true);
  ui.sizeAnswers.push_back(lengthOf(12.0f));
  actEditShapeSizeExecute(editor);
  EXPECT_EQ(ui.sizeTabs.back(), TShapeSizeTab::LineLength);
  EXPECT_FALSE(ellipse->FSelected);
  EXPECT_FLOAT_EQ(ellipse->FWidth, 30.0f);
  EXPECT_EQ(line->FEndPt, TPointF(12, 0));
}

TEST_F(EditorTest, ArcSizeKeepsCentreAndStartDirection) {
  auto a = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  a->drawArcPath({0, 0}, {10, 10}, {10, 0}, {0, 10}, 90.0f);
  TQN_Path *arc = editor.doc().add(std::move(a), 0);
  arc->SetSelected(true);
  TShapeSizeValues v;
  v.ArcSweep = 180.0f;
  v.ArcRadius = 20.0f;
  ui.sizeAnswers.push_back(v);
  actEditShapeSizeExecute(editor);
  EXPECT_EQ(ui.sizeTabs.back(), TShapeSizeTab::Arc);
  EXPECT_FLOAT_EQ(ui.sizeShown.back().ArcRadius, 10.0f);
  EXPECT_NEAR(arc->FStartPt.X, 20.0f, 1e-4f);
  EXPECT_NEAR(arc->FEndPt.X, -20.0f, 1e-3f);
  EXPECT_NEAR(arc->FEndPt.Y, 0.0f, 1e-3f);
  EXPECT_FLOAT_EQ(arc->FSweepAngle, 180.0f);
}

TEST_F(EditorTest, LineAngleTurnsTheLessTiedLine) {
  TQN_Path *a = addLine({0, 0}, {10, 0});
  TQN_Path *b = addLine({0, 10}, {0, 0});  // meets the joint with its end; the newer line
  for (TQN_Path *s : {a, b}) {
    editor.calcIntersectionsOfShape(s);
    s->SetSelected(true);
  }
  TShapeSizeValues v;
  v.LineAngle = 60.0f;
  ui.sizeAnswers.push_back(v);
  const std::size_t before = undoStates();
  actEditLineAngleExecute(editor);
  EXPECT_FLOAT_EQ(ui.sizeShown.back().LineAngle, 90.0f);
  // b turned: it now runs from the joint outward, 10 long, 60 degrees from a, same side.
  EXPECT_EQ(b->FStartPt, TPointF(0, 0));
  EXPECT_NEAR(b->FEndPt.X, 5.0f, 1e-3f);
  EXPECT_NEAR(b->FEndPt.Y, 8.660254f, 1e-3f);
  EXPECT_EQ(a->FEndPt, TPointF(10, 0));
  EXPECT_EQ(undoStates(), before + 1);

  // Without two joined lines the user is told what to select.
  a->SetSelected(false);
  actEditLineAngleExecute(editor);
  EXPECT_EQ(ui.boxKeys.back(), QStringLiteral("specifyAngleNeedsTwoLines"));
}

}  // namespace
}  // namespace quillon
