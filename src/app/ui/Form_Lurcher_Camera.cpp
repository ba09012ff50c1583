// Race control of the main window: the camera, started and stopped by the operator, stopped
// by a failure, chosen for the goal or split line, and its live view and frame-rate display.

#include "app/ui/Form_Lurcher.h"
#include "ui_Form_Lurcher.h"

#include "app/Kit_Controller.h"
#include "app/Stand_Ins.h"
#include "capture/Module_HDMI_Support.h"
#include "capture/cls_Capture_HDMI.h"
#include "recording/cls_VideoFile_handler.h"

#include "support/Checked.h"
#include "support/Clock.h"
#include "support/Failure.h"
#include "support/Globals.h"
#include "support/Operator.h"
#include "support/Settings_Store.h"
#include "support/Trace.h"
#include "support/ui/Picture_Box.h"

#include <QPushButton>
#include <QRadioButton>

namespace {
constexpr Location_Of Location{"Form", "Form_Lurcher"};

void Set_Text_Colour(QWidget *widget, const QColor &colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, colour);
  widget->setPalette(palette);
}
} // namespace

// ---------------------------------------------------------------- camera

void Form_Lurcher::Command_start_camera_Click() {
  Guarded(Location("Command_start_camera_Click"), [&] {
    if (!start_camera_debounce_.Accept(Tick()))
      return;
    Toggle_Camera();
  });
}

void Form_Lurcher::Toggle_Camera() {
  Trace_String(QStringLiteral("*Command_start_camera_Click, caption = ") + ui->Command_start_camera->text());
  if (appending_) { // the frames are being written; the camera waits for that
    Beep();
    return;
  }
  const bool starting = !Camera_Running();
  // Starting the camera empties the frame list: frames not yet written go only when the
  // operator says so.
  if (starting && Frames_Pending() > 0 &&
      Msg_Box(QStringLiteral("%1 captured frame(s) have not been written to a heat file.\nStart the camera and "
                             "discard them?")
                  .arg(Frames_Pending()),
              Msg_Buttons::OK_Cancel, Msg_Icon::Exclamation, QString(), 1) != Msg_Result::OK)
    return;
  if (obj_Capture_HDMI && !obj_Capture_HDMI->SourcePropFound()) {
    Choose_Test_Track_Without_Camera();
    obj_Capture_HDMI->Set_Source_from_Saved();
  }
  obj_QK3_Handler->Close_File();
  ui->Text_filename->clear();
  ui->Picture_out->Cls();
  if (starting) {
    ui->Frame_Control_status->show();
    ui->Command_start_camera->setText(QStringLiteral("Stop camera"));
    ui->Label_running_fps->clear();
    ui->Label_running_fps->setToolTip(QString());
    Check_Attached();
    Do_Close();
    Start_camera();
    Live_View = true;
  } else {
    ui->Command_start_camera->setText(QStringLiteral("Start camera"));
    Stop_Camera();
    ui->Label_running_fps->clear();
  }
  ui->Label_heat_time->setText(QStringLiteral("00:00,00"));
  Arrange_form();
  ui->Frame_dogs_Heat->hide();
  Trace_String(QStringLiteral("*Command_start_camera_Click, end  "));
}

// A machine that has never chosen a source and has no camera runs on the test track.
void Form_Lurcher::Choose_Test_Track_Without_Camera() {
  namespace M = Module_HDMI_Support;
  if (!obj_Capture_HDMI || Read_INI(M::Settings_Section, M::Key_Friendly_Name, Globals::Ini_File,
                                    QStringLiteral("noname")) != QLatin1String("noname"))
    return;
  Capture_Component &component = obj_Capture_HDMI->Component();
  if (!component.SelectSource(QStringLiteral("video:1")) ||
      component.GetValue(QStringLiteral("sourceFriendlyName")) != Embedded_Source_Friendly_Name())
    return;
  Trace_String(QStringLiteral("*No camera and no saved source: the test track"));
  Write_INI(M::Settings_Section, M::Key_Friendly_Name, Embedded_Source_Friendly_Name(), Globals::Ini_File);
  Write_INI(M::Settings_Section, M::Key_Video_Property, QStringLiteral("0"), Globals::Ini_File);
}

void Form_Lurcher::Start_camera() {
  Guarded(Location("Start_camera"), [&] {
    if (!obj_Capture_HDMI)
      return;
    cls_Capture_HDMI &capture = *obj_Capture_HDMI;
    connect(&capture, &cls_Capture_HDMI::HDMIreceived, this, &Form_Lurcher::HDMI_event, Qt::UniqueConnection);
    connect(&capture, &cls_Capture_HDMI::Stop_All_Cameras, this, &Form_Lurcher::Stop_All_Cameras, Qt::UniqueConnection);
    connect(&capture, &cls_Capture_HDMI::Capture_Failed, this, &Form_Lurcher::Camera_Failed, Qt::UniqueConnection);
    capture.set_HDMI_Crop(Crop_X, Crop_Y);
    capture.Set_MaxFrames(0);
    capture.Set_Do_CROP(true);
    capture.Capture_Run();
    Timer_2.start();
  });
}

void Form_Lurcher::Stop_Camera() {
  Trace_String(QStringLiteral("*Stop_Camera"));
  // Each step goes on whatever the one before did.
  Guarded(Location("Stop_Camera"), [&] { Timer_2.stop(); });
  Guarded(Location("Stop_Camera"), [&] {
    if (obj_Capture_HDMI)
      obj_Capture_HDMI->Stop_Capture();
  });
  Guarded(Location("Stop_Camera"), [&] {
    ui->Picture_arm->Cls();
    ui->Label_running_fps->clear();
  });
}

void Form_Lurcher::Stop_All_Cameras() {
  Guarded(Location("Stop_All_Cameras"), [&] {
    Globals::Stop_Frame_Events = true;
    if (obj_Capture_HDMI)
      obj_Capture_HDMI->Stop_Capture();
    Show_Camera_Stopped(QStringLiteral("all cameras were stopped after a failure"));
  });
}

// The running source failed (the capture object has said why): the window shows the camera
// stopped, and the frames of a capture that was running are written.
void Form_Lurcher::Camera_Failed(const QString &text) {
  Guarded(Location("Camera_Failed"), [&] {
    Trace_String(QStringLiteral("*Camera_Failed: ") + text);
    Show_Camera_Stopped(text);
    if (Capturing)
      End_Capture(Tick(), false);
  });
}

// The camera no longer runs: the button offers to start it, and no rate is shown, so no heat
// is initiated, started or captured on a dead camera.
void Form_Lurcher::Show_Camera_Stopped(const QString &why) {
  if (!Camera_Running())
    return;
  ui->Command_start_camera->setText(QStringLiteral("Start camera"));
  Timer_2.stop();
  ui->Picture_arm->Cls();
  ui->Label_running_fps->setText(QStringLiteral("Camera stopped"));
  ui->Label_running_fps->setToolTip(why);
  Set_Text_Colour(ui->Label_running_fps, QColor(255, 0, 0));
}

void Form_Lurcher::Do_Close() {
  Guarded(Location("Do_Close"), [&] {
    if (appending_)
      return;
    obj_QK3_Handler->Close_File();
    for (QLabel *label : {ui->Label_read_framesize, ui->Label_field, ui->Label_filesize})
      label->clear();
    ui->Text_filename->clear();
    ui->Picture_out->Cls();
    ui->Frame_settimes->hide();
    ui->Cmd_Split->setText(QStringLiteral("Split"));
    setWindowTitle(Globals::App_Name);
    // With no heat file under review the next heat is run from here.
    ui->Frame_Control_status->show();
  });
}

// The goal or split camera chosen: the operator is back at race control.
void Form_Lurcher::Camera_Chosen(int camera) {
  Guarded(Location("Option_selected_camera_Click"), [&] {
    ui->Frame_Control_status->show();
    Stand_In::Option_selected_camera_Click(Checked_16(camera));
  });
}

void Form_Lurcher::cmd_live_view_Click() {
  Guarded(Location("cmd_live_view_Click"), [&] {
    if (!live_view_debounce_.Accept(Tick()))
      return;
    // The caption names what the next click does.
    if (ui->cmd_live_view->text() != QLatin1String("Live view on")) {
      ui->cmd_live_view->setText(QStringLiteral("Live view on"));
      Live_View = false;
      ui->Picture_out->Cls();
    } else {
      ui->cmd_live_view->setText(QStringLiteral("Live view off"));
      Live_View = true;
    }
  });
}

void Form_Lurcher::Update_Running_Fps() {
  Guarded(Location("Update_Running_Fps"), [&] {
    if (Globals::Closing || !obj_Capture_HDMI)
      return;
    const std::int16_t fps = obj_Capture_HDMI->Running_Fps();
    if (fps <= 0)
      return;
    ui->Label_running_fps->setText(QString::number(fps) + QStringLiteral(" f/s"));
    Set_Text_Colour(ui->Label_running_fps, fps > 27 ? QColor(255, 0, 0) : QColor(0, 0, 255));
  });
}
