#include "recording/Class_JPG_Bench.h"

#include "imaging/cDIBSection.h"
#include "recording/mIntelJPEGLibrary.h"
#include "support/Checked.h"
#include "support/Clock.h"
#include "support/Failure.h"
#include "support/Globals.h"
#include "support/Operator.h"

#include <QRandomGenerator>
#include <algorithm>
#include <vector>

namespace {
constexpr int Runs = 10;
constexpr int Marks = 100;
constexpr std::int32_t Bench_Buffer_Size = 100000;

struct Crop_Size {
  std::int32_t x, y;
};
// The crop sizes of the main window's size menu.
constexpr Crop_Size Crop_Sizes[] = {{400, 880}, {600, 1080}, {576, 720}};

void Fill_Rect(cDIBSection &dib, int left, int bottom, int w, int h, std::uint32_t rgb) {
  std::uint8_t *bits = dib.DIBSectionBitsPtr();
  const int stride = dib.BytesPerScanLine();
  for (int y = bottom; y < std::min(bottom + h, dib.Height()); ++y)
    for (int x = left; x < std::min(left + w, dib.Width()); ++x) {
      std::uint8_t *p = bits + static_cast<std::ptrdiff_t>(y) * stride + 3 * x;
      p[0] = static_cast<std::uint8_t>(rgb >> 16);
      p[1] = static_cast<std::uint8_t>(rgb >> 8);
      p[2] = static_cast<std::uint8_t>(rgb);
    }
}

void Draw_Random_Marks(cDIBSection &dib) {
  QRandomGenerator &random = *QRandomGenerator::global();
  const int w = dib.Width(), h = dib.Height();
  for (int i = 0; i < Marks; ++i)
    Fill_Rect(dib, random.bounded(w), random.bounded(h), 1 + random.bounded(std::max(1, w / 5)),
              1 + random.bounded(std::max(1, h / 5)), random.generate() & 0xFFFFFF);
}
} // namespace

std::int16_t Class_JPG_Bench::JPG_Bench(std::int32_t x, std::int32_t y) {
  return Guarded(QStringLiteral("JPG_Bench of Class Class_JPG_Bench"), std::int16_t{0}, [&] {
    cDIBSection dib;
    if (!dib.Create(x, y))
      Raise(Err_Invalid_Call, QStringLiteral("No picture of %1 x %2").arg(x).arg(y));
    Draw_Random_Marks(dib);
    std::vector<std::uint8_t> buffer(Bench_Buffer_Size);
    const std::int32_t t0 = Tick();
    for (int run = 0; run < Runs; ++run) {
      std::int32_t size = Bench_Buffer_Size;
      bool ok = false;
      try {
        ok = Encode_DIB_To_JPG(dib, buffer.data(), size, JPEG_Base_Quality);
      } catch (...) {
        ok = false;
      }
      if (!ok) {
        Msg_Box(QStringLiteral("JPEG comp error!"));
        return std::int16_t{0};
      }
    }
    return Checked_16(Ticks_Between(t0, Tick()) / Runs);
  });
}

QString Class_JPG_Bench::Benchmark_Report() {
  QStringList lines{QStringLiteral("JPEG Benchmark, quality %1").arg(JPEG_Base_Quality),
                    QStringLiteral("Computer: ") + Globals::Computer_Name, Globals::CPU_Info};
  for (const Crop_Size &s : Crop_Sizes)
    lines << QStringLiteral("%1*%2: %3 ms").arg(s.x).arg(s.y).arg(JPG_Bench(s.x, s.y));
  return lines.join(QStringLiteral("\r\n"));
}
