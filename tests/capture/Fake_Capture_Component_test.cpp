// The fake camera of the tests must behave as a device does: a frame reaches the sink some
// time after it was captured and carries the moment of its capture, so a test that compares
// stored stamps with the fake's catches a program that stamps frames when it handles them.

#include "Capture_Test_Sink.h"
#include "Fake_Capture_Component.h"
#include "support/Clock.h"

#include <gtest/gtest.h>

namespace {

class Fake_Camera_Test : public testing::Test {
protected:
  void SetUp() override {
    Set_Clock(&clock_);
    fake_.AdviseSink(&sink_);
  }
  void TearDown() override { Set_Clock(nullptr); }
  Manual_Clock clock_{1000000, QDateTime(QDate(2018, 5, 23), QTime(0, 0, 0, 10))};
  Fake_Capture_Component fake_{{{QStringLiteral("Fake camera"), {Fake_Format(16, 8)}}}};
  Capture_Test_Sink sink_;
  Fake_Picture picture_{16, 8};
};

TEST_F(Fake_Camera_Test, AFrameIsStampedItsLatencyBeforeItArrives) {
  fake_.scripted_latency_ms = {60, 0};
  for (int i = 0; i < 3; ++i) {
    clock_.Advance(40);
    fake_.Deliver(picture_);
  }
  const std::int32_t delivered = Tick_From_Monotonic_Ms(1000040);
  ASSERT_EQ(sink_.frames.size(), 3u);
  EXPECT_EQ(sink_.frames[0].frame.capture_tick, delivered - 60) << "scripted";
  EXPECT_EQ(sink_.frames[1].frame.capture_tick, delivered + 40) << "scripted: no latency";
  EXPECT_EQ(sink_.frames[2].frame.capture_tick, delivered + 80 - Fake_Capture_Component::default_latency_ms);
  // The local time goes back by the same amount, across midnight: 00:00:00.050 - 60 ms.
  EXPECT_EQ(sink_.frames[0].frame.capture_local_ms, 86400000 - 10);
  EXPECT_EQ(sink_.frames[2].frame.capture_local_ms, 130 - Fake_Capture_Component::default_latency_ms);
  ASSERT_EQ(fake_.stamped.size(), 3u);
  std::vector<std::int32_t> seen;
  for (const Seen_Frame &f : sink_.frames)
    seen.push_back(f.frame.capture_tick);
  EXPECT_EQ(fake_.Stamped_Ticks(), seen);
  EXPECT_EQ(fake_.stamped[0].local_ms, sink_.frames[0].frame.capture_local_ms);
}

TEST_F(Fake_Camera_Test, TheStampGoesBackAcrossTheTicksWrap) {
  clock_.Set(0x100000000ULL + 10); // the 32-bit tick has just wrapped to 10
  fake_.Deliver(picture_);
  ASSERT_EQ(sink_.frames.size(), 1u);
  EXPECT_EQ(Ticks_Between(sink_.frames[0].frame.capture_tick, Tick()), Fake_Capture_Component::default_latency_ms);
}

TEST_F(Fake_Camera_Test, KeepingEveryFrameIsRecorded) {
  fake_.Set_Keep_Every_Frame(true);
  EXPECT_TRUE(fake_.keep_every_frame);
  fake_.Set_Keep_Every_Frame(false);
  EXPECT_FALSE(fake_.keep_every_frame);
  EXPECT_EQ(fake_.calls.mid(1),
            (QStringList{QStringLiteral("Set_Keep_Every_Frame 1"), QStringLiteral("Set_Keep_Every_Frame 0")}));
  EXPECT_EQ(fake_.Source_Count(), 1);
}

} // namespace
