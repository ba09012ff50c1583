// The captures of a heat as the race meets them: heat finish, a failing camera and closing the
// program during a capture, a switch held while frames are written, frames lost on the way,
// and what the header records of the camera.

#include "Race_Window.h"

#include "recording/cls_VideoFile_handler.h"
#include "ui_Form_Lurcher.h"

#include <QTimer>

namespace {
class Race_Capture_Test : public Race_Window_Test {
protected:
  // Starts a capture 10 ms after the last frame and keeps n frames.
  void Capture(int n) {
    clock_.Advance(10);
    Input(capture_input, true);
    ASSERT_TRUE(Form().Capturing);
    Deliver(n);
  }
  static std::int32_t Frames_In(const QString &path) {
    cls_VideoFile_handler heat;
    heat.Set_Open_For_Reading_Only(true);
    if (!heat.Open_File(path))
      return -1;
    const std::int32_t n = heat.Num_Frames();
    heat.Close_File();
    return n;
  }
};

TEST_F(Race_Capture_Test, HeatFinishDuringACaptureEndsItAndWritesItsFrames) {
  Start_Heat();
  const QString file = Form().Current_File;
  Capture(5);
  Form().Command_finish_Click();
  EXPECT_FALSE(Form().Capturing);
  EXPECT_FALSE(Form().obj_Capture_HDMI->Keeping());
  EXPECT_EQ(Form().Frames_Pending(), 0);
  EXPECT_EQ(Frames_In(file), 5);
  EXPECT_TRUE(op_.Prompts().empty()) << "nothing to ask: the frames are in the file";
  // The next heat starts without a capture of its own.
  Start_Heat();
  EXPECT_FALSE(Form().Capturing);
  Deliver(3);
  EXPECT_EQ(Form().Frames_Pending(), 0);
}

TEST_F(Race_Capture_Test, ACameraThatFailsShowsItStoppedAndTheCaptureIsWritten) {
  Start_Heat();
  const QString file = Form().Current_File;
  Capture(3);
  op_.Answer(Msg_Result::OK); // the capture object's message says why
  camera_->Fail(QStringLiteral("device unplugged"));
  Pump();
  EXPECT_FALSE(Form().Camera_Running());
  EXPECT_EQ(Form().ui->Command_start_camera->text(), QStringLiteral("Start camera"));
  EXPECT_EQ(Form().ui->Label_running_fps->text(), QStringLiteral("Camera stopped"));
  EXPECT_TRUE(Form().ui->Label_running_fps->toolTip().contains(QStringLiteral("device unplugged")));
  EXPECT_FALSE(Form().Capturing);
  EXPECT_EQ(Frames_In(file), 3);
  // Nothing is captured, started or initiated on the dead camera.
  clock_.Advance(500);
  Input(capture_input, false);
  Input(capture_input, true);
  EXPECT_FALSE(Form().Capturing);
  Form().Command_finish_Click();
  const int beeps = op_.Beeps();
  Input(start_input, true);
  EXPECT_FALSE(Form().Heat_Running);
  op_.Answer(Msg_Result::OK);
  Form().Command_initiate_file_Click();
  EXPECT_TRUE(Form().Current_File.isEmpty());
  EXPECT_GE(op_.Beeps(), beeps);
  op_.Expect_All_Answered();
}

TEST_F(Race_Capture_Test, ClosingTheProgramDuringACaptureWritesItsFramesFirst) {
  Start_Heat();
  const QString file = Form().Current_File;
  Capture(4);
  Form().close();
  EXPECT_EQ(Frames_In(file), 4);
  EXPECT_TRUE(Frame_Buffers().empty());
}

TEST_F(Race_Capture_Test, FramesLeftUnwrittenAreWrittenOnClosingWhenTheOperatorSaysSo) {
  Start_Heat();
  const QString file = Form().Current_File;
  Capture(3);
  // The heat file cannot take them now: the operator declines another folder.
  const QString saved = file + QStringLiteral(".saved");
  ASSERT_TRUE(QFile::rename(file, saved));
  op_.Answer(Msg_Result::No);
  Input(capture_input, false);
  ASSERT_EQ(Form().Frames_Pending(), 3);
  ASSERT_TRUE(QFile::rename(saved, file));
  op_.Answer(Msg_Result::Yes); // the default answer
  Form().close();
  EXPECT_EQ(Frames_In(file), 3);
  ASSERT_EQ(op_.Message_Texts().size(), 2);
  EXPECT_TRUE(op_.Message_Texts().back().contains(QStringLiteral("3 captured frame(s) have not been written")));
}

TEST_F(Race_Capture_Test, ASwitchPressedWhileFramesAreWrittenCapturesOnceTheyAreIn) {
  Start_Heat();
  Capture(3);
  // The switch goes on again while the release is being handled.
  QTimer::singleShot(0, &Form(), [this] { Kit().Set_Input(capture_input + 1, true); });
  Input(capture_input, false);
  Pump();
  EXPECT_TRUE(Form().Capturing) << "the switch still held after writing starts a capture";
  EXPECT_EQ(Frames_In(Form().Current_File), 3);
}

TEST_F(Race_Capture_Test, FramesLostDuringACaptureAreToldAtItsEnd) {
  Start_Heat();
  Capture(2);
  clock_.Advance(frame_ms * 3);
  Captured_Frame frame = picture_.Frame(Tick(), Ms_Of_Day());
  frame.lost_before = 2;
  camera_->Deliver_Frame(frame);
  op_.Answer(Msg_Result::OK);
  Input(capture_input, false);
  EXPECT_EQ(op_.Message_Texts(), QStringList{QStringLiteral("2 frames were lost during this capture")});
}

struct Header_Case {
  const char *what;
  bool interlaced_frames;
};

class Race_Header_Test : public Race_Capture_Test, public testing::WithParamInterface<Header_Case> {};

TEST_P(Race_Header_Test, TheHeaderRecordsTheCameraAndWhetherItsFramesAreInterlaced) {
  Form().Command_start_camera_Click();
  for (int i = 0; i < 60; ++i) {
    clock_.Advance(frame_ms);
    Captured_Frame frame = picture_.Frame(Tick(), Ms_Of_Day());
    frame.interlaced = GetParam().interlaced_frames;
    camera_->Deliver_Frame(frame);
  }
  Initiate();
  cls_VideoFile_handler heat;
  heat.Set_Open_For_Reading_Only(true);
  ASSERT_TRUE(heat.Open_File(Form().Current_File));
  EXPECT_EQ(heat.Interlaced(), GetParam().interlaced_frames) << GetParam().what;
  Cls_XML_header &h = heat.Header();
  EXPECT_EQ(h.Capture_source(), QStringLiteral("Fake camera"));
  EXPECT_FALSE(h.Capture_property().isEmpty());
  EXPECT_EQ(h.Actual_sample(), QStringLiteral("1280*1024, 25 fps"));
  EXPECT_EQ(h.Capture_Info(), h.Capture_property() + QStringLiteral(" / Fake camera"));
}

INSTANTIATE_TEST_SUITE_P(Cases, Race_Header_Test,
                         testing::Values(Header_Case{"progressive at 25 fps", false},
                                         Header_Case{"interlaced at 25 fps", true}));
} // namespace
