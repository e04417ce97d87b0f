// The path object's hot paths: flattening curves and the path text both ways.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/path_data.h"

namespace {

using quillon::TPathData;
using quillon::TRectF;

// A drawing's worth of curves: arcs and ellipses of assorted sizes.
TPathData curvyPath(int shapes) {
  TPathData p;
  for (int i = 0; i < shapes; ++i) {
    const float x = static_cast<float>(i % 100) * 3.0f, y = static_cast<float>(i / 100) * 3.0f;
    if (i % 2 == 0)
      p.AddArc({x, y}, {2.0f + static_cast<float>(i % 7), 2.0f + static_cast<float>(i % 5)}, 15, 270);
    else
      p.AddEllipse(TRectF(x, y, x + 25, y + 14));
  }
  return p;
}

void BM_FlattenCurves(benchmark::State &state) {
  const TPathData source = curvyPath(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    TPathData p = source;
    p.Flatten(0.3f);
    benchmark::DoNotOptimize(p.Count());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FlattenCurves)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_PathTextRoundTrip(benchmark::State &state) {
  TPathData source = curvyPath(static_cast<int>(state.range(0)));
  source.Flatten(0.3f);
  for (auto _ : state) {
    const std::string text = source.toText();
    const TPathData back = TPathData::fromText(text);
    benchmark::DoNotOptimize(back.Count());
  }
  state.SetItemsProcessed(state.iterations() * source.Count());
}
BENCHMARK(BM_PathTextRoundTrip)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
