#include "capture/Module_HDMI_Support.h"

#include "support/Checked.h"
#include "support/Failure.h"

#include <QLocale>

namespace {
const QString process_amt_location = QStringLiteral("Process_AMT of Module Module_HDMI_Support");
const QString get_prop_location = QStringLiteral("Get_Prop of Module Module_HDMI_Support");

QString Fps_Text(std::int64_t frame_time_100ns) {
  if (frame_time_100ns <= 0)
    Raise(Err_Division_By_Zero, Failure_Description(Err_Division_By_Zero));
  const double fps = 1000.0 / (static_cast<double>(frame_time_100ns) / 10000.0);
  const long long tenths = Round_Half_Even(fps * 10.0);
  if (tenths % 10 == 0)
    return QString::number(tenths / 10);
  return QString::number(tenths / 10) + QLocale::system().decimalPoint() + QString::number(tenths % 10);
}
} // namespace

QString Process_AMT(const std::optional<Capture_Format> &format) {
  return Guarded(process_amt_location, QString(), [&] {
    if (!format)
      return QStringLiteral("Corrupt data!");
    return QString::number(format->width) + QLatin1Char('*') + QString::number(format->height) + QLatin1Char('/') +
           Fps_Text(format->frame_time_100ns);
  });
}

QString Get_Prop(Capture_Component &capture, int format_number) {
  return Guarded(get_prop_location, QString(), [&] {
    static_cast<void>(capture.GetValue(QStringLiteral("sourceFriendlyName")));
    static_cast<void>(capture.GetValue(QStringLiteral("sourceDescription")));
    const QString name = QStringLiteral("getAMT%1").arg(format_number, 2, 10, QLatin1Char('0'));
    if (capture.GetValue(name).isEmpty())
      return Process_AMT(std::nullopt);
    return Process_AMT(capture.Format_Record(format_number));
  });
}
