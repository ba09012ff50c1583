#pragma once
// The heat header: the XML document every heat file carries. It describes the recording
// (frame geometry, compression, counters, the computer and program that made it) and the
// heat (event, start stamps, compensations, per box the dog and its judged times). Every
// value is read and written through an XPath query on the parsed document; the document is
// serialized into the header block of the heat file as ISO-8859-1 text.
//
// Reads of a missing or unreadable element either give the element's fallback or raise a
// failure the caller reports: 91 for a missing element, 13 for text that is not a number,
// 6 for a number that does not fit its 16 or 32 bits. Writes never create elements.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <memory>

namespace pugi {
class xml_document;
class xml_node;
} // namespace pugi

// Texts a new header records about the program, the machine and the capture source.
struct Header_Origin {
  QString creation_date; // "yy-mm-dd hh:mm:ss"
  QString comp_name, comp_cpuinfo, comp_cpubitness, comp_physram, comp_osbitness;
  QString capture_property, capture_source, actual_sample;
  QString comp_manufacturer_model, phidget_serial;
  QString exe_name, prog_major, prog_minor, prog_revision, compile_date;
  QString computer_uptime, program_uptime, exe_filedate, os_version;
};

// Capture and interface-kit texts the program keeps current for the next header (set by the
// capture object and the race control before a file is initiated).
namespace Header_Sources {
inline QString Capture_Property;
inline QString Capture_Source;
inline QString Actual_Sample;
inline QString Phidget_Serial;
inline QString Manufacturer_Model; // empty: read from the firmware tables once
} // namespace Header_Sources

// The origin texts of now: the system information of start-up, the clock, the program.
Header_Origin Gather_Header_Origin();

class Cls_XML_header {
public:
  Cls_XML_header();
  ~Cls_XML_header();
  Cls_XML_header(const Cls_XML_header &) = delete;
  Cls_XML_header &operator=(const Cls_XML_header &) = delete;

  // Which sections Create_Header builds and appends.
  bool Golfing = false;
  bool Tidemark = false;
  bool Lurcher = true;
  bool rgb = false;
  // The program-wide dog-race switch: the lurcher section exists only while it is on.
  static inline bool Dog_Race_Switch = true;

  // The document
  void Create_Header();
  void Create_Header(const Header_Origin &origin);
  QString XML_string();                     // serializes the document
  void Set_XML_string(const QString &text); // parses; the valid flag tells the outcome
  QByteArray XML_bytes();                   // the serialized text as ISO-8859-1 bytes
  std::int32_t Len_XML();                   // length of the text serialized now
  std::int16_t XML_len() const;             // length of the last serialized text
  bool Valid() const { return valid_; }
  void Dump_XML_to_File(const QString &name);

  static QString Bool_to_XML_string(bool b);        // "t" / "f"
  static bool XML_string_to_Bool(const QString &s); // "t" or "Y" read as true
  // The system's general date form: short date and long time of the user's locale.
  static QString General_Date_Text(const QDateTime &when);

  // Heat
  QString Hound_event() const;
  void Set_Hound_event(const QString &v);
  QString Hound_Heat_ID() const;
  void Set_Hound_Heat_ID(const QString &v);
  QString Hound_Heat_Name() const;
  void Set_Hound_Heat_Name(const QString &v);
  QString Hound_Heat_Length() const; // empty when missing
  void Set_Hound_Heat_Length(const QString &v);
  std::int32_t Hound_heat_start_local() const;
  void Set_Hound_heat_start_local(long long v);
  std::int32_t Hound_start_PC_mill() const;
  void Set_Hound_start_PC_mill(long long v);
  QString Hound_start_DateTime() const;
  void Set_Hound_start_DateTime(const QString &v);
  QString Hound_box_delay() const; // "0" when missing; a write to a missing element is skipped
  void Set_Hound_box_delay(const QString &v);
  QString Hound_Goal_compensation() const; // "0" when missing or not a number
  void Set_Hound_Goal_compensation(const QString &v);
  QString Hound_Split_compensation() const; // "0" when missing or not a number
  void Set_Hound_Split_compensation(const QString &v);
  QString Hound_Goal_Finish() const; // "x1,y1,x2,y2"; a write to a missing element is skipped
  void Set_Hound_Goal_Finish(const QString &v);
  QString Hound_Goal_Split() const;
  void Set_Hound_Goal_Split(const QString &v);
  QString Hound_start_HDMI_events() const;
  void Set_Hound_start_HDMI_events(const QString &v);
  QString Hound_split_firewire_ID() const;
  void Set_Hound_split_firewire_ID(const QString &v);
  QString Hound_goal_firewire_ID() const;
  void Set_Hound_goal_firewire_ID(const QString &v);
  QString Hound_ph_serial() const;
  void Set_Hound_ph_serial(const QString &v);

  // Boxes 1 to 8
  QString Hound_Dog_name(int box) const;
  void Set_Hound_Dog_name(int box, const QString &v);
  std::int32_t Hound_Heat_time(int box, bool split) const;
  void Set_Hound_Heat_time(int box, bool split, long long v);
  std::int32_t Hound_Heat_Click_Time(int box) const; // 0 when missing or unreadable
  void Set_Hound_Heat_Click_Time(int box, long long v);
  std::int16_t Hound_heat_frame(int box) const;
  void Set_Hound_heat_frame(int box, long long v);
  std::int16_t Hound_split_frame(int box) const;
  void Set_Hound_split_frame(int box, long long v);
  bool Hound_dead_heat(int box) const; // false when missing; a write to a missing element is skipped
  void Set_Hound_dead_heat(int box, bool v);

  // Computer and program
  QString Phidget_serial() const; // "Not known!" when missing
  void Set_Phidget_serial(const QString &v);
  QString Computer_name() const; // "Unknown computer name" when missing
  void Set_Computer_name(const QString &v);
  QString Computer_CPUInfo() const; // "Not known!" when missing
  void Set_Computer_CPUInfo(const QString &v);
  QString CPU_bitness() const; // "Not known!" when missing
  void Set_CPU_bitness(const QString &v);
  QString OS_bitness() const; // "Not known!" when missing
  void Set_OS_bitness(const QString &v);
  QString Capture_Info() const; // "Unknown Capture Info!" when missing
  void Set_Capture_Info(const QString &v);
  QString Capture_sample_size() const;
  void Set_Capture_sample_size(const QString &v);
  QString Capture_property() const; // empty when missing
  void Set_Capture_property(const QString &v);
  QString Capture_source() const; // empty when missing
  void Set_Capture_source(const QString &v);
  QString Actual_sample() const; // empty when missing
  void Set_Actual_sample(const QString &v);
  QString OS_version() const; // empty when missing
  void Set_OS_version(const QString &v);
  QString Program_ID() const;
  void Set_Program_ID(const QString &v);
  QString Program_Major() const;
  void Set_Program_Major(const QString &v);
  QString Program_Minor() const;
  void Set_Program_Minor(const QString &v);
  QString Program_Revision() const;
  void Set_Program_Revision(const QString &v);
  QString Exe_Name() const;
  void Set_Exe_Name(const QString &v);
  QString Computer_Uptime() const;
  void Set_Computer_Uptime(const QString &v);
  QString Program_Uptime() const;
  void Set_Program_Uptime(const QString &v);

  // File
  QString Creation_date() const;
  void Set_Creation_date(const QString &v);
  QString Last_Capture_time() const; // the creation date when missing; "0" when empty
  void Set_Last_Capture_time(const QString &v);
  QString Update_Time() const;
  void Set_Update_Time(const QString &v);
  QString Update_Program() const;
  void Set_Update_Program(const QString &v);
  std::int16_t Frames_no() const;
  void Set_Frames_no(long long v);
  std::int16_t Segments_no() const;
  void Set_Segments_no(long long v);
  std::int16_t Streams_no() const;
  void Set_Streams_no(long long v);
  QString Timing_Bias() const;
  void Set_Timing_Bias(const QString &v);
  QString Hdr_spare1() const;
  void Set_Hdr_spare1(const QString &v);
  QString comment(int n) const; // //file_comment<n>; empty when missing
  void Set_comment(int n, const QString &v);
  QString File_comment1() const;
  void Set_File_comment1(const QString &v);
  QString Subject_name() const;
  void Set_Subject_name(const QString &v);
  QString SpecApp() const;
  void Set_SpecApp(const QString &v);

  // Frames
  std::int16_t Measured_fps() const;
  void Set_Running_Fps(long long v);
  bool RGB_interlaced() const; // "True" / "False"
  void Set_RGB_interlaced(bool v);
  bool RGB_Rotated() const; // "t" / "f"
  void Set_RGB_Rotated(bool v);
  bool RGB_preview_on() const; // "True" / "False"
  void Set_RGB_preview_on(bool v);
  std::int16_t RGB_X() const;
  void Set_RGB_X(long long v);
  std::int16_t RGB_Y() const;
  void Set_RGB_Y(long long v);
  std::int32_t RGB_Image_Size() const;
  void Set_RGB_Image_Size(long long v);
  std::int32_t RGB_Sample_Size() const;
  void Set_RGB_Sample_Size(long long v);
  std::int32_t RGB_Compressed_max_Size() const;
  void Set_RGB_Compressed_max_Size(long long v);
  std::int32_t RGB_Compressed_min_Size() const;
  void Set_RGB_Compressed_min_Size(long long v);
  std::int32_t RGB_Compressed_buffer_Size() const;
  void Set_RGB_Compressed_buffer_Size(long long v);
  std::int32_t RGB_Max_Seen_size() const;
  void Set_RGB_Max_Seen_size(long long v);
  std::int32_t RGB_Comp_Threshold() const;
  void Set_RGB_Comp_Threshold(long long v);
  QString RGB_fourcc() const;
  void Set_RGB_fourcc(const QString &v);
  QString RGB_JPEG_codec() const; // "unknown" when missing
  void Set_RGB_JPEG_codec(const QString &v);
  QString RGB_JPEG_Quality() const; // "0000" when missing
  void Set_RGB_JPEG_Quality(const QString &v);
  std::int16_t JPG_Reduced_Qual_num() const;
  void Set_JPG_Reduced_Qual_num(long long v);

  // Whether the document holds an element at that XPath.
  bool Node_Exists(const QString &xpath) const;

private:
  enum class Width { Bits16, Bits32 };
  enum class On_Missing { Fail, Skip_Write };

  pugi::xml_node Find(const QString &xpath) const;
  QString Read_Text(const QString &xpath) const;                             // fails when missing
  QString Read_Text_Or(const QString &xpath, const QString &fallback) const; // fallback when missing
  long long Read_Number(const QString &xpath, Width width) const;
  bool Read_True_False(const QString &xpath) const;
  bool Read_t_f(const QString &xpath) const;
  void Write_Text(const QString &xpath, const QString &text, On_Missing missing = On_Missing::Fail);
  void Write_Number(const QString &xpath, long long value, Width width);
  QString Numeric_Or_Zero(const QString &xpath) const;
  static QString Box_Path(int box, const char *element);

  std::unique_ptr<pugi::xml_document> doc_;
  QString xml_text_; // last serialized text
  bool valid_ = false;
};
