#pragma once
// The goal line over the review and live pictures: two ends in picture pixels, kept as the
// text "x1,y1,x2,y2" in the settings and in the heat header. The operator drags an end by
// its handle; the picture may be shown scaled down to fit the screen, but the line, its
// handles and the drag are always reckoned in picture pixels.

#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <optional>

struct Goal_Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const Goal_Point &, const Goal_Point &) = default;
};

// Goal_pt_1 and Goal_pt_2 of one camera's line.
struct Goal_Line {
  Goal_Point pt_1;
  Goal_Point pt_2;
  friend bool operator==(const Goal_Line &, const Goal_Line &) = default;
};

// ---- text form ----

// "x1,y1,x2,y2": the first four items of the text split at ",", each a whole number the
// drawing can take (16 bits); nothing when the text is no such line.
std::optional<Goal_Line> Parse_Goal_Line(const QString &text);
QString Goal_Line_Text(const Goal_Line &line);
// A stored line, or the current one when the text holds none: a text of 6 characters or
// fewer (the default "N/A") or one that does not read as a line.
Goal_Line Goal_Line_Or(const QString &text, const Goal_Line &current);

// The line Reset_Goal_Line puts back: vertical in the middle, from a tenth of the height to
// nine tenths, rounded halves to even.
Goal_Line Default_Goal_Line(QSize picture);

// ---- handles ----

inline constexpr std::int32_t handle_half_size = 6;
// The square drawn round an end: 12 x 12 pixels from (x - 6, y - 6), the right and bottom
// edges excluded.
QRect Goal_Handle_Rect(Goal_Point end);
// The end (1 or 2) whose zone holds the pointer, 0 for none. The zone reaches 12 pixels right
// of and below an end but only 6 left of and above it; end 1 wins where the zones meet.
std::int16_t Goal_Handle_At(const Goal_Line &line, QPointF pointer);

// Dragging one end of the active line with the pointer, in picture pixels.
class Goal_Line_Drag {
public:
  // A button went down at the pointer: remembers the line and grabs the end under it.
  void Begin(const Goal_Line &line, QPointF pointer);
  // The pointer moved with the left button down. The grabbed end follows it when its new
  // place lies strictly inside the picture (1 to width - 1, 1 to height - 1); otherwise it
  // stays where it was. True when the line changed.
  bool Move(Goal_Line &line, QPointF pointer, QSize picture);
  // The button came up: true when the line moved since Begin (it is to be saved).
  bool End();
  std::int16_t Drag_Handle() const { return drag_handle_; }

private:
  Goal_Point down_;
  Goal_Line saved_;
  std::int16_t drag_handle_ = 0;
  bool line_moved_ = false;
};

// ---- the displaced copy ----

Goal_Line Displaced_Goal_Line(const Goal_Line &line, std::int16_t offset);
// Whether the review's key handler hands the key to Handle_Goal_Offset: keypad 4 and 6
// (100, 102) always, arrow left and right (37, 39) while Alt is held.
bool Is_Goal_Offset_Key(std::int32_t keycode, bool alt_held);
// The offset after the key: 37 and 100 one pixel left, 39 and 102 one right, others none.
// It stops at the limits of 16 bits.
std::int16_t Goal_Offset_After_Key(std::int16_t offset, std::int32_t keycode);

// ---- the picture on the screen ----

// The size Picture_out shows a picture at: 1:1 when it is no taller than max_height,
// otherwise max_height high and as wide as keeps its proportions (rounded halves to even).
QSize Review_Display_Size(QSize picture, std::int32_t max_height);
// A position on the shown picture in picture pixels, and back.
QPointF Display_To_Picture(QPointF shown, QSize picture, QSize display);
QPointF Picture_To_Display(QPointF in_picture, QSize picture, QSize display);
