#include "capture/Frame_Record_Pool.h"

#include "support/Trace.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace {
// The trace belongs to the user-interface thread.
void Trace_Later(const QString &line) {
  if (QCoreApplication *app = QCoreApplication::instance())
    QMetaObject::invokeMethod(
        app, [line] { Write_Trace(line); }, Qt::QueuedConnection);
}
} // namespace

Frame_Record_Pool::Frame_Record_Pool(std::size_t depth) : depth_(depth > 0 ? depth : 1) {}

Frame_Record_Pool::~Frame_Record_Pool() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  if (worker_.joinable())
    worker_.join();
}

void Frame_Record_Pool::Start_Worker_Locked() {
  if (!worker_.joinable())
    worker_ = std::thread([this] { Run(); });
}

void Frame_Record_Pool::Prepare(std::int32_t record_bytes) {
  std::deque<std::unique_ptr<CVideobuff_RGB>> released; // freed outside the lock
  {
    std::lock_guard lock(mutex_);
    const std::int32_t bytes = record_bytes > 0 ? record_bytes : 0;
    if (bytes == record_bytes_)
      return;
    record_bytes_ = bytes;
    released.swap(ready_);
    if (bytes > 0)
      Start_Worker_Locked();
  }
  wake_.notify_all();
}

std::unique_ptr<CVideobuff_RGB> Frame_Record_Pool::Take(std::int32_t record_bytes) {
  std::unique_ptr<CVideobuff_RGB> record;
  {
    std::lock_guard lock(mutex_);
    if (!ready_.empty() && record_bytes == record_bytes_) {
      record = std::move(ready_.front());
      ready_.pop_front();
    }
  }
  wake_.notify_all();
  if (!record) {
    record = std::make_unique<CVideobuff_RGB>();
    record->Set_RGB_Length(record_bytes);
  }
  return record;
}

std::size_t Frame_Record_Pool::Ready() const {
  std::lock_guard lock(mutex_);
  return ready_.size();
}

std::int64_t Frame_Record_Pool::Ready_Bytes() const {
  std::lock_guard lock(mutex_);
  return static_cast<std::int64_t>(ready_.size()) * record_bytes_;
}

void Frame_Record_Pool::Run() {
  std::unique_lock lock(mutex_);
  while (true) {
    wake_.wait(lock, [this] { return stop_ || (record_bytes_ > 0 && ready_.size() < depth_); });
    if (stop_)
      return;
    const std::int32_t bytes = record_bytes_;
    lock.unlock();
    std::unique_ptr<CVideobuff_RGB> record;
    try {
      record = std::make_unique<CVideobuff_RGB>();
      record->Set_RGB_Length(bytes); // touches every page: this is the work taken off the frame
    } catch (...) {
      // Out of memory: stop preparing; storing makes its records itself and reports there.
      record.reset();
    }
    lock.lock();
    if (!record) {
      Trace_Later(QStringLiteral("*Frame_Record_Pool: no memory for a record of %1 bytes").arg(bytes));
      if (record_bytes_ == bytes)
        record_bytes_ = 0;
      continue;
    }
    if (record_bytes_ == bytes && !stop_)
      ready_.push_back(std::move(record));
    else {
      lock.unlock();
      record.reset(); // a size no longer wanted
      lock.lock();
    }
  }
}
