#include "capture/Frame_Delivery.h"

#include "support/Failure.h"

#include <QMetaObject>

namespace {
constexpr std::size_t max_spare_buffers = 4;
} // namespace

Frame_Delivery::Frame_Delivery(std::size_t max_queued_frames)
    : max_queued_(max_queued_frames > 0 ? max_queued_frames : 1) {}

Frame_Delivery::~Frame_Delivery() { Close(); }

void Frame_Delivery::Open() {
  std::lock_guard lock(mutex_);
  queue_.clear();
  queued_frames_ = 0;
  accepting_ = true;
  delivered_ = 0;
  dropped_ = 0;
  lost_total_ = 0;
}

void Frame_Delivery::Close() {
  std::deque<Item> discarded;
  {
    std::lock_guard lock(mutex_);
    accepting_ = false;
    discarded.swap(queue_);
    queued_frames_ = 0;
  }
}

std::vector<std::uint8_t> Frame_Delivery::Acquire_Buffer(std::size_t bytes) {
  std::vector<std::uint8_t> buffer;
  {
    std::lock_guard lock(mutex_);
    if (!spare_.empty()) {
      buffer = std::move(spare_.back());
      spare_.pop_back();
    }
  }
  buffer.resize(bytes);
  return buffer;
}

void Frame_Delivery::Recycle(std::vector<std::uint8_t> pixels) {
  std::lock_guard lock(mutex_);
  if (spare_.size() < max_spare_buffers && pixels.capacity() > 0)
    spare_.push_back(std::move(pixels));
}

void Frame_Delivery::Post_Wake_Locked() {
  if (wake_posted_)
    return;
  wake_posted_ = true;
  QMetaObject::invokeMethod(
      &context_, [this] { Drain(); }, Qt::QueuedConnection);
}

void Frame_Delivery::Push_Frame(std::vector<std::uint8_t> pixels, const Captured_Frame &frame) {
  Item item;
  item.pixels = std::move(pixels);
  item.frame = frame;
  std::vector<std::uint8_t> dropped_pixels; // freed outside the lock
  std::lock_guard lock(mutex_);
  if (!accepting_)
    return;
  if (queued_frames_ >= max_queued_)
    dropped_pixels = Drop_Oldest_Locked(item);
  queue_.push_back(std::move(item));
  ++queued_frames_;
  Post_Wake_Locked();
}

std::vector<std::uint8_t> Frame_Delivery::Drop_Oldest_Locked(Item &incoming) {
  auto oldest = queue_.begin();
  while (oldest != queue_.end() && oldest->is_error)
    ++oldest;
  if (oldest == queue_.end())
    return {};
  const std::int64_t lost = 1 + oldest->frame.lost_before;
  std::vector<std::uint8_t> pixels = std::move(oldest->pixels);
  auto next = queue_.erase(oldest);
  while (next != queue_.end() && next->is_error)
    ++next;
  // The frame that now follows the gap carries the loss.
  (next != queue_.end() ? next->frame : incoming.frame).lost_before += lost;
  --queued_frames_;
  ++dropped_;
  return pixels;
}

void Frame_Delivery::Push_Error(const QString &text) {
  Item item;
  item.is_error = true;
  item.error = text;
  std::lock_guard lock(mutex_);
  if (!accepting_)
    return;
  queue_.push_back(std::move(item));
  Post_Wake_Locked();
}

std::int64_t Frame_Delivery::Delivered() const {
  std::lock_guard lock(mutex_);
  return delivered_;
}

std::int64_t Frame_Delivery::Dropped() const {
  std::lock_guard lock(mutex_);
  return dropped_;
}

void Frame_Delivery::Drain() {
  std::size_t budget = 0;
  {
    std::lock_guard lock(mutex_);
    wake_posted_ = false;
    budget = queue_.size();
  }
  // A sink that pumps events lands here again: the outer call keeps delivering in order.
  if (delivering_)
    return;
  delivering_ = true;
  // Deliver what was queued when this wake arrived, then give the event loop its turn.
  for (; budget > 0; --budget) {
    Item item;
    {
      std::lock_guard lock(mutex_);
      if (queue_.empty())
        break;
      item = std::move(queue_.front());
      queue_.pop_front();
      if (!item.is_error) {
        --queued_frames_;
        ++delivered_;
      }
    }
    Deliver(item);
  }
  delivering_ = false;
  std::lock_guard lock(mutex_);
  if (!queue_.empty())
    Post_Wake_Locked();
}

void Frame_Delivery::Deliver(Item &item) {
  Guarded(QStringLiteral("Deliver of Class Frame_Delivery"), [&] {
    if (item.is_error) {
      if (error_handler_)
        error_handler_(item.error);
      if (sink_)
        sink_->OnErrorEvent(item.error);
      return;
    }
    lost_total_ += item.frame.lost_before;
    item.frame.lost_total = lost_total_;
    item.frame.data = item.pixels.data();
    item.frame.length = item.pixels.size();
    if (sink_)
      sink_->OnRGBEvent(item.frame);
  });
  if (!item.is_error)
    Recycle(std::move(item.pixels));
}
