#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>

#include "shell/editor.h"
#include "shell/ui/main_window.h"
#include "support/test_env.h"

namespace quillon {

// The first-run download question would open a modal box; answer it in the file.
void writeAnsweredSettings() {
  QFile f(QDir(test::testDataDir()).filePath(QStringLiteral("qn_options.ini")));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("[LeatherSim]\nChoiseMade=1\n");
}

TEST(MainWindow, ShowsVersionCaptionAndShutsDownWritingSettings) {
  writeAnsweredSettings();
  auto *window = new TfrmQuil({QStringLiteral("--instance-id"), QStringLiteral("123456789")});
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

  QFile ini(QDir(test::testDataDir()).filePath(QStringLiteral("qn_options.ini")));
  ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
  EXPECT_TRUE(ini.readAll().contains("AppVersion=3.7.9"));
}

}  // namespace quillon
