// The start of a further window: its instance ID, its command line and the start itself.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QRegularExpression>

#include <stdexcept>

#include "shell/launch_instance.h"
#include "support/recording_starter.h"

namespace quillon {
namespace {

TEST(LaunchInstance, TheIdIsTheTimeInNineDigits) {
  EXPECT_EQ(instanceIdOf(QTime(14, 23, 5, 123)), QStringLiteral("142305123"));
  EXPECT_EQ(instanceIdOf(QTime(0, 0, 0, 7)), QStringLiteral("000000007"));
  EXPECT_EQ(instanceIdOf(QTime(23, 59, 59, 999)), QStringLiteral("235959999"));
}

TEST(LaunchInstance, TheCommandLineQuotesAPathWithBlanks) {
  EXPECT_EQ(instanceCommandLine(QStringLiteral("/opt/my apps/quillon"), QStringLiteral("142305123")),
            QStringLiteral("\"/opt/my apps/quillon\" --instance-id \"142305123\""));
  EXPECT_EQ(instanceArguments(QStringLiteral("1")), (QStringList{QStringLiteral("--instance-id"), QStringLiteral("1")}));
}

TEST(LaunchInstance, StartsTheProgramItselfOrSaysWhyNot) {
  test::TRecordingStarter starter;
  LaunchAnotherInstance(QStringLiteral("142305123"));
  EXPECT_EQ(starter.Program, QCoreApplication::applicationFilePath());
  EXPECT_EQ(starter.Arguments, instanceArguments(QStringLiteral("142305123")));

  starter.Starts = false;
  try {
    LaunchAnotherInstance(QStringLiteral("1"));
    ADD_FAILURE() << "no error";
  } catch (const std::runtime_error &e) {
    EXPECT_TRUE(QString::fromUtf8(e.what()).contains(QStringLiteral("--instance-id \"1\""))) << e.what();
  }
}

}  // namespace
}  // namespace quillon
