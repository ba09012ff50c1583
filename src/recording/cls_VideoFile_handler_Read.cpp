// The reading half of the heat file object: opening a heat file for review and loading any
// record by arithmetic. Every size the file states is checked against the file itself
// before it is used; what does not hold gets a clear message or the bad-record flag.

#include "recording/cls_VideoFile_handler.h"

#include "recording/mIntelJPEGLibrary.h"
#include "support/Checked.h"
#include "support/Error_Handler.h"
#include "support/Failure.h"
#include "support/Non_dependant.h"
#include "support/Operator.h"
#include "support/Trace.h"

#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <cstring>
#include <turbojpeg.h>

namespace {
constexpr Location_Of Location{"Class", "cls_VideoFile_handler"};

// "Invalid file format": the file is not what its layout promises.
constexpr std::int16_t Err_Corrupt_File = 321;

[[noreturn]] void Corrupt(const QString &what, std::source_location where = std::source_location::current()) {
  Raise(Err_Corrupt_File, QStringLiteral("Corrupt file, (") + what + QLatin1Char(')'), where);
}

bool Is_File_Failure(std::int16_t number) {
  return (number >= 70 && number <= 79) || number == Err_File_Not_Found || number == Err_Disk_Full || number == 57 ||
         number == 62;
}

// A picture larger than any frame a heat file may declare is not decoded: its size would
// be an allocation the file does not justify.
bool JPEG_Size_Plausible(const std::uint8_t *jpeg, std::int32_t size) {
  struct Handle {
    tjhandle h = tjInitDecompress();
    ~Handle() {
      if (h)
        tjDestroy(h);
    }
  };
  thread_local Handle handle;
  int width = 0, height = 0, sampling = 0, colour = 0;
  if (!handle.h ||
      tjDecompressHeader3(handle.h, jpeg, static_cast<unsigned long>(size), &width, &height, &sampling, &colour) != 0)
    return true; // not a JPEG at all: the codec says so itself
  return width <= QK3::Max_Frame_Side && height <= QK3::Max_Frame_Side;
}

std::int16_t Number_Or_Zero(const QString &text) {
  bool ok = false;
  const int value = text.trimmed().toInt(&ok);
  return ok && value >= -32768 && value <= 32767 ? static_cast<std::int16_t>(value) : 0;
}
} // namespace

bool cls_VideoFile_handler::Open_File(const QString &name) {
  return Guarded(Location("Open_File"), false, [&] {
    Write_Trace(QStringLiteral("*cls_AVI_handler Open_file, File_name = ") + name);
    Close_File();
    Set_File_name(name);
    const QFileInfo info(name);
    if (!info.exists() || info.isDir()) {
      Write_Trace(QStringLiteral("*OF1, filename = ") + name);
      return false;
    }
    if (info.size() < 100) {
      Msg_Box(QStringLiteral("Corrupt file, (Invalid file length)"));
      return false;
    }
    // Heat files are the only recordings read here; a capital suffix is still a heat file.
    if (m_File_Suffix != QLatin1String("qk3")) {
      Msg_Box(QStringLiteral("cls_AVI_handler can't open this file type! ") + name);
      return false;
    }
    m_Read_Only = m_Open_For_Reading_Only || Is_Read_Only(name);
    if (!Open_RGB_File())
      return false;
    m_Ms_Per_Frame = m_Interlaced ? 40 : 20;
    m_Ms_Per_Field = 20;
    m_Clip_Length = Checked_32(static_cast<long long>(m_Ms_Per_Frame) * m_Num_Frames);
    return true;
  });
}

bool cls_VideoFile_handler::Open_RGB_File() {
  Write_Trace(QStringLiteral("*Open_RGB_File, begin ") + QStringLiteral("Filename = ") + m_File_Name +
              QStringLiteral(" Filelength = ") + QString::number(Get_File_Size(m_File_Name)));
  m_Loaded_Record = 0;
  m_Loaded_Decoded = false;
  m_Num_Frames = 0;
  m_Num_Fields = 0;
  try {
    m_File.Open(m_File_Name, m_Read_Only ? QK3_File::Mode::Read_Only : QK3_File::Mode::Read_Write);
    m_File_Num = 1;
    if (!m_Read_Only)
      Restore_Header_From_Side_File(m_File);
    Read_QK3_Headers();
    if (!Load_Header_Values())
      return false;
    if (m_Num_Frames >= 2) {
      Write_Trace(QStringLiteral("*Open_RGB_File, Read_RGB_sample 1"));
      if (Read_RGB_sample(1, false)) {
        Write_Trace(QStringLiteral("*Open_RGB_File, Read_RGB_sample 2"));
        if (Read_RGB_sample(2, false) && Read_RGB_sample(1, false) && Read_RGB_sample(2, false)) {
          Write_Trace(QStringLiteral("*Open_RGB_File, Read_RGB_sample m_Num_RGB_Frames ") +
                      QString::number(m_Num_Frames));
          Read_RGB_sample(static_cast<std::int16_t>(m_Num_Frames), false);
        }
      }
    }
    Write_Trace(QStringLiteral("*Open_RGB_File end, m_File_Num = ") + QString::number(m_File_Num));
    return true;
  } catch (const Lurcher_Failure &f) {
    m_File.Close();
    Reset_File_State();
    if (f.Number() == Err_Corrupt_File) {
      Msg_Box(f.Description(), Msg_Buttons::OK, Msg_Icon::Exclamation);
    } else if (Is_File_Failure(f.Number())) {
      Beep();
      Msg_Box(QStringLiteral("Windows error when trying to open file: ") + m_File_Name + QStringLiteral("\r\n") +
                  QStringLiteral("Windows says: ") + f.Description() + QStringLiteral(" ,error number = ") +
                  QString::number(f.Number()),
              Msg_Buttons::OK, Msg_Icon::Critical);
    } else {
      QKR_Error_Handler(f.Description(), f.Number(), f.Line(), Location("Open_RGB_File"), QString());
    }
    return false;
  } catch (...) {
    m_File.Close();
    Reset_File_State();
    Report_Current_Failure(Location("Open_RGB_File"));
    return false;
  }
}

void cls_VideoFile_handler::Read_QK3_Headers() {
  Write_Trace(QStringLiteral("*Read_QK3_Headers start"));
  Header_Block block{};
  const std::size_t got = m_File.Read_Some_At(0, block.data(), block.size());
  QK3::Header_Block_View view = QK3::Parse_Header_Block(block);
  Header_Block side{};
  const bool side_ok = !m_File.Writable() && Read_Header_Side_File(m_File.Path(), side);
  if (side_ok) // a read-only file whose last header rewrite did not finish
    view = QK3::Parse_Header_Block(side);
  else if (got < block.size())
    Corrupt(QStringLiteral("Incomplete header block"));
  if (!view.magic_ok || !view.tail_magic_ok)
    Write_Trace(QStringLiteral("*Read_QK3_Headers, header block marks missing"));
  if (view.xml_length < 0)
    Corrupt(QStringLiteral("Invalid header length %1").arg(view.xml_length));
  QByteArray xml = view.xml;
  if (view.xml_length > QK3::Xml_Area_Size) {
    // Read no more than the area; the text ends at its first zero byte.
    Write_Trace(QStringLiteral("*Read_QK3_Headers, XML_len beyond the area = ") + QString::number(view.xml_length));
    const qsizetype zero = xml.indexOf('\0');
    if (zero >= 0)
      xml.truncate(zero);
  }
  m_First_Record = QK3::Header_Block_Size;
  Cls_XML_header &h = Header();
  h.Set_XML_string(QString::fromLatin1(xml));
  if (!h.Valid())
    Corrupt(QStringLiteral("The heat header cannot be read"));
  Write_Trace(QStringLiteral("*Read_QK3_Headers end, mfrva = ") + QString::number(m_First_Record + 1) +
              QStringLiteral(", XML_len = ") + QString::number(view.xml_length));
}

bool cls_VideoFile_handler::Load_Header_Values() {
  std::int16_t header_frames = 0;
  try {
    Cls_XML_header &h = Header();
    const std::int16_t width = h.RGB_X();
    const std::int16_t height = h.RGB_Y();
    m_Interlaced = h.RGB_interlaced();
    m_Fourcc = h.RGB_fourcc();
    m_Codec = h.RGB_JPEG_codec();
    m_Record_Size = h.RGB_Sample_Size();
    m_Rotated = h.RGB_Rotated();
    m_Top_Delimiter = Number_Or_Zero(h.Hdr_spare1());
    header_frames = h.Frames_no();
    m_JPEG_Quality = Number_Or_Zero(h.RGB_JPEG_Quality());
    m_Width = width;
    m_Height = height;
  } catch (const Lurcher_Failure &f) {
    Corrupt(QStringLiteral("Heat header: ") + f.Description());
  }
  const bool size_ok = m_Width > 0 && m_Height > 0 && m_Width <= QK3::Max_Frame_Side && m_Height <= QK3::Max_Frame_Side;
  if (header_frames > 0 && !size_ok)
    Corrupt(QStringLiteral("Invalid frame size %1*%2").arg(m_Width).arg(m_Height));
  if (size_ok && (m_Source.Width() != m_Width || m_Source.Height() != m_Height))
    m_Source.Create(m_Width, m_Height);
  Settle_Frame_Count(header_frames);
  const long long fields = m_Interlaced ? 2LL * m_Num_Frames : m_Num_Frames;
  if (fields > QK3::Max_Frames)
    Write_Trace(QStringLiteral("*Open_RGB_File, fields beyond 32767 cannot be numbered: ") + QString::number(fields));
  m_Num_Fields = static_cast<std::int16_t>(std::min<long long>(fields, QK3::Max_Frames));
  return true;
}

void cls_VideoFile_handler::Settle_Frame_Count(std::int16_t header_frames) {
  const std::int64_t length = m_File.Size();
  const QK3_Record_Walk walk = Walk_Records(m_File, m_Record_Size, header_frames);
  if (walk.record_size == 0) {
    if (walk.stated > 0 || length > m_First_Record)
      Msg_Box(QStringLiteral("Corrupt file, (Invalid record size %1): the frames cannot be shown").arg(m_Record_Size),
              Msg_Buttons::OK, Msg_Icon::Exclamation);
    m_Record_Size = 0;
    m_Num_Frames = 0;
    return;
  }
  if (walk.size_from_first_record)
    Write_Trace(QStringLiteral("*Open_RGB_File, record size from the first record = ") +
                QString::number(walk.record_size));
  m_Record_Size = walk.record_size;
  if (walk.stated > walk.whole)
    Msg_Box(QStringLiteral("Corrupt file, (The file holds %1 of the %2 frames its header counts)")
                .arg(walk.whole)
                .arg(walk.stated),
            Msg_Buttons::OK, Msg_Icon::Exclamation);
  else if (walk.frames != walk.stated)
    Write_Trace(QStringLiteral("*Open_RGB_File, records beyond num_frames = ") +
                QString::number(walk.frames - walk.stated));
  m_Num_Frames = walk.frames;
}

std::int64_t cls_VideoFile_handler::RGB_video_adress(std::int16_t n) const {
  return QK3::Record_Offset(n, m_Record_Size) + 1;
}

std::int16_t cls_VideoFile_handler::QK3_Num_Frames() {
  return Guarded(Location("QK3_Num_Frames"), std::int16_t{0}, [&] { return Header().Frames_no(); });
}

std::int16_t cls_VideoFile_handler::QK3_Capture_Delta() const {
  return static_cast<std::int16_t>(std::clamp<std::int32_t>(m_Loaded.capture_delta, -32768, 32767));
}

std::int16_t cls_VideoFile_handler::QK3_Compression_Quality() const {
  return static_cast<std::int16_t>(std::clamp<std::int32_t>(m_Loaded.quality, -32768, 32767));
}

bool cls_VideoFile_handler::Read_RGB_sample(std::int16_t n, bool decode) {
  try {
    Write_Trace(QStringLiteral("*Read_RGB_sample begin , FNum = ") + QString::number(n));
    m_Bad_Record = false;
    if (!m_File.Is_Open() || m_Record_Size <= 0 || n < 1 || n > m_Num_Frames) {
      m_Bad_Record = true;
      return false;
    }
    if (n != m_Loaded_Record) {
      // The buffer is about to hold other bytes: no record counts as loaded until it is read.
      m_Loaded_Record = 0;
      m_Read_Record.resize(static_cast<std::size_t>(m_Record_Size));
      if (m_File.Read_Some_At(QK3::Record_Offset(n, m_Record_Size), m_Read_Record.data(), m_Read_Record.size()) !=
              m_Read_Record.size() || // the last record was cut short
          !QK3::Has_Magic(m_Read_Record.data(), QK3::Record_Magic)) {
        m_Bad_Record = true;
        return false;
      }
      const QK3::Sample_Fields fields = QK3::Decode_Fixed_Part(m_Read_Record.data());
      const std::int32_t slot = m_Record_Size - QK3::Record_Overhead;
      if (fields.jpeg_size < 0 || fields.jpeg_size > slot) {
        m_Bad_Record = true;
        return false;
      }
      m_Loaded = fields;
      m_Checksum = QK3::Record_Checksum(m_Read_Record.data() + QK3::Data_Offset, fields.jpeg_size);
      m_Loaded_Record = n;
      m_Loaded_Decoded = false;
    }
    if (decode && !m_Loaded_Decoded) {
      Decode_Loaded_Record(n);
      m_Loaded_Decoded = true;
      Write_Trace(QStringLiteral("*Read_RGB_sample end , FNum = ") + QString::number(n));
    }
    return true;
  } catch (...) {
    const Failure_Info f = Current_Failure();
    QKR_Error_Handler(f.description, f.number, f.line, Location("Read_RGB_sample"),
                      QStringLiteral("File name = ") + m_File_Name + QStringLiteral(", frame = ") + QString::number(n) +
                          QStringLiteral(", position = ") + QString::number(RGB_video_adress(n)) +
                          QStringLiteral("\r\n/End of extra info"));
    return false;
  }
}

void cls_VideoFile_handler::Decode_Loaded_Record(std::int16_t n) {
  const std::uint8_t *data = m_Read_Record.data() + QK3::Data_Offset;
  if (m_Fourcc == QLatin1String("IJL") || m_Fourcc == QLatin1String("JPEG")) {
    // A record stored without picture (it did not fit its slot) is shown as damaged too.
    if (m_Loaded.jpeg_size <= 0 || !JPEG_Size_Plausible(data, m_Loaded.jpeg_size) ||
        !Decode_JPG_Buffer(m_Source, data, m_Loaded.jpeg_size)) {
      Write_Trace(QStringLiteral("*bres = false, Read_RGB_sample, FNum = ") + QString::number(n));
      Show_Corrupted_Video();
    }
    return;
  }
  // An uncompressed frame of the stored size.
  if (m_Source.Width() != m_Width || m_Source.Height() != m_Height)
    m_Source.Create(m_Width, m_Height);
  if (m_Source.DIBSectionBitsPtr()) {
    const std::size_t bytes = std::min<std::size_t>(static_cast<std::size_t>(m_Source.SizeImage()),
                                                    static_cast<std::size_t>(m_Record_Size - QK3::Record_Overhead));
    std::memcpy(m_Source.DIBSectionBitsPtr(), data, bytes);
  }
}

// Pure blue with "Corrupted video" / " in this frame!" in red, Arial 64 pixels, centred in
// (10, 100)-(500, 400). Text needs the font system, so without a GUI application only the
// blue shows.
void cls_VideoFile_handler::Show_Corrupted_Video() {
  if (!m_Source.DIBSectionBitsPtr() && !m_Source.Create(std::max<int>(m_Width, 1), std::max<int>(m_Height, 1)))
    return;
  m_Source.Fill_with_RGB(0xFF0000);
  if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
    return;
  cDIBSection::Drawing drawing(m_Source);
  QPainter &painter = drawing.Painter();
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(64);
  painter.setFont(font);
  painter.setPen(QColor(255, 0, 0));
  painter.drawText(QRect(QPoint(10, 100), QPoint(500, 400)), Qt::AlignHCenter | Qt::AlignTop,
                   QStringLiteral("Corrupted video\n in this frame!")); // CR LF: one line break
}
