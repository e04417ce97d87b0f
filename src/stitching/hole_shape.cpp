#include "stitching/hole_shape.h"

#include <numbers>

#include "model/shape.h"
#include "stitching/pricking_iron.h"

namespace quillon {

namespace {

constexpr double kDegToRad = std::numbers::pi / 180.0;

// Turns about the origin by `degrees`, then moves by `center`.
TMatrix holeFrame(float degrees, TPointF center) {
  return TMatrix::rotation(double(degrees) * kDegToRad) * TMatrix::translation(center.X, center.Y);
}

// The axis cross of the toolbox preview: two open strokes of half length r.
void addAxisCross(TPathData &outline, TPointF at, float r) {
  if (r <= 0.0f) return;
  outline.MoveTo({at.X - r, at.Y});
  outline.LineTo({at.X + r, at.Y});
  outline.MoveTo({at.X, at.Y - r});
  outline.LineTo({at.X, at.Y + r});
}

enum class TFigure { Rhombus, Rectangle };

// The common steps of the diamond, French and flat builders; `turn` is the angle the
// outline is turned by.
void buildBladeHole(TQN_Path &hole, TPointF pt, const TPrickingIron &iron, const char *letter, TFigure figure,
                    float turn, float rotation, float rulerLen) {
  hole.resetBoundary();
  hole.FDash = TStrokeDash::Solid;
  hole.FCenter = pt;
  hole.FRotation = rotation;
  hole.FShapeType = TShapeKind::Hole;
  hole.FStitchType = QString::fromLatin1(letter);
  hole.FWidth = iron.Width;
  hole.FHeight = iron.Height;

  TPathData outline;
  addAxisCross(outline, {0.0f, 0.0f}, rulerLen);
  const float w = hole.FWidth / 2.0f, h = hole.FHeight / 2.0f;
  if (hole.FWidth == 0.0f) {
    outline.MoveTo({0.0f, -h});
    outline.LineTo({0.0f, h});
  } else if (figure == TFigure::Rhombus) {
    outline.MoveTo({0.0f, -h});
    outline.LineTo({w, 0.0f});
    outline.LineTo({0.0f, h});
    outline.LineTo({-w, 0.0f});
    outline.LineTo({0.0f, -h});
  } else {
    outline.MoveTo({-w, -h});
    outline.LineTo({w, -h});
    outline.LineTo({w, h});
    outline.LineTo({-w, h});
    outline.LineTo({-w, -h});
  }
  outline.ApplyMatrix(holeFrame(turn, pt));
  hole.setData(outline);
  hole.calcStitchInOutPos();
  hole.resetBoundary();
}

}  // namespace

THoleSize GetDefaultHoleSize(const std::string &bladeType) {
  if (bladeType == "D") return {0.8f, 2.2f, 32.0f};
  if (bladeType == "F") return {0.25f, 2.0f, 45.0f};
  if (bladeType == "L") return {0.3f, 2.0f, 0.0f};
  if (bladeType == "R") return {1.2f, 1.2f, 0.0f};
  return {1.0f, 1.0f, 0.0f};
}

float ironTilt(const TPrickingIron *iron, bool inverted) {
  if (!iron) return 0.0f;
  return inverted ? iron->Angle : -iron->Angle;
}

void remakeHole(TQN_Path &hole, TPointF center, float rotation) {
  hole.createStichPath(center, hole.FStitchInversed, hole.PrickingIron(), rotation, 0.0f);
}

void TQN_Path::setAsDiamondHole(TPointF pt, const TPrickingIron &iron, bool IsInverted, float rotation,
                                float rulerLen) {
  FStitchInversed = IsInverted;
  buildBladeHole(*this, pt, iron, "D", TFigure::Rhombus, rotation + ironTilt(&iron, IsInverted), rotation,
                 rulerLen);
}

void TQN_Path::setAsFrenchHole(TPointF pt, const TPrickingIron &iron, bool IsInverted, float rotation,
                               float rulerLen) {
  FStitchInversed = IsInverted;
  buildBladeHole(*this, pt, iron, "F", TFigure::Rectangle, rotation + ironTilt(&iron, IsInverted), rotation,
                 rulerLen);
}

void TQN_Path::setAsFlatHole(TPointF pt, const TPrickingIron &iron, float rotation, float rulerLen) {
  buildBladeHole(*this, pt, iron, "L", TFigure::Rectangle, rotation, rotation, rulerLen);
}

void TQN_Path::setAsRoundHole(TPointF pt, const TPrickingIron &iron, float rotation, float rulerLen) {
  resetBoundary();
  FDash = TStrokeDash::Solid;
  FCenter = pt;
  FRotation = rotation;
  FShapeType = TShapeKind::Hole;
  FStitchType = QStringLiteral("R");
  const float r = iron.Width / 2.0f;
  FWidth = 2.0f * r;
  FHeight = 2.0f * r;
  FData.Clear();
  addAxisCross(FData, pt, rulerLen);
  FData.AddEllipse(TRectF(pt.X - r, pt.Y - r, pt.X + r, pt.Y + r));
  calcStitchInOutPos();
}

void TQN_Path::calcStitchInOutPos() {
  float s = 0.05f, k = 0.75f;
  if (FStitchType == QLatin1String("R")) {
    s = 0.0f;
  } else if (FStitchType == QLatin1String("D")) {
    s = 0.15f;
    k = 0.65f;
  } else if (FStitchType == QLatin1String("F")) {
    s = 0.15f;
  }
  const TMatrix frame = holeFrame(FRotation + ironTilt(FPrickingIron, FStitchInversed), FCenter);
  FStitchIn = frame.map({s * FWidth, -k * FHeight / 2.0f});
  FStitchOut = frame.map({-s * FWidth, k * FHeight / 2.0f});
}

void TQN_Path::createStichPath(TPointF center, bool IsInverted, TPrickingIron *APrickingIron, float rotation,
                               float rulerLen) {
  FPrickingIron = APrickingIron;
  switch (APrickingIron ? BladeTypeToIndex(APrickingIron->BladeType) : -1) {
    case 0: setAsDiamondHole(center, *APrickingIron, IsInverted, rotation, rulerLen); break;
    case 1: setAsFrenchHole(center, *APrickingIron, IsInverted, rotation, rulerLen); break;
    case 2: setAsFlatHole(center, *APrickingIron, rotation, rulerLen); break;
    case 3: setAsRoundHole(center, *APrickingIron, rotation, rulerLen); break;
    default: {
      // Nothing to build from: the outline and thread points go with the hole as they are.
      const TMatrix carry = TMatrix::translation(-FCenter.X, -FCenter.Y) * holeFrame(rotation - FRotation, center);
      FData.ApplyMatrix(carry);
      FStitchIn = carry.map(FStitchIn);
      FStitchOut = carry.map(FStitchOut);
      resetBoundary();
      break;
    }
  }
  FStartPt = center;
  FCenter = center;
  FThickness = 1.0f;
  FLine_param_a = 0.0f;
  FLine_param_b = 0.0f;
  FIsVerticalLine = false;
  FIsHorizontalLine = false;
  FRotation = rotation;
}

}  // namespace quillon
