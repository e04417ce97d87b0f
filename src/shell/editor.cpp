#include "shell/editor.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTimer>

#include <stdexcept>

#include "i18n/builtin_phrases.h"
#include "i18n/multi_lang.h"
#include "model/intersection_upkeep.h"
#include "model/shape_list.h"
#include "platform/date_time.h"
#include "platform/folders.h"
#include "shell/autosave.h"
#include "shell/color_scheme.h"
#include "shell/editor_ui.h"
#include "shell/font_list.h"
#include "shell/options.h"
#include "shell/pricking_iron_file.h"
#include "shell/project_file.h"
#include "shell/settings_file.h"
#include "shell/undo.h"
#include "shell/version.h"
#include "stitching/pricking_iron.h"

namespace quillon {

TEditor::TEditor(TEditorUi &ui, const QStringList &args) : FUi(ui) { startUp(args); }

TEditor::~TEditor() { shutDown(); }

QString TEditor::tr(const QString &key) const {
  QString phrase = FMultiLang ? FMultiLang->getTranslation(FLangID, key) : QString();
  if (phrase.isEmpty()) reportKeyWithoutEnglishPhrase(key);
  return phrase;
}

void TEditor::resetView() {
  FView.FScale = 10.0f;
  FView.FOffset = {0.0f, 0.0f};
}

void TEditor::TShapeReleaser::shapeGoing(const TQN_Path &shape) {
  FEditor.pointer().forget(&shape);
  FEditor.tool().forget(&shape);
}

void TEditor::TShapeReleaser::allShapesGoing() {
  FEditor.pointer().forget(nullptr);
  FEditor.tool().forget(nullptr);
  // The clicked crossings go with the shapes.
  FEditor.tool().FStitchingCount = 0;
}

// Builds the editor state in the order the rest of the program relies on.
void TEditor::startUp(const QStringList &args) {
  resetView();
  FStopwatch.start();

  FMultiLang = std::make_unique<TMultiLang>();
  FOptions = std::make_unique<TQN_Options>();
  FDocument = std::make_unique<TDocument>(FMultiLang.get(), FLangID);
  FDocument->addListener(&FShapeReleaser);

  initDataFolders();
  chooseAutosaveNumber(*this);
  updateCaption(QString());

  setDefaultPalettes(FPen, true);
  FFilename.clear();
  applyCanvasColorScheme(*this, FDisplay.FIsBlackBackgroundMode);
  resetView();

  // The pen of line type #01.
  FPen.FCurrentColor = FPen.FPalletList[0]->Color();
  FPen.FCurrentThickness = FPen.FPalletList[0]->FThickness;
  FPen.FCurrentDash = FPen.FPalletList[0]->FDash;

  loadPrickingIronsAtStartUp(*this);
  loadOptions(*this);
  finishPrickingIronsAtStartUp(*this);

  if (FPanel.FontNames.isEmpty()) FPanel.FontNames = GetSystemFonts();
  FPanel.NotchDepth = FOptions->NotchDepth;

  chooseLanguage();
  translatePrickingIronNames(FPrickingIronGroups, FLangID);
  chooseDefaultFont();

  // The first document: the one named on the command line, else a crashed run's
  // auto-save file, else an empty one. A window started with "--instance-id" opens
  // nothing and recovers nothing; it too gets the empty document's first state, so that
  // its first edit can be undone.
  const bool opened = openFromCommandLine(args);
  const bool recovered = !opened && recoverAutosave(*this);
  if ((!opened && !recovered) || FUndoStore.FUndoList.empty()) {
    takeUndoSnapshot(*this, QStringLiteral("L14229"));
    setDocumentChanged(false);
  }
  startAutoSaveTimer(*this);
  createLintAnimTimer(*this);
  if (doc().PathList().PrintOffset().empty()) doc().PathList().clearPrintPagesInfo();
  rebuildLayerList(*this);

  askAutoDownload();
}

void TEditor::shutDown() {
  // The program stops the automation server before the editor goes, so no request
  // reaches the editor state while it is saved and freed.
  try {
    saveOptions(*this);
  } catch (const std::exception &) {
    // The settings file could not be written; nothing else depends on it at shutdown.
  }
  try {
    savePrickingIronGroups(*this);
  } catch (const std::exception &e) {
    // The old file stays as it was; the window is gone, so the log is the only witness.
    qWarning("The pricking-iron groups were not saved: %s", e.what());
  }
  FUndoStore.FUndoList.clear();
  FUndoStore.FRedoList.clear();
  FToolState.FEditingText.reset();
  FDocument->removeListener(&FShapeReleaser);
  FDocument.reset();
  FPrickingIronGroups.clear();
  FPen.FPalletList.clear();
  FOptions.reset();
  FMultiLang.reset();
}

void TEditor::calcIntersectionsOfShape(TQN_Path *shape) {
  FDocument->calcIntersectionsOfShape(shape, FPointer.FIsShapeDragging);
}

void TEditor::btnRecalcIntersectionsClick() {
  recalcAllIntersections(FDocument->PathList(), FDocument->FIntersections);
  FDisplay.FShow_intersections = true;
  FUi.refreshCanvas();
  takeUndoSnapshot(*this, QString::fromLatin1(kRecalcIntersectionsUndoReason));
}

void TEditor::initDataFolders() {
  FAppDataPath = dataDir();
  FRepositoryPath = QDir(FAppDataPath).filePath(QStringLiteral("repository"));
  FCatalogPath = QDir(FAppDataPath).filePath(QStringLiteral("catalogs"));
  // The data folder's parents may be missing on a fresh Linux account (no
  // ~/.local/share yet), so it is made with its parents; the sub-folders one level each.
  const auto create = [](const QString &folder, bool withParents) {
    if (QDir().exists(folder)) return;
    if (!(withParents ? QDir().mkpath(folder) : QDir().mkdir(folder)))
      throw std::runtime_error("Cannot create the folder " + folder.toStdString());
  };
  create(FAppDataPath, true);
  create(FRepositoryPath, false);
  create(FCatalogPath, false);
}

bool TEditor::openFromCommandLine(const QStringList &args) {
  bool result = false;
  bool tried = false;
  for (const QString &arg : args) {
    if (arg.compare(QStringLiteral("--instance-id"), Qt::CaseInsensitive) == 0) {
      result = true;
      continue;
    }
    // Any other argument while nothing is open yet: the document is the first argument.
    // One that failed to open is not tried again for the arguments after it.
    if (!result && !tried) {
      tried = true;
      result = openProject(*this, args.first());
    }
  }
  return result;
}

void TEditor::updateCaption(const QString &fileName) {
  const QString base = QStringLiteral("Quillon ver") + QString::fromLatin1(kQuillonVersion);
  FCaption = fileName.isEmpty() ? base : QFileInfo(fileName).fileName() + QStringLiteral(" - ") + base;
  FUi.setCaption(FCaption);
}

void TEditor::setDocumentChanged(bool changed) {
  TShapeList &shapes = FDocument->PathList();
  shapes.IsChanged = changed;
  if (changed) {
    shapes.LastChangeTime = dateTimeNow();
  } else {
    FDuplicatesRemovedOnLoad = 0;
    FUnknownKindsOnLoad.clear();
  }
}

void TEditor::chooseLanguage() {
  QString code = FOptions->LangID;
  if (code.isEmpty() || !FMultiLang->isSupported(code)) {
    const QString system = QLocale::system().name().section(QLatin1Char('_'), 0, 0);
    code = FMultiLang->isSupported(system) ? system : QStringLiteral("en");
  }
  FLangID = code;
  FOptions->LangID = code;
  FDocument->PathList().LangID = code;
}

void TEditor::chooseDefaultFont() {
  if (FOptions->DefaultFont.isEmpty()) {
    if (FLangID == QLatin1String("ja"))
      FOptions->DefaultFont = QStringLiteral("メイリオ");
    else
      FOptions->DefaultFont = FPanel.FontNames.contains(QStringLiteral("Helvetica")) ? QStringLiteral("Helvetica")
                                                                                     : QStringLiteral("Arial");
  }
  const int index = static_cast<int>(FPanel.FontNames.indexOf(FOptions->DefaultFont));
  FPanel.SelectedFontIndex = index >= 0 ? index : (FPanel.FontNames.isEmpty() ? -1 : 0);
}

void TEditor::askAutoDownload() {
  if (FOptions->LeatherSimImageChoiseMade) return;
  const bool yes = FUi.confirmYesNo(QStringLiteral("askAutoDownload"), tr(QStringLiteral("askAutoDownload")));
  FOptions->AutomaticallyDownloadLeatherSimImages = yes;
  FOptions->NotifyNewOrUpdatedSimImages = !yes;
  FOptions->LeatherSimImageChoiseMade = true;
  try {
    saveOptions(*this);
  } catch (const std::exception &) {
    // The answer stays in memory and is written again at shutdown.
  }
}

void resetToSelectTool(TEditor &editor) {
  // The hide-strokes box of the leather simulation is unticked here once it exists.
  if (editor.tool().FTool == TTool::Select) return;
  editor.FCommandHooks.SwitchToSelectTool(editor);
}

void refreshDrawingCheckOrCanvas(TEditor &editor) {
  if (editor.FCommandHooks.RefreshDrawingCheck)
    editor.FCommandHooks.RefreshDrawingCheck(editor);
  else
    editor.ui().refreshCanvas();
}

}  // namespace quillon
