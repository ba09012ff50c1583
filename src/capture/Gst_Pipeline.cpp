#include "capture/Gst_Pipeline.h"

#include "capture/Capture_Stamp.h"
#include "imaging/Image_Routines.h"
#include "support/Trace.h"

#include <cstring>

namespace {

GstElement *Make(const char *factory, const char *name, QString *error) {
  GstElement *element = gst_element_factory_make(factory, name);
  if (!element && error)
    *error = QStringLiteral("GStreamer element %1 is not installed").arg(QString::fromUtf8(factory));
  return element;
}

GstClock *Monotonic_Clock() {
  GstClock *clock = GST_CLOCK(g_object_new(GST_TYPE_SYSTEM_CLOCK, "clock-type", GST_CLOCK_TYPE_MONOTONIC, nullptr));
  gst_object_ref_sink(clock);
  return clock;
}

void Repack_Bottom_Up(const GstVideoFrame &source, std::uint8_t *target, std::int32_t target_stride) {
  const int width = GST_VIDEO_FRAME_WIDTH(&source);
  const int height = GST_VIDEO_FRAME_HEIGHT(&source);
  const int source_stride = GST_VIDEO_FRAME_PLANE_STRIDE(&source, 0);
  const auto *pixels = static_cast<const std::uint8_t *>(GST_VIDEO_FRAME_PLANE_DATA(&source, 0));
  const std::size_t row_bytes = static_cast<std::size_t>(width) * 3;
  for (int y = 0; y < height; ++y) {
    std::uint8_t *row = target + static_cast<std::ptrdiff_t>(height - 1 - y) * target_stride;
    std::memcpy(row, pixels + static_cast<std::ptrdiff_t>(y) * source_stride, row_bytes);
    std::memset(row + row_bytes, 0, static_cast<std::size_t>(target_stride) - row_bytes);
  }
}

} // namespace

bool Gst_Frame_Interlaced(GstVideoInterlaceMode mode, GstBufferFlags flags) {
  switch (mode) {
  case GST_VIDEO_INTERLACE_MODE_PROGRESSIVE:
    return false;
  case GST_VIDEO_INTERLACE_MODE_MIXED:
    return (static_cast<guint>(flags) & static_cast<guint>(GST_VIDEO_BUFFER_FLAG_INTERLACED)) != 0;
  default: // interleaved, alternate, fields
    return true;
  }
}

Gst_Pipeline::~Gst_Pipeline() { Stop(); }

bool Gst_Pipeline::Build(GstDevice *device, const Gst_Format_Caps &caps, QString *error) {
  GstElement *source = device ? gst_device_create_element(device, "source") : Make("videotestsrc", "source", error);
  if (!source) {
    if (error && error->isEmpty())
      *error = QStringLiteral("The video device cannot be opened");
    return false;
  }
  if (!device) {
    g_object_set(source, "is-live", TRUE, nullptr);
    // LURCHER_GST_TEST_SOURCE_FRAMES=n: the pattern ends after n frames, as an unplugged
    // device would, so that the failure path can be driven without hardware.
    bool counted = false;
    const int frames = qEnvironmentVariableIntValue("LURCHER_GST_TEST_SOURCE_FRAMES", &counted);
    if (counted && frames > 0)
      g_object_set(source, "num-buffers", frames, nullptr);
  }
  GstElement *filter = Make("capsfilter", "format", error);
  GstElement *decoder = caps.jpeg ? Make("jpegdec", "decoder", error) : nullptr;
  GstElement *convert = Make("videoconvert", "convert", error);
  GstElement *sink = Make("appsink", "sink", error);
  pipeline_ = gst_pipeline_new("capture");
  for (GstElement *element : {source, filter, decoder, convert, sink})
    if (element)
      gst_bin_add(GST_BIN(pipeline_), element);
  if (!filter || !convert || !sink || (caps.jpeg && !decoder))
    return false;
  GstCaps *wanted = gst_caps_from_string(caps.caps.toUtf8().constData());
  g_object_set(filter, "caps", wanted, nullptr);
  gst_caps_unref(wanted);
  GstCaps *bgr = gst_caps_from_string("video/x-raw,format=BGR");
  g_object_set(sink, "caps", bgr, "sync", FALSE, "max-buffers", 4u, nullptr);
  gst_caps_unref(bgr);
  const bool linked = decoder ? gst_element_link_many(source, filter, decoder, convert, sink, nullptr)
                              : gst_element_link_many(source, filter, convert, sink, nullptr);
  if (!linked) {
    if (error)
      *error = QStringLiteral("The video pipeline cannot be linked for %1").arg(caps.caps);
    return false;
  }
  GstAppSinkCallbacks callbacks{};
  callbacks.new_sample = &Gst_Pipeline::On_New_Sample;
  gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, this, nullptr);
  GstClock *clock = Monotonic_Clock();
  gst_pipeline_use_clock(GST_PIPELINE(pipeline_), clock);
  gst_object_unref(clock);
  GstBus *bus = gst_pipeline_get_bus(GST_PIPELINE(pipeline_));
  gst_bus_set_sync_handler(bus, &Gst_Pipeline::On_Bus_Message, this, nullptr);
  gst_object_unref(bus);
  return true;
}

bool Gst_Pipeline::Start(GstDevice *device, const Gst_Format_Caps &caps, const Capture_Format &format,
                         std::int64_t cap_interval_ns, QString *error) {
  Stop();
  {
    std::lock_guard lock(error_mutex_);
    bus_error_.clear();
    error_reported_ = false;
  }
  have_offset_ = false;
  sequence_ = 0;
  pending_lost_ = 0;
  rate_cap_.Reset(cap_interval_ns, format.frame_time_100ns * 100);
  QString failure;
  if (!Gst_Ensure_Initialised(&failure) || !Build(device, caps, &failure)) {
    Stop();
    if (error)
      *error = failure.isEmpty() ? QStringLiteral("The video pipeline cannot be built") : failure;
    return false;
  }
  if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
    failure = Take_Bus_Error();
    Stop();
    if (error)
      *error = failure.isEmpty() ? QStringLiteral("The video source refused to start") : failure;
    return false;
  }
  return true;
}

void Gst_Pipeline::Stop() {
  if (!pipeline_)
    return;
  {
    // Errors raised while shutting down are not news for the operator.
    std::lock_guard lock(error_mutex_);
    error_reported_ = true;
  }
  gst_element_set_state(pipeline_, GST_STATE_NULL);
  GstBus *bus = gst_pipeline_get_bus(GST_PIPELINE(pipeline_));
  gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
  gst_object_unref(bus);
  gst_object_unref(pipeline_);
  pipeline_ = nullptr;
}

QString Gst_Pipeline::Take_Bus_Error() {
  std::lock_guard lock(error_mutex_);
  error_reported_ = true;
  return bus_error_;
}

GstBusSyncReply Gst_Pipeline::On_Bus_Message(GstBus *, GstMessage *message, gpointer self) {
  auto *pipeline = static_cast<Gst_Pipeline *>(self);
  QString text;
  if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
    GError *failure = nullptr;
    gchar *debug = nullptr;
    gst_message_parse_error(message, &failure, &debug);
    text = failure ? QString::fromUtf8(failure->message) : QStringLiteral("Video source error");
    Write_Trace("*Capture pipeline error:", text, QString::fromUtf8(debug ? debug : ""));
    if (failure)
      g_error_free(failure);
    g_free(debug);
  } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS) {
    text = QStringLiteral("The video source stopped delivering frames");
  }
  if (!text.isEmpty()) {
    std::lock_guard lock(pipeline->error_mutex_);
    if (pipeline->bus_error_.isEmpty())
      pipeline->bus_error_ = text;
    if (!pipeline->error_reported_) {
      pipeline->error_reported_ = true;
      pipeline->delivery_.Push_Error(text);
    }
  }
  gst_message_unref(message);
  return GST_BUS_DROP;
}

GstFlowReturn Gst_Pipeline::On_New_Sample(GstAppSink *sink, gpointer self) {
  static_cast<Gst_Pipeline *>(self)->Handle_Sample(sink);
  return GST_FLOW_OK;
}

void Gst_Pipeline::Handle_Sample(GstAppSink *sink) {
  GstSample *sample = gst_app_sink_pull_sample(sink);
  if (!sample)
    return;
  GstBuffer *buffer = gst_sample_get_buffer(sample);
  GstVideoInfo info;
  if (!buffer || !gst_video_info_from_caps(&info, gst_sample_get_caps(sample))) {
    gst_sample_unref(sample);
    return;
  }
  // Capture time: running time through the segment plus the base time, on the pipeline's
  // monotonic clock.
  GstClockTime capture_ns = GST_CLOCK_TIME_NONE;
  if (GST_BUFFER_PTS_IS_VALID(buffer)) {
    const GstClockTime running =
        gst_segment_to_running_time(gst_sample_get_segment(sample), GST_FORMAT_TIME, GST_BUFFER_PTS(buffer));
    if (GST_CLOCK_TIME_IS_VALID(running))
      capture_ns = running + gst_element_get_base_time(pipeline_);
  }
  if (!GST_CLOCK_TIME_IS_VALID(capture_ns)) {
    GstClock *clock = gst_element_get_clock(pipeline_);
    capture_ns = clock ? gst_clock_get_time(clock) : 0;
    if (clock)
      gst_object_unref(clock);
  }
  const std::uint64_t offset = GST_BUFFER_OFFSET(buffer);
  if (offset != GST_BUFFER_OFFSET_NONE) {
    if (have_offset_ && offset > previous_offset_ + 1)
      pending_lost_ += static_cast<std::int64_t>(offset - previous_offset_ - 1);
    previous_offset_ = offset;
    have_offset_ = true;
    sequence_ = offset;
  } else {
    ++sequence_;
  }
  if (!rate_cap_.Pass(static_cast<std::int64_t>(capture_ns))) {
    gst_sample_unref(sample);
    return;
  }
  GstVideoFrame video{};
  if (gst_video_frame_map(&video, &info, buffer, GST_MAP_READ)) {
    Captured_Frame frame;
    frame.width = GST_VIDEO_FRAME_WIDTH(&video);
    frame.height = GST_VIDEO_FRAME_HEIGHT(&video);
    frame.stride = static_cast<std::int32_t>(DIB_Row_Bytes(frame.width));
    std::vector<std::uint8_t> pixels =
        delivery_.Acquire_Buffer(static_cast<std::size_t>(frame.stride) * static_cast<std::size_t>(frame.height));
    Repack_Bottom_Up(video, pixels.data(), frame.stride);
    gst_video_frame_unmap(&video);
    const Capture_Stamp stamp = Stamp_Of_Capture(capture_ns / GST_MSECOND);
    frame.capture_tick = stamp.tick;
    frame.capture_local_ms = stamp.local_ms;
    frame.sequence = sequence_;
    frame.lost_before = pending_lost_;
    frame.interlaced = Gst_Frame_Interlaced(GST_VIDEO_INFO_INTERLACE_MODE(&info),
                                            static_cast<GstBufferFlags>(GST_BUFFER_FLAGS(buffer)));
    pending_lost_ = 0;
    delivery_.Push_Frame(std::move(pixels), frame);
  }
  gst_sample_unref(sample);
}
