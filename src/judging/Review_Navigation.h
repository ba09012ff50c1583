#pragma once
// Where the review's jumps land. Stepping the slider image by image and drawing each one on
// the way, as an operator would, takes seconds on a long heat; the heat time of every image
// follows from its frame's capture tick alone, read from the records without decoding them,
// so the image a jump lands on is found from the ticks and drawn once.

#include "judging/Heat_Time.h"

#include <cstdint>
#include <vector>

// The heat time at which Goto_Goal stops: the goal area of a heat.
inline constexpr std::int32_t goal_area_ms = 12000;
// Goto_Goal looks at every fourth slider position.
inline constexpr std::int32_t goal_search_step = 4;

class Review_Navigation {
public:
  Review_Navigation() = default;
  // capture_ticks: one per frame, in the order of the records (frame 1 first).
  Review_Navigation(std::vector<std::int32_t> capture_ticks, Heat_Timing timing);

  bool Counts_Fields() const { return Slider_Counts_Fields(timing_.interlaced); }
  // 0 when the heat has no images.
  std::int32_t Slider_Max() const;
  // m_Heat_Elapsed_AR of the image at the slider position (1 to Slider_Max); raises 9
  // outside, 6 when the time does not fit 32 bits.
  std::int32_t Heat_Time_At(std::int32_t position) const;

  // Goto_Time: the first position from the start whose heat time is at least target_ms; the
  // last position when none is. 0 when there are no images. An image whose time does not fit
  // 32 bits has none, and does not stop the search.
  std::int32_t Goto_Time(std::int32_t target_ms) const;
  // Goto_Goal: the first of the positions 1, 5, 9, ... whose heat time is above
  // goal_area_ms; the last of them when none is (a heat shorter than that).
  std::int32_t Goto_Goal() const;

private:
  bool Time_At(std::int32_t position, std::int32_t &heat_ms) const;

  std::vector<std::int32_t> ticks_;
  Heat_Timing timing_;
};
