#pragma once
// Draws the test track's finish-line scene into a frame in the delivered layout (24-bit
// BGR, rows bottom-up, padded to 4). The background is drawn once and copied per frame;
// the dogs are plain rectangles written pixel by pixel, so a full-HD frame costs little
// more than one copy.
//
// Dogs run from left to right, one lane each. A dog's nose is at x = goal + speed x (t -
// cross) in pixel units, where pixel column c covers [c, c + 1): the dog covers column c
// when c < x, so at its truth tick the nose touches the goal line column without covering
// it, and one millisecond later it covers it.
//
// Interlaced frames hold two fields: field 1 is the top line of the picture as shown and
// every second line after it (display rows 0, 2, 4, ...), taken at the frame's stamp;
// field 2 (rows 1, 3, 5, ...) is taken 20 ms later.

#include "capture/Test_Track_Race.h"

#include <cstdint>
#include <vector>

class Test_Track_Scene {
public:
  Test_Track_Scene(std::int32_t width, std::int32_t height);

  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }
  std::int32_t Stride() const { return stride_; }
  std::size_t Image_Size() const { return background_.size(); }

  // The goal line's pixel column and the display row (from the top) through a dog's nose.
  std::int32_t Goal_Column() const { return goal_; }
  std::int32_t Nose_Row(int box) const;
  // Colour of the goal line, 0xRRGGBB; no dog wears it.
  static constexpr std::uint32_t goal_line_colour = 0xF0F03C;
  // The dog's colour at a column of its nose (stripes alternate), 0xRRGGBB.
  static std::uint32_t Box_Colour(int box, bool stripe);

  // Renders the scene at time_ms (progressive), or field 1 at time_ms and field 2 at
  // time_ms + 20 (interlaced), into target (Image_Size bytes).
  void Render(std::uint8_t *target, const Test_Track_Race &race, std::int64_t time_ms, bool interlaced) const;

private:
  struct Lane {
    std::int32_t top = 0, height = 0;
  };
  void Draw_Background();
  void Fill(std::uint8_t *target, std::int32_t left, std::int32_t right, std::int32_t top, std::int32_t bottom,
            std::uint32_t colour, int row_parity) const;
  void Draw_Dog(std::uint8_t *target, const Test_Track_Dog &dog, std::int64_t time_ms, int row_parity) const;
  void Draw_Stripes(std::uint8_t *target, double nose_x, std::int32_t left, std::int32_t right, std::int32_t top,
                    std::int32_t bottom, int row_parity) const;

  std::int32_t width_;
  std::int32_t height_;
  std::int32_t stride_;
  std::int32_t goal_;
  std::array<Lane, 6> lanes_{};
  std::vector<std::uint8_t> background_;
};
