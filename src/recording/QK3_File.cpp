#include "recording/QK3_File.h"

#include "support/Failure.h"
#include "support/Trace.h"

#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr std::size_t Side_File_Size = QK3::Header_Block_Size + 4;

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

void Write_Side_File(const QString &side, const Header_Block &block) {
  std::array<std::uint8_t, Side_File_Size> bytes{};
  std::memcpy(bytes.data(), block.data(), block.size());
  QK3::Put_32(bytes.data() + QK3::Header_Block_Size, static_cast<std::int32_t>(QK3::Crc32(block.data(), block.size())));
  QK3_File out;
  out.Open(side, QK3_File::Mode::Create);
  out.Truncate(0);
  out.Write_At(0, bytes.data(), bytes.size());
  out.Sync();
  out.Close();
  Sync_Folder_Of(side);
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

QString Header_Side_File(const QString &heat_file) { return heat_file + QStringLiteral(".hdr"); }

void Write_Header_Block_Safely(QK3_File &file, const Header_Block &block, bool records_written) {
  const QString side = Header_Side_File(file.Path());
  if (records_written)
    file.Sync();
  try {
    Write_Side_File(side, block);
  } catch (const Lurcher_Failure &f) {
    // No room for the side copy (a full disk): the block is still written in place, since
    // losing the judged result is worse than the short unprotected moment.
    Write_Trace(QStringLiteral("*Write_QK3_header, no side file: ") + f.Description());
    ::unlink(QFile::encodeName(side).constData());
  }
  file.Write_At(0, block.data(), block.size());
  file.Sync();
  ::unlink(QFile::encodeName(side).constData());
}

bool Read_Header_Side_File(const QString &heat_file, Header_Block &block) {
  QK3_File side;
  try {
    side.Open(Header_Side_File(heat_file), QK3_File::Mode::Read_Only);
  } catch (const Lurcher_Failure &) {
    return false;
  }
  if (side.Size() != static_cast<std::int64_t>(Side_File_Size))
    return false;
  std::array<std::uint8_t, Side_File_Size> bytes{};
  if (side.Read_Some_At(0, bytes.data(), bytes.size()) != bytes.size())
    return false;
  const auto crc = static_cast<std::uint32_t>(QK3::Get_32(bytes.data() + QK3::Header_Block_Size));
  if (crc != QK3::Crc32(bytes.data(), QK3::Header_Block_Size))
    return false;
  const QK3::Header_Block_View view = QK3::Parse_Header_Block(std::span(bytes.data(), QK3::Header_Block_Size));
  if (!view.magic_ok || !view.tail_magic_ok || !view.length_ok())
    return false;
  std::memcpy(block.data(), bytes.data(), block.size());
  return true;
}

bool Restore_Header_From_Side_File(QK3_File &file) {
  const QString side = Header_Side_File(file.Path());
  if (!QFileInfo::exists(side) || !file.Writable())
    return false;
  Header_Block block{};
  const bool complete = Read_Header_Side_File(file.Path(), block);
  if (complete) {
    file.Write_At(0, block.data(), block.size());
    file.Sync();
    Write_Trace("*Read_QK3_Headers, header restored from ", side);
  }
  ::unlink(QFile::encodeName(side).constData());
  Sync_Folder_Of(side);
  return complete;
}
