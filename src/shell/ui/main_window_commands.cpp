// The main window's keyboard, the commands of the Help menu and the small dialogs it
// opens, the new-window command and the number boxes' unit; the rest of the window is in
// main_window.cpp.
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextEdit>

#include <vector>

#include "platform/input.h"
#include "shell/clipboard.h"
#include "shell/editor.h"
#include "shell/guarded_call.h"
#include "shell/length_units.h"
#include "shell/options.h"
#include "shell/ui/about_box.h"
#include "shell/ui/canvas_widget.h"
#include "shell/ui/documents_window.h"
#include "shell/ui/font_list_dialog.h"
#include "shell/ui/launch_hud.h"
#include "shell/ui/main_window.h"
#include "shell/ui/move_or_copy_dialog.h"
#include "shell/ui/number_box.h"
#include "shell/ui/project_memo.h"
#include "shell/ui/ribbon_pages.h"
#include "tools/key_commands.h"
#include "library/layer_commands.h"
#include "library/ui/layer_panel.h"
#include "shell/layer_list.h"

namespace quillon {

namespace {

// Keys typed into these stay with them: text, numbers, a memo, an editable list.
bool isTypingWidget(const QWidget *w) {
  if (qobject_cast<const QLineEdit *>(w) || qobject_cast<const QAbstractSpinBox *>(w) ||
      qobject_cast<const QPlainTextEdit *>(w) || qobject_cast<const QTextEdit *>(w))
    return true;
  const auto *combo = qobject_cast<const QComboBox *>(w);
  return combo && combo->isEditable();
}

TKey keyOf(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Escape: return TKey::Escape;
    case Qt::Key_Return:
    case Qt::Key_Enter: return TKey::Enter;
    case Qt::Key_Delete: return TKey::Delete;
    case Qt::Key_Backspace: return TKey::Backspace;
    case Qt::Key_Shift: return TKey::Shift;
    case Qt::Key_Left: return TKey::Left;
    case Qt::Key_Right: return TKey::Right;
    case Qt::Key_Up: return TKey::Up;
    case Qt::Key_Down: return TKey::Down;
    case Qt::Key_F5: return TKey::F5;
    case Qt::Key_F6: return TKey::F6;
    case Qt::Key_F7: return TKey::F7;
    case Qt::Key_F8: return TKey::F8;
    case Qt::Key_F9: return TKey::F9;
    case Qt::Key_F10: return TKey::F10;
    // The bracket keys give braces with Shift; the key is the same.
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return TKey::BracketLeft;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return TKey::BracketRight;
    default: return TKey::Other;
  }
}


// The pointer entering a length box shows its value in both units as the box's hint.
class TTwoUnitHint : public QObject {
 public:
  TTwoUnitHint(TEditor &editor, QObject *parent) : QObject(parent), FEditor(editor) {}

  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() == QEvent::Enter && FEditor.FOptions)
      if (auto *box = qobject_cast<TNumberBox *>(watched))
        guarded(FEditor.ui(), "nbLineLength1MouseEnter",
                [&] { ShowBothUnitsHint(*box, FEditor.FOptions->LengthFormatSettings); });
    return QObject::eventFilter(watched, event);
  }

 private:
  TEditor &FEditor;
};

}  // namespace

// ---------------------------------------------------------------------------------
// Keys

void TfrmQuil::FormKeyDown(QKeyEvent *event) {
  QWidget *focus = focusWidget();
  if (!FEditor || (isTypingWidget(focus) && event->key() != Qt::Key_Escape)) {
    QMainWindow::keyPressEvent(event);
    return;
  }
  TKeyInput in;
  in.Key = keyOf(event->key());
  const QString text = event->text();
  if (text.size() == 1 && text.at(0).isPrint()) in.Char = text.at(0);
  in.Shift = shiftStateOf(event->modifiers());
  in.TextBoxFocused = focus == edText;
  const bool handled = quillon::FormKeyDown(*FEditor, in);
  if (in.Key == TKey::Escape && in.TextBoxFocused) {
    // The text box gets the text back and lets the keys go to the drawing again.
    edText->setText(FEditor->panel().edText);
    edText->clearFocus();
    pbox->setFocus();
  }
  if (!handled) QMainWindow::keyPressEvent(event);
  requestSync(true);
}

void TfrmQuil::FormKeyUp(QKeyEvent *event) {
  if (!FEditor || event->isAutoRepeat() || isTypingWidget(focusWidget())) {
    QMainWindow::keyReleaseEvent(event);
    return;
  }
  quillon::FormKeyUp(*FEditor, keyOf(event->key()));
  requestSync(true);
}

// ---------------------------------------------------------------------------------
// Commands made here

void TfrmQuil::buildMoreCommands() {
  QAction *newWindow = addCommand(miFile, "actOpenNewWindow", QStringLiteral("Open New Window"), {}, [this] {
    actOpenNewWindowExecute(this, caption("OpeningNewWindow", QStringLiteral("Opening a new window\u2026")));
  });
  // Beside the other ways of opening a document.
  if (QAction *demo = findAction(QStringLiteral("actOpenDemoProject"))) miFile->insertAction(demo, newWindow);

  QAction *moveOrCopy = addCommand(miEdit, "actMoveOrCopyWithSetDistance",
                                   QStringLiteral("Move or copy to a set distance..."), {},
                                   [this] { actMoveOrCopyWithSetDistanceExecute(); });
  pmForSelectedItems->addSeparator();
  pmForSelectedItems->addAction(moveOrCopy);
  // The text page's "Edit Font List" button runs the command.
  QAction *fontList = addCommand(miEdit, "actEditFontList", QStringLiteral("Edit Font List"), {},
                                 [this] { actEditFontListExecute(); });
  connect(FRibbon, &TRibbonPages::editFontListRequested, fontList, &QAction::trigger);

  buildLayerMenu();

  miHelp = menuBar()->addMenu(caption("miHelp", QStringLiteral("&Help")));
  miHelp->setObjectName(QStringLiteral("miHelp"));
  addCommand(miHelp, "actShowReleaseNote", QStringLiteral("Show Release Notes"), {},
             [this] { actShowDocumentExecute(false); });
  addCommand(miHelp, "actShowLicenseAgreement", QStringLiteral("Show License Agreement"), {},
             [this] { actShowDocumentExecute(true); });
  miHelp->addSeparator();
  addCommand(miHelp, "actShowAbout", QStringLiteral("&About Quillon..."), {}, [this] { actShowAboutExecute(); });

  buildEditingCommands();
  for (const TActionShortcut &row : actionShortcuts())
    if (QAction *a = findAction(QString::fromLatin1(row.Action)))
      a->setShortcut(QKeySequence(QString::fromLatin1(row.Keys), QKeySequence::PortableText));
}

void TfrmQuil::actEditFontListExecute() {
  if (!FFontList) FFontList = new TfrmFontList(this);
  TPanelValues &panel = FEditor->panel();
  QStringList families = panel.FontNames;
  if (!FFontList->execute(families, FEditor->FLangID)) return;
  panel.FontNames = families;
  panel.SelectedFontIndex = families.isEmpty() ? -1 : 0;
}

void TfrmQuil::actMoveOrCopyWithSetDistanceExecute() {
  if (!FMoveOrCopy) FMoveOrCopy = new TfrmMoveOrCopy(this);
  FMoveOrCopy->setUnitMode(*FEditor->FOptions);
  if (FMoveOrCopy->exec() != QDialog::Accepted) return;
  const TPointF offset(float(FMoveOrCopy->boxMm(FMoveOrCopy->nbDistanceX)),
                       float(FMoveOrCopy->boxMm(FMoveOrCopy->nbDistanceY)));
  moveOrCopyBySetDistance(*FEditor, FCopyBuffer, FMoveOrCopy->chkCopyInsteadOfMove->isChecked(), offset);
}

void TfrmQuil::actShowAboutExecute() {
  if (!FAbout) FAbout = new TfrmAbout(this);
  FAbout->show();
}

void TfrmQuil::actShowDocumentExecute(bool licence) {
  TfrmDocuments documents(this);
  if (licence)
    documents.showLicense(FEditor->FLangID);
  else
    documents.showReadMe(FEditor->FLangID);
  documents.exec();
}

// ---------------------------------------------------------------------------------
// Layers

void TfrmQuil::buildLayerMenu() {
  TEditor &ed = *FEditor;
  miLayer = menuBar()->addMenu(caption("miLayer", QStringLiteral("&Layer")));
  miLayer->setObjectName(QStringLiteral("miLayer"));
  struct TLayerCommand {
    const char *Name;  // null: a separator
    const char *English;
    void (*Run)(TEditor &);
  };
  // The Layer menu and the list's popup menu hold the same items in this order.
  const TLayerCommand commands[] = {
      {"actLayer_AddNewLayer", "Add a new layer", actLayer_AddNewLayerExecute},
      {"actLayer_DeleteLayer", "Delete layer", actLayer_DeleteLayerExecute},
      {nullptr, nullptr, nullptr},
      {"actLayer_ChangeName", "Rename layer", actLayer_ChangeNameExecute},
      {"actLayer_MoveUp", "Move layer one up", actLayer_MoveUpExecute},
      {"actLayer_MoveDown", "Move layer one down", actLayer_MoveDownExecute},
      {"actLayer_ToggleIndependentLayer", "Set or Unset as Independent Layer",
       actLayer_ToggleIndependentLayerExecute},
      {nullptr, nullptr, nullptr},
      {"actLayer_HideOtherLayers", "Hide other layers", actLayer_HideOtherLayersExecute},
      {"actLayer_ShowAllLayers", "Show all layers", actLayer_ShowAllLayersExecute},
      {"actLayer_IgnoreLayer", "Layer ignore mode", actLayer_IgnoreLayerExecute},
      {"actLayer_HighlightShapesOnCurrentLayer", "Toggle Highlighting the shapes on the active layer",
       actLayer_HighlightShapesOnCurrentLayerExecute},
      {nullptr, nullptr, nullptr},
      {"actLayer_MergeIntoBelow", "Merge with below layer", actLayer_MergeIntoBelowExecute},
      {"actLayer_FlattenAllLayers", "Flatten all layers", actLayer_FlattenAllLayersExecute},
      {nullptr, nullptr, nullptr},
      {"actLayer_MoveSelectedShapesToTheLayerBelow", "Move the selected shapes to the layer below",
       actLayer_MoveSelectedShapesToTheLayerBelowExecute},
      {"actLayer_DuplicateSelectedShapesOnBelowLayer", "Duplicate the selected shapes on the layer below",
       actLayer_DuplicateSelectedShapesOnBelowLayerExecute},
      {"actLayer_MoveToAnotherLayer", "Move selected shapes to another layer", actLayer_MoveToAnotherLayerExecute},
  };
  QMenu *popup = FLayerPanel->popupMenu();
  for (const TLayerCommand &c : commands) {
    if (!c.Name) {
      miLayer->addSeparator();
      popup->addSeparator();
      continue;
    }
    QAction *a = addCommand(miLayer, c.Name, QString::fromLatin1(c.English), {}, [&ed, run = c.Run] { run(ed); });
    popup->addAction(a);
  }
  // The shapes' context menu: activate the pointed shape's layer, and the three moves.
  QMenu *shapes = pmForSelectedItems->addMenu(caption("actLayer", QStringLiteral("Layer")));
  shapes->setObjectName(QStringLiteral("actLayer"));
  addCommand(shapes, "actLayer_ActivateLayerOfSelectedShape",
             QStringLiteral("Activate the layer of the shape under the mouse cursor"), {},
             [&ed] { actLayer_ActivateLayerOfSelectedShapeExecute(ed); });
  for (const char *name : {"actLayer_MoveSelectedShapesToTheLayerBelow", "actLayer_DuplicateSelectedShapesOnBelowLayer",
                           "actLayer_MoveToAnotherLayer"})
    shapes->addAction(findAction(QString::fromLatin1(name)));
  // The panel's own events end like the commands: the widgets follow the editor.
  connect(FLayerPanel, &TLayerPanel::changed, this, [this] { requestSync(true); });
  syncLayers();
}

void TfrmQuil::syncLayers() {
  FLayerPanel->sync();
  const TLayerActions &actions = FEditor->layers().Actions;
  const std::pair<const char *, bool> enabled[] = {
      {"actLayer_MoveUp", actions.MoveUp},
      {"actLayer_MoveDown", actions.MoveDown},
      {"actLayer_MergeIntoBelow", actions.MergeIntoBelow},
      {"actLayer_FlattenAllLayers", actions.FlattenAllLayers},
      {"actLayer_DeleteLayer", actions.DeleteLayer},
      {"actLayer_HideOtherLayers", actions.HideOtherLayers},
      {"actLayer_ShowAllLayers", actions.ShowAllLayers},
  };
  for (const auto &[name, on] : enabled)
    if (QAction *a = findAction(QString::fromLatin1(name))) a->setEnabled(on);
}

// ---------------------------------------------------------------------------------
// Number boxes

void TfrmQuil::initNumberBoxes() {
  FNBList = FRibbon->lengthBoxes();
  auto *hint = new TTwoUnitHint(*FEditor, this);
  for (TNumberBox *box : FNBList) box->installEventFilter(hint);
  HookNumberBoxes(QList<QDoubleSpinBox *>(FNBList.begin(), FNBList.end()));
  convertNumberBoxes();
}

void TfrmQuil::convertNumberBoxes() { FRibbon->followUnit(FNBList, FEditor->FOptions->LengthFormatSettings); }

}  // namespace quillon
