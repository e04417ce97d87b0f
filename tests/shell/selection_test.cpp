#include "shell/selection.h"

#include <gtest/gtest.h>

#include <set>

#include "model/shape.h"
#include "model/shape_list.h"
#include "model/draw_pallet.h"
#include "shell/editor.h"
#include "shell/options.h"
#include "support/editor_fixture.h"
#include "tools/draw_tools.h"

namespace quillon {
namespace {

class SelectionTest : public test::EditorTest {
 protected:
  TQN_Path *addDot(TPointF c, int layer = 0) {
    auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
    s->drawDotPath(c, 0.5f);
    return editor.doc().add(std::move(s), layer);
  }
  // A text typed with the text tool: it joins the document and stays the edited text.
  TQN_Path *typeText(const QString &typed) {
    beginTextEntry(editor);
    editor.panel().edText = typed;
    edTextChange(editor);
    TQN_Path *text = editor.tool().FEditingText.get();
    EXPECT_NE(text, nullptr);
    EXPECT_GE(doc().IndexOf(text), 0);
    return text;
  }
  void hidePallet(int index) { editor.pen().FPalletList[static_cast<std::size_t>(index)]->FIsVisible = false; }
  std::set<const TQN_Path *> selected() {
    std::set<const TQN_Path *> out;
    for (const TQN_Path *s : doc())
      if (s->FSelected) out.insert(s);
    return out;
  }
};

TEST_F(SelectionTest, RadialRepeatOfEightCountsEightButListsOneMember) {
  TQN_Path *plain = addLine({0, 0}, {10, 0});
  std::vector<TQN_Path *> members;
  for (int i = 0; i < 8; ++i) {
    TQN_Path *m = addLine({0, float(i + 1)}, {5, float(i + 1)});
    m->FMandalaID = 42;
    m->FMandalaSectionID = i;
    members.push_back(m);
  }
  TQN_Path *dot = addDot({3, 3});
  TQN_Path *hole = addHole({4, 4});
  members[0]->SetSelected(false);  // the first selected member stands for the repeat
  for (int i = 1; i < 8; ++i) members[i]->SetSelected(true);
  plain->SetSelected(true);
  dot->SetSelected(true);
  hole->SetSelected(true);

  EXPECT_EQ(countSelected(editor, false, false), 10);
  EXPECT_EQ(countSelected(editor, true, true), 8);
  EXPECT_EQ(getSelectedPaths(editor, false, false), (std::vector<TQN_Path *>{plain, members[1], dot, hole}));
  EXPECT_EQ(getSelectedPaths(editor, true, false), (std::vector<TQN_Path *>{plain, members[1], hole}));
  EXPECT_EQ(getSelectedPaths(editor, true, true), (std::vector<TQN_Path *>{plain, members[1]}));

  // Members with no positive repeat ID each stand for themselves.
  members[2]->FMandalaID = 0;
  members[3]->FMandalaID = 0;
  EXPECT_EQ(getSelectedPaths(editor, true, true), (std::vector<TQN_Path *>{plain, members[1], members[2], members[3]}));

  int lines = 0;
  EXPECT_TRUE(countSelectedOfKind(editor, TShapeKind::Line, lines));
  EXPECT_EQ(lines, 8);
  int texts = -1;
  EXPECT_FALSE(countSelectedOfKind(editor, TShapeKind::Text, texts));
  EXPECT_EQ(texts, 0);
}

TEST_F(SelectionTest, SelectAllTakesTheActiveVisibleLayerAndVisibleLineTypesOnly) {
  doc().addLayer(1, QStringLiteral("Back"), true);
  TQN_Path *a = addLine({0, 0}, {10, 0});
  TQN_Path *hiddenType = addLine({0, 1}, {10, 1}, 0, 3);
  TQN_Path *otherLayer = addLine({0, 2}, {10, 2}, 1);
  TQN_Path *hole = addHole({5, 5});
  hidePallet(3);

  actSelectAllExecute(editor);
  EXPECT_EQ(selected(), (std::set<const TQN_Path *>{a, hole}));
  EXPECT_FALSE(hiddenType->FSelected);
  EXPECT_FALSE(otherLayer->FSelected);

  // Hiding the holes' line type hides every hole.
  deselectAll(editor);
  hidePallet(kStitchingHolePalletIndex);
  actSelectAllExecute(editor);
  EXPECT_EQ(selected(), (std::set<const TQN_Path *>{a}));

  // A hidden active layer: nothing.
  deselectAll(editor);
  doc().SetlayerVisible(0, false);
  actSelectAllExecute(editor);
  EXPECT_TRUE(selected().empty());

  // The other layer once active.
  doc().SetlayerVisible(0, true);
  editor.FActiveLayer = 1;
  actSelectAllExecute(editor);
  EXPECT_EQ(selected(), (std::set<const TQN_Path *>{otherLayer}));
}

// The rectangle (10,10)-(20,20) over: A inside; B partly inside; C inside on layer 1;
// H a hole inside; D inside with a hidden line type; F inside with a hidden line type but
// a leather-catalog fill; E outside, selected before.
class SelectionRangeTest : public SelectionTest {
 protected:
  void SetUp() override {
    doc().addLayer(1, QStringLiteral("Back"), true);
    A = addLine({12, 12}, {18, 12});
    B = addLine({15, 15}, {25, 15});
    C = addLine({12, 14}, {18, 14}, 1);
    H = addHole({15, 18});
    D = addLine({12, 16}, {18, 16}, 0, 5);
    F = addLine({12, 17}, {18, 17}, 0, 5);
    F->FCatalogGUID = TGUID::newGuid();
    E = addLine({30, 30}, {40, 30});
    hidePallet(5);
  }

 public:  // named by member pointer in the case table
  TQN_Path *A, *B, *C, *H, *D, *F, *E;
};

TEST_F(SelectionRangeTest, KeysAndDragDirection) {
  struct Case {
    const char *name;
    TPointF c1, c2;
    TSelectKeys keys;
    std::vector<TQN_Path *SelectionRangeTest::*> expected;
  };
  using T = SelectionRangeTest;
  const Case cases[] = {
      {"down-right", {10, 10}, {20, 20}, {}, {&T::A, &T::H, &T::F}},
      {"up-left", {20, 20}, {10, 10}, {}, {&T::A, &T::H, &T::F}},
      {"up-right", {10, 20}, {20, 10}, {}, {&T::A, &T::H, &T::F}},
      {"ctrl keeps", {10, 10}, {20, 20}, {false, true, false}, {&T::A, &T::H, &T::F, &T::E}},
      {"alt every layer", {10, 10}, {20, 20}, {false, false, true}, {&T::A, &T::C, &T::H, &T::D, &T::F}},
      {"shift holes", {10, 10}, {20, 20}, {true, false, false}, {&T::H}},
      {"shift alt", {10, 10}, {20, 20}, {true, false, true}, {&T::A, &T::C, &T::H, &T::D, &T::F}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    deselectAll(editor);
    E->SetSelected(true);
    selectShapesInRect(editor, c.c1, c.c2, c.keys);
    std::set<const TQN_Path *> expected;
    for (auto member : c.expected) expected.insert(this->*member);
    EXPECT_EQ(selected(), expected);
  }
}

TEST_F(SelectionRangeTest, AltSkipsHiddenLayers) {
  doc().SetlayerVisible(1, false);
  selectShapesInRect(editor, {10, 10}, {20, 20}, {false, false, true});
  EXPECT_FALSE(C->FSelected);
  EXPECT_TRUE(A->FSelected);
}

TEST_F(SelectionTest, WithTheStitchSimulationHolesAreTakenByTheirThread) {
  editor.FOptions->ShowStitchPattern = true;
  // A thread from (0,0) to (10,0) crosses the rectangle (4,-1)-(6,1); neither hole is in it.
  TQN_Path *h1 = addHole({0, 0});
  TQN_Path *h2 = addHole({10, 0});
  h1->FNextStitchID = h2->ID();
  h2->FPrevStitchID = h1->ID();
  TQN_Path *lonely = addHole({5, 0.5f});  // inside, but with no linked hole
  // A thread along the rectangle's bottom edge only touches it.
  TQN_Path *h3 = addHole({0, 1});
  TQN_Path *h4 = addHole({10, 1});
  h3->FNextStitchID = h4->ID();

  selectShapesInRect(editor, {4, -1}, {6, 1}, {});
  EXPECT_TRUE(h1->FSelected);
  EXPECT_TRUE(h2->FSelected);  // through its previous hole
  EXPECT_FALSE(lonely->FSelected);
  EXPECT_FALSE(h3->FSelected);
  EXPECT_FALSE(h4->FSelected);

  // Without the simulation the holes themselves must lie in the rectangle.
  editor.FOptions->ShowStitchPattern = false;
  selectShapesInRect(editor, {4, -1}, {6, 1}, {});
  EXPECT_EQ(selected(), (std::set<const TQN_Path *>{lonely}));
}

TEST(SelectionGeometry, SegmentTouchesRect) {
  const TRectF r(4, -1, 6, 1);
  struct Case {
    TPointF a, b;
    bool touches;
    bool reversedTouches;
  };
  const Case cases[] = {
      {{5, 0}, {50, 50}, true, true},     // an end inside
      {{0, 0}, {10, 0}, true, true},      // through both sides
      {{5, -5}, {5, 5}, true, true},      // through top and bottom
      {{6, 0}, {8, 0}, false, false},     // starts on the right edge, which is outside
      {{4, 0}, {2, 0}, true, true},       // starts on the left edge, which is inside
      {{0, -5}, {10, -5}, false, false},  // passes above
      {{0, 3}, {8, -3}, true, true},      // through the left and top edges
      // Along the bottom edge: no crossing from left to right, but from right to left the
      // strict orientation test counts the right edge, whose end lies on the segment.
      {{0, 1}, {10, 1}, false, true},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.a.X << "," << c.a.Y << " " << c.b.X << "," << c.b.Y);
    EXPECT_EQ(segmentTouchesRect(c.a, c.b, r), c.touches);
    EXPECT_EQ(segmentTouchesRect(c.b, c.a, r), c.reversedTouches);
  }
  EXPECT_TRUE(segmentsCross({0, 0}, {2, 2}, {0, 2}, {2, 0}));
  EXPECT_FALSE(segmentsCross({0, 0}, {1, 1}, {1, 1}, {2, 0}));  // meeting at an end
  EXPECT_FALSE(segmentsCross({0, 0}, {2, 0}, {1, 0}, {3, 0}));  // collinear overlap
  EXPECT_TRUE(isCounterClockwise({0, 0}, {1, 0}, {1, 1}));
  EXPECT_FALSE(isCounterClockwise({0, 0}, {1, 0}, {1, -1}));
  EXPECT_FALSE(isCounterClockwise({0, 0}, {1, 0}, {2, 0}));  // collinear
}

TEST_F(SelectionTest, DeselectAllClearsFlagsAndForgetsTheEditedText) {
  TQN_Path *a = addLine({0, 0}, {10, 0});
  TQN_Path *text = typeText(QStringLiteral("Hi"));
  ASSERT_NE(text, nullptr);
  a->SetSelected(true);
  a->FIsManuallyClicked = true;
  a->FTemp_OnPath = text;
  a->FTemp_HasStichingHole = true;
  text->SetSelected(true);
  text->FIsManuallyClicked = true;

  deselectAll(editor);
  EXPECT_TRUE(selected().empty());
  EXPECT_FALSE(a->FIsManuallyClicked);
  EXPECT_FALSE(text->FIsManuallyClicked);
  EXPECT_EQ(a->FTemp_OnPath, nullptr);
  EXPECT_FALSE(a->FTemp_HasStichingHole);
  EXPECT_EQ(editor.tool().FEditingText, nullptr);

  // An edited text that is not selected stays the edited text.
  TQN_Path *second = typeText(QStringLiteral("Ho"));
  ASSERT_NE(second, nullptr);
  second->SetSelected(false);
  deselectAll(editor);
  EXPECT_EQ(editor.tool().FEditingText, second);

  editor.tool().Clicked_Points = {{1, 1}, {2, 2}};
  a->SetSelected(true);
  const int refreshes = ui.canvasRefreshes;
  actDeselectAllExecute(editor);
  EXPECT_FALSE(a->FSelected);
  EXPECT_TRUE(editor.tool().Clicked_Points.empty());
  EXPECT_GT(ui.canvasRefreshes, refreshes);
}

TEST_F(SelectionTest, FinishTextEditingFreesANewEmptyTextAndKeepsAnExistingOne) {
  // A new text with nothing typed: not of kind TEXT and not in the document.
  editor.tool().FEditingText.beginNew(std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, -1));
  finishTextEditing(editor);
  EXPECT_EQ(editor.tool().FEditingText, nullptr);

  // A TEXT of the document.
  TQN_Path *text = typeText(QStringLiteral("Hi"));
  ASSERT_NE(text, nullptr);
  finishTextEditing(editor);
  EXPECT_EQ(editor.tool().FEditingText, text);
  EXPECT_EQ(doc().Count(), 1);

  resetTextEditor(editor, false);
  EXPECT_EQ(editor.tool().FEditingText, nullptr);
  EXPECT_EQ(doc().Count(), 1);
}

TEST_F(SelectionTest, LineTypeCommandsIgnoreLayersAndVisibility) {
  doc().addLayer(1, QStringLiteral("Back"), false);  // hidden, not active
  TQN_Path *t2a = addLine({0, 0}, {1, 0}, 0, 2);
  TQN_Path *t2b = addLine({0, 1}, {1, 1}, 1, 2);
  TQN_Path *t4 = addLine({0, 2}, {1, 2}, 0, 4);
  hidePallet(2);
  editor.pen().FSelectedPalette = 2;

  actLinePaletteSelectAllExecute(editor);
  EXPECT_EQ(selected(), (std::set<const TQN_Path *>{t2a, t2b}));

  t4->SetSelected(true);
  actLinePaletteUnselectOthersExecute(editor);
  EXPECT_EQ(selected(), (std::set<const TQN_Path *>{t2a, t2b}));

  t4->SetSelected(true);
  actLinePaletteUnselectLineTypeExecute(editor);
  EXPECT_EQ(selected(), (std::set<const TQN_Path *>{t4}));
}

TEST_F(SelectionTest, SizeEditableShapeIsTheFirstSelectedPathOfAnEditableKind) {
  EXPECT_EQ(getSizeEditableShape(editor), nullptr);
  TQN_Path *dot = addDot({0, 0});
  auto curve = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
  curve->drawBezierPath({0, 0}, {1, 1}, {2, 1}, {3, 0});
  TQN_Path *bezier = editor.doc().add(std::move(curve), 0);
  TQN_Path *line = addLine({0, 5}, {5, 5});
  dot->SetSelected(true);
  line->SetSelected(true);
  EXPECT_EQ(getSizeEditableShape(editor), line);  // the dot is passed over
  bezier->SetSelected(true);
  EXPECT_EQ(getSizeEditableShape(editor), nullptr);  // the first path is a Bezier
}

}  // namespace
}  // namespace quillon
