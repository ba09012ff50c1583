// The meaning of the kit's inputs: starts, capture starts and ends, the lamp, the grace
// period after start-up, and what a failing handler leaves behind. Driven through the
// simulated kit, whose events travel the same queued path as the library's.

#include "Kit_Test_Support.h"
#include "app/Kit_Controller.h"
#include "app/Kit_Debounce.h"
#include "app/Kit_None.h"
#include "app/Kit_Timing.h"
#include "app/Simulated_Kit.h"
#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "support/Clock.h"
#include "support/Globals.h"

#include <QCoreApplication>
#include <climits>
#include <gtest/gtest.h>

namespace {
class Kit_Controller_Test : public testing::Test {
protected:
  Temp_AppData app;
  Scripted_Operator &op = Scripted_Operator::Install();
  Recording_Presenter presenter;
  Manual_Clock clock{100000};
  Simulated_Kit kit;
  Recording_Race race;
  Kit_Controller controller{&kit, race};

  Kit_Controller_Test() {
    Set_Clock(&clock);
    Globals::Startup_Time = 90000;
    kit.Open(0);
    QCoreApplication::processEvents();
    race.calls.clear();
    race.refreshes = 0;
  }
  ~Kit_Controller_Test() override {
    Set_Clock(nullptr);
    Globals::Stop_Frame_Events = false;
    Globals::Startup_Time = 0;
    op.Expect_All_Answered();
  }

  void Input(int index, bool on) {
    kit.Set_Input(index, on);
    QCoreApplication::processEvents();
  }
};

TEST_F(Kit_Controller_Test, AttachAndDetachFollowTheKitAndRedrawTheBox) {
  EXPECT_TRUE(controller.Phidget_Attached());
  EXPECT_TRUE(controller.Present());
  kit.Detach();
  QCoreApplication::processEvents();
  EXPECT_FALSE(controller.Phidget_Attached());
  EXPECT_EQ(race.refreshes, 1);
  // A detach during a heat stops nothing: the heat is the window's to end.
  EXPECT_TRUE(race.calls.isEmpty());
}

struct Input_Case {
  const char *name;
  bool armed;
  int index;
  bool first;  // the state the input goes to
  bool second; // and then back, when it differs
  QStringList calls;
};

void PrintTo(const Input_Case &c, std::ostream *os) { *os << c.name; }

class Kit_Input_Test : public Kit_Controller_Test, public testing::WithParamInterface<Input_Case> {};

TEST_P(Kit_Input_Test, EachInputDoesWhatItMeans) {
  const Input_Case &c = GetParam();
  Input(1, c.armed);
  race.calls.clear();
  Input(c.index, c.first);
  if (c.second != c.first)
    Input(c.index, c.second);
  EXPECT_EQ(race.calls, c.calls);
}

const QString Start = QStringLiteral("start 100000");

INSTANTIATE_TEST_SUITE_P(
    Inputs, Kit_Input_Test,
    testing::Values(Input_Case{"RemoteClosesUnarmed", false, 0, true, true, {}},
                    Input_Case{"RemoteClosesArmed", true, 0, true, true, {Start}},
                    // Closing and opening both start; the second start is Handle_Start's to refuse.
                    Input_Case{"RemoteClosesAndOpensArmed", true, 0, true, false, {Start, Start}},
                    Input_Case{"StartInputOn", false, 2, true, true, {Start}},
                    Input_Case{"StartInputOnAndOff", false, 2, true, false, {Start}},
                    Input_Case{"ArmingSwitchAlone", false, 1, true, false, {}},
                    Input_Case{"GoalCapture", false, 3, true, false, {"capture start", "capture end"}},
                    Input_Case{"SplitCapture", false, 4, true, false, {"capture start", "capture end"}},
                    Input_Case{"PlainCapture", true, 5, true, false, {"capture start", "capture end"}},
                    Input_Case{"UnusedInput", true, 6, true, false, {}}),
    [](const testing::TestParamInfo<Input_Case> &param_info) { return std::string(param_info.param.name); });

TEST_F(Kit_Controller_Test, TheStartCarriesTheTickOfTheSignalNotOfItsHandling) {
  clock.Set(123456);
  kit.Set_Input(2, true);
  clock.Set(124000);
  QCoreApplication::processEvents();
  EXPECT_EQ(race.calls, QStringList{QStringLiteral("start 123456")});
}

TEST_F(Kit_Controller_Test, InputsInTheFirstSecondAfterStartUpAreIgnored) {
  const struct {
    std::int32_t after_startup;
    bool heard;
  } cases[] = {{-5, false}, {0, false}, {999, false}, {1000, true}, {60000, true}};
  for (const auto &c : cases) {
    race.calls.clear();
    race.refreshes = 0;
    Globals::Startup_Time = 100000 - c.after_startup;
    kit.Set_Input(2, true);
    // Judged by when the signal arrived, however late it is handled.
    clock.Advance(5000);
    QCoreApplication::processEvents();
    EXPECT_EQ(race.calls.size(), c.heard ? 1 : 0) << c.after_startup;
    EXPECT_EQ(race.refreshes, c.heard ? 1 : 0) << c.after_startup;
    clock.Set(100000);
    Input(2, false);
  }
}

TEST_F(Kit_Controller_Test, TheLampMirrorsTheRemoteContactOrTheHeldLed) {
  Input(0, true);
  EXPECT_TRUE(kit.Output_State());
  EXPECT_TRUE(controller.Lamp_Wanted());
  Input(0, false);
  EXPECT_FALSE(kit.Output_State());
  EXPECT_FALSE(controller.Lamp_Wanted());
  controller.Set_LED_Pressed(true);
  EXPECT_TRUE(controller.Lamp_Wanted());
  Input(0, true);
  Input(0, false);
  EXPECT_TRUE(controller.Lamp_Wanted());
  controller.Set_LED_Pressed(false);
  EXPECT_FALSE(controller.Lamp_Wanted());
}

TEST_F(Kit_Controller_Test, BlinkLedLightsTheLampThenPutsItOut) {
  QList<bool> lamp;
  QObject::connect(&kit, &Simulated_Kit::Output_Changed, [&](bool on) { lamp << on; });
  controller.item_Blink_LED_Click(0);
  EXPECT_EQ(lamp, (QList<bool>{true, false}));
}

TEST_F(Kit_Controller_Test, AFailingStartStopsTheCamerasAndFramesBeforeItIsReported) {
  race.on_start = [] { Raise(Err_Overflow, QStringLiteral("Overflow")); };
  Input(2, true);
  EXPECT_EQ(race.calls, (QStringList{Start, QStringLiteral("stop cameras")}));
  EXPECT_TRUE(Globals::Stop_Frame_Events);
  EXPECT_TRUE(presenter.Reported(QStringLiteral("obj_Phidget_OnInputChange of Form Form_Lurcher")));
}

TEST_F(Kit_Controller_Test, AFailingRefreshOnAttachIsReportedAndTheStateKept) {
  race.on_check = [] { Raise(Err_Internal, QStringLiteral("drawing")); };
  kit.Detach();
  QCoreApplication::processEvents();
  EXPECT_FALSE(controller.Phidget_Attached());
  EXPECT_TRUE(presenter.Reported(QStringLiteral("obj_Phidget_OnDetach of Form Form_Lurcher")));
}

TEST(Kit_None_Test, WithoutAKitNothingIsPresentOrLit) {
  Recording_Race race;
  Kit_Controller controller(nullptr, race);
  EXPECT_FALSE(controller.Present());
  EXPECT_FALSE(controller.Input_On(0));
  EXPECT_EQ(controller.Serial_Number(), 0);
  controller.Set_Lamp(true);
  controller.Update_LED();
  EXPECT_FALSE(controller.Lamp_Wanted());
  // The explicit "no kit" object means the same.
  Kit_None none;
  Kit_Controller with_none(&none, race);
  none.Open(0);
  QCoreApplication::processEvents();
  EXPECT_FALSE(with_none.Present());
  EXPECT_FALSE(with_none.Phidget_Attached());
}

TEST(Kit_Debounce_Test, ASecondUseWithinTheWindowIsIgnored) {
  const struct {
    std::int32_t window;
    std::int32_t first, second;
    bool second_accepted;
  } cases[] = {
      {299, 1000, 1299, false},
      {299, 1000, 1300, true},
      {999, 1000, 1999, false},
      {999, 1000, 2000, true},
      {299, 1000, 900, false}, // a stamp from before the last one
      {299, INT32_MAX - 100, INT32_MIN + 198, false},
      {299, INT32_MAX - 100, INT32_MIN + 199, true},
  };
  // Both uses are handled a little after the later of the two stamps.
  Manual_Clock clock;
  Set_Clock(&clock);
  for (const auto &c : cases) {
    const std::int32_t later = Ticks_Between(c.first, c.second) > 0 ? c.second : c.first;
    clock.Set(static_cast<std::uint32_t>(later) + 10ULL * (1ULL << 32) + 5);
    Kit_Debounce debounce(c.window);
    EXPECT_TRUE(debounce.Accept(c.first));
    EXPECT_EQ(debounce.Accept(c.second), c.second_accepted) << c.first << " " << c.second;
  }
  Set_Clock(nullptr);
}

// Clock readings, in milliseconds since the machine started, at which the program starts:
// early, just before the 32-bit tick turns negative, and just before it wraps to 0.
constexpr std::uint64_t Two_31 = 1ULL << 31;
constexpr std::uint64_t Two_32 = 1ULL << 32;
constexpr std::uint64_t Clock_Starts[] = {5000, Two_31 - 700, Two_32 - 700};

TEST(Kit_Debounce_Test, TheWindowHoldsAnywhereInTheTicksCycle) {
  const struct {
    std::uint64_t after_ms; // of the last accepted use
    bool accepted;
  } cases[] = {
      {299, false},       {300, true},    {Two_31 - 1, true},   {Two_31, true},       {Two_31 + 100, true},
      {Two_32 - 1, true}, {Two_32, true}, {Two_32 + 100, true}, {Two_32 + 300, true}, {3 * Two_32 + 5, true},
  };
  Manual_Clock clock;
  Set_Clock(&clock);
  for (const std::uint64_t start : Clock_Starts)
    for (const auto &c : cases) {
      Kit_Debounce debounce(Kit_Debounce::Capture_Press_ms);
      clock.Set(start);
      ASSERT_TRUE(debounce.Accept(Tick()));
      clock.Set(start + c.after_ms);
      EXPECT_EQ(debounce.Accept(Tick()), c.accepted) << "clock at " << start << ", " << c.after_ms << " ms later";
    }
  Set_Clock(nullptr);
}

TEST(Kit_Debounce_Test, AnIgnoredUseDoesNotMoveTheWindow) {
  Kit_Debounce debounce(Kit_Debounce::Capture_Press_ms);
  EXPECT_TRUE(debounce.Accept(0));
  EXPECT_FALSE(debounce.Accept(200));
  EXPECT_TRUE(debounce.Accept(300));
  debounce.Reset();
  EXPECT_TRUE(debounce.Accept(301));
}

TEST(Kit_Timing_Test, ACaptureEndInTheFirstThreeSecondsIsSkipped) {
  Manual_Clock clock(Two_31 + 5000);
  Set_Clock(&clock);
  Globals::Startup_Time = INT32_MAX - 1000; // the grace runs across the counter's wrap
  EXPECT_TRUE(Kit_Timing::In_Capture_End_Grace(INT32_MAX));
  EXPECT_TRUE(Kit_Timing::In_Capture_End_Grace(INT32_MIN + 1998));
  EXPECT_FALSE(Kit_Timing::In_Capture_End_Grace(INT32_MIN + 1999));
  EXPECT_TRUE(Kit_Timing::In_Input_Grace(INT32_MAX - 1));
  EXPECT_FALSE(Kit_Timing::In_Input_Grace(INT32_MAX - 1000 + 1000));
  Globals::Startup_Time = 0;
  Set_Clock(nullptr);
}

// The grace periods end once and stay ended, however long the program runs: past 24.9 days,
// when the tick difference turns negative, and past 49.7 days, when the tick comes round.
TEST(Kit_Timing_Test, TheGracePeriodsHoldAnywhereInTheTicksCycle) {
  const std::uint64_t offsets[] = {0,      500,          999,           1000,           2999,
                                   3000,   Two_31 - 1,   Two_31,        Two_31 + 500,   Two_32 - 1,
                                   Two_32, Two_32 + 500, Two_32 + 2999, 3 * Two_31 + 7, 5 * Two_32 + 100};
  Manual_Clock clock;
  Set_Clock(&clock);
  for (const std::uint64_t start : Clock_Starts)
    for (const std::uint64_t after : offsets) {
      clock.Set(start);
      Kit_Timing::Mark_Startup();
      EXPECT_EQ(Globals::Startup_Time, Tick());
      clock.Set(start + after);
      // Judged by the signal's tick, handled a moment later.
      const std::int32_t signal = Tick();
      clock.Advance(40);
      EXPECT_EQ(Kit_Timing::In_Input_Grace(signal), after <= 999) << "start " << start << ", " << after << " ms after";
      EXPECT_EQ(Kit_Timing::In_Capture_End_Grace(signal), after <= 2999)
          << "start " << start << ", " << after << " ms after";
    }
  Globals::Startup_Time = 0;
  Set_Clock(nullptr);
}

TEST_F(Kit_Controller_Test, AfterWeeksOfUptimeEveryInputIsHeard) {
  const std::uint64_t uptimes[] = {Two_31 + 10, Two_32 - 200, Two_32 + 300, 2 * Two_32 + 900};
  for (const std::uint64_t start : Clock_Starts)
    for (const std::uint64_t uptime : uptimes) {
      race.calls.clear();
      clock.Set(start);
      Kit_Timing::Mark_Startup();
      clock.Set(start + uptime);
      Input(2, true);
      EXPECT_EQ(race.calls, QStringList{QStringLiteral("start %1").arg(Tick())})
          << "start " << start << ", uptime " << uptime;
      Input(2, false);
    }
}
} // namespace
