#pragma once
// The values of the tools' ribbon and side-panel controls: what the window shows in its
// number boxes, check boxes and lists, and the tools read.
#include <QString>
#include <QStringList>

namespace quillon {

// Which pitch button of the pricking tab is checked (radio group "prick_pitch").
enum class TPitchMode {
  Fixed,       // rbFixedPitch: the pitch of nbFixedPitchLen1
  Auto,        // rbAutoPitchAdjust: the pitch that best fits the route
  NumOfHoles,  // rbSetNumOfHoles: the number of holes of nbNumOfStitchingHoles
};

// The values of the side-panel and tool controls that the settings file stores and the
// core reads. The window shows them in its widgets and writes changes back here.
struct TPanelValues {
  TPitchMode PitchMode = TPitchMode::Auto;
  float FixedPitchLen = 4.0f;        // nbFixedPitchLen1, mm, at least 0.5
  int NumOfStitchingHoles = 10;      // nbNumOfStitchingHoles, 3..1000
  bool ReduceOneBlade = false;       // chkReduceOneBlade
  int CornerModeIndex = 0;           // cmbCornerMode item index, 0..2
  float CornerAngle = 160.0f;        // nbCornerAngle, whole degrees 1..179
  int DimPalletIndex = 7;            // cmbDim_Pallet item index
  float DimGapMm = 0.5f;             // nbDim_Gap1, millimetres
  float DimFontSize = 2.0f;          // nbDMS_FontSize, 0.5..200
  int DimPrecision = 1;              // nbDMS_Precision
  QStringList FontNames;             // cmbFontNames entries
  int SelectedFontIndex = -1;        // cmbFontNames selection
  float TextFontSize = 10.0f;        // nbFontSize, at least 1
  bool ShowStitchPattern = false;    // chkShowStitchPattern
  bool chkShowEvenStitches = true;   // the stitch simulation shows the even stitches
  bool chkShowOddStitches = true;    //   and the odd ones
  bool PinSideBar = true;            // chkPinSideBar
  bool OpenDemoAtStartup = true;     // chkOpenDemoAtStartup
  float NotchDepth = 2.0f;           // nbNotchDepth1, millimetres, at least 0.5
  float NotchAngle = 45.0f;          // nbNotchAngle, full opening of the notch, 5..120 degrees
  float nbR = 5.0f;                  // "Bevel Radius:" of the corner-rounding tool, 0..1000
  float nbOffsetDist1 = 3.0f;        // "Offset Width:" of the offset tool, 0..1000

  // Line, rectangle, ellipse-size, arc and text tools (lengths in millimetres).
  bool chkLineLength = false;        // "Length:": the line has the fixed length below
  float nbLineLength1 = 10.0f;       // 0..100000
  bool rbLineAngleNone = true;       // line angle group: the pointer gives the direction
  bool rbLineRelativeAngle = false;  //   nbLineAngle to a line meeting at the start point
  bool rbLineHorizontal = false;     //   horizontal or vertical, as with Shift
  float nbLineAngle = 45.0f;         // degrees, -360..360
  bool chkRectWidth = false;         // "Width:"
  float nbRectWidth1 = 30.0f;        // 0..1000
  bool chkRectHeight = false;        // "Height:"
  float nbRectHeight1 = 30.0f;       // 0..1000
  bool chkEllipseXlen = false;       // "Diameter:"
  float nbEllipseXlen1 = 10.0f;      // 0..1000
  bool chkEllipseYlen = false;       // "Height (Ellipse Only):", only while chkEllipseXlen
  float nbEllipseYlen1 = 10.0f;      // 0..1000
  bool rbArc_R = true;               // arc mode group: "Arc Radius:"
  float nbRforArc1 = 20.0f;          //   the radius, 0..10000
  bool rbArc_HalfMoonRatio = false;  //   "Semicircle:"
  float nbArc_HalfMoonRatio = 100.0f;  //   per cent of a half circle
  bool rbArc_3_points = false;       //   "3 Points"
  QString edText;                    // the text box of the text tool
  bool edTextEnabled = false;        // edText and btnCancelTextEditing enabled
  float nbTextTracking = 1.0f;       // "Text Stretch", at least 0.8
  float nbTextRadius1 = 0.0f;        // "Text Radius", 0..10000 (0: straight)
  bool chkTextCCW = false;           // arched text runs counter-clockwise
  bool chkTextFill = true;           // text shapes are filled
  float nbTextRotation = 0.0f;       // degrees

  // Centre-line, distance-marking and dimension tools (lengths in millimetres).
  float nbCenterLineLength1 = 40.0f;          // "Line Length：" of each tick, 1..1000
  float nbNumDividingCenter = 2.0f;           // "Divisions:", whole numbers 1..1000
  bool chkDrawEdges = false;                  // "Draw lines to edges too"
  float nbMarkingDistance1 = 3.0f;            // "Put a mark at" .. "mm from the clicked Point", max 1000
  float nbMarkLen1 = 3.0f;                    // "  Length:" of a mark
  bool chkDrawFirstPos = false;               // "Mark origins too"
  bool chkContinuousDistanceMarking = false;  // "Continuous Marking"
  bool chkDms_SingleLine = false;             // "Single Line"
  bool chkDms_TextInside = false;             // "Inside", only while chkDms_SingleLine
  bool chkDms_ArrowOnly = false;              // "Arrow Only"
  bool chkDms_TextReverse = false;            // "Reverse Text"
};

}  // namespace quillon
