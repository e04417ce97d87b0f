#include "model/intersection_upkeep.h"

#include <algorithm>
#include <cmath>

#include "model/intersection_finders.h"
#include "model/point_helpers.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "model/spatial_index.h"

namespace quillon {

namespace {

constexpr double kBoxMargin = 0.2;       // boundary overlap of the shape-by-shape upkeep
constexpr double kJointDistance = 0.05;  // ends this close make a joint point
constexpr double kTeeReach = 0.05;       // an end this close to a line makes a T-point
constexpr double kTeeKeepOff = 0.008;    // a T-point keeps this far from the line's ends
constexpr double kCircleReach = 1.1;     // circle pairs further apart are skipped
constexpr double kCircularity = 0.01;    // width and height this close: a circle
// Margins of the index queries: the exact tests' margins with room for rounding.
constexpr float kUpkeepQueryMargin = 0.25f;  // the upkeep's 0.2 box margin
constexpr float kRecalcQueryMargin = 0.15f;  // the outline finder's 0.1 end and T-point reach

// The boxes lie apart by more than the margin (values times 10000 against 2000).
bool boxesApart(const TRectF &a, const TRectF &b) {
  constexpr double k = 10000.0, m = kBoxMargin * 10000.0;
  return double(a.Left) * k - m > double(b.Right) * k || double(b.Left) * k - m > double(a.Right) * k ||
         double(a.Top) * k - m > double(b.Bottom) * k || double(b.Top) * k - m > double(a.Bottom) * k;
}

bool isLineArcOrBezier(const TQN_Path &s) {
  return s.isKind(TShapeKind::Line) || s.isKind(TShapeKind::Arc) || s.isKind(TShapeKind::Bezier);
}

void offer(TIntersections &intersections, TIntersection *record) {
  if (intersections.Add(record) < 0) delete record;
}

void offerJointAndTeePoints(TQN_Path *S, TQN_Path *O, const std::vector<TPointF> &pairPoints,
                            std::vector<TIntersection *> &offered);

// S against one other shape O: the layer, kind and box tests, then the analytic
// records, joint points and T-points, appended to `offered` (nothing is refused yet).
void upkeepPair(const TShapeList &shapes, std::vector<TIntersection *> &offered, TQN_Path *S, const TRectF &boxS,
                TQN_Path *O, TBezierPieces &pieces) {
  if (O == S) return;
  if (!shapes.GetlayerVisible(O->FLayerID)) return;
  if ((shapes.GetIsIndependentLayer(O->FLayerID) || shapes.GetIsIndependentLayer(S->FLayerID)) &&
      O->FLayerID != S->FLayerID)
    return;
  if (isSkippedByIntersectionUpkeep(*O)) return;
  if (boxesApart(boxS, sortedBoundary(*O))) return;

  const TIntersectionList pairList = IntersectShapes(S, O, &pieces);
  // The points are kept apart from the records: a refused record is freed at once.
  std::vector<TPointF> pairPoints;
  pairPoints.reserve(pairList.size());
  for (TIntersection *record : pairList) {
    pairPoints.push_back(record->FPoint);
    offered.push_back(record);
  }
  offerJointAndTeePoints(S, O, pairPoints, offered);
}

// The foot of e on the segment st-ed, clamped to it (st for a segment of zero length).
TPointF footOnSegment(TPointF e, TPointF st, TPointF ed) {
  const double dx = double(ed.X) - st.X, dy = double(ed.Y) - st.Y;
  const double len2 = dx * dx + dy * dy;
  if (!(len2 > 0.0)) return st;
  const double t = std::clamp(((double(e.X) - st.X) * dx + (double(e.Y) - st.Y) * dy) / len2, 0.0, 1.0);
  return {static_cast<float>(st.X + dx * t), static_cast<float>(st.Y + dy * t)};
}

double distance(TPointF a, TPointF b) { return calcDistance(a, b); }

// Adds joint and T-points of one pair, remembering what it added.
class TJointAndTeeAdder {
 public:
  TJointAndTeeAdder(TQN_Path *S, TQN_Path *O, const std::vector<TPointF> &pairPoints,
                    std::vector<TIntersection *> &offered)
      : FS(S), FO(O), FPairPoints(pairPoints), FOffered(offered) {}

  bool isPresent(TPointF p) const {
    const auto near = [p](TPointF q) { return distance(p, q) <= kJointDistance; };
    return std::any_of(FPairPoints.begin(), FPairPoints.end(), near) || std::any_of(FAdded.begin(), FAdded.end(), near);
  }

  void add(TPointF p, bool crossing) {
    if (isPresent(p)) return;
    auto *record = new TIntersection(p, FS, FO);
    record->FIsCrossing = crossing;
    FOffered.push_back(record);
    FAdded.push_back(p);
  }

  void addJoints() {
    for (const TPointF a : {FS->FStartPt, FS->FEndPt})
      for (const TPointF b : {FO->FStartPt, FO->FEndPt})
        if (distance(a, b) <= kJointDistance)
          add({static_cast<float>((double(a.X) + b.X) / 2.0), static_cast<float>((double(a.Y) + b.Y) / 2.0)}, false);
  }

  // T-points of X's ends on Y, only when Y is a LINE.
  void addTees(const TQN_Path &X, const TQN_Path &Y) {
    if (!Y.isKind(TShapeKind::Line)) return;
    const std::vector<TRectF> segments = Y.getIntervals(false);
    for (const TPointF e : {X.FStartPt, X.FEndPt}) {
      if (isPresent(e)) continue;
      double best = kTeeReach;
      bool found = false;
      TPointF q;
      for (const TRectF &seg : segments) {
        const TPointF foot = footOnSegment(e, seg.topLeft(), seg.bottomRight());
        const double d = distance(e, foot);
        if (d <= best && distance(foot, Y.FStartPt) > kTeeKeepOff && distance(foot, Y.FEndPt) > kTeeKeepOff) {
          best = d;
          q = foot;
          found = true;
        }
      }
      if (found) add(q, true);
    }
  }

 private:
  TQN_Path *FS;
  TQN_Path *FO;
  const std::vector<TPointF> &FPairPoints;
  std::vector<TIntersection *> &FOffered;
  std::vector<TPointF> FAdded;
};

double circleRadius(const TQN_Path &s) { return s.isKind(TShapeKind::Arc) ? double(s.FWidth) : double(s.FWidth) / 2.0; }

bool isCircleOrCircularArc(const TQN_Path &s) {
  return (s.isKind(TShapeKind::Ellipse) || s.isKind(TShapeKind::Arc)) &&
         std::fabs(double(s.FWidth) - s.FHeight) <= kCircularity;
}

// Two circles (or circular arcs) too far apart for their outlines to meet.
bool isFarCirclePair(const TQN_Path &A, const TQN_Path &B) {
  if (!isCircleOrCircularArc(A) || !isCircleOrCircularArc(B)) return false;
  const double d = distance(A.FCenter, B.FCenter);
  return d > kCircleReach * (circleRadius(A) + circleRadius(B));
}

// Joint and T-points of S and O, appended to `offered`.
void offerJointAndTeePoints(TQN_Path *S, TQN_Path *O, const std::vector<TPointF> &pairPoints,
                            std::vector<TIntersection *> &offered) {
  if (S == nullptr || O == nullptr || !isLineArcOrBezier(*S) || !isLineArcOrBezier(*O)) return;
  TJointAndTeeAdder adder(S, O, pairPoints, offered);
  adder.addJoints();
  adder.addTees(*S, *O);
  adder.addTees(*O, *S);
}

// Offers the records one by one, in order.
void offerEach(TIntersections &intersections, const std::vector<TIntersection *> &offered) {
  for (TIntersection *record : offered) offer(intersections, record);
}

void recalcPair(const TShapeList &PathList, TIntersections &FIntersections, TQN_Path *A, TQN_Path *B) {
  if (isFarCirclePair(*A, *B)) return;
  for (TIntersection *record : calcPathIntersections(A, B, &PathList, false)) offer(FIntersections, record);
}

}  // namespace

bool isSkippedByIntersectionUpkeep(const TQN_Path &shape) {
  return isNonIntersectingKind(shape) || shape.FIsDimensionLine;
}

void addJointAndTeePoints(TQN_Path *S, TQN_Path *O, const std::vector<TPointF> &pairPoints,
                          TIntersections &intersections) {
  std::vector<TIntersection *> offered;
  offerJointAndTeePoints(S, O, pairPoints, offered);
  offerEach(intersections, offered);
}

void calcIntersectionsOfShape(const TShapeList &shapes, TIntersections &intersections, TQN_Path *S,
                              bool shapeEditUnderWay, TShapeSpatialIndex *index) {
  if (shapeEditUnderWay || S == nullptr || isSkippedByIntersectionUpkeep(*S)) return;
  const TRectF boxS = sortedBoundary(*S);
  std::vector<TIntersection *> offered;
  TBezierPieces pieces;
  if (index == nullptr) {
    for (TQN_Path *O : shapes) upkeepPair(shapes, offered, S, boxS, O, pieces);
  } else {
    index->sync(shapes);
    std::vector<int> candidates;
    index->candidatesOf(*S, kUpkeepQueryMargin, candidates);
    for (const int position : candidates) upkeepPair(shapes, offered, S, boxS, shapes[position], pieces);
  }
  offerEach(intersections, offered);
}

void calcIntersectionsOfAppendedShapes(const TShapeList &shapes, TIntersections &intersections, int first,
                                       TShapeSpatialIndex &index) {
  index.sync(shapes);
  std::vector<TIntersection *> offered;
  std::vector<int> candidates;
  TBezierPieces pieces;
  for (int k = std::max(first, 0); k < shapes.Count(); ++k) {
    TQN_Path *S = shapes[k];
    if (isSkippedByIntersectionUpkeep(*S)) continue;
    const TRectF boxS = sortedBoundary(*S);
    index.candidatesOf(*S, kUpkeepQueryMargin, candidates);
    // Only the shapes before S were there when it came.
    for (const int position : candidates) {
      if (position >= k) break;
      upkeepPair(shapes, offered, S, boxS, shapes[position], pieces);
    }
  }
  // One pass keeps what offering them one by one would keep.
  intersections.AddEach(offered);
}

void recalcAllIntersections(const TShapeList &PathList, TIntersections &FIntersections, bool useIndex) {
  FIntersections.FreeAll();
  const int n = PathList.Count();
  if (!useIndex) {
    for (int i = 0; i < n - 1; ++i) {
      TQN_Path *A = PathList[i];
      if (isNonIntersectingKind(*A)) continue;
      for (int j = i + 1; j < n; ++j) {
        TQN_Path *B = PathList[j];
        if (!isNonIntersectingKind(*B)) recalcPair(PathList, FIntersections, A, B);
      }
    }
    return;
  }
  // Pairs the index does not offer have neither boundaries within 0.01 mm nor ends within
  // 0.1 mm of the other shape, and the outline finder reports nothing for them.
  TShapeSpatialIndex index(true);
  index.rebuild(PathList);
  std::vector<int> candidates;
  for (int i = 0; i < n - 1; ++i) {
    TQN_Path *A = PathList[i];
    if (isNonIntersectingKind(*A)) continue;
    index.candidatesOf(*A, kRecalcQueryMargin, candidates);
    for (const int j : candidates)
      if (j > i) recalcPair(PathList, FIntersections, A, PathList[j]);
  }
}

}  // namespace quillon
