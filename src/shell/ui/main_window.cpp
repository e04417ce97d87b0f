#include "shell/ui/main_window.h"

#include "shell/version.h"

namespace quillon {

TfrmQuil::TfrmQuil(QWidget *parent) : QMainWindow(parent) {
  setWindowTitle(captionText());
  resize(1280, 800);
}

TfrmQuil::~TfrmQuil() = default;

QString TfrmQuil::captionText() { return QStringLiteral("Quillon ver") + QString::fromLatin1(kQuillonVersion); }

}  // namespace quillon
