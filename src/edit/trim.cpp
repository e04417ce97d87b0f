#include "edit/trim.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

#include "edit/bezier_split.h"
#include "edit/drawing_check.h"
#include "model/intersection.h"
#include "model/intersection_finders.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "shell/editor.h"
#include "shell/editor_ui.h"
#include "shell/undo.h"
#include "tools/hit_test.h"

namespace quillon {

namespace {

constexpr float kHoleReach = 0.5f;    // a hole farther from the shape makes no cut
constexpr float kHoleEndGap = 0.05f;  // nor one this close to an end of the shape
constexpr float kCircleSlack = 0.01f;  // width and height of a circle differ by no more

// Where a point lies along the outline (flattened as getIntervals flattens it): the
// length from the outline's start to the point's foot on its nearest segment.
double outlinePosition(const std::vector<TRectF> &segments, TPointF p) {
  double before = 0.0, best = std::numeric_limits<double>::max(), position = 0.0;
  for (const TRectF &s : segments) {
    const TPointF a = s.topLeft(), b = s.bottomRight();
    const double dx = double(b.X) - a.X, dy = double(b.Y) - a.Y, len2 = dx * dx + dy * dy;
    double t = len2 > 0.0 ? ((double(p.X) - a.X) * dx + (double(p.Y) - a.Y) * dy) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const double fx = a.X + t * dx - p.X, fy = a.Y + t * dy - p.Y, d = fx * fx + fy * fy;
    const double len = std::sqrt(len2);
    if (d < best) {
      best = d;
      position = before + t * len;
    }
    before += len;
  }
  return position;
}

double totalLength(const std::vector<TRectF> &segments) {
  double sum = 0.0;
  for (const TRectF &s : segments) sum += calcDistance(s.topLeft(), s.bottomRight());
  return sum;
}

// The cut point nearest the clicked point along the outline in one direction; the
// outline's start (backward) or end (forward) when there is none. A circle's outline
// wraps round.
TPointF nearestCutAlongOutline(const TQN_Path &shape, const std::vector<TPointF> &cuts, TPointF clicked,
                               int direction) {
  const std::vector<TRectF> segments = shape.getIntervals(false);
  const bool wraps = shape.isKind(TShapeKind::Ellipse);
  const double total = totalLength(segments);
  const double from = outlinePosition(segments, clicked);
  std::optional<TPointF> found;
  double best = 0.0;
  for (const TPointF &c : cuts) {
    int segment = 0;
    if (!shape.isOnPath(c, segment, 0.1f)) continue;
    double len = direction > 0 ? outlinePosition(segments, c) - from : from - outlinePosition(segments, c);
    if (wraps) {
      if (len <= 0.0) len += total;
    } else if (len <= 0.0) {
      continue;
    }
    if (!found || len < best) {
      found = c;
      best = len;
    }
  }
  if (found) return *found;
  return direction > 0 ? shape.FEndPt : shape.FStartPt;
}

int sweepSign(float sweep) { return sweep > 0.0f ? 1 : (sweep < 0.0f ? -1 : 0); }

std::unique_ptr<TQN_Path> linePiece(TEditor &editor, const TQN_Path &line, TPointF from, TPointF to) {
  if (!(round2(calcDistance(from, to)) > kShortestLinePiece)) return nullptr;
  std::unique_ptr<TQN_Path> piece = makePieceLike(editor, line);
  piece->drawLinePath(from, to);
  return piece;
}

void refuseKind(TEditor &editor, const QString &key) { editor.ui().messageBox(key, editor.tr(key)); }

// The trim itself; `showRefusal` shows the box for a kind that cannot be trimmed.
bool trim(TEditor &editor, TPointF point, bool showRefusal, bool &refused) {
  refused = false;
  const std::vector<TQN_Path *> hits =
      hitTestShapes(editor, editor.doc().PathList(), false, point, true, false, false);
  if (hits.empty()) return false;
  TQN_Path *S = hits.front();
  if (S->FMandalaID > 0) {
    // A copy of a radial repeat may not have its records yet.
    removeIntersectionsOf(editor.doc().FIntersections, S);
    editor.calcIntersectionsOfShape(S);
  }

  std::unique_ptr<TQN_Path> pieceA, pieceB;
  TPointF a, b;
  if (S->isKind(TShapeKind::Line)) {
    findLineTrimBounds(editor, *S, point, a, b);
    trimLineBetween(editor, *S, pieceA, pieceB, a, b);
  } else if (S->isKind(TShapeKind::Bezier)) {
    findCurveTrimBounds(editor, *S, point, a, b);
    trimBezierBetween(editor, S, pieceB, a, b);
  } else if (S->isKind(TShapeKind::Arc)) {
    findCurveTrimBounds(editor, *S, point, a, b);
    trimArcBetween(editor, *S, pieceA, pieceB, a, b);
  } else if (isCircleShape(*S) && round2(S->FWidth) != round2(S->FHeight)) {
    refused = true;
    if (showRefusal) refuseKind(editor, QStringLiteral("OvalTrimmingNotSupported"));
    return false;
  } else if (isCircleShape(*S)) {
    findCurveTrimBounds(editor, *S, point, a, b);
    if (!trimCircleBetween(editor, *S, point, pieceA, a, b)) return false;
  } else {
    refused = true;
    if (showRefusal) refuseKind(editor, QStringLiteral("TrimmingNotSupported"));
    return false;
  }

  // The radial-repeat copies of the pieces come with the radial-repeat tool; until then
  // the pieces of a member stay where they are cut, like those of any other shape.
  if (S && S->isKind(TShapeKind::Bezier)) {
    removeIntersectionsOf(editor.doc().FIntersections, S);
    editor.calcIntersectionsOfShape(S);
  } else if (S) {
    editor.doc().remove(S);
  }
  for (std::unique_ptr<TQN_Path> *piece : {&pieceA, &pieceB}) {
    if (!*piece) continue;
    TQN_Path *added = editor.doc().add(std::move(*piece), editor.FActiveLayer);
    editor.calcIntersectionsOfShape(added);
  }
  takeUndoSnapshot(editor, QStringLiteral("L28437"));
  return true;
}

}  // namespace

bool isCircleShape(const TQN_Path &shape) {
  return shape.isKind(TShapeKind::Ellipse) && std::fabs(shape.FWidth - shape.FHeight) <= kCircleSlack;
}

bool trimAtPoint(TEditor &editor, TPointF point) {
  bool refused = false;
  return trim(editor, point, true, refused);
}

bool trimAtPointQuietly(TEditor &editor, TPointF point, bool &refused) { return trim(editor, point, false, refused); }

TPointF nearestPointOnShape(const TQN_Path &shape, TPointF P) {
  if (shape.isKind(TShapeKind::Line)) {
    const TPointF d = shape.FEndPt - shape.FStartPt;
    const double dd = double(d.X) * d.X + double(d.Y) * d.Y;
    if (dd <= 0.0) return P;
    double t = ((double(P.X) - shape.FStartPt.X) * d.X + (double(P.Y) - shape.FStartPt.Y) * d.Y) / dd;
    t = std::clamp(t, 0.0, 1.0);
    return {float(shape.FStartPt.X + t * d.X), float(shape.FStartPt.Y + t * d.Y)};
  }
  if (shape.isKind(TShapeKind::Arc) || shape.isKind(TShapeKind::Ellipse)) {
    const double r = (double(shape.FWidth) + shape.FHeight) / (shape.isKind(TShapeKind::Arc) ? 2.0 : 4.0);
    const TPointF C = shape.FCenter;
    const double e = calcDistance(P, C);
    if (r <= 0.0 || e <= 0.0) return P;
    return {float(C.X + (double(P.X) - C.X) * r / e), float(C.Y + (double(P.Y) - C.Y) * r / e)};
  }
  if (shape.isKind(TShapeKind::Bezier)) {
    const TPathData &data = shape.Data();
    TPointF best = P;
    double bestDistance = 3.4028235e38;
    for (int i = 0; i + 1 < data.Count(); ++i) {
      const TPointF q0 = data[i].Point, q1 = data[i + 1].Point;
      const double dx = double(q1.X) - q0.X, dy = double(q1.Y) - q0.Y, len2 = dx * dx + dy * dy;
      if (!(len2 > 0.0)) continue;
      const double t = std::clamp(((double(P.X) - q0.X) * dx + (double(P.Y) - q0.Y) * dy) / len2, 0.0, 1.0);
      const TPointF foot{float(q0.X + t * dx), float(q0.Y + t * dy)};
      const double d = calcDistance(foot, P);
      if (d < bestDistance) {
        bestDistance = d;
        best = foot;
      }
    }
    return best;
  }
  return P;
}

void collectHoleCutPoints(const TEditor &editor, const TQN_Path &shape, std::vector<TPointF> &points) {
  if (!isLineArcOrBezier(&shape) && !shape.isKind(TShapeKind::Ellipse)) return;
  const TShapeList &doc = editor.doc().PathList();
  for (const TQN_Path *hole : doc.Items()) {
    if (!hole->isKind(TShapeKind::Hole) || !doc.GetlayerVisible(hole->FLayerID)) continue;
    const TPointF q = nearestPointOnShape(shape, hole->FCenter);
    if (shape.isKind(TShapeKind::Arc) && !IsPointOnArc(q, shape)) continue;
    if (calcDistance(q, hole->FCenter) <= kHoleReach && calcDistance(q, shape.FStartPt) > kHoleEndGap &&
        calcDistance(q, shape.FEndPt) > kHoleEndGap)
      points.push_back(q);
  }
}

std::vector<TIntersection *> getShapeIntersections(const TEditor &editor, const TQN_Path *shape) {
  std::vector<TIntersection *> records;
  for (TIntersection *r : editor.doc().FIntersections)
    if (r->FPath1 == shape || r->FPath2 == shape) records.push_back(r);
  return records;
}

std::vector<TPointF> collectCutPoints(const TEditor &editor, const TQN_Path &shape) {
  std::vector<TPointF> points;
  for (const TIntersection *r : getShapeIntersections(editor, &shape)) points.push_back(r->FPoint);
  collectHoleCutPoints(editor, shape, points);
  return points;
}

void findLineTrimBounds(const TEditor &editor, const TQN_Path &line, TPointF P, TPointF &startCut,
                        TPointF &endCut) {
  struct TCandidate {
    TPointF Point;
    float Distance;
  };
  std::vector<TCandidate> startSide{{line.FStartPt, calcDistance(line.FStartPt, P)}};
  std::vector<TCandidate> endSide{{line.FEndPt, calcDistance(line.FEndPt, P)}};
  const float dS = calcDistance(line.FStartPt, P);
  for (const TPointF &c : collectCutPoints(editor, line)) {
    std::vector<TCandidate> &side = dS > calcDistance(c, line.FStartPt) ? startSide : endSide;
    const bool known = std::any_of(side.begin(), side.end(), [&](const TCandidate &k) { return k.Point == c; });
    if (!known) side.push_back({c, calcDistance(c, P)});
  }
  const auto nearest = [](const std::vector<TCandidate> &side) {
    const TCandidate *best = &side.front();
    for (const TCandidate &k : side)
      if (k.Distance < best->Distance) best = &k;
    return best->Point;
  };
  startCut = nearest(startSide);
  endCut = nearest(endSide);
}

bool findCurveTrimBounds(const TEditor &editor, const TQN_Path &shape, TPointF point, TPointF &startCut,
                         TPointF &endCut) {
  if (!shape.isKind(TShapeKind::Ellipse) && !shape.isKind(TShapeKind::Bezier) && !shape.isKind(TShapeKind::Arc))
    return false;
  const std::vector<TPointF> cuts = collectCutPoints(editor, shape);
  const TPointF clicked = nearestPointOnShape(shape, point);
  startCut = nearestCutAlongOutline(shape, cuts, clicked, -1);
  endCut = nearestCutAlongOutline(shape, cuts, clicked, +1);
  return true;
}

void trimLineBetween(TEditor &editor, const TQN_Path &line, std::unique_ptr<TQN_Path> &pieceA,
                     std::unique_ptr<TQN_Path> &pieceB, TPointF A, TPointF B) {
  const TPointF st = line.FStartPt, ed = line.FEndPt;
  const float dS1 = calcDistance(st, A), dE2 = calcDistance(ed, B);
  const float dS2 = calcDistance(st, B), dE1 = calcDistance(ed, A);
  if (dS2 + dE1 > dS1 + dE2) {
    pieceA = linePiece(editor, line, st, A);
    pieceB = linePiece(editor, line, ed, B);
  } else {
    pieceA = linePiece(editor, line, st, B);
    pieceB = linePiece(editor, line, ed, A);
  }
}

void trimArcBetween(TEditor &editor, const TQN_Path &arc, std::unique_ptr<TQN_Path> &pieceA,
                    std::unique_ptr<TQN_Path> &pieceB, TPointF A, TPointF B) {
  const float a = arc.calcLengthFromAPoint(A, -1), b = arc.calcLengthFromAPoint(B, +1);
  const TPointF radii{arc.FWidth, arc.FHeight};
  const TPointF C = arc.FCenter;
  const auto piece = [&](float len, TPointF from, TPointF to) -> std::unique_ptr<TQN_Path> {
    const bool reflex = len > arc.FWidth * std::numbers::pi_v<float>;
    const float sweep = calcAngleAtVertex(C, from, to, reflex, sweepSign(arc.FSweepAngle));
    std::unique_ptr<TQN_Path> p = makePieceLike(editor, arc);
    p->drawArcPath(C, radii, from, to, sweep);
    return p;
  };
  pieceA = round2(a) > kShortestArcPiece && !isSamePoint(A, arc.FStartPt, 0.0f) ? piece(a, arc.FStartPt, A) : nullptr;
  pieceB = round2(b) > kShortestArcPiece && !isSamePoint(B, arc.FEndPt, 0.0f) ? piece(b, B, arc.FEndPt) : nullptr;
}

void trimBezierBetween(TEditor &editor, TQN_Path *&bezier, std::unique_ptr<TQN_Path> &pieceB, TPointF A,
                       TPointF B) {
  pieceB.reset();
  const float d1 = calcDistance(A, bezier->FStartPt), d2 = calcDistance(B, bezier->FEndPt);
  const bool startGoes = d1 < 0.1f, endGoes = d2 < 0.1f;
  if (startGoes && !endGoes) pieceB = splitBezierAtPoint(editor, *bezier, B);
  if (startGoes) {
    editor.doc().remove(bezier);
    bezier = nullptr;
    return;
  }
  std::unique_ptr<TQN_Path> rest = splitBezierAtPoint(editor, *bezier, A);
  if (!rest || endGoes) return;
  pieceB = splitBezierAtPoint(editor, *rest, B);
}

bool trimCircleBetween(TEditor &editor, const TQN_Path &circle, TPointF clicked, std::unique_ptr<TQN_Path> &piece,
                       TPointF A, TPointF B) {
  piece.reset();
  if (round2(circle.FWidth) != round2(circle.FHeight)) {
    refuseKind(editor, QStringLiteral("OvalTrimmingNotSupported"));
    return false;
  }
  // With fewer than two cut points both cuts are one point: the whole circle is the
  // stretch that holds the click, and nothing remains.
  if (isSamePoint(A, B, 0.0f)) return true;
  const TPointF radii{circle.FWidth / 2.0f, circle.FHeight / 2.0f};
  const TPointF C = circle.FCenter;
  const TPointF Q = nearestPointOnShape(circle, clicked);
  std::unique_ptr<TQN_Path> shortTurn = makePieceLike(editor, circle);
  shortTurn->drawArcPath(C, radii, A, B, calcAngleAtVertex(C, A, B, false, 0));
  std::unique_ptr<TQN_Path> longTurn = makePieceLike(editor, circle);
  longTurn->drawArcPath(C, radii, A, B, calcAngleAtVertex(C, A, B, true, 0));
  int segment = 0;
  if (shortTurn->isOnPath(Q, segment, 0.1f))
    piece = std::move(longTurn);
  else if (longTurn->isOnPath(Q, segment, 0.1f))
    piece = std::move(shortTurn);
  return true;
}

}  // namespace quillon
