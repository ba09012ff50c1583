// The writing half of the heat file object: creating the file, rewriting its header,
// choosing the slot size and appending frames one by one.

#include "recording/cls_VideoFile_handler.h"

#include "recording/mIntelJPEGLibrary.h"
#include "support/Clock.h"
#include "support/Failure.h"
#include "support/Globals.h"
#include "support/Non_dependant.h"
#include "support/Operator.h"
#include "support/Trace.h"

#include <QFileInfo>
#include <algorithm>
#include <cstring>

namespace {
constexpr Location_Of Location{"Class", "cls_VideoFile_handler"};
} // namespace

void cls_VideoFile_handler::Set_Cropped_Y(std::int32_t y) {
  m_Cropped_Y = y;
  Guarded(Location("Cropped_Y"), [&] {
    if (!m_Compressor.bitmap.Create(m_Cropped_X, m_Cropped_Y))
      Raise(Err_Invalid_Call, QStringLiteral("No compression bitmap of %1*%2").arg(m_Cropped_X).arg(m_Cropped_Y));
  });
}

void cls_VideoFile_handler::Create_QK3_header() {
  m_Header = std::make_unique<Cls_XML_header>();
  m_Header->rgb = true;
  m_Header->Create_Header();
}

void cls_VideoFile_handler::Initiate_QK3_File(const QString &) {
  Guarded(Location("Initiate_QK3_File"), [&] {
    Write_Trace(QStringLiteral("*Initiate_QK3_File"));
    m_Last_Compressed_Size = 0;
    m_Slot_Size = 0;
    Close_File();
    Create_QK3_header();
    Cls_XML_header &h = *m_Header;
    h.Set_RGB_X(m_Cropped_X);
    h.Set_RGB_Y(m_Cropped_Y);
    h.Set_RGB_interlaced(m_Next_Interlaced);
    h.Set_RGB_preview_on(false);
    h.Set_RGB_JPEG_Quality(QString::number(JPEG_Start_Quality));
    h.Set_Running_Fps(0);
    h.Set_RGB_Rotated(false);
    h.Set_Hdr_spare1(QStringLiteral("0"));
    h.Set_File_comment1(QString());
    h.Set_RGB_fourcc(m_Codec_Name == QLatin1String("Intel") ? QStringLiteral("IJL") : QStringLiteral("MJPG"));
    h.Set_RGB_JPEG_codec(QStringLiteral("Intel"));
    Write_Trace(QStringLiteral("Write_QK3_Header m_File_Name = : ") + m_File_Name);
    // A new heat never keeps the records of an older file of the same name.
    m_File.Open(m_File_Name, QK3_File::Mode::Create);
    m_File_Num = 1;
    m_File.Truncate(0);
    Write_QK3_header();
    Finish_Header_Writes(m_File);
    m_File.Close();
    m_File_Num = 0;
  });
  if (m_File.Is_Open()) { // the header could not be written
    m_File.Close();
    m_File_Num = 0;
  }
}

void cls_VideoFile_handler::Set_Running_Fps(std::int16_t fps) {
  Guarded(Location("Running_Fps"), [&] { Header().Set_Running_Fps(fps); });
}

void cls_VideoFile_handler::Write_QK3_header() {
  Write_Trace(QStringLiteral("*Write_QK3_header, m_File_Num =  ") + QString::number(m_File_Num));
  if (!m_File.Is_Open())
    return;
  const QByteArray xml = Header().XML_bytes();
  if (xml.isEmpty())
    Raise(Err_Internal, QStringLiteral("The heat header could not be serialized"));
  Write_Header_Block_Safely(m_File, QK3::Build_Header_Block(xml), m_Records_Unsynced);
  m_Records_Unsynced = false;
}

void cls_VideoFile_handler::Write_XML_Header() {
  Guarded(Location("Write_XML_Header"), [&] {
    if (m_File_Suffix != QLatin1String("qk3"))
      return;
    Cls_XML_header &h = Header();
    // The stamps only inform; a header without them (another program's file) is still saved.
    try {
      h.Set_Update_Time(Cls_XML_header::General_Date_Text(Current_Clock().Local_Now()));
      h.Set_Update_Program(Globals::App_Name);
    } catch (const Lurcher_Failure &f) {
      Write_Trace(QStringLiteral("*Write_XML_Header, no update stamp: ") + f.Description());
    }
    if (!m_File.Is_Open())
      Open_For_Writing();
    Write_QK3_header();
  });
}

void cls_VideoFile_handler::Open_For_Writing() {
  if (!QFileInfo::exists(m_File_Name))
    Raise(Err_File_Not_Found, QStringLiteral("File not found: ") + m_File_Name);
  if (Is_Read_Only(m_File_Name))
    Raise(Err_Permission_Denied, QStringLiteral("Permission denied: ") + m_File_Name);
  m_File.Open(m_File_Name, QK3_File::Mode::Read_Write);
  m_File_Num = 1;
  m_Read_Only = false;
  Restore_Header_From_Side_File(m_File);
}

void cls_VideoFile_handler::Calculate_Compressed_Size(const Frame_Buffer_List &frames) {
  Guarded(Location("Calculate_Compressed_Size"), [&] {
    if (!m_File.Is_Open()) {
      Open_For_Writing();
      Read_QK3_Headers();
    }
    // A file that already holds frames keeps its slot: its records must stay uniform.
    Cls_XML_header &h = Header();
    if (h.Frames_no() > 0 && h.RGB_Image_Size() > 0) {
      m_Slot_Size = h.RGB_Image_Size();
      m_Write_Record.assign(static_cast<size_t>(QK3::Record_Size_For_Slot(m_Slot_Size)), 0);
      return;
    }
    std::int32_t largest = 0;
    if (m_Codec_Selected && m_Codec_Name == QLatin1String("Intel")) {
      for (const std::int32_t item : Slot_Test_Frames(static_cast<std::int32_t>(frames.size()))) {
        try {
          m_Last_Compressed_Size =
              Encode_Frame(m_Compressor, *frames.at(static_cast<size_t>(item - 1)), m_Base_Quality);
          largest = std::max(largest, m_Last_Compressed_Size);
        } catch (const Lurcher_Failure &f) {
          // One frame that cannot be compressed says nothing about the size of the others.
          if (f.Number() == Err_Out_Of_Memory)
            throw;
          Write_Trace(QStringLiteral("*Calculate_Compressed_Size, frame %1 not measured: ").arg(item) +
                      f.Description());
        }
      }
    }
    m_Slot_Size = Slot_Size_For(largest);
    m_Write_Record.assign(static_cast<size_t>(QK3::Record_Size_For_Slot(m_Slot_Size)), 0);
    Header().Set_RGB_Image_Size(m_Slot_Size);
    Write_XML_Header();
  });
}

void cls_VideoFile_handler::Open_qk3_for_Append() {
  try {
    Write_Trace(QStringLiteral("*Open_qk3_for_Append"));
    Prepare_Append();
  } catch (...) {
    m_Pass_Refused = true; // one report per pass, not one per frame
    Report_Current_Failure(Location("Open_qk3_for_Append"));
  }
}

// Opens the file when needed, reads its header back and settles where the next record goes.
// A file that already holds frames keeps its slot size: its records must stay uniform.
bool cls_VideoFile_handler::Prepare_Append() {
  if (m_Pass_Refused)
    return false;
  if (!m_File.Is_Open()) {
    Open_For_Writing();
    Read_QK3_Headers();
  }
  if (!m_Append_Settled) {
    Cls_XML_header &h = Header();
    const std::int16_t frames = h.Frames_no();
    const std::int32_t stored_slot = h.RGB_Image_Size();
    if (frames > 0 && stored_slot > 0 && stored_slot != m_Slot_Size) {
      Write_Trace(QStringLiteral("*Open_qk3_for_Append, slot size of the file = ") + QString::number(stored_slot));
      m_Slot_Size = stored_slot;
    }
    const std::int64_t record_size = QK3::Record_Size_For_Slot(m_Slot_Size);
    // Only whole records count; a record cut short by an earlier failure is dropped, and the
    // header is made to count what is on disk.
    const std::int64_t whole = QK3::Whole_Records(m_File.Size(), record_size);
    if (m_Slot_Size > 0 && whole != frames && whole <= QK3::Max_Frames) {
      Write_Trace(QStringLiteral("*Open_qk3_for_Append, records on disk = ") + QString::number(whole) +
                  QStringLiteral(", num_frames = ") + QString::number(frames));
      h.Set_Frames_no(whole);
    }
    m_Append_Position = QK3::Record_Offset(static_cast<std::int32_t>(whole) + 1, record_size);
    if (m_File.Size() != m_Append_Position)
      m_File.Truncate(m_Append_Position);
    m_Append_Settled = true;
  }
  if (m_Slot_Size <= 0)
    Raise(Err_Invalid_Call, QStringLiteral("The slot size of the heat file is not chosen"));
  m_Write_Record.resize(static_cast<size_t>(QK3::Record_Size_For_Slot(m_Slot_Size)));
  if (static_cast<std::int32_t>(Header().Frames_no()) + m_Frames_Appended >= QK3::Max_Frames) {
    m_Pass_Refused = true;
    Write_Trace(QStringLiteral("*Append_RGB_Frame, heat file full, m_File_Name = ") + m_File_Name);
    Msg_Box(QStringLiteral("The heat file is full: it holds %1 frames, the most a heat file can hold. "
                           "The remaining frames are not stored.")
                .arg(QK3::Max_Frames),
            Msg_Buttons::OK, Msg_Icon::Exclamation);
    return false;
  }
  return true;
}

bool cls_VideoFile_handler::Append_RGB_Frame(std::int32_t index) { return Append_RGB_Frame(Frame_Buffers(), index); }

bool cls_VideoFile_handler::Append_RGB_Frame(const Frame_Buffer_List &frames, std::int32_t index) {
  try {
    if (m_Slot_Size == 0 && !m_Pass_Refused)
      Calculate_Compressed_Size(frames);
    if (!Prepare_Append())
      return false;
    if (index < 1 || index > static_cast<std::int64_t>(frames.size()))
      Raise(Err_Subscript, QStringLiteral("Frame %1 of %2").arg(index).arg(frames.size()));
    const Compressed_Record compressed =
        Compress_Into_Record(m_Compressor, *frames[static_cast<size_t>(index - 1)], m_Write_Record.data());
    m_Last_Compressed_Size = compressed.fields.jpeg_size;
    Write_Record(m_Write_Record.data(), compressed);
    return true;
  } catch (...) {
    m_Pass_Refused = true; // one report per pass, not one per frame
    Report_Current_Failure(Location("Append_RGB_Frame"));
    return false;
  }
}

bool cls_VideoFile_handler::Compress_Frame(std::int32_t index, std::int32_t quality) {
  return Compress_Frame(Frame_Buffers(), index, quality);
}

bool cls_VideoFile_handler::Compress_Frame(const Frame_Buffer_List &frames, std::int32_t index, std::int32_t quality) {
  return Guarded(Location("Compress_Frame"), false, [&] {
    if (index < 1 || index > static_cast<std::int64_t>(frames.size()))
      Raise(Err_Subscript, QStringLiteral("Frame %1 of %2").arg(index).arg(frames.size()));
    if (m_Codec_Name != QLatin1String("Intel"))
      return false;
    m_Last_Compressed_Size = Encode_Frame(m_Compressor, *frames[static_cast<size_t>(index - 1)], quality);
    return true;
  });
}

// The frame's bytes lie exactly as the compression bitmap's: a plain copy.
void cls_VideoFile_handler::Copy_Into_Bitmap(Compressor &compressor, const CVideobuff_RGB &frame) const {
  // A bitmap whose making failed keeps its size but has no pixels to copy into.
  if (!compressor.bitmap.DIBSectionBitsPtr())
    Raise(Err_Out_Of_Memory, QStringLiteral("No compression bitmap of %1*%2")
                                 .arg(compressor.bitmap.Width())
                                 .arg(compressor.bitmap.Height()));
  if (frame.RGB_Length() != compressor.bitmap.SizeImage())
    Raise(Err_Invalid_Call, QStringLiteral("A frame of %1 bytes does not match the frame size %2*%3")
                                .arg(frame.RGB_Length())
                                .arg(compressor.bitmap.Width())
                                .arg(compressor.bitmap.Height()));
  std::memcpy(compressor.bitmap.DIBSectionBitsPtr(), frame.Video_Adress(), static_cast<size_t>(frame.RGB_Length()));
}

std::int32_t cls_VideoFile_handler::Encode_Frame(Compressor &compressor, const CVideobuff_RGB &frame,
                                                 std::int32_t quality) const {
  Copy_Into_Bitmap(compressor, frame);
  std::int32_t size = JPEG_Output_Capacity;
  Encode_DIB_To_JPG(compressor.bitmap, compressor.out.data(), size, quality);
  return size;
}

// Copies the frame into the compressor's bitmap, encodes it within the slot and builds the
// whole record. A frame that does not fit even at quality 3 is never written past its slot,
// and a frame that cannot be compressed at all (a frame of another size, a codec failure)
// does not end the pass: either record keeps the times and holds no picture. A compression
// bitmap that could not be made fails every frame alike and is raised.
cls_VideoFile_handler::Compressed_Record cls_VideoFile_handler::Compress_Into_Record(Compressor &compressor,
                                                                                     const CVideobuff_RGB &frame,
                                                                                     std::uint8_t *record) const {
  Compressed_Record result;
  result.fields.capture_mill = frame.Capture_Mill();
  result.fields.capture_delta = frame.Capture_Delta();
  result.fields.capture_local = frame.Capture_Local();
  try {
    Copy_Into_Bitmap(compressor, frame);
    const Fitted_JPEG jpeg =
        Encode_Within_Slot(compressor.bitmap, compressor.out.data(), JPEG_Output_Capacity, m_Slot_Size);
    result.fields.quality = jpeg.quality;
    result.fields.jpeg_size = jpeg.size;
    if (jpeg.size > m_Slot_Size) {
      result.fitted = false;
      result.fields.jpeg_size = 0;
    }
  } catch (const Lurcher_Failure &f) {
    if (f.Number() == Err_Out_Of_Memory)
      throw;
    result.fitted = false;
    result.failure = f.Description();
    result.fields.quality = std::clamp<std::int32_t>(m_Base_Quality, 1, 100);
    result.fields.jpeg_size = 0;
  }
  QK3::Encode_Record(record, m_Slot_Size, result.fields, compressor.out.data());
  return result;
}

void cls_VideoFile_handler::Write_Record(const std::uint8_t *record, const Compressed_Record &compressed) {
  if (compressed.fitted) {
    const std::int32_t size = compressed.fields.jpeg_size;
    const bool first = m_Pass_Min_JPEG == 0 && m_Pass_Max_JPEG == 0;
    m_Pass_Min_JPEG = first ? size : std::min(m_Pass_Min_JPEG, size);
    m_Pass_Max_JPEG = first ? size : std::max(m_Pass_Max_JPEG, size);
  }
  if (m_Frames_Appended == 0)
    m_Length_Before_Pass = m_File.Size();
  const auto record_size = static_cast<std::size_t>(QK3::Record_Size_For_Slot(m_Slot_Size));
  try {
    m_File.Write_At(m_Append_Position, record, record_size);
  } catch (...) {
    // The file stays readable up to its last whole record.
    try {
      m_File.Truncate(m_Append_Position);
    } catch (...) {
    }
    throw;
  }
  m_Append_Position += static_cast<std::int64_t>(record_size);
  m_Records_Unsynced = true;
  m_File.Start_Writeback_Before(m_Append_Position);
  ++m_Frames_Appended;
  if (compressed.fields.quality < m_Base_Quality)
    ++m_Pass_Reduced;
  if (!compressed.fitted) {
    ++m_Frames_Without_Picture;
    const QString frame = QString::number(static_cast<std::int32_t>(Header().Frames_no()) + m_Frames_Appended);
    if (compressed.failure.isEmpty()) {
      ++m_Pass_Without_Picture;
      Write_Trace(QStringLiteral("*Append_RGB_Frame, frame does not fit its slot at quality 3, stored without picture, "
                                 "frame = ") +
                  frame);
    } else {
      if (m_Pass_Not_Compressed++ == 0)
        m_Pass_First_Compress_Failure = compressed.failure;
      Write_Trace(QStringLiteral("*Append_RGB_Frame, frame could not be compressed, stored without picture, frame = ") +
                  frame + QStringLiteral(": ") + compressed.failure);
    }
  }
  if (m_Frames_Appended == 1 && m_Measured_Record_Size == 0) {
    const std::int64_t length = m_File.Size();
    // The pass goes on: what it stored without picture is told once, when it ends.
    m_Measuring_Close = true;
    Close_File();
    m_Measuring_Close = false;
    m_Measured_Record_Size = static_cast<std::int32_t>(length - m_Length_Before_Pass);
  }
}

void cls_VideoFile_handler::JPG_Sizes(std::int32_t smallest, std::int32_t largest) {
  m_Pass_Min_JPEG = smallest;
  m_Pass_Max_JPEG = largest;
}

std::int16_t cls_VideoFile_handler::Segments_Num() {
  return Guarded(Location("Segments_Num"), std::int16_t{0}, [&] { return Header().Segments_no(); });
}
