#pragma once
// The demonstration: one whole heat recorded with nobody present. The test track runs, the
// simulated kit gives the start signal and holds the capture switch across the finish of
// the track's next race, and the heat is finished. Needs a main window loaded with the
// simulated kit.

#include <QString>
#include <cstdint>
#include <functional>

class Form_Lurcher;

struct Race_Demo_Result {
  bool ok = false;
  QString failure;   // what went wrong when not ok
  QString heat_file; // the recorded heat
  std::int32_t start_tick = 0;
  QString truth; // the test track's "box tick" lines of the recorded race
  double append_seconds = 0;
  std::int32_t frames = 0;
};

class Race_Demo {
public:
  explicit Race_Demo(Form_Lurcher &form) : form_(form) {}

  Race_Demo_Result Run();
  // The test track's source and format chosen in the settings, before the window loads.
  static void Choose_Test_Track();
  // Processes events until done() or timeout_ms passed; false on the timeout.
  static bool Wait_For(const std::function<bool()> &done, std::int32_t timeout_ms);

private:
  void Set_Input(int index, bool on);
  QString Track_Truth();
  bool Record_Heat(Race_Demo_Result &result);

  Form_Lurcher &form_;
};
