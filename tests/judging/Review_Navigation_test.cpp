#include "judging/Review_Navigation.h"
#include "support/Failure.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

namespace {
constexpr std::int32_t int32_max = std::numeric_limits<std::int32_t>::max();

// The review as an operator's slider runs it: set the value, draw the image, and its heat
// time replaces the one shown; a redraw that fails leaves the time shown before it.
class Stepping_Review {
public:
  Stepping_Review(std::vector<std::int32_t> ticks, Heat_Timing timing) : ticks_(std::move(ticks)), timing_(timing) {}

  std::int32_t Max() const {
    const auto frames = static_cast<std::int32_t>(ticks_.size());
    return timing_.interlaced ? 2 * frames : frames;
  }
  void Redraw(std::int32_t value) {
    std::int32_t frame = value;
    std::int16_t field = whole_frame;
    if (timing_.interlaced) {
      frame = static_cast<std::int32_t>(std::floor(value / 2.0 + 0.5));
      field = value % 2 == 1 ? 1 : 2;
    }
    try {
      shown_ms_ = Heat_Elapsed_AR(timing_, ticks_[static_cast<std::size_t>(frame - 1)], field);
    } catch (const Lurcher_Failure &) {
    }
  }
  std::int32_t Goto_Time(std::int32_t target_ms) {
    std::int32_t value = 0;
    for (value = 1; value <= Max(); ++value) {
      Redraw(value);
      if (shown_ms_ >= target_ms)
        return value;
    }
    return Max();
  }
  std::int32_t Goto_Goal() {
    std::int32_t value = 0;
    for (std::int32_t step = 1; step <= Max(); step += 4) {
      value = step;
      Redraw(value);
      if (shown_ms_ > 12000)
        break;
    }
    return value;
  }

private:
  std::vector<std::int32_t> ticks_;
  Heat_Timing timing_;
  std::int32_t shown_ms_ = 0;
};

// Capture ticks of frames period_ms apart, the first first_ms after the start tick, with the
// small unevenness of a real camera's stamps.
std::vector<std::int32_t> Frames(std::int32_t start, std::int32_t first_ms, std::int32_t period_ms, int count,
                                 bool jitter = true) {
  std::vector<std::int32_t> ticks;
  for (int k = 0; k < count; ++k) {
    const std::int32_t wobble = jitter ? (k * 7) % 3 - 1 : 0;
    ticks.push_back(static_cast<std::int32_t>(static_cast<std::uint32_t>(start) +
                                              static_cast<std::uint32_t>(first_ms + k * period_ms + wobble)));
  }
  return ticks;
}

struct Heat_Case {
  std::string name;
  std::vector<std::int32_t> ticks;
  std::int32_t start;
  bool interlaced;
  const char *compensation;
};
void PrintTo(const Heat_Case &c, std::ostream *out) { *out << c.name; }

std::vector<Heat_Case> Heat_Cases() {
  const std::int32_t near_wrap = int32_max - 15000;
  std::vector<std::int32_t> corrupt = Frames(1000, 3000, 20, 900);
  corrupt[400] = 0;             // a record with a stamp from nowhere
  corrupt[401] = int32_max - 1; // and one whose heat time does not fit 32 bits
  std::vector<std::int32_t> backwards = Frames(1000, 3000, 20, 900);
  backwards[700] = backwards[100]; // a stamp that goes back in time
  return {
      {"progressive_50fps_30s", Frames(1000, 1500, 20, 1500), 1000, false, "200"},
      {"interlaced_25fps_30s", Frames(1000, 1500, 40, 750), 1000, true, "200"},
      {"progressive_25fps", Frames(1000, 1500, 40, 750), 1000, false, "200"},
      {"no_compensation", Frames(-77, 0, 20, 1500), -77, false, "0"},
      {"half_millisecond_compensation", Frames(1000, 1500, 40, 750), 1000, true, "12.5"},
      {"across_the_wrap_50fps", Frames(near_wrap, 1500, 20, 1500), near_wrap, false, "200"},
      {"across_the_wrap_interlaced", Frames(near_wrap, 1500, 40, 750), near_wrap, true, "200"},
      {"capture_before_the_start", Frames(5000, -2000, 20, 800), 5000, false, "200"},
      {"under_12_seconds", Frames(1000, 4000, 20, 300), 1000, false, "200"},
      {"under_12_seconds_interlaced", Frames(1000, 4000, 40, 150), 1000, true, "200"},
      {"corrupt_records", corrupt, 1000, false, "200"},
      {"stamp_going_back", backwards, 1000, true, "200"},
      {"exactly_12_seconds_at_a_step", Frames(1000, 4998, 20, 1500, false), 1000, false, "200"},
      {"one_frame", Frames(1000, 15000, 20, 1), 1000, true, "200"},
      {"no_frames", {}, 1000, false, "200"},
  };
}

class Review_Jump : public testing::TestWithParam<Heat_Case> {
protected:
  Heat_Timing Timing() const {
    const Heat_Case &c = GetParam();
    return Review_Timing(c.start, c.interlaced, QString::fromLatin1(c.compensation));
  }
};

TEST_P(Review_Jump, GotoTimeLandsWhereSteppingDoes) {
  const Heat_Case &c = GetParam();
  const Review_Navigation direct(c.ticks, Timing());
  for (const std::int32_t target : {-5000, -1,    0,     1,     1300,  1302,  1303,  4000,  11999, 12000,    12001,
                                    12002, 12003, 12011, 12012, 12013, 25000, 29999, 31305, 40000, int32_max}) {
    Stepping_Review stepping(c.ticks, Timing());
    EXPECT_EQ(direct.Goto_Time(target), stepping.Goto_Time(target)) << "target " << target;
  }
}

TEST_P(Review_Jump, GotoGoalLandsWhereSteppingDoes) {
  const Heat_Case &c = GetParam();
  Stepping_Review stepping(c.ticks, Timing());
  EXPECT_EQ(Review_Navigation(c.ticks, Timing()).Goto_Goal(), stepping.Goto_Goal());
}

INSTANTIATE_TEST_SUITE_P(Cases, Review_Jump, testing::ValuesIn(Heat_Cases()),
                         [](const testing::TestParamInfo<Heat_Case> &param_info) { return param_info.param.name; });

// ---- where the jumps land, worked out by hand ----

TEST(Review_Navigation, Progressive50fps) {
  // frame k is stamped 5000 + 20 (k - 1) ms after the start: heat time 4802 + 20 (k - 1)
  const Review_Navigation review(Frames(1000, 5000, 20, 1500, false), Review_Timing(1000, false, "200"));
  ASSERT_EQ(review.Slider_Max(), 1500);
  EXPECT_EQ(review.Goto_Time(25000), 1011);
  EXPECT_EQ(review.Heat_Time_At(1011), 25002);
  EXPECT_EQ(review.Heat_Time_At(1010), 24982);
  EXPECT_EQ(review.Goto_Time(24982), 1010) << "a time the image has exactly";
  // every fourth frame: 1, 5, ..., 357 (11,922 ms), 361 (12,002 ms)
  EXPECT_EQ(review.Goto_Goal(), 361);
  EXPECT_EQ(review.Goto_Time(0), 1) << "the first image is later already";
  EXPECT_EQ(review.Goto_Time(40000), 1500) << "past the last image: the last one";
}

TEST(Review_Navigation, Interlaced25fps) {
  // frame k at 5000 + 40 (k - 1); its second field 20 ms later: position p at 4802 + 20 (p - 1)
  const Review_Navigation review(Frames(1000, 5000, 40, 750, false), Review_Timing(1000, true, "200"));
  ASSERT_EQ(review.Slider_Max(), 1500);
  EXPECT_EQ(review.Goto_Time(25000), 1011);
  EXPECT_EQ(Image_At(1011, true), (Review_Image{506, 1}));
  EXPECT_EQ(review.Goto_Time(25010), 1012) << "the second field of the same frame";
  EXPECT_EQ(review.Heat_Time_At(1012), 25022);
  // positions 1, 5, 9, ... are always first fields: 361 is frame 181 at 12,002 ms
  EXPECT_EQ(review.Goto_Goal(), 361);
  EXPECT_EQ(review.Heat_Time_At(361), 12002);
}

TEST(Review_Navigation, GoalAreaLiesBeyond12Seconds) {
  // position 361 shows exactly 12,000 ms: not yet the goal area, the next step is
  const Review_Navigation review(Frames(1000, 4998, 20, 1500, false), Review_Timing(1000, false, "200"));
  ASSERT_EQ(review.Heat_Time_At(361), 12000);
  EXPECT_EQ(review.Goto_Goal(), 365);
}

TEST(Review_Navigation, HeatShorterThanTheGoalArea) {
  // 300 frames from 4 s: the last at 9,762 ms. The steps of 4 end at 297, not at 300.
  const Review_Navigation review(Frames(1000, 4000, 20, 300, false), Review_Timing(1000, false, "200"));
  EXPECT_EQ(review.Goto_Goal(), 297);
  EXPECT_EQ(review.Goto_Time(25000), 300);
}

TEST(Review_Navigation, NoImages) {
  const Review_Navigation review({}, Review_Timing(1000, true, "200"));
  EXPECT_EQ(review.Slider_Max(), 0);
  EXPECT_EQ(review.Goto_Goal(), 0);
  EXPECT_EQ(review.Goto_Time(1000), 0);
  EXPECT_EQ(Review_Navigation().Goto_Goal(), 0);
}

TEST(Review_Navigation, ImageWhoseTimeOverflowsIsPassedBy) {
  std::vector<std::int32_t> ticks = Frames(0, 13000, 20, 10, false);
  ticks[2] = int32_max - 1; // its time does not fit 32 bits
  const Review_Navigation review(ticks, Review_Timing(0, false, "200"));
  EXPECT_EQ(review.Goto_Time(12850), 4);
  EXPECT_THROW(review.Heat_Time_At(3), Lurcher_Failure);
}
} // namespace
