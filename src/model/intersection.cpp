#include "model/intersection.h"

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
