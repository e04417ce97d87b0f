#include "shell/launch_instance.h"

#include <QCoreApplication>
#include <QProcess>

#include <mutex>
#include <stdexcept>
#include <utility>

namespace quillon {

namespace {

bool startDetached(const QString &program, const QStringList &arguments) {
  return QProcess::startDetached(program, arguments);
}

std::mutex starterMutex;
TProcessStarter &starter() {
  static TProcessStarter s = startDetached;
  return s;
}

}  // namespace

QString instanceIdOf(const QTime &time) { return time.toString(QStringLiteral("HHmmsszzz")); }

QStringList instanceArguments(const QString &instanceId) { return {QStringLiteral("--instance-id"), instanceId}; }

QString instanceCommandLine(const QString &program, const QString &instanceId) {
  const QChar quote = QLatin1Char('"');
  return quote + program + quote + QStringLiteral(" --instance-id ") + quote + instanceId + quote;
}

TProcessStarter setProcessStarter(TProcessStarter s) {
  const std::lock_guard<std::mutex> lock(starterMutex);
  return std::exchange(starter(), std::move(s));
}

void LaunchAnotherInstance(const QString &instanceId) {
  TProcessStarter start;
  {
    const std::lock_guard<std::mutex> lock(starterMutex);
    start = starter();
  }
  const QString program = QCoreApplication::applicationFilePath();
  if (!start || !start(program, instanceArguments(instanceId)))
    throw std::runtime_error("Cannot start " + instanceCommandLine(program, instanceId).toStdString());
}

}  // namespace quillon
