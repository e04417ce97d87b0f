#pragma once
// Drawings of pattern pieces for the benchmarks of the drawing check and its fixes:
// rounded rectangles of four lines and four corner arcs, laid out on a sheet, with a few
// of the defects the check looks for (a hairline gap, a slightly tilted side, a line
// stopping short of a side).
#include <cmath>
#include <memory>

#include "model/shape.h"
#include "model/shape_list.h"
#include "shell/editor.h"

namespace quillon::bench {

// About `count` shapes: pieces of 8 shapes 60 mm apart, every 7th with a gap of 0.1 mm,
// every 11th with a side tilted 0.3 degree, every 13th with a line ending 0.1 mm short
// of its bottom side. Intersections are recorded.
inline void addPatternPieces(TEditor &editor, int count) {
  TShapeList &list = editor.doc().PathList();
  const auto add = [&](const auto &draw) {
    auto s = std::make_unique<TQN_Path>(0, 0xFF00FFFF, 1.0f, TStrokeDash::Solid, list.getNextID());
    draw(*s);
    TQN_Path *shape = editor.doc().add(std::move(s), 0);
    editor.calcIntersectionsOfShape(shape);
  };
  const int columns = static_cast<int>(std::ceil(std::sqrt(count / 8.0)));
  for (int piece = 0; list.Count() < count; ++piece) {
    const float x = static_cast<float>(piece % columns) * 60.0f, y = static_cast<float>(piece / columns) * 60.0f;
    const float w = 40.0f, h = 30.0f, r = 5.0f;
    const float gap = piece % 7 == 3 ? 0.1f : 0.0f;
    const float tilt = piece % 11 == 5 ? 40.0f * 0.0052360f : 0.0f;  // 0.3 degree over the side
    add([&](TQN_Path &s) { s.drawLinePath({x + r, y}, {x + w - r + gap, y}); });
    add([&](TQN_Path &s) { s.drawArcPath({x + w - r, y + r}, {r, r}, {x + w - r, y}, {x + w, y + r}, 90); });
    add([&](TQN_Path &s) { s.drawLinePath({x + w, y + r}, {x + w + tilt, y + h - r}); });
    add([&](TQN_Path &s) { s.drawArcPath({x + w - r, y + h - r}, {r, r}, {x + w, y + h - r}, {x + w - r, y + h}, 90); });
    add([&](TQN_Path &s) { s.drawLinePath({x + w - r, y + h}, {x + r, y + h}); });
    add([&](TQN_Path &s) { s.drawArcPath({x + r, y + h - r}, {r, r}, {x + r, y + h}, {x, y + h - r}, 90); });
    add([&](TQN_Path &s) { s.drawLinePath({x, y + h - r}, {x, y + r}); });
    add([&](TQN_Path &s) { s.drawArcPath({x + r, y + r}, {r, r}, {x, y + r}, {x + r, y}, 90); });
    if (piece % 13 == 6) add([&](TQN_Path &s) { s.drawLinePath({x + 20, y + 10}, {x + 20, y + h - 0.1f}); });
  }
}

}  // namespace quillon::bench
