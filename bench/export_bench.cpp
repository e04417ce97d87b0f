// Export of a large drawing: 2,000 joinable shapes (lines, arcs and curves in chains of
// ten, a third of them drawn against the chain's direction, the document order shuffled)
// and 15,000 stitching holes, written as SVG, DXF R12 and DXF R14.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "exchange/export.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "shell/editor.h"
#include "bench_editor.h"
#include "shell/editor_ui.h"
#include "shell/options.h"

namespace {

using namespace quillon;

struct ExportDrawing : bench::TBenchEditor {
  ExportDrawing() {
    TDocument &doc = editor->doc();
    std::vector<std::unique_ptr<TQN_Path>> shapes;

    // 200 chains of 10 segments along a zigzag.
    for (int chain = 0; chain < 200; ++chain) {
      const float y0 = static_cast<float>(chain) * 6.0f;
      for (int k = 0; k < 10; ++k) {
        const TPointF a{static_cast<float>(k) * 8.0f, y0}, b{static_cast<float>(k + 1) * 8.0f, y0};
        auto s = std::make_unique<TQN_Path>(chain % 5, 0xFF00FFFF, 1.5f, TStrokeDash::Solid,
                                            doc.PathList().getNextID());
        const bool backward = k % 3 == 2;
        const TPointF st = backward ? b : a, ed = backward ? a : b;
        switch (k % 3) {
          case 0: s->drawLinePath(st, ed); break;
          case 1: {
            const TPointF c{(a.X + b.X) / 2, y0};
            s->drawArcPath(c, {4, 4}, st, ed, backward ? -180.0f : 180.0f);
            break;
          }
          case 2: s->drawBezierPath(st, st + TPointF{0, 2}, ed + TPointF{0, 2}, ed); break;
        }
        shapes.push_back(std::move(s));
      }
    }
    std::mt19937 rng(7);
    std::shuffle(shapes.begin(), shapes.end(), rng);
    for (auto &s : shapes) doc.add(std::move(s), 0);

    bench::addHoleRows(*editor, 15000, 150, 1300.0f, TStrokeDash::Solid);
  }
};

// Arg: 0 SVG, 1 DXF R12, 2 DXF R14.
void BM_ExportVisibleShapes(benchmark::State &state) {
  ExportDrawing drawing;
  TEditor &editor = *drawing.editor;
  const int kind = static_cast<int>(state.range(0));
  editor.FOptions->UseDXFR14 = kind == 2;
  const QString format = kind == 0 ? QStringLiteral("SVG") : QStringLiteral("DXF");
  const QString file = QDir(drawing.dir.path()).filePath(kind == 0 ? "out.svg" : "out.dxf");
  state.SetLabel(kind == 0 ? "SVG" : kind == 1 ? "DXF R12" : "DXF R14");
  int written = 0;
  for (auto _ : state) written = exportVisibleShapes(editor, file, true, true, true, format, TExportRunOptions{});
  if (written != editor.doc().PathList().Count()) state.SkipWithError("not every shape was written");
  state.counters["shapes"] = written;
  state.counters["file_kB"] = static_cast<double>(QFileInfo(file).size()) / 1024.0;
}
BENCHMARK(BM_ExportVisibleShapes)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// Where an export benchmark writes its file: the folder named by QUILLON_BENCH_OUTPUT_DIR
// when it is set (bench/peers.sh hands the files to other programs), else the drawing's
// temporary folder.
QString outputFile(const bench::TBenchEditor &drawing, const char *name) {
  const QString chosen = qEnvironmentVariable("QUILLON_BENCH_OUTPUT_DIR");
  return QDir(chosen.isEmpty() ? drawing.dir.path() : chosen).filePath(QString::fromLatin1(name));
}

// 15,000 lines on a 100 mm square, each a few millimetres long at its own angle.
struct LinesDrawing : bench::TBenchEditor {
  LinesDrawing() {
    TDocument &doc = editor->doc();
    std::mt19937 rng(15);
    std::uniform_real_distribution<float> at(0.0f, 100.0f), step(-4.0f, 4.0f);
    for (int i = 0; i < 15000; ++i) {
      auto s = std::make_unique<TQN_Path>(0, 0xFF000000, 0.3f, TStrokeDash::Solid, doc.PathList().getNextID());
      const TPointF a{at(rng), at(rng)};
      s->drawLinePath(a, {a.X + step(rng), a.Y + step(rng)});
      doc.add(std::move(s), 0);
    }
  }
};

// Arg: 0 SVG, 1 DXF R12, 2 DXF R14; the whole export command, file written.
void BM_ExportFifteenThousandLines(benchmark::State &state) {
  LinesDrawing drawing;
  TEditor &editor = *drawing.editor;
  const int kind = static_cast<int>(state.range(0));
  editor.FOptions->UseDXFR14 = kind == 2;
  const QString format = kind == 0 ? QStringLiteral("SVG") : QStringLiteral("DXF");
  const QString file = outputFile(drawing, kind == 0 ? "lines.svg" : kind == 1 ? "lines_r12.dxf" : "lines_r14.dxf");
  state.SetLabel(kind == 0 ? "SVG" : kind == 1 ? "DXF R12" : "DXF R14");
  int written = 0;
  for (auto _ : state) written = exportVisibleShapes(editor, file, true, true, true, format, TExportRunOptions{});
  if (written != 15000) state.SkipWithError("not every line was written");
  state.counters["file_kB"] = static_cast<double>(QFileInfo(file).size()) / 1024.0;
}
BENCHMARK(BM_ExportFifteenThousandLines)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

struct BeziersDrawing : bench::TBenchEditor {
  BeziersDrawing() { bench::addBezierSheet(*editor); }
};

// The SVG export of the 15,000 Beziers (the file bench/peers.sh has rsvg-convert draw).
void BM_ExportFifteenThousandBeziersSvg(benchmark::State &state) {
  BeziersDrawing drawing;
  const QString file = outputFile(drawing, "beziers.svg");
  int written = 0;
  for (auto _ : state)
    written = exportVisibleShapes(*drawing.editor, file, true, true, true, QStringLiteral("SVG"), TExportRunOptions{});
  if (written != 15000) state.SkipWithError("not every curve was written");
}
BENCHMARK(BM_ExportFifteenThousandBeziersSvg)->Unit(benchmark::kMillisecond);

}  // namespace
