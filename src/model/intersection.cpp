#include "model/intersection.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <unordered_set>
#include <vector>

#include "model/point_helpers.h"

namespace quillon {

TIntersection *TIntersection::createCopy() const {
  auto *copy = new TIntersection(FPoint, FPath1, FPath2);
  copy->FIsCrossing = FIsCrossing;
  return copy;
}

namespace {

using TKey = TRecordKeyTable::Key;

TKey keyOf(const TIntersection &r) {
  return {std::min(r.FPath1, r.FPath2, std::less<const TQN_Path *>()),
          std::max(r.FPath1, r.FPath2, std::less<const TQN_Path *>()), round2(r.FPoint.X), round2(r.FPoint.Y)};
}

bool hasKey(const TKey &k) { return !std::isnan(k.X) && !std::isnan(k.Y); }
bool isFree(const TKey &k) { return std::isnan(k.X); }
bool sameKey(const TKey &a, const TKey &b) { return a.Low == b.Low && a.High == b.High && a.X == b.X && a.Y == b.Y; }

std::uint64_t mixBits(std::uint64_t h) {
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDull;
  h ^= h >> 33;
  h *= 0xC4CEB9FE1A85EC53ull;
  return h ^ (h >> 33);
}

// Equal keys hash alike: -0 and +0 (equal as numbers) are hashed as +0.
std::uint64_t hashOf(const TKey &k) {
  const auto bits = [](float v) { return std::uint64_t(std::bit_cast<std::uint32_t>(v + 0.0f)); };
  std::uint64_t h = mixBits(reinterpret_cast<std::uintptr_t>(k.Low));
  h = mixBits(h ^ reinterpret_cast<std::uintptr_t>(k.High));
  return mixBits(h ^ (bits(k.X) << 32 | bits(k.Y)));
}

constexpr TKey kFreeSlot{nullptr, nullptr, std::numeric_limits<float>::quiet_NaN(), 0.0f};

}  // namespace

std::size_t TRecordKeyTable::home(const Key &key) const { return hashOf(key) & (FSlots.size() - 1); }

std::size_t TRecordKeyTable::find(const Key &key) const {
  const std::size_t mask = FSlots.size() - 1;
  std::size_t at = home(key);
  while (!isFree(FSlots[at]) && !sameKey(FSlots[at], key)) at = (at + 1) & mask;
  return at;
}

bool TRecordKeyTable::contains(const TIntersection &record) const {
  const Key key = keyOf(record);
  return hasKey(key) && FUsed > 0 && !isFree(FSlots[find(key)]);
}

bool TRecordKeyTable::insert(const TIntersection &record) {
  const Key key = keyOf(record);
  if (!hasKey(key)) return false;
  // Kept at most half full, so that a probe ends soon.
  if (2 * (FUsed + 1) > FSlots.size()) grow(std::max<std::size_t>(16, 2 * FSlots.size()));
  Key &slot = FSlots[find(key)];
  if (!isFree(slot)) return false;
  slot = key;
  ++FUsed;
  return true;
}

void TRecordKeyTable::erase(const TIntersection &record) {
  const Key key = keyOf(record);
  if (!hasKey(key) || FUsed == 0) return;
  const std::size_t mask = FSlots.size() - 1;
  std::size_t hole = find(key);
  if (isFree(FSlots[hole])) return;
  // Keys after the hole that could not stay at their home move back into it, so every
  // key stays reachable from its home without passing a free slot.
  for (std::size_t at = (hole + 1) & mask; !isFree(FSlots[at]); at = (at + 1) & mask) {
    const std::size_t want = home(FSlots[at]);
    const bool stays = hole <= at ? (hole < want && want <= at) : (hole < want || want <= at);
    if (stays) continue;
    FSlots[hole] = FSlots[at];
    hole = at;
  }
  FSlots[hole] = kFreeSlot;
  --FUsed;
}

void TRecordKeyTable::clear() {
  FSlots.clear();
  FUsed = 0;
}

void TRecordKeyTable::swap(TRecordKeyTable &other) noexcept {
  FSlots.swap(other.FSlots);
  std::swap(FUsed, other.FUsed);
}

void TRecordKeyTable::reserve(std::size_t more) {
  std::size_t size = std::max<std::size_t>(16, FSlots.size());
  while (2 * (FUsed + more) > size) size *= 2;
  if (size > FSlots.size()) grow(size);
}

void TRecordKeyTable::grow(std::size_t size) {
  std::vector<Key> old(size, kFreeSlot);
  old.swap(FSlots);
  for (const Key &key : old)
    if (!isFree(key)) FSlots[find(key)] = key;
}

namespace {

// The record's key was added to the table, or it has none (then it is never refused).
bool isNewIn(TRecordKeyTable &keys, const TIntersection &record) {
  return keys.insert(record) || !hasKey(keyOf(record));
}

}  // namespace

int TIntersections::Add(TIntersection *ict) {
  if (!isNewIn(FKeys, *ict)) return -1;
  FItems.push_back(ict);
  return static_cast<int>(FItems.size()) - 1;
}

void TIntersections::AddEach(const std::vector<TIntersection *> &records) {
  FItems.reserve(FItems.size() + records.size());
  FKeys.reserve(records.size());
  for (TIntersection *record : records) {
    if (isNewIn(FKeys, *record))
      FItems.push_back(record);
    else
      delete record;
  }
}

void TIntersections::Delete(int index) {
  FKeys.erase(*FItems.at(static_cast<std::size_t>(index)));  // out of range throws, as reading does
  FItems.erase(FItems.begin() + index);
}

void TIntersections::Clear() {
  FItems.clear();
  FKeys.clear();
}

void TIntersections::FreeAll() {
  for (TIntersection *item : FItems) delete item;
  FItems.clear();
  FKeys.clear();
}

void TIntersections::FreeWhere(const std::function<bool(const TIntersection &)> &picked) {
  auto kept = FItems.begin();
  for (TIntersection *item : FItems) {
    if (picked(*item)) {
      FKeys.erase(*item);
      delete item;
    } else
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
