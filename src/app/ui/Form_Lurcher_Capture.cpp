// Capture of the main window: keeping frames between capture start and capture end, the
// live picture, and writing the kept frames to the heat file behind the progress window.
// Frames are dropped from memory only once they are in a file.

#include "app/ui/Form_Lurcher.h"
#include "ui_Form_Lurcher.h"

#include "app/Kit_Controller.h"
#include "app/Kit_Timing.h"
#include "capture/cls_Capture_HDMI.h"
#include "recording/CVideobuff_RGB.h"
#include "recording/cls_VideoFile_handler.h"

#include "support/Checked.h"
#include "support/Clock.h"
#include "support/Failure.h"
#include "support/Globals.h"
#include "support/Non_dependant.h"
#include "support/Operator.h"
#include "support/Trace.h"
#include "support/ui/Frm_progress.h"
#include "support/ui/Keyboard_State.h"
#include "support/ui/Picture_Box.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QRadioButton>
#include <QTimer>

namespace {
constexpr std::int32_t colour_red = 0x0000FF; // 0x00BBGGRR
constexpr std::int32_t colour_blue = 0xFF0000;
constexpr std::int32_t progress_linger_ms = 500;
constexpr qint64 repaint_every_ms = 40;
// How long capture end waits for the frames captured before it (several frame periods and a
// camera's delivery latency).
constexpr int capture_end_wait_ms = 1000;

constexpr Location_Of Location{"Form", "Form_Lurcher"};

// Why a heat file cannot take the frames, in the operator's words.
QString Write_Problem(const QString &path) {
  if (!Folder_Exists(QFileInfo(path).absolutePath()))
    return QStringLiteral("its folder is gone");
  if (!FileExists(path))
    return QStringLiteral("the heat file is gone");
  return QStringLiteral("the disk may be full or the file cannot be written");
}
} // namespace

std::int32_t Form_Lurcher::Frames_Pending() const { return Checked_32(static_cast<long long>(Frame_Buffers().size())); }

bool Form_Lurcher::Phidget_Attached() const { return Kit && Kit->Phidget_Attached(); }

void Form_Lurcher::Cmd_capture_MouseDown() {
  // The press is the signal: its tick starts the capture.
  const std::int32_t tick = Tick();
  Guarded(Location("Cmd_capture_MouseDown"), [&] {
    if (capture_press_debounce_.Accept(tick))
      Handle_Capture_Start(tick);
  });
}

void Form_Lurcher::Cmd_capture_MouseUp() {
  const std::int32_t tick = Tick();
  Guarded(Location("Cmd_capture_MouseUp"), [&] {
    if (capture_release_debounce_.Accept(tick))
      Handle_Capture_End(tick);
  });
}

void Form_Lurcher::Handle_Capture_Start(std::int32_t tick) {
  Guarded(Location("Handle_Capture_Start"), [&] {
    Trace_String(QStringLiteral("Handle_Capture_start"));
    // While the last capture is written the frame list is being read; the switch is read
    // again once that is done.
    if (!Camera_Running() || Current_File.isEmpty() || appending_) {
      Beep();
      return;
    }
    if (!Phidget_Attached() || !Heat_Running)
      return;
    if (!obj_Capture_HDMI || Capturing)
      return;
    obj_Capture_HDMI->Begin_Keeping(tick);
    Capturing = true;
    ui->Label_Coll_count->setText(QString::number(Frames_Pending()));
    ui->Label_Coll_count->show();
  });
}

// A capture switch held down while the frames were written still wants its capture.
void Form_Lurcher::Resume_Held_Capture() {
  const bool held = ui->Cmd_capture->isDown() || (Kit && Kit->Capture_Switch_On());
  if (!held || Capturing)
    return;
  Trace_String(QStringLiteral("*Capture switch still on after writing: capture again"));
  Handle_Capture_Start(Tick());
}

void Form_Lurcher::HDMI_event() {
  Feed_Performance_Window();
  Guarded(Location("HDMI_event"), [&] {
    if (Globals::Stop_Frame_Events || Globals::Closing || !obj_Capture_HDMI)
      return;
    cls_Capture_HDMI &capture = *obj_Capture_HDMI;
    // While kept frames are written, clicks wait until they are in (see Write_Kept_Frames).
    if (!appending_)
      QCoreApplication::processEvents();
    capture.Draw_Running_Arm_2(*ui->Picture_arm, Capturing ? colour_red : colour_blue);
    if (Live_View)
      Draw_Live_Frame();
    if (Capturing) {
      // The capture object keeps the frame when its capture tick belongs to the capture.
      ui->Label_Coll_count->setText(QString::number(Frames_Pending()));
      ui->Label_Coll_count->repaint();
    }
    if (Escape_Down())
      Do_Abort();
  });
}

void Form_Lurcher::Draw_Live_Frame() {
  Picture_Box &picture = *ui->Picture_out;
  obj_Capture_HDMI->Draw_Cropped_DIB(picture);
  const bool split = Option_selected_camera[2] && Option_selected_camera[2]->isChecked();
  picture.Set_FontName(QStringLiteral("Times"));
  picture.Set_FontSize(52);
  picture.Set_ForeColor(split ? QColor(255, 255, 0) : QColor(0, 255, 255));
  picture.Set_CurrentX(static_cast<std::int32_t>(picture.width() * 0.35));
  picture.Set_CurrentY(static_cast<std::int32_t>(picture.height() * 0.9));
  picture.Print(split ? QStringLiteral("Split") : QStringLiteral("Goal"), false);
  picture.Refresh();
}

void Form_Lurcher::Handle_Capture_End(std::int32_t tick) {
  Guarded(Location("Handle_Capture_End"), [&] { End_Capture(tick, true); });
}

// Capture end; read_switch_again when a switch still held afterwards starts the next capture
// (not when the heat finishes, the camera fails or the program closes).
void Form_Lurcher::End_Capture(std::int32_t tick, bool read_switch_again) {
  Trace_String(QStringLiteral("Handle_Capture_end"));
  ui->Label_Coll_count->hide();
  Capturing = false;
  if (!obj_Capture_HDMI)
    return;
  cls_Capture_HDMI &capture = *obj_Capture_HDMI;
  // A camera that failed during the capture leaves its frames to be written all the same.
  if ((!Camera_Running() && !capture.Keeping()) || !Heat_Running) {
    capture.Stop_Keeping();
    return;
  }
  if (Kit_Timing::In_Capture_End_Grace(tick)) {
    Trace_String(QStringLiteral("Skipping Handle_Capture_end"));
    capture.Stop_Keeping();
    return;
  }
  if (appending_) // a second release while the first one writes
    return;
  appending_ = true; // from here on a press beeps; the switch is read again at the end
  try {
    capture.End_Keeping(tick);
    Wait_For_Frames_Before(capture);
  } catch (...) {
    capture.Stop_Keeping();
    appending_ = false;
    throw;
  }
  capture.Stop_Keeping();
  appending_ = false;
  const std::int64_t lost = capture.Capture_Frames_Lost();
  if (!Current_File.isEmpty())
    Append_Capture();
  if (lost > 0) {
    Trace_String(QStringLiteral("*Handle_Capture_end, %1 frame(s) lost during the capture").arg(lost));
    Msg_Box(QStringLiteral("%1 frames were lost during this capture").arg(lost), Msg_Buttons::OK,
            Msg_Icon::Exclamation);
  }
  if (read_switch_again)
    Resume_Held_Capture();
}

// Frames captured before the end are still on their way from the camera; the capture ends
// once a frame captured after it arrives, or after a bounded wait. The window repaints and
// the kit's events come in meanwhile; clicks wait.
void Form_Lurcher::Wait_For_Frames_Before(cls_Capture_HDMI &capture) {
  if (capture.End_Frame_Seen())
    return;
  QEventLoop loop;
  QTimer give_up;
  give_up.setSingleShot(true);
  connect(&give_up, &QTimer::timeout, &loop, &QEventLoop::quit);
  const QMetaObject::Connection frames = connect(&capture, &cls_Capture_HDMI::HDMIreceived, &loop, [&] {
    if (capture.End_Frame_Seen())
      loop.quit();
  });
  const QMetaObject::Connection failed = connect(&capture, &cls_Capture_HDMI::Capture_Failed, &loop, &QEventLoop::quit);
  give_up.start(capture_end_wait_ms);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  disconnect(frames);
  disconnect(failed);
  if (!capture.End_Frame_Seen())
    Trace_String(QStringLiteral("*Handle_Capture_end, no frame after the end within %1 ms").arg(capture_end_wait_ms));
}

void Form_Lurcher::Append_Capture() {
  QElapsedTimer elapsed;
  elapsed.start();
  appending_ = true;
  frames_in_file_ = 0;
  if (!progress_)
    progress_ = std::make_unique<Frm_progress>();
  progress_->Set_Caption(QStringLiteral("Appending frames"));
  progress_->Set_Percent(0);
  progress_->show();
  bool written = false;
  try {
    written = Write_Kept_Frames();
    while (!written && Offer_Other_Folder(Write_Problem(Current_File)))
      written = Write_Kept_Frames();
    Update_File_Size(Current_File);
  } catch (...) {
    appending_ = false;
    throw;
  }
  // Frames leave memory only once every one of them is in one heat file.
  if (written)
    Frame_Buffers().clear();
  appending_ = false;
  Last_Append_Seconds = static_cast<double>(elapsed.nsecsElapsed()) / 1e9;
  Trace_String(QStringLiteral("*Handle_Capture_end, appended in %1 s").arg(Last_Append_Seconds, 0, 'f', 3));
  // The full bar stays a moment; the window goes on meanwhile.
  QTimer::singleShot(progress_linger_ms, progress_.get(), &QWidget::hide);
}

// Appends the kept frames not yet in the heat file. On a failure every frame stays in memory,
// so that a heat file made anew elsewhere can take the whole capture; false then.
bool Form_Lurcher::Write_Kept_Frames() {
  Frame_Buffer_List &frames = Frame_Buffers();
  const std::int32_t n = Checked_32(static_cast<long long>(frames.size()));
  cls_VideoFile_handler &heat = *obj_QK3_Handler;
  heat.Close_File();
  if (!FileExists(Current_File)) {
    Trace_String(QStringLiteral("*Handle_Capture_end, no heat file: ") + Current_File);
    return false;
  }
  if (n == 0) {
    // Nothing to write: the file stays as it is, a sound heat file without frames.
    Trace_String(QStringLiteral("*Handle_Capture_end, no frames kept"));
    return true;
  }
  if (heat.Rounded_Compressed_Size() == 0)
    heat.Calculate_Compressed_Size(frames);
  heat.Open_qk3_for_Append();
  QElapsedTimer since_repaint;
  since_repaint.start();
  const std::int32_t first = frames_in_file_ + 1;
  const std::int32_t count = n - frames_in_file_;
  const std::int32_t done = heat.Append_RGB_Frames(frames, first, count, [&](std::int32_t i) {
    progress_->Set_Percent(
        static_cast<std::int32_t>(Divide_Half_Even(static_cast<long long>(frames_in_file_ + i) * 100, n)));
    // The window repaints and the kit's events come in; clicks wait until the frames are in.
    if (since_repaint.elapsed() >= repaint_every_ms) {
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
      since_repaint.restart();
    }
  });
  heat.Close_File();
  frames_in_file_ += std::clamp(done, 0, count);
  if (frames_in_file_ >= n && FileExists(Current_File))
    return true;
  Trace_String(QStringLiteral("*Handle_Capture_end, appended %1 of %2").arg(frames_in_file_).arg(n));
  return false;
}

// Tells the operator the frames could not be written and offers another folder, where a new
// heat file with the heat's own header takes every frame of the capture (the heat file's own
// folder keeps the file as it is). true when there is one to try.
bool Form_Lurcher::Offer_Other_Folder(const QString &why) {
  const Msg_Result answer =
      Msg_Box(QStringLiteral("The captured frames could not be written to the heat file\n%1\n(%2).\n%3 frame(s) are "
                             "kept in memory until they are written.\nChoose another folder for the heat file?")
                  .arg(Current_File, why)
                  .arg(Frames_Pending()),
              Msg_Buttons::Yes_No, Msg_Icon::Exclamation);
  if (answer != Msg_Result::Yes)
    return false;
  const std::optional<QString> folder =
      Current_Operator().Folder_Dialog(QStringLiteral("Choose a folder for the heat file"), Capture_Folder);
  if (!folder || folder->isEmpty())
    return false;
  Set_Capture_Folder(*folder);
  const QString path = Capture_Folder + QLatin1Char('/') + QFileInfo(Current_File).fileName();
  // The folder the heat file is in already: the frames in it stay and the next pass appends
  // the rest. Making it anew would truncate it.
  if (FileExists(path) && QFileInfo(path) == QFileInfo(Current_File)) {
    Trace_String(QStringLiteral("*Handle_Capture_end, same heat file again ") + path);
    return true;
  }
  Trace_String(QStringLiteral("*Handle_Capture_end, new heat file ") + path);
  Current_File = path;
  ui->Text_filename->setText(path);
  Remake_Heat_File(path);
  frames_in_file_ = 0;
  return true;
}

// A new heat file at path with the header of the heat being recorded: its start stamps,
// compensations, names and goal lines as they were initiated, not today's settings. Only the
// counters start again, since the new file holds no frame yet.
void Form_Lurcher::Remake_Heat_File(const QString &path) {
  cls_VideoFile_handler &heat = *obj_QK3_Handler;
  const QString header = heat.Header().XML_string();
  heat.Set_File_name(path);
  heat.Initiate_QK3_File(path);
  Cls_XML_header &fresh = heat.Header();
  const std::int16_t frames = fresh.Frames_no();
  const std::int16_t segments = fresh.Segments_no();
  const std::int32_t sample_size = fresh.RGB_Sample_Size();
  const std::int32_t largest = fresh.RGB_Compressed_max_Size();
  const std::int32_t smallest = fresh.RGB_Compressed_min_Size();
  const std::int16_t reduced = fresh.JPG_Reduced_Qual_num();
  fresh.Set_XML_string(header);
  fresh.Set_Frames_no(frames);
  fresh.Set_Segments_no(segments);
  fresh.Set_RGB_Sample_Size(sample_size);
  fresh.Set_RGB_Compressed_max_Size(largest);
  fresh.Set_RGB_Compressed_min_Size(smallest);
  fresh.Set_JPG_Reduced_Qual_num(reduced);
  heat.Write_XML_Header();
  heat.Close_File();
}

// Frames of a capture are never lost by closing the program: a capture that runs ends, and
// kept frames are written behind the progress window unless the operator says otherwise.
void Form_Lurcher::Keep_Frames_Before_Closing() {
  Guarded(Location("Keep_Frames_Before_Closing"), [&] {
    if (Capturing)
      End_Capture(Tick(), false);
    if (Frames_Pending() == 0 || Current_File.isEmpty())
      return;
    if (Msg_Box(QStringLiteral("%1 captured frame(s) have not been written to the heat file\n%2.\nWrite them "
                               "before closing?")
                    .arg(Frames_Pending())
                    .arg(Current_File),
                Msg_Buttons::Yes_No, Msg_Icon::Exclamation) == Msg_Result::Yes)
      Append_Capture();
  });
}

void Form_Lurcher::Update_File_Size(const QString &path) {
  Guarded(Location("Update_File_Size"), [&] {
    if (path.isEmpty())
      return;
    const double megabytes = static_cast<double>(Get_File_Size(path)) / Bytes_Per_MB;
    ui->Label_filesize->setText(QString::number(obj_QK3_Handler->Segments_Num()) + QStringLiteral(" / ") +
                                QString::number(megabytes, 'f', 1) + QStringLiteral(" MB"));
  });
}
