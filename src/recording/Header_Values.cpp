#include "recording/Header_Values.h"

#include "support/Failure.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace {
enum class Parsed { Number, Not_A_Number, Too_Large };

Parsed Parse_Whole(const QString &text, long long &value) {
  const QString t = text.trimmed();
  qsizetype i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
    negative = t[i++] == QLatin1Char('-');
  if (i == t.size())
    return Parsed::Not_A_Number;
  // Accumulate negatively so the most negative 64-bit value fits.
  constexpr long long lowest = std::numeric_limits<long long>::min();
  long long acc = 0;
  bool too_large = false;
  for (; i < t.size(); ++i) {
    const char16_t c = t[i].unicode();
    if (c < u'0' || c > u'9')
      return Parsed::Not_A_Number;
    const int digit = c - u'0';
    if (acc < (lowest + digit) / 10)
      too_large = true;
    else
      acc = acc * 10 - digit;
  }
  if (too_large || (!negative && acc == lowest))
    return Parsed::Too_Large;
  value = negative ? acc : -acc;
  return Parsed::Number;
}
} // namespace

long long Header_Number(const QString &text) {
  long long value = 0;
  switch (Parse_Whole(text, value)) {
  case Parsed::Number:
    return value;
  case Parsed::Too_Large:
    Raise(Err_Overflow, Failure_Description(Err_Overflow));
  case Parsed::Not_A_Number:
    break;
  }
  Raise(Err_Type_Mismatch, Failure_Description(Err_Type_Mismatch));
}

bool Read_Header_Int32(const QString &text, std::int32_t &value) {
  long long v = 0;
  if (Parse_Whole(text, v) != Parsed::Number || v < std::numeric_limits<std::int32_t>::min() ||
      v > std::numeric_limits<std::int32_t>::max())
    return false;
  value = static_cast<std::int32_t>(v);
  return true;
}

bool Is_Header_Numeric(const QString &text) {
  bool ok = false;
  const double d = QLocale::c().toDouble(text.trimmed(), &ok);
  return ok && std::isfinite(d);
}
