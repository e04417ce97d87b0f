#include "model/document.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <stdexcept>
#include <set>
#include <vector>

#include "i18n/multi_lang.h"
#include "model/intersection.h"
#include "model/shape.h"

namespace quillon {
namespace {

// Remembers what the document said was going, and checks at every call that the shape is
// still whole (listeners run before anything is freed).
class TRecordingListener : public TDocumentListener {
 public:
  void shapeGoing(const TQN_Path &shape) override {
    Going.push_back(shape.ID());
    EXPECT_GE(shape.Data().Count(), 0);
  }
  void allShapesGoing() override { ++AllGoing; }

  std::vector<int> Going;
  int AllGoing = 0;
};

class DocumentTest : public ::testing::Test {
 protected:
  DocumentTest() { document.addListener(&listener); }
  ~DocumentTest() override { document.removeListener(&listener); }

  TQN_Path *line(TPointF a, TPointF b, int layer = 0) {
    auto s = std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, shapes().getNextID());
    s->drawLinePath(a, b);
    TQN_Path *added = document.add(std::move(s), layer);
    document.calcIntersectionsOfShape(added, false);
    return added;
  }
  TQN_Path *hole(TPointF c) {
    auto s = std::make_unique<TQN_Path>(36, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, shapes().getNextID());
    s->drawDotPath(c, 0.5f);
    s->FShapeType = TShapeKind::Hole;
    s->FCenter = c;
    return document.add(std::move(s), 0);
  }
  TShapeList &shapes() { return document.PathList(); }
  std::vector<int> ids() const {
    std::vector<int> out;
    for (const TQN_Path *s : document.PathList()) out.push_back(s->ID());
    return out;
  }
  // Whether any record (of either list) still refers to the shape.
  bool referenced(const TQN_Path *shape) const {
    for (const TIntersections *list : {&document.FIntersections, &document.FStitchIntersections})
      for (const TIntersection *r : *list)
        if (r->FPath1 == shape || r->FPath2 == shape) return true;
    return false;
  }

  TMultiLang lang;
  TDocument document{&lang, QStringLiteral("en")};
  TRecordingListener listener;
};

// A cross of two lines and a third line crossing both: every removal path leaves no record
// pointing at a removed shape, keeps the others' records and tells the listeners first.
TEST_F(DocumentTest, RemovingAShapeTakesItsRecordsAndTellsTheListeners) {
  TQN_Path *a = line({0, 0}, {10, 10});
  TQN_Path *b = line({0, 10}, {10, 0});
  TQN_Path *c = line({0, 5}, {10, 5});
  ASSERT_EQ(document.FIntersections.Count(), 3);
  auto *clicked = new TIntersection({5, 5}, a, c);
  ASSERT_GE(document.FStitchIntersections.Add(clicked), 0);
  document.FGroupBoundary[7] = TRectF{0, 0, 1, 1};
  a->FGroupID = 7;

  const int aId = a->ID();
  const TQN_Path *removed = a;
  document.remove(a);
  EXPECT_EQ(listener.Going, std::vector<int>{aId});
  EXPECT_EQ(document.FIntersections.Count(), 1);  // b with c stays
  EXPECT_EQ(document.FStitchIntersections.Count(), 0);
  EXPECT_FALSE(document.FGroupBoundary.count(7));
  EXPECT_EQ(ids(), (std::vector<int>{b->ID(), c->ID()}));
  EXPECT_FALSE(referenced(removed));

  // A shape that is not (or no longer) the document's is passed over.
  TQN_Path outside(0, 0, 1.0f, TStrokeDash::Solid, 99);
  document.remove(&outside);
  EXPECT_EQ(document.take(&outside), nullptr);
  EXPECT_EQ(listener.Going.size(), 1u);
}

TEST_F(DocumentTest, RemovingSeveralKeepsTheOrderOfTheRestAndTellsOfEachOnce) {
  std::vector<TQN_Path *> all;
  for (int i = 0; i < 6; ++i) all.push_back(line({float(i), 0}, {float(i), 10}));
  TQN_Path *across = line({-1, 5}, {7, 5});
  ASSERT_EQ(document.FIntersections.Count(), 6);

  // Listed twice, and with a shape that is not in the document.
  TQN_Path stranger(0, 0, 1.0f, TStrokeDash::Solid, 500);
  document.remove({all[1], all[4], all[1], &stranger});
  EXPECT_EQ(ids(), (std::vector<int>{all[0]->ID(), all[2]->ID(), all[3]->ID(), all[5]->ID(), across->ID()}));
  EXPECT_EQ(std::set<int>(listener.Going.begin(), listener.Going.end()).size(), listener.Going.size());
  EXPECT_EQ(listener.Going.size(), 2u);
  EXPECT_EQ(document.FIntersections.Count(), 4);
  for (const TIntersection *r : document.FIntersections) EXPECT_TRUE(r->FPath2 == across || r->FPath1 == across);
}

TEST_F(DocumentTest, TakeHandsTheShapeOverAndReplaceKeepsThePosition) {
  TQN_Path *a = line({0, 0}, {10, 10});
  TQN_Path *b = line({0, 10}, {10, 0});
  TQN_Path *c = line({20, 0}, {30, 0});

  std::unique_ptr<TQN_Path> taken = document.take(a);
  ASSERT_EQ(taken.get(), a);
  EXPECT_FALSE(document.contains(a));
  EXPECT_FALSE(referenced(a));
  EXPECT_EQ(listener.Going, std::vector<int>{a->ID()});

  auto fresh = std::make_unique<TQN_Path>(0, 0, 1.0f, TStrokeDash::Solid, 77);
  fresh->drawLinePath({20, 5}, {30, 5});
  TQN_Path *put = document.replace(b, std::move(fresh));
  EXPECT_EQ(ids(), (std::vector<int>{77, c->ID()}));
  EXPECT_EQ(document.PathList()[0], put);
  EXPECT_EQ(listener.Going.size(), 2u);

  // Putting a shape in the place of one that is not there changes nothing.
  EXPECT_THROW(document.replace(a, std::make_unique<TQN_Path>(0, 0, 1.0f, TStrokeDash::Solid, 78)),
               std::invalid_argument);
  EXPECT_EQ(document.PathList().Count(), 2);
}

// Removing a hole leaves the sewing links of the others for the commands to repair
// (Delete does, Cut does not); the repair drops links to missing holes and links a hole's
// previous hole on to it.
TEST_F(DocumentTest, RemovingAHoleLeavesTheSewingLinksToTheRepair) {
  TQN_Path *h1 = hole({0, 0});
  TQN_Path *h2 = hole({4, 0});
  TQN_Path *h3 = hole({8, 0});
  h1->FNextStitchID = h2->ID();
  h2->FPrevStitchID = h1->ID();
  h2->FNextStitchID = h3->ID();
  h3->FPrevStitchID = h2->ID();

  const int gone = h2->ID();
  document.remove(h2);
  EXPECT_EQ(h1->FNextStitchID, gone);
  EXPECT_EQ(h3->FPrevStitchID, gone);

  repairStitchLinks(document.PathList());
  EXPECT_EQ(h1->FNextStitchID, -1);
  EXPECT_EQ(h3->FPrevStitchID, -1);

  h3->FPrevStitchID = h1->ID();
  repairStitchLinks(document.PathList());
  EXPECT_EQ(h1->FNextStitchID, h3->ID());
}

TEST_F(DocumentTest, ClearAndAdoptTellEveryoneOnceAndKeepTheIdCounter) {
  line({0, 0}, {10, 10});
  line({0, 10}, {10, 0});

  TDocument other(&lang, QStringLiteral("en"));
  auto s = std::make_unique<TQN_Path>(0, 0, 1.0f, TStrokeDash::Solid, 5);
  s->drawLinePath({0, 0}, {1, 0});
  other.add(std::move(s), 0);
  other.PathList().Memo = QStringLiteral("read from a file");

  document.adopt(other);
  EXPECT_EQ(listener.AllGoing, 1);
  EXPECT_TRUE(listener.Going.empty());
  EXPECT_EQ(ids(), std::vector<int>{5});
  EXPECT_EQ(document.FIntersections.Count(), 0);
  EXPECT_EQ(shapes().Memo, QStringLiteral("read from a file"));
  EXPECT_EQ(other.PathList().Count(), 0);

  shapes().LastID = 40;
  document.clear();
  EXPECT_EQ(listener.AllGoing, 2);
  EXPECT_EQ(shapes().Count(), 0);
  EXPECT_EQ(shapes().Layers().size(), 1u);
  EXPECT_EQ(shapes().getNextID(), 41);
}

TEST(ShapeListIds, TheCounterRefusesToRunPastThe32BitRange) {
  TMultiLang lang;
  TShapeList shapes(&lang, QStringLiteral("en"));
  shapes.LastID = std::numeric_limits<int>::max() - 1;
  EXPECT_EQ(shapes.getNextID(), std::numeric_limits<int>::max());
  EXPECT_THROW(shapes.getNextID(), std::overflow_error);
  EXPECT_EQ(shapes.LastID, std::numeric_limits<int>::max());
}

}  // namespace
}  // namespace quillon
