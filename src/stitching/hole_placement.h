#pragma once
// What every routine that places stitching holes shares: finding the holes already there
// and making new ones.
//
// A position already holds a hole when a hole of the active layer has its centre closer
// than a distance (half the pitch, as a rule) to it; visibility of layers and line types
// and the zoom play no part, so a placement gives the same holes whatever the view.
// THoleFinder answers that from a grid of the centres, so placing hundreds of holes in a
// drawing of thousands stays quick.
#include <memory>
#include <vector>

#include "model/spatial_index.h"
#include "platform/geometry.h"

namespace quillon {

class TEditor;
class TPrickingIron;
class TQN_Path;

class THoleFinder {
 public:
  // The holes of the active layer of the editor's document, as they lie now.
  explicit THoleFinder(const TEditor &editor);

  // Of the holes whose centre lies closer than `distance` to p, the nearest (the earlier
  // in the document on ties); none when there is none.
  TQN_Path *findHoleNear(TPointF p, float distance) const;
  // A hole placed since the finder was made; found from now on.
  void addHole(TQN_Path *hole);

 private:
  TRectGrid FGrid;
  std::vector<TQN_Path *> FHoles;
  mutable std::vector<int> FCandidates;
};

// One run of a placing routine: the iron in use and the holes of the active layer.
class THolePlacer {
 public:
  // Takes the iron in use (prickingIron, stitching/stitch_state.h); with none, Ready()
  // is false and the run places nothing.
  explicit THolePlacer(TEditor &editor);

  bool Ready() const { return FIron != nullptr; }
  TEditor &editor() const { return FEditor; }
  TQN_Path *findHoleNear(TPointF p, float distance) const { return FFinder.findHoleNear(p, distance); }

  // A new hole, not yet in the document: the stitching-hole line type and colour, the
  // document's next ID, made with the iron in use and the tool's "Reverse" at the centre,
  // turned by `rotation` degrees.
  std::unique_ptr<TQN_Path> newHole(TPointF center, float rotation) const;
  // Adds a new hole to the document on the active layer; it becomes FLastStitch.
  TQN_Path *addHole(std::unique_ptr<TQN_Path> hole);
  // Adds a new hole to the document on `layer`, linked to nothing; FLastStitch stays.
  TQN_Path *addUnlinkedHole(std::unique_ptr<TQN_Path> hole, int layer);

  // A walk ran beyond its limit ("Endless loop error"). A run for the user shows the
  // message box; a quiet run (an automation request, which must answer and not wait for
  // a person) only records it, and the caller answers with an error.
  void reportEndlessLoop();
  void setQuiet(bool quiet) { FQuiet = quiet; }
  bool ranAway() const { return FRanAway; }

 private:
  TEditor &FEditor;
  TPrickingIron *FIron;
  THoleFinder FFinder;
  bool FQuiet = false;
  bool FRanAway = false;
};

}  // namespace quillon
