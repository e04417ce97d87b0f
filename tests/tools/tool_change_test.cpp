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
#include "tools/command_hooks.h"
#include "tools/tool_change.h"

namespace quillon {
namespace {

class ToolChangeTest : public ::testing::Test {
 protected:
  ToolChangeTest() { installCommandHooks(editor); }

  test::TRecordingUi ui;
  TEditor editor{ui, {QStringLiteral("--instance-id"), QStringLiteral("1")}};

  TQN_Path *addSelectedLine(TPointF a, TPointF b) {
    auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, editor.doc().PathList().getNextID());
    s->drawLinePath(a, b);
    s->SetSelected(true);
    return editor.doc().add(std::move(s), 0);
  }
  // Leftovers of a drawing tool in progress.
  void leaveToolState() {
    editor.tool().Clicked_Points = {{1.0f, 1.0f}, {2.0f, 2.0f}};
    editor.snap().FSnapPoints = {{3.0f, 3.0f}};
    editor.doc().FStitchIntersections.Add(new TIntersection({4.0f, 4.0f}, nullptr, nullptr));
    editor.tool().FIsNotchMode = true;
    editor.tool().FSplitNotSelectedWarning = true;
    editor.tool().FShowDblClickLilneTypeChangeWarning = true;
  }
};

struct TToolCase {
  TTool Tool;
  TRibbonTab Ribbon;
  bool RightPanel;
  TRightTab RightTab;
  bool ShowsIntersections;
  bool Deselects;
};

// Worked out from the tool table: the ribbon tab, whether tabRight shows (stitching and
// radial repeat), intersections hidden for select, tracing image, text and leather
// simulator, and the tools that clear the selection.
const TToolCase kToolCases[] = {
    {TTool::Select, TRibbonTab::Home, false, TRightTab::Unchanged, false, false},
    {TTool::Dot, TRibbonTab::Home, false, TRightTab::Unchanged, true, false},
    {TTool::Line, TRibbonTab::Line, false, TRightTab::Unchanged, true, false},
    {TTool::Bezier, TRibbonTab::Home, false, TRightTab::Unchanged, true, false},
    {TTool::Circle, TRibbonTab::Ellipse, false, TRightTab::Unchanged, true, false},
    {TTool::Rect, TRibbonTab::Rect, false, TRightTab::Unchanged, true, false},
    {TTool::Stitch, TRibbonTab::Pricking, true, TRightTab::PrickingIrons, true, true},
    {TTool::Mentori, TRibbonTab::Mentori, false, TRightTab::Unchanged, true, true},
    {TTool::Offset, TRibbonTab::Offset, false, TRightTab::Unchanged, true, true},
    {TTool::Backdrop, TRibbonTab::Backdrop, false, TRightTab::Unchanged, false, true},
    {TTool::CenterLine, TRibbonTab::CenterLine, false, TRightTab::Unchanged, true, true},
    {TTool::DistMarkLine, TRibbonTab::DistMarking, false, TRightTab::Unchanged, true, true},
    {TTool::Text, TRibbonTab::Text, false, TRightTab::Unchanged, false, true},
    {TTool::Arc, TRibbonTab::Arc, false, TRightTab::Unchanged, true, false},
    {TTool::Trimming, TRibbonTab::Trimming, false, TRightTab::Unchanged, true, true},
    {TTool::DimensionLine, TRibbonTab::Dimension, false, TRightTab::Unchanged, true, true},
    {TTool::Mandala, TRibbonTab::Home, true, TRightTab::Mandala, true, true},
    {TTool::LeatherSimulator, TRibbonTab::Home, false, TRightTab::Unchanged, false, false},
};

TEST_F(ToolChangeTest, EachToolShowsItsPanelsSetsItsFlagsAndClearsTheToolState) {
  for (const TToolCase &c : kToolCases) {
    SCOPED_TRACE(static_cast<int>(c.Tool));
    editor.display().IsMandalaMode = false;  // the radial-repeat tool leaves its mode on
    TQN_Path *line = addSelectedLine({0.0f, 0.0f}, {10.0f, 0.0f});
    leaveToolState();
    const int refreshes = ui.canvasRefreshes;

    sbToolsClick(editor, c.Tool);

    EXPECT_EQ(editor.tool().FTool, c.Tool);
    ASSERT_FALSE(ui.toolPanels.empty());
    const TToolPanels &p = ui.toolPanels.back();
    EXPECT_EQ(p.Tool, c.Tool);
    EXPECT_EQ(p.RibbonTab, c.Ribbon);
    EXPECT_EQ(p.RightPanelVisible, c.RightPanel);
    EXPECT_EQ(p.RightTab, c.RightTab);
    EXPECT_EQ(editor.display().FShow_intersections, c.ShowsIntersections);
    EXPECT_EQ(line->FSelected, !c.Deselects);
    EXPECT_GT(ui.canvasRefreshes, refreshes);

    EXPECT_TRUE(editor.tool().Clicked_Points.empty());
    EXPECT_TRUE(editor.snap().FSnapPoints.empty());
    EXPECT_EQ(editor.doc().FStitchIntersections.Count(), 0);
    EXPECT_FALSE(editor.tool().FIsNotchMode);
    EXPECT_FALSE(editor.tool().FSplitNotSelectedWarning);
    EXPECT_FALSE(editor.tool().FShowDblClickLilneTypeChangeWarning);

    EXPECT_EQ(editor.tool().FIsOffsetMode, c.Tool == TTool::Offset);
    EXPECT_EQ(editor.tool().FIsMentoriMode, c.Tool == TTool::Mentori);
    EXPECT_EQ(editor.tool().FIsStitchTool, c.Tool == TTool::Stitch);
    EXPECT_EQ(editor.tool().FIsCenterLineMode, c.Tool == TTool::CenterLine);
  }
}

TEST_F(ToolChangeTest, TheSelectToolIsNeverRememberedAsTheToolUsedLast) {
  EXPECT_FALSE(editor.tool().FLastUsedTool.has_value());
  sbToolsClick(editor, TTool::Select);
  EXPECT_FALSE(editor.tool().FLastUsedTool.has_value());

  sbToolsClick(editor, TTool::Line);
  EXPECT_EQ(editor.tool().FLastUsedTool, TTool::Line);
  switchToSelectTool(editor);
  EXPECT_EQ(editor.tool().FTool, TTool::Select);
  EXPECT_EQ(editor.tool().FLastUsedTool, TTool::Line);
  EXPECT_EQ(ui.toolPanels.back().RibbonTab, TRibbonTab::Home);

  // A switch without a sender (the button that is down) remembers nothing.
  editor.tool().FTool = TTool::Arc;
  sbToolsClick(editor);
  EXPECT_EQ(editor.tool().FLastUsedTool, TTool::Line);
  sbToolsClick(editor, TTool::Arc);
  EXPECT_EQ(editor.tool().FLastUsedTool, TTool::Arc);
}

TEST_F(ToolChangeTest, ResetToSelectToolSwitchesOnlyWhenAnotherToolIsDown) {
  resetToSelectTool(editor);
  EXPECT_TRUE(ui.toolPanels.empty());  // already the select tool: nothing runs

  sbToolsClick(editor, TTool::Offset);
  ui.toolPanels.clear();
  resetToSelectTool(editor);
  EXPECT_EQ(editor.tool().FTool, TTool::Select);
  EXPECT_FALSE(editor.tool().FIsOffsetMode);
  ASSERT_EQ(ui.toolPanels.size(), 1u);
  EXPECT_EQ(ui.toolPanels.back().Tool, TTool::Select);
}

TEST_F(ToolChangeTest, StitchAndDimensionToolsResetTheirState) {
  editor.tool().FStitchingCount = 5;
  sbToolsClick(editor, TTool::Stitch);
  EXPECT_EQ(editor.tool().FStitchingCount, 0);

  editor.display().FShowDimensionShapes = false;
  sbToolsClick(editor, TTool::DimensionLine);
  EXPECT_TRUE(editor.display().FShowDimensionShapes);
}

TEST_F(ToolChangeTest, TheRadialRepeatModeKeepsTheRightPanelUntilTheSelectTool) {
  sbToolsClick(editor, TTool::Mandala);
  EXPECT_TRUE(editor.display().IsMandalaMode);
  EXPECT_EQ(editor.tool().FMandalaButtonTag, 1);
  // While the mode is on, every tool keeps the right-hand panel and refreshes the enabling.
  const int before = ui.actionCalls;
  sbToolsClick(editor, TTool::Line);
  EXPECT_TRUE(ui.toolPanels.back().RightPanelVisible);
  EXPECT_EQ(ui.toolPanels.back().RightTab, TRightTab::Unchanged);
  EXPECT_GT(ui.actionCalls, before);

  // Back at the select tool the mode ends and the panel closes.
  switchToSelectTool(editor);
  EXPECT_FALSE(editor.display().IsMandalaMode);
  EXPECT_FALSE(ui.toolPanels.back().RightPanelVisible);
  sbToolsClick(editor, TTool::Line);
  EXPECT_FALSE(ui.toolPanels.back().RightPanelVisible);
}

TEST_F(ToolChangeTest, TheStitchPatternDisplayFollowsTheLeatherSimulator) {
  editor.FOptions->ShowStitchPattern = true;  // switched on by the user
  sbToolsClick(editor, TTool::Line);
  EXPECT_FALSE(editor.FOptions->ShowStitchPattern);
  EXPECT_FALSE(editor.panel().ShowStitchPattern);

  sbToolsClick(editor, TTool::LeatherSimulator);
  EXPECT_TRUE(editor.FOptions->ShowStitchPattern);
  EXPECT_TRUE(editor.panel().ShowStitchPattern);
  sbToolsClick(editor, TTool::Select);
  EXPECT_FALSE(editor.FOptions->ShowStitchPattern);
}

TEST_F(ToolChangeTest, AnotherToolEndsTextTypingTheTextToolDoesNot) {
  // A text being typed that has no outline yet is not a TEXT shape and not in the document.
  auto fresh = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, editor.doc().PathList().getNextID());
  const TQN_Path *typed = fresh.get();
  editor.tool().FEditingText.beginNew(std::move(fresh));
  sbToolsClick(editor, TTool::Text);
  EXPECT_EQ(editor.tool().FEditingText, typed);

  sbToolsClick(editor, TTool::Line);
  EXPECT_EQ(editor.tool().FEditingText, nullptr);  // freed
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
  };
  const TKey keys[] = {
      {'A', TTool::Select},     {'d', TTool::Dot},          {'L', TTool::Line},         {'b', TTool::Bezier},
      {'E', TTool::Circle},     {'r', TTool::Rect},         {'P', TTool::Stitch},       {'x', TTool::Mentori},
      {'O', TTool::Offset},     {'w', TTool::Backdrop},     {'C', TTool::CenterLine},   {'m', TTool::DistMarkLine},
      {'T', TTool::Text},       {'v', TTool::Arc},          {'!', TTool::Trimming},     {'#', TTool::DimensionLine},
      {'q', TTool::Mandala},    {'U', TTool::LeatherSimulator},
  };
  for (const TKey &k : keys) {
    SCOPED_TRACE(k.Key);
    EXPECT_EQ(toolOfHotKey(QChar::fromLatin1(k.Key)), k.Tool);
    EXPECT_EQ(toolButtonHint(k.Tool), QStringLiteral("Hotkey: ") + QChar::fromLatin1(k.Key).toUpper());
  }
  for (char none : {'G', 's', 'Z', '1', '?'}) EXPECT_FALSE(toolOfHotKey(QChar::fromLatin1(none)).has_value()) << none;
}

}  // namespace
}  // namespace quillon
