// Entry of the window test program: a widget application on the offscreen platform.
#include <QApplication>
#include <gtest/gtest.h>

#include "support/test_env.h"

int main(int argc, char **argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  quillon::test::installTestEnvironment();
  return RUN_ALL_TESTS();
}
