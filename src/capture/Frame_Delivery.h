#pragma once
// Carries frames from the thread that captured them to the user-interface thread, in
// order, as queued events, and calls the sink there one frame at a time. A sink that
// processes pending events inside its call does not get a nested call: later frames wait
// in the queue. The queue is bounded: when the user-interface thread falls far behind, the
// oldest undelivered frames are dropped and counted as lost on the next frame. While every
// frame is to be kept (a capture in progress) the bound is lifted.
//
// Create, configure and destroy on the user-interface thread; Push_* and Acquire_Buffer
// may be called from any thread.

#include "capture/Capture_Component.h"
#include "capture/Frame_Buffer.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

class Frame_Delivery {
public:
  explicit Frame_Delivery(std::size_t max_queued_frames = 25);
  ~Frame_Delivery();
  Frame_Delivery(const Frame_Delivery &) = delete;
  Frame_Delivery &operator=(const Frame_Delivery &) = delete;

  void Set_Sink(IVideoCapEvent *sink) { sink_ = sink; }
  IVideoCapEvent *Sink() const { return sink_; }
  // Called on the user-interface thread before the sink hears of an error.
  void Set_Error_Handler(std::function<void(const QString &)> handler) { error_handler_ = std::move(handler); }

  // Open starts accepting frames and resets the lost count; Close stops accepting and
  // discards what was not delivered yet.
  void Open();
  void Close();

  // On: nothing is dropped for the bound; frames wait in memory until the window's thread
  // takes them. That is fine for the length of a capture: the thread that stalls is the one
  // that stores the frames, and once it runs again the capture object's memory bound stops
  // storing long before the PC runs short. A stall no capture would survive (the PC down to
  // an eighth of its memory) still drops the oldest, counted as lost, rather than have the
  // program killed with the heat. Off: the oldest beyond the bound are dropped at once and
  // counted as lost. Survives Open and Close.
  void Set_Keep_Every_Frame(bool keep);
  bool Keep_Every_Frame() const;
  // Where the memory state comes from (tests); nullptr restores /proc/meminfo.
  void Set_Memory_Probe(std::function<Frame_Buffer::Memory_State()> probe);

  // A pixel buffer of the given size, recycled from delivered frames when possible.
  std::vector<std::uint8_t> Acquire_Buffer(std::size_t bytes);
  // frame.lost_before carries the frames the device lost before this one; data and length
  // are filled in at delivery from pixels.
  void Push_Frame(std::vector<std::uint8_t> pixels, const Captured_Frame &frame);
  void Push_Error(const QString &text);

  // Frames delivered and frames dropped from the queue since Open.
  std::int64_t Delivered() const;
  std::int64_t Dropped() const;

private:
  struct Item {
    bool is_error = false;
    std::vector<std::uint8_t> pixels;
    Captured_Frame frame;
    QString error;
  };

  void Post_Wake_Locked();
  std::vector<std::uint8_t> Drop_Oldest_Locked(Item *incoming);
  bool Memory_Short_Locked();
  void Drain();
  void Deliver(Item &item);
  void Recycle(std::vector<std::uint8_t> pixels);

  const std::size_t max_queued_;
  IVideoCapEvent *sink_ = nullptr;
  std::function<void(const QString &)> error_handler_;

  mutable std::mutex mutex_;
  std::deque<Item> queue_;
  std::size_t queued_frames_ = 0;
  std::vector<std::vector<std::uint8_t>> spare_;
  bool accepting_ = false;
  bool keep_every_frame_ = false;
  std::function<Frame_Buffer::Memory_State()> memory_probe_;
  std::size_t pushes_since_probe_ = 0;
  bool memory_short_ = false;
  bool wake_posted_ = false;
  std::int64_t delivered_ = 0;
  std::int64_t dropped_ = 0;
  // Frames dropped when no frame was queued behind them: the next frame carries them.
  std::int64_t pending_lost_ = 0;

  // User-interface thread only.
  bool delivering_ = false;
  std::int64_t lost_total_ = 0;

  // Declared last so that it goes first: its pending wake events go with it.
  QObject context_;
};
