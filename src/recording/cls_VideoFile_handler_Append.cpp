// Appending a whole capture on every core. Workers compress frames into complete records
// ahead of the writer; records are written strictly in capture order by the calling thread,
// through the same steps as a one-by-one append, so the file is byte for byte the same.

#include "recording/cls_VideoFile_handler.h"

#include "recording/mIntelJPEGLibrary.h"
#include "support/Failure.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace {
constexpr Location_Of Location{"Class", "cls_VideoFile_handler"};

// Work shared by the compressing workers and the writing thread.
struct Pipeline {
  std::mutex lock;
  std::condition_variable changed;
  std::int32_t next = 0;    // next frame a worker takes (0-based within the batch)
  std::int32_t written = 0; // frames written so far
  std::int32_t count = 0;
  std::int32_t window = 0; // records in flight at most
  bool stop = false;
  std::exception_ptr failure;
  std::vector<std::vector<std::uint8_t>> records;
  std::vector<char> ready;
};
} // namespace

std::int32_t cls_VideoFile_handler::Append_RGB_Frames(const Frame_Buffer_List &frames, std::int32_t first,
                                                      std::int32_t count,
                                                      const std::function<void(std::int32_t)> &progress, int workers) {
  std::int32_t done = 0;
  const auto report = [&] {
    if (progress)
      progress(done);
  };
  // The first record of a pass closes the file once to measure the record size, so it goes
  // alone; with one worker every frame does.
  while (done < count && !m_Pass_Refused && (workers == 1 || (m_Frames_Appended == 0 && m_Measured_Record_Size == 0))) {
    if (!Append_RGB_Frame(frames, first + done))
      return done;
    ++done;
    report();
  }
  if (done < count && !m_Pass_Refused) {
    std::int32_t written = 0;
    try {
      Append_In_Parallel(
          frames, first + done, count - done, written,
          [&](std::int32_t n) {
            if (progress)
              progress(done + n);
          },
          workers);
    } catch (...) {
      m_Pass_Refused = true;
      Report_Current_Failure(Location("Append_RGB_Frame"));
    }
    done += written;
  }
  return done;
}

void cls_VideoFile_handler::Append_In_Parallel(const Frame_Buffer_List &frames, std::int32_t first, std::int32_t count,
                                               std::int32_t &written, const std::function<void(std::int32_t)> &progress,
                                               int workers) {
  if (m_Slot_Size == 0)
    Calculate_Compressed_Size(frames);
  if (!Prepare_Append())
    return;
  if (first < 1 || static_cast<std::int64_t>(first) + count - 1 > static_cast<std::int64_t>(frames.size()))
    Raise(Err_Subscript, QStringLiteral("Frames %1 to %2 of %3").arg(first).arg(first + count - 1).arg(frames.size()));
  // Never more than the file can number; the next append then says the file is full.
  const std::int32_t room = QK3::Max_Frames - (static_cast<std::int32_t>(Header().Frames_no()) + m_Frames_Appended);
  const std::int32_t batch = std::min(count, room);

  const int threads = workers > 0 ? workers : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
  const auto record_size = static_cast<std::size_t>(QK3::Record_Size_For_Slot(m_Slot_Size));
  Pipeline p;
  p.count = batch;
  p.window = 4 * threads;
  p.records.assign(static_cast<std::size_t>(p.window), std::vector<std::uint8_t>(record_size));
  p.ready.assign(static_cast<std::size_t>(p.window), 0);
  std::vector<Compressed_Record> results(static_cast<std::size_t>(p.window));
  std::vector<Compressor> compressors(static_cast<std::size_t>(threads));
  for (Compressor &c : compressors) {
    if (!c.bitmap.Create(m_Compressor.bitmap.Width(), m_Compressor.bitmap.Height()))
      Raise(Err_Out_Of_Memory, QStringLiteral("No compression bitmap"));
    c.out.assign(m_Compressor.out.size(), 0);
  }

  const auto work = [&](Compressor &compressor) {
    for (;;) {
      std::int32_t k = 0;
      {
        std::unique_lock<std::mutex> guard(p.lock);
        p.changed.wait(guard, [&] { return p.stop || p.next >= p.count || p.next < p.written + p.window; });
        if (p.stop || p.next >= p.count)
          return;
        k = p.next++;
      }
      const auto slot = static_cast<std::size_t>(k % p.window);
      try {
        results[slot] =
            Compress_Into_Record(compressor, *frames[static_cast<std::size_t>(first - 1 + k)], p.records[slot].data());
      } catch (...) {
        std::lock_guard<std::mutex> guard(p.lock);
        if (!p.failure)
          p.failure = std::current_exception();
        p.stop = true;
        p.changed.notify_all();
        return;
      }
      std::lock_guard<std::mutex> guard(p.lock);
      p.ready[slot] = 1;
      p.changed.notify_all();
    }
  };

  std::vector<std::thread> pool;
  const auto finish = [&] {
    {
      std::lock_guard<std::mutex> guard(p.lock);
      p.stop = true;
      p.changed.notify_all();
    }
    for (std::thread &t : pool)
      t.join();
    pool.clear();
  };
  for (Compressor &c : compressors)
    pool.emplace_back(work, std::ref(c));
  try {
    for (std::int32_t k = 0; k < batch; ++k) {
      const auto slot = static_cast<std::size_t>(k % p.window);
      {
        std::unique_lock<std::mutex> guard(p.lock);
        p.changed.wait(guard, [&] { return p.ready[slot] != 0 || p.failure; });
        if (p.failure && !p.ready[slot])
          std::rethrow_exception(p.failure);
      }
      m_Last_Compressed_Size = results[slot].fields.jpeg_size;
      Write_Record(p.records[slot].data(), results[slot]);
      ++written;
      {
        std::lock_guard<std::mutex> guard(p.lock);
        p.ready[slot] = 0;
        ++p.written;
        p.changed.notify_all();
      }
      if (progress)
        progress(written);
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
  if (batch < count)
    Prepare_Append(); // says the file is full
}
