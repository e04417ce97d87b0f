#pragma once
// The paint-error log: one line per failure while painting, appended to
// "Quillon_paint_errors.log" in the Documents folder, written only when it differs from
// the last line written.
#include <QDateTime>
#include <QString>

#include <exception>

namespace quillon {

class TQN_Path;

inline constexpr const char *kPaintErrorLogName = "Quillon_paint_errors.log";

// The line "%s  %s: %s%s": the time "yyyy-mm-dd hh:nn:ss", the exception's class name,
// its message and, when a shape is given, " [shape ID=%d type=%s]".
QString paintErrorLine(const QDateTime &when, const std::exception &E, const TQN_Path *Shape);

// Builds the line for now (local time); only when it differs from FLastPaintError it is
// stored there and appended with CR LF to the log (UTF-8 without byte-order mark; the file
// is created when missing). Failures while logging are swallowed.
void logPaintError(QString &FLastPaintError, const std::exception &E, const TQN_Path *Shape);
// The same at a given time.
void logPaintError(QString &FLastPaintError, const QDateTime &when, const std::exception &E, const TQN_Path *Shape);

}  // namespace quillon
