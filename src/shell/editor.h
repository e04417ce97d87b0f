#pragma once
// TEditor: the editor state of one main window and the start-up and shutdown that build
// and tear it down. The Qt main window owns one TEditor and turns its widgets' events into
// calls on it; everything here runs without a window.
#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "model/intersection.h"
#include "model/spatial_index.h"
#include "platform/geometry.h"
#include "platform/input.h"
#include "render/color_scheme.h"
#include "render/overlays.h"
#include "tools/tool.h"
#include "shell/undo.h"

class QTimer;

namespace quillon {

class TEditorUi;
class TMultiLang;
class TQN_Options;
class TDrawPallet;
class TShapeList;
class TPrickingIronGroup;
class TQN_Path;
class TQNMCPServer;
struct TCanvasState;
class TEdgeDraggingInfo;

// The values of the side-panel and tool controls that the settings file stores and the
// core reads. The window shows them in its widgets and writes changes back here.
struct TPanelValues {
  bool FixedPitch = false;           // rbFixedPitch checked (else rbAutoPitchAdjust)
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
  bool PinSideBar = true;            // chkPinSideBar
  bool OpenDemoAtStartup = true;     // chkOpenDemoAtStartup
  float NotchDepth = 2.0f;           // nbNotchDepth1

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

class TEditor {
 public:
  // Builds the editor in start-up order; `ui` must outlive the editor. `args` are the
  // program's arguments without the program name.
  TEditor(TEditorUi &ui, const QStringList &args);
  // Shutdown order: stops services, saves settings and stores, frees the state.
  ~TEditor();
  TEditor(const TEditor &) = delete;
  TEditor &operator=(const TEditor &) = delete;

  TEditorUi &ui() const { return FUi; }

  // Caption and the document's changed mark.
  void updateCaption(const QString &fileName);
  void setDocumentChanged(bool changed);
  // The phrase of a key in the current language.
  QString tr(const QString &key) const;

  // Intersections: records of one new or reshaped shape (none during a drag), and the
  // whole document again ("Recalc Intersections").
  void calcIntersectionsOfShape(TQN_Path *shape);
  void btnRecalcIntersectionsClick();

  // Data folders.
  void initDataFolders();
  // The command line: true when it opened a document or carried "--instance-id".
  bool openFromCommandLine(const QStringList &args);

  // State.
  std::unique_ptr<TMultiLang> FMultiLang;
  QString FLangID = QStringLiteral("en");
  std::unique_ptr<TQN_Options> FOptions;
  std::vector<std::unique_ptr<TDrawPallet>> FPalletList;
  int FSelectedPalette = 0;
  TAlphaColor FCurrentColor = 0xFFFFFFFF;
  float FCurrentThickness = 1.0f;
  TStrokeDash FCurrentDash = TStrokeDash::Solid;
  std::unique_ptr<TShapeList> PathList;
  TIntersections FIntersections;        // owns its records (freed when removed)
  TIntersections FStitchIntersections;  // the stitching tool's clicked crossings
  TShapeSpatialIndex FShapeIndex;       // boundaries of the shapes, for the upkeep
  TUndoStore FUndoStore;
  int FActiveLayer = 0;
  std::map<int, TRectF> FGroupBoundary;  // cached group frames by group ID
  TQN_Path *FFirstSelection = nullptr;
  TQN_Path *FEditingText = nullptr;      // the text shape being edited, if any
  int FStitchingCount = 0;
  std::vector<TPointF> Clicked_Points;   // points collected by the drawing tool in progress
  TQN_Path *FDimensionShape = nullptr;    // the arc a radius dimension measures (dimension tool)
  TQN_Path *FTempDistMarkLine = nullptr;  // red start mark of the distance-marking tool (in the document)
  TQN_Path *FRepositoryTemplate = nullptr;  // part selected in the visible parts repository window, if any
  bool FIsShapeDragging = false;         // a drag or Bezier handle edit is under way
  std::vector<std::unique_ptr<TPrickingIronGroup>> FPrickingIronGroups;
  bool FPrickingIronGroupsFromDefaults = false;
  TPanelValues FPanel;

  QString FAppDataPath;
  QString FRepositoryPath;
  QString FCatalogPath;
  QString FRandomStr;
  QString FFilename;
  QString FCaption;
  int FDuplicatesRemovedOnLoad = 0;

  // View and display.
  float FScale = 10.0f;  // pixels per millimetre
  TPointF FOffset;        // pixels
  float FBoxWidth = 0.0f;   // drawing box size in pixels, set by the window
  float FBoxHeight = 0.0f;
  TPointF FOriginalOffset;  // FOffset when a pointer pan started
  TPointF FGesturePrevLocation;
  float FGestureLastZoomDistance = 0.0f;  // 0 or less: no zoom gesture under way
  bool FRulerFixed = false;
  TPointF FRulerRealSt;

  // Pointer state (press, move, release, drags).
  TTool FTool = TTool::Select;  // the pressed tool-bar button
  TShiftState FLastShiftState = 0;
  int FLastKey = 0;
  bool FIsMouseDown = false;
  TPointF FFirstMousePos;  // pixels, last press
  TPointF FLastMousePos;   // pixels, last press or move
  bool FIsScreenDragging = false;
  bool FIsEdgeDragging = false;
  bool FIsRangeSelecting = false;
  std::vector<std::unique_ptr<TEdgeDraggingInfo>> FDraggingEdges;
  TBezierEditingInfo FBezierEditInfo;
  bool FShapeCreated = false;
  bool FDoubleClicked = false;
  TPointF FCummulativeShiftDistance;
  double FDragStartPrint = 0.0;
  bool FDragPrintValid = false;
  bool FDragSnapValid = false;
  TPointF FDragSnapRawOrigin;
  bool FIsRotationCenterSpecified = false;
  TPointF FRotationCenter;
  bool FIsSnapPointManuallySet = false;
  bool FIsPasted = false;
  TQN_Path *FLastRightClickMousePosItem = nullptr;
  TPointF FLastRightClickRealPos;
  TQN_Path *FLastStitch = nullptr;
  bool FInLineSymmetryMode = false;
  bool FIsMandalaCenterChangeMode = false;
  bool FSplitNotSelectedWarning = false;
  bool FIsOffsetMode = false;
  bool FIsMentoriMode = false;
  bool FIsStitchTool = false;
  bool FIsNotchMode = false;       // the trimming tool cuts notches
  bool FIsCenterLineMode = false;  // the centre-line tool is chosen
  bool FShowDblClickLilneTypeChangeWarning = false;
  std::optional<TTool> FLastUsedTool;  // the tool Escape returns to from the select tool
  int FMandalaButtonTag = 0;           // sbMandala's Tag: 1 once the tool was chosen
  int FSelectionCount = 0;             // selected shapes at the last count
  // The information lines under the drawing (see shell/status_info.h).
  QString FIDText;             // lblID
  QString FRangeText;          // lblRange
  QString FLengthText;         // lblLength
  QString FNumOfStitchesText;  // lblNumOfStitches
  QString FTotalLengthText;    // lblTotalLength

  // Snapping.
  bool FStickyExists = false;
  TPointF FStickyPoint;              // millimetres
  std::vector<TPointF> FSnapPoints;  // extra snap targets (tangent points)
  bool FStitchIsecOverflowLogged = false;

  // What the drawing box keeps from frame to frame (grid cache, paint-error line, switches
  // of later subsystems).
  TCanvasState &canvas() { return *FCanvas; }
  const TCanvasState &canvas() const { return *FCanvas; }
  bool FShowGrid = true;
  bool FShowRuler = false;
  bool FIsBlackBackgroundMode = true;
  bool FShowPrintAreas = true;
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

  // Colour scheme.
  TAlphaColor FMandalaSectionColor = 0;
  TAlphaColor FMandalaSectionColor2 = 0;
  TAlphaColor FHandleColor = 0;
  TAlphaColor FColor_Drawing = 0;
  TAlphaColor FColor_Centerline = 0;
  TAlphaColor FColor_StitchingHole = 0;
  TStrokeDefs FStrokeDefs;

  QElapsedTimer FStopwatch;
  std::map<QString, qint64> FThrottleTimes;  // isThrottled: last time of each key text

  // Auto-save (shell/autosave.h): the 1000 ms timer whose tick is TimerAutoSaveTimer, and
  // whether a failed auto-save write was already reported on the status line.
  std::unique_ptr<QTimer> FAutoSaveTimer;
  bool FAutoSaveFailedReported = false;

  // The automation server (automation/mcp_dispatch.h): started last at start-up when the
  // settings turn it on, stopped first at shutdown; empty while it is off.
  std::unique_ptr<TQNMCPServer> FMCPServer;

  std::unique_ptr<TCanvasState> FCanvas;

 private:
  void startUp(const QStringList &args);
  void shutDown();
  void resetView();
  void chooseLanguage();
  void chooseDefaultFont();
  void askAutoDownload();

  TEditorUi &FUi;
};

}  // namespace quillon
