#pragma once
// TfrmQuil: the main window. It owns the editor and the widgets, turns the widgets' events
// into editor commands and answers the editor's questions with real dialogs.
//
// Layout: the left tool bar (vscrollLeft holding pnlLeft with the 18 tool buttons), the
// top ribbon tabConTop, the drawing box pbox framed by the rulers pbRulerX (above) and
// pbRulerY (left), the information lines under the drawing, the right-hand panels
// (pnlRight with the tab control tabRight, the property panel pnlRight2 with the palette
// bar pnlPallet, and pnlRightBase with the button panel pnlRightButtons) and the status
// line lblStatus.
#include <QList>
#include <QMainWindow>

#include <array>
#include <functional>
#include <map>
#include <memory>

#include "shell/clipboard.h"
#include "shell/editor_ui.h"
#include "shell/tool_state.h"

class QAction;
class QButtonGroup;
class QHBoxLayout;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QToolButton;
class QVBoxLayout;

class QLineEdit;
class QPushButton;

namespace quillon {

class TEditor;
class TCanvasWidget;
class TNumberBox;
class TPaletteBar;
class TLayerPanel;
class TProjectMemo;
class TRibbonPages;
class TfrmAbout;
class TfrmChangeShapeSize;
class TfrmFontList;
class TfrmMoveOrCopy;
class TfrmOptions;
class TfrmSVGExportOptions;
class TfrmSTLExportOptions;
class TPrintCommands;
class TPrickingIronTree;
class TPrickingRibbon;

class TfrmQuil : public QMainWindow, public TEditorUi {
  Q_OBJECT
 public:
  explicit TfrmQuil(const QStringList &args, QWidget *parent = nullptr);
  ~TfrmQuil() override;

  TEditor &editor() { return *FEditor; }

  // TEditorUi
  void messageBox(const QString &key, const QString &text) override;
  void informationBox(const QString &key, const QString &text) override;
  bool confirmYesNo(const QString &key, const QString &text) override;
  TModalResult confirmYesNoCancel(const QString &key, const QString &text) override;
  std::optional<QString> inputBox(const QString &captionKey, const QString &caption, const QString &promptKey,
                                  const QString &prompt, const QString &initial) override;
  QString openFileDialog(const QString &title, const QString &filter) override;
  QString saveFileDialog(const QString &title, const QString &filter, const QString &suggestedName) override;
  void setStatusText(const QString &text) override;
  void setCaption(const QString &caption) override;
  void refreshCanvas() override;
  void refreshRulers() override;
  bool isModalActive() const override;
  void popupMenu(TPopupMenu menu, TPointF at) override;
  void setRangeText(const QString &text) override;
  void showToolPanels(const TToolPanels &panels) override;
  void showInfo(const TInfoTexts &texts) override;
  void applySelectionActions(const TSelectionActions &actions) override;
  void repaintPalettes() override;
  std::optional<TShapeSizeValues> shapeSizeDialog(TShapeSizeTab tab, const TShapeSizeValues &values) override;

  // Window layout: the right-hand panels for a window of that height (up to 1080 px the
  // property panel stands on its own beside a top-aligned button panel; above, both share
  // pnlRightBase with the buttons at the bottom), then fitLeftToolbar.
  void FormResize();
  void layoutRightPanels(int windowHeight);
  // Widens the tool-bar scroll box by 16 px while its panel does not fit in height.
  void fitLeftToolbar();
  // The first idle moment after the window was activated; runs once.
  void firstIdleInit();
  // Whether the window may close: the document is unchanged, or the user answered the
  // question about saving it.
  bool FormCloseQuery();

  // A command of the menus or pop-up menus by its object name; nullptr when there is none.
  QAction *findAction(const QString &name) const;
  QToolButton *toolButton(TTool tool) const { return FToolButtons.at(static_cast<std::size_t>(tool)); }
  // The object name of a tool's button ("sbSelect", "sbDot", ...).
  static QString toolButtonName(TTool tool);

  // The controls of the tools on the ribbon pages, and the project memo under the drawing.
  TRibbonPages *ribbon() const { return FRibbon; }
  TProjectMemo *projectMemo() const { return FProjectMemo; }
  // The length boxes whose unit follows the settings (filled at the first idle moment).
  const QList<TNumberBox *> &numberBoxList() const { return FNBList; }
  // Dialogs, made on first use (the shape size dialog at start-up); nullptr before.
  TfrmChangeShapeSize *frmChangeShapeSize = nullptr;
  TfrmMoveOrCopy *moveOrCopyDialog() const { return FMoveOrCopy; }
  TfrmFontList *fontListDialog() const { return FFontList; }
  TfrmAbout *aboutBox() const { return FAbout; }
  // Printing: the printer, its dialogs, the print timer and the preview window.
  TPrintCommands *printCommands() const { return FPrint; }

  // Widgets, named as the components they stand for.
  QScrollArea *vscrollLeft = nullptr;
  QWidget *pnlLeft = nullptr;
  QTabWidget *tabConTop = nullptr;
  QLineEdit *edText = nullptr;                // the text tool's text box
  QPushButton *btnCancelTextEditing = nullptr;
  QWidget *pbRulerX = nullptr;  // the horizontal ruler (TRulerWidget)
  QWidget *pbRulerY = nullptr;  // the vertical ruler (TRulerWidget)
  TCanvasWidget *pbox = nullptr;
  QWidget *pnlRight = nullptr;
  QTabWidget *tabRight = nullptr;
  QWidget *pnlRight2 = nullptr;
  TPaletteBar *pnlPallet = nullptr;
  TLayerPanel *FLayerPanel = nullptr;  // the layer list and its buttons, under the palette bar
  QWidget *pnlRightBase = nullptr;
  QWidget *pnlRightButtons = nullptr;
  QPushButton *btnRecalcIntersections = nullptr;
  QLabel *lblID = nullptr;
  QLabel *lblRange = nullptr;
  QLabel *lblLength = nullptr;
  QLabel *lblNumOfStitches = nullptr;
  QLabel *lblTotalLength = nullptr;
  QLabel *lblStatus = nullptr;
  QMenu *miFile = nullptr;
  QMenu *miEdit = nullptr;
  QMenu *miView = nullptr;
  QMenu *miTools = nullptr;
  QMenu *miLayer = nullptr;
  QMenu *miHelp = nullptr;
  QMenu *pmForSelectedItems = nullptr;
  QMenu *pmForBezierControlPoints = nullptr;

 protected:
  void closeEvent(QCloseEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void changeEvent(QEvent *event) override;
  void showEvent(QShowEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;
  void keyReleaseEvent(QKeyEvent *event) override;

 private:
  void buildToolBar();
  void buildRibbon();
  void buildDrawingArea(QVBoxLayout *column);
  void buildRightPanels();
  void buildInfoLines(QVBoxLayout *column);
  void buildMenus();
  // The command's phrase key is its name unless phraseKey names another.
  QAction *addCommand(QMenu *menu, const char *name, const QString &english, const QKeySequence &shortcut,
                      std::function<void()> run, const char *phraseKey = nullptr);
  // A command text whose "&" is the character itself, not a mnemonic mark.
  static void showAmpersands(QAction *action);
  // The caption of a phrase key, or the English text while the dictionary lacks it.
  QString caption(const char *key, const QString &english) const;
  void FormActivate();
  // The key handlers behind keyPressEvent and keyReleaseEvent (the key table is the
  // core's, tools/key_commands.h). Keys typed into a text or number box stay with it.
  void FormKeyDown(QKeyEvent *event);
  void FormKeyUp(QKeyEvent *event);
  // The commands of the Help menu, "Open New Window", "Move or copy to a set distance",
  // "Edit Font List", and every command's shortcut from the core's table.
  void buildMoreCommands();
  // The shape editing commands in the Edit, Tools and pop-up menus, and the Home page.
  void buildEditingCommands();
  // The first idle moment's part for the number boxes: the list of length boxes, their
  // two-unit hints and overlay editor, and the unit of the settings.
  void initNumberBoxes();
  // The Layer menu, the layer list's popup menu and the shapes' Layer submenu.
  void buildLayerMenu();
  // The layer panel and the enabling of the layer commands follow the editor.
  void syncLayers();
  // After a change of unit: the length boxes follow it.
  void convertNumberBoxes();
  void actEditFontListExecute();
  void actMoveOrCopyWithSetDistanceExecute();
  void actShowAboutExecute();
  void actShowDocumentExecute(bool licence);
  // Brings the widgets in line with the editor after a repaint request: the pressed tool,
  // the view switches, the command enabling and the status line.
  void requestSync(bool full);
  void syncWidgets();
  // Runs a command of a button, menu or key through the guarded call, then brings the
  // widgets in line; `name` names it in a failure's report.
  void runCommand(const char *name, const std::function<void()> &command);
  void actExportExecute(bool dxf);
  void actExportAsSTLExecute();
  void actOpenOptionsExecute();
  void actPasteFromClipboardExecute();

  std::unique_ptr<TEditor> FEditor;
  TCopyBuffer FCopyBuffer;
  std::array<QToolButton *, kToolCount> FToolButtons{};
  QButtonGroup *FToolGroup = nullptr;
  QHBoxLayout *FMainRow = nullptr;
  std::map<QString, QAction *> FActions;
  TfrmSVGExportOptions *FSVGExportOptions = nullptr;
  TPrintCommands *FPrint = nullptr;
  TfrmOptions *FOptionsDialog = nullptr;
  TPrickingRibbon *FPrickingRibbon = nullptr;    // the pricking tab's controls
  TPrickingIronTree *FPrickingIronTree = nullptr;  // tvPrickingIrons
  int FRightPanelMode = 0;  // 0 not laid out yet, 1 up to 1080 px, 2 taller
  bool FDoneOnce = false;
  bool FIdleInstalled = false;
  bool FViewAllOnShow = false;  // a document came in before the drawing box had its size
  bool FSyncPending = false;
  bool FSyncFull = false;
  QString FLastStatusLine;  // the last status line written for the pointer
  TRibbonPages *FRibbon = nullptr;
  TProjectMemo *FProjectMemo = nullptr;
  QList<TNumberBox *> FNBList;
  TfrmAbout *FAbout = nullptr;
  TfrmFontList *FFontList = nullptr;
  TfrmMoveOrCopy *FMoveOrCopy = nullptr;
  TfrmSTLExportOptions *frmSTLExportOptions = nullptr;  // made on first use
};

}  // namespace quillon
