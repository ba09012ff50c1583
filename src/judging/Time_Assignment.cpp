#include "judging/Time_Assignment.h"

#include "support/Checked.h"
#include "support/Clock.h"
#include "support/Failure.h"

QString No_Time_Caption(No_Time_Reason reason) {
  switch (reason) {
  case No_Time_Reason::Disqualified:
    return QStringLiteral("DSQ");
  case No_Time_Reason::Did_Not_Finish:
    return QStringLiteral("DNF");
  case No_Time_Reason::No_Rank:
    return QStringLiteral("No Rnk");
  case No_Time_Reason::None:
    break;
  }
  return QStringLiteral("No Time");
}

namespace {
std::int32_t No_Time_Code(No_Time_Reason reason) {
  switch (reason) {
  case No_Time_Reason::Disqualified:
    return code_disqualified;
  case No_Time_Reason::Did_Not_Finish:
    return code_did_not_finish;
  case No_Time_Reason::No_Rank:
    return code_no_rank;
  case No_Time_Reason::None:
    break;
  }
  Raise(Err_Invalid_Call, QStringLiteral("No reason chosen for \"No Time\""));
}
} // namespace

Assignment_Plan Plan_Box_Assignment(const Box_Press &press, const Judging_Toggles &toggles) {
  if (press.box < 1 || press.box > header_boxes)
    Raise(Err_Subscript, Failure_Description(Err_Subscript));
  Assignment_Plan plan;
  plan.toggles_after = toggles;
  if (press.read_only) {
    plan.refusal = read_only_refusal;
    return plan;
  }
  const bool goal = !toggles.split_mode;
  // Writing the shown time and failing on the missing code afterwards would leave a real
  // time on a dog that was to have none, to be saved with the next change.
  if (goal && toggles.no_time && toggles.no_time_reason == No_Time_Reason::None) {
    plan.refusal = no_reason_refusal;
    return plan;
  }

  Box_Assignment &a = plan.assignment;
  a.box = press.box;
  a.split = !goal;
  a.time = toggles.plus_hundredth ? Checked_32(static_cast<long long>(press.heat_elapsed_ms) + plus_hundredth_ms)
                                  : press.heat_elapsed_ms;
  a.frame = Checked_16(press.slider_position);
  plan.toggles_after.plus_hundredth = false;
  if (goal) {
    a.click_time = press.click_tick;
    a.dead_heat = toggles.dead_heat;
    plan.toggles_after.dead_heat = false;
    if (toggles.no_time) {
      a.time = No_Time_Code(toggles.no_time_reason);
      plan.toggles_after.no_time = false;
    }
  }
  return plan;
}

void Apply_Assignment(Heat_Results &results, const Box_Assignment &assignment) {
  Header_Box &box = results.Box(assignment.box);
  if (assignment.split) {
    box.split_time = assignment.time;
    box.split_frame = assignment.frame;
    return;
  }
  box.heat_time = assignment.time;
  box.heat_frame = assignment.frame;
  box.click_time = assignment.click_time;
  box.dead_heat = assignment.dead_heat;
}

std::array<bool, heat_boxes> Timed_Boxes(const Heat_Results &results, bool split_mode) {
  std::array<bool, heat_boxes> timed{};
  for (int box = 1; box <= heat_boxes; ++box) {
    const Header_Box &values = results.Box(box);
    timed[static_cast<std::size_t>(box - 1)] = (split_mode ? values.split_time : values.heat_time) > 0;
  }
  return timed;
}

QString Split_Button_Caption(bool split_mode) { return split_mode ? QStringLiteral("Goal") : QStringLiteral("Split"); }

QString Settimes_Caption(bool split_mode) {
  return split_mode ? QStringLiteral("Set Split times") : QStringLiteral("Set Goal times");
}

bool Click_Ignore_Window::Accept(std::int32_t tick) {
  if (last_) {
    const std::int32_t since = Ticks_Between(*last_, tick);
    if (since >= 0 && since < window_ms_)
      return false;
  }
  last_ = tick;
  return true;
}
