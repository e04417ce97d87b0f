#pragma once
// Spatial look-up of shapes by their rectangles, so that "which shapes could touch this
// one" does not visit every shape of a large drawing.
//
// TRectGrid is a uniform grid of square cells over the whole plane (cells are kept in a
// hash map, so the drawing may grow anywhere). Each item is a small non-negative number
// listed in every cell one of its rectangles touches; a query returns each item near a
// rectangle once, in ascending order. A query gives candidates only: it may return items
// that do not come within the margin, never misses one that does; callers make the exact
// test themselves.
//
// TShapeSpatialIndex lists the shapes of a document under their positions in it, so that
// candidates come out in document order. It keeps itself in step with the document:
// `sync` compares the listed shapes and boundaries with the document's and re-lists only
// the positions that changed, so the owner need not report each edit.
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "platform/geometry.h"

namespace quillon {

class TQN_Path;
class TShapeList;

class TRectGrid {
 public:
  explicit TRectGrid(float cellSize = 10.0f);

  float CellSize() const { return FCellSize; }
  // Empties the grid; the new cell size applies from then on (at least 1e-3).
  void Clear(float cellSize);
  void Clear() { Clear(FCellSize); }

  // Lists the item under a rectangle (its corners in any order). An item may be listed
  // under several rectangles; a rectangle with a coordinate that is not finite, or that
  // would cover very many cells, lists the item as near everything.
  void insert(int item, const TRectF &r);
  // Removes every listing of the item.
  void remove(int item);
  // Appends to `out` every item listed under a rectangle that may come within `margin`
  // of r, each once, in ascending order. `out` is cleared first.
  void query(const TRectF &r, float margin, std::vector<int> &out) const;
  // The same for several rectangles at once: items near any of them.
  void query(const TRectF *rects, std::size_t count, float margin, std::vector<int> &out) const;

  // A cell size suited to these rectangles: about the median of their larger sides,
  // kept within 0.5 ... 1000.
  static float chooseCellSize(const std::vector<TRectF> &rects);

 private:
  struct CellRange {
    std::int64_t x0, y0, x1, y1;
  };
  static std::uint64_t cellKey(std::int64_t cx, std::int64_t cy);
  bool rangeOf(const TRectF &r, float margin, CellRange &range) const;
  void ensureItem(int item);

  float FCellSize;
  std::unordered_map<std::uint64_t, std::vector<int>> FCells;
  std::vector<std::vector<std::uint64_t>> FItemCells;  // per item: the cells that list it
  std::vector<char> FIsEverywhere;                     // per item: listed as near everything
  std::vector<int> FEverywhere;                        // those items
  mutable std::vector<std::uint32_t> FSeen;            // per item: stamp of the last query
  mutable std::uint32_t FStamp = 0;
};

class TShapeSpatialIndex {
 public:
  // With `IncludeEnds`, each shape is also listed under its StartPt and EndPt, which for
  // some kinds lie outside its outline (a DOT's EndPt, for one): the outline finder
  // compares shapes' ends as well as their outlines.
  explicit TShapeSpatialIndex(bool IncludeEnds = false);

  // Brings the index in step with the document: positions whose shape, boundary, ends
  // or kind changed are listed again, positions past the end are dropped. Shapes of kind
  // OTHER, TEXT and S_HOLE are not listed (no intersection involves them), and their
  // boundaries are never computed here.
  void sync(const TShapeList &shapes);
  // Lists the whole document afresh, choosing a new cell size.
  void rebuild(const TShapeList &shapes);

  // Positions (ascending) of listed shapes whose rectangles may come within `margin`
  // of S's boundary (and of its ends, when the index includes ends). S need not be in
  // the document. Candidates only: the caller makes the exact test.
  void candidatesOf(TQN_Path &S, float margin, std::vector<int> &out) const;

  int Count() const { return static_cast<int>(FEntries.size()); }

 private:
  struct Entry {
    TQN_Path *Shape = nullptr;
    bool Listed = false;
    TRectF RawBox;  // the boundary as getBoundary gave it
    TRectF Box;     // the same, corners sorted
    TPointF StartPt, EndPt;
  };
  void list(int position, TQN_Path *shape);

  bool FIncludeEnds;
  TRectGrid FGrid;
  std::vector<Entry> FEntries;
  int FCountAtRebuild = 0;
};

// The boundary of a shape with its corners sorted (getBoundary of an empty outline is
// the possibly unsorted rectangle of its two ends).
TRectF sortedBoundary(TQN_Path &shape);

// Whether the upkeep and the recomputation leave this kind of shape out entirely (OTHER,
// TEXT, S_HOLE).
bool isNonIntersectingKind(const TQN_Path &shape);

}  // namespace quillon
