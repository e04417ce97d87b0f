// The handle commands across a joint, the G1 and G2 chain smoothing and the offset
// support switch.
#include <gtest/gtest.h>

#include <cmath>

#include "edit/bezier_handles.h"
#include "model/point_helpers.h"
#include "shell/undo.h"
#include "support/editor_fixture.h"
#include "support/near_points.h"

namespace quillon {
namespace {

using test::EditorTest;
using test::expectNear;

class BezierTest : public EditorTest {
 protected:
  TQN_Path *addBezier(TPointF p0, TPointF p1, TPointF p2, TPointF p3) {
    auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
    s->drawBezierPath(p0, p1, p2, p3);
    return editor.doc().add(std::move(s), 0);
  }
  void editHandle(TQN_Path *bezier, bool cp1) { editor.pointer().FBezierEditInfo = {true, bezier, cp1}; }
};

TEST_F(BezierTest, HandleCommandsAcrossTheJoint) {
  TQN_Path *e = addBezier({0, 0}, {5, 5}, {10, 4}, {10, 0});    // edited handle (10,4) at joint (10,0)
  TQN_Path *n = addBezier({10, 0}, {13, 0}, {20, 5}, {20, 10});  // opposite handle (13,0), length 3
  editHandle(e, false);
  adjustOpponentHandle(editor, TOpponentHandle::Flat);
  expectNear(n->FBezierCp1, {10, -3});  // on the edited handle's line, its own length
  editHandle(e, false);
  adjustOpponentHandle(editor, TOpponentHandle::SameLength);
  expectNear(n->FBezierCp1, {10, -4});
  n->drawBezierPath(n->FStartPt, {12, 2}, n->FBezierCp2, n->FEndPt);
  editHandle(e, false);
  const std::size_t before = undoStates();
  adjustOpponentHandle(editor, TOpponentHandle::Symmetric);
  expectNear(n->FBezierCp1, {10, -4});
  EXPECT_EQ(undoStates(), before + 1);
  EXPECT_FALSE(editor.pointer().FBezierEditInfo.IsBezierEditing);
}

TEST_F(BezierTest, SymmetricHandleReplacesALineWhenNoBezierContinues) {
  TQN_Path *e = addBezier({0, 0}, {5, 5}, {10, 4}, {10, 0});
  TQN_Path *line = addLine({30, 30}, {10, 0});
  editHandle(e, false);
  adjustOpponentHandle(editor, TOpponentHandle::Symmetric);
  EXPECT_EQ(line->FStartPt, TPointF(10, 0));
  expectNear(line->FEndPt, {10, -4});

  // Two unselected Beziers at the joint: neither qualifies, nothing changes.
  TQN_Path *b1 = addBezier({10, 0}, {11, 1}, {12, 2}, {13, 3});
  TQN_Path *b2 = addBezier({10, 0}, {9, 1}, {8, 2}, {7, 3});
  editHandle(e, false);
  const std::size_t before = undoStates();
  adjustOpponentHandle(editor, TOpponentHandle::Flat);
  EXPECT_EQ(undoStates(), before);
  b2->SetSelected(true);
  editHandle(e, false);
  adjustOpponentHandle(editor, TOpponentHandle::Flat);
  EXPECT_EQ(undoStates(), before + 1);
  EXPECT_EQ(b1->FBezierCp1, TPointF(11, 1));
}

TEST_F(BezierTest, G1TurnsHandlesToTheFixedNeighbours) {
  TQN_Path *l1 = addLine({-10, 0}, {0, 0});
  TQN_Path *b = addBezier({0, 0}, {3, 4}, {17, 4}, {20, 0});
  TQN_Path *l2 = addLine({20, 0}, {20, 10});
  const TSmoothResult r = smoothChain(editor, {l1, b, l2}, false);
  EXPECT_EQ(r.UpdatedCount, 2);
  EXPECT_FALSE(r.ClosedLoop);
  EXPECT_EQ(r.ChainLength, 3);
  expectNear(b->FBezierCp1, {5, 0});    // along the first line, length 5 kept
  expectNear(b->FBezierCp2, {20, -5});  // continuing into the vertical line
  EXPECT_EQ(l2->FEndPt, TPointF(20, 10));
  EXPECT_EQ(smoothReplyText(r), R"({"ok":true,"updatedCount":2,"closedLoop":false,"chainLength":3})");
}

TEST_F(BezierTest, G2BalancesHandleLengthsAtBezierJoints) {
  TQN_Path *a = addBezier({-10, 0}, {-8, 3}, {-2, 0}, {0, 0});  // handle length 2
  TQN_Path *b = addBezier({0, 0}, {4, 0}, {8, 3}, {10, 0});      // handle length 4
  const TSmoothResult r = smoothChain(editor, {a, b}, true);
  expectNear(a->FBezierCp2, {-3, 0});
  expectNear(b->FBezierCp1, {3, 0});
  EXPECT_GE(r.UpdatedCount, 2);
}

TEST_F(BezierTest, ReversedJointTakesTheXAxisAndOneShapeHasNoJoint) {
  TQN_Path *a = addBezier({-10, 0}, {-5, 5}, {0, 3}, {0, 0});  // arrives going up
  TQN_Path *b = addBezier({0, 0}, {0, 2}, {5, 5}, {10, 0});    // leaves going down
  const TSmoothResult r = smoothChain(editor, {a, b}, false);
  expectNear(a->FBezierCp2, {-3, 0});
  expectNear(b->FBezierCp1, {2, 0});
  // Two shapes that share one end count as a loop: the joint is visited twice, the second
  // time putting the handles back where the first put them.
  EXPECT_TRUE(r.ClosedLoop);
  EXPECT_EQ(r.UpdatedCount, 4);
  const std::size_t before = undoStates();
  const TSmoothResult one = smoothChain(editor, {a}, false);
  EXPECT_EQ(one.UpdatedCount, 0);
  EXPECT_EQ(one.ChainLength, 1);
  EXPECT_EQ(undoStates(), before + 1);  // a snapshot all the same
}

TEST_F(BezierTest, SmoothingCommandShowsTheReplyAndOffsetSupportToggles) {
  TQN_Path *b1 = addBezier({0, 0}, {1, 1}, {2, 1}, {3, 0});
  TQN_Path *b2 = addBezier({10, 0}, {11, 1}, {12, 1}, {13, 0});
  b1->FShowBezierOffsetSupport = true;
  for (TQN_Path *s : {b1, b2}) s->SetSelected(true);
  actShowHideBezierOffsetSupportExecute(editor);
  EXPECT_FALSE(b1->FShowBezierOffsetSupport);
  EXPECT_TRUE(b2->FShowBezierOffsetSupport);
  actBezierSmoothingExecute(editor, false);
  EXPECT_EQ(editor.FIDText, QStringLiteral(R"({"ok":true,"updatedCount":0,"closedLoop":false,"chainLength":2})"));
}

}  // namespace
}  // namespace quillon
