#include "model/document.h"

#include <algorithm>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

#include "model/intersection_upkeep.h"
#include "model/shape.h"

namespace quillon {

TDocument::TDocument(const TMultiLang *multiLang, const QString &langId)
    : FPathList(std::make_unique<TShapeList>(multiLang, langId)) {}

TDocument::~TDocument() {
  FStitchIntersections.FreeAll();
  FIntersections.FreeAll();
  FPathList->clearAll();
}

TQN_Path *TDocument::add(std::unique_ptr<TQN_Path> shape, int layer) {
  if (!shape) throw std::invalid_argument("document: no shape to add");
  TQN_Path *s = shape.release();
  FPathList->add(s, layer);
  return s;
}

TQN_Path *TDocument::insert(int index, std::unique_ptr<TQN_Path> shape) {
  if (!shape) throw std::invalid_argument("document: no shape to insert");
  FPathList->Insert(index, shape.get());  // throws on a bad index, the shape still ours
  return shape.release();
}

TQN_Path *TDocument::replace(TQN_Path *old, std::unique_ptr<TQN_Path> shape) {
  const int index = FPathList->IndexOf(old);
  if (index < 0) throw std::invalid_argument("document: the shape to replace is not in the document");
  if (!shape) throw std::invalid_argument("document: no shape to put in its place");
  letGo(*old);
  if (shape->FGroupID > 0) FGroupBoundary.erase(shape->FGroupID);
  TQN_Path *s = shape.release();
  FPathList->FItems[static_cast<std::size_t>(index)] = s;
  delete old;
  return s;
}

void TDocument::letGo(const TQN_Path &shape) {
  for (TDocumentListener *listener : FListeners) listener->shapeGoing(shape);
  removeIntersectionsOf(FIntersections, &shape);
  removeIntersectionsOf(FStitchIntersections, &shape);
  if (shape.FGroupID > 0) FGroupBoundary.erase(shape.FGroupID);
}

std::unique_ptr<TQN_Path> TDocument::take(TQN_Path *shape) {
  const int index = FPathList->IndexOf(shape);
  if (index < 0) return nullptr;
  letGo(*shape);
  FPathList->Delete(index);
  return std::unique_ptr<TQN_Path>(shape);
}

void TDocument::remove(TQN_Path *shape) { take(shape).reset(); }

void TDocument::remove(const std::vector<TQN_Path *> &shapes) {
  std::unordered_set<const TQN_Path *> going;
  going.reserve(shapes.size());
  for (const TQN_Path *s : shapes)
    if (s) going.insert(s);
  if (going.empty()) return;

  // One walk over the list keeps the others in order; the listeners hear of each shape
  // before any record or shape is freed.
  std::vector<TQN_Path *> removed;
  std::vector<TQN_Path *> &items = FPathList->FItems;
  auto kept = items.begin();
  for (TQN_Path *s : items) {
    if (going.count(s))
      removed.push_back(s);
    else
      *kept++ = s;
  }
  items.erase(kept, items.end());
  if (removed.empty()) return;

  for (const TQN_Path *s : removed) {
    for (TDocumentListener *listener : FListeners) listener->shapeGoing(*s);
    if (s->FGroupID > 0) FGroupBoundary.erase(s->FGroupID);
  }
  const std::unordered_set<const TQN_Path *> freed(removed.begin(), removed.end());
  removeIntersectionsOf(FIntersections, freed);
  removeIntersectionsOf(FStitchIntersections, freed);
  for (TQN_Path *s : removed) delete s;
}

void TDocument::clear() {
  for (TDocumentListener *listener : FListeners) listener->allShapesGoing();
  FIntersections.FreeAll();
  FStitchIntersections.FreeAll();
  // A document read next may reuse group IDs of this one.
  FGroupBoundary.clear();
  FPathList->clearAll();
}

void TDocument::adopt(TDocument &other) {
  if (&other == this) return;
  clear();
  std::swap(FPathList, other.FPathList);
  FIntersections.Swap(other.FIntersections);
  FStitchIntersections.Swap(other.FStitchIntersections);
  std::swap(FGroupBoundary, other.FGroupBoundary);
  FShapeIndex.rebuild(*FPathList);
  other.FShapeIndex.rebuild(*other.FPathList);
}

void TDocument::addListener(TDocumentListener *listener) {
  if (listener && std::find(FListeners.begin(), FListeners.end(), listener) == FListeners.end())
    FListeners.push_back(listener);
}

void TDocument::removeListener(TDocumentListener *listener) {
  FListeners.erase(std::remove(FListeners.begin(), FListeners.end(), listener), FListeners.end());
}

void TDocument::calcIntersectionsOfShape(TQN_Path *shape, bool shapeEditUnderWay) {
  quillon::calcIntersectionsOfShape(*FPathList, FIntersections, shape, shapeEditUnderWay, &FShapeIndex);
}

void repairStitchLinks(const TShapeList &shapes) {
  std::vector<TQN_Path *> holes;
  std::unordered_map<int, TQN_Path *> byId;
  for (TQN_Path *s : shapes) {
    if (!s->isKind(TShapeKind::Hole)) continue;
    holes.push_back(s);
    byId[s->ID()] = s;  // of two holes with one ID the later wins
  }
  for (TQN_Path *h : holes) {
    if (h->FPrevStitchID != -1 && !byId.count(h->FPrevStitchID)) h->FPrevStitchID = -1;
    if (h->FNextStitchID != -1 && !byId.count(h->FNextStitchID)) h->FNextStitchID = -1;
  }
  for (TQN_Path *h : holes) {
    if (h->FPrevStitchID == -1) continue;
    TQN_Path *prev = byId.at(h->FPrevStitchID);
    if (prev->FNextStitchID == -1) prev->FNextStitchID = h->ID();
  }
}

}  // namespace quillon
