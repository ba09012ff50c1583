#pragma once
// The JPEG benchmark of the Diagnostics menu: how long this computer takes to encode one
// frame at the start quality, for each crop size of the main window.

#include <QString>
#include <cstdint>

class Class_JPG_Bench {
public:
  // Average milliseconds to encode one x-by-y picture of 100 random coloured marks (10 runs).
  // A failed encoding shows "JPEG comp error!".
  std::int16_t JPG_Bench(std::int32_t x, std::int32_t y);

  // The report lines (CR LF between them): a title, the computer, the processor and one
  // line per crop size, "400*880: 4 ms".
  QString Benchmark_Report();
};
