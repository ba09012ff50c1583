#pragma once
// The stamps of a captured frame: the 32-bit tick of the capture moment and the local time
// of day of that same moment, found by going back from now by the frame's age.

#include <cstdint>

struct Capture_Stamp {
  std::int32_t tick = 0;
  std::int32_t local_ms = 0;
};

// capture_monotonic_ms: CLOCK_MONOTONIC milliseconds of the capture moment.
Capture_Stamp Stamp_Of_Capture(std::uint64_t capture_monotonic_ms);
