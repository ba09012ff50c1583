#pragma once
// A sink that keeps what it hears, for the capture tests: stamps and sizes of every frame,
// the thread it was called on, how deep calls nested, and optionally a copy of the pixels.

#include "capture/Capture_Component.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>
#include <vector>

struct Seen_Frame {
  Captured_Frame frame; // data is not valid after the call
  std::vector<std::uint8_t> pixels;
  bool on_ui_thread = false;
};

class Capture_Test_Sink : public IVideoCapEvent {
public:
  void OnRGBEvent(const Captured_Frame &frame) override {
    ++depth;
    max_depth = std::max(max_depth, depth);
    Seen_Frame seen;
    seen.frame = frame;
    seen.on_ui_thread = QThread::currentThread() == QCoreApplication::instance()->thread();
    if (keep_pixels)
      seen.pixels.assign(frame.data, frame.data + frame.length);
    frames.push_back(std::move(seen));
    if (inside)
      inside(frame);
    --depth;
  }
  void OnErrorEvent(const QString &text) override { errors.push_back(text); }

  bool keep_pixels = false;
  std::function<void(const Captured_Frame &)> inside;
  std::vector<Seen_Frame> frames;
  std::vector<QString> errors;
  int depth = 0;
  int max_depth = 0;
};

// Processes events until done() or the time is up; whether done() came true.
inline bool Pump_Until(const std::function<bool()> &done, int timeout_ms) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > timeout_ms)
      return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(1);
  }
  return true;
}
