#pragma once
// The one clock of the program: a 32-bit millisecond tick on CLOCK_MONOTONIC that wraps
// like the counter it stands for, and the local time of day. Tests drive it through
// Set_Clock; every stamp in a heat comes from here.

#include <QDateTime>
#include <cstdint>

class Clock {
public:
  virtual ~Clock() = default;
  virtual std::uint64_t Monotonic_Ms() const = 0; // milliseconds since boot
  virtual QDateTime Local_Now() const = 0;
};

class System_Clock final : public Clock {
public:
  std::uint64_t Monotonic_Ms() const override;
  QDateTime Local_Now() const override;
};

// A clock tests set and advance by hand.
class Manual_Clock final : public Clock {
public:
  explicit Manual_Clock(std::uint64_t ms = 0, QDateTime local = QDateTime(QDate(2018, 5, 23), QTime(12, 18, 54)))
      : ms_(ms), local_(std::move(local)) {}
  std::uint64_t Monotonic_Ms() const override { return ms_; }
  QDateTime Local_Now() const override { return local_; }
  void Set(std::uint64_t ms) { ms_ = ms; }
  void Set_Local(const QDateTime &local) { local_ = local; }
  void Advance(std::uint64_t ms) {
    ms_ += ms;
    local_ = local_.addMSecs(static_cast<qint64>(ms));
  }

private:
  std::uint64_t ms_;
  QDateTime local_;
};

// Installs a clock (nullptr: the system clock). The caller keeps ownership.
void Set_Clock(const Clock *clock);
const Clock &Current_Clock();

// The 32-bit millisecond tick. Durations are always Ticks_Between of two ticks.
std::int32_t Tick();
// later - earlier on the wrapping 32-bit counter.
std::int32_t Ticks_Between(std::int32_t earlier, std::int32_t later);
// Milliseconds since boot as a 32-bit tick value, from a monotonic millisecond count.
std::int32_t Tick_From_Monotonic_Ms(std::uint64_t ms);

// Local time of day in milliseconds since midnight.
std::int32_t Ms_Of_Day();
