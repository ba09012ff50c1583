#pragma once
// Caps the delivered rate by dropping frames, never by re-timing them: a frame passes when
// it is due on a grid of the wanted interval, with half a source interval of slack so that
// a 30 fps source capped at 25 still delivers 25 on average and a 50 fps source every other
// frame. Frames dropped here are a choice, not a loss.

#include <cstdint>

class Capture_Rate_Cap {
public:
  // interval_ns 0 lifts the cap. source_interval_ns is the device's own frame time.
  void Reset(std::int64_t interval_ns, std::int64_t source_interval_ns);
  // Whether the frame captured at time_ns (monotonic) is delivered.
  bool Pass(std::int64_t time_ns);

private:
  std::int64_t interval_ns_ = 0;
  std::int64_t slack_ns_ = 0;
  std::int64_t next_due_ns_ = 0;
  bool started_ = false;
};
