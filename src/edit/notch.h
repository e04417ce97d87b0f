#pragma once
// The notch tool, a mode of the trim tool: a V-shaped mark at the edge of a piece, drawn
// as two new lines from an apex a chosen depth inside the piece back to the edge at a
// chosen opening angle. The first click fixes the notch point on a shape; the pointer's
// side of the edge gives the apex; the second click makes the notch. The edge stays whole.
#include <optional>
#include <vector>

#include "platform/geometry.h"

namespace quillon {

class TEditor;
class TIntersection;
class TQN_Path;

// The arms reach this many depths from the apex before they are cut at the edge.
inline constexpr float kNotchArmLengthFactor = 1.5f;

// The notch from the notch point P0 toward the pointer P: `Dir` points from P toward P0
// (left, (-1, 0), when they coincide), the apex lies `depth` from P0 toward P, and the
// arms leave it in the directions A1 and A2 (Dir turned by plus and minus half the angle).
struct TNotchGeometry {
  TPointF P0;
  TPointF Dir;
  TPointF A1;
  TPointF A2;
  TPointF Apex;
  TPointF ArmEnd1;
  TPointF ArmEnd2;
};
TNotchGeometry notchGeometry(TPointF P0, TPointF P, float depth, float angleDegrees);

// The notch tool's click at the real point. The first click fixes the notch point when it
// lies on the outline of the topmost shape of the active layer under it (loose
// tolerance); the second makes the notch with the ribbon's depth and angle, as one undo
// step, and forgets the notch point whatever came of it. True when the click fixed the
// point or made the notch.
bool notchClick(TEditor &editor, TPointF point);
// The notch a second click at the real point would make, while a notch point is fixed.
std::optional<TNotchGeometry> notchPreview(const TEditor &editor, TPointF point);

// Makes the two arms when a shape of the active layer lies at P0 (strict tolerance): each
// is a line from the apex with the current pen, cut where it meets the notched edge and
// then drawn with that edge's pen; an arm that meets nothing keeps its full length. True
// when the arms were added.
bool applyNotch(TEditor &editor, const TNotchGeometry &notch);
// Keeps the records of an arm that leave the apex along its own direction, away from the
// notch point and not with the other arm; the shapes they meet go to `met` once each.
void filterArmIntersections(const TNotchGeometry &notch, const TQN_Path *arm, const TQN_Path *other,
                            std::vector<TIntersection *> &records, std::vector<TQN_Path *> &met);
// The record where the arm ends: on the one shape met, else on the one shape under the
// notch point (`atNotch`) that shares its colour with a shape met, else the record
// nearest the edge's side of the notch point.
TIntersection *chooseArmEndIntersection(const TNotchGeometry &notch, const TQN_Path *arm,
                                        const std::vector<TIntersection *> &records, const std::vector<TQN_Path *> &met,
                                        const std::vector<TQN_Path *> &atNotch);
// The first record that joins the two shapes, in either order.
TIntersection *findIntersectionOfPair(const TQN_Path *x, const TQN_Path *y, const std::vector<TIntersection *> &records);

}  // namespace quillon
