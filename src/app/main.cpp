// Program entry: the decimal separator is fixed before any window exists, then the main
// window is built and shown, the automation server (when the settings turn it on) is
// started last, and the event loop runs until the window closes. At the end the server
// stops first, before the window and its editor save their state and go. A start that
// fails has shown its message and ends with kStartUpFailedExitCode.
#include <QApplication>
#include <QLocale>

#include <memory>

#include "automation/mcp_dispatch.h"
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
    std::unique_ptr<quillon::TQNMCPServer> server = quillon::startMcpServer(window->editor());
    code = QApplication::exec();
    quillon::stopMcpServer(server);
  }
  return code;
}
