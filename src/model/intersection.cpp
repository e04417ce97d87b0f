#include "model/intersection.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <unordered_set>
#include <vector>

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

std::uint64_t mixBits(std::uint64_t h) {
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDull;
  h ^= h >> 33;
  h *= 0xC4CEB9FE1A85EC53ull;
  return h ^ (h >> 33);
}

// Equal keys hash alike: -0 and +0 (equal as numbers) are hashed as +0.
std::uint64_t hashOf(const TRecordKey &k) {
  const auto bits = [](float v) { return std::uint64_t(std::bit_cast<std::uint32_t>(v + 0.0f)); };
  std::uint64_t h = mixBits(reinterpret_cast<std::uintptr_t>(k.Low));
  h = mixBits(h ^ reinterpret_cast<std::uintptr_t>(k.High));
  return mixBits(h ^ (bits(k.X) << 32 | bits(k.Y)));
}

// The keys met so far, in an open-addressed table sized once for all of them.
class TRecordKeySet {
 public:
  explicit TRecordKeySet(std::size_t most) {
    std::size_t size = 16;
    while (size < 2 * most) size *= 2;
    FSlots.assign(size, -1);
    FKeys.reserve(most);
  }

  // True when the key was not met before (it is then remembered). A key with a
  // coordinate that is not a number equals no key, so it is always new and never kept.
  bool insert(const TRecordKey &key) {
    if (std::isnan(key.X) || std::isnan(key.Y)) return true;
    const std::size_t mask = FSlots.size() - 1;
    for (std::size_t at = hashOf(key) & mask;; at = (at + 1) & mask) {
      const int slot = FSlots[at];
      if (slot < 0) {
        FSlots[at] = static_cast<int>(FKeys.size());
        FKeys.push_back(key);
        return true;
      }
      if (FKeys[static_cast<std::size_t>(slot)] == key) return false;
    }
  }

 private:
  std::vector<int> FSlots;  // index into FKeys, -1 for a free slot
  std::vector<TRecordKey> FKeys;
};

}  // namespace

void TIntersections::AddEach(const std::vector<TIntersection *> &records) {
  if (records.empty()) return;
  // Only a record between two shapes of the new records can be the same as one of them.
  std::vector<const TIntersection *> rivals;
  if (!FItems.empty()) {
    std::unordered_set<const TQN_Path *> shapes;
    for (const TIntersection *record : records) {
      shapes.insert(record->FPath1);
      shapes.insert(record->FPath2);
    }
    for (const TIntersection *item : FItems)
      if (shapes.count(item->FPath1) && shapes.count(item->FPath2)) rivals.push_back(item);
  }
  TRecordKeySet present(rivals.size() + records.size());
  for (const TIntersection *item : rivals) present.insert(TRecordKey(*item));
  FItems.reserve(FItems.size() + records.size());
  for (TIntersection *record : records) {
    if (present.insert(TRecordKey(*record)))
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
