// Escape aborts a running heat from every window of the program, as the operator presses it:
// the key goes to the focused control of whichever window is in front.

#include "Race_Window.h"

#include "app/ui/Form_Lurcher_settings.h"
#include "app/ui/Form_simulated_kit.h"
#include "app/ui/Form_timer.h"
#include "app/ui/Lurcher_debug_form.h"
#include "capture/ui/Form_HDMI_performance.h"
#include "capture/ui/Form_select_Video.h"
#include "events/ui/Form_event_registration.h"
#include "support/ui/Keyboard_State.h"
#include "ui_Form_Lurcher.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <functional>

namespace {
class Race_Abort_Test : public Race_Window_Test {
protected:
  void SetUp() override {
    Race_Window_Test::SetUp();
    Keyboard_State::Forget_Keys();
    Form().show();
    Pump();
  }
  void TearDown() override {
    Keyboard_State::Forget_Keys();
    Race_Window_Test::TearDown();
  }

  // Escape as the window system delivers it: to the focused control of the window.
  static void Escape(QWidget *window, QEvent::Type type, bool repeat = false) {
    QWidget *target = window->focusWidget() ? window->focusWidget() : window;
    QKeyEvent key(type, Qt::Key_Escape, Qt::NoModifier, QString(), repeat);
    QApplication::sendEvent(target, &key);
  }
  static void Press_Escape(QWidget *window) {
    Escape(window, QEvent::KeyPress);
    Escape(window, QEvent::KeyRelease);
    Pump();
  }
  int Abort_Questions() const {
    int n = 0;
    for (const auto &prompt : op_.Prompts())
      n += prompt.title == QLatin1String("Tidemark Aborting Heat") &&
                   prompt.text == QLatin1String("Aborting heat  are you sure?")
               ? 1
               : 0;
    return n;
  }
  // Stopped: the display says so and the running timer changes nothing any more.
  void Expect_Aborted(const std::string &where) {
    EXPECT_FALSE(Form().Heat_Running) << where;
    clock_.Advance(500);
    Form().Update_heat_time();
    EXPECT_EQ(Form().ui->Label_heat_time->text(), QStringLiteral("Aborted")) << where;
  }
};

struct Window_Case {
  const char *name;
  std::function<QWidget *(Form_Lurcher &)> window;
};

const Window_Case window_cases[] = {
    {"main window", [](Form_Lurcher &f) -> QWidget * { return &f; }},
    {"simulated kit", [](Form_Lurcher &f) -> QWidget * { return f.Simulated_Kit_Window(); }},
    {"settings", [](Form_Lurcher &f) -> QWidget * { return &f.Settings_Window(); }},
    {"clock", [](Form_Lurcher &f) -> QWidget * { return &f.Clock_Window(); }},
    {"debug text", [](Form_Lurcher &f) -> QWidget * { return &f.Debug_Window(); }},
    {"event registration", [](Form_Lurcher &f) -> QWidget * { return &f.Event_Registration(); }},
    {"video source", [](Form_Lurcher &f) -> QWidget * { return f.Video_Source_Window(); }},
    {"HDMI performance",
     [](Form_Lurcher &f) -> QWidget * {
       f.ui->item_HDMI_performance->trigger();
       return f.Performance_Window();
     }},
};

TEST_F(Race_Abort_Test, EscapeInAnyWindowAsksAndAbortsTheHeat) {
  for (const Window_Case &c : window_cases) {
    Start_Heat();
    QWidget *window = c.window(Form());
    ASSERT_NE(window, nullptr) << c.name;
    window->show();
    window->activateWindow();
    Pump();
    const int before = Abort_Questions();
    op_.Answer(Msg_Result::OK);
    Press_Escape(window);
    EXPECT_EQ(Abort_Questions(), before + 1) << c.name;
    Expect_Aborted(c.name);
    op_.Expect_All_Answered();
    window->hide();
    // Ready for the next heat.
    clock_.Advance(2000);
    Form().Command_finish_Click();
    Form().ui->item_close_file->trigger();
    if (Form().Performance_Window())
      Form().ui->item_HDMI_performance->trigger();
    clock_.Advance(2000);
  }
}

TEST_F(Race_Abort_Test, EscapeDuringACaptureAbortsTheHeat) {
  Start_Heat();
  Input(capture_input, true);
  Deliver(3);
  ASSERT_TRUE(Form().Capturing);
  op_.Answer(Msg_Result::OK);
  Press_Escape(Form().Simulated_Kit_Window());
  EXPECT_EQ(Abort_Questions(), 1);
  Expect_Aborted("capturing");
}

// A held key asks once it is let go, however many frames and key repeats come meanwhile:
// the question would otherwise be answered Cancel by the key's own repeats.
TEST_F(Race_Abort_Test, AHeldEscapeAsksOnceWhenLetGo) {
  Start_Heat();
  Escape(&Form(), QEvent::KeyPress);
  Pump();
  Deliver(5); // the frame notification sees the key down too
  for (int i = 0; i < 3; ++i) {
    Escape(&Form(), QEvent::KeyRelease, true);
    Escape(&Form(), QEvent::KeyPress, true);
    Pump();
    Deliver(1);
  }
  EXPECT_EQ(Abort_Questions(), 0);
  EXPECT_TRUE(Form().Heat_Running);
  op_.Answer(Msg_Result::OK);
  Escape(&Form(), QEvent::KeyRelease);
  Pump();
  EXPECT_EQ(Abort_Questions(), 1);
  Expect_Aborted("held");
  Deliver(5);
  EXPECT_EQ(Abort_Questions(), 1);
}

TEST_F(Race_Abort_Test, CancelKeepsTheHeatRunning) {
  Start_Heat();
  op_.Answer(Msg_Result::Cancel);
  Press_Escape(&Form());
  EXPECT_EQ(Abort_Questions(), 1);
  EXPECT_TRUE(Form().Heat_Running);
  clock_.Advance(1230);
  Form().Update_heat_time();
  EXPECT_NE(Form().ui->Label_heat_time->text(), QStringLiteral("Aborted"));
  EXPECT_TRUE(Form().ui->Label_heat_time->text().contains(QStringLiteral(",")));
  // Asked again at the next press.
  op_.Answer(Msg_Result::OK);
  Press_Escape(&Form());
  EXPECT_EQ(Abort_Questions(), 2);
  Expect_Aborted("second press");
}

TEST_F(Race_Abort_Test, WithoutARunningHeatEscapeAsksNothing) {
  Start_Camera();
  Initiate();
  Press_Escape(&Form());
  Escape(&Form(), QEvent::KeyPress);
  Deliver(3);
  Escape(&Form(), QEvent::KeyRelease);
  Pump();
  EXPECT_TRUE(op_.Prompts().empty());
}
} // namespace
