#include "judging/Review_Navigation.h"

#include "support/Failure.h"

#include <utility>

Review_Navigation::Review_Navigation(std::vector<std::int32_t> capture_ticks, Heat_Timing timing)
    : ticks_(std::move(capture_ticks)), timing_(timing) {}

std::int32_t Review_Navigation::Slider_Max() const {
  return ::Slider_Max(Counts_Fields(), static_cast<std::int32_t>(ticks_.size()));
}

std::int32_t Review_Navigation::Heat_Time_At(std::int32_t position) const {
  if (position < 1 || position > Slider_Max())
    Raise(Err_Subscript, Failure_Description(Err_Subscript));
  const Review_Image image = Image_At(position, Counts_Fields());
  return Heat_Elapsed_AR(timing_, ticks_[static_cast<std::size_t>(image.frame - 1)], image.field);
}

bool Review_Navigation::Time_At(std::int32_t position, std::int32_t &heat_ms) const {
  try {
    heat_ms = Heat_Time_At(position);
    return true;
  } catch (const Lurcher_Failure &failure) {
    if (failure.Number() != Err_Overflow)
      throw;
    return false;
  }
}

std::int32_t Review_Navigation::Goto_Time(std::int32_t target_ms) const {
  const std::int32_t last = Slider_Max();
  for (std::int32_t position = 1; position <= last; ++position) {
    std::int32_t heat_ms = 0;
    if (Time_At(position, heat_ms) && heat_ms >= target_ms)
      return position;
  }
  return last;
}

std::int32_t Review_Navigation::Goto_Goal() const {
  const std::int32_t last = Slider_Max();
  std::int32_t position = 0;
  for (std::int32_t step = 1; step <= last; step += goal_search_step) {
    position = step;
    std::int32_t heat_ms = 0;
    if (Time_At(step, heat_ms) && heat_ms > goal_area_ms)
      break;
  }
  return position;
}
