// Building the outlines of a realistic mixed drawing.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "model/shape.h"

namespace {

using quillon::TQN_Path;
using quillon::TStrokeDash;

void BM_BuildOutlinesOfMixedShapes(benchmark::State &state) {
  const int count = static_cast<int>(state.range(0));
  std::vector<std::unique_ptr<TQN_Path>> shapes;
  for (int i = 0; i < count; ++i) shapes.push_back(std::make_unique<TQN_Path>(0, 0xFF000000, 1, TStrokeDash::Solid, i + 1));
  for (auto _ : state) {
    for (int i = 0; i < count; ++i) {
      TQN_Path &s = *shapes[static_cast<std::size_t>(i)];
      const float x = static_cast<float>(i % 100) * 3.0f, y = static_cast<float>(i / 100) * 3.0f;
      switch (i % 5) {
        case 0: s.drawLinePath({x, y}, {x + 20, y + 7}); break;
        case 1: s.drawArcPath({x, y}, {12, 12}, {x + 12, y}, {x, y + 12}, 135); break;
        case 2: s.drawEllipsePath({x, y}, 25, 14); break;
        case 3: s.drawBezierPath({x, y}, {x + 10, y - 8}, {x + 20, y + 8}, {x + 30, y}); break;
        case 4: s.drawDotPath({x, y}, 0.6f); break;
      }
      benchmark::DoNotOptimize(s.Data().Count());
    }
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_BuildOutlinesOfMixedShapes)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

