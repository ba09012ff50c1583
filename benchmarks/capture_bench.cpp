// The capture chain must keep up with a full-HD camera at 50 frames per second without
// losing a frame, with stamps on the camera's own grid, while every frame is kept in memory
// and the memory grows by no more than the frames kept. The test track stands in for
// the camera: it renders in real time on its own thread, and frames travel to this
// thread's event loop exactly as a device's would.

#include "Bench_Summary.h"
#include "capture/Capture_Component.h"
#include "capture/Frame_Buffer.h"
#include "capture/Test_Track_Race.h"
#include "capture/Test_Track_Scene.h"
#include "capture/cls_Capture_HDMI.h"
#include "recording/CVideobuff_RGB.h"
#include "support/Clock.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// The crop kept per frame: the narrow strip around the goal line that clubs record.
constexpr std::int16_t crop_width = 400;
constexpr std::int16_t crop_height = 880;

void BM_Render_Track_1080p(benchmark::State &state) {
  const Test_Track_Scene scene(1920, 1080);
  const Test_Track_Race race = Plan_Test_Track_Race(1, 0, 0);
  std::vector<std::uint8_t> frame(scene.Image_Size());
  std::int64_t t = 1000;
  for (auto _ : state) {
    scene.Render(frame.data(), race, t, false);
    t += 20;
    if (t > 5000)
      t = 1000;
    benchmark::DoNotOptimize(frame.data());
  }
}
BENCHMARK(BM_Render_Track_1080p);

// Peak resident memory of this process in bytes (VmHWM), 0 when unknown.
std::int64_t Peak_Memory_Bytes() {
  std::FILE *status = std::fopen("/proc/self/status", "r");
  if (!status)
    return 0;
  char line[256];
  long long kb = 0;
  while (std::fgets(line, sizeof(line), status))
    if (std::sscanf(line, "VmHWM: %lld kB", &kb) == 1)
      break;
  std::fclose(status);
  return kb * 1024;
}

int Sustained_Seconds() {
  const char *text = std::getenv("LURCHER_CAPTURE_BENCH_SECONDS");
  const int seconds = text ? std::atoi(text) : 60;
  return seconds > 0 ? seconds : 60;
}

// What the main window's frame handler does while a heat is captured: store the frame.
struct Sustained_Figures {
  std::int64_t delivered = 0, stored = 0, lost = 0;
  std::int32_t worst_off_ms = 0, worst_latency_ms = 0;
  std::int64_t record_bytes = 0, peak_before = 0, peak_after = 0;
};

bool Run_Stored_Track(QCoreApplication &app, int seconds, Sustained_Figures &figures) {
  cls_Capture_HDMI capture;
  Capture_Component &component = capture.Component();
  int n = 1;
  while (component.SelectSource(QStringLiteral("video:%1").arg(n + 1)))
    ++n;
  component.SelectSource(QStringLiteral("video:%1").arg(n));            // the test track is last
  component.SetValue(QStringLiteral("SetFormat"), QStringLiteral("0")); // 1920x1080 at 50 fps
  capture.set_HDMI_Crop(crop_width, crop_height);
  capture.Set_MaxFrames(0);
  capture.Set_Do_CROP(true);
  QObject::connect(&capture, &cls_Capture_HDMI::HDMIreceived, [&] {
    capture.Store_HDMI_Buffer();
    figures.worst_latency_ms = std::max(figures.worst_latency_ms, Ticks_Between(capture.last_Capture_mill(), Tick()));
  });
  figures.peak_before = Peak_Memory_Bytes();
  capture.Capture_Run();
  if (!capture.Is_Running())
    return false;
  capture.Set_Post_linear(true);
  QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
  app.exec();
  capture.Set_Post_linear(false);
  capture.Stop_Capture();
  figures.peak_after = Peak_Memory_Bytes();
  figures.delivered = capture.HDMI_events();
  figures.stored = capture.Buff_Num();
  figures.lost = capture.Frames_Lost();
  figures.record_bytes = capture.Crop_DIB().SizeImage();
  const Frame_Buffer_List &list = Frame_Buffers();
  for (std::size_t i = 1; i < list.size(); ++i)
    figures.worst_off_ms = std::max(figures.worst_off_ms, std::abs(list[i]->Capture_Delta() - 20));
  Frame_Buffers().clear();
  return true;
}

void Sustained_Test_Track(QCoreApplication &app) {
  const int seconds = Sustained_Seconds();
  Sustained_Figures f;
  if (!Run_Stored_Track(app, seconds, f)) {
    Bench_Goal_Line("capture_sustained_1080p50", "test track did not run", "0 lost", false);
    return;
  }
  char figure[200];
  std::snprintf(figure, sizeof(figure),
                "%d s 1920x1080 50 fps cropped to %dx%d, storing: %lld delivered, %lld stored, %lld lost, worst "
                "delivery latency %d ms",
                seconds, crop_width, crop_height, static_cast<long long>(f.delivered), static_cast<long long>(f.stored),
                static_cast<long long>(f.lost), f.worst_latency_ms);
  Bench_Goal_Line("capture_sustained_1080p50", figure, "0 lost, every frame stored",
                  f.lost == 0 && f.stored == f.delivered);
  std::snprintf(figure, sizeof(figure), "worst stamp delta off 20 ms by %d ms over %lld records", f.worst_off_ms,
                static_cast<long long>(f.stored));
  Bench_Goal_Line("capture_stamp_spacing_1080p50", figure, "every delta within 1 ms of 20 ms", f.worst_off_ms <= 1);
  const double stored_mb = static_cast<double>(f.stored * f.record_bytes) / 1e6;
  const double grown_mb = static_cast<double>(f.peak_after - f.peak_before) / 1e6;
  std::snprintf(figure, sizeof(figure), "peak grew %.0f MB (peak %.0f MB) for %.0f MB of stored frames (%.3f x)",
                grown_mb, static_cast<double>(f.peak_after) / 1e6, stored_mb, stored_mb > 0 ? grown_mb / stored_mb : 0);
  Bench_Goal_Line("capture_memory_1080p50", figure, "growth at most stored frames + 128 MB",
                  f.peak_after > 0 && grown_mb <= stored_mb + 128);
}

} // namespace

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  Collecting_Reporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double render_ms = reporter.cpu_ns["BM_Render_Track_1080p"] / 1e6;
  char figure[96];
  std::snprintf(figure, sizeof(figure), "%.2f ms CPU a frame", render_ms);
  Bench_Goal_Line("capture_track_render_1080p", figure, "well under the 20 ms frame time (at most 5 ms)",
                  render_ms <= 5.0);
  Sustained_Test_Track(app);
  return 0;
}
