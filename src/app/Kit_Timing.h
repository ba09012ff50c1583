#pragma once
// The grace periods after start-up. The kit reports every input once when it attaches, and
// a capture switch left on would end a capture nobody started; both are absorbed here.

#include <cstdint>

namespace Kit_Timing {
// Input changes arriving this long or less after Startup_Time are ignored.
constexpr std::int32_t Input_Grace_ms = 999;
// A capture end this long or less after Startup_Time is skipped.
constexpr std::int32_t Capture_End_Grace_ms = 2999;

bool In_Input_Grace(std::int32_t tick);
bool In_Capture_End_Grace(std::int32_t tick);
} // namespace Kit_Timing
