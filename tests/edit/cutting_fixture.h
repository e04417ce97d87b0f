#pragma once
// The fixture of the cutting commands' tests: a view of 10 pixels per millimetre with the
// drawing origin at pixel (0, 0) and no grid, so the pick tolerances reach about a
// millimetre and only the test's shapes attract snaps.
#include <memory>
#include <vector>

#include "model/intersection.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "support/editor_fixture.h"

namespace quillon::test {

class CuttingTest : public EditorTest {
 protected:
  void SetUp() override {
    editor.view().FScale = 10.0f;
    editor.view().FOffset = {0.0f, 0.0f};
    editor.display().FShowGrid = false;
  }
  // The records of every shape of the document, made afresh.
  void recordAll() {
    editor.doc().FIntersections.FreeAll();
    for (TQN_Path *s : doc().Items()) editor.calcIntersectionsOfShape(s);
  }
  // A shape of line type 2 on layer 0, drawn by `draw`.
  template <typename Draw>
  TQN_Path *addDrawn(Draw draw) {
    auto s = std::make_unique<TQN_Path>(2, 0xFF0000FF, 0.4f, TStrokeDash::Solid, doc().getNextID());
    draw(*s);
    return editor.doc().add(std::move(s), 0);
  }
};

}  // namespace quillon::test
