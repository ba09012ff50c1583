#include "support/Clock.h"

#include <atomic>
#include <ctime>

namespace {
const System_Clock system_clock;
std::atomic<const Clock *> current{&system_clock};
} // namespace

std::uint64_t System_Clock::Monotonic_Ms() const {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::uint64_t>(ts.tv_sec) * 1000u + static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
}

QDateTime System_Clock::Local_Now() const { return QDateTime::currentDateTime(); }

void Set_Clock(const Clock *clock) { current.store(clock ? clock : &system_clock); }

const Clock &Current_Clock() { return *current.load(); }

std::int32_t Tick_From_Monotonic_Ms(std::uint64_t ms) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(ms));
}

std::int32_t Tick() { return Tick_From_Monotonic_Ms(Current_Clock().Monotonic_Ms()); }

std::int32_t Ticks_Between(std::int32_t earlier, std::int32_t later) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(later) - static_cast<std::uint32_t>(earlier));
}

std::int32_t Ms_Of_Day() {
  const QTime t = Current_Clock().Local_Now().time();
  return t.hour() * 3600000 + t.minute() * 60000 + t.second() * 1000 + t.msec();
}
