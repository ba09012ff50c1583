#pragma once
// The races of the test track: one every 20 seconds while it runs. Each race is drawn from
// the seed and the race's number alone, so a seed replays the same races. Six dogs cross
// the goal line at constant speed; finishes are close, with an occasional dead heat.

#include <QString>
#include <array>
#include <cstdint>

struct Test_Track_Dog {
  int box = 0; // 1..6
  // CLOCK_MONOTONIC milliseconds at which the nose reaches the goal line.
  std::int64_t cross_ms = 0;
  // Speed in picture widths per millisecond.
  double widths_per_ms = 0;
};

struct Test_Track_Race {
  std::int64_t number = 0;
  std::int64_t start_ms = 0;
  std::array<Test_Track_Dog, 6> dogs{}; // by box: dogs[0] is box 1

  static constexpr std::int64_t period_ms = 20000;

  // One line per dog, by box: "box tick".
  QString Truth_Text() const;
};

// The race that starts at start_ms, the number-th of the run.
Test_Track_Race Plan_Test_Track_Race(std::uint64_t seed, std::int64_t number, std::int64_t start_ms);
