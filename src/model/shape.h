#pragma once
// TQN_Path: one drawable shape of a document. There are no subclasses: what a shape is
// follows from its kind `FShapeType` (stored in files as "LINE", "ARC", "ELLIPSE",
// "BEZIER", "DOT", "TEXT", "S_HOLE" or "OTHER"). It carries its style, the parameters of
// its kind and a cached outline in drawing coordinates (millimetres, y down) that the
// builders below rebuild from the parameters.
//
// Fields are public under their own names (FColor, FStartPt, ...) and may be read and
// written directly, except those that only the builders and readers change: the
// outline, the ID, the pricking iron and the line parameters, which have accessors.
#include <optional>
#include <vector>

#include "platform/json_fwd.h"

#include <QString>

#include "platform/geometry.h"
#include "platform/guid.h"
#include "platform/path_data.h"

namespace quillon {

class TPrickingIron;

// The kinds of shape. The core compares kinds as this enum; a kind's name is text only
// where a file, a reply or the screen needs it. Unknown stands for a name read from a
// file that is none of the others (the shape keeps that name, see kindName).
enum class TShapeKind : unsigned char { Line, Arc, Ellipse, Bezier, Dot, Text, Hole, Other, Unknown };

// The stored name of a kind ("LINE", "ARC", "ELLIPSE", "BEZIER", "DOT", "TEXT", "S_HOLE",
// "OTHER"); empty for Unknown.
const char *shapeKindName(TShapeKind kind);
// The kind of a stored name (exact, case-sensitive); Unknown for any other name.
TShapeKind shapeKindOf(QStringView name);

// One straight segment of an outline, from St to Ed.
struct TPathInterval {
  TPointF St;
  TPointF Ed;
};

// Slope stored for a vertical line.
inline constexpr float kVerticalLineSlope = 2147483648.0f;

class TQN_Path {
 public:
  TQN_Path(int APalletIdx, TAlphaColor AColor, float AThickness, TStrokeDash ADash, int ID);
  virtual ~TQN_Path() = default;
  TQN_Path(const TQN_Path &) = delete;
  TQN_Path &operator=(const TQN_Path &) = delete;

  // A new shape with every field of this one (same ID and GUID; the outline copied, the
  // pricking iron shared). Caches and scratch fields are left at their defaults.
  TQN_Path *createCopy() const;
  // True when every field that createCopy copies is equal (the outline point by point,
  // floats compared exactly): a copy of `other` would be a copy of this shape too.
  bool sameContent(const TQN_Path &other) const;
  void copyPalletValuesFrom(const TQN_Path &src);
  void clearTempParams();
  void updateId(int newId) { FID = newId; }
  void SetSelected(bool value) { FSelected = value; }
  void SetRotation(float value) { FRotation = value; }

  // Read-only fields.
  int ID() const { return FID; }
  TPathData &Data() { return FData; }
  const TPathData &Data() const { return FData; }
  TPrickingIron *PrickingIron() const { return FPrickingIron; }
  float Line_param_a() const { return FLine_param_a; }
  float Line_param_b() const { return FLine_param_b; }
  bool IsVerticalLine() const { return FIsVerticalLine; }
  bool IsHorizontalLine() const { return FIsHorizontalLine; }

  bool isKind(TShapeKind kind) const { return FShapeType == kind; }
  // The stored name of the shape's kind; for an unknown kind the name it was read with.
  QString kindName() const;
  // Sets the kind from its stored name (readers, and tests that need an unknown kind).
  void setKindName(const QString &name);

  // Outline builders: each marks the caches stale, clears the outline and draws it again.
  void drawLinePath(TPointF st, TPointF ep);
  void calcLineParam();
  void drawArcPath(TPointF center, TPointF radius, TPointF startPt, TPointF endPt, float SweepAngle);
  void drawBezierPath(TPointF st, TPointF cp1, TPointF cp2, TPointF ep);
  void drawEllipsePath(TPointF center, float width, float height);
  void drawDotPath(TPointF center, float radius);

  // Whole-outline operations.
  void flattenAndClean(float flatness);
  void cleanPathData();
  bool fillPath() const;  // the outline ends with a close command
  void resetBoundary();
  void reversePath();
  // Cuts an ARC of more than 90 degrees into equal pieces: returns the first pieces
  // (new shapes owned by the caller, same ID and GUID) and keeps the last in this shape.
  std::vector<TQN_Path *> splitArc();
  void convertArcToBezier();

  // Text: the glyph outlines of `tx` on a straight base line (radius 0) or on a circle
  // whose side the sign of `radius` chooses; `stretch` spaces the letters.
  void drawTextPath(const QString &tx, TPointF startPt, float AFontSize, float ARotation, const QString &FontFamily,
                    float radius, float stretch);

  // Measures. The boundary is cached until resetBoundary.
  TRectF getBoundary(bool SetStartEndCenter);
  // Reading the centre: computed for LINE, BEZIER and OTHER, the stored field otherwise.
  TPointF GetCenter();
  TPointF calcCenter();
  std::vector<TPointF> getControlPoints(bool IncludeCenterForArc, bool forceEachPathPoints, bool DoBezierQuaters);
  void getFirstTwoPoints(TPointF &pt1, TPointF &pt2) const;
  void getLastTwoPoints(TPointF &pt1, TPointF &pt2) const;
  // The segments of the outline flattened at 0.25, each as a rectangle whose top-left is
  // the segment's start and bottom-right its end (not normalised).
  std::vector<TRectF> getIntervals(bool DoReverse) const;
  // The line entries of the outline itself as segments, without flattening.
  std::vector<TPathInterval> getIntervalsFast(bool DoReverse) const;
  TRectF getMinMaxRect() const;
  float calcTotalLength() const;
  float calcLengthBetween(int fromIndex, int toIndex, int direction) const;
  float calcLengthFromAnIndex(int fromIndex, int direction) const;
  float calcLengthFromAPoint(TPointF fromPt, int direction) const;
  // Crossing of the infinite lines of two LINE shapes (from their line parameters).
  bool calcCrossPointWith(const TQN_Path &line2, float &x, float &y) const;
  bool calcCrossPointWith(const TQN_Path &line2, TPointF &pt) const;

  // Hit tests and comparisons.
  bool isOnPath(TPointF rp, int &intervalIdx, float Threshold) const;
  bool inRange(TPointF rsp, TPointF rep, bool AllowPartial);
  bool isAPointInsideShape(TPointF pt);
  bool isInRect(TPointF rp) const;
  bool doesItIntersectWith(TQN_Path &tp);
  bool isIdentical(TQN_Path &p);
  float findNearestBezierT(TPointF pt, TPointF &ActualPt) const;

  // Stitching holes (built in stitching/hole_shape.cpp). createStichPath makes the shape
  // a hole punched by the iron at `center`, turned by `rotation` degrees (0: the hole's
  // long axis down the screen); `rulerLen` > 0 adds an axis cross of that half length
  // (the toolbox preview). The four builders make the outline of one blade shape
  // without setting the iron; calcStitchInOutPos recomputes the thread entry and exit
  // points from the hole's fields. See stitching/hole_shape.h.
  void createStichPath(TPointF center, bool IsInverted, TPrickingIron *APrickingIron, float rotation,
                       float rulerLen);
  void setAsDiamondHole(TPointF pt, const TPrickingIron &iron, bool IsInverted, float rotation, float rulerLen);
  void setAsFrenchHole(TPointF pt, const TPrickingIron &iron, bool IsInverted, float rotation, float rulerLen);
  void setAsFlatHole(TPointF pt, const TPrickingIron &iron, float rotation, float rulerLen);
  void setAsRoundHole(TPointF pt, const TPrickingIron &iron, float rotation, float rulerLen);
  void calcStitchInOutPos();

  // The shape's JSON object, and filling the shape from one (the iron reference "pr" is
  // read by the caller, who passes the iron in).
  TJson toJson() const;
  void loadJson(const TJson &jo, TPrickingIron *pr);

  // Replaces the outline; for readers and commands that set it directly.
  void setData(const TPathData &data) { FData = data; resetBoundary(); }
  // Sets the iron reference (not owned); used by the hole builder and the readers.
  void setPrickingIron(TPrickingIron *iron) { FPrickingIron = iron; }
  // Sets the stored line parameters as a reader found them.
  void setLineParams(float a, float b, bool vertical, bool horizontal) {
    FLine_param_a = a;
    FLine_param_b = b;
    FIsVerticalLine = vertical;
    FIsHorizontalLine = horizontal;
  }

  // Fields, in declared order.
  TAlphaColor FColor;
  bool FSelected = false;
  TStrokeDash FDash;
  TShapeKind FShapeType = TShapeKind::Other;
  TPointF FCenter;

 private:
  TPathData FData;
  QString FUnknownKindName;  // the name of an Unknown kind

 public:
  float FRotation = 0.0f;
  float FWidth = 0.0f;
  float FHeight = 0.0f;
  QString FStitchType;
  bool FStitchInversed = false;
  TPointF FStartPt;
  TPointF FEndPt;
  TPointF FBezierCp2;
  TPointF FBezierCp1;
  float FThickness;

 private:
  TPrickingIron *FPrickingIron = nullptr;
  int FID;
  float FLine_param_a = 0.0f;
  float FLine_param_b = 0.0f;
  bool FIsVerticalLine = false;
  bool FIsHorizontalLine = false;

 public:
  TPointF FClickedPoint;
  float FSweepAngle = 0.0f;
  float FStartAngle = 0.0f;
  bool FTemp_HasStichingHole = false;
  TPointF FTemp_vector;
  TQN_Path *FTemp_OnPath = nullptr;
  QString FText;
  float FFontSize = 10.0f;
  QString FFontFamily = QStringLiteral("Meiryo UI");
  QString FName;
  TGUID FGUID;
  bool FIsBoundaryCalculated = false;
  TRectF FBoundaryCache;
  std::vector<TPointF> FControlPointsCache;
  int FGroupID = 0;
  bool FIsSymmetryTarget = false;
  int FClickedPathIndex = 0;
  bool FIsDimensionLine = false;
  bool FIsFreeAngle = false;
  bool FShowArrowSt = false;
  bool FShowArrowEd = false;
  float FArrowLen = 1.0f;
  TPointF FStitchIn;
  TPointF FStitchOut;
  int FPrevStitchID = -1;
  int FNextStitchID = -1;
  int FMandalaID = 0;
  int FMandalaSectionID = 0;
  TPointF FMandalaCenter;
  int FNumMandalaSections = 0;
  float FMandalaRotation = 0.0f;
  int FLayerID = 0;
  bool FShowBezierOffsetSupport = false;
  int FPalletIndex;
  bool FExportStrokeDashToSVG = false;
  float FOpacity = 0.5f;
  float FTextStretch = 1.0f;
  float FTextRadius = 0.0f;
  TGUID FCatalogGUID;
  // The thread colour of a hole; empty when the hole has none. (Kept apart from the
  // colour value, so that opaque white is a colour like any other.)
  std::optional<TAlphaColor> FThreadColor;
  QString FThreadCode;
  float FThreadDiameter = 0.0f;
  bool FIsManuallyClicked = false;
  float FCatalogRotation = 0.0f;
  bool FAlwaysShowStitchSimulator = false;
  TPointF FCatalogScale{1.0f, 1.0f};
  bool FTextFill = true;
};

// The distinct group IDs above 0 of the shapes, in order of first appearance.
std::vector<int> getGroupIDs(const std::vector<TQN_Path *> &AList);

}  // namespace quillon
