#include "app/Kit_Timing.h"

#include "support/Clock.h"
#include "support/Globals.h"

namespace Kit_Timing {
bool In_Input_Grace(std::int32_t tick) { return Ticks_Between(Globals::Startup_Time, tick) <= Input_Grace_ms; }

bool In_Capture_End_Grace(std::int32_t tick) {
  return Ticks_Between(Globals::Startup_Time, tick) <= Capture_End_Grace_ms;
}
} // namespace Kit_Timing
