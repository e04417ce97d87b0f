#pragma once
// The parallel copy of a chain of lines, arcs and Bezier curves joined end to end (the
// outline of a piece, for a stitching line or a cutting allowance): each piece is offset
// by itself, then neighbouring copies are joined again, corners between lines and arcs by
// extending or shortening both to one point, corners with a Bezier by short bridging
// lines or by cutting both back to where they cross. The side follows a direction point:
// for a closed chain whether it lies inside, for an open one which side of the first
// piece it is on.
#include <memory>
#include <vector>

#include "platform/geometry.h"

namespace quillon {

class TEditor;
class TQN_Path;

// The pen of the shapes the builder makes: the preview line type (#40, ID -1) or the
// current pen with new IDs.
struct TOffsetPen {
  int PalletIndex = 0;
  TAlphaColor Color = 0xFFFFFFFF;
  float Thickness = 1.0f;
  TStrokeDash Dash = TStrokeDash::Solid;
  TEditor *IdSource = nullptr;  // gives new IDs; null: every shape gets -1
};
TOffsetPen offsetPen(TEditor &editor, bool preview);
// A new shape with the pen (and, with an ID source, a new ID).
std::unique_ptr<TQN_Path> newOffsetShape(const TOffsetPen &pen);

// `pieces` run in order, each ending where the next starts (closed: the last ends at the
// first's start). Returns new shapes in chain order (each offset piece followed by the
// bridging lines of its join with the next); the pieces are not changed. A piece whose
// copy would have no length or no radius drops out and its neighbours are joined.
std::vector<std::unique_ptr<TQN_Path>> offsetChain(const std::vector<TQN_Path *> &pieces, float distance,
                                                   TPointF directionPoint, bool closed, const TOffsetPen &pen);

// One piece offset by a signed distance (a positive distance moves an arc outward); none
// for other kinds, a line without length or an arc whose radius would not stay above 0.
std::unique_ptr<TQN_Path> offsetChainPiece(const TQN_Path &piece, float d, const TOffsetPen &pen);

// Even-odd test of a point against a polygon; fewer than three points: outside.
bool isPointInPolygon(TPointF p, const std::vector<TPointF> &polygon);

}  // namespace quillon
