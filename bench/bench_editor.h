#pragma once
// A headless editor for the benchmarks, with its own temporary data and Documents
// folders, and the grid of mixed shapes several benchmarks measure on.
#include <QDir>
#include <QTemporaryDir>

#include <memory>
#include <random>
#include <vector>

#include "model/intersection.h"
#include "model/intersection_finders.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "tools/command_hooks.h"

namespace quillon::bench {

struct TBenchEditor {
  QTemporaryDir dir;
  TSilentEditorUi ui;
  std::unique_ptr<TEditor> editor;

  TBenchEditor() {
    qputenv("QUILLON_DATA_DIR", QDir(dir.path()).filePath("data").toUtf8());
    qputenv("QUILLON_DOCUMENTS_DIR", QDir(dir.path()).filePath("documents").toUtf8());
    editor = std::make_unique<TEditor>(ui, QStringList{QStringLiteral("--instance-id"), QStringLiteral("1")});
    installCommandHooks(*editor);
  }
};

// `count` lines, arcs, ellipses and Beziers in turn on a 4 mm grid of 100 columns; with
// `withIntersections` each shape's intersections are recorded as it is added.
inline void addShapeGrid(TEditor &editor, int count, bool withIntersections) {
  for (int i = 0; i < count; ++i) {
    auto s = std::make_unique<TQN_Path>(0, 0xFF00FFFF, 1.5f, TStrokeDash::Solid, editor.doc().PathList().getNextID());
    const float x = static_cast<float>(i % 100) * 4.0f, y = static_cast<float>(i / 100) * 4.0f;
    switch (i % 4) {
      case 0: s->drawLinePath({x, y}, {x + 3, y + 1}); break;
      case 1: s->drawArcPath({x, y}, {2, 2}, {x + 2, y}, {x, y + 2}, 90); break;
      case 2: s->drawEllipsePath({x, y}, 3, 2); break;
      case 3: s->drawBezierPath({x, y}, {x + 1, y - 1}, {x + 2, y + 1}, {x + 3, y}); break;
    }
    if (withIntersections) editor.calcIntersectionsOfShape(s.get());
    editor.doc().add(std::move(s), 0);
  }
}

// Lines across and down that all cross each other, with their intersection records.
inline constexpr int kCrossingLinesEachWay = 545;

// kCrossingLinesEachWay lines across and as many down, 1 mm apart: 297,025 intersection
// records.
inline void addDenseCrossings(TEditor &editor) {
  TDocument &doc = editor.doc();
  std::vector<TQN_Path *> across, down;
  const float extent = static_cast<float>(kCrossingLinesEachWay);
  for (int i = 0; i < 2 * kCrossingLinesEachWay; ++i) {
    auto s = std::make_unique<TQN_Path>(0, 0xFF00FFFF, 1.0f, TStrokeDash::Solid, doc.PathList().getNextID());
    const float at = static_cast<float>(i % kCrossingLinesEachWay) + 0.5f;
    if (i < kCrossingLinesEachWay)
      s->drawLinePath({0.0f, at}, {extent, at});
    else
      s->drawLinePath({at, 0.0f}, {at, extent});
    (i < kCrossingLinesEachWay ? across : down).push_back(doc.add(std::move(s), 0));
  }
  // Every record at once (one by one, each would be compared with all before it).
  std::vector<TIntersection *> records;
  for (TQN_Path *a : across)
    for (TQN_Path *d : down)
      for (TIntersection *r : IntersectShapes(a, d)) records.push_back(r);
  doc.FIntersections.AddEach(records);
}

// `count` stitching holes, small closed diamonds as a pricking iron punches them, in rows
// of `perRow` at a 2 mm pitch from y = `top`.
inline void addHoleRows(TEditor &editor, int count, int perRow, float top, TStrokeDash dash) {
  TDocument &doc = editor.doc();
  for (int i = 0; i < count; ++i) {
    auto h = std::make_unique<TQN_Path>(36, 0xFFFFFFFF, 1.0f, dash, doc.PathList().getNextID());
    const float x = static_cast<float>(i % perRow) * 2.0f, y = top + static_cast<float>(i / perRow) * 2.0f;
    TPathData d;
    d.MoveTo({x - 0.5f, y});
    d.LineTo({x, y - 1});
    d.LineTo({x + 0.5f, y});
    d.LineTo({x, y + 1});
    d.ClosePath();
    h->setData(d);
    h->FShapeType = TShapeKind::Hole;
    h->FCenter = h->FStartPt = {x, y};
    doc.add(std::move(h), 0);
  }
}

// 15,000 short S-shaped Beziers spread over 192 x 134.4 mm, a 1920 x 1344 pixel sheet at
// ten pixels per millimetre.
inline constexpr int kSheetWidthPx = 1920, kSheetHeightPx = 1344;
inline void addBezierSheet(TEditor &editor) {
  TDocument &doc = editor.doc();
  std::mt19937 rng(1344);
  std::uniform_real_distribution<float> x(0.0f, 192.0f), y(0.0f, 134.4f), bend(-6.0f, 6.0f);
  for (int i = 0; i < 15000; ++i) {
    auto s = std::make_unique<TQN_Path>(0, 0xFF000000, 1.0f, TStrokeDash::Solid, doc.PathList().getNextID());
    const TPointF a{x(rng), y(rng)};
    const TPointF b{a.X + bend(rng), a.Y + bend(rng)};
    s->drawBezierPath(a, {a.X + bend(rng), a.Y + bend(rng)}, {b.X + bend(rng), b.Y + bend(rng)}, b);
    doc.add(std::move(s), 0);
  }
}

}  // namespace quillon::bench
