#include "judging/Heat_Time.h"

#include "support/Checked.h"
#include "support/Clock.h"
#include "support/Failure.h"

#include <QLocale>
#include <cmath>

Heat_Timing Review_Timing(std::int32_t start_tick, bool interlaced, const QString &compensation) {
  // The same reading as the header's own test of a number.
  bool ok = false;
  const double value = QLocale::c().toDouble(compensation.trimmed(), &ok);
  if (!ok || !std::isfinite(value))
    Raise(Err_Type_Mismatch, QStringLiteral("Compensation is not a number: ") + compensation);
  return {start_tick, interlaced, value};
}

QString Review_Compensation(const QString &goal_compensation, const QString &split_compensation,
                            std::int16_t line_index) {
  return line_index == 2 ? split_compensation : goal_compensation;
}

std::int32_t Heat_Elapsed_AR(const Heat_Timing &timing, std::int32_t capture_tick, std::int16_t field_to_show) {
  // Each step is a 32-bit value, as the displayed time is.
  std::int32_t elapsed = Ticks_Between(timing.start_tick, capture_tick);
  elapsed = Checked_32(static_cast<long long>(elapsed) + chain_delay_ms);
  if (timing.interlaced && field_to_show == 2)
    elapsed = Checked_32(static_cast<long long>(elapsed) + field_gap_ms);
  // A compensation ending in .5 is exact in double, so the difference is a true half and
  // rounds to even.
  return Checked_32(Round_Half_Even(static_cast<double>(elapsed) - timing.compensation_ms));
}

bool Slider_Counts_Fields(bool interlaced) { return interlaced; }

std::int32_t Slider_Max(bool counts_fields, std::int32_t num_frames) {
  if (num_frames <= 0)
    return 0;
  return counts_fields ? Checked_32(2LL * num_frames) : num_frames;
}

Review_Image Image_At(std::int32_t position, bool counts_fields) {
  if (position < 1)
    Raise(Err_Subscript, Failure_Description(Err_Subscript));
  if (!counts_fields)
    return {position, whole_frame};
  return {static_cast<std::int32_t>((static_cast<long long>(position) + 1) / 2),
          static_cast<std::int16_t>(position % 2 == 1 ? 1 : 2)};
}

std::int32_t Slider_Position(Review_Image image, bool counts_fields) {
  if (image.frame < 1)
    Raise(Err_Subscript, Failure_Description(Err_Subscript));
  if (!counts_fields)
    return image.frame;
  return Checked_32(2LL * image.frame - (image.field == 2 ? 0 : 1));
}
