#include "shell/groups.h"

#include <gtest/gtest.h>

#include "model/shape.h"
#include "model/shape_list.h"
#include "model/draw_pallet.h"
#include "shell/editor.h"
#include "shell/undo.h"
#include "support/editor_fixture.h"

namespace quillon {
namespace {

class GroupsTest : public test::EditorTest {
 protected:
  std::vector<TQN_Path *> order() const { return editor.doc().PathList().Items(); }
};

TEST_F(GroupsTest, CreateGroupNeedsTwoShapesAndTakesANewIdFromTheDocumentCounter) {
  TQN_Path *a = addLine({0, 0}, {1, 0});
  TQN_Path *b = addLine({0, 1}, {1, 1});
  TQN_Path *a2 = addLine({0, 2}, {1, 2});
  TQN_Path *b2 = addLine({0, 3}, {1, 3});
  a->FGroupID = a2->FGroupID = 3;
  b->FGroupID = b2->FGroupID = 4;
  const std::size_t states = undoStates();

  a->SetSelected(true);
  actCreateGroupExecute(editor);
  EXPECT_EQ(a->FGroupID, 3);
  EXPECT_EQ(undoStates(), states);

  b->SetSelected(true);
  const int lastId = doc().LastID;
  actCreateGroupExecute(editor);
  EXPECT_EQ(a->FGroupID, lastId + 1);
  EXPECT_EQ(b->FGroupID, lastId + 1);
  EXPECT_EQ(doc().LastID, lastId + 1);  // the counter moved on: no later shape gets that ID
  EXPECT_EQ(a2->FGroupID, 3);           // unselected members keep their groups
  EXPECT_EQ(b2->FGroupID, 4);
  EXPECT_EQ(undoStates(), states + 1);
  EXPECT_GT(addLine({5, 5}, {6, 6})->ID(), lastId + 1);
}

TEST_F(GroupsTest, UngroupDissolvesWholeGroupsAndSelectsTheirMembers) {
  TQN_Path *m1 = addLine({0, 0}, {1, 0});
  TQN_Path *m2 = addLine({0, 1}, {1, 1});
  TQN_Path *m3 = addLine({0, 2}, {1, 2});
  TQN_Path *other = addLine({0, 3}, {1, 3});
  m1->FGroupID = m2->FGroupID = m3->FGroupID = 7;
  other->FGroupID = 8;
  const std::size_t states = undoStates();

  // Nothing grouped is selected: no change, no snapshot.
  TQN_Path *loose = addLine({0, 9}, {1, 9});
  loose->SetSelected(true);
  actUngroupExecute(editor);
  EXPECT_EQ(m1->FGroupID, 7);
  EXPECT_EQ(undoStates(), states);

  m2->SetSelected(true);
  actUngroupExecute(editor);
  for (TQN_Path *m : {m1, m2, m3}) {
    EXPECT_EQ(m->FGroupID, 0);
    EXPECT_TRUE(m->FSelected);
  }
  EXPECT_EQ(other->FGroupID, 8);
  EXPECT_FALSE(other->FSelected);
  EXPECT_EQ(undoStates(), states + 1);
}

TEST_F(GroupsTest, WideningTheSelectionReachesHiddenLayersWithoutASnapshot) {
  doc().addLayer(1, QStringLiteral("Back"), false);
  TQN_Path *front = addLine({0, 0}, {1, 0});
  TQN_Path *back = addLine({0, 1}, {1, 1}, 1);
  TQN_Path *g2 = addLine({0, 2}, {1, 2});
  TQN_Path *g2b = addLine({0, 3}, {1, 3});
  front->FGroupID = back->FGroupID = 11;
  g2->FGroupID = g2b->FGroupID = 12;
  g2b->SetSelected(true);
  front->SetSelected(true);
  EXPECT_EQ(getSelectedGroupIds(editor), (std::vector<int>{11, 12}));  // document order
  const std::size_t states = undoStates();

  applyToSelectedGroups(editor, false);
  EXPECT_TRUE(back->FSelected);
  EXPECT_TRUE(g2->FSelected);
  EXPECT_EQ(front->FGroupID, 11);
  EXPECT_EQ(undoStates(), states);

  EXPECT_FALSE(selectGroupMembers(editor, 11, true));  // nothing left to change
  EXPECT_TRUE(selectGroupMembers(editor, 11, false));
  EXPECT_FALSE(front->FSelected);
  EXPECT_FALSE(back->FSelected);
  EXPECT_EQ(getShapesOfGroup(editor, 12), (std::vector<TQN_Path *>{g2, g2b}));
}

TEST_F(GroupsTest, BringToFrontAndSendToBack) {
  struct Case {
    bool toFront;
    std::vector<int> expected;  // indices into the original order A B C D E
  };
  const Case cases[] = {{true, {1, 3, 4, 0, 2}}, {false, {2, 0, 1, 3, 4}}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.toFront ? "front" : "back");
    editor.doc().clear();
    std::vector<TQN_Path *> s;
    for (int i = 0; i < 5; ++i) s.push_back(addLine({0, float(i)}, {1, float(i)}));
    s[0]->SetSelected(true);
    s[2]->SetSelected(true);
    TQN_Path *hole = addHole({9, 9});  // selected holes keep their place
    hole->SetSelected(true);
    const std::size_t states = undoStates();
    c.toFront ? actOrder_BringToFrontExecute(editor) : actOrder_SendToBackExecute(editor);
    std::vector<TQN_Path *> expected;
    for (int i : c.expected) expected.push_back(s[i]);
    std::vector<TQN_Path *> shapes = order();
    shapes.erase(std::find(shapes.begin(), shapes.end(), hole));
    EXPECT_EQ(shapes, expected);
    EXPECT_EQ(order()[c.toFront ? 3 : 5], hole);
    EXPECT_EQ(undoStates(), states + 1);
  }
}

TEST_F(GroupsTest, OrderOfAWidenedGroupSelection) {
  TQN_Path *a = addLine({0, 0}, {1, 0});
  TQN_Path *b = addLine({0, 1}, {1, 1});
  TQN_Path *c = addLine({0, 2}, {1, 2});
  TQN_Path *d = addLine({0, 3}, {1, 3});
  b->FGroupID = d->FGroupID = 20;
  d->SetSelected(true);
  applyToSelectedGroups(editor, false);
  actOrder_BringToFrontExecute(editor);
  EXPECT_EQ(order(), (std::vector<TQN_Path *>{a, c, b, d}));
  actOrder_SendToBackExecute(editor);
  EXPECT_EQ(order(), (std::vector<TQN_Path *>{d, b, a, c}));
}

TEST_F(GroupsTest, ARadialRepeatMovesAsAWhole) {
  TQN_Path *first = addLine({0, 0}, {1, 0});
  std::vector<TQN_Path *> members;
  for (int i = 0; i < 8; ++i) {
    members.push_back(addLine({2, float(i)}, {3, float(i)}));
    members.back()->FMandalaID = 30;
    if (i == 3) addLine({5, 5}, {6, 6});  // a stranger between the members
  }
  TQN_Path *stranger = order()[5];
  TQN_Path *last = addLine({0, 9}, {1, 9});
  members[5]->SetSelected(true);

  actOrder_BringToFrontExecute(editor);
  std::vector<TQN_Path *> expected{first, stranger, last};
  expected.insert(expected.end(), members.begin(), members.end());
  EXPECT_EQ(order(), expected);

  actOrder_SendToBackExecute(editor);  // each goes to the start in turn: reversed
  expected.assign(members.rbegin(), members.rend());
  expected.insert(expected.end(), {first, stranger, last});
  EXPECT_EQ(order(), expected);
}

TEST_F(GroupsTest, NothingToMoveTakesNoSnapshot) {
  addLine({0, 0}, {1, 0});
  const std::size_t states = undoStates();
  actOrder_BringToFrontExecute(editor);
  addHole({3, 3})->SetSelected(true);
  actOrder_SendToBackExecute(editor);
  EXPECT_EQ(undoStates(), states);
}

TEST_F(GroupsTest, GroupBoundsAreCachedUntilInvalidated) {
  TQN_Path *line = addLine({0, 0}, {10, 0});
  auto oval = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  oval->drawEllipsePath({20, 5}, 4, 2);
  TQN_Path *ellipse = editor.doc().add(std::move(oval), 0);
  line->FGroupID = ellipse->FGroupID = 40;
  takeUndoSnapshot(editor, QStringLiteral("test"));

  const TRectF box = getGroupBounds(editor, 40);
  EXPECT_FLOAT_EQ(box.Left, 0.0f);
  EXPECT_FLOAT_EQ(box.Top, 0.0f);
  EXPECT_FLOAT_EQ(box.Right, 22.0f);
  EXPECT_FLOAT_EQ(box.Bottom, 6.0f);

  // A move without invalidation leaves the cached frame; invalidation recomputes it.
  line->drawLinePath({-5, 0}, {10, 0});
  EXPECT_FLOAT_EQ(getGroupBounds(editor, 40).Left, 0.0f);
  line->SetSelected(true);
  invalidateSelectedGroupBounds(editor);
  EXPECT_FLOAT_EQ(getGroupBounds(editor, 40).Left, -5.0f);
  takeUndoSnapshot(editor, QStringLiteral("move"));

  undo(editor);  // the frame follows the restored shapes
  EXPECT_FLOAT_EQ(getGroupBounds(editor, 40).Left, 0.0f);
  redo(editor);
  EXPECT_FLOAT_EQ(getGroupBounds(editor, 40).Left, -5.0f);

  // The shape-list form drops the entries of the listed shapes' groups only.
  getGroupBounds(editor, 40);
  editor.doc().FGroupBoundary[41] = TRectF(1, 1, 2, 2);
  TQN_Path *ungrouped = addLine({0, 0}, {1, 1});
  invalidateGroupBounds(editor, std::vector<TQN_Path *>{ungrouped, doc()[0]});
  EXPECT_EQ(editor.doc().FGroupBoundary.count(40), 0u);
  EXPECT_EQ(editor.doc().FGroupBoundary.count(41), 1u);
}

TEST_F(GroupsTest, RegroupingDropsTheFrameOfTheGroupLeft) {
  TQN_Path *a = addLine({0, 0}, {10, 0});
  TQN_Path *b = addLine({0, 5}, {20, 5});
  TQN_Path *c = addLine({0, 9}, {1, 9});
  a->FGroupID = b->FGroupID = 50;
  EXPECT_FLOAT_EQ(getGroupBounds(editor, 50).Right, 20.0f);
  b->SetSelected(true);
  c->SetSelected(true);
  actCreateGroupExecute(editor);
  EXPECT_FLOAT_EQ(getGroupBounds(editor, 50).Right, 10.0f);  // only a is left in group 50
}

}  // namespace
}  // namespace quillon
