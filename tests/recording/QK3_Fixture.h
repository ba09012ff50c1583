#pragma once
// Heat files assembled byte by byte from the file layout alone: its own little-endian
// writer and a hand-written header text, nothing from the program's writer. The broken
// files of tests/fixtures/recording/broken/ are made here as well (QK3_Fixture_test
// rewrites them when LURCHER_WRITE_FIXTURES=1).

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdint>
#include <map>
#include <string>
#include <turbojpeg.h>
#include <vector>

namespace fixture {

using Bytes = std::vector<std::uint8_t>;

inline void Put(Bytes &b, std::size_t at, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i)
    b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
}
inline void Put_Text(Bytes &b, std::size_t at, const char *text) {
  for (std::size_t i = 0; text[i]; ++i)
    b[at + i] = static_cast<std::uint8_t>(text[i]);
}

// A baseline JPEG of one flat colour.
inline Bytes Flat_Jpeg(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b, int quality = 75) {
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width * height * 3));
  for (std::size_t i = 0; i < rgb.size(); i += 3) {
    rgb[i] = r;
    rgb[i + 1] = g;
    rgb[i + 2] = b;
  }
  tjhandle h = tjInitCompress();
  unsigned char *out = nullptr;
  unsigned long size = 0;
  tjCompress2(h, rgb.data(), width, 0, height, TJPF_RGB, &out, &size, TJSAMP_420, quality, 0);
  Bytes jpeg(out, out + size);
  tjFree(out);
  tjDestroy(h);
  return jpeg;
}

struct Frame {
  std::int32_t mill = 0, delta = 0, local = 0, quality = 80;
  Bytes jpeg;
};

struct Heat {
  int width = 16, height = 8;
  std::int32_t slot = 1000;
  bool interlaced = false;
  std::int32_t start_pc_mill = 1000000;
  std::int32_t start_local_mill = 43200000;
  std::vector<Frame> frames;
  // Overrides for broken files; -1 means "as the layout says".
  long long header_frames = -1, sample_size = -1, xml_length = -1, width_text = -1;
  const char *head_magic = "QKR3";
  const char *tail_magic = "QKRX";
};

inline QByteArray Header_Text(const Heat &h) {
  const long long frames = h.header_frames >= 0 ? h.header_frames : static_cast<long long>(h.frames.size());
  const long long sample = h.sample_size >= 0 || h.sample_size < -1 ? h.sample_size : h.slot + 58;
  const long long width = h.width_text >= 0 ? h.width_text : h.width;
  QByteArray x =
      "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<!--hand made-->\r\n<QKR_header>\r\n<file_data>\r\n";
  x += "<num_frames>" + QByteArray::number(frames) + "</num_frames>\r\n";
  x += "<num_segments>002</num_segments>\r\n<comp_name>bench</comp_name>\r\n<hdr_spare1>0</hdr_spare1>\r\n";
  x += "<file_comment1></file_comment1>\r\n<prog_id>Lurcher_HDMI</prog_id>\r\n</file_data>\r\n<RGB_data>\r\n";
  x += "<RGB_X>" + QByteArray::number(width) + "</RGB_X>\r\n<RGB_Y>" + QByteArray::number(h.height) + "</RGB_Y>\r\n";
  x += "<RGB_image_size>" + QByteArray::number(h.slot) + "</RGB_image_size>\r\n";
  x += "<RGB_sample_size>" + QByteArray::number(sample) + "</RGB_sample_size>\r\n";
  x += QByteArray("<RGB_interlaced>") + (h.interlaced ? "True" : "False") + "</RGB_interlaced>\r\n";
  x += "<RGB_rotated>f</RGB_rotated>\r\n<RGB_fourcc>IJL</RGB_fourcc>\r\n<RGB_JPEG_Codec>Intel</RGB_JPEG_Codec>\r\n";
  x += "<RGB_fps>50</RGB_fps>\r\n<RGB_JPEG_Quality>80</RGB_JPEG_Quality>\r\n</RGB_data>\r\n<lurcher>\r\n";
  x += "<hound_event>Hand made</hound_event>\r\n";
  x += "<hound_start_local_mill>" + QByteArray::number(h.start_local_mill) + "</hound_start_local_mill>\r\n";
  x += "<hound_start_PC_mill>" + QByteArray::number(h.start_pc_mill) + "</hound_start_PC_mill>\r\n";
  x += "</lurcher>\r\n</QKR_header>\r\n";
  return x;
}

inline Bytes Header_Block(const Heat &h, const QByteArray &xml) {
  Bytes b(32016, 0);
  Put_Text(b, 0, h.head_magic);
  Put(b, 4, 32016, 4);
  Put(b, 8, static_cast<std::uint32_t>(h.xml_length != -1 ? h.xml_length : xml.size()), 4);
  for (qsizetype i = 0; i < xml.size() && i < 32000; ++i)
    b[12 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(xml[i]);
  Put_Text(b, 32012, h.tail_magic);
  return b;
}

inline Bytes Record(std::int32_t slot, const Frame &f) {
  Bytes r(static_cast<std::size_t>(slot) + 58, 0);
  Put_Text(r, 0, "RGBS");
  Put(r, 8, static_cast<std::uint32_t>(f.mill), 4);
  Put(r, 12, static_cast<std::uint32_t>(f.delta), 4);
  Put(r, 16, static_cast<std::uint32_t>(f.local), 4);
  Put(r, 24, static_cast<std::uint32_t>(f.quality), 4);
  Put(r, 32, static_cast<std::uint32_t>(f.jpeg.size()), 4);
  Put_Text(r, 40, "RGBE");
  Put(r, 44, 1, 2);
  Put(r, 46, static_cast<std::uint32_t>(slot), 4);
  Put(r, 50, 1, 4);
  for (std::size_t i = 0; i < f.jpeg.size() && i < static_cast<std::size_t>(slot); ++i)
    r[54 + i] = f.jpeg[i];
  Put_Text(r, 54 + static_cast<std::size_t>(slot), "RGBF");
  return r;
}

inline Bytes File_Of(const Heat &h, const QByteArray &xml) {
  Bytes file = Header_Block(h, xml);
  for (const Frame &f : h.frames) {
    const Bytes r = Record(h.slot, f);
    file.insert(file.end(), r.begin(), r.end());
  }
  return file;
}
inline Bytes File_Of(const Heat &h) { return File_Of(h, Header_Text(h)); }

// Three frames of a 16*8 heat, 20 ms apart, red, green and blue; start 1,000,000.
inline Heat Three_Frames() {
  Heat h;
  const std::uint8_t colours[3][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  for (int i = 0; i < 3; ++i) {
    Frame f;
    f.mill = h.start_pc_mill + 12340 + 20 * i;
    f.delta = 20;
    f.local = h.start_local_mill + 12340 + 20 * i;
    f.jpeg = Flat_Jpeg(h.width, h.height, colours[i][0], colours[i][1], colours[i][2]);
    h.frames.push_back(f);
  }
  return h;
}

// Sound files the tools must pass: one frame whose record size was never measured
// ("0000000"), and three frames with two lost between the second and the third.
inline Bytes One_Frame_Unmeasured() {
  Heat h = Three_Frames();
  h.frames.resize(1);
  QByteArray xml = Header_Text(h);
  xml.replace("<RGB_sample_size>1058<", "<RGB_sample_size>0000000<");
  return File_Of(h, xml);
}
inline Bytes Lost_Frames() {
  Heat h = Three_Frames();
  h.frames[2].mill += 40;
  h.frames[2].local += 40;
  return File_Of(h);
}

inline void Write(const QString &path, const Bytes &bytes) {
  QFile f(path);
  if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
    f.write(reinterpret_cast<const char *>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

// The broken files, by name.
inline std::map<std::string, Bytes> Broken_Files() {
  std::map<std::string, Bytes> out;
  const Heat good = Three_Frames();
  const Bytes good_file = File_Of(good);
  const auto with = [&](auto change) {
    Heat h = good;
    change(h);
    return File_Of(h);
  };
  out["short_file.qk3"] = Bytes(good_file.begin(), good_file.begin() + 99);
  out["truncated_header.qk3"] = Bytes(good_file.begin(), good_file.begin() + 20000);
  out["truncated_record.qk3"] = Bytes(good_file.begin(), good_file.end() - 500);
  out["wrong_header_magic.qk3"] = with([](Heat &h) { h.head_magic = "QKRZ"; });
  out["wrong_tail_magic.qk3"] = with([](Heat &h) { h.tail_magic = "XXXX"; });
  out["huge_xml_length.qk3"] = with([](Heat &h) { h.xml_length = 0x7FFFFFFF; });
  out["negative_xml_length.qk3"] = with([](Heat &h) { h.xml_length = -7; });
  {
    QByteArray xml = Header_Text(good);
    xml.truncate(xml.size() / 2);
    out["bad_xml.qk3"] = File_Of(good, xml);
  }
  {
    Heat h = good;
    h.sample_size = -5;
    Bytes b = File_Of(h);
    Put_Text(b, 32016, "XXXX"); // the first record cannot tell its size either
    out["negative_sample_size.qk3"] = b;
  }
  out["sample_size_beyond_file.qk3"] = with([](Heat &h) { h.sample_size = 99999999; });
  out["too_many_frames.qk3"] = with([](Heat &h) { h.header_frames = 500; });
  out["huge_frame_size.qk3"] = with([](Heat &h) { h.width_text = 30000; });
  {
    Bytes b = good_file;
    Put(b, 32016 + 1058 + 32, 1001, 4); // record 2: a JPEG larger than its slot
    out["jpeg_size_beyond_slot.qk3"] = b;
  }
  {
    Bytes b = good_file;
    Put_Text(b, 32016 + 1058, "XXXX"); // record 2 without its first mark
    out["bad_record_magic.qk3"] = b;
  }
  {
    Bytes b = good_file;
    for (std::size_t i = 0; i < 40; ++i) // record 2: the JPEG's first bytes overwritten
      b[32016 + 1058 + 54 + i] = 0x55;
    out["corrupt_jpeg.qk3"] = b;
  }
  out["ticks_going_back.qk3"] = with([](Heat &h) { h.frames[2].mill = h.frames[0].mill - 5; });
  return out;
}

} // namespace fixture
