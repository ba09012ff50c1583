#pragma once
// A capture component the tests drive by hand: sources and formats are set up in the test,
// every call is recorded, and frames are delivered on demand. As on a device, a frame is
// stamped when it was captured, some time before it reaches the sink: Deliver stamps it
// latency_ms before the installed clock's now (Tick, Ms_Of_Day; a Manual_Clock decides),
// or by the next of scripted_latency_ms when the test queued one. Every stamp given is kept
// in stamped, so a test can tell the capture stamps from the moments of handling.

#include "capture/Capture_Component.h"
#include "support/Clock.h"

#include <QStringList>
#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

struct Fake_Source {
  QString friendly_name;
  std::vector<Capture_Format> formats;
};

inline Capture_Format Fake_Format(std::int32_t width, std::int32_t height, std::int64_t frame_time_100ns = 400000) {
  Capture_Format f;
  f.width = width;
  f.height = height;
  f.frame_time_100ns = frame_time_100ns;
  f.image_size = static_cast<std::int32_t>((3LL * width + 3) / 4 * 4 * height);
  f.subtype = QStringLiteral("BGR24");
  return f;
}

// A bottom-up BGR picture whose pixel at (x, y), y counted from the top as shown, holds
// blue = x & 0xFF, green = y & 0xFF, red = (x >> 8) + ((y >> 8) << 4): any misplaced copy shows.
class Fake_Picture {
public:
  Fake_Picture(std::int32_t width, std::int32_t height)
      : width_(width), height_(height), stride_(static_cast<std::int32_t>((3LL * width + 3) / 4 * 4)),
        bytes_(static_cast<std::size_t>(stride_) * static_cast<std::size_t>(height)) {
    for (std::int32_t y = 0; y < height; ++y)
      for (std::int32_t x = 0; x < width; ++x) {
        std::uint8_t *p = Pixel(x, y);
        p[0] = static_cast<std::uint8_t>(x & 0xFF);
        p[1] = static_cast<std::uint8_t>(y & 0xFF);
        p[2] = static_cast<std::uint8_t>((x >> 8) + ((y >> 8) << 4));
      }
  }
  std::uint8_t *Pixel(std::int32_t x, std::int32_t y) {
    return bytes_.data() + static_cast<std::size_t>(height_ - 1 - y) * static_cast<std::size_t>(stride_) +
           static_cast<std::size_t>(x) * 3;
  }
  Captured_Frame Frame(std::int32_t tick, std::int32_t local) const {
    Captured_Frame f;
    f.data = bytes_.data();
    f.length = bytes_.size();
    f.width = width_;
    f.height = height_;
    f.stride = stride_;
    f.capture_tick = tick;
    f.capture_local_ms = local;
    return f;
  }
  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }

private:
  std::int32_t width_, height_, stride_;
  std::vector<std::uint8_t> bytes_;
};

class Fake_Capture_Component final : public Capture_Component {
public:
  explicit Fake_Capture_Component(std::vector<Fake_Source> sources = {}) : sources_(std::move(sources)) {}

  std::int32_t AdviseSink(IVideoCapEvent *sink) override {
    sink_ = sink;
    calls.push_back(QStringLiteral("AdviseSink"));
    return ++cookie_;
  }
  void UnadviseSink(std::int32_t cookie) override {
    calls.push_back(QStringLiteral("UnadviseSink %1").arg(cookie));
    if (cookie == cookie_)
      sink_ = nullptr;
  }
  bool SelectSource(const QString &name) override {
    calls.push_back(QStringLiteral("SelectSource ") + name);
    running_ = false;
    const int n = name.mid(6).toInt();
    if (!name.startsWith(QStringLiteral("video:")) || n < 1 || n > static_cast<int>(sources_.size()))
      return Refuse(QStringLiteral("no such source"));
    selected_ = n - 1;
    format_ = 0;
    last_error_.clear();
    return true;
  }
  QString GetValue(const QString &name) override {
    calls.push_back(QStringLiteral("GetValue ") + name);
    const QString key = name.toLower();
    if (selected_ < 0)
      return {};
    const Fake_Source &s = sources_[static_cast<std::size_t>(selected_)];
    if (key == QStringLiteral("sourcefriendlyname"))
      return s.friendly_name;
    if (key == QStringLiteral("sourcedescription"))
      return s.friendly_name + QStringLiteral(" (fake)");
    if (key == QStringLiteral("buildnumber"))
      return QStringLiteral("fake 1");
    if (key == QStringLiteral("numprops"))
      return QString::number(s.formats.size());
    if (key == QStringLiteral("getprop") || key == QStringLiteral("videoinfoheader"))
      return QString::number(format_);
    if (key == QStringLiteral("maxinterval"))
      return QStringLiteral("400000");
    if (key == QStringLiteral("mininterval"))
      return QStringLiteral("200000");
    if (key.startsWith(QStringLiteral("getamt"))) {
      const int k = key.mid(6).toInt();
      return Format_Record(k) ? QString::number(k) : QString();
    }
    Refuse(QStringLiteral("unknown value ") + name);
    return {};
  }
  bool SetValue(const QString &name, const QString &value) override {
    calls.push_back(QStringLiteral("SetValue ") + name + QLatin1Char(' ') + value);
    if (name == QStringLiteral("SetFormat")) {
      bool ok = false;
      const int k = value.toInt(&ok);
      if (!ok || !Format_Record(k))
        return Refuse(QStringLiteral("format refused"));
      format_ = k;
    }
    return true;
  }
  std::optional<Capture_Format> Format_Record(int k) const override {
    if (selected_ < 0 || k < 0)
      return std::nullopt;
    const auto &formats = sources_[static_cast<std::size_t>(selected_)].formats;
    if (k >= static_cast<int>(formats.size()))
      return std::nullopt;
    return formats[static_cast<std::size_t>(k)];
  }
  std::optional<Capture_Format> Current_Format() const override { return Format_Record(format_); }
  bool Run() override {
    calls.push_back(QStringLiteral("Run"));
    if (refuse_run)
      return Refuse(QStringLiteral("format refused by the device"));
    running_ = true;
    return true;
  }
  void Stop() override {
    calls.push_back(QStringLiteral("Stop"));
    running_ = false;
  }
  bool Is_Running() const override { return running_; }
  int Source_Count() override { return static_cast<int>(sources_.size()); }
  void Set_Keep_Every_Frame(bool keep) override {
    calls.push_back(QStringLiteral("Set_Keep_Every_Frame %1").arg(keep ? 1 : 0));
    keep_every_frame = keep;
  }
  QString LastError() const override { return last_error_; }

  static constexpr std::int32_t default_latency_ms = 25;
  static constexpr std::int32_t ms_per_day = 86400000;

  // Delivers the picture now, captured the latency before.
  void Deliver(const Fake_Picture &picture) {
    std::int32_t latency = latency_ms;
    if (!scripted_latency_ms.empty()) {
      latency = scripted_latency_ms.front();
      scripted_latency_ms.pop_front();
    }
    const std::int32_t local = ((Ms_Of_Day() - latency) % ms_per_day + ms_per_day) % ms_per_day;
    Deliver_Frame(picture.Frame(Tick_Back(Tick(), latency), local));
  }
  // Delivers a frame with the stamps it carries.
  void Deliver_Frame(const Captured_Frame &frame) {
    stamped.push_back({frame.capture_tick, frame.capture_local_ms});
    if (sink_)
      sink_->OnRGBEvent(frame);
  }
  // The capture ticks of the frames delivered so far, in order.
  std::vector<std::int32_t> Stamped_Ticks() const {
    std::vector<std::int32_t> ticks;
    for (const Stamp &s : stamped)
      ticks.push_back(s.tick);
    return ticks;
  }
  // The device goes away while running.
  void Fail(const QString &text) {
    running_ = false;
    last_error_ = text;
    if (sink_)
      sink_->OnErrorEvent(text);
  }

  struct Stamp {
    std::int32_t tick = 0;
    std::int32_t local_ms = 0;
  };

  QStringList calls;
  bool refuse_run = false;
  bool keep_every_frame = false;
  std::int32_t latency_ms = default_latency_ms;
  std::deque<std::int32_t> scripted_latency_ms;
  std::vector<Stamp> stamped;

private:
  // The 32-bit tick ms earlier, wrapping as the counter does.
  static std::int32_t Tick_Back(std::int32_t tick, std::int32_t ms) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(tick) - static_cast<std::uint32_t>(ms));
  }
  bool Refuse(const QString &text) {
    last_error_ = text;
    return false;
  }
  std::vector<Fake_Source> sources_;
  IVideoCapEvent *sink_ = nullptr;
  int selected_ = -1;
  int format_ = 0;
  bool running_ = false;
  std::int32_t cookie_ = 0;
  QString last_error_;
};
