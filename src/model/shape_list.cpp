#include "model/shape_list.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "i18n/multi_lang.h"

namespace quillon {

TShapeList::TShapeList(const TMultiLang *AMultilang, const QString &ALangID)
    : LangID(ALangID), FMultiLang(AMultilang) {
  addFirstLayer();
}

TShapeList::~TShapeList() = default;  // the shapes are not ours to free

void TShapeList::addFirstLayer() { addLayer(-1, QString(), true); }

int TShapeList::IndexOf(const TQN_Path *shape) const {
  auto it = std::find(FItems.begin(), FItems.end(), shape);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

std::unique_ptr<TShapeList> TShapeList::borrowing(const TShapeList &layersFrom, const std::vector<TQN_Path *> &shapes) {
  auto list = std::make_unique<TShapeList>(layersFrom.FMultiLang, layersFrom.LangID);
  list->copyLayersFrom(layersFrom);
  list->FItems = shapes;
  return list;
}

int TShapeList::Append(TQN_Path *shape) {
  FItems.push_back(shape);
  return Count() - 1;
}

void TShapeList::Insert(int index, TQN_Path *shape) {
  if (index < 0 || index > Count()) throw std::out_of_range("shape list index out of bounds");
  FItems.insert(FItems.begin() + index, shape);
}

void TShapeList::Delete(int index) {
  if (index < 0 || index >= Count()) throw std::out_of_range("shape list index out of bounds");
  FItems.erase(FItems.begin() + index);
}

int TShapeList::Remove(TQN_Path *shape) {
  const int i = IndexOf(shape);
  if (i >= 0) Delete(i);
  return i;
}

void TShapeList::Move(int from, int to) {
  if (from < 0 || from >= Count() || to < 0 || to >= Count())
    throw std::out_of_range("shape list index out of bounds");
  TQN_Path *s = FItems[static_cast<std::size_t>(from)];
  FItems.erase(FItems.begin() + from);
  FItems.insert(FItems.begin() + to, s);
}

void TShapeList::Exchange(int a, int b) {
  if (a < 0 || a >= Count() || b < 0 || b >= Count()) throw std::out_of_range("shape list index out of bounds");
  std::swap(FItems[static_cast<std::size_t>(a)], FItems[static_cast<std::size_t>(b)]);
}

int TShapeList::add(TQN_Path *shape, int layer) {
  shape->FLayerID = layer;
  return Append(shape);
}

int TShapeList::getNextID() {
  if (LastID >= std::numeric_limits<int>::max()) throw std::overflow_error("the document has no shape IDs left");
  return ++LastID;
}

void TShapeList::updateLastID() {
  int last = 0;
  for (const TQN_Path *s : FItems) last = std::max({last, s->ID(), s->FGroupID});
  LastID = last;
}

namespace {
// The number a layer's default name shows: its id plus one (without overflow at the top
// of the 32-bit range, which a file may name).
QString layerNumberText(int id) { return QString::number(static_cast<qint64>(id) + 1); }
}  // namespace

bool TShapeList::hasLayerEntry(int id) const {
  return FLayerDict.count(id) || FLayerVisible.count(id) || FIsIndependentLayer.count(id);
}

int TShapeList::addLayer(int layerId, const QString &name, bool visible) {
  int id = layerId;
  QString layerName = name;
  bool isVisible = visible;
  if (layerId < 0) {
    const int highest = FLayers.empty() ? -1 : *std::max_element(FLayers.begin(), FLayers.end());
    if (highest >= std::numeric_limits<int>::max()) throw std::overflow_error("the document has no layer IDs left");
    id = highest + 1;
    const QString caption =
        FMultiLang ? FMultiLang->getTranslation(LangID, QStringLiteral("lblLayerCaption")) : QString();
    layerName = caption + QLatin1Char(' ') + layerNumberText(id);
    isVisible = true;
  }
  // Refuse a duplicate before touching anything, so a failed add leaves the layers whole.
  if (hasLayerEntry(id)) throw std::runtime_error("Duplicates not allowed: layer " + std::to_string(id));
  FLayers.push_back(id);
  FLayerDict[id] = layerName;
  FLayerVisible[id] = isVisible;
  FIsIndependentLayer[id] = false;
  return id;
}

void TShapeList::deleteLayer(int layerId) {
  FLayerVisible.erase(layerId);
  FIsIndependentLayer.erase(layerId);
  FLayerDict.erase(layerId);
  auto it = std::find(FLayers.begin(), FLayers.end(), layerId);
  if (it != FLayers.end()) FLayers.erase(it);
}

bool TShapeList::GetlayerVisible(int id) const {
  auto it = FLayerVisible.find(id);
  return it != FLayerVisible.end() && it->second;
}

void TShapeList::SetlayerVisible(int id, bool value) {
  auto it = FLayerVisible.find(id);
  if (it == FLayerVisible.end()) throw std::runtime_error("Item not found: layer " + std::to_string(id));
  it->second = value;
}

bool TShapeList::GetIsIndependentLayer(int id) const {
  auto it = FIsIndependentLayer.find(id);
  return it != FIsIndependentLayer.end() && it->second;
}

void TShapeList::SetIsIndependentLayer(int id, bool value) {
  auto it = FIsIndependentLayer.find(id);
  if (it == FIsIndependentLayer.end()) throw std::runtime_error("Item not found: layer " + std::to_string(id));
  it->second = value;
}

QString TShapeList::GetLayerName(int id) const {
  if (!FLayerVisible.count(id)) return QString();
  auto it = FLayerDict.find(id);
  return it == FLayerDict.end() ? QString() : it->second;
}

void TShapeList::SetLayerName(int id, const QString &name) {
  auto it = FLayerDict.find(id);
  if (it == FLayerDict.end()) throw std::runtime_error("Item not found: layer " + std::to_string(id));
  it->second = name;
}

void TShapeList::copyLayersFrom(const TShapeList &AShapeList) {
  FLayers = AShapeList.FLayers;
  FLayerDict = AShapeList.FLayerDict;
  FLayerVisible = AShapeList.FLayerVisible;
  FIsIndependentLayer = AShapeList.FIsIndependentLayer;
}

void TShapeList::restoreLayers() {
  for (const TQN_Path *s : FItems) {
    const int id = s->FLayerID;
    if (std::find(FLayers.begin(), FLayers.end(), id) != FLayers.end()) continue;
    if (hasLayerEntry(id)) throw std::runtime_error("Duplicates not allowed: layer " + std::to_string(id));
    FLayers.push_back(id);
    FLayerVisible[id] = true;
    FLayerDict[id] = QStringLiteral("Layer ") + layerNumberText(id);
    FIsIndependentLayer[id] = false;
  }
}

void TShapeList::clearPrintPagesInfo() {
  FPrintOffset.assign(1, TPointF{0.0f, 0.0f});
  FPrintTarget.assign(1, true);
  FPrintScalePos.assign(1, 0);
}

void TShapeList::clearAll() {
  Memo.clear();
  for (TQN_Path *s : FItems) delete s;
  FItems.clear();
  FLayers.clear();
  FLayerDict.clear();
  FLayerVisible.clear();
  FIsIndependentLayer.clear();
  addFirstLayer();
  clearPrintPagesInfo();
  IsChanged = false;
  LastChangeTime = 0.0;
  LastSavedTime = 0.0;
  LastOperatedTime = 0.0;
  NumAlwaysShowStitchSimulator = 0;
}

void TShapeList::countNumOfAlwaysShowStitchSimulator() {
  NumAlwaysShowStitchSimulator = static_cast<int>(
      std::count_if(FItems.begin(), FItems.end(), [](const TQN_Path *s) { return s->FAlwaysShowStitchSimulator; }));
}

}  // namespace quillon
