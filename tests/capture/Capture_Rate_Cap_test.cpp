#include "capture/Capture_Rate_Cap.h"

#include <gtest/gtest.h>

namespace {

struct Cap_Case {
  const char *name;
  double source_fps;
  int cap_fps; // 0: no cap
  int expected_per_second;
};

class Capture_Rate_Cap_Test : public ::testing::TestWithParam<Cap_Case> {};

TEST_P(Capture_Rate_Cap_Test, DeliversTheCappedRateOnAverage) {
  const Cap_Case &c = GetParam();
  const auto source_ns = static_cast<std::int64_t>(1e9 / c.source_fps);
  Capture_Rate_Cap cap;
  cap.Reset(c.cap_fps ? 1000000000 / c.cap_fps : 0, source_ns);
  int passed = 0;
  const std::int64_t start = 123456789000;
  for (std::int64_t t = start; t < start + 10 * 1000000000LL; t += source_ns)
    passed += cap.Pass(t);
  EXPECT_NEAR(passed / 10.0, c.expected_per_second, 0.5) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Rates, Capture_Rate_Cap_Test,
                         ::testing::Values(Cap_Case{"50 to 25", 50, 25, 25}, Cap_Case{"30 to 25", 30, 25, 25},
                                           Cap_Case{"29.97 to 25", 30000.0 / 1001, 25, 25},
                                           Cap_Case{"25 stays 25", 25, 25, 25}, Cap_Case{"60 to 25", 60, 25, 25},
                                           Cap_Case{"no cap", 50, 0, 50}, Cap_Case{"slower source", 15, 25, 15}));

TEST(Capture_Rate_Cap, FiftyToTwentyFiveTakesEveryOtherFrame) {
  Capture_Rate_Cap cap;
  cap.Reset(40000000, 20000000);
  for (int i = 0; i < 20; ++i)
    EXPECT_EQ(cap.Pass(i * 20000000LL), i % 2 == 0) << i;
}

TEST(Capture_Rate_Cap, GapRestartsTheGridWithoutABurst) {
  Capture_Rate_Cap cap;
  cap.Reset(40000000, 20000000);
  EXPECT_TRUE(cap.Pass(0));
  EXPECT_TRUE(cap.Pass(1000000000)); // a second of nothing
  EXPECT_FALSE(cap.Pass(1020000000));
  EXPECT_TRUE(cap.Pass(1040000000));
}

} // namespace
