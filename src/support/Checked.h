#pragma once
// 16- and 32-bit values keep their width where they are stored or passed: a value that
// does not fit is an overflow failure (6), never a silent wrap. Rounding takes halves to even.

#include "support/Failure.h"

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <source_location>

template <class Narrow>
Narrow Checked_Narrow(long long value, std::source_location where = std::source_location::current()) {
  if (value < std::numeric_limits<Narrow>::min() || value > std::numeric_limits<Narrow>::max())
    Raise(Err_Overflow, Failure_Description(Err_Overflow), where);
  return static_cast<Narrow>(value);
}

inline std::int16_t Checked_16(long long value, std::source_location where = std::source_location::current()) {
  return Checked_Narrow<std::int16_t>(value, where);
}

inline std::int32_t Checked_32(long long value, std::source_location where = std::source_location::current()) {
  return Checked_Narrow<std::int32_t>(value, where);
}

// Nearest integer, halves to even (2.5 -> 2, 3.5 -> 4). Out of 64-bit range is an overflow.
inline long long Round_Half_Even(double value, std::source_location where = std::source_location::current()) {
  if (!std::isfinite(value) || std::fabs(value) >= 9.2e18)
    Raise(Err_Overflow, Failure_Description(Err_Overflow), where);
  const double whole = std::floor(value);
  const double rest = value - whole;
  long long result = static_cast<long long>(whole);
  if (rest > 0.5 || (rest == 0.5 && (result % 2 != 0)))
    ++result;
  return result;
}

// Exact rounding of numerator / denominator, halves to even, for positive denominators.
inline long long Divide_Half_Even(long long numerator, long long denominator,
                                  std::source_location where = std::source_location::current()) {
  if (denominator == 0)
    Raise(Err_Division_By_Zero, Failure_Description(Err_Division_By_Zero), where);
  if (denominator < 0) {
    numerator = -numerator;
    denominator = -denominator;
  }
  long long q = numerator / denominator;
  long long r = numerator % denominator;
  if (r < 0) {
    --q;
    r += denominator;
  }
  const long long twice = 2 * r;
  if (twice > denominator || (twice == denominator && (q % 2 != 0)))
    ++q;
  return q;
}
