// Test programs run their Qt widgets headless, on the screens of support/screens.json, unless
// told otherwise.
#include <gtest/gtest.h>

#include <QApplication>

#include "support/build_paths.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", tavlo::testing::TestPlatform());
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
