#include "support/Settings_Store.h"

#include "support/Checked.h"
#include "support/Failure.h"
#include "support/Globals.h"
#include "support/Operator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr qsizetype Max_Value_Chars = 511;

// ---- The file as lines ------------------------------------------------------------------
// The file is kept as its lines, each with its own line end, so that everything the program
// does not touch goes back to disk as it was. The file is in the system's 8-bit encoding,
// which is UTF-8 on Linux. A file that is not valid UTF-8 was written in Latin-1 by an older
// version: it is read as Latin-1, where every byte is a character, and the next write turns
// it into UTF-8 with every character kept.

struct Ini_Lines {
  QStringList lines; // each with its line end, if it had one
  QString eol = QStringLiteral("\n");
};

QString Text_Of(const QByteArray &bytes) {
  // A byte order mark stays a character of the first line, so it is written back.
  QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
  const QString text = utf8(bytes);
  return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

// nullopt when the text holds what UTF-8 cannot carry (half of a surrogate pair).
std::optional<QByteArray> Bytes_Of(const QString &text) {
  QStringEncoder utf8(QStringConverter::Utf8);
  QByteArray bytes = utf8(text);
  if (utf8.hasError())
    return std::nullopt;
  return bytes;
}

Ini_Lines Split_Lines(const QByteArray &bytes) {
  Ini_Lines ini;
  const QString text = Text_Of(bytes);
  qsizetype start = 0;
  bool eol_seen = false;
  while (start < text.size()) {
    qsizetype nl = text.indexOf(QLatin1Char('\n'), start);
    const qsizetype end = nl < 0 ? text.size() : nl + 1;
    ini.lines << text.mid(start, end - start);
    if (nl >= 0 && !eol_seen) {
      eol_seen = true;
      ini.eol = (nl > 0 && text[nl - 1] == QLatin1Char('\r')) ? QStringLiteral("\r\n") : QStringLiteral("\n");
    }
    start = end;
  }
  return ini;
}

QString Line_End_Of(const QString &line) {
  if (line.endsWith(QLatin1String("\r\n")))
    return QStringLiteral("\r\n");
  if (line.endsWith(QLatin1Char('\n')))
    return QStringLiteral("\n");
  return QString();
}

QString Body_Of(const QString &line) { return line.left(line.size() - Line_End_Of(line).size()); }

// "[name]" (blanks around allowed, anything after "]" ignored). A "[" without "]" is no header.
bool Section_Header(const QString &line, QString &name) {
  QString body = Body_Of(line);
  if (body.startsWith(QChar(0xFEFF)))
    body.remove(0, 1); // the byte order mark of the file's first line
  body = body.trimmed();
  if (!body.startsWith(QLatin1Char('[')))
    return false;
  const qsizetype close = body.indexOf(QLatin1Char(']'));
  if (close < 0)
    return false;
  name = body.mid(1, close - 1).trimmed();
  return true;
}

// "key=value"; comment lines and lines without "=" or without a key are no settings.
bool Key_Line(const QString &line, QString &key, QString &value) {
  const QString body = Body_Of(line);
  const QString trimmed = body.trimmed();
  if (trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#')))
    return false;
  const qsizetype eq = body.indexOf(QLatin1Char('='));
  if (eq < 0)
    return false;
  key = body.left(eq).trimmed();
  value = body.mid(eq + 1);
  return !key.isEmpty();
}

// Values are trimmed, and one pair of matching quotes around them is dropped.
QString Clean_Value(const QString &raw) {
  QString v = raw.trimmed();
  if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) && v.back() == v.front())
    v = v.mid(1, v.size() - 2);
  return v;
}

struct Key_Place {
  qsizetype key_line = -1;     // the first line holding the key in a matching section
  qsizetype section_line = -1; // the header of the first matching section
  qsizetype section_end = -1;  // the line after that section's last line
};

Key_Place Find_Key(const QStringList &lines, const QString &section, const QString &key) {
  Key_Place place;
  bool in_match = false;
  for (qsizetype i = 0; i < lines.size(); ++i) {
    QString name, k, v;
    if (Section_Header(lines[i], name)) {
      if (in_match && place.section_end < 0)
        place.section_end = i;
      in_match = name.compare(section, Qt::CaseInsensitive) == 0;
      if (in_match && place.section_line < 0)
        place.section_line = i;
    } else if (in_match && place.key_line < 0 && Key_Line(lines[i], k, v) && k.compare(key, Qt::CaseInsensitive) == 0) {
      place.key_line = i;
    }
  }
  if (place.section_line >= 0 && place.section_end < 0)
    place.section_end = lines.size();
  return place;
}

// ---- Files, with the errno of a failure -------------------------------------------------

struct Io_Error {
  int number = 0;
};

QByteArray Native(const QString &path) { return QFile::encodeName(path); }

// The whole file; a missing file reads as empty. false with errno set on any other failure.
bool Read_Whole_File(const QString &path, QByteArray &bytes, Io_Error &error) {
  bytes.clear();
  const int fd = ::open(Native(path).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error.number = errno;
    return errno == ENOENT;
  }
  char buffer[16384];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0)
      break;
    if (n < 0) {
      if (errno == EINTR)
        continue;
      error.number = errno;
      ::close(fd);
      return false;
    }
    bytes.append(buffer, n);
  }
  ::close(fd);
  return true;
}

bool Write_All(int fd, const QByteArray &bytes) {
  const char *p = bytes.constData();
  qsizetype left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
    if (n < 0) {
      if (errno == EINTR)
        continue;
      return false;
    }
    p += n;
    left -= n;
  }
  return true;
}

mode_t New_File_Mode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// Writes a temporary file beside the target, flushes it to disk and renames it over the
// target: readers see the old file or the new one, never a mixture.
bool Replace_File(const QString &path, const QByteArray &bytes, Io_Error &error) {
  QString target = path;
  const QFileInfo info(path);
  if (info.isSymLink() && info.exists())
    target = info.canonicalFilePath(); // keep the link, replace what it points to

  struct stat st {};
  const bool exists = ::stat(Native(target).constData(), &st) == 0;
  if (exists && ::access(Native(target).constData(), W_OK) != 0) {
    error.number = errno; // a read-only settings file stays as it is
    return false;
  }
  QByteArray temp = Native(target) + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    error.number = errno;
    return false;
  }
  const mode_t mode = exists ? (st.st_mode & 07777) : New_File_Mode();
  if (exists && ::fchown(fd, st.st_uid, st.st_gid) != 0) {
    // only an administrator may hand the file back to its owner; the settings still get written
  }
  bool ok = ::fchmod(fd, mode) == 0 && Write_All(fd, bytes) && ::fsync(fd) == 0;
  int saved = errno;
  if (::close(fd) != 0 && ok) {
    ok = false; // some file systems report a lost write only here
    saved = errno;
  }
  if (!ok || ::rename(temp.constData(), Native(target).constData()) != 0) {
    error.number = ok ? errno : saved;
    ::unlink(temp.constData());
    return false;
  }
  // Make the rename itself durable; a failure here loses nothing already written.
  const int dir = ::open(Native(QFileInfo(target).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

// ---- Changing one setting in the lines --------------------------------------------------

void Set_Value(Ini_Lines &ini, const QString &section, const QString &key, const QString &value) {
  const Key_Place place = Find_Key(ini.lines, section, key);
  if (place.key_line >= 0) {
    QString old_key, old_value;
    const QString &line = ini.lines[place.key_line];
    Key_Line(line, old_key, old_value);
    QString eol = Line_End_Of(line);
    if (eol.isEmpty())
      eol = place.key_line + 1 < ini.lines.size() ? ini.eol : QString();
    ini.lines[place.key_line] = old_key + QLatin1Char('=') + value + eol;
    return;
  }
  const QString new_line = key + QLatin1Char('=') + value + ini.eol;
  if (place.section_line >= 0) {
    // After the section's last non-blank line, so a blank line before the next section stays there.
    qsizetype at = place.section_end;
    while (at - 1 > place.section_line && Body_Of(ini.lines[at - 1]).trimmed().isEmpty())
      --at;
    if (Line_End_Of(ini.lines[at - 1]).isEmpty())
      ini.lines[at - 1] += ini.eol;
    ini.lines.insert(at, new_line);
    return;
  }
  if (!ini.lines.isEmpty() && Line_End_Of(ini.lines.back()).isEmpty())
    ini.lines.back() += ini.eol;
  ini.lines << QLatin1Char('[') + section + QLatin1Char(']') + ini.eol << new_line;
}

void Show_Write_Failure(const QString &file, int number) {
  Msg_Box(QStringLiteral("Writing to INI file failed! Path = ") + file + QLatin1Char('\n') +
              QStringLiteral(" Error = ") + QString::number(number) + QLatin1Char(' ') +
              QString::fromLocal8Bit(std::strerror(number)),
          Msg_Buttons::OK, Msg_Icon::Critical, QStringLiteral(" QKR Error"));
}

// A value is one line of text: line breaks would split it into lines of their own.
QString One_Line(const QString &value) {
  QString v = value;
  for (QChar &c : v)
    if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar(0))
      c = QLatin1Char(' ');
  return v;
}

std::optional<std::optional<QSize>> screen_override;
} // namespace

QString Read_INI(const QString &section, const QString &key, const QString &file, const QString &default_value) {
  try {
    if (file.isEmpty()) {
      Msg_Box(QStringLiteral("Ini_file_path is empty!"));
      return QString();
    }
    QByteArray bytes;
    Io_Error error;
    QString value;
    if (Read_Whole_File(file, bytes, error)) {
      const Ini_Lines ini = Split_Lines(bytes);
      const Key_Place place = Find_Key(ini.lines, section, key);
      QString k, raw;
      if (place.key_line >= 0 && Key_Line(ini.lines[place.key_line], k, raw))
        value = Clean_Value(raw).left(Max_Value_Chars);
    }
    if (!value.isEmpty())
      return value;
    return default_value.isEmpty() ? QStringLiteral("N/A") : default_value;
  } catch (...) {
    return default_value.isEmpty() ? QStringLiteral("N/A") : default_value;
  }
}

int Write_INI(const QString &section, const QString &key, const QString &value, const QString &file) {
  try {
    if (file.isEmpty() || section.isEmpty() || key.isEmpty()) {
      Show_Write_Failure(file, file.isEmpty() ? ENOENT : EINVAL);
      return 0;
    }
    const QString line_value = One_Line(value);
    if (!Bytes_Of(line_value + section + key)) {
      // Stored as "?" the value would be lost; keep the old one instead.
      Show_Write_Failure(file, EILSEQ);
      return 0;
    }
    QByteArray bytes;
    Io_Error error;
    if (!Read_Whole_File(file, bytes, error)) {
      Show_Write_Failure(file, error.number); // never overwrite a file we could not read
      return 0;
    }
    Ini_Lines ini = Split_Lines(bytes);
    Set_Value(ini, section, key, line_value);
    const std::optional<QByteArray> new_bytes = Bytes_Of(ini.lines.join(QString()));
    if (!new_bytes) {
      Show_Write_Failure(file, EILSEQ);
      return 0;
    }
    if (!Replace_File(file, *new_bytes, error)) {
      Show_Write_Failure(file, error.number);
      return 0;
    }
    return 1;
  } catch (...) {
    Show_Write_Failure(file, EIO);
    return 0;
  }
}

QString Get_AppData_Folder() {
  try {
    QString folder = qEnvironmentVariable("LURCHER_APPDATA");
    if (folder.isEmpty()) {
      QString data_home = qEnvironmentVariable("XDG_DATA_HOME");
      if (data_home.isEmpty() || QDir::isRelativePath(data_home))
        data_home = QDir::homePath() + QStringLiteral("/.local/share");
      folder = data_home + QLatin1Char('/') + Globals::App_Name;
    }
    const qsizetype nul = folder.indexOf(QChar(0));
    if (nul >= 0)
      folder.truncate(nul);
    folder = QDir::cleanPath(folder);
    if (folder.isEmpty() || !QDir().mkpath(folder) || !QFileInfo(folder).isDir())
      Raise(Err_Path_Not_Found, folder);
    return folder;
  } catch (...) {
    Msg_Box(QStringLiteral("Error in AppuserData module"));
    return QString();
  }
}

void Store_Form_Pos(const QString &name, std::int32_t left, std::int32_t top, std::int16_t width, std::int16_t height) {
  try {
    const QString text = QStringLiteral("%1,%2,%3,%4").arg(left).arg(top).arg(width).arg(height);
    Write_INI(QStringLiteral("windowpos"), name, text, Globals::Ini_File);
  } catch (...) {
    Msg_Box(QStringLiteral("Store_Form_Pos error%1").arg(Current_Failure().line));
  }
}

namespace {
// A stored field as a whole number; anything else is a type mismatch.
long long Field_Number(const QString &field) {
  bool ok = false;
  const double number = field.trimmed().toDouble(&ok);
  if (!ok)
    Raise(Err_Type_Mismatch, Failure_Description(Err_Type_Mismatch));
  return Round_Half_Even(number);
}

constexpr long long Max_16 = std::numeric_limits<std::int16_t>::max();
} // namespace

void Get_Form_Pos(const QString &name, std::int16_t &left, std::int16_t &top, std::int16_t &width,
                  std::int16_t &height) {
  try {
    const QStringList f =
        Read_INI(QStringLiteral("windowpos"), name, Globals::Ini_File, QStringLiteral("0,0")).split(QLatin1Char(','));
    // Every field is checked before any is taken, so a broken entry changes nothing.
    long long l = left, t = top, w = width, h = height;
    if (const long long v = Field_Number(f[0]); v > 0)
      l = v;
    if (f.size() >= 2)
      if (const long long v = Field_Number(f[1]); v > 0)
        t = v;
    // A zero, negative or oversized size would make the window vanish; keep the caller's then.
    if (f.size() >= 3)
      if (const long long v = Field_Number(f[2]); v > 0 && v <= Max_16)
        w = v;
    if (f.size() >= 4)
      if (const long long v = Field_Number(f[3]); v > 0 && v <= Max_16)
        h = v;
    // A position past the 16-bit range (a window on a wide second screen) counts as off-screen.
    if (l > Max_16)
      l = 0;
    if (t > Max_16)
      t = 0;
    if (l < -150)
      l = 0;
    if (t < -150)
      t = 0;
    if (const std::optional<QSize> screen = Screen_Size_Twips()) {
      if (l > screen->width())
        l = 0;
      if (t > screen->height())
        t = 0;
    }
    left = Checked_16(l);
    top = Checked_16(t);
    width = Checked_16(w);
    height = Checked_16(h);
  } catch (...) {
    Msg_Box(QStringLiteral("Get_Form_Pos error %1").arg(Current_Failure().line));
  }
}

std::optional<QSize> Screen_Size_Twips() {
  if (screen_override)
    return *screen_override;
  if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
    return std::nullopt;
  const QScreen *screen = QGuiApplication::primaryScreen();
  if (!screen || screen->logicalDotsPerInchX() <= 0 || screen->logicalDotsPerInchY() <= 0)
    return std::nullopt;
  const QRect g = screen->geometry();
  return QSize(static_cast<int>(Round_Half_Even(g.width() * 1440.0 / screen->logicalDotsPerInchX())),
               static_cast<int>(Round_Half_Even(g.height() * 1440.0 / screen->logicalDotsPerInchY())));
}

void Set_Screen_Size_Twips(std::optional<QSize> size) { screen_override = size; }

void Use_Real_Screen_Size() { screen_override.reset(); }
