#include "judging/Result_Table.h"
#include "support/Failure.h"

#include "Judging_Test_Support.h"
#include <cctype>

#include <gtest/gtest.h>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

namespace {
constexpr std::int32_t int32_max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t int32_min = std::numeric_limits<std::int32_t>::min();

// One box as the header holds it.
struct Entry {
  std::int32_t time = 0;
  std::int32_t click = 0;
  std::int32_t split = 0;
};

Heat_Results Heat_Of(const std::array<Entry, heat_boxes> &entries) {
  Heat_Results results;
  for (int box = 1; box <= heat_boxes; ++box) {
    const Entry &e = entries[static_cast<std::size_t>(box - 1)];
    Header_Box &b = results.Box(box);
    b.dog_name = QStringLiteral("Dog %1").arg(box);
    b.heat_time = e.time;
    b.click_time = e.click;
    b.split_time = e.split;
  }
  return results;
}

std::vector<int> Box_Order(const Result_Array &table) {
  std::vector<int> order;
  for (int row = 1; row <= heat_boxes; ++row)
    order.push_back(table(row).Box);
  return order;
}

// ---- loading ----

TEST(Result_Table, LoadGivesRowNBoxNWithNoTimeForZero) {
  Heat_Results results;
  results.Box(2) = Header_Box{QStringLiteral("Blue Comet"), 12345, 5230, 777, 612, 250, true};
  results.Box(4).heat_time = code_disqualified;
  results.Box(7).heat_time = 100; // boxes 7 and 8 take no part in a heat
  results.Box(8).heat_time = 50;

  const Result_Array table = Load_Result_Array(results);
  EXPECT_EQ(table(2), (Result_Record{2, 12345, 5230, 777, QStringLiteral("Blue Comet"), true}));
  EXPECT_EQ(table(4).Heat_time, code_disqualified);
  EXPECT_EQ(table(4).Split_time, no_time);
  for (int row = 1; row <= heat_boxes; ++row) {
    EXPECT_EQ(table(row).Box, row);
    if (row != 2 && row != 4) {
      EXPECT_EQ(table(row).Heat_time, no_time) << row;
      EXPECT_EQ(table(row).Split_time, no_time) << row;
    }
  }
}

TEST(Result_Table, RowsAndBoxesOutsideTheirRangeAreFailure9) {
  Result_Array table;
  Heat_Results results;
  EXPECT_EQ(Failure_Of([&] { table(0); }), Err_Subscript);
  EXPECT_EQ(Failure_Of([&] { table(7); }), Err_Subscript);
  EXPECT_EQ(Failure_Of([&] { results.Box(0); }), Err_Subscript);
  EXPECT_EQ(Failure_Of([&] { results.Box(9); }), Err_Subscript);
  EXPECT_EQ(Failure_Of([&] { results.Box(8); }), 0);
}

TEST(Result_Table, OnlyTheExactCodesAreNoTime) {
  for (std::int32_t code : {code_did_not_finish, code_disqualified, code_no_rank, no_time})
    EXPECT_TRUE(Is_Result_Code(code)) << code;
  for (std::int32_t time : {0, 888885, 888889, 999998, 1000000, 3723450, -5120})
    EXPECT_FALSE(Is_Result_Code(time)) << time;
}

// ---- sorting ----

struct Sort_Case {
  std::string name;
  std::array<Entry, heat_boxes> boxes;
  std::vector<int> order; // boxes in placing order
};
void PrintTo(const Sort_Case &c, std::ostream *out) { *out << c.name; }

class Result_Table_Sort : public testing::TestWithParam<Sort_Case> {};

TEST_P(Result_Table_Sort, PlacingOrder) {
  const Sort_Case &c = GetParam();
  Result_Array table = Load_Result_Array(Heat_Of(c.boxes));
  Sort_Result_Array(table);
  EXPECT_EQ(Box_Order(table), c.order);
  // every field moves with its row
  for (int row = 1; row <= heat_boxes; ++row) {
    const Entry &e = c.boxes[static_cast<std::size_t>(table(row).Box - 1)];
    EXPECT_EQ(table(row).Dog_Name, QStringLiteral("Dog %1").arg(table(row).Box));
    EXPECT_EQ(table(row).Click_time, e.click);
    EXPECT_EQ(table(row).Split_time, e.split == 0 ? no_time : e.split);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Result_Table_Sort,
    testing::Values(
        Sort_Case{
            "by goal time", {{{12500, 1}, {12000, 2}, {13000, 3}, {0, 0}, {12250, 5}, {12750, 6}}}, {2, 5, 1, 6, 3, 4}},
        Sort_Case{"equal times in click order",
                  {{{12000, 5000}, {12000, 3000}, {12000, 4000}, {0, 0}, {0, 0}, {0, 0}}},
                  {2, 3, 1, 4, 5, 6}},
        Sort_Case{
            "codes after every time, did not finish, disqualified, no rank, no time",
            {{{code_no_rank, 1}, {0, 0}, {code_disqualified, 3}, {code_did_not_finish, 4}, {15000, 5}, {3723450, 6}}},
            {5, 6, 4, 3, 1, 2}},
        Sort_Case{"times of a quarter of an hour and more are times, not codes",
                  {{{888889, 1}, {999998, 2}, {code_no_rank, 3}, {1000000, 4}, {888885, 5}, {0, 0}}},
                  {5, 1, 2, 4, 3, 6}},
        Sort_Case{"equal codes in click order",
                  {{{code_disqualified, 900}, {12000, 100}, {code_disqualified, 300}, {0, 0}, {0, 0}, {0, 0}}},
                  {2, 3, 1, 4, 5, 6}},
        Sort_Case{"a time before the start comes first",
                  {{{12000, 1}, {-40, 2}, {0, 0}, {0, 0}, {0, 0}, {0, 0}}},
                  {2, 1, 3, 4, 5, 6}},
        Sort_Case{"split times take no part",
                  {{{12500, 1, 4000}, {12000, 2, 6000}, {0, 0, 3000}, {0, 0}, {0, 0}, {0, 0}}},
                  {2, 1, 3, 4, 5, 6}},
        Sort_Case{"no times at all keeps box order", {}, {1, 2, 3, 4, 5, 6}},
        // The tick turns from its largest positive value to its most negative one: the
        // second click reads as the smaller number.
        Sort_Case{
            "equal times clicked across the tick's sign change",
            {{{12000, int32_min + 100}, {12000, int32_max - 100}, {12000, int32_max - 50}, {0, 0}, {0, 0}, {0, 0}}},
            {2, 3, 1, 4, 5, 6}},
        Sort_Case{"equal times clicked across the tick's wrap to zero",
                  {{{0, 0}, {0, 0}, {12000, 300}, {12000, -500}, {12000, 20}, {0, 0}}},
                  {4, 5, 3, 1, 2, 6}}),
    [](const testing::TestParamInfo<Sort_Case> &param_info) { return Test_Name(param_info.param.name); });

// Clicks spread evenly round the tick's cycle have no earliest one. Whatever order they get,
// sorting must end and a sorted table must stay as it is.
TEST(Result_Table, ClicksWithNoOrderStillSortAndStaySorted) {
  const std::int32_t third = 0x55555555;
  const auto two_thirds = static_cast<std::int32_t>(0xAAAAAAAAu);
  Result_Array table = Load_Result_Array(Heat_Of({{{12000, 0}, {12000, third}, {12000, two_thirds}, {0, 0}}}));
  Sort_Result_Array(table);
  const std::vector<int> once = Box_Order(table);
  Sort_Result_Array(table);
  EXPECT_EQ(Box_Order(table), once);
  EXPECT_EQ(std::vector<int>(once.begin() + 3, once.end()), (std::vector<int>{4, 5, 6}));
}

// ---- clearing ----

TEST(Result_Table, ClearingEmptiesEveryBoxButKeepsNamesAndSplitFrames) {
  Heat_Results results;
  for (int box = 1; box <= header_boxes; ++box)
    results.Box(box) = Header_Box{
        QStringLiteral("Dog %1").arg(box),    12000 + box, 5000 + box, 700 + box, static_cast<std::int16_t>(600 + box),
        static_cast<std::int16_t>(250 + box), true};
  results.event = QStringLiteral("Spring meeting");
  Heat_Results expected = results;
  for (Header_Box &box : expected.boxes) {
    box.heat_time = box.split_time = box.click_time = 0;
    box.heat_frame = 0;
    box.dead_heat = false;
  }
  Clear_all_Results(results);
  EXPECT_EQ(results, expected);
  EXPECT_EQ(results.Box(8).dog_name, QStringLiteral("Dog 8"));
  EXPECT_EQ(results.Box(8).split_frame, 258);
}
} // namespace
