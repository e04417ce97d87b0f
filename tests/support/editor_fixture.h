#pragma once
// A fixture with a started editor (no document named, a scripted user interface) and
// small builders of shapes added straight to its document.
#include <gtest/gtest.h>

#include "model/shape.h"
#include "model/shape_list.h"
#include "render/draw_pallet.h"
#include "shell/editor.h"
#include "support/scripted_ui.h"

namespace quillon::test {

class EditorTest : public ::testing::Test {
 protected:
  TScriptedUi ui;
  TEditor editor{ui, {QStringLiteral("--instance-id"), QStringLiteral("1")}};
  TShapeList &doc() { return *editor.PathList; }
  std::size_t undoStates() const { return editor.FUndoStore.FUndoList.size(); }

  TQN_Path *addLine(TPointF a, TPointF b, int layer = 0, int pallet = 0) {
    auto *s = new TQN_Path(pallet, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
    s->drawLinePath(a, b);
    doc().add(s, layer);
    return s;
  }
  // A stitching hole at c (a small round outline; the hole builder comes with stitching).
  TQN_Path *addHole(TPointF c, int layer = 0) {
    auto *s = new TQN_Path(kStitchingHolePalletIndex, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
    s->drawDotPath(c, 0.5f);
    s->FShapeType = QString::fromLatin1(shape_kind::Hole);
    s->FStartPt = c;
    s->FCenter = c;
    doc().add(s, layer);
    return s;
  }
};

}  // namespace quillon::test
