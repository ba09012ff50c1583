#include "recording/QK3_Verify.h"

#include "recording/Cls_XML_header.h"
#include "recording/QK3_File.h"
#include "recording/QK3_Layout.h"
#include "support/Clock.h"
#include "support/Failure.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <memory>
#include <turbojpeg.h>
#include <vector>

namespace {
// Decodes quietly; the codec module warns the operator, which a check must not do.
class Quiet_Decoder {
public:
  Quiet_Decoder() : handle_(tjInitDecompress()) {}
  ~Quiet_Decoder() {
    if (handle_)
      tjDestroy(handle_);
  }
  Quiet_Decoder(const Quiet_Decoder &) = delete;
  Quiet_Decoder &operator=(const Quiet_Decoder &) = delete;

  // Empty when the JPEG decodes completely at the expected size, else what is wrong.
  QString Check(const std::uint8_t *jpeg, std::int32_t size, int width, int height) {
    int w = 0, h = 0, sampling = 0, colour = 0;
    if (!handle_ ||
        tjDecompressHeader3(handle_, jpeg, static_cast<unsigned long>(size), &w, &h, &sampling, &colour) != 0)
      return QStringLiteral("the JPEG does not decode (") + QString::fromLocal8Bit(tjGetErrorStr2(handle_)) +
             QLatin1Char(')');
    if (w > QK3::Max_Frame_Side || h > QK3::Max_Frame_Side)
      return QStringLiteral("the JPEG claims %1*%2 pixels, more than a heat frame has").arg(w).arg(h);
    if (w != width || h != height)
      return QStringLiteral("the JPEG is %1*%2, the header says %3*%4").arg(w).arg(h).arg(width).arg(height);
    pixels_.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3);
    if (tjDecompress2(handle_, jpeg, static_cast<unsigned long>(size), pixels_.data(), w, 0, h, TJPF_BGR, 0) != 0)
      return QStringLiteral("the JPEG does not decode completely (") + QString::fromLocal8Bit(tjGetErrorStr2(handle_)) +
             QLatin1Char(')');
    return QString();
  }

private:
  tjhandle handle_;
  std::vector<std::uint8_t> pixels_;
};

struct Header_Numbers {
  std::int32_t width = 0, height = 0, frames = 0, sample_size = 0, slot = 0, fps = 0;
};

bool Read_Numbers(Cls_XML_header &h, Header_Numbers &n, QStringList &problems) {
  try {
    n.width = h.RGB_X();
    n.height = h.RGB_Y();
    n.frames = h.Frames_no();
    n.sample_size = h.RGB_Sample_Size();
    n.slot = h.RGB_Image_Size();
  } catch (const Lurcher_Failure &f) {
    problems << QStringLiteral("header: ") + f.Description();
    return false;
  }
  try {
    n.fps = h.Measured_fps();
  } catch (const Lurcher_Failure &) {
    n.fps = 0; // only a help for the lost-frame count; the median delta stands in
  }
  return true;
}

// A gap in the capture ticks longer than 1.5 frame periods held frames that never reached
// the file. The period is the header's measured rate when the shortest tick delta agrees
// with it (a rate taken before a cap would call every step a loss), else the median delta.
void Report_Lost_Frames(const std::vector<std::pair<std::int32_t, std::int32_t>> &ticks, std::int32_t fps,
                        QK3_Verify_Result &r) {
  if (ticks.size() < 2)
    return;
  std::vector<std::uint32_t> deltas;
  deltas.reserve(ticks.size() - 1);
  for (std::size_t i = 1; i < ticks.size(); ++i)
    deltas.push_back(static_cast<std::uint32_t>(Ticks_Between(ticks[i - 1].second, ticks[i].second)));
  std::vector<std::uint32_t> sorted = deltas;
  std::sort(sorted.begin(), sorted.end());
  const double median = sorted[(sorted.size() - 1) / 2];
  const double shortest = sorted.front();
  double period = fps > 0 ? 1000.0 / fps : 0.0;
  if (period <= 0.0 || shortest > 1.25 * period || shortest < period / 1.25)
    period = median;
  if (period < 1.0)
    return; // ticks that do not advance say nothing about lost frames
  long long total = 0;
  for (std::size_t i = 0; i < deltas.size(); ++i) {
    if (deltas[i] <= 1.5 * period)
      continue;
    const long long lost = std::max<long long>(std::llround(deltas[i] / period) - 1, 1);
    total += lost;
    r.warnings << QStringLiteral("record %1: %2 frame(s) lost before it (capture ticks %3 and %4 are %5 ms apart, "
                                 "the frame period is %6 ms)")
                      .arg(ticks[i + 1].first)
                      .arg(lost)
                      .arg(ticks[i].second)
                      .arg(ticks[i + 1].second)
                      .arg(deltas[i])
                      .arg(period, 0, 'f', 1);
  }
  if (total > 0)
    r.warnings << QStringLiteral("%1 frame(s) lost in all").arg(total);
}

void Check_Records(QK3_File &file, const Header_Numbers &n, const QK3_Record_Walk &walk, QK3_Verify_Result &r) {
  const std::int64_t length = file.Size();
  const std::int64_t size = walk.record_size;
  const std::int64_t whole = walk.whole;
  if (walk.stated > whole)
    r.problems
        << QStringLiteral("the file holds %1 whole records, the header counts %2 frames").arg(whole).arg(walk.stated);
  else if (whole > walk.stated)
    r.problems << QStringLiteral("the file holds %1 whole records beyond the %2 frames the header counts")
                      .arg(whole - walk.stated)
                      .arg(walk.stated);
  if (length > QK3::Header_Block_Size && (length - QK3::Header_Block_Size) % size != 0)
    r.problems << QStringLiteral("the last record is cut short: %1 bytes left over")
                      .arg((length - QK3::Header_Block_Size) % size);
  Quiet_Decoder decoder;
  std::vector<std::uint8_t> record(static_cast<std::size_t>(size));
  std::vector<std::pair<std::int32_t, std::int32_t>> ticks; // record, capture tick
  for (std::int32_t i = 1; i <= whole && i <= QK3::Max_Frames; ++i) {
    file.Read_At(QK3::Record_Offset(i, size), record.data(), record.size());
    ++r.records_checked;
    const QString at = QStringLiteral("record %1: ").arg(i);
    const QK3::Record_Check c = QK3::Check_Record(record);
    if (!c.start_magic)
      r.problems << at + QStringLiteral("no \"RGBS\" mark");
    if (!c.end_magic)
      r.problems << at + QStringLiteral("no \"RGBE\" mark");
    if (!c.final_magic)
      r.problems << at + QStringLiteral("no \"RGBF\" mark");
    if (!c.descriptor)
      r.problems << at + QStringLiteral("the array descriptor does not describe a slot of %1 bytes").arg(size - 58);
    const QK3::Sample_Fields f = QK3::Decode_Fixed_Part(record.data());
    if (!c.jpeg_size)
      r.problems
          << at + QStringLiteral("JPEG size %1 does not fit the slot of %2 bytes").arg(f.jpeg_size).arg(size - 58);
    else if (f.jpeg_size == 0)
      r.notes << at + QStringLiteral("stored without picture");
    else if (const QString why = decoder.Check(record.data() + QK3::Data_Offset, f.jpeg_size, n.width, n.height);
             !why.isEmpty())
      r.problems << at + why;
    if (f.quality < 1 || f.quality > 100)
      r.problems << at + QStringLiteral("JPEG quality %1 is not 1 to 100").arg(f.quality);
    if (c.start_magic) {
      if (!ticks.empty() && Ticks_Between(ticks.back().second, f.capture_mill) < 0)
        r.problems
            << at + QStringLiteral("capture tick %1 goes back from %2").arg(f.capture_mill).arg(ticks.back().second);
      else
        ticks.emplace_back(i, f.capture_mill);
    }
  }
  if (r.problems.isEmpty())
    Report_Lost_Frames(ticks, n.fps, r);
}
} // namespace

QByteArray Stored_Header_Text(const QString &path) {
  QK3_File file;
  file.Open(path, QK3_File::Mode::Read_Only);
  Header_Block block{};
  if (file.Read_Some_At(0, block.data(), block.size()) != block.size())
    Raise(62, QStringLiteral("the header block is cut short"));
  const QK3::Header_Block_View view = QK3::Parse_Header_Block(block);
  if (!view.length_ok())
    Raise(321, QStringLiteral("the XML length %1 is not 0 to 32000").arg(view.xml_length));
  return view.xml;
}

QK3_Verify_Result Verify_Heat_File(const QString &path) {
  QK3_Verify_Result r;
  try {
    QK3_File file;
    file.Open(path, QK3_File::Mode::Read_Only);
    const std::int64_t length = file.Size();
    Header_Block block{};
    if (file.Read_Some_At(0, block.data(), block.size()) != block.size()) {
      r.problems
          << QStringLiteral("the header block is cut short: the file has %1 bytes of %2").arg(length).arg(block.size());
      return r;
    }
    const QK3::Header_Block_View view = QK3::Parse_Header_Block(block);
    if (!view.magic_ok)
      r.problems << QStringLiteral("header block: no \"QKR3\" mark at byte 0");
    if (!view.tail_magic_ok)
      r.problems << QStringLiteral("header block: no \"QKRX\" mark at byte 32012");
    if (view.block_size != QK3::Header_Block_Size)
      r.problems << QStringLiteral("header block: size field %1, not 32016").arg(view.block_size);
    if (!view.length_ok()) {
      r.problems << QStringLiteral("header block: XML length %1 is not 0 to 32000").arg(view.xml_length);
      return r;
    }
    if (Header_Block side{}; Read_Header_Side_File(path, side) && side != block)
      r.notes << QStringLiteral("a header rewrite did not finish; ") + Header_Side_File(path) +
                     QStringLiteral(" holds the newer header, which opening the file in Lurcher restores");
    Cls_XML_header header;
    header.Set_XML_string(QString::fromLatin1(view.xml));
    if (!header.Valid()) {
      r.problems << QStringLiteral("header: the XML does not parse");
      return r;
    }
    Header_Numbers n;
    if (!Read_Numbers(header, n, r.problems))
      return r;
    if (n.width <= 0 || n.height <= 0 || n.width > QK3::Max_Frame_Side || n.height > QK3::Max_Frame_Side)
      r.problems << QStringLiteral("header: frame size %1*%2").arg(n.width).arg(n.height);
    if (n.frames < 0)
      r.problems << QStringLiteral("header: num_frames %1").arg(n.frames);
    if (n.frames == 0 && length == QK3::Header_Block_Size)
      return r;
    // The records as the reader finds them. A size never measured ("0000000", a pass that
    // appended one frame) is no fault: the first record gives it. Any other unusable size is.
    const QK3_Record_Walk walk = Walk_Records(file, n.sample_size, n.frames);
    if (walk.size_from_first_record) {
      if (n.sample_size == 0)
        r.notes << QStringLiteral("header: RGB_sample_size was never measured; the first record gives %1 bytes")
                       .arg(walk.record_size);
      else
        r.problems << QStringLiteral("header: RGB_sample_size %1 is not a record size (the first record gives %2)")
                          .arg(n.sample_size)
                          .arg(walk.record_size);
    }
    if (walk.record_size == 0) {
      r.problems << QStringLiteral("header: RGB_sample_size %1 is not a record size").arg(n.sample_size);
      return r;
    }
    if (n.slot != 0 && n.slot + QK3::Record_Overhead != walk.record_size)
      r.problems << QStringLiteral("header: RGB_sample_size %1 is not RGB_image_size %2 + 58")
                        .arg(walk.record_size)
                        .arg(n.slot);
    if (!r.problems.isEmpty() && n.width <= 0)
      return r;
    Check_Records(file, n, walk, r);
  } catch (const Lurcher_Failure &f) {
    r.problems << f.Description();
  } catch (const std::exception &e) {
    r.problems << QString::fromUtf8(e.what());
  }
  return r;
}
