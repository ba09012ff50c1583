#include "capture/cls_Capture_HDMI.h"

#include "capture/Module_HDMI_Support.h"
#include "recording/CVideobuff_RGB.h"
#include "support/Checked.h"
#include "support/Clock.h"
#include "support/Failure.h"
#include "support/Globals.h"
#include "support/Operator.h"
#include "support/Settings_Store.h"
#include "support/Trace.h"

#include <QCoreApplication>

namespace {
constexpr int sources_examined = 10;
constexpr std::int32_t arm_steps = 100;

constexpr Location_Of where{"Class", "cls_Capture_HDMI"};

const QString not_found_message =
    QStringLiteral("Could not find the saved Video source! Please re-select Video source!");

QString Capture_Run_Message(const QString &step, const QString &description, const QString &last_error) {
  return QStringLiteral("*Capture_run error at line ") + step + QStringLiteral("\r\nDescription = ") + description +
         QStringLiteral("\r\n Last_error: ") + last_error;
}
} // namespace

cls_Capture_HDMI::cls_Capture_HDMI(std::unique_ptr<Capture_Component> component, QObject *parent)
    : QObject(parent), capture_(std::move(component)) {
  Guarded(where("Class_Initialize"), [this] {
    Write_Trace("*Cls_Capture_HDMI Initialize ");
    if (!capture_)
      capture_ = Create_Capture_Component();
    Advise();
    event_to_send_ = 1;
  });
}

cls_Capture_HDMI::~cls_Capture_HDMI() {
  Guarded(where("Class_Terminate"), [this] {
    Write_Trace("*Cls_Capture_HDMI Terminate");
    Stop_Capture();
    Clear_Linear_Buffer();
    num_buffers_stored_ = 0;
    Write_Trace("*cls_Capture,oCapture Unadvise");
    if (capture_ && advise_cookie_ != 0)
      capture_->UnadviseSink(advise_cookie_);
    advise_cookie_ = 0;
    capture_.reset();
  });
}

void cls_Capture_HDMI::Advise() {
  if (capture_)
    advise_cookie_ = capture_->AdviseSink(this);
}

// ---- source ----

bool cls_Capture_HDMI::Set_Source_from_Saved() {
  namespace M = Module_HDMI_Support;
  return Guarded(where("Set_Source_from_Saved"), false, [this] {
    Write_Trace("*Set_Source_from_Saved, begin");
    M::m_saved_Friendly_name =
        Read_INI(M::Settings_Section, M::Key_Friendly_Name, Globals::Ini_File, QStringLiteral("noname"));
    M::m_saved_Video_prop_num =
        Read_INI(M::Settings_Section, M::Key_Video_Property, Globals::Ini_File, QStringLiteral("-1"));
    Write_Trace("*m_saved_Friendly_name = ", M::m_saved_Friendly_name);
    Write_Trace("*m_saved_Video_prop_num = ", M::m_saved_Video_prop_num);
    found_source_ = false;
    for (int n = 1; n <= sources_examined && !found_source_; ++n) {
      const bool exists = capture_->SelectSource(QStringLiteral("video:%1").arg(n));
      last_error_ = capture_->LastError();
      if (!exists)
        break;
      const QString name = capture_->GetValue(QStringLiteral("sourceFriendlyName"));
      static_cast<void>(capture_->GetValue(QStringLiteral("BuildNumber")));
      if (name == M::m_saved_Friendly_name)
        found_source_ = Set_Up_Source(n, name);
    }
    Write_Trace("*Found_Friendly = ", found_source_);
    source_prop_found_ = found_source_;
    if (!found_source_)
      Msg_Box(not_found_message);
    return found_source_;
  });
}

bool cls_Capture_HDMI::Set_Up_Source(int n, const QString &friendly_name) {
  namespace M = Module_HDMI_Support;
  M::Current_Friendly_Name = friendly_name;
  sourcenum_ = QString::number(n);
  capture_->SetValue(QStringLiteral("GetIntervals"), QStringLiteral("0"));
  max_interval_ = capture_->GetValue(QStringLiteral("MaxInterval"));
  min_interval_ = capture_->GetValue(QStringLiteral("MinInterval"));
  if (M::Limit_Capture_25_Fps)
    capture_->SetValue(QStringLiteral("CaptureFps"), QStringLiteral("25"));
  // A format the source refuses (a hand-edited setting) leaves the source in its own format;
  // the description below then tells which one it is.
  if (!capture_->SetValue(QStringLiteral("SetFormat"), M::m_saved_Video_prop_num))
    Write_Trace("*SetFormat refused: ", M::m_saved_Video_prop_num, capture_->LastError());
  static_cast<void>(capture_->GetValue(QStringLiteral("GetProp")));
  M::Current_Property_String = Process_AMT(capture_->Current_Format());
  Write_Trace(QStringLiteral("*Sourcenum = %1 Property = %2").arg(n).arg(M::Current_Property_String));
  return true;
}

QString cls_Capture_HDMI::Current_FriendlyName() const { return Module_HDMI_Support::Current_Friendly_Name; }
QString cls_Capture_HDMI::Current_PropertyString() const { return Module_HDMI_Support::Current_Property_String; }

// ---- delivery ----

void cls_Capture_HDMI::set_HDMI_Crop(std::int16_t x, std::int16_t y) {
  Guarded(where("set_HDMI_Crop"), [&] {
    Write_Trace(QStringLiteral("*HDMI_Crop X,Y = %1,%2").arg(x).arg(y));
    crop_x_ = x;
    crop_y_ = y;
    crop_dib_.Create(x, y);
    if (is_running_)
      record_pool_.Prepare(crop_dib_.Created() ? crop_dib_.SizeImage() : 0);
  });
}

void cls_Capture_HDMI::Capture_Run() {
  QString step = QStringLiteral("1");
  try {
    Write_Trace("Capture_run begin ", num_buffers_stored_, max_frames_);
    QCoreApplication::processEvents();
    step = QStringLiteral("2");
    Clear_Linear_Buffer();
    num_buffers_stored_ = 0;
    buffer_filled_ = false;
    step = QStringLiteral("3");
    hdmi_events_ = 0;
    // A new run measures its own rate: the old one may be another camera's, or a dead one's.
    running_fps_ = 0;
    block_started_ = false;
    arm_step_ = 0;
    frames_lost_ = 0;
    is_running_ = true;
    step = QStringLiteral("4");
    if (advise_cookie_ == 0) {
      Advise();
      last_error_ = capture_->LastError();
    }
    step = QStringLiteral("5");
    last_error_ = capture_->LastError();
    const bool started = capture_->Run();
    last_error_ = capture_->LastError();
    if (started)
      record_pool_.Prepare(crop_dib_.Created() ? crop_dib_.SizeImage() : 0);
    else {
      is_running_ = false;
      Write_Trace("*Capture_Run refused: ", last_error_);
      Msg_Box(Capture_Run_Message(step, QStringLiteral("The video source did not start"), last_error_));
    }
    Write_Trace("*Capture_Run end ");
  } catch (...) {
    const Failure_Info failure = Current_Failure();
    Msg_Box(Capture_Run_Message(step, failure.description, last_error_));
  }
}

void cls_Capture_HDMI::Stop_Capture() {
  Guarded(where("Stop_Capture"), [this] {
    if (!is_running_) {
      Write_Trace(" *cls_capture m_is_Running = False  ID = ", advise_cookie_);
      return;
    }
    Write_Trace("*cls_capture Stop_Capture");
    is_running_ = false;
    capture_->Stop();
    recent_.clear();
    record_pool_.Prepare(0);
  });
}

// ---- figures ----

std::int16_t cls_Capture_HDMI::Running_Fps() const {
  return Guarded(where("Running_Fps"), std::int16_t{0}, [this] { return Checked_16(Round_Half_Even(running_fps_)); });
}

// Only once this run's 31st frame is in: the ticks of a frame not yet seen would give a
// difference anywhere in the tick's cycle.
std::int32_t cls_Capture_HDMI::HDMI_10_mill() const {
  return hdmi_events_ >= 31 ? Ticks_Between(tick_21_, tick_31_) : 0;
}

QString cls_Capture_HDMI::HDMI_Sample_Dimensions() const {
  return QString::number(source_width_) + QLatin1Char('*') + QString::number(source_height_);
}

std::int32_t cls_Capture_HDMI::last_Capture_delta() const {
  return capture_delta_ < 0 || capture_delta_ > largest_delta_ms ? 0 : capture_delta_;
}

// ---- per frame ----

void cls_Capture_HDMI::OnRGBEvent(const Captured_Frame &frame) {
  Guarded(where("IVideoCapEvent_OnRGBEvent"), [&] {
    if (!is_running_)
      return; // a frame that was under way when delivery stopped
    Take_Stamps(frame);
    hdmi_events_ = Checked_32(static_cast<long long>(hdmi_events_) + 1);
    frames_lost_ = frame.lost_total;
    Count_Rate(frame.capture_tick);
    if (hdmi_events_ == 21)
      tick_21_ = frame.capture_tick;
    if (hdmi_events_ == 31)
      tick_31_ = frame.capture_tick;
    arm_step_ += 1;
    if (arm_step_ > arm_steps)
      arm_step_ = 1;
    Read_Header(frame);
    if (do_crop_ && !Crop_RGB_picture(frame)) {
      Write_Trace("*Crop_RGB_picture failed, stopping all cameras");
      Stop_Capture();
      emit Stop_All_Cameras();
      return;
    }
    if (do_crop_)
      Keep_Or_Hold(frame);
    if (event_to_send_ == 1)
      emit HDMIreceived();
  });
}

void cls_Capture_HDMI::Take_Stamps(const Captured_Frame &frame) {
  last_capture_mill_ = frame.capture_tick;
  last_capture_local_ = frame.capture_local_ms;
  capture_delta_ = Ticks_Between(previous_tick_, frame.capture_tick);
  previous_tick_ = frame.capture_tick;
}

// The rate of each block of 50 frames, between the capture ticks of its first and last
// frames. The first frame of the object opens the first block.
void cls_Capture_HDMI::Count_Rate(std::int32_t tick) {
  if (!block_started_) {
    block_started_ = true;
    block_start_tick_ = tick;
    block_count_ = 0;
    return;
  }
  block_count_ += 1;
  if (block_count_ < rate_block_frames)
    return;
  const std::int32_t d = Ticks_Between(block_start_tick_, tick);
  if (d <= 0)
    return; // try again at the next frame
  running_fps_ = static_cast<float>(Divide_Half_Even(1000LL * rate_block_frames, d));
  block_start_tick_ = tick;
  block_count_ = 0;
}

void cls_Capture_HDMI::Read_Header(const Captured_Frame &frame) {
  if (!header_read_) {
    video_info_ = capture_->Current_Format();
    header_read_ = true;
  }
  // The crop works on the frame as delivered, so the size follows the frames.
  source_width_ = frame.width;
  source_height_ = frame.height;
  interlaced_ = frame.interlaced;
}

void cls_Capture_HDMI::OnErrorEvent(const QString &text) {
  Guarded(where("IVideoCapEvent_OnErrorEvent"), [&] {
    last_error_ = capture_ ? capture_->LastError() : text;
    if (last_error_.isEmpty())
      last_error_ = text;
    Write_Trace("*Capture source failed: ", text);
    // Delivery has stopped; the frames kept so far stay in the list for the heat file.
    is_running_ = false;
    Msg_Box(Capture_Run_Message(QStringLiteral("delivery"), text, last_error_));
    emit Capture_Failed(text);
  });
}
