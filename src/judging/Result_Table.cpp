#include "judging/Result_Table.h"

#include "support/Failure.h"

#include <algorithm>
#include <vector>

bool Is_Result_Code(std::int32_t stored) {
  return stored == code_did_not_finish || stored == code_disqualified || stored == code_no_rank || stored == no_time;
}

namespace {
// The index of a number counted from 1; outside 1 to count raises 9.
std::size_t Index_Of(int number, int count) {
  if (number < 1 || number > count)
    Raise(Err_Subscript, Failure_Description(Err_Subscript));
  return static_cast<std::size_t>(number - 1);
}
} // namespace

Header_Box &Heat_Results::Box(int box) { return boxes[Index_Of(box, header_boxes)]; }
const Header_Box &Heat_Results::Box(int box) const { return boxes[Index_Of(box, header_boxes)]; }

void Clear_all_Results(Heat_Results &results) {
  for (Header_Box &box : results.boxes) {
    box.heat_frame = 0;
    box.heat_time = 0;
    box.split_time = 0;
    box.click_time = 0;
    box.dead_heat = false;
  }
}

Result_Record &Result_Array::operator()(int row) { return rows_[Index_Of(row, heat_boxes)]; }
const Result_Record &Result_Array::operator()(int row) const { return rows_[Index_Of(row, heat_boxes)]; }

Result_Array Load_Result_Array(const Heat_Results &results) {
  Result_Array table;
  for (int n = 1; n <= heat_boxes; ++n) {
    const Header_Box &box = results.Box(n);
    Result_Record &row = table(n);
    row.Box = static_cast<std::int16_t>(n);
    row.Heat_time = box.heat_time == 0 ? no_time : box.heat_time;
    row.Split_time = box.split_time == 0 ? no_time : box.split_time;
    row.Click_time = box.click_time;
    row.Dog_Name = box.dog_name;
    row.Dead_heat = box.dead_heat;
  }
  return table;
}

namespace {
// Real times first, then the codes in their numeric order.
int Time_Class(std::int32_t stored) {
  switch (stored) {
  case code_did_not_finish:
    return 1;
  case code_disqualified:
    return 2;
  case code_no_rank:
    return 3;
  case no_time:
    return 4;
  default:
    return 0;
  }
}

// Click times are ticks of the wrapping counter, so their signed order breaks every time
// the tick passes from its largest positive value to its most negative one. The clicks of
// one heat's judging lie well within half the counter's cycle: the earliest of them is the
// one that follows the widest gap round the cycle, and each click's distance from it orders
// them.
std::uint32_t Earliest_Click(std::vector<std::uint32_t> clicks) {
  std::sort(clicks.begin(), clicks.end());
  std::size_t earliest = 0;
  std::uint32_t widest = 0;
  for (std::size_t i = 0; i < clicks.size(); ++i) {
    const std::uint32_t previous = clicks[(i + clicks.size() - 1) % clicks.size()];
    const std::uint32_t gap = clicks[i] - previous; // round the cycle for i = 0
    if (gap > widest) {
      widest = gap;
      earliest = i;
    }
  }
  return clicks[earliest];
}

struct Sort_Key {
  int time_class;
  std::int32_t time;
  std::uint32_t click_order;
  auto operator<=>(const Sort_Key &) const = default;
};
} // namespace

void Sort_Result_Array(Result_Array &table) {
  std::vector<Result_Record> rows;
  for (int n = 1; n <= heat_boxes; ++n)
    rows.push_back(table(n));
  std::vector<std::pair<Sort_Key, Result_Record>> keyed;
  for (const Result_Record &row : rows) {
    std::vector<std::uint32_t> group;
    for (const Result_Record &other : rows)
      if (other.Heat_time == row.Heat_time)
        group.push_back(static_cast<std::uint32_t>(other.Click_time));
    const std::uint32_t order = static_cast<std::uint32_t>(row.Click_time) - Earliest_Click(group);
    keyed.push_back({Sort_Key{Time_Class(row.Heat_time), row.Heat_time, order}, row});
  }
  // Stable, as an exchange of neighbours only when strictly out of order would be.
  std::stable_sort(keyed.begin(), keyed.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
  for (int n = 1; n <= heat_boxes; ++n)
    table(n) = keyed[static_cast<std::size_t>(n - 1)].second;
}
