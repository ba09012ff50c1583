#pragma once
// Records made ready ahead of the frames that fill them. A kept frame is megabytes of fresh
// memory, and fresh memory is slow to touch the first time (every page faults in), slower
// than the copy of the frame itself. A worker thread therefore allocates and touches a few
// records of the crop's size ahead, so that storing a frame on the user-interface thread is
// one copy into memory that is already in place. When none is ready the record is made on
// the spot, as before: a frame is never refused for want of a prepared record.

#include "recording/CVideobuff_RGB.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

class Frame_Record_Pool {
public:
  explicit Frame_Record_Pool(std::size_t depth = 8);
  ~Frame_Record_Pool();
  Frame_Record_Pool(const Frame_Record_Pool &) = delete;
  Frame_Record_Pool &operator=(const Frame_Record_Pool &) = delete;

  // Keeps records of record_bytes ready from now on; 0 stops and releases the ready ones.
  void Prepare(std::int32_t record_bytes);
  // A record of record_bytes (RGB_Length set): a prepared one when ready, else a new one.
  std::unique_ptr<CVideobuff_RGB> Take(std::int32_t record_bytes);

  std::size_t Ready() const;
  std::int64_t Ready_Bytes() const;

private:
  void Run();
  void Start_Worker_Locked();

  const std::size_t depth_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::unique_ptr<CVideobuff_RGB>> ready_;
  std::int32_t record_bytes_ = 0;
  bool stop_ = false;
  std::thread worker_;
};
