#include "common/Scripted_Operator.h"
#include "support/Non_dependant.h"

#include <gtest/gtest.h>

namespace {
struct Mill_Case {
  std::int32_t ms;
  bool trim;
  const char *text;
};

class Display_Mill_Time_Test : public testing::TestWithParam<Mill_Case> {};

TEST_P(Display_Mill_Time_Test, Formats) {
  const Mill_Case c = GetParam();
  EXPECT_EQ(Display_Mill_Time(c.ms, c.trim).toStdString(), c.text) << c.ms << (c.trim ? " trimmed" : "");
}

INSTANTIATE_TEST_SUITE_P(Cases, Display_Mill_Time_Test,
                         testing::Values(Mill_Case{83450, false, " 01:23,45"}, Mill_Case{3723000, false, " 1:02:03,00"},
                                         Mill_Case{-1500, false, "-00:01,50"}, Mill_Case{5230, true, "5,23"},
                                         Mill_Case{83450, true, "1:23,45"}, Mill_Case{12147, true, "12,15"},
                                         Mill_Case{65000, true, "1:05,00"}, Mill_Case{3723450, true, "1:02:03,45"},
                                         Mill_Case{-5120, true, "-5,12"}, Mill_Case{86400000, false, " 00:00,00"},
                                         Mill_Case{0, true, "0,00"},
                                         // halves to even
                                         Mill_Case{125, true, "0,12"}, Mill_Case{135, true, "0,14"},
                                         Mill_Case{1145, true, "1,14"}, Mill_Case{1155, true, "1,16"},
                                         // a hundredth of 100 carries into the seconds
                                         Mill_Case{59996, false, " 01:00,00"}, Mill_Case{3599999, true, "1:00:00,00"},
                                         // the one-day wrap, and the most negative value
                                         Mill_Case{93600000, false, " 2:00:00,00"},
                                         Mill_Case{std::numeric_limits<std::int32_t>::min(), false, "-20:31:23,65"}));

TEST(ParsePath, SplitsAtTheLastSlash) {
  EXPECT_EQ(ParsePath(QStringLiteral("/a/b.qk3"), 16), QStringLiteral("/a/"));
  EXPECT_EQ(ParsePath(QStringLiteral("/a/b.qk3"), 0), QStringLiteral("b.qk3"));
  EXPECT_EQ(ParsePath(QStringLiteral("/a/b.qk3"), 3), QStringLiteral("/a/b.qk3"));
  EXPECT_EQ(ParsePath(QString(), 0), QString());
}

TEST(ParsePath, WithoutSlashShowsTheFailureAndReturnsEmpty) {
  auto &op = Scripted_Operator::Install();
  op.Answer(Msg_Result::OK);
  EXPECT_EQ(ParsePath(QStringLiteral("b.qk3"), 0), QString());
  EXPECT_EQ(op.Message_Texts(), QStringList{QStringLiteral("5 5 *Error in ParsePath")});
}
} // namespace
