#include "model/shape.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "model/point_helpers.h"

namespace quillon {

namespace {
constexpr const char *kKindNames[] = {"LINE", "ARC", "ELLIPSE", "BEZIER", "DOT", "TEXT", "S_HOLE", "OTHER"};
}  // namespace

const char *shapeKindName(TShapeKind kind) {
  const auto i = static_cast<std::size_t>(kind);
  return i < std::size(kKindNames) ? kKindNames[i] : "";
}

TShapeKind shapeKindOf(QStringView name) {
  for (std::size_t i = 0; i < std::size(kKindNames); ++i)
    if (name == QLatin1StringView(kKindNames[i])) return static_cast<TShapeKind>(i);
  return TShapeKind::Unknown;
}

QString TQN_Path::kindName() const {
  return FShapeType == TShapeKind::Unknown ? FUnknownKindName : QString::fromLatin1(shapeKindName(FShapeType));
}

void TQN_Path::setKindName(const QString &name) {
  FShapeType = shapeKindOf(name);
  FUnknownKindName = FShapeType == TShapeKind::Unknown ? name : QString();
}

TQN_Path::TQN_Path(int APalletIdx, TAlphaColor AColor, float AThickness, TStrokeDash ADash, int ID)
    : FColor(AColor), FDash(ADash), FThickness(AThickness), FID(ID), FPalletIndex(APalletIdx) {
  FGUID = TGUID::newGuid();
  FCatalogGUID = TGUID::empty();
  clearTempParams();
}

TQN_Path *TQN_Path::createCopy() const {
  auto *c = new TQN_Path(FPalletIndex, FColor, FThickness, FDash, FID);
  c->FCatalogGUID = FCatalogGUID;
  c->FCatalogRotation = FCatalogRotation;
  c->FColor = FColor;
  c->FOpacity = FOpacity;
  c->FSelected = FSelected;
  c->FDash = FDash;
  c->FShapeType = FShapeType;
  c->FUnknownKindName = FUnknownKindName;
  c->FCenter = FCenter;
  c->FData = FData;
  c->FRotation = FRotation;
  c->FWidth = FWidth;
  c->FHeight = FHeight;
  c->FStitchType = FStitchType;
  c->FStitchInversed = FStitchInversed;
  c->FStartPt = FStartPt;
  c->FEndPt = FEndPt;
  c->FBezierCp1 = FBezierCp1;
  c->FBezierCp2 = FBezierCp2;
  c->FThickness = FThickness;
  c->FLine_param_a = FLine_param_a;
  c->FLine_param_b = FLine_param_b;
  c->FIsVerticalLine = FIsVerticalLine;
  c->FIsHorizontalLine = FIsHorizontalLine;
  c->FIsFreeAngle = FIsFreeAngle;
  c->FClickedPoint = FClickedPoint;
  c->FStartAngle = FStartAngle;
  c->FSweepAngle = FSweepAngle;
  c->FPrickingIron = FPrickingIron;
  c->FText = FText;
  c->FFontSize = FFontSize;
  c->FFontFamily = FFontFamily;
  c->FTextStretch = FTextStretch;
  c->FTextRadius = FTextRadius;
  c->FName = FName;
  c->FGUID = FGUID;
  c->FGroupID = FGroupID;
  c->FIsSymmetryTarget = FIsSymmetryTarget;
  c->FIsDimensionLine = FIsDimensionLine;
  c->FShowArrowSt = FShowArrowSt;
  c->FShowArrowEd = FShowArrowEd;
  c->FStitchIn = FStitchIn;
  c->FStitchOut = FStitchOut;
  c->FPrevStitchID = FPrevStitchID;
  c->FNextStitchID = FNextStitchID;
  c->FMandalaID = FMandalaID;
  c->FMandalaSectionID = FMandalaSectionID;
  c->FMandalaCenter = FMandalaCenter;
  c->FNumMandalaSections = FNumMandalaSections;
  c->FMandalaRotation = FMandalaRotation;
  c->FLayerID = FLayerID;
  c->FShowBezierOffsetSupport = FShowBezierOffsetSupport;
  c->FThreadColor = FThreadColor;
  c->FThreadCode = FThreadCode;
  c->FThreadDiameter = FThreadDiameter;
  c->FAlwaysShowStitchSimulator = FAlwaysShowStitchSimulator;
  c->FCatalogScale = FCatalogScale;
  c->FTextFill = FTextFill;
  return c;
}

namespace {

// Outlines point by point as TPathData compares them; outlines of the same bits (the
// usual case, checked at once) are also the same here even where a coordinate is NaN, as
// a copy of either is then a copy of the other.
bool sameOutline(const TPathData &a, const TPathData &b) {
  const std::vector<TPathPoint> &p = a.Points(), &q = b.Points();
  static_assert(sizeof(TPathPoint) == sizeof(TPathPointKind) + 2 * sizeof(float), "no padding between the fields");
  if (p.size() == q.size() && (p.empty() || std::memcmp(p.data(), q.data(), p.size() * sizeof(TPathPoint)) == 0))
    return true;
  return a == b;
}

// Texts that share their characters (a copy and its source do) are equal without reading
// them.
bool sameText(const QString &a, const QString &b) {
  return (a.size() == b.size() && a.constData() == b.constData()) || a == b;
}

}  // namespace

bool TQN_Path::sameContent(const TQN_Path &o) const {
  // The same fields as createCopy, cheapest first.
  return FID == o.FID && FPalletIndex == o.FPalletIndex && FColor == o.FColor && FDash == o.FDash &&
         FThickness == o.FThickness && FSelected == o.FSelected && FLayerID == o.FLayerID && FGroupID == o.FGroupID &&
         FStartPt.exactlyEquals(o.FStartPt) && FEndPt.exactlyEquals(o.FEndPt) && FCenter.exactlyEquals(o.FCenter) &&
         FBezierCp1.exactlyEquals(o.FBezierCp1) && FBezierCp2.exactlyEquals(o.FBezierCp2) && FRotation == o.FRotation &&
         FWidth == o.FWidth && FHeight == o.FHeight && FStartAngle == o.FStartAngle && FSweepAngle == o.FSweepAngle &&
         FLine_param_a == o.FLine_param_a && FLine_param_b == o.FLine_param_b && FIsVerticalLine == o.FIsVerticalLine &&
         FIsHorizontalLine == o.FIsHorizontalLine && FIsFreeAngle == o.FIsFreeAngle &&
         FClickedPoint.exactlyEquals(o.FClickedPoint) && FOpacity == o.FOpacity && FCatalogGUID == o.FCatalogGUID &&
         FCatalogRotation == o.FCatalogRotation && FCatalogScale.exactlyEquals(o.FCatalogScale) &&
         sameText(FStitchType, o.FStitchType) && FStitchInversed == o.FStitchInversed &&
         FPrickingIron == o.FPrickingIron &&
         FFontSize == o.FFontSize && FTextStretch == o.FTextStretch && FTextRadius == o.FTextRadius &&
         FTextFill == o.FTextFill && FIsSymmetryTarget == o.FIsSymmetryTarget &&
         FIsDimensionLine == o.FIsDimensionLine && FShowArrowSt == o.FShowArrowSt && FShowArrowEd == o.FShowArrowEd &&
         FStitchIn.exactlyEquals(o.FStitchIn) && FStitchOut.exactlyEquals(o.FStitchOut) &&
         FPrevStitchID == o.FPrevStitchID && FNextStitchID == o.FNextStitchID && FMandalaID == o.FMandalaID &&
         FMandalaSectionID == o.FMandalaSectionID && FMandalaCenter.exactlyEquals(o.FMandalaCenter) &&
         FNumMandalaSections == o.FNumMandalaSections && FMandalaRotation == o.FMandalaRotation &&
         FShowBezierOffsetSupport == o.FShowBezierOffsetSupport && FThreadColor == o.FThreadColor &&
         FThreadDiameter == o.FThreadDiameter && FAlwaysShowStitchSimulator == o.FAlwaysShowStitchSimulator &&
         FGUID == o.FGUID && FShapeType == o.FShapeType && sameText(FUnknownKindName, o.FUnknownKindName) &&
         sameText(FText, o.FText) && sameText(FFontFamily, o.FFontFamily) && sameText(FName, o.FName) &&
         sameText(FThreadCode, o.FThreadCode) && sameOutline(FData, o.FData);
}

void TQN_Path::copyPalletValuesFrom(const TQN_Path &src) {
  FPalletIndex = src.FPalletIndex;
  FColor = src.FColor;
  FThickness = src.FThickness;
  FDash = src.FDash;
}

void TQN_Path::clearTempParams() {
  FTemp_HasStichingHole = false;
  FTemp_vector = {0.0f, 0.0f};
  FTemp_OnPath = nullptr;
}

std::vector<int> getGroupIDs(const std::vector<TQN_Path *> &AList) {
  std::vector<int> ids;
  for (const TQN_Path *s : AList) {
    if (s->FGroupID > 0 && std::find(ids.begin(), ids.end(), s->FGroupID) == ids.end())
      ids.push_back(s->FGroupID);
  }
  return ids;
}

// ---------------------------------------------------------------------------------
// Outline builders

void TQN_Path::resetBoundary() {
  FIsBoundaryCalculated = false;
  FControlPointsCache.clear();
}

void TQN_Path::drawLinePath(TPointF st, TPointF ep) {
  resetBoundary();
  FData.Clear();
  FIsFreeAngle = false;
  FStartPt = st;
  FEndPt = ep;
  FShapeType = TShapeKind::Line;
  FData.MoveTo(FStartPt);
  FData.LineTo(FEndPt);
  calcLineParam();
}

void TQN_Path::calcLineParam() {
  const TPointF d = FStartPt - FEndPt;
  if (round2(d.X) == 0.0f) {
    FLine_param_a = kVerticalLineSlope;
    FLine_param_b = 0.0f;
    FIsVerticalLine = true;
    FIsHorizontalLine = false;
  } else if (round2(d.Y) == 0.0f) {
    FLine_param_a = 0.0f;
    FLine_param_b = FStartPt.Y;
    FIsHorizontalLine = true;
    FIsVerticalLine = false;
  } else {
    FLine_param_a = d.Y / d.X;
    FLine_param_b = FStartPt.Y - FLine_param_a * FStartPt.X;
    FIsVerticalLine = false;
    FIsHorizontalLine = false;
  }
}

namespace {
// Flatness of an arc's outline by its x radius: small arcs are flattened finer.
float arcFlatness(float r) {
  if (r < 0.5f) return r / 20.0f;
  if (r < 1.0f) return r / 30.0f;
  if (r < 2.0f) return r / 40.0f;
  if (r < 5.0f) return r / 50.0f;
  return 0.3f;
}
}  // namespace

void TQN_Path::drawArcPath(TPointF center, TPointF radius, TPointF startPt, TPointF endPt, float SweepAngle) {
  resetBoundary();
  FData.Clear();
  FShapeType = TShapeKind::Arc;
  FCenter = center;
  FStartPt = startPt;
  FEndPt = endPt;
  FWidth = radius.X;
  FHeight = radius.Y;
  FStartAngle = calcArcPointAngle(center, startPt, radius);
  FSweepAngle = SweepAngle;
  if (FSweepAngle > 360.0f)
    FSweepAngle = SweepAngle - 360.0f;
  else if (FSweepAngle < -360.0f)
    FSweepAngle = SweepAngle + 360.0f;
  FData.AddArc(FCenter, {FWidth, FHeight}, FStartAngle, FSweepAngle);
  flattenAndClean(arcFlatness(radius.X));
}

void TQN_Path::drawBezierPath(TPointF st, TPointF cp1, TPointF cp2, TPointF ep) {
  resetBoundary();
  FData.Clear();
  FStartPt = st;
  FBezierCp1 = cp1;
  FBezierCp2 = cp2;
  FEndPt = ep;
  FShapeType = TShapeKind::Bezier;
  FData.MoveTo(FStartPt);
  FData.CurveTo(FBezierCp1, FBezierCp2, FEndPt);
  flattenAndClean(0.3f);
}

void TQN_Path::drawEllipsePath(TPointF center, float width, float height) {
  resetBoundary();
  FData.Clear();
  FShapeType = TShapeKind::Ellipse;
  FCenter = center;
  FWidth = width;
  FHeight = height;
  FStartPt = {center.X - width / 2.0f, center.Y};
  FEndPt = FStartPt;
  FData.MoveTo(FCenter);
  FData.AddEllipse(TRectF(center.X - width / 2.0f, center.Y - height / 2.0f, center.X + width / 2.0f,
                          center.Y + height / 2.0f));
  flattenAndClean(0.3f);
}

void TQN_Path::drawDotPath(TPointF center, float radius) {
  resetBoundary();
  FData.Clear();
  FShapeType = TShapeKind::Dot;
  FCenter = center;
  FStartPt = center;
  // The end is the centre too: a dot has no other end, and an end left at the origin
  // would make it meet every shape that ends there.
  FEndPt = center;
  FWidth = 2.0f * radius;
  FHeight = 2.0f * radius;
  FData.MoveTo(FStartPt);
  FData.AddEllipse(TRectF(center.X - radius, center.Y - radius, center.X + radius, center.Y + radius));
}

void TQN_Path::flattenAndClean(float flatness) {
  FData.Flatten(flatness);
  cleanPathData();
}

void TQN_Path::cleanPathData() {
  // A move to the origin directly followed by another move is dropped, as often as it
  // repeats at the start ("M0,0 M...").
  const auto &pts = FData.Points();
  std::size_t skip = 0;
  while (skip + 1 < pts.size() && pts[skip].Kind == TPathPointKind::MoveTo && pts[skip].Point.X == 0.0f &&
         pts[skip].Point.Y == 0.0f && pts[skip + 1].Kind == TPathPointKind::MoveTo)
    ++skip;
  if (skip == 0) return;
  TPathData cleaned;
  for (std::size_t i = skip; i < pts.size(); ++i) {
    const TPathPoint &e = pts[i];
    switch (e.Kind) {
      case TPathPointKind::MoveTo: cleaned.MoveTo(e.Point); break;
      case TPathPointKind::LineTo: cleaned.LineTo(e.Point); break;
      case TPathPointKind::CurveTo:
        cleaned.CurveTo(e.Point, pts[i + 1].Point, pts[i + 2].Point);
        i += 2;
        break;
      case TPathPointKind::Close: cleaned.ClosePath(); break;
    }
  }
  FData = std::move(cleaned);
}

bool TQN_Path::fillPath() const {
  return !FData.IsEmpty() && FData[FData.Count() - 1].Kind == TPathPointKind::Close;
}

void TQN_Path::reversePath() {
  const bool isArc = isKind(TShapeKind::Arc);
  if (!(isArc || isKind(TShapeKind::Line) || isKind(TShapeKind::Bezier))) return;

  const auto &pts = FData.Points();
  TPathData reversed;
  if (!pts.empty()) {
    TPointF last = pts.back().Point;
    reversed.MoveTo(last);
    for (std::size_t i = pts.size() - 1; i-- > 0;) {
      if (pts[i + 1].Kind != TPathPointKind::LineTo) break;
      if (pts[i].Point == last) continue;
      reversed.LineTo(pts[i].Point);
      last = pts[i].Point;
    }
  }
  FData = std::move(reversed);
  resetBoundary();

  std::swap(FStartPt, FEndPt);
  std::swap(FBezierCp1, FBezierCp2);
  FSweepAngle = -FSweepAngle;
  // Only an arc has a start angle to keep in step (lines and curves have no radius).
  if (isArc) FStartAngle = calcArcPointAngle(FCenter, FStartPt, {FWidth, FHeight});
}

std::vector<TQN_Path *> TQN_Path::splitArc() {
  std::vector<TQN_Path *> pieces;
  if (!isKind(TShapeKind::Arc) || !(std::fabs(FSweepAngle) > 90.0f)) return pieces;

  const int n = static_cast<int>(std::trunc(std::fabs(FSweepAngle) / 90.0f)) + 1;
  const float s = FSweepAngle / static_cast<float>(n);
  // Exactly n - 1 pieces are cut off; the last one stays in this shape. (Counting the
  // pieces keeps float drift in the remaining sweep from cutting one piece too many.)
  for (int k = 0; k < n - 1; ++k) {
    TQN_Path *piece = createCopy();
    piece->FEndPt = rotatePointWithMatrix(piece->FStartPt, s, piece->FCenter);
    piece->FSweepAngle = s;
    FStartPt = piece->FEndPt;
    FSweepAngle -= s;
    piece->drawArcPath(piece->FCenter, {piece->FWidth, piece->FHeight}, piece->FStartPt, piece->FEndPt, s);
    pieces.push_back(piece);
  }
  drawArcPath(FCenter, {FWidth, FHeight}, FStartPt, FEndPt, FSweepAngle);
  return pieces;
}

void TQN_Path::convertArcToBezier() {
  const float sweep = FSweepAngle;
  if (!(std::fabs(sweep) <= 180.0f)) return;
  const double k = 4.0 / 3.0 * std::tan(std::fabs(double(sweep)) * std::numbers::pi / 180.0 / 4.0);

  const auto handleDirection = [&](TPointF p) -> TPointF {
    if (std::fabs(sweep) == 180.0f) {
      const TPointF u = calcUnitVector(FCenter, FStartPt);
      return rotateVector(u, sweep > 0 ? 90.0f : -90.0f);
    }
    const TPointF t = rotateVector(calcUnitVector(FCenter, p), 90.0f);
    const TPointF m = FCenter + calcUnitVector(FCenter, FStartPt) + calcUnitVector(FCenter, FEndPt);
    const TPointF minusT = -t;
    return calcDistance(p + t, m) < calcDistance(p + minusT, m) ? t : minusT;
  };

  const TPointF hStart = handleDirection(FStartPt);
  const TPointF hEnd = handleDirection(FEndPt);
  const float len = static_cast<float>(FWidth * k);
  FBezierCp1 = FStartPt + hStart * len;
  FBezierCp2 = FEndPt + hEnd * len;
  drawBezierPath(FStartPt, FBezierCp1, FBezierCp2, FEndPt);
}

}  // namespace quillon
