// The main window's menus as designed, the menus hidden at start-up, the modifier keys
// that reveal the Debug menu, and the keyboard hook.

#include "app/ui/Form_Lurcher.h"
#include "app/ui/Form_timer.h"
#include "app/ui/Lurcher_debug_form.h"
#include "recording/cls_VideoFile_handler.h"
#include "ui_Form_Lurcher.h"
#include "ui_Lurcher_debug_form.h"

#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "common/Trace_Capture.h"
#include "support/Clock.h"
#include "support/Globals.h"
#include "support/ui/Keyboard_State.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <gtest/gtest.h>

namespace {
// Every menu in order with its items as name: caption.
struct Menu_Row {
  const char *menu;
  const char *caption;
  std::vector<std::pair<const char *, const char *>> items;
};

const std::vector<Menu_Row> menu_table = {
    {"Menu_Form",
     "Form",
     {{"item_open_file", "Open Lurcher file"},
      {"item_last_heat", "Open last heat"},
      {"item_show_result", "Show result form"},
      {"item_reset_line", "Reset Goal line"},
      {"item_close_file", "Close Lurcher file"},
      {"item_delete_file", "Delete this file"},
      {"item_event_registration", "Event registration"},
      {"item_open_event_file", "Open Event file"},
      {"item_No_event_file", "No Event File"},
      {"item_dog_names", "Dog names"},
      {"item_displace_goalline", "Displace goalline"},
      {"item_show_settings", "Show settings"},
      {"item_Select_Video_Source", "Select Video Source"},
      {"item_Exit", "Exit"}}},
    {"menu_settings", "Settings", {}},
    {"menu_diagnostics",
     "Diagnostics",
     {{"item_HDMI_performance", "HDMI performance"}, {"item_JPEG_Benchmark", "JPEG Benchmark"}}},
    {"menu_print",
     "Print",
     {{"item_print_frame", "Print this frame"},
      {"item_print_series", "Print Goal photo series"},
      {"item_dog_name", "Dog Name"}}},
    {"menu_debug",
     "Debug",
     {{"item_DLL_available", "DLL available"},
      {"item_pic_size", "Picture size"},
      {"item_timestamp_report", "Timestamp report"},
      {"item_file_properties", "File properties"},
      {"item_test_XML", "Text XML header"},
      {"item_dump_present_XML", "Dump present XML header"},
      {"item_test1", "test1"},
      {"item_Blink_LED", "Blink LED"},
      {"item_printer_dialog", "Printer dialog"},
      {"item_validate_folder", "Validate folder"},
      {"item_timer", "Timer"},
      {"menu_trap_errors", "Trap errors"}}},
    {"menu_trap_errors",
     "Trap errors",
     {{"item_misbehave", "Misbehave trapped"}, {"item_misbehave_untrapped", "Misbehave untrapped"}}},
    {"menu_help", "Help", {{"item_about", "About"}}},
    {"Menu_assign_times",
     "Assign times",
     {{"item_time", "Time"},
      {"item_split", "Split"},
      {"item_set_notime", "No time"},
      {"item_dead_heat", "Dead heat"},
      {"item_clear_result", "Clear result"}}},
    {"item_time", "Time", {{"item_set_time", "Set time"}, {"item_plus_one_hundredth", "Set time + 1/100"}}},
    {"item_split", "Split", {{"item_set_split", "Set split"}, {"item_split_plus_one_hundredth", "Set split +1/100"}}},
    {"menu_specials",
     "Specials",
     {{"item_display_HD_data", "Display HD frame data"},
      {"item_qk3_properties", "QK3 Properties"},
      {"item_associate", "Associate"}}},
    {"Menu_notime",
     "Notime",
     {{"item_disqualified", "Disqualified"}, {"item_DNF", "Did Not Finish"}, {"item_NoRank", "No Rank"}}},
    {"menu_crop_size",
     "Crop size",
     {{"item_crop_size_0", "400*880"}, {"item_crop_size_1", "600*1080"}, {"item_crop_size_2", "576*720"}}},
};

// The name of an action: its own, or that of the menu it opens.
QString Name_Of(const QAction *a) { return a->menu() ? a->menu()->objectName() : a->objectName(); }

class Menus_Test : public testing::Test {
protected:
  void SetUp() override {
    Globals::Closing = false;
    form_.Form_Load(QString());
    Keyboard_State::Forget_Keys();
  }
  void TearDown() override { Keyboard_State::Forget_Keys(); }
  void Hold(Qt::Key key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&form_, &press);
  }
  // A modifier's release carries the modifier, as the window system sends it. Sent key
  // events update the application's modifiers only on a press: a press of no key follows.
  void Let_Go(Qt::Key key) {
    const Qt::KeyboardModifiers held = key == Qt::Key_Alt       ? Qt::AltModifier
                                       : key == Qt::Key_Control ? Qt::ControlModifier
                                                                : Qt::NoModifier;
    QKeyEvent release(QEvent::KeyRelease, key, held);
    QApplication::sendEvent(&form_, &release);
    QKeyEvent nothing(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier);
    QApplication::sendEvent(&form_, &nothing);
  }
  bool Debug_Shown() const { return form_.Menu_Shown(QStringLiteral("menu_debug")); }

  Temp_AppData appdata_;
  Scripted_Operator &op_ = Scripted_Operator::Install();
  Trace_Capture trace_;
  Form_Lurcher form_;
};

TEST_F(Menus_Test, EveryMenuHoldsItsItemsInOrder) {
  QStringList bar;
  for (const QAction *a : form_.menuBar()->actions())
    bar << Name_Of(a);
  EXPECT_EQ(bar, (QStringList{"Menu_Form", "menu_settings", "menu_diagnostics", "menu_print", "menu_debug", "menu_help",
                              "Menu_assign_times", "menu_specials", "Menu_notime", "menu_crop_size"}));
  for (const Menu_Row &row : menu_table) {
    const auto *menu = form_.findChild<QMenu *>(QString::fromLatin1(row.menu));
    ASSERT_NE(menu, nullptr) << row.menu;
    EXPECT_EQ(menu->title(), QString::fromLatin1(row.caption));
    QStringList got, want;
    for (const QAction *a : menu->actions())
      got << Name_Of(a) + QStringLiteral(": ") + a->text();
    for (const auto &[name, caption] : row.items)
      want << QString::fromLatin1(name) + QStringLiteral(": ") + QString::fromLatin1(caption);
    EXPECT_EQ(got, want) << row.menu;
  }
  EXPECT_TRUE(form_.ui->item_displace_goalline->isCheckable());
  for (const QAction *crop : form_.item_crop_size)
    EXPECT_TRUE(crop->isCheckable());
}

TEST_F(Menus_Test, StartUpHidesTheMenusThatHaveNoPlaceYet) {
  for (const char *hidden :
       {"menu_settings", "menu_debug", "menu_trap_errors", "Menu_assign_times", "menu_specials", "Menu_notime"})
    EXPECT_FALSE(form_.Menu_Shown(QString::fromLatin1(hidden))) << hidden;
  for (const char *shown : {"Menu_Form", "menu_diagnostics", "menu_print", "menu_help", "menu_crop_size"})
    EXPECT_TRUE(form_.Menu_Shown(QString::fromLatin1(shown))) << shown;
}

TEST_F(Menus_Test, OpeningMenusWithoutAModifierRevealsNothing) {
  emit form_.ui->Menu_Form->aboutToShow();
  emit form_.ui->menu_print->aboutToShow();
  form_.ui->item_about->trigger();
  EXPECT_FALSE(Debug_Shown());
  EXPECT_FALSE(form_.Menu_Shown(QStringLiteral("menu_trap_errors")));
}

TEST_F(Menus_Test, CtrlOnPrintOrAboutRevealsTheDebugMenu) {
  Hold(Qt::Key_Control);
  emit form_.ui->menu_print->aboutToShow();
  EXPECT_TRUE(Debug_Shown());
  emit form_.ui->menu_print->aboutToShow();
  EXPECT_TRUE(Debug_Shown()) << "Ctrl only reveals";
  Let_Go(Qt::Key_Control);

  form_.ui->menu_debug->menuAction()->setVisible(false);
  Hold(Qt::Key_Control);
  form_.ui->item_about->trigger();
  EXPECT_TRUE(Debug_Shown());
  EXPECT_FALSE(form_.Menu_Shown(QStringLiteral("menu_trap_errors")));
}

TEST_F(Menus_Test, AltOnTheFormMenuRevealsTrapErrorsAndTogglesDebug) {
  Hold(Qt::Key_Alt);
  emit form_.ui->Menu_Form->aboutToShow();
  EXPECT_TRUE(form_.Menu_Shown(QStringLiteral("menu_trap_errors")));
  EXPECT_TRUE(Debug_Shown());
  emit form_.ui->Menu_Form->aboutToShow();
  EXPECT_FALSE(Debug_Shown());
  EXPECT_TRUE(form_.Menu_Shown(QStringLiteral("menu_trap_errors")));
  Let_Go(Qt::Key_Alt);
  emit form_.ui->Menu_Form->aboutToShow();
  EXPECT_FALSE(Debug_Shown());
}

TEST_F(Menus_Test, DllAvailableSaysTrueOrFalse) {
  op_.Answer(Msg_Result::OK);
  form_.ui->item_DLL_available->trigger();
  ASSERT_EQ(op_.Message_Texts().size(), 1);
  EXPECT_TRUE(op_.Message_Texts()[0] == QStringLiteral("True") || op_.Message_Texts()[0] == QStringLiteral("False"));
}

TEST_F(Menus_Test, TimerTogglesTheClockWindow) {
  form_.ui->item_timer->trigger();
  EXPECT_TRUE(form_.Clock_Window().isVisible());
  form_.ui->item_timer->trigger();
  EXPECT_FALSE(form_.Clock_Window().isVisible());
}

TEST_F(Menus_Test, TheHeatFileReportsGoToTheDebugWindowAndAMessage) {
  const QString heat = appdata_.File(QStringLiteral("heat_written.qk3"));
  ASSERT_TRUE(QFile::copy(QStringLiteral(LURCHER_FIXTURES "/recording/heat_written.qk3"), heat));
  form_.obj_QK3_Handler->Set_Open_For_Reading_Only(true);
  ASSERT_TRUE(form_.obj_QK3_Handler->Open_File(heat));

  form_.ui->item_file_properties->trigger();
  EXPECT_TRUE(form_.Debug_Window().isVisible());
  EXPECT_TRUE(
      form_.Debug_Window().ui->Text_debug->toPlainText().startsWith(QStringLiteral("File name = ") + heat + '\n'));
  op_.Answer(Msg_Result::OK);
  form_.ui->item_qk3_properties->trigger();
  EXPECT_EQ(op_.Message_Texts(), QStringList{form_.obj_QK3_Handler->QK3_Properties()});
  EXPECT_TRUE(op_.Message_Texts()[0].startsWith(QStringLiteral("File size: ")));
}

TEST_F(Menus_Test, WithoutAHeatFileTheReportsBeepAndSayNothing) {
  form_.ui->item_file_properties->trigger();
  form_.ui->item_qk3_properties->trigger();
  EXPECT_EQ(op_.Beeps(), 2);
  EXPECT_TRUE(op_.Prompts().empty());
  EXPECT_FALSE(form_.Debug_Window().isVisible());
  EXPECT_TRUE(In_Order(trace_.Lines(), {QStringLiteral("*item_file_properties_Click, no heat file open"),
                                        QStringLiteral("*item_qk3_properties_Click, no heat file open")}));
}

// ---------------------------------------------------------------- keyboard

class Keyboard_Test : public Menus_Test {
protected:
  void SetUp() override {
    Set_Clock(&clock_);
    Menus_Test::SetUp();
    form_.show();
    trace_.Clear();
  }
  void TearDown() override {
    Menus_Test::TearDown();
    Set_Clock(nullptr);
  }
  int Hook_Lines() {
    int n = 0;
    for (const QString &l : trace_.Lines())
      n += l.startsWith(QStringLiteral("*IWindowsHook_HookProc, wParam = ")) ? 1 : 0;
    return n;
  }
  Manual_Clock clock_{1000000};
};

TEST_F(Keyboard_Test, AKeyWithin149MsOfTheLastAcceptedOneIsIgnored) {
  const struct {
    std::uint64_t at_ms;
    bool accepted;
  } keys[] = {{0, true}, {149, false}, {150, true}, {299, false}, {300, true}, {1300, true}};
  int accepted = 0;
  for (const auto &k : keys) {
    clock_.Set(1000000 + k.at_ms);
    form_.IWindowsHook_HookProc(65);
    accepted += k.accepted ? 1 : 0;
    EXPECT_EQ(Hook_Lines(), accepted) << "key at " << k.at_ms << " ms";
  }
  EXPECT_EQ(trace_.Lines().last(), QStringLiteral("*IWindowsHook_HookProc, wParam = 65"));
}

// Past 24.9 days the tick difference turns negative, past 49.7 days the tick comes round:
// a key after a long quiet spell is still a key.
TEST_F(Keyboard_Test, TheQuietTimeHoldsAnywhereInTheTicksCycle) {
  constexpr std::uint64_t two_31 = 1ULL << 31;
  constexpr std::uint64_t two_32 = 1ULL << 32;
  const struct {
    std::uint64_t after_ms;
    bool accepted;
  } keys[] = {{149, false},
              {two_31, true},
              {two_31 + 100, false},
              {two_31 + 1000, true},
              {two_31 + 1000 + two_32 - 50, true},
              {two_32 * 2 + 100, true},
              {two_32 * 2 + 200, false}};
  const std::uint64_t first = two_32 - 100; // the machine had been up for 49.7 days
  clock_.Set(first);
  form_.IWindowsHook_HookProc(65);
  int accepted = Hook_Lines();
  ASSERT_EQ(accepted, 1);
  for (const auto &k : keys) {
    clock_.Set(first + k.after_ms);
    form_.IWindowsHook_HookProc(65);
    accepted += k.accepted ? 1 : 0;
    EXPECT_EQ(Hook_Lines(), accepted) << "key " << k.after_ms << " ms after the first";
  }
}

TEST_F(Keyboard_Test, TheHookSeesEveryKeyPressAndLeavesItToTheControl) {
  form_.ui->Text_filename->setFocus();
  form_.ui->Text_filename->setReadOnly(false);
  QKeyEvent a(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
  QApplication::sendEvent(form_.ui->Text_filename, &a);
  EXPECT_EQ(form_.ui->Text_filename->text(), QStringLiteral("a"));
  EXPECT_TRUE(trace_.Lines().contains(QStringLiteral("*IWindowsHook_HookProc, wParam = 65")));
}

TEST_F(Keyboard_Test, KeypadAndArrowKeysReachTheHookWithTheirClassicCodes) {
  form_.ui->Text_filename->setFocus();
  QKeyEvent keypad_4(QEvent::KeyPress, Qt::Key_4, Qt::KeypadModifier, QStringLiteral("4"));
  QApplication::sendEvent(form_.ui->Text_filename, &keypad_4);
  clock_.Advance(200);
  QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
  QApplication::sendEvent(form_.ui->Text_filename, &left);
  EXPECT_TRUE(In_Order(trace_.Lines(), {QStringLiteral("*IWindowsHook_HookProc, wParam = 100"),
                                        QStringLiteral("*IWindowsHook_HookProc, wParam = 37")}));
  EXPECT_EQ(form_.focusWidget(), form_.ui->Slider_play);
}

TEST_F(Keyboard_Test, ArrowKeysGiveTheSliderTheFocusUnlessCtrlHoldsRight) {

  form_.ui->Text_filename->setFocus();
  form_.IWindowsHook_HookProc(39);
  EXPECT_EQ(form_.focusWidget(), form_.ui->Slider_play);

  form_.ui->Text_filename->setFocus();
  clock_.Advance(200);
  Hold(Qt::Key_Control);
  clock_.Advance(200);
  form_.IWindowsHook_HookProc(39);
  EXPECT_EQ(form_.focusWidget(), form_.ui->Text_filename);
  clock_.Advance(200);
  form_.IWindowsHook_HookProc(37);
  EXPECT_EQ(form_.focusWidget(), form_.ui->Slider_play);
}

TEST_F(Keyboard_Test, BackgroundPressAndClickMoveTheFocus) {
  form_.ui->Text_filename->setFocus();
  form_.Form_KeyDown(37);
  EXPECT_EQ(form_.focusWidget(), form_.ui->Slider_play);
  form_.ui->Text_filename->setFocus();
  QWidget *background = form_.ui->centralwidget;
  const QPointF spot(1, 1);
  QMouseEvent press(QEvent::MouseButtonPress, spot, background->mapToGlobal(spot), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(background, &press);
  EXPECT_EQ(form_.focusWidget(), form_.ui->Slider_play);
  QMouseEvent release(QEvent::MouseButtonRelease, spot, background->mapToGlobal(spot), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(background, &release);
  EXPECT_EQ(form_.focusWidget(), form_.ui->Command_start_heat);
}
} // namespace
