#pragma once
// A headless editor for the benchmarks, with its own temporary data and Documents
// folders, and the grid of mixed shapes several benchmarks measure on.
#include <QDir>
#include <QTemporaryDir>

#include <memory>
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

}  // namespace quillon::bench
