#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "support/Clock.h"
#include "support/Error_Handler.h"
#include "support/Globals.h"
#include "support/Settings_Store.h"
#include "support/System_Info.h"

#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace {
QString Tree(const char *name) { return QStringLiteral(LURCHER_FIXTURES "/sysinfo/") + QLatin1String(name); }

class Recording_Presenter final : public Error_Presenter {
public:
  void Present_Error(const QStringList &lines) override { reports << lines.join(QLatin1Char('\n')); }
  QStringList reports;
};

class System_Info : public testing::Test {
protected:
  Temp_AppData app;
  Scripted_Operator &op = Scripted_Operator::Install();
  Recording_Presenter presenter;
  QLocale saved_locale;

  void SetUp() override { Set_Error_Presenter(&presenter); }
  void TearDown() override {
    Set_Error_Presenter(nullptr);
    Set_System_Info_Sources({});
    QLocale::setDefault(saved_locale);
    op.Expect_All_Answered();
  }
  void Use_Tree(const char *name, const QString &machine) {
    Set_System_Info_Sources({Tree(name), QStringLiteral("finish-pc"), machine});
  }
  bool Reported(const QString &location) const {
    for (const QString &r : presenter.reports)
      if (r.contains(QStringLiteral("Location of error: ") + location + QLatin1Char(',')))
        return true;
    return false;
  }
};

// ---- Byte sizes ---------------------------------------------------------------------------

struct Size_Case {
  std::int64_t bytes;
  const char *text;
};
void PrintTo(const Size_Case &c, std::ostream *os) { *os << c.bytes; }

class Byte_Size : public testing::TestWithParam<Size_Case> {};

TEST_P(Byte_Size, Formats) { EXPECT_EQ(Format_Byte_Size(GetParam().bytes).toStdString(), GetParam().text); }

constexpr std::int64_t KB = 1024, MB = KB * KB, GB = MB * KB;
INSTANTIATE_TEST_SUITE_P(Cases, Byte_Size,
                         testing::Values(Size_Case{0, "0 bytes"}, Size_Case{1023, "1023 bytes"},
                                         Size_Case{1024, "1 KB"}, Size_Case{1536, "1.5 KB"},
                                         Size_Case{1280, "1.2 KB"}, // 1.25 halves to even
                                         Size_Case{1792, "1.8 KB"}, // 1.75 halves to even
                                         Size_Case{MB - 1, "1024 KB"}, Size_Case{MB, "1 MB"},
                                         Size_Case{MB + MB / 2, "1.5 MB"}, Size_Case{5 * GB, "5 GB"},
                                         Size_Case{8367744 * KB, "7.98 GB"}, Size_Case{GB + GB / 10, "1.1 GB"},
                                         Size_Case{1024 * GB - 1, "1024 GB"}, Size_Case{1024 * GB, ""}));

TEST_F(System_Info, FractionsUseTheLocaleSeparator) {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  EXPECT_EQ(Format_Byte_Size(1536), QStringLiteral("1,5 KB"));
  EXPECT_EQ(Format_Byte_Size(1234567), QStringLiteral("1,18 MB")); // never a group separator
  Use_Tree("desktop", QStringLiteral("x86_64"));
  Get_CPU_Info();
  EXPECT_EQ(Globals::CPU_Info, QStringLiteral("CPU= 8664 4 core 3,4GHz"));
}

// ---- Processor, memory, operating system from fixture trees ---------------------------------

struct Machine_Case {
  const char *tree, *machine, *cpu_info, *mem_info, *os_caption, *os_bits, *cpu_bits;
};
void PrintTo(const Machine_Case &c, std::ostream *os) { *os << c.tree; }

class Machine_Texts : public System_Info, public testing::WithParamInterface<Machine_Case> {};

TEST_P(Machine_Texts, AreBuiltFromTheTree) {
  const Machine_Case c = GetParam();
  QLocale::setDefault(QLocale::c());
  Use_Tree(c.tree, QLatin1String(c.machine));
  Globals::OS_Caption.clear();
  Get_CPU_Info();
  Get_Mem_Info();
  EXPECT_EQ(Globals::CPU_Info, QLatin1String(c.cpu_info));
  EXPECT_EQ(Globals::Mem_Info, QLatin1String(c.mem_info));
  EXPECT_EQ(Globals::OS_Caption, QLatin1String(c.os_caption));
  EXPECT_EQ(GetOsBitness(), QLatin1String(c.os_bits));
  EXPECT_EQ(Get_CPU_Bitness(), QLatin1String(c.cpu_bits));
  EXPECT_EQ(Get_Computer_Name(), QStringLiteral("finish-pc"));
  EXPECT_TRUE(presenter.reports.isEmpty()) << presenter.reports.join(QLatin1Char('\n')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Machine_Texts,
    testing::Values(
        // rated speed from cpufreq wins over the current "cpu MHz"
        Machine_Case{"desktop", "x86_64", "CPU= 8664 4 core 3.4GHz", "7.98 GB (45% Free)",
                     "Debian GNU/Linux 12 (bookworm)", "64", "64"},
        // no cpufreq: 2450 MHz halves to even; no MemAvailable: free + buffers + cache, 12.5% -> 12
        Machine_Case{"old_pc", "i686", "CPU= 586 2 core 2.4GHz", "5 GB (12% Free)", "Unknown OS", "32", "32"},
        // no x86 flags: the machine tells the width; os-release only under usr/lib
        Machine_Case{"arm_board", "aarch64", "CPU= aarch64 4 core 1.8GHz", "3.7 GB (80% Free)",
                     "Raspbian \"Trixie\" 13", "64", "64"}));

TEST_F(System_Info, MissingCpuInfoIsReportedAndKeepsTheOldText) {
  QTemporaryDir empty;
  Set_System_Info_Sources({empty.path(), QStringLiteral("finish-pc"), QStringLiteral("x86_64")});
  Globals::CPU_Info = QStringLiteral("before");
  Get_CPU_Info();
  EXPECT_EQ(Globals::CPU_Info, QStringLiteral("before"));
  EXPECT_TRUE(Reported(QStringLiteral("Get_CPU_Info of Module Module_Tidemark")));
  EXPECT_EQ(Get_OS_Caption(), QStringLiteral("Unknown OS"));
}

TEST_F(System_Info, ThisComputerGivesTextsOfTheRightFormInAnyLocale) {
  Set_System_Info_Sources({});
  // What the kernel says, asked otherwise than the program asks it.
  struct sysinfo si {};
  ASSERT_EQ(::sysinfo(&si), 0);
  const auto total = static_cast<std::int64_t>(si.totalram) * si.mem_unit;
  const QString processors = QString::number(::sysconf(_SC_NPROCESSORS_ONLN));
  utsname u{};
  ASSERT_EQ(::uname(&u), 0);
  const QString machine = QString::fromLatin1(u.machine);
  const QString type = machine == QLatin1String("x86_64") ? QStringLiteral("8664") : machine;

  for (const QLocale &locale :
       {QLocale::c(), QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::Arabic, QLocale::Egypt),
        QLocale(QLocale::French, QLocale::Switzerland)}) {
    QLocale::setDefault(locale);
    const QString point = QRegularExpression::escape(locale.decimalPoint());
    Get_CPU_Info();
    Get_Mem_Info();
    const QRegularExpressionMatch cpu =
        QRegularExpression(QStringLiteral("^CPU= (\\S+) ([1-9]\\d*) core \\d+(") + point + QStringLiteral("\\d)?GHz$"))
            .match(Globals::CPU_Info);
    ASSERT_TRUE(cpu.hasMatch()) << locale.name().toStdString() << ": " << Globals::CPU_Info.toStdString();
    EXPECT_EQ(cpu.captured(1), type);
    EXPECT_EQ(cpu.captured(2), processors);
    // The total is exact; the free share changes from one moment to the next.
    const QRegularExpressionMatch mem =
        QRegularExpression(QStringLiteral("^(.+) \\((\\d+)% Free\\)$")).match(Globals::Mem_Info);
    ASSERT_TRUE(mem.hasMatch()) << locale.name().toStdString() << ": " << Globals::Mem_Info.toStdString();
    EXPECT_EQ(mem.captured(1), Format_Byte_Size(total)) << locale.name().toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+(") + point + QStringLiteral("\\d{1,2})? (bytes|KB|MB|GB)$"))
                    .match(mem.captured(1))
                    .hasMatch())
        << mem.captured(1).toStdString();
    EXPECT_LE(mem.captured(2).toInt(), 100);
  }
  EXPECT_FALSE(Get_Computer_Name().isEmpty());
  EXPECT_FALSE(Globals::OS_Caption.isEmpty());
  EXPECT_TRUE(presenter.reports.isEmpty()) << presenter.reports.join(QLatin1Char('\n')).toStdString();
}

// ---- The width cache in the settings file --------------------------------------------------

TEST_F(System_Info, StoredWidthsAreUsedWithoutAQuery) {
  app.Write(QStringLiteral("Lurcher_HDMI.ini"), "[Settings]\nosbitness=32\ncpubitness=32\n");
  // uname would fail and the tree has no processor: any query would be reported.
  QTemporaryDir empty;
  Set_System_Info_Sources({empty.path(), QStringLiteral("finish-pc"), QString()});
  Check_Bitness();
  EXPECT_EQ(Globals::OS_Bitness, QStringLiteral("32"));
  EXPECT_EQ(Globals::CPU_Bitness, QStringLiteral("32"));
  EXPECT_TRUE(presenter.reports.isEmpty());
}

TEST_F(System_Info, MissingWidthsAreQueriedAndStored) {
  app.Write(QStringLiteral("Lurcher_HDMI.ini"), "[Settings]\nHeat_ID=3\nosbitness=\n");
  Use_Tree("desktop", QStringLiteral("x86_64"));
  Check_Bitness();
  EXPECT_EQ(Globals::OS_Bitness, QStringLiteral("64"));
  EXPECT_EQ(Globals::CPU_Bitness, QStringLiteral("64"));
  EXPECT_EQ(app.Read(QStringLiteral("Lurcher_HDMI.ini")),
            QByteArray("[Settings]\nHeat_ID=3\nosbitness=64\ncpubitness=64\n"));
}

TEST_F(System_Info, FailedQueryIsReportedAndRepeatedNextStart) {
  Use_Tree("desktop", QString()); // uname fails
  Check_Bitness();
  EXPECT_TRUE(Reported(QStringLiteral("GetOsBitness of Module Module_OS_Version")));
  EXPECT_EQ(Globals::OS_Bitness, QString());
  EXPECT_EQ(Globals::CPU_Bitness, QStringLiteral("64")); // from the processor's flags
  EXPECT_EQ(Read_INI(QStringLiteral("Settings"), QStringLiteral("osbitness"), Globals::Ini_File, QString()),
            QStringLiteral("N/A"));

  presenter.reports.clear();
  Use_Tree("desktop", QStringLiteral("x86_64"));
  Check_Bitness();
  EXPECT_EQ(Globals::OS_Bitness, QStringLiteral("64"));
  EXPECT_TRUE(presenter.reports.isEmpty());
}

// ---- Uptimes ------------------------------------------------------------------------------

struct Uptime_Case {
  std::uint64_t since_boot_ms;
  const char *text;
};
void PrintTo(const Uptime_Case &c, std::ostream *os) { *os << c.since_boot_ms << " ms"; }

class Computer_Uptime : public testing::TestWithParam<Uptime_Case> {};

TEST_P(Computer_Uptime, CountsWithinOneDay) {
  Manual_Clock clock(GetParam().since_boot_ms);
  Set_Clock(&clock);
  const QString text = Get_Computer_Uptime();
  Set_Clock(nullptr);
  EXPECT_EQ(text.toStdString(), GetParam().text);
}

constexpr std::uint64_t Hour = 3600000, Day = 24 * Hour;
INSTANTIATE_TEST_SUITE_P(Cases, Computer_Uptime,
                         testing::Values(Uptime_Case{26 * Hour + 3 * 60000, " 2:03:00,00"},
                                         Uptime_Case{83450, " 01:23,45"},
                                         Uptime_Case{30 * Day + Hour, " 1:00:00,00"}, // past 32 bits of ticks
                                         Uptime_Case{50 * Day + 5 * Hour, " 5:00:00,00"}));

TEST(Program_Uptime, CountsFromTheLoadTimeAcrossTheTickWrap) {
  Manual_Clock clock(0xFFFFFFFFull - 999);
  Set_Clock(&clock);
  Globals::Load_Time = Tick();
  clock.Advance(83450);
  const QString text = Get_Program_Uptime();
  Set_Clock(nullptr);
  Globals::Load_Time = 0;
  EXPECT_EQ(text, QStringLiteral(" 01:23,45"));
}
} // namespace
