// Undo snapshots of a large drawing: 5,000 shapes and 10,000 stitching holes.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include <memory>

#include "model/shape.h"
#include "model/shape_list.h"
#include "bench_editor.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/undo.h"

namespace {

using namespace quillon;

struct LargeDrawing : bench::TBenchEditor {
  LargeDrawing() {
    bench::addShapeGrid(*editor, 5000, false);
    bench::addHoleRows(*editor, 10000, 200, 500.0f, TStrokeDash::Dot);
  }
};

void BM_UndoSnapshot(benchmark::State &state) {
  LargeDrawing drawing;
  for (auto _ : state) takeUndoSnapshot(*drawing.editor, QStringLiteral("bench"));
}
BENCHMARK(BM_UndoSnapshot)->Unit(benchmark::kMillisecond);

void BM_UndoThenRedo(benchmark::State &state) {
  LargeDrawing drawing;
  takeUndoSnapshot(*drawing.editor, QStringLiteral("bench"));
  for (auto _ : state) {
    undo(*drawing.editor);
    redo(*drawing.editor);
  }
  state.SetItemsProcessed(state.iterations() * 2);  // per item: one undo or one redo
}
BENCHMARK(BM_UndoThenRedo)->Unit(benchmark::kMillisecond);

// One undo and one redo on the drawing of dense crossings: both rebuild its 297,025
// records.
void BM_UndoRedoDenseCrossings(benchmark::State &state) {
  bench::TBenchEditor drawing;
  bench::addDenseCrossings(*drawing.editor);
  TEditor &editor = *drawing.editor;
  auto s = std::make_unique<TQN_Path>(0, 0xFF00FFFF, 1.0f, TStrokeDash::Solid, editor.doc().PathList().getNextID());
  s->drawLinePath({0.2f, 0.2f}, {5.2f, 4.2f});
  editor.calcIntersectionsOfShape(s.get());
  editor.doc().add(std::move(s), 0);
  takeUndoSnapshot(editor, QStringLiteral("bench"));
  for (auto _ : state) {
    undo(editor);
    redo(editor);
  }
  state.counters["records"] = editor.doc().FIntersections.Count();
  state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_UndoRedoDenseCrossings)->Unit(benchmark::kMillisecond);

}  // namespace
