// Program entry: the decimal separator is fixed before any window exists, then the main
// window is built, shown, and the event loop runs until it closes.
#include <QApplication>
#include <QLocale>

#include "shell/ui/main_window.h"

int main(int argc, char **argv) {
  QLocale::setDefault(QLocale::c());
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quillon"));
  int code = 0;
  {
    quillon::TfrmQuil window(QApplication::arguments().mid(1));
    window.show();
    code = QApplication::exec();
  }
  return code;
}
