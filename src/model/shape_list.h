#pragma once
// TShapeList: the shape list of the document. An ordered list of shapes (the stacking
// order), plus the layers, the print-page settings, the change and save times, the memo
// and the one counter that issues shape and group IDs.
//
// Ownership: the document (TDocument) owns the shapes and is the only one to add or remove
// them; destroying the list frees none.
#include <map>
#include <memory>
#include <vector>

#include <QString>

#include "model/shape.h"
#include "platform/geometry.h"

namespace quillon {

class TMultiLang;

class TShapeList {
 public:
  TShapeList(const TMultiLang *AMultilang, const QString &ALangID);
  ~TShapeList();
  TShapeList(const TShapeList &) = delete;
  TShapeList &operator=(const TShapeList &) = delete;

  // The list of shapes. Which shapes it holds changes only through the document that owns
  // it (TDocument); everyone else reads.
  int Count() const { return static_cast<int>(FItems.size()); }
  TQN_Path *operator[](int i) const { return FItems.at(static_cast<std::size_t>(i)); }
  TQN_Path *Items(int i) const { return (*this)[i]; }
  const std::vector<TQN_Path *> &Items() const { return FItems; }
  auto begin() const { return FItems.begin(); }
  auto end() const { return FItems.end(); }
  int IndexOf(const TQN_Path *shape) const;
  void Exchange(int a, int b);

  // A list that lends `shapes` (in that order) with the layers of `layersFrom`, for the
  // queries that take a shape list; it never frees them.
  static std::unique_ptr<TShapeList> borrowing(const TShapeList &layersFrom, const std::vector<TQN_Path *> &shapes);

  // The next shape or group ID; throws when the 32-bit range is used up.
  int getNextID();
  void updateLastID();

  // Layers.
  int addLayer(int layerId, const QString &name, bool visible);
  void deleteLayer(int layerId);
  bool GetlayerVisible(int id) const;
  void SetlayerVisible(int id, bool value);
  bool GetIsIndependentLayer(int id) const;
  void SetIsIndependentLayer(int id, bool value);
  QString GetLayerName(int id) const;
  void SetLayerName(int id, const QString &name);
  void copyLayersFrom(const TShapeList &AShapeList);
  void restoreLayers();
  const std::vector<int> &Layers() const { return FLayers; }
  std::vector<int> &Layers() { return FLayers; }

  // Print pages: parallel lists, one entry per page.
  void clearPrintPagesInfo();
  std::vector<int> &PrintScalePos() { return FPrintScalePos; }
  std::vector<bool> &PrintTarget() { return FPrintTarget; }
  std::vector<TPointF> &PrintOffset() { return FPrintOffset; }
  const std::vector<int> &PrintScalePos() const { return FPrintScalePos; }
  const std::vector<bool> &PrintTarget() const { return FPrintTarget; }
  const std::vector<TPointF> &PrintOffset() const { return FPrintOffset; }

  std::vector<std::unique_ptr<TShapeList>> &SubGroups() { return FSubGroups; }

  void countNumOfAlwaysShowStitchSimulator();

  // Read-write values.
  bool IsChanged = false;
  double LastChangeTime = 0.0;  // date-times: days as a 64-bit float
  double LastSavedTime = 0.0;
  double LastOperatedTime = 0.0;
  QString LangID;
  int NumAlwaysShowStitchSimulator = 0;
  QString Memo;
  int LastID = 0;

 private:
  friend class TDocument;
  int Append(TQN_Path *shape);  // appends as it is, layer untouched
  void Insert(int index, TQN_Path *shape);
  void Delete(int index);       // removes without freeing
  int Remove(TQN_Path *shape);  // removes without freeing; the old index or -1
  void Move(int from, int to);
  // Sets the shape's layer, appends it and returns its index.
  int add(TQN_Path *shape, int layer);
  // Frees every shape and resets the layers, pages and document values.
  void clearAll();

  void addFirstLayer();
  bool hasLayerEntry(int id) const;

  std::vector<TQN_Path *> FItems;
  std::map<int, QString> FLayerDict;
  std::vector<int> FLayers;
  std::map<int, bool> FLayerVisible;
  std::map<int, bool> FIsIndependentLayer;
  const TMultiLang *FMultiLang;
  std::vector<std::unique_ptr<TShapeList>> FSubGroups;
  std::vector<int> FPrintScalePos;
  std::vector<bool> FPrintTarget;
  std::vector<TPointF> FPrintOffset;
};

}  // namespace quillon
