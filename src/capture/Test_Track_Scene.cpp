#include "capture/Test_Track_Scene.h"

#include "imaging/Image_Routines.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr std::int64_t field_gap_ms = 20;

// Shape of a dog in units of its lane height; the head leads, nothing is ahead of the nose.
constexpr double dog_length = 2.4;
constexpr double head_length = 0.55;
constexpr double head_top = 0.12, head_bottom = 0.45;
constexpr double body_top = 0.3, body_bottom = 0.62;
constexpr double leg_bottom = 0.9, leg_width = 0.18;

std::int32_t Floor_Column(double x) { return static_cast<std::int32_t>(std::floor(x)); }
// Last column the dog covers when its front edge is at x: columns c < x.
std::int32_t Last_Covered(double x) { return static_cast<std::int32_t>(std::ceil(x)) - 1; }

} // namespace

Test_Track_Scene::Test_Track_Scene(std::int32_t width, std::int32_t height)
    : width_(width), height_(height), stride_(static_cast<std::int32_t>(DIB_Row_Bytes(width))),
      goal_(width / 2 + width / 40) {
  const std::int32_t track_top = height * 2 / 10;
  const std::int32_t track_bottom = height * 95 / 100;
  for (std::size_t i = 0; i < lanes_.size(); ++i) {
    const auto n = static_cast<std::int32_t>(i);
    lanes_[i].top = track_top + (track_bottom - track_top) * n / 6;
    lanes_[i].height = (track_bottom - track_top) / 6;
  }
  background_.assign(static_cast<std::size_t>(stride_) * static_cast<std::size_t>(height_), 0);
  Draw_Background();
}

std::int32_t Test_Track_Scene::Nose_Row(int box) const {
  const Lane &lane = lanes_[static_cast<std::size_t>(std::clamp(box, 1, 6) - 1)];
  return lane.top + static_cast<std::int32_t>(lane.height * (head_top + head_bottom) / 2);
}

std::uint32_t Test_Track_Scene::Box_Colour(int box, bool stripe) {
  switch (box) {
  case 1:
    return 0xB50000;
  case 2:
    return 0x4074CA;
  case 3:
    return 0xFFFFFF;
  case 4:
    return 0x000000;
  case 5:
    return 0xE7B11B;
  default:
    return stripe ? 0xFFFFFF : 0x000000;
  }
}

void Test_Track_Scene::Fill(std::uint8_t *target, std::int32_t left, std::int32_t right, std::int32_t top,
                            std::int32_t bottom, std::uint32_t colour, int row_parity) const {
  // right and bottom are exclusive; row_parity -1 fills every row.
  left = std::max(left, 0);
  right = std::min(right, width_);
  top = std::max(top, 0);
  bottom = std::min(bottom, height_);
  if (left >= right || top >= bottom)
    return;
  const auto blue = static_cast<std::uint8_t>(colour & 0xFF);
  const auto green = static_cast<std::uint8_t>((colour >> 8) & 0xFF);
  const auto red = static_cast<std::uint8_t>((colour >> 16) & 0xFF);
  for (std::int32_t y = top; y < bottom; ++y) {
    if (row_parity >= 0 && (y & 1) != row_parity)
      continue;
    std::uint8_t *p = target + static_cast<std::ptrdiff_t>(height_ - 1 - y) * stride_ + left * 3;
    for (std::int32_t x = left; x < right; ++x, p += 3) {
      p[0] = blue;
      p[1] = green;
      p[2] = red;
    }
  }
}

void Test_Track_Scene::Draw_Background() {
  std::uint8_t *target = background_.data();
  const std::int32_t track_top = lanes_[0].top;
  const std::int32_t track_bottom = lanes_[5].top + lanes_[5].height;
  Fill(target, 0, width_, 0, track_top, 0x5A7A9A, -1);            // stand
  Fill(target, 0, width_, track_top, track_bottom, 0xB08858, -1); // sand
  Fill(target, 0, width_, track_bottom, height_, 0x3C7A32, -1);   // infield grass
  for (const Lane &lane : lanes_)
    Fill(target, 0, width_, lane.top, lane.top + 1, 0x9C7448, -1); // lane marks
  // Goal post above the track, in red and white bands, and the line across the lanes.
  const std::int32_t post_half = std::max(2, width_ / 400);
  const std::int32_t band = std::max(4, height_ / 60);
  for (std::int32_t y = height_ / 20, n = 0; y < track_top; y += band, ++n)
    Fill(target, goal_ - post_half, goal_ + post_half + 1, y, std::min(y + band, track_top),
         n % 2 ? 0xFFFFFF : 0xC81E1E, -1);
  Fill(target, goal_, goal_ + 1, track_top, track_bottom, goal_line_colour, -1);
}

void Test_Track_Scene::Draw_Stripes(std::uint8_t *target, double nose_x, std::int32_t left, std::int32_t right,
                                    std::int32_t top, std::int32_t bottom, int row_parity) const {
  // Stripes move with the dog: counted back from the nose.
  const double stripe = std::max(4.0, width_ / 160.0);
  for (std::int32_t c = std::max(left, 0); c < std::min(right, width_); ++c) {
    const bool white = static_cast<std::int64_t>(std::floor((nose_x - c) / stripe)) % 2 != 0;
    Fill(target, c, c + 1, top, bottom, Box_Colour(6, white), row_parity);
  }
}

void Test_Track_Scene::Draw_Dog(std::uint8_t *target, const Test_Track_Dog &dog, std::int64_t time_ms,
                                int row_parity) const {
  const Lane &lane = lanes_[static_cast<std::size_t>(dog.box - 1)];
  const double h = lane.height;
  const double nose = goal_ + dog.widths_per_ms * width_ * static_cast<double>(time_ms - dog.cross_ms);
  if (nose < 0 || nose - dog_length * h > width_)
    return;
  auto row = [&](double f) { return lane.top + static_cast<std::int32_t>(h * f); };
  auto part = [&](double from_nose, double to_nose, double top, double bottom) {
    // Columns covered between two distances behind the nose.
    const std::int32_t left = Floor_Column(nose - from_nose * h);
    const std::int32_t right = Last_Covered(nose - to_nose * h) + 1;
    if (dog.box == 6)
      Draw_Stripes(target, nose, left, right, row(top), row(bottom), row_parity);
    else
      Fill(target, left, right, row(top), row(bottom), Box_Colour(dog.box, false), row_parity);
  };
  part(head_length, 0, head_top, head_bottom);
  part(dog_length, head_length * 0.8, body_top, body_bottom);
  part(dog_length + 0.35, dog_length, body_top, body_top + 0.08); // tail
  // Legs swap every 80 ms: a gallop, always behind the head.
  const bool stride = (time_ms / 80) % 2 != 0;
  const double front = stride ? 0.7 : 0.9, back = stride ? dog_length - 0.3 : dog_length - 0.5;
  part(front + leg_width, front, body_bottom, leg_bottom);
  part(back + leg_width, back, body_bottom, leg_bottom);
}

void Test_Track_Scene::Render(std::uint8_t *target, const Test_Track_Race &race, std::int64_t time_ms,
                              bool interlaced) const {
  std::memcpy(target, background_.data(), background_.size());
  for (const Test_Track_Dog &dog : race.dogs) {
    if (dog.box < 1 || dog.box > 6)
      continue;
    if (interlaced) {
      Draw_Dog(target, dog, time_ms, 0);
      Draw_Dog(target, dog, time_ms + field_gap_ms, 1);
    } else {
      Draw_Dog(target, dog, time_ms, -1);
    }
  }
}
