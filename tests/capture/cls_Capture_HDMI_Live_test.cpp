// The capture object over the program's own capture component, with no camera attached:
// the GStreamer test pattern (a real pipeline, live) and the built-in test track stand in
// for the grabber, so the lookup, the rate, the crop, the stamps and the storing are
// proven on the path the race operator uses.

#include "Capture_Test_Sink.h"
#include "capture/Frame_Buffer.h"
#include "capture/Module_HDMI_Support.h"
#include "capture/Test_Track_Scene.h"
#include "capture/cls_Capture_HDMI.h"
#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "recording/CVideobuff_RGB.h"
#include "support/Clock.h"
#include "support/Globals.h"
#include "support/Settings_Store.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

const QString pattern_name = QStringLiteral("GStreamer test pattern");
const QString track_name = QStringLiteral("Lurcher test track");

// Number of the source with that name as the component lists it; 0 when absent.
int Source_Number(const QString &name) {
  const std::unique_ptr<Capture_Component> component = Create_Capture_Component();
  for (int n = 1; n <= 10 && component->SelectSource(QStringLiteral("video:%1").arg(n)); ++n)
    if (component->GetValue(QStringLiteral("sourceFriendlyName")) == name)
      return n;
  return 0;
}

// Colour at (x, y) of a bottom-up bitmap, y counted from the top line as shown, 0xRRGGBB.
std::uint32_t Pixel_At(const cDIBSection &dib, std::int32_t x, std::int32_t y) {
  const std::uint8_t *p =
      dib.DIBSectionBitsPtr() + static_cast<std::ptrdiff_t>(dib.Height() - 1 - y) * dib.BytesPerScanLine() + x * 3;
  return (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
}

class Live_Capture_Test : public testing::Test {
protected:
  void SetUp() override {
    qputenv("LURCHER_GST_TEST_SOURCE", "1");
    Set_Capture_Component_Factory(nullptr);
    Frame_Buffer::Set_Memory_Limit(std::nullopt);
    Module_HDMI_Support::Limit_Capture_25_Fps = true;
    Module_HDMI_Support::Current_Friendly_Name.clear();
    Module_HDMI_Support::Current_Property_String.clear();
    capture_ = std::make_unique<cls_Capture_HDMI>();
    QObject::connect(capture_.get(), &cls_Capture_HDMI::HDMIreceived, [this] { On_Frame(); });
  }
  void TearDown() override {
    capture_.reset();
    Frame_Buffers().clear();
    Frame_Buffer::Set_Memory_Limit(std::nullopt);
    Module_HDMI_Support::Limit_Capture_25_Fps = true;
    qunsetenv("LURCHER_GST_TEST_SOURCE");
  }
  void Save(const QString &name, const QString &property) {
    Write_INI(QStringLiteral("capturesettings"), QStringLiteral("friendlyname"), name, Globals::Ini_File);
    Write_INI(QStringLiteral("capturesettings"), QStringLiteral("videoproperty"), property, Globals::Ini_File);
  }
  // Looks the saved source up and starts it as the main window does.
  void Start(const QString &name, const QString &property, std::int16_t crop_x, std::int16_t crop_y) {
    Save(name, property);
    ASSERT_TRUE(capture_->Set_Source_from_Saved());
    capture_->set_HDMI_Crop(crop_x, crop_y);
    capture_->Set_MaxFrames(0);
    capture_->Set_Do_CROP(true);
    capture_->Capture_Run();
    ASSERT_TRUE(capture_->Is_Running()) << capture_->LastError().toStdString();
  }
  bool Wait_For_Frames(int count, int timeout_ms = 6000) {
    return Pump_Until([&] { return capture_->HDMI_events() >= count; }, timeout_ms);
  }
  // The main window's part of a frame: store it while capturing, note what it saw.
  void On_Frame() {
    if (store_)
      capture_->Store_HDMI_Buffer();
    Seen seen{capture_->last_Capture_mill(), capture_->Capture_Delta_Raw(), capture_->last_Capture_delta(),
              capture_->Frames_Lost()};
    seen_.push_back(seen);
    if (inside_)
      inside_();
  }

  struct Seen {
    std::int32_t tick, raw_delta, shown_delta;
    std::int64_t lost; // by the source since Capture_Run
  };
  Temp_AppData appdata_;
  Scripted_Operator &operator_ = Scripted_Operator::Install();
  std::unique_ptr<cls_Capture_HDMI> capture_;
  bool store_ = false;
  std::vector<Seen> seen_;
  std::function<void()> inside_;
};

// ---- the saved source ----

TEST_F(Live_Capture_Test, SavedTestPatternIsFoundWithItsFormatAndLimits) {
  const int number = Source_Number(pattern_name);
  ASSERT_GT(number, 0);
  Save(pattern_name, QStringLiteral("2"));
  EXPECT_TRUE(capture_->Set_Source_from_Saved());
  EXPECT_TRUE(capture_->SourcePropFound());
  EXPECT_EQ(capture_->Sourcenum(), QString::number(number));
  EXPECT_EQ(capture_->Current_FriendlyName(), pattern_name);
  EXPECT_EQ(capture_->Current_PropertyString(), QStringLiteral("1280*720/50"));
  EXPECT_EQ(capture_->MaxInterval(), QStringLiteral("400000")) << "25 fps is its slowest format";
  EXPECT_EQ(capture_->MinInterval(), QStringLiteral("200000")) << "50 fps its fastest";
  EXPECT_TRUE(operator_.Prompts().empty());
}

TEST_F(Live_Capture_Test, SavedTrackFormatIsFoundAfterTheDevices) {
  const int number = Source_Number(track_name);
  ASSERT_GT(number, Source_Number(pattern_name)) << "the test track comes last";
  Save(track_name, QStringLiteral("2"));
  EXPECT_TRUE(capture_->Set_Source_from_Saved());
  EXPECT_EQ(capture_->Sourcenum(), QString::number(number));
  EXPECT_EQ(capture_->Current_PropertyString(), QStringLiteral("720*576/25"));
}

TEST_F(Live_Capture_Test, SourceNeverChosenShowsTheMessage) {
  operator_.Answer(Msg_Result::OK);
  EXPECT_FALSE(capture_->Set_Source_from_Saved());
  EXPECT_FALSE(capture_->SourcePropFound());
  EXPECT_EQ(operator_.Message_Texts(),
            QStringList{QStringLiteral("Could not find the saved Video source! Please re-select Video source!")});
}

// ---- frames from the GStreamer test pattern ----

// 50 frames per second capped at 25: the capture stamps of the pattern lie 40 ms apart, so
// the 50-frame block measures exactly 2000 ms and the ten-frame interval 400 ms.
TEST_F(Live_Capture_Test, PatternCappedToTwentyFiveMeasuresTwentyFive) {
  Start(pattern_name, QStringLiteral("0"), 100, 80);
  ASSERT_TRUE(Wait_For_Frames(52, 8000));
  capture_->Stop_Capture();
  EXPECT_EQ(capture_->Running_Fps(), 25);
  EXPECT_EQ(capture_->HDMI_10_mill(), 400);
  EXPECT_EQ(capture_->HDMI_Sample_Dimensions(), QStringLiteral("318*240"));
  EXPECT_EQ(capture_->Frames_Lost(), 0);
  // 318 x 240 cropped to 100 x 80 starts at (109, 80).
  EXPECT_EQ(capture_->Crop_Left(), 109);
  EXPECT_EQ(capture_->Crop_Top(), 80);
  ASSERT_GE(seen_.size(), 2u);
  // The first delta of a new object runs from tick 0: the window sees it as 0 once it is
  // over 10 s; the rest are the capture spacing.
  const Seen &first = seen_.front();
  EXPECT_EQ(first.shown_delta, first.raw_delta >= 0 && first.raw_delta <= 10000 ? first.raw_delta : 0);
  for (std::size_t i = 1; i < seen_.size(); ++i) {
    EXPECT_EQ(seen_[i].raw_delta, 40) << "frame " << i + 1;
    EXPECT_EQ(seen_[i].shown_delta, 40);
  }
}

TEST_F(Live_Capture_Test, WithoutTheLimitThePatternKeepsItsOwnRate) {
  Module_HDMI_Support::Limit_Capture_25_Fps = false;
  Start(pattern_name, QStringLiteral("0"), 100, 80);
  ASSERT_TRUE(Wait_For_Frames(12));
  capture_->Stop_Capture();
  for (std::size_t i = 1; i < seen_.size(); ++i)
    EXPECT_EQ(seen_[i].raw_delta, 20) << "frame " << i + 1;
}

// ---- storing on the test track ----

TEST_F(Live_Capture_Test, StoringBeforeTheFirstFrameKeepsNothing) {
  Start(track_name, QStringLiteral("3"), 400, 300);
  capture_->Set_Post_linear(true);
  capture_->Store_HDMI_Buffer(); // before any frame of the run arrived
  EXPECT_EQ(capture_->Buff_Num(), 0);
  EXPECT_EQ(capture_->num_Buffers_stored(), 0);
}

// 1920 x 1080 cropped to 600 x 1080 starts at column 660: the goal line (column 1008 of the
// scene) lies at column 348 of the crop. Before the dogs reach it the line shows on every
// lane; the records carry the crop and the stamps of their own frames, on the 20 ms grid.
TEST_F(Live_Capture_Test, TrackCropKeepsTheGoalLineAndRecordsTheFrameStamps) {
  Module_HDMI_Support::Limit_Capture_25_Fps = false;
  const Test_Track_Scene scene(1920, 1080);
  std::vector<std::uint32_t> goal_pixels, beside_pixels;
  inside_ = [&] {
    goal_pixels.push_back(Pixel_At(capture_->Crop_DIB(), scene.Goal_Column() - 660, scene.Nose_Row(1)));
    beside_pixels.push_back(Pixel_At(capture_->Crop_DIB(), scene.Goal_Column() - 661, scene.Nose_Row(1)));
  };
  Start(track_name, QStringLiteral("0"), 600, 1080);
  capture_->Set_Post_linear(true);
  store_ = true;
  ASSERT_TRUE(Wait_For_Frames(10));
  capture_->Stop_Capture();
  EXPECT_EQ(capture_->Crop_Left(), 660);
  EXPECT_EQ(capture_->Crop_Top(), 0);
  ASSERT_FALSE(goal_pixels.empty());
  EXPECT_EQ(goal_pixels.front(), Test_Track_Scene::goal_line_colour);
  EXPECT_NE(beside_pixels.front(), Test_Track_Scene::goal_line_colour);

  ASSERT_EQ(capture_->Buff_Num(), static_cast<std::int32_t>(seen_.size()));
  const std::int32_t bytes = capture_->Crop_DIB().SizeImage();
  EXPECT_EQ(bytes, 1800 * 1080);
  for (std::size_t i = 0; i < seen_.size(); ++i) {
    const CVideobuff_RGB &record = *Frame_Buffers()[i];
    EXPECT_EQ(record.RGB_Length(), bytes);
    EXPECT_EQ(record.Capture_Mill(), seen_[i].tick) << "record " << i + 1;
    EXPECT_EQ(record.Capture_Delta(), seen_[i].raw_delta);
    // A slow machine may lose frames; the stamps stay on the 20 ms grid and the loss is counted.
    if (i > 0) {
      const auto lost = static_cast<std::int32_t>(seen_[i].lost - seen_[i - 1].lost);
      EXPECT_EQ(Ticks_Between(Frame_Buffers()[i - 1]->Capture_Mill(), record.Capture_Mill()), 20 * (1 + lost));
    }
  }
  EXPECT_EQ(0, std::memcmp(Frame_Buffers().back()->Video_Adress(), capture_->Crop_DIB().DIBSectionBitsPtr(),
                           static_cast<std::size_t>(bytes)))
      << "the last record is the last crop";
}

TEST_F(Live_Capture_Test, CaptureRunEmptiesTheListOfTheHeatBefore) {
  Start(track_name, QStringLiteral("3"), 400, 300);
  capture_->Set_Post_linear(true);
  store_ = true;
  ASSERT_TRUE(Wait_For_Frames(5));
  capture_->Stop_Capture();
  EXPECT_GE(capture_->Buff_Num(), 5);
  capture_->Capture_Run(); // the previous heat was never drained
  EXPECT_EQ(capture_->Buff_Num(), 0);
  EXPECT_EQ(capture_->num_Buffers_stored(), 0);
  EXPECT_EQ(capture_->HDMI_events(), 0);
  capture_->Stop_Capture();
}

TEST_F(Live_Capture_Test, MemoryBoundStopsKeepingFramesAndTellsTheOperatorOnce) {
  Start(track_name, QStringLiteral("3"), 400, 300);
  Frame_Buffer::Set_Memory_Limit(4LL * capture_->Crop_DIB().SizeImage());
  capture_->Set_Post_linear(true);
  store_ = true;
  operator_.Answer(Msg_Result::OK);
  ASSERT_TRUE(Wait_For_Frames(10));
  capture_->Stop_Capture();
  EXPECT_EQ(capture_->Buff_Num(), 4) << "every frame kept before the bound stays";
  EXPECT_TRUE(capture_->Buffer_Filled());
  ASSERT_EQ(operator_.Message_Texts().size(), 1);
  EXPECT_TRUE(operator_.Message_Texts()[0].contains(QStringLiteral("Capture memory is full")));
  for (std::size_t i = 0; i < 4; ++i)
    EXPECT_EQ(Frame_Buffers()[i]->Capture_Mill(), seen_[i].tick) << "the first four frames are the ones kept";
  EXPECT_GE(capture_->HDMI_events(), 10) << "the live picture goes on";
}

// ---- a source that goes away ----

// The pattern ends after 8 frames, as an unplugged grabber would: the operator gets the
// message, the frames of the running heat stay in the list, and the camera can start again.
TEST_F(Live_Capture_Test, SourceLostWhileCapturingKeepsTheHeatsFrames) {
  Module_HDMI_Support::Limit_Capture_25_Fps = false;
  qputenv("LURCHER_GST_TEST_SOURCE_FRAMES", "8");
  int failures = 0;
  QObject::connect(capture_.get(), &cls_Capture_HDMI::Capture_Failed, [&failures] { ++failures; });
  Start(pattern_name, QStringLiteral("0"), 100, 80);
  capture_->Set_Post_linear(true);
  store_ = true;
  operator_.Answer(Msg_Result::OK);
  const bool reported = Pump_Until([&] { return failures > 0; }, 6000);
  qunsetenv("LURCHER_GST_TEST_SOURCE_FRAMES");
  ASSERT_TRUE(reported);
  EXPECT_FALSE(capture_->Is_Running());
  EXPECT_EQ(capture_->Buff_Num(), 8) << "every frame before the loss is kept";
  ASSERT_EQ(operator_.Message_Texts().size(), 1);
  EXPECT_TRUE(operator_.Message_Texts()[0].startsWith(QStringLiteral("*Capture_run error at line ")));
  EXPECT_TRUE(operator_.Message_Texts()[0].contains(capture_->LastError()));
  capture_->Stop_Capture(); // the owner stops the camera as usual
  EXPECT_EQ(capture_->Buff_Num(), 8);

  store_ = false;
  capture_->Capture_Run(); // the camera starts again
  EXPECT_TRUE(Wait_For_Frames(3));
  capture_->Stop_Capture();
}

} // namespace
