// The commands behind the ribbon's boxes: the ellipse size Enter hands on, and the text
// being typed laid out again when its settings change.
#include <gtest/gtest.h>

#include "model/shape.h"
#include "shell/undo.h"
#include "support/editor_fixture.h"
#include "tools/panel_commands.h"

namespace quillon {
namespace {

using test::EditorTest;

TEST(EllipseSizeOfPanel, FollowsTheTickedBoxes) {
  struct Case {
    bool X, Y;
    TPointF Size;
  };
  const Case cases[] = {{true, false, {12.3457f, 12.3457f}},
                        {false, true, {7.5f, 7.5f}},
                        {true, true, {12.3457f, 7.5f}},
                        {false, false, {0, 0}}};
  for (const Case &c : cases) {
    TPanelValues panel;
    panel.nbEllipseXlen1 = 12.345678f;  // rounded to 0.0001 mm
    panel.nbEllipseYlen1 = 7.5f;
    panel.chkEllipseXlen = c.X;
    panel.chkEllipseYlen = c.Y;
    const TPointF size = ellipseSizeOfPanel(panel);
    EXPECT_NEAR(size.X, c.Size.X, 1e-5) << c.X << c.Y;
    EXPECT_NEAR(size.Y, c.Size.Y, 1e-5) << c.X << c.Y;
  }
}

TEST_F(EditorTest, TextSettingsLayTheTypedTextOutAgainAsOneUndoStep) {
  EXPECT_FALSE(rebuildEditedText(editor));  // nothing typed

  auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  s->drawTextPath(QStringLiteral("Hi"), {0, 0}, editor.panel().TextFontSize, 0, editor.panel().FontNames.value(0),
                  0, 1);
  TQN_Path *text = editor.doc().add(std::move(s), 0);
  editor.panel().SelectedFontIndex = editor.panel().FontNames.isEmpty() ? -1 : 0;
  editor.tool().FEditingText.adopt(editor.doc().take(text));
  editor.doc().add(editor.tool().FEditingText.release(), 0);
  takeUndoSnapshot(editor, QStringLiteral("typed"));
  const std::size_t before = undoStates();
  const float width = text->FWidth;

  EXPECT_FALSE(rebuildEditedText(editor));  // the panel matches the text
  editor.panel().TextFontSize = 20;
  EXPECT_TRUE(rebuildEditedText(editor));
  editor.panel().nbTextRotation = 45;
  editor.panel().chkTextFill = false;
  EXPECT_TRUE(rebuildEditedText(editor));
  EXPECT_FLOAT_EQ(text->FFontSize, 20);
  EXPECT_FLOAT_EQ(text->FRotation, 45);
  EXPECT_FALSE(text->FTextFill);
  EXPECT_GT(text->FWidth, width * 1.5f);
  EXPECT_EQ(editor.FUndoStore.FRequireSnapshotText, 2);
  EXPECT_EQ(undoStates(), before);

  flushPendingSnapshots(editor);
  EXPECT_EQ(undoStates(), before + 1);
  actUndoExecute(editor);
  const TQN_Path *restored = doc()[0];
  EXPECT_FLOAT_EQ(restored->FFontSize, 10);
  EXPECT_FLOAT_EQ(restored->FRotation, 0);
}

}  // namespace
}  // namespace quillon
