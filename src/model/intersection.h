#pragma once
// Intersection records: two shapes meet at a point, crossing there or only touching.
// The document keeps one list of them; neither the records nor the list own the shapes,
// and the list does not own its records (whoever removes a record frees it).
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

class TIntersections {
 public:
  TIntersections() = default;
  TIntersections(const TIntersections &) = delete;
  TIntersections &operator=(const TIntersections &) = delete;

  // Appends the record and returns its index, or refuses it (-1) when a record for the
  // same two shapes (either order) lies at the same point after rounding to 0.01 mm.
  // A refused record stays the caller's.
  int Add(TIntersection *ict);
  // Adds the records in their order exactly as Add would one after the other, in time
  // linear in the records (Add alone scans the whole list each time); a record Add would
  // refuse is freed.
  void AddEach(const std::vector<TIntersection *> &records);

  int Count() const { return static_cast<int>(FItems.size()); }
  TIntersection *operator[](int i) const { return FItems.at(static_cast<std::size_t>(i)); }
  const std::vector<TIntersection *> &Items() const { return FItems; }
  auto begin() const { return FItems.begin(); }
  auto end() const { return FItems.end(); }
  void Delete(int index);  // removes without freeing
  void Clear() { FItems.clear(); }  // removes all without freeing
  void Swap(TIntersections &other) { FItems.swap(other.FItems); }
  // Frees every record and empties the list.
  void FreeAll();
  // Removes and frees the records the predicate picks; the others keep their order.
  void FreeWhere(const std::function<bool(const TIntersection &)> &picked);

 private:
  std::vector<TIntersection *> FItems;
};

// Removes (and frees) every record of the list that refers to the shape; the others keep
// their order.
void removeIntersectionsOf(TIntersections &intersections, const TQN_Path *shape);
// The same for every record that refers to one of the shapes.
void removeIntersectionsOf(TIntersections &intersections, const std::unordered_set<const TQN_Path *> &shapes);

}  // namespace quillon
