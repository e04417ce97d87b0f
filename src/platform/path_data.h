#pragma once
// TPathData: the path object of the 2D canvas. An ordered list of entries (move, line,
// cubic curve, close), each with one point; a cubic curve takes three consecutive
// CurveTo entries (first control point, second control point, end point).
#include <string>
#include <string_view>
#include <vector>

#include "platform/geometry.h"

namespace quillon {

enum class TPathPointKind { MoveTo, LineTo, CurveTo, Close };

struct TPathPoint {
  TPathPointKind Kind = TPathPointKind::MoveTo;
  TPointF Point;
};

// The most lines one flattened cubic piece becomes. At the 0.3 mm of drawn curves every
// piece up to 3 m keeps its step (no hide is longer); a longer piece, as only a mistyped
// or damaged drawing holds, gets this many lines spread along it, so that keeping,
// crossing and writing its outline costs no more than for a 3 m curve.
inline constexpr int kFlattenMaxLines = 10000;

class TPathData {
 public:
  TPathData() = default;

  // Building.
  void MoveTo(TPointF p);
  void LineTo(TPointF p);
  void CurveTo(TPointF cp1, TPointF cp2, TPointF end);
  // Close entry; its point is the start of the current contour.
  void ClosePath();
  // Cubic arc of the ellipse with radii `radius` about `center`, from `startAngle`
  // through `sweepAngle` degrees (positive turns clockwise on screen): begins with a
  // move to the start point, then 90 degree pieces while more than 90 degrees plus
  // 0.01 radian remain, then the rest as one piece; handles 4/3*tan(phi/4)*radius.
  // A sweep of +-360 or more draws one full turn; a sweep below 1e-10 radian adds nothing.
  void AddArc(TPointF center, TPointF radius, float startAngle, float sweepAngle);
  // Axis-aligned ellipse in `rect`: a move to the left point, then four cubic quarter
  // curves through the top, right, bottom and back to the left point, handles
  // 0.5522847498 times the half width or height; no close entry.
  void AddEllipse(const TRectF &rect);
  // Appends all entries of another path.
  void AddPath(const TPathData &other);
  void Clear() { points_.clear(); }

  // Reading.
  int Count() const { return static_cast<int>(points_.size()); }
  bool IsEmpty() const { return points_.empty(); }
  const TPathPoint &operator[](int i) const { return points_[static_cast<size_t>(i)]; }
  const std::vector<TPathPoint> &Points() const { return points_; }
  // Point of the last entry; (0, 0) for an empty path.
  TPointF LastPoint() const;
  // Bounding rectangle of all entry points (control points included); zero rectangle
  // for an empty path.
  TRectF GetBounds() const;

  // Transforms.
  void ApplyMatrix(const TMatrix &m);
  void Translate(float dx, float dy);
  void Scale(float sx, float sy);

  // Replaces every cubic piece by straight lines (flatness raised to at least 0.05).
  // For the piece P0..P3: L is the sum of the chords through the curve points at
  // t = 0, 1/6, 2/6, 3/6, 4/6 and 1; n = L/f rounded halves to even. When n > 2 the
  // piece becomes lines to the points at t = i/(n-1), i = 0..n-2, then a line to P3;
  // otherwise one line to P3. n is at most kFlattenMaxLines (below). Moves, lines and
  // closes are copied unchanged.
  void Flatten(float flatness);

  // Path text: "M" x "," y " " for a move, "L" x "," y " " for a line, "C" and its
  // three points each as x "," y " " for a curve, "Z " for a close; numbers as the
  // 32-bit value widened to 64 bits with up to 15 significant digits ("M0,0 L10,0 ").
  std::string toText() const;
  // Replaces the content by SVG path data (absolute and relative M L H V C S Q T A Z);
  // quadratic curves and elliptic arcs become cubics. Throws std::runtime_error on
  // malformed data, leaving the path unchanged.
  void setText(std::string_view svg);
  static TPathData fromText(std::string_view svg);

  bool operator==(const TPathData &o) const;

 private:
  std::vector<TPathPoint> points_;
};

}  // namespace quillon
