#pragma once
// The main window as the race-control tests need it: loaded in a fresh application-data
// folder, with a capture component the test drives frame by frame, the simulated kit, the
// scripted operator and a clock the test sets.

#include "app/Simulated_Kit.h"
#include "app/ui/Form_Lurcher.h"
#include "capture/cls_Capture_HDMI.h"
#include "events/Event_State.h"
#include "recording/CVideobuff_RGB.h"
#include "support/Clock.h"
#include "support/Globals.h"
#include "support/Settings_Store.h"

#include "../../capture/Fake_Capture_Component.h"
#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"

#include <QCoreApplication>
#include <QDir>
#include <gtest/gtest.h>
#include <memory>

class Race_Window_Test : public testing::Test {
protected:
  static constexpr std::int32_t frame_ms = 40;
  static constexpr int start_input = 2;
  static constexpr int capture_input = 3;

  void SetUp() override {
    Set_Clock(&clock_);
    Frame_Buffers().clear();
    Globals::Closing = false;
    Globals::Stop_Frame_Events = false;
    Event_State::Event_Present = false;
    Set_Capture_Component_Factory([this] {
      auto camera = std::make_unique<Fake_Capture_Component>(
          std::vector<Fake_Source>{{QStringLiteral("Fake camera"), {Fake_Format(1280, 1024)}}});
      camera_ = camera.get();
      return std::unique_ptr<Capture_Component>(std::move(camera));
    });
    Write_INI(QStringLiteral("capturesettings"), QStringLiteral("friendlyname"), QStringLiteral("Fake camera"),
              Globals::Ini_File);
    Write_INI(QStringLiteral("capturesettings"), QStringLiteral("videoproperty"), QStringLiteral("0"),
              Globals::Ini_File);
    heats_ = appdata_.Path() + QStringLiteral("/Heats");
    QDir().mkpath(heats_);
    Write_INI(QStringLiteral("Settings"), QStringLiteral("save_folder"), heats_, Globals::Ini_File);
    form_ = std::make_unique<Form_Lurcher>();
    form_->Simulate_Kit = true;
    form_->Form_Load(QString());
    Pump();
    clock_.Advance(3500); // past the start-up grace periods
  }

  void TearDown() override {
    form_.reset();
    Frame_Buffers().clear();
    Set_Capture_Component_Factory(nullptr);
    Set_Clock(nullptr);
    Globals::Closing = false;
  }

  Form_Lurcher &Form() { return *form_; }
  Simulated_Kit &Kit() { return dynamic_cast<Simulated_Kit &>(*form_->obj_Phidget); }

  static void Pump() {
    for (int i = 0; i < 3; ++i)
      QCoreApplication::processEvents();
  }
  // A kit input, arriving at the current tick and handled handle_after_ms later.
  void Input(int index, bool on, std::int32_t handle_after_ms = 0) {
    Kit().Set_Input(index, on);
    clock_.Advance(static_cast<std::uint64_t>(handle_after_ms));
    Pump();
  }
  void Deliver(int frames) {
    for (int i = 0; i < frames; ++i) {
      clock_.Advance(frame_ms);
      camera_->Deliver(picture_);
    }
  }
  // Camera on and a frame rate measured.
  void Start_Camera() {
    Form().Command_start_camera_Click();
    Deliver(60);
    ASSERT_GT(Form().obj_Capture_HDMI->Running_Fps(), 0);
  }
  void Initiate() {
    Form().Command_initiate_file_Click();
    ASSERT_FALSE(Form().Current_File.isEmpty());
  }
  // Camera, file and a heat started by the start input.
  void Start_Heat() {
    Start_Camera();
    Initiate();
    Input(start_input, true);
    Input(start_input, false);
    ASSERT_TRUE(Form().Heat_Running);
  }

  Temp_AppData appdata_;
  Scripted_Operator &op_ = Scripted_Operator::Install();
  Manual_Clock clock_{1000000};
  Fake_Capture_Component *camera_ = nullptr;
  Fake_Picture picture_{1280, 1024};
  QString heats_;
  std::unique_ptr<Form_Lurcher> form_;
};
