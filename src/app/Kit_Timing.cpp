#include "app/Kit_Timing.h"

#include "support/Clock.h"
#include "support/Globals.h"

namespace Kit_Timing {
namespace {
struct Startup_Mark {
  bool set = false;
  std::int32_t tick = 0;
  std::int64_t moment = 0;
};
Startup_Mark startup;
} // namespace

std::int64_t Moment_Of(std::int32_t tick) {
  const std::uint64_t now = Current_Clock().Monotonic_Ms();
  // Unsigned: a tick taken 24.9 to 49.7 days ago is that old, not in the future.
  const std::uint32_t age = static_cast<std::uint32_t>(Tick_From_Monotonic_Ms(now)) - static_cast<std::uint32_t>(tick);
  return static_cast<std::int64_t>(now) - static_cast<std::int64_t>(age);
}

void Mark_Startup() {
  const std::int64_t now = static_cast<std::int64_t>(Current_Clock().Monotonic_Ms());
  Globals::Startup_Time = Tick_From_Monotonic_Ms(static_cast<std::uint64_t>(now));
  startup = {true, Globals::Startup_Time, now};
}

std::int64_t Ms_After_Startup(std::int32_t tick) {
  const std::int64_t start =
      startup.set && startup.tick == Globals::Startup_Time ? startup.moment : Moment_Of(Globals::Startup_Time);
  return Moment_Of(tick) - start;
}

bool In_Input_Grace(std::int32_t tick) { return Ms_After_Startup(tick) <= Input_Grace_ms; }

bool In_Capture_End_Grace(std::int32_t tick) { return Ms_After_Startup(tick) <= Capture_End_Grace_ms; }
} // namespace Kit_Timing
