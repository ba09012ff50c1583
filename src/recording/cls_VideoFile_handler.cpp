#include "recording/cls_VideoFile_handler.h"

#include "support/Failure.h"
#include "support/Non_dependant.h"
#include "support/Operator.h"
#include "support/Trace.h"

#include <QFileInfo>

namespace {
constexpr Location_Of Location{"Class", "cls_VideoFile_handler"};
} // namespace

cls_VideoFile_handler::cls_VideoFile_handler() {
  m_Compressor.out.assign(1000001, 0);
  m_Source.Create(720, 576);
}

cls_VideoFile_handler::~cls_VideoFile_handler() {
  // A file still open for header writes leaves no side copy behind.
  try {
    Finish_Header_Writes(m_File);
  } catch (...) {
    Report_Current_Failure(Location("Class_Terminate"));
  }
}

void cls_VideoFile_handler::Set_File_name(const QString &name) {
  m_File_Name = name;
  m_File_Suffix = File_Suffix(name).toLower();
}

Cls_XML_header &cls_VideoFile_handler::Header() {
  if (!m_Header)
    m_Header = std::make_unique<Cls_XML_header>();
  return *m_Header;
}

std::int64_t cls_VideoFile_handler::File_size() const {
  if (m_File.Is_Open())
    return m_File.Size();
  return Get_File_Size(m_File_Name);
}

void cls_VideoFile_handler::Close_File() {
  Write_Trace(QStringLiteral("*Close_File m_File_Num = ") + QString::number(m_File_Num));
  if (!m_File.Is_Open()) {
    m_Pass_Refused = false; // the pass is over either way
    Guarded(Location("Close_File"), [&] { Tell_Frames_Without_Picture(); });
    return;
  }
  try {
    if (m_File_Suffix == QLatin1String("qk3") && m_Frames_Appended > 0) {
      Write_Trace(QStringLiteral("*Close_File qk3, m_RGB_frames_appended = ") + QString::number(m_Frames_Appended));
      Cls_XML_header &h = Header();
      h.Set_Frames_no(static_cast<long long>(h.Frames_no()) + m_Frames_Appended);
      m_Frames_Appended = 0;
      if (m_Measured_Record_Size > 0)
        h.Set_RGB_Sample_Size(m_Measured_Record_Size);
      h.Set_Segments_no(static_cast<long long>(h.Segments_no()) + 1);
      if (m_Pass_Max_JPEG > 0 || m_Pass_Min_JPEG > 0) {
        h.Set_RGB_Compressed_max_Size(std::max(h.RGB_Compressed_max_Size(), m_Pass_Max_JPEG));
        h.Set_RGB_Compressed_min_Size(std::min(h.RGB_Compressed_min_Size(), m_Pass_Min_JPEG));
      }
      Count_Reduced_Quality(h);
      Write_QK3_header();
    }
    Tell_Frames_Without_Picture();
  } catch (...) {
    Report_Current_Failure(Location("Close_File"));
  }
  try {
    Finish_Header_Writes(m_File);
  } catch (...) {
    Report_Current_Failure(Location("Close_File"));
  }
  m_File.Close();
  Reset_File_State();
}

// What a pass stored without picture is told once, when the pass ends; the close that
// measures the record size inside a pass does not end it.
void cls_VideoFile_handler::Tell_Frames_Without_Picture() {
  if (m_Measuring_Close)
    return;
  if (m_Pass_Without_Picture > 0) {
    const std::int32_t lost = m_Pass_Without_Picture;
    m_Pass_Without_Picture = 0;
    Msg_Box(QStringLiteral("%1 frame(s) did not fit their records even at the lowest JPEG quality. They are "
                           "stored with their times and without picture, and show as \"Corrupted video\".")
                .arg(lost),
            Msg_Buttons::OK, Msg_Icon::Exclamation);
  }
  if (m_Pass_Not_Compressed > 0) {
    const std::int32_t failed = m_Pass_Not_Compressed;
    const QString why = m_Pass_First_Compress_Failure;
    m_Pass_Not_Compressed = 0;
    m_Pass_First_Compress_Failure.clear();
    Msg_Box(QStringLiteral("%1 frame(s) could not be compressed. They are stored with their times and without "
                           "picture, and show as \"Corrupted video\". The first failure: %2")
                .arg(failed)
                .arg(why),
            Msg_Buttons::OK, Msg_Icon::Exclamation);
  }
}

// The report of the recording counts the frames stored below the base quality. Only a
// statistic: a header without a readable count keeps its counters all the same.
void cls_VideoFile_handler::Count_Reduced_Quality(Cls_XML_header &h) {
  const std::int32_t reduced = m_Pass_Reduced;
  m_Pass_Reduced = 0;
  if (reduced == 0)
    return;
  try {
    h.Set_JPG_Reduced_Qual_num(static_cast<long long>(h.JPG_Reduced_Qual_num()) + reduced);
  } catch (const Lurcher_Failure &f) {
    Write_Trace(QStringLiteral("*Close_File, reduced quality count not kept: ") + f.Description());
  }
}

void cls_VideoFile_handler::Reset_File_State() {
  m_File_Num = 0;
  m_Pass_Reduced = 0;
  m_Measured_Record_Size = 0;
  m_Frames_Appended = 0;
  m_Pass_Min_JPEG = 0;
  m_Pass_Max_JPEG = 0;
  m_Pass_Refused = false;
  m_Append_Settled = false;
  m_Loaded_Record = 0;
  m_Loaded_Decoded = false;
}

// ---- Header properties: a failure is reported here and reads give 0 or empty text ----

namespace {
template <class T, class Body> T Read_Property(const char *name, T fallback, Body &&body) {
  return Guarded(Location(name), fallback, std::forward<Body>(body));
}
template <class Body> void Write_Property(const char *name, Body &&body) {
  Guarded(Location(name), std::forward<Body>(body));
}
} // namespace

QString cls_VideoFile_handler::Hound_event() {
  return Read_Property("Hound_event", QString(), [&] { return Header().Hound_event(); });
}
void cls_VideoFile_handler::Set_Hound_event(const QString &v) {
  Write_Property("Hound_event", [&] { Header().Set_Hound_event(v); });
}
QString cls_VideoFile_handler::Hound_Heat_ID() {
  return Read_Property("Hound_Heat_ID", QString(), [&] { return Header().Hound_Heat_ID(); });
}
void cls_VideoFile_handler::Set_Hound_Heat_ID(const QString &v) {
  Write_Property("Hound_Heat_ID", [&] { Header().Set_Hound_Heat_ID(v); });
}
QString cls_VideoFile_handler::Hound_Heat_Name() {
  return Read_Property("Hound_Heat_Name", QString(), [&] { return Header().Hound_Heat_Name(); });
}
void cls_VideoFile_handler::Set_Hound_Heat_Name(const QString &v) {
  Write_Property("Hound_Heat_Name", [&] { Header().Set_Hound_Heat_Name(v); });
}
QString cls_VideoFile_handler::Hound_Dog_name(int box) {
  return Read_Property("Hound_Dog_name", QString(), [&] { return Header().Hound_Dog_name(box); });
}
void cls_VideoFile_handler::Set_Hound_Dog_name(int box, const QString &v) {
  Write_Property("Hound_Dog_name", [&] { Header().Set_Hound_Dog_name(box, v); });
}
std::int32_t cls_VideoFile_handler::Hound_Heat_time(int box, bool split) {
  return Read_Property("Hound_Heat_time", std::int32_t{0}, [&] { return Header().Hound_Heat_time(box, split); });
}
void cls_VideoFile_handler::Set_Hound_Heat_time(int box, bool split, std::int32_t v) {
  Write_Property("Hound_Heat_time", [&] { Header().Set_Hound_Heat_time(box, split, v); });
}
std::int32_t cls_VideoFile_handler::Hound_Heat_Click_Time(int box) {
  return Read_Property("Hound_Heat_Click_Time", std::int32_t{0}, [&] { return Header().Hound_Heat_Click_Time(box); });
}
void cls_VideoFile_handler::Set_Hound_Heat_Click_Time(int box, std::int32_t v) {
  Write_Property("Hound_Heat_Click_Time", [&] { Header().Set_Hound_Heat_Click_Time(box, v); });
}
std::int16_t cls_VideoFile_handler::Hound_heat_frame(int box) {
  return Read_Property("Hound_heat_frame", std::int16_t{0}, [&] { return Header().Hound_heat_frame(box); });
}
void cls_VideoFile_handler::Set_Hound_heat_frame(int box, std::int16_t v) {
  Write_Property("Hound_heat_frame", [&] { Header().Set_Hound_heat_frame(box, v); });
}
std::int16_t cls_VideoFile_handler::Hound_split_frame(int box) {
  return Read_Property("Hound_split_frame", std::int16_t{0}, [&] { return Header().Hound_split_frame(box); });
}
void cls_VideoFile_handler::Set_Hound_split_frame(int box, std::int16_t v) {
  Write_Property("Hound_split_frame", [&] { Header().Set_Hound_split_frame(box, v); });
}
bool cls_VideoFile_handler::Hound_dead_heat(int box) {
  return Read_Property("Hound_dead_heat", false, [&] { return Header().Hound_dead_heat(box); });
}
void cls_VideoFile_handler::Set_Hound_dead_heat(int box, bool v) {
  Write_Property("Hound_dead_heat", [&] { Header().Set_Hound_dead_heat(box, v); });
}
std::int32_t cls_VideoFile_handler::Hound_heat_start_local() {
  return Read_Property("Hound_heat_start_local", std::int32_t{0}, [&] { return Header().Hound_heat_start_local(); });
}
void cls_VideoFile_handler::Set_Hound_heat_start_local(std::int32_t v) {
  Write_Property("Hound_heat_start_local", [&] { Header().Set_Hound_heat_start_local(v); });
}
std::int32_t cls_VideoFile_handler::Hound_start_PC_mill() {
  return Read_Property("Hound_start_PC_mill", std::int32_t{0}, [&] { return Header().Hound_start_PC_mill(); });
}
void cls_VideoFile_handler::Set_Hound_start_PC_mill(std::int32_t v) {
  Write_Property("Hound_start_PC_mill", [&] { Header().Set_Hound_start_PC_mill(v); });
}
QString cls_VideoFile_handler::Hound_start_DateTime() {
  return Read_Property("Hound_start_DateTime", QString(), [&] { return Header().Hound_start_DateTime(); });
}
void cls_VideoFile_handler::Set_Hound_start_DateTime(const QString &v) {
  Write_Property("Hound_start_DateTime", [&] { Header().Set_Hound_start_DateTime(v); });
}
QString cls_VideoFile_handler::Hound_Heat_Length() {
  return Read_Property("Hound_Heat_Length", QString(), [&] { return Header().Hound_Heat_Length(); });
}
QString cls_VideoFile_handler::Hound_box_delay() {
  return Read_Property("Hound_box_delay", QString(), [&] { return Header().Hound_box_delay(); });
}
void cls_VideoFile_handler::Set_Hound_box_delay(const QString &v) {
  Write_Property("Hound_box_delay", [&] { Header().Set_Hound_box_delay(v); });
}
QString cls_VideoFile_handler::Hound_Goal_compensation() {
  return Read_Property("Hound_Goal_compensation", QString(), [&] { return Header().Hound_Goal_compensation(); });
}
void cls_VideoFile_handler::Set_Hound_Goal_compensation(const QString &v) {
  Write_Property("Hound_Goal_compensation", [&] { Header().Set_Hound_Goal_compensation(v); });
}
QString cls_VideoFile_handler::Hound_Split_compensation() {
  return Read_Property("Hound_Split_compensation", QString(), [&] { return Header().Hound_Split_compensation(); });
}
void cls_VideoFile_handler::Set_Hound_Split_compensation(const QString &v) {
  Write_Property("Hound_Split_compensation", [&] { Header().Set_Hound_Split_compensation(v); });
}
QString cls_VideoFile_handler::Hound_Goal_Finish() {
  return Read_Property("Hound_Goal_Finish", QString(), [&] { return Header().Hound_Goal_Finish(); });
}
void cls_VideoFile_handler::Set_Hound_Goal_Finish(const QString &v) {
  Write_Property("Hound_Goal_Finish", [&] { Header().Set_Hound_Goal_Finish(v); });
}
QString cls_VideoFile_handler::Hound_Goal_Split() {
  return Read_Property("Hound_Goal_Split", QString(), [&] { return Header().Hound_Goal_Split(); });
}
void cls_VideoFile_handler::Set_Hound_Goal_Split(const QString &v) {
  Write_Property("Hound_Goal_Split", [&] { Header().Set_Hound_Goal_Split(v); });
}
QString cls_VideoFile_handler::Phidget_serial() {
  return Read_Property("Phidget_serial", QString(), [&] { return Header().Phidget_serial(); });
}
void cls_VideoFile_handler::Set_Phidget_serial(const QString &v) {
  Write_Property("Phidget_serial", [&] { Header().Set_Phidget_serial(v); });
}
std::int16_t cls_VideoFile_handler::Measured_fps() {
  return Read_Property("Measured_fps", std::int16_t{0}, [&] { return Header().Measured_fps(); });
}
