#include "judging/Header_Results.h"

#include "recording/Cls_XML_header.h"
#include "recording/cls_VideoFile_handler.h"
#include "support/Failure.h"

#include <initializer_list>

namespace {
constexpr std::int16_t Err_Object_Not_Set = 91;

// Writes of these elements fail when the element is missing; the dead-heat flag is skipped.
void Require_Box_Elements(const Cls_XML_header &header, int box, std::initializer_list<const char *> elements) {
  if (box < 1 || box > header_boxes)
    Raise(Err_Subscript, Failure_Description(Err_Subscript));
  for (const char *element : elements) {
    const QString path = QStringLiteral("//box[@id='%1']/%2").arg(box).arg(QLatin1String(element));
    if (!header.Node_Exists(path))
      Raise(Err_Object_Not_Set, QStringLiteral("Header element not found: ") + path);
  }
}

Result_Record Read_Row(const Cls_XML_header &header, int box) {
  Result_Record row;
  row.Box = static_cast<std::int16_t>(box);
  const std::int32_t heat_time = header.Hound_Heat_time(box, false);
  const std::int32_t split_time = header.Hound_Heat_time(box, true);
  row.Heat_time = heat_time == 0 ? no_time : heat_time;
  row.Split_time = split_time == 0 ? no_time : split_time;
  row.Click_time = header.Hound_Heat_Click_Time(box);
  row.Dog_Name = header.Hound_Dog_name(box);
  row.Dead_heat = header.Hound_dead_heat(box);
  return row;
}
} // namespace

Heat_Results Read_Heat_Results(const Cls_XML_header &header) {
  Heat_Results results;
  results.event = header.Hound_event();
  results.heat_id = header.Hound_Heat_ID();
  results.heat_name = header.Hound_Heat_Name();
  results.start_datetime = header.Hound_start_DateTime();
  for (int n = 1; n <= header_boxes; ++n) {
    Header_Box &box = results.Box(n);
    box.dog_name = header.Hound_Dog_name(n);
    box.heat_time = header.Hound_Heat_time(n, false);
    box.split_time = header.Hound_Heat_time(n, true);
    box.click_time = header.Hound_Heat_Click_Time(n);
    box.heat_frame = header.Hound_heat_frame(n);
    box.split_frame = header.Hound_split_frame(n);
    box.dead_heat = header.Hound_dead_heat(n);
  }
  return results;
}

Result_Array Load_Result_Array(const Cls_XML_header &header) {
  Result_Array table;
  for (int n = 1; n <= heat_boxes; ++n)
    table(n) = Read_Row(header, n);
  return table;
}

Result_Array Load_Result_Array(cls_VideoFile_handler &heat) { return Load_Result_Array(heat.Header()); }

Result_Heading Load_Result_Heading(const Cls_XML_header &header) {
  Heat_Results results;
  results.event = header.Hound_event();
  results.heat_id = header.Hound_Heat_ID();
  results.heat_name = header.Hound_Heat_Name();
  results.start_datetime = header.Hound_start_DateTime();
  return Load_Result_Heading(results);
}

Result_Heading Load_Result_Heading(cls_VideoFile_handler &heat) { return Load_Result_Heading(heat.Header()); }

void Apply_Assignment(Cls_XML_header &header, const Box_Assignment &a) {
  if (a.split) {
    Require_Box_Elements(header, a.box, {"dog_split_time", "dog_split_frame"});
    header.Set_Hound_Heat_time(a.box, true, a.time);
    header.Set_Hound_split_frame(a.box, a.frame);
    return;
  }
  Require_Box_Elements(header, a.box, {"dog_heat_time", "dog_heat_frame", "dog_heat_click_time"});
  header.Set_Hound_Heat_time(a.box, false, a.time);
  header.Set_Hound_heat_frame(a.box, a.frame);
  header.Set_Hound_Heat_Click_Time(a.box, a.click_time);
  header.Set_Hound_dead_heat(a.box, a.dead_heat);
}

void Clear_all_Results(Cls_XML_header &header) {
  for (int box = 1; box <= header_boxes; ++box)
    Require_Box_Elements(header, box, {"dog_heat_frame", "dog_heat_time", "dog_split_time", "dog_heat_click_time"});
  for (int box = 1; box <= header_boxes; ++box) {
    header.Set_Hound_heat_frame(box, 0);
    header.Set_Hound_Heat_time(box, false, 0);
    header.Set_Hound_Heat_time(box, true, 0);
    header.Set_Hound_Heat_Click_Time(box, 0);
    header.Set_Hound_dead_heat(box, false);
  }
}

std::array<bool, heat_boxes> Timed_Boxes(const Cls_XML_header &header, bool split_mode) {
  Heat_Results results;
  for (int box = 1; box <= heat_boxes; ++box) {
    Header_Box &values = results.Box(box);
    (split_mode ? values.split_time : values.heat_time) = header.Hound_Heat_time(box, split_mode);
  }
  return Timed_Boxes(results, split_mode);
}
