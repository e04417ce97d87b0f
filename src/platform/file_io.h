#pragma once
// Whole-file reads and crash-safe writes.
#include <QByteArray>
#include <QString>

namespace quillon {

// Writes bytes to a temporary file in the same folder and renames it over path, so a
// crash or a failed write never leaves a half-written file. Throws std::runtime_error
// naming the path and the reason on failure; the old file (if any) is then untouched
// and no temporary file is left behind.
void writeFileAtomically(const QString &path, const QByteArray &bytes);

// The whole content of a file. Throws std::runtime_error naming the path when the file
// is missing or cannot be read.
QByteArray readWholeFile(const QString &path);

}  // namespace quillon
