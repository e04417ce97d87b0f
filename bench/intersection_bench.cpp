// Intersection upkeep on large drawings: adding one shape to a drawing of 5,000 shapes,
// and recomputing every intersection of a drawing of 2,000 curves, each with the
// candidates found through the spatial index and by visiting every shape.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <numbers>
#include <random>

#include "i18n/multi_lang.h"
#include "model/document.h"
#include "model/intersection.h"
#include "model/intersection_upkeep.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "model/spatial_index.h"

namespace {

using namespace quillon;

// The document owns the shapes and the intersection records and frees them.
class Drawing {
 public:
  TQN_Path *add() {
    return doc.add(std::make_unique<TQN_Path>(0, 0xFF000000, 0.3f, TStrokeDash::Solid, shapes().getNextID()), 0);
  }

  TShapeList &shapes() { return doc.PathList(); }
  TIntersections &intersections() { return doc.FIntersections; }

  float uniform(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); }

  // A pattern-like mix of lines, arcs, circles, Beziers and stitching dots spread over a
  // square whose side grows with the count, so the density stays that of a real sheet
  // (a few dozen shapes per 100 x 100 mm).
  void fill(int count, bool curvesOnly) {
    const float side = 20.0f * std::sqrt(static_cast<float>(count));
    for (int i = 0; i < count; ++i) {
      const TPointF p{uniform(0, side), uniform(0, side)};
      TQN_Path *s = add();
      const int kind = curvesOnly ? 2 + static_cast<int>(rng() % 3) : static_cast<int>(rng() % 5);
      switch (kind) {
        case 0:
          s->drawLinePath(p, {p.X + uniform(-25, 25), p.Y + uniform(-25, 25)});
          break;
        case 1:
          s->drawDotPath(p, 0.4f);
          break;
        case 2: {
          const float r = uniform(3, 15), a0 = uniform(0, 360), sweep = uniform(30, 270);
          const auto at = [&](float deg) {
            const double rad = deg * std::numbers::pi / 180;
            return TPointF{static_cast<float>(p.X + r * std::cos(rad)), static_cast<float>(p.Y + r * std::sin(rad))};
          };
          s->drawArcPath(p, {r, r}, at(a0), at(a0 + sweep), sweep);
          break;
        }
        case 3: {
          const float w = uniform(4, 25);
          s->drawEllipsePath(p, w, w);
          break;
        }
        default:
          s->drawBezierPath(p, {p.X + uniform(-15, 15), p.Y + uniform(-15, 15)},
                            {p.X + uniform(-15, 15), p.Y + uniform(-15, 15)},
                            {p.X + uniform(-25, 25), p.Y + uniform(-25, 25)});
          break;
      }
    }
  }

  TMultiLang lang;
  TDocument doc{&lang, QStringLiteral("en")};
  std::mt19937 rng{12345};
};

// Adds one line to a drawing of 5,000 shapes whose intersections are up to date; only
// calcIntersectionsOfShape is timed. The line and its records are taken out again
// between iterations.
void addOneShape(benchmark::State &state, bool indexed) {
  Drawing d;
  d.fill(5000, false);
  TShapeSpatialIndex index;
  for (TQN_Path *s : d.shapes()) calcIntersectionsOfShape(d.shapes(), d.intersections(), s, false, &index);
  const float side = 20.0f * std::sqrt(5000.0f);
  std::int64_t records = 0;
  for (auto _ : state) {
    TQN_Path *s = d.add();
    const TPointF p{d.uniform(0, side), d.uniform(0, side)};
    s->drawLinePath(p, {p.X + d.uniform(-25, 25), p.Y + d.uniform(-25, 25)});
    const int before = d.intersections().Count();
    const auto t0 = std::chrono::steady_clock::now();
    calcIntersectionsOfShape(d.shapes(), d.intersections(), s, false, indexed ? &index : nullptr);
    const auto t1 = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    records += d.intersections().Count() - before;
    d.doc.remove(s);  // with its records
  }
  state.counters["records_per_add"] = benchmark::Counter(static_cast<double>(records) / state.iterations());
  state.counters["document_records"] = static_cast<double>(d.intersections().Count());
}

void BM_AddOneShapeTo5000_Indexed(benchmark::State &state) { addOneShape(state, true); }
void BM_AddOneShapeTo5000_Plain(benchmark::State &state) { addOneShape(state, false); }
BENCHMARK(BM_AddOneShapeTo5000_Indexed)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AddOneShapeTo5000_Plain)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Recomputes every intersection of a drawing of 2,000 arcs, circles and Beziers.
void recalcAll(benchmark::State &state, bool indexed) {
  Drawing d;
  d.fill(2000, true);
  for (auto _ : state) recalcAllIntersections(d.shapes(), d.intersections(), indexed);
  state.counters["records"] = static_cast<double>(d.intersections().Count());
}

void BM_RecalcAll2000Curves_Indexed(benchmark::State &state) { recalcAll(state, true); }
void BM_RecalcAll2000Curves_Plain(benchmark::State &state) { recalcAll(state, false); }
BENCHMARK(BM_RecalcAll2000Curves_Indexed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecalcAll2000Curves_Plain)->Unit(benchmark::kMillisecond);

}  // namespace
