#include "model/shape_pieces.h"

#include "model/shape.h"

namespace quillon {

std::vector<std::unique_ptr<TQN_Path>> arcToBezierPieces(const TQN_Path &arc) {
  std::unique_ptr<TQN_Path> last(arc.createCopy());
  std::vector<std::unique_ptr<TQN_Path>> pieces;
  for (TQN_Path *piece : last->splitArc()) pieces.emplace_back(piece);
  pieces.push_back(std::move(last));
  for (const auto &piece : pieces) piece->convertArcToBezier();
  return pieces;
}

bool hasSameStroke(const TQN_Path &a, const TQN_Path &b) {
  return a.FColor == b.FColor && a.FThickness == b.FThickness && a.FDash == b.FDash;
}

}  // namespace quillon
