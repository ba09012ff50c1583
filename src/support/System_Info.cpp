#include "support/System_Info.h"

#include "support/Checked.h"
#include "support/Clock.h"
#include "support/Failure.h"
#include "support/Globals.h"
#include "support/Non_dependant.h"
#include "support/Settings_Store.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QStringList>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace {
System_Info_Sources sources;

const QString Tidemark_CPU = QStringLiteral("Get_CPU_Info of Module Module_Tidemark");
const QString Tidemark_Bitness = QStringLiteral("Check_Bitness of Module Module_Tidemark");
const QString Tidemark_Memory = QStringLiteral("Get_Mem_Tot_Phys of Module Module_Tidemark");
const QString Tidemark_Mem_Info = QStringLiteral("Get_Mem_Info of Module Module_Tidemark");
const QString OS_Version_Os = QStringLiteral("GetOsBitness of Module Module_OS_Version");
const QString OS_Version_Cpu = QStringLiteral("Get_CPU_Bitness of Module Module_OS_Version");

bool Real_System() { return QDir(sources.root).canonicalPath() == QLatin1String("/"); }

QString Source_Path(const QString &relative) { return QDir(sources.root).filePath(relative); }

std::optional<QString> Read_Source(const QString &relative) {
  QFile f(Source_Path(relative));
  if (!f.open(QIODevice::ReadOnly))
    return std::nullopt;
  return QString::fromLatin1(f.readAll());
}

QString Read_Required(const QString &relative) {
  const std::optional<QString> text = Read_Source(relative);
  if (!text)
    Raise(Err_File_Not_Found, QStringLiteral("File not found: ") + Source_Path(relative));
  return *text;
}

// "key : value" lines of /proc/cpuinfo and /proc/meminfo; the first value of a key wins.
std::optional<QString> Field_Of(const QString &text, const QString &key, qsizetype *count = nullptr) {
  std::optional<QString> value;
  for (const QString &line : text.split(QLatin1Char('\n'))) {
    const qsizetype colon = line.indexOf(QLatin1Char(':'));
    if (colon < 0 || line.left(colon).trimmed() != key)
      continue;
    if (count)
      ++*count;
    if (!value)
      value = line.mid(colon + 1).trimmed();
  }
  return value;
}

QString Machine() {
  if (sources.machine) {
    if (sources.machine->isEmpty())
      Raise(Err_Invalid_Call, QStringLiteral("uname failed"));
    return *sources.machine;
  }
  utsname u{};
  if (::uname(&u) != 0)
    Raise(Err_Invalid_Call, QStringLiteral("uname failed"));
  return QString::fromLatin1(u.machine);
}

bool Is_64_Bit_Machine(const QString &machine) {
  return machine.contains(QLatin1String("64")) || machine == QLatin1String("s390x");
}

QString Processor_Type(const QString &machine) {
  if (machine == QLatin1String("x86_64") || machine == QLatin1String("amd64"))
    return QStringLiteral("8664");
  if (machine.size() == 4 && machine.startsWith(QLatin1Char('i')) && machine.endsWith(QLatin1String("86")))
    return QStringLiteral("586");
  return machine;
}

// "3400.123" as thousandths (3400123), exactly; nullopt when it is no decimal number.
std::optional<long long> Thousandths(const QString &text) {
  const QStringList parts = text.trimmed().split(QLatin1Char('.'));
  if (parts.size() > 2 || parts[0].isEmpty())
    return std::nullopt;
  bool ok = false;
  long long value = parts[0].toLongLong(&ok) * 1000;
  if (!ok || value < 0)
    return std::nullopt;
  if (parts.size() == 2) {
    const QString frac = (parts[1] + QStringLiteral("000")).left(3);
    const long long f = frac.toLongLong(&ok);
    if (!ok)
      return std::nullopt;
    value += f;
  }
  return value;
}

// Processor speed in tenths of a GHz: the highest rated frequency when the kernel knows it,
// otherwise the current clock of processor 0.
long long Speed_Tenths_GHz(const QString &cpuinfo) {
  if (const auto max = Read_Source(QStringLiteral("sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq"))) {
    bool ok = false;
    const long long khz = max->trimmed().toLongLong(&ok);
    if (ok && khz > 0)
      return Divide_Half_Even(khz, 100000);
  }
  if (const auto mhz = Field_Of(cpuinfo, QStringLiteral("cpu MHz")))
    if (const auto milli_mhz = Thousandths(*mhz))
      return Divide_Half_Even(*milli_mhz, 100000);
  return 0;
}

// value / 10^decimals with the locale's decimal separator and no trailing zeros.
QString Decimal_Text(long long value, int decimals) {
  long long scale = 1;
  for (int i = 0; i < decimals; ++i)
    scale *= 10;
  QString text = QString::number(value / scale);
  QString frac = QStringLiteral("%1").arg(value % scale, decimals, 10, QLatin1Char('0'));
  while (frac.endsWith(QLatin1Char('0')))
    frac.chop(1);
  if (!frac.isEmpty())
    text += QLocale().decimalPoint() + frac;
  return text;
}

long long Processor_Count(const QString &cpuinfo) {
  qsizetype count = 0;
  Field_Of(cpuinfo, QStringLiteral("processor"), &count);
  if (count == 0 && Real_System())
    count = ::sysconf(_SC_NPROCESSORS_ONLN);
  return count;
}

struct Memory_Bytes {
  long long total = 0;
  long long available = 0;
};

long long Meminfo_Bytes(const QString &meminfo, const QString &key) {
  const std::optional<QString> field = Field_Of(meminfo, key);
  if (!field)
    return -1;
  bool ok = false;
  const long long kb = field->section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty).toLongLong(&ok);
  return ok ? kb * 1024 : -1;
}

Memory_Bytes Read_Memory() {
  if (const auto meminfo = Read_Source(QStringLiteral("proc/meminfo"))) {
    Memory_Bytes m;
    m.total = Meminfo_Bytes(*meminfo, QStringLiteral("MemTotal"));
    m.available = Meminfo_Bytes(*meminfo, QStringLiteral("MemAvailable"));
    if (m.available < 0) // kernels before 3.14
      m.available = Meminfo_Bytes(*meminfo, QStringLiteral("MemFree")) +
                    Max_Of(0LL, Meminfo_Bytes(*meminfo, QStringLiteral("Buffers"))) +
                    Max_Of(0LL, Meminfo_Bytes(*meminfo, QStringLiteral("Cached")));
    if (m.total > 0 && m.available >= 0)
      return m;
  }
  struct sysinfo si {};
  if (!Real_System() || ::sysinfo(&si) != 0)
    Raise(Err_File_Not_Found, QStringLiteral("File not found: ") + Source_Path(QStringLiteral("proc/meminfo")));
  const auto unit = static_cast<long long>(si.mem_unit);
  return {static_cast<long long>(si.totalram) * unit, static_cast<long long>(si.freeram + si.bufferram) * unit};
}

// os-release values are shell words: quoted, with backslash escapes.
QString Unquote(const QString &value) {
  QString v = value.trimmed();
  if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) && v.back() == v.front())
    v = v.mid(1, v.size() - 2);
  QString out;
  for (qsizetype i = 0; i < v.size(); ++i) {
    if (v[i] == QLatin1Char('\\') && i + 1 < v.size())
      ++i;
    out += v[i];
  }
  return out;
}
} // namespace

void Set_System_Info_Sources(const System_Info_Sources &s) { sources = s; }

const System_Info_Sources &Current_System_Info_Sources() { return sources; }

QString Get_Computer_Name() {
  if (sources.host_name)
    return *sources.host_name;
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0)
    return QString();
  return QString::fromLocal8Bit(name); // cut at the first NUL
}

void Get_CPU_Info() {
  Guarded(Tidemark_CPU, [] {
    const QString cpuinfo = Read_Required(QStringLiteral("proc/cpuinfo"));
    const QString type = Processor_Type(Machine());
    const long long count = Processor_Count(cpuinfo);
    const long long tenths = Speed_Tenths_GHz(cpuinfo);
    Globals::CPU_Info = QStringLiteral("CPU= ") + type + QLatin1Char(' ') + QString::number(count) +
                        QStringLiteral(" core ") + Decimal_Text(tenths, 1) + QStringLiteral("GHz");
    Globals::OS_Caption = Get_OS_Caption();
  });
}

QString Get_OS_Caption() {
  try {
    for (const QString &file : {QStringLiteral("etc/os-release"), QStringLiteral("usr/lib/os-release")}) {
      const std::optional<QString> text = Read_Source(file);
      if (!text)
        continue;
      for (const QString &line : text->split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("PRETTY_NAME="))) {
          const QString caption = Unquote(line.mid(12));
          if (!caption.isEmpty())
            return caption;
        }
    }
  } catch (...) {
  }
  return QStringLiteral("Unknown OS");
}

QString GetOsBitness() {
  return Guarded(OS_Version_Os, QString(),
                 [] { return Is_64_Bit_Machine(Machine()) ? QStringLiteral("64") : QStringLiteral("32"); });
}

QString Get_CPU_Bitness() {
  return Guarded(OS_Version_Cpu, QString(), [] {
    // x86 processors name their long mode "lm"; elsewhere the machine tells the width.
    if (const auto cpuinfo = Read_Source(QStringLiteral("proc/cpuinfo")))
      if (const auto flags = Field_Of(*cpuinfo, QStringLiteral("flags")))
        return flags->split(QLatin1Char(' '), Qt::SkipEmptyParts).contains(QLatin1String("lm")) ? QStringLiteral("64")
                                                                                                : QStringLiteral("32");
    return Is_64_Bit_Machine(Machine()) ? QStringLiteral("64") : QStringLiteral("32");
  });
}

void Check_Bitness() {
  Guarded(Tidemark_Bitness, [] {
    const QString section = QStringLiteral("Settings");
    QString os = Read_INI(section, QStringLiteral("osbitness"), Globals::Ini_File, QString());
    if (os == QLatin1String("N/A")) {
      os = GetOsBitness();
      Write_INI(section, QStringLiteral("osbitness"), os, Globals::Ini_File);
    }
    Globals::OS_Bitness = os;
    QString cpu = Read_INI(section, QStringLiteral("cpubitness"), Globals::Ini_File, QString());
    if (cpu == QLatin1String("N/A")) {
      cpu = Get_CPU_Bitness();
      Write_INI(section, QStringLiteral("cpubitness"), cpu, Globals::Ini_File);
    }
    Globals::CPU_Bitness = cpu;
  });
}

QString Format_Byte_Size(std::int64_t bytes) {
  constexpr std::int64_t KB = 1024, MB = KB * 1024, GB = MB * 1024, TB = GB * 1024;
  if (bytes < KB)
    return QString::number(bytes) + QStringLiteral(" bytes");
  if (bytes < MB)
    return Decimal_Text(Divide_Half_Even(bytes * 10, KB), 1) + QStringLiteral(" KB");
  if (bytes < GB)
    return Decimal_Text(Divide_Half_Even(bytes * 100, MB), 2) + QStringLiteral(" MB");
  if (bytes < TB)
    return Decimal_Text(Divide_Half_Even(bytes * 100, GB), 2) + QStringLiteral(" GB");
  return QString();
}

QString Get_Mem_Tot_Phys() {
  return Guarded(Tidemark_Memory, QString(), [] {
    const Memory_Bytes m = Read_Memory();
    const long long free_percent = Divide_Half_Even(m.available * 100, m.total);
    return Format_Byte_Size(m.total) + QStringLiteral(" (") + QString::number(free_percent) + QStringLiteral("% Free)");
  });
}

void Get_Mem_Info() {
  Guarded(Tidemark_Mem_Info, [] { Globals::Mem_Info = Get_Mem_Tot_Phys(); });
}

QString Get_Computer_Uptime() {
  // The text covers one day, so the 64-bit count is taken within the day first: the
  // 32-bit tick would turn negative after 24.8 days of uptime.
  const auto within_day = static_cast<std::int32_t>(Current_Clock().Monotonic_Ms() % 86400000u);
  return Display_Mill_Time(within_day, false);
}

QString Get_Program_Uptime() { return Display_Mill_Time(Ticks_Between(Globals::Load_Time, Tick()), false); }
