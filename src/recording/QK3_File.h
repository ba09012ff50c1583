#pragma once
// Access to a heat file on disk: whole reads and writes at a position, with every failure
// raised as a numbered failure (53 missing, 70 permission denied, 61 disk full, 57 device
// error), and the recoverable rewrite of the header block.
//
// The header block is rewritten in place at every judging click. So that a crash or a power
// loss in the middle of that rewrite cannot lose the heat, each new block is first written
// and flushed to a side file (the heat file's name + ".hdr"), then written into the heat file.
// The side file keeps the newest two blocks in two slots, each with a sequence number and a
// CRC-32, and lives while the heat file is open for writing; closing flushes the heat file
// and removes it. A complete side copy found when the file is opened is the newest header the
// program meant to store and is written back.

#include "recording/QK3_Layout.h"

#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

class QK3_File {
public:
  enum class Mode { Read_Write, Read_Only, Create };

  QK3_File() = default;
  ~QK3_File();
  QK3_File(const QK3_File &) = delete;
  QK3_File &operator=(const QK3_File &) = delete;

  // Opens the file; Create makes it when missing and keeps any content. Raises on failure.
  void Open(const QString &path, Mode mode);
  void Close();
  bool Is_Open() const { return fd_ >= 0; }
  bool Writable() const { return writable_; }
  const QString &Path() const { return path_; }

  std::int64_t Size() const;
  // Reads up to size bytes at offset; returns how many there were.
  std::size_t Read_Some_At(std::int64_t offset, std::uint8_t *out, std::size_t size) const;
  // Reads exactly size bytes or raises.
  void Read_At(std::int64_t offset, std::uint8_t *out, std::size_t size) const;
  // Writes all bytes or raises; a partial write is reported as the failure it was.
  void Write_At(std::int64_t offset, const std::uint8_t *data, std::size_t size);
  void Truncate(std::int64_t length);
  void Sync();
  // Has the disk start writing what lies before end once a few megabytes have gathered, without
  // waiting for it, so the flush that must come before the header finds little left to do.
  void Start_Writeback_Before(std::int64_t end);

private:
  int fd_ = -1;
  std::int64_t writeback_from_ = 0;
  bool writable_ = false;
  QString path_;
};

using Header_Block = std::array<std::uint8_t, QK3::Header_Block_Size>;

// The side file of a heat file.
QString Header_Side_File(const QString &heat_file);

// One slot of a side file: the block, the sequence number and the CRC-32 of both.
std::vector<std::uint8_t> Header_Side_Slot(const Header_Block &block, std::uint32_t sequence);

// Writes the block at offset 0 through the side file (see above). With records_written, the
// records appended since the last header reach the disk before the header that counts them.
// Raises on a file open for reading only.
void Write_Header_Block_Safely(QK3_File &file, const Header_Block &block, bool records_written);

// Before a heat file written through Write_Header_Block_Safely is closed: flushes it and
// removes the side file.
void Finish_Header_Writes(QK3_File &file);

// The newest complete block of the side file (size, magics, CRC); false when there is none.
bool Read_Header_Side_File(const QString &heat_file, Header_Block &block);

// When a complete side copy differs from the writable heat file's block, writes it back;
// then the side file is removed (an incomplete one means the heat file was not touched).
// Returns true when the header was restored.
bool Restore_Header_From_Side_File(QK3_File &file);

// Which records a heat file offers, decided once for the reader and the check alike. The
// record size comes from the header; when it is missing or impossible (a file that appended
// a single frame never measured it) the first record says its own size through its array
// descriptor. Records a crash left behind the header's count are frames when they carry
// their marks; a header counting more than the file holds is read as far as the file goes.
struct QK3_Record_Walk {
  std::int32_t record_size = 0;        // 0: no record can be found
  bool size_from_first_record = false; // the header's size was not usable
  std::int32_t stated = 0;             // the header's frame count, never below 0
  std::int64_t whole = 0;              // whole records the file holds at record_size
  std::int32_t frames = 0;             // records offered, 1 to frames
};
QK3_Record_Walk Walk_Records(const QK3_File &file, std::int32_t header_record_size, std::int32_t header_frames);

// The failure number for an errno value.
std::int16_t File_Failure_Number(int error_number);
