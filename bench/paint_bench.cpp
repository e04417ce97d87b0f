// Painting whole frames of large drawings into a 1920 x 1080 image: a bag-sized pattern
// (500 outline shapes, 8,000 stitching holes) and a stress drawing (5,000 shapes, 15,000
// holes), each at "view all" and at a close zoom. One iteration is one frame.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <memory>

#include "bench_editor.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "model/draw_pallet.h"
#include "render/grid_cache.h"
#include "render/paint.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "tools/command_hooks.h"

namespace {

using namespace quillon;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

struct Drawing {
  QTemporaryDir dir;
  TSilentEditorUi ui;
  std::unique_ptr<TEditor> editor;
  TRectF bounds{1e9f, 1e9f, -1e9f, -1e9f};

  // `shapes` outline shapes in pieces of 25 spread over a grid of pieces 80 x 60 mm, and
  // `holes` holes in rows of 4 mm pitch inside the pieces.
  Drawing(int shapes, int holes) {
    qputenv("QUILLON_DATA_DIR", QDir(dir.path()).filePath("data").toUtf8());
    qputenv("QUILLON_DOCUMENTS_DIR", QDir(dir.path()).filePath("documents").toUtf8());
    editor = std::make_unique<TEditor>(ui, QStringList{QStringLiteral("--instance-id"), QStringLiteral("1")});
    installCommandHooks(*editor);
    TDocument &doc = editor->doc();
    const int pieces = std::max(1, (shapes + 24) / 25);
    const int columns = std::max(1, static_cast<int>(std::ceil(std::sqrt(pieces * 1.4))));
    auto origin = [&](int piece) {
      return TPointF(static_cast<float>(piece % columns) * 90.0f, static_cast<float>(piece / columns) * 70.0f);
    };
    for (int i = 0; i < shapes; ++i) {
      const TPointF o = origin(i / 25);
      const int k = i % 25;
      const float x = o.X + static_cast<float>(k % 5) * 16.0f, y = o.Y + static_cast<float>(k / 5) * 12.0f;
      auto s = std::make_unique<TQN_Path>(i % 8, 0xFF00FFFF, 1.5f, TStrokeDash::Solid, doc.PathList().getNextID());
      switch (i % 4) {
        case 0: s->drawLinePath({x, y}, {x + 14, y + 3}); break;
        case 1: s->drawArcPath({x + 6, y + 6}, {5, 5}, {x + 11, y + 6}, {x + 6, y + 11}, 90); break;
        case 2: s->drawBezierPath({x, y + 10}, {x + 4, y}, {x + 10, y + 12}, {x + 14, y + 2}); break;
        case 3: {
          // A closed free outline (a small template piece).
          TPathData d;
          d.MoveTo({x, y});
          d.LineTo({x + 12, y});
          d.LineTo({x + 12, y + 9});
          d.LineTo({x, y + 9});
          d.ClosePath();
          s->setData(d);
          s->FShapeType = TShapeKind::Other;
          break;
        }
      }
      grow(doc.add(std::move(s), 0)->getBoundary(false));
    }
    // Holes: small closed diamonds as a pricking iron punches them, in rows along the
    // pieces' stitch lines.
    const int perPiece = (holes + pieces - 1) / pieces;
    for (int i = 0; i < holes; ++i) {
      const TPointF o = origin(i / perPiece);
      const int k = i % perPiece;
      const float x = o.X + 2.0f + static_cast<float>(k % 19) * 4.0f;
      const float y = o.Y + 2.0f + static_cast<float>(k / 19) * 3.0f;
      auto h = std::make_unique<TQN_Path>(kStitchingHolePalletIndex, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid,
                                          doc.PathList().getNextID());
      TPathData d;
      d.MoveTo({x - 0.4f, y});
      d.LineTo({x, y - 0.9f});
      d.LineTo({x + 0.4f, y});
      d.LineTo({x, y + 0.9f});
      d.ClosePath();
      h->setData(d);
      h->FShapeType = TShapeKind::Hole;
      h->FCenter = h->FStartPt = h->FEndPt = {x, y};
      h->FWidth = 0.8f;
      grow(doc.add(std::move(h), 0)->getBoundary(false));
    }
  }

  void grow(const TRectF &b) {
    bounds.Left = std::min(bounds.Left, b.Left);
    bounds.Top = std::min(bounds.Top, b.Top);
    bounds.Right = std::max(bounds.Right, b.Right);
    bounds.Bottom = std::max(bounds.Bottom, b.Bottom);
  }

  // The whole drawing in the image with a 5 mm margin.
  void viewAll() {
    const float w = bounds.width() + 10.0f, h = bounds.height() + 10.0f;
    const float s = std::min(kWidth / w, kHeight / h);
    editor->view().FScale = s;
    editor->view().FOffset = {-(bounds.Left - 5.0f) * s, -(bounds.Top - 5.0f) * s};
  }

  // 20 pixels per millimetre about the middle of the drawing (96 x 54 mm shown).
  void closeUp() {
    const float s = 20.0f;
    const TPointF c = bounds.centerPoint();
    editor->view().FScale = s;
    editor->view().FOffset = {kWidth / 2.0f - c.X * s, kHeight / 2.0f - c.Y * s};
  }
};

// One frame per iteration into an image of the given size, after a first frame that
// builds the grid cache.
void paintFrames(benchmark::State &state, Drawing &drawing, int width = kWidth, int height = kHeight) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  TCanvasState canvas;
  TPaintTarget target;
  target.Width = width;
  target.Height = height;
  {
    QPainter p(&image);
    paintCanvas(*drawing.editor, p, target, canvas);  // builds the grid cache
  }
  for (auto _ : state) {
    QPainter p(&image);
    paintCanvas(*drawing.editor, p, target, canvas);
    p.end();
    benchmark::DoNotOptimize(image.constBits());
  }
  state.counters["shapes"] = drawing.editor->doc().PathList().Count();
}

void BM_PaintBagViewAll(benchmark::State &state) {
  Drawing d(500, 8000);
  d.viewAll();
  paintFrames(state, d);
}
BENCHMARK(BM_PaintBagViewAll)->Unit(benchmark::kMillisecond);

void BM_PaintBagClose(benchmark::State &state) {
  Drawing d(500, 8000);
  d.closeUp();
  paintFrames(state, d);
}
BENCHMARK(BM_PaintBagClose)->Unit(benchmark::kMillisecond);

void BM_PaintStressViewAll(benchmark::State &state) {
  Drawing d(5000, 15000);
  d.viewAll();
  paintFrames(state, d);
}
BENCHMARK(BM_PaintStressViewAll)->Unit(benchmark::kMillisecond);

void BM_PaintStressClose(benchmark::State &state) {
  Drawing d(5000, 15000);
  d.closeUp();
  paintFrames(state, d);
}
BENCHMARK(BM_PaintStressClose)->Unit(benchmark::kMillisecond);

// 15,000 Beziers filling a 1920 x 1344 image at ten pixels per millimetre.
void BM_PaintFifteenThousandBeziers(benchmark::State &state) {
  Drawing d(0, 0);
  bench::addBezierSheet(*d.editor);
  d.editor->view().FScale = 10.0f;
  d.editor->view().FOffset = {0.0f, 0.0f};
  paintFrames(state, d, bench::kSheetWidthPx, bench::kSheetHeightPx);
}
BENCHMARK(BM_PaintFifteenThousandBeziers)->Unit(benchmark::kMillisecond);

// Drawing the grid bitmap afresh (the first frame and the frame after the view settles).
void BM_GridRebuild(benchmark::State &state) {
  Drawing d(0, 0);
  d.editor->view().FScale = 10.0f;
  QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  TGridCache grid;
  for (auto _ : state) {
    grid.FGridCacheKey.clear();
    QPainter p(&image);
    grid.drawGrid(*d.editor, p, kWidth, kHeight);
  }
}
BENCHMARK(BM_GridRebuild)->Unit(benchmark::kMillisecond);

}  // namespace
