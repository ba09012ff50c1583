#include "judging/Goal_Line.h"

#include "support/Checked.h"

#include <QStringList>
#include <algorithm>
#include <limits>

namespace {
// A decimal whole number with an optional sign, blanks round it allowed.
std::optional<std::int32_t> Coordinate(const QString &item) {
  bool ok = false;
  const int value = item.trimmed().toInt(&ok, 10);
  if (!ok || value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max())
    return std::nullopt;
  return value;
}

bool In_Zone(Goal_Point end, QPointF pointer) {
  return end.x - handle_half_size < pointer.x() && pointer.x() < end.x + 2 * handle_half_size &&
         end.y - handle_half_size < pointer.y() && pointer.y() < end.y + 2 * handle_half_size;
}

std::int32_t Rounded(double value) { return Checked_32(Round_Half_Even(value)); }
} // namespace

std::optional<Goal_Line> Parse_Goal_Line(const QString &text) {
  const QStringList items = text.split(QLatin1Char(','));
  if (items.size() < 4)
    return std::nullopt;
  std::optional<std::int32_t> values[4];
  for (int i = 0; i < 4; ++i) {
    values[i] = Coordinate(items[i]);
    if (!values[i])
      return std::nullopt;
  }
  return Goal_Line{{*values[0], *values[1]}, {*values[2], *values[3]}};
}

QString Goal_Line_Text(const Goal_Line &line) {
  return QStringLiteral("%1,%2,%3,%4").arg(line.pt_1.x).arg(line.pt_1.y).arg(line.pt_2.x).arg(line.pt_2.y);
}

Goal_Line Goal_Line_Or(const QString &text, const Goal_Line &current) {
  if (text.size() <= 6)
    return current;
  return Parse_Goal_Line(text).value_or(current);
}

Goal_Line Default_Goal_Line(QSize picture) {
  const auto x = static_cast<std::int32_t>(Divide_Half_Even(picture.width(), 2));
  // Exact tenths: h x 0.9 in floating point is not always the tenth it stands for.
  const auto top = static_cast<std::int32_t>(Divide_Half_Even(picture.height(), 10));
  const auto bottom = static_cast<std::int32_t>(Divide_Half_Even(9LL * picture.height(), 10));
  return {{x, top}, {x, bottom}};
}

QRect Goal_Handle_Rect(Goal_Point end) {
  return {end.x - handle_half_size, end.y - handle_half_size, 2 * handle_half_size, 2 * handle_half_size};
}

std::int16_t Goal_Handle_At(const Goal_Line &line, QPointF pointer) {
  if (In_Zone(line.pt_1, pointer))
    return 1;
  if (In_Zone(line.pt_2, pointer))
    return 2;
  return 0;
}

void Goal_Line_Drag::Begin(const Goal_Line &line, QPointF pointer) {
  down_ = {Rounded(pointer.x()), Rounded(pointer.y())};
  saved_ = line;
  drag_handle_ = Goal_Handle_At(line, pointer);
  line_moved_ = false;
}

bool Goal_Line_Drag::Move(Goal_Line &line, QPointF pointer, QSize picture) {
  if (drag_handle_ != 1 && drag_handle_ != 2)
    return false;
  const Goal_Point &saved_end = drag_handle_ == 1 ? saved_.pt_1 : saved_.pt_2;
  const Goal_Point moved{Rounded(saved_end.x + (pointer.x() - down_.x)),
                         Rounded(saved_end.y + (pointer.y() - down_.y))};
  if (moved.x <= 0 || moved.x >= picture.width() || moved.y <= 0 || moved.y >= picture.height())
    return false;
  Goal_Point &end = drag_handle_ == 1 ? line.pt_1 : line.pt_2;
  if (end == moved)
    return false;
  end = moved;
  line_moved_ = true;
  return true;
}

bool Goal_Line_Drag::End() {
  const bool moved = line_moved_;
  drag_handle_ = 0;
  line_moved_ = false;
  return moved;
}

Goal_Line Displaced_Goal_Line(const Goal_Line &line, std::int16_t offset) {
  return {{line.pt_1.x + offset, line.pt_1.y}, {line.pt_2.x + offset, line.pt_2.y}};
}

bool Is_Goal_Offset_Key(std::int32_t keycode, bool alt_held) {
  return keycode == 100 || keycode == 102 || (alt_held && (keycode == 37 || keycode == 39));
}

std::int16_t Goal_Offset_After_Key(std::int16_t offset, std::int32_t keycode) {
  if ((keycode == 37 || keycode == 100) && offset > std::numeric_limits<std::int16_t>::min())
    return static_cast<std::int16_t>(offset - 1);
  if ((keycode == 39 || keycode == 102) && offset < std::numeric_limits<std::int16_t>::max())
    return static_cast<std::int16_t>(offset + 1);
  return offset;
}

QSize Review_Display_Size(QSize picture, std::int32_t max_height) {
  if (picture.height() <= max_height || max_height < 1 || picture.width() < 1)
    return picture;
  // max_height / (H / W), kept exact.
  const auto width = Divide_Half_Even(static_cast<long long>(max_height) * picture.width(), picture.height());
  return {static_cast<int>(std::max<long long>(width, 1)), max_height};
}

QPointF Display_To_Picture(QPointF shown, QSize picture, QSize display) {
  if (display.width() < 1 || display.height() < 1)
    return shown;
  return {shown.x() * picture.width() / display.width(), shown.y() * picture.height() / display.height()};
}

QPointF Picture_To_Display(QPointF in_picture, QSize picture, QSize display) {
  if (picture.width() < 1 || picture.height() < 1)
    return in_picture;
  return {in_picture.x() * display.width() / picture.width(), in_picture.y() * display.height() / picture.height()};
}
