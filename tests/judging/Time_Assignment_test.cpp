#include "judging/Result_Display.h"
#include "judging/Time_Assignment.h"
#include "support/Failure.h"

#include "Judging_Test_Support.h"
#include <cctype>

#include <gtest/gtest.h>
#include <limits>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

namespace {
constexpr std::int32_t int32_max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t int32_min = std::numeric_limits<std::int32_t>::min();
constexpr std::uint32_t half_cycle = 0x80000000u;

// The tick ms after tick, wrapping as the counter does.
std::int32_t Tick_After(std::int32_t tick, std::uint32_t ms) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(tick) + ms);
}

Judging_Toggles Goal_Mode() { return {}; }
Judging_Toggles Split_Mode() {
  Judging_Toggles t;
  t.split_mode = true;
  return t;
}
Judging_Toggles With(Judging_Toggles t, bool plus, bool no_time, No_Time_Reason reason, bool dead_heat) {
  t.plus_hundredth = plus;
  t.no_time = no_time;
  t.no_time_reason = reason;
  t.dead_heat = dead_heat;
  return t;
}

// The image: 12,147 ms, slider position 612, pressed at tick 50000.
Box_Press Press(int box) { return Box_Press{box, 12147, 612, 50000, false}; }

// ---- one press ----

struct Plan_Case {
  std::string name;
  Judging_Toggles toggles;
  Box_Assignment written;
  Judging_Toggles after;
};
void PrintTo(const Plan_Case &c, std::ostream *out) { *out << c.name; }

class Time_Assignment_Plan : public testing::TestWithParam<Plan_Case> {};

TEST_P(Time_Assignment_Plan, WhatIsWrittenAndWhichTogglesAreUsed) {
  const Plan_Case &c = GetParam();
  const Assignment_Plan plan = Plan_Box_Assignment(Press(3), c.toggles);
  EXPECT_FALSE(plan.Refused()) << plan.refusal.toStdString();
  EXPECT_EQ(plan.assignment, c.written);
  EXPECT_EQ(plan.toggles_after, c.after);
}

using R = No_Time_Reason;
INSTANTIATE_TEST_SUITE_P(
    Cases, Time_Assignment_Plan,
    testing::Values(
        Plan_Case{"goal time", Goal_Mode(), {3, false, 12147, 612, 50000, false}, Goal_Mode()},
        Plan_Case{"plus a hundredth is used up",
                  With(Goal_Mode(), true, false, R::None, false),
                  {3, false, 12157, 612, 50000, false},
                  Goal_Mode()},
        Plan_Case{"dead heat is written and used up",
                  With(Goal_Mode(), false, false, R::None, true),
                  {3, false, 12147, 612, 50000, true},
                  Goal_Mode()},
        Plan_Case{"disqualified",
                  With(Goal_Mode(), false, true, R::Disqualified, false),
                  {3, false, code_disqualified, 612, 50000, false},
                  With(Goal_Mode(), false, false, R::Disqualified, false)},
        Plan_Case{"did not finish",
                  With(Goal_Mode(), false, true, R::Did_Not_Finish, false),
                  {3, false, code_did_not_finish, 612, 50000, false},
                  With(Goal_Mode(), false, false, R::Did_Not_Finish, false)},
        Plan_Case{"no rank with every other toggle on",
                  With(Goal_Mode(), true, true, R::No_Rank, true),
                  {3, false, code_no_rank, 612, 50000, true},
                  With(Goal_Mode(), false, false, R::No_Rank, false)},
        Plan_Case{"a chosen reason does nothing while No Time is off",
                  With(Goal_Mode(), false, false, R::Disqualified, false),
                  {3, false, 12147, 612, 50000, false},
                  With(Goal_Mode(), false, false, R::Disqualified, false)},
        Plan_Case{"split time writes time and frame only", Split_Mode(), {3, true, 12147, 612, 0, false}, Split_Mode()},
        Plan_Case{"split mode leaves dead heat and no time for the next goal time",
                  With(Split_Mode(), true, true, R::Disqualified, true),
                  {3, true, 12157, 612, 0, false},
                  With(Split_Mode(), false, true, R::Disqualified, true)},
        Plan_Case{"split mode needs no reason",
                  With(Split_Mode(), false, true, R::None, false),
                  {3, true, 12147, 612, 0, false},
                  With(Split_Mode(), false, true, R::None, false)}),
    [](const testing::TestParamInfo<Plan_Case> &param_info) { return Test_Name(param_info.param.name); });

TEST(Time_Assignment, NoTimeWithoutAReasonIsRefusedAndChangesNothing) {
  const Judging_Toggles toggles = With(Goal_Mode(), true, true, R::None, true);
  const Assignment_Plan plan = Plan_Box_Assignment(Press(3), toggles);
  ASSERT_TRUE(plan.Refused());
  EXPECT_EQ(plan.refusal, no_reason_refusal);
  EXPECT_TRUE(plan.refusal.contains(QStringLiteral("right mouse button"))) << plan.refusal.toStdString();
  EXPECT_EQ(plan.toggles_after, toggles); // "+ 1/100" and "Dead heat" wait for the next press

  Heat_Results results;
  results.Box(3) = Header_Box{QStringLiteral("Blue Comet"), 0, 0, 0, 0, 0, false};
  const Heat_Results before = results;
  if (!plan.Refused())
    Apply_Assignment(results, plan.assignment);
  EXPECT_EQ(results, before);
}

TEST(Time_Assignment, AReadOnlyFileIsRefused) {
  Box_Press press = Press(2);
  press.read_only = true;
  const Judging_Toggles toggles = With(Goal_Mode(), true, false, R::None, true);
  const Assignment_Plan plan = Plan_Box_Assignment(press, toggles);
  EXPECT_EQ(plan.refusal, QStringLiteral("File is read only!"));
  EXPECT_EQ(plan.toggles_after, toggles);
}

TEST(Time_Assignment, ValuesBeyondTheirWidthAndBoxesOutsideTheHeaderAreFailures) {
  EXPECT_EQ(Failure_Of([] { Plan_Box_Assignment(Press(0), Goal_Mode()); }), Err_Subscript);
  EXPECT_EQ(Failure_Of([] { Plan_Box_Assignment(Press(9), Goal_Mode()); }), Err_Subscript);
  EXPECT_EQ(Failure_Of([] { Plan_Box_Assignment(Press(8), Goal_Mode()); }), 0);

  Box_Press late = Press(1);
  late.slider_position = 32768; // the header keeps the frame in 16 bits
  EXPECT_EQ(Failure_Of([&] { Plan_Box_Assignment(late, Split_Mode()); }), Err_Overflow);
  late.slider_position = 32767;
  EXPECT_EQ(Plan_Box_Assignment(late, Split_Mode()).assignment.frame, 32767);

  Box_Press last = Press(1);
  last.heat_elapsed_ms = int32_max - 10;
  EXPECT_EQ(Plan_Box_Assignment(last, With(Goal_Mode(), true, false, R::None, false)).assignment.time, int32_max);
  last.heat_elapsed_ms = int32_max - 9;
  EXPECT_EQ(Failure_Of([&] { Plan_Box_Assignment(last, With(Goal_Mode(), true, false, R::None, false)); }),
            Err_Overflow);
}

TEST(Time_Assignment, ApplyingWritesOnlyTheValuesOfItsMode) {
  Heat_Results results;
  results.Box(4) = Header_Box{QStringLiteral("Misty Dawn"), 28450, 12340, 700, 610, 250, true};

  Apply_Assignment(results, Box_Assignment{4, true, 13000, 262, 99999, false});
  EXPECT_EQ(results.Box(4), (Header_Box{QStringLiteral("Misty Dawn"), 28450, 13000, 700, 610, 262, true}));

  // re-assigning the goal time overwrites time, frame, click time and dead-heat flag
  Apply_Assignment(results, Box_Assignment{4, false, 29120, 640, 51000, false});
  EXPECT_EQ(results.Box(4), (Header_Box{QStringLiteral("Misty Dawn"), 29120, 13000, 51000, 640, 262, false}));
  for (int box : {1, 2, 3, 5, 6, 7, 8})
    EXPECT_EQ(results.Box(box), Header_Box{}) << box;
}

// ---- presses in a row, as the operator judges ----

struct Judge {
  Heat_Results results;
  Judging_Toggles toggles;
  std::int32_t tick = 50000;

  void Box_Button(int box, std::int32_t heat_ms, std::int32_t position) {
    const Assignment_Plan plan = Plan_Box_Assignment(Box_Press{box, heat_ms, position, tick += 1500, false}, toggles);
    ASSERT_FALSE(plan.Refused());
    Apply_Assignment(results, plan.assignment);
    toggles = plan.toggles_after;
  }
  Result_Display Shown() const {
    Result_Array table = Load_Result_Array(results);
    Sort_Result_Array(table);
    return Display_Result_Array(table, Load_Result_Heading(results), 0);
  }
};

TEST(Time_Assignment, TwoDogsInOneImageWithPlusAHundredth) {
  Judge judge;
  judge.Box_Button(2, 12147, 612);
  judge.toggles.plus_hundredth = true;
  judge.Box_Button(5, 12147, 612);
  EXPECT_FALSE(judge.toggles.plus_hundredth);
  judge.Box_Button(1, 12147, 612); // the toggle is off again: same time as box 2, clicked later

  EXPECT_EQ(judge.results.Box(2).heat_time, 12147);
  EXPECT_EQ(judge.results.Box(5).heat_time, 12157);
  const Result_Display shown = judge.Shown();
  const std::vector<std::pair<int, const char *>> rows = {{2, "1"}, {1, "2"}, {5, "3"}};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(shown.rows[i].box, rows[i].first) << i;
    EXPECT_EQ(shown.rows[i].rank, QString::fromLatin1(rows[i].second)) << i;
  }
  EXPECT_EQ(shown.rows[0].time, QStringLiteral("12,15"));
  EXPECT_EQ(shown.rows[2].time, QStringLiteral("12,16"));
}

TEST(Time_Assignment, DeadHeatTakesThePlaceOfTheDogBeforeAndIsUsedOnce) {
  Judge judge;
  judge.Box_Button(1, 28450, 710);
  judge.toggles.dead_heat = true;
  judge.Box_Button(3, 28450, 710);
  EXPECT_FALSE(judge.toggles.dead_heat);
  judge.Box_Button(2, 28950, 735);
  EXPECT_FALSE(judge.results.Box(2).dead_heat);

  const Result_Display shown = judge.Shown();
  const std::vector<std::tuple<int, const char *, bool>> rows = {{1, "1", false}, {3, "1", true}, {2, "3", false}};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(shown.rows[i].box, std::get<0>(rows[i])) << i;
    EXPECT_EQ(shown.rows[i].rank, QString::fromLatin1(std::get<1>(rows[i]))) << i;
    EXPECT_EQ(shown.rows[i].dead_heat, std::get<2>(rows[i])) << i;
  }
}

TEST(Time_Assignment, DisqualifiedDogShowsDSQAndItsButtonCountsAsTimed) {
  Judge judge;
  judge.Box_Button(1, 28450, 710);
  judge.toggles.no_time = true;
  judge.toggles.no_time_reason = No_Time_Reason::Disqualified;
  judge.Box_Button(4, 29000, 720);
  EXPECT_EQ(judge.results.Box(4).heat_time, code_disqualified);
  EXPECT_FALSE(judge.toggles.no_time);
  EXPECT_EQ(No_Time_Caption(judge.toggles.no_time_reason), QStringLiteral("DSQ"));

  const Result_Display shown = judge.Shown();
  EXPECT_EQ(shown.rows[1].box, 4);
  EXPECT_EQ(shown.rows[1].rank, QStringLiteral("---"));
  EXPECT_EQ(shown.rows[1].time, QStringLiteral("DSQ"));
  EXPECT_EQ(shown.rows[1].split, QStringLiteral("---,---"));
  EXPECT_EQ(Timed_Boxes(judge.results, false), (std::array<bool, heat_boxes>{true, false, false, true, false, false}));
}

TEST(Time_Assignment, SplitModeWritesOnlyTheSplitAndTheButtonsFollowTheSplits) {
  Judge judge;
  judge.Box_Button(2, 28450, 710);
  const Header_Box goal = judge.results.Box(2);
  judge.toggles.split_mode = true;
  judge.toggles.dead_heat = true;
  judge.Box_Button(2, 12340, 310);
  judge.Box_Button(6, 12500, 314);

  EXPECT_EQ(judge.results.Box(2).split_time, 12340);
  EXPECT_EQ(judge.results.Box(2).split_frame, 310);
  EXPECT_EQ(judge.results.Box(2).heat_time, goal.heat_time);
  EXPECT_EQ(judge.results.Box(2).click_time, goal.click_time);
  EXPECT_EQ(judge.results.Box(2).heat_frame, goal.heat_frame);
  EXPECT_FALSE(judge.results.Box(2).dead_heat);
  EXPECT_EQ(judge.results.Box(6).heat_time, 0);
  EXPECT_TRUE(judge.toggles.dead_heat);
  EXPECT_EQ(Timed_Boxes(judge.results, true), (std::array<bool, heat_boxes>{false, true, false, false, false, true}));
  EXPECT_EQ(Timed_Boxes(judge.results, false), (std::array<bool, heat_boxes>{false, true, false, false, false, false}));
}

TEST(Time_Assignment, Captions) {
  EXPECT_EQ(No_Time_Caption(No_Time_Reason::None), QStringLiteral("No Time"));
  EXPECT_EQ(No_Time_Caption(No_Time_Reason::Disqualified), QStringLiteral("DSQ"));
  EXPECT_EQ(No_Time_Caption(No_Time_Reason::Did_Not_Finish), QStringLiteral("DNF"));
  EXPECT_EQ(No_Time_Caption(No_Time_Reason::No_Rank), QStringLiteral("No Rnk"));
  EXPECT_EQ(Split_Button_Caption(false), QStringLiteral("Split"));
  EXPECT_EQ(Split_Button_Caption(true), QStringLiteral("Goal"));
  EXPECT_EQ(Settimes_Caption(false), QStringLiteral("Set Goal times"));
  EXPECT_EQ(Settimes_Caption(true), QStringLiteral("Set Split times"));
}

// ---- the mode switch's ignore window ----

struct Click_Case {
  std::string name;
  std::vector<std::int32_t> ticks;
  std::vector<bool> accepted;
};
void PrintTo(const Click_Case &c, std::ostream *out) { *out << c.name; }

class Time_Assignment_Mode_Switch : public testing::TestWithParam<Click_Case> {};

TEST_P(Time_Assignment_Mode_Switch, ClicksWithin300msAreIgnored) {
  const Click_Case &c = GetParam();
  Click_Ignore_Window window(Click_Ignore_Window::Mode_Switch_ms);
  std::vector<bool> accepted;
  for (std::int32_t tick : c.ticks)
    accepted.push_back(window.Accept(tick));
  EXPECT_EQ(accepted, c.accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Time_Assignment_Mode_Switch,
    testing::Values(Click_Case{"the first click counts", {1000}, {true}},
                    Click_Case{"two clicks within 300 ms switch once", {1000, 1299}, {true, false}},
                    Click_Case{"300 ms later counts", {1000, 1300}, {true, true}},
                    Click_Case{"an ignored click does not restart the window", {1000, 1200, 1350}, {true, false, true}},
                    Click_Case{"across the tick's wrap", {-100, 150, 250}, {true, false, true}},
                    Click_Case{"across the tick's sign change",
                               {int32_max - 100, int32_min + 150, int32_min + 250},
                               {true, false, true}},
                    // more than half the tick's cycle later reads as before the last click
                    Click_Case{"weeks later still counts",
                               {1000, Tick_After(1000, half_cycle + 1000), Tick_After(1000, half_cycle + 1100)},
                               {true, true, false}}),
    [](const testing::TestParamInfo<Click_Case> &param_info) { return Test_Name(param_info.param.name); });
} // namespace
