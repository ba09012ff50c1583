#include "capture/Capture_Rate_Cap.h"

void Capture_Rate_Cap::Reset(std::int64_t interval_ns, std::int64_t source_interval_ns) {
  interval_ns_ = interval_ns > 0 ? interval_ns : 0;
  slack_ns_ = source_interval_ns > 0 ? source_interval_ns / 2 : 0;
  next_due_ns_ = 0;
  started_ = false;
}

bool Capture_Rate_Cap::Pass(std::int64_t time_ns) {
  if (interval_ns_ == 0)
    return true;
  if (started_ && time_ns < next_due_ns_ - slack_ns_)
    return false;
  // After a long gap restart the grid at this frame instead of letting a burst through.
  if (!started_ || time_ns - next_due_ns_ > interval_ns_)
    next_due_ns_ = time_ns;
  next_due_ns_ += interval_ns_;
  started_ = true;
  return true;
}
