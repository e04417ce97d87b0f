// Program entry: the decimal separator is fixed before any window exists, then the
// main window is shown and the event loop runs until it closes.
#include <QApplication>
#include <QLocale>

#include "shell/ui/main_window.h"

int main(int argc, char **argv) {
  QLocale::setDefault(QLocale::c());
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quillon"));
  quillon::TfrmQuil window;
  window.show();
  return QApplication::exec();
}
