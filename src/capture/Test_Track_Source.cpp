#include "capture/Test_Track_Source.h"

#include "capture/Capture_Stamp.h"
#include "capture/Gst_Source_List.h"
#include "capture/Test_Track_Scene.h"
#include "support/Clock.h"
#include "support/Trace.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <chrono>
#include <random>

namespace {

constexpr std::int64_t max_late_frames = 8;

Capture_Format Track_Format(std::int32_t width, std::int32_t height, int fps, bool interlaced) {
  Capture_Format format;
  format.width = width;
  format.height = height;
  format.frame_time_100ns = 10000000 / fps;
  format.image_size = Dib_Image_Size(width, height);
  format.subtype = QStringLiteral("RGB24");
  format.interlaced = interlaced;
  return format;
}

std::chrono::steady_clock::time_point Steady_At(std::int64_t monotonic_ms) {
  // steady_clock is CLOCK_MONOTONIC here; keep the offset explicit all the same.
  const auto now = std::chrono::steady_clock::now();
  return now + std::chrono::milliseconds(monotonic_ms - Monotonic_Now_Ms());
}

} // namespace

// The track runs in real time whatever clock the program has installed.
std::int64_t Monotonic_Now_Ms() { return static_cast<std::int64_t>(System_Clock().Monotonic_Ms()); }

Test_Track_Source::~Test_Track_Source() { Stop(); }

std::vector<Capture_Format> Test_Track_Source::Formats() {
  return {Track_Format(1920, 1080, 50, false), Track_Format(1920, 1080, 25, true), Track_Format(720, 576, 25, true),
          Track_Format(1280, 720, 50, false)};
}

void Test_Track_Source::Set_Seed(std::uint64_t seed) {
  std::lock_guard lock(mutex_);
  seed_ = seed;
}

bool Test_Track_Source::Start(const Capture_Format &format, std::int64_t cap_interval_ns) {
  Stop();
  const std::int64_t frame_ms = format.frame_time_100ns / 10000;
  if (format.width <= 0 || format.height <= 0 || frame_ms <= 0)
    return false;
  rate_cap_.Reset(cap_interval_ns, format.frame_time_100ns * 100);
  have_race_ = false;
  // The first frame a little ahead, so that it is not late at birth.
  const std::int64_t start_ms = Monotonic_Now_Ms() + frame_ms;
  {
    std::lock_guard lock(mutex_);
    stop_ = false;
    run_start_ms_ = start_ms;
  }
  thread_ = std::thread([this, format, start_ms] { Run_Loop(format, start_ms); });
  return true;
}

void Test_Track_Source::Stop() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
    run_start_ms_ = -1;
  }
  wake_.notify_all();
  if (thread_.joinable())
    thread_.join();
}

QString Test_Track_Source::Truth_Text() const {
  std::uint64_t seed = 0;
  std::int64_t start = -1;
  {
    std::lock_guard lock(mutex_);
    seed = seed_;
    start = run_start_ms_;
  }
  if (start < 0)
    return {};
  const std::int64_t number = std::max<std::int64_t>(0, (Monotonic_Now_Ms() - start) / Test_Track_Race::period_ms);
  return Plan_Test_Track_Race(seed, number, start + number * Test_Track_Race::period_ms).Truth_Text();
}

bool Test_Track_Source::Wait_Until(std::int64_t monotonic_ms) {
  std::unique_lock lock(mutex_);
  wake_.wait_until(lock, Steady_At(monotonic_ms), [&] { return stop_ || Monotonic_Now_Ms() >= monotonic_ms; });
  return !stop_;
}

const Test_Track_Race &Test_Track_Source::Race_For(std::int64_t time_ms, std::int64_t start) {
  std::uint64_t seed = 0;
  {
    std::lock_guard lock(mutex_);
    seed = seed_;
  }
  const std::int64_t number = std::max<std::int64_t>(0, (time_ms - start) / Test_Track_Race::period_ms);
  if (!have_race_ || current_race_.number != number) {
    current_race_ = Plan_Test_Track_Race(seed, number, start + number * Test_Track_Race::period_ms);
    have_race_ = true;
    // The trace belongs to the user-interface thread.
    const QString line = QStringLiteral("*Test track race %1 truth:").arg(number);
    const QString truth = current_race_.Truth_Text();
    if (QCoreApplication *app = QCoreApplication::instance())
      QMetaObject::invokeMethod(
          app, [line, truth] { Write_Trace(line, truth); }, Qt::QueuedConnection);
  }
  return current_race_;
}

void Test_Track_Source::Run_Loop(Capture_Format format, std::int64_t start_ms) {
  const Test_Track_Scene scene(format.width, format.height);
  const std::int64_t frame_ms = format.frame_time_100ns / 10000;
  // An interlaced frame is complete once its second field is taken.
  const std::int64_t ready_after_ms = format.interlaced ? frame_ms / 2 : 0;
  std::int64_t frame = 0;
  std::int64_t lost = 0;
  while (true) {
    const std::int64_t stamp_ms = start_ms + frame * frame_ms;
    if (!Wait_Until(stamp_ms + ready_after_ms))
      return;
    // Like a device's buffer ring, a short stall is caught up with frames on their exact
    // grid stamps; only a long one loses frames.
    const std::int64_t late_frames = (Monotonic_Now_Ms() - stamp_ms - ready_after_ms) / frame_ms;
    if (late_frames > max_late_frames) {
      frame += late_frames;
      lost += late_frames;
      continue;
    }
    if (rate_cap_.Pass(stamp_ms * 1000000)) {
      std::vector<std::uint8_t> pixels = delivery_.Acquire_Buffer(scene.Image_Size());
      scene.Render(pixels.data(), Race_For(stamp_ms, start_ms), stamp_ms, format.interlaced);
      Captured_Frame captured;
      captured.width = format.width;
      captured.height = format.height;
      captured.stride = scene.Stride();
      const Capture_Stamp stamp = Stamp_Of_Capture(static_cast<std::uint64_t>(stamp_ms));
      captured.capture_tick = stamp.tick;
      captured.capture_local_ms = stamp.local_ms;
      captured.sequence = static_cast<std::uint64_t>(frame);
      captured.lost_before = lost;
      captured.interlaced = format.interlaced;
      lost = 0;
      delivery_.Push_Frame(std::move(pixels), captured);
    }
    ++frame;
  }
}
