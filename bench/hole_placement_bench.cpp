// Holes placed around a closed loop about 1 m long (a rounded rectangle of four lines and
// four arcs) at a 3 mm pitch, in a drawing that already holds 5,000 holes and 1,000 other
// shapes: the loop walk that places linked holes as it goes, and the SmartCorner
// distribution over the same loop. Each iteration starts from the same drawing.
#include <benchmark/benchmark.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "bench_editor.h"
#include "model/draw_pallet.h"
#include "stitching/chain_distribution.h"
#include "stitching/corner_distribution.h"
#include "stitching/hole_placement.h"
#include "stitching/hole_walking.h"

namespace {

using namespace quillon;

constexpr float kPitch = 3.0f;

struct LoopDrawing : bench::TBenchEditor {
  std::vector<TQN_Path *> loop;
  int shapesBefore = 0;

  LoopDrawing() {
    TDocument &doc = editor->doc();
    bench::addShapeGrid(*editor, 1000, true);
    // 5,000 holes on seams of other pieces: 50 rows of 100 at the pitch, beside the loop.
    TPrickingIron *iron = editor->tool().FSelectedPrickingIron;
    for (int i = 0; i < 5000; ++i) {
      auto h = std::make_unique<TQN_Path>(kStitchingHolePalletIndex, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid,
                                          doc.PathList().getNextID());
      h->createStichPath({500.0f + float(i % 100) * kPitch, float(i / 100) * 6.0f}, false, iron, -90.0f, 0.0f);
      doc.add(std::move(h), 0);
    }
    // The loop: 317 x 200 mm with corners of radius 20, 999.7 mm round.
    const float w = 317.0f, h = 200.0f, r = 20.0f, x0 = 0.0f, y0 = 300.0f;
    const auto line = [&](TPointF a, TPointF b) {
      auto s = std::make_unique<TQN_Path>(0, 0xFF00FFFF, 1.0f, TStrokeDash::Solid, doc.PathList().getNextID());
      s->drawLinePath(a, b);
      editor->calcIntersectionsOfShape(s.get());
      loop.push_back(doc.add(std::move(s), 0));
    };
    const auto arc = [&](TPointF c, float from) {
      const double t0 = from * M_PI / 180.0, t1 = (from + 90.0) * M_PI / 180.0;
      auto s = std::make_unique<TQN_Path>(0, 0xFF00FFFF, 1.0f, TStrokeDash::Solid, doc.PathList().getNextID());
      s->drawArcPath(c, {r, r}, {float(c.X + r * std::cos(t0)), float(c.Y + r * std::sin(t0))},
                     {float(c.X + r * std::cos(t1)), float(c.Y + r * std::sin(t1))}, 90.0f);
      editor->calcIntersectionsOfShape(s.get());
      loop.push_back(doc.add(std::move(s), 0));
    };
    line({x0 + r, y0}, {x0 + w - r, y0});
    arc({x0 + w - r, y0 + r}, -90.0f);
    line({x0 + w, y0 + r}, {x0 + w, y0 + h - r});
    arc({x0 + w - r, y0 + h - r}, 0.0f);
    line({x0 + w - r, y0 + h}, {x0 + r, y0 + h});
    arc({x0 + r, y0 + h - r}, 90.0f);
    line({x0, y0 + h - r}, {x0, y0 + r});
    arc({x0 + r, y0 + r}, 180.0f);
    shapesBefore = doc.PathList().Count();
  }

  // Takes the holes the last run placed out again.
  void reset() {
    TShapeList &shapes = editor->doc().PathList();
    std::vector<TQN_Path *> placed;
    for (int i = shapesBefore; i < shapes.Count(); ++i) placed.push_back(shapes[i]);
    editor->doc().remove(placed);
    editor->tool().FLastStitch = nullptr;
  }
};

LoopDrawing &drawing() {
  static LoopDrawing d;
  return d;
}

void BM_WalkHolesAroundLoop(benchmark::State &state) {
  LoopDrawing &d = drawing();
  int count = 0;
  for (auto _ : state) {
    THolePlacer placer(*d.editor);
    walkHolesOnLoop(placer, count, d.loop, d.loop.front()->FStartPt, false, kPitch);
    state.PauseTiming();
    d.reset();
    state.ResumeTiming();
  }
  state.counters["holes"] = count;
}
BENCHMARK(BM_WalkHolesAroundLoop)->Unit(benchmark::kMillisecond);

void BM_SmartCornerAroundLoop(benchmark::State &state) {
  LoopDrawing &d = drawing();
  int count = 0;
  for (auto _ : state) {
    std::vector<TQN_Path *> chain;
    std::vector<std::unique_ptr<TQN_Path>> created;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    sortChain(d.loop, chain, created, {nan, nan});
    THolePlacer placer(*d.editor);
    distributeHolesSmartCorner(placer, chain, true, kPitch, 160.0f, count);
    state.PauseTiming();
    d.reset();
    state.ResumeTiming();
  }
  state.counters["holes"] = count;
}
BENCHMARK(BM_SmartCornerAroundLoop)->Unit(benchmark::kMillisecond);

}  // namespace
