#pragma once
// Captures the messages that go through Qt's message handler (qWarning, ...) while it
// lives, so a test can check what the program logged. One at a time.
#include <QMutex>
#include <QMutexLocker>
#include <QStringList>
#include <QtGlobal>

namespace quillon::test {

class TWarningLog {
 public:
  TWarningLog() {
    {
      QMutexLocker lock(&mutex());
      store().clear();
    }
    FPrevious = qInstallMessageHandler(&TWarningLog::record);
  }
  ~TWarningLog() { qInstallMessageHandler(FPrevious); }
  TWarningLog(const TWarningLog &) = delete;
  TWarningLog &operator=(const TWarningLog &) = delete;

  // The lines logged so far.
  QStringList lines() const {
    QMutexLocker lock(&mutex());
    return store();
  }

 private:
  static QMutex &mutex() {
    static QMutex m;
    return m;
  }
  static QStringList &store() {
    static QStringList s;
    return s;
  }
  static void record(QtMsgType, const QMessageLogContext &, const QString &text) {
    QMutexLocker lock(&mutex());
    store() << text;
  }

  QtMessageHandler FPrevious = nullptr;
};

}  // namespace quillon::test
