#include "capture/Gst_Source_List.h"

#include "imaging/Image_Routines.h"
#include "support/Trace.h"

#include <QByteArray>
#include <algorithm>
#include <gst/gst.h>
#include <mutex>

namespace {

struct Rate {
  int num = 0;
  int den = 1;
};

std::int64_t Frame_Time_100ns(const Rate &rate) {
  if (rate.num <= 0 || rate.den <= 0)
    return 0;
  // 10,000,000 * den / num, rounded to nearest.
  return (std::int64_t{10000000} * rate.den + rate.num / 2) / rate.num;
}

std::vector<Rate> Rates_Of(const GstStructure *s) {
  std::vector<Rate> rates;
  const GValue *value = gst_structure_get_value(s, "framerate");
  if (!value)
    return rates;
  if (GST_VALUE_HOLDS_FRACTION(value)) {
    rates.push_back({gst_value_get_fraction_numerator(value), gst_value_get_fraction_denominator(value)});
  } else if (GST_VALUE_HOLDS_LIST(value)) {
    for (guint i = 0; i < gst_value_list_get_size(value); ++i) {
      const GValue *item = gst_value_list_get_value(value, i);
      if (GST_VALUE_HOLDS_FRACTION(item))
        rates.push_back({gst_value_get_fraction_numerator(item), gst_value_get_fraction_denominator(item)});
    }
  } else if (GST_VALUE_HOLDS_FRACTION_RANGE(value)) {
    // A free range: offer its fastest rate.
    const GValue *top = gst_value_get_fraction_range_max(value);
    rates.push_back({gst_value_get_fraction_numerator(top), gst_value_get_fraction_denominator(top)});
  }
  rates.erase(std::remove_if(rates.begin(), rates.end(), [](const Rate &r) { return r.num <= 0; }), rates.end());
  return rates;
}

// Fixed sizes only: a device with free size ranges is offered at their largest size.
int Size_Of(const GstStructure *s, const char *field) {
  const GValue *value = gst_structure_get_value(s, field);
  if (!value)
    return 0;
  if (G_VALUE_HOLDS_INT(value))
    return g_value_get_int(value);
  if (GST_VALUE_HOLDS_INT_RANGE(value))
    return gst_value_get_int_range_max(value);
  return 0;
}

QString Raw_Subtype(const GstStructure *s) {
  const GValue *value = gst_structure_get_value(s, "format");
  if (value && GST_VALUE_HOLDS_LIST(value) && gst_value_list_get_size(value) > 0)
    value = gst_value_list_get_value(value, 0);
  if (!value || !G_VALUE_HOLDS_STRING(value))
    return QStringLiteral("RAW");
  const QString format = QString::fromUtf8(g_value_get_string(value));
  if (format == QLatin1String("BGR"))
    return QStringLiteral("RGB24");
  return format;
}

// The structure's interlace-mode, the first of a list; GStreamer reads a structure without
// one as progressive.
QString Interlace_Mode(const GstStructure *s) {
  const GValue *value = gst_structure_get_value(s, "interlace-mode");
  if (value && GST_VALUE_HOLDS_LIST(value) && gst_value_list_get_size(value) > 0)
    value = gst_value_list_get_value(value, 0);
  if (!value || !G_VALUE_HOLDS_STRING(value))
    return QStringLiteral("progressive");
  return QString::fromUtf8(g_value_get_string(value));
}

void Add_Format(Gst_Source &source, const Capture_Format &format, const Gst_Format_Caps &caps) {
  for (const Capture_Format &known : source.formats)
    if (known.width == format.width && known.height == format.height &&
        known.frame_time_100ns == format.frame_time_100ns)
      return;
  source.formats.push_back(format);
  source.caps.push_back(caps);
}

void Add_Structure(Gst_Source &source, const GstStructure *s) {
  const QString media = QString::fromUtf8(gst_structure_get_name(s));
  const bool jpeg = media == QLatin1String("image/jpeg");
  if (!jpeg && media != QLatin1String("video/x-raw"))
    return;
  const int width = Size_Of(s, "width");
  const int height = Size_Of(s, "height");
  if (width <= 0 || height <= 0)
    return;
  const QString interlace = Interlace_Mode(s);
  const QString subtype = jpeg ? QStringLiteral("MJPG") : Raw_Subtype(s);
  for (const Rate &rate : Rates_Of(s)) {
    Capture_Format format;
    format.width = width;
    format.height = height;
    format.frame_time_100ns = Frame_Time_100ns(rate);
    format.image_size = Dib_Image_Size(width, height);
    format.subtype = subtype;
    format.interlaced = interlace != QLatin1String("progressive");
    Gst_Format_Caps caps;
    caps.jpeg = jpeg;
    caps.caps = QStringLiteral("%1,width=%2,height=%3,framerate=%4/%5")
                    .arg(media)
                    .arg(width)
                    .arg(height)
                    .arg(rate.num)
                    .arg(rate.den);
    // Pinned, so that the frames delivered are as the format says.
    caps.caps += QStringLiteral(",interlace-mode=%1").arg(interlace);
    if (!jpeg && subtype != QLatin1String("RAW"))
      caps.caps +=
          QStringLiteral(",format=%1").arg(subtype == QLatin1String("RGB24") ? QStringLiteral("BGR") : subtype);
    Add_Format(source, format, caps);
  }
}

QString Device_Property(GstDevice *device, const char *name) {
  GstStructure *props = gst_device_get_properties(device);
  QString text;
  if (props) {
    if (const char *value = gst_structure_get_string(props, name))
      text = QString::fromUtf8(value);
    gst_structure_free(props);
  }
  return text;
}

Gst_Source Source_From_Device(GstDevice *device) {
  Gst_Source source;
  source.device = GST_DEVICE(gst_object_ref(device));
  gchar *name = gst_device_get_display_name(device);
  source.friendly_name = QString::fromUtf8(name);
  g_free(name);
  QString path = Device_Property(device, "api.v4l2.path");
  if (path.isEmpty())
    path = Device_Property(device, "device.path");
  gchar *klass = gst_device_get_device_class(device);
  source.description = path.isEmpty() ? QString::fromUtf8(klass) : path;
  g_free(klass);
  if (GstCaps *caps = gst_device_get_caps(device)) {
    for (guint i = 0; i < gst_caps_get_size(caps); ++i)
      Add_Structure(source, gst_caps_get_structure(caps, i));
    gst_caps_unref(caps);
  }
  return source;
}

} // namespace

Gst_Source::Gst_Source(Gst_Source &&other) noexcept
    : friendly_name(std::move(other.friendly_name)), description(std::move(other.description)),
      formats(std::move(other.formats)), caps(std::move(other.caps)), device(other.device) {
  other.device = nullptr;
}

Gst_Source &Gst_Source::operator=(Gst_Source &&other) noexcept {
  if (this != &other) {
    if (device)
      gst_object_unref(device);
    friendly_name = std::move(other.friendly_name);
    description = std::move(other.description);
    formats = std::move(other.formats);
    caps = std::move(other.caps);
    device = other.device;
    other.device = nullptr;
  }
  return *this;
}

Gst_Source::~Gst_Source() {
  if (device)
    gst_object_unref(device);
}

void Gst_Add_Caps_Formats(Gst_Source &source, const QString &caps_text) {
  if (!Gst_Ensure_Initialised(nullptr))
    return;
  GstCaps *caps = gst_caps_from_string(caps_text.toUtf8().constData());
  if (!caps)
    return;
  for (guint i = 0; i < gst_caps_get_size(caps); ++i)
    Add_Structure(source, gst_caps_get_structure(caps, i));
  gst_caps_unref(caps);
}

std::int32_t Dib_Image_Size(std::int32_t width, std::int32_t height) {
  const std::int64_t size = DIB_Image_Bytes(width, height);
  return size > 0 && size <= INT32_MAX ? static_cast<std::int32_t>(size) : 0;
}

bool Gst_Ensure_Initialised(QString *error) {
  static std::once_flag once;
  static bool ok = false;
  static QString reason;
  std::call_once(once, [] {
    GError *failure = nullptr;
    ok = gst_init_check(nullptr, nullptr, &failure);
    if (!ok)
      reason = failure ? QString::fromUtf8(failure->message) : QStringLiteral("GStreamer could not start");
    if (failure)
      g_error_free(failure);
  });
  if (!ok && error)
    *error = reason;
  return ok;
}

Gst_Source Gst_Test_Pattern_Source() {
  Gst_Source source;
  source.friendly_name = QStringLiteral("GStreamer test pattern");
  source.description = QStringLiteral("videotestsrc is-live=true");
  struct Choice {
    int width, height, fps;
  };
  for (const Choice &c : {Choice{318, 240, 50}, Choice{640, 480, 30}, Choice{1280, 720, 50}, Choice{1920, 1080, 25}}) {
    Capture_Format format;
    format.width = c.width;
    format.height = c.height;
    format.frame_time_100ns = Frame_Time_100ns({c.fps, 1});
    format.image_size = Dib_Image_Size(c.width, c.height);
    format.subtype = QStringLiteral("I420");
    source.formats.push_back(format);
    Gst_Format_Caps caps;
    caps.caps = QStringLiteral("video/x-raw,format=I420,width=%1,height=%2,framerate=%3/1")
                    .arg(c.width)
                    .arg(c.height)
                    .arg(c.fps);
    source.caps.push_back(caps);
  }
  return source;
}

std::vector<Gst_Source> Gst_Enumerate_Sources() {
  std::vector<Gst_Source> sources;
  QString error;
  if (!Gst_Ensure_Initialised(&error)) {
    Write_Trace("*Capture sources: GStreamer failed:", error);
    return sources;
  }
  GstDeviceMonitor *monitor = gst_device_monitor_new();
  gst_device_monitor_add_filter(monitor, "Video/Source", nullptr);
  gst_device_monitor_set_show_all_devices(monitor, TRUE);
  GList *devices = gst_device_monitor_get_devices(monitor);
  for (GList *item = devices; item; item = item->next) {
    Gst_Source source = Source_From_Device(GST_DEVICE(item->data));
    if (!source.formats.empty())
      sources.push_back(std::move(source));
  }
  g_list_free_full(devices, gst_object_unref);
  gst_object_unref(monitor);
  // The monitor's order depends on its providers; a sorted list keeps "video:n" stable.
  std::stable_sort(sources.begin(), sources.end(), [](const Gst_Source &a, const Gst_Source &b) {
    return std::make_pair(a.friendly_name, a.description) < std::make_pair(b.friendly_name, b.description);
  });
  if (qgetenv("LURCHER_GST_TEST_SOURCE") == "1")
    sources.push_back(Gst_Test_Pattern_Source());
  return sources;
}
