#pragma once
// The built-in test track: a source that needs no hardware. A thread of its own renders the
// finish-line scene in real time on the frame grid of CLOCK_MONOTONIC: frame k of a run is
// stamped exactly start + k x frame time and shows the scene at that moment (interlaced:
// field 2 shows it 20 ms later and the frame is handed over once field 2 is taken). A
// thread that wakes late catches up, as a device's buffer ring would; one that falls more
// than eight frames behind skips to the current grid point and counts the skipped frames as
// lost, so stamps stay on the grid either way.

#include "capture/Capture_Component.h"
#include "capture/Capture_Rate_Cap.h"
#include "capture/Frame_Delivery.h"
#include "capture/Test_Track_Race.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

class Test_Track_Source {
public:
  explicit Test_Track_Source(Frame_Delivery &delivery) : delivery_(delivery) {}
  ~Test_Track_Source();
  Test_Track_Source(const Test_Track_Source &) = delete;
  Test_Track_Source &operator=(const Test_Track_Source &) = delete;

  static QString Friendly_Name() { return QStringLiteral("Lurcher test track"); }
  static QString Description() { return QStringLiteral("Built-in finish-line scene, no hardware"); }
  static std::vector<Capture_Format> Formats();

  void Set_Seed(std::uint64_t seed);
  bool Start(const Capture_Format &format, std::int64_t cap_interval_ns);
  void Stop();
  bool Running() const { return thread_.joinable(); }

  // The latest race that has begun, one line per dog ("box tick"); empty before the first.
  QString Truth_Text() const;

private:
  void Run_Loop(Capture_Format format, std::int64_t start_ms);
  bool Wait_Until(std::int64_t monotonic_ms);
  const Test_Track_Race &Race_For(std::int64_t time_ms, std::int64_t start_ms);

  Frame_Delivery &delivery_;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  std::uint64_t seed_ = 0;
  std::int64_t run_start_ms_ = -1; // -1: not running
  Capture_Rate_Cap rate_cap_;
  Test_Track_Race current_race_;
  bool have_race_ = false;
};

// CLOCK_MONOTONIC milliseconds now.
std::int64_t Monotonic_Now_Ms();
