// Stories of a race day through the main window as the operator sees it: only controls that
// are shown can be used, buttons are pressed with the mouse, the kit's switches on the
// simulated kit's window.

#include "Race_Window.h"

#include "app/ui/Form_simulated_kit.h"
#include "capture/ui/Form_HDMI_performance.h"
#include "recording/QK3_Verify.h"
#include "recording/cls_VideoFile_handler.h"
#include "support/ui/Picture_Box.h"
#include "ui_Form_Lurcher.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace {
struct Heat_Record {
  QString path;
  std::int32_t frames = 0;
  std::int32_t start_tick = 0;
  std::vector<std::int32_t> ticks;
};

Heat_Record Read_Heat(const QString &path) {
  Heat_Record r;
  r.path = path;
  cls_VideoFile_handler heat;
  heat.Set_Open_For_Reading_Only(true);
  if (!heat.Open_File(path))
    return r;
  r.frames = heat.Num_Frames();
  r.start_tick = heat.Hound_start_PC_mill();
  for (std::int16_t n = 1; n <= r.frames; ++n)
    if (heat.Read_RGB_sample(n, false))
      r.ticks.push_back(heat.QK3_Capture_mill());
  heat.Close_File();
  return r;
}

class Race_Story_Test : public Race_Window_Test {
protected:
  void SetUp() override {
    Race_Window_Test::SetUp();
    Form().show();
    Pump();
  }

  // The operator can reach a control only while it is shown and enabled.
  static testing::AssertionResult Usable(const QWidget *w) {
    if (!w->isVisible())
      return testing::AssertionFailure() << w->objectName().toStdString() << " is not shown";
    if (!w->isEnabled())
      return testing::AssertionFailure() << w->objectName().toStdString() << " is disabled";
    return testing::AssertionSuccess();
  }
  // Where a click lands on the control: check boxes and option buttons take it on their mark
  // and caption only.
  static QPointF Hit_Point(QWidget *w) {
    const bool check = qobject_cast<QCheckBox *>(w) != nullptr;
    if (check || qobject_cast<QRadioButton *>(w)) {
      QStyleOptionButton option;
      option.initFrom(w);
      option.text = static_cast<QAbstractButton *>(w)->text();
      const auto element = check ? QStyle::SE_CheckBoxClickRect : QStyle::SE_RadioButtonClickRect;
      return QRectF(w->style()->subElementRect(element, &option, w)).center();
    }
    return QRectF(w->rect()).center();
  }
  static void Mouse(QWidget *w, QEvent::Type type) {
    const QPointF centre = Hit_Point(w);
    QMouseEvent e(type, centre, w->mapToGlobal(centre), Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
  }
  void Click(QAbstractButton *button) {
    ASSERT_TRUE(Usable(button));
    Mouse(button, QEvent::MouseButtonPress);
    Mouse(button, QEvent::MouseButtonRelease);
    Pump();
  }
  void Press(QAbstractButton *button) {
    ASSERT_TRUE(Usable(button));
    Mouse(button, QEvent::MouseButtonPress);
    Pump();
  }
  void Release(QAbstractButton *button) {
    Mouse(button, QEvent::MouseButtonRelease);
    Pump();
  }
  // A switch of the simulated kit's window; with frames_meanwhile, that many frames come
  // from the camera before the switch's event is handled.
  void Switch(int input, int frames_meanwhile = 0) {
    ASSERT_NE(Form().Simulated_Kit_Window(), nullptr);
    QCheckBox *box = Form().Simulated_Kit_Window()->Check_input[static_cast<std::size_t>(input)];
    ASSERT_TRUE(Usable(box));
    Mouse(box, QEvent::MouseButtonPress);
    Mouse(box, QEvent::MouseButtonRelease);
    Deliver(frames_meanwhile);
    Pump();
  }
  bool Control_Status_Shown() const { return form_->ui->Frame_Control_status->isVisible(); }

  // One heat with the buttons: camera, file, start, a capture of `frames` frames, finish.
  Heat_Record Heat_With_Buttons(int frames) {
    Heat_Record r;
    Ui::Form_Lurcher &ui = *Form().ui;
    Click(ui.Command_start_camera);
    Deliver(60);
    Click(ui.Command_initiate_file);
    r.path = Form().Current_File;
    clock_.Advance(500);
    Click(ui.Command_start_heat);
    EXPECT_TRUE(Form().Heat_Running);
    clock_.Advance(1000);
    Press(ui.Cmd_capture);
    Deliver(frames);
    Release(ui.Cmd_capture);
    Click(ui.Command_finish);
    return r;
  }
  // The same heat with the kit: the start input and a goal capture switch.
  Heat_Record Heat_With_The_Kit(int frames) {
    Heat_Record r;
    Ui::Form_Lurcher &ui = *Form().ui;
    Click(ui.Command_start_camera);
    Deliver(60);
    Click(ui.Command_initiate_file);
    r.path = Form().Current_File;
    clock_.Advance(500);
    Switch(start_input);
    Switch(start_input);
    EXPECT_TRUE(Form().Heat_Running);
    clock_.Advance(1000);
    Switch(capture_input);
    Deliver(frames);
    // The frame after the release tells the capture end that every frame before it is in.
    Switch(capture_input, 1);
    Click(ui.Command_finish);
    return r;
  }
};

TEST_F(Race_Story_Test, TwoHeatsInARowInOneRunOfTheProgram) {
  ASSERT_TRUE(Control_Status_Shown());
  const Heat_Record first = Heat_With_Buttons(5);
  EXPECT_FALSE(Form().Heat_Running);
  EXPECT_FALSE(Control_Status_Shown()) << "heat finish leaves race control";
  Form().ui->item_close_file->trigger();
  ASSERT_TRUE(Control_Status_Shown()) << "closing the heat file brings race control back";

  clock_.Advance(60000); // the next heat a minute later: a file of its own
  const Heat_Record second = Heat_With_The_Kit(7);
  EXPECT_FALSE(Control_Status_Shown());
  Click(Form().Option_selected_camera[2]);
  EXPECT_TRUE(Control_Status_Shown()) << "choosing the camera brings race control back";

  ASSERT_NE(first.path, second.path);
  const Heat_Record one = Read_Heat(first.path);
  const Heat_Record two = Read_Heat(second.path);
  EXPECT_EQ(one.frames, 5);
  EXPECT_EQ(two.frames, 7);
  EXPECT_NE(one.start_tick, two.start_tick);
  EXPECT_GT(Ticks_Between(one.ticks.back(), two.start_tick), 60000) << "the second heat holds only its own frames";
  for (const Heat_Record &h : {one, two}) {
    const QK3_Verify_Result check = Verify_Heat_File(h.path);
    EXPECT_TRUE(check.Sound()) << h.path.toStdString() << ": " << check.problems.join(QLatin1Char('\n')).toStdString();
    ASSERT_FALSE(h.ticks.empty());
    EXPECT_GT(Ticks_Between(h.start_tick, h.ticks.front()), 0) << "captured after the start";
  }
  op_.Expect_All_Answered();
}

// Every way back to race control after a heat finish.
TEST_F(Race_Story_Test, ClosingTheFileChoosingACameraOrStartingItShowsRaceControlAgain) {
  const std::function<void()> ways[] = {
      [&] { Form().ui->item_close_file->trigger(); },
      [&] { Click(Form().Option_selected_camera[1]); },
      [&] { Click(Form().Option_selected_camera[2]); },
      [&] { Form().Command_start_camera_Click(); },
  };
  int n = 0;
  for (const auto &way : ways) {
    ++n;
    clock_.Advance(5000);
    Heat_With_The_Kit(2);
    ASSERT_FALSE(Control_Status_Shown()) << "way " << n;
    way();
    EXPECT_TRUE(Control_Status_Shown()) << "way " << n;
    if (Form().Camera_Running()) {
      clock_.Advance(1000);
      Form().Command_start_camera_Click();
    }
  }
}

// Diagnostics -> "HDMI performance" while the camera runs: the window hears of every frame,
// counted against the frames expected at 25 per second.
TEST_F(Race_Story_Test, TheCapturePerformanceWindowOpensFromItsMenuAndCountsEveryFrame) {
  QAction &menu = *Form().ui->item_HDMI_performance;
  op_.Answer(Msg_Result::OK);
  menu.trigger(); // no frames yet: no rate reported
  EXPECT_EQ(op_.Message_Texts(), QStringList{QStringLiteral("No active HDMI source!")});
  EXPECT_EQ(Form().Performance_Window(), nullptr);

  Click(Form().ui->Command_start_camera);
  // The window counts from the moment it is reset; a camera that stamps its frames at once
  // keeps the figures whole.
  camera_->latency_ms = 0;
  Deliver(60);
  menu.trigger();
  Form_HDMI_performance *window = Form().Performance_Window();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
  const cls_Capture_HDMI &capture = *Form().obj_Capture_HDMI;
  EXPECT_EQ(window->Properties_Text(), capture.Current_PropertyString() + QStringLiteral(" / Fake camera"));
  EXPECT_EQ(window->Dimensions_Text(), QStringLiteral("1280*1024, 25 fps"));
  EXPECT_EQ(window->Min_Max_Fps_Text(), QStringLiteral("min max fps: 25.0 / 50.0"));

  const struct {
    std::int32_t frame_ms;
    int frames;
    const char *received, *calculated, *lost;
  } runs[] = {{40, 100, "100", "100", "0"}, {20, 100, "100", "50", "50"}, {80, 25, "25", "50", "-25"}};
  for (const auto &run : runs) {
    // A click on the lost count starts counting afresh.
    Mouse(Form().Performance_Window()->findChild<QWidget *>(QStringLiteral("Label_frames_lost")),
          QEvent::MouseButtonPress);
    for (int i = 0; i < run.frames; ++i) {
      clock_.Advance(static_cast<std::uint64_t>(run.frame_ms));
      camera_->Deliver(picture_);
    }
    EXPECT_EQ(window->Received_Text(), QString::fromLatin1(run.received)) << run.frame_ms;
    EXPECT_EQ(window->Calculated_Text(), QString::fromLatin1(run.calculated)) << run.frame_ms;
    EXPECT_EQ(window->Lost_Text(), QString::fromLatin1(run.lost)) << run.frame_ms;
    // The latest frame's delta is the newest column: one pixel per millisecond.
    const QImage plot = window->Plot().Image();
    const int x = plot.width() - 1;
    const int top = plot.height() - 1 - run.frame_ms;
    EXPECT_EQ(plot.pixelColor(x, top + 3), QColor(0, 0, 255)) << run.frame_ms;
    EXPECT_EQ(plot.pixelColor(x, top - 3), QColor(0, 0, 0)) << run.frame_ms;
  }

  menu.trigger(); // chosen again: closed
  EXPECT_EQ(Form().Performance_Window(), nullptr);
  Deliver(3); // frames go on without it
  EXPECT_TRUE(Form().Camera_Running());
  op_.Expect_All_Answered();
}
} // namespace
