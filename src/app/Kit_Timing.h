#pragma once
// Elapsed time for the "within N ms after" rules of race control, and the grace periods after
// start-up. The kit reports every input once when it attaches, and a capture switch left on
// would end a capture nobody started; both are absorbed here.
//
// The 32-bit tick wraps every 49.7 days and its signed difference turns negative after 24.9,
// so an elapsed time is never judged on the tick alone: a tick is placed on the clock's
// full-width count (it was taken less than one cycle ago), and start-up keeps its full moment.

#include <cstdint>

namespace Kit_Timing {
// Input changes arriving this long or less after Startup_Time are ignored.
constexpr std::int32_t Input_Grace_ms = 999;
// A capture end this long or less after Startup_Time is skipped.
constexpr std::int32_t Capture_End_Grace_ms = 2999;

// The full-width moment (milliseconds on the installed clock) of a tick taken within the
// last 49.7 days. A tick that lies ahead of the clock counts as one cycle old.
std::int64_t Moment_Of(std::int32_t tick);

// Globals::Startup_Time := the tick now, with its full-width moment kept beside it.
void Mark_Startup();
// How long after start-up the tick was taken; negative for a tick from before it. A
// Startup_Time set without Mark_Startup is taken as a recent tick.
std::int64_t Ms_After_Startup(std::int32_t tick);

bool In_Input_Grace(std::int32_t tick);
bool In_Capture_End_Grace(std::int32_t tick);
} // namespace Kit_Timing
