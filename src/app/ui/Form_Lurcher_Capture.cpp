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
#include <QFileInfo>
#include <QRadioButton>
#include <QTimer>

namespace {
constexpr std::int32_t colour_red = 0x0000FF; // 0x00BBGGRR
constexpr std::int32_t colour_blue = 0xFF0000;
constexpr std::int32_t progress_linger_ms = 500;
constexpr qint64 repaint_every_ms = 40;

QString Location(const char *procedure) {
  return QString::fromLatin1(procedure) + QStringLiteral(" of Form Form_Lurcher");
}

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
  Guarded(Location("Cmd_capture_MouseDown"), [&] {
    if (capture_press_debounce_.Accept(Tick()))
      Handle_Capture_Start();
  });
}

void Form_Lurcher::Cmd_capture_MouseUp() {
  Guarded(Location("Cmd_capture_MouseUp"), [&] {
    if (capture_release_debounce_.Accept(Tick()))
      Handle_Capture_End();
  });
}

void Form_Lurcher::Handle_Capture_Start() {
  Guarded(Location("Handle_Capture_Start"), [&] {
    Trace_String(QStringLiteral("Handle_Capture_start"));
    // While the last capture is written the frame list is being read.
    if (!Camera_Running() || Current_File.isEmpty() || appending_) {
      Beep();
      return;
    }
    if (!Phidget_Attached() || !Heat_Running)
      return;
    if (!obj_Capture_HDMI)
      return;
    obj_Capture_HDMI->Set_Post_linear(true);
    Capturing = true;
    ui->Label_Coll_count->show();
  });
}

void Form_Lurcher::HDMI_event() {
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
      capture.Store_HDMI_Buffer();
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

void Form_Lurcher::Handle_Capture_End() {
  Guarded(Location("Handle_Capture_End"), [&] {
    Trace_String(QStringLiteral("Handle_Capture_end"));
    ui->Label_Coll_count->hide();
    Capturing = false;
    if (!Camera_Running() || !Heat_Running)
      return;
    if (Kit_Timing::In_Capture_End_Grace(Tick())) {
      Trace_String(QStringLiteral("Skipping Handle_Capture_end"));
      return;
    }
    if (appending_) // a second release while the first one writes
      return;
    if (obj_Capture_HDMI)
      obj_Capture_HDMI->Set_Post_linear(false);
    if (!Current_File.isEmpty())
      Append_Capture();
  });
}

void Form_Lurcher::Append_Capture() {
  QElapsedTimer elapsed;
  elapsed.start();
  appending_ = true;
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
  if (written)
    Frame_Buffers().clear();
  appending_ = false;
  Last_Append_Seconds = static_cast<double>(elapsed.nsecsElapsed()) / 1e9;
  Trace_String(QStringLiteral("*Handle_Capture_end, appended in %1 s").arg(Last_Append_Seconds, 0, 'f', 3));
  // The full bar stays a moment; the window goes on meanwhile.
  QTimer::singleShot(progress_linger_ms, progress_.get(), &QWidget::hide);
}

// Appends every kept frame to the heat file. On a failure the frames already in the file
// leave memory and the rest stay; false then.
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
  const std::int32_t done = heat.Append_RGB_Frames(frames, 1, n, [&](std::int32_t i) {
    progress_->Set_Percent(static_cast<std::int32_t>(Divide_Half_Even(static_cast<long long>(i) * 100, n)));
    // The window repaints and the kit's events come in; clicks wait until the frames are in.
    if (since_repaint.elapsed() >= repaint_every_ms) {
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
      since_repaint.restart();
    }
  });
  heat.Close_File();
  if (done >= n && FileExists(Current_File))
    return true;
  Trace_String(QStringLiteral("*Handle_Capture_end, appended %1 of %2").arg(done).arg(n));
  frames.erase(frames.begin(), frames.begin() + std::min(done, n));
  return false;
}

// Tells the operator the frames could not be written and offers another folder, where a new
// heat file with the same name and header is made (the heat file's own folder keeps the file
// as it is). true when there is one to try.
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
  // The folder the heat file is in already: the frames in it stay and the next pass appends.
  // Making it anew would truncate it.
  if (FileExists(path) && QFileInfo(path) == QFileInfo(Current_File)) {
    Trace_String(QStringLiteral("*Handle_Capture_end, same heat file again ") + path);
    return true;
  }
  Trace_String(QStringLiteral("*Handle_Capture_end, new heat file ") + path);
  // The new file carries the whole header, the start stamps included.
  Current_File = path;
  ui->Text_filename->setText(path);
  Make_Heat_File(path, true);
  return true;
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
