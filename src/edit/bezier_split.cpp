#include "edit/bezier_split.h"

#include "model/intersection.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "shell/editor.h"

namespace quillon {

std::unique_ptr<TQN_Path> makePieceLike(TEditor &editor, const TQN_Path &source) {
  return std::make_unique<TQN_Path>(source.FPalletIndex, source.FColor, source.FThickness, source.FDash,
                                    editor.doc().PathList().getNextID());
}

std::unique_ptr<TQN_Path> splitBezierAtPoint(TEditor &editor, TQN_Path &bezier, TPointF p) {
  if (!bezier.isKind(TShapeKind::Bezier)) return nullptr;
  const TPointF P0 = bezier.FStartPt, P1 = bezier.FBezierCp1, P2 = bezier.FBezierCp2, P3 = bezier.FEndPt;
  TPointF N;
  const double t = bezier.findNearestBezierT(p, N);
  if (calcDistance(p, N) > kBezierSplitReach) return nullptr;
  if (isSamePoint(N, P0, 0.0f) || isSamePoint(N, P3, 0.0f) || t <= 0.0 || t >= 1.0) return nullptr;

  // de Casteljau at t, with the sampled point N standing for the curve point at t so that
  // both halves meet exactly there.
  const double u = 1.0 - t;
  const auto mix = [](TPointF a, double wa, TPointF b, double wb) {
    return TPointF{float(a.X * wa + b.X * wb), float(a.Y * wa + b.Y * wb)};
  };
  const TPointF Q0 = mix(P0, u, P1, t);
  const TPointF R0{float(u * u * P0.X + 2.0 * u * t * P1.X + t * t * P2.X),
                   float(u * u * P0.Y + 2.0 * u * t * P1.Y + t * t * P2.Y)};
  const TPointF R1 = mix(N, 1.0 + u / t, R0, -u / t);
  const TPointF Q2 = mix(P3, t, P2, u);

  removeIntersectionsOf(editor.doc().FIntersections, &bezier);
  bezier.drawBezierPath(P0, Q0, R0, N);
  std::unique_ptr<TQN_Path> piece = makePieceLike(editor, bezier);
  piece->drawBezierPath(N, R1, Q2, P3);
  return piece;
}

TQN_Path *splitBezierAtPointInDocument(TEditor &editor, TQN_Path &bezier, TPointF p) {
  std::unique_ptr<TQN_Path> piece = splitBezierAtPoint(editor, bezier, p);
  if (!piece) return nullptr;
  TQN_Path *added = editor.doc().add(std::move(piece), bezier.FLayerID);
  editor.calcIntersectionsOfShape(&bezier);
  editor.calcIntersectionsOfShape(added);
  return added;
}

}  // namespace quillon
