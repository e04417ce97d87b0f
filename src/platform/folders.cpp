#include "platform/folders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace quillon {

QString dataDir() {
  const QString overridden = qEnvironmentVariable("QUILLON_DATA_DIR");
  if (!overridden.isEmpty()) return overridden;
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
         QStringLiteral("/quillon");
}

QString documentsDir() {
  const QString overridden = qEnvironmentVariable("QUILLON_DOCUMENTS_DIR");
  if (!overridden.isEmpty()) return overridden;
  return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

QString dataFile(const QString &name) { return QDir(dataDir()).filePath(name); }

bool ensureDir(const QString &path) {
  if (path.isEmpty()) return false;
  QDir().mkpath(path);
  return QFileInfo(path).isDir();
}

}  // namespace quillon
