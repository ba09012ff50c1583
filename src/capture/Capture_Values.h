#pragma once
// The value names every backend answers alike: format numbers, the interval limits of a
// source's formats and the rate cap.

#include "capture/Capture_Component.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace Capture_Values {
// "getAMTnn" (any case): the format number nn; nullopt for another name or a bad number.
std::optional<int> Format_Number_Of_GetAMT(const QString &lower_key);
// The longest or the shortest frame time of the formats in 100-ns units; "0" without any.
QString Interval_Text(const std::vector<Capture_Format> &formats, bool longest);
// "CaptureFps" value: the cap's interval in nanoseconds (0: no cap); nullopt when refused.
std::optional<std::int64_t> Rate_Cap_Interval_Ns(const QString &value);
// The format of that number, if the list has it.
std::optional<Capture_Format> Format_At(const std::vector<Capture_Format> &formats, int format_number);
// "Lurcher capture 1.0 (backend)"
QString Build_Number(const QString &backend);
} // namespace Capture_Values
