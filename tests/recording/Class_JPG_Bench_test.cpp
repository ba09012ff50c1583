#include "common/Scripted_Operator.h"
#include "recording/Class_JPG_Bench.h"
#include "support/Clock.h"
#include "support/Globals.h"

#include <gtest/gtest.h>

namespace {
TEST(Class_JPG_Bench, ReportListsTheComputerAndEveryCropSize) {
  Scripted_Operator::Install(); // a failed encoding would prompt
  Manual_Clock clock;           // the tick stands still: every size reads 0 ms
  Set_Clock(&clock);
  Globals::Computer_Name = QStringLiteral("FINISH");
  Globals::CPU_Info = QStringLiteral("CPU= 586 4 core 3.4GHz");
  const QString report = Class_JPG_Bench().Benchmark_Report();
  Set_Clock(nullptr);
  EXPECT_EQ(report, QStringLiteral("JPEG Benchmark, quality 80\r\nComputer: FINISH\r\nCPU= 586 4 core 3.4GHz\r\n"
                                   "400*880: 0 ms\r\n600*1080: 0 ms\r\n576*720: 0 ms"));
}

TEST(Class_JPG_Bench, MeasuresMillisecondsPerPicture) {
  Scripted_Operator::Install();
  const std::int16_t ms = Class_JPG_Bench().JPG_Bench(576, 720);
  EXPECT_GE(ms, 0);
  EXPECT_LT(ms, 5000);
}

TEST(Class_JPG_Bench, UnusableSizeIsReportedAndGivesZero) {
  Scripted_Operator::Install();
  EXPECT_EQ(Class_JPG_Bench().JPG_Bench(0, 720), 0);
}
} // namespace
