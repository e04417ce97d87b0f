// The outline intersection finder: crosses the straight segments of two cached outlines
// (arcs, ellipses and Beziers are already flattened there), with an extend mode in which
// two segments meet where their lines meet, also beyond their ends.
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "model/intersection_finders.h"
#include "model/point_helpers.h"
#include "model/segment_runs.h"
#include "model/shape.h"
#include "model/shape_list.h"
#include "platform/number_text.h"

namespace quillon {

namespace {

constexpr float kEndReach = 0.1f;          // end coincidence, T-points, merging (strict)
constexpr double kDegenerate = 0.01;       // first-shape segments shorter than this are skipped
constexpr double kBoxWidening = 0.01;      // segment box prefilter
constexpr double kRangeWidening = 500.0;   // 0.05 mm in units of 0.0001 mm
constexpr double kEllipseDivisor = 1.5;    // ellipse proximity limit
constexpr double kAxisTol = 0.001;         // axis test and slope comparison of line crossings
constexpr double kPairReach = 0.2;         // segment boxes farther apart never meet (0.1 and slack)

double round4(double v) { return roundHalfEven(v, 4); }
TPointF roundPoint4Even(TPointF p) { return {static_cast<float>(round4(p.X)), static_cast<float>(round4(p.Y))}; }

bool sameGridPoint(TPointF a, TPointF b) { return isSamePoint(a, b, 0.0f); }

// Both ends of the segment lie on one outer side of the box (widened by 0.01).
bool segmentOutsideBox(TPointF p, TPointF q, const TRectF &box) {
  const double l = double(box.Left) - kBoxWidening, r = double(box.Right) + kBoxWidening;
  const double t = double(box.Top) - kBoxWidening, b = double(box.Bottom) + kBoxWidening;
  return (p.X < l && q.X < l) || (p.X > r && q.X > r) || (p.Y < t && q.Y < t) || (p.Y > b && q.Y > b);
}

// Whether v lies between the two ends, widened by 0.05 mm; compared in units of 0.0001 mm.
bool inRange(float v, float e0, float e1) {
  const double x = double(v) * 10000.0;
  const double lo = double(std::min(e0, e1)) * 10000.0 - kRangeWidening;
  const double hi = double(std::max(e0, e1)) * 10000.0 + kRangeWidening;
  return x >= lo && x <= hi;
}

// The proximity limit of an ellipse in units of 0.0001 mm.
long long ellipseLimit(const TQN_Path &e) {
  return static_cast<long long>(
      roundHalfEven(double(std::max(e.FWidth, e.FHeight)) / kEllipseDivisor * 10000.0));
}

bool tooFar(TPointF p, TPointF center, long long limit) {
  return double(calcDistance(p, center)) * 10000.0 > double(limit);
}

bool isLineTo(const TPathData &d, int i) { return d[i].Kind == TPathPointKind::LineTo; }

// Merges a record into the result: dropped (freed) when a result record lies within
// 0.1 of it, otherwise given the shapes' IDs and appended.
void mergeInto(TIntersectionList &result, TIntersection *record, const TQN_Path &A, const TQN_Path &B) {
  for (const TIntersection *r : result) {
    if (calcDistance(r->FPoint, record->FPoint) < kEndReach) {
      delete record;
      return;
    }
  }
  record->FPathID1 = A.ID();
  record->FPathID2 = B.ID();
  result.push_back(record);
}

bool anyOutlinePointNear(const TQN_Path &s, TPointF p) {
  for (const TPathPoint &e : s.Data().Points())
    if (calcDistance(e.Point, p) < kEndReach) return true;
  return false;
}

}  // namespace

bool calcLineCrossPoint(TPointF A0, TPointF A1, TPointF B0, TPointF B1, TPointF &P) {
  const double a0x = round4(A0.X), a0y = round4(A0.Y), a1x = round4(A1.X), a1y = round4(A1.Y);
  const double b0x = round4(B0.X), b0y = round4(B0.Y), b1x = round4(B1.X), b1y = round4(B1.Y);

  const bool aVertical = std::fabs(a0x - a1x) <= kAxisTol;
  const bool aHorizontal = std::fabs(a0y - a1y) <= kAxisTol;
  const bool bVertical = std::fabs(b0x - b1x) <= kAxisTol;
  const bool bHorizontal = std::fabs(b0y - b1y) <= kAxisTol;

  const double mA = aVertical ? 0.0 : (a1y - a0y) / (a1x - a0x);
  const double mB = bVertical ? 0.0 : (b1y - b0y) / (b1x - b0x);
  const double cA = a0y - mA * a0x;
  const double cB = b0y - mB * b0x;

  if (std::fabs(mA - mB) <= kAxisTol && std::fabs(mA) > kAxisTol && std::fabs(mB) > kAxisTol) return false;

  double x = 0.0, y = 0.0;
  if (aHorizontal) {
    y = (a0y + a1y) / 2.0;
    if (bVertical)
      x = (b0x + b1x) / 2.0;
    else if (bHorizontal)
      return false;
    else
      x = (cA - cB) / mB;
  } else if (bHorizontal) {
    y = (b0y + b1y) / 2.0;
    x = aVertical ? (a0x + a1x) / 2.0 : (cB - cA) / mA;
  } else if (aVertical) {
    if (bVertical) return false;
    x = a0x;
    y = mB * a0x + cB;
  } else {
    if (bVertical) {
      x = b0x;
    } else {
      // Equal slopes that the test above let through (both within 0.001 of zero but
      // neither line counted as horizontal) have no single crossing.
      if (mA == mB) return false;
      x = (cB - cA) / (mA - mB);
    }
    y = mA * x + cA;
  }
  P = {static_cast<float>(x), static_cast<float>(y)};
  return true;
}

TIntersectionList calcPathIntersections(TQN_Path *A, TQN_Path *B, const TShapeList *shapeList, bool extend) {
  TIntersectionList result;
  if (A == nullptr || B == nullptr) return result;

  // 1. Kinds without a usable outline.
  const auto excluded = [](const TQN_Path &s) {
    return s.isKind(TShapeKind::Other) || s.isKind(TShapeKind::Text) || s.isKind(TShapeKind::Hole);
  };
  if (excluded(*A) || excluded(*B)) return result;

  // 2. A shape on an independent layer meets only shapes of its own layer.
  if (shapeList != nullptr &&
      (shapeList->GetIsIndependentLayer(A->FLayerID) || shapeList->GetIsIndependentLayer(B->FLayerID)) &&
      A->FLayerID != B->FLayerID)
    return result;

  const bool aEllipse = A->isKind(TShapeKind::Ellipse);
  const bool bEllipse = B->isKind(TShapeKind::Ellipse);
  const bool aLine = A->isKind(TShapeKind::Line);
  const bool bLine = B->isKind(TShapeKind::Line);

  // 3. End coincidences.
  bool aStartMatched = false, aEndMatched = false, bStartMatched = false, bEndMatched = false;
  if (!aEllipse && !bEllipse) {
    struct EndPair {
      TPointF a, b;
      bool *aMatched, *bMatched;
    };
    const EndPair pairs[4] = {{A->FStartPt, B->FStartPt, &aStartMatched, &bStartMatched},
                              {A->FStartPt, B->FEndPt, &aStartMatched, &bEndMatched},
                              {A->FEndPt, B->FStartPt, &aEndMatched, &bStartMatched},
                              {A->FEndPt, B->FEndPt, &aEndMatched, &bEndMatched}};
    for (const EndPair &pair : pairs) {
      if (calcDistance(pair.a, pair.b) < kEndReach) {
        mergeInto(result, new TIntersection(pair.a, A, B), *A, *B);
        *pair.aMatched = true;
        *pair.bMatched = true;
      }
    }
  }

  // 4. Dimension lines meet only at their ends; far shapes not at all unless extending.
  if (A->FIsDimensionLine || B->FIsDimensionLine) return result;
  if (!extend && !A->doesItIntersectWith(*B)) return result;

  // 5. Ellipse proximity limits.
  const long long limB = (bEllipse && !aLine) ? ellipseLimit(*B) : 0;
  const long long limA = (aEllipse && !bLine) ? ellipseLimit(*A) : 0;

  // 6. The two boxes.
  const TRectF boxA = A->getBoundary(false);
  const TRectF boxB = B->getBoundary(false);

  // 7. Segment pass. Segment k of an outline joins its points k and k + 1. The
  // segments of A are taken on the 0.0001 grid, and each tells first whether it takes
  // part at all.
  struct TSegmentOfA {
    TPointF P0, P1;
    bool Usable = false;
  };
  const TPathData &dataA = A->Data();
  const TPathData &dataB = B->Data();
  const int countA = std::max(dataA.Count() - 1, 0);
  const int countB = std::max(dataB.Count() - 1, 0);
  std::vector<TSegmentOfA> segmentsA(static_cast<std::size_t>(countA));
  for (int k = 0; k < countA; ++k) {
    TSegmentOfA &seg = segmentsA[static_cast<std::size_t>(k)];
    const TPointF a0 = dataA[k].Point, a1 = dataA[k + 1].Point;
    seg.P0 = roundPoint4Even(a0);
    seg.P1 = roundPoint4Even(a1);
    seg.Usable = !(limB > 0 && (tooFar(a0, B->FCenter, limB) || tooFar(a1, B->FCenter, limB))) &&
                 !(double(calcDistance(seg.P0, seg.P1)) < kDegenerate) && isLineTo(dataA, k + 1) &&
                 !(!aLine && segmentOutsideBox(seg.P0, seg.P1, boxB));
  }

  TIntersectionList working;
  const auto tryPair = [&](int ka, int kb) {
    const TSegmentOfA &seg = segmentsA[static_cast<std::size_t>(ka)];
    if (!seg.Usable) return;
    const TPointF a0 = seg.P0, a1 = seg.P1;
    const TPointF b0 = dataB[kb].Point, b1 = dataB[kb + 1].Point;
    if (limA > 0 && (tooFar(b0, A->FCenter, limA) || tooFar(b1, A->FCenter, limA))) return;
    if (b0 == b1 || !isLineTo(dataB, kb + 1)) return;
    if (!bLine && segmentOutsideBox(b0, b1, boxA)) return;

    TPointF p;
    if (sameGridPoint(a0, b0) || sameGridPoint(a0, b1))
      p = a0;
    else if (sameGridPoint(a1, b0) || sameGridPoint(a1, b1))
      p = a1;
    else if (!calcLineCrossPoint(a0, a1, b0, b1, p))
      return;

    if (!extend && !(inRange(p.X, a0.X, a1.X) && inRange(p.X, b0.X, b1.X) && inRange(p.Y, a0.Y, a1.Y) &&
                     inRange(p.Y, b0.Y, b1.Y)))
      return;

    const bool known = std::any_of(working.begin(), working.end(),
                                   [&](const TIntersection *r) { return sameGridPoint(r->FPoint, p); });
    if (known) return;

    auto *record = new TIntersection(p, A, B);
    const bool atEndOfA = sameGridPoint(p, A->FStartPt) || sameGridPoint(p, A->FEndPt);
    const bool atEndOfB = sameGridPoint(p, B->FStartPt) || sameGridPoint(p, B->FEndPt);
    record->FIsCrossing = !(atEndOfA && atEndOfB);
    working.push_back(record);
  };
  if (extend) {
    // Lines meet beyond the ends of their segments: every pair.
    for (int ka = 0; ka < countA; ++ka)
      for (int kb = 0; kb < countB; ++kb) tryPair(ka, kb);
  } else {
    // A point lies within 0.05 of both segments' ranges, so only segments whose boxes
    // come within 0.1 of each other can meet.
    const auto endsA = [&](int k) {
      const TSegmentOfA &seg = segmentsA[static_cast<std::size_t>(k)];
      return std::pair{seg.P0, seg.P1};
    };
    const auto endsB = [&](int k) { return std::pair{dataB[k].Point, dataB[k + 1].Point}; };
    forNearSegmentPairs(countA, endsA, countB, endsB, kPairReach, tryPair);
  }

  // 8. The segment pass's records join the result.
  for (TIntersection *record : working) mergeInto(result, record, *A, *B);
  working.clear();

  // 9. T-points: an unmatched end of one shape next to a point of the other's outline.
  const auto teePoint = [&](TPointF end) { mergeInto(result, new TIntersection(end, A, B), *A, *B); };
  if (!aEllipse) {
    if (!aStartMatched && anyOutlinePointNear(*B, A->FStartPt)) teePoint(A->FStartPt);
    if (!aEndMatched && anyOutlinePointNear(*B, A->FEndPt)) teePoint(A->FEndPt);
  }
  if (!bEllipse) {
    if (!bStartMatched && anyOutlinePointNear(*A, B->FStartPt)) teePoint(B->FStartPt);
    if (!bEndMatched && anyOutlinePointNear(*A, B->FEndPt)) teePoint(B->FEndPt);
  }
  return result;
}

}  // namespace quillon
