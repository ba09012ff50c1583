#include "recording/QK3_File.h"

#include "support/Failure.h"
#include "support/Trace.h"

#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// A side file holds two slots, written in turn: the block, its sequence number and the CRC-32
// of both. A crash while one slot is written leaves the other complete.
constexpr std::size_t Slot_Size = QK3::Header_Block_Size + 8;
constexpr std::size_t Side_File_Size = 2 * Slot_Size;

[[noreturn]] void Raise_Errno(int error_number, const QString &path,
                              std::source_location where = std::source_location::current()) {
  Raise(File_Failure_Number(error_number),
        QString::fromLocal8Bit(std::strerror(error_number)) + QStringLiteral(": ") + path, where);
}

// The directory entry of a new or removed side file must reach the disk as well.
void Sync_Folder_Of(const QString &path) {
  const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
  const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0)
    return;
  ::fsync(fd);
  ::close(fd);
}

void Remove_File(const QString &path) { ::unlink(QFile::encodeName(path).constData()); }

struct Side_Slot {
  bool complete = false;
  std::uint32_t sequence = 0;
};

Side_Slot Check_Slot(const std::uint8_t *slot) {
  Side_Slot result;
  const auto crc = static_cast<std::uint32_t>(QK3::Get_32(slot + QK3::Header_Block_Size + 4));
  if (crc != QK3::Crc32(slot, QK3::Header_Block_Size + 4))
    return result;
  const QK3::Header_Block_View view = QK3::Parse_Header_Block(std::span(slot, QK3::Header_Block_Size));
  result.complete = view.magic_ok && view.tail_magic_ok && view.length_ok();
  result.sequence = static_cast<std::uint32_t>(QK3::Get_32(slot + QK3::Header_Block_Size));
  return result;
}

// The newest complete slot of the side file's bytes; -1 when there is none.
int Newest_Slot(const std::vector<std::uint8_t> &side, std::uint32_t &sequence) {
  int newest = -1;
  for (int k = 0; k < 2; ++k) {
    if (side.size() < (static_cast<std::size_t>(k) + 1) * Slot_Size)
      break;
    const Side_Slot slot = Check_Slot(side.data() + static_cast<std::size_t>(k) * Slot_Size);
    if (slot.complete && (newest < 0 || slot.sequence > sequence)) {
      newest = k;
      sequence = slot.sequence;
    }
  }
  return newest;
}

std::vector<std::uint8_t> Read_Side_Bytes(const QString &side_path) {
  std::vector<std::uint8_t> bytes;
  QK3_File side;
  try {
    side.Open(side_path, QK3_File::Mode::Read_Only);
  } catch (const Lurcher_Failure &) {
    return bytes;
  }
  bytes.resize(static_cast<std::size_t>(std::clamp<std::int64_t>(side.Size(), 0, Side_File_Size)));
  bytes.resize(side.Read_Some_At(0, bytes.data(), bytes.size()));
  return bytes;
}

// Writes the block into the slot after the newest one and flushes it.
void Write_Side_Slot(const QString &side_path, const Header_Block &block) {
  const bool existed = QFileInfo::exists(side_path);
  const std::vector<std::uint8_t> before = Read_Side_Bytes(side_path);
  std::uint32_t sequence = 0;
  const int newest = Newest_Slot(before, sequence);
  const std::vector<std::uint8_t> slot = Header_Side_Slot(block, newest < 0 ? 1 : sequence + 1);
  QK3_File side;
  side.Open(side_path, QK3_File::Mode::Create);
  side.Write_At(newest == 0 ? static_cast<std::int64_t>(Slot_Size) : 0, slot.data(), slot.size());
  side.Sync();
  side.Close();
  if (!existed)
    Sync_Folder_Of(side_path);
}
} // namespace

std::int16_t File_Failure_Number(int error_number) {
  switch (error_number) {
  case ENOENT:
    return Err_File_Not_Found;
  case EACCES:
  case EPERM:
  case EROFS:
  case ETXTBSY:
    return Err_Permission_Denied;
  case ENOSPC:
  case EDQUOT:
  case EFBIG:
    return Err_Disk_Full;
  case ENOTDIR:
    return Err_Path_Not_Found;
  default:
    return 57; // device I/O error
  }
}

QK3_File::~QK3_File() { Close(); }

void QK3_File::Open(const QString &path, Mode mode) {
  Close();
  const QByteArray name = QFile::encodeName(path);
  int flags = O_CLOEXEC;
  if (mode == Mode::Read_Only)
    flags |= O_RDONLY;
  else
    flags |= O_RDWR | (mode == Mode::Create ? O_CREAT : 0);
  const int fd = ::open(name.constData(), flags, 0644);
  if (fd < 0)
    Raise_Errno(errno, path);
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    Raise(Err_Bad_File_Name, QStringLiteral("Is a directory: ") + path);
  }
  fd_ = fd;
  writeback_from_ = 0;
  writable_ = mode != Mode::Read_Only;
  path_ = path;
}

void QK3_File::Close() {
  if (fd_ >= 0)
    ::close(fd_);
  fd_ = -1;
  writable_ = false;
}

std::int64_t QK3_File::Size() const {
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0)
    return 0;
  return st.st_size;
}

std::size_t QK3_File::Read_Some_At(std::int64_t offset, std::uint8_t *out, std::size_t size) const {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n =
        ::pread(fd_, out + done, size - done, static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
    if (n < 0) {
      if (errno == EINTR)
        continue;
      Raise_Errno(errno, path_);
    }
    if (n == 0)
      break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

void QK3_File::Read_At(std::int64_t offset, std::uint8_t *out, std::size_t size) const {
  if (Read_Some_At(offset, out, size) != size)
    Raise(62, QStringLiteral("Input past end of file: ") + path_); // 62: input past end of file
}

void QK3_File::Write_At(std::int64_t offset, const std::uint8_t *data, std::size_t size) {
  if (!writable_)
    Raise(Err_Permission_Denied, QStringLiteral("Permission denied: ") + path_);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n =
        ::pwrite(fd_, data + done, size - done, static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
    if (n < 0) {
      if (errno == EINTR)
        continue;
      Raise_Errno(errno, path_);
    }
    if (n == 0)
      Raise_Errno(ENOSPC, path_);
    done += static_cast<std::size_t>(n);
  }
}

void QK3_File::Truncate(std::int64_t length) {
  if (::ftruncate(fd_, static_cast<off_t>(length)) != 0)
    Raise_Errno(errno, path_);
}

void QK3_File::Sync() {
  if (::fdatasync(fd_) != 0)
    Raise_Errno(errno, path_);
}

void QK3_File::Start_Writeback_Before(std::int64_t end) {
  constexpr std::int64_t batch = 8 << 20;
  if (fd_ < 0 || end < writeback_from_ + batch)
    return;
  // Only a hint: where it fails, the flush before the header still writes everything.
  ::sync_file_range(fd_, static_cast<off_t>(writeback_from_), static_cast<off_t>(end - writeback_from_),
                    SYNC_FILE_RANGE_WRITE);
  writeback_from_ = end;
}

QString Header_Side_File(const QString &heat_file) { return heat_file + QStringLiteral(".hdr"); }

std::vector<std::uint8_t> Header_Side_Slot(const Header_Block &block, std::uint32_t sequence) {
  std::vector<std::uint8_t> slot(Slot_Size);
  std::memcpy(slot.data(), block.data(), block.size());
  QK3::Put_32(slot.data() + QK3::Header_Block_Size, static_cast<std::int32_t>(sequence));
  QK3::Put_32(slot.data() + QK3::Header_Block_Size + 4,
              static_cast<std::int32_t>(QK3::Crc32(slot.data(), QK3::Header_Block_Size + 4)));
  return slot;
}

void Write_Header_Block_Safely(QK3_File &file, const Header_Block &block, bool records_written) {
  // A file open for reading only gets no side copy either: a side copy of a header that never
  // reached the heat file would later be taken for the newest one.
  if (!file.Writable())
    Raise(Err_Permission_Denied, QStringLiteral("Permission denied: ") + file.Path());
  const QString side = Header_Side_File(file.Path());
  if (records_written)
    file.Sync();
  try {
    Write_Side_Slot(side, block);
  } catch (const Lurcher_Failure &f) {
    // No room for the side copy (a full disk): the block is still written in place and
    // flushed, since losing the judged result is worse than the short unprotected moment.
    // An older side copy must not outlive it.
    Write_Trace(QStringLiteral("*Write_QK3_header, no side file: ") + f.Description());
    Remove_File(side);
    file.Write_At(0, block.data(), block.size());
    file.Sync();
    return;
  }
  // The flushed side copy guards the block until the file is closed, so the block itself
  // needs no flush of its own: one flush a judging click.
  file.Write_At(0, block.data(), block.size());
}

void Finish_Header_Writes(QK3_File &file) {
  if (!file.Is_Open() || !file.Writable())
    return;
  const QString side = Header_Side_File(file.Path());
  if (!QFileInfo::exists(side))
    return;
  file.Sync();
  // Once the block is on disk the side copy says nothing new; should its removal be lost in
  // a crash, opening the file finds the same block and drops it.
  Remove_File(side);
}

bool Read_Header_Side_File(const QString &heat_file, Header_Block &block) {
  const std::vector<std::uint8_t> side = Read_Side_Bytes(Header_Side_File(heat_file));
  std::uint32_t sequence = 0;
  const int newest = Newest_Slot(side, sequence);
  if (newest < 0)
    return false;
  std::memcpy(block.data(), side.data() + static_cast<std::size_t>(newest) * Slot_Size, block.size());
  return true;
}

bool Restore_Header_From_Side_File(QK3_File &file) {
  const QString side = Header_Side_File(file.Path());
  if (!QFileInfo::exists(side) || !file.Writable())
    return false;
  Header_Block newest{};
  bool restored = false;
  if (Read_Header_Side_File(file.Path(), newest)) {
    Header_Block stored{};
    const std::size_t got = file.Read_Some_At(0, stored.data(), stored.size());
    if (got != stored.size() || stored != newest) {
      file.Write_At(0, newest.data(), newest.size());
      restored = true;
      Write_Trace("*Read_QK3_Headers, header restored from ", side);
    }
    file.Sync();
  }
  Remove_File(side);
  Sync_Folder_Of(side);
  return restored;
}

namespace {
std::int32_t Record_Size_From_First_Record(const QK3_File &file) {
  std::uint8_t fixed[QK3::Data_Offset] = {};
  if (file.Read_Some_At(QK3::Header_Block_Size, fixed, sizeof fixed) != sizeof fixed)
    return 0;
  const std::int32_t slot = QK3::Get_32(fixed + QK3::Element_Count_Offset);
  if (!QK3::Has_Magic(fixed, QK3::Record_Magic) ||
      !QK3::Has_Magic(fixed + QK3::End_Magic_Offset, QK3::Record_End_Magic) ||
      QK3::Get_16(fixed + QK3::Dimensions_Offset) != 1 || QK3::Get_32(fixed + QK3::Lower_Bound_Offset) != 1 ||
      slot <= 0 || slot > QK3::Max_Slot_Size)
    return 0;
  std::uint8_t final_magic[4] = {};
  if (file.Read_Some_At(QK3::Header_Block_Size + QK3::Data_Offset + slot, final_magic, 4) != 4 ||
      !QK3::Has_Magic(final_magic, QK3::Record_Final_Magic))
    return 0;
  return slot + QK3::Record_Overhead;
}
} // namespace

QK3_Record_Walk Walk_Records(const QK3_File &file, std::int32_t header_record_size, std::int32_t header_frames) {
  QK3_Record_Walk w;
  const std::int64_t length = file.Size();
  w.stated = std::max<std::int32_t>(header_frames, 0);
  w.record_size = header_record_size;
  const bool size_possible = w.record_size > QK3::Record_Overhead && w.record_size <= QK3::Max_Record_Size &&
                             w.record_size <= length - QK3::Header_Block_Size;
  if (!size_possible) {
    w.record_size = Record_Size_From_First_Record(file);
    w.size_from_first_record = w.record_size > 0;
    if (w.record_size == 0)
      return w;
  }
  w.whole = QK3::Whole_Records(length, w.record_size);
  if (w.stated > w.whole) {
    w.frames = static_cast<std::int32_t>(std::min<std::int64_t>(w.whole, QK3::Max_Frames));
    return w;
  }
  std::int32_t frames = w.stated;
  while (frames < w.whole && frames < QK3::Max_Frames) {
    std::uint8_t start[4] = {}, end[4] = {};
    const std::int64_t at = QK3::Record_Offset(frames + 1, w.record_size);
    if (file.Read_Some_At(at, start, 4) != 4 || file.Read_Some_At(at + w.record_size - 4, end, 4) != 4 ||
        !QK3::Has_Magic(start, QK3::Record_Magic) || !QK3::Has_Magic(end, QK3::Record_Final_Magic))
      break;
    ++frames;
  }
  w.frames = frames;
  return w;
}
