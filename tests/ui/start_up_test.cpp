// The program's start when the editor cannot start: a message and no window.
#include "shell/ui/start_up.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

#include "shell/ui/main_window.h"
#include "support/test_env.h"
#include "support/warning_log.h"

namespace quillon {
namespace {

TEST(StartUp, AFolderThatCannotBeMadeEndsTheStartWithItsMessage) {
  // The data folder would have to be made under a plain file.
  const QString blocker = QDir(test::testDocumentsDir()).filePath(QStringLiteral("not-a-folder"));
  {
    QFile f(blocker);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  const QString dataDir = QDir(blocker).filePath(QStringLiteral("quillon"));
  qputenv("QUILLON_DATA_DIR", dataDir.toUtf8());

  test::TWarningLog log;
  QString shown;
  QTimer::singleShot(0, [&] {
    if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
      shown = box->text();
      box->accept();
    }
  });
  const std::unique_ptr<TfrmQuil> window = createMainWindow({QStringLiteral("--instance-id"), QStringLiteral("3")});
  EXPECT_EQ(window, nullptr);
  const QString failure = QStringLiteral("Cannot create the folder ") + dataDir;
  EXPECT_EQ(shown, QStringLiteral("Error in start-up: ") + failure);
  EXPECT_TRUE(log.lines().contains(QStringLiteral("Quillon: error in start-up: ") + failure))
      << log.lines().join(QLatin1Char('\n')).toStdString();
}

}  // namespace
}  // namespace quillon
