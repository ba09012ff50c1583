#include "capture/Gst_Capture_Component.h"

#include "capture/Capture_Values.h"
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

bool Gst_Capture_Component::SelectSource(const QString &name) {
  last_error_.clear();
  Ensure_Sources();
  const QString prefix = QStringLiteral("video:");
  bool ok = false;
  const int n = name.startsWith(prefix, Qt::CaseInsensitive) ? name.mid(prefix.size()).toInt(&ok) : 0;
  if (!ok || n < 1 || n > Source_Count())
    return Refuse(QStringLiteral("Video source %1 not found").arg(name));
  Stop();
  selected_ = n - 1;
  format_ = 0;
  return true;
}

int Gst_Capture_Component::Source_Count() {
  Ensure_Sources();
  return static_cast<int>(gst_sources_.size());
}

const Gst_Source *Gst_Capture_Component::Selected() const {
  if (selected_ >= 0 && static_cast<std::size_t>(selected_) < gst_sources_.size())
    return &gst_sources_[static_cast<std::size_t>(selected_)];
  return nullptr;
}

std::vector<Capture_Format> Gst_Capture_Component::Formats() const {
  const Gst_Source *source = Selected();
  return source ? source->formats : std::vector<Capture_Format>{};
}

std::optional<Capture_Format> Gst_Capture_Component::Format_Record(int format_number) const {
  return Capture_Values::Format_At(Formats(), format_number);
}

std::optional<Capture_Format> Gst_Capture_Component::Current_Format() const { return Format_Record(format_); }

QString Gst_Capture_Component::GetValue(const QString &name) {
  Ensure_Sources();
  const QString key = name.toLower();
  const Gst_Source *source = Selected();
  if (key == QLatin1String("sourcefriendlyname"))
    return source ? source->friendly_name : QString();
  if (key == QLatin1String("sourcedescription"))
    return source ? source->description : QString();
  if (key == QLatin1String("buildnumber")) {
    gchar *version = gst_version_string();
    const QString text = Capture_Values::Build_Number(QString::fromUtf8(version));
    g_free(version);
    return text;
  }
  if (key == QLatin1String("numprops"))
    return QString::number(Formats().size());
  if (key.startsWith(QLatin1String("getamt"))) {
    const std::optional<int> n = Capture_Values::Format_Number_Of_GetAMT(key);
    if (n && Format_Record(*n))
      return QString::number(*n);
    last_error_ = QStringLiteral("Format %1 does not exist").arg(key.mid(6));
    return {};
  }
  if (key == QLatin1String("getprop") || key == QLatin1String("videoinfoheader"))
    return Current_Format() ? QString::number(format_) : QString();
  if (key == QLatin1String("maxinterval") || key == QLatin1String("mininterval"))
    return Capture_Values::Interval_Text(Formats(), key == QLatin1String("maxinterval"));
  last_error_ = QStringLiteral("Unknown value %1").arg(name);
  return {};
}

bool Gst_Capture_Component::Set_Rate_Cap(const QString &value) {
  const std::optional<std::int64_t> interval = Capture_Values::Rate_Cap_Interval_Ns(value);
  if (!interval)
    return Refuse(QStringLiteral("CaptureFps %1 is not a frame rate").arg(value));
  cap_interval_ns_ = *interval;
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
  return Refuse(QStringLiteral("Unknown value %1").arg(name));
}

bool Gst_Capture_Component::Start_Selected() {
  const std::optional<Capture_Format> format = Current_Format();
  const Gst_Source *selected = Selected();
  if (!format || !selected)
    return Refuse(QStringLiteral("The video source has no format to capture"));
  const Gst_Source &source = *selected;
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
  delivery_.Close();
}

bool Gst_Capture_Component::Is_Running() const { return pipeline_.Running(); }

void Gst_Capture_Component::On_Source_Error(const QString &text) {
  last_error_ = text;
  Write_Trace("*Capture source failed:", text);
  pipeline_.Stop();
}
