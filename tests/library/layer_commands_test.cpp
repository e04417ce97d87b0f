// The layer commands and the layer list's events, through the editor as the window calls
// them: which layer is active, which shapes move, copy or go, the rows, the intersections
// and the undo steps.
#include "library/layer_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "model/intersection.h"
#include "shell/layer_list.h"
#include "shell/project_file.h"
#include "shell/selection.h"
#include "shell/undo.h"
#include "shell/view_transform.h"
#include "tools/key_commands.h"
#include "support/editor_fixture.h"

namespace quillon::test {
namespace {

class LayerCommandsTest : public EditorTest {
 protected:
  TLayerListState &list() { return editor.layers(); }
  std::vector<int> order() { return doc().Layers(); }
  std::vector<QString> rowTexts() {
    std::vector<QString> texts;
    for (const TLayerRow &row : list().Rows) texts.push_back(row.Text);
    return texts;
  }
  int shapesOn(int layer) {
    return static_cast<int>(std::count_if(doc().begin(), doc().end(), [&](auto *s) { return s->FLayerID == layer; }));
  }
  // Three layers in the order 0, 1, 2 (each added below the one before), layer 0 active.
  void threeLayers() {
    actLayer_AddNewLayerExecute(editor);  // 1 below 0
    clickRow(1);
    actLayer_AddNewLayerExecute(editor);  // 2 below 1
    clickRow(0);
    ASSERT_EQ(order(), (std::vector<int>{0, 1, 2}));
  }
  // A click on a row's text.
  void clickRow(int row) {
    lbLayersClick(editor);
    selectLayerRow(editor, row);
  }
  // The rows' state agrees with the document and the active layer after every command.
  void expectListInStep() {
    ASSERT_EQ(list().Rows.size(), doc().Layers().size());
    for (std::size_t i = 0; i < list().Rows.size(); ++i) {
      EXPECT_EQ(list().Rows[i].ID, doc().Layers()[i]);
      EXPECT_EQ(list().Rows[i].Visible, doc().GetlayerVisible(doc().Layers()[i]));
    }
    ASSERT_GE(list().Selected, 0);
    EXPECT_EQ(list().Rows[static_cast<std::size_t>(list().Selected)].ID, editor.FActiveLayer);
  }
};

TEST_F(LayerCommandsTest, ANewLayerGoesDirectlyBelowTheActiveOneWhichStaysActive) {
  threeLayers();
  clickRow(1);  // the second of three
  const std::size_t states = undoStates();
  actLayer_AddNewLayerExecute(editor);
  EXPECT_EQ(order(), (std::vector<int>{0, 1, 3, 2}));
  EXPECT_EQ(list().Rows[2].Text, QStringLiteral("Layer 4"));  // "Layer " + (ID + 1)
  EXPECT_TRUE(list().Rows[2].Visible);
  EXPECT_EQ(editor.FActiveLayer, 1);
  EXPECT_EQ(list().Selected, 1);
  EXPECT_EQ(undoStates(), states + 1);
  expectListInStep();
  // Below the last layer it is appended.
  clickRow(3);
  actLayer_AddNewLayerExecute(editor);
  EXPECT_EQ(order(), (std::vector<int>{0, 1, 3, 2, 4}));
  // One undo removes it again; the active layer is kept.
  actUndoExecute(editor);
  EXPECT_EQ(order(), (std::vector<int>{0, 1, 3, 2}));
  EXPECT_EQ(editor.FActiveLayer, 2);
  expectListInStep();
}

TEST_F(LayerCommandsTest, DeletingALayerActivatesTheOneBelowOrTheNewLast) {
  struct Case {
    const char *name;
    int row;  // the row deleted
    std::vector<int> order;
    int active;
  };
  const Case cases[] = {
      {"the middle layer: the one below it", 1, {0, 2}, 2},
      {"the first layer: the one below it", 0, {1, 2}, 1},
      {"the last layer: the new last", 2, {0, 1}, 1},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    newDocument(editor);
    threeLayers();
    clickRow(c.row);
    actLayer_DeleteLayerExecute(editor);  // empty: no question
    EXPECT_FALSE(ui.boxKeys.contains(QStringLiteral("confirmDeleteLayer")));
    EXPECT_EQ(order(), c.order);
    EXPECT_EQ(editor.FActiveLayer, c.active);
    EXPECT_EQ(list().FOldActiveLayer, c.active);
    expectListInStep();
  }
  // The last layer is never deleted.
  actLayer_DeleteLayerExecute(editor);
  actLayer_DeleteLayerExecute(editor);
  EXPECT_EQ(order().size(), 1u);
  EXPECT_FALSE(list().Actions.DeleteLayer);
}

TEST_F(LayerCommandsTest, DeletingALayerWithShapesAsksAndTakesItsShapesAndLinksToItsHoles) {
  threeLayers();
  TQN_Path *kept = addLine({0, 0}, {10, 0}, 0);
  TQN_Path *first = addHole({0, 5}, 1);
  TQN_Path *second = addHole({5, 5}, 2);
  TQN_Path *third = addHole({10, 5}, 1);
  first->FNextStitchID = second->ID();
  second->FPrevStitchID = first->ID();
  second->FNextStitchID = third->ID();
  third->FPrevStitchID = second->ID();
  clickRow(2);
  takeUndoSnapshot(editor, QStringLiteral("test"));

  ui.yesNoAnswers = {false};
  const std::size_t states = undoStates();
  actLayer_DeleteLayerExecute(editor);
  EXPECT_EQ(ui.boxKeys.back(), QStringLiteral("confirmDeleteLayer"));
  EXPECT_EQ(order().size(), 3u);
  EXPECT_EQ(doc().Count(), 4);
  EXPECT_EQ(undoStates(), states);

  ui.yesNoAnswers = {true};
  actLayer_DeleteLayerExecute(editor);
  EXPECT_EQ(order(), (std::vector<int>{0, 1}));
  EXPECT_EQ(doc().Count(), 3);
  EXPECT_EQ(doc().IndexOf(kept), 0);
  EXPECT_EQ(first->FNextStitchID, -1);
  EXPECT_EQ(third->FPrevStitchID, -1);
  EXPECT_EQ(undoStates(), states + 1);
  actUndoExecute(editor);
  EXPECT_EQ(doc().Count(), 4);
  EXPECT_EQ(order(), (std::vector<int>{0, 1, 2}));
}

TEST_F(LayerCommandsTest, RenameTakesANonEmptyNameAndAlwaysTakesAnUndoStep) {
  struct Case {
    std::optional<QString> answer;
    QString name;
  };
  const Case cases[] = {{QStringLiteral("Back panel"), QStringLiteral("Back panel")},
                        {QString(), QStringLiteral("Back panel")},
                        {std::nullopt, QStringLiteral("Back panel")},
                        {QStringLiteral(" x "), QStringLiteral(" x ")}};
  for (const Case &c : cases) {
    ui.inputAnswers = {c.answer};
    const std::size_t states = undoStates();
    actLayer_ChangeNameExecute(editor);
    EXPECT_EQ(doc().GetLayerName(0), c.name);
    EXPECT_EQ(list().Rows[0].Text, c.name);
    EXPECT_EQ(undoStates(), states + 1);
  }
}

TEST_F(LayerCommandsTest, MovingALayerIsOneUndoStepThatChangesNoShape) {
  threeLayers();
  TQN_Path *line = addLine({0, 0}, {10, 0}, 1);
  clickRow(1);
  EXPECT_TRUE(list().Actions.MoveUp && list().Actions.MoveDown && list().Actions.MergeIntoBelow);
  const std::size_t states = undoStates();
  actLayer_MoveUpExecute(editor);
  EXPECT_EQ(order(), (std::vector<int>{1, 0, 2}));
  EXPECT_EQ(editor.FActiveLayer, 1);
  EXPECT_EQ(list().Selected, 0);
  EXPECT_FALSE(list().Actions.MoveUp);
  actLayer_MoveUpExecute(editor);  // already on top: nothing
  EXPECT_EQ(undoStates(), states + 1);
  actLayer_MoveDownExecute(editor);
  actLayer_MoveDownExecute(editor);
  EXPECT_EQ(order(), (std::vector<int>{0, 2, 1}));
  EXPECT_FALSE(list().Actions.MoveDown || list().Actions.MergeIntoBelow);
  actLayer_MoveDownExecute(editor);  // already last: nothing
  EXPECT_EQ(undoStates(), states + 3);
  EXPECT_EQ(line->FLayerID, 1);
  actUndoExecute(editor);
  EXPECT_EQ(order(), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(doc().Count(), 1);
  expectListInStep();
}

TEST_F(LayerCommandsTest, AnIndependentLayerMeetsNoOtherLayerAndIsMarkedInItsRow) {
  actLayer_AddNewLayerExecute(editor);
  editor.calcIntersectionsOfShape(addLine({0, 0}, {10, 10}, 0));
  editor.calcIntersectionsOfShape(addLine({0, 10}, {10, 0}, 1));
  ASSERT_EQ(editor.doc().FIntersections.Count(), 1);
  clickRow(1);
  takeUndoSnapshot(editor, QStringLiteral("test"));
  const std::size_t states = undoStates();
  actLayer_ToggleIndependentLayerExecute(editor);
  EXPECT_TRUE(doc().GetIsIndependentLayer(1));
  EXPECT_EQ(rowTexts(), (std::vector<QString>{QStringLiteral("Layer 1"), QStringLiteral("** Layer 2 **")}));
  EXPECT_TRUE(list().Rows[1].Independent);
  EXPECT_EQ(editor.doc().FIntersections.Count(), 0);
  EXPECT_EQ(undoStates(), states + 1);
  // One undo brings back the flag and the crossing.
  actUndoExecute(editor);
  EXPECT_FALSE(doc().GetIsIndependentLayer(1));
  EXPECT_EQ(editor.doc().FIntersections.Count(), 1);
  EXPECT_EQ(rowTexts()[1], QStringLiteral("Layer 2"));
}

TEST_F(LayerCommandsTest, VisibilityByHideShowCheckBoxAndDoubleClick) {
  threeLayers();
  clickRow(1);
  std::size_t states = undoStates();
  const auto visible = [&] {
    std::vector<bool> v;
    for (const int id : order()) v.push_back(doc().GetlayerVisible(id));
    return v;
  };

  // A double click while every layer is visible changes nothing.
  lbLayersDblClick(editor);
  EXPECT_EQ(visible(), (std::vector<bool>{true, true, true}));
  // The check box of another row: that layer only, the active layer and its row stay.
  lbLayersChangeCheck(editor, 2, false);
  EXPECT_EQ(visible(), (std::vector<bool>{true, true, false}));
  EXPECT_EQ(editor.FActiveLayer, 1);
  EXPECT_EQ(list().Selected, 1);
  EXPECT_EQ(undoStates(), ++states);
  lbLayersChangeCheck(editor, 2, false);  // no change: no undo step
  EXPECT_EQ(undoStates(), states);
  // With one layer hidden a double click on a row shows only its layer.
  clickRow(0);
  lbLayersDblClick(editor);
  EXPECT_EQ(visible(), (std::vector<bool>{true, false, false}));
  EXPECT_EQ(editor.FActiveLayer, 0);

  actLayer_ShowAllLayersExecute(editor);
  EXPECT_EQ(visible(), (std::vector<bool>{true, true, true}));
  clickRow(2);
  actLayer_HideOtherLayersExecute(editor);
  EXPECT_EQ(visible(), (std::vector<bool>{false, false, true}));
  EXPECT_EQ(undoStates(), states);  // none of these is an undo step
  expectListInStep();
}

TEST_F(LayerCommandsTest, MergeKeepsTheUpperLayerAndMeetsTheLowerOnesShapes) {
  actLayer_AddNewLayerExecute(editor);
  doc().SetLayerName(0, QStringLiteral("Upper"));
  doc().SetIsIndependentLayer(1, true);
  editor.calcIntersectionsOfShape(addLine({0, 0}, {10, 10}, 0));
  TQN_Path *lower = addLine({0, 10}, {10, 0}, 1);
  editor.calcIntersectionsOfShape(lower);
  ASSERT_EQ(editor.doc().FIntersections.Count(), 0);
  rebuildLayerList(editor);
  const std::size_t states = undoStates();
  actLayer_MergeIntoBelowExecute(editor);
  EXPECT_EQ(order(), (std::vector<int>{0}));
  EXPECT_EQ(doc().GetLayerName(0), QStringLiteral("Upper"));
  EXPECT_EQ(lower->FLayerID, 0);
  EXPECT_EQ(editor.doc().FIntersections.Count(), 1);
  EXPECT_EQ(undoStates(), states + 1);
  actLayer_MergeIntoBelowExecute(editor);  // nothing below
  EXPECT_EQ(undoStates(), states + 1);
  expectListInStep();
}

TEST_F(LayerCommandsTest, FlattenLeavesOnlyTheTopLayerWhateverWasActive) {
  EXPECT_FALSE(list().Actions.FlattenAllLayers);
  threeLayers();
  doc().SetlayerVisible(0, false);
  for (const int layer : {0, 1, 2}) addLine({0, float(layer)}, {10, float(layer)}, layer);
  clickRow(2);
  EXPECT_TRUE(list().Actions.FlattenAllLayers);
  actLayer_FlattenAllLayersExecute(editor);
  EXPECT_EQ(order(), (std::vector<int>{0}));
  EXPECT_EQ(shapesOn(0), 3);
  EXPECT_EQ(editor.FActiveLayer, 0);
  EXPECT_FALSE(doc().GetlayerVisible(0));  // the top layer keeps its own flags
  EXPECT_FALSE(list().Actions.FlattenAllLayers);
  expectListInStep();
}

TEST_F(LayerCommandsTest, DuplicatingOnTheLayerBelowIsOneUndoStepOfCopies) {
  actLayer_AddNewLayerExecute(editor);
  TQN_Path *a = addLine({0, 0}, {10, 0}, 0);
  TQN_Path *b = addLine({0, 5}, {10, 5}, 0);
  TQN_Path *alone = addLine({0, 9}, {10, 9}, 0);
  a->FGroupID = b->FGroupID = 77;
  for (TQN_Path *s : {a, b, alone}) s->SetSelected(true);
  takeUndoSnapshot(editor, QStringLiteral("test"));
  const std::size_t states = undoStates();

  actLayer_DuplicateSelectedShapesOnBelowLayerExecute(editor);
  ASSERT_EQ(doc().Count(), 6);
  EXPECT_TRUE(doc().GetIsIndependentLayer(1));
  EXPECT_EQ(list().Rows[1].Text, QStringLiteral("** Layer 2 **"));
  EXPECT_EQ(editor.FActiveLayer, 1);
  EXPECT_EQ(list().Selected, 1);
  EXPECT_EQ(countSelected(editor, false, false), 0);
  const TQN_Path *copyA = doc()[3], *copyB = doc()[4], *copyAlone = doc()[5];
  for (const TQN_Path *c : {copyA, copyB, copyAlone}) {
    EXPECT_EQ(c->FLayerID, 1);
    for (const TQN_Path *s : {a, b, alone}) EXPECT_NE(c->ID(), s->ID());
  }
  EXPECT_EQ(copyA->FGroupID, copyB->FGroupID);
  EXPECT_NE(copyA->FGroupID, 77);
  EXPECT_EQ(copyAlone->FGroupID, 0);
  EXPECT_EQ(undoStates(), states + 1);

  actUndoExecute(editor);
  EXPECT_EQ(doc().Count(), 3);
  EXPECT_FALSE(doc().GetIsIndependentLayer(1));
  expectListInStep();
}

TEST_F(LayerCommandsTest, MovingTheSelectionBelowAndInMoveMode) {
  threeLayers();
  TQN_Path *line = addLine({0, 0}, {10, 0}, 0);
  TQN_Path *other = addLine({0, 5}, {10, 5}, 0);
  line->SetSelected(true);
  const std::size_t states = undoStates();
  actLayer_MoveSelectedShapesToTheLayerBelowExecute(editor);
  EXPECT_EQ(line->FLayerID, 1);
  EXPECT_EQ(other->FLayerID, 0);
  EXPECT_EQ(editor.FActiveLayer, 1);
  EXPECT_FALSE(line->FSelected);
  EXPECT_EQ(undoStates(), states + 1);

  // Move mode: the active layer's row moves nothing and the mode stays; another row
  // takes the selection and becomes active.
  line->SetSelected(true);
  actLayer_MoveToAnotherLayerExecute(editor);
  clickRow(1);
  EXPECT_TRUE(list().FIsLayerMoveMode);
  EXPECT_EQ(line->FLayerID, 1);
  clickRow(2);
  EXPECT_FALSE(list().FIsLayerMoveMode);
  EXPECT_EQ(line->FLayerID, 2);
  EXPECT_EQ(editor.FActiveLayer, 2);
  // Esc ends the mode without moving.
  line->SetSelected(true);
  actLayer_MoveToAnotherLayerExecute(editor);
  TKeyInput escape;
  escape.Key = TKey::Escape;
  FormKeyDown(editor, escape);
  EXPECT_FALSE(list().FIsLayerMoveMode);
  clickRow(0);
  EXPECT_EQ(line->FLayerID, 2);
  expectListInStep();
}

TEST_F(LayerCommandsTest, ThePointedShapesLayerBecomesActive) {
  actLayer_AddNewLayerExecute(editor);
  addLine({0, 0}, {10, 0}, 0);
  addLine({0, 20}, {10, 20}, 1);
  editor.pointer().FLastMousePos = realToVirtual(editor.view(), {5, 0});  // a shape of the active layer
  actLayer_ActivateLayerOfSelectedShapeExecute(editor);
  EXPECT_EQ(editor.FActiveLayer, 0);
  editor.pointer().FLastMousePos = realToVirtual(editor.view(), {5, 20});
  actLayer_ActivateLayerOfSelectedShapeExecute(editor);
  EXPECT_EQ(editor.FActiveLayer, 1);
  expectListInStep();
}

TEST_F(LayerCommandsTest, UndoRepairsAnActiveLayerThatNoLongerExists) {
  actLayer_AddNewLayerExecute(editor);
  clickRow(1);
  ASSERT_EQ(editor.FActiveLayer, 1);
  actUndoExecute(editor);
  EXPECT_EQ(order(), (std::vector<int>{0}));
  EXPECT_EQ(editor.FActiveLayer, 0);
  expectListInStep();
  // Ignore mode and highlighting leave the layer data alone.
  actLayer_IgnoreLayerExecute(editor);
  actLayer_HighlightShapesOnCurrentLayerExecute(editor);
  EXPECT_TRUE(editor.display().IgnoreLayer && editor.display().HighlightActiveLayer);
  EXPECT_EQ(order(), (std::vector<int>{0}));
  newDocument(editor);
  EXPECT_FALSE(editor.display().HighlightActiveLayer);
}

}  // namespace
}  // namespace quillon::test
