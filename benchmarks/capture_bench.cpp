// The capture chain must keep up with a full-HD camera at 50 frames per second without
// losing a frame and with stamps on the camera's own grid. The test track stands in for
// the camera: it renders in real time on its own thread, and frames travel to this
// thread's event loop exactly as a device's would.

#include "Bench_Summary.h"
#include "capture/Capture_Component.h"
#include "capture/Test_Track_Race.h"
#include "capture/Test_Track_Scene.h"
#include "support/Clock.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdlib>
#include <vector>

namespace {

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

class Counting_Sink : public IVideoCapEvent {
public:
  void OnRGBEvent(const Captured_Frame &frame) override {
    if (delivered > 0) {
      const std::int32_t delta = Ticks_Between(previous_tick, frame.capture_tick);
      worst_off_ms = std::max(worst_off_ms, std::abs(delta - 20));
    }
    previous_tick = frame.capture_tick;
    latency_ms = std::max(latency_ms, Ticks_Between(frame.capture_tick, Tick()));
    lost = frame.lost_total;
    ++delivered;
  }
  void OnErrorEvent(const QString &text) override { errors << text; }

  std::int64_t delivered = 0;
  std::int64_t lost = 0;
  std::int32_t previous_tick = 0;
  std::int32_t worst_off_ms = 0;
  std::int32_t latency_ms = 0;
  QStringList errors;
};

int Sustained_Seconds() {
  const char *text = std::getenv("LURCHER_CAPTURE_BENCH_SECONDS");
  const int seconds = text ? std::atoi(text) : 60;
  return seconds > 0 ? seconds : 60;
}

void Sustained_Test_Track(QCoreApplication &app) {
  const int seconds = Sustained_Seconds();
  const std::unique_ptr<Capture_Component> owner = Create_Capture_Component();
  Capture_Component &component = *owner;
  Counting_Sink sink;
  component.AdviseSink(&sink);
  int n = 1;
  while (component.SelectSource(QStringLiteral("video:%1").arg(n + 1)))
    ++n;
  component.SelectSource(QStringLiteral("video:%1").arg(n)); // the test track is last
  component.SetValue(QStringLiteral("SetFormat"), QStringLiteral("0"));
  if (!component.Run()) {
    Bench_Goal_Line("capture_sustained_1080p50", "test track did not run", "0 lost", false);
    return;
  }
  QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
  app.exec();
  component.Stop();
  char figure[160];
  std::snprintf(figure, sizeof(figure),
                "%d s 1920x1080 50 fps: %lld delivered, %lld lost, worst delivery latency %d ms", seconds,
                static_cast<long long>(sink.delivered), static_cast<long long>(sink.lost), sink.latency_ms);
  Bench_Goal_Line("capture_sustained_1080p50", figure, "0 lost", sink.lost == 0 && sink.errors.isEmpty());
  std::snprintf(figure, sizeof(figure), "worst stamp delta off 20 ms by %d ms", sink.worst_off_ms);
  Bench_Goal_Line("capture_stamp_spacing_1080p50", figure, "every delta within 1 ms of 20 ms", sink.worst_off_ms <= 1);
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
