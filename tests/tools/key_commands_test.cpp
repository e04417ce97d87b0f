// The keyboard: the key table, the repeat guard of the function keys, the "+", "-" and "="
// keys, the Escape cascade, the key release and the command shortcuts.
#include <gtest/gtest.h>

#include <QKeySequence>

#include <set>

#include "model/shape.h"
#include "model/shape_list.h"
#include "shell/options.h"
#include "shell/undo.h"
#include "support/editor_fixture.h"
#include "tools/key_commands.h"
#include "tools/tool_change.h"

namespace quillon {
namespace {

using test::EditorTest;

TKeyInput keyInput(TKey key, QChar c = QChar(), TShiftState shift = 0) {
  TKeyInput in;
  in.Key = key;
  in.Char = c;
  in.Shift = shift;
  return in;
}
TKeyInput charInput(char c, TShiftState shift = 0) { return keyInput(TKey::Other, QLatin1Char(c), shift); }

struct TKeyCase {
  const char *What;
  TTool ActiveTool;
  TKeyInput Input;
  TKeyCommand Command;
  TTool Tool = TTool::Select;  // for ChooseTool
  TPointF Step;                // Pan, MoveSelection
  float Ratio = 1.0f;          // ScaleSelection
  float Angle = 0.0f;          // RotateSelection
};

TKeyCase choose(const char *what, char c, TTool tool, TTool active = TTool::Select) {
  return {what, active, charInput(c), TKeyCommand::ChooseTool, tool, {}, 1.0f, 0.0f};
}
TKeyCase act(const char *what, TKeyInput in, TKeyCommand command, TTool active = TTool::Select) {
  return {what, active, in, command, TTool::Select, {}, 1.0f, 0.0f};
}

TEST_F(EditorTest, TheKeyTableMapsEveryKeyOfTheHandlerToItsCommand) {
  const TShiftState ctrl = ssCtrl, ctrlShift = ssCtrl | ssShift, ctrlAlt = ssCtrl | ssAlt;
  const TKeyCase cases[] = {
      act("digit", charInput('7'), TKeyCommand::SelectLineType),
      act("digit with Shift and the stitching tool", charInput('7', ssShift), TKeyCommand::SelectLineType,
          TTool::Stitch),
      act("Delete", keyInput(TKey::Delete), TKeyCommand::DeleteSelection),
      act("Backspace", keyInput(TKey::Backspace), TKeyCommand::DeleteSelection),
      act("Shift", keyInput(TKey::Shift, QChar(), ssShift), TKeyCommand::ShowShift, TTool::Stitch),
      act("Shift+L with the stitching tool", charInput('L', ssShift), TKeyCommand::RefreshOnly, TTool::Stitch),
      {"Right", TTool::Select, keyInput(TKey::Right), TKeyCommand::Pan, TTool::Select, {1, 0}},
      {"Up", TTool::Select, keyInput(TKey::Up), TKeyCommand::Pan, TTool::Select, {0, -1}},
      {"Ctrl+Left", TTool::Select, keyInput(TKey::Left, QChar(), ctrl), TKeyCommand::MoveSelection, TTool::Select,
       {-1, 0}},
      {"Ctrl+Shift+Down", TTool::Select, keyInput(TKey::Down, QChar(), ctrlShift), TKeyCommand::MoveSelection,
       TTool::Select, {0, 0.1f}},
      {"Ctrl+Alt+Right", TTool::Select, keyInput(TKey::Right, QChar(), ctrlAlt), TKeyCommand::MoveSelection,
       TTool::Select, {0.01f, 0}},
      act("F5", keyInput(TKey::F5), TKeyCommand::ToggleDimensionLines),
      act("F6", keyInput(TKey::F6), TKeyCommand::ToggleStitchSimulation),
      act("F7", keyInput(TKey::F7), TKeyCommand::TogglePrintAreas),
      act("F8", keyInput(TKey::F8), TKeyCommand::SeparateTemplate),
      act("F9", keyInput(TKey::F9), TKeyCommand::ConvertToPath),
      act("F10", keyInput(TKey::F10), TKeyCommand::ConvertACopyToPath),
      {"Ctrl+Shift+]", TTool::Select, keyInput(TKey::BracketRight, QChar(), ctrlShift), TKeyCommand::ScaleSelection,
       TTool::Select, {}, 1.05f},
      {"Ctrl+Shift+[", TTool::Select, keyInput(TKey::BracketLeft, QChar(), ctrlShift), TKeyCommand::ScaleSelection,
       TTool::Select, {}, 0.95f},
      {"Ctrl+]", TTool::Select, keyInput(TKey::BracketRight, QChar(), ctrl), TKeyCommand::ScaleSelection,
       TTool::Select, {}, 1.01f},
      {"Ctrl+[", TTool::Select, keyInput(TKey::BracketLeft, QChar(), ctrl), TKeyCommand::ScaleSelection,
       TTool::Select, {}, 0.99f},
      {"]", TTool::Select, keyInput(TKey::BracketRight, QLatin1Char(']')), TKeyCommand::RotateSelection,
       TTool::Select, {}, 1, 1},
      {"[", TTool::Select, keyInput(TKey::BracketLeft, QLatin1Char('[')), TKeyCommand::RotateSelection, TTool::Select,
       {}, 1, -1},
      {"}", TTool::Select, keyInput(TKey::BracketRight, QLatin1Char('}'), ssShift), TKeyCommand::RotateSelection,
       TTool::Select, {}, 1, 5},
      {"{", TTool::Select, keyInput(TKey::BracketLeft, QLatin1Char('{'), ssShift), TKeyCommand::RotateSelection,
       TTool::Select, {}, 1, -5},
      act("+", charInput('+'), TKeyCommand::PlusKey),
      act("-", charInput('-'), TKeyCommand::MinusKey),
      act("=", charInput('='), TKeyCommand::CycleStitchDisplay),
      act(">", charInput('>'), TKeyCommand::TogglePathDirections),
      act("<", charInput('<'), TKeyCommand::TogglePathDirections),
      choose("!", '!', TTool::Trimming),
      choose("#", '#', TTool::DimensionLine),
      choose("V", 'V', TTool::Arc),
      choose("l", 'l', TTool::Line),
      choose("d", 'd', TTool::Dot),
      choose("E", 'E', TTool::Circle),
      choose("b", 'b', TTool::Bezier),
      choose("T", 'T', TTool::Text),
      choose("p", 'p', TTool::Stitch),
      choose("X", 'X', TTool::Mentori),
      choose("o", 'o', TTool::Offset),
      choose("C", 'C', TTool::CenterLine),
      choose("m", 'm', TTool::DistMarkLine),
      choose("a", 'a', TTool::Select, TTool::Line),
      choose("U", 'U', TTool::LeatherSimulator),
      choose("r", 'r', TTool::Rect),
      choose("W", 'W', TTool::Backdrop),
      act("R with the dimension tool", charInput('R'), TKeyCommand::FlipDimensionTextReverse, TTool::DimensionLine),
      act("w with the dimension tool", charInput('w'), TKeyCommand::FlipDimensionArrowOnly, TTool::DimensionLine),
      act("S with the dimension tool", charInput('S'), TKeyCommand::FlipDimensionSingleLine, TTool::DimensionLine),
      act("i with the dimension tool", charInput('i'), TKeyCommand::FlipDimensionTextInside, TTool::DimensionLine),
      act("s", charInput('s'), TKeyCommand::ToggleMeasuringRuler),
      act("I", charInput('I'), TKeyCommand::ToggleIntersections),
      act("q", charInput('q'), TKeyCommand::ToggleMandalaMode),
      act("Y", charInput('Y'), TKeyCommand::OpenRepository),
      act("*", charInput('*'), TKeyCommand::ClearAll),
      act("g", charInput('g'), TKeyCommand::ToggleGrid),
      act("H", charInput('H'), TKeyCommand::ToggleTracings),
      act("f", charInput('f'), TKeyCommand::FixMeasuringRuler),
      act("J", charInput('J'), TKeyCommand::HideAllBezierSupportLines),
      act("j", charInput('j'), TKeyCommand::ToggleBezierSupportLines),
      act("z", charInput('z'), TKeyCommand::ExtendOrTrimLines),
      act("Enter", keyInput(TKey::Enter), TKeyCommand::EditSizeOrAngle),
      act("k", charInput('k'), TKeyCommand::None),
      act("Ctrl+K (no character)", keyInput(TKey::Other, QChar(), ctrl), TKeyCommand::None),
  };
  for (const TKeyCase &c : cases) {
    SCOPED_TRACE(c.What);
    editor.tool().FTool = c.ActiveTool;
    const TKeyAction a = keyCommandOf(editor, c.Input);
    EXPECT_EQ(a.Command, c.Command);
    if (c.Command == TKeyCommand::ChooseTool) {
      EXPECT_EQ(a.Tool, c.Tool);
    }
    EXPECT_FLOAT_EQ(a.Step.X, c.Step.X);
    EXPECT_FLOAT_EQ(a.Step.Y, c.Step.Y);
    EXPECT_FLOAT_EQ(a.Ratio, c.Ratio);
    EXPECT_FLOAT_EQ(a.Angle, c.Angle);
  }
}

TEST_F(EditorTest, HotKeysRunTheirCommands) {
  // Shift+L with the stitching tool keeps the tool; without it L chooses the line tool.
  sbToolsClick(editor, TTool::Stitch);
  EXPECT_TRUE(FormKeyDown(editor, charInput('L', ssShift)));
  EXPECT_EQ(editor.tool().FTool, TTool::Stitch);
  // "7" picks line type 7 even so.
  FormKeyDown(editor, charInput('7', ssShift));
  EXPECT_EQ(editor.pen().FSelectedPalette, 6);
  FormKeyDown(editor, charInput('L'));
  EXPECT_EQ(editor.tool().FTool, TTool::Line);

  // The default settings move the drawing left on Right: the offset goes by -50 pixels.
  const TPointF offset = editor.view().FOffset;
  FormKeyDown(editor, keyInput(TKey::Right));
  EXPECT_FLOAT_EQ(editor.view().FOffset.X, offset.X - 50.0f);
  // Ctrl+Right with nothing selected neither moves nor pans.
  FormKeyDown(editor, keyInput(TKey::Right, QChar(), ssCtrl));
  EXPECT_FLOAT_EQ(editor.view().FOffset.X, offset.X - 50.0f);

  // The dimension tool's letters flip its boxes; "Inside" only while "Single Line" is on.
  sbToolsClick(editor, TTool::DimensionLine);
  FormKeyDown(editor, charInput('i'));
  EXPECT_FALSE(editor.panel().chkDms_TextInside);
  FormKeyDown(editor, charInput('s'));
  FormKeyDown(editor, charInput('i'));
  FormKeyDown(editor, charInput('R'));
  FormKeyDown(editor, charInput('W'));
  EXPECT_TRUE(editor.panel().chkDms_SingleLine);
  EXPECT_TRUE(editor.panel().chkDms_TextInside);
  EXPECT_TRUE(editor.panel().chkDms_TextReverse);
  EXPECT_TRUE(editor.panel().chkDms_ArrowOnly);
  EXPECT_EQ(editor.tool().FTool, TTool::DimensionLine);
  EXPECT_FALSE(editor.display().FShowRuler);

  // Q switches the radial-repeat mode on with its tool, and off again.
  FormKeyDown(editor, charInput('q'));
  EXPECT_EQ(editor.tool().FTool, TTool::Mandala);
  EXPECT_TRUE(editor.display().IsMandalaMode);
  FormKeyDown(editor, charInput('Q'));
  EXPECT_FALSE(editor.display().IsMandalaMode);

  // F9 joins the selected line into one path object; F8 separates it into a line again.
  TQN_Path *line = addLine({0, 0}, {10, 0});
  line->SetSelected(true);
  FormKeyDown(editor, keyInput(TKey::F9));
  ASSERT_EQ(editor.doc().PathList().Count(), 1);
  EXPECT_TRUE(editor.doc().PathList()[0]->isKind(TShapeKind::Other));
  editor.doc().PathList()[0]->SetSelected(true);
  FormKeyDown(editor, keyInput(TKey::F8));
  ASSERT_EQ(editor.doc().PathList().Count(), 1);
  EXPECT_TRUE(editor.doc().PathList()[0]->isKind(TShapeKind::Line));
}

TEST_F(EditorTest, CtrlArrowsNudgeTheSelectionWithItsIntersectionsAsOneStepEach) {
  TQN_Path *moved = addLine({0, 0}, {10, 0});
  TQN_Path *hole = addHole({2, 2});
  TQN_Path *still = addLine({12, -5}, {12, 5});
  for (TQN_Path *s : {moved, still}) editor.calcIntersectionsOfShape(s);
  ASSERT_EQ(editor.doc().FIntersections.Count(), 0);
  moved->SetSelected(true);
  hole->SetSelected(true);
  const std::size_t before = undoStates();

  // 1 mm, 0.1 mm with Shift, 0.01 mm with Alt: 1 + 1 + 0.1 + 0.01 to the right, 1 down.
  FormKeyDown(editor, keyInput(TKey::Right, QChar(), ssCtrl));
  FormKeyDown(editor, keyInput(TKey::Right, QChar(), ssCtrl));
  FormKeyDown(editor, keyInput(TKey::Right, QChar(), ssCtrl | ssShift));
  FormKeyDown(editor, keyInput(TKey::Right, QChar(), ssCtrl | ssAlt));
  FormKeyDown(editor, keyInput(TKey::Down, QChar(), ssCtrl));
  EXPECT_NEAR(moved->FStartPt.X, 2.11f, 1e-4);
  EXPECT_NEAR(moved->FEndPt.X, 12.11f, 1e-4);
  EXPECT_NEAR(moved->FEndPt.Y, 1.0f, 1e-4);
  EXPECT_NEAR(hole->FCenter.X, 4.11f, 1e-4);
  EXPECT_NEAR(hole->FCenter.Y, 3.0f, 1e-4);
  EXPECT_EQ(still->FStartPt, TPointF(12, -5));
  EXPECT_EQ(undoStates(), before + 5);
  // The moved line now crosses the one left in place: its records were made again.
  EXPECT_EQ(editor.doc().FIntersections.Count(), 1);
}

TEST_F(EditorTest, AutoRepeatedFunctionKeysToggleOnce) {
  const bool dimensions = editor.display().FShowDimensionShapes;
  const bool printAreas = editor.display().FShowPrintAreas;
  const bool simulation = editor.FOptions->ShowStitchPattern;
  // A held key repeats every 30 ms or so: each press comes well inside 400 ms.
  for (int i = 0; i < 10; ++i) {
    FormKeyDown(editor, keyInput(TKey::F5));
    FormKeyDown(editor, keyInput(TKey::F6));
    FormKeyDown(editor, keyInput(TKey::F7));
  }
  EXPECT_EQ(editor.display().FShowDimensionShapes, !dimensions);
  EXPECT_EQ(editor.display().FShowPrintAreas, !printAreas);
  EXPECT_EQ(editor.FOptions->ShowStitchPattern, !simulation);
  EXPECT_EQ(editor.panel().ShowStitchPattern, !simulation);
}

TEST_F(EditorTest, PlusAndMinusStepTheSimulatedThreadWithinOneToFive) {
  editor.FOptions->ShowStitchPattern = true;
  editor.FOptions->StitchThickness = 3.0f;
  const std::pair<char, float> steps[] = {{'+', 4}, {'+', 5}, {'+', 5}, {'-', 4}, {'-', 3},
                                          {'-', 2}, {'-', 1}, {'-', 1}};
  for (const auto &[key, thickness] : steps) {
    FormKeyDown(editor, charInput(key));
    EXPECT_FLOAT_EQ(editor.FOptions->StitchThickness, thickness) << key;
  }
  // With a template selected the keys step its opacity instead.
  auto tpl = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  tpl->drawLinePath({0, 0}, {10, 0});
  tpl->FShapeType = TShapeKind::Other;
  tpl->FOpacity = 0.5f;
  tpl->SetSelected(true);
  TQN_Path *other = editor.doc().add(std::move(tpl), 0);
  FormKeyDown(editor, charInput('+'));
  EXPECT_FLOAT_EQ(editor.FOptions->StitchThickness, 1);
  EXPECT_NEAR(other->FOpacity, 0.6f, 1e-6);
}

TEST_F(EditorTest, EqualsCyclesTheStitchDisplay) {
  using Shown = std::pair<bool, bool>;  // even, odd
  const Shown cycle[] = {{false, true}, {true, false}, {true, true}, {false, true}};
  for (const Shown &expected : cycle) {
    FormKeyDown(editor, charInput('='));
    EXPECT_EQ(Shown(editor.panel().chkShowEvenStitches, editor.panel().chkShowOddStitches), expected);
  }
  editor.panel().chkShowEvenStitches = editor.panel().chkShowOddStitches = false;
  FormKeyDown(editor, charInput('='));
  EXPECT_TRUE(editor.panel().chkShowEvenStitches && editor.panel().chkShowOddStitches);
}

TEST_F(EditorTest, EscapeCancelsTheInnermostThingFirst) {
  // The select-next-hole mode goes first, then an edge drag.
  editor.display().SelectNextStitchingHoleMode = true;
  editor.pointer().FIsEdgeDragging = true;
  TQN_Path *line = addLine({0, 0}, {10, 0});
  line->SetSelected(true);
  FormKeyDown(editor, keyInput(TKey::Escape));
  EXPECT_FALSE(editor.display().SelectNextStitchingHoleMode);
  EXPECT_TRUE(editor.pointer().FIsEdgeDragging);
  FormKeyDown(editor, keyInput(TKey::Escape));
  EXPECT_FALSE(editor.pointer().FIsEdgeDragging);
  EXPECT_FALSE(line->FSelected);

  // During a shape drag Escape does nothing.
  line->SetSelected(true);
  editor.display().FShowRuler = true;
  editor.pointer().FIsShapeDragging = true;
  FormKeyDown(editor, keyInput(TKey::Escape));
  EXPECT_TRUE(line->FSelected);
  EXPECT_TRUE(editor.display().FShowRuler);
  editor.pointer().FIsShapeDragging = false;

  // With a drawing tool: the clicked points, then the selection, then the select tool.
  sbToolsClick(editor, TTool::Line);
  line->SetSelected(true);
  editor.tool().Clicked_Points = {{1, 1}};
  FormKeyDown(editor, keyInput(TKey::Escape));
  EXPECT_FALSE(editor.display().FShowRuler);
  EXPECT_TRUE(editor.tool().Clicked_Points.empty());
  EXPECT_TRUE(line->FSelected);
  FormKeyDown(editor, keyInput(TKey::Escape));
  EXPECT_FALSE(line->FSelected);
  EXPECT_EQ(editor.tool().FTool, TTool::Line);
  FormKeyDown(editor, keyInput(TKey::Escape));
  EXPECT_EQ(editor.tool().FTool, TTool::Select);
  // With the select tool and nothing to cancel, back to the tool used last.
  FormKeyDown(editor, keyInput(TKey::Escape));
  EXPECT_EQ(editor.tool().FTool, TTool::Line);
}

TEST_F(EditorTest, EscapeEndsTheLineSymmetryModeAndGivesTheTextBoxItsTextBack) {
  TQN_Path *target = addLine({0, 0}, {10, 0});
  TQN_Path *axis = addLine({0, 5}, {10, 5});
  target->FIsSymmetryTarget = true;
  axis->SetSelected(true);
  editor.tool().FInLineSymmetryMode = true;
  FormKeyDown(editor, keyInput(TKey::Escape));
  EXPECT_FALSE(editor.tool().FInLineSymmetryMode);
  EXPECT_TRUE(target->FSelected);
  EXPECT_FALSE(target->FIsSymmetryTarget);
  EXPECT_FALSE(axis->FSelected);

  // The text box: the typed text is replaced by the text's stored text.
  auto text = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  text->drawTextPath(QStringLiteral("Stored"), {0, 0}, 10, 0, QString(), 0, 1);
  TQN_Path *shape = editor.doc().add(std::move(text), 0);
  editor.tool().FEditingText.adopt(editor.doc().take(shape));
  editor.panel().edText = QStringLiteral("Typed");
  TKeyInput escape = keyInput(TKey::Escape);
  escape.TextBoxFocused = true;
  FormKeyDown(editor, escape);
  EXPECT_EQ(editor.panel().edText, QStringLiteral("Stored"));
}

TEST_F(EditorTest, KeyReleaseTakesThePendingSnapshotAndEndsTheShiftDisplay) {
  FormKeyDown(editor, keyInput(TKey::Shift, QChar(), ssShift));
  EXPECT_TRUE(hasShift(editor.pointer().FLastShiftState));
  editor.FUndoStore.FRequireSnapshotRotate = 3;
  const std::size_t before = undoStates();
  FormKeyUp(editor, TKey::Other);
  EXPECT_EQ(undoStates(), before + 1);
  EXPECT_TRUE(hasShift(editor.pointer().FLastShiftState));
  FormKeyUp(editor, TKey::Shift);
  EXPECT_EQ(editor.pointer().FLastShiftState, 0u);
  EXPECT_EQ(undoStates(), before + 1);
}

TEST(ActionShortcuts, EveryKeyHasOneCommandAndTheSharedPairsAreSeparated) {
  std::set<QString> sequences;
  for (const TActionShortcut &row : actionShortcuts()) {
    const QKeySequence seq(QString::fromLatin1(row.Keys), QKeySequence::PortableText);
    EXPECT_FALSE(seq.isEmpty()) << row.Action;
    EXPECT_TRUE(sequences.insert(seq.toString(QKeySequence::PortableText)).second) << row.Keys << " twice";
  }
  const std::pair<const char *, const char *> expected[] = {
      {"actNewProject", "Ctrl+N"},          {"actRedo", "Ctrl+Shift+Z"},
      {"actMoveOrCopyWithSetDistance", "Ctrl+Shift+C"},
      {"actDeleteStitchingHolesOnSelectedPaths", "Ctrl+Del"},
      {"actConvertACopyToPath", "F10"},     {"actClose", "Alt+F4"},
      // The first of each pair that shared a key keeps it; the second has a free neighbour.
      {"actAlignMiddleH", "Ctrl+Alt+H"},    {"actLayer_HideOtherLayers", "Ctrl+Alt+G"},
      {"actLayer_DeleteLayer", "Ctrl+Alt+D"}, {"actLayer_DuplicateSelectedShapesOnBelowLayer", "Ctrl+Alt+S"},
  };
  for (const auto &[action, keys] : expected)
    EXPECT_EQ(shortcutOf(QString::fromLatin1(action)), QString::fromLatin1(keys)) << action;
  EXPECT_FALSE(shortcutOf(QStringLiteral("actShowAbout")).has_value());
}

}  // namespace
}  // namespace quillon
