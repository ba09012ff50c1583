// The two descriptions of the heat file open for review: the heat summary ("File
// properties") and the recording's technical data ("QK3 Properties").

#include "recording/cls_VideoFile_handler.h"

#include "support/Checked.h"
#include "support/Failure.h"
#include "support/Non_dependant.h"

#include <cmath>

namespace {
constexpr Location_Of Location{"Class", "cls_VideoFile_handler"};

const QString CRLF = QStringLiteral("\r\n");

// Megabytes rounded to one decimal, written without a trailing ",0": 12 or 12.5.
QString Megabytes(std::int64_t bytes) {
  const long long tenths = Round_Half_Even(static_cast<double>(bytes) / 1048576.0 * 10.0);
  return tenths % 10 == 0 ? QString::number(tenths / 10) : QString::number(static_cast<double>(tenths) / 10.0, 'f', 1);
}

// A number in a fixed number of digits, "000000" style; the sign goes in front.
QString Digits(long long value, int width) {
  const QString text = QStringLiteral("%1").arg(value < 0 ? -value : value, width, 10, QLatin1Char('0'));
  return value < 0 ? QStringLiteral("-") + text : text;
}

QString True_False(bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); }
} // namespace

QString cls_VideoFile_handler::QK3_Properties() {
  return Guarded(Location("QK3_Properties"), QString(), [&]() -> QString {
    if (m_File_Name.isEmpty())
      return QString();
    Cls_XML_header &h = Header();
    const std::int64_t length = File_size();
    const std::int16_t frames = h.Frames_no();
    const long long raw = 3LL * m_Width * m_Height;
    QStringList lines;
    lines << QStringLiteral("File size: ") + Megabytes(length) + QStringLiteral(" MB");
    // A file without frames has no average; it says so instead of failing.
    if (frames > 0) {
      lines << QStringLiteral("Average frame size : ") + QString::number(length / frames / 1024) +
                   QStringLiteral(" kB");
      lines << QStringLiteral("Average compression ratio : ") +
                   (raw > 0 ? QString::number(static_cast<long long>(
                                  std::floor(static_cast<double>(length) / frames / static_cast<double>(raw) * 100.0)))
                            : QStringLiteral("-")) +
                   QStringLiteral("%");
    } else {
      lines << QStringLiteral("Average frame size : - kB") << QStringLiteral("Average compression ratio : -%");
    }
    lines << QStringLiteral("Frames : ") + QString::number(frames);
    lines << QStringLiteral("Segments : ") + QString::number(h.Segments_no());
    const bool rotated = h.RGB_Rotated();
    lines << QStringLiteral("Rotated : ") + True_False(rotated);
    lines << QStringLiteral("Dimensions : ") + (rotated ? QStringLiteral("%1*%2 Rotated").arg(m_Height).arg(m_Width)
                                                        : QStringLiteral("%1*%2").arg(m_Width).arg(m_Height));
    lines << QStringLiteral("Fourcc : ") + m_Fourcc;
    lines << QStringLiteral("Codec : ") + m_Codec;
    lines << QStringLiteral("Base Quality : ") + QString::number(m_JPEG_Quality);
    lines << QStringLiteral("Reduced Quality instances : ") + QString::number(h.JPG_Reduced_Qual_num());
    lines << QStringLiteral("JPG Threshold : ") + QString::number(h.RGB_Max_Seen_size()) + QStringLiteral("/") +
                 QString::number(h.RGB_Comp_Threshold());
    lines << QStringLiteral("Max JPG : ") + QString::number(h.RGB_Compressed_max_Size());
    lines << QStringLiteral("Min JPG : ") + QString::number(h.RGB_Compressed_min_Size());
    lines << QStringLiteral("Measured fps : ") + QString::number(h.Measured_fps());
    lines << QStringLiteral("Interlaced : ") + True_False(h.RGB_interlaced());
    lines << QStringLiteral("Capture Computer : ") + h.Computer_name();
    lines << QStringLiteral("Capture property : ") + h.Capture_property();
    lines << QStringLiteral("Capture .exe name : ") + h.Exe_Name();
    lines << QStringLiteral("Phidget serial : ") + h.Phidget_serial();
    lines << QStringLiteral("Comment : ") + h.comment(1);
    return lines.join(CRLF);
  });
}

QString cls_VideoFile_handler::File_Properties() {
  return Guarded(Location("File_Properties"), QString(), [&]() -> QString {
    Cls_XML_header &h = Header();
    QString text;
    const auto line = [&](const QString &l) { text += l + CRLF; };
    line(QStringLiteral("File name = ") + m_File_Name);
    line(QStringLiteral("Heat start at : ") + Display_Mill_Time(h.Hound_heat_start_local(), false));
    line(QStringLiteral("File Size: ") + Megabytes(File_size()) + QStringLiteral(" megaByte"));
    line(QStringLiteral("Image Size: ") + QString::number(m_Width) + QStringLiteral("*") + QString::number(m_Height));
    line(QStringLiteral("Capture computer: ") + h.Computer_name() + QStringLiteral(" Program: ") + h.Program_ID() +
         QStringLiteral(" Version ") + h.Program_Major() + QStringLiteral(".") + h.Program_Minor() +
         QStringLiteral(".") + h.Program_Revision() + QStringLiteral(" Os version: ") + h.OS_version());
    line(QStringLiteral("Number of frames/fields = ") + QString::number(m_Num_Frames) + QStringLiteral("/") +
         QString::number(m_Num_Fields));
    line(QStringLiteral("Event/Head number/Heat name ") + h.Hound_event() + QStringLiteral("/") + h.Hound_Heat_ID() +
         QStringLiteral("/") + h.Hound_Heat_Name());
    line(QStringLiteral("Dog Name                  Time  Split Click Time"));
    line(QString(48, QLatin1Char('_')));
    for (int box = 1; box <= 6; ++box) {
      const QString name = h.Hound_Dog_name(box).left(20).leftJustified(20, QLatin1Char(' '));
      line(QString::number(box) + QStringLiteral("   ") + name + Digits(h.Hound_Heat_time(box, false), 6) +
           QStringLiteral(" ") + Digits(h.Hound_Heat_time(box, true), 6) + QStringLiteral(" ") +
           Digits(h.Hound_Heat_Click_Time(box), 10) + (h.Hound_dead_heat(box) ? QStringLiteral(" dh") : QString()));
    }
    return text;
  });
}
