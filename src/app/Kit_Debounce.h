#pragma once
// A control that ignores a second use within a fixed time of the last accepted one. Uses are
// judged on the clock's full width, so the window holds however long the program has run.

#include <cstdint>
#include <optional>

class Kit_Debounce {
public:
  // Uses window_ms or less after the last accepted one are ignored.
  explicit Kit_Debounce(std::int32_t window_ms) : window_ms_(window_ms) {}
  // Whether a use at tick counts; an accepted use becomes the last one.
  bool Accept(std::int32_t tick);
  void Reset() { last_.reset(); }

  // The windows of the main window's controls.
  static constexpr std::int32_t Start_Camera_ms = 999;
  static constexpr std::int32_t Live_View_ms = 299;
  static constexpr std::int32_t Capture_Press_ms = 299;
  static constexpr std::int32_t Capture_Release_ms = 299;
  // The keyboard hook: a key message this soon after the last accepted one is ignored.
  static constexpr std::int32_t Keyboard_Hook_ms = 149;

private:
  std::int32_t window_ms_;
  std::optional<std::int64_t> last_; // full-width moment of the last accepted use
};
