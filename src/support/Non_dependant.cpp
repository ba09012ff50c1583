#include "support/Non_dependant.h"

#include "support/Checked.h"
#include "support/Clock.h"
#include "support/Failure.h"
#include "support/Globals.h"
#include "support/Operator.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QThread>
#include <dlfcn.h>
#include <sys/stat.h>

namespace {
QString two_digits(long long n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }
} // namespace

QString Display_Mill_Time(std::int32_t ms, bool trim) {
  QString text;
  try {
    const bool negative = ms < 0;
    long long abs_ms = negative ? -static_cast<long long>(ms) : ms;
    // Round to hundredths first (halves to even) and carry, so 59,995 s reads 1:00,00
    // rather than 59,100; then keep within one day.
    long long hundredths = Divide_Half_Even(abs_ms, 10) % 8640000;
    const long long h = hundredths / 360000;
    const long long m = hundredths % 360000 / 6000;
    const long long s = hundredths % 6000 / 100;
    const long long c = hundredths % 100;
    if (h > 0)
      text += QString::number(h) + QLatin1Char(':');
    text += two_digits(m) + QLatin1Char(':') + two_digits(s) + QLatin1Char(',') + two_digits(c);
    if (!trim)
      return (negative ? QStringLiteral("-") : QStringLiteral(" ")) + text;
    while (text.size() >= 5 && (text[0] == QLatin1Char('0') || text[0] == QLatin1Char(':')))
      text.remove(0, 1);
    return negative ? QLatin1Char('-') + text : text;
  } catch (...) {
    Msg_Box(QStringLiteral("Display_Mill_Time error %1").arg(Current_Failure().line));
    return text;
  }
}

QString Get_Date_Text() { return Current_Clock().Local_Now().date().toString(QStringLiteral("yyyy-MM-dd")); }

QString Get_DateTime_Text() { return Current_Clock().Local_Now().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")); }

QString General_Date_Text(const QDateTime &when) {
  const QLocale locale;
  // The long time form carries the time zone ("t"); the general date has none.
  QString time_format = locale.timeFormat(QLocale::LongFormat);
  time_format.remove(QRegularExpression(QStringLiteral("\\s*\\bt+\\b")));
  return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
         locale.toString(when.time(), time_format.trimmed());
}

void Do_Sleep(std::int32_t ms, bool pump) {
  try {
    const std::int32_t t0 = Tick();
    while (Ticks_Between(t0, Tick()) < ms) {
      if (pump) {
        QCoreApplication::processEvents();
        QThread::msleep(3);
      } else {
        QThread::msleep(10);
      }
    }
  } catch (...) {
    Msg_Box(QStringLiteral("Do_Sleep error"));
  }
}

void Flush_DV_events() {
  try {
    for (int i = 0; i < 10; ++i) {
      QThread::msleep(100);
      QCoreApplication::processEvents();
    }
  } catch (...) {
    Msg_Box(QStringLiteral("Flush_DV_events error %1").arg(Current_Failure().line));
  }
}

bool FileExists(const QString &path) {
  const QFileInfo info(path);
  return !path.isEmpty() && info.exists() && !info.isDir();
}

bool Folder_Exists(const QString &path) { return !path.isEmpty() && QFileInfo(path).isDir(); }

void Kill_File(const QString &path) {
  Guarded(QStringLiteral("Kill_File of Module Module_dependant"), [&] {
    QFile f(path);
    if (!f.exists())
      return; // a missing file is not a failure here
    f.setPermissions(f.permissions() | QFileDevice::WriteOwner);
    if (!f.remove())
      Raise(Err_Permission_Denied, f.errorString());
  });
}

QString ParsePath(const QString &path, int part) {
  if (path.isEmpty())
    return QString();
  const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
  if (slash < 0) {
    Msg_Box(QStringLiteral("%1 %1 *Error in ParsePath").arg(Err_Invalid_Call));
    return QString();
  }
  switch (part) {
  case 16:
    return path.left(slash + 1);
  case 0:
    return path.mid(slash + 1);
  default:
    return path;
  }
}

QString File_Suffix(const QString &path) {
  const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
  return dot < 0 ? QString() : path.mid(dot + 1);
}

QString FileDate() {
  const QFileInfo exe(QCoreApplication::instance() ? QCoreApplication::applicationFilePath()
                                                   : QStringLiteral("/proc/self/exe"));
  return General_Date_Text(exe.lastModified());
}

bool Is_Read_Only(const QString &path) {
  // The file's own write bits, not whether this user could write: root can write anything.
  const QFileInfo info(path);
  return info.exists() && !(info.permissions() & QFileDevice::WriteOwner);
}

std::int64_t Get_File_Size(const QString &path) {
  if (path.isEmpty())
    return 0;
  return QFileInfo(path).size();
}

QString Bool_Text(bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); }

bool Text_Bool(const QString &text) { return text == QLatin1String("True"); }

bool Is_Odd(long long n) { return n % 2 != 0; }

int Odd_Even_Field(long long n) { return Is_Odd(n) ? 1 : 2; }

long long Half_Up(long long n) { return Round_Half_Even(static_cast<double>(n) / 2.0 + 0.4); }

long long Round_To_Multiple(long long n, long long m) { return m * Divide_Half_Even(n, m); }

QString FourCC_Text(std::uint32_t code) {
  QString text;
  for (int i = 0; i < 4; ++i)
    text += QLatin1Char(static_cast<char>((code >> (8 * i)) & 0xFF));
  return text;
}

void Text_To_Bytes(const QString &text, QByteArray &buffer) {
  buffer.fill('\0');
  const QByteArray bytes = text.toLatin1();
  if (bytes.size() <= buffer.size())
    std::copy(bytes.begin(), bytes.end(), buffer.begin());
}

QString Bytes_To_Text(const QByteArray &buffer) {
  const qsizetype nul = buffer.indexOf('\0');
  return QString::fromLatin1(nul < 0 ? buffer : buffer.left(nul));
}

void Empty_Collection_Failed() noexcept {
  // Called inside the catch: the failure's line is still at hand.
  Globals::Stop_Frame_Events = true;
  try {
    Msg_Box(QStringLiteral("Empty_Collection error %1").arg(Current_Failure().line));
  } catch (...) {
    // nothing more can be told; frame handling is stopped already
  }
}

void Check_DV_Header(std::span<const std::uint8_t> buffer) {
  if (buffer.size() < 2 || buffer[0] != 31 || buffer[1] != 7)
    Globals::Stop_Frame_Events = true;
}

bool DLL_Available(const QString &name) {
  void *handle = ::dlopen(QFile::encodeName(name).constData(), RTLD_LAZY | RTLD_LOCAL);
  if (!handle)
    return false;
  ::dlclose(handle);
  return true;
}
