#include "imaging/cDIBSection.h"

#include <algorithm>

namespace {
// Larger pictures than any camera delivers are refused rather than allocated.
constexpr std::int64_t max_side = 32768;
} // namespace

std::int32_t cDIBSection::BytesPerScanLine() const {
  return static_cast<std::int32_t>((static_cast<std::int64_t>(3) * width_ + 3) & ~std::int64_t{3});
}

std::int32_t cDIBSection::SizeImage() const {
  return static_cast<std::int32_t>(static_cast<std::int64_t>(BytesPerScanLine()) * height_);
}

bool cDIBSection::Create(std::int32_t width, std::int32_t height) {
  ClearUp();
  width_ = width;
  height_ = height;
  if (width <= 0 || height <= 0 || width > max_side || height > max_side)
    return false;
  pixels_.assign(static_cast<size_t>(SizeImage()), 0);
  created_ = true;
  return true;
}

void cDIBSection::ClearUp() {
  pixels_.clear();
  pixels_.shrink_to_fit();
  created_ = false;
}

void cDIBSection::Fill_with_RGB(std::int32_t colour) {
  if (!created_)
    return;
  const auto red = static_cast<std::uint8_t>(colour & 0xFF);
  const auto green = static_cast<std::uint8_t>((colour >> 8) & 0xFF);
  const auto blue = static_cast<std::uint8_t>((colour >> 16) & 0xFF);
  const std::int32_t stride = BytesPerScanLine();
  for (std::int32_t y = 0; y < height_; ++y) {
    std::uint8_t *row = pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(stride);
    for (std::int32_t x = 0; x < width_; ++x) {
      row[3 * x] = blue;
      row[3 * x + 1] = green;
      row[3 * x + 2] = red;
    }
  }
}
