// The name of a new heat file.

#include "app/Heat_File_Name.h"

#include <gtest/gtest.h>

namespace {
const QDateTime spring_cup_time(QDate(2018, 5, 23), QTime(14, 2, 7));

struct Name_Case {
  const char *what;
  const char *folder;
  const char *event;
  const char *heat;
  const char *expected;
};

class Heat_File_Name_Test : public testing::TestWithParam<Name_Case> {};

TEST_P(Heat_File_Name_Test, BuildsTheCleanedName) {
  const Name_Case &c = GetParam();
  EXPECT_EQ(Heat_File_Name::Build(QString::fromUtf8(c.folder), QString::fromUtf8(c.event), QString::fromUtf8(c.heat),
                                  spring_cup_time),
            QString::fromUtf8(c.expected))
      << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Heat_File_Name_Test,
    testing::Values(
        Name_Case{"the plain case", "/srv/Heats", "Spring Cup", "3", "/srv/Heats/Spring Cup_3_2018_05_23 14_02_07.qk3"},
        Name_Case{"a dash in the event name", "/srv/Heats", "Cup-Final", "3",
                  "/srv/Heats/Cup_Final_3_2018_05_23 14_02_07.qk3"},
        Name_Case{"commas and colons", "/srv/Heats", "A,B:C", "12", "/srv/Heats/A_B_C_12_2018_05_23 14_02_07.qk3"},
        Name_Case{"a folder with a dash stays the folder it is", "/media/Race-Day", "Cup", "1",
                  "/media/Race-Day/Cup_1_2018_05_23 14_02_07.qk3"},
        Name_Case{"a slash in the event name names no folder", "/srv", "Cup 1/2", "1",
                  "/srv/Cup 1_2_1_2018_05_23 14_02_07.qk3"},
        Name_Case{"the root folder gets one slash", "/", "Cup", "1", "/Cup_1_2018_05_23 14_02_07.qk3"},
        Name_Case{"no event and no heat number", "/srv", "No event", "", "/srv/No event__2018_05_23 14_02_07.qk3"}),
    [](const testing::TestParamInfo<Name_Case> &param) { return "case" + std::to_string(param.index); });

TEST(Heat_File_Name_Clean_Path, KeepsTheFirstTwoCharacters) {
  EXPECT_EQ(Heat_File_Name::Clean_Path(QStringLiteral("C:\\Race-Day\\a:b,c")), QStringLiteral("C:\\Race_Day\\a_b_c"));
  EXPECT_EQ(Heat_File_Name::Clean_Path(QStringLiteral("-:-")), QStringLiteral("-:_"));
  EXPECT_EQ(Heat_File_Name::Clean_Path(QStringLiteral("/h-x")), QStringLiteral("/h_x"));
}
} // namespace
