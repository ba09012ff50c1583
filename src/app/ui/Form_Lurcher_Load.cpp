// Start-up and shutdown of the main window.

#include "app/ui/Form_Lurcher.h"
#include "ui_Form_Lurcher.h"

#include "app/Compensations.h"
#include "app/Kit_Timing.h"
#include "app/Module_Lurcher.h"
#include "app/Single_Instance.h"
#include "app/Stand_Ins.h"
#include "app/ui/Keyboard_Hook.h"
#include "app/ui/Module_Lurcher_Windows.h"
#include "app/ui/Shape_Control.h"
#include "capture/cls_Capture_HDMI.h"
#include "capture/ui/Form_select_Video.h"
#include "events/ui/Form_event_registration.h"
#include "recording/cls_VideoFile_handler.h"

#include "support/Clock.h"
#include "support/Failure.h"
#include "support/Globals.h"
#include "support/Non_dependant.h"
#include "support/Operator.h"
#include "support/Settings_Store.h"
#include "support/Trace.h"
#include "support/ui/Keyboard_State.h"

#include <QCoreApplication>
#include <QScreen>

namespace {
const QString load_location = QStringLiteral("Form_Load of Form Form_Lurcher");

QRect Screen_Area(const QWidget &w) {
  const QScreen *screen = w.screen();
  return screen ? screen->availableGeometry() : QRect();
}

// The setting's heat number; a hand-edited value that is no number selects heat 1.
int Stored_Heat_ID() {
  bool ok = false;
  const int heat =
      Read_INI(QStringLiteral("Settings"), QStringLiteral("Heat_ID"), Globals::Ini_File, QStringLiteral("1"))
          .trimmed()
          .toInt(&ok);
  if (!ok) {
    Trace_String(QStringLiteral("*Form_Load, Heat_ID is no number, heat 1 selected"));
    return 1;
  }
  return heat;
}
} // namespace

void Form_Lurcher::Form_Load(const QString &command_text) {
  Guarded(load_location, [&] {
    Trace_String(QStringLiteral("*Form_Lurcher Form_Load, begin"));
    Globals::Load_Time = Tick();
    move(Screen_Area(*this).left(), y());
    Test_Compiled();
    if (!Verify_Phidgets()) {
      Msg_Box(QStringLiteral("Phidget software error!"));
      End_Program(0);
      return;
    }
    Load_Video_Source_Window();
    if (!obj_QK3_Handler)
      obj_QK3_Handler = std::make_unique<cls_VideoFile_handler>();
    Init_Globals();
    Trace_String(QStringLiteral("*Computer name = ") + Globals::Computer_Name + QStringLiteral(" Windows = ") +
                 Globals::OS_Caption + QStringLiteral(" CPU = ") + Globals::CPU_Bitness + QStringLiteral(" OS = ") +
                 Globals::OS_Bitness);
    Trace_String(QStringLiteral(" Lurcher starting, version = ") + Module_Lurcher::App_Version +
                 QStringLiteral(" Computer = ") + Globals::Computer_Name);
    Trace_String(QStringLiteral("*Before InstallHook"));
    Keyboard_State::Install();
    hook_->Install();
    Trace_String(QStringLiteral("*After InstallHook"));
    if (Globals::Closing) // loaded again while the program shuts down
      return;
    startup_path_ = Path_from_Command(command_text);
    Start_Up();
  });
}

// Steps from the heat-file path onwards; a failure skips the rest (Form_Load reports it).
void Form_Lurcher::Start_Up() {
  ui->Slider_play->setToolTip(QString());
  Hide_Menu(ui->menu_settings);
  event_registration_->Form_Load(); // hidden: the stored event file is open from the start
  if (!Check_Single_Instance())
    return;
  Kit_Timing::Mark_Startup();
  Set_Up_Kit();
  load_Capture_Folder();
  Trace_String(QStringLiteral("Form_Load, after load_Capture_Folder"));
  Globals::Event_Folder = Globals::AppData_Folder + QStringLiteral("/Lurcher Event Files/");
  ui->Label_event->setText(event_registration_->Event_name());
  Show_Heat_Selector();
  move(Screen_Area(*this).topLeft());
  Load_Compensations();
  for (QMenu *menu : {ui->menu_debug, ui->Menu_assign_times, ui->menu_specials, ui->Menu_notime})
    Hide_Menu(menu);
  ui->Label_read_framesize->clear();
  Check_Attached();
  Trace_String(QStringLiteral("*Command_dollar = ") + startup_path_);
  if (FileExists(startup_path_))
    Stand_In::Handle_Open(startup_path_);
  if (!Module_Lurcher::m_Phidget_Present)
    Show_No_Phidget();
  if (!obj_Capture_HDMI)
    obj_Capture_HDMI = std::make_unique<cls_Capture_HDMI>();
  Option_selected_camera[1]->setChecked(true);
  Stand_In::Option_selected_camera_Click(1);
  Read_Last_Crop();
  Stand_In::Read_Goal_Lines();
  // Picture_LED is designed without a border.
  Set_Max_Picture_Height();
  Trace_String(QStringLiteral("Form_Lurcher Form_Load, end"));
}

void Form_Lurcher::Load_Video_Source_Window() {
  // Loaded once and kept hidden until the operator asks for it from the menu.
  if (!video_source_window_)
    video_source_window_ = std::make_unique<Form_select_Video>();
}

bool Form_Lurcher::Check_Single_Instance() {
  instance_ = std::make_unique<Single_Instance>(Globals::AppData_Folder);
  if (instance_->Claim()) {
    connect(instance_.get(), &Single_Instance::Activation_Requested, this, [this] {
      showNormal();
      raise();
      activateWindow();
    });
    return true;
  }
  hide();
  Msg_Box(QStringLiteral("A previous instance of Lurcher is running!"));
  End_Program(0);
  return false;
}

void Form_Lurcher::Show_Heat_Selector() {
  // Setting the selector runs its change handler, which shows that heat's data.
  ui->UpDown_heat->setValue(Stored_Heat_ID());
}

void Form_Lurcher::Show_No_Phidget() {
  ui->Frame_Control_box->setEnabled(false);
  for (QLabel *label : {ui->Label_attached, ui->Label_Phidget_attached}) {
    label->setText(QStringLiteral("No Phidget drivers"));
    label->setEnabled(false);
  }
  for (Shape_Control *lamp : Shape_circle1)
    if (lamp)
      lamp->hide();
}

void Form_Lurcher::Set_Max_Picture_Height() {
  const QScreen *screen = this->screen();
  if (!screen)
    return;
  m_Max_Picture_Height = screen->geometry().height() - Non_Client_Height() - ui->Frame_settimes->height();
}

void Form_Lurcher::End_Program(int code) {
  program_ended_ = true;
  exit_code_ = code;
  hide();
  QCoreApplication::exit(code);
}

// ---------------------------------------------------------------- shutdown

void Form_Lurcher::item_Exit_Click() { Lurcher_End(); }

void Form_Lurcher::Lurcher_End() {
  if (ending_) // a close requested while the shutdown processes events
    return;
  ending_ = true;
  Guarded(QStringLiteral("Lurcher_end of Form Form_Lurcher"), [&] {
    Trace_String(QStringLiteral("*Lurcher_end, begin"));
    Keep_Frames_Before_Closing();
    Globals::Closing = true;
    Stop_Camera();
    Flush_DV_events();
    Stop_Lurcher(this);
    Unload_All_Windows(this);
    hide();
    Trace_String(QStringLiteral("*Lurcher_end, end"));
    End_Program(0);
  });
}
