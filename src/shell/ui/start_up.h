#pragma once
// The program's start: the main window built under a guard, so that a failure while the
// editor starts (the data folder cannot be created, ...) ends the program with a message
// instead of an exception nobody catches.
#include <QStringList>

#include <memory>

namespace quillon {

class TfrmQuil;

// The exit code of a start that failed.
inline constexpr int kStartUpFailedExitCode = 1;

// Builds the main window for the program's arguments. When that fails, the failure is
// logged, its text is shown in a message box and the result is empty.
std::unique_ptr<TfrmQuil> createMainWindow(const QStringList &args);

}  // namespace quillon
