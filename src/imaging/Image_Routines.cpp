#include "imaging/Image_Routines.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {
constexpr int bytes_per_pixel = 3;

bool Usable(std::int32_t width, std::int32_t height) { return width > 0 && height > 0; }

// Start of the picture line y (0 = the top line as shown) in a bottom-up bitmap.
template <class Byte> Byte *Picture_Line(Byte *pixels, std::int64_t row_bytes, std::int32_t height, std::int32_t y) {
  return pixels + static_cast<std::int64_t>(height - 1 - y) * row_bytes;
}

void Mean_Line(const std::uint8_t *above, const std::uint8_t *below, std::uint8_t *out, std::int64_t bytes) {
  for (std::int64_t i = 0; i < bytes; ++i)
    out[i] = static_cast<std::uint8_t>((above[i] + below[i] + 1) >> 1);
}

// The nearest line of the field above (-1) or below (+1) line y, or -1 when there is none.
std::int32_t Field_Neighbour(std::int32_t y, std::int32_t step, std::int32_t height) {
  const std::int32_t n = y + step;
  return n >= 0 && n < height ? n : -1;
}

constexpr std::array<char, Blend_Version_Bytes> Version_Text() {
  std::array<char, Blend_Version_Bytes> text{};
  constexpr const char version[] = "Lurcher image routines 1.0";
  for (std::size_t i = 0; i + 1 < sizeof(version); ++i)
    text[i] = version[i];
  return text;
}
constexpr std::array<char, Blend_Version_Bytes> version_text = Version_Text();
} // namespace

std::int64_t DIB_Row_Bytes(std::int32_t width) {
  return width <= 0 ? 0 : (static_cast<std::int64_t>(width) * bytes_per_pixel + 3) / 4 * 4;
}

std::int64_t DIB_Image_Bytes(std::int32_t width, std::int32_t height) {
  return height <= 0 ? 0 : DIB_Row_Bytes(width) * height;
}

bool deinterlaceFrame2(const std::uint8_t *source, std::uint8_t *destination, std::int32_t width, std::int32_t height,
                       std::int32_t field) {
  if (!source || !destination || source == destination || !Usable(width, height) || (field != 1 && field != 2))
    return false;
  const std::int64_t row_bytes = DIB_Row_Bytes(width);
  const std::int32_t first_own = field == 1 ? 0 : 1;
  if (first_own >= height) { // a one-line picture has no second field: show its line
    std::memcpy(destination, source, static_cast<std::size_t>(row_bytes));
    return true;
  }
  for (std::int32_t y = 0; y < height; ++y) {
    std::uint8_t *out = Picture_Line(destination, row_bytes, height, y);
    if ((y - first_own) % 2 == 0) {
      std::memcpy(out, Picture_Line(source, row_bytes, height, y), static_cast<std::size_t>(row_bytes));
      continue;
    }
    const std::int32_t above = Field_Neighbour(y, -1, height);
    const std::int32_t below = Field_Neighbour(y, +1, height);
    const std::int32_t only = above < 0 ? below : above;
    if (above >= 0 && below >= 0)
      Mean_Line(Picture_Line(source, row_bytes, height, above), Picture_Line(source, row_bytes, height, below), out,
                row_bytes);
    else
      std::memcpy(out, Picture_Line(source, row_bytes, height, only), static_cast<std::size_t>(row_bytes));
  }
  return true;
}

bool Rotate90(const std::uint8_t *source, std::uint8_t *destination, std::int32_t width, std::int32_t height,
              std::int32_t unused) {
  static_cast<void>(unused);
  if (!source || !destination || source == destination || !Usable(width, height))
    return false;
  const std::int64_t source_row = DIB_Row_Bytes(width);
  const std::int64_t target_row = DIB_Row_Bytes(height);
  const std::int32_t target_width = height;
  const std::int32_t target_height = width;
  // Clockwise: target line y' is the source column x = y', read from the bottom line up.
  for (std::int32_t ty = 0; ty < target_height; ++ty) {
    std::uint8_t *out = Picture_Line(destination, target_row, target_height, ty);
    const std::int64_t column = static_cast<std::int64_t>(ty) * bytes_per_pixel;
    for (std::int32_t tx = 0; tx < target_width; ++tx) {
      const std::uint8_t *in = Picture_Line(source, source_row, height, height - 1 - tx) + column;
      std::memcpy(out + static_cast<std::int64_t>(tx) * bytes_per_pixel, in, bytes_per_pixel);
    }
    std::fill(out + static_cast<std::int64_t>(target_width) * bytes_per_pixel, out + target_row, std::uint8_t{0});
  }
  return true;
}

bool ABlend(std::uint8_t *destination, const std::uint8_t *first, const std::uint8_t *second, std::int32_t width,
            std::int32_t height, std::int16_t weight) {
  if (!destination || !first || !second || !Usable(width, height))
    return false;
  const int w = std::clamp<int>(weight, 0, 256);
  const std::int64_t bytes = DIB_Image_Bytes(width, height);
  for (std::int64_t i = 0; i < bytes; ++i)
    destination[i] = static_cast<std::uint8_t>((first[i] * w + second[i] * (256 - w) + 128) >> 8);
  return true;
}

const char *BlendVersion() { return version_text.data(); }
