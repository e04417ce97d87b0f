#include "shell/ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "edit/drawing_check.h"
#include "edit/regularize.h"
#include "edit/resolve_issues.h"
#include "edit/trim_to_close.h"
#include "exchange/export.h"
#include "model/shape_list.h"
#include "platform/folders.h"
#include "exchange/ui/print_commands.h"
#include "exchange/ui/svg_export_options_dialog.h"
#include "stl/ui/stl_export_dialog.h"
#include "edit/path_objects.h"
#include "render/paint.h"
#include "render/ui/palette_bar.h"
#include "library/ui/layer_panel.h"
#include "shell/deletion.h"
#include "shell/editor.h"
#include "shell/groups.h"
#include "shell/guarded_call.h"
#include "shell/project_file.h"
#include "shell/selection.h"
#include "tools/status_info.h"
#include "render/ui/ruler_widget.h"
#include "shell/ui/canvas_widget.h"
#include "shell/ui/launch_hud.h"
#include "shell/ui/options_dialog_window.h"
#include "shell/ui/project_memo.h"
#include "shell/ui/ribbon_pages.h"
#include "shell/ui/shape_size_dialog.h"
#include "shell/undo.h"
#include "tools/draw_tools.h"
#include "tools/command_hooks.h"
#include "tools/snapping.h"
#include "tools/tool_change.h"
#include "tools/view_commands.h"
#include "shell/view_transform.h"
#include "stitching/ui/pricking_panels.h"

namespace quillon {

namespace {

// A box text: the translated phrase, or the key itself when the dictionary has none.
QString shown(const QString &key, const QString &text) { return text.isEmpty() ? key : text; }

// The width of the tool buttons and the height of the left panel's rows.
constexpr int kToolButtonWidth = 112;
constexpr int kToolButtonHeight = 30;
// The thickness of both rulers.
constexpr int kRulerSize = 25;
// The window height up to which the property panel stands beside the button panel.
constexpr int kTallWindowHeight = 1080;

// The object names of the tool buttons, in tool-bar order.
constexpr const char *kToolButtonNames[kToolCount] = {
    "sbSelect",     "sbDot",          "sbLine",         "sbBezier", "sbCircle", "sbRect",
    "sbStitch",     "sbMentori",      "sbOffset",       "sbBackdrop", "sbCenterLine", "sbDistMarkLine",
    "sbText",       "sbArc",          "sbTrimming",     "sbDimensionLine", "sbMandala", "sbLeatherSimulator"};

// The captions of the tool buttons, in tool-bar order.
constexpr const char *kToolCaptions[kToolCount] = {
    "Select", "Dot",         "Line",  "Bezier", "Circle", "Rectangle", "Pricking",  "Corner",  "Offset",
    "Image",  "Center Line", "Marks", "Text",   "Arc",    "Trim",      "Dimension", "Mandala", "Leather"};

// The icons of the tool buttons (data/icons), in tool-bar order.
constexpr const char *kToolIcons[kToolCount] = {
    "select", "dot",    "line",  "bezier", "circle", "rect",      "stitch",  "corner",  "offset",
    "image",  "centerline", "marks", "text", "arc",  "trim",      "dimension", "mandala", "leather"};

// The pages of the top ribbon and their captions, in the order of TRibbonTab.
struct TPage {
  const char *Name;
  const char *Caption;
};
constexpr TPage kRibbonPages[] = {
    {"tabTop_Home", "Home"},         {"tabTop_Line", "Line"},
    {"tabTop_Ellipse", "Ellipse"},   {"tabTop_Rect", "Rectangle"},
    {"tabTop_Pricking", "Pricking"}, {"tabTop_Mentori", "Corner Rounding"},
    {"tabTop_Offset", "Offset"},     {"tabTop_Backdrop", "Tracing Image"},
    {"tabTop_CenterLine", "Center Line"}, {"tabTop_DistMarking", "Distance Marks"},
    {"tabTop_Text", "Text"},         {"tabTop_Arc", "Arc"},
    {"tabTop_Trimming", "Trimming"}, {"tabTop_Dimension", "Dimension"},
};
// The pages of the right-hand tab control; the first two are those of TRightTab.
constexpr TPage kRightPages[] = {
    {"TabPrickingIrons", "Pricking Irons"},
    {"tabTop_Mandara", "Mandala"},
    {"tabTop_Leather", "Leather"},
};

QWidget *namedWidget(const char *name, QWidget *parent) {
  auto *w = new QWidget(parent);
  w->setObjectName(QString::fromLatin1(name));
  return w;
}

QLabel *infoLabel(const char *name, QWidget *parent) {
  auto *l = new QLabel(parent);
  l->setObjectName(QString::fromLatin1(name));
  l->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return l;
}

}  // namespace

TfrmQuil::TfrmQuil(const QStringList &args, QWidget *parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("frmQuil"));
  // The editor starts first: its start-up may already ask questions and open a document;
  // the widgets that show it are built afterwards.
  FEditor = std::make_unique<TEditor>(*this, args);
  installCommandHooks(*FEditor);
  // The document the command line opened is checked once the check is reachable.
  refreshDrawingCheck(*FEditor);
  // A document opened or recovered at start-up was fitted into a drawing box without a
  // size; it is fitted again once the box has its size.
  FViewAllOnShow = FEditor->doc().PathList().Count() > 0;

  auto *central = new QWidget(this);
  central->setObjectName(QStringLiteral("pnlBase"));
  FMainRow = new QHBoxLayout(central);
  FMainRow->setContentsMargins(0, 0, 0, 0);
  FMainRow->setSpacing(0);

  buildToolBar();
  FMainRow->addWidget(vscrollLeft);

  auto *centre = new QWidget(central);
  centre->setObjectName(QStringLiteral("pnlCenter"));
  auto *column = new QVBoxLayout(centre);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  buildRibbon();
  FRibbon = new TRibbonPages(*FEditor, tabConTop, this);
  column->addWidget(tabConTop);
  buildDrawingArea(column);
  buildInfoLines(column);
  FProjectMemo = new TProjectMemo(*FEditor, centre);
  column->addWidget(FProjectMemo);
  FMainRow->addWidget(centre, 1);

  buildRightPanels();
  FMainRow->addWidget(pnlRight);
  FMainRow->addWidget(pnlRightBase);
  setCentralWidget(central);

  lblStatus = infoLabel("lblStatus", this);
  statusBar()->addWidget(lblStatus, 1);

  FPrint = new TPrintCommands(*FEditor, this);
  FPrint->connectPageFrames(pbox->canvasState().PrintAreas);
  buildMenus();
  buildMoreCommands();
  FSVGExportOptions = new TfrmSVGExportOptions(this);
  frmChangeShapeSize = new TfrmChangeShapeSize(this);
  setWindowIcon(QIcon(QStringLiteral(":/icons/quillon.svg")));

  // The select tool is down and the ribbon shows its Home tab.
  toolButton(TTool::Select)->setChecked(true);
  if (auto *home = tabConTop->findChild<QWidget *>(QStringLiteral("tabTop_Home"))) tabConTop->setCurrentWidget(home);

  resize(1280, 800);
  layoutRightPanels(height());
  requestSync(true);
}

TfrmQuil::~TfrmQuil() {
  hide();
  // The controls that write into the editor go first: a box or memo that loses the focus
  // while it is destroyed must not reach an editor that is gone.
  delete FProjectMemo;
  delete FRibbon;
  FProjectMemo = nullptr;
  FRibbon = nullptr;
  FEditor.reset();  // shutdown: saves the settings and frees the editor state
}

// ---------------------------------------------------------------------------------
// Building the window

void TfrmQuil::buildToolBar() {
  vscrollLeft = new QScrollArea(this);
  vscrollLeft->setObjectName(QStringLiteral("vscrollLeft"));
  vscrollLeft->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  vscrollLeft->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  vscrollLeft->setFrameShape(QFrame::NoFrame);
  vscrollLeft->setWidgetResizable(false);

  pnlLeft = new QWidget;
  pnlLeft->setObjectName(QStringLiteral("pnlLeft"));
  auto *buttons = new QVBoxLayout(pnlLeft);
  buttons->setContentsMargins(2, 2, 2, 2);
  buttons->setSpacing(2);

  // One group: the button that is down is the current tool.
  FToolGroup = new QButtonGroup(this);
  FToolGroup->setObjectName(QStringLiteral("Shapes"));
  FToolGroup->setExclusive(true);
  for (int i = 0; i < kToolCount; ++i) {
    const TTool tool = static_cast<TTool>(i);
    auto *b = new QToolButton(pnlLeft);
    b->setObjectName(toolButtonName(tool));
    b->setText(caption(b->objectName().toLatin1().constData(), QString::fromLatin1(kToolCaptions[i])));
    b->setToolTip(toolButtonHint(tool));
    b->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(kToolIcons[i]))));
    b->setIconSize(QSize(20, 20));
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setCheckable(true);
    b->setAutoRaise(true);
    b->setFixedSize(kToolButtonWidth, kToolButtonHeight);
    FToolGroup->addButton(b, i);
    buttons->addWidget(b);
    FToolButtons[static_cast<std::size_t>(i)] = b;
    connect(b, &QToolButton::clicked, this,
            [this, tool] { runCommand("sbToolsClick", [&] { sbToolsClick(*FEditor, tool); }); });
  }
  pnlLeft->adjustSize();
  vscrollLeft->setWidget(pnlLeft);
  vscrollLeft->setFixedWidth(pnlLeft->width());
}

void TfrmQuil::buildRibbon() {
  tabConTop = new QTabWidget(this);
  tabConTop->setObjectName(QStringLiteral("tabConTop"));
  tabConTop->setDocumentMode(true);
  tabConTop->setUsesScrollButtons(true);
  // The tools' own controls fill these pages; until then each is a thin empty strip.
  for (const TPage &page : kRibbonPages) {
    QWidget *w = namedWidget(page.Name, tabConTop);
    w->setMinimumHeight(24);
    tabConTop->addTab(w, caption(page.Name, QString::fromLatin1(page.Caption)));
  }
  tabConTop->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  FPrickingRibbon = new TPrickingRibbon(*FEditor, tabConTop->findChild<QWidget *>(QStringLiteral("tabTop_Pricking")));

  // The text tool's text box and its Cancel button.
  QWidget *textPage = tabConTop->findChild<QWidget *>(QStringLiteral("tabTop_Text"));
  auto *textRow = new QHBoxLayout(textPage);
  textRow->setContentsMargins(4, 2, 4, 2);
  edText = new QLineEdit(textPage);
  edText->setObjectName(QStringLiteral("edText"));
  edText->setEnabled(false);
  btnCancelTextEditing = new QPushButton(caption("btnCancelTextEditing", QStringLiteral("Cancel")), textPage);
  btnCancelTextEditing->setObjectName(QStringLiteral("btnCancelTextEditing"));
  btnCancelTextEditing->setEnabled(false);
  textRow->addWidget(edText, 1);
  textRow->addWidget(btnCancelTextEditing);
  // The text shape follows every keystroke; the change becomes one undo step when the
  // editing ends (Enter, or the box loses the focus).
  connect(edText, &QLineEdit::textEdited, this, [this](const QString &text) {
    guarded(*this, "edTextTyping", [&] {
      FEditor->panel().edText = text;
      edTextTyping(*FEditor);
      refreshCanvas();
    });
  });
  connect(edText, &QLineEdit::editingFinished, this, [this] {
    if (!edText->isModified()) return;
    edText->setModified(false);
    guarded(*this, "edTextChange", [&] {
      FEditor->panel().edText = edText->text();
      edTextChange(*FEditor);
      if (edText->hasFocus()) edText->clearFocus();
      refreshCanvas();
    });
  });
  connect(btnCancelTextEditing, &QPushButton::clicked, this, [this] {
    guarded(*this, "btnCancelTextEditingClick", [this] {
      finishTextEditing(*FEditor);
      refreshCanvas();
    });
  });
}

void TfrmQuil::buildDrawingArea(QVBoxLayout *column) {
  auto *area = new QWidget(this);
  area->setObjectName(QStringLiteral("pnlDrawing"));
  auto *grid = new QGridLayout(area);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(0);

  // The rulers: pbRulerX above the drawing box, pbRulerY to its left, both 25 px thick,
  // so that their pixel 0 lines up with the drawing box's.
  QWidget *corner = namedWidget("pnlRulerCorner", area);
  corner->setFixedSize(kRulerSize, kRulerSize);
  corner->setAutoFillBackground(true);
  QPalette cornerPalette = corner->palette();
  cornerPalette.setColor(QPalette::Window, QColor(0xE8, 0xE8, 0xE8));
  corner->setPalette(cornerPalette);
  pbRulerX = new TRulerWidget(*FEditor, true, area);
  pbRulerY = new TRulerWidget(*FEditor, false, area);

  pbox = new TCanvasWidget(*FEditor, area);
  pbox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

  grid->addWidget(corner, 0, 0);
  grid->addWidget(pbRulerX, 0, 1);
  grid->addWidget(pbRulerY, 1, 0);
  grid->addWidget(pbox, 1, 1);
  grid->setRowStretch(1, 1);
  grid->setColumnStretch(1, 1);
  column->addWidget(area, 1);
}

void TfrmQuil::buildInfoLines(QVBoxLayout *column) {
  auto *row = namedWidget("pnlInfo", this);
  auto *layout = new QHBoxLayout(row);
  layout->setContentsMargins(4, 2, 4, 2);
  layout->setSpacing(8);
  lblID = infoLabel("lblID", row);
  lblRange = infoLabel("lblRange", row);
  lblLength = infoLabel("lblLength", row);
  lblNumOfStitches = infoLabel("lblNumOfStitches", row);
  lblTotalLength = infoLabel("lblTotalLength", row);
  for (QLabel *l : {lblID, lblRange, lblLength, lblNumOfStitches, lblTotalLength}) layout->addWidget(l);
  layout->addStretch(1);
  row->setMinimumHeight(row->fontMetrics().height() + 4);
  column->addWidget(row);
}

void TfrmQuil::buildRightPanels() {
  // The tab control of the stitching and radial-repeat tools; hidden until such a tool is
  // chosen.
  pnlRight = namedWidget("pnlRight", this);
  auto *rightLayout = new QVBoxLayout(pnlRight);
  rightLayout->setContentsMargins(0, 0, 0, 0);
  tabRight = new QTabWidget(pnlRight);
  tabRight->setObjectName(QStringLiteral("tabRight"));
  for (const TPage &page : kRightPages)
    tabRight->addTab(namedWidget(page.Name, tabRight), caption(page.Name, QString::fromLatin1(page.Caption)));
  tabRight->setFixedWidth(220);
  FPrickingIronTree =
      new TPrickingIronTree(*FEditor, tabRight->findChild<QWidget *>(QStringLiteral("TabPrickingIrons")));
  tabRight->hide();
  rightLayout->addWidget(tabRight);
  pnlRight->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);

  // The property panel: the palette bar and, later, the properties of the current tool.
  pnlRight2 = namedWidget("pnlRight2", this);
  auto *propertyLayout = new QVBoxLayout(pnlRight2);
  propertyLayout->setContentsMargins(4, 4, 4, 4);
  pnlPallet = new TPaletteBar(*FEditor, pnlRight2);
  propertyLayout->addWidget(pnlPallet);
  FLayerPanel = new TLayerPanel(*FEditor, pnlRight2);
  propertyLayout->addWidget(FLayerPanel, 1);
  pnlRight2->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);

  // The button panel; of its buttons only the hidden "Recalc Intersections" exists so far.
  pnlRightBase = namedWidget("pnlRightBase", this);
  auto *baseLayout = new QVBoxLayout(pnlRightBase);
  baseLayout->setContentsMargins(0, 0, 0, 0);
  baseLayout->setSpacing(0);
  pnlRightButtons = namedWidget("pnlRightButtons", pnlRightBase);
  auto *buttonLayout = new QVBoxLayout(pnlRightButtons);
  buttonLayout->setContentsMargins(4, 4, 4, 4);
  btnRecalcIntersections = new QPushButton(QStringLiteral("Recalc Intersections"), pnlRightButtons);
  btnRecalcIntersections->setObjectName(QStringLiteral("btnRecalcIntersections"));
  btnRecalcIntersections->hide();
  connect(btnRecalcIntersections, &QPushButton::clicked, this,
          [this] { runCommand("btnRecalcIntersectionsClick", [&] { FEditor->btnRecalcIntersectionsClick(); }); });
  buttonLayout->addWidget(btnRecalcIntersections);
  pnlRightBase->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

QString TfrmQuil::caption(const char *key, const QString &english) const {
  const QString phrase = FEditor ? FEditor->tr(QString::fromLatin1(key)) : QString();
  return phrase.isEmpty() ? english : phrase;
}

QAction *TfrmQuil::addCommand(QMenu *menu, const char *name, const QString &english, const QKeySequence &shortcut,
                              std::function<void()> run, const char *phraseKey) {
  auto *a = new QAction(caption(phraseKey ? phraseKey : name, english), this);
  a->setObjectName(QString::fromLatin1(name));
  if (!shortcut.isEmpty()) a->setShortcut(shortcut);
  connect(a, &QAction::triggered, this, [this, name, run = std::move(run)] { runCommand(name, run); });
  menu->addAction(a);
  FActions[a->objectName()] = a;
  return a;
}

void TfrmQuil::buildMenus() {
  TEditor &ed = *FEditor;
  const auto key = [](const char *text) { return QKeySequence(QString::fromLatin1(text)); };

  miFile = menuBar()->addMenu(caption("miFile", QStringLiteral("&File")));
  miFile->setObjectName(QStringLiteral("miFile"));
  addCommand(miFile, "actNewProject", QStringLiteral("New"), key("Ctrl+N"), [&ed] { actNewProjectExecute(ed); });
  addCommand(miFile, "actLoadProject", QStringLiteral("Open..."), key("Ctrl+O"),
             [&ed] { actLoadProjectExecute(ed); });
  addCommand(miFile, "actOpenDemoProject", QStringLiteral("Open Demo Project"), {},
             [&ed] { actOpenDemoProjectExecute(ed); });
  addCommand(miFile, "actSaveProject", QStringLiteral("Save"), key("Ctrl+S"), [&ed] { actSaveProjectExecute(ed); });
  addCommand(miFile, "actSaveProjectAs", QStringLiteral("Save As..."), key("Ctrl+Shift+S"),
             [&ed] { actSaveProjectAsExecute(ed); });
  miFile->addSeparator();
  addCommand(miFile, "actExportAsSVG", QStringLiteral("Export As SVG..."), {}, [this] { actExportExecute(false); });
  addCommand(miFile, "actExportAsDXF", QStringLiteral("Export As DXF (R12/R14)..."), {},
             [this] { actExportExecute(true); });
  addCommand(miFile, "actExportAsSTL", QStringLiteral("Export 3D Pattern/Positioning Jig STL"), {},
             [this] { actExportAsSTLExecute(); });
  addCommand(miFile, "actExportAsPDF", QStringLiteral("Export As PDF"), {}, [this] { FPrint->actExportAsPDFExecute(); });
  miFile->addSeparator();
  addCommand(miFile, "actPrint", QStringLiteral("Print"), key("Ctrl+P"), [this] { FPrint->actPrintExecute(); });
  miFile->addSeparator();
  addCommand(miFile, "actClose", QStringLiteral("Close"), key("Alt+F4"), [this] { close(); });

  miEdit = menuBar()->addMenu(caption("miEdit", QStringLiteral("&Edit")));
  miEdit->setObjectName(QStringLiteral("miEdit"));
  addCommand(miEdit, "actUndo", QStringLiteral("Undo"), key("Ctrl+Z"), [&ed] { actUndoExecute(ed); });
  addCommand(miEdit, "actRedo", QStringLiteral("Redo"), key("Ctrl+Shift+Z"), [&ed] { actRedoExecute(ed); });
  miEdit->addSeparator();
  QAction *cut = addCommand(miEdit, "actCutToClipboard", QStringLiteral("Cut"), key("Ctrl+X"),
                            [this, &ed] { actCutToClipboardExecute(ed, FCopyBuffer); });
  QAction *copy = addCommand(miEdit, "actCopyToClipboard", QStringLiteral("Copy"), key("Ctrl+C"),
                             [this, &ed] { actCopyToClipboardExecute(ed, FCopyBuffer); });
  QAction *paste = addCommand(miEdit, "actPasteFromClipboard", QStringLiteral("Paste"), key("Ctrl+V"),
                              [this] { actPasteFromClipboardExecute(); });
  QAction *del = addCommand(miEdit, "actDeleteSelectedShapes", QStringLiteral("Delete"), {},
                            [&ed] { actDeleteSelectedShapesExecute(ed); });
  del->setShortcuts({QKeySequence(Qt::Key_Delete), QKeySequence(Qt::Key_Backspace)});
  for (QAction *a : {cut, copy, paste}) a->setEnabled(false);  // the selection enables them
  miEdit->addSeparator();
  addCommand(miEdit, "actSelectAll", QStringLiteral("Select All"), key("Ctrl+A"), [&ed] { actSelectAllExecute(ed); });
  addCommand(miEdit, "actDeselectAll", QStringLiteral("Deselect All"), key("Ctrl+D"),
             [&ed] { actDeselectAllExecute(ed); });
  addCommand(miEdit, "actBackToSelectMode", QStringLiteral("Back to Select Mode"), key("Ctrl+B"),
             [&ed] { switchToSelectTool(ed); });
  miEdit->addSeparator();
  QAction *group = addCommand(miEdit, "actCreateGroup", QStringLiteral("Group Selected Shapes"), key("Ctrl+G"),
                              [&ed] { actCreateGroupExecute(ed); });
  QAction *ungroup =
      addCommand(miEdit, "actUngroup", QStringLiteral("Ungroup"), key("Ctrl+U"), [&ed] { actUngroupExecute(ed); });
  QAction *front = addCommand(miEdit, "actOrder_BringToFront", QStringLiteral("Bring to Front"), {},
                              [&ed] { actOrder_BringToFrontExecute(ed); });
  QAction *back = addCommand(miEdit, "actOrder_SendToBack", QStringLiteral("Send to Back"), {},
                             [&ed] { actOrder_SendToBackExecute(ed); });
  miEdit->addSeparator();
  addCommand(miEdit, "actDeleteDuplicates", QStringLiteral("Delete Duplicated Shapes"), {},
             [&ed] { actDeleteDuplicatesExecute(ed); });
  QAction *resolveAll = addCommand(miEdit, "actResolveAll", QStringLiteral("Fix alignment & connection issues (whole drawing)"),
                                   {}, [&ed] { regularizeAllShapes(ed); });
  resolveAll->setEnabled(false);  // the drawing check enables it
  showAmpersands(resolveAll);
  addCommand(miEdit, "miRecalcIntersections", QStringLiteral("Recalc Intersections"), {},
             [&ed] { ed.btnRecalcIntersectionsClick(); });
  addCommand(miEdit, "actClearAll", QStringLiteral("Clear All"), {}, [&ed] { btnClearAllClick(ed); });
  miEdit->addSeparator();
  addCommand(miEdit, "actOpenOptions", QStringLiteral("Options..."), {}, [this] { actOpenOptionsExecute(); });

  miView = menuBar()->addMenu(caption("miView", QStringLiteral("&View")));
  miView->setObjectName(QStringLiteral("miView"));
  addCommand(miView, "actResetView", QStringLiteral("View All"), key("Ctrl+R"), [&ed] { actResetViewExecute(ed); });
  miView->addSeparator();
  addCommand(miView, "actShowHideGrid", QStringLiteral("Grid"), {}, [&ed] { actShowHideGridExecute(ed); })
      ->setCheckable(true);
  addCommand(miView, "actShowHideDimensionLines", QStringLiteral("Dimension Lines"), key("F5"),
             [&ed] { actShowHideDimensionLinesExecute(ed); })
      ->setCheckable(true);
  addCommand(miView, "actShowHidePrintAreas", QStringLiteral("Print Areas"), key("F7"),
             [&ed] { actShowHidePrintAreasExecute(ed); })
      ->setCheckable(true);
  addCommand(miView, "actShowHideScale", QStringLiteral("Ruler"), {}, [&ed] { actShowHideScaleExecute(ed); })
      ->setCheckable(true);
  // Its phrase key is not its name: the item is made in code and keyed by its text.
  addCommand(miView, "FMiShowLintWarnings", QStringLiteral("Show drawing-check warnings"), {},
             [&ed] { toggleLintWarnings(ed); }, "showLintWarnings")
      ->setCheckable(true);

  // The selection's pop-up menu with the commands that exist so far.
  pmForSelectedItems = new QMenu(this);
  pmForSelectedItems->setObjectName(QStringLiteral("pmForSelectedItems"));
  // The drawing check's fixes come first: the fix of the right-clicked shape, shown only
  // when that shape has an issue, then the whole drawing's.
  addCommand(pmForSelectedItems, "actResolveIssues", QStringLiteral("Fix alignment & connection issues"), {},
             [&ed] { resolveIssuesOfClickedShape(ed); })
      ->setVisible(false);
  showAmpersands(findAction(QStringLiteral("actResolveIssues")));
  pmForSelectedItems->addAction(resolveAll);
  // Tidying the right-clicked line, arc or Bezier with its connected shapes of one line
  // type into a closed outline; shown only on such a shape.
  addCommand(pmForSelectedItems, "miTrimToClose", QStringLiteral("Tidy up connected lines of the same type (close)"),
             {}, [&ed] {
               if (TQN_Path *item = ed.pointer().FLastRightClickMousePosItem) trimToCloseCommand(ed, item);
             })
      ->setVisible(false);
  pmForSelectedItems->addSeparator();
  pmForSelectedItems->addActions({cut, copy, del});
  pmForSelectedItems->addSeparator();
  pmForSelectedItems->addActions({group, ungroup});
  pmForSelectedItems->addSeparator();
  pmForSelectedItems->addActions({front, back});
  // Path objects. The window holds their actions too, so that the keys work while the
  // pop-up menu is closed.
  pmForSelectedItems->addSeparator();
  QMenu *miRepository = pmForSelectedItems->addMenu(caption("miRepository", QStringLiteral("Repository Related")));
  miRepository->setObjectName(QStringLiteral("miRepository"));
  const auto windowKey = [&](const char *name, const char *english, const char *shortcut, std::function<void()> run) {
    addAction(addCommand(miRepository, name, QString::fromLatin1(english), key(shortcut), std::move(run)));
  };
  windowKey("actConvertToPath", "Convert selected shape(s) into a template object", "F9",
            [&ed] { actConvertToPathExecute(ed); });
  windowKey("actConvertACopyToPath", "Convert a copy of selected Shape(s) into a template object", "F10",
            [&ed] { actConvertACopyToPathExecute(ed); });
  windowKey("actSeparateTemplateIntoShapes", "Separate a template into shapes", "F8",
            [&ed] { actSeparateTemplateIntoShapesExecute(ed); });
  addCommand(pmForSelectedItems, "actConvertArcToBezier", QStringLiteral("Convert an arc  to a Bezier curve"), {},
             [&ed] { actConvertArcToBezierExecute(ed); });
  // The Bezier handle commands come with the shape editing commands.
  pmForBezierControlPoints = new QMenu(this);
  pmForBezierControlPoints->setObjectName(QStringLiteral("pmForBezierControlPoints"));
}

void TfrmQuil::showAmpersands(QAction *action) {
  // Menus take "&" as the mark of a mnemonic; these texts mean the character itself.
  action->setText(action->text().replace(QLatin1Char('&'), QStringLiteral("&&")));
}

QAction *TfrmQuil::findAction(const QString &name) const {
  const auto it = FActions.find(name);
  return it == FActions.end() ? nullptr : it->second;
}

// ---------------------------------------------------------------------------------
// Commands

void TfrmQuil::runCommand(const char *name, const std::function<void()> &command) {
  if (!FEditor) return;
  // A memo being typed reaches the document before a command (saving) reads it.
  if (FProjectMemo && FProjectMemo->isTyping()) FProjectMemo->commit();
  guarded(*this, name, command);
  requestSync(true);
}

void TfrmQuil::actExportExecute(bool dxf) {
  actExportAsSVGExecute(*FEditor, dxf ? TExportFormat::DXF : TExportFormat::SVG, *FSVGExportOptions);
}

void TfrmQuil::actExportAsSTLExecute() {
  // Made on first use and kept, so that it keeps its preview and inputs for the run.
  if (!frmSTLExportOptions) frmSTLExportOptions = new TfrmSTLExportOptions(this);
  quillon::actExportAsSTLExecute(*FEditor, *frmSTLExportOptions);
  refreshCanvas();
}

void TfrmQuil::actOpenOptionsExecute() {
  if (!FOptionsDialog) FOptionsDialog = new TfrmOptions(this);
  bool unitChanged = false;
  if (!FOptionsDialog->execute(*FEditor, &unitChanged)) return;
  if (unitChanged) convertNumberBoxes();
  refreshCanvas();
}

void TfrmQuil::actPasteFromClipboardExecute() {
  TEditor &ed = *FEditor;
  quillon::actPasteFromClipboardExecute(ed, FCopyBuffer, virtualToReal(ed, ed.pointer().FLastMousePos));
  refreshCanvas();
}

// ---------------------------------------------------------------------------------
// Life cycle and layout

bool TfrmQuil::FormCloseQuery() { return !FEditor || confirmSaveChanges(*FEditor); }

void TfrmQuil::closeEvent(QCloseEvent *event) {
  // A failure while asking (or saving) keeps the window open with the document.
  bool mayClose = false;
  guarded(*this, "FormCloseQuery", [&] { mayClose = FormCloseQuery(); });
  if (mayClose)
    event->accept();
  else
    event->ignore();
}

void TfrmQuil::resizeEvent(QResizeEvent *event) {
  QMainWindow::resizeEvent(event);
  FormResize();
}

void TfrmQuil::FormResize() {
  if (!FEditor || !pnlRight2) return;
  // The thread-colour button is placed here once the stitching threads exist.
  layoutRightPanels(height());
  fitLeftToolbar();
}

void TfrmQuil::layoutRightPanels(int windowHeight) {
  const int mode = windowHeight <= kTallWindowHeight ? 1 : 2;
  if (mode == FRightPanelMode) return;
  FRightPanelMode = mode;

  auto *base = static_cast<QVBoxLayout *>(pnlRightBase->layout());
  FMainRow->removeWidget(pnlRight2);
  while (QLayoutItem *item = base->takeAt(0)) delete item;  // widgets stay, items go

  if (mode == 1) {
    // The property panel stands on the window; the buttons sit at the top of their panel.
    FMainRow->insertWidget(FMainRow->indexOf(pnlRightBase), pnlRight2);
    base->addWidget(pnlRightButtons);
    base->addStretch(1);
  } else {
    // One column: the property panel above, the buttons at the bottom.
    base->addWidget(pnlRight2, 1);
    base->addWidget(pnlRightButtons);
  }
  pnlRight2->show();
  pnlRightButtons->show();
}

void TfrmQuil::fitLeftToolbar() {
  if (!vscrollLeft || !pnlLeft) return;
  const int wanted = pnlLeft->height() - 1 > vscrollLeft->height() ? pnlLeft->width() + 16 : pnlLeft->width();
  // Widths are whole pixels here, so "differs by more than half a pixel" is "differs".
  if (vscrollLeft->width() != wanted) vscrollLeft->setFixedWidth(wanted);
}

void TfrmQuil::showEvent(QShowEvent *event) {
  QMainWindow::showEvent(event);
  // The tool bar's scroll box has its height only now that the window is laid out.
  fitLeftToolbar();
  // The first idle moment comes once the window is shown, also when nothing activates it
  // (a desktop without a window manager gives it no focus).
  FormActivate();
  if (!FViewAllOnShow || !FEditor) return;
  FViewAllOnShow = false;
  BringFormToFront(this);
  guarded(*this, "FormShow", [this] {
    FEditor->view().FBoxWidth = float(pbox->width());
    FEditor->view().FBoxHeight = float(pbox->height());
    actResetViewExecute(*FEditor);
  });
}

void TfrmQuil::changeEvent(QEvent *event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TfrmQuil::FormActivate() {
  if (!FEditor || FDoneOnce || FIdleInstalled) return;
  FIdleInstalled = true;
  QTimer::singleShot(0, this, &TfrmQuil::firstIdleInit);
}

void TfrmQuil::firstIdleInit() {
  if (FDoneOnce) return;
  FDoneOnce = true;
  guarded(*this, "firstIdleInit", [this] { initNumberBoxes(); });
  fitLeftToolbar();
}

// ---------------------------------------------------------------------------------
// Keys

void TfrmQuil::keyPressEvent(QKeyEvent *event) {
  guarded(*this, "FormKeyDown", [&] { FormKeyDown(event); });
}

void TfrmQuil::keyReleaseEvent(QKeyEvent *event) {
  guarded(*this, "FormKeyUp", [&] { FormKeyUp(event); });
}

// ---------------------------------------------------------------------------------
// Keeping the widgets in line with the editor

void TfrmQuil::requestSync(bool full) {
  FSyncFull = FSyncFull || full;
  if (FSyncPending) return;
  FSyncPending = true;
  QTimer::singleShot(0, this, [this] { guarded(*this, "syncWidgets", [this] { syncWidgets(); }); });
}

void TfrmQuil::syncWidgets() {
  FSyncPending = false;
  if (!FEditor || !pbox) return;
  TEditor &ed = *FEditor;
  // A command may change the tool without the tool bar (a drag leaving corner rounding).
  if (QToolButton *b = toolButton(ed.tool().FTool); !b->isChecked()) b->setChecked(true);
  const std::pair<const char *, bool> switches[] = {{"actShowHideGrid", ed.display().FShowGrid},
                                                    {"actShowHideDimensionLines", ed.display().FShowDimensionShapes},
                                                    {"actShowHidePrintAreas", ed.display().FShowPrintAreas},
                                                    {"actShowHideScale", ed.display().FShowRuler},
                                                    {"FMiShowLintWarnings", ed.FOptions->ShowLintWarnings}};
  for (const auto &[name, on] : switches)
    if (QAction *a = findAction(QString::fromLatin1(name))) a->setChecked(on);
  if (QAction *a = findAction(QStringLiteral("actResolveAll"))) a->setEnabled(ed.lint().ResolveAllEnabled);
  if (FSyncFull) {
    FSyncFull = false;
    updateSelectionInfo(ed);
    FPrickingRibbon->sync();
    FPrickingIronTree->sync();
    syncLayers();
  }
  // The text box follows the text being typed; a new text entry takes the focus.
  const bool typing = ed.panel().edTextEnabled && ed.tool().FEditingText;
  if (edText->isEnabled() != typing) {
    edText->setEnabled(typing);
    btnCancelTextEditing->setEnabled(typing);
    if (typing) {
      tabConTop->setCurrentWidget(tabConTop->findChild<QWidget *>(QStringLiteral("tabTop_Text")));
      edText->setFocus();
    }
  }
  if (!edText->hasFocus() && edText->text() != ed.panel().edText) edText->setText(ed.panel().edText);
  FRibbon->syncFromPanel();
  FProjectMemo->syncFromDocument();
  // The status line follows the pointer and the view; a message written since stays until
  // either changes.
  const QString line = statusBarText(ed, ed.pointer().FLastMousePos.X, ed.pointer().FLastMousePos.Y);
  if (line != FLastStatusLine) {
    FLastStatusLine = line;
    setStatusText(line);
  }
}

// ---------------------------------------------------------------------------------
// TEditorUi

void TfrmQuil::messageBox(const QString &key, const QString &text) {
  QMessageBox::critical(this, windowTitle(), shown(key, text));
}

void TfrmQuil::informationBox(const QString &key, const QString &text) {
  QMessageBox::information(this, windowTitle(), shown(key, text));
}

bool TfrmQuil::confirmYesNo(const QString &key, const QString &text) {
  return QMessageBox::question(this, windowTitle(), shown(key, text), QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

TModalResult TfrmQuil::confirmYesNoCancel(const QString &key, const QString &text) {
  switch (QMessageBox::question(this, windowTitle(), shown(key, text),
                                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes: return TModalResult::Yes;
    case QMessageBox::No: return TModalResult::No;
    default: return TModalResult::Cancel;
  }
}

std::optional<QString> TfrmQuil::inputBox(const QString &captionKey, const QString &caption,
                                          const QString &promptKey, const QString &prompt,
                                          const QString &initial) {
  bool ok = false;
  const QString value = QInputDialog::getText(this, shown(captionKey, caption), shown(promptKey, prompt),
                                              QLineEdit::Normal, initial, &ok);
  if (!ok) return std::nullopt;
  return value;
}

QString TfrmQuil::openFileDialog(const QString &title, const QString &filter) {
  // Files are looked for in the Documents folder, not wherever the program was started.
  return QFileDialog::getOpenFileName(this, title, documentsDir(), filter);
}

QString TfrmQuil::saveFileDialog(const QString &title, const QString &filter, const QString &suggestedName) {
  return QFileDialog::getSaveFileName(this, title, suggestedName, filter);
}

void TfrmQuil::setStatusText(const QString &text) {
  // During start-up, before the status line exists, messages have nowhere to go.
  if (lblStatus) lblStatus->setText(text);
}

void TfrmQuil::setCaption(const QString &caption) { setWindowTitle(caption); }

void TfrmQuil::refreshCanvas() {
  // Repaints run later from the event loop; before the widgets exist (start-up) there is
  // nothing to repaint.
  if (!pbox) return;
  pbox->update();
  pbRulerY->update();
  pbRulerX->update();
  requestSync(true);
}

void TfrmQuil::refreshRulers() {
  if (!pbox) return;
  pbRulerY->update();
  pbRulerX->update();
  requestSync(false);
}

bool TfrmQuil::isModalActive() const {
  return QApplication::activeModalWidget() != nullptr || QApplication::activePopupWidget() != nullptr;
}

void TfrmQuil::popupMenu(TPopupMenu menu, TPointF at) {
  if (!pbox || !FEditor) return;
  QMenu *m = menu == TPopupMenu::SelectedItems ? pmForSelectedItems : pmForBezierControlPoints;
  if (menu == TPopupMenu::SelectedItems) {
    updateSelectionInfo(*FEditor);
    if (QAction *a = findAction(QStringLiteral("actResolveIssues"))) a->setVisible(FEditor->lint().ResolveIssuesVisible);
    if (QAction *a = findAction(QStringLiteral("miTrimToClose")))
      a->setVisible(isLineArcOrBezier(FEditor->pointer().FLastRightClickMousePosItem));
  }
  if (m->isEmpty()) return;
  m->popup(pbox->mapToGlobal(QPointF(at.X, at.Y).toPoint()));
}

QString TfrmQuil::toolButtonName(TTool tool) {
  return QString::fromLatin1(kToolButtonNames[static_cast<std::size_t>(tool)]);
}

void TfrmQuil::setRangeText(const QString &text) {
  if (lblRange) lblRange->setText(text);
}

void TfrmQuil::showToolPanels(const TToolPanels &panels) {
  if (!pbox) return;
  toolButton(panels.Tool)->setChecked(true);
  const char *ribbon = kRibbonPages[static_cast<std::size_t>(panels.RibbonTab)].Name;
  if (auto *page = tabConTop->findChild<QWidget *>(QString::fromLatin1(ribbon))) tabConTop->setCurrentWidget(page);
  tabRight->setVisible(panels.RightPanelVisible);
  if (panels.RightTab != TRightTab::Unchanged) {
    const char *right = panels.RightTab == TRightTab::PrickingIrons ? kRightPages[0].Name : kRightPages[1].Name;
    if (auto *page = tabRight->findChild<QWidget *>(QString::fromLatin1(right))) tabRight->setCurrentWidget(page);
  }
}

void TfrmQuil::showInfo(const TInfoTexts &texts) {
  if (!lblID) return;
  lblID->setText(texts.ID);
  lblRange->setText(texts.Range);
  lblLength->setText(texts.Length);
  lblNumOfStitches->setText(texts.NumOfStitches);
  lblTotalLength->setText(texts.TotalLength);
}

void TfrmQuil::repaintPalettes() {
  if (pnlPallet) pnlPallet->repaintPalettes();
}

void TfrmQuil::applySelectionActions(const TSelectionActions &actions) {
  actions.forEach([this](const QString &name, bool enabled) {
    // Commands and controls that the window does not have yet are passed over.
    if (QAction *a = findAction(name)) a->setEnabled(enabled);
  });
}

}  // namespace quillon
