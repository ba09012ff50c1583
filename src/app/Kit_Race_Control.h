#pragma once
// What the interface kit does to the race: the main window implements these with its
// heat recording cycle; tests with a recording fake.

#include <cstdint>

class Kit_Race_Control {
public:
  virtual ~Kit_Race_Control() = default;
  // The start signal, stamped with the tick at which it arrived.
  virtual void Handle_Start(std::int32_t tick) = 0;
  // Capture start and end, stamped like the start: a capture keeps the frames captured
  // between the two ticks.
  virtual void Handle_Capture_Start(std::int32_t tick) = 0;
  virtual void Handle_Capture_End(std::int32_t tick) = 0;
  // Redraws the Control Box from the kit's state.
  virtual void Check_Attached() = 0;
  // Stops every camera: a failing input handler must not leave frames coming in.
  virtual void Stop_All_Cameras() = 0;
};
