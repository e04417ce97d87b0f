#include "platform/file_io.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <stdexcept>
#include <string>

namespace quillon {

namespace {

[[noreturn]] void fail(const char *what, const QString &path, const QString &reason) {
  throw std::runtime_error(std::string(what) + " \"" + path.toStdString() + "\": " +
                           reason.toStdString());
}

}  // namespace

void writeFileAtomically(const QString &path, const QByteArray &bytes) {
  QSaveFile file(path);
  // Never fall back to writing the target in place: that would lose atomicity.
  file.setDirectWriteFallback(false);
  if (!file.open(QIODevice::WriteOnly)) fail("Cannot write file", path, file.errorString());
  if (file.write(bytes) != bytes.size()) {
    const QString reason = file.errorString();
    file.cancelWriting();
    fail("Cannot write file", path, reason);
  }
  if (!file.commit()) fail("Cannot write file", path, file.errorString());
}

QByteArray readWholeFile(const QString &path) {
  const QFileInfo info(path);
  if (!info.exists()) fail("Cannot read file", path, QStringLiteral("the file does not exist"));
  if (info.isDir()) fail("Cannot read file", path, QStringLiteral("it is a folder"));
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) fail("Cannot read file", path, file.errorString());
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) fail("Cannot read file", path, file.errorString());
  return bytes;
}

}  // namespace quillon
