#pragma once
// Holes along a route of the route network (model/route_network.h) in one step, and the
// pitch search behind it: trial walks (stepHolesAlongRoute) at pitches around a first
// one, keeping the walk that ends nearest to the route's end.
//
// Two users: the stitching tool, when a click of an open route lands on a network vertex
// (prickRouteToVertex, driven by the pricking tab's controls), and the automation route
// that lays holes between two points (which passes its own values).
#include <memory>
#include <vector>

#include <QString>

#include "model/shape.h"
#include "platform/geometry.h"

namespace quillon {

class TEditor;
class THolePlacer;
class TRouteVertex;
class TVertexNetwork;

// The pieces of shape along the best way into a vertex, walked back from it: the list
// runs from the vertex back to the search's start. Second is the point of the first
// vertex after the start (the vertex itself for a one-piece route), or `end` when there
// is no piece or that point is exactly `start`.
struct TRoutePieces {
  std::vector<std::unique_ptr<TQN_Path>> Owned;
  std::vector<TQN_Path *> Pieces;  // the same shapes, in the same order
  TPointF Second;
};
TRoutePieces collectRoutePieces(const TVertexNetwork &network, const TRouteVertex *vertex, TPointF start,
                                TPointF end);

// The trial walks of one search over a route from Start to End, and the best one so far.
class TRouteTrialSearch {
 public:
  // Which walk is kept as the best.
  struct TRule {
    // The walk's count must be WantedCount for a smaller gap to count (set number of holes).
    bool SetNum = false;
    int WantedCount = 0;
    // A walk with WantedCount points beats a best walk with another count, whatever its gap.
    bool CountWins = false;
    // A start that offers two ways gets a second walk the other way.
    bool BothWays = false;
  };

  TRouteTrialSearch(THolePlacer &placer, const std::vector<TQN_Path *> &pieces, TPointF start, TPointF end,
                    TPointF second, TRule rule);

  // One trial at the pitch (non-positive pitches are not walked).
  void tryPitch(float pitch);
  // Trials at base + d and base - d, d = precision x i for i = 0, 1, ... while i < steps
  // and the best gap is at least stopGap (or, with CountWins, the best count is not
  // WantedCount).
  void search(float base, float precision, int steps, float stopGap);

  float BestGap = 2147483648.0f;
  int BestCount = 0;
  float BestPitch = 0.0f;
  std::vector<TPointF> BestPoints, BestDirections;
  int Trials = 0;  // walks made

 private:
  void judge(float estimate, float gap, const std::vector<TPointF> &points, const std::vector<TPointF> &directions);

  THolePlacer &FPlacer;
  const std::vector<TQN_Path *> &FPieces;
  TPointF FStart, FEnd, FSecond;
  TRule FRule;
};

// What a route pricking did: holes made, the counts and the pitch the labels report.
struct TRoutePricking {
  bool Done = false;       // the route ended (false: the set-number mode found no length)
  int Count = 0;           // the count label's number
  float Pitch = 0.0f;      // the pitch label's length
  bool Estimated = false;  // the pitch label reads "Estimated best pitch: "
  int Trials = 0;          // trial walks of the uniform search
  bool CornerMode = false; // the corner distribution laid the holes
};

// The stitching tool's click on the network vertex `vertex` of an open route (the
// network's search ran from FStitchRealOrigin to `clicked`): lays the route's holes with
// the pricking tab's settings, ends the route, takes one undo snapshot and fills the
// count and pitch lines.
TRoutePricking prickRouteToVertex(TEditor &editor, const TVertexNetwork &network, const TRouteVertex *vertex,
                                  TPointF clicked);

// "# of Pricked Holes:n  " and "<pitch phrase><length>  " in the lines under the drawing.
void showPrickedHoles(TEditor &editor, int count, const QString &pitchKey, float pitch);

}  // namespace quillon
