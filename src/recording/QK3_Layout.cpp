#include "recording/QK3_Layout.h"

#include "support/Failure.h"

#include <algorithm>
#include <cstring>

namespace QK3 {

std::int16_t Get_16(const std::uint8_t *at) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(at[0] | (at[1] << 8)));
}

std::int32_t Get_32(const std::uint8_t *at) {
  const std::uint32_t u = static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8) |
                          (static_cast<std::uint32_t>(at[2]) << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
  return static_cast<std::int32_t>(u);
}

void Put_16(std::uint8_t *at, std::int16_t value) {
  const auto u = static_cast<std::uint16_t>(value);
  at[0] = static_cast<std::uint8_t>(u & 0xFF);
  at[1] = static_cast<std::uint8_t>(u >> 8);
}

void Put_32(std::uint8_t *at, std::int32_t value) {
  const auto u = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i)
    at[i] = static_cast<std::uint8_t>((u >> (8 * i)) & 0xFF);
}

bool Has_Magic(const std::uint8_t *at, const char (&magic)[5]) { return std::memcmp(at, magic, 4) == 0; }

void Put_Magic(std::uint8_t *at, const char (&magic)[5]) { std::memcpy(at, magic, 4); }

std::array<std::uint8_t, Header_Block_Size> Build_Header_Block(const QByteArray &xml) {
  if (xml.size() > Xml_Area_Size)
    Raise(Err_Overflow, QStringLiteral("The heat header of %1 bytes does not fit the header block of %2 bytes")
                            .arg(xml.size())
                            .arg(Xml_Area_Size));
  std::array<std::uint8_t, Header_Block_Size> block{};
  Put_Magic(block.data(), Header_Magic);
  Put_32(block.data() + Header_Size_Offset, Header_Block_Size);
  Put_32(block.data() + Xml_Length_Offset, static_cast<std::int32_t>(xml.size()));
  std::memcpy(block.data() + Xml_Offset, xml.constData(), static_cast<size_t>(xml.size()));
  Put_Magic(block.data() + Tail_Magic_Offset, Header_Tail_Magic);
  return block;
}

Header_Block_View Parse_Header_Block(std::span<const std::uint8_t> block) {
  Header_Block_View view;
  if (block.size() < static_cast<size_t>(Header_Block_Size))
    return view;
  const std::uint8_t *b = block.data();
  view.magic_ok = Has_Magic(b, Header_Magic);
  view.tail_magic_ok = Has_Magic(b + Tail_Magic_Offset, Header_Tail_Magic);
  view.block_size = Get_32(b + Header_Size_Offset);
  view.xml_length = Get_32(b + Xml_Length_Offset);
  // A length beyond the area reads the whole area; a negative one reads nothing.
  const std::int32_t take = view.xml_length < 0 ? 0 : std::min(view.xml_length, Xml_Area_Size);
  view.xml = QByteArray(reinterpret_cast<const char *>(b + Xml_Offset), take);
  return view;
}

std::int64_t Whole_Records(std::int64_t file_length, std::int64_t record_size) {
  if (record_size <= 0 || file_length <= Header_Block_Size)
    return 0;
  return (file_length - Header_Block_Size) / record_size;
}

void Encode_Record(std::uint8_t *out, std::int32_t slot_size, const Sample_Fields &fields, const std::uint8_t *jpeg) {
  std::memset(out, 0, static_cast<size_t>(Data_Offset));
  Put_Magic(out, Record_Magic);
  Put_32(out + Capture_Mill_Offset, fields.capture_mill);
  Put_32(out + Capture_Delta_Offset, fields.capture_delta);
  Put_32(out + Capture_Local_Offset, fields.capture_local);
  Put_32(out + Quality_Offset, fields.quality);
  Put_32(out + Jpeg_Size_Offset, fields.jpeg_size);
  Put_Magic(out + End_Magic_Offset, Record_End_Magic);
  Put_16(out + Dimensions_Offset, 1);
  Put_32(out + Element_Count_Offset, slot_size);
  Put_32(out + Lower_Bound_Offset, 1);
  const std::int32_t used = std::max(0, std::min(fields.jpeg_size, slot_size));
  if (used > 0)
    std::memcpy(out + Data_Offset, jpeg, static_cast<size_t>(used));
  std::memset(out + Data_Offset + used, 0, static_cast<size_t>(slot_size - used));
  Put_Magic(out + Data_Offset + slot_size, Record_Final_Magic);
}

Sample_Fields Decode_Fixed_Part(const std::uint8_t *record) {
  Sample_Fields f;
  f.capture_mill = Get_32(record + Capture_Mill_Offset);
  f.capture_delta = Get_32(record + Capture_Delta_Offset);
  f.capture_local = Get_32(record + Capture_Local_Offset);
  f.quality = Get_32(record + Quality_Offset);
  f.jpeg_size = Get_32(record + Jpeg_Size_Offset);
  return f;
}

Record_Check Check_Record(std::span<const std::uint8_t> record) {
  Record_Check c;
  if (record.size() < static_cast<size_t>(Record_Overhead)) {
    c.start_magic = c.end_magic = c.final_magic = c.descriptor = c.jpeg_size = false;
    return c;
  }
  const std::uint8_t *r = record.data();
  const auto slot = static_cast<std::int64_t>(record.size()) - Record_Overhead;
  c.start_magic = Has_Magic(r, Record_Magic);
  c.end_magic = Has_Magic(r + End_Magic_Offset, Record_End_Magic);
  c.final_magic = Has_Magic(r + Data_Offset + slot, Record_Final_Magic);
  c.descriptor = Get_16(r + Dimensions_Offset) == 1 && Get_32(r + Element_Count_Offset) == slot &&
                 Get_32(r + Lower_Bound_Offset) == 1;
  const std::int32_t jpeg_size = Get_32(r + Jpeg_Size_Offset);
  c.jpeg_size = jpeg_size >= 0 && jpeg_size <= slot;
  return c;
}

std::int32_t Record_Checksum(const std::uint8_t *data, std::int32_t jpeg_size) {
  std::int32_t sum = 0;
  for (std::int32_t index = 100; index <= jpeg_size; index += 1000)
    sum += data[index - 1];
  return sum;
}

std::uint32_t Crc32(const std::uint8_t *data, std::size_t size) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k)
        c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < size; ++i)
    crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

} // namespace QK3
