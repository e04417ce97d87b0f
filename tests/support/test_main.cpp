// Entry of the core test program: a headless GUI application (fonts, images and
// painting work offscreen), then every test with its own data folders.
#include <QGuiApplication>
#include <gtest/gtest.h>

#include "support/test_env.h"

int main(int argc, char **argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  quillon::test::installTestEnvironment();
  return RUN_ALL_TESTS();
}
