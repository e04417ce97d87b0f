// Choosing tools on the left tool bar: panels, mode flags, what is cleared, the tool used
// last, the stitch-pattern display and the hot keys.
#include <gtest/gtest.h>

#include "model/shape.h"
#include "model/shape_list.h"
#include "render/paint.h"
#include "shell/editor.h"
#include "shell/options.h"
#include "shell/undo.h"
#include "support/recording_ui.h"
#include "tools/tool_change.h"

namespace quillon {
namespace {

class ToolChangeTest : public ::testing::Test {
 protected:
  test::TRecordingUi ui;
  TEditor editor{ui, {QStringLiteral("--instance-id"), QStringLiteral("1")}};

  TQN_Path *addSelectedLine(TPointF a, TPointF b) {
    auto *s = new TQN_Path(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, editor.PathList->getNextID());
    s->drawLinePath(a, b);
    s->SetSelected(true);
    editor.PathList->add(s, 0);
    return s;
  }
  // Leftovers of a drawing tool in progress.
  void leaveToolState() {
    editor.Clicked_Points = {{1.0f, 1.0f}, {2.0f, 2.0f}};
    editor.FSnapPoints = {{3.0f, 3.0f}};
    editor.FStitchIntersections.Add(new TIntersection({4.0f, 4.0f}, nullptr, nullptr));
    editor.FIsNotchMode = true;
    editor.FSplitNotSelectedWarning = true;
    editor.FShowDblClickLilneTypeChangeWarning = true;
  }
};

struct TToolCase {
  TTool Tool;
  const char *Ribbon;
  bool RightPanel;
  const char *RightTab;
  bool ShowsIntersections;
  bool Deselects;
};

// Worked out from the tool table: the ribbon tab, whether tabRight shows (stitching and
// radial repeat), intersections hidden for select, tracing image, text and leather
// simulator, and the tools that clear the selection.
const TToolCase kToolCases[] = {
    {TTool::Select, "tabTop_Home", false, "", false, false},
    {TTool::Dot, "tabTop_Home", false, "", true, false},
    {TTool::Line, "tabTop_Line", false, "", true, false},
    {TTool::Bezier, "tabTop_Home", false, "", true, false},
    {TTool::Circle, "tabTop_Ellipse", false, "", true, false},
    {TTool::Rect, "tabTop_Rect", false, "", true, false},
    {TTool::Stitch, "tabTop_Pricking", true, "TabPrickingIrons", true, true},
    {TTool::Mentori, "tabTop_Mentori", false, "", true, true},
    {TTool::Offset, "tabTop_Offset", false, "", true, true},
    {TTool::Backdrop, "tabTop_Backdrop", false, "", false, true},
    {TTool::CenterLine, "tabTop_CenterLine", false, "", true, true},
    {TTool::DistMarkLine, "tabTop_DistMarking", false, "", true, true},
    {TTool::Text, "tabTop_Text", false, "", false, true},
    {TTool::Arc, "tabTop_Arc", false, "", true, false},
    {TTool::Trimming, "tabTop_Trimming", false, "", true, true},
    {TTool::DimensionLine, "tabTop_Dimension", false, "", true, true},
    {TTool::Mandala, "tabTop_Home", true, "tabTop_Mandara", true, true},
    {TTool::LeatherSimulator, "tabTop_Home", false, "", false, false},
};

TEST_F(ToolChangeTest, EachToolShowsItsPanelsSetsItsFlagsAndClearsTheToolState) {
  for (const TToolCase &c : kToolCases) {
    SCOPED_TRACE(toolButtonName(c.Tool).toStdString());
    editor.canvas().IsMandalaMode = false;  // the radial-repeat tool leaves its mode on
    TQN_Path *line = addSelectedLine({0.0f, 0.0f}, {10.0f, 0.0f});
    leaveToolState();
    const int refreshes = ui.canvasRefreshes;

    sbToolsClick(editor, c.Tool);

    EXPECT_EQ(editor.FTool, c.Tool);
    ASSERT_FALSE(ui.toolPanels.empty());
    const TToolPanels &p = ui.toolPanels.back();
    EXPECT_EQ(p.Tool, c.Tool);
    EXPECT_EQ(p.RibbonTab, QString::fromLatin1(c.Ribbon));
    EXPECT_EQ(p.RightPanelVisible, c.RightPanel);
    EXPECT_EQ(p.RightTab, QString::fromLatin1(c.RightTab));
    EXPECT_EQ(editor.FShow_intersections, c.ShowsIntersections);
    EXPECT_EQ(line->FSelected, !c.Deselects);
    EXPECT_GT(ui.canvasRefreshes, refreshes);

    EXPECT_TRUE(editor.Clicked_Points.empty());
    EXPECT_TRUE(editor.FSnapPoints.empty());
    EXPECT_EQ(editor.FStitchIntersections.Count(), 0);
    EXPECT_FALSE(editor.FIsNotchMode);
    EXPECT_FALSE(editor.FSplitNotSelectedWarning);
    EXPECT_FALSE(editor.FShowDblClickLilneTypeChangeWarning);

    EXPECT_EQ(editor.FIsOffsetMode, c.Tool == TTool::Offset);
    EXPECT_EQ(editor.FIsMentoriMode, c.Tool == TTool::Mentori);
    EXPECT_EQ(editor.FIsStitchTool, c.Tool == TTool::Stitch);
    EXPECT_EQ(editor.FIsCenterLineMode, c.Tool == TTool::CenterLine);
  }
}

TEST_F(ToolChangeTest, TheSelectToolIsNeverRememberedAsTheToolUsedLast) {
  EXPECT_FALSE(editor.FLastUsedTool.has_value());
  sbToolsClick(editor, TTool::Select);
  EXPECT_FALSE(editor.FLastUsedTool.has_value());

  sbToolsClick(editor, TTool::Line);
  EXPECT_EQ(editor.FLastUsedTool, TTool::Line);
  switchToSelectTool(editor);
  EXPECT_EQ(editor.FTool, TTool::Select);
  EXPECT_EQ(editor.FLastUsedTool, TTool::Line);
  EXPECT_EQ(ui.toolPanels.back().RibbonTab, QStringLiteral("tabTop_Home"));

  // A switch without a sender (the button that is down) remembers nothing.
  editor.FTool = TTool::Arc;
  sbToolsClick(editor);
  EXPECT_EQ(editor.FLastUsedTool, TTool::Line);
  sbToolsClick(editor, TTool::Arc);
  EXPECT_EQ(editor.FLastUsedTool, TTool::Arc);
}

TEST_F(ToolChangeTest, ResetToSelectToolSwitchesOnlyWhenAnotherToolIsDown) {
  resetToSelectTool(editor);
  EXPECT_TRUE(ui.toolPanels.empty());  // already the select tool: nothing runs

  sbToolsClick(editor, TTool::Offset);
  ui.toolPanels.clear();
  resetToSelectTool(editor);
  EXPECT_EQ(editor.FTool, TTool::Select);
  EXPECT_FALSE(editor.FIsOffsetMode);
  ASSERT_EQ(ui.toolPanels.size(), 1u);
  EXPECT_EQ(ui.toolPanels.back().Tool, TTool::Select);
}

TEST_F(ToolChangeTest, StitchAndDimensionToolsResetTheirState) {
  editor.FStitchingCount = 5;
  sbToolsClick(editor, TTool::Stitch);
  EXPECT_EQ(editor.FStitchingCount, 0);

  editor.FShowDimensionShapes = false;
  sbToolsClick(editor, TTool::DimensionLine);
  EXPECT_TRUE(editor.FShowDimensionShapes);
}

TEST_F(ToolChangeTest, TheRadialRepeatToolLeavesItsModeOnSoTheRightPanelStays) {
  sbToolsClick(editor, TTool::Mandala);
  EXPECT_TRUE(editor.canvas().IsMandalaMode);
  EXPECT_EQ(editor.FMandalaButtonTag, 1);
  // While the mode is on, every tool keeps the right-hand panel and refreshes the enabling.
  const int before = ui.actionCalls;
  sbToolsClick(editor, TTool::Line);
  EXPECT_TRUE(ui.toolPanels.back().RightPanelVisible);
  EXPECT_EQ(ui.toolPanels.back().RightTab, QString());
  EXPECT_GT(ui.actionCalls, before);
}

TEST_F(ToolChangeTest, TheStitchPatternDisplayFollowsTheLeatherSimulator) {
  editor.FOptions->ShowStitchPattern = true;  // switched on by the user
  sbToolsClick(editor, TTool::Line);
  EXPECT_FALSE(editor.FOptions->ShowStitchPattern);
  EXPECT_FALSE(editor.FPanel.ShowStitchPattern);

  sbToolsClick(editor, TTool::LeatherSimulator);
  EXPECT_TRUE(editor.FOptions->ShowStitchPattern);
  EXPECT_TRUE(editor.FPanel.ShowStitchPattern);
  sbToolsClick(editor, TTool::Select);
  EXPECT_FALSE(editor.FOptions->ShowStitchPattern);
}

TEST_F(ToolChangeTest, AnotherToolEndsTextTypingTheTextToolDoesNot) {
  // A text being typed that has no outline yet is not a TEXT shape and not in the document.
  auto *typed = new TQN_Path(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, editor.PathList->getNextID());
  editor.FEditingText = typed;
  sbToolsClick(editor, TTool::Text);
  EXPECT_EQ(editor.FEditingText, typed);

  sbToolsClick(editor, TTool::Line);
  EXPECT_EQ(editor.FEditingText, nullptr);  // freed
}

TEST_F(ToolChangeTest, WaitingCoalescedChangesAreTakenBeforeTheSwitch) {
  addSelectedLine({0.0f, 0.0f}, {10.0f, 0.0f});
  const std::size_t states = editor.FUndoStore.FUndoList.size();
  editor.FUndoStore.FRequireSnapshotRotate = 3;
  sbToolsClick(editor, TTool::Line);
  EXPECT_EQ(editor.FUndoStore.FUndoList.size(), states + 1);
  EXPECT_FALSE(hasPendingSnapshots(editor));
}

TEST(ToolButtons, NamesHintsAndHotKeysFollowTheToolBar) {
  struct TKey {
    char Key;
    TTool Tool;
    const char *Button;
  };
  const TKey keys[] = {
      {'A', TTool::Select, "sbSelect"},        {'d', TTool::Dot, "sbDot"},
      {'L', TTool::Line, "sbLine"},            {'b', TTool::Bezier, "sbBezier"},
      {'E', TTool::Circle, "sbCircle"},        {'r', TTool::Rect, "sbRect"},
      {'P', TTool::Stitch, "sbStitch"},        {'x', TTool::Mentori, "sbMentori"},
      {'O', TTool::Offset, "sbOffset"},        {'w', TTool::Backdrop, "sbBackdrop"},
      {'C', TTool::CenterLine, "sbCenterLine"}, {'m', TTool::DistMarkLine, "sbDistMarkLine"},
      {'T', TTool::Text, "sbText"},            {'v', TTool::Arc, "sbArc"},
      {'!', TTool::Trimming, "sbTrimming"},    {'#', TTool::DimensionLine, "sbDimensionLine"},
      {'q', TTool::Mandala, "sbMandala"},      {'U', TTool::LeatherSimulator, "sbLeatherSimulator"},
  };
  for (const TKey &k : keys) {
    SCOPED_TRACE(k.Button);
    EXPECT_EQ(toolOfHotKey(QChar::fromLatin1(k.Key)), k.Tool);
    EXPECT_EQ(toolButtonName(k.Tool), QString::fromLatin1(k.Button));
    EXPECT_EQ(toolButtonHint(k.Tool), QStringLiteral("Hotkey: ") + QChar::fromLatin1(k.Key).toUpper());
  }
  for (char none : {'G', 's', 'Z', '1', '?'}) EXPECT_FALSE(toolOfHotKey(QChar::fromLatin1(none)).has_value()) << none;
}

}  // namespace
}  // namespace quillon
