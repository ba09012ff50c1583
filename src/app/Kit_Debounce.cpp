#include "app/Kit_Debounce.h"

#include "app/Kit_Timing.h"

bool Kit_Debounce::Accept(std::int32_t tick) {
  const std::int64_t moment = Kit_Timing::Moment_Of(tick);
  // A tick before the last accepted one (a stamp that arrived late) is no new use either.
  if (last_ && moment - *last_ <= window_ms_)
    return false;
  last_ = moment;
  return true;
}
