// A capture keeps its frames by their capture ticks, not by when the window saw them.

#include "Fake_Capture_Component.h"
#include "capture/Frame_Buffer.h"
#include "capture/cls_Capture_HDMI.h"
#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "recording/CVideobuff_RGB.h"
#include "support/Clock.h"

#include <gtest/gtest.h>
#include <vector>

namespace {
constexpr std::int32_t period_ms = 20;

class Keeping_Test : public testing::TestWithParam<std::uint64_t> {
protected:
  void SetUp() override {
    Set_Clock(&clock_);
    Frame_Buffer::Set_Memory_Limit(std::nullopt);
    auto component = std::make_unique<Fake_Capture_Component>(
        std::vector<Fake_Source>{{QStringLiteral("Cam"), {Fake_Format(16, 16)}}});
    fake_ = component.get();
    capture_ = std::make_unique<cls_Capture_HDMI>(std::move(component));
    capture_->set_HDMI_Crop(8, 8);
    capture_->Set_MaxFrames(0);
    capture_->Set_Do_CROP(true);
    capture_->Capture_Run();
  }
  void TearDown() override {
    capture_.reset();
    Frame_Buffers().clear();
    Set_Clock(nullptr);
  }
  // The tick of frame i: captured every 20 ms from the test's base tick.
  std::int32_t Frame_Tick(int i) const {
    return Tick_From_Monotonic_Ms(GetParam() + static_cast<std::uint64_t>(i) * period_ms);
  }
  std::int32_t Base_Plus(int ms) const { return Tick_From_Monotonic_Ms(GetParam() + static_cast<std::uint64_t>(ms)); }
  void Deliver(int first, int last, std::int64_t lost_before = 0) {
    for (int i = first; i <= last; ++i) {
      Captured_Frame frame = picture_.Frame(Frame_Tick(i), 1000 + i);
      frame.lost_before = i == first ? lost_before : 0;
      fake_->Deliver_Frame(frame);
    }
  }
  std::vector<std::int32_t> Kept_Ticks() const {
    std::vector<std::int32_t> ticks;
    for (const auto &record : Frame_Buffers())
      ticks.push_back(record->Capture_Mill());
    return ticks;
  }
  std::vector<std::int32_t> Frame_Ticks(int first, int last) const {
    std::vector<std::int32_t> ticks;
    for (int i = first; i <= last; ++i)
      ticks.push_back(Frame_Tick(i));
    return ticks;
  }

  Temp_AppData appdata_;
  Scripted_Operator &operator_ = Scripted_Operator::Install();
  Manual_Clock clock_{0};
  Fake_Picture picture_{16, 16};
  Fake_Capture_Component *fake_ = nullptr;
  std::unique_ptr<cls_Capture_HDMI> capture_;
};

// The press at 105 ms and the release at 250 ms are both handled late: frames 6 and 7 (120
// and 140 ms) were shown before the press was handled, frames 13 and 14 (260, 280 ms) before
// the release was, and frames 11 and 12 (220, 240 ms) only arrive after it.
TEST_P(Keeping_Test, ACaptureKeepsTheFramesCapturedFromItsStartToItsEnd) {
  Deliver(0, 7);
  capture_->Begin_Keeping(Base_Plus(105));
  Deliver(8, 10);
  Deliver(11, 14);
  EXPECT_EQ(Kept_Ticks(), Frame_Ticks(6, 14)) << "no end yet: everything since the start";
  capture_->End_Keeping(Base_Plus(250));
  EXPECT_TRUE(capture_->End_Frame_Seen()) << "frame 13 came after the end";
  EXPECT_EQ(Kept_Ticks(), Frame_Ticks(6, 12));
  Deliver(15, 16);
  capture_->Stop_Keeping();
  EXPECT_EQ(Kept_Ticks(), Frame_Ticks(6, 12));
  EXPECT_FALSE(capture_->Keeping());
  // Frames after the capture are not kept.
  Deliver(17, 20);
  EXPECT_EQ(Kept_Ticks(), Frame_Ticks(6, 12));
}

TEST_P(Keeping_Test, CaptureEndWaitsForTheFramesCapturedBeforeIt) {
  Deliver(0, 3);
  capture_->Begin_Keeping(Base_Plus(45)); // frames 3 on
  Deliver(4, 5);
  capture_->End_Keeping(Base_Plus(130)); // frames up to 6
  EXPECT_FALSE(capture_->End_Frame_Seen()) << "frame 6 is still on its way";
  Deliver(6, 6);
  EXPECT_FALSE(capture_->End_Frame_Seen());
  Deliver(7, 7);
  EXPECT_TRUE(capture_->End_Frame_Seen());
  capture_->Stop_Keeping();
  EXPECT_EQ(Kept_Ticks(), Frame_Ticks(3, 6));
}

TEST_P(Keeping_Test, FramesLostDuringTheCaptureAreCounted) {
  Deliver(0, 2, 5); // lost before the capture: not its own
  capture_->Begin_Keeping(Base_Plus(50));
  Deliver(3, 4, 2);
  Deliver(5, 8, 1);
  capture_->End_Keeping(Base_Plus(170));
  Deliver(9, 10, 3); // the frames lost just before the first one past the end were the capture's
  capture_->Stop_Keeping();
  EXPECT_EQ(capture_->Capture_Frames_Lost(), 6);
  capture_->Begin_Keeping(Base_Plus(230));
  EXPECT_EQ(capture_->Capture_Frames_Lost(), 0) << "each capture counts its own";
}

TEST_P(Keeping_Test, NothingIsKeptWhenTheCameraStopsAndTheLookBackIsBounded) {
  Deliver(0, 60); // 1.2 s of frames
  EXPECT_LE(capture_->Recent_Held(), static_cast<std::size_t>(cls_Capture_HDMI::look_back_ms / period_ms + 1));
  capture_->Begin_Keeping(Base_Plus(0)); // a start older than the look back
  EXPECT_EQ(Kept_Ticks().front(), Frame_Tick(60 - cls_Capture_HDMI::look_back_ms / period_ms));
  capture_->Stop_Capture();
  EXPECT_TRUE(capture_->End_Frame_Seen()) << "a stopped camera brings no more frames";
}

INSTANTIATE_TEST_SUITE_P(AnywhereInTheTicksCycle, Keeping_Test,
                         testing::Values(100000ULL, (1ULL << 31) - 150, (1ULL << 32) - 150,
                                         (1ULL << 32) + 40ULL * 86400000));
} // namespace
