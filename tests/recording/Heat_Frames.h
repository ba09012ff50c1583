#pragma once
// Camera-like frames for the writer: a lit track (smooth gradients), a few dark shapes that
// move from frame to frame, and a little sensor noise. Deterministic for a given seed.

#include "recording/CVideobuff_RGB.h"

#include <algorithm>
#include <cstdint>
#include <memory>

namespace heat_frames {

inline std::int32_t Row_Bytes(int width) { return (3 * width + 3) & ~3; }

inline std::unique_ptr<CVideobuff_RGB> Camera_Frame(int width, int height, int k, std::uint32_t noise_amount = 6) {
  auto frame = std::make_unique<CVideobuff_RGB>();
  frame->Set_RGB_Length(Row_Bytes(width) * height);
  std::uint8_t *bits = frame->Video_Adress();
  std::uint32_t seed = 2463534242u + static_cast<std::uint32_t>(k) * 7919u;
  for (int y = 0; y < height; ++y) {
    std::uint8_t *row = bits + static_cast<std::ptrdiff_t>(y) * Row_Bytes(width);
    for (int x = 0; x < width; ++x) {
      seed ^= seed << 13;
      seed ^= seed >> 17;
      seed ^= seed << 5;
      const int noise = noise_amount ? static_cast<int>(seed % noise_amount) : 0;
      const bool dog = ((x + 3 * k) / 24 + y / 20) % 7 == 0;
      const int base_g = 90 + 100 * y / height, base_r = 60 + 80 * x / width;
      row[3 * x] = static_cast<std::uint8_t>((dog ? 20 : 40 + x % 50) + noise);
      row[3 * x + 1] = static_cast<std::uint8_t>((dog ? 25 : base_g) + noise);
      row[3 * x + 2] = static_cast<std::uint8_t>((dog ? 30 : base_r) + noise);
    }
  }
  frame->PutTimestamp(500000 + 20 * k, 36000000 + 20 * k, 20);
  return frame;
}

// One grey level all over: the smallest JPEG a frame of that size gives.
inline std::unique_ptr<CVideobuff_RGB> Flat_Frame(int width, int height, int k) {
  auto frame = std::make_unique<CVideobuff_RGB>();
  frame->Set_RGB_Length(Row_Bytes(width) * height);
  std::fill(frame->Video_Adress(), frame->Video_Adress() + frame->RGB_Length(), std::uint8_t{128});
  frame->PutTimestamp(500000 + 20 * k, 36000000 + 20 * k, 20);
  return frame;
}

inline Frame_Buffer_List Flat_Capture(int width, int height, int count) {
  Frame_Buffer_List list;
  for (int k = 0; k < count; ++k)
    list.push_back(Flat_Frame(width, height, k));
  return list;
}

// count frames from frame number first on (their ticks go on from there).
inline Frame_Buffer_List Capture(int width, int height, int count, std::uint32_t noise_amount = 6, int first = 0) {
  Frame_Buffer_List list;
  for (int k = first; k < first + count; ++k)
    list.push_back(Camera_Frame(width, height, k, noise_amount));
  return list;
}

} // namespace heat_frames
