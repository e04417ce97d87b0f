#include "render/paint_error_log.h"

#include <QDir>
#include <QFile>

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "model/shape.h"
#include "platform/folders.h"

namespace quillon {

namespace {

// The readable name of the exception's dynamic class ("std::runtime_error").
QString className(const std::exception &E) {
  const char *mangled = typeid(E).name();
  int status = 0;
  std::unique_ptr<char, void (*)(void *)> demangled(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                                    std::free);
  return QString::fromLatin1(status == 0 && demangled ? demangled.get() : mangled);
}

}  // namespace

QString paintErrorLine(const QDateTime &when, const std::exception &E, const TQN_Path *Shape) {
  QString suffix;
  if (Shape)
    suffix = QStringLiteral(" [shape ID=") + QString::number(Shape->ID()) + QStringLiteral(" type=") +
             Shape->kindName() + QLatin1Char(']');
  return QStringLiteral("%1  %2: %3%4")
      .arg(when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")), className(E), QString::fromUtf8(E.what()), suffix);
}

void logPaintError(QString &FLastPaintError, const QDateTime &when, const std::exception &E, const TQN_Path *Shape) {
  try {
    const QString line = paintErrorLine(when, E, Shape);
    if (line == FLastPaintError) return;
    FLastPaintError = line;
    const QString folder = documentsDir();
    if (folder.isEmpty()) return;
    QFile file(QDir(folder).filePath(QString::fromLatin1(kPaintErrorLogName)));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return;
    file.write(line.toUtf8());
    file.write("\r\n", 2);
  } catch (...) {
    // Logging must never disturb painting.
  }
}

void logPaintError(QString &FLastPaintError, const std::exception &E, const TQN_Path *Shape) {
  logPaintError(FLastPaintError, QDateTime::currentDateTime(), E, Shape);
}

}  // namespace quillon
