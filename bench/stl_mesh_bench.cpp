// STL meshing of a wallet-sized set of pieces as the export builds it: four pieces
// (each outline of lines and arcs in a chain) with 82 stitching holes each, taken to
// path data, flattened, grouped into regions, extruded with a chamfer and a fillet,
// welded and turned into the bytes of a binary STL file.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "model/shape.h"
#include "stitching/pricking_iron.h"
#include "stl/extrude.h"
#include "stl/regions.h"
#include "stl/stl_path_data.h"
#include "stl/stl_writer.h"

namespace {

using namespace quillon;

struct StlPieces {
  StlPieces() {
    int id = 1;
    auto make = [&id, this]() {
      shapes.push_back(std::make_unique<TQN_Path>(0, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, id++));
      return shapes.back().get();
    };
    for (int piece = 0; piece < 4; ++piece) {
      const float x0 = piece * 120.0f, w = 100.0f, h = 90.0f, r = 8.0f;
      // A rounded rectangle: four lines and four quarter arcs, head to tail.
      const TPointF c[4] = {{x0 + w - r, r}, {x0 + w - r, h - r}, {x0 + r, h - r}, {x0 + r, r}};
      make()->drawLinePath({x0 + r, 0}, {x0 + w - r, 0});
      make()->drawArcPath(c[0], {r, r}, {x0 + w - r, 0}, {x0 + w, r}, 90.0f);
      make()->drawLinePath({x0 + w, r}, {x0 + w, h - r});
      make()->drawArcPath(c[1], {r, r}, {x0 + w, h - r}, {x0 + w - r, h}, 90.0f);
      make()->drawLinePath({x0 + w - r, h}, {x0 + r, h});
      make()->drawArcPath(c[2], {r, r}, {x0 + r, h}, {x0, h - r}, 90.0f);
      make()->drawLinePath({x0, h - r}, {x0, r});
      make()->drawArcPath(c[3], {r, r}, {x0, r}, {x0 + r, 0}, 90.0f);
      // Holes 4 mm inside the edges at a 4 mm pitch.
      for (float x = 8; x <= w - 8; x += 4) {
        make()->setAsDiamondHole({x0 + x, 4}, iron, false, 90.0f, 0.0f);
        make()->setAsDiamondHole({x0 + x, h - 4}, iron, false, 90.0f, 0.0f);
      }
      for (float y = 8; y <= h - 8; y += 4) {
        make()->setAsDiamondHole({x0 + 4, y}, iron, false, 0.0f, 0.0f);
        make()->setAsDiamondHole({x0 + w - 4, y}, iron, false, 0.0f, 0.0f);
      }
    }
  }
  TPrickingIron iron;
  std::vector<std::unique_ptr<TQN_Path>> shapes;
};

void BM_StlMeshOfPieces(benchmark::State &state) {
  const StlPieces pieces;
  TExtrudeParams params;
  params.Height = 3.0;
  params.BottomChamfer = 0.6;
  params.TopFillet = 0.8;
  TSTLStitchSettings settings = DefaultStitchSettings();
  settings.StitchAsRound = state.range(0) != 0;
  size_t facets = 0;
  for (auto _ : state) {
    std::vector<TQN_Path *> list;
    for (const auto &s : pieces.shapes) list.push_back(s.get());
    TSTLPathData data;
    BuildSTLPathData(data, list, {}, settings, TSTLPen{}, nullptr);
    TTriangleList mesh;
    for (const TPolyRegion &region : BuildPolyRegions(FlattenPathData(*data.Body, 32, 0.00001f))) {
      AddExtrudedRegion(region, params, mesh);
    }
    WeldVertices(mesh, 0.0001);
    const QByteArray bytes = BinarySTLBytes(mesh);
    facets = mesh.size();
    benchmark::DoNotOptimize(bytes.size());
  }
  state.counters["facets"] = static_cast<double>(facets);
}
BENCHMARK(BM_StlMeshOfPieces)->Arg(0)->Arg(1)->ArgName("round")->Unit(benchmark::kMillisecond);

}  // namespace
