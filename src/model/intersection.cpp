#include "model/intersection.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <unordered_set>

#include "model/point_helpers.h"

namespace quillon {

TIntersection *TIntersection::createCopy() const {
  auto *copy = new TIntersection(FPoint, FPath1, FPath2);
  copy->FIsCrossing = FIsCrossing;
  return copy;
}

int TIntersections::Add(TIntersection *ict) {
  for (const TIntersection *item : FItems) {
    const bool samePair = (item->FPath1 == ict->FPath1 && item->FPath2 == ict->FPath2) ||
                          (item->FPath1 == ict->FPath2 && item->FPath2 == ict->FPath1);
    if (samePair && isSamePoint(item->FPoint, ict->FPoint, 0.0f)) return -1;
  }
  FItems.push_back(ict);
  return static_cast<int>(FItems.size()) - 1;
}

namespace {

// What makes two records the same for Add: the two shapes in either order and the point
// after round2. A coordinate that is not a number is never the same as anything.
struct TRecordKey {
  const TQN_Path *Low;
  const TQN_Path *High;
  float X, Y;

  explicit TRecordKey(const TIntersection &r)
      : Low(std::min(r.FPath1, r.FPath2, std::less<const TQN_Path *>())),
        High(std::max(r.FPath1, r.FPath2, std::less<const TQN_Path *>())),
        X(round2(r.FPoint.X)),
        Y(round2(r.FPoint.Y)) {}
  bool operator==(const TRecordKey &o) const { return Low == o.Low && High == o.High && X == o.X && Y == o.Y; }
};

struct TRecordKeyHash {
  std::size_t operator()(const TRecordKey &k) const {
    std::size_t h = std::hash<const TQN_Path *>()(k.Low);
    for (const std::size_t part : {std::hash<const TQN_Path *>()(k.High), std::hash<float>()(k.X),
                                   std::hash<float>()(k.Y)})
      h ^= part + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
    return h;
  }
};

}  // namespace

void TIntersections::AddEach(const std::vector<TIntersection *> &records) {
  if (records.empty()) return;
  // Only a record between two shapes of the new records can be the same as one of them.
  std::unordered_set<const TQN_Path *> shapes;
  for (const TIntersection *record : records) {
    shapes.insert(record->FPath1);
    shapes.insert(record->FPath2);
  }
  std::unordered_set<TRecordKey, TRecordKeyHash> present;
  present.reserve(records.size());
  for (const TIntersection *item : FItems)
    if (shapes.count(item->FPath1) && shapes.count(item->FPath2)) present.insert(TRecordKey(*item));
  FItems.reserve(FItems.size() + records.size());
  for (TIntersection *record : records) {
    if (present.insert(TRecordKey(*record)).second)
      FItems.push_back(record);
    else
      delete record;
  }
}

void TIntersections::Delete(int index) {
  (void)FItems.at(static_cast<std::size_t>(index));  // out of range throws, as reading does
  FItems.erase(FItems.begin() + index);
}

void TIntersections::FreeAll() {
  for (TIntersection *item : FItems) delete item;
  FItems.clear();
}

void TIntersections::FreeWhere(const std::function<bool(const TIntersection &)> &picked) {
  auto kept = FItems.begin();
  for (TIntersection *item : FItems) {
    if (picked(*item))
      delete item;
    else
      *kept++ = item;
  }
  FItems.erase(kept, FItems.end());
}

void removeIntersectionsOf(TIntersections &intersections, const TQN_Path *shape) {
  intersections.FreeWhere([shape](const TIntersection &r) { return r.FPath1 == shape || r.FPath2 == shape; });
}

void removeIntersectionsOf(TIntersections &intersections, const std::unordered_set<const TQN_Path *> &shapes) {
  if (shapes.empty()) return;
  intersections.FreeWhere(
      [&shapes](const TIntersection &r) { return shapes.count(r.FPath1) || shapes.count(r.FPath2); });
}

}  // namespace quillon
