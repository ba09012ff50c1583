#include "app/ui/Race_Demo.h"

#include "app/Kit_Controller.h"
#include "app/Kit_Timing.h"
#include "app/Simulated_Kit.h"
#include "app/ui/Form_Lurcher.h"
#include "capture/Module_HDMI_Support.h"
#include "capture/Test_Track_Component.h"
#include "capture/cls_Capture_HDMI.h"
#include "recording/CVideobuff_RGB.h"

#include "support/Clock.h"
#include "support/Globals.h"
#include "support/Settings_Store.h"
#include "support/Trace.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>

namespace {
constexpr std::int32_t rate_wait_ms = 20000;
// Races run every 20 s from the camera's start; the next one may be nearly that far off.
constexpr std::int32_t race_wait_ms = 25000;
constexpr std::int32_t after_last_dog_ms = 400;
constexpr int start_input = 2;
constexpr int capture_input = 3;
// The classic finish camera: a narrow upright strip of a 25 fps interlaced picture, the
// window's default crop.
constexpr std::int32_t demo_crop_x = 400;
constexpr std::int32_t demo_crop_y = 880;
constexpr std::int64_t frame_time_25_fps = 400000;

// The smallest 25 fps interlaced format of the selected source whose picture holds the
// whole crop (a smaller picture leaves black bands in it); -1 when none does.
int Format_Holding_Crop(Capture_Component &source, std::int32_t crop_x, std::int32_t crop_y) {
  int best = -1;
  std::int64_t best_pixels = 0;
  const int count = source.GetValue(QStringLiteral("numprops")).toInt();
  for (int k = 0; k < count; ++k) {
    const std::optional<Capture_Format> format = source.Format_Record(k);
    if (!format || !format->interlaced || format->frame_time_100ns != frame_time_25_fps || format->width < crop_x ||
        format->height < crop_y)
      continue;
    const std::int64_t pixels = std::int64_t{format->width} * format->height;
    if (best < 0 || pixels < best_pixels) {
      best = k;
      best_pixels = pixels;
    }
  }
  return best;
}

// The latest cross tick of a truth text.
std::int32_t Last_Cross(const QString &truth) {
  std::int32_t last = 0;
  bool first = true;
  for (const QString &line : truth.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
    const std::int32_t tick = line.section(QLatin1Char(' '), 1, 1).toInt();
    if (first || Ticks_Between(last, tick) > 0)
      last = tick;
    first = false;
  }
  return last;
}
} // namespace

void Race_Demo::Choose_Test_Track() {
  namespace M = Module_HDMI_Support;
  Test_Track_Component track;
  track.SelectSource(QStringLiteral("video:1"));
  const int format = Format_Holding_Crop(track, demo_crop_x, demo_crop_y);
  Trace_String(
      QStringLiteral("*Demo: test track format %1 for the crop %2*%3").arg(format).arg(demo_crop_x).arg(demo_crop_y));
  Write_INI(M::Settings_Section, M::Key_Friendly_Name, track.GetValue(QStringLiteral("sourceFriendlyName")),
            Globals::Ini_File);
  Write_INI(M::Settings_Section, M::Key_Video_Property, QString::number(std::max(format, 0)), Globals::Ini_File);
  Write_INI(QStringLiteral("Settings"), QStringLiteral("lastcrop"),
            QStringLiteral("%1*%2").arg(demo_crop_x).arg(demo_crop_y), Globals::Ini_File);
}

bool Race_Demo::Wait_For(const std::function<bool()> &done, std::int32_t timeout_ms) {
  QElapsedTimer waited;
  waited.start();
  while (!done()) {
    if (waited.elapsed() > timeout_ms)
      return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return true;
}

void Race_Demo::Set_Input(int index, bool on) {
  if (auto *kit = dynamic_cast<Simulated_Kit *>(form_.obj_Phidget.get()))
    kit->Set_Input(index, on);
}

QString Race_Demo::Track_Truth() {
  return form_.obj_Capture_HDMI ? form_.obj_Capture_HDMI->Component().GetValue(QStringLiteral("TrackTruth"))
                                : QString();
}

Race_Demo_Result Race_Demo::Run() {
  Race_Demo_Result result;
  result.ok = Record_Heat(result);
  return result;
}

bool Race_Demo::Record_Heat(Race_Demo_Result &r) {
  if (!dynamic_cast<Simulated_Kit *>(form_.obj_Phidget.get()) || !form_.obj_Capture_HDMI) {
    r.failure = QStringLiteral("the demo needs the simulated kit and the capture object");
    return false;
  }
  if (!Wait_For([&] { return form_.Phidget_Attached() && !Kit_Timing::In_Capture_End_Grace(Tick()); }, 5000)) {
    r.failure = QStringLiteral("the simulated kit did not attach");
    return false;
  }
  Trace_String(QStringLiteral("*Demo: start camera"));
  form_.Command_start_camera_Click();
  if (!form_.Camera_Running() || !Wait_For([&] { return form_.obj_Capture_HDMI->Running_Fps() > 0; }, rate_wait_ms)) {
    r.failure = QStringLiteral("the camera measured no frame rate");
    return false;
  }
  form_.Command_initiate_file_Click();
  if (form_.Current_File.isEmpty()) {
    r.failure = QStringLiteral("no heat file was initiated");
    return false;
  }
  r.heat_file = form_.Current_File;
  const QString earlier = Track_Truth();
  if (!Wait_For([&] { return !Track_Truth().isEmpty() && Track_Truth() != earlier; }, race_wait_ms)) {
    r.failure = QStringLiteral("the test track ran no new race");
    return false;
  }
  r.truth = Track_Truth();
  Set_Input(start_input, true);
  if (!Wait_For([&] { return form_.Heat_Running; }, 2000)) {
    r.failure = QStringLiteral("the start signal started no heat");
    return false;
  }
  r.start_tick = form_.Heat_Start_Tick;
  Set_Input(start_input, false);
  Set_Input(capture_input, true);
  const std::int32_t last_cross = Last_Cross(r.truth);
  // Released once frames from past the last crossing have come in.
  Wait_For(
      [&] {
        return !Frame_Buffers().empty() &&
               Ticks_Between(last_cross, Frame_Buffers().back()->Capture_Mill()) > after_last_dog_ms;
      },
      race_wait_ms);
  r.frames = static_cast<std::int32_t>(Frame_Buffers().size());
  Set_Input(capture_input, false);
  if (!Wait_For([&] { return Frame_Buffers().empty() && !form_.Capturing; }, 30000)) {
    r.failure = QStringLiteral("the captured frames were not written");
    return false;
  }
  r.append_seconds = form_.Last_Append_Seconds;
  form_.Command_finish_Click();
  return true;
}
