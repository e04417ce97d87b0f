#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>

#include "shell/ui/main_window.h"

namespace quillon {

TEST(MainWindow, ShowsVersionCaptionAndClosesCleanly) {
  auto *window = new TfrmQuil;
  window->setAttribute(Qt::WA_DeleteOnClose);
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Quillon ver3.7.9"));
  window->show();
  EXPECT_TRUE(window->isVisible());

  bool destroyed = false;
  QObject::connect(window, &QObject::destroyed, [&] { destroyed = true; });
  QTimer::singleShot(0, window, &QWidget::close);
  for (int i = 0; i < 50 && !destroyed; ++i) QApplication::processEvents(QEventLoop::AllEvents, 20);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(destroyed);
}

}  // namespace quillon
