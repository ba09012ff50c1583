// The crop, the frame buffer list and the drawing of the capture object.

#include "capture/Frame_Buffer.h"
#include "capture/cls_Capture_HDMI.h"
#include "recording/CVideobuff_RGB.h"
#include "support/Checked.h"
#include "support/Clock.h"
#include "support/Draw_Surface.h"
#include "support/Failure.h"
#include "support/Operator.h"
#include "support/Trace.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
constexpr int bytes_per_pixel = 3;
constexpr double arm_pi = 3.14159;
constexpr double arm_quarter_turn = 1.570795;
constexpr std::int32_t arm_widest_pen = 4;

constexpr Location_Of where{"Class", "cls_Capture_HDMI"};

const QString memory_full_message = QStringLiteral(
    "Capture memory is full: capture has stopped keeping frames.\r\nThe frames kept so far stay and are written "
    "to the heat file as usual.");

bool Frame_Usable(const Captured_Frame &frame) {
  if (!frame.data || frame.width <= 0 || frame.height <= 0)
    return false;
  if (static_cast<std::int64_t>(frame.stride) < static_cast<std::int64_t>(frame.width) * bytes_per_pixel)
    return false;
  return static_cast<std::int64_t>(frame.length) >= static_cast<std::int64_t>(frame.stride) * frame.height;
}

QColor Colour_Of(std::int32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }
} // namespace

// Copies the centred crop out of the frame, row for row. Parts of the crop that lie outside
// a smaller frame stay black. false when the frame or the crop bitmap cannot be used.
bool cls_Capture_HDMI::Crop_RGB_picture(const Captured_Frame &frame) {
  crop_left_ = static_cast<std::int32_t>(Round_Half_Even(source_width_ / 2.0 - crop_x_ / 2.0));
  crop_top_ = static_cast<std::int32_t>(Round_Half_Even(source_height_ / 2.0 - crop_y_ / 2.0));
  if (crop_dib_.Width() != crop_x_ || !crop_dib_.Created())
    crop_dib_.Create(crop_x_, crop_y_);
  if (!crop_dib_.Created() || !Frame_Usable(frame))
    return false;
  std::uint8_t *target = crop_dib_.DIBSectionBitsPtr();
  const std::int64_t target_stride = crop_dib_.BytesPerScanLine();
  const std::int32_t first_x = std::max(crop_left_, 0);
  const std::int32_t end_x = std::min(crop_left_ + crop_x_, frame.width);
  const bool whole_rows = crop_left_ >= 0 && end_x == crop_left_ + crop_x_;
  const std::int64_t row_bytes = static_cast<std::int64_t>(std::max(end_x - first_x, 0)) * bytes_per_pixel;
  const std::int64_t target_offset = static_cast<std::int64_t>(first_x - crop_left_) * bytes_per_pixel;
  for (std::int32_t cy = 0; cy < crop_y_; ++cy) {
    std::uint8_t *out = target + static_cast<std::int64_t>(crop_y_ - 1 - cy) * target_stride;
    const std::int32_t sy = crop_top_ + cy; // picture line of the frame, from its top
    if (sy < 0 || sy >= frame.height || row_bytes == 0) {
      std::memset(out, 0, static_cast<std::size_t>(target_stride));
      continue;
    }
    if (!whole_rows)
      std::memset(out, 0, static_cast<std::size_t>(target_stride));
    const std::uint8_t *in = frame.data + static_cast<std::int64_t>(frame.height - 1 - sy) * frame.stride +
                             static_cast<std::int64_t>(first_x) * bytes_per_pixel;
    std::memcpy(out + target_offset, in, static_cast<std::size_t>(row_bytes));
  }
  return true;
}

// ---- the frame buffer list ----

void cls_Capture_HDMI::Set_Post_linear(bool store) {
  if (store && !post_linear_) {
    buffer_filled_ = false; // a new capture may keep frames again once the list was drained
    Frame_Buffer::Refresh_Budget();
  }
  post_linear_ = store;
}

void cls_Capture_HDMI::Set_MaxFrames(std::int32_t frames) {
  max_frames_ = frames;
  num_buffers_stored_ = 0;
  buffer_filled_ = false;
}

void cls_Capture_HDMI::Store_HDMI_Buffer() {
  Guarded(where("Store_HDMI_Buffer"), [this] {
    if (hdmi_events_ == 0) {
      Write_Trace("m_HDMI_events = 0");
      return;
    }
    if (buffer_filled_)
      return;
    if (!crop_dib_.Created()) {
      Write_Trace("*Store_HDMI_Buffer: no cropped frame");
      return;
    }
    const std::int32_t size = crop_dib_.SizeImage();
    if (!Frame_Buffer::Room_For(size)) {
      Report_Memory_Full();
      return;
    }
    record_pool_.Prepare(size); // the crop may have changed size
    std::unique_ptr<CVideobuff_RGB> record = record_pool_.Take(size);
    record->FillData_RGB(crop_dib_.DIBSectionBitsPtr());
    record->PutTimestamp(last_capture_mill_, last_capture_local_, capture_delta_);
    Frame_Buffers().push_back(std::move(record));
    num_buffers_stored_ = Checked_32(static_cast<long long>(num_buffers_stored_) + 1);
  });
}

// ---- a capture, by capture ticks ----

void cls_Capture_HDMI::Begin_Keeping(std::int32_t start_tick) {
  Guarded(where("Begin_Keeping"), [&] {
    Set_Post_linear(true);
    keeping_ = true;
    keep_from_tick_ = start_tick;
    keep_until_tick_.reset();
    end_frame_seen_ = false;
    capture_lost_ = 0;
    // While a capture runs the delivery may not drop a frame to catch up.
    capture_->Set_Keep_Every_Frame(true);
    // Frames captured after the signal that were shown before it was handled.
    std::int32_t moved = 0;
    while (!recent_.empty()) {
      std::unique_ptr<CVideobuff_RGB> record = std::move(recent_.front());
      recent_.pop_front();
      if (Ticks_Between(start_tick, record->Capture_Mill()) < 0)
        continue;
      Frame_Buffers().push_back(std::move(record));
      num_buffers_stored_ = Checked_32(static_cast<long long>(num_buffers_stored_) + 1);
      moved += 1;
    }
    Write_Trace(QStringLiteral("*Begin_Keeping at tick %1, %2 frame(s) captured since").arg(start_tick).arg(moved));
  });
}

void cls_Capture_HDMI::End_Keeping(std::int32_t end_tick) {
  Guarded(where("End_Keeping"), [&] {
    if (!keeping_)
      return;
    keep_until_tick_ = end_tick;
    // Frames captured after the signal that were shown before it was handled leave the
    // capture again, newest last.
    Frame_Buffer_List &frames = Frame_Buffers();
    std::deque<std::unique_ptr<CVideobuff_RGB>> after;
    while (!frames.empty() && Ticks_Between(end_tick, frames.back()->Capture_Mill()) > 0) {
      after.push_front(std::move(frames.back()));
      frames.pop_back();
      num_buffers_stored_ = std::max(num_buffers_stored_ - 1, 0);
    }
    for (std::unique_ptr<CVideobuff_RGB> &record : after)
      recent_.push_back(std::move(record));
    end_frame_seen_ = !after.empty() || (hdmi_events_ > 0 && Ticks_Between(end_tick, last_capture_mill_) > 0);
    Write_Trace(QStringLiteral("*End_Keeping at tick %1").arg(end_tick));
  });
}

void cls_Capture_HDMI::Stop_Keeping() {
  Guarded(where("Stop_Keeping"), [&] {
    if (!keeping_)
      return;
    keeping_ = false;
    Set_Post_linear(false);
    capture_->Set_Keep_Every_Frame(false);
    Write_Trace(QStringLiteral("*Stop_Keeping, %1 frame(s) kept, %2 lost").arg(Buff_Num()).arg(capture_lost_));
  });
}

// A frame of the capture is kept; any other is held for the look back.
void cls_Capture_HDMI::Keep_Or_Hold(const Captured_Frame &frame) {
  const std::int32_t tick = frame.capture_tick;
  if (!keeping_ || Ticks_Between(keep_from_tick_, tick) < 0) {
    Hold_Recent(tick);
    return;
  }
  if (keep_until_tick_ && Ticks_Between(*keep_until_tick_, tick) > 0) {
    // Frames lost just before the first frame past the end belong to the capture.
    if (!end_frame_seen_)
      capture_lost_ += frame.lost_before;
    end_frame_seen_ = true;
    Hold_Recent(tick);
    return;
  }
  capture_lost_ += frame.lost_before;
  Store_HDMI_Buffer();
}

void cls_Capture_HDMI::Hold_Recent(std::int32_t tick) {
  if (!crop_dib_.Created())
    return;
  const std::int32_t size = crop_dib_.SizeImage();
  std::unique_ptr<CVideobuff_RGB> record;
  while (!recent_.empty() && Ticks_Between(recent_.front()->Capture_Mill(), tick) > look_back_ms) {
    record = std::move(recent_.front());
    recent_.pop_front();
  }
  if (!record || record->RGB_Length() != size)
    record = record_pool_.Take(size);
  record->FillData_RGB(crop_dib_.DIBSectionBitsPtr());
  record->PutTimestamp(last_capture_mill_, last_capture_local_, capture_delta_);
  recent_.push_back(std::move(record));
}

void cls_Capture_HDMI::Report_Memory_Full() {
  buffer_filled_ = true; // before the message, which processes events
  record_pool_.Prepare(0);
  Write_Trace("*Capture memory full, frames kept = ", Buff_Num());
  Msg_Box(memory_full_message, Msg_Buttons::OK, Msg_Icon::Exclamation);
}

std::int32_t cls_Capture_HDMI::Buff_Num() const {
  return Guarded(where("Buff_Num"), std::int32_t{0},
                 [] { return Checked_32(static_cast<long long>(Frame_Buffers().size())); });
}

std::int32_t cls_Capture_HDMI::Effective_Video_Object(std::int32_t i) const { return i; }

void cls_Capture_HDMI::Clear_Linear_Buffer() {
  Write_Trace("*Clear_Linear_Buffer");
  Frame_Buffers().clear();
}

// ---- drawing ----

void cls_Capture_HDMI::Draw_Running_Arm_2(Draw_Surface &surface, std::int32_t colour, const QColor &back_colour) {
  Guarded(where("Draw_Running_Arm_2"), [&] {
    QPainter &p = surface.Painter();
    if (!p.isActive())
      return;
    const std::int32_t w = surface.ScaleWidth();
    const std::int32_t h = surface.ScaleHeight();
    p.save();
    p.fillRect(0, 0, w, h, back_colour);
    const double angle = arm_step_ / 100.0 * 2 * arm_pi - arm_quarter_turn;
    const double cx = w / 2;
    const double cy = h / 2;
    const auto pen_width = std::clamp<long long>(Round_Half_Even(w / 8.0), 1, arm_widest_pen);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Colour_Of(colour), static_cast<qreal>(pen_width)));
    p.drawLine(QPointF(cx + cx * std::cos(angle), cy + cy * std::sin(angle)), QPointF(cx, cy));
    p.restore();
  });
}

void cls_Capture_HDMI::Draw_Cropped_DIB(Draw_Surface &surface) {
  Guarded(where("Draw_Cropped_DIB"),
          [&] { crop_dib_.DIB_PaintPicture(surface, 0, 0, surface.ScaleWidth(), surface.ScaleHeight()); });
}
