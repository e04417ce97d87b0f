// Opening a large document and adding one line to a large drawing, each as the user waits
// for it: the whole open (reading, records, duplicates, the first undo state) and the
// whole add (the line, its records and the undo snapshot).
#include <benchmark/benchmark.h>

#include <QDir>
#include <QString>

#include <memory>
#include <random>

#include "bench_editor.h"
#include "model/document.h"
#include "model/intersection.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "shell/editor.h"
#include "shell/project_file.h"
#include "shell/undo.h"

namespace {

using namespace quillon;

// 5,000 outlines (lines, arcs, circles and Beziers in turn) at random places on a square
// of the given side, and 10,000 stitching holes in rows below them. The smaller the
// square, the more the outlines cross.
void addOutlinesAndHoles(TEditor &editor, float side) {
  TDocument &doc = editor.doc();
  std::mt19937 rng(2021);
  std::uniform_real_distribution<float> at(0.0f, side), step(-6.0f, 6.0f), size(1.0f, 4.0f);
  for (int i = 0; i < 5000; ++i) {
    auto s = std::make_unique<TQN_Path>(0, 0xFF00FFFF, 1.0f, TStrokeDash::Solid, doc.PathList().getNextID());
    const TPointF p{at(rng), at(rng)};
    const TPointF q{p.X + step(rng), p.Y + step(rng)};
    switch (i % 4) {
      case 0: s->drawLinePath(p, q); break;
      case 1: {
        const float r = size(rng);
        s->drawArcPath(p, {r, r}, {p.X + r, p.Y}, {p.X, p.Y + r}, 90);
        break;
      }
      case 2: {
        const float d = 2.0f * size(rng);
        s->drawEllipsePath(p, d, d);
        break;
      }
      case 3: s->drawBezierPath(p, {p.X + step(rng), p.Y + step(rng)}, {q.X + step(rng), q.Y + step(rng)}, q); break;
    }
    editor.calcIntersectionsOfShape(s.get());
    doc.add(std::move(s), 0);
  }
  bench::addHoleRows(editor, 10000, 200, side + 10.0f, TStrokeDash::Dot);
}

// Arg: the side of the outlines' square in millimetres (4,000: almost no crossings; 150:
// about 15,000 records).
void BM_OpenDocument(benchmark::State &state) {
  bench::TBenchEditor drawing;
  TEditor &editor = *drawing.editor;
  addOutlinesAndHoles(editor, static_cast<float>(state.range(0)));
  editor.FFilename = QDir(drawing.dir.path()).filePath(QStringLiteral("large.qnd"));
  writeProjectFile(editor, 0.0);
  const QString file = editor.FFilename;
  for (auto _ : state) {
    QString error;
    if (!openProjectQuietly(editor, file, &error)) state.SkipWithError(error.toStdString().c_str());
  }
  state.counters["shapes"] = editor.doc().PathList().Count();
  state.counters["records"] = editor.doc().FIntersections.Count();
}
BENCHMARK(BM_OpenDocument)->Arg(4000)->Arg(150)->Unit(benchmark::kMillisecond);

// One line added as the line tool adds it, to a drawing of 5,000 shapes with their
// records: the line, its records, and the undo snapshot.
void BM_AddOneLineWithUndo(benchmark::State &state) {
  bench::TBenchEditor drawing;
  TEditor &editor = *drawing.editor;
  bench::addShapeGrid(editor, 5000, true);
  takeUndoSnapshot(editor, QStringLiteral("bench"));
  int i = 0;
  for (auto _ : state) {
    const float x = static_cast<float>((i * 37) % 390), y = static_cast<float>((i * 13) % 190);
    ++i;
    auto s = std::make_unique<TQN_Path>(0, 0xFF00FFFF, 1.0f, TStrokeDash::Solid,
                                        editor.doc().PathList().getNextID());
    s->drawLinePath({x + 0.3f, y + 0.2f}, {x + 9.1f, y + 5.3f});
    editor.calcIntersectionsOfShape(s.get());
    editor.doc().add(std::move(s), editor.FActiveLayer);
    takeUndoSnapshot(editor, QStringLiteral("bench"));
  }
  state.counters["shapes"] = editor.doc().PathList().Count();
  state.counters["records"] = editor.doc().FIntersections.Count();
}
BENCHMARK(BM_AddOneLineWithUndo)->Unit(benchmark::kMicrosecond);

}  // namespace
