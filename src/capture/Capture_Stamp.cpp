#include "capture/Capture_Stamp.h"

#include "support/Clock.h"

namespace {
constexpr std::int64_t ms_per_day = 86400000;
} // namespace

Capture_Stamp Stamp_Of_Capture(std::uint64_t capture_monotonic_ms) {
  Capture_Stamp stamp;
  stamp.tick = Tick_From_Monotonic_Ms(capture_monotonic_ms);
  const std::int64_t age_ms =
      static_cast<std::int64_t>(Current_Clock().Monotonic_Ms()) - static_cast<std::int64_t>(capture_monotonic_ms);
  std::int64_t local = (std::int64_t{Ms_Of_Day()} - age_ms) % ms_per_day;
  if (local < 0)
    local += ms_per_day;
  stamp.local_ms = static_cast<std::int32_t>(local);
  return stamp;
}
