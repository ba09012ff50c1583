#pragma once
// The texts of the results window, as plain data: what Display_Result_Array writes into the
// window's labels for a sorted result table, and the text "Export results to Clipboard"
// builds from them. The window, the print-outs and the command-line tool all show these.

#include "judging/Result_Table.h"

#include <QString>
#include <array>
#include <cstdint>

struct Result_Heading {
  QString event;     // Label_event_name
  QString heat_id;   // Label_Heat_ID
  QString heat_name; // Label_Heat_name
  QString started;   // Label_heat_started: "Started at: " and the start date and time
};

Result_Heading Load_Result_Heading(const Heat_Results &results);

// One row of the window.
struct Result_Row_Texts {
  QString rank; // Label_rank: the place, the place before for a dead heat, "---" for a code
  std::int16_t box = 0;
  QString name;           // Label_name
  QString time;           // Label_time
  QString split;          // Label_Split
  bool dead_heat = false; // Shape_dead_circle shown
  friend bool operator==(const Result_Row_Texts &, const Result_Row_Texts &) = default;
};

struct Result_Display {
  Result_Heading heading;
  QString box_delay; // Label_box_delay; empty while it is hidden
  std::array<Result_Row_Texts, heat_boxes> rows;
};

// The label of the box delay: "Box delay = 20ms", or empty (hidden) for a delay below 1.
QString Box_Delay_Text(std::int32_t box_delay_ms);

// The texts of a sorted table. The box delay of the current settings is added to every time
// and split shown; a sum beyond 32 bits raises 6.
Result_Display Display_Result_Array(const Result_Array &table, const Result_Heading &heading,
                                    std::int32_t box_delay_ms);

// "Export results to Clipboard": "Heat" and the heat id, then one line per named row: rank,
// name and time separated by tabs, and the split after a further tab when one is shown.
// Lines end in CR LF.
QString Export_Results_Text(const Result_Display &display);
