// Race control of the main window: the camera, the heat file of the next heat, the start
// signal with its stamps, the heat-time and frame-rate displays, heat finish and abort.
// Capture start and end live in Form_Lurcher_Capture.cpp, the interface kit in
// Form_Lurcher_Kit.cpp.

#include "app/ui/Form_Lurcher.h"
#include "ui_Form_Lurcher.h"

#include "app/Compensations.h"
#include "app/Heat_File_Name.h"
#include "app/Kit_Controller.h"
#include "app/Module_Lurcher.h"
#include "app/PlayPOP.h"
#include "app/Stand_Ins.h"
#include "app/ui/Heat_Preview.h"
#include "capture/Module_HDMI_Support.h"
#include "capture/Test_Track_Source.h"
#include "capture/cls_Capture_HDMI.h"
#include "events/Event_State.h"
#include "events/ui/Form_event_registration.h"
#include "recording/CVideobuff_RGB.h"
#include "recording/cls_VideoFile_handler.h"

#include "support/Checked.h"
#include "support/Clock.h"
#include "support/Failure.h"
#include "support/Globals.h"
#include "support/Non_dependant.h"
#include "support/Operator.h"
#include "support/Settings_Store.h"
#include "support/Trace.h"
#include "support/ui/Picture_Box.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>

namespace {
constexpr std::int32_t day_ms = 86400000;
const QString settings_section = QStringLiteral("Settings");

QString Location(const char *procedure) {
  return QString::fromLatin1(procedure) + QStringLiteral(" of Form Form_Lurcher");
}

// The local time of day of a moment ticks_ago milliseconds before now.
std::int32_t Local_Ms_Before(std::int32_t ticks_ago) {
  const std::int32_t local = Ms_Of_Day() - (ticks_ago > 0 ? ticks_ago : 0);
  return local < 0 ? local + day_ms : local;
}

QString Time_Now_Text() { return Current_Clock().Local_Now().toString(QStringLiteral("hh:mm:ss")); }

void Set_Text_Colour(QWidget *widget, const QColor &colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, colour);
  widget->setPalette(palette);
}

// Clicks on a label that has no click signal of its own.
class Click_Filter final : public QObject {
public:
  Click_Filter(QObject *parent, std::function<void()> clicked) : QObject(parent), clicked_(std::move(clicked)) {}

protected:
  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() == QEvent::MouseButtonRelease)
      clicked_();
    return QObject::eventFilter(watched, event);
  }

private:
  std::function<void()> clicked_;
};

// A goal line from the settings in the header's text form; empty when none is stored.
QString Stored_Goal_Line(int camera) {
  const QString line = Read_INI(QStringLiteral("Goal_Lines"), QStringLiteral("goal_Line%1").arg(camera),
                                Globals::Ini_File, QStringLiteral("N/A"));
  return line.size() > 6 ? line : QString();
}
} // namespace

void Form_Lurcher::Connect_Race_Controls() {
  connect(ui->Command_start_camera, &QPushButton::clicked, this, &Form_Lurcher::Command_start_camera_Click);
  connect(ui->Command_initiate_file, &QPushButton::clicked, this, &Form_Lurcher::Command_initiate_file_Click);
  connect(ui->Command_start_heat, &QPushButton::clicked, this, &Form_Lurcher::Command_start_heat_Click);
  connect(ui->Command_finish, &QPushButton::clicked, this, &Form_Lurcher::Command_finish_Click);
  connect(ui->cmd_live_view, &QPushButton::clicked, this, &Form_Lurcher::cmd_live_view_Click);
  connect(ui->Cmd_capture, &QPushButton::pressed, this, &Form_Lurcher::Cmd_capture_MouseDown);
  connect(ui->Cmd_capture, &QPushButton::released, this, &Form_Lurcher::Cmd_capture_MouseUp);
  connect(ui->item_close_file, &QAction::triggered, this, &Form_Lurcher::Do_Close);
  connect(ui->item_validate_folder, &QAction::triggered, this, &Form_Lurcher::Validate_Folder);
  connect(ui->item_Blink_LED, &QAction::triggered, this, &Form_Lurcher::item_Blink_LED_Click);
  connect(ui->item_show_settings, &QAction::triggered, this, &Form_Lurcher::item_show_settings_Click);
  for (int i = 0; i < static_cast<int>(item_crop_size.size()); ++i) {
    item_crop_size[static_cast<std::size_t>(i)]->setCheckable(true);
    connect(item_crop_size[static_cast<std::size_t>(i)], &QAction::triggered, this,
            [this, i] { item_crop_size_Click(i); });
  }
  ui->Label_capture_folder->installEventFilter(
      new Click_Filter(ui->Label_capture_folder, [this] { Label_capture_folder_Click(); }));
  connect(&Timer1, &QTimer::timeout, this, &Form_Lurcher::Update_heat_time);
  connect(&Timer_2, &QTimer::timeout, this, &Form_Lurcher::Update_Running_Fps);
}

bool Form_Lurcher::Camera_Running() const { return ui->Command_start_camera->text() == QLatin1String("Stop camera"); }

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
    ui->Command_start_camera->setText(QStringLiteral("Stop camera"));
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
      component.GetValue(QStringLiteral("sourceFriendlyName")) != Test_Track_Source::Friendly_Name())
    return;
  Trace_String(QStringLiteral("*No camera and no saved source: the test track"));
  Write_INI(M::Settings_Section, M::Key_Friendly_Name, Test_Track_Source::Friendly_Name(), Globals::Ini_File);
  Write_INI(M::Settings_Section, M::Key_Video_Property, QStringLiteral("0"), Globals::Ini_File);
}

void Form_Lurcher::Start_camera() {
  Guarded(Location("Start_camera"), [&] {
    if (!obj_Capture_HDMI)
      return;
    cls_Capture_HDMI &capture = *obj_Capture_HDMI;
    connect(&capture, &cls_Capture_HDMI::HDMIreceived, this, &Form_Lurcher::HDMI_event, Qt::UniqueConnection);
    connect(&capture, &cls_Capture_HDMI::Stop_All_Cameras, this, &Form_Lurcher::Stop_All_Cameras, Qt::UniqueConnection);
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
    if (obj_Capture_HDMI)
      obj_Capture_HDMI->Stop_Capture();
  });
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

// ---------------------------------------------------------------- heat file

void Form_Lurcher::Command_initiate_file_Click() {
  Guarded(Location("Command_initiate_file_Click"), [&] { Initiate_File(); });
}

bool Form_Lurcher::Initiate_File() {
  Trace_String(QStringLiteral("Command_initiate_file_Click"));
  if (!obj_Capture_HDMI || obj_Capture_HDMI->Running_Fps() == 0) {
    Msg_Box(QStringLiteral("Waiting to measure camera fps!\n(See display under the rotating arm!)"));
    return false;
  }
  if (obj_QK3_Handler->File_open()) {
    Beep();
    return false;
  }
  Validate_Folder();
  if (!Event_State::Event_Present)
    ui->Label_event->setText(QStringLiteral("No event"));
  Current_File = Heat_File_Name::Build(Capture_Folder, ui->Label_event->text(), ui->Label_heat_num->text(),
                                       Current_Clock().Local_Now());
  ui->Text_filename->setText(Current_File);
  cls_Capture_HDMI &capture = *obj_Capture_HDMI;
  Capture_Info = capture.Current_PropertyString() + QStringLiteral(" / ") + capture.Current_FriendlyName();
  if (capture.HDMI_10_mill() > 0)
    Actual_Sample = capture.HDMI_Sample_Dimensions() + QStringLiteral(", ") +
                    QString::number(static_cast<long long>(std::floor(10000.0 / capture.HDMI_10_mill()))) +
                    QStringLiteral(" fps");
  if (!Make_Heat_File(Current_File, false)) {
    // Nothing was created: no heat may start on a file that is not there.
    Current_File.clear();
    ui->Text_filename->clear();
    return false;
  }
  Update_File_Size(Current_File);
  Trace_String(QStringLiteral("Command_initiate_file_Click, End"));
  return true;
}

// Creates the heat file at path with the full header; with_start also writes the start stamps
// of the running heat. false when the file is not there afterwards (the cause was reported).
bool Form_Lurcher::Make_Heat_File(const QString &path, bool with_start) {
  cls_VideoFile_handler &heat = *obj_QK3_Handler;
  const std::int16_t fps = obj_Capture_HDMI->Running_Fps();
  heat.Set_RGB_interlaced(fps != 40);
  heat.Set_File_name(path);
  heat.Set_Cropped_X(Crop_X);
  heat.Set_Cropped_Y(Crop_Y);
  heat.Initiate_QK3_File(path);
  heat.Set_Running_Fps(fps);
  Fill_Heat_Header(with_start);
  heat.Write_XML_Header();
  heat.Close_File();
  return FileExists(path);
}

void Form_Lurcher::Fill_Heat_Header(bool with_start) {
  cls_VideoFile_handler &heat = *obj_QK3_Handler;
  const QString goal = Stored_Goal_Line(1);
  const QString split = Stored_Goal_Line(2);
  if (!goal.isEmpty())
    heat.Set_Hound_Goal_Finish(goal);
  if (!split.isEmpty())
    heat.Set_Hound_Goal_Split(split);
  if (Event_State::Event_Present) {
    heat_preview_->Update_Dog_names(heat);
    heat.Set_Hound_event(event_registration_->Event_name());
    heat.Set_Hound_Heat_ID(ui->Label_heat_num->text());
    heat.Set_Hound_Heat_Name(event_registration_->Heat_Name(Checked_16(ui->Label_heat_num->text().toInt())));
  } else {
    heat.Set_Hound_event(QStringLiteral("Test Event"));
    heat.Set_Hound_Heat_ID(QStringLiteral("1"));
    heat.Set_Hound_Heat_Name(QStringLiteral("Test Heat"));
  }
  heat.Set_Hound_box_delay(QString::number(Module_Lurcher::Box_Delay));
  heat.Set_Hound_Goal_compensation(QString::number(Module_Lurcher::Goal_Compensation));
  heat.Set_Hound_Split_compensation(QString::number(Module_Lurcher::Split_Compensation));
  heat.Set_Phidget_serial(QString::number(Kit ? Kit->Serial_Number() : 0));
  if (with_start) {
    heat.Set_Hound_heat_start_local(Heat_Start_Local);
    heat.Set_Hound_start_PC_mill(Heat_Start_Tick);
    heat.Set_Hound_start_DateTime(heat_start_text_);
  }
}

void Form_Lurcher::Validate_Folder() {
  Guarded(Location("Validate_Folder"), [&] {
    if (!Folder_Exists(Capture_Folder)) {
      Msg_Box(QStringLiteral("Capture folder does not exist!"));
      return;
    }
    try {
      const QString test_file = Capture_Folder + QStringLiteral("/testfile.txt");
      QFile file(test_file);
      if (!file.open(QIODevice::WriteOnly))
        Raise(Err_Permission_Denied, Failure_Description(Err_Permission_Denied));
      file.close();
      Kill_File(test_file);
    } catch (...) {
      const Failure_Info failure = Current_Failure();
      Msg_Box(failure.description + QString::number(failure.number));
    }
  });
}

void Form_Lurcher::Label_capture_folder_Click() {
  Guarded(Location("Label_capture_folder_Click"), [&] {
    const std::optional<QString> folder =
        Current_Operator().Folder_Dialog(QStringLiteral("Capture folder"), Capture_Folder);
    if (!folder || folder->isEmpty())
      return;
    Set_Capture_Folder(*folder);
  });
}

void Form_Lurcher::Set_Capture_Folder(const QString &folder) {
  QString chosen = QDir::fromNativeSeparators(folder);
  if (chosen.size() > 1 && chosen.endsWith(QLatin1Char('/')))
    chosen.chop(1);
  Capture_Folder = chosen;
  Write_INI(settings_section, QStringLiteral("save_folder"), Capture_Folder, Globals::Ini_File);
  load_Capture_Folder();
}

void Form_Lurcher::load_Capture_Folder() {
  Guarded(Location("load_Capture_Folder"), [&] {
    // There is no drive "C:" here: the default is a folder of the program's own, made when
    // first needed.
    const QString default_folder = Globals::AppData_Folder + QStringLiteral("/Heats");
    Capture_Folder = Read_INI(settings_section, QStringLiteral("save_folder"), Globals::Ini_File, default_folder);
    if (Capture_Folder == default_folder && !Folder_Exists(default_folder))
      QDir().mkpath(default_folder);
    ui->Label_capture_folder->setText(Capture_Folder);
    ui->Label_capture_folder->setToolTip(Capture_Folder);
  });
}

void Form_Lurcher::item_crop_size_Click(int index) {
  Guarded(Location("item_crop_size_Click"), [&] { Select_Crop(index, true); });
}

void Form_Lurcher::Select_Crop(int index, bool store) {
  for (std::size_t i = 0; i < item_crop_size.size(); ++i)
    item_crop_size[i]->setChecked(static_cast<int>(i) == index);
  const QString caption = item_crop_size[static_cast<std::size_t>(index)]->text();
  const QStringList parts = caption.split(QLatin1Char('*'));
  Crop_X = Checked_16(parts.value(0).toInt());
  Crop_Y = Checked_16(parts.value(1).toInt());
  Set_Cropping();
  if (store)
    Write_INI(settings_section, QStringLiteral("lastcrop"), caption, Globals::Ini_File);
}

void Form_Lurcher::Read_Last_Crop() {
  Guarded(Location("Read_Last_Crop"), [&] {
    const QString last =
        Read_INI(settings_section, QStringLiteral("lastcrop"), Globals::Ini_File, QStringLiteral("400*880"));
    for (std::size_t i = 0; i < item_crop_size.size(); ++i)
      if (item_crop_size[i]->text() == last) {
        Select_Crop(static_cast<int>(i), false);
        return;
      }
  });
}

// ---------------------------------------------------------------- start signal

void Form_Lurcher::Command_start_heat_Click() {
  // The click is the signal: its tick is the start.
  const std::int32_t tick = Tick();
  Guarded(Location("Command_start_heat_Click"), [&] {
    Trace_String(QStringLiteral("*Command_start_heat_Click"));
    Handle_Start(tick);
  });
}

void Form_Lurcher::Handle_Start(std::int32_t tick) {
  Guarded(Location("Handle_Start"), [&] {
    // The stamps first: tick is when the signal arrived, and its local time is taken back to
    // that moment, so neither waits for the file work below.
    const std::int32_t local = Local_Ms_Before(Ticks_Between(tick, Tick()));
    const QString start_text = QLocale::system().toString(Current_Clock().Local_Now(), QLocale::ShortFormat);
    Trace_String(QStringLiteral("Handle_Start, begin"));
    if (Heat_Running) {
      Beep();
      Trace_String(Time_Now_Text() + QStringLiteral("*Heat already started!!"));
      return;
    }
    if (obj_QK3_Handler->File_open()) {
      Beep();
      Trace_String(Time_Now_Text() + QStringLiteral("*H_S File open!!"));
      return;
    }
    if (Current_File.isEmpty()) {
      if (!Compensations::Switch_On(Compensations::Key_Auto_Init)) {
        Beep();
        Trace_String(Time_Now_Text() + QStringLiteral("*No current file!!"));
        return;
      }
      if (!Initiate_File())
        return;
    }
    Heat_Start_Tick = tick;
    Heat_Start_Local = local;
    heat_start_text_ = start_text;
    Heat_Running = true;
    cls_VideoFile_handler &heat = *obj_QK3_Handler;
    heat.Set_Hound_heat_start_local(local);
    heat.Set_Hound_start_PC_mill(tick);
    heat.Set_Hound_start_DateTime(start_text);
    heat.Write_XML_Header();
    // Open only while written: an open file means one under review.
    heat.Close_File();
    Timer1.start();
    PlayPOP();
    Trace_String(QStringLiteral("Handle_Start, end"));
  });
}

void Form_Lurcher::Update_heat_time() {
  Guarded(Location("Update_heat_time"), [&] {
    if (!Heat_Running)
      return;
    ui->Label_heat_time->setText(Display_Mill_Time(Ticks_Between(Heat_Start_Tick, Tick()), false));
    ui->Label_heat_time->repaint();
  });
}

// ---------------------------------------------------------------- finish and abort

void Form_Lurcher::Command_finish_Click() {
  Guarded(Location("Command_finish_Click"), [&] {
    Trace_String(QStringLiteral("Command_finish_Click"));
    if (appending_ || obj_QK3_Handler->File_open()) {
      Beep();
      return;
    }
    if (Frames_Pending() > 0 && !Capturing &&
        Msg_Box(QStringLiteral("%1 captured frame(s) have not been written to a heat file.\nFinish the heat and "
                               "discard them?")
                    .arg(Frames_Pending()),
                Msg_Buttons::OK_Cancel, Msg_Icon::Exclamation, QString(), 1) != Msg_Result::OK)
      return;
    Timer1.stop();
    const QString finished = Current_File;
    Do_Heat_Finish();
    if (Compensations::Switch_On(Compensations::Key_Open_After_Finish) && FileExists(finished))
      Stand_In::Handle_Open(finished);
  });
}

void Form_Lurcher::Do_Heat_Finish() {
  Heat_Start_Tick = 0;
  Heat_Running = false;
  Write_INI(settings_section, QStringLiteral("last_file"), Current_File, Globals::Ini_File);
  ui->Frame_Control_status->hide();
  obj_QK3_Handler->Close_File();
  Current_File.clear();
  if (Camera_Running())
    Toggle_Camera();
}

void Form_Lurcher::Do_Abort() {
  Guarded(Location("Do_Abort"), [&] {
    // Escape stays down across frames: one question at a time.
    if (aborting_)
      return;
    aborting_ = true;
    const Msg_Result answer = Msg_Box(QStringLiteral("Aborting heat  are you sure?"), Msg_Buttons::OK_Cancel,
                                      Msg_Icon::Question, QStringLiteral("Tidemark Aborting Heat"), 1);
    aborting_ = false;
    if (answer != Msg_Result::OK)
      return;
    Heat_Start_Tick = 0;
    Heat_Running = false;
    ui->Label_heat_time->setText(QStringLiteral("Aborted"));
  });
}

void Form_Lurcher::Set_Buttons() {
  Guarded(Location("Set_Buttons"), [&] {
    const bool split = Option_selected_camera[2] && Option_selected_camera[2]->isChecked();
    const bool have_file = obj_QK3_Handler && obj_QK3_Handler->File_open();
    for (int box = 1; box <= 6; ++box) {
      QPushButton *button = Command_BOX_set_time[static_cast<std::size_t>(box - 1)];
      const bool timed = have_file && obj_QK3_Handler->Hound_Heat_time(box, split) > 0;
      button->setStyleSheet(timed ? QStringLiteral("background-color: rgb(192, 255, 255);") : QString());
    }
  });
}
