#include "platform/ui_thread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <exception>
#include <stdexcept>
#include <utility>

namespace quillon {

namespace {

QCoreApplication &application() {
  QCoreApplication *app = QCoreApplication::instance();
  if (!app) throw std::logic_error("UI thread hand-off: there is no application object");
  return *app;
}

}  // namespace

bool isUiThread() {
  const QCoreApplication *app = QCoreApplication::instance();
  return app && QThread::currentThread() == app->thread();
}

void runOnUiThreadBlocking(std::function<void()> fn) {
  QCoreApplication &app = application();
  if (QThread::currentThread() == app.thread()) {
    fn();
    return;
  }
  std::exception_ptr failure;
  const bool invoked = QMetaObject::invokeMethod(
      &app,
      [&fn, &failure] {
        try {
          fn();
        } catch (...) {
          failure = std::current_exception();
        }
      },
      Qt::BlockingQueuedConnection);
  if (!invoked) throw std::runtime_error("UI thread hand-off: the call could not be queued");
  if (failure) std::rethrow_exception(failure);
}

void postToUiThread(std::function<void()> fn) {
  QCoreApplication &app = application();
  const bool invoked = QMetaObject::invokeMethod(&app, std::move(fn), Qt::QueuedConnection);
  if (!invoked) throw std::runtime_error("UI thread hand-off: the call could not be queued");
}

}  // namespace quillon
