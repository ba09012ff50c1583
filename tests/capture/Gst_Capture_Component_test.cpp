#include "Capture_Test_Sink.h"
#include "capture/Frame_Delivery.h"
#include "capture/Gst_Capture_Component.h"
#include "capture/Gst_Pipeline.h"
#include "capture/Gst_Source_List.h"
#include "support/Clock.h"

#include <QStringList>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

QStringList Source_Names(Capture_Component &component) {
  QStringList names;
  for (int n = 1; n <= 20 && component.SelectSource(QStringLiteral("video:%1").arg(n)); ++n)
    names << component.GetValue(QStringLiteral("sourceFriendlyName"));
  return names;
}

// Selects the source with that friendly name; its number, 0 when absent.
int Select_Named(Capture_Component &component, const QString &name) {
  const int n = static_cast<int>(Source_Names(component).indexOf(name)) + 1;
  if (n > 0)
    component.SelectSource(QStringLiteral("video:%1").arg(n));
  return n;
}

class With_Test_Pattern : public ::testing::Test {
protected:
  void SetUp() override { qputenv("LURCHER_GST_TEST_SOURCE", "1"); }
  void TearDown() override {
    component.Stop();
    qunsetenv("LURCHER_GST_TEST_SOURCE");
  }
  // Runs the test pattern in a format until count frames arrived.
  void Run_Pattern(int format, int count) {
    ASSERT_GT(Select_Named(component, QStringLiteral("GStreamer test pattern")), 0);
    ASSERT_TRUE(component.SetValue(QStringLiteral("SetFormat"), QString::number(format)));
    ASSERT_NE(component.AdviseSink(&sink), 0);
    ASSERT_TRUE(component.Run()) << component.LastError().toStdString();
    ASSERT_TRUE(Pump_Until([&] { return sink.frames.size() >= static_cast<std::size_t>(count); }, 5000));
    component.Stop();
  }
  Gst_Capture_Component component;
  Capture_Test_Sink sink;
};

TEST(Gst_Capture_Sources, TestPatternIsListedLastAndOnlyWhenAskedFor) {
  qunsetenv("LURCHER_GST_TEST_SOURCE");
  Gst_Capture_Component plain;
  const QStringList without = Source_Names(plain);
  qputenv("LURCHER_GST_TEST_SOURCE", "1");
  Gst_Capture_Component with;
  const QStringList listed = Source_Names(with);
  qunsetenv("LURCHER_GST_TEST_SOURCE");
  EXPECT_FALSE(without.contains(QStringLiteral("GStreamer test pattern")));
  EXPECT_EQ(plain.Source_Count(), without.size());
  ASSERT_EQ(listed.size(), without.size() + 1);
  EXPECT_EQ(with.Source_Count(), listed.size());
  EXPECT_EQ(listed.last(), QStringLiteral("GStreamer test pattern"));
  // The test track is a component of its own.
  EXPECT_FALSE(listed.contains(QStringLiteral("Lurcher test track")));
  EXPECT_TRUE(with.SelectSource(QStringLiteral("video:%1").arg(listed.size())));
  EXPECT_EQ(with.GetValue(QStringLiteral("TrackTruth")), QString());
  EXPECT_FALSE(with.LastError().isEmpty());
  EXPECT_FALSE(with.SetValue(QStringLiteral("TrackSeed"), QStringLiteral("1")));
}

TEST_F(With_Test_Pattern, SourcesOutOfRangeAreNotFound) {
  const int count = static_cast<int>(Source_Names(component).size());
  for (const QString &name : {QStringLiteral("video:0"), QStringLiteral("video:%1").arg(count + 1),
                              QStringLiteral("video:x"), QStringLiteral("audio:1"), QString()}) {
    EXPECT_FALSE(component.SelectSource(name)) << name.toStdString();
    EXPECT_FALSE(component.LastError().isEmpty());
  }
  EXPECT_TRUE(component.SelectSource(QStringLiteral("VIDEO:1")));
  EXPECT_TRUE(component.LastError().isEmpty());
}

TEST_F(With_Test_Pattern, FormatsAndValuesOfTheTestPattern) {
  ASSERT_GT(Select_Named(component, QStringLiteral("GStreamer test pattern")), 0);
  EXPECT_EQ(component.GetValue(QStringLiteral("NUMPROPS")), QStringLiteral("4"));
  EXPECT_EQ(component.GetValue(QStringLiteral("getAMT03")), QStringLiteral("3"));
  EXPECT_EQ(component.GetValue(QStringLiteral("getAMT04")), QString());
  const std::optional<Capture_Format> first = component.Format_Record(0);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->width, 318);
  EXPECT_EQ(first->height, 240);
  EXPECT_EQ(first->frame_time_100ns, 200000);
  EXPECT_EQ(first->image_size, 956 * 240);
  EXPECT_TRUE(component.SetValue(QStringLiteral("GetIntervals"), QStringLiteral("0")));
  EXPECT_EQ(component.GetValue(QStringLiteral("MaxInterval")), QStringLiteral("400000"));
  EXPECT_EQ(component.GetValue(QStringLiteral("MinInterval")), QStringLiteral("200000"));
  EXPECT_FALSE(component.SetValue(QStringLiteral("SetFormat"), QStringLiteral("4")));
  EXPECT_FALSE(component.SetValue(QStringLiteral("SetFormat"), QStringLiteral("-1")));
  EXPECT_FALSE(component.LastError().isEmpty());
  EXPECT_TRUE(component.SetValue(QStringLiteral("setformat"), QStringLiteral("2")));
  EXPECT_EQ(component.GetValue(QStringLiteral("GetProp")), QStringLiteral("2"));
  EXPECT_EQ(component.GetValue(QStringLiteral("VIDEOINFOHEADER")), QStringLiteral("2"));
  EXPECT_EQ(component.Current_Format()->width, 1280);
  EXPECT_FALSE(component.GetValue(QStringLiteral("buildNumber")).isEmpty());
  EXPECT_FALSE(component.GetValue(QStringLiteral("sourceDescription")).isEmpty());
  EXPECT_EQ(component.GetValue(QStringLiteral("NoSuchValue")), QString());
  EXPECT_FALSE(component.SetValue(QStringLiteral("NoSuchValue"), QStringLiteral("1")));
}

TEST(Gst_Capture_Formats, DistinctSizesAndRatesFromRawAndJpegCaps) {
  Gst_Source source;
  Gst_Add_Caps_Formats(source, QStringLiteral("video/x-raw,format=YUY2,width=1920,height=1080,framerate={30/1,25/1};"
                                              "image/jpeg,width=1920,height=1080,framerate=30/1;"
                                              "image/jpeg,width=1280,height=720,framerate=30000/1001;"
                                              "video/x-h264,width=640,height=480,framerate=30/1;"
                                              "video/x-raw,format=YUY2,width=720,height=576,framerate=25/1,"
                                              "interlace-mode=interleaved"));
  struct Expected {
    int width, height;
    std::int64_t frame_time;
    const char *subtype;
    bool jpeg, interlaced;
  };
  const Expected expected[] = {{1920, 1080, 333333, "YUY2", false, false},
                               {1920, 1080, 400000, "YUY2", false, false},
                               {1280, 720, 333667, "MJPG", true, false},
                               {720, 576, 400000, "YUY2", false, true}};
  ASSERT_EQ(source.formats.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(source.formats[i].width, expected[i].width) << i;
    EXPECT_EQ(source.formats[i].height, expected[i].height) << i;
    EXPECT_EQ(source.formats[i].frame_time_100ns, expected[i].frame_time) << i;
    EXPECT_EQ(source.formats[i].subtype, QString::fromLatin1(expected[i].subtype)) << i;
    EXPECT_EQ(source.formats[i].interlaced, expected[i].interlaced) << i;
    EXPECT_EQ(source.caps[i].jpeg, expected[i].jpeg) << i;
    EXPECT_EQ(source.formats[i].image_size, Dib_Image_Size(expected[i].width, expected[i].height));
  }
  EXPECT_TRUE(source.caps[2].caps.startsWith(QStringLiteral("image/jpeg,width=1280,height=720")));
  // The caps asked for pin the interlace mode, so the frames come as the format says.
  EXPECT_TRUE(source.caps[1].caps.contains(QStringLiteral("interlace-mode=progressive")));
  EXPECT_TRUE(source.caps[3].caps.contains(QStringLiteral("interlace-mode=interleaved")));
}

TEST(Gst_Capture_Formats, EveryInterlaceModeButProgressiveIsInterlaced) {
  struct Case {
    const char *mode;
    bool interlaced;
  };
  for (const Case c :
       {Case{"progressive", false}, Case{"interleaved", true}, Case{"mixed", true}, Case{"alternate", true},
        Case{"{ interleaved, progressive }", true}, Case{"{ progressive, interleaved }", false}}) {
    Gst_Source source;
    Gst_Add_Caps_Formats(source, QStringLiteral("video/x-raw,format=YUY2,width=720,height=576,framerate=25/1,"
                                                "interlace-mode=(string)%1")
                                     .arg(QString::fromLatin1(c.mode)));
    ASSERT_EQ(source.formats.size(), 1u) << c.mode;
    EXPECT_EQ(source.formats[0].interlaced, c.interlaced) << c.mode;
  }
  Gst_Source plain; // no interlace-mode: GStreamer's progressive
  Gst_Add_Caps_Formats(plain, QStringLiteral("video/x-raw,format=YUY2,width=720,height=576,framerate=25/1"));
  ASSERT_EQ(plain.formats.size(), 1u);
  EXPECT_FALSE(plain.formats[0].interlaced);
}

TEST(Gst_Capture_Formats, AFrameIsInterlacedAsItsCapsAndBufferSay) {
  const auto none = static_cast<GstBufferFlags>(0);
  const auto flagged = static_cast<GstBufferFlags>(GST_VIDEO_BUFFER_FLAG_INTERLACED);
  EXPECT_FALSE(Gst_Frame_Interlaced(GST_VIDEO_INTERLACE_MODE_PROGRESSIVE, flagged));
  EXPECT_TRUE(Gst_Frame_Interlaced(GST_VIDEO_INTERLACE_MODE_INTERLEAVED, none));
  EXPECT_TRUE(Gst_Frame_Interlaced(GST_VIDEO_INTERLACE_MODE_MIXED, flagged));
  EXPECT_FALSE(Gst_Frame_Interlaced(GST_VIDEO_INTERLACE_MODE_MIXED, none));
  EXPECT_TRUE(Gst_Frame_Interlaced(GST_VIDEO_INTERLACE_MODE_ALTERNATE, none));
}

// The flag of a delivered frame comes from the caps the frames arrived in, whatever the
// format record claimed.
TEST(Gst_Capture_Failure, DeliveredFramesCarryTheInterlaceOfTheirCaps) {
  for (const bool interleaved : {true, false}) {
    Frame_Delivery delivery;
    Capture_Test_Sink sink;
    delivery.Set_Sink(&sink);
    delivery.Open();
    Gst_Pipeline pipeline(delivery);
    Capture_Format format;
    format.width = 320;
    format.height = 240;
    format.frame_time_100ns = 400000;
    format.interlaced = !interleaved; // the record says the opposite
    const QString caps = QStringLiteral("video/x-raw,format=I420,width=320,height=240,framerate=25/1,"
                                        "interlace-mode=%1")
                             .arg(interleaved ? QStringLiteral("interleaved") : QStringLiteral("progressive"));
    QString error;
    ASSERT_TRUE(pipeline.Start(nullptr, {caps, false}, format, 0, &error)) << error.toStdString();
    ASSERT_TRUE(Pump_Until([&] { return sink.frames.size() >= 3; }, 5000));
    pipeline.Stop();
    for (const Seen_Frame &seen : sink.frames)
      EXPECT_EQ(seen.frame.interlaced, interleaved) << caps.toStdString();
  }
}

TEST_F(With_Test_Pattern, FramesArriveOnTheUiThreadInOrderBottomUpAndPadded) {
  sink.keep_pixels = true;
  // The sink pumps events inside its call, as the capture object's owner does.
  sink.inside = [](const Captured_Frame &) { QCoreApplication::processEvents(); };
  Run_Pattern(0, 12);
  const std::size_t seen = sink.frames.size();
  Pump_Until([] { return false; }, 150);
  EXPECT_EQ(sink.frames.size(), seen) << "frames after Stop";
  EXPECT_EQ(sink.max_depth, 1);
  const std::int32_t now_tick = Tick();
  for (std::size_t i = 0; i < sink.frames.size(); ++i) {
    const Seen_Frame &seen_frame = sink.frames[i];
    const Captured_Frame &f = seen_frame.frame;
    EXPECT_TRUE(seen_frame.on_ui_thread);
    EXPECT_EQ(f.width, 318);
    EXPECT_EQ(f.height, 240);
    EXPECT_EQ(f.stride, 956);
    ASSERT_EQ(seen_frame.pixels.size(), 956u * 240u);
    EXPECT_EQ(seen_frame.pixels[954], 0); // padding
    EXPECT_EQ(seen_frame.pixels[955], 0);
    EXPECT_LT(Ticks_Between(f.capture_tick, now_tick), 5000);
    EXPECT_GE(Ticks_Between(f.capture_tick, now_tick), 0);
    if (i > 0) {
      const Captured_Frame &before = sink.frames[i - 1].frame;
      EXPECT_GT(f.sequence, before.sequence);
      const std::int32_t delta = Ticks_Between(before.capture_tick, f.capture_tick);
      EXPECT_GE(delta, 15);
      EXPECT_LE(delta, 25 * static_cast<std::int32_t>(f.sequence - before.sequence));
    }
  }
  // The picture's top row (the white bar) is the last row in memory.
  const std::vector<std::uint8_t> &pixels = sink.frames.back().pixels;
  const std::uint8_t *top = pixels.data() + 956 * 239;
  for (int c = 0; c < 3; ++c)
    EXPECT_GT(top[c], 230);
  const std::uint8_t *bottom = pixels.data();
  EXPECT_FALSE(bottom[0] > 230 && bottom[1] > 230 && bottom[2] > 230);
  // The local time of day matches the tick's moment.
  const std::int32_t age = Ticks_Between(sink.frames.back().frame.capture_tick, Tick());
  EXPECT_NEAR(static_cast<double>(Ms_Of_Day() - sink.frames.back().frame.capture_local_ms), age, 50.0);
}

TEST_F(With_Test_Pattern, RateCapDeliversTwentyFiveOfFifty) {
  ASSERT_TRUE(component.SetValue(QStringLiteral("CaptureFps"), QStringLiteral("25")));
  Run_Pattern(0, 10);
  ASSERT_GE(sink.frames.size(), 10u);
  for (std::size_t i = 1; i < sink.frames.size(); ++i) {
    const std::int32_t delta = Ticks_Between(sink.frames[i - 1].frame.capture_tick, sink.frames[i].frame.capture_tick);
    EXPECT_NEAR(delta, 40, 3) << i;
    EXPECT_EQ(sink.frames[i].frame.lost_before, 0);
  }
}

TEST_F(With_Test_Pattern, SourceThatStopsMidRunIsReportedAndCanRunAgain) {
  qputenv("LURCHER_GST_TEST_SOURCE_FRAMES", "5");
  ASSERT_GT(Select_Named(component, QStringLiteral("GStreamer test pattern")), 0);
  component.AdviseSink(&sink);
  ASSERT_TRUE(component.Run());
  const bool reported = Pump_Until([&] { return !sink.errors.empty(); }, 3000);
  qunsetenv("LURCHER_GST_TEST_SOURCE_FRAMES");
  ASSERT_TRUE(reported);
  EXPECT_EQ(sink.frames.size(), 5u); // every frame before the failure, then the failure
  EXPECT_EQ(component.LastError(), sink.errors.front());
  EXPECT_FALSE(component.Is_Running());
  const std::size_t before = sink.frames.size();
  ASSERT_TRUE(component.Run());
  EXPECT_TRUE(Pump_Until([&] { return sink.frames.size() > before + 2; }, 3000));
}

TEST(Gst_Capture_Failure, RefusedFormatReachesTheSinkAsAnError) {
  Frame_Delivery delivery;
  Capture_Test_Sink sink;
  delivery.Set_Sink(&sink);
  delivery.Open();
  Gst_Pipeline pipeline(delivery);
  Capture_Format format;
  format.width = 320;
  format.height = 240;
  format.frame_time_100ns = 400000;
  QString error;
  // The test pattern cannot deliver JPEG.
  const bool started = pipeline.Start(nullptr, {QStringLiteral("image/jpeg,width=320,height=240,framerate=25/1"), true},
                                      format, 0, &error);
  if (started)
    EXPECT_TRUE(Pump_Until([&] { return !sink.errors.empty(); }, 3000));
  else
    EXPECT_FALSE(error.isEmpty());
  pipeline.Stop();
  EXPECT_TRUE(sink.frames.empty());
}

} // namespace
