#include "app/Kit_Debounce.h"

#include "support/Clock.h"

bool Kit_Debounce::Accept(std::int32_t tick) {
  // A tick before the last accepted one (a stamp that arrived late) is no new use either.
  if (last_ && Ticks_Between(*last_, tick) <= window_ms_)
    return false;
  last_ = tick;
  return true;
}
