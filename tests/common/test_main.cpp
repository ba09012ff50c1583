// Core tests: a QCoreApplication, and no test may reach the real home folder.
#include "common/Temp_AppData.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv) {
  testing::InitGoogleTest(&argc, argv);
  QCoreApplication app(argc, argv);
  Refuse_Real_Home();
  return RUN_ALL_TESTS();
}
