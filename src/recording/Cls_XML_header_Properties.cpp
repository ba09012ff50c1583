// The header's properties: each is one XPath with its type and its rule for a missing or
// unreadable element.

#include "recording/Cls_XML_header.h"

#include "recording/Header_Values.h"
#include "support/Checked.h"
#include "support/Failure.h"
#include "support/Non_dependant.h"

#include <pugixml.hpp>

namespace {
// The classic number for a node that is not there.
constexpr std::int16_t Err_Object_Not_Set = 91;

QString Q(const char *xpath) { return QString::fromLatin1(xpath); }

QString Text_Of(pugi::xml_node node) { return QString::fromUtf8(node.text().get()); }
} // namespace

// --- reading and writing by XPath -------------------------------------------------------

pugi::xml_node Cls_XML_header::Find(const QString &xpath) const {
  return doc_->select_node(xpath.toUtf8().constData()).node();
}

bool Cls_XML_header::Node_Exists(const QString &xpath) const { return static_cast<bool>(Find(xpath)); }

QString Cls_XML_header::Read_Text(const QString &xpath) const {
  const pugi::xml_node node = Find(xpath);
  if (!node)
    Raise(Err_Object_Not_Set, QStringLiteral("Header element not found: ") + xpath);
  return Text_Of(node);
}

QString Cls_XML_header::Read_Text_Or(const QString &xpath, const QString &fallback) const {
  const pugi::xml_node node = Find(xpath);
  return node ? Text_Of(node) : fallback;
}

long long Cls_XML_header::Read_Number(const QString &xpath, Width width) const {
  const long long value = Header_Number(Read_Text(xpath));
  return width == Width::Bits16 ? Checked_16(value) : Checked_32(value);
}

bool Cls_XML_header::Read_True_False(const QString &xpath) const { return Read_Text(xpath) == QLatin1String("True"); }

bool Cls_XML_header::Read_t_f(const QString &xpath) const { return XML_string_to_Bool(Read_Text(xpath)); }

void Cls_XML_header::Write_Text(const QString &xpath, const QString &text, On_Missing missing) {
  pugi::xml_node node = Find(xpath);
  if (!node) {
    if (missing == On_Missing::Skip_Write)
      return;
    Raise(Err_Object_Not_Set, QStringLiteral("Header element not found: ") + xpath);
  }
  node.text().set(text.toUtf8().constData());
}

void Cls_XML_header::Write_Number(const QString &xpath, long long value, Width width) {
  Write_Text(xpath, QString::number(width == Width::Bits16 ? Checked_16(value) : Checked_32(value)));
}

QString Cls_XML_header::Numeric_Or_Zero(const QString &xpath) const {
  const QString text = Read_Text_Or(xpath, QStringLiteral("0"));
  return Is_Header_Numeric(text) ? text : QStringLiteral("0");
}

QString Cls_XML_header::Box_Path(int box, const char *element) {
  return QStringLiteral("//box[@id='%1']/").arg(box) + QString::fromLatin1(element);
}

// --- heat ---------------------------------------------------------------------------------

QString Cls_XML_header::Hound_event() const { return Read_Text(Q("//hound_event")); }
void Cls_XML_header::Set_Hound_event(const QString &v) { Write_Text(Q("//hound_event"), v); }
QString Cls_XML_header::Hound_Heat_ID() const { return Read_Text(Q("//hound_heat_ID")); }
void Cls_XML_header::Set_Hound_Heat_ID(const QString &v) { Write_Text(Q("//hound_heat_ID"), v); }
QString Cls_XML_header::Hound_Heat_Name() const { return Read_Text(Q("//hound_heat_name")); }
void Cls_XML_header::Set_Hound_Heat_Name(const QString &v) { Write_Text(Q("//hound_heat_name"), v); }
QString Cls_XML_header::Hound_Heat_Length() const { return Read_Text_Or(Q("//hound_heat_length"), QString()); }
void Cls_XML_header::Set_Hound_Heat_Length(const QString &v) { Write_Text(Q("//hound_heat_length"), v); }

std::int32_t Cls_XML_header::Hound_heat_start_local() const {
  return static_cast<std::int32_t>(Read_Number(Q("//hound_start_local_mill"), Width::Bits32));
}
void Cls_XML_header::Set_Hound_heat_start_local(long long v) {
  Write_Number(Q("//hound_start_local_mill"), v, Width::Bits32);
}
std::int32_t Cls_XML_header::Hound_start_PC_mill() const {
  return static_cast<std::int32_t>(Read_Number(Q("//hound_start_PC_mill"), Width::Bits32));
}
void Cls_XML_header::Set_Hound_start_PC_mill(long long v) {
  Write_Number(Q("//hound_start_PC_mill"), v, Width::Bits32);
}
QString Cls_XML_header::Hound_start_DateTime() const { return Read_Text(Q("//hound_start_datetime")); }
void Cls_XML_header::Set_Hound_start_DateTime(const QString &v) { Write_Text(Q("//hound_start_datetime"), v); }

QString Cls_XML_header::Hound_box_delay() const { return Read_Text_Or(Q("//hound_box_delay"), QStringLiteral("0")); }
void Cls_XML_header::Set_Hound_box_delay(const QString &v) {
  Write_Text(Q("//hound_box_delay"), v, On_Missing::Skip_Write);
}
QString Cls_XML_header::Hound_Goal_compensation() const { return Numeric_Or_Zero(Q("//hound_goal_time_offset")); }
void Cls_XML_header::Set_Hound_Goal_compensation(const QString &v) { Write_Text(Q("//hound_goal_time_offset"), v); }
QString Cls_XML_header::Hound_Split_compensation() const { return Numeric_Or_Zero(Q("//hound_split_time_offset")); }
void Cls_XML_header::Set_Hound_Split_compensation(const QString &v) { Write_Text(Q("//hound_split_time_offset"), v); }
QString Cls_XML_header::Hound_Goal_Finish() const { return Read_Text(Q("//hound_goal_finish")); }
void Cls_XML_header::Set_Hound_Goal_Finish(const QString &v) {
  Write_Text(Q("//hound_goal_finish"), v, On_Missing::Skip_Write);
}
QString Cls_XML_header::Hound_Goal_Split() const { return Read_Text(Q("//hound_goal_split")); }
void Cls_XML_header::Set_Hound_Goal_Split(const QString &v) {
  Write_Text(Q("//hound_goal_split"), v, On_Missing::Skip_Write);
}
QString Cls_XML_header::Hound_start_HDMI_events() const { return Read_Text(Q("//hound_start_HDMI_events")); }
void Cls_XML_header::Set_Hound_start_HDMI_events(const QString &v) { Write_Text(Q("//hound_start_HDMI_events"), v); }
QString Cls_XML_header::Hound_split_firewire_ID() const { return Read_Text(Q("//hound_split_firewire_ID")); }
void Cls_XML_header::Set_Hound_split_firewire_ID(const QString &v) { Write_Text(Q("//hound_split_firewire_ID"), v); }
QString Cls_XML_header::Hound_goal_firewire_ID() const { return Read_Text(Q("//hound_goal_firewire_ID")); }
void Cls_XML_header::Set_Hound_goal_firewire_ID(const QString &v) { Write_Text(Q("//hound_goal_firewire_ID"), v); }
QString Cls_XML_header::Hound_ph_serial() const { return Read_Text(Q("//hound_ph_serial")); }
void Cls_XML_header::Set_Hound_ph_serial(const QString &v) { Write_Text(Q("//hound_ph_serial"), v); }

// --- boxes ----------------------------------------------------------------------------------

QString Cls_XML_header::Hound_Dog_name(int box) const { return Read_Text(Box_Path(box, "dog_name")); }
void Cls_XML_header::Set_Hound_Dog_name(int box, const QString &v) { Write_Text(Box_Path(box, "dog_name"), v); }

std::int32_t Cls_XML_header::Hound_Heat_time(int box, bool split) const {
  return static_cast<std::int32_t>(
      Read_Number(Box_Path(box, split ? "dog_split_time" : "dog_heat_time"), Width::Bits32));
}
void Cls_XML_header::Set_Hound_Heat_time(int box, bool split, long long v) {
  Write_Number(Box_Path(box, split ? "dog_split_time" : "dog_heat_time"), v, Width::Bits32);
}

std::int32_t Cls_XML_header::Hound_Heat_Click_Time(int box) const {
  const QString path = Box_Path(box, "dog_heat_click_time");
  std::int32_t value = 0;
  return Read_Header_Int32(Read_Text_Or(path, QString()), value) ? value : 0;
}
void Cls_XML_header::Set_Hound_Heat_Click_Time(int box, long long v) {
  Write_Number(Box_Path(box, "dog_heat_click_time"), v, Width::Bits32);
}

std::int16_t Cls_XML_header::Hound_heat_frame(int box) const {
  return static_cast<std::int16_t>(Read_Number(Box_Path(box, "dog_heat_frame"), Width::Bits16));
}
void Cls_XML_header::Set_Hound_heat_frame(int box, long long v) {
  Write_Number(Box_Path(box, "dog_heat_frame"), v, Width::Bits16);
}
std::int16_t Cls_XML_header::Hound_split_frame(int box) const {
  return static_cast<std::int16_t>(Read_Number(Box_Path(box, "dog_split_frame"), Width::Bits16));
}
void Cls_XML_header::Set_Hound_split_frame(int box, long long v) {
  Write_Number(Box_Path(box, "dog_split_frame"), v, Width::Bits16);
}

bool Cls_XML_header::Hound_dead_heat(int box) const {
  return Read_Text_Or(Box_Path(box, "dog_dead_heat"), QString()) == QLatin1String("True");
}
void Cls_XML_header::Set_Hound_dead_heat(int box, bool v) {
  Write_Text(Box_Path(box, "dog_dead_heat"), Bool_Text(v), On_Missing::Skip_Write);
}

// --- computer and program -------------------------------------------------------------------

QString Cls_XML_header::Phidget_serial() const {
  return Read_Text_Or(Q("//phidget_serial"), QStringLiteral("Not known!"));
}
void Cls_XML_header::Set_Phidget_serial(const QString &v) { Write_Text(Q("//phidget_serial"), v); }
QString Cls_XML_header::Computer_name() const {
  return Read_Text_Or(Q("//comp_name"), QStringLiteral("Unknown computer name"));
}
void Cls_XML_header::Set_Computer_name(const QString &v) { Write_Text(Q("//comp_name"), v); }
QString Cls_XML_header::Computer_CPUInfo() const {
  return Read_Text_Or(Q("//comp_cpuinfo"), QStringLiteral("Not known!"));
}
void Cls_XML_header::Set_Computer_CPUInfo(const QString &v) { Write_Text(Q("//comp_cpuinfo"), v); }
QString Cls_XML_header::CPU_bitness() const {
  return Read_Text_Or(Q("//comp_cpubitness"), QStringLiteral("Not known!"));
}
void Cls_XML_header::Set_CPU_bitness(const QString &v) { Write_Text(Q("//comp_cpubitness"), v); }
QString Cls_XML_header::OS_bitness() const { return Read_Text_Or(Q("//comp_osbitness"), QStringLiteral("Not known!")); }
void Cls_XML_header::Set_OS_bitness(const QString &v) { Write_Text(Q("//comp_osbitness"), v); }
QString Cls_XML_header::Capture_Info() const {
  return Read_Text_Or(Q("//comp_captureinfo"), QStringLiteral("Unknown Capture Info!"));
}
void Cls_XML_header::Set_Capture_Info(const QString &v) { Write_Text(Q("//comp_captureinfo"), v); }
QString Cls_XML_header::Capture_sample_size() const { return Read_Text(Q("//capture_sample_size")); }
void Cls_XML_header::Set_Capture_sample_size(const QString &v) { Write_Text(Q("//capture_sample_size"), v); }
QString Cls_XML_header::Capture_property() const { return Read_Text_Or(Q("//capture_property"), QString()); }
void Cls_XML_header::Set_Capture_property(const QString &v) { Write_Text(Q("//capture_property"), v); }
QString Cls_XML_header::Capture_source() const { return Read_Text_Or(Q("//capture_source"), QString()); }
void Cls_XML_header::Set_Capture_source(const QString &v) { Write_Text(Q("//capture_source"), v); }
QString Cls_XML_header::Actual_sample() const { return Read_Text_Or(Q("//actual_sample"), QString()); }
void Cls_XML_header::Set_Actual_sample(const QString &v) { Write_Text(Q("//actual_sample"), v); }
QString Cls_XML_header::OS_version() const { return Read_Text_Or(Q("//os_version"), QString()); }
void Cls_XML_header::Set_OS_version(const QString &v) { Write_Text(Q("//os_version"), v); }
QString Cls_XML_header::Program_ID() const { return Read_Text(Q("//prog_id")); }
void Cls_XML_header::Set_Program_ID(const QString &v) { Write_Text(Q("//prog_id"), v); }
QString Cls_XML_header::Program_Major() const { return Read_Text(Q("//prog_major")); }
void Cls_XML_header::Set_Program_Major(const QString &v) { Write_Text(Q("//prog_major"), v); }
QString Cls_XML_header::Program_Minor() const { return Read_Text(Q("//prog_minor")); }
void Cls_XML_header::Set_Program_Minor(const QString &v) { Write_Text(Q("//prog_minor"), v); }
QString Cls_XML_header::Program_Revision() const { return Read_Text(Q("//prog_revision")); }
void Cls_XML_header::Set_Program_Revision(const QString &v) { Write_Text(Q("//prog_revision"), v); }
QString Cls_XML_header::Exe_Name() const { return Read_Text(Q("//exe_name")); }
void Cls_XML_header::Set_Exe_Name(const QString &v) { Write_Text(Q("//exe_name"), v); }
QString Cls_XML_header::Computer_Uptime() const { return Read_Text(Q("//computer_uptime")); }
void Cls_XML_header::Set_Computer_Uptime(const QString &v) { Write_Text(Q("//computer_uptime"), v); }
QString Cls_XML_header::Program_Uptime() const { return Read_Text(Q("//program_uptime")); }
void Cls_XML_header::Set_Program_Uptime(const QString &v) { Write_Text(Q("//program_uptime"), v); }

// --- file -----------------------------------------------------------------------------------

QString Cls_XML_header::Creation_date() const { return Read_Text(Q("//creation_date")); }
void Cls_XML_header::Set_Creation_date(const QString &v) { Write_Text(Q("//creation_date"), v); }

QString Cls_XML_header::Last_Capture_time() const {
  const pugi::xml_node node = Find(Q("//last_capture_time"));
  if (!node)
    return Creation_date();
  const QString text = Text_Of(node);
  return text.isEmpty() ? QStringLiteral("0") : text;
}
void Cls_XML_header::Set_Last_Capture_time(const QString &v) { Write_Text(Q("//last_capture_time"), v); }

QString Cls_XML_header::Update_Time() const { return Read_Text(Q("//update_date")); }
void Cls_XML_header::Set_Update_Time(const QString &v) { Write_Text(Q("//update_date"), v); }
QString Cls_XML_header::Update_Program() const { return Read_Text(Q("//update_program")); }
void Cls_XML_header::Set_Update_Program(const QString &v) { Write_Text(Q("//update_program"), v); }

std::int16_t Cls_XML_header::Frames_no() const {
  return static_cast<std::int16_t>(Read_Number(Q("//num_frames"), Width::Bits16));
}
void Cls_XML_header::Set_Frames_no(long long v) { Write_Number(Q("//num_frames"), v, Width::Bits16); }
std::int16_t Cls_XML_header::Segments_no() const {
  return static_cast<std::int16_t>(Read_Number(Q("//num_segments"), Width::Bits16));
}
void Cls_XML_header::Set_Segments_no(long long v) { Write_Number(Q("//num_segments"), v, Width::Bits16); }
std::int16_t Cls_XML_header::Streams_no() const {
  return static_cast<std::int16_t>(Read_Number(Q("//num_streams"), Width::Bits16));
}
void Cls_XML_header::Set_Streams_no(long long v) { Write_Number(Q("//num_streams"), v, Width::Bits16); }
QString Cls_XML_header::Timing_Bias() const { return Read_Text(Q("//timing_bias")); }
void Cls_XML_header::Set_Timing_Bias(const QString &v) { Write_Text(Q("//timing_bias"), v); }
QString Cls_XML_header::Hdr_spare1() const { return Read_Text(Q("//hdr_spare1")); }
void Cls_XML_header::Set_Hdr_spare1(const QString &v) { Write_Text(Q("//hdr_spare1"), v); }

QString Cls_XML_header::comment(int n) const {
  return Read_Text_Or(QStringLiteral("//file_comment%1").arg(n), QString());
}
void Cls_XML_header::Set_comment(int n, const QString &v) { Write_Text(QStringLiteral("//file_comment%1").arg(n), v); }
QString Cls_XML_header::File_comment1() const { return Read_Text(Q("//file_comment1")); }
void Cls_XML_header::Set_File_comment1(const QString &v) { Write_Text(Q("//file_comment1"), v); }
QString Cls_XML_header::Subject_name() const { return Read_Text(Q("//subject_name")); }
void Cls_XML_header::Set_Subject_name(const QString &v) { Write_Text(Q("//subject_name"), v); }
QString Cls_XML_header::SpecApp() const { return Read_Text(Q("//specapp1")); }
void Cls_XML_header::Set_SpecApp(const QString &v) { Write_Text(Q("//specapp1"), v); }

// --- frames ---------------------------------------------------------------------------------

std::int16_t Cls_XML_header::Measured_fps() const {
  return static_cast<std::int16_t>(Read_Number(Q("//RGB_fps"), Width::Bits16));
}
void Cls_XML_header::Set_Running_Fps(long long v) { Write_Number(Q("//RGB_fps"), v, Width::Bits16); }

bool Cls_XML_header::RGB_interlaced() const { return Read_True_False(Q("//RGB_interlaced")); }
void Cls_XML_header::Set_RGB_interlaced(bool v) { Write_Text(Q("//RGB_interlaced"), Bool_Text(v)); }
bool Cls_XML_header::RGB_Rotated() const { return Read_t_f(Q("//RGB_rotated")); }
void Cls_XML_header::Set_RGB_Rotated(bool v) { Write_Text(Q("//RGB_rotated"), Bool_to_XML_string(v)); }
bool Cls_XML_header::RGB_preview_on() const { return Read_True_False(Q("//RGB_preview_on")); }
void Cls_XML_header::Set_RGB_preview_on(bool v) { Write_Text(Q("//RGB_preview_on"), Bool_Text(v)); }

std::int16_t Cls_XML_header::RGB_X() const {
  return static_cast<std::int16_t>(Read_Number(Q("//RGB_X"), Width::Bits16));
}
void Cls_XML_header::Set_RGB_X(long long v) { Write_Number(Q("//RGB_X"), v, Width::Bits16); }
std::int16_t Cls_XML_header::RGB_Y() const {
  return static_cast<std::int16_t>(Read_Number(Q("//RGB_Y"), Width::Bits16));
}
void Cls_XML_header::Set_RGB_Y(long long v) { Write_Number(Q("//RGB_Y"), v, Width::Bits16); }

std::int32_t Cls_XML_header::RGB_Image_Size() const {
  return static_cast<std::int32_t>(Read_Number(Q("//RGB_image_size"), Width::Bits32));
}
void Cls_XML_header::Set_RGB_Image_Size(long long v) { Write_Number(Q("//RGB_image_size"), v, Width::Bits32); }
std::int32_t Cls_XML_header::RGB_Sample_Size() const {
  return static_cast<std::int32_t>(Read_Number(Q("//RGB_sample_size"), Width::Bits32));
}
void Cls_XML_header::Set_RGB_Sample_Size(long long v) { Write_Number(Q("//RGB_sample_size"), v, Width::Bits32); }
std::int32_t Cls_XML_header::RGB_Compressed_max_Size() const {
  return static_cast<std::int32_t>(Read_Number(Q("//RGB_compressed_max_size"), Width::Bits32));
}
void Cls_XML_header::Set_RGB_Compressed_max_Size(long long v) {
  Write_Number(Q("//RGB_compressed_max_size"), v, Width::Bits32);
}
std::int32_t Cls_XML_header::RGB_Compressed_min_Size() const {
  return static_cast<std::int32_t>(Read_Number(Q("//RGB_compressed_min_size"), Width::Bits32));
}
void Cls_XML_header::Set_RGB_Compressed_min_Size(long long v) {
  Write_Number(Q("//RGB_compressed_min_size"), v, Width::Bits32);
}
std::int32_t Cls_XML_header::RGB_Compressed_buffer_Size() const {
  return static_cast<std::int32_t>(Read_Number(Q("//RGB_compressed_buffer_size"), Width::Bits32));
}
void Cls_XML_header::Set_RGB_Compressed_buffer_Size(long long v) {
  Write_Number(Q("//RGB_compressed_buffer_size"), v, Width::Bits32);
}
std::int32_t Cls_XML_header::RGB_Max_Seen_size() const {
  return static_cast<std::int32_t>(Read_Number(Q("//RGB_max_seen_size"), Width::Bits32));
}
void Cls_XML_header::Set_RGB_Max_Seen_size(long long v) { Write_Number(Q("//RGB_max_seen_size"), v, Width::Bits32); }
std::int32_t Cls_XML_header::RGB_Comp_Threshold() const {
  return static_cast<std::int32_t>(Read_Number(Q("//RGB_comp_threshold"), Width::Bits32));
}
void Cls_XML_header::Set_RGB_Comp_Threshold(long long v) { Write_Number(Q("//RGB_comp_threshold"), v, Width::Bits32); }

QString Cls_XML_header::RGB_fourcc() const { return Read_Text(Q("//RGB_fourcc")); }
void Cls_XML_header::Set_RGB_fourcc(const QString &v) { Write_Text(Q("//RGB_fourcc"), v); }
QString Cls_XML_header::RGB_JPEG_codec() const {
  return Read_Text_Or(Q("//RGB_JPEG_Codec"), QStringLiteral("unknown"));
}
void Cls_XML_header::Set_RGB_JPEG_codec(const QString &v) { Write_Text(Q("//RGB_JPEG_Codec"), v); }
QString Cls_XML_header::RGB_JPEG_Quality() const {
  return Read_Text_Or(Q("//RGB_JPEG_Quality"), QStringLiteral("0000"));
}
void Cls_XML_header::Set_RGB_JPEG_Quality(const QString &v) { Write_Text(Q("//RGB_JPEG_Quality"), v); }
std::int16_t Cls_XML_header::JPG_Reduced_Qual_num() const {
  return static_cast<std::int16_t>(Read_Number(Q("//RGB_JPEG_Quality_num_reduced"), Width::Bits16));
}
void Cls_XML_header::Set_JPG_Reduced_Qual_num(long long v) {
  Write_Number(Q("//RGB_JPEG_Quality_num_reduced"), v, Width::Bits16);
}
