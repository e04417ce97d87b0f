#pragma once
// Intersection records: two shapes meet at a point, crossing there or only touching.
// The document keeps one list of them; neither the records nor the list own the shapes,
// and the list does not own its records (whoever removes a record frees it).
#include <cstddef>
#include <functional>
#include <unordered_set>
#include <vector>

#include "platform/geometry.h"

namespace quillon {

class TQN_Path;

class TIntersection {
 public:
  TIntersection(TPointF pt, TQN_Path *APath1, TQN_Path *APath2) : FPoint(pt), FPath1(APath1), FPath2(APath2) {}

  // A new record with the same point, shapes and crossing flag; its IDs are -1.
  TIntersection *createCopy() const;

  TPointF FPoint;
  TQN_Path *FPath1;
  TQN_Path *FPath2;
  bool FIsCrossing = false;
  int FPathID2 = -1;
  int FPathID1 = -1;
};

// The keys of a list's records for its duplicate test: the two shapes in either order
// and the point after round2. Records with a coordinate that is not a number have no key.
// Open addressing with linear probing; a free slot has a NaN X.
class TRecordKeyTable {
 public:
  // False when the record has no key or its key is not in the table.
  bool contains(const TIntersection &record) const;
  // Adds the record's key; false when it was there already (or the record has none).
  bool insert(const TIntersection &record);
  void erase(const TIntersection &record);
  void clear();
  // Makes room for `more` further keys at once.
  void reserve(std::size_t more);
  void swap(TRecordKeyTable &other) noexcept;

  struct Key {
    const TQN_Path *Low;
    const TQN_Path *High;
    float X, Y;
  };

 private:
  std::size_t home(const Key &key) const;
  // The slot holding the key, or the free slot where it would go.
  std::size_t find(const Key &key) const;
  void grow(std::size_t size);

  std::vector<Key> FSlots;
  std::size_t FUsed = 0;
};

class TIntersections {
 public:
  TIntersections() = default;
  TIntersections(const TIntersections &) = delete;
  TIntersections &operator=(const TIntersections &) = delete;

  // Appends the record and returns its index, or refuses it (-1) when a record for the
  // same two shapes (either order) lies at the same point after rounding to 0.01 mm.
  // A refused record stays the caller's. The records of the list are found by their keys,
  // so a record's shapes and point must not change while it is in a list that is added to.
  int Add(TIntersection *ict);
  // Adds the records in their order exactly as Add would one after the other; a record
  // Add would refuse is freed.
  void AddEach(const std::vector<TIntersection *> &records);

  int Count() const { return static_cast<int>(FItems.size()); }
  TIntersection *operator[](int i) const { return FItems.at(static_cast<std::size_t>(i)); }
  const std::vector<TIntersection *> &Items() const { return FItems; }
  auto begin() const { return FItems.begin(); }
  auto end() const { return FItems.end(); }
  void Delete(int index);  // removes without freeing
  void Clear();  // removes all without freeing
  void Swap(TIntersections &other) {
    FItems.swap(other.FItems);
    FKeys.swap(other.FKeys);
  }
  // Frees every record and empties the list.
  void FreeAll();
  // Removes and frees the records the predicate picks; the others keep their order.
  void FreeWhere(const std::function<bool(const TIntersection &)> &picked);

 private:
  std::vector<TIntersection *> FItems;
  TRecordKeyTable FKeys;  // the keys of FItems' records
};

// Removes (and frees) every record of the list that refers to the shape; the others keep
// their order.
void removeIntersectionsOf(TIntersections &intersections, const TQN_Path *shape);
// The same for every record that refers to one of the shapes.
void removeIntersectionsOf(TIntersections &intersections, const std::unordered_set<const TQN_Path *> &shapes);

}  // namespace quillon
