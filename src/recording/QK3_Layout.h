#pragma once
// The byte layout of a QK3 heat file. A heat file is a 32016-byte header block followed by
// fixed-size sample records, one per frame; a record is found by arithmetic alone. All
// integers are little-endian. Files written by any program that follows this layout open
// here, so every size read back is checked before it is used.

#include <QByteArray>
#include <array>
#include <cstdint>
#include <span>

namespace QK3 {

// Header block
constexpr std::int32_t Header_Block_Size = 32016;
constexpr std::int32_t Header_Size_Offset = 4;
constexpr std::int32_t Xml_Length_Offset = 8;
constexpr std::int32_t Xml_Offset = 12;
constexpr std::int32_t Xml_Area_Size = 32000;
constexpr std::int32_t Tail_Magic_Offset = 32012;
constexpr char Header_Magic[] = "QKR3";
constexpr char Header_Tail_Magic[] = "QKRX";

// Sample record, offsets from the record's start
constexpr std::int32_t Record_Reserved16_Offset = 4;
constexpr std::int32_t Capture_Mill_Offset = 8;
constexpr std::int32_t Capture_Delta_Offset = 12;
constexpr std::int32_t Capture_Local_Offset = 16;
constexpr std::int32_t Quality_Offset = 24;
constexpr std::int32_t Jpeg_Size_Offset = 32;
constexpr std::int32_t End_Magic_Offset = 40;
constexpr std::int32_t Fixed_Part_Size = 44; // in front of the array descriptor
constexpr std::int32_t Dimensions_Offset = 44;
constexpr std::int32_t Element_Count_Offset = 46;
constexpr std::int32_t Lower_Bound_Offset = 50;
constexpr std::int32_t Data_Offset = 54;
constexpr std::int32_t Record_Overhead = 58; // record size = slot size + 58
constexpr char Record_Magic[] = "RGBS";
constexpr char Record_End_Magic[] = "RGBE";
constexpr char Record_Final_Magic[] = "RGBF";

// Frame numbers and the frame count are 16-bit.
constexpr std::int32_t Max_Frames = 32767;
// The encoder never writes more than this into a slot, and the slot rule adds at most 5500.
constexpr std::int32_t Max_Slot_Size = 1005000;
constexpr std::int32_t Max_Record_Size = Max_Slot_Size + Record_Overhead;
// Frame sides a heat file may declare; cameras deliver far less.
constexpr std::int32_t Max_Frame_Side = 4096;

// Little-endian access to a byte area the caller has checked.
std::int16_t Get_16(const std::uint8_t *at);
std::int32_t Get_32(const std::uint8_t *at);
void Put_16(std::uint8_t *at, std::int16_t value);
void Put_32(std::uint8_t *at, std::int32_t value);
bool Has_Magic(const std::uint8_t *at, const char (&magic)[5]);
void Put_Magic(std::uint8_t *at, const char (&magic)[5]);

// The header block around the XML bytes (ISO-8859-1). Text beyond 32000 bytes raises
// Err_Overflow: a header that does not fit is refused, never cut.
std::array<std::uint8_t, Header_Block_Size> Build_Header_Block(const QByteArray &xml);

struct Header_Block_View {
  bool magic_ok = false;      // "QKR3" at 0
  bool tail_magic_ok = false; // "QKRX" at 32012
  std::int32_t block_size = 0;
  std::int32_t xml_length = 0; // as stored
  QByteArray xml;              // at most the 32000 bytes of the area
  bool length_ok() const { return xml_length >= 0 && xml_length <= Xml_Area_Size; }
};
// Reads a block of exactly Header_Block_Size bytes.
Header_Block_View Parse_Header_Block(std::span<const std::uint8_t> block);

// The fields of one sample record.
struct Sample_Fields {
  std::int32_t capture_mill = 0;
  std::int32_t capture_delta = 0;
  std::int32_t capture_local = 0;
  std::int32_t quality = 0;
  std::int32_t jpeg_size = 0;
};

constexpr std::int64_t Record_Size_For_Slot(std::int32_t slot_size) {
  return static_cast<std::int64_t>(slot_size) + Record_Overhead;
}
// Byte offset of record n (1-based) for records of size S.
constexpr std::int64_t Record_Offset(std::int32_t n, std::int64_t record_size) {
  return Header_Block_Size + (static_cast<std::int64_t>(n) - 1) * record_size;
}
// Whole records a file of that length holds.
std::int64_t Whole_Records(std::int64_t file_length, std::int64_t record_size);

// Writes a whole record of Record_Size_For_Slot(slot_size) bytes into out: the fields, the
// magics, the array descriptor and the JPEG bytes; the rest of the data area is zero.
void Encode_Record(std::uint8_t *out, std::int32_t slot_size, const Sample_Fields &fields, const std::uint8_t *jpeg);

// The fields of a record whose first 44 bytes are given.
Sample_Fields Decode_Fixed_Part(const std::uint8_t *record);

// What is wrong with a whole record of record_size bytes; empty when it is sound.
struct Record_Check {
  bool start_magic = true, end_magic = true, final_magic = true, descriptor = true, jpeg_size = true;
  bool Sound() const { return start_magic && end_magic && final_magic && descriptor && jpeg_size; }
};
Record_Check Check_Record(std::span<const std::uint8_t> record);

// The record checksum: the data bytes at 1-based indices 100, 1100, 2100, ... up to the JPEG size.
std::int32_t Record_Checksum(const std::uint8_t *data, std::int32_t jpeg_size);

// CRC-32 (IEEE) of a byte area; guards the side copy of the header block.
std::uint32_t Crc32(const std::uint8_t *data, std::size_t size);

} // namespace QK3
