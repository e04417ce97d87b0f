#pragma once
// Opening a further window: another process of the program, told by its command line
// that it is a further window, so that it opens no document and recovers no auto-save
// file.
#include <QString>
#include <QStringList>
#include <QTime>

#include <functional>

namespace quillon {

// The instance ID of a launch at `time`: hours, minutes and seconds with two digits each
// and the milliseconds with three, nine digits without separators ("142305123").
QString instanceIdOf(const QTime &time);

// The arguments a further window is started with: "--instance-id" and the ID.
QStringList instanceArguments(const QString &instanceId);

// The whole command line as one text: the program's path in double quotes, then
// " --instance-id " and the ID in double quotes.
QString instanceCommandLine(const QString &program, const QString &instanceId);

// What starts a process: the program, its arguments; true when it started. The process
// runs on its own (the caller does not wait for it).
using TProcessStarter = std::function<bool(const QString &program, const QStringList &arguments)>;
// Replaces the starter (tests record the launch instead); returns the one it replaces.
TProcessStarter setProcessStarter(TProcessStarter starter);

// Starts the program's own executable again as a further window with the instance ID, in
// the current folder and environment. Throws std::runtime_error when the process cannot be
// started. Safe to call from a worker thread.
void LaunchAnotherInstance(const QString &instanceId);

}  // namespace quillon
