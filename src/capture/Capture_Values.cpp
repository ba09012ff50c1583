#include "capture/Capture_Values.h"

#include <algorithm>

namespace Capture_Values {
std::optional<int> Format_Number_Of_GetAMT(const QString &lower_key) {
  if (!lower_key.startsWith(QLatin1String("getamt")))
    return std::nullopt;
  bool ok = false;
  const int n = lower_key.mid(6).toInt(&ok);
  return ok ? std::optional<int>(n) : std::nullopt;
}

QString Interval_Text(const std::vector<Capture_Format> &formats, bool longest) {
  if (formats.empty())
    return QStringLiteral("0");
  std::int64_t value = formats.front().frame_time_100ns;
  for (const Capture_Format &format : formats)
    value = longest ? std::max(value, format.frame_time_100ns) : std::min(value, format.frame_time_100ns);
  return QString::number(value);
}

std::optional<std::int64_t> Rate_Cap_Interval_Ns(const QString &value) {
  bool ok = false;
  const int fps = value.trimmed().toInt(&ok);
  if (!ok || fps < 0)
    return std::nullopt;
  return fps == 0 ? 0 : 1000000000LL / fps;
}

std::optional<Capture_Format> Format_At(const std::vector<Capture_Format> &formats, int format_number) {
  if (format_number < 0 || static_cast<std::size_t>(format_number) >= formats.size())
    return std::nullopt;
  return formats[static_cast<std::size_t>(format_number)];
}

QString Build_Number(const QString &backend) { return QStringLiteral("Lurcher capture 1.0 (%1)").arg(backend); }
} // namespace Capture_Values
