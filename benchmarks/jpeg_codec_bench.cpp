// Encoding and decoding one camera frame at the start quality, next to the raw TurboJPEG call
// on the same picture: the codec's own work on top of the library should be a plain copy.

#include "Bench_Summary.h"
#include "imaging/cDIBSection.h"
#include "recording/mIntelJPEGLibrary.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <turbojpeg.h>
#include <vector>

namespace {
struct Frame_Size {
  int x, y;
};
constexpr Frame_Size Sizes[] = {{400, 880}, {600, 1080}, {576, 720}};

// A camera-like frame: smooth background, a few sharp edges and some sensor noise.
cDIBSection Camera_Frame(int width, int height) {
  cDIBSection dib;
  dib.Create(width, height);
  unsigned seed = 12345;
  for (int y = 0; y < height; ++y) {
    std::uint8_t *row = dib.DIBSectionBitsPtr() + static_cast<std::ptrdiff_t>(y) * dib.BytesPerScanLine();
    for (int x = 0; x < width; ++x) {
      seed = seed * 1103515245u + 12345u;
      const int noise = static_cast<int>((seed >> 16) & 15) - 8;
      const bool post = x > width / 2 && x < width / 2 + 12;
      const bool dog = (x / 40 + y / 60) % 7 == 0;
      row[3 * x] = static_cast<std::uint8_t>(std::clamp(post ? 240 : 60 + y * 100 / height + noise, 0, 255));
      row[3 * x + 1] = static_cast<std::uint8_t>(std::clamp(dog ? 30 : 140 + noise, 0, 255));
      row[3 * x + 2] = static_cast<std::uint8_t>(std::clamp(dog ? 200 : 90 + x * 60 / width + noise, 0, 255));
    }
  }
  return dib;
}

void BM_Encode(benchmark::State &state) {
  const cDIBSection frame = Camera_Frame(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  std::vector<std::uint8_t> out(JPEG_Output_Capacity);
  std::int32_t size = 0;
  for (auto _ : state) {
    size = JPEG_Output_Capacity;
    Encode_DIB_To_JPG(frame, out.data(), size, JPEG_Base_Quality);
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["bytes"] = size;
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_Raw_TurboJPEG_Encode(benchmark::State &state) {
  const cDIBSection frame = Camera_Frame(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  tjhandle handle = tjInitCompress();
  unsigned long capacity = tjBufSize(frame.Width(), frame.Height(), TJSAMP_420);
  unsigned char *out = tjAlloc(static_cast<int>(capacity));
  for (auto _ : state) {
    unsigned long size = capacity;
    tjCompress2(handle, frame.DIBSectionBitsPtr(), frame.Width(), frame.BytesPerScanLine(), frame.Height(), TJPF_BGR,
                &out, &size, TJSAMP_420, JPEG_Base_Quality, TJFLAG_BOTTOMUP | TJFLAG_NOREALLOC);
    benchmark::DoNotOptimize(out);
  }
  tjFree(out);
  tjDestroy(handle);
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_Decode(benchmark::State &state) {
  const cDIBSection frame = Camera_Frame(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  std::vector<std::uint8_t> jpeg(JPEG_Output_Capacity);
  std::int32_t size = JPEG_Output_Capacity;
  Encode_DIB_To_JPG(frame, jpeg.data(), size, JPEG_Base_Quality);
  cDIBSection picture;
  for (auto _ : state) {
    Decode_JPG_Buffer(picture, jpeg.data(), size);
    benchmark::DoNotOptimize(picture.DIBSectionBitsPtr());
  }
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void Frame_Sizes(benchmark::internal::Benchmark *b) {
  for (const Frame_Size &s : Sizes)
    b->Args({s.x, s.y});
}
BENCHMARK(BM_Encode)->Apply(Frame_Sizes);
BENCHMARK(BM_Raw_TurboJPEG_Encode)->Apply(Frame_Sizes);
BENCHMARK(BM_Decode)->Apply(Frame_Sizes);
} // namespace

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  Collecting_Reporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  // No goal for the codec alone yet: the rates, and the codec against the bare library.
  for (const Frame_Size &s : Sizes) {
    const std::string args = "/" + std::to_string(s.x) + "/" + std::to_string(s.y);
    const double encode_ns = reporter.cpu_ns["BM_Encode" + args];
    const double raw_ns = reporter.cpu_ns["BM_Raw_TurboJPEG_Encode" + args];
    const double decode_ns = reporter.cpu_ns["BM_Decode" + args];
    if (encode_ns > 0 && raw_ns > 0 && decode_ns > 0)
      std::printf("jpeg_codec %dx%d: encode %.0f frames/s (%.2fx the bare library), decode %.0f frames/s\n", s.x, s.y,
                  1e9 / encode_ns, encode_ns / raw_ns, 1e9 / decode_ns);
  }
  return 0;
}
