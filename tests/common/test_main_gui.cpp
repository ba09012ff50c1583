// Window tests: a QApplication on the offscreen platform.
#include "common/Temp_AppData.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv) {
  testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  Refuse_Real_Home();
  return RUN_ALL_TESTS();
}
