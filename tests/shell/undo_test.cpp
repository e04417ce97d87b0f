#include "shell/undo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <memory>
#include <vector>

#include "model/intersection.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "shell/editor.h"
#include "shell/options.h"
#include "support/scripted_ui.h"

namespace quillon {
namespace {

class UndoTest : public ::testing::Test {
 protected:
  test::TScriptedUi ui;
  TEditor editor{ui, {QStringLiteral("--instance-id"), QStringLiteral("1")}};
  TShapeList &doc() { return editor.doc().PathList(); }

  TQN_Path *addLine(TPointF a, TPointF b, bool snapshot = true) {
    auto line = std::make_unique<TQN_Path>(0, editor.pen().FCurrentColor, editor.pen().FCurrentThickness,
                                           editor.pen().FCurrentDash, doc().getNextID());
    line->drawLinePath(a, b);
    TQN_Path *s = editor.doc().add(std::move(line), editor.FActiveLayer);
    if (snapshot) takeUndoSnapshot(editor, QStringLiteral("test"));
    return s;
  }
  std::size_t undoStates() const { return editor.FUndoStore.FUndoList.size(); }
  std::size_t redoStates() const { return editor.FUndoStore.FRedoList.size(); }
};

TEST_F(UndoTest, OneEditUndoneAndRedoneWithItsSelection) {
  EXPECT_EQ(undoStates(), 1u);
  EXPECT_FALSE(canUndo(editor));
  undo(editor);  // nothing to go back to
  EXPECT_EQ(undoStates(), 1u);

  TQN_Path *line = addLine({0, 0}, {10, 0}, false);
  line->SetSelected(true);
  takeUndoSnapshot(editor, QStringLiteral("draw"));
  EXPECT_TRUE(doc().IsChanged);
  EXPECT_TRUE(canUndo(editor));

  undo(editor);
  EXPECT_EQ(doc().Count(), 0);
  EXPECT_TRUE(doc().IsChanged);  // an undone document counts as changed
  EXPECT_TRUE(canRedo(editor));

  redo(editor);
  ASSERT_EQ(doc().Count(), 1);
  EXPECT_TRUE(doc()[0]->FSelected);  // redo keeps the stored selection
  EXPECT_EQ(doc()[0]->Data().toText(), "M0,0 L10,0 ");
  undo(editor);
  redo(editor);
  undo(editor);
  addLine({1, 1}, {2, 2});
  EXPECT_FALSE(canRedo(editor));  // a new snapshot empties the redo side
}

TEST_F(UndoTest, UndoRestoresShapesUnselectedAndKeepsTheDocumentsOwnData) {
  addLine({0, 0}, {10, 0})->SetSelected(true);
  takeUndoSnapshot(editor, QStringLiteral("select"));
  addLine({0, 5}, {10, 5});
  doc().Memo = QStringLiteral("pattern notes");
  doc().PrintOffset() = {{0, 0}, {200, 0}};
  doc().PrintTarget() = {true, false};
  doc().PrintScalePos() = {0, 4};
  doc().addLayer(3, QStringLiteral("Back"), false);
  const int lastId = doc().LastID;

  undo(editor);
  ASSERT_EQ(doc().Count(), 1);
  EXPECT_FALSE(doc()[0]->FSelected);
  EXPECT_EQ(doc().Memo, "pattern notes");
  EXPECT_EQ(doc().PrintOffset().size(), 2u);
  EXPECT_EQ(doc().PrintTarget(), (std::vector<bool>{true, false}));
  EXPECT_EQ(doc().PrintScalePos(), (std::vector<int>{0, 4}));
  EXPECT_EQ(doc().Layers(), std::vector<int>{0});  // layers come from the state
  EXPECT_EQ(doc().LastID, lastId);
}

TEST_F(UndoTest, SnapshotRoundsLineEndsInTheDocument) {
  TQN_Path *line = addLine({0, 0}, {10.00004f, 3.33336f}, false);
  line->FIsFreeAngle = true;
  takeUndoSnapshot(editor, QStringLiteral("draw"));
  EXPECT_FLOAT_EQ(line->FEndPt.X, 10.0f);
  EXPECT_FLOAT_EQ(line->FEndPt.Y, 3.3334f);
  EXPECT_TRUE(line->FIsFreeAngle);
  EXPECT_FLOAT_EQ(line->FCenter.X, 5.0f);
  EXPECT_EQ(line->Data().toText(), "M0,0 L10,3.33340001106262 ");
}

TEST_F(UndoTest, IntersectionsAreRelinkedByPositionEvenWithSharedIds) {
  TQN_Path *a = addLine({0, 0}, {10, 0}, false);
  TQN_Path *b = addLine({5, -5}, {5, 5}, false);
  TQN_Path *copy = addLine({0, 8}, {10, 8}, false);
  copy->updateId(a->ID());  // a radial-repeat copy carries its source's ID
  auto *ab = new TIntersection({5, 0}, a, b);
  ab->FIsCrossing = true;
  editor.doc().FIntersections.Add(ab);
  editor.doc().FIntersections.Add(new TIntersection({5, 8}, copy, b));
  takeUndoSnapshot(editor, QStringLiteral("draw"));
  addLine({20, 20}, {30, 30});

  undo(editor);
  ASSERT_EQ(doc().Count(), 3);
  ASSERT_EQ(editor.doc().FIntersections.Count(), 2);
  EXPECT_EQ(editor.doc().FIntersections[0]->FPath1, doc()[0]);
  EXPECT_EQ(editor.doc().FIntersections[0]->FPath2, doc()[1]);
  EXPECT_TRUE(editor.doc().FIntersections[0]->FIsCrossing);
  EXPECT_EQ(editor.doc().FIntersections[1]->FPath1, doc()[2]);  // the copy, not its source
  EXPECT_EQ(editor.doc().FIntersections[1]->FPath2, doc()[1]);
}

TEST_F(UndoTest, UnchangedShapesShareTheirStoredCopy) {
  addLine({0, 0}, {10, 0}, false);
  TQN_Path *moved = addLine({0, 5}, {10, 5}, false);
  auto ellipse = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1, TStrokeDash::Solid, doc().getNextID());
  ellipse->drawEllipsePath({5, 5}, 10, 4);
  editor.doc().add(std::move(ellipse), 0);
  takeUndoSnapshot(editor, QStringLiteral("draw"));
  moved->drawLinePath({0, 6}, {10, 6});
  editor.doc().moveShape(0, 2);  // restacking: found again by ID
  takeUndoSnapshot(editor, QStringLiteral("move"));

  const auto &states = editor.FUndoStore.FUndoList;
  const TUndoState &before = states[states.size() - 2], &after = states.back();
  ASSERT_EQ(after.Shapes.size(), 3u);
  EXPECT_NE(after.Shapes[0], before.Shapes[1]);  // the moved line has a new copy
  EXPECT_FLOAT_EQ(after.Shapes[0]->FStartPt.Y, 6.0f);
  EXPECT_EQ(after.Shapes[1], before.Shapes[2]);  // the ellipse, unchanged
  EXPECT_EQ(after.Shapes[2], before.Shapes[0]);  // the first line, restacked
  // Undo brings back the old geometry of the moved line.
  undo(editor);
  EXPECT_FLOAT_EQ(doc()[1]->FStartPt.Y, 5.0f);
}

// The outline decides whether a stored copy can stand for a shape: any point that changed
// (the last one here) makes a new copy; an outline of the same values, whether they are
// the same bits (NaN included) or equal as numbers (-0 and 0), keeps the stored one.
TEST_F(UndoTest, AnOutlineChangedAnywhereGetsANewCopy) {
  const auto polyline = [](float last, float inner) {
    TPathData d;
    d.MoveTo({0, 0});
    for (int i = 1; i < 60; ++i) d.LineTo({float(i), i == 30 ? inner : float(i % 3)});
    d.LineTo({60, last});
    return d;
  };
  // Not a line: a snapshot redraws a line's outline from its rounded ends.
  auto shape = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1, TStrokeDash::Solid, doc().getNextID());
  shape->drawEllipsePath({5, 5}, 10, 4);
  TQN_Path *free = editor.doc().add(std::move(shape), 0);
  free->setData(polyline(0.0f, 0.0f));
  takeUndoSnapshot(editor, QStringLiteral("draw"));
  const auto stored = [&] { return editor.FUndoStore.FUndoList.back().Shapes[0]; };
  struct Case {
    float Last, Inner;
    bool Shared;
  } cases[] = {
      {0.0f, 0.0f, true},                                      // nothing changed
      {0.001f, 0.0f, false},                                   // the last point only
      {0.001f, -0.0f, true},                                   // -0 equals 0
      {0.001f, std::numeric_limits<float>::quiet_NaN(), false},  // 0 became NaN
      {0.001f, std::numeric_limits<float>::quiet_NaN(), true},   // the same NaN again
  };
  for (const Case &c : cases) {
    const std::shared_ptr<const TQN_Path> before = stored();
    free->setData(polyline(c.Last, c.Inner));
    takeUndoSnapshot(editor, QStringLiteral("edit"));
    EXPECT_EQ(stored() == before, c.Shared) << c.Last << " " << c.Inner;
    EXPECT_EQ(stored()->Data().Points().back().Point.Y, c.Last);
  }
}

// After every edit of a random series the stored state holds, in document order, a copy
// of each shape equal to it (as a copy made from nothing would be), with its size
// estimate; a shape the edit did not touch keeps its stored copy when no other has its ID.
// Undoing the whole series then brings back every earlier document in turn.
TEST_F(UndoTest, EachSnapshotOfARandomSeriesHoldsTheDocumentAsItIs) {
  std::mt19937 rng(21);
  const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  const auto coordinate = [&] { return std::uniform_real_distribution<float>(-50.0f, 2500.0f)(rng); };
  const auto newShape = [&] {
    auto s = std::make_unique<TQN_Path>(0, 0xFF00FFFF, 1, TStrokeDash::Solid, doc().getNextID());
    const TPointF a{coordinate(), coordinate()};
    switch (pick(3)) {
      case 0: s->drawLinePath(a, {coordinate(), coordinate()}); break;
      case 1: s->drawEllipsePath(a, 3, 2); break;
      default: s->drawBezierPath(a, a + TPointF{1, 2}, a + TPointF{3, -1}, a + TPointF{4, 0}); break;
    }
    return s;
  };
  for (int i = 0; i < 30; ++i) editor.doc().add(newShape(), 0);
  takeUndoSnapshot(editor, QStringLiteral("draw"));

  // What each state must bring back: copies of the document's shapes, unselected.
  std::vector<std::vector<std::unique_ptr<TQN_Path>>> documents;
  const auto remember = [&] {
    std::vector<std::unique_ptr<TQN_Path>> copies;
    for (const TQN_Path *s : doc()) {
      copies.emplace_back(s->createCopy());
      copies.back()->SetSelected(false);
    }
    documents.push_back(std::move(copies));
  };
  remember();

  for (int step = 0; step < 300; ++step) {
    const TUndoState &before = editor.FUndoStore.FUndoList.back();
    std::vector<const TQN_Path *> touched;
    const int n = doc().Count();
    const int edit = n < 5 ? 0 : pick(9);
    TQN_Path *target = n > 0 ? doc()[pick(n)] : nullptr;
    switch (edit) {
      case 0: touched.push_back(editor.doc().add(newShape(), 0)); break;
      case 1: touched.push_back(editor.doc().insert(pick(n + 1), newShape())); break;
      case 2: editor.doc().remove(target); break;
      case 3: editor.doc().moveShape(pick(n), pick(n)); break;
      case 4: target->FColor ^= 0x00010000u; touched.push_back(target); break;
      case 5: target->SetSelected(!target->FSelected); touched.push_back(target); break;
      case 6:  // a shape that takes the ID of another, as a repeated copy does
        target->updateId(doc()[pick(n)]->ID());
        touched.push_back(target);
        break;
      case 7: {  // one point of the outline, or the end of a line (rounded by the snapshot)
        if (target->isKind(TShapeKind::Line)) {
          target->FEndPt.X += 0.00003f;
        } else {
          TPathData outline = target->Data();
          outline.Translate(0.0f, 0.25f);
          target->setData(outline);
        }
        touched.push_back(target);
        break;
      }
      default: {  // several shapes removed at once
        std::vector<TQN_Path *> going = {target, doc()[pick(n)], doc()[pick(n)]};
        editor.doc().remove(going);
        break;
      }
    }
    std::vector<std::shared_ptr<const TQN_Path>> previousCopies = before.Shapes;
    takeUndoSnapshot(editor, QStringLiteral("edit"));
    remember();

    const TUndoState &after = editor.FUndoStore.FUndoList.back();
    ASSERT_EQ(after.Shapes.size(), static_cast<std::size_t>(doc().Count())) << step;
    EXPECT_EQ(after.Bytes, estimateSnapshotBytes(&doc(), &editor.doc().FIntersections)) << step;
    for (int i = 0; i < doc().Count(); ++i) {
      const TQN_Path &live = *doc()[i];
      ASSERT_TRUE(after.Shapes[std::size_t(i)]->sameContent(live)) << "step " << step << " shape " << i;
      // (Of copies that share an ID, which one a shape keeps is not fixed.)
      const bool ownId =
          std::count_if(doc().begin(), doc().end(), [&](const TQN_Path *s) { return s->ID() == live.ID(); }) == 1 &&
          std::count_if(previousCopies.begin(), previousCopies.end(),
                        [&](const auto &c) { return c->ID() == live.ID(); }) <= 1;
      if (!ownId || std::find(touched.begin(), touched.end(), &live) != touched.end()) continue;
      const auto same = [&](const std::shared_ptr<const TQN_Path> &c) { return c == after.Shapes[std::size_t(i)]; };
      EXPECT_TRUE(std::any_of(previousCopies.begin(), previousCopies.end(), same) ||
                  std::none_of(previousCopies.begin(), previousCopies.end(),
                               [&](const auto &c) { return c->sameContent(live); }))
          << "step " << step << " shape " << i << ": an unchanged shape got a new copy";
    }
  }

  for (std::size_t k = documents.size() - 1; k-- > 0;) {
    undo(editor);
    const std::vector<std::unique_ptr<TQN_Path>> &expected = documents[k];
    ASSERT_EQ(static_cast<std::size_t>(doc().Count()), expected.size()) << k;
    for (int i = 0; i < doc().Count(); ++i)
      EXPECT_TRUE(doc()[i]->sameContent(*expected[std::size_t(i)])) << "state " << k << " shape " << i;
  }
}

// Each stored record names the first position of each of its shapes, found in a table of
// the shapes the records name (grown as they come); a shape not in the document is -1.
TEST_F(UndoTest, StoredRecordsNameTheFirstPositionsOfTheirShapes) {
  std::vector<TQN_Path *> across, down;
  for (int i = 0; i < 40; ++i) {
    across.push_back(addLine({0, float(i)}, {50, float(i)}, false));
    down.push_back(addLine({float(i) + 0.5f, -1}, {float(i) + 0.5f, 50}, false));
  }
  for (TQN_Path *a : across)
    for (TQN_Path *d : down) editor.doc().FIntersections.Add(new TIntersection({d->FStartPt.X, a->FStartPt.Y}, a, d));
  TQN_Path outside(0, 0xFFFFFFFF, 1, TStrokeDash::Solid, 999);
  outside.drawLinePath({0, 0}, {1, 1});
  editor.doc().FIntersections.Add(new TIntersection({0, 0}, across[3], &outside));
  takeUndoSnapshot(editor, QStringLiteral("draw"));

  const TUndoState &state = editor.FUndoStore.FUndoList.back();
  const TIntersections &records = editor.doc().FIntersections;
  ASSERT_EQ(state.Intersections.size(), static_cast<std::size_t>(records.Count()));
  for (int k = 0; k < records.Count(); ++k) {
    EXPECT_EQ(state.Intersections[std::size_t(k)].Index1, doc().IndexOf(records[k]->FPath1)) << k;
    EXPECT_EQ(state.Intersections[std::size_t(k)].Index2, doc().IndexOf(records[k]->FPath2)) << k;
  }
  EXPECT_EQ(state.Intersections.back().Index2, -1);
  editor.doc().FIntersections.FreeAll();  // the record naming `outside` goes before it
}

TEST_F(UndoTest, SizeEstimate) {
  TQN_Path *line = addLine({0, 0}, {10, 0}, false);
  auto oval = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1, TStrokeDash::Solid, doc().getNextID());
  oval->drawEllipsePath({5, 5}, 10, 4);
  TQN_Path *ellipse = editor.doc().add(std::move(oval), 0);
  editor.doc().FIntersections.Add(new TIntersection({5, 0}, line, ellipse));
  const std::int64_t expected = 2 * 536 + 16 * (2 + ellipse->Data().Count()) + 72;
  EXPECT_EQ(estimateSnapshotBytes(&doc(), &editor.doc().FIntersections), expected);
  takeUndoSnapshot(editor, QStringLiteral("draw"));
  EXPECT_EQ(editor.FUndoStore.FUndoList.back().Bytes, expected);
  EXPECT_EQ(estimateSnapshotBytes(nullptr, nullptr), 0);
}

TEST_F(UndoTest, BudgetKeepsTheGuaranteedSteps) {
  struct Case {
    int guaranteed;
    bool trim;
    std::size_t kept;
  };
  for (const Case c : {Case{1, true, 2}, Case{0, true, 2}, Case{20, true, 21}, Case{20, false, 30}}) {
    editor.FOptions->GuaranteedUndoSteps = c.guaranteed;
    editor.FOptions->TrimUndoHistory = c.trim;
    auto &list = editor.FUndoStore.FUndoList;
    list.clear();
    for (int i = 0; i < 30; ++i) {
      TUndoState s;
      s.Layers = std::make_unique<TShapeList>(nullptr, QString());
      s.Bytes = 200 * 1024 * 1024;  // two states already exceed the budget
      list.push_back(std::move(s));
    }
    list.back().Bytes = 201 * 1024 * 1024;
    trimUndoHistory(editor);
    EXPECT_EQ(list.size(), c.kept) << c.guaranteed;
    EXPECT_EQ(list.back().Bytes, 201 * 1024 * 1024);  // the newest states stay
  }
  // The oldest go only until the estimate fits: 30 states of 20 MiB keep 12 (240 MiB).
  editor.FOptions->TrimUndoHistory = true;
  editor.FOptions->GuaranteedUndoSteps = 1;
  auto &states = editor.FUndoStore.FUndoList;
  states.clear();
  for (int i = 0; i < 30; ++i) {
    TUndoState s;
    s.Layers = std::make_unique<TShapeList>(nullptr, QString());
    s.Bytes = 20 * 1024 * 1024;
    states.push_back(std::move(s));
  }
  trimUndoHistory(editor);
  EXPECT_EQ(states.size(), 12u);
  // Under the budget nothing is dropped.
  editor.FOptions->TrimUndoHistory = true;
  editor.FOptions->GuaranteedUndoSteps = 1;
  auto &list = editor.FUndoStore.FUndoList;
  for (auto &s : list) s.Bytes = 1000;
  const std::size_t before = list.size();
  trimUndoHistory(editor);
  EXPECT_EQ(list.size(), before);
}

TEST_F(UndoTest, NestedGroupsGiveOneSnapshot) {
  const std::size_t before = undoStates();
  {
    TUndoGroup outer(editor);
    addLine({0, 0}, {1, 0});
    {
      TUndoGroup inner(editor);
      addLine({0, 1}, {1, 1});
    }
    EXPECT_EQ(undoStates(), before);
    addLine({0, 2}, {1, 2});
  }
  EXPECT_EQ(undoStates(), before + 1);
  { TUndoGroup empty(editor); }
  EXPECT_EQ(undoStates(), before + 1);  // nothing asked for a snapshot
  endUndoGroup(editor);                 // an extra end
  EXPECT_EQ(editor.FUndoStore.FUndoGroupDepth, 0);
  undo(editor);
  EXPECT_EQ(doc().Count(), 0);  // the whole group is one step
}

TEST_F(UndoTest, CoalescedChangesBecomeOneSnapshotAtTheFlush) {
  addLine({0, 0}, {1, 0});
  undo(editor);
  EXPECT_TRUE(canRedo(editor));
  editor.FUndoStore.FRequireSnapshotRotate = 3;
  editor.FUndoStore.FRequireSnapshotText = 1;
  EXPECT_EQ(pendingChangesText(editor), "Rotate: 3; Text: 1");
  EXPECT_TRUE(canUndo(editor));
  const std::size_t before = undoStates();
  flushPendingSnapshots(editor);
  EXPECT_EQ(undoStates(), before + 1);
  EXPECT_EQ(pendingChangesText(editor), "");
  EXPECT_FALSE(canRedo(editor));  // the flush snapshot emptied the redo side
  flushPendingSnapshots(editor);
  EXPECT_EQ(undoStates(), before + 1);
}

TEST_F(UndoTest, SelectionFingerprintFollowsSelectedShapes) {
  TQN_Path *a = addLine({1, 2}, {3, 4});
  EXPECT_EQ(selectionFingerprint(editor), 0.0);
  a->SetSelected(true);
  EXPECT_DOUBLE_EQ(selectionFingerprint(editor), 1 + 2 + 3 + 4 + a->FCenter.X + a->FCenter.Y);
}

}  // namespace
}  // namespace quillon
