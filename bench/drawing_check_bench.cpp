// The whole drawing check, as it first runs on a drawing just opened (after each edit it
// redoes only what the edit reached: see BM_AddOneLineWithUndo), on sheets of pattern
// pieces of 1,000, 5,000 and 20,000 shapes; and the whole-drawing regularisation of such
// a sheet.
#include <benchmark/benchmark.h>

#include "bench_editor.h"
#include "edit/drawing_check.h"
#include "edit/regularize.h"
#include "pattern_pieces.h"
#include "shell/undo.h"

namespace {

using namespace quillon;

void BM_DrawingCheck(benchmark::State &state) {
  bench::TBenchEditor b;
  bench::addPatternPieces(*b.editor, static_cast<int>(state.range(0)));
  std::size_t warnings = 0;
  for (auto _ : state) {
    warnings = collectLintWarnings(*b.editor).size();
    benchmark::DoNotOptimize(warnings);
  }
  state.counters["warnings"] = static_cast<double>(warnings);
}
BENCHMARK(BM_DrawingCheck)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_RegularizeAllShapes(benchmark::State &state) {
  for (auto _ : state) {
    state.PauseTiming();
    bench::TBenchEditor b;
    bench::addPatternPieces(*b.editor, static_cast<int>(state.range(0)));
    takeUndoSnapshot(*b.editor, QStringLiteral("bench"));
    state.ResumeTiming();
    benchmark::DoNotOptimize(regularizeAllShapes(*b.editor));
    state.PauseTiming();
    b.editor.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_RegularizeAllShapes)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
