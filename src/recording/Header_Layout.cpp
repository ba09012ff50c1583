#include "recording/Header_Layout.h"

#include "recording/Cls_XML_header.h"
#include "support/Globals.h"

namespace {
QString L(const char *text) { return QString::fromLatin1(text); }
} // namespace

std::vector<Header_Element> File_Data_Defaults(const Header_Origin &o) {
  return {
      {"update_program", L("program name")},
      {"creation_date", o.creation_date},
      {"update_date", L("not updated")},
      {"last_capture_time", L("0000")},
      {"last_append_time", QString()},
      {"num_streams", L("1")},
      {"frame_header_size", L("000")},
      {"num_frames", L("000")},
      {"num_segments", L("000")},
      {"timing_bias", L("000")},
      {"b_rotated", L("f")},
      {"comp_name", o.comp_name},
      {"comp_captureinfo", L("Unknown capture info!")},
      {"capture_sample_size", L("Unknown capture info!")},
      {"comp_cpuinfo", o.comp_cpuinfo},
      {"comp_cpubitness", o.comp_cpubitness},
      {"comp_physram", o.comp_physram},
      {"comp_osbitness", o.comp_osbitness},
      {"capture_property", o.capture_property},
      {"capture_source", o.capture_source},
      {"actual_sample", o.actual_sample},
      {"comp_manufacturer_model", o.comp_manufacturer_model},
      {"phidget_serial", o.phidget_serial},
      {"prog_id", Globals::App_Name},
      {"exe_name", o.exe_name},
      {"prog_version", L("Compiled")},
      {"prog_major", o.prog_major},
      {"prog_minor", o.prog_minor},
      {"prog_revision", o.prog_revision},
      {"compile_date", o.compile_date},
      {"computer_uptime", o.computer_uptime},
      {"program_uptime", o.program_uptime},
      {"exe_filedate", o.exe_filedate},
      {"os_version", o.os_version},
      {"subject_name", L("0000")},
      {"file_comment1", L("0000")},
      {"file_comment2", L("0000")},
      {"file_comment3", L("0000")},
      {"file_comment4", L("0000")},
      {"file_comment5", L("0000")},
      {"specapp1", QString()},
      {"specapp2", QString()},
      {"hdr_spare1", L("0000")},
      {"hdr_spare2", L("0000")},
      {"hdr_spare3", L("0000")},
      {"hdr_spare4", L("0000")},
      {"hdr_spare5", L("0000")},
  };
}

std::vector<Header_Element> RGB_Data_Defaults() {
  return {
      {"RGB_X", L("000")},
      {"RGB_Y", L("000")},
      {"RGB_image_size", L("0000000")},
      {"RGB_max_seen_size", L("0000000")},
      {"RGB_comp_threshold", L("0000000")},
      {"RGB_compressed_max_size", L("0000000")},
      {"RGB_compressed_buffer_size", L("0000000")},
      {"RGB_compressed_min_size", L("99999999")},
      {"RGB_sample_size", L("0000000")},
      {"RGB_interlaced", L("Y")},
      {"RGB_rotated", L("Y")},
      {"RGB_preview_on", L("Y")},
      {"RGB_fourcc", L("none")},
      {"RGB_JPEG_Codec", L("none")},
      {"RGB_fps", L("000")},
      {"RGB_JPEG_Quality", L("0000")},
      {"RGB_JPEG_Quality_num_reduced", L("0000")},
  };
}

std::vector<Header_Element> Lurcher_Defaults() {
  return {
      {"hound_event", L("Hound event name")},
      {"hound_heat_ID", L("Hound heat ID")},
      {"hound_heat_name", L("Hound heat name")},
      {"hound_heat_length", L("000")},
      {"hound_goal_finish", L("Hound goal finish")},
      {"hound_goal_split", L("Hound goal split")},
      {"hound_start_datetime", L("hound start date time")},
      {"hound_start_local_mill", L("hound_start_local_mill")},
      {"hound_start_HDMI_events", L("hound_start_HDMI_events")},
      {"hound_start_PC_mill", L("hound_start_PC_mill")},
      {"hound_goal_time_offset", L("0000")},
      {"hound_split_time_offset", L("0000")},
      {"hound_box_delay", L("0000")},
      {"hound_split_firewire_ID", L("000")},
      {"hound_goal_firewire_ID", L("000")},
      {"hound_ph_serial", L("000")},
  };
}

std::vector<Header_Element> Box_Defaults() {
  return {
      {"dog_name", L("dog name")},           {"dog_weight", L("dog weight")},  {"dog_heat_time", L("000000")},
      {"dog_heat_click_time", L("000000")},  {"dog_heat_frame", L("000000")},  {"dog_split_time", L("000000")},
      {"dog_split_click_time", L("000000")}, {"dog_split_frame", L("000000")}, {"dog_heat_rank", L("00")},
      {"dog_split_rank", L("00")},           {"dog_dead_heat", L("f")},        {"dog_heat_spare1", L("00000")},
      {"dog_heat_spare2", L("00000")},
  };
}
