#pragma once
// Shared pieces of the interface-kit tests: a race control that records what the kit asked
// of it, an error presenter that keeps the reports, and the fake library's controls.

#include "app/Kit_Race_Control.h"
#include "support/Error_Handler.h"
#include "support/Failure.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class Recording_Race final : public Kit_Race_Control {
public:
  void Handle_Start(std::int32_t tick) override {
    calls << QStringLiteral("start %1").arg(tick);
    if (on_start)
      on_start();
  }
  void Handle_Capture_Start(std::int32_t tick) override {
    calls << QStringLiteral("capture start");
    capture_ticks.push_back(tick);
  }
  void Handle_Capture_End(std::int32_t tick) override {
    calls << QStringLiteral("capture end");
    capture_ticks.push_back(tick);
  }
  void Check_Attached() override {
    ++refreshes;
    if (on_check)
      on_check();
  }
  void Stop_All_Cameras() override { calls << QStringLiteral("stop cameras"); }

  QStringList calls;
  std::vector<std::int32_t> capture_ticks; // the tick of every capture start and end, in order
  int refreshes = 0;
  std::function<void()> on_start;
  std::function<void()> on_check;
};

class Recording_Presenter final : public Error_Presenter {
public:
  Recording_Presenter() { Set_Error_Presenter(this); }
  ~Recording_Presenter() override { Set_Error_Presenter(nullptr); }
  Recording_Presenter(const Recording_Presenter &) = delete;
  Recording_Presenter &operator=(const Recording_Presenter &) = delete;
  void Present_Error(const QStringList &lines) override { reports << lines.join(QLatin1Char('\n')); }
  bool Reported(const QString &text) const {
    for (const QString &report : reports)
      if (report.contains(text))
        return true;
    return false;
  }
  QStringList reports;
};

#ifdef FAKE_PHIDGET21
#include "Fake_Phidget21.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

// The fake library, opened where the program opens it, reset to a kit that is not plugged in.
class Fake_Library {
public:
  Fake_Library() {
    qputenv("LURCHER_PHIDGET_LIBRARY", FAKE_PHIDGET21);
    handle_ = dlopen(FAKE_PHIDGET21, RTLD_NOW | RTLD_LOCAL);
    EXPECT_NE(handle_, nullptr) << dlerror();
    Get<Fake_Phidget_Reset_Fn>("Fake_Phidget_Reset")();
  }
  ~Fake_Library() {
    Get<Fake_Phidget_Reset_Fn>("Fake_Phidget_Reset")();
    dlclose(handle_);
    qunsetenv("LURCHER_PHIDGET_LIBRARY");
  }
  Fake_Library(const Fake_Library &) = delete;
  Fake_Library &operator=(const Fake_Library &) = delete;

  void Set_Version(const char *text) { Get<Fake_Phidget_Set_Version_Fn>("Fake_Phidget_Set_Version")(text); }
  void Fail_Create(int code) { Get<Fake_Phidget_Fail_Create_Fn>("Fake_Phidget_Fail_Create")(code); }
  void Fail_Open(int code) { Get<Fake_Phidget_Fail_Open_Fn>("Fake_Phidget_Fail_Open")(code); }
  void Attach(int serial) { Get<Fake_Phidget_Attach_Fn>("Fake_Phidget_Attach")(serial); }
  void Detach() { Get<Fake_Phidget_Detach_Fn>("Fake_Phidget_Detach")(); }
  void Set_Input(int index, bool on) { Get<Fake_Phidget_Set_Input_Fn>("Fake_Phidget_Set_Input")(index, on ? 1 : 0); }
  int Output(int index) { return Get<Fake_Phidget_Output_Fn>("Fake_Phidget_Output")(index); }
  int Kits_Alive() { return Get<Fake_Phidget_Kits_Alive_Fn>("Fake_Phidget_Kits_Alive")(); }
  int Opened_Serial() { return Get<Fake_Phidget_Opened_Serial_Fn>("Fake_Phidget_Opened_Serial")(); }

private:
  template <class Fn> Fn Get(const char *name) { return reinterpret_cast<Fn>(dlsym(handle_, name)); }
  void *handle_ = nullptr;
};
#endif
