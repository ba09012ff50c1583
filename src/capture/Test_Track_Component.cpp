#include "capture/Test_Track_Component.h"

#include "capture/Capture_Values.h"
#include "support/Trace.h"

Test_Track_Component::~Test_Track_Component() {
  Stop();
  delivery_.Set_Sink(nullptr);
}

bool Test_Track_Component::SelectSource(const QString &name) {
  last_error_.clear();
  if (name.compare(QLatin1String("video:1"), Qt::CaseInsensitive) != 0)
    return Refuse(QStringLiteral("Video source %1 not found").arg(name));
  Stop();
  selected_ = true;
  format_ = 0;
  return true;
}

std::optional<Capture_Format> Test_Track_Component::Format_Record(int format_number) const {
  return selected_ ? Capture_Values::Format_At(Test_Track_Source::Formats(), format_number) : std::nullopt;
}

QString Test_Track_Component::GetValue(const QString &name) {
  const QString key = name.toLower();
  if (key == QLatin1String("buildnumber"))
    return Capture_Values::Build_Number(QStringLiteral("test track"));
  const std::vector<Capture_Format> formats = selected_ ? Test_Track_Source::Formats() : std::vector<Capture_Format>{};
  if (key == QLatin1String("sourcefriendlyname"))
    return selected_ ? Friendly_Name() : QString();
  if (key == QLatin1String("sourcedescription"))
    return selected_ ? Test_Track_Source::Description() : QString();
  if (key == QLatin1String("numprops"))
    return QString::number(formats.size());
  if (const std::optional<int> n = Capture_Values::Format_Number_Of_GetAMT(key)) {
    if (Format_Record(*n))
      return QString::number(*n);
    last_error_ = QStringLiteral("Format %1 does not exist").arg(key.mid(6));
    return {};
  }
  if (key == QLatin1String("getprop") || key == QLatin1String("videoinfoheader"))
    return Current_Format() ? QString::number(format_) : QString();
  if (key == QLatin1String("maxinterval") || key == QLatin1String("mininterval"))
    return Capture_Values::Interval_Text(formats, key == QLatin1String("maxinterval"));
  if (key == QLatin1String("tracktruth"))
    return track_.Truth_Text();
  last_error_ = QStringLiteral("Unknown value %1").arg(name);
  return {};
}

bool Test_Track_Component::SetValue(const QString &name, const QString &value) {
  last_error_.clear();
  const QString key = name.toLower();
  if (key == QLatin1String("setformat"))
    return Set_Format(value);
  if (key == QLatin1String("capturefps")) {
    const std::optional<std::int64_t> interval = Capture_Values::Rate_Cap_Interval_Ns(value);
    if (!interval)
      return Refuse(QStringLiteral("CaptureFps %1 is not a frame rate").arg(value));
    cap_interval_ns_ = *interval;
    return true;
  }
  if (key == QLatin1String("getintervals"))
    return true;
  if (key == QLatin1String("trackseed")) {
    bool ok = false;
    const qulonglong seed = value.trimmed().toULongLong(&ok);
    if (!ok)
      return Refuse(QStringLiteral("TrackSeed %1 is not a number").arg(value));
    track_.Set_Seed(seed);
    return true;
  }
  return Refuse(QStringLiteral("Unknown value %1").arg(name));
}

bool Test_Track_Component::Run() {
  last_error_.clear();
  Stop();
  selected_ = true; // the one source, as a fresh component would have it
  const std::optional<Capture_Format> format = Current_Format();
  delivery_.Open();
  if (format && track_.Start(*format, cap_interval_ns_)) {
    Write_Trace("*Capture component running:", Friendly_Name(), format_);
    return true;
  }
  delivery_.Close();
  Refuse(QStringLiteral("The test track cannot start"));
  Write_Trace("*Capture component failed to run:", last_error_);
  return false;
}

void Test_Track_Component::Stop() {
  track_.Stop();
  delivery_.Close();
}
