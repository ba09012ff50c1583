#pragma once
// The result table of the heat under review: one row per box of the heat, loaded from the
// header's per-box values and then put in placing order. Everything here works on plain
// values, so the results window, the print-outs and the command-line tool rank a heat the
// same way, and tests rank one without a heat file.

#include <QString>
#include <array>
#include <cstdint>

// The header has eight boxes; a heat runs six of them.
inline constexpr int header_boxes = 8;
inline constexpr int heat_boxes = 6;

// Stored instead of a goal time.
inline constexpr std::int32_t code_did_not_finish = 888886;
inline constexpr std::int32_t code_disqualified = 888887;
inline constexpr std::int32_t code_no_rank = 888888;
// What the table holds for a box without a time (the header holds 0).
inline constexpr std::int32_t no_time = 999999;

// A stored time that is one of the codes or no time rather than a time of the heat. Only
// these exact values are: a time of 15 minutes or an hour is still a time.
bool Is_Result_Code(std::int32_t stored);

// The results of one box as the header holds them.
struct Header_Box {
  QString dog_name;
  std::int32_t heat_time = 0;  // Hound_Heat_time(box, false): goal time or code, 0 none
  std::int32_t split_time = 0; // Hound_Heat_time(box, true), 0 none
  std::int32_t click_time = 0; // Hound_Heat_Click_Time: the tick of the goal assignment
  std::int16_t heat_frame = 0; // slider position of the goal assignment
  std::int16_t split_frame = 0;
  bool dead_heat = false;
  friend bool operator==(const Header_Box &, const Header_Box &) = default;
};

// The results part of a heat header.
struct Heat_Results {
  QString event;          // Hound_event
  QString heat_id;        // Hound_Heat_ID
  QString heat_name;      // Hound_Heat_Name
  QString start_datetime; // Hound_start_DateTime
  std::array<Header_Box, header_boxes> boxes;

  // box 1 to 8; others raise 9.
  Header_Box &Box(int box);
  const Header_Box &Box(int box) const;
  friend bool operator==(const Heat_Results &, const Heat_Results &) = default;
};

// Clear_all_Results: every box's goal time, split time, frame, click time and dead-heat
// flag go; names and split frames stay.
void Clear_all_Results(Heat_Results &results);

struct Result_Record {
  std::int16_t Box = 0;
  std::int32_t Heat_time = no_time;
  std::int32_t Split_time = no_time;
  std::int32_t Click_time = 0;
  QString Dog_Name;
  bool Dead_heat = false;
  friend bool operator==(const Result_Record &, const Result_Record &) = default;
};

// Six rows, numbered 1 to 6: in box order after loading, in placing order after sorting.
class Result_Array {
public:
  // row 1 to 6; others raise 9.
  Result_Record &operator()(int row);
  const Result_Record &operator()(int row) const;

private:
  std::array<Result_Record, heat_boxes> rows_;
};

// Boxes 1 to 6; a time or split of 0 becomes no_time.
Result_Array Load_Result_Array(const Heat_Results &results);

// By goal time; equal times in the order they were assigned (earlier click first); the codes
// after every time, in the order did not finish, disqualified, no rank, then no time.
// Split times take no part.
void Sort_Result_Array(Result_Array &table);
