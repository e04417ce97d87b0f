// The work of one pointer move on a drawing of 5,000 shapes with its intersections: the
// snap search at the pointer (5 px) and a hit test with the loose tolerance.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include <cmath>
#include <memory>
#include <numbers>
#include <random>

#include "model/intersection_upkeep.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "bench_editor.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "tools/hit_test.h"
#include "tools/snapping.h"

namespace {

using namespace quillon;

struct PointerDrawing : bench::TBenchEditor {
  float side = 0.0f;

  explicit PointerDrawing(int count) {
    std::mt19937 rng(7);
    auto uniform = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); };
    side = 20.0f * std::sqrt(static_cast<float>(count));
    TDocument &doc = editor->doc();
    for (int i = 0; i < count; ++i) {
      const TPointF p{uniform(0, side), uniform(0, side)};
      auto s = std::make_unique<TQN_Path>(0, 0xFF000000, 0.3f, TStrokeDash::Solid, doc.PathList().getNextID());
      switch (i % 4) {
        case 0: s->drawLinePath(p, {p.X + uniform(-25, 25), p.Y + uniform(-25, 25)}); break;
        case 1: {
          const float r = uniform(3, 15);
          s->drawArcPath(p, {r, r}, {p.X + r, p.Y}, {p.X, p.Y + r}, 90);
          break;
        }
        case 2: s->drawEllipsePath(p, uniform(4, 25), uniform(4, 25)); break;
        default:
          s->drawBezierPath(p, {p.X + uniform(-15, 15), p.Y + uniform(-15, 15)},
                            {p.X + uniform(-15, 15), p.Y + uniform(-15, 15)},
                            {p.X + uniform(-25, 25), p.Y + uniform(-25, 25)});
      }
      doc.add(std::move(s), 0);
    }
    editor->btnRecalcIntersectionsClick();
    editor->view().FScale = 4.0f;
  }
};

PointerDrawing &drawing() {
  static PointerDrawing d(5000);
  return d;
}

void BM_SnapToNearest(benchmark::State &state) {
  PointerDrawing &d = drawing();
  TEditor &e = *d.editor;
  int k = 0;
  for (auto _ : state) {
    const float x = std::fmod(37.0f * float(k), d.side) * e.view().FScale;
    const float y = std::fmod(53.0f * float(k), d.side) * e.view().FScale;
    ++k;
    TPointF target;
    benchmark::DoNotOptimize(snapToNearest(e, x, y, 5.0f, e.doc().PathList(), false, target, false));
  }
  state.counters["intersections"] = double(e.doc().FIntersections.Count());
}
BENCHMARK(BM_SnapToNearest)->Unit(benchmark::kMicrosecond);

void BM_HitTestLoose(benchmark::State &state) {
  PointerDrawing &d = drawing();
  TEditor &e = *d.editor;
  int k = 0;
  for (auto _ : state) {
    const float x = std::fmod(37.0f * float(k), d.side) * e.view().FScale;
    const float y = std::fmod(53.0f * float(k), d.side) * e.view().FScale;
    ++k;
    benchmark::DoNotOptimize(shapesAtScreenPoint(e, e.doc().PathList(), false, x, y, true, false, false));
  }
}
BENCHMARK(BM_HitTestLoose)->Unit(benchmark::kMicrosecond);

}  // namespace
