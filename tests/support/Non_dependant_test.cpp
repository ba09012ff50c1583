#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "support/Error_Handler.h"
#include "support/Failure.h"
#include "support/Globals.h"
#include "support/Non_dependant.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTimer>

#include <gtest/gtest.h>

namespace {
struct Mill_Case {
  std::int32_t ms;
  bool trim;
  const char *text;
};

class Display_Mill_Time_Test : public testing::TestWithParam<Mill_Case> {};

TEST_P(Display_Mill_Time_Test, Formats) {
  const Mill_Case c = GetParam();
  EXPECT_EQ(Display_Mill_Time(c.ms, c.trim).toStdString(), c.text) << c.ms << (c.trim ? " trimmed" : "");
}

INSTANTIATE_TEST_SUITE_P(Cases, Display_Mill_Time_Test,
                         testing::Values(Mill_Case{83450, false, " 01:23,45"}, Mill_Case{3723000, false, " 1:02:03,00"},
                                         Mill_Case{-1500, false, "-00:01,50"}, Mill_Case{5230, true, "5,23"},
                                         Mill_Case{83450, true, "1:23,45"}, Mill_Case{12147, true, "12,15"},
                                         Mill_Case{65000, true, "1:05,00"}, Mill_Case{3723450, true, "1:02:03,45"},
                                         Mill_Case{-5120, true, "-5,12"}, Mill_Case{86400000, false, " 00:00,00"},
                                         Mill_Case{0, true, "0,00"},
                                         // halves to even
                                         Mill_Case{125, true, "0,12"}, Mill_Case{135, true, "0,14"},
                                         Mill_Case{1145, true, "1,14"}, Mill_Case{1155, true, "1,16"},
                                         // a hundredth of 100 carries into the seconds
                                         Mill_Case{59996, false, " 01:00,00"}, Mill_Case{3599999, true, "1:00:00,00"},
                                         // the one-day wrap, and the most negative value
                                         Mill_Case{93600000, false, " 2:00:00,00"},
                                         Mill_Case{std::numeric_limits<std::int32_t>::min(), false, "-20:31:23,65"}));

TEST(ParsePath, SplitsAtTheLastSlash) {
  EXPECT_EQ(ParsePath(QStringLiteral("/a/b.qk3"), 16), QStringLiteral("/a/"));
  EXPECT_EQ(ParsePath(QStringLiteral("/a/b.qk3"), 0), QStringLiteral("b.qk3"));
  EXPECT_EQ(ParsePath(QStringLiteral("/a/b.qk3"), 3), QStringLiteral("/a/b.qk3"));
  EXPECT_EQ(ParsePath(QString(), 0), QString());
}

TEST(ParsePath, WithoutSlashShowsTheFailureAndReturnsEmpty) {
  auto &op = Scripted_Operator::Install();
  op.Answer(Msg_Result::OK);
  EXPECT_EQ(ParsePath(QStringLiteral("b.qk3"), 0), QString());
  EXPECT_EQ(op.Message_Texts(), QStringList{QStringLiteral("5 5 *Error in ParsePath")});
}
TEST(Do_Sleep, PumpsWindowEventsOnlyWhenAsked) {
  bool delivered = false;
  QTimer::singleShot(0, QCoreApplication::instance(), [&] { delivered = true; });
  Do_Sleep(30, false);
  EXPECT_FALSE(delivered) << "a plain wait must not run other handlers";
  Do_Sleep(30, true);
  EXPECT_TRUE(delivered);
}

class Recording_Presenter final : public Error_Presenter {
public:
  void Present_Error(const QStringList &lines) override { reports << lines.join(QLatin1Char('\n')); }
  QStringList reports;
};

TEST(Kill_File, RemovesReadOnlyFilesAndIgnoresMissingOnes) {
  Temp_AppData app;
  Recording_Presenter presenter;
  Set_Error_Presenter(&presenter);
  const QString file = app.Write(QStringLiteral("locked.qk3"), "frames");
  ASSERT_TRUE(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
  Kill_File(file);
  EXPECT_FALSE(QFile::exists(file));
  Kill_File(file); // gone already: not a failure
  Kill_File(QString());
  EXPECT_TRUE(presenter.reports.isEmpty()) << presenter.reports.join(QLatin1Char('\n')).toStdString();

  ASSERT_TRUE(QDir(app.Path()).mkpath(QStringLiteral("folder/inside")));
  Kill_File(app.File(QStringLiteral("folder")));
  Set_Error_Presenter(nullptr);
  EXPECT_TRUE(QFileInfo(app.File(QStringLiteral("folder/inside"))).isDir());
  ASSERT_EQ(presenter.reports.size(), 1);
  EXPECT_TRUE(
      presenter.reports[0].contains(QStringLiteral("Location of error: Kill_File of Module Module_dependant,")));
}

// The attribute, not whether this user could write anyway: an administrator's session must
// still see a heat file marked read-only as read-only. Disabled until Is_Read_Only reads the
// permission bits instead of asking whether the file is writable (fails when run as root).
TEST(Is_Read_Only, FollowsTheFilesWritePermission) {
  Temp_AppData app;
  const QString file = app.Write(QStringLiteral("heat.qk3"), "frames");
  EXPECT_FALSE(Is_Read_Only(file));
  ASSERT_TRUE(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
  EXPECT_TRUE(Is_Read_Only(file));
  EXPECT_FALSE(Is_Read_Only(app.File(QStringLiteral("missing.qk3"))));
}

TEST(Byte_Texts, RoundTripThroughAFixedBuffer) {
  QByteArray buffer(8, 'x');
  Text_To_Bytes(QStringLiteral("MJPG"), buffer);
  EXPECT_EQ(buffer, QByteArray("MJPG\0\0\0\0", 8));
  EXPECT_EQ(Bytes_To_Text(buffer), QStringLiteral("MJPG"));
  Text_To_Bytes(QStringLiteral("Läufe 01"), buffer); // exactly fits, no terminator
  EXPECT_EQ(buffer, QByteArray("L\xE4ufe 01"));
  EXPECT_EQ(Bytes_To_Text(buffer), QStringLiteral("Läufe 01"));
  Text_To_Bytes(QStringLiteral("too long for it"), buffer); // cleared, nothing copied
  EXPECT_EQ(buffer, QByteArray(8, '\0'));
  EXPECT_EQ(Bytes_To_Text(buffer), QString());
}

TEST(FourCC_Text, LowestByteFirst) {
  EXPECT_EQ(FourCC_Text(0x47504A4Du), QStringLiteral("MJPG"));
  EXPECT_EQ(FourCC_Text(0x32595559u), QStringLiteral("YUY2"));
  EXPECT_EQ(FourCC_Text(0xE4000041u).size(), 4);
  EXPECT_EQ(FourCC_Text(0xE4000041u)[3], QChar(0xE4)); // high bytes are not sign-extended
}

TEST(Small_Conversions, HalfUpAndRoundToMultiple) {
  const std::pair<long long, long long> half_up[] = {{0, 0}, {1, 1},  {2, 1},   {3, 2},
                                                     {5, 3}, {-1, 0}, {-2, -1}, {-3, -1}};
  for (const auto &[n, expected] : half_up)
    EXPECT_EQ(Half_Up(n), expected) << n;
  EXPECT_EQ(Round_To_Multiple(24, 10), 20);
  EXPECT_EQ(Round_To_Multiple(25, 10), 20); // halves to even
  EXPECT_EQ(Round_To_Multiple(35, 10), 40);
  EXPECT_EQ(Round_To_Multiple(-26, 4), -24);
}
} // namespace

TEST(General_Date_Text, IsTheShortDateAndTheLongTimeWithSeconds) {
  const QLocale saved;
  const QDateTime when(QDate(2018, 5, 23), QTime(9, 5, 7));
  const struct {
    QLocale locale;
    const char *text;
  } cases[] = {
      {QLocale(QLocale::German, QLocale::Germany), "23.05.18 09:05:07"},
      {QLocale(QLocale::English, QLocale::UnitedStates), "5/23/18 9:05:07 AM"},
      {QLocale(QLocale::English, QLocale::UnitedKingdom), "23/05/2018 09:05:07"},
  };
  for (const auto &c : cases) {
    QLocale::setDefault(c.locale);
    EXPECT_EQ(General_Date_Text(when), QLatin1String(c.text)) << c.locale.name().toStdString();
  }
  QLocale::setDefault(saved);
}

TEST(FileDate, IsTheExecutablesTimeToTheSecond) {
  const QLocale saved;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  const QDateTime modified = QFileInfo(QCoreApplication::applicationFilePath()).lastModified();
  EXPECT_EQ(FileDate(), modified.toString(QStringLiteral("dd.MM.yy HH:mm:ss")));
  QLocale::setDefault(saved);
}

namespace {
TEST(Small_Conversions, OddNumbersAndTheirFields) {
  struct Case {
    long long n;
    bool odd;
    int field;
  };
  const Case cases[] = {{1, true, 1},
                        {2, false, 2},
                        {3, true, 1},
                        {0, false, 2},
                        {-1, true, 1},
                        {-2, false, 2},
                        {-3, true, 1},
                        {32767, true, 1},
                        {65534, false, 2},
                        {std::numeric_limits<long long>::min(), false, 2},
                        {std::numeric_limits<long long>::max(), true, 1}};
  for (const Case &c : cases) {
    EXPECT_EQ(Is_Odd(c.n), c.odd) << c.n;
    EXPECT_EQ(Odd_Even_Field(c.n), c.field) << c.n;
  }
}

// Logs which element goes; erase throws at the element marked to fail.
struct Logged_Collection {
  std::vector<int> items;
  std::vector<int> erased;
  int fail_at = -1;
  int fail_line = 0;
  bool empty() const { return items.empty(); }
  std::vector<int>::iterator begin() { return items.begin(); }
  void erase(std::vector<int>::iterator at) {
    if (*at == fail_at) {
      fail_line = __LINE__ + 1;
      Raise(Err_Internal, QStringLiteral("cannot release"));
    }
    erased.push_back(*at);
    items.erase(at);
  }
};

class Empty_Collection_Test : public testing::Test {
protected:
  void SetUp() override { Globals::Stop_Frame_Events = false; }
  void TearDown() override { Globals::Stop_Frame_Events = false; }
};

TEST_F(Empty_Collection_Test, RemovesFirstToLastAndReturnsAtOnceWhenEmpty) {
  auto &op = Scripted_Operator::Install();
  Logged_Collection frames{{4, 7, 9}, {}};
  Empty_Collection(frames);
  EXPECT_TRUE(frames.items.empty());
  EXPECT_EQ(frames.erased, (std::vector<int>{4, 7, 9}));
  Empty_Collection(frames);
  EXPECT_EQ(frames.erased.size(), 3u);

  QList<QString> names{QStringLiteral("a"), QStringLiteral("b")};
  Empty_Collection(names);
  EXPECT_TRUE(names.isEmpty());
  EXPECT_FALSE(Globals::Stop_Frame_Events);
  EXPECT_TRUE(op.Message_Texts().isEmpty());
}

TEST_F(Empty_Collection_Test, AFailureStopsFrameEventsAndNamesTheLine) {
  auto &op = Scripted_Operator::Install();
  op.Answer(Msg_Result::OK);
  Logged_Collection frames{{4, 7, 9}, {}, 7};
  Empty_Collection(frames);
  EXPECT_TRUE(Globals::Stop_Frame_Events);
  EXPECT_EQ(frames.erased, std::vector<int>{4});
  EXPECT_EQ(frames.items, (std::vector<int>{7, 9}));
  EXPECT_EQ(op.Message_Texts(), QStringList{QStringLiteral("Empty_Collection error %1").arg(frames.fail_line)});
}

class Check_DV_Header_Test : public Empty_Collection_Test {};

TEST_F(Check_DV_Header_Test, StopsFrameEventsOnAnyOtherStart) {
  struct Case {
    std::vector<std::uint8_t> bytes;
    bool stops;
  };
  const Case cases[] = {{{31, 7, 0, 0}, false}, {{31, 7}, false}, {{31, 8, 0}, true}, {{30, 7, 0}, true},
                        {{7, 31}, true},        {{31}, true},     {{}, true},         {{0x9F, 7}, true}};
  for (const Case &c : cases) {
    Globals::Stop_Frame_Events = false;
    Check_DV_Header(c.bytes);
    EXPECT_EQ(Globals::Stop_Frame_Events, c.stops) << testing::PrintToString(c.bytes);
  }
  // A sound header never clears a stop already asked for.
  Globals::Stop_Frame_Events = true;
  const std::uint8_t sound[] = {31, 7, 0};
  Check_DV_Header(sound);
  EXPECT_TRUE(Globals::Stop_Frame_Events);
}
} // namespace
