// Writing and reading the JSON objects of a realistic mixed drawing of 10,000 shapes,
// through the text form a document file holds.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "model/shape.h"
#include "platform/json_text.h"
#include "stitching/pricking_iron.h"

namespace {

using quillon::TJson;
using quillon::TPrickingIron;
using quillon::TQN_Path;
using quillon::TShapeKind;
using quillon::TStrokeDash;

struct Drawing {
  TPrickingIron iron;
  std::vector<std::unique_ptr<TQN_Path>> shapes;

  explicit Drawing(int count) {
    for (int i = 0; i < count; ++i) {
      auto s = std::make_unique<TQN_Path>(i % 40, 0xFF000000, 0.3f, TStrokeDash::Solid, i + 1);
      const float x = static_cast<float>(i % 100) * 3.1f, y = static_cast<float>(i / 100) * 3.1f;
      switch (i % 6) {
        case 0: s->drawLinePath({x, y}, {x + 20.3f, y + 7.7f}); break;
        case 1: s->drawArcPath({x, y}, {12, 12}, {x + 12, y}, {x, y + 12}, 135); break;
        case 2: s->drawEllipsePath({x, y}, 25.4f, 14.2f); break;
        case 3: s->drawBezierPath({x, y}, {x + 10, y - 8}, {x + 20, y + 8}, {x + 30, y}); break;
        case 4: s->drawDotPath({x, y}, 0.6f); break;
        case 5:  // a stitching hole
          s->FShapeType = TShapeKind::Hole;
          s->FCenter = s->FStartPt = {x, y};
          s->FStitchType = "F";
          s->FPrevStitchID = i;
          s->FNextStitchID = i + 2;
          s->setPrickingIron(&iron);
          s->setData(quillon::TPathData::fromText("M0,0 L0.5,-0.5 L1,0 L0.5,0.5 Z "));
          s->Data().Translate(x, y);
          break;
      }
      shapes.push_back(std::move(s));
    }
  }
};

TJson shapesArray(const Drawing &drawing) {
  TJson array = TJson::array();
  for (const auto &s : drawing.shapes) array.push_back(s->toJson());
  return array;
}

// The shape objects alone, and then with the document text made from them.
void BM_ShapeToJson(benchmark::State &state) {
  const Drawing drawing(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    TJson array = shapesArray(drawing);
    benchmark::DoNotOptimize(array.size());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ShapeToJson)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_WriteShapeJsonText(benchmark::State &state) {
  const Drawing drawing(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    const std::string text = quillon::writeJsonText(shapesArray(drawing));
    benchmark::DoNotOptimize(text.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WriteShapeJsonText)->Arg(10000)->Unit(benchmark::kMillisecond);

// Filling fresh shapes from parsed objects, and then from the document text.
std::vector<std::unique_ptr<TQN_Path>> loadAll(const TJson &parsed, TPrickingIron &iron) {
  std::vector<std::unique_ptr<TQN_Path>> shapes;
  shapes.reserve(parsed.size());
  for (const auto &jo : parsed) {
    auto s = std::make_unique<TQN_Path>(-1, 0xFF000000, 0.3f, TStrokeDash::Solid, -1);
    s->loadJson(jo, jo.contains("pr") ? &iron : nullptr);
    shapes.push_back(std::move(s));
  }
  return shapes;
}

void BM_ShapeLoadJson(benchmark::State &state) {
  Drawing drawing(static_cast<int>(state.range(0)));
  const TJson parsed = shapesArray(drawing);
  for (auto _ : state) {
    auto shapes = loadAll(parsed, drawing.iron);
    benchmark::DoNotOptimize(shapes.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ShapeLoadJson)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_ReadShapeJsonText(benchmark::State &state) {
  Drawing drawing(static_cast<int>(state.range(0)));
  const std::string text = quillon::writeJsonText(shapesArray(drawing));
  for (auto _ : state) {
    auto shapes = loadAll(quillon::parseJsonText(text), drawing.iron);
    benchmark::DoNotOptimize(shapes.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadShapeJsonText)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
