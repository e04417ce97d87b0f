#include "stitching/hole_placement.h"

#include "model/draw_pallet.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "stitching/stitch_state.h"

namespace quillon {

namespace {

// Grid cells about the size of a pitch: a query of half a pitch visits a few cells.
constexpr float kHoleCellSize = 4.0f;

}  // namespace

THoleFinder::THoleFinder(const TEditor &editor) : FGrid(kHoleCellSize) {
  for (TQN_Path *shape : editor.doc().PathList())
    if (shape->isKind(TShapeKind::Hole) && shape->FLayerID == editor.FActiveLayer) addHole(shape);
}

void THoleFinder::addHole(TQN_Path *hole) {
  FGrid.insert(static_cast<int>(FHoles.size()), TRectF(hole->FCenter, hole->FCenter));
  FHoles.push_back(hole);
}

TQN_Path *THoleFinder::findHoleNear(TPointF p, float distance) const {
  FGrid.query(TRectF(p, p), distance, FCandidates);
  TQN_Path *best = nullptr;
  float bestDistance = distance;
  for (const int i : FCandidates) {
    TQN_Path *hole = FHoles[static_cast<std::size_t>(i)];
    const float d = calcDistance(hole->FCenter, p);
    if (d < bestDistance) {
      best = hole;
      bestDistance = d;
    }
  }
  return best;
}

THolePlacer::THolePlacer(TEditor &editor) : FEditor(editor), FIron(prickingIron(editor)), FFinder(editor) {}

std::unique_ptr<TQN_Path> THolePlacer::newHole(TPointF center, float rotation) const {
  auto hole = std::make_unique<TQN_Path>(kStitchingHolePalletIndex, FEditor.display().FColor_StitchingHole, 1.0f,
                                         TStrokeDash::Dot, FEditor.doc().PathList().getNextID());
  hole->createStichPath(center, FEditor.tool().FIsInvertedStitchMode, FIron, rotation, 0.0f);
  return hole;
}

TQN_Path *THolePlacer::addHole(std::unique_ptr<TQN_Path> hole) {
  TQN_Path *added = FEditor.doc().add(std::move(hole), FEditor.FActiveLayer);
  FEditor.tool().FLastStitch = added;
  FFinder.addHole(added);
  return added;
}

TQN_Path *THolePlacer::addUnlinkedHole(std::unique_ptr<TQN_Path> hole, int layer) {
  TQN_Path *added = FEditor.doc().add(std::move(hole), layer);
  if (layer == FEditor.FActiveLayer) FFinder.addHole(added);
  return added;
}

void THolePlacer::reportEndlessLoop() {
  FRanAway = true;
  if (!FQuiet) FEditor.ui().messageBox(QStringLiteral("endlessloop"), FEditor.tr(QStringLiteral("endlessloop")));
}

}  // namespace quillon
