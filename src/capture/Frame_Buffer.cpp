#include "capture/Frame_Buffer.h"

#include "recording/CVideobuff_RGB.h"

#include <QFile>
#include <QRegularExpression>
#include <limits>

namespace {
constexpr int refresh_every_records = 25; // about once a second at 25 frames per second
constexpr std::int64_t no_bound = std::numeric_limits<std::int64_t>::max();

struct Tracking {
  std::optional<std::int64_t> fixed_limit;
  std::int64_t budget = no_bound;
  bool budget_known = false;
  int records_since_refresh = 0;
  std::size_t counted_items = 0;
  std::int64_t counted_bytes = 0;
};

Tracking &State() {
  static Tracking tracking;
  return tracking;
}

std::int64_t Meminfo_Kb(const QString &text, const QString &key) {
  const QRegularExpression line(QStringLiteral("^%1:\\s*(\\d+)").arg(key), QRegularExpression::MultilineOption);
  const QRegularExpressionMatch m = line.match(text);
  return m.hasMatch() ? m.captured(1).toLongLong() : 0;
}
} // namespace

namespace Frame_Buffer {
Memory_State Read_Memory_State() {
  QFile file(QStringLiteral("/proc/meminfo"));
  if (!file.open(QIODevice::ReadOnly))
    return {};
  const QString text = QString::fromLatin1(file.readAll());
  return {Meminfo_Kb(text, QStringLiteral("MemTotal")) * 1024, Meminfo_Kb(text, QStringLiteral("MemAvailable")) * 1024};
}

std::int64_t Budget_For(const Memory_State &memory, std::int64_t held_bytes) {
  if (memory.total <= 0)
    return no_bound;
  const std::int64_t spare = memory.available - memory.total / 4;
  return held_bytes + (spare > 0 ? spare : 0);
}

void Set_Memory_Limit(std::optional<std::int64_t> bytes) {
  State().fixed_limit = bytes;
  State().budget_known = false;
}

std::optional<std::int64_t> Memory_Limit() { return State().fixed_limit; }

std::int64_t Held_Bytes() {
  Tracking &t = State();
  const Frame_Buffer_List &list = Frame_Buffers();
  // The list is filled here but emptied elsewhere; count again whenever it changed behind us.
  if (list.size() < t.counted_items || list.size() > t.counted_items + 1 || list.empty()) {
    t.counted_items = 0;
    t.counted_bytes = 0;
  }
  for (std::size_t i = t.counted_items; i < list.size(); ++i)
    t.counted_bytes += list[i] ? list[i]->RGB_Length() : 0;
  t.counted_items = list.size();
  return t.counted_bytes;
}

void Refresh_Budget() {
  Tracking &t = State();
  t.budget = t.fixed_limit ? *t.fixed_limit : Budget_For(Read_Memory_State(), Held_Bytes());
  t.budget_known = true;
  t.records_since_refresh = 0;
}

bool Room_For(std::int64_t record_bytes) {
  Tracking &t = State();
  if (!t.budget_known || ++t.records_since_refresh >= refresh_every_records)
    Refresh_Budget();
  return Held_Bytes() + record_bytes <= t.budget;
}
} // namespace Frame_Buffer
