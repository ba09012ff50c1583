// One whole heat through the real main window: the test track as the camera, the kit through
// the fake libphidget21 on the program's own dlopen path. The heat file must hold each dog's
// crossing at the time the track says it happened.

#include "Kit_Test_Support.h"

#include "app/ui/Form_Lurcher.h"
#include "app/ui/Race_Demo.h"
#include "capture/Module_HDMI_Support.h"
#include "capture/Test_Track_Source.h"
#include "capture/cls_Capture_HDMI.h"
#include "recording/CVideobuff_RGB.h"
#include "recording/QK3_Verify.h"
#include "recording/cls_VideoFile_handler.h"
#include "support/Clock.h"
#include "support/Globals.h"
#include "support/Settings_Store.h"

#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"

#include <QCoreApplication>
#include <functional>
#include <map>

namespace {
constexpr int start_input = 2;
constexpr int capture_input = 3;

std::map<int, std::int32_t> Parse_Truth(const QString &truth) {
  std::map<int, std::int32_t> crossing;
  for (const QString &line : truth.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
    crossing[line.section(QLatin1Char(' '), 0, 0).toInt()] = line.section(QLatin1Char(' '), 1, 1).toInt();
  return crossing;
}

class Race_End_To_End_Test : public testing::Test {
protected:
  void SetUp() override {
    Globals::Closing = false;
    Globals::Stop_Frame_Events = false;
    Frame_Buffers().clear();
    namespace M = Module_HDMI_Support;
    Write_INI(M::Settings_Section, M::Key_Friendly_Name, Test_Track_Source::Friendly_Name(), Globals::Ini_File);
    // 1280x720 progressive: light enough to render in real time in a sanitizer build.
    Write_INI(M::Settings_Section, M::Key_Video_Property, QStringLiteral("3"), Globals::Ini_File);
  }
  void TearDown() override {
    Frame_Buffers().clear();
    Globals::Closing = false;
  }

  Temp_AppData appdata_;
  Scripted_Operator &op_ = Scripted_Operator::Install();
  Recording_Presenter errors_;
  Fake_Library fake_;
};

TEST_F(Race_End_To_End_Test, AHeatRecordedFromTheKitHoldsEachDogAtItsTrueTime) {
  Form_Lurcher form;
  form.Form_Load(QString());
  ASSERT_FALSE(form.Program_Ended());
  fake_.Attach(31337);
  ASSERT_TRUE(Race_Demo::Wait_For([&] { return form.Phidget_Attached(); }, 3000));
  Globals::Startup_Time = Tick() - 4000; // the start-up grace periods are over

  form.Command_start_camera_Click();
  ASSERT_TRUE(form.Camera_Running());
  ASSERT_TRUE(Race_Demo::Wait_For([&] { return form.obj_Capture_HDMI->Running_Fps() > 0; }, 20000));
  form.Command_initiate_file_Click();
  ASSERT_FALSE(form.Current_File.isEmpty());
  const QString heat_file = form.Current_File;

  // The next race of the track: it begins with no dog across yet.
  Capture_Component &track = form.obj_Capture_HDMI->Component();
  const QString before = track.GetValue(QStringLiteral("TrackTruth"));
  ASSERT_TRUE(Race_Demo::Wait_For(
      [&] {
        const QString now = track.GetValue(QStringLiteral("TrackTruth"));
        return !now.isEmpty() && now != before;
      },
      25000));
  const std::map<int, std::int32_t> truth = Parse_Truth(track.GetValue(QStringLiteral("TrackTruth")));
  ASSERT_EQ(truth.size(), 6u);

  const std::int32_t before_signal = Tick();
  fake_.Set_Input(start_input, true);
  ASSERT_TRUE(Race_Demo::Wait_For([&] { return form.Heat_Running; }, 2000));
  const std::int32_t start = form.Heat_Start_Tick;
  EXPECT_GE(Ticks_Between(before_signal, start), 0);
  const std::int32_t before_press = Tick();
  fake_.Set_Input(capture_input, true);
  ASSERT_TRUE(Race_Demo::Wait_For([&] { return form.Capturing; }, 2000));
  const std::int32_t after_press = Tick();
  std::int32_t last = truth.begin()->second;
  for (const auto &[box, tick] : truth)
    if (Ticks_Between(last, tick) > 0)
      last = tick;
  // Released once frames from past the last crossing have come in.
  ASSERT_TRUE(Race_Demo::Wait_For(
      [&] { return !Frame_Buffers().empty() && Ticks_Between(last, Frame_Buffers().back()->Capture_Mill()) > 100; },
      15000));
  const std::int32_t before_release = Tick();
  fake_.Set_Input(capture_input, false);
  ASSERT_TRUE(Race_Demo::Wait_For([&] { return !form.Capturing && Frame_Buffers().empty(); }, 30000));

  const QK3_Verify_Result check = Verify_Heat_File(heat_file);
  EXPECT_TRUE(check.Sound()) << check.problems.join(QLatin1Char('\n')).toStdString();
  cls_VideoFile_handler heat;
  heat.Set_Open_For_Reading_Only(true);
  ASSERT_TRUE(heat.Open_File(heat_file));
  EXPECT_EQ(heat.Hound_start_PC_mill(), start);
  std::vector<std::int32_t> ticks;
  for (std::int16_t n = 1; n <= heat.Num_Frames(); ++n) {
    ASSERT_TRUE(heat.Read_RGB_sample(n, false));
    ticks.push_back(heat.QK3_Capture_mill());
  }
  heat.Close_File();
  ASSERT_GE(ticks.size(), 10u);
  std::int32_t period = 0;
  for (std::size_t i = 1; i < ticks.size(); ++i)
    period = std::max(period, Ticks_Between(ticks[i - 1], ticks[i]));
  std::string gaps;
  for (std::size_t i = 1; i < ticks.size(); ++i)
    if (Ticks_Between(ticks[i - 1], ticks[i]) > 45)
      gaps += " after frame " + std::to_string(i) + " at " + std::to_string(Ticks_Between(start, ticks[i - 1])) +
              " ms: " + std::to_string(Ticks_Between(ticks[i - 1], ticks[i]));
  EXPECT_LE(period, 45) << "frames were lost on the way:" << gaps;
  // The capture holds the frames captured between its two signals, by their capture ticks:
  // from the first one after the press to the last one before the release.
  EXPECT_GE(Ticks_Between(before_press, ticks.front()), 0);
  EXPECT_LE(Ticks_Between(after_press, ticks.front()), period);
  EXPECT_GE(Ticks_Between(ticks.back(), before_release), -period) << "the last frames before the release";
  EXPECT_LE(Ticks_Between(ticks.back(), before_release), period) << "the last frames before the release";
  for (const auto &[box, tick] : truth) {
    const auto first =
        std::find_if(ticks.begin(), ticks.end(), [&](std::int32_t t) { return Ticks_Between(tick, t) >= 0; });
    ASSERT_NE(first, ticks.end()) << "box " << box << " crossed after the capture";
    ASSERT_NE(first, ticks.begin()) << "box " << box << " crossed before the capture";
    const std::int32_t heat_time = Ticks_Between(start, *first);
    const std::int32_t true_time = Ticks_Between(start, tick);
    EXPECT_GE(heat_time, true_time) << "box " << box;
    EXPECT_LT(heat_time - true_time, period) << "box " << box;
  }
  EXPECT_TRUE(errors_.reports.isEmpty()) << errors_.reports.join(QLatin1Char('\n')).toStdString();
  form.Command_finish_Click();
  EXPECT_FALSE(form.Camera_Running());
}

TEST_F(Race_End_To_End_Test, ALibraryOfAnotherVersionEndsTheProgram) {
  fake_.Set_Version("Phidget21 - Version 2.1.6 - Built Jan 01 2010 00:00:00");
  op_.Answer(Msg_Result::OK);
  op_.Answer(Msg_Result::OK);
  Form_Lurcher form;
  form.Form_Load(QString());
  EXPECT_TRUE(form.Program_Ended());
  ASSERT_EQ(op_.Message_Texts().size(), 2);
  EXPECT_TRUE(op_.Message_Texts()[0].startsWith(QStringLiteral("Wrong Phidget versions found!")));
  EXPECT_EQ(op_.Message_Texts()[1], QStringLiteral("Phidget software error!"));
}
} // namespace
