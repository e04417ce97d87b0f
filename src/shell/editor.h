#pragma once
// TEditor: the editor state of one main window and the start-up and shutdown that build
// and tear it down. The Qt main window owns one TEditor and turns its widgets' events into
// calls on it; everything here runs without a window.
#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "model/document.h"
#include "model/draw_pallet.h"
#include "shell/display_state.h"
#include "shell/layer_list.h"
#include "shell/lint_state.h"
#include "shell/pointer_state.h"
#include "shell/tool_panel.h"
#include "shell/tool_state.h"
#include "shell/undo.h"
#include "shell/view_transform.h"

class QTimer;

namespace quillon {

class TEditor;
class TEditorUi;
class TMultiLang;
class TQN_Options;
class TPrickingIronGroup;
class TQN_Path;

// Steps of the command layer that commands of the editor core take: the core lies below
// the tools in the layer order and cannot call them itself. installCommandHooks
// (tools/command_hooks.h) fills them; whoever builds an editor installs them.
struct TCommandHooks {
  // The tool change to the select tool (tools/tool_change.h: sbToolsClick).
  std::function<void(TEditor &)> SwitchToSelectTool;
  // The drawing check after an edit, undo, redo or opened document
  // (edit/drawing_check.h: refreshDrawingCheck); it ends with a canvas refresh.
  std::function<void(TEditor &)> RefreshDrawingCheck;
  // After a project document was opened: BEZIERs whose outline drifted from their ends
  // are rebuilt, then the drawing check runs (edit/regularize.h, edit/drawing_check.h).
  std::function<void(TEditor &)> DocumentOpened;
  // The whole-drawing regularisation that follows opening the demo project
  // (edit/regularize.h: regularizeAllShapes).
  std::function<void(TEditor &)> RegularizeAllShapes;
};

class TEditor {
 public:
  // Builds the editor in start-up order; `ui` must outlive the editor. `args` are the
  // program's arguments without the program name.
  TEditor(TEditorUi &ui, const QStringList &args);
  // Shutdown order: saves settings and stores, frees the state. (The program stops the
  // automation server before.)
  ~TEditor();
  TEditor(const TEditor &) = delete;
  TEditor &operator=(const TEditor &) = delete;

  TEditorUi &ui() const { return FUi; }

  // Caption and the document's changed mark.
  void updateCaption(const QString &fileName);
  void setDocumentChanged(bool changed);
  // The phrase of a key in the current language; empty when there is none (a key without
  // an English phrase in the built-in table is logged, see reportKeyWithoutEnglishPhrase).
  QString tr(const QString &key) const;

  // Intersections: records of one new or reshaped shape (none during a drag), and the
  // whole document again ("Recalc Intersections").
  void calcIntersectionsOfShape(TQN_Path *shape);
  void btnRecalcIntersectionsClick();

  // Data folders.
  void initDataFolders();
  // The command line: true when it opened a document or carried "--instance-id".
  bool openFromCommandLine(const QStringList &args);

  TCommandHooks FCommandHooks;

  // The editor state by concern. Commands take the parts they need.
  TDocument &doc() { return *FDocument; }
  const TDocument &doc() const { return *FDocument; }
  TViewState &view() { return FView; }
  const TViewState &view() const { return FView; }
  TPointerState &pointer() { return FPointer; }
  const TPointerState &pointer() const { return FPointer; }
  TSnapState &snap() { return FSnap; }
  const TSnapState &snap() const { return FSnap; }
  TToolState &tool() { return FToolState; }
  const TToolState &tool() const { return FToolState; }
  TPanelValues &panel() { return FPanel; }
  const TPanelValues &panel() const { return FPanel; }
  TPenState &pen() { return FPen; }
  const TPenState &pen() const { return FPen; }
  TDisplayState &display() { return FDisplay; }
  const TDisplayState &display() const { return FDisplay; }
  TLintState &lint() { return FLint; }
  const TLintState &lint() const { return FLint; }
  TLayerListState &layers() { return FLayers; }
  const TLayerListState &layers() const { return FLayers; }

  // Settings, language and stores.
  std::unique_ptr<TMultiLang> FMultiLang;
  QString FLangID = QStringLiteral("en");
  std::unique_ptr<TQN_Options> FOptions;
  TUndoStore FUndoStore;
  int FActiveLayer = 0;
  // The pricking-iron groups (shell/pricking_iron_file.h): never freed before shutdown,
  // since holes point at their irons.
  std::vector<std::unique_ptr<TPrickingIronGroup>> FPrickingIronGroups;
  bool FPrickingIronGroupsFromDefaults = false;  // start-up made the built-in groups
  bool FKeepPrickingIronFile = false;  // a damaged groups file could not be kept aside: never overwrite it

  // Files and folders.
  QString FAppDataPath;
  QString FRepositoryPath;
  QString FCatalogPath;
  QString FRandomStr;
  QString FFilename;
  QString FCaption;
  int FDuplicatesRemovedOnLoad = 0;
  // The kind names of the shapes of unknown kinds the last open kept, one per shape; like
  // the duplicates count, emptied when the document is next marked unchanged.
  QStringList FUnknownKindsOnLoad;

  int FSelectionCount = 0;  // selected shapes at the last count
  int FInfoShapeID = -1;    // the shape the ID, range and length lines describe
  // The information lines under the drawing (see tools/status_info.h).
  QString FIDText;             // lblID
  QString FRangeText;          // lblRange
  QString FLengthText;         // lblLength
  QString FNumOfStitchesText;  // lblNumOfStitches
  QString FTotalLengthText;    // lblTotalLength

  QElapsedTimer FStopwatch;
  std::map<QString, qint64> FThrottleTimes;  // isThrottled: last time of each key text

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

  // Lets the pointer and tool state go of the shapes that leave the document.
  class TShapeReleaser : public TDocumentListener {
   public:
    explicit TShapeReleaser(TEditor &editor) : FEditor(editor) {}
    void shapeGoing(const TQN_Path &shape) override;
    void allShapesGoing() override;

   private:
    TEditor &FEditor;
  };

  TEditorUi &FUi;
  std::unique_ptr<TDocument> FDocument;
  TViewState FView;
  TPointerState FPointer;
  TSnapState FSnap;
  TToolState FToolState;
  TPanelValues FPanel;
  TPenState FPen;
  TDisplayState FDisplay;
  TLintState FLint;
  TLayerListState FLayers;
  TShapeReleaser FShapeReleaser{*this};
};

// After a new or opened document: back to the select tool unless it is already down.
void resetToSelectTool(TEditor &editor);
// The drawing check through the command hook; a plain canvas refresh while no hook is
// installed (during start-up).
void refreshDrawingCheckOrCanvas(TEditor &editor);

}  // namespace quillon
