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

void removeIntersectionsOf(TIntersections &intersections, const TQN_Path *shape) {
  int i = 0;
  while (i < intersections.Count()) {
    TIntersection *item = intersections[i];
    if (item->FPath1 == shape || item->FPath2 == shape) {
      intersections.Delete(i);
      delete item;
    } else {
      ++i;
    }
  }
}

}  // namespace quillon
