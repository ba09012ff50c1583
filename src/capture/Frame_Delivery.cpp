#include "capture/Frame_Delivery.h"

#include "support/Failure.h"

#include <QMetaObject>

namespace {
constexpr std::size_t max_spare_buffers = 4;
// Beyond the bound the memory state is read every so many frames: /proc/meminfo costs
// little, but the streaming thread has no time to spare.
constexpr std::size_t frames_between_memory_probes = 10;

// Whether the PC is down to an eighth of its memory; unknown memory is never short.
bool Short_Of_Memory(const Frame_Buffer::Memory_State &memory) {
  return memory.total > 0 && memory.available < memory.total / 8;
}
} // namespace

Frame_Delivery::Frame_Delivery(std::size_t max_queued_frames)
    : max_queued_(max_queued_frames > 0 ? max_queued_frames : 1) {}

Frame_Delivery::~Frame_Delivery() { Close(); }

void Frame_Delivery::Open() {
  std::lock_guard lock(mutex_);
  queue_.clear();
  queued_frames_ = 0;
  accepting_ = true;
  pending_lost_ = 0;
  delivered_ = 0;
  dropped_ = 0;
  lost_total_ = 0;
}

void Frame_Delivery::Set_Keep_Every_Frame(bool keep) {
  std::vector<std::vector<std::uint8_t>> dropped; // freed outside the lock
  std::lock_guard lock(mutex_);
  keep_every_frame_ = keep;
  memory_short_ = false;
  pushes_since_probe_ = 0;
  if (keep)
    return;
  while (queued_frames_ > max_queued_) {
    const std::size_t before = queued_frames_;
    dropped.push_back(Drop_Oldest_Locked(nullptr));
    if (queued_frames_ == before)
      break;
  }
}

bool Frame_Delivery::Keep_Every_Frame() const {
  std::lock_guard lock(mutex_);
  return keep_every_frame_;
}

void Frame_Delivery::Set_Memory_Probe(std::function<Frame_Buffer::Memory_State()> probe) {
  std::lock_guard lock(mutex_);
  memory_probe_ = std::move(probe);
}

bool Frame_Delivery::Memory_Short_Locked() {
  if (pushes_since_probe_++ % frames_between_memory_probes == 0)
    memory_short_ = Short_Of_Memory(memory_probe_ ? memory_probe_() : Frame_Buffer::Read_Memory_State());
  return memory_short_;
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
  item.frame.lost_before += pending_lost_;
  pending_lost_ = 0;
  if (queued_frames_ >= max_queued_ && (!keep_every_frame_ || Memory_Short_Locked()))
    dropped_pixels = Drop_Oldest_Locked(&item);
  queue_.push_back(std::move(item));
  ++queued_frames_;
  Post_Wake_Locked();
}

// incoming: the frame about to be queued, which carries the loss when no queued frame follows
// the gap; nullptr when none comes (the next frame pushed then carries it).
std::vector<std::uint8_t> Frame_Delivery::Drop_Oldest_Locked(Item *incoming) {
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
  if (next != queue_.end())
    next->frame.lost_before += lost;
  else if (incoming)
    incoming->frame.lost_before += lost;
  else
    pending_lost_ += lost;
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
