#include "shell/guarded_call.h"

#include <QObject>
#include <QString>
#include <QDebug>

#include "shell/editor_ui.h"

namespace quillon {

TEditorUi *editorUiOf(const QObject *object) {
  for (; object; object = object->parent())
    if (auto *ui = dynamic_cast<TEditorUi *>(const_cast<QObject *>(object))) return ui;
  return nullptr;
}

void reportEventFailure(TEditorUi *ui, const char *what, const char *message) noexcept {
  try {
    const QString text = QStringLiteral("%1: %2").arg(
        QString::fromUtf8(what), message ? QString::fromUtf8(message) : QStringLiteral("unknown exception"));
    qWarning().noquote() << QStringLiteral("Quillon: error in ") + text;
    if (ui) ui->setStatusText(QStringLiteral("Error in ") + text);
  } catch (...) {
    // Reporting must not fail the handler it protects.
  }
}

}  // namespace quillon
