#pragma once
// The wait (hourglass) cursor for the lifetime of an object, where a GUI application runs;
// put back on every way out of the scope, exceptions included.
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

namespace quillon {

class TWaitCursor {
 public:
  TWaitCursor() : FOn(qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr) {
    if (FOn) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  }
  ~TWaitCursor() {
    if (FOn) QGuiApplication::restoreOverrideCursor();
  }
  TWaitCursor(const TWaitCursor &) = delete;
  TWaitCursor &operator=(const TWaitCursor &) = delete;

 private:
  bool FOn;
};

}  // namespace quillon
