#include "judging/Heat_Time.h"
#include "judging/Review_Navigation.h"
#include "support/Failure.h"
#include "support/Non_dependant.h"

#include "Judging_Test_Support.h"
#include <cctype>

#include <gtest/gtest.h>
#include <limits>
#include <ostream>
#include <string>

namespace {
constexpr std::int32_t int32_max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t int32_min = std::numeric_limits<std::int32_t>::min();

// ---- the time chain ----

struct Chain_Case {
  std::string name;
  std::int32_t start, stamp;
  std::int16_t field;
  bool interlaced;
  const char *compensation;
  std::int32_t heat_ms;
  const char *shown; // Label_heat_time
};
void PrintTo(const Chain_Case &c, std::ostream *out) { *out << c.name; }

class Heat_Time_Chain : public testing::TestWithParam<Chain_Case> {};

TEST_P(Heat_Time_Chain, HeatTimeAndItsText) {
  const Chain_Case &c = GetParam();
  const Heat_Timing timing = Review_Timing(c.start, c.interlaced, QString::fromLatin1(c.compensation));
  const std::int32_t heat_ms = Heat_Elapsed_AR(timing, c.stamp, c.field);
  EXPECT_EQ(heat_ms, c.heat_ms);
  EXPECT_EQ(Display_Mill_Time(heat_ms, false), QString::fromLatin1(c.shown));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Heat_Time_Chain,
    testing::Values(
        // 12,345 ms after the start, compensation "200": 12,345 + 2 - 200
        Chain_Case{"frame", 1000, 13345, whole_frame, false, "200", 12147, " 00:12,15"},
        Chain_Case{"first field", 1000, 13345, 1, true, "200", 12147, " 00:12,15"},
        Chain_Case{"second field is 20 ms later", 1000, 13345, 2, true, "200", 12167, " 00:12,17"},
        // a progressive recording has no second field, whatever it is asked for
        Chain_Case{"progressive never adds the field gap", 1000, 13345, 2, false, "200", 12147, " 00:12,15"},
        Chain_Case{"whole interlaced frame", 1000, 13345, whole_frame, true, "200", 12147, " 00:12,15"},
        Chain_Case{"no compensation", 1000, 13345, whole_frame, false, "0", 12347, " 00:12,35"},
        Chain_Case{"compensation with blanks", 1000, 13345, whole_frame, false, " 200 ", 12147, " 00:12,15"},
        Chain_Case{"negative compensation", 1000, 13345, whole_frame, false, "-50", 12397, " 00:12,40"},
        Chain_Case{"compensation in exponent form", 1000, 13345, whole_frame, false, "2e2", 12147, " 00:12,15"},
        // halves to even: 12,146.5 -> 12,146 and 12,147.5 -> 12,148
        Chain_Case{"half down to even", 1000, 13345, whole_frame, false, "200.5", 12146, " 00:12,15"},
        Chain_Case{"half up to even", 1000, 13345, whole_frame, false, "199.5", 12148, " 00:12,15"},
        Chain_Case{"fraction below a half", 1000, 13345, whole_frame, false, "200.4", 12147, " 00:12,15"},
        // the tick wraps between the start and the frame
        Chain_Case{"across the wrap", int32_max - 100, int32_min + 12244, whole_frame, false, "200", 12147,
                   " 00:12,15"},
        Chain_Case{"negative ticks", -5000, 7345, 2, true, "200", 12167, " 00:12,17"},
        Chain_Case{"frame before the start", 10000, 9000, whole_frame, false, "0", -998, "-00:01,00"},
        Chain_Case{"over an hour", 0, 3723456, whole_frame, false, "2", 3723456, " 1:02:03,46"}),
    [](const testing::TestParamInfo<Chain_Case> &param_info) {
      std::string name = param_info.param.name;
      for (char &ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch)))
          ch = '_';
      return name;
    });

TEST(Heat_Time, OverflowIsAFailure) {
  // The chain's sum is a 32-bit value at every step: a compensation cannot bring back a sum
  // that has already overflowed.
  EXPECT_EQ(Failure_Of([] { Heat_Elapsed_AR(Review_Timing(0, false, "0"), int32_max - 1, whole_frame); }),
            Err_Overflow);
  EXPECT_EQ(Failure_Of([] { Heat_Elapsed_AR(Review_Timing(0, false, "100"), int32_max - 1, whole_frame); }),
            Err_Overflow);
  EXPECT_EQ(Heat_Elapsed_AR(Review_Timing(0, true, "0"), int32_max - 21, 1), int32_max - 19);
  EXPECT_EQ(Failure_Of([] { Heat_Elapsed_AR(Review_Timing(0, true, "0"), int32_max - 21, 2); }), Err_Overflow)
      << "the field gap overflows";
  EXPECT_EQ(Failure_Of([] { Heat_Elapsed_AR(Review_Timing(0, false, "3e9"), 12345, whole_frame); }), Err_Overflow);
  EXPECT_EQ(Failure_Of([] { Heat_Elapsed_AR(Review_Timing(0, false, "1e300"), 12345, whole_frame); }), Err_Overflow);
  EXPECT_EQ(Heat_Elapsed_AR(Review_Timing(0, false, "2"), int32_min, whole_frame), int32_min)
      << "the lowest time there is";
}

TEST(Heat_Time, CompensationThatIsNoNumberIsRefused) {
  EXPECT_EQ(Failure_Of([] { Review_Timing(0, false, "abc"); }), Err_Type_Mismatch);
  EXPECT_EQ(Failure_Of([] { Review_Timing(0, false, ""); }), Err_Type_Mismatch);
  EXPECT_EQ(Failure_Of([] { Review_Timing(0, false, "inf"); }), Err_Type_Mismatch);
}

TEST(Heat_Time, EachCameraHasItsOwnCompensation) {
  EXPECT_EQ(Review_Compensation("200", "150", 1), "200");
  EXPECT_EQ(Review_Compensation("200", "150", 2), "150");
  EXPECT_EQ(Review_Compensation("200", "150", 0), "200") << "no line: the goal camera's";
  // the split camera's heat time uses its own delay
  const Heat_Timing split = Review_Timing(1000, false, Review_Compensation("200", "150", 2));
  EXPECT_EQ(Heat_Elapsed_AR(split, 13345, whole_frame), 12197);
}

// ---- the slider ----

TEST(Heat_Time, SliderCountsFieldsOnlyForInterlacedFrames) {
  EXPECT_TRUE(Slider_Counts_Fields(true));
  EXPECT_FALSE(Slider_Counts_Fields(false));
  EXPECT_EQ(Slider_Max(true, 750), 1500);
  EXPECT_EQ(Slider_Max(false, 1500), 1500);
  EXPECT_EQ(Slider_Max(true, 0), 0);
  EXPECT_EQ(Slider_Max(false, -3), 0);
}

struct Image_Case {
  std::int32_t position;
  bool counts_fields;
  Review_Image image;
};
void PrintTo(const Image_Case &c, std::ostream *out) {
  *out << c.position << (c.counts_fields ? " (fields)" : " (frames)");
}

class Slider_Image : public testing::TestWithParam<Image_Case> {};

TEST_P(Slider_Image, PositionToImageAndBack) {
  const Image_Case &c = GetParam();
  EXPECT_EQ(Image_At(c.position, c.counts_fields), c.image);
  EXPECT_EQ(Slider_Position(c.image, c.counts_fields), c.position);
}

INSTANTIATE_TEST_SUITE_P(Cases, Slider_Image,
                         testing::Values(Image_Case{1, true, {1, 1}}, Image_Case{2, true, {1, 2}},
                                         Image_Case{3, true, {2, 1}}, Image_Case{4, true, {2, 2}},
                                         Image_Case{11, true, {6, 1}}, Image_Case{65534, true, {32767, 2}},
                                         Image_Case{1, false, {1, whole_frame}}, Image_Case{6, false, {6, whole_frame}},
                                         Image_Case{32767, false, {32767, whole_frame}}));

TEST(Heat_Time, SliderPositionsOutsideTheRecording) {
  EXPECT_EQ(Failure_Of([] { Image_At(0, true); }), Err_Subscript);
  EXPECT_EQ(Failure_Of([] { Image_At(-1, false); }), Err_Subscript);
  EXPECT_EQ(Failure_Of([] { Slider_Position({0, 1}, true); }), Err_Subscript);
  EXPECT_EQ(Slider_Position({3, whole_frame}, true), 5) << "a whole frame is found at its first field";
}

// ---- stepping through a recording ----

struct Stepping_Case {
  std::string name;
  bool interlaced;
  std::int32_t frame_period_ms;
  std::int32_t positions;  // slider positions of 3 frames
  std::int32_t step_ms[5]; // heat time from each position to the next
};
void PrintTo(const Stepping_Case &c, std::ostream *out) { *out << c.name; }

class Stepping : public testing::TestWithParam<Stepping_Case> {};

TEST_P(Stepping, HeatTimesOfNeighbouringImages) {
  const Stepping_Case &c = GetParam();
  const std::int32_t start = 5000;
  const Review_Navigation review(
      {start + 12345, start + 12345 + c.frame_period_ms, start + 12345 + 2 * c.frame_period_ms},
      Review_Timing(start, c.interlaced, "200"));
  ASSERT_EQ(review.Slider_Max(), c.positions);
  EXPECT_EQ(review.Heat_Time_At(1), 12147);
  for (std::int32_t p = 1; p < c.positions; ++p)
    EXPECT_EQ(review.Heat_Time_At(p + 1) - review.Heat_Time_At(p), c.step_ms[p - 1]) << "from position " << p;
  EXPECT_EQ(Failure_Of([&] { review.Heat_Time_At(c.positions + 1); }), Err_Subscript);
}

INSTANTIATE_TEST_SUITE_P(Cases, Stepping,
                         testing::Values(
                             // by field: each frame's second field 20 ms after its first
                             Stepping_Case{"interlaced_25fps", true, 40, 6, {20, 20, 20, 20, 20}},
                             // by frame, never a field gap
                             Stepping_Case{"progressive_50fps", false, 20, 3, {20, 20}},
                             // by frame too: a progressive 25 fps recording has no fields to step through
                             Stepping_Case{"progressive_25fps", false, 40, 3, {40, 40}}),
                         [](const testing::TestParamInfo<Stepping_Case> &param_info) { return param_info.param.name; });
} // namespace
