#pragma once
// Runs one GStreamer source in one format: element ! capsfilter ! (jpegdec) ! videoconvert
// ! appsink(BGR). The appsink callback runs on the streaming thread: it stamps each buffer
// with its capture time (running time plus base time on the monotonic system clock),
// counts gaps in the buffer offsets as lost frames, applies the rate cap, repacks the rows
// bottom-up with 4-byte padding and hands the frame to the delivery queue.

#include "capture/Capture_Rate_Cap.h"
#include "capture/Frame_Delivery.h"
#include "capture/Gst_Source_List.h"

#include <QString>
#include <cstdint>
#include <mutex>

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

// Whether a delivered frame holds two fields: from its caps' interlace-mode, and for
// "mixed" streams from the buffer's own interlaced flag.
bool Gst_Frame_Interlaced(GstVideoInterlaceMode mode, GstBufferFlags flags);

class Gst_Pipeline {
public:
  explicit Gst_Pipeline(Frame_Delivery &delivery) : delivery_(delivery) {}
  ~Gst_Pipeline();
  Gst_Pipeline(const Gst_Pipeline &) = delete;
  Gst_Pipeline &operator=(const Gst_Pipeline &) = delete;

  // device nullptr: the live test pattern. cap_interval_ns 0: no rate cap.
  bool Start(GstDevice *device, const Gst_Format_Caps &caps, const Capture_Format &format, std::int64_t cap_interval_ns,
             QString *error);
  void Stop();
  bool Running() const { return pipeline_ != nullptr; }

private:
  bool Build(GstDevice *device, const Gst_Format_Caps &caps, QString *error);
  static GstFlowReturn On_New_Sample(GstAppSink *sink, gpointer self);
  static GstBusSyncReply On_Bus_Message(GstBus *bus, GstMessage *message, gpointer self);
  void Handle_Sample(GstAppSink *sink);
  QString Take_Bus_Error();

  Frame_Delivery &delivery_;
  GstElement *pipeline_ = nullptr;
  Capture_Rate_Cap rate_cap_;
  std::uint64_t previous_offset_ = 0;
  bool have_offset_ = false;
  std::uint64_t sequence_ = 0;
  std::int64_t pending_lost_ = 0;
  std::mutex error_mutex_;
  QString bus_error_;
  bool error_reported_ = false;
};
