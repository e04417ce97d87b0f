#include "shell/ui/main_window.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStatusBar>

#include "shell/editor.h"
#include "shell/ui/canvas_widget.h"

namespace quillon {

namespace {
// A box text: the translated phrase, or the key itself when the dictionary has none.
QString shown(const QString &key, const QString &text) { return text.isEmpty() ? key : text; }
}  // namespace

TfrmQuil::TfrmQuil(const QStringList &args, QWidget *parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("frmQuil"));
  resize(1280, 800);
  statusBar();
  FEditor = std::make_unique<TEditor>(*this, args);
  // The drawing box shows the document.
  setCentralWidget(new TCanvasWidget(*FEditor, this));
}

TfrmQuil::~TfrmQuil() {
  hide();
  FEditor.reset();  // shutdown: saves the settings and frees the editor state
}

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
  const QString value =
      QInputDialog::getText(this, shown(captionKey, caption), shown(promptKey, prompt), QLineEdit::Normal, initial, &ok);
  if (!ok) return std::nullopt;
  return value;
}

QString TfrmQuil::openFileDialog(const QString &title, const QString &filter) {
  return QFileDialog::getOpenFileName(this, title, QString(), filter);
}

QString TfrmQuil::saveFileDialog(const QString &title, const QString &filter, const QString &suggestedName) {
  return QFileDialog::getSaveFileName(this, title, suggestedName, filter);
}

void TfrmQuil::setStatusText(const QString &text) { statusBar()->showMessage(text); }

void TfrmQuil::setCaption(const QString &caption) { setWindowTitle(caption); }

void TfrmQuil::refreshCanvas() {
  // The drawing box repaints from the event loop; before it exists (start-up) there is
  // nothing to repaint.
  if (auto *canvas = qobject_cast<TCanvasWidget *>(centralWidget())) canvas->update();
}

void TfrmQuil::refreshRulers() {}

}  // namespace quillon
