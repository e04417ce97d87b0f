#include "model/intersection.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "model/point_helpers.h"
#include "model/shape.h"

namespace quillon {
namespace {

class IntersectionListTest : public ::testing::Test {
 protected:
  static std::unique_ptr<TQN_Path> shape(int id) {
    return std::make_unique<TQN_Path>(0, 0xFF000000, 1, TStrokeDash::Solid, id);
  }
  // A record owned by the fixture until the end of the test (the list never owns it).
  TIntersection *record(TPointF pt, TQN_Path *p1, TQN_Path *p2) {
    owned.push_back(std::make_unique<TIntersection>(pt, p1, p2));
    return owned.back().get();
  }

  std::unique_ptr<TQN_Path> A = shape(1), B = shape(2), C = shape(3);
  std::vector<std::unique_ptr<TIntersection>> owned;
  TIntersections list;
};

TEST_F(IntersectionListTest, NewRecordHasNoIdsAndDoesNotCross) {
  const TIntersection r({1.5f, 2.5f}, A.get(), B.get());
  EXPECT_EQ(r.FPoint.X, 1.5f);
  EXPECT_EQ(r.FPoint.Y, 2.5f);
  EXPECT_EQ(r.FPath1, A.get());
  EXPECT_EQ(r.FPath2, B.get());
  EXPECT_FALSE(r.FIsCrossing);
  EXPECT_EQ(r.FPathID1, -1);
  EXPECT_EQ(r.FPathID2, -1);
}

TEST_F(IntersectionListTest, CopyKeepsPointShapesAndCrossingButNotIds) {
  TIntersection r({3.0f, 4.0f}, A.get(), B.get());
  r.FIsCrossing = true;
  r.FPathID1 = 7;
  r.FPathID2 = 9;
  std::unique_ptr<TIntersection> copy(r.createCopy());
  ASSERT_NE(copy.get(), &r);
  EXPECT_EQ(copy->FPoint.X, 3.0f);
  EXPECT_EQ(copy->FPoint.Y, 4.0f);
  EXPECT_EQ(copy->FPath1, A.get());
  EXPECT_EQ(copy->FPath2, B.get());
  EXPECT_TRUE(copy->FIsCrossing);
  EXPECT_EQ(copy->FPathID1, -1);
  EXPECT_EQ(copy->FPathID2, -1);
}

TEST_F(IntersectionListTest, SamePairAtTheSameRoundedPointIsRefusedInEitherOrder) {
  TIntersection *first = record({10.001f, 5.0f}, B.get(), A.get());
  EXPECT_EQ(list.Add(first), 0);
  // 10.004 and 10.001 both round to 10.00.
  TIntersection *refused = record({10.004f, 5.0f}, A.get(), B.get());
  refused->FIsCrossing = true;
  EXPECT_EQ(list.Add(refused), -1);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list[0], first);
  // The refused record was not freed: it is still whole and still the caller's.
  EXPECT_EQ(refused->FPath1, A.get());
  EXPECT_TRUE(refused->FIsCrossing);
  EXPECT_FLOAT_EQ(refused->FPoint.X, 10.004f);
}

TEST_F(IntersectionListTest, RecordsThatAreNotDuplicatesAreAppendedInOrder) {
  const auto twin = shape(1);  // same ID as A, another object
  struct Case {
    const char *what;
    TPointF p1;
    TQN_Path *a1, *b1;
    TPointF p2;
    TQN_Path *a2, *b2;
  };
  const Case cases[] = {
      // 0.002 apart, but they round to 10.00 and 10.01.
      {"neighbouring grid points", {10.004f, 5.0f}, A.get(), B.get(), {10.006f, 5.0f}, A.get(), B.get()},
      {"another pair at the same point", {1.0f, 1.0f}, A.get(), B.get(), {1.0f, 1.0f}, A.get(), C.get()},
      {"equal IDs, other object", {1.0f, 1.0f}, A.get(), B.get(), {1.0f, 1.0f}, twin.get(), B.get()},
      {"same x, other y grid point", {1.0f, 1.0f}, A.get(), B.get(), {1.0f, 1.006f}, B.get(), A.get()},
  };
  for (const Case &c : cases) {
    TIntersections l;
    TIntersection *r1 = record(c.p1, c.a1, c.b1);
    TIntersection *r2 = record(c.p2, c.a2, c.b2);
    EXPECT_EQ(l.Add(r1), 0) << c.what;
    EXPECT_EQ(l.Add(r2), 1) << c.what;
    ASSERT_EQ(l.Count(), 2) << c.what;
    EXPECT_EQ(l[0], r1) << c.what;
    EXPECT_EQ(l[1], r2) << c.what;
  }
}

TEST_F(IntersectionListTest, DuplicateOfALaterItemIsFoundToo) {
  list.Add(record({0.0f, 0.0f}, A.get(), C.get()));
  list.Add(record({0.0f, 0.0f}, B.get(), C.get()));
  list.Add(record({2.0f, 2.0f}, A.get(), B.get()));
  EXPECT_EQ(list.Add(record({2.003f, 1.996f}, B.get(), A.get())), -1);
  EXPECT_EQ(list.Count(), 3);
}

// AddEach (the undo restore) keeps what Add one by one keeps, in the same order, and
// frees the rest; the records already in the list count too.
TEST_F(IntersectionListTest, AddEachKeepsWhatAddKeepsInTheSameOrder) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Entry {
    TPointF p;
    TQN_Path *a, *b;
  };
  const std::vector<Entry> already = {{{5.0f, 5.0f}, A.get(), B.get()}, {{nan, 1.0f}, A.get(), C.get()}};
  const std::vector<Entry> batch = {
      {{5.004f, 4.996f}, B.get(), A.get()},  // the first already there
      {{0.0f, 0.0f}, A.get(), C.get()},       {{-0.0f, 0.001f}, C.get(), A.get()},
      {{1.0f, 2.0f}, B.get(), C.get()},       {{1.006f, 2.0f}, B.get(), C.get()},
      {{1.004f, 2.0f}, C.get(), B.get()},     {{nan, 1.0f}, A.get(), C.get()},
      {{nan, 1.0f}, A.get(), C.get()},        {{7.0f, 7.0f}, A.get(), A.get()},
      {{7.0f, 7.0f}, A.get(), A.get()},       {{1.0f, 2.0f}, A.get(), B.get()},
  };
  const auto sameAs = [](const TIntersection *r, const Entry &e) {
    return r->FPath1 == e.a && r->FPath2 == e.b && std::memcmp(&r->FPoint, &e.p, sizeof(TPointF)) == 0;
  };

  TIntersections byAdd, byAddEach;
  for (const Entry &e : already) {
    byAdd.Add(record(e.p, e.a, e.b));
    byAddEach.Add(new TIntersection(e.p, e.a, e.b));
  }
  for (const Entry &e : batch) byAdd.Add(record(e.p, e.a, e.b));
  std::vector<TIntersection *> fresh;
  for (const Entry &e : batch) fresh.push_back(new TIntersection(e.p, e.a, e.b));
  byAddEach.AddEach(fresh);

  ASSERT_EQ(byAddEach.Count(), byAdd.Count());
  EXPECT_EQ(byAdd.Count(), 9);
  for (int i = 0; i < byAdd.Count(); ++i) {
    const TIntersection *expected = byAdd[i];
    EXPECT_TRUE(sameAs(byAddEach[i], {expected->FPoint, expected->FPath1, expected->FPath2})) << i;
  }
  byAddEach.FreeAll();  // the refused ones were freed by AddEach (a leak check sees it)
}

TEST_F(IntersectionListTest, DestroyingClearingAndDeletingFreeNoRecord) {
  TIntersection *r0 = record({0.0f, 0.0f}, A.get(), B.get());
  TIntersection *r1 = record({1.0f, 0.0f}, A.get(), B.get());
  TIntersection *r2 = record({2.0f, 0.0f}, A.get(), B.get());
  {
    TIntersections temporary;
    temporary.Add(r0);
    temporary.Add(r1);
  }
  // The records outlive the list (a sanitizer build reports a use after free otherwise).
  EXPECT_EQ(r0->FPath1, A.get());
  EXPECT_EQ(r1->FPoint.X, 1.0f);

  list.Add(r0);
  list.Add(r1);
  list.Add(r2);
  list.Delete(1);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list[0], r0);
  EXPECT_EQ(list[1], r2);
  EXPECT_EQ(r1->FPoint.X, 1.0f);
  EXPECT_THROW(list.Delete(2), std::out_of_range);

  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(r2->FPoint.X, 2.0f);
}

TEST_F(IntersectionListTest, FreeAllEmptiesTheList) {
  // Heap records the list frees itself (a leak check sees the difference).
  list.Add(new TIntersection({0.0f, 0.0f}, A.get(), B.get()));
  list.Add(new TIntersection({1.0f, 0.0f}, A.get(), B.get()));
  list.FreeAll();
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(IntersectionListTest, RemovingTheRecordsOfAShapeKeepsTheOthersInOrder) {
  const auto S = shape(4);
  // Records that the removal frees are made on the heap; the others stay the fixture's.
  TIntersection *keep0 = record({0.0f, 0.0f}, A.get(), B.get());
  TIntersection *keep1 = record({1.0f, 0.0f}, B.get(), C.get());
  TIntersection *keep2 = record({2.0f, 0.0f}, C.get(), A.get());
  list.Add(keep0);
  list.Add(new TIntersection({10.0f, 0.0f}, S.get(), A.get()));
  list.Add(new TIntersection({11.0f, 0.0f}, B.get(), S.get()));  // three in a row
  list.Add(new TIntersection({12.0f, 0.0f}, S.get(), S.get()));  // names S on both sides
  list.Add(keep1);
  list.Add(new TIntersection({13.0f, 0.0f}, C.get(), S.get()));
  list.Add(keep2);

  removeIntersectionsOf(list, S.get());
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list[0], keep0);
  EXPECT_EQ(list[1], keep1);
  EXPECT_EQ(list[2], keep2);

  // Nothing to remove: unchanged, also for an empty list.
  removeIntersectionsOf(list, S.get());
  EXPECT_EQ(list.Count(), 3);
  TIntersections empty;
  removeIntersectionsOf(empty, A.get());
  EXPECT_EQ(empty.Count(), 0);
}

TEST_F(IntersectionListTest, RemovalComparesShapesAsObjectsNotIds) {
  const auto twin = shape(1);  // same ID as A
  TIntersection *kept = record({0.0f, 0.0f}, twin.get(), B.get());
  list.Add(kept);
  list.Add(new TIntersection({1.0f, 0.0f}, A.get(), B.get()));
  removeIntersectionsOf(list, A.get());
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list[0], kept);
}

// The list after a long mixed series of additions and removals on a dense set of crossings
// (few shapes, points on a 0.01 grid with jitter across the rounding, -0, NaN) holds the
// records a scan of the whole list for each new record would keep, in the same order.
TEST_F(IntersectionListTest, MixedAdditionsAndRemovalsKeepWhatAScanKeeps) {
  struct Entry {
    TPointF P;
    TQN_Path *A, *B;
  };
  // Kept by a scan: no record of the same two shapes (either order) at the same rounded point.
  std::vector<Entry> scanned;
  const auto scanAdd = [&scanned](const Entry &e) {
    for (const Entry &o : scanned)
      if (((o.A == e.A && o.B == e.B) || (o.A == e.B && o.B == e.A)) && isSamePoint(o.P, e.P, 0.0f)) return false;
    scanned.push_back(e);
    return true;
  };
  std::vector<std::unique_ptr<TQN_Path>> shapes;
  for (int i = 0; i < 6; ++i) shapes.push_back(shape(i));
  std::mt19937 random(7);
  const auto pick = [&random](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
  const auto anyEntry = [&]() -> Entry {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const auto coordinate = [&]() -> float {
      const int kind = pick(40);
      if (kind == 0) return nan;
      if (kind == 1) return -0.0f;
      return static_cast<float>(pick(8)) * 0.01f + static_cast<float>(pick(13) - 6) * 0.001f;
    };
    return {{coordinate(), coordinate()}, shapes[std::size_t(pick(6))].get(), shapes[std::size_t(pick(6))].get()};
  };

  TIntersections other;
  int refused = 0;
  for (int step = 0; step < 6000; ++step) {
    const int op = pick(100);
    if (op < 55) {
      const Entry e = anyEntry();
      auto *r = new TIntersection(e.P, e.A, e.B);
      const int at = list.Add(r);
      ASSERT_EQ(at >= 0, scanAdd(e)) << step;
      if (at < 0) {
        delete r;
        ++refused;
      }
    } else if (op < 75) {
      std::vector<TIntersection *> batch;
      for (int k = pick(12); k >= 0; --k) {
        const Entry e = anyEntry();
        batch.push_back(new TIntersection(e.P, e.A, e.B));
        scanAdd(e);
      }
      list.AddEach(batch);
    } else if (op < 85 && list.Count() > 0) {
      const int at = pick(list.Count());
      TIntersection *taken = list[at];
      list.Delete(at);
      delete taken;
      scanned.erase(scanned.begin() + at);
    } else if (op < 93) {
      const TQN_Path *gone = shapes[std::size_t(pick(6))].get();
      removeIntersectionsOf(list, gone);
      std::erase_if(scanned, [gone](const Entry &e) { return e.A == gone || e.B == gone; });
    } else if (op < 96) {
      list.Swap(other);  // the records go with their list, and come back
      EXPECT_EQ(list.Count(), 0);
      list.Swap(other);
    } else if (op < 98) {
      const std::vector<TIntersection *> taken = list.Items();
      list.Clear();
      for (TIntersection *r : taken) delete r;
      scanned.clear();
    }
    ASSERT_EQ(list.Count(), static_cast<int>(scanned.size())) << step;
    for (int i = 0; i < list.Count(); ++i) {
      const Entry &e = scanned[std::size_t(i)];
      ASSERT_TRUE(list[i]->FPath1 == e.A && list[i]->FPath2 == e.B &&
                  std::memcmp(&list[i]->FPoint, &e.P, sizeof(TPointF)) == 0)
          << "step " << step << ", record " << i;
    }
  }
  EXPECT_GT(refused, 50);  // the series meets the duplicate test often
  list.FreeAll();
}

}  // namespace
}  // namespace quillon
