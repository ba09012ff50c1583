// Race control of the main window: the heat file of the next heat, the start signal with its
// stamps, the heat-time display, heat finish and abort. The camera lives in
// Form_Lurcher_Camera.cpp, capture start and end in Form_Lurcher_Capture.cpp, the interface
// kit in Form_Lurcher_Kit.cpp.

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
#include "capture/cls_Capture_HDMI.h"
#include "events/Event_State.h"
#include "events/ui/Form_event_registration.h"
#include "recording/CVideobuff_RGB.h"
#include "recording/Cls_XML_header.h"
#include "recording/cls_VideoFile_handler.h"

#include "support/Checked.h"
#include "support/Clock.h"
#include "support/Failure.h"
#include "support/Globals.h"
#include "support/Non_dependant.h"
#include "support/Operator.h"
#include "support/Settings_Store.h"
#include "support/Trace.h"
#include "support/ui/Keyboard_State.h"
#include "support/ui/Picture_Box.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

namespace {
const QString settings_section = QStringLiteral("Settings");
// How long an abort waits for Escape to be let go before it asks anyway.
constexpr int abort_wait_ms = 2000;

constexpr Location_Of Location{"Form", "Form_Lurcher"};

// The local date and time at which a tick was taken: now, less the ticks since. A tick that
// lies ahead of now (none should) is taken as now.
QDateTime Local_Moment_Of(std::int32_t tick) {
  const std::int32_t ago = Ticks_Between(tick, Tick());
  return Current_Clock().Local_Now().addMSecs(-static_cast<qint64>(std::max(ago, 0)));
}

QString Time_Now_Text() { return Current_Clock().Local_Now().toString(QStringLiteral("hh:mm:ss")); }

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
  for (int camera = 1; camera <= 2; ++camera)
    connect(Option_selected_camera[static_cast<std::size_t>(camera)], &QRadioButton::clicked, this,
            [this, camera] { Camera_Chosen(camera); });
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
  abort_wait_.setSingleShot(true);
  abort_wait_.setInterval(abort_wait_ms);
  connect(&abort_wait_, &QTimer::timeout, this, &Form_Lurcher::Ask_Abort);
  connect(&Timer1, &QTimer::timeout, this, &Form_Lurcher::Update_heat_time);
  connect(&Timer_2, &QTimer::timeout, this, &Form_Lurcher::Update_Running_Fps);
}

bool Form_Lurcher::Camera_Running() const { return ui->Command_start_camera->text() == QLatin1String("Stop camera"); }

// ---------------------------------------------------------------- heat file

void Form_Lurcher::Command_initiate_file_Click() {
  Guarded(Location("Command_initiate_file_Click"), [&] { Initiate_File(); });
}

bool Form_Lurcher::Initiate_File() {
  Trace_String(QStringLiteral("Command_initiate_file_Click"));
  if (!obj_Capture_HDMI || !Camera_Running() || !obj_Capture_HDMI->Is_Running() ||
      obj_Capture_HDMI->Running_Fps() == 0) {
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
  Actual_Sample.clear(); // never the rate of an earlier camera
  if (capture.HDMI_10_mill() > 0)
    Actual_Sample = Sample_Text();
  // The header of the new file records them.
  Header_Sources::Capture_Property = capture.Current_PropertyString();
  Header_Sources::Capture_Source = capture.Current_FriendlyName();
  Header_Sources::Actual_Sample = Actual_Sample;
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
  // The frames say whether they hold two fields, not the rate they come at.
  heat.Set_RGB_interlaced(obj_Capture_HDMI->Interlaced());
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
  heat.Header().Set_Capture_Info(Capture_Info);
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
    // The stamps first: tick is when the signal arrived, and its local time and date are taken
    // back to that moment, so none of them waits for the handling or the file work below.
    const QDateTime signal_moment = Local_Moment_Of(tick);
    const std::int32_t local = signal_moment.time().msecsSinceStartOfDay();
    const QString start_text = Cls_XML_header::General_Date_Text(signal_moment);
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
    // A heat recorded on a camera that has stopped would have no pictures.
    if (!Camera_Running()) {
      Beep();
      Trace_String(Time_Now_Text() + QStringLiteral("*Camera not running!!"));
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
    // A capture never carries over into the next heat: it ends here and its frames are written.
    if (Capturing)
      End_Capture(Tick(), false);
    if (Frames_Pending() > 0 &&
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

// Escape pressed in any window of the program (the keyboard hook). Handled once the key's
// event is through: a question asked from inside the hook would hold the key's delivery.
void Form_Lurcher::Escape_Pressed() {
  // Escape in an open dialog, the abort question included, belongs to that dialog.
  if (QApplication::activeModalWidget() || abort_queued_)
    return;
  abort_queued_ = true;
  QTimer::singleShot(0, this, [this] {
    abort_queued_ = false;
    Do_Abort();
  });
}

void Form_Lurcher::Escape_Released() {
  if (!abort_waiting_)
    return;
  abort_waiting_ = false;
  abort_wait_.stop();
  QTimer::singleShot(0, this, &Form_Lurcher::Ask_Abort);
}

void Form_Lurcher::Do_Abort() {
  Guarded(Location("Do_Abort"), [&] {
    if (aborting_ || !Heat_Running || QApplication::activeModalWidget())
      return;
    // Asked once the key is let go: the question answers Cancel to Escape, and the held key's
    // repeats would answer it before the operator could.
    if (Escape_Down()) {
      if (!abort_waiting_) {
        abort_waiting_ = true;
        abort_wait_.start(); // a release the program never saw does not cancel the abort
      }
      return;
    }
    Ask_Abort();
  });
}

void Form_Lurcher::Ask_Abort() {
  Guarded(Location("Do_Abort"), [&] {
    abort_waiting_ = false;
    abort_wait_.stop();
    // One question at a time; a heat finished meanwhile has nothing left to abort.
    if (aborting_ || !Heat_Running)
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
