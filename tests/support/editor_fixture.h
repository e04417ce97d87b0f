#pragma once
// A fixture with a started editor (no document named, a scripted user interface) and
// small builders of shapes added straight to its document.
#include <gtest/gtest.h>

#include <memory>

#include "model/shape.h"
#include "model/shape_list.h"
#include "model/draw_pallet.h"
#include "shell/editor.h"
#include "stitching/pricking_iron.h"
#include "tools/command_hooks.h"
#include "support/built_shapes.h"
#include "support/scripted_ui.h"

namespace quillon::test {

// Takes the editor's pricking-iron groups away (no hole may use their irons), so that a
// test resolves iron references against the groups it sets up itself.
inline void dropIronGroups(TEditor &editor) {
  editor.tool().FSelectedPrickingIron = nullptr;
  editor.FPrickingIronGroups.clear();
}

class EditorTest : public ::testing::Test {
 protected:
  EditorTest() { installCommandHooks(editor); }

  TScriptedUi ui;
  TEditor editor{ui, {QStringLiteral("--instance-id"), QStringLiteral("1")}};
  TShapeList &doc() { return editor.doc().PathList(); }
  std::size_t undoStates() const { return editor.FUndoStore.FUndoList.size(); }

  TQN_Path *addLine(TPointF a, TPointF b, int layer = 0, int pallet = 0) {
    auto s = std::make_unique<TQN_Path>(pallet, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid, doc().getNextID());
    s->drawLinePath(a, b);
    return editor.doc().add(std::move(s), layer);
  }
  // A stitching hole at c (a small round outline; the hole builder comes with stitching).
  TQN_Path *addHole(TPointF c, int layer = 0) {
    auto s = std::make_unique<TQN_Path>(kStitchingHolePalletIndex, 0xFFFFFFFF, 1.0f, TStrokeDash::Solid,
                                        doc().getNextID());
    s->drawDotPath(c, 0.5f);
    s->FShapeType = TShapeKind::Hole;
    s->FStartPt = c;
    s->FCenter = c;
    return editor.doc().add(std::move(s), layer);
  }

  // A shape set up through its pointer before it joins the document: the fixture keeps it
  // until addBuilt hands it to the document (a shape never added is freed with the fixture).
  TQN_Path *keepBuilt(std::unique_ptr<TQN_Path> shape) { return built.keep(std::move(shape)); }
  TQN_Path *addBuilt(TQN_Path *shape, int layer = 0) { return built.addTo(editor.doc(), shape, layer); }
  TBuiltShapes built;
};

}  // namespace quillon::test
