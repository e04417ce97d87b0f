// Boundaries and outline hit tests over a realistic mixed drawing.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "model/shape.h"

namespace {

using quillon::TPointF;
using quillon::TQN_Path;
using quillon::TStrokeDash;

std::vector<std::unique_ptr<TQN_Path>> mixedDrawing(int count) {
  std::vector<std::unique_ptr<TQN_Path>> shapes;
  shapes.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    auto s = std::make_unique<TQN_Path>(0, 0xFF000000, 1, TStrokeDash::Solid, i + 1);
    const float x = static_cast<float>(i % 100) * 3.0f, y = static_cast<float>(i / 100) * 3.0f;
    switch (i % 5) {
      case 0: s->drawLinePath({x, y}, {x + 20, y + 7}); break;
      case 1: s->drawArcPath({x, y}, {12, 12}, {x + 12, y}, {x, y + 12}, 135); break;
      case 2: s->drawEllipsePath({x, y}, 25, 14); break;
      case 3: s->drawBezierPath({x, y}, {x + 10, y - 8}, {x + 20, y + 8}, {x + 30, y}); break;
      case 4: s->drawDotPath({x, y}, 0.6f); break;
    }
    shapes.push_back(std::move(s));
  }
  return shapes;
}

// Every boundary recomputed, as after the whole drawing was edited.
void BM_BoundaryAfterReset(benchmark::State &state) {
  auto shapes = mixedDrawing(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    for (auto &s : shapes) {
      s->resetBoundary();
      benchmark::DoNotOptimize(s->getBoundary(false));
    }
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BoundaryAfterReset)->Arg(10000)->Unit(benchmark::kMillisecond);

// Boundaries from the cache, as on every repaint.
void BM_BoundaryCached(benchmark::State &state) {
  auto shapes = mixedDrawing(static_cast<int>(state.range(0)));
  for (auto &s : shapes) s->getBoundary(false);
  for (auto _ : state) {
    for (auto &s : shapes) benchmark::DoNotOptimize(s->getBoundary(false));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BoundaryCached)->Arg(10000)->Unit(benchmark::kMillisecond);

// A click tested against every outline (flattening a copy each time).
void BM_IsOnPath(benchmark::State &state) {
  auto shapes = mixedDrawing(static_cast<int>(state.range(0)));
  const TPointF click{150.0f, 45.0f};
  for (auto _ : state) {
    int hits = 0;
    for (auto &s : shapes) {
      int idx = 0;
      if (s->isOnPath(click, idx, 0.1f)) ++hits;
    }
    benchmark::DoNotOptimize(hits);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_IsOnPath)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
