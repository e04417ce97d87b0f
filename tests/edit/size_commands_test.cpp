// Typed sizes applied to the selection: the length of lines, the size of ellipses and the
// opacity of templates.
#include <gtest/gtest.h>

#include "edit/size_commands.h"
#include "model/intersection.h"
#include "model/point_helpers.h"
#include "shell/undo.h"
#include "support/editor_fixture.h"

namespace quillon {
namespace {

using test::EditorTest;

TEST_F(EditorTest, TypedLengthGoesToEverySelectedLineKeepingStartAndDirection) {
  TQN_Path *a = addLine({0, 0}, {10, 0});
  TQN_Path *b = addLine({5, 5}, {5, 25});      // pointing down
  TQN_Path *c = addLine({-3, -3}, {-13, -3});  // not selected
  TQN_Path *cross = addLine({20, -5}, {20, 5});
  for (TQN_Path *s : {a, b, c, cross}) editor.calcIntersectionsOfShape(s);
  ASSERT_EQ(editor.doc().FIntersections.Count(), 0);
  a->SetSelected(true);
  b->SetSelected(true);
  const std::size_t before = undoStates();

  setSelectedLinesLength(editor, 25.0f);
  EXPECT_EQ(a->FStartPt, TPointF(0, 0));
  EXPECT_EQ(a->FEndPt, TPointF(25, 0));
  EXPECT_EQ(b->FStartPt, TPointF(5, 5));
  EXPECT_EQ(b->FEndPt, TPointF(5, 30));
  EXPECT_EQ(c->FEndPt, TPointF(-13, -3));
  EXPECT_EQ(undoStates(), before + 1);
  // The longer line now crosses the vertical one: its records were made again.
  EXPECT_EQ(editor.doc().FIntersections.Count(), 1);

  // The same length again changes nothing and takes no step.
  setSelectedLinesLength(editor, 25.0f);
  EXPECT_EQ(undoStates(), before + 1);
}

TEST_F(EditorTest, TypedSizeRebuildsTheSelectedEllipsesAboutTheirCentres) {
  auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  s->drawEllipsePath({10, 10}, 20, 10);
  s->SetSelected(true);
  TQN_Path *ellipse = editor.doc().add(std::move(s), 0);
  const std::size_t before = undoStates();

  setSelectedEllipsesSize(editor, 0.0f, 0.0f);  // no size: nothing to draw
  EXPECT_FLOAT_EQ(ellipse->FWidth, 20);
  EXPECT_EQ(undoStates(), before);

  setSelectedEllipsesSize(editor, 30.0f, 30.0f);
  EXPECT_FLOAT_EQ(ellipse->FWidth, 30);
  EXPECT_FLOAT_EQ(ellipse->FHeight, 30);
  EXPECT_EQ(ellipse->GetCenter(), TPointF(10, 10));
  EXPECT_EQ(undoStates(), before + 1);
}

TEST_F(EditorTest, TemplateOpacityStepsWithinItsLimits) {
  auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  s->drawLinePath({0, 0}, {10, 0});
  s->FShapeType = TShapeKind::Other;
  s->FOpacity = 0.95f;
  s->SetSelected(true);
  TQN_Path *tpl = editor.doc().add(std::move(s), 0);
  const std::size_t before = undoStates();
  changeTemplateOpacity(editor, true);
  EXPECT_FLOAT_EQ(tpl->FOpacity, 1.0f);
  changeTemplateOpacity(editor, true);  // already at the top: no step
  EXPECT_EQ(undoStates(), before + 1);
  for (int i = 0; i < 10; ++i) changeTemplateOpacity(editor, false);
  EXPECT_FLOAT_EQ(tpl->FOpacity, 0.2f);
}

}  // namespace
}  // namespace quillon
