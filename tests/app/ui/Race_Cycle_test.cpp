// The heat recording cycle of the main window, driven through its buttons and the simulated
// kit, with a camera the test feeds frame by frame and a clock it sets.

#include "Race_Window.h"

#include "app/Compensations.h"
#include "app/Kit_Controller.h"
#include "app/Module_Lurcher.h"
#include "app/ui/Control_Box.h"
#include "app/ui/Form_Lurcher_settings.h"
#include "recording/Cls_XML_header.h"
#include "recording/QK3_Verify.h"
#include "recording/cls_VideoFile_handler.h"
#include "ui_Form_Lurcher.h"
#include "ui_Form_Lurcher_settings.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace {
struct Heat_File_Contents {
  std::int32_t frames = 0;
  std::int32_t start_tick = 0;
  std::int32_t start_local = 0;
  QString start_datetime;
  QString box_delay;
  QString event;
  QString serial;
  std::vector<std::int32_t> ticks;
};

Heat_File_Contents Read_Heat(const QString &path) {
  cls_VideoFile_handler heat;
  heat.Set_Open_For_Reading_Only(true);
  Heat_File_Contents c;
  if (!heat.Open_File(path))
    return c;
  c.frames = heat.Num_Frames();
  c.start_tick = heat.Hound_start_PC_mill();
  c.start_local = heat.Hound_heat_start_local();
  c.start_datetime = heat.Hound_start_DateTime();
  c.box_delay = heat.Hound_box_delay();
  c.event = heat.Hound_event();
  c.serial = heat.Phidget_serial();
  for (std::int16_t n = 1; n <= c.frames; ++n)
    if (heat.Read_RGB_sample(n, false))
      c.ticks.push_back(heat.QK3_Capture_mill());
  heat.Close_File();
  return c;
}

using Race_Cycle_Test = Race_Window_Test;

TEST_F(Race_Cycle_Test, TwoClicksOnStartCameraWithinASecondStartItOnce) {
  Form().Command_start_camera_Click();
  clock_.Advance(999);
  Form().Command_start_camera_Click();
  EXPECT_TRUE(Form().Camera_Running());
  EXPECT_EQ(camera_->calls.count(QStringLiteral("Run")), 1);
  clock_.Advance(1);
  Form().Command_start_camera_Click();
  EXPECT_FALSE(Form().Camera_Running());
}

TEST_F(Race_Cycle_Test, LiveViewIgnoresASecondClickWithin300Ms) {
  Form().cmd_live_view_Click();
  EXPECT_EQ(Form().ui->cmd_live_view->text(), QStringLiteral("Live view on"));
  EXPECT_FALSE(Form().Live_View);
  clock_.Advance(299);
  Form().cmd_live_view_Click();
  EXPECT_FALSE(Form().Live_View);
  clock_.Advance(1);
  Form().cmd_live_view_Click();
  EXPECT_TRUE(Form().Live_View);
  EXPECT_EQ(Form().ui->cmd_live_view->text(), QStringLiteral("Live view off"));
}

TEST_F(Race_Cycle_Test, TheCaptureButtonIgnoresAPressOrReleaseWithin300MsOfTheLast) {
  Start_Heat();
  clock_.Advance(10);             // the last frame before the capture is not kept
  Form().Cmd_capture_MouseDown(); // press at P
  Deliver(2);                     // P + 80
  Form().Cmd_capture_MouseUp();   // release at R = P + 80
  EXPECT_EQ(Read_Heat(Form().Current_File).frames, 2);
  clock_.Advance(100);
  Form().Cmd_capture_MouseDown(); // P + 180: ignored
  EXPECT_FALSE(Form().Capturing);
  clock_.Advance(120);
  Form().Cmd_capture_MouseDown(); // P + 300: taken
  EXPECT_TRUE(Form().Capturing);
  Deliver(1);
  Form().Cmd_capture_MouseUp(); // R + 260: ignored, the capture goes on
  EXPECT_TRUE(Form().Capturing);
  Deliver(1);
  Form().Cmd_capture_MouseUp(); // R + 300: taken
  EXPECT_FALSE(Form().Capturing);
  EXPECT_EQ(Read_Heat(Form().Current_File).frames, 4);
}

TEST_F(Race_Cycle_Test, InitiatingBeforeTheRateIsMeasuredOnlySaysSo) {
  Form().Command_start_camera_Click();
  op_.Answer(Msg_Result::OK);
  Form().Command_initiate_file_Click();
  EXPECT_TRUE(Form().Current_File.isEmpty());
  ASSERT_EQ(op_.Message_Texts().size(), 1);
  EXPECT_EQ(op_.Message_Texts().front(),
            QStringLiteral("Waiting to measure camera fps!\n(See display under the rotating arm!)"));
  EXPECT_TRUE(QDir(heats_).entryList(QDir::Files).isEmpty());
}

TEST_F(Race_Cycle_Test, TheInitiatedFileCarriesTheCompensationsOfItsMoment) {
  Module_Lurcher::Box_Delay = 150;
  Start_Camera();
  Initiate();
  Module_Lurcher::Box_Delay = 0; // changed later: the file keeps 150
  Input(start_input, true);
  const Heat_File_Contents heat = Read_Heat(Form().Current_File);
  EXPECT_EQ(heat.box_delay, QStringLiteral("150"));
  EXPECT_EQ(heat.event, QStringLiteral("Test Event"));
  EXPECT_EQ(heat.serial, QString::number(Simulated_Kit::Simulated_Serial));
  EXPECT_EQ(QFileInfo(Form().Current_File).absolutePath(), heats_);
  EXPECT_EQ(Form().ui->Label_event->text(), QStringLiteral("No event"));
}

struct Start_Case {
  const char *what;
  bool initiated;
  bool auto_init;
  bool starts;
};

class Race_Start_Test : public Race_Window_Test, public testing::WithParamInterface<Start_Case> {};

TEST_P(Race_Start_Test, TheStartIsStampedWithTheTickOfItsArrival) {
  const Start_Case &c = GetParam();
  Compensations::Write_Switch(Compensations::Key_Auto_Init, c.auto_init);
  Start_Camera();
  if (c.initiated)
    Initiate();
  const std::int32_t arrival = Tick();
  Input(start_input, true, 70); // handled 70 ms after it arrived
  EXPECT_EQ(Form().Heat_Running, c.starts) << c.what;
  if (!c.starts) {
    EXPECT_EQ(op_.Beeps(), 1);
    EXPECT_TRUE(Form().Current_File.isEmpty());
    return;
  }
  EXPECT_EQ(Form().Heat_Start_Tick, arrival);
  EXPECT_EQ(Read_Heat(Form().Current_File).start_tick, arrival) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Cases, Race_Start_Test,
                         testing::Values(Start_Case{"initiated file", true, false, true},
                                         Start_Case{"no file, automatic initiation off", false, false, false},
                                         Start_Case{"no file, automatic initiation on", false, true, true}));

// A start handled late (here 2.5 s, across midnight) carries the date and the time, with its
// seconds, of the signal's moment, not of its handling.
TEST_F(Race_Cycle_Test, AStartHandledLateCarriesTheDateAndTimeOfTheSignal) {
  Start_Camera();
  Initiate();
  const QDateTime signal(QDate(2018, 5, 23), QTime(23, 59, 58, 600));
  clock_.Set_Local(signal);
  const std::int32_t arrival = Tick();
  Input(start_input, true, 2500);
  ASSERT_TRUE(Form().Heat_Running);
  EXPECT_EQ(Form().Heat_Start_Local, 86398600);
  const Heat_File_Contents heat = Read_Heat(Form().Current_File);
  EXPECT_EQ(heat.start_tick, arrival);
  EXPECT_EQ(heat.start_local, 86398600);
  EXPECT_EQ(heat.start_datetime, Cls_XML_header::General_Date_Text(signal));
  EXPECT_TRUE(heat.start_datetime.contains(QStringLiteral("59:58"))) << heat.start_datetime.toStdString();
  EXPECT_TRUE(heat.start_datetime.contains(QLocale::system().toString(signal.date(), QLocale::ShortFormat)))
      << heat.start_datetime.toStdString();
}

TEST_F(Race_Cycle_Test, ASecondStartDuringAHeatIsRefused) {
  Start_Heat();
  const std::int32_t first = Form().Heat_Start_Tick;
  clock_.Advance(500);
  Form().Command_start_heat_Click();
  EXPECT_EQ(Form().Heat_Start_Tick, first);
  EXPECT_EQ(op_.Beeps(), 1);
}

TEST_F(Race_Cycle_Test, CaptureKeepsTheFramesBetweenStartAndEndAndWritesThemWithTheirTicks) {
  Start_Heat();
  Deliver(3); // before the capture: not kept
  clock_.Advance(5);
  Input(capture_input, true);
  EXPECT_TRUE(Form().Capturing);
  std::vector<std::int32_t> ticks;
  for (int i = 0; i < 12; ++i) {
    Deliver(1);
    ticks.push_back(camera_->stamped.back().tick); // captured before it reached the window
  }
  Input(capture_input, false);
  EXPECT_FALSE(Form().Capturing);
  EXPECT_EQ(Form().Frames_Pending(), 0);
  const Heat_File_Contents heat = Read_Heat(Form().Current_File);
  EXPECT_EQ(heat.frames, 12);
  EXPECT_EQ(heat.ticks, ticks);
  EXPECT_TRUE(Verify_Heat_File(Form().Current_File).Sound());
  EXPECT_TRUE(op_.Prompts().empty());
}

TEST_F(Race_Cycle_Test, ACapturePressWithoutARunningHeatKeepsNothing) {
  Start_Camera();
  Initiate();
  Input(capture_input, true);
  EXPECT_FALSE(Form().Capturing);
  Deliver(5);
  EXPECT_EQ(Form().Frames_Pending(), 0);
}

TEST_F(Race_Cycle_Test, ACaptureEndSoonAfterStartUpAppendsNothing) {
  Start_Heat();
  Input(capture_input, true);
  Deliver(5);
  Globals::Startup_Time = Tick() - 2999;
  Input(capture_input, false);
  EXPECT_EQ(Read_Heat(Form().Current_File).frames, 0);
}

TEST_F(Race_Cycle_Test, ACaptureEndWithNoFramesLeavesASoundFile) {
  Start_Heat();
  clock_.Advance(10); // after the last frame
  Input(capture_input, true);
  Input(capture_input, false);
  const QK3_Verify_Result check = Verify_Heat_File(Form().Current_File);
  EXPECT_TRUE(check.Sound()) << check.problems.join(QLatin1Char('\n')).toStdString();
  EXPECT_EQ(Read_Heat(Form().Current_File).frames, 0);
  EXPECT_TRUE(op_.Prompts().empty());
}

TEST_F(Race_Cycle_Test, AbortThenANewStartIsAccepted) {
  Start_Heat();
  op_.Answer(Msg_Result::OK);
  Form().Do_Abort();
  EXPECT_FALSE(Form().Heat_Running);
  EXPECT_EQ(Form().ui->Label_heat_time->text(), QStringLiteral("Aborted"));
  ASSERT_EQ(op_.Prompts().size(), 1u);
  EXPECT_EQ(op_.Prompts().front().title, QStringLiteral("Tidemark Aborting Heat"));
  EXPECT_EQ(op_.Prompts().front().text, QStringLiteral("Aborting heat  are you sure?"));
  clock_.Advance(2000);
  const std::int32_t again = Tick();
  Input(start_input, true);
  EXPECT_TRUE(Form().Heat_Running);
  EXPECT_EQ(Form().Heat_Start_Tick, again);
}

TEST_F(Race_Cycle_Test, HeatFinishClosesTheHeatAndStopsTheCamera) {
  Start_Heat();
  const QString file = Form().Current_File;
  Form().Command_finish_Click();
  EXPECT_FALSE(Form().Heat_Running);
  EXPECT_TRUE(Form().Current_File.isEmpty());
  EXPECT_FALSE(Form().Camera_Running());
  EXPECT_EQ(Read_INI(QStringLiteral("Settings"), QStringLiteral("last_file"), Globals::Ini_File, QString()), file);
}

// ---------------------------------------------------------------- weeks of uptime

struct Uptime_Case {
  const char *what;
  std::uint64_t clock_at_startup; // milliseconds since the machine started
  std::uint64_t uptime;           // of the program when the heat begins
};

void PrintTo(const Uptime_Case &c, std::ostream *os) { *os << c.what; }

class Race_Uptime_Test : public Race_Window_Test, public testing::WithParamInterface<Uptime_Case> {
protected:
  Race_Uptime_Test() { clock_.Set(GetParam().clock_at_startup); }
};

// A machine left running for weeks: the kit's inputs, the buttons and the capture end work
// as on the first day, wherever the 32-bit tick stands.
TEST_P(Race_Uptime_Test, AHeatIsRecordedAfterWeeksOfUptime) {
  const Uptime_Case &c = GetParam();
  clock_.Set(c.clock_at_startup + c.uptime);
  Start_Heat();
  clock_.Advance(10); // after the last frame before the capture
  Form().Cmd_capture_MouseDown();
  EXPECT_TRUE(Form().Capturing) << c.what;
  Deliver(4);
  // The switch ends it; a frame from after the release is on its way when it is handled.
  Kit().Set_Input(capture_input, true);
  Pump();
  clock_.Advance(10);
  Kit().Set_Input(capture_input, false);
  Deliver(1);
  Pump();
  EXPECT_FALSE(Form().Capturing);
  EXPECT_EQ(Read_Heat(Form().Current_File).frames, 4) << c.what;
  clock_.Advance(500);
  Form().Cmd_capture_MouseDown(); // the button's second press
  EXPECT_TRUE(Form().Capturing) << c.what;
  Deliver(3);
  Kit().Set_Input(capture_input, true);
  Pump();
  clock_.Advance(10);
  Kit().Set_Input(capture_input, false);
  Deliver(1);
  Pump();
  EXPECT_EQ(Read_Heat(Form().Current_File).frames, 7) << c.what;
}

constexpr std::uint64_t Two_31 = 1ULL << 31;
constexpr std::uint64_t Two_32 = 1ULL << 32;

INSTANTIATE_TEST_SUITE_P(
    Cases, Race_Uptime_Test,
    testing::Values(Uptime_Case{"tick difference past its half", 1000000, Two_31},
                    Uptime_Case{"start signal just after a full cycle", 1000000, Two_32 - 2000},
                    Uptime_Case{"capture end just after a full cycle", 1000000, Two_32 + 100},
                    Uptime_Case{"program started as the tick turns negative", Two_31 - 1500, Two_31 + 2000},
                    Uptime_Case{"program started as the tick wraps", Two_32 - 1500, Two_32 - 1000}),
    [](const testing::TestParamInfo<Uptime_Case> &param_info) { return "Case" + std::to_string(param_info.index); });

// ---------------------------------------------------------------- the kit's inputs

TEST_F(Race_Cycle_Test, TheRemoteContactStartsOnlyWhileArmed) {
  Start_Camera();
  Initiate();
  Input(0, true);
  EXPECT_FALSE(Form().Heat_Running);
  EXPECT_TRUE(Kit().Output_State()) << "the lamp follows the remote contact";
  Input(0, false);
  EXPECT_FALSE(Kit().Output_State());
  Input(1, true); // armed
  const std::int32_t closed = Tick();
  Input(0, true);
  EXPECT_TRUE(Form().Heat_Running);
  EXPECT_EQ(Form().Heat_Start_Tick, closed);
  Input(0, false); // opening again: refused as a second start
  EXPECT_EQ(Form().Heat_Start_Tick, closed);
  EXPECT_EQ(op_.Beeps(), 1);
}

TEST_F(Race_Cycle_Test, TheStartInputGoingOffDoesNothing) {
  Start_Camera();
  Initiate();
  Kit().Set_Input(start_input, true);
  clock_.Advance(10);
  Globals::Startup_Time = Tick(); // the input came inside the grace period
  Pump();
  EXPECT_FALSE(Form().Heat_Running);
  clock_.Advance(2000);
  Input(start_input, false);
  EXPECT_FALSE(Form().Heat_Running);
}

TEST_F(Race_Cycle_Test, EveryCaptureInputCaptures) {
  Start_Heat();
  for (int input : {3, 4, 5}) {
    clock_.Advance(1000);
    Input(input, true);
    EXPECT_TRUE(Form().Capturing) << input;
    Deliver(2);
    Input(input, false);
    EXPECT_FALSE(Form().Capturing) << input;
  }
  EXPECT_EQ(Read_Heat(Form().Current_File).frames, 6);
}

TEST_F(Race_Cycle_Test, ADetachDuringAHeatKeepsItRunningAndRefusesCapture) {
  Start_Heat();
  Kit().Detach();
  Pump();
  EXPECT_TRUE(Form().Heat_Running);
  EXPECT_FALSE(Form().ui->Command_start_heat->isEnabled());
  Input(capture_input, true); // a detached kit reports nothing; the button is refused too
  Form().Cmd_capture_MouseDown();
  EXPECT_FALSE(Form().Capturing);
}

TEST_F(Race_Cycle_Test, HoldingTheLedLightsTheLampWhateverTheRemoteContactDoes) {
  ASSERT_NE(Form().Control_box, nullptr);
  Form().Control_box->Picture_LED_MouseDown();
  EXPECT_TRUE(Kit().Output_State());
  Input(0, true);
  Input(0, false);
  EXPECT_TRUE(Kit().Output_State()) << "still held";
  Form().Control_box->Picture_LED_MouseUp();
  EXPECT_FALSE(Kit().Output_State());
}

TEST_F(Race_Cycle_Test, InputFiveCapturesWithoutALamp) {
  Start_Heat();
  Input(5, true);
  EXPECT_TRUE(Form().Capturing);
  EXPECT_FALSE(Form().ui->Label_GS_2->isVisibleTo(&Form()));
  EXPECT_FALSE(Form().ui->Label_GS_3->isVisibleTo(&Form()));
  Input(3, true);
  EXPECT_TRUE(Form().ui->Label_GS_2->isVisibleTo(&Form()));
}

TEST_F(Race_Cycle_Test, TheSettingsWindowSteersTheNextHeat) {
  Form().ui->item_show_settings->trigger();
  Form_Lurcher_settings &settings = Form().Settings_Window();
  EXPECT_TRUE(settings.isVisible());
  settings.ui->Check_Auto_init->click(); // on
  settings.ui->Text_goalcam_delay->setText(QStringLiteral("230"));
  Start_Camera();
  Input(start_input, true);
  ASSERT_TRUE(Form().Heat_Running) << "the start initiated the file itself";
  cls_VideoFile_handler heat;
  heat.Set_Open_For_Reading_Only(true);
  ASSERT_TRUE(heat.Open_File(Form().Current_File));
  EXPECT_EQ(heat.Hound_Goal_compensation(), QStringLiteral("230"));
  heat.Close_File();
  Form().Command_finish_Click();
  settings.ui->Check_Auto_init->click(); // off again: the next start without a file is refused
  Start_Camera();
  clock_.Advance(1000);
  Input(start_input, false);
  Input(start_input, true);
  EXPECT_FALSE(Form().Heat_Running);
}

// ---------------------------------------------------------------- folder and crop size

TEST_F(Race_Cycle_Test, TheCropMenuSetsTheSizeAndRemembersIt) {
  Form().item_crop_size[1]->trigger();
  EXPECT_EQ(Form().Crop_X, 600);
  EXPECT_EQ(Form().Crop_Y, 1080);
  EXPECT_TRUE(Form().item_crop_size[1]->isChecked());
  EXPECT_FALSE(Form().item_crop_size[0]->isChecked());
  EXPECT_EQ(Read_INI(QStringLiteral("Settings"), QStringLiteral("lastcrop"), Globals::Ini_File, QString()),
            QStringLiteral("600*1080"));
  Write_INI(QStringLiteral("Settings"), QStringLiteral("lastcrop"), QStringLiteral("576*720"), Globals::Ini_File);
  Form().Read_Last_Crop();
  EXPECT_EQ(Form().Crop_X, 576);
  EXPECT_TRUE(Form().item_crop_size[2]->isChecked());
}

TEST_F(Race_Cycle_Test, TheCaptureFolderIsChosenAndChecked) {
  const QString other = appdata_.Path() + QStringLiteral("/Race-Day");
  QDir().mkpath(other);
  op_.Answer_Folder(other);
  Form().Label_capture_folder_Click();
  EXPECT_EQ(Form().Capture_Folder, other);
  EXPECT_EQ(Form().ui->Label_capture_folder->text(), other);
  EXPECT_EQ(Read_INI(QStringLiteral("Settings"), QStringLiteral("save_folder"), Globals::Ini_File, QString()), other);
  Form().Validate_Folder();
  EXPECT_TRUE(op_.Message_Texts().isEmpty());
  EXPECT_FALSE(QFile::exists(other + QStringLiteral("/testfile.txt")));
  QDir(other).removeRecursively();
  op_.Answer(Msg_Result::OK);
  Form().Validate_Folder();
  EXPECT_EQ(op_.Message_Texts(), QStringList{QStringLiteral("Capture folder does not exist!")});
}

// ---------------------------------------------------------------- a capture end that cannot write

TEST_F(Race_Cycle_Test, FramesThatCannotBeWrittenStayUntilAnotherFolderTakesThem) {
  Start_Heat();
  const QString lost = Form().Current_File;
  const std::int32_t start = Form().Heat_Start_Tick;
  clock_.Advance(10); // after the last frame before the capture
  Input(capture_input, true);
  Deliver(4);
  ASSERT_TRUE(QFile::remove(lost));
  op_.Answer(Msg_Result::No);
  Input(capture_input, false);
  EXPECT_EQ(Form().Frames_Pending(), 4) << "nothing is thrown away";
  ASSERT_EQ(op_.Message_Texts().size(), 1);
  EXPECT_TRUE(op_.Message_Texts().front().contains(QStringLiteral("the heat file is gone")));

  // Settings changed since the heat began reach no header of this heat.
  const std::int32_t initiated_delay = Module_Lurcher::Box_Delay;
  const QString box_delay = QString::number(initiated_delay);
  Module_Lurcher::Box_Delay = initiated_delay + 77;
  // The next capture end tries again; this time the operator gives another folder.
  const QString other = appdata_.Path() + QStringLiteral("/Other");
  QDir().mkpath(other);
  clock_.Advance(1000);
  Input(capture_input, true);
  Deliver(2);
  op_.Answer(Msg_Result::Yes);
  op_.Answer_Folder(other);
  Input(capture_input, false);
  EXPECT_EQ(Form().Frames_Pending(), 0);
  EXPECT_EQ(QFileInfo(Form().Current_File).absolutePath(), other);
  const Heat_File_Contents heat = Read_Heat(Form().Current_File);
  EXPECT_EQ(heat.frames, 6);
  EXPECT_EQ(heat.start_tick, start);
  EXPECT_EQ(heat.box_delay, box_delay) << "the heat's own header, not one made from today's settings";
  Module_Lurcher::Box_Delay = initiated_delay;
  EXPECT_TRUE(Verify_Heat_File(Form().Current_File).Sound());
  op_.Expect_All_Answered();
}

TEST_F(Race_Cycle_Test, HeatFinishAsksBeforeUnwrittenFramesAreDropped) {
  Start_Heat();
  clock_.Advance(10); // after the last frame before the capture
  Input(capture_input, true);
  Deliver(3);
  QFile::remove(Form().Current_File);
  op_.Answer(Msg_Result::No);
  Input(capture_input, false);
  op_.Answer(Msg_Result::Cancel);
  Form().Command_finish_Click();
  EXPECT_TRUE(Form().Heat_Running);
  EXPECT_EQ(Form().Frames_Pending(), 3);
}
} // namespace
