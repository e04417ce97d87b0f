#include "model/shape_list.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <stdexcept>

#include "i18n/multi_lang.h"
#include "model/document.h"

namespace quillon {
namespace {

// A shape that reports its destruction, to see who frees what.
class CountedShape : public TQN_Path {
 public:
  CountedShape(int id, int *destroyed) : TQN_Path(0, 0xFF000000, 1, TStrokeDash::Solid, id), destroyed_(destroyed) {}
  ~CountedShape() override { ++*destroyed_; }

 private:
  int *destroyed_;
};

// The list is the document's: shapes join and leave it through the document, which owns
// them; everything else is the list's own.
class ShapeListTest : public ::testing::Test {
 protected:
  TMultiLang lang;
  TDocument document{&lang, QStringLiteral("en")};
  TShapeList &doc = document.PathList();
};

TEST_F(ShapeListTest, NewDocumentHasOneNamedLayerAndNoPrintPage) {
  EXPECT_EQ(doc.Layers(), std::vector<int>{0});
  EXPECT_TRUE(doc.GetlayerVisible(0));
  EXPECT_FALSE(doc.GetIsIndependentLayer(0));
  EXPECT_EQ(doc.GetLayerName(0), "Layer 1");
  EXPECT_TRUE(doc.PrintOffset().empty());
  EXPECT_TRUE(doc.PrintTarget().empty());
  EXPECT_TRUE(doc.PrintScalePos().empty());
  EXPECT_EQ(doc.LastID, 0);
  EXPECT_EQ(doc.Count(), 0);
  EXPECT_EQ(doc.getNextID(), 1);
}

TEST_F(ShapeListTest, LayerWithoutIdTakesTheNextNumberAndTheDefaultName) {
  doc.addLayer(4, QStringLiteral("Back"), false);
  EXPECT_EQ(doc.addLayer(-1, QStringLiteral("ignored"), false), 5);
  EXPECT_EQ(doc.Layers(), (std::vector<int>{0, 4, 5}));
  EXPECT_EQ(doc.GetLayerName(5), "Layer 6");
  EXPECT_TRUE(doc.GetlayerVisible(5));
  EXPECT_EQ(doc.GetLayerName(4), "Back");
  EXPECT_FALSE(doc.GetlayerVisible(4));

  // A duplicate ID is refused and changes nothing.
  EXPECT_THROW(doc.addLayer(4, QStringLiteral("again"), true), std::runtime_error);
  EXPECT_EQ(doc.Layers(), (std::vector<int>{0, 4, 5}));
  EXPECT_EQ(doc.GetLayerName(4), "Back");

  // The default name follows the document's language.
  lang.addTranslation(QStringLiteral("de"), QStringLiteral("lblLayerCaption"), QStringLiteral("Ebene"));
  doc.LangID = QStringLiteral("de");
  EXPECT_EQ(doc.GetLayerName(doc.addLayer(-1, QString(), true)), "Ebene 7");

  // After the top of the 32-bit range there is no next number.
  doc.addLayer(std::numeric_limits<int>::max(), QStringLiteral("Top"), true);
  EXPECT_THROW(doc.addLayer(-1, QString(), true), std::overflow_error);
  EXPECT_EQ(doc.Layers().size(), 5u);
}

TEST_F(ShapeListTest, LayerAccessorsAndDeletion) {
  doc.addLayer(2, QStringLiteral("Two"), true);
  doc.SetlayerVisible(2, false);
  doc.SetIsIndependentLayer(2, true);
  doc.SetLayerName(2, QStringLiteral("Renamed"));
  EXPECT_FALSE(doc.GetlayerVisible(2));
  EXPECT_TRUE(doc.GetIsIndependentLayer(2));
  EXPECT_EQ(doc.GetLayerName(2), "Renamed");

  EXPECT_FALSE(doc.GetlayerVisible(9));
  EXPECT_FALSE(doc.GetIsIndependentLayer(9));
  EXPECT_EQ(doc.GetLayerName(9), "");
  EXPECT_THROW(doc.SetlayerVisible(9, true), std::runtime_error);
  EXPECT_THROW(doc.SetIsIndependentLayer(9, true), std::runtime_error);
  EXPECT_THROW(doc.SetLayerName(9, QStringLiteral("x")), std::runtime_error);

  int destroyed = 0;
  TQN_Path *s = document.add(std::make_unique<CountedShape>(1, &destroyed), 2);
  doc.deleteLayer(2);
  EXPECT_EQ(doc.Layers(), std::vector<int>{0});
  EXPECT_EQ(doc.GetLayerName(2), "");
  EXPECT_EQ(s->FLayerID, 2);  // shapes keep their layer
  document.clear();
  EXPECT_EQ(destroyed, 1);
}

TEST_F(ShapeListTest, IdsComeFromOneCounterThatSurvivesClearing) {
  int destroyed = 0;
  auto grouped = std::make_unique<CountedShape>(9, &destroyed);
  grouped->FGroupID = 12;
  TQN_Path *a = document.add(std::make_unique<CountedShape>(3, &destroyed), 0);
  TQN_Path *b = document.add(std::move(grouped), 3);
  EXPECT_EQ(doc.IndexOf(a), 0);
  EXPECT_EQ(doc.IndexOf(b), 1);
  EXPECT_EQ(b->FLayerID, 3);
  doc.updateLastID();
  EXPECT_EQ(doc.LastID, 12);
  EXPECT_EQ(doc.getNextID(), 13);

  document.clear();
  EXPECT_EQ(destroyed, 2);
  EXPECT_EQ(doc.getNextID(), 14);
  doc.updateLastID();
  EXPECT_EQ(doc.LastID, 0);  // an empty list
}

TEST_F(ShapeListTest, ClearAllResetsTheDocumentButNotTheCounter) {
  doc.addLayer(3, QStringLiteral("Three"), true);
  doc.Memo = QStringLiteral("memo");
  doc.IsChanged = true;
  doc.LastChangeTime = doc.LastSavedTime = doc.LastOperatedTime = 45000.5;
  doc.NumAlwaysShowStitchSimulator = 4;
  doc.PrintOffset().push_back({1, 1});
  doc.LastID = 40;

  document.clear();
  EXPECT_EQ(doc.Memo, "");
  EXPECT_FALSE(doc.IsChanged);
  EXPECT_EQ(doc.LastChangeTime, 0);
  EXPECT_EQ(doc.LastSavedTime, 0);
  EXPECT_EQ(doc.LastOperatedTime, 0);
  EXPECT_EQ(doc.NumAlwaysShowStitchSimulator, 0);
  EXPECT_EQ(doc.Layers(), std::vector<int>{0});
  EXPECT_EQ(doc.GetLayerName(0), "Layer 1");
  ASSERT_EQ(doc.PrintOffset().size(), 1u);
  EXPECT_TRUE(doc.PrintOffset()[0].isZero());
  EXPECT_EQ(doc.PrintTarget(), std::vector<bool>{true});
  EXPECT_EQ(doc.PrintScalePos(), std::vector<int>{0});
  EXPECT_EQ(doc.LastID, 40);
}

TEST_F(ShapeListTest, DestroyingTheListFreesNoShape) {
  int destroyed = 0;
  auto s = std::make_unique<CountedShape>(1, &destroyed);
  {
    std::unique_ptr<TShapeList> temp = TShapeList::borrowing(doc, {s.get()});
    ASSERT_EQ(temp->Count(), 1);
    EXPECT_EQ((*temp)[0], s.get());
  }
  EXPECT_EQ(destroyed, 0);
  s.reset();
  EXPECT_EQ(destroyed, 1);
}

TEST_F(ShapeListTest, RestoreLayersAppendsMissingLayersInShapeOrder) {
  int destroyed = 0;
  for (int layer : {0, 2, 2, 7}) document.add(std::make_unique<CountedShape>(1, &destroyed), layer);
  doc.restoreLayers();
  EXPECT_EQ(doc.Layers(), (std::vector<int>{0, 2, 7}));
  EXPECT_EQ(doc.GetLayerName(2), "Layer 3");
  EXPECT_EQ(doc.GetLayerName(7), "Layer 8");
  EXPECT_TRUE(doc.GetlayerVisible(7));
  EXPECT_FALSE(doc.GetIsIndependentLayer(7));
}

TEST_F(ShapeListTest, CopyLayersFromTakesOrderNamesAndFlagsOnly) {
  TShapeList other(&lang, QStringLiteral("en"));
  other.addLayer(5, QStringLiteral("Five"), false);
  other.SetIsIndependentLayer(5, true);
  other.Layers() = {5, 0};
  other.LastID = 30;
  doc.copyLayersFrom(other);
  EXPECT_EQ(doc.Layers(), (std::vector<int>{5, 0}));
  EXPECT_EQ(doc.GetLayerName(5), "Five");
  EXPECT_FALSE(doc.GetlayerVisible(5));
  EXPECT_TRUE(doc.GetIsIndependentLayer(5));
  EXPECT_EQ(doc.LastID, 0);
}

TEST_F(ShapeListTest, ListOperationsKeepStackingOrder) {
  int destroyed = 0;
  std::vector<TQN_Path *> s;
  for (int i = 1; i <= 4; ++i) s.push_back(document.add(std::make_unique<CountedShape>(i, &destroyed), 0));
  document.moveShape(0, 3);  // 2 3 4 1
  doc.Exchange(0, 1);  // 3 2 4 1
  EXPECT_EQ(doc.IndexOf(s[3]), 2);
  std::unique_ptr<TQN_Path> taken = document.take(s[3]);  // 3 2 1
  ASSERT_EQ(taken.get(), s[3]);
  EXPECT_EQ(doc.IndexOf(s[3]), -1);
  document.insert(0, std::move(taken));  // 4 3 2 1
  std::vector<int> ids;
  for (TQN_Path *p : doc) ids.push_back(p->ID());
  EXPECT_EQ(ids, (std::vector<int>{4, 3, 2, 1}));
  EXPECT_EQ(doc.IndexOf(s[0]), 3);
  taken = document.take(s[0]);
  EXPECT_EQ(taken.get(), s[0]);
  EXPECT_EQ(doc.Count(), 3);
  EXPECT_EQ(document.take(s[0]), nullptr);
  EXPECT_EQ(destroyed, 0);  // taking out does not free
  taken.reset();
  EXPECT_EQ(destroyed, 1);
  s[1]->FAlwaysShowStitchSimulator = true;
  s[3]->FAlwaysShowStitchSimulator = true;
  doc.countNumOfAlwaysShowStitchSimulator();
  EXPECT_EQ(doc.NumAlwaysShowStitchSimulator, 2);
  EXPECT_THROW(document.moveShape(0, 9), std::out_of_range);
  document.clear();
  EXPECT_EQ(destroyed, 4);
}

}  // namespace
}  // namespace quillon
