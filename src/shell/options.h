#pragma once
// TQN_Options: the user's preferences. One object lives in the editor (FOptions); the
// settings file fills it at start-up and stores it at shutdown (shell/settings_file.h).
#include <QString>

#include "platform/geometry.h"

namespace quillon {

// The length unit shown to the user; lengths are always stored in millimetres.
enum TUnitMode : int { umMM = 0, umIN = 1 };

// How an inch length is shown: decimals, a fraction, or a fraction with the decimal beside it.
enum TInchDisplayMode : int { idmDecimal = 0, idmFraction = 1, idmHybrid = 2 };

// How lengths are shown and how the rulers step. The member defaults are the millimetre
// format that TQN_Options::SetUnitMode(umMM) gives.
struct TLengthFormatSettings {
  TUnitMode UnitMode = umMM;
  TInchDisplayMode InchDisplayMode = idmHybrid;
  int InchDecimalDigits = 6;
  int InchFractionDenom = 64;  // 0 or less means 64
  int MmDecimalDigits = 2;
  int LargeTickInterval = 10;  // ruler steps per major tick
  int SmallTickInterval = 5;   // ruler steps per medium tick
};

class TQN_Options {
 public:
  // Every field at its default; the length format is the millimetre one.
  TQN_Options();
  ~TQN_Options();

  // Stores the unit and fills LengthFormatSettings with the format of that unit.
  void SetUnitMode(TUnitMode value);

  bool IsFixedPitchDefault = false;
  bool UseAutoSave = false;
  bool ForceFitLastPrick = true;
  bool IncrementalSelectionMode = false;
  bool MentoriWithoutCtrl = true;
  float SVGDotRadius = 0.5f;
  TPointF PrintCalibration{100.0f, 100.0f};
  float BoxStitchDistance = 100.0f;
  bool SVG_with_templates = false;
  bool SVG_with_text_shapes = false;
  bool SVG_as_dots = true;
  QString LangID;
  float AutoPitchStopGap = 0.1f;
  int AutoPitchSteps = 50;
  float AutoPitchPrecision = 0.001f;
  QString LastVersion;
  TAlphaColor StitchColor = 0xFFFFFFFF;
  float StitchThickness = 3.0f;
  bool ShowStitchPattern = false;
  bool ShowLintWarnings = true;
  float StitchOpacity = 1.0f;
  float ThreadCycleMm = 1260.0f;
  float LeatherThicknessMm = 2.0f;
  float ThreadStartPhase = 0.5f;
  float ThreadDiameterMm = 0.45f;
  QString LastThreadCode = QStringLiteral("MEISI_SF:MS101");
  bool ReverseMouseWheelZoomDirection = false;
  bool ReverseCursorKeyGridAreaMove = true;
  bool DXFExportInvertY = true;
  TAlphaColor WhiteBGColor = 0xFFF8F8F8;
  bool LoadDemoProjectAtStartup = true;
  bool PinSideBar = true;
  QString DefaultFont;
  bool PrintInColor = false;
  bool HighlightSnapTargets = true;
  float NotchAngle = 45.0f;
  float NotchDepth = 2.0f;
  bool UseDXFR14 = true;
  bool PrintRulerInside = false;
  TUnitMode UnitMode = umMM;  // change it through SetUnitMode
  TLengthFormatSettings LengthFormatSettings;
  bool NewPrickingIronsAdded = false;
  bool AutomaticallyDownloadLeatherSimImages = false;
  bool NotifyNewOrUpdatedSimImages = false;
  bool LeatherSimImageChoiseMade = false;
  int AutoPrickMode = 0;  // 0 smart corner, 1 all junctions, 2 uniform
  float CornerAngleThreshold = 160.0f;
  bool TrimUndoHistory = true;
  int GuaranteedUndoSteps = 20;
};

}  // namespace quillon
