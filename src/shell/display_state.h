#pragma once
// The display switches of the drawing box (grid, ruler, background, print pages, dimension
// lines, intersections, filled shapes, the radial-repeat guides ...) and the colours of the
// canvas colour scheme that the painters read. Plain state: the painting is in render/.
#include <QString>

#include <vector>

#include "platform/geometry.h"

namespace quillon {

struct TStrokeDefs {
  TAlphaColor RulerColor = 0;
  TAlphaColor RulerTextColor = 0;
  TAlphaColor SelectionColor = 0;
  float SelectionThickness = 0.0f;
  float DotRadius = 0.0f;
  float RulerThickness = 0.0f;
  TAlphaColor RulerPathColor = 0;
  TAlphaColor OffsetTempColor = 0;
};

// The state of the radial-repeat mode that its guides read.
struct TMandalaGuideState {
  TPointF Center;                   // FLastMandalaCenter, millimetres
  float NumSections = 0.0f;         // nbMandala_NumSections
  float Rotation = 0.0f;            // nbMandala_Rotation, degrees
  std::vector<float> CircleGuides;  // FMandala_Circle_Guides
};

struct TDisplayState {
  bool FShowGrid = true;
  bool FShowRuler = false;
  bool FIsBlackBackgroundMode = true;
  bool FShowPrintAreas = true;
  // A print job has laid the pages out since the document was made or opened, so their
  // frames can be drawn over the drawing.
  bool FIsPrintAreaAvailable = false;
  bool FShowDimensionShapes = true;
  bool FShow_intersections = false;
  bool FShowPathDirections = false;
  float FPrintLineFactor = 1.0f;
  bool FUseMousePasteMode = true;
  float FBackdropAlpha = 0.8f;
  float FLastMandalaSectionLength = 1000.0f;
  float FMandala_Circle_Factor = 1.0f;
  int FLintAnimPhase = 0;
  int FLintHoveredIndex = -1;
  int FThreadListHover = -1;

  bool HideStrokeLines = false;              // FHideStrokeLines (leather-fill view)
  bool FillOn = true;                        // chkFillOn, "Show filled shapes"
  bool SimulatorOn = true;                   // chkSimulatorOn, "Show leather simulation"
  bool HighlightActiveLayer = false;         // chkHighlightActiveLayer, "No layer highlight"
  bool IgnoreLayer = false;                  // FIgnoreLayer
  bool SelectNextStitchingHoleMode = false;  // FSelectNextStitchingHoleMode
  bool IsMandalaMode = false;                // FIsMandalaMode
  TMandalaGuideState Mandala;                // the radial-repeat centre, sections, circles

  // The colour scheme (shell/color_scheme.h sets it for the background).
  TAlphaColor FMandalaSectionColor = 0;
  TAlphaColor FMandalaSectionColor2 = 0;
  TAlphaColor FHandleColor = 0;
  TAlphaColor FColor_Drawing = 0;
  TAlphaColor FColor_Centerline = 0;
  TAlphaColor FColor_StitchingHole = 0;
  TStrokeDefs FStrokeDefs;

  // The last line written to the paint-error log (painting and snapping both write it,
  // and a line equal to the last is not written again).
  QString FLastPaintError;
};

}  // namespace quillon
