#include "Capture_Test_Sink.h"
#include "capture/Frame_Delivery.h"

#include <gtest/gtest.h>
#include <thread>

namespace {

Captured_Frame Frame_Numbered(std::uint64_t n) {
  Captured_Frame frame;
  frame.width = 2;
  frame.height = 1;
  frame.stride = 8;
  frame.sequence = n;
  frame.capture_tick = static_cast<std::int32_t>(n * 20);
  return frame;
}

void Push_Numbered(Frame_Delivery &delivery, std::uint64_t n) {
  std::vector<std::uint8_t> pixels = delivery.Acquire_Buffer(8);
  pixels[0] = static_cast<std::uint8_t>(n);
  delivery.Push_Frame(std::move(pixels), Frame_Numbered(n));
}

class Frame_Delivery_Test : public ::testing::Test {
protected:
  void SetUp() override {
    delivery.Set_Sink(&sink);
    delivery.Open();
  }
  Capture_Test_Sink sink;
  Frame_Delivery delivery{8};
};

TEST_F(Frame_Delivery_Test, FramesFromAnotherThreadArriveOnTheUiThreadInOrder) {
  std::thread producer([&] {
    for (std::uint64_t n = 0; n < 6; ++n)
      Push_Numbered(delivery, n);
  });
  producer.join();
  ASSERT_TRUE(Pump_Until([&] { return sink.frames.size() == 6; }, 2000));
  for (std::size_t i = 0; i < sink.frames.size(); ++i) {
    EXPECT_TRUE(sink.frames[i].on_ui_thread);
    EXPECT_EQ(sink.frames[i].frame.sequence, i);
    EXPECT_EQ(sink.frames[i].frame.length, 8u);
  }
}

TEST_F(Frame_Delivery_Test, SinkThatPumpsEventsIsNeverCalledNested) {
  // Inside each call the sink processes events while the producer keeps pushing.
  sink.inside = [](const Captured_Frame &) { QCoreApplication::processEvents(); };
  std::thread producer([&] {
    for (std::uint64_t n = 0; n < 30; ++n) {
      Push_Numbered(delivery, n);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  producer.join();
  ASSERT_TRUE(Pump_Until([&] { return delivery.Delivered() + delivery.Dropped() >= 30; }, 3000));
  EXPECT_EQ(sink.max_depth, 1);
  for (std::size_t i = 1; i < sink.frames.size(); ++i)
    EXPECT_GT(sink.frames[i].frame.sequence, sink.frames[i - 1].frame.sequence);
}

TEST_F(Frame_Delivery_Test, FullQueueDropsTheOldestAndCountsThemLost) {
  for (std::uint64_t n = 0; n < 12; ++n) // 4 more than the queue holds
    Push_Numbered(delivery, n);
  ASSERT_TRUE(Pump_Until([&] { return sink.frames.size() == 8; }, 2000));
  EXPECT_EQ(delivery.Dropped(), 4);
  EXPECT_EQ(sink.frames.front().frame.sequence, 4u);
  EXPECT_EQ(sink.frames.front().frame.lost_before, 4);
  EXPECT_EQ(sink.frames.back().frame.lost_total, 4);
  EXPECT_EQ(sink.frames.back().frame.lost_before, 0);
}

// The window's thread stalls inside a frame (a message box of the frame handler runs its own
// event loop, so the wakes come but the delivery may not nest) while the device goes on.
// Every frame stays queued while a capture keeps them, however long the stall.
struct Stall_Case {
  const char *what;
  bool keep;
  std::int64_t delivered, dropped;
};

class Frame_Delivery_Stall_Test : public Frame_Delivery_Test, public testing::WithParamInterface<Stall_Case> {};

TEST_P(Frame_Delivery_Stall_Test, AStallDuringACaptureLosesNoFrame) {
  const Stall_Case c = GetParam();
  delivery.Set_Keep_Every_Frame(c.keep);
  bool stalled = false;
  sink.inside = [&](const Captured_Frame &) {
    if (stalled)
      return;
    stalled = true;
    for (std::uint64_t n = 1; n <= 40; ++n) { // five times what the queue holds
      Push_Numbered(delivery, n);
      QCoreApplication::processEvents();
    }
  };
  Push_Numbered(delivery, 0);
  ASSERT_TRUE(Pump_Until([&] { return delivery.Delivered() == c.delivered; }, 2000)) << c.what;
  Pump_Until([] { return false; }, 50);
  EXPECT_EQ(delivery.Delivered(), c.delivered) << c.what;
  EXPECT_EQ(delivery.Dropped(), c.dropped) << c.what;
  EXPECT_EQ(sink.frames.back().frame.sequence, 40u);
  EXPECT_EQ(sink.frames.back().frame.lost_total, c.dropped) << c.what;
  std::int64_t lost = 0;
  for (std::size_t i = 1; i < sink.frames.size(); ++i) {
    const Captured_Frame &f = sink.frames[i].frame;
    EXPECT_EQ(f.lost_before, static_cast<std::int64_t>(f.sequence - sink.frames[i - 1].frame.sequence) - 1);
    lost += f.lost_before;
  }
  EXPECT_EQ(lost, c.dropped) << "every gap is counted where it is";
}

INSTANTIATE_TEST_SUITE_P(Cases, Frame_Delivery_Stall_Test,
                         testing::Values(Stall_Case{"keeping every frame", true, 41, 0},
                                         Stall_Case{"bounded", false, 9, 32}));

TEST_F(Frame_Delivery_Test, EndingTheKeepDropsTheOldestDownToTheBoundAsLost) {
  delivery.Set_Keep_Every_Frame(true);
  for (std::uint64_t n = 0; n < 20; ++n)
    Push_Numbered(delivery, n);
  EXPECT_EQ(delivery.Dropped(), 0);
  delivery.Set_Keep_Every_Frame(false);
  EXPECT_FALSE(delivery.Keep_Every_Frame());
  EXPECT_EQ(delivery.Dropped(), 12);
  ASSERT_TRUE(Pump_Until([&] { return sink.frames.size() == 8; }, 2000));
  EXPECT_EQ(sink.frames.front().frame.sequence, 12u);
  EXPECT_EQ(sink.frames.front().frame.lost_before, 12);
  EXPECT_EQ(sink.frames.back().frame.lost_total, 12);
  // Bounded again: the next overflow drops as before.
  for (std::uint64_t n = 20; n < 30; ++n)
    Push_Numbered(delivery, n);
  ASSERT_TRUE(Pump_Until([&] { return sink.frames.size() == 16; }, 2000));
  EXPECT_EQ(delivery.Dropped(), 14);
  EXPECT_EQ(sink.frames.back().frame.lost_total, 14);
}

TEST_F(Frame_Delivery_Test, KeepingOutlastsCloseAndOpen) {
  delivery.Set_Keep_Every_Frame(true);
  delivery.Close();
  delivery.Open();
  EXPECT_TRUE(delivery.Keep_Every_Frame());
  for (std::uint64_t n = 0; n < 20; ++n)
    Push_Numbered(delivery, n);
  ASSERT_TRUE(Pump_Until([&] { return sink.frames.size() == 20; }, 2000));
  EXPECT_EQ(delivery.Dropped(), 0);
}

// A stall no capture survives: the PC down to an eighth of its memory. The oldest go, as
// lost, rather than the program with the heat.
TEST_F(Frame_Delivery_Test, KeepingStillDropsWhenThePcRunsOutOfMemory) {
  Frame_Buffer::Memory_State memory{8000, 4000};
  delivery.Set_Memory_Probe([&] { return memory; });
  delivery.Set_Keep_Every_Frame(true);
  for (std::uint64_t n = 0; n < 20; ++n)
    Push_Numbered(delivery, n);
  EXPECT_EQ(delivery.Dropped(), 0);
  memory.available = 999;
  delivery.Set_Keep_Every_Frame(true); // reads the memory afresh at the next frame
  for (std::uint64_t n = 20; n < 25; ++n)
    Push_Numbered(delivery, n);
  EXPECT_EQ(delivery.Dropped(), 5);
  ASSERT_TRUE(Pump_Until([&] { return sink.frames.size() == 20; }, 2000));
  EXPECT_EQ(sink.frames.front().frame.sequence, 5u);
  EXPECT_EQ(sink.frames.front().frame.lost_before, 5);
}

TEST_F(Frame_Delivery_Test, DeviceLossesAddUpInTheTotal) {
  Captured_Frame frame = Frame_Numbered(3);
  frame.lost_before = 2;
  delivery.Push_Frame(delivery.Acquire_Buffer(8), frame);
  frame = Frame_Numbered(5);
  frame.lost_before = 1;
  delivery.Push_Frame(delivery.Acquire_Buffer(8), frame);
  ASSERT_TRUE(Pump_Until([&] { return sink.frames.size() == 2; }, 2000));
  EXPECT_EQ(sink.frames[0].frame.lost_total, 2);
  EXPECT_EQ(sink.frames[1].frame.lost_total, 3);
}

TEST_F(Frame_Delivery_Test, CloseDiscardsUndeliveredFramesAndRefusesNewOnes) {
  Push_Numbered(delivery, 0);
  delivery.Close();
  Push_Numbered(delivery, 1);
  QCoreApplication::processEvents();
  EXPECT_TRUE(sink.frames.empty());
}

TEST_F(Frame_Delivery_Test, ErrorsKeepTheirPlaceAfterFrames) {
  QStringList order;
  delivery.Set_Error_Handler([&](const QString &text) { order << QStringLiteral("handler ") + text; });
  sink.inside = [&](const Captured_Frame &f) { order << QStringLiteral("frame %1").arg(f.sequence); };
  Push_Numbered(delivery, 0);
  delivery.Push_Error(QStringLiteral("gone"));
  ASSERT_TRUE(Pump_Until([&] { return !sink.errors.empty(); }, 2000));
  EXPECT_EQ(order, (QStringList{QStringLiteral("frame 0"), QStringLiteral("handler gone")}));
  EXPECT_EQ(sink.errors.front(), QStringLiteral("gone"));
}

TEST_F(Frame_Delivery_Test, SinkRemovedInsideItsCallHearsNoMore) {
  sink.inside = [&](const Captured_Frame &) { delivery.Set_Sink(nullptr); };
  Push_Numbered(delivery, 0);
  Push_Numbered(delivery, 1);
  ASSERT_TRUE(Pump_Until([&] { return delivery.Delivered() == 2; }, 2000));
  EXPECT_EQ(sink.frames.size(), 1u);
}

} // namespace
