#pragma once
// TEditor: the editor state of one main window and the start-up and shutdown that build
// and tear it down. The Qt main window owns one TEditor and turns its widgets' events into
// calls on it; everything here runs without a window.
#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <vector>

#include "model/intersection.h"
#include "model/spatial_index.h"
#include "platform/geometry.h"
#include "render/color_scheme.h"
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

  // Auto-save (shell/autosave.h): the 1000 ms timer whose tick is TimerAutoSaveTimer, and
  // whether a failed auto-save write was already reported on the status line.
  std::unique_ptr<QTimer> FAutoSaveTimer;
  bool FAutoSaveFailedReported = false;

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
