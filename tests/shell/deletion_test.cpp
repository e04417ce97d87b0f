#include "shell/deletion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "model/intersection.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "model/draw_pallet.h"
#include "shell/editor.h"
#include "shell/undo.h"
#include "support/editor_fixture.h"
#include "tools/draw_tools.h"

namespace quillon {
namespace {

class DeletionTest : public test::EditorTest {
 protected:
  void addRecord(TPointF p, TQN_Path *a, TQN_Path *b) {
    ASSERT_GE(editor.doc().FIntersections.Add(new TIntersection(p, a, b)), 0);
  }
  bool hasRecordOf(const TQN_Path *s) const {
    for (const TIntersection *ict : editor.doc().FIntersections)
      if (ict->FPath1 == s || ict->FPath2 == s) return true;
    return false;
  }
  std::vector<TQN_Path *> order() const { return editor.doc().PathList().Items(); }

  void SetUp() override { ui.boxKeys.clear(); }  // start-up may have asked its own questions
};

TEST_F(DeletionTest, DeleteRemovesOnlyActiveLayerShapesWithTheirRecordsInOneStep) {
  doc().addLayer(1, QStringLiteral("Back"), true);
  TQN_Path *a = addLine({0, 0}, {10, 0});
  TQN_Path *b = addLine({5, -5}, {5, 5}, 1);  // selected with Alt on another layer
  TQN_Path *c = addLine({0, -2}, {10, 2});
  addRecord({5, 0}, a, b);
  addRecord({5, 0.1f}, b, c);
  addRecord({0, 0}, a, c);
  a->SetSelected(true);
  b->SetSelected(true);
  editor.pointer().FFirstSelection = a;
  takeUndoSnapshot(editor, QStringLiteral("draw"));
  const std::size_t states = undoStates();

  actDeleteSelectedShapesExecute(editor);
  EXPECT_EQ(order(), (std::vector<TQN_Path *>{b, c}));
  ASSERT_EQ(editor.doc().FIntersections.Count(), 1);
  EXPECT_EQ(editor.doc().FIntersections[0]->FPath1, b);
  EXPECT_EQ(editor.doc().FIntersections[0]->FPath2, c);
  EXPECT_EQ(editor.pointer().FFirstSelection, nullptr);
  EXPECT_EQ(undoStates(), states + 1);

  // Nothing selected on the active layer: nothing changes, no snapshot.
  deleteSelectedShapes(editor);
  EXPECT_EQ(order(), (std::vector<TQN_Path *>{b, c}));
  EXPECT_EQ(undoStates(), states + 1);

  undo(editor);  // the deletion is one step
  EXPECT_EQ(doc().Count(), 3);
  EXPECT_EQ(editor.doc().FIntersections.Count(), 3);
}

TEST_F(DeletionTest, DeletingOneMemberRemovesTheRepeatOnTheActiveLayer) {
  doc().addLayer(1, QStringLiteral("Back"), true);
  TQN_Path *keep = addLine({0, 0}, {1, 0});
  for (int i = 0; i < 8; ++i) addLine({2, float(i)}, {3, float(i)})->FMandalaID = 12;
  TQN_Path *elsewhere = addLine({2, 9}, {3, 9}, 1);
  elsewhere->FMandalaID = 12;
  elsewhere->SetSelected(true);  // a selected member on another layer names the repeat

  deleteSelectedShapes(editor);
  EXPECT_EQ(order(), (std::vector<TQN_Path *>{keep, elsewhere}));
}

TEST_F(DeletionTest, TheEditedTextLeavesTheDocumentButStaysTheEditedText) {
  // A text typed with the text tool joins the document and stays the edited text.
  beginTextEntry(editor);
  editor.panel().edText = QStringLiteral("Label");
  edTextChange(editor);
  TQN_Path *text = editor.tool().FEditingText.get();
  ASSERT_NE(text, nullptr);
  ASSERT_TRUE(text->isKind(TShapeKind::Text));
  ASSERT_EQ(order(), std::vector<TQN_Path *>{text});
  text->SetSelected(true);

  deleteSelectedShapes(editor);
  EXPECT_EQ(doc().Count(), 0);
  ASSERT_EQ(editor.tool().FEditingText, text);
  EXPECT_TRUE(editor.tool().FEditingText.isOutsideDocument());
  EXPECT_EQ(text->FText, "Label");  // still a live shape
}

// Type "A", Delete, Undo: the text left the document while it was still typed, so the
// text entry holds it; undo ends the typing (freeing that text) and brings the text back
// from the history. Under LeakSanitizer nothing of it is left behind.
TEST_F(DeletionTest, UndoAfterDeletingTheTypedTextEndsTypingAndBringsTheTextBack) {
  beginTextEntry(editor);
  editor.panel().edText = QStringLiteral("A");
  edTextChange(editor);
  ASSERT_EQ(doc().Count(), 1);

  actDeleteSelectedShapesExecute(editor);
  ASSERT_EQ(doc().Count(), 0);
  ASSERT_TRUE(editor.tool().FEditingText.isOutsideDocument());

  actUndoExecute(editor);
  EXPECT_EQ(editor.tool().FEditingText.get(), nullptr);
  ASSERT_EQ(doc().Count(), 1);
  EXPECT_EQ(doc()[0]->FText, QStringLiteral("A"));
  actRedoExecute(editor);
  EXPECT_EQ(doc().Count(), 0);

  // Typing on after Delete brings the same text back into the document.
  beginTextEntry(editor);
  editor.panel().edText = QStringLiteral("B");
  edTextChange(editor);
  TQN_Path *typed = editor.tool().FEditingText.get();
  actDeleteSelectedShapesExecute(editor);
  editor.panel().edText = QStringLiteral("BC");
  edTextChange(editor);
  ASSERT_EQ(order(), std::vector<TQN_Path *>{typed});
  EXPECT_FALSE(editor.tool().FEditingText.isOutsideDocument());
  EXPECT_EQ(typed->FText, QStringLiteral("BC"));
}

TEST_F(DeletionTest, DeletingHolesRepairsTheSewingLinks) {
  TQN_Path *h1 = addHole({0, 0});
  TQN_Path *h2 = addHole({4, 0});
  TQN_Path *h3 = addHole({8, 0});
  h1->FNextStitchID = h2->ID();
  h2->FPrevStitchID = h1->ID();
  h2->FNextStitchID = h3->ID();
  h3->FPrevStitchID = h2->ID();
  h2->SetSelected(true);
  deleteSelectedShapes(editor);
  EXPECT_EQ(h1->FNextStitchID, -1);
  EXPECT_EQ(h3->FPrevStitchID, -1);
}

TEST_F(DeletionTest, RepairStitchLinks) {
  TQN_Path *a = addHole({0, 0});
  TQN_Path *b = addHole({4, 0});
  TQN_Path *c = addHole({8, 0});
  TQN_Path *d = addHole({12, 0});
  a->FNextStitchID = -1;     // lost link: b names a as its previous hole
  b->FPrevStitchID = a->ID();
  b->FNextStitchID = 9999;   // no such hole
  c->FPrevStitchID = 9998;   // no such hole
  c->FNextStitchID = d->ID();
  d->FPrevStitchID = a->ID();  // a already has a next hole after the repair: kept
  repairStitchLinks(doc());
  EXPECT_EQ(a->FNextStitchID, b->ID());
  EXPECT_EQ(b->FNextStitchID, -1);
  EXPECT_EQ(c->FPrevStitchID, -1);
  EXPECT_EQ(c->FNextStitchID, d->ID());
  EXPECT_EQ(d->FPrevStitchID, a->ID());
}

TEST_F(DeletionTest, DuplicatesOnTheSameLayerAreDeletedAndReported) {
  doc().addLayer(1, QStringLiteral("Back"), true);
  TQN_Path *first = addLine({0, 0}, {10, 0});
  TQN_Path *same = addLine({0, 0}, {10, 0});
  TQN_Path *reversed = addLine({10.004f, 0}, {0, 0.001f});  // equal after rounding to 0.01, crosswise
  TQN_Path *otherLayer = addLine({0, 0}, {10, 0}, 1);
  TQN_Path *different = addLine({0, 0}, {10, 0.01f});
  TQN_Path *crossing = addLine({5, -5}, {5, 5});
  addRecord({5, 0}, first, crossing);
  addRecord({5, 0.001f}, same, crossing);
  const std::size_t states = undoStates();

  EXPECT_EQ(deleteDuplicateShapes(editor, true), 2);
  EXPECT_EQ(doc().Count(), 6);
  EXPECT_EQ(undoStates(), states);

  actDeleteDuplicatesExecute(editor);
  EXPECT_EQ(order(), (std::vector<TQN_Path *>{first, otherLayer, different, crossing}));
  EXPECT_FALSE(hasRecordOf(same));
  EXPECT_TRUE(hasRecordOf(first));
  EXPECT_EQ(undoStates(), states + 1);
  EXPECT_EQ(ui.boxKeys, QStringList{QStringLiteral("duplicates_deleted")});
  (void)reversed;

  // Nothing left: still reported, no snapshot.
  actDeleteDuplicatesExecute(editor);
  EXPECT_EQ(ui.boxKeys.size(), 2);
  EXPECT_EQ(undoStates(), states + 1);
}

TEST_F(DeletionTest, ADuplicateInARadialRepeatRemovesTheWholeRepeatCountedOnce) {
  TQN_Path *plain = addLine({0, 0}, {10, 0});
  std::vector<TQN_Path *> members;
  for (int i = 0; i < 4; ++i) members.push_back(addLine({0, float(i)}, {10, float(i)}));
  for (TQN_Path *m : members) m->FMandalaID = 21;  // member 0 duplicates `plain`
  TQN_Path *other = addLine({0, 20}, {1, 20});
  TQN_Path *other2 = addLine({0, 20}, {1, 20});

  EXPECT_EQ(deleteDuplicateShapes(editor, false), 2);
  EXPECT_EQ(order(), (std::vector<TQN_Path *>{plain, other}));
  (void)other2;
}

TEST_F(DeletionTest, RemoveDuplicateShapesFromAPlainList) {
  auto make = [](TPointF a, TPointF b, int layer) {
    auto *s = new TQN_Path(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, 1);
    s->drawLinePath(a, b);
    s->FLayerID = layer;
    return s;
  };
  std::vector<TQN_Path *> shapes{make({0, 0}, {1, 1}, 0), make({0, 0}, {1, 1}, 3), make({1, 1}, {0, 0}, 0),
                                 make({0, 0}, {2, 2}, 0)};
  TQN_Path *kept1 = shapes[0], *kept2 = shapes[3];
  EXPECT_EQ(removeDuplicateShapes(shapes), 2);  // layers do not matter here
  EXPECT_EQ(shapes, (std::vector<TQN_Path *>{kept1, kept2}));
  for (TQN_Path *s : shapes) delete s;
}

// Shapes of every kind whose values come from a small pool: equal, equal after rounding
// to 0.01, a few floats apart (within the canvas' tolerance or just beyond it), -0 and 0,
// not a number, on two layers. The duplicates found must be exactly those that comparing
// each shape with every earlier one finds.
TEST_F(DeletionTest, DuplicatesAreThoseThatComparingEveryPairFinds) {
  std::mt19937 rng(20);
  const auto ulps = [](float v, int n) {
    for (int i = 0; i < n; ++i) v = std::nextafter(v, INFINITY);
    return v;
  };
  const float pool[] = {0.0f, -0.0f, 1.0f, 1.004f, 1.006f, ulps(1.0f, 3), ulps(1.0f, 20), ulps(1.0f, 60),
                        ulps(1.0f, 64), 1e6f, ulps(1e6f, 10), ulps(1e6f, 40), -2.5f, ulps(-2.5f, 15), NAN};
  const auto value = [&] { return pool[rng() % std::size(pool)]; };
  const auto point = [&] {
    const float x = value();
    return TPointF{x, rng() % 2 ? 1.0f : value()};
  };
  const TShapeKind kinds[] = {TShapeKind::Line, TShapeKind::Arc,  TShapeKind::Ellipse, TShapeKind::Bezier,
                              TShapeKind::Dot,  TShapeKind::Text, TShapeKind::Hole,    TShapeKind::Other,
                              TShapeKind::Unknown};
  doc().addLayer(1, QStringLiteral("Back"), true);
  std::vector<TQN_Path *> shapes;
  for (int i = 0; i < 1500; ++i) {
    auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
    s->FShapeType = kinds[rng() % std::size(kinds)];
    s->FStartPt = point();
    s->FEndPt = point();
    s->FCenter = point();
    s->FBezierCp1 = point();
    s->FBezierCp2 = point();
    s->FWidth = value();
    s->FHeight = value();
    s->FRotation = value();
    TPathData d;
    d.MoveTo(s->FStartPt);
    d.LineTo(rng() % 2 ? s->FEndPt : s->FCenter);
    s->setData(d);
    shapes.push_back(editor.doc().add(std::move(s), static_cast<int>(rng() % 2)));
  }
  const auto compareEveryPair = [&](bool sameLayer) {
    std::vector<TQN_Path *> found;
    for (std::size_t j = 0; j < shapes.size(); ++j)
      for (std::size_t i = 0; i < j; ++i)
        if ((!sameLayer || shapes[i]->FLayerID == shapes[j]->FLayerID) && shapes[i]->isIdentical(*shapes[j])) {
          found.push_back(shapes[j]);
          break;
        }
    return found;
  };
  const std::vector<TQN_Path *> onLayers = compareEveryPair(true), anywhere = compareEveryPair(false);
  ASSERT_GT(onLayers.size(), 50u);
  ASSERT_GT(anywhere.size(), onLayers.size());
  ASSERT_LT(anywhere.size(), 1400u);

  // A plain list, layers not counted: the duplicates leave it (freed), the others stay in order.
  std::vector<TQN_Path *> copies, expectedKept;
  for (TQN_Path *s : shapes) {
    copies.push_back(s->createCopy());
    if (std::find(anywhere.begin(), anywhere.end(), s) == anywhere.end()) expectedKept.push_back(copies.back());
  }
  EXPECT_EQ(removeDuplicateShapes(copies), static_cast<int>(anywhere.size()));
  EXPECT_EQ(copies, expectedKept);
  for (TQN_Path *s : copies) delete s;

  // The document, layer by layer.
  EXPECT_EQ(deleteDuplicateShapes(editor, false), static_cast<int>(onLayers.size()));
  std::vector<TQN_Path *> kept;
  for (TQN_Path *s : shapes)
    if (std::find(onLayers.begin(), onLayers.end(), s) == onLayers.end()) kept.push_back(s);
  EXPECT_EQ(order(), kept);
}

TEST_F(DeletionTest, DeleteMandalaMembersTakesEveryMemberAndItsRecords) {
  TQN_Path *a = addLine({0, 0}, {1, 0});
  TQN_Path *m1 = addLine({0, 1}, {1, 1});
  TQN_Path *m2 = addLine({0, 2}, {1, 2});
  TQN_Path *b = addLine({0, 3}, {1, 3});
  m1->FMandalaID = m2->FMandalaID = 5;
  addRecord({0.5f, 0.5f}, a, m1);
  editor.pointer().FFirstSelection = m2;
  deleteMandalaMembers(editor, 5);
  EXPECT_EQ(order(), (std::vector<TQN_Path *>{a, b}));
  EXPECT_EQ(editor.doc().FIntersections.Count(), 0);
  EXPECT_EQ(editor.pointer().FFirstSelection, nullptr);
}

TEST_F(DeletionTest, ClearAllAsksAndNoKeepsEverything) {
  TQN_Path *a = addLine({0, 0}, {10, 0});
  TQN_Path *b = addLine({5, -5}, {5, 5});
  addRecord({5, 0}, a, b);
  doc().addLayer(1, QStringLiteral("Back"), true);
  takeUndoSnapshot(editor, QStringLiteral("draw"));
  const std::size_t states = undoStates();
  const int lastId = doc().LastID;

  ui.yesNoAnswers = {false};
  btnClearAllClick(editor);
  EXPECT_EQ(ui.boxKeys, QStringList{QStringLiteral("OK2RemoveAll")});
  EXPECT_EQ(doc().Count(), 2);
  EXPECT_EQ(editor.doc().FIntersections.Count(), 1);
  EXPECT_EQ(undoStates(), states);

  ui.yesNoAnswers = {true};
  editor.tool().Clicked_Points = {{1, 1}};
  btnClearAllClick(editor);
  EXPECT_EQ(doc().Count(), 0);
  EXPECT_EQ(editor.doc().FIntersections.Count(), 0);
  EXPECT_EQ(doc().Layers(), std::vector<int>{0});
  EXPECT_TRUE(editor.tool().Clicked_Points.empty());
  EXPECT_EQ(undoStates(), states + 1);
  EXPECT_GT(addLine({0, 0}, {1, 1})->ID(), lastId);  // the ID counter is kept
  editor.doc().remove(doc()[0]);

  undo(editor);
  EXPECT_EQ(doc().Count(), 2);
  EXPECT_EQ(editor.doc().FIntersections.Count(), 1);
  EXPECT_EQ(doc().Layers(), (std::vector<int>{0, 1}));
}

TEST_F(DeletionTest, ShapeLookupsAndIntersectionQueries) {
  doc().addLayer(1, QStringLiteral("Back"), true);
  TQN_Path *a = addLine({0, 0}, {10.001f, 0});
  TQN_Path *b = addLine({10, -5}, {10, 5});
  TQN_Path *c = addLine({0, -5}, {0, 5}, 1);
  TQN_Path *twin = addLine({20, 0}, {21, 0});
  twin->updateId(b->ID());  // a radial-repeat copy shares its source's ID
  addRecord({10.001f, 0}, a, b);
  addRecord({0, 0}, a, c);

  EXPECT_EQ(findShapeById(doc(), b->ID()), b);
  EXPECT_EQ(findShapeById(doc(), 777), nullptr);
  EXPECT_EQ(countShapesOnLayer(editor, 0), 3);
  EXPECT_EQ(countShapesOnLayer(editor, 1), 1);
  EXPECT_EQ(countShapesOnLayer(editor, 2), 0);

  // Hundredths are compared after rounding, not by distance.
  struct Case {
    TPointF recordAt, query;
    bool match;
  };
  const Case cases[] = {{{10.001f, 0}, {10.004f, 0}, true}, {{10.004f, 0}, {10.006f, 0}, false}};
  for (const Case &k : cases) {
    editor.doc().FIntersections.FreeAll();
    addRecord(k.recordAt, a, b);
    EXPECT_EQ(getIntersectionsAt(editor, k.query).size(), k.match ? 1u : 0u) << k.recordAt.X << " " << k.query.X;
  }

  editor.doc().FIntersections.FreeAll();
  addRecord({0, 0}, a, c);
  addRecord({0.001f, 0}, c, twin);  // a second record at the start (rounded)
  addRecord({10, 0}, a, b);
  bool atStart = true;
  EXPECT_EQ(countIntersectionsAtOtherEnd(editor, *a, {10.001f, 0}, atStart), 2);  // given the end: counts the start
  EXPECT_FALSE(atStart);
  EXPECT_EQ(countIntersectionsAtOtherEnd(editor, *a, {0, 0}, atStart), 1);
  EXPECT_TRUE(atStart);
}

}  // namespace
}  // namespace quillon
