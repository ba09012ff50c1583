#pragma once
// The capture component: enumerates video sources, runs one of them and hands every frame,
// stamped at capture, to a sink on the user-interface thread. One class per backend sits
// behind it: GStreamer devices and the live test pattern (Gst_Capture_Component), and the
// built-in test track (Test_Track_Component). The program's component
// (Combined_Capture_Component) lists the sources of both, one after another.
//
// Threading: create, call and destroy the component on the user-interface thread (a thread
// with a running Qt event loop). Frames and errors are delivered on that thread as queued
// events, in capture order, one at a time: a sink call never nests inside another one, even
// when the sink pumps events. If the thread falls far behind, the oldest undelivered frames
// are dropped and counted as lost, unless every frame is to be kept (Set_Keep_Every_Frame).

#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

// One format of a source. Frame time in 100-ns units (400000 = 25 fps, 333667 = 29.97 fps).
struct Capture_Format {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int64_t frame_time_100ns = 0;
  // Bytes of one delivered frame: height x (3 x width rounded up to a multiple of 4).
  std::int32_t image_size = 0;
  // What the device delivers: "RGB24", "BGR24", "YUY2", "NV12", "MJPG", ... Frames always
  // reach the sink as 24-bit BGR.
  QString subtype;
  // The frames hold two fields 20 ms apart in alternate rows (GStreamer: an interlace-mode
  // other than progressive).
  bool interlaced = false;
};

// One delivered frame. The pixel bytes are valid only during the sink call.
struct Captured_Frame {
  // 24-bit blue-green-red pixels, rows bottom-up, each row padded to a multiple of 4 bytes
  // (the cDIBSection layout).
  const std::uint8_t *data = nullptr;
  std::size_t length = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t stride = 0; // bytes per row: 3 x width rounded up to 4
  // Millisecond tick (CLOCK_MONOTONIC, 32-bit, wrapping) of the moment the device captured
  // the frame, and the local time of day of that moment in milliseconds since midnight.
  std::int32_t capture_tick = 0;
  std::int32_t capture_local_ms = 0;
  // The device's sequence number of this frame (buffer offset, counting from 0 at Run).
  std::uint64_t sequence = 0;
  // Frames lost just before this one (device gaps and frames dropped on the way), and the
  // total lost since Run.
  std::int64_t lost_before = 0;
  std::int64_t lost_total = 0;
  // Two fields in alternate rows, the top line's field captured first, at capture_tick, the
  // other one a field period later. Follows the frame as delivered, not the format asked for.
  bool interlaced = false;
};

// The sink. Both calls arrive on the user-interface thread.
class IVideoCapEvent {
public:
  virtual ~IVideoCapEvent() = default;
  virtual void OnRGBEvent(const Captured_Frame &frame) = 0;
  // The running source failed (device unplugged, format refused, stream error). Delivery has
  // stopped; LastError holds the same text.
  virtual void OnErrorEvent(const QString &text) { static_cast<void>(text); }
};

class Capture_Component {
public:
  virtual ~Capture_Component() = default;

  // Registers the sink; returns a nonzero cookie. Only one sink at a time: a new one
  // replaces the old.
  virtual std::int32_t AdviseSink(IVideoCapEvent *sink) = 0;
  // No more calls to that sink after this returns.
  virtual void UnadviseSink(std::int32_t cookie) = 0;

  // "video:1", "video:2", ...: true when that source exists (numbered without gaps). Stops a
  // running source first.
  virtual bool SelectSource(const QString &name) = 0;
  // Sources "video:1" to "video:n" exist.
  virtual int Source_Count() = 0;

  // Names match without regard to case:
  //   "sourceFriendlyName", "sourceDescription", "BuildNumber";
  //   "numprops"  - number of formats of the selected source;
  //   "getAMTnn"  - format nn (two digits from 00): the format number as text when it exists,
  //                 empty otherwise; the record itself through Format_Record(nn);
  //   "GetProp"   - number of the format in use; its record through Current_Format();
  //   "VIDEOINFOHEADER" - the same as "GetProp";
  //   "MaxInterval", "MinInterval" - frame interval limits in 100-ns units;
  //   "TrackTruth" - test track only: one line per dog of the latest race, "box tick".
  // Unknown names give an empty text and set LastError.
  virtual QString GetValue(const QString &name) = 0;
  // "SetFormat" (format number), "CaptureFps" ("25" caps at 25 frames per second, "0" lifts
  // the cap), "GetIntervals" ("0": refresh Max/MinInterval), "TrackSeed" (test track: the seed
  // of the race generator). Returns false and sets LastError when refused.
  virtual bool SetValue(const QString &name, const QString &value) = 0;

  // The typed records behind "getAMTnn", "GetProp" and "VIDEOINFOHEADER".
  virtual std::optional<Capture_Format> Format_Record(int format_number) const = 0;
  virtual std::optional<Capture_Format> Current_Format() const = 0;

  // Starts and stops frame delivery. Run returns false (and sets LastError) when the source
  // cannot start. Stop discards frames not yet delivered.
  virtual bool Run() = 0;
  virtual void Stop() = 0;
  virtual bool Is_Running() const = 0;

  // While on, the delivery queue keeps every frame however far the user-interface thread
  // falls behind (a capture in progress: no kept frame may be lost while the window waits on
  // a message box). Off, the queue is bounded again and the oldest frames beyond the bound
  // are dropped and counted as lost. The setting outlasts Run and Stop.
  virtual void Set_Keep_Every_Frame(bool keep) = 0;

  // Text of the last failure, empty if none.
  virtual QString LastError() const = 0;
};

// Creates the component (GStreamer devices, the test pattern when LURCHER_GST_TEST_SOURCE=1,
// then the test track last). Tests of users may install another factory; nullptr restores
// the real one.
std::unique_ptr<Capture_Component> Create_Capture_Component();
// The friendly name of the built-in source that needs no camera: the default on a machine
// without one.
QString Embedded_Source_Friendly_Name();
using Capture_Component_Factory = std::function<std::unique_ptr<Capture_Component>()>;
void Set_Capture_Component_Factory(Capture_Component_Factory factory);
