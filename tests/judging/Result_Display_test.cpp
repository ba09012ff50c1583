#include "judging/Result_Display.h"
#include "support/Failure.h"

#include "Judging_Test_Support.h"
#include <cctype>

#include <gtest/gtest.h>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

namespace {
struct Entry {
  std::int32_t time = 0;
  std::int32_t click = 0;
  bool dead_heat = false;
  std::int32_t split = 0;
  const char *name = nullptr; // "Dog <box>" when not given
};

Heat_Results Heat_Of(const std::vector<Entry> &entries) {
  Heat_Results results;
  results.event = QStringLiteral("Spring meeting");
  results.heat_id = QStringLiteral("7");
  results.heat_name = QStringLiteral("Puppy stakes");
  results.start_datetime = QStringLiteral("23-05-2018 12:18:54");
  for (int box = 1; box <= heat_boxes; ++box) {
    Header_Box &b = results.Box(box);
    b.dog_name = QStringLiteral("Dog %1").arg(box);
    if (static_cast<std::size_t>(box) > entries.size())
      continue;
    const Entry &e = entries[static_cast<std::size_t>(box - 1)];
    b.heat_time = e.time;
    b.click_time = e.click;
    b.dead_heat = e.dead_heat;
    b.split_time = e.split;
    if (e.name)
      b.dog_name = QString::fromUtf8(e.name);
  }
  return results;
}

Result_Display Shown(const Heat_Results &results, std::int32_t box_delay_ms = 0) {
  Result_Array table = Load_Result_Array(results);
  Sort_Result_Array(table);
  return Display_Result_Array(table, Load_Result_Heading(results), box_delay_ms);
}

// ---- ranks ----

struct Shown_Row {
  int box;
  const char *rank;
  bool circle;
};

struct Rank_Case {
  std::string name;
  std::vector<Entry> boxes;
  std::vector<Shown_Row> rows; // the first rows of the window
};
void PrintTo(const Rank_Case &c, std::ostream *out) { *out << c.name; }

class Result_Display_Ranks : public testing::TestWithParam<Rank_Case> {};

TEST_P(Result_Display_Ranks, RankTextsAndDeadHeatCircles) {
  const Rank_Case &c = GetParam();
  const Result_Display display = Shown(Heat_Of(c.boxes));
  for (std::size_t i = 0; i < c.rows.size(); ++i) {
    SCOPED_TRACE(i + 1);
    EXPECT_EQ(display.rows[i].box, c.rows[i].box);
    EXPECT_EQ(display.rows[i].rank, QString::fromLatin1(c.rows[i].rank));
    EXPECT_EQ(display.rows[i].dead_heat, c.rows[i].circle);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Result_Display_Ranks,
    testing::Values(Rank_Case{"equal times without a dead heat are two places",
                              {{12000, 100}, {12000, 200}},
                              {{1, "1", false}, {2, "2", false}}},
                    Rank_Case{"equal times with a dead heat share the place",
                              {{12000, 100}, {12000, 200, true}, {12500, 300}},
                              {{1, "1", false}, {2, "1", true}, {3, "3", false}}},
                    Rank_Case{"a dead heat after two different times, the next dog counts all three",
                              {{12000, 100}, {12300, 200}, {12300, 300, true}, {12800, 400}},
                              {{1, "1", false}, {2, "2", false}, {3, "2", true}, {4, "4", false}}},
                    Rank_Case{"a dead heat in the first row shows place 0",
                              {{12100, 100}, {12000, 200, true}},
                              {{2, "0", true}, {1, "2", false}}},
                    Rank_Case{
                        "codes show no place, after the dogs with times",
                        {{code_disqualified, 100}, {12000, 200}, {code_did_not_finish, 300}, {code_no_rank, 400}},
                        {{2, "1", false}, {3, "---", false}, {1, "---", false}, {4, "---", false}, {5, "---", false}}},
                    Rank_Case{"a dead heat with a code keeps its circle but shows no place",
                              {{12000, 100}, {code_disqualified, 200, true}},
                              {{1, "1", false}, {2, "---", true}}}),
    [](const testing::TestParamInfo<Rank_Case> &param_info) { return Test_Name(param_info.param.name); });

// ---- time and split texts ----

struct Text_Case {
  std::string name;
  Entry box;
  std::int32_t box_delay_ms;
  const char *time;
  const char *split;
};
void PrintTo(const Text_Case &c, std::ostream *out) { *out << c.name; }

class Result_Display_Texts : public testing::TestWithParam<Text_Case> {};

TEST_P(Result_Display_Texts, TimeAndSplit) {
  const Text_Case &c = GetParam();
  const Result_Display display = Shown(Heat_Of({c.box}), c.box_delay_ms);
  EXPECT_EQ(display.rows[0].box, 1);
  EXPECT_EQ(display.rows[0].time, QString::fromLatin1(c.time));
  EXPECT_EQ(display.rows[0].split, QString::fromLatin1(c.split));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Result_Display_Texts,
    testing::Values(Text_Case{"time and split", {28450, 1, false, 12340}, 0, "28,45", "12,34"},
                    Text_Case{"no split", {28450, 1}, 0, "28,45", "00,00"},
                    Text_Case{"hundredths halves to even", {28455, 1, false, 12345}, 0, "28,46", "12,34"},
                    Text_Case{"over a minute", {65000, 1}, 0, "1:05,00", "00,00"},
                    Text_Case{
                        "an hour or more shows the hour", {3723450, 1, false, 1805000}, 0, "1:02:03,45", "30:05,00"},
                    Text_Case{"box delay 20 on time and split", {28450, 1, false, 12340}, 20, "28,47", "12,36"},
                    Text_Case{"box delay 20 on an hour", {3723450, 1}, 20, "1:02:03,47", "00,00"},
                    Text_Case{"box delay carries into the next second", {28990, 1}, 20, "29,01", "00,00"},
                    Text_Case{"a time before the start", {-5120, 1}, 0, "-5,12", "00,00"},
                    Text_Case{"disqualified", {code_disqualified, 1, false, 12340}, 20, "DSQ", "---,---"},
                    Text_Case{"did not finish", {code_did_not_finish, 1, false, 12340}, 0, "DNF", "---,---"},
                    Text_Case{"no rank", {code_no_rank, 1, false, 12340}, 0, "---,---", "---,---"},
                    Text_Case{"no time", {0, 0, false, 12340}, 0, "---,---", "---,---"}),
    [](const testing::TestParamInfo<Text_Case> &param_info) { return Test_Name(param_info.param.name); });

TEST(Result_Display, BoxDelayIsAddedToEveryShownTime) {
  const Heat_Results results = Heat_Of({{12150, 1, false, 5230},
                                        {12160, 2, false, 5240},
                                        {12170, 3},
                                        {12180, 4, false, 5260},
                                        {12190, 5},
                                        {12200, 6, false, 5280}});
  const Result_Display plain = Shown(results, 0);
  const Result_Display delayed = Shown(results, 20);
  const std::vector<const char *> times = {"12,17", "12,18", "12,19", "12,20", "12,21", "12,22"};
  const std::vector<const char *> splits = {"5,25", "5,26", "00,00", "5,28", "00,00", "5,30"};
  for (std::size_t i = 0; i < heat_boxes; ++i) {
    SCOPED_TRACE(i + 1);
    EXPECT_EQ(delayed.rows[i].time, QString::fromLatin1(times[i]));
    EXPECT_EQ(delayed.rows[i].split, QString::fromLatin1(splits[i]));
    EXPECT_EQ(delayed.rows[i].rank, plain.rows[i].rank);
  }
  EXPECT_EQ(delayed.box_delay, QStringLiteral("Box delay = 20ms"));
  EXPECT_EQ(plain.box_delay, QString());
}

TEST(Result_Display, BoxDelayLabelIsHiddenBelowOne) {
  EXPECT_EQ(Box_Delay_Text(20), QStringLiteral("Box delay = 20ms"));
  EXPECT_EQ(Box_Delay_Text(1), QStringLiteral("Box delay = 1ms"));
  EXPECT_EQ(Box_Delay_Text(0), QString());
  EXPECT_EQ(Box_Delay_Text(-20), QString());
}

TEST(Result_Display, ABoxDelayBeyond32BitsIsAnOverflowNotAWrappedTime) {
  const Heat_Results results = Heat_Of({{12000, 1}});
  EXPECT_EQ(Failure_Of([&] { Shown(results, std::numeric_limits<std::int32_t>::max()); }), Err_Overflow);
  // codes get no box delay, so they cannot overflow
  EXPECT_EQ(Failure_Of([&] { Shown(Heat_Of({{code_disqualified, 1}}), std::numeric_limits<std::int32_t>::max()); }), 0);
}

TEST(Result_Display, HeadingAndNames) {
  const Result_Display display = Shown(Heat_Of({{12000, 1, false, 0, "Swift Lad"}}));
  EXPECT_EQ(display.heading.event, QStringLiteral("Spring meeting"));
  EXPECT_EQ(display.heading.heat_id, QStringLiteral("7"));
  EXPECT_EQ(display.heading.heat_name, QStringLiteral("Puppy stakes"));
  EXPECT_EQ(display.heading.started, QStringLiteral("Started at: 23-05-2018 12:18:54"));
  EXPECT_EQ(display.rows[0].name, QStringLiteral("Swift Lad"));
  EXPECT_EQ(display.rows[5].name, QStringLiteral("Dog 6"));
}

// ---- the clipboard export ----

TEST(Result_Display, ExportOfHeat7) {
  const Heat_Results results = Heat_Of({
      {28450, 100, false, 12340, "Swift Lad"},
      {30000, 350, false, 0, ""},
      {28450, 200, true, 0, "Blue Comet"},
      {29120, 300, false, 0, "Misty Dawn"},
      {code_disqualified, 400, false, 0, "Red Rocket"},
      {31010, 500, false, 0, "Lucky Star"},
  });
  EXPECT_EQ(Export_Results_Text(Shown(results)), QStringLiteral("Heat7\r\n"
                                                                "1\tSwift Lad\t28,45\t12,34\r\n"
                                                                "1\tBlue Comet\t28,45\r\n"
                                                                "3\tMisty Dawn\t29,12\r\n"
                                                                "5\tLucky Star\t31,01\r\n"
                                                                "---\tRed Rocket\tDSQ\t---,---\r\n"));
}

TEST(Result_Display, ExportLeavesOutRowsWithoutANameAndKeepsEachDogOnOneLine) {
  const Heat_Results results = Heat_Of({
      {12000, 1, false, 0, ""},
      {12100, 2, false, 0, "Tab\tand\r\nbreak"},
      {0, 0, false, 0, ""},
      {0, 0, false, 0, ""},
      {0, 0, false, 0, ""},
      {0, 0, false, 0, " "},
  });
  EXPECT_EQ(Export_Results_Text(Shown(results, 20)), QStringLiteral("Heat7\r\n"
                                                                    "2\tTab and  break\t12,12\r\n"
                                                                    "---\t \t---,---\t---,---\r\n"));
}

TEST(Result_Display, ExportOfAnEmptyWindowIsTheHeadingLineOnly) {
  Result_Display display;
  display.heading.heat_id = QStringLiteral("12");
  EXPECT_EQ(Export_Results_Text(display), QStringLiteral("Heat12\r\n"));
}
} // namespace
