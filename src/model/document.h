#pragma once
// TDocument: the open drawing. It owns its shapes (kept in stacking order in the shape list
// PathList, with the layers and print pages), the intersection records and the stitching
// tool's clicked crossings, the spatial index of the shapes and the cached group frames.
//
// Every change of which shapes the drawing holds goes through the one mutation API below:
// add, insert, replace, remove (or take) and clear. Removing a shape through it removes
// the records and clicked crossings that refer to it, drops the frame of its group and
// tells every listener that the shape is going, before it is freed; so nothing outside
// the document needs to keep a list of pointers to forget. The sewing links of the holes
// that remain are left as they are: the commands that repair them call repairStitchLinks.
// Shapes themselves (their geometry, style and flags) are changed in place by the commands.
#include <QString>

#include <map>
#include <memory>
#include <vector>

#include "model/intersection.h"
#include "model/shape_list.h"
#include "model/spatial_index.h"
#include "platform/geometry.h"

namespace quillon {

class TMultiLang;
class TQN_Path;

// Told by the document before shapes leave it. A listener lets go of every reference it
// holds to the shapes named; after the call returns they may be freed.
class TDocumentListener {
 public:
  virtual ~TDocumentListener() = default;
  // One shape is about to leave the document.
  virtual void shapeGoing(const TQN_Path &shape) = 0;
  // Every shape is about to leave the document (clearing it, replacing it as a whole).
  virtual void allShapesGoing() = 0;
};

class TDocument {
 public:
  TDocument(const TMultiLang *multiLang, const QString &langId);
  // Frees every shape and record.
  ~TDocument();
  TDocument(const TDocument &) = delete;
  TDocument &operator=(const TDocument &) = delete;

  // The shapes in stacking order, with the layers, print pages and document values. Which
  // shapes it holds is changed only through the methods below.
  TShapeList &PathList() { return *FPathList; }
  const TShapeList &PathList() const { return *FPathList; }

  // Whether the shape is one of the document's.
  bool contains(const TQN_Path *shape) const { return shape && FPathList->IndexOf(shape) >= 0; }

  // Appends the shape on the layer (its FLayerID is set) and returns it.
  TQN_Path *add(std::unique_ptr<TQN_Path> shape, int layer);
  // Inserts the shape at a position of the stacking order, its layer as it is.
  TQN_Path *insert(int index, std::unique_ptr<TQN_Path> shape);
  // Puts `shape` in the place of `old`, which goes as with remove. Returns the new shape.
  TQN_Path *replace(TQN_Path *old, std::unique_ptr<TQN_Path> shape);
  // Takes the shapes out of the document and frees them. Shapes not in the document are
  // passed over; the listed shapes may repeat. The others keep their order.
  void remove(TQN_Path *shape);
  void remove(const std::vector<TQN_Path *> &shapes);
  // Takes the shape out of the document as remove does, but hands it to the caller instead
  // of freeing it. Empty when the shape is not in the document.
  std::unique_ptr<TQN_Path> take(TQN_Path *shape);
  // Frees every shape, record and clicked crossing and resets the layers and print pages;
  // the ID counter is kept, so later shapes get higher IDs than any before.
  void clear();
  // Takes over the shapes, records, layers and pages of `other` (a document read from a
  // file) in place of its own, which go as with clear. `other` is left empty.
  void adopt(TDocument &other);

  // Moves a shape within the stacking order (stitching holes, layers and records untouched).
  void moveShape(int from, int to) { FPathList->Move(from, to); }

  // Listeners are not owned and must unregister before they are destroyed.
  void addListener(TDocumentListener *listener);
  void removeListener(TDocumentListener *listener);

  // The records of the crossings and touchings of the shapes; the document frees them.
  TIntersections FIntersections;
  // The crossings the stitching tool has clicked, until the tool ends.
  TIntersections FStitchIntersections;
  // The boundaries of the shapes, for the intersection upkeep; it follows the shapes by
  // itself (see TShapeSpatialIndex::sync).
  TShapeSpatialIndex FShapeIndex;
  // Cached frames of the groups by group ID, until a member moves or goes.
  std::map<int, TRectF> FGroupBoundary;

  // Adds the records of a new or reshaped shape with every other shape (none while
  // `shapeEditUnderWay`).
  void calcIntersectionsOfShape(TQN_Path *shape, bool shapeEditUnderWay);

 private:
  // The steps of remove and take before the shape leaves the list.
  void letGo(const TQN_Path &shape);

  std::unique_ptr<TShapeList> FPathList;
  std::vector<TDocumentListener *> FListeners;
};

// Repairs the sewing links of the stitching holes after holes were removed: a link to an
// ID that no hole has becomes -1; then a hole's previous hole that has no next link gets
// a next link to it. Of two holes with one ID the later in the document counts.
void repairStitchLinks(const TShapeList &shapes);

}  // namespace quillon
