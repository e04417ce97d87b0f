// Program entry: the decimal separator is fixed before any window exists, then the main
// window is built, shown, and the event loop runs until it closes. A start that fails has
// shown its message and ends with kStartUpFailedExitCode.
#include <QApplication>
#include <QLocale>

#include "shell/ui/main_window.h"
#include "shell/ui/start_up.h"

int main(int argc, char **argv) {
  QLocale::setDefault(QLocale::c());
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quillon"));
  int code = 0;
  {
    const std::unique_ptr<quillon::TfrmQuil> window = quillon::createMainWindow(QApplication::arguments().mid(1));
    if (!window) return quillon::kStartUpFailedExitCode;
    window->show();
    code = QApplication::exec();
  }
  return code;
}
