#include "model/spatial_index.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/shape.h"
#include "model/shape_list.h"

namespace quillon {

namespace {

// A rectangle covering more cells than this is listed as near everything instead, so
// one huge shape cannot make an insert slow.
constexpr std::int64_t kMaxCellsPerRect = 4096;
// Cell coordinates are kept within 32 bits; beyond that a rectangle is near everything.
constexpr double kCellLimit = 2147483000.0;

TRectF sorted(const TRectF &r) {
  return {std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right), std::max(r.Top, r.Bottom)};
}

}  // namespace

TRectF sortedBoundary(TQN_Path &shape) { return sorted(shape.getBoundary(false)); }

bool isNonIntersectingKind(const TQN_Path &shape) {
  return shape.isKind(TShapeKind::Text) || shape.isKind(TShapeKind::Other) || shape.isKind(TShapeKind::Hole);
}

// ---- TRectGrid ----

TRectGrid::TRectGrid(float cellSize) { Clear(cellSize); }

void TRectGrid::Clear(float cellSize) {
  FCellSize = std::isfinite(cellSize) ? std::max(cellSize, 1e-3f) : 10.0f;
  FCells.clear();
  FItemCells.clear();
  FIsEverywhere.clear();
  FEverywhere.clear();
  FSeen.clear();
  FStamp = 0;
}

std::uint64_t TRectGrid::cellKey(std::int64_t cx, std::int64_t cy) {
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(static_cast<std::int32_t>(cx))) << 32) |
         static_cast<std::uint32_t>(static_cast<std::int32_t>(cy));
}

bool TRectGrid::rangeOf(const TRectF &r, float margin, CellRange &range) const {
  const TRectF s = sorted(r);
  const double m = std::max(0.0f, margin);
  const double x0 = std::floor((double(s.Left) - m) / FCellSize), x1 = std::floor((double(s.Right) + m) / FCellSize);
  const double y0 = std::floor((double(s.Top) - m) / FCellSize), y1 = std::floor((double(s.Bottom) + m) / FCellSize);
  // NaN fails every comparison, so it lands here too.
  if (!(x0 >= -kCellLimit && x1 <= kCellLimit && y0 >= -kCellLimit && y1 <= kCellLimit)) return false;
  range = {static_cast<std::int64_t>(x0), static_cast<std::int64_t>(y0), static_cast<std::int64_t>(x1),
           static_cast<std::int64_t>(y1)};
  return true;
}

void TRectGrid::ensureItem(int item) {
  const auto n = static_cast<std::size_t>(item) + 1;
  if (FItemCells.size() < n) {
    FItemCells.resize(n);
    FIsEverywhere.resize(n, 0);
    FSeen.resize(n, 0);
  }
}

void TRectGrid::insert(int item, const TRectF &r) {
  if (item < 0) return;
  ensureItem(item);
  const auto idx = static_cast<std::size_t>(item);
  CellRange range{};
  const bool bounded =
      rangeOf(r, 0.0f, range) && (range.x1 - range.x0 + 1) * (range.y1 - range.y0 + 1) <= kMaxCellsPerRect;
  if (!bounded) {
    if (!FIsEverywhere[idx]) {
      FIsEverywhere[idx] = 1;
      FEverywhere.push_back(item);
    }
    return;
  }
  for (std::int64_t cx = range.x0; cx <= range.x1; ++cx) {
    for (std::int64_t cy = range.y0; cy <= range.y1; ++cy) {
      const std::uint64_t key = cellKey(cx, cy);
      std::vector<int> &cell = FCells[key];
      // The rectangles of one item are listed one after another, so an item already in
      // this cell is its last entry.
      if (!cell.empty() && cell.back() == item) continue;
      cell.push_back(item);
      FItemCells[idx].push_back(key);
    }
  }
}

void TRectGrid::remove(int item) {
  if (item < 0 || static_cast<std::size_t>(item) >= FItemCells.size()) return;
  const auto idx = static_cast<std::size_t>(item);
  for (const std::uint64_t key : FItemCells[idx]) {
    const auto it = FCells.find(key);
    if (it == FCells.end()) continue;
    std::erase(it->second, item);
    if (it->second.empty()) FCells.erase(it);
  }
  FItemCells[idx].clear();
  if (FIsEverywhere[idx]) {
    FIsEverywhere[idx] = 0;
    std::erase(FEverywhere, item);
  }
}

void TRectGrid::query(const TRectF &r, float margin, std::vector<int> &out) const { query(&r, 1, margin, out); }

void TRectGrid::query(const TRectF *rects, std::size_t count, float margin, std::vector<int> &out) const {
  out.clear();
  if (++FStamp == 0) {  // the stamp wrapped round: forget every old mark
    std::fill(FSeen.begin(), FSeen.end(), 0u);
    FStamp = 1;
  }
  const auto take = [&](int item) {
    std::uint32_t &seen = FSeen[static_cast<std::size_t>(item)];
    if (seen == FStamp) return;
    seen = FStamp;
    out.push_back(item);
  };
  for (const int item : FEverywhere) take(item);

  for (std::size_t k = 0; k < count; ++k) {
    CellRange range{};
    const bool bounded = rangeOf(rects[k], margin, range);
    const double cellsInRange = bounded ? double(range.x1 - range.x0 + 1) * double(range.y1 - range.y0 + 1) : 0.0;
    if (!bounded || cellsInRange > double(FCells.size())) {
      // Fewer occupied cells than cells in the range: visit the occupied ones.
      for (const auto &[key, cell] : FCells) {
        if (bounded) {
          const auto cx = static_cast<std::int32_t>(static_cast<std::uint32_t>(key >> 32));
          const auto cy = static_cast<std::int32_t>(static_cast<std::uint32_t>(key));
          if (cx < range.x0 || cx > range.x1 || cy < range.y0 || cy > range.y1) continue;
        }
        for (const int item : cell) take(item);
      }
      continue;
    }
    for (std::int64_t cx = range.x0; cx <= range.x1; ++cx) {
      for (std::int64_t cy = range.y0; cy <= range.y1; ++cy) {
        const auto it = FCells.find(cellKey(cx, cy));
        if (it == FCells.end()) continue;
        for (const int item : it->second) take(item);
      }
    }
  }
  std::sort(out.begin(), out.end());
}

float TRectGrid::chooseCellSize(const std::vector<TRectF> &rects) {
  std::vector<float> sides;
  sides.reserve(rects.size());
  for (const TRectF &r : rects) {
    const TRectF s = sorted(r);
    const float side = std::max(s.width(), s.height());
    if (std::isfinite(side)) sides.push_back(side);
  }
  if (sides.empty()) return 10.0f;
  const auto mid = sides.begin() + static_cast<std::ptrdiff_t>(sides.size() / 2);
  std::nth_element(sides.begin(), mid, sides.end());
  return std::clamp(*mid, 0.5f, 1000.0f);
}

// ---- TShapeSpatialIndex ----

TShapeSpatialIndex::TShapeSpatialIndex(bool IncludeEnds) : FIncludeEnds(IncludeEnds) {}

void TShapeSpatialIndex::list(int position, TQN_Path *shape) {
  FGrid.remove(position);
  Entry &e = FEntries[static_cast<std::size_t>(position)];
  e = Entry{};
  e.Shape = shape;
  e.Listed = !isNonIntersectingKind(*shape);
  if (!e.Listed) return;
  e.RawBox = shape->getBoundary(false);
  e.Box = sorted(e.RawBox);
  e.StartPt = shape->FStartPt;
  e.EndPt = shape->FEndPt;
  FGrid.insert(position, e.Box);
  if (FIncludeEnds) {
    FGrid.insert(position, TRectF(e.StartPt, e.StartPt));
    FGrid.insert(position, TRectF(e.EndPt, e.EndPt));
  }
}

void TShapeSpatialIndex::rebuild(const TShapeList &shapes) {
  std::vector<TRectF> boxes;
  boxes.reserve(static_cast<std::size_t>(shapes.Count()));
  for (TQN_Path *s : shapes)
    if (!isNonIntersectingKind(*s)) boxes.push_back(sortedBoundary(*s));
  FGrid.Clear(TRectGrid::chooseCellSize(boxes));
  FEntries.assign(static_cast<std::size_t>(shapes.Count()), Entry{});
  for (int i = 0; i < shapes.Count(); ++i) list(i, shapes[i]);
  FCountAtRebuild = shapes.Count();
}

void TShapeSpatialIndex::sync(const TShapeList &shapes) {
  const int n = shapes.Count();
  // A document that grew or shrank a lot since the cell size was chosen is listed
  // afresh, so the cells keep fitting its shapes.
  if ((FEntries.empty() && n > 0) || n > 2 * FCountAtRebuild + 64 || 2 * n + 64 < FCountAtRebuild) {
    rebuild(shapes);
    return;
  }
  for (int i = static_cast<int>(FEntries.size()) - 1; i >= n; --i) FGrid.remove(i);
  FEntries.resize(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    TQN_Path *s = shapes[i];
    const Entry &e = FEntries[static_cast<std::size_t>(i)];
    const bool listable = !isNonIntersectingKind(*s);
    if (e.Shape != s || e.Listed != listable) {
      list(i, s);
      continue;
    }
    if (!listable) continue;
    // The cached boundary is read directly when there is one: this loop visits every shape.
    const TRectF raw = s->FIsBoundaryCalculated ? s->FBoundaryCache : s->getBoundary(false);
    const bool moved = !(raw == e.RawBox) ||
                       (FIncludeEnds && (!s->FStartPt.exactlyEquals(e.StartPt) || !s->FEndPt.exactlyEquals(e.EndPt)));
    if (moved) list(i, s);
  }
}

void TShapeSpatialIndex::candidatesOf(TQN_Path &S, float margin, std::vector<int> &out) const {
  const TRectF rects[3] = {sortedBoundary(S), TRectF(S.FStartPt, S.FStartPt), TRectF(S.FEndPt, S.FEndPt)};
  FGrid.query(rects, FIncludeEnds ? 3 : 1, margin, out);
}

}  // namespace quillon
