#include "capture/Gst_Capture_Component.h"

#include "support/Trace.h"

#include <gst/gst.h>

Gst_Capture_Component::Gst_Capture_Component() {
  delivery_.Set_Error_Handler([this](const QString &text) { On_Source_Error(text); });
}

Gst_Capture_Component::~Gst_Capture_Component() {
  Stop();
  delivery_.Set_Sink(nullptr);
}

void Gst_Capture_Component::Ensure_Sources() {
  if (enumerated_)
    return;
  enumerated_ = true;
  gst_sources_ = Gst_Enumerate_Sources();
}

std::int32_t Gst_Capture_Component::AdviseSink(IVideoCapEvent *sink) {
  if (!sink)
    return 0;
  cookie_ = next_cookie_++;
  delivery_.Set_Sink(sink);
  return cookie_;
}

void Gst_Capture_Component::UnadviseSink(std::int32_t cookie) {
  if (cookie != 0 && cookie == cookie_) {
    delivery_.Set_Sink(nullptr);
    cookie_ = 0;
  }
}

bool Gst_Capture_Component::Refuse(const QString &text) {
  last_error_ = text;
  return false;
}

bool Gst_Capture_Component::SelectSource(const QString &name) {
  last_error_.clear();
  Ensure_Sources();
  const QString prefix = QStringLiteral("video:");
  bool ok = false;
  const int n = name.startsWith(prefix, Qt::CaseInsensitive) ? name.mid(prefix.size()).toInt(&ok) : 0;
  const int count = static_cast<int>(gst_sources_.size()) + 1;
  if (!ok || n < 1 || n > count)
    return Refuse(QStringLiteral("Video source %1 not found").arg(name));
  Stop();
  selected_ = n - 1;
  format_ = 0;
  return true;
}

std::vector<Capture_Format> Gst_Capture_Component::Formats() const {
  if (Track_Selected())
    return Test_Track_Source::Formats();
  if (selected_ >= 0 && static_cast<std::size_t>(selected_) < gst_sources_.size())
    return gst_sources_[static_cast<std::size_t>(selected_)].formats;
  return {};
}

std::optional<Capture_Format> Gst_Capture_Component::Format_Record(int format_number) const {
  const std::vector<Capture_Format> formats = Formats();
  if (format_number < 0 || static_cast<std::size_t>(format_number) >= formats.size())
    return std::nullopt;
  return formats[static_cast<std::size_t>(format_number)];
}

std::optional<Capture_Format> Gst_Capture_Component::Current_Format() const { return Format_Record(format_); }

QString Gst_Capture_Component::Interval_Text(bool longest) const {
  const std::vector<Capture_Format> formats = Formats();
  if (formats.empty())
    return QStringLiteral("0");
  std::int64_t value = formats.front().frame_time_100ns;
  for (const Capture_Format &format : formats)
    value = longest ? std::max(value, format.frame_time_100ns) : std::min(value, format.frame_time_100ns);
  return QString::number(value);
}

QString Gst_Capture_Component::GetValue(const QString &name) {
  Ensure_Sources();
  const QString key = name.toLower();
  const bool track = Track_Selected();
  const Gst_Source *source = selected_ >= 0 && !track ? &gst_sources_[static_cast<std::size_t>(selected_)] : nullptr;
  if (key == QLatin1String("sourcefriendlyname"))
    return track ? Test_Track_Source::Friendly_Name() : source ? source->friendly_name : QString();
  if (key == QLatin1String("sourcedescription"))
    return track ? Test_Track_Source::Description() : source ? source->description : QString();
  if (key == QLatin1String("buildnumber")) {
    gchar *version = gst_version_string();
    const QString text = QStringLiteral("Lurcher capture 1.0 (%1)").arg(QString::fromUtf8(version));
    g_free(version);
    return text;
  }
  if (key == QLatin1String("numprops"))
    return QString::number(Formats().size());
  if (key.startsWith(QLatin1String("getamt"))) {
    bool ok = false;
    const int n = key.mid(6).toInt(&ok);
    if (ok && Format_Record(n))
      return QString::number(n);
    last_error_ = QStringLiteral("Format %1 does not exist").arg(key.mid(6));
    return {};
  }
  if (key == QLatin1String("getprop") || key == QLatin1String("videoinfoheader"))
    return Current_Format() ? QString::number(format_) : QString();
  if (key == QLatin1String("maxinterval") || key == QLatin1String("mininterval"))
    return Interval_Text(key == QLatin1String("maxinterval"));
  if (key == QLatin1String("tracktruth"))
    return track ? track_.Truth_Text() : QString();
  last_error_ = QStringLiteral("Unknown value %1").arg(name);
  return {};
}

bool Gst_Capture_Component::Set_Format(const QString &value) {
  bool ok = false;
  const int n = value.trimmed().toInt(&ok);
  if (!ok || !Format_Record(n))
    return Refuse(QStringLiteral("Format %1 does not exist").arg(value));
  format_ = n;
  // A running source changes format by starting again.
  if (Is_Running())
    return Run();
  return true;
}

bool Gst_Capture_Component::Set_Rate_Cap(const QString &value) {
  bool ok = false;
  const int fps = value.trimmed().toInt(&ok);
  if (!ok || fps < 0)
    return Refuse(QStringLiteral("CaptureFps %1 is not a frame rate").arg(value));
  cap_interval_ns_ = fps == 0 ? 0 : 1000000000LL / fps;
  return true;
}

bool Gst_Capture_Component::SetValue(const QString &name, const QString &value) {
  last_error_.clear();
  Ensure_Sources();
  const QString key = name.toLower();
  if (key == QLatin1String("setformat"))
    return Set_Format(value);
  if (key == QLatin1String("capturefps"))
    return Set_Rate_Cap(value);
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

bool Gst_Capture_Component::Start_Selected() {
  const std::optional<Capture_Format> format = Current_Format();
  if (!format)
    return Refuse(QStringLiteral("The video source has no format to capture"));
  if (Track_Selected())
    return track_.Start(*format, cap_interval_ns_) || Refuse(QStringLiteral("The test track cannot start"));
  const Gst_Source &source = gst_sources_[static_cast<std::size_t>(selected_)];
  QString error;
  if (!pipeline_.Start(source.device, source.caps[static_cast<std::size_t>(format_)], *format, cap_interval_ns_,
                       &error))
    return Refuse(error);
  return true;
}

bool Gst_Capture_Component::Run() {
  last_error_.clear();
  Ensure_Sources();
  Stop();
  if (selected_ < 0)
    selected_ = 0; // the first source, as a fresh component would have it
  delivery_.Open();
  if (Start_Selected()) {
    Write_Trace("*Capture component running:", GetValue(QStringLiteral("sourceFriendlyName")), format_);
    return true;
  }
  delivery_.Close();
  Write_Trace("*Capture component failed to run:", last_error_);
  return false;
}

void Gst_Capture_Component::Stop() {
  pipeline_.Stop();
  track_.Stop();
  delivery_.Close();
}

bool Gst_Capture_Component::Is_Running() const { return pipeline_.Running() || track_.Running(); }

void Gst_Capture_Component::On_Source_Error(const QString &text) {
  last_error_ = text;
  Write_Trace("*Capture source failed:", text);
  pipeline_.Stop();
  track_.Stop();
}
