#pragma once
// Giving a dog its time: what a box button writes for its box, from the heat time of the
// image shown and the toggles set before the press ("+ 1/100", split or goal mode,
// "No Time" with its reason, "Dead heat"). The window applies the plan to the heat header
// and saves it; nothing here touches a widget.

#include "judging/Result_Table.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

// "+ 1/100" puts a dog behind another one in the same image.
inline constexpr std::int32_t plus_hundredth_ms = 10;

// The reason chosen on "No Time"'s menu; it becomes the button's caption.
enum class No_Time_Reason { None, Disqualified, Did_Not_Finish, No_Rank };
// "No Time" (none chosen yet), "DSQ", "DNF" or "No Rnk".
QString No_Time_Caption(No_Time_Reason reason);

// The toggles of the "Set times" panel.
struct Judging_Toggles {
  bool split_mode = false; // m_Split_Mode
  bool plus_hundredth = false;
  bool no_time = false;
  No_Time_Reason no_time_reason = No_Time_Reason::None; // stays chosen after use
  bool dead_heat = false;
  friend bool operator==(const Judging_Toggles &, const Judging_Toggles &) = default;
};

// A press of a box button.
struct Box_Press {
  int box = 0;                      // 1 to 8
  std::int32_t heat_elapsed_ms = 0; // m_Heat_Elapsed_AR of the image shown
  std::int32_t slider_position = 0; // stored as the frame of the assignment (16 bits)
  std::int32_t click_tick = 0;      // the tick now
  bool read_only = false;           // the heat file cannot be written
};

// What is written for the box. A split assignment writes time and frame only.
struct Box_Assignment {
  int box = 0;
  bool split = false;
  std::int32_t time = 0; // the time, or in goal mode a no-time code
  std::int16_t frame = 0;
  std::int32_t click_time = 0; // goal only
  bool dead_heat = false;      // goal only
  friend bool operator==(const Box_Assignment &, const Box_Assignment &) = default;
};

struct Assignment_Plan {
  // Set when nothing is to be assigned: the message for the operator. The header and the
  // toggles stay as they are.
  QString refusal;
  Box_Assignment assignment;
  // The toggles after the assignment: "+ 1/100" acts on one press, "Dead heat" and "No Time"
  // on one goal assignment.
  Judging_Toggles toggles_after;
  bool Refused() const { return !refusal.isEmpty(); }
};

inline const QString read_only_refusal = QStringLiteral("File is read only!");
inline const QString no_reason_refusal =
    QStringLiteral("No time was assigned: \"No Time\" needs its reason first. Click \"No Time\" with the right "
                   "mouse button, choose Disqualified, Did Not Finish or No Rank, then press the box again.");

// Command_BOX_set_time_Click and Set_Time without the window. Raises 9 for a box outside 1
// to 8 and 6 for a time or slider position that does not fit its width, before anything is
// decided.
Assignment_Plan Plan_Box_Assignment(const Box_Press &press, const Judging_Toggles &toggles);

void Apply_Assignment(Heat_Results &results, const Box_Assignment &assignment);

// Set_Buttons: which of the six box buttons are light cyan, that is whose box has a time
// (or a code) in the current mode.
std::array<bool, heat_boxes> Timed_Boxes(const Heat_Results &results, bool split_mode);

// The mode captions: "Split" or "Goal" on Cmd_Split, "Set Goal times" or "Set Split times"
// on Frame_settimes.
QString Split_Button_Caption(bool split_mode);
QString Settimes_Caption(bool split_mode);

// A button that ignores clicks less than a fixed time after the last accepted one.
// Anywhere in the tick's cycle: a click half a cycle or more after the last one counts as
// long after it, never as before it.
class Click_Ignore_Window {
public:
  static constexpr std::int32_t Mode_Switch_ms = 300; // Cmd_Split

  explicit Click_Ignore_Window(std::int32_t window_ms) : window_ms_(window_ms) {}
  // Whether a click at tick counts; an accepted click starts a new window.
  bool Accept(std::int32_t tick);

private:
  std::int32_t window_ms_;
  std::optional<std::int32_t> last_;
};
