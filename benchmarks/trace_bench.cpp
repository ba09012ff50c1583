// Tracing is called on every heat-cycle step and every key press: with no viewer it
// must cost no more than a flag test.

#include "Bench_Summary.h"
#include "support/Trace.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <atomic>

namespace {
std::atomic<int> flag{1};

void BM_Flag_Test(benchmark::State &state) {
  for (auto _ : state) {
    if (flag.load(std::memory_order_relaxed) != 1)
      benchmark::DoNotOptimize(flag);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Flag_Test);

void BM_Trace_No_Viewer(benchmark::State &state) {
  for (auto _ : state) {
    Write_Trace("Handle_Start, begin");
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Trace_No_Viewer);
} // namespace

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir tmp; // no viewer listens here
  qputenv("TMPDIR", tmp.path().toLocal8Bit());
  Write_Trace("first call looks for the viewer");
  benchmark::Initialize(&argc, argv);
  Collecting_Reporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double flag_ns = reporter.cpu_ns["BM_Flag_Test"];
  const double trace_ns = reporter.cpu_ns["BM_Trace_No_Viewer"];
  const double ratio = flag_ns > 0 ? trace_ns / flag_ns : 0;
  char figure[96];
  std::snprintf(figure, sizeof(figure), "%.2f ns a call, %.1fx a flag test", trace_ns, ratio);
  Bench_Goal_Line("trace_no_viewer", figure, "at most 2x a flag test", ratio <= 2.0);
  return 0;
}
