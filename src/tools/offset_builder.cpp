#include "tools/offset_builder.h"

#include <cmath>
#include <numbers>
#include <optional>

#include "model/bezier.h"
#include "model/draw_pallet.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "shell/editor.h"
#include "tools/draw_tools.h"

namespace quillon {

namespace {

constexpr double kRadToDeg = 180.0 / std::numbers::pi;

double cross2(TPointF a, TPointF b) { return double(a.X) * b.Y - double(a.Y) * b.X; }
float length(TPointF v) { return float(std::hypot(double(v.X), double(v.Y))); }

TPointF unitOr10(TPointF v) {
  const float len = length(v);
  return len < 1e-9f ? TPointF(1.0f, 0.0f) : TPointF(v.X / len, v.Y / len);
}

TCubicBezier cubicOf(const TQN_Path &s) { return {s.FStartPt, s.FBezierCp1, s.FBezierCp2, s.FEndPt}; }

// The unit direction of travel at the piece's start or end.
TPointF tangentAt(const TQN_Path &s, bool atStart) {
  if (s.isKind(TShapeKind::Bezier))
    return atStart ? unitOr10(s.FBezierCp1 - s.FStartPt) : unitOr10(s.FEndPt - s.FBezierCp2);
  if (s.isKind(TShapeKind::Arc)) {
    const TPointF r = unitOr10((atStart ? s.FStartPt : s.FEndPt) - s.FCenter);
    return s.FSweepAngle >= 0.0f ? TPointF(-r.Y, r.X) : TPointF(r.Y, -r.X);
  }
  return unitOr10(s.FEndPt - s.FStartPt);
}
TPointF startTangent(const TQN_Path &s) { return tangentAt(s, true); }
TPointF endTangent(const TQN_Path &s) { return tangentAt(s, false); }

std::vector<TPointF> chainOutlinePolygon(const std::vector<TQN_Path *> &pieces) {
  std::vector<TPointF> polygon;
  for (const TQN_Path *piece : pieces) {
    for (const TRectF &seg : piece->getIntervals(false)) {
      const TPointF st(seg.Left, seg.Top), ed(seg.Right, seg.Bottom);
      if (polygon.empty() || calcDistance(polygon.back(), st) > 1e-6f) polygon.push_back(st);
      polygon.push_back(ed);
    }
  }
  return polygon;
}

TPointF outlineMidpoint(const TQN_Path &piece) {
  const std::vector<TRectF> segs = piece.getIntervals(false);
  double total = 0.0;
  for (const TRectF &s : segs) total += std::hypot(double(s.Right) - s.Left, double(s.Bottom) - s.Top);
  if (total < 1e-9) return piece.FStartPt;
  double run = 0.0;
  for (const TRectF &s : segs) {
    const double len = std::hypot(double(s.Right) - s.Left, double(s.Bottom) - s.Top);
    if (run + len >= total / 2.0 && len > 0.0) {
      const double f = (total / 2.0 - run) / len;
      return {float(s.Left + (s.Right - s.Left) * f), float(s.Top + (s.Bottom - s.Top) * f)};
    }
    run += len;
  }
  return piece.FEndPt;
}

void redrawArc(TQN_Path &arc, TPointF st, TPointF ep, float sweep) {
  arc.drawArcPath(arc.FCenter, {arc.FWidth, arc.FHeight}, st, ep, sweep);
}

// The change of angle about the arc's centre from `from` to `to`, in -180..180 degrees.
float angleChange(const TQN_Path &arc, TPointF from, TPointF to) {
  double f = (std::atan2(double(to.Y) - arc.FCenter.Y, double(to.X) - arc.FCenter.X) -
              std::atan2(double(from.Y) - arc.FCenter.Y, double(from.X) - arc.FCenter.X)) *
             kRadToDeg;
  while (f > 180.0) f -= 360.0;
  while (f < -180.0) f += 360.0;
  return float(f);
}

void moveArcEnd(TQN_Path &arc, TPointF p) {
  redrawArc(arc, arc.FStartPt, p, arc.FSweepAngle + angleChange(arc, arc.FEndPt, p));
}
void moveArcStart(TQN_Path &arc, TPointF p) {
  redrawArc(arc, p, arc.FEndPt, arc.FSweepAngle - angleChange(arc, arc.FStartPt, p));
}

// The piece ends (atEnd) or starts at the point.
void movePieceEnd(TQN_Path &piece, TPointF j, bool atEnd) {
  if (piece.isKind(TShapeKind::Line)) {
    if (atEnd) piece.drawLinePath(piece.FStartPt, j);
    else piece.drawLinePath(j, piece.FEndPt);
  } else if (piece.isKind(TShapeKind::Bezier)) {
    if (atEnd) piece.drawBezierPath(piece.FStartPt, piece.FBezierCp1, piece.FBezierCp2 + (j - piece.FEndPt), j);
    else piece.drawBezierPath(j, piece.FBezierCp1 + (j - piece.FStartPt), piece.FBezierCp2, piece.FEndPt);
  } else if (piece.isKind(TShapeKind::Arc)) {
    if (atEnd) moveArcEnd(piece, j);
    else moveArcStart(piece, j);
  }
}

// The crossing of the tangent lines from e along t1 and from b along t2.
TPointF tangentCrossing(TPointF e, TPointF t1, TPointF b, TPointF t2) {
  const double u = cross2(b - e, t2) / cross2(t1, t2);
  return {float(e.X + t1.X * u), float(e.Y + t1.Y * u)};
}

void joinAtTangentCorner(TQN_Path &P, TQN_Path &N, float limit) {
  const TPointF e = P.FEndPt, b = N.FStartPt, t1 = endTangent(P), t2 = startTangent(N);
  TPointF k = (e + b) * 0.5f;
  if (std::fabs(cross2(t1, t2)) > 0.001) {
    const TPointF c = tangentCrossing(e, t1, b, t2);
    if (calcDistance(c, e) <= limit) k = c;
  }
  TPointF j = k;
  if (N.isKind(TShapeKind::Arc)) j = N.FCenter + unitOr10(k - N.FCenter) * N.FWidth;
  else if (P.isKind(TShapeKind::Arc)) j = P.FCenter + unitOr10(k - P.FCenter) * P.FWidth;
  movePieceEnd(P, j, true);
  movePieceEnd(N, j, false);
}

std::vector<TPointF> samplePiece(const TQN_Path &s, int n) {
  std::vector<TPointF> pts;
  if (s.isKind(TShapeKind::Arc)) {
    const double a0 = std::atan2(double(s.FStartPt.Y) - s.FCenter.Y, double(s.FStartPt.X) - s.FCenter.X);
    const double sweep = double(s.FSweepAngle) / kRadToDeg;
    for (int i = 0; i <= n; ++i) {
      const double a = a0 + sweep * i / n;
      pts.emplace_back(float(s.FCenter.X + s.FWidth * std::cos(a)), float(s.FCenter.Y + s.FWidth * std::sin(a)));
    }
  } else if (s.isKind(TShapeKind::Bezier)) {
    const TCubicBezier c = cubicOf(s);
    for (int i = 0; i <= n; ++i) pts.push_back(bezierPointAt(c, double(i) / n));
  } else {
    for (int i = 0; i <= n; ++i) pts.push_back(s.FStartPt + (s.FEndPt - s.FStartPt) * (float(i) / n));
  }
  return pts;
}

std::optional<TPointF> segmentCrossing(TPointF a1, TPointF a2, TPointF b1, TPointF b2) {
  const TPointF r = a2 - a1, q = b2 - b1;
  const double den = cross2(r, q);
  if (std::fabs(den) < 1e-12) return std::nullopt;
  const double t = cross2(b1 - a1, q) / den, u = cross2(b1 - a1, r) / den;
  if (t < 0.0 || t > 1.0 || u < 0.0 || u > 1.0) return std::nullopt;
  return TPointF(float(a1.X + r.X * t), float(a1.Y + r.Y * t));
}

std::optional<TPointF> findJoinCrossing(const TQN_Path &P, const TQN_Path &N) {
  const std::vector<TPointF> a = samplePiece(P, 40), b = samplePiece(N, 40);
  std::optional<TPointF> best;
  float bestSum = 0.0f;
  for (std::size_t i = 0; i + 1 < a.size(); ++i)
    for (std::size_t j = 0; j + 1 < b.size(); ++j)
      if (const auto x = segmentCrossing(a[i], a[i + 1], b[j], b[j + 1])) {
        const float sum = calcDistance(*x, P.FEndPt) + calcDistance(*x, N.FStartPt);
        if (!best || sum < bestSum) {
          best = x;
          bestSum = sum;
        }
      }
  return best;
}

// The piece cut back to end (atEnd) or start at the point; a Bezier is divided at the
// time of its point nearest to it.
void trimPieceAt(TQN_Path &piece, TPointF point, bool atEnd) {
  if (!piece.isKind(TShapeKind::Bezier)) {
    movePieceEnd(piece, point, atEnd);
    return;
  }
  TPointF nearest;
  const float t = piece.findNearestBezierT(point, nearest);
  TCubicBezier first, second;
  splitCubicAt(cubicOf(piece), t, first, second);
  const TCubicBezier &kept = atEnd ? first : second;
  piece.drawBezierPath(kept.P0, kept.P1, kept.P2, kept.P3);
}

std::unique_ptr<TQN_Path> bridge(TPointF a, TPointF b, const TOffsetPen &pen) {
  auto line = newOffsetShape(pen);
  line->drawLinePath(a, b);
  return line;
}

void joinOffsetPieces(TQN_Path &P, TQN_Path &N, float limit, const TOffsetPen &pen,
                      std::vector<std::unique_ptr<TQN_Path>> &bridges) {
  const TPointF e = P.FEndPt, b = N.FStartPt, t1 = endTangent(P), t2 = startTangent(N);
  const double cross = double(t1.X) * -t2.Y + double(t1.Y) * t2.X;
  const bool curve = P.isKind(TShapeKind::Bezier) || N.isKind(TShapeKind::Bezier);
  if (!curve || std::fabs(cross) <= 0.05 || calcDistance(e, b) < 0.05f) {
    joinAtTangentCorner(P, N, limit);
    return;
  }
  const double u = cross2(b - e, t2) / cross2(t1, t2);
  if (u >= 0.0) {
    const TPointF c(float(e.X + t1.X * u), float(e.Y + t1.Y * u));
    if (calcDistance(c, e) <= limit && calcDistance(c, b) <= limit) {
      if (calcDistance(e, c) > 1e-4f) bridges.push_back(bridge(e, c, pen));
      if (calcDistance(c, b) > 1e-4f) bridges.push_back(bridge(c, b, pen));
    } else {
      bridges.push_back(bridge(e, b, pen));
    }
    return;
  }
  if (const std::optional<TPointF> x = findJoinCrossing(P, N)) {
    trimPieceAt(P, *x, true);
    trimPieceAt(N, *x, false);
  } else {
    joinAtTangentCorner(P, N, limit);
  }
}

// +1 or -1: the side of the copy, from the direction point.
float chooseSide(const std::vector<TQN_Path *> &pieces, float distance, TPointF dir, bool closed,
                 const TOffsetPen &pen) {
  const TQN_Path &first = *pieces.front();
  if (closed && pieces.size() >= 2) {
    const std::vector<TPointF> polygon = chainOutlinePolygon(pieces);
    if (polygon.size() <= 2) return 1.0f;
    const bool inside = isPointInPolygon(dir, polygon);
    const float d = first.isKind(TShapeKind::Arc) && first.FSweepAngle < 0.0f ? -distance : distance;
    TOffsetPen probePen = pen;
    probePen.IdSource = nullptr;  // the test copy is thrown away: it takes no ID
    const std::unique_ptr<TQN_Path> test = offsetChainPiece(first, d, probePen);
    if (!test) return 1.0f;
    const TPointF m1 = outlineMidpoint(first), m2 = outlineMidpoint(*test);
    const TPointF probe = m1 + (m2 - m1) * 0.25f;
    return isPointInPolygon(probe, polygon) == inside ? 1.0f : -1.0f;
  }
  if (first.isKind(TShapeKind::Bezier)) {
    const TCubicBezier plus = OffsetBezier(cubicOf(first), distance), minus = OffsetBezier(cubicOf(first), -distance);
    const float sumPlus = calcDistance(plus.P0, dir) + calcDistance(plus.P3, dir);
    const float sumMinus = calcDistance(minus.P0, dir) + calcDistance(minus.P3, dir);
    return sumMinus > sumPlus ? 1.0f : -1.0f;
  }
  if (first.isKind(TShapeKind::Line)) {
    const TPointF dv = first.FEndPt - first.FStartPt;
    const float L = length(dv);
    if (L < 1e-9f) return 1.0f;
    const TPointF n(dv.Y / L, -dv.X / L);
    const TPointF a = first.FStartPt + n * distance, b = first.FStartPt - n * distance;
    return calcDistance(b, dir) > calcDistance(a, dir) ? 1.0f : -1.0f;
  }
  if (first.isKind(TShapeKind::Arc)) {
    const TPointF u = unitOr10(first.FStartPt - first.FCenter);
    const float g = first.FSweepAngle >= 0.0f ? 1.0f : -1.0f;
    const TPointF a = first.FStartPt + u * (distance * g), b = first.FStartPt - u * (distance * g);
    return calcDistance(b, dir) > calcDistance(a, dir) ? 1.0f : -1.0f;
  }
  return 1.0f;
}

}  // namespace

std::unique_ptr<TQN_Path> newOffsetShape(const TOffsetPen &pen) {
  const int id = pen.IdSource ? pen.IdSource->doc().PathList().getNextID() : -1;
  return std::make_unique<TQN_Path>(pen.PalletIndex, pen.Color, pen.Thickness, pen.Dash, id);
}

TOffsetPen offsetPen(TEditor &editor, bool preview) {
  TOffsetPen pen;
  if (preview) {
    pen.PalletIndex = kPreviewPalletIndex;
    const TPalletList &list = editor.pen().FPalletList;
    if (std::size_t(kPreviewPalletIndex) < list.size() && list[kPreviewPalletIndex]) {
      const TDrawPallet &p = *list[kPreviewPalletIndex];
      pen.Color = p.Color();
      pen.Thickness = p.FThickness;
      pen.Dash = p.FDash;
    }
    return pen;
  }
  pen.PalletIndex = getCurrentPaletteIndex(editor.pen());
  pen.Color = editor.pen().FCurrentColor;
  pen.Thickness = editor.pen().FCurrentThickness;
  pen.Dash = editor.pen().FCurrentDash;
  pen.IdSource = &editor;
  return pen;
}

std::unique_ptr<TQN_Path> offsetChainPiece(const TQN_Path &piece, float d, const TOffsetPen &pen) {
  if (piece.isKind(TShapeKind::Bezier)) {
    const TCubicBezier c = OffsetBezier(cubicOf(piece), d);
    auto s = newOffsetShape(pen);
    s->drawBezierPath(c.P0, c.P1, c.P2, c.P3);
    return s;
  }
  if (piece.isKind(TShapeKind::Line)) {
    const TPointF dv = piece.FEndPt - piece.FStartPt;
    const float L = length(dv);
    if (L < 1e-9f) return nullptr;
    const TPointF shift(d * dv.Y / L, -d * dv.X / L);
    auto s = newOffsetShape(pen);
    s->drawLinePath(piece.FStartPt + shift, piece.FEndPt + shift);
    return s;
  }
  if (piece.isKind(TShapeKind::Arc)) {
    const float w = piece.FWidth + d, h = piece.FHeight + d;
    if (w <= 0.0f || h <= 0.0f) return nullptr;
    const TPointF c = piece.FCenter;
    auto s = newOffsetShape(pen);
    s->drawArcPath(c, {w, h}, piece.FStartPt + calcUnitVector(c, piece.FStartPt) * d,
                   piece.FEndPt + calcUnitVector(c, piece.FEndPt) * d, piece.FSweepAngle);
    return s;
  }
  return nullptr;
}

bool isPointInPolygon(TPointF p, const std::vector<TPointF> &polygon) {
  if (polygon.size() < 3) return false;
  bool inside = false;
  for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
    const TPointF a = polygon[i], b = polygon[j];
    if ((a.Y > p.Y) != (b.Y > p.Y) &&
        double(p.X) < (double(b.X) - a.X) * (double(p.Y) - a.Y) / (double(b.Y) - a.Y + 1e-30) + a.X)
      inside = !inside;
  }
  return inside;
}

std::vector<std::unique_ptr<TQN_Path>> offsetChain(const std::vector<TQN_Path *> &pieces, float distance,
                                                   TPointF directionPoint, bool closed, const TOffsetPen &pen) {
  std::vector<std::unique_ptr<TQN_Path>> result;
  if (pieces.empty()) return result;
  const float s = chooseSide(pieces, distance, directionPoint, closed, pen);
  std::vector<std::unique_ptr<TQN_Path>> offsets;
  for (const TQN_Path *piece : pieces) {
    const float d = distance * s * (piece->isKind(TShapeKind::Arc) && piece->FSweepAngle < 0.0f ? -1.0f : 1.0f);
    if (auto o = offsetChainPiece(*piece, d, pen)) offsets.push_back(std::move(o));
  }
  const float limit = 10.0f * distance;
  std::vector<std::vector<std::unique_ptr<TQN_Path>>> bridges(offsets.size());
  for (std::size_t i = 0; i < offsets.size(); ++i) {
    std::size_t next = i + 1;
    if (next == offsets.size()) {
      if (!closed || offsets.size() < 2) break;
      next = 0;
    }
    joinOffsetPieces(*offsets[i], *offsets[next], limit, pen, bridges[i]);
  }
  for (std::size_t i = 0; i < offsets.size(); ++i) {
    result.push_back(std::move(offsets[i]));
    for (auto &b : bridges[i]) result.push_back(std::move(b));
  }
  return result;
}

}  // namespace quillon
