#include "Capture_Test_Sink.h"
#include "Fake_Capture_Component.h"
#include "capture/Frame_Buffer.h"
#include "capture/Module_HDMI_Support.h"
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
// Counts the emissions of a signal.
struct Signal_Count {
  int count = 0;
  template <class Signal> Signal_Count(cls_Capture_HDMI *object, Signal signal) {
    QObject::connect(object, signal, [this] { ++count; });
  }
};

const QString not_found = QStringLiteral("Could not find the saved Video source! Please re-select Video source!");

std::vector<Fake_Source> Two_Sources() {
  return {{QStringLiteral("Cam A"), {Fake_Format(720, 576)}},
          {QStringLiteral("USB Grabber"), {Fake_Format(1920, 1080), Fake_Format(1920, 1080, 200000)}}};
}

class Capture_Test : public testing::Test {
protected:
  void SetUp() override {
    Set_Clock(&clock_);
    Frame_Buffer::Set_Memory_Limit(std::nullopt);
    Module_HDMI_Support::Limit_Capture_25_Fps = true;
    Module_HDMI_Support::Current_Friendly_Name.clear();
    Module_HDMI_Support::Current_Property_String.clear();
    Make(Two_Sources());
  }
  void TearDown() override {
    capture_.reset();
    Frame_Buffers().clear();
    Frame_Buffer::Set_Memory_Limit(std::nullopt);
    Set_Clock(nullptr);
  }
  void Make(std::vector<Fake_Source> sources) {
    capture_.reset();
    auto component = std::make_unique<Fake_Capture_Component>(std::move(sources));
    fake_ = component.get();
    capture_ = std::make_unique<cls_Capture_HDMI>(std::move(component));
  }
  void Save(const QString &name, const QString &property) {
    Write_INI(QStringLiteral("capturesettings"), QStringLiteral("friendlyname"), name, Globals::Ini_File);
    Write_INI(QStringLiteral("capturesettings"), QStringLiteral("videoproperty"), property, Globals::Ini_File);
  }
  // Starts a run cropping picture-sized frames to crop_x by crop_y.
  void Start(std::int16_t crop_x, std::int16_t crop_y) {
    capture_->set_HDMI_Crop(crop_x, crop_y);
    capture_->Set_MaxFrames(0);
    capture_->Set_Do_CROP(true);
    capture_->Capture_Run();
  }
  // Delivers n frames, ms apart, the first ms after the clock's time.
  void Frames(const Fake_Picture &picture, int n, std::uint64_t ms) {
    for (int i = 0; i < n; ++i) {
      clock_.Advance(ms);
      fake_->Deliver(picture);
    }
  }

  Temp_AppData appdata_;
  Scripted_Operator &operator_ = Scripted_Operator::Install();
  Manual_Clock clock_{100000};
  Fake_Capture_Component *fake_ = nullptr;
  std::unique_ptr<cls_Capture_HDMI> capture_;
};

// ---- the saved source ----

TEST_F(Capture_Test, SavedSourceIsFoundAndSetUp) {
  Save(QStringLiteral("USB Grabber"), QStringLiteral("1"));
  EXPECT_TRUE(capture_->Set_Source_from_Saved());
  EXPECT_TRUE(capture_->SourcePropFound());
  EXPECT_EQ(capture_->Current_FriendlyName(), QStringLiteral("USB Grabber"));
  EXPECT_EQ(capture_->Current_PropertyString(), QStringLiteral("1920*1080/50"));
  EXPECT_EQ(capture_->Sourcenum(), QStringLiteral("2"));
  EXPECT_EQ(capture_->MaxInterval(), QStringLiteral("400000"));
  EXPECT_EQ(capture_->MinInterval(), QStringLiteral("200000"));
  const auto cap = fake_->calls.indexOf(QStringLiteral("SetValue CaptureFps 25"));
  const auto format = fake_->calls.indexOf(QStringLiteral("SetValue SetFormat 1"));
  EXPECT_GE(cap, 0) << "the 25 fps limit is on unless the operator clears it";
  EXPECT_GT(format, cap);
  EXPECT_FALSE(fake_->calls.contains(QStringLiteral("SelectSource video:3"))) << "the search stops at the match";
  EXPECT_TRUE(operator_.Prompts().empty());
}

TEST_F(Capture_Test, WithoutTheLimitNoRateCapIsAsked) {
  Module_HDMI_Support::Limit_Capture_25_Fps = false;
  Save(QStringLiteral("Cam A"), QStringLiteral("0"));
  EXPECT_TRUE(capture_->Set_Source_from_Saved());
  EXPECT_FALSE(fake_->calls.contains(QStringLiteral("SetValue CaptureFps 25")));
  EXPECT_EQ(capture_->Current_PropertyString(), QStringLiteral("720*576/25"));
}

struct Lookup_Case {
  const char *what;
  const char *saved_name; // nullptr: never chosen
  int sources;
  const char *last_selected;
  const char *never_selected;
};
void PrintTo(const Lookup_Case &c, std::ostream *out) { *out << c.what; }

class Lookup_Test : public Capture_Test, public testing::WithParamInterface<Lookup_Case> {};

TEST_P(Lookup_Test, MissingSourceShowsTheMessage) {
  const Lookup_Case c = GetParam();
  std::vector<Fake_Source> sources;
  for (int i = 1; i <= c.sources; ++i)
    sources.push_back({QStringLiteral("Source %1").arg(i), {Fake_Format(720, 576)}});
  Make(std::move(sources));
  if (c.saved_name)
    Save(QString::fromLatin1(c.saved_name), QStringLiteral("0"));
  operator_.Answer(Msg_Result::OK);
  EXPECT_FALSE(capture_->Set_Source_from_Saved());
  EXPECT_FALSE(capture_->SourcePropFound());
  EXPECT_EQ(operator_.Message_Texts(), QStringList{not_found});
  EXPECT_TRUE(fake_->calls.contains(QString::fromLatin1(c.last_selected)));
  EXPECT_FALSE(fake_->calls.contains(QString::fromLatin1(c.never_selected)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Lookup_Test,
    testing::Values(Lookup_Case{"never chosen (noname)", nullptr, 2, "SelectSource video:3", "SelectSource video:4"},
                    // numbering has no gaps: the first missing number ends the search
                    Lookup_Case{"gone", "Source 9", 2, "SelectSource video:3", "SelectSource video:4"},
                    Lookup_Case{"only ten are examined", "Source 11", 12, "SelectSource video:10",
                                "SelectSource video:11"},
                    Lookup_Case{"names match exactly", "source 1", 2, "SelectSource video:3", "SelectSource video:4"}));

TEST_F(Capture_Test, RefusedSavedFormatKeepsTheSource) {
  Save(QStringLiteral("Cam A"), QStringLiteral("7")); // hand-edited
  EXPECT_TRUE(capture_->Set_Source_from_Saved());
  EXPECT_EQ(capture_->Current_PropertyString(), QStringLiteral("720*576/25")) << "the format in use is described";
}

// ---- frame rate and stamps ----

struct Rate_Case {
  std::uint64_t block_ms;
  std::int16_t fps;
};
class Rate_Test : public Capture_Test, public testing::WithParamInterface<Rate_Case> {};

TEST_P(Rate_Test, FiftyFrameBlockGivesTheRate) {
  const Rate_Case c = GetParam();
  const Fake_Picture picture(64, 48);
  Start(32, 32);
  Frames(picture, 1, 0); // opens the block
  Frames(picture, 49, 40);
  EXPECT_EQ(capture_->Running_Fps(), 0) << "no rate before the block is complete";
  clock_.Advance(c.block_ms - 49 * 40);
  fake_->Deliver(picture);
  EXPECT_EQ(capture_->Running_Fps(), c.fps);
}

INSTANTIATE_TEST_SUITE_P(Cases, Rate_Test,
                         testing::Values(Rate_Case{2000, 25}, Rate_Case{1923, 26}, Rate_Case{4000, 12},
                                         Rate_Case{2040, 25}, Rate_Case{2083, 24}));

TEST_F(Capture_Test, RateSurvivesTheTickWrapping) {
  clock_.Set(0xFFFFFFFFULL - 1000); // the 32-bit tick wraps during the block
  const Fake_Picture picture(16, 16);
  Start(8, 8);
  Frames(picture, 51, 40);
  EXPECT_EQ(capture_->Running_Fps(), 25);
}

// Until frame 31 is in, the interval is 0 wherever the tick stands in its cycle: the tick
// of a frame not seen yet is no time to take a difference to.
class Ten_Frame_Test : public Capture_Test, public testing::WithParamInterface<std::uint64_t> {};

TEST_P(Ten_Frame_Test, IntervalIsTakenAtFrames21And31) {
  clock_.Set(GetParam());
  const Fake_Picture picture(16, 16);
  Start(8, 8);
  Frames(picture, 20, 40);
  EXPECT_EQ(capture_->HDMI_10_mill(), 0);
  Frames(picture, 1, 40);
  EXPECT_EQ(capture_->HDMI_10_mill(), 0) << "frame 31 not seen yet";
  Frames(picture, 9, 40);
  EXPECT_EQ(capture_->HDMI_10_mill(), 0) << "frame 31 not seen yet";
  Frames(picture, 1, 40);
  EXPECT_EQ(capture_->HDMI_10_mill(), 400);
  EXPECT_EQ(capture_->HDMI_Sample_Dimensions(), QStringLiteral("16*16"));
  // A new run starts counting afresh.
  capture_->Stop_Capture();
  capture_->Capture_Run();
  Frames(picture, 25, 40);
  EXPECT_EQ(capture_->HDMI_10_mill(), 0);
}

INSTANTIATE_TEST_SUITE_P(AnywhereInTheTicksCycle, Ten_Frame_Test,
                         testing::Values(100000ULL, (1ULL << 31) - 500, (1ULL << 31) + 500, (1ULL << 32) - 500,
                                         (1ULL << 32) + 30ULL * 86400000));

TEST_F(Capture_Test, StampsComeFromTheFrameNotFromItsHandling) {
  const Fake_Picture picture(16, 16);
  Start(8, 8);
  fake_->Deliver_Frame(picture.Frame(5000, 44000000));
  clock_.Advance(900); // the window is late
  fake_->Deliver_Frame(picture.Frame(5040, 44000040));
  EXPECT_EQ(capture_->last_Capture_mill(), 5040);
  EXPECT_EQ(capture_->last_Capture_local(), 44000040);
  EXPECT_EQ(capture_->last_Capture_delta(), 40);
}

struct Delta_Case {
  std::int32_t delta, shown;
};
class Delta_Test : public Capture_Test, public testing::WithParamInterface<Delta_Case> {};

TEST_P(Delta_Test, DeltaIsClampedForTheWindowButKeptRawInTheRecord) {
  const Delta_Case c = GetParam();
  const Fake_Picture picture(16, 16);
  Start(8, 8);
  fake_->Deliver_Frame(picture.Frame(50000, 1000));
  fake_->Deliver_Frame(picture.Frame(50000 + c.delta, 1000 + c.delta));
  EXPECT_EQ(capture_->last_Capture_delta(), c.shown);
  capture_->Store_HDMI_Buffer();
  ASSERT_EQ(capture_->Buff_Num(), 1);
  EXPECT_EQ(Frame_Buffers()[0]->Capture_Delta(), c.delta);
}

INSTANTIATE_TEST_SUITE_P(Cases, Delta_Test,
                         testing::Values(Delta_Case{12000, 0}, Delta_Case{-5, 0}, Delta_Case{10000, 10000},
                                         Delta_Case{10001, 0}, Delta_Case{0, 0}, Delta_Case{40, 40}));

// ---- the crop ----

struct Crop_Case {
  std::int32_t source_w, source_h;
  std::int16_t crop_x, crop_y;
  std::int32_t left, top;
};
void PrintTo(const Crop_Case &c, std::ostream *out) {
  *out << c.source_w << "x" << c.source_h << " to " << c.crop_x << "x" << c.crop_y;
}
class Crop_Test : public Capture_Test, public testing::WithParamInterface<Crop_Case> {};

TEST_P(Crop_Test, CopiesTheCentredRectangle) {
  const Crop_Case c = GetParam();
  Fake_Picture picture(c.source_w, c.source_h);
  Start(c.crop_x, c.crop_y);
  Signal_Count received(capture_.get(), &cls_Capture_HDMI::HDMIreceived);
  Frames(picture, 1, 40);
  EXPECT_EQ(received.count, 1);
  EXPECT_EQ(capture_->Crop_Left(), c.left);
  EXPECT_EQ(capture_->Crop_Top(), c.top);
  const cDIBSection &dib = capture_->Crop_DIB();
  ASSERT_EQ(dib.Width(), c.crop_x);
  for (std::int32_t cy = 0; cy < c.crop_y; ++cy) {
    const std::uint8_t *row =
        dib.DIBSectionBitsPtr() + static_cast<std::ptrdiff_t>(c.crop_y - 1 - cy) * dib.BytesPerScanLine();
    for (std::int32_t cx = 0; cx < c.crop_x; ++cx) {
      const std::int32_t x = c.left + cx, y = c.top + cy;
      const bool inside = x >= 0 && y >= 0 && x < c.source_w && y < c.source_h;
      const std::uint8_t black[3] = {0, 0, 0};
      const std::uint8_t *expected = inside ? picture.Pixel(x, y) : black;
      ASSERT_EQ(0, std::memcmp(row + cx * 3, expected, 3)) << "crop pixel " << cx << "," << cy;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, Crop_Test,
                         testing::Values(Crop_Case{1920, 1080, 720, 576, 600, 252},
                                         Crop_Case{1920, 1080, 600, 1080, 660, 0},
                                         Crop_Case{1920, 1080, 400, 880, 760, 100},
                                         Crop_Case{721, 577, 8, 8, 356, 284}, // 356.5 and 284.5: halves to even
                                         // a crop larger than the frame keeps black edges
                                         Crop_Case{20, 10, 24, 14, -2, -2}));

TEST_F(Capture_Test, UnusableFrameStopsAllCameras) {
  Fake_Picture picture(64, 48);
  Start(32, 32);
  Signal_Count stop(capture_.get(), &cls_Capture_HDMI::Stop_All_Cameras);
  Signal_Count received(capture_.get(), &cls_Capture_HDMI::HDMIreceived);
  Captured_Frame broken = picture.Frame(1000, 1000);
  broken.length = 100; // shorter than its rows
  fake_->Deliver_Frame(broken);
  EXPECT_EQ(stop.count, 1);
  EXPECT_EQ(received.count, 0);
  EXPECT_FALSE(capture_->Is_Running());
}

// ---- storing ----

TEST_F(Capture_Test, StoringBeforeTheFirstFrameKeepsNothing) {
  Fake_Picture picture(64, 48);
  Start(32, 32);
  capture_->Set_Post_linear(true);
  capture_->Store_HDMI_Buffer();
  EXPECT_EQ(capture_->Buff_Num(), 0);
  EXPECT_EQ(capture_->num_Buffers_stored(), 0);
}

TEST_F(Capture_Test, RecordsCarryTheCropAndTheStampsOfTheirFrame) {
  Fake_Picture picture(64, 48);
  Start(32, 32);
  capture_->Set_Post_linear(true);
  QObject::connect(capture_.get(), &cls_Capture_HDMI::HDMIreceived, [this] { capture_->Store_HDMI_Buffer(); });
  Frames(picture, 3, 40);
  ASSERT_EQ(capture_->Buff_Num(), 3);
  EXPECT_EQ(capture_->num_Buffers_stored(), 3);
  ASSERT_EQ(fake_->stamped.size(), 3u);
  for (std::int32_t i = 1; i <= 3; ++i) {
    const CVideobuff_RGB &r = *Frame_Buffers()[static_cast<std::size_t>(capture_->Effective_Video_Object(i) - 1)];
    const auto &stamp = fake_->stamped[static_cast<std::size_t>(i - 1)];
    // Delivered at 100000 + 40 i, captured the fake's latency earlier: the record has the capture.
    EXPECT_EQ(r.Capture_Mill(), stamp.tick);
    EXPECT_EQ(r.Capture_Mill(), Tick_From_Monotonic_Ms(100000 + 40ULL * static_cast<unsigned>(i) -
                                                       Fake_Capture_Component::default_latency_ms));
    EXPECT_EQ(r.Capture_Local(), stamp.local_ms);
    EXPECT_EQ(r.Capture_Delta(), i == 1 ? fake_->stamped.front().tick : 40) << "the first delta is raw";
    EXPECT_EQ(r.RGB_Length(), capture_->Crop_DIB().SizeImage());
  }
  const CVideobuff_RGB &last = *Frame_Buffers().back();
  EXPECT_EQ(last.Capture_Local(), capture_->last_Capture_local());
  EXPECT_EQ(0, std::memcmp(last.Video_Adress(), capture_->Crop_DIB().DIBSectionBitsPtr(),
                           static_cast<std::size_t>(last.RGB_Length())));
}

TEST_F(Capture_Test, CaptureRunEmptiesAnUndrainedList) {
  Fake_Picture picture(64, 48);
  Start(32, 32);
  Frames(picture, 2, 40);
  capture_->Store_HDMI_Buffer();
  capture_->Store_HDMI_Buffer();
  ASSERT_EQ(capture_->Buff_Num(), 2);
  capture_->Stop_Capture();
  capture_->Capture_Run();
  EXPECT_EQ(capture_->Buff_Num(), 0);
  EXPECT_EQ(capture_->num_Buffers_stored(), 0);
  EXPECT_EQ(capture_->HDMI_events(), 0);
  capture_->Store_HDMI_Buffer();
  EXPECT_EQ(capture_->Buff_Num(), 0) << "a new run stores nothing before its first frame";
}

TEST_F(Capture_Test, DestroyingTheObjectEmptiesTheListAndUnadvises) {
  Fake_Picture picture(16, 16);
  Start(8, 8);
  Frames(picture, 1, 40);
  capture_->Store_HDMI_Buffer();
  ASSERT_EQ(Frame_Buffers().size(), 1U);
  capture_.reset();
  EXPECT_TRUE(Frame_Buffers().empty());
}

TEST_F(Capture_Test, RecordsAreMadeReadyWhileTheCameraRunsAndReleasedAtStop) {
  Start(32, 32);
  EXPECT_TRUE(Pump_Until([this] { return capture_->Records_Ready() == cls_Capture_HDMI::record_pool_depth; }, 5000));
  capture_->Stop_Capture();
  EXPECT_EQ(capture_->Records_Ready(), 0u);
}

// ---- the memory bound ----

TEST(Frame_Buffer, BudgetKeepsAQuarterOfMemoryFree) {
  constexpr std::int64_t gb = 1LL << 30;
  EXPECT_EQ(Frame_Buffer::Budget_For({16 * gb, 8 * gb}, 1 * gb), 5 * gb);
  EXPECT_EQ(Frame_Buffer::Budget_For({16 * gb, 3 * gb}, 2 * gb), 2 * gb) << "below the quarter: no more";
  EXPECT_EQ(Frame_Buffer::Budget_For({0, 0}, 0), std::numeric_limits<std::int64_t>::max()) << "unknown: no bound";
  const Frame_Buffer::Memory_State real = Frame_Buffer::Read_Memory_State();
  EXPECT_GT(real.total, 0);
  EXPECT_GT(real.available, 0);
}

TEST_F(Capture_Test, MemoryBoundStopsStoringOnceAndKeepsWhatWasKept) {
  Fake_Picture picture(64, 48);
  Start(32, 32);
  const std::int64_t frame_bytes = capture_->Crop_DIB().SizeImage();
  Frame_Buffer::Set_Memory_Limit(3 * frame_bytes);
  capture_->Set_Post_linear(true);
  QObject::connect(capture_.get(), &cls_Capture_HDMI::HDMIreceived, [this] { capture_->Store_HDMI_Buffer(); });
  operator_.Answer(Msg_Result::OK);
  Frames(picture, 6, 40);
  EXPECT_EQ(capture_->Buff_Num(), 3);
  EXPECT_TRUE(capture_->Buffer_Filled());
  ASSERT_EQ(operator_.Message_Texts().size(), 1) << "told once";
  EXPECT_TRUE(operator_.Message_Texts()[0].contains(QStringLiteral("Capture memory is full")));
  for (std::size_t i = 0; i < 3; ++i)
    EXPECT_EQ(Frame_Buffers()[i]->Capture_Mill(), fake_->stamped[i].tick) << "the first three kept";
  // Drained, a new capture start keeps frames again.
  capture_->Set_Post_linear(false);
  Frame_Buffers().clear();
  capture_->Set_Post_linear(true);
  Frames(picture, 2, 40);
  EXPECT_EQ(capture_->Buff_Num(), 2);
}

// ---- failures ----

TEST_F(Capture_Test, RefusedRunShowsTheCaptureRunMessage) {
  fake_->refuse_run = true;
  operator_.Answer(Msg_Result::OK);
  Start(32, 32);
  EXPECT_FALSE(capture_->Is_Running());
  ASSERT_EQ(operator_.Message_Texts().size(), 1);
  EXPECT_EQ(operator_.Message_Texts()[0], QStringLiteral("*Capture_run error at line 5\r\nDescription = The video "
                                                         "source did not start\r\n Last_error: format refused by the "
                                                         "device"));
}

TEST_F(Capture_Test, DeviceLostWhileRunningKeepsTheHeatsFrames) {
  Fake_Picture picture(64, 48);
  Start(32, 32);
  capture_->Set_Post_linear(true);
  QObject::connect(capture_.get(), &cls_Capture_HDMI::HDMIreceived, [this] { capture_->Store_HDMI_Buffer(); });
  Frames(picture, 4, 40);
  Signal_Count failed(capture_.get(), &cls_Capture_HDMI::Capture_Failed);
  operator_.Answer(Msg_Result::OK);
  fake_->Fail(QStringLiteral("device unplugged"));
  EXPECT_EQ(failed.count, 1);
  EXPECT_FALSE(capture_->Is_Running());
  ASSERT_EQ(operator_.Message_Texts().size(), 1);
  EXPECT_TRUE(operator_.Message_Texts()[0].contains(QStringLiteral("device unplugged")));
  EXPECT_EQ(capture_->Buff_Num(), 4) << "the frames of the running heat stay";
  fake_->Deliver(picture); // a late frame after the failure
  EXPECT_EQ(capture_->Buff_Num(), 4);
  capture_->Stop_Capture(); // the owner stops the camera as usual
  EXPECT_EQ(capture_->Buff_Num(), 4);
}
} // namespace
