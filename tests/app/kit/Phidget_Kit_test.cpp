// The interface kit over the vendor's library, driven through the fake libphidget21: the
// start-up checks, the events and their stamps, the output.

#include "Kit_Test_Support.h"
#include "app/Kit_Controller.h"
#include "app/Module_Lurcher.h"
#include "app/Phidget_Kit.h"
#include "app/Phidget_Library.h"
#include "app/Phidget_Verify.h"
#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "support/Clock.h"
#include "support/Globals.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <vector>

namespace {
struct Event {
  QString kind;
  std::int32_t tick;
  int index;
  bool state;
};

class Phidget_Kit_Test : public testing::Test {
protected:
  Temp_AppData app;
  Scripted_Operator &op = Scripted_Operator::Install();
  Recording_Presenter presenter;
  Fake_Library fake;
  Manual_Clock clock{50000};

  Phidget_Kit_Test() { Set_Clock(&clock); }
  ~Phidget_Kit_Test() override {
    Set_Clock(nullptr);
    op.Expect_All_Answered();
  }

  std::unique_ptr<Phidget_Kit> Open_Test_Kit() {
    const Phidget_Library *library = Phidget_Library::Load();
    EXPECT_NE(library, nullptr);
    auto kit = std::make_unique<Phidget_Kit>(*library);
    QObject::connect(kit.get(), &Interface_Kit::Attached, [this](std::int32_t t) {
      events.push_back({"attach", t, -1, false});
    });
    QObject::connect(kit.get(), &Interface_Kit::Detached, [this](std::int32_t t) {
      events.push_back({"detach", t, -1, false});
    });
    QObject::connect(kit.get(), &Interface_Kit::Input_Changed, [this](std::int32_t t, int i, bool s) {
      events.push_back({"input", t, i, s});
    });
    kit->Open(0);
    return kit;
  }

  std::vector<Event> events;
};

TEST_F(Phidget_Kit_Test, VersionTextMustNameTheOneSupportedVersion) {
  const struct {
    const char *text;
    bool supported;
  } cases[] = {
      {"Phidget21 - Version 2.1.8 - Built Mar 31 2011 16:31:15", true},
      {"Phidget21 - Version 2.1.7 - Built Jan 12 2010 10:00:00", false},
      {"Phidget COM Library 2.1.8", false},
      {"", false},
  };
  for (const auto &c : cases)
    EXPECT_EQ(Version_Supported(QString::fromLatin1(c.text)), c.supported) << c.text;
}

TEST_F(Phidget_Kit_Test, TheRightLibraryPassesTheVersionTestAndIsPresent) {
  EXPECT_EQ(Verify_Phidgets(), Phidget_Check::Verified);
  EXPECT_TRUE(Check_For_Phidget());
  EXPECT_TRUE(Module_Lurcher::m_Phidget_Present);
  EXPECT_TRUE(op.Prompts().empty());
  // The probes leave no kit object behind.
  EXPECT_EQ(fake.Kits_Alive(), 0);
}

TEST_F(Phidget_Kit_Test, AnotherVersionIsShownAndFailsTheTest) {
  fake.Set_Version("Phidget21 - Version 2.1.6 - Built Oct 1 2009");
  op.Answer(Msg_Result::OK);
  EXPECT_EQ(Verify_Phidgets(), Phidget_Check::Failed);
  ASSERT_EQ(op.Message_Texts().size(), 1);
  EXPECT_EQ(op.Message_Texts().first(), QStringLiteral("Wrong Phidget versions found!\nThis Lurcher version needs "
                                                       "version 2.1.8!\nFound version:\nPhidget21 - Version 2.1.6 - "
                                                       "Built Oct 1 2009"));
}

TEST_F(Phidget_Kit_Test, ALibraryThatCannotCreateAKitFailsWithoutAMessage) {
  fake.Fail_Create(13);
  EXPECT_EQ(Verify_Phidgets(), Phidget_Check::Failed);
  EXPECT_FALSE(Check_For_Phidget());
  EXPECT_FALSE(Module_Lurcher::m_Phidget_Present);
  EXPECT_TRUE(op.Prompts().empty());
}

TEST_F(Phidget_Kit_Test, NoLibraryMeansNoKitAndNoMessage) {
  qputenv("LURCHER_PHIDGET_LIBRARY", "/nonexistent/libphidget21.so.0");
  QString why;
  EXPECT_EQ(Phidget_Library::Load(&why), nullptr);
  EXPECT_FALSE(why.isEmpty());
  EXPECT_EQ(Verify_Phidgets(), Phidget_Check::No_Library);
  EXPECT_FALSE(Check_For_Phidget());
  EXPECT_EQ(Create_Phidget_Kit(), nullptr);
  EXPECT_TRUE(presenter.Reported(QStringLiteral("Create_Phidget_Kit of Form Form_Lurcher")));
  EXPECT_TRUE(op.Prompts().empty());
}

TEST_F(Phidget_Kit_Test, ALibraryLackingACallIsNoLibrary) {
  // Any shared object without the kit's calls, here the C library itself.
  qputenv("LURCHER_PHIDGET_LIBRARY", "libc.so.6");
  QString why;
  EXPECT_EQ(Phidget_Library::Load(&why), nullptr);
  EXPECT_TRUE(why.contains(QStringLiteral("CPhidgetInterfaceKit_create"))) << why.toStdString();
}

TEST_F(Phidget_Kit_Test, OpeningTakesAnyKitAndAFailedOpenIsReported) {
  auto kit = Create_Phidget_Kit();
  ASSERT_NE(kit, nullptr);
  bool attached = false;
  QObject::connect(kit.get(), &Interface_Kit::Attached, [&] { attached = true; });
  EXPECT_TRUE(Open_Kit(*kit, 0));
  EXPECT_EQ(fake.Opened_Serial(), -1);
  // An attach during the wait reaches whoever connected before the open.
  fake.Attach(7);
  QCoreApplication::processEvents();
  EXPECT_TRUE(attached);
  kit.reset();
  fake.Fail_Open(13);
  kit = Create_Phidget_Kit();
  ASSERT_NE(kit, nullptr);
  EXPECT_FALSE(Open_Kit(*kit, 0));
  EXPECT_TRUE(presenter.Reported(QStringLiteral("Open_Kit of Form Form_Lurcher")));
  kit.reset();
  EXPECT_EQ(fake.Kits_Alive(), 0);
}

TEST_F(Phidget_Kit_Test, EventsCarryTheTickOfTheirArrivalAndKeepTheirOrder) {
  auto kit = Open_Test_Kit();
  clock.Set(60000);
  fake.Attach(321);
  clock.Set(61000);
  fake.Set_Input(3, true);
  clock.Set(61500);
  fake.Set_Input(3, false);
  clock.Set(62000);
  fake.Detach();
  // Nothing reaches the handlers until the user-interface thread gets round to it...
  EXPECT_TRUE(events.empty());
  clock.Set(90000);
  QCoreApplication::processEvents();
  // ...and then each event carries the tick taken on the library's thread, in order.
  ASSERT_EQ(events.size(), 1u + 8u + 3u);
  EXPECT_EQ(events[0].kind, "attach");
  EXPECT_EQ(events[0].tick, 60000);
  for (int i = 0; i < 8; ++i) // the state of every input, once, on attach
    EXPECT_EQ(events[1 + static_cast<std::size_t>(i)].index, i);
  EXPECT_EQ(events[9].kind, "input");
  EXPECT_EQ(events[9].tick, 61000);
  EXPECT_TRUE(events[9].state);
  EXPECT_EQ(events[10].tick, 61500);
  EXPECT_FALSE(events[10].state);
  EXPECT_EQ(events[11].kind, "detach");
  EXPECT_EQ(events[11].tick, 62000);
}

TEST_F(Phidget_Kit_Test, StateSerialAndOutputFollowTheKit) {
  auto kit = Open_Test_Kit();
  EXPECT_FALSE(kit->IsAttached());
  EXPECT_EQ(kit->Serial_Number(), 0);
  EXPECT_FALSE(kit->Input_State(1));
  fake.Attach(12345);
  fake.Set_Input(1, true);
  EXPECT_TRUE(kit->IsAttached());
  EXPECT_EQ(kit->Serial_Number(), 12345);
  EXPECT_TRUE(kit->Input_State(1));
  EXPECT_FALSE(kit->Input_State(2));
  EXPECT_FALSE(kit->Input_State(99));
  EXPECT_EQ(kit->Device_Type(), QStringLiteral("PhidgetInterfaceKit"));
  kit->Set_Output_State(0, true);
  EXPECT_EQ(fake.Output(0), 1);
  kit->Set_Output_State(0, false);
  EXPECT_EQ(fake.Output(0), 0);
  fake.Detach();
  EXPECT_FALSE(kit->IsAttached());
  kit->Set_Output_State(0, true); // refused by the detached kit, without a failure
  EXPECT_EQ(fake.Output(0), 0);
}

TEST_F(Phidget_Kit_Test, AKitClosedWithEventsPendingDropsThem) {
  auto kit = Open_Test_Kit();
  fake.Attach(1);
  kit.reset();
  QCoreApplication::processEvents();
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(fake.Kits_Alive(), 0);
}
TEST_F(Phidget_Kit_Test, TheAttachReportAtStartUpStartsNothingButALaterSignalDoes) {
  Globals::Startup_Time = 50000;
  Recording_Race race;
  auto kit = Create_Phidget_Kit();
  ASSERT_NE(kit, nullptr);
  Kit_Controller controller(kit.get(), race);
  ASSERT_TRUE(Open_Kit(*kit, 0));
  // The track's start input is already on when the kit is plugged in during start-up.
  fake.Set_Input(2, true);
  clock.Set(50400);
  fake.Attach(4242);
  QCoreApplication::processEvents();
  EXPECT_TRUE(controller.Phidget_Attached());
  EXPECT_EQ(controller.Serial_Number(), 4242);
  EXPECT_TRUE(race.calls.isEmpty());
  // Later the input goes off and on: that is a start, stamped on the library's thread.
  clock.Set(70000);
  fake.Set_Input(2, false);
  clock.Set(71234);
  fake.Set_Input(2, true);
  clock.Set(75000);
  QCoreApplication::processEvents();
  EXPECT_EQ(race.calls, QStringList{QStringLiteral("start 71234")});
  Globals::Startup_Time = 0;
}
} // namespace
