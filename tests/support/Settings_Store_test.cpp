#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "support/Globals.h"
#include "support/Settings_Store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <array>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <optional>
#include <sys/resource.h>
#include <unistd.h>

namespace {
QByteArray Fixture(const char *name) {
  QFile f(QStringLiteral(LURCHER_FIXTURES "/settings/") + QLatin1String(name));
  EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
  return f.readAll();
}

const QString S = QStringLiteral("Settings");

class Settings_Store : public testing::Test {
protected:
  Temp_AppData app;
  Scripted_Operator &op = Scripted_Operator::Install();
  QString ini = Globals::Ini_File;

  void TearDown() override { op.Expect_All_Answered(); }
  QByteArray File_Bytes() const { return app.Read(QFileInfo(ini).fileName()); }
  QStringList Folder_Entries() const { return QDir(app.Path()).entryList(QDir::Files | QDir::Hidden); }
  void Expect_Write_Failure(const QString &file, const QString &error) {
    ASSERT_EQ(op.Prompts().size(), 1u);
    const Recorded_Prompt &p = op.Prompts().front();
    EXPECT_EQ(p.title, QStringLiteral(" QKR Error"));
    EXPECT_EQ(p.icon, Msg_Icon::Critical);
    EXPECT_EQ(p.text,
              QStringLiteral("Writing to INI file failed! Path = ") + file + QStringLiteral("\n Error = ") + error);
  }
};

// ---- Reading a hand-edited file ----------------------------------------------------------

struct Read_Case {
  const char *section, *key, *default_value, *expected;
};
void PrintTo(const Read_Case &c, std::ostream *os) { *os << c.section << "/" << c.key; }

class Hand_Edited_Read : public Settings_Store, public testing::WithParamInterface<Read_Case> {};

TEST_P(Hand_Edited_Read, FindsTheValue) {
  app.Write(QFileInfo(ini).fileName(), Fixture("hand_edited.ini"));
  const Read_Case c = GetParam();
  EXPECT_EQ(Read_INI(QLatin1String(c.section), QLatin1String(c.key), ini, QLatin1String(c.default_value)),
            QLatin1String(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Hand_Edited_Read,
    testing::Values(Read_Case{"Settings", "Heat_ID", "1", "7"},       // blanks around key and value
                    Read_Case{"SETTINGS", "save_folder", "C:", "C:"}, // present but empty: the default
                    Read_Case{"settings", "box_delay", "0", "15"},    // the first of two duplicates
                    Read_Case{"Settings", "lastcrop", "", "400*880"}, // quotes dropped
                    Read_Case{"Settings", "last_file", "", "N/A"},    // missing, empty default
                    Read_Case{"Goal_Lines", "goal_Line1", "", "10,20,30,400"},
                    Read_Case{"Settings", "current_event_file", "", "/home/race/events/derby.xml"}, // past garbage
                    Read_Case{"settings", "importdir", "c:", "/data/import"}, // a second section of that name
                    Read_Case{"Settings", "this line has no equals sign", "", "N/A"},
                    Read_Case{"Settings", "; indented", "", "N/A"}, // a comment is no key
                    Read_Case{"capturesettings", "friendlyname", "noname", "noname"}));

TEST_F(Settings_Store, MissingFileReadsAsTheDefault) {
  EXPECT_EQ(Read_INI(S, QStringLiteral("Heat_ID"), ini, QStringLiteral("1")), QStringLiteral("1"));
  EXPECT_EQ(Read_INI(S, QStringLiteral("last_file"), ini, QString()), QStringLiteral("N/A"));
  EXPECT_FALSE(QFile::exists(ini));
}

TEST_F(Settings_Store, EmptyPathIsReported) {
  op.Answer(Msg_Result::OK);
  EXPECT_EQ(Read_INI(S, QStringLiteral("Heat_ID"), QString(), QStringLiteral("1")), QString());
  EXPECT_EQ(op.Message_Texts(), QStringList{QStringLiteral("Ini_file_path is empty!")});
}

TEST_F(Settings_Store, LongValueReadsBackCutTo511) {
  const QString value(600, QLatin1Char('x'));
  ASSERT_EQ(Write_INI(S, QStringLiteral("save_folder"), value, ini), 1);
  EXPECT_EQ(Read_INI(S, QStringLiteral("save_folder"), ini, QStringLiteral("C:")), value.left(511));
  EXPECT_TRUE(File_Bytes().contains(value.toLatin1())); // the file keeps it whole
}

// ---- Writing -------------------------------------------------------------------------------

TEST_F(Settings_Store, WriteKeepsEveryOtherLineByteForByte) {
  const QByteArray original = Fixture("hand_edited.ini");
  ASSERT_TRUE(original.contains("\r\n"));
  app.Write(QFileInfo(ini).fileName(), original);

  EXPECT_EQ(Write_INI(QStringLiteral("settings"), QStringLiteral("BOX_DELAY"), QStringLiteral("20"), ini), 1);
  EXPECT_EQ(Write_INI(S, QStringLiteral("auto_init"), QStringLiteral("1"), ini), 1);
  EXPECT_EQ(Write_INI(S, QStringLiteral("importdir"), QStringLiteral("/new"), ini), 1);
  EXPECT_EQ(
      Write_INI(QStringLiteral("capturesettings"), QStringLiteral("friendlyname"), QStringLiteral("USB Video"), ini),
      1);

  QByteArray expected = original;
  expected.replace("Box_delay=15\r\n", "Box_delay=20\r\n");
  expected.replace("derby.xml\r\n", "derby.xml\r\nauto_init=1\r\n");
  expected.replace("importdir=/data/import\r\n", "importdir=/new\r\n");
  expected += "[capturesettings]\r\nfriendlyname=USB Video\r\n";
  EXPECT_EQ(File_Bytes(), expected);
  EXPECT_EQ(Folder_Entries(), QStringList{QFileInfo(ini).fileName()}); // no temporary file left
}

TEST_F(Settings_Store, NamesMatchWithoutRegardToCase) {
  ASSERT_EQ(Write_INI(S, QStringLiteral("Box_delay"), QStringLiteral("30"), ini), 1);
  ASSERT_EQ(Write_INI(QStringLiteral("Goal_lines"), QStringLiteral("Goal_line2"), QStringLiteral("1,2,3,4"), ini), 1);
  EXPECT_EQ(Read_INI(QStringLiteral("settings"), QStringLiteral("box_delay"), ini, QStringLiteral("0")),
            QStringLiteral("30"));
  EXPECT_EQ(Read_INI(QStringLiteral("Goal_Lines"), QStringLiteral("goal_Line2"), ini, QString()),
            QStringLiteral("1,2,3,4"));
  ASSERT_EQ(Write_INI(S, QStringLiteral("BOX_DELAY"), QStringLiteral("31"), ini), 1);
  EXPECT_EQ(File_Bytes(), QByteArray("[Settings]\nBox_delay=31\n[Goal_lines]\nGoal_line2=1,2,3,4\n"));
}

TEST_F(Settings_Store, FileWithoutFinalLineEndGetsOneBeforeNewLines) {
  app.Write(QFileInfo(ini).fileName(), "[Settings]\nHeat_ID=3");
  ASSERT_EQ(Write_INI(S, QStringLiteral("lastcrop"), QStringLiteral("400*880"), ini), 1);
  ASSERT_EQ(Write_INI(QStringLiteral("capture"), QStringLiteral("videoformat"), QStringLiteral("MJPG"), ini), 1);
  EXPECT_EQ(File_Bytes(), QByteArray("[Settings]\nHeat_ID=3\nlastcrop=400*880\n[capture]\nvideoformat=MJPG\n"));
}

TEST_F(Settings_Store, ValueIsUTF8AndStaysOnOneLine) {
  ASSERT_EQ(Write_INI(S, QStringLiteral("save_folder"), QStringLiteral("/data/Läufe"), ini), 1);
  EXPECT_TRUE(File_Bytes().contains("/data/L\xC3\xA4ufe\n"));
  EXPECT_EQ(Read_INI(S, QStringLiteral("save_folder"), ini, QStringLiteral("C:")), QStringLiteral("/data/Läufe"));

  ASSERT_EQ(Write_INI(S, QStringLiteral("videoformat"), QStringLiteral("a\r\n[Evil]\nb"), ini), 1);
  EXPECT_EQ(Read_INI(QStringLiteral("Evil"), QStringLiteral("b"), ini, QString()), QStringLiteral("N/A"));
  EXPECT_EQ(Read_INI(S, QStringLiteral("videoformat"), ini, QString()), QStringLiteral("a  [Evil] b"));
}

TEST_F(Settings_Store, AnyPathOfTheSystemIsSavedAndReadBack) {
  const struct {
    const char *key;
    QString value;
    QByteArray line;
  } cases[] = {
      {"save_folder", QStringLiteral("/media/Łódź"),
       "save_folder=/media/\xC5\x81\xC3\xB3"
       "d\xC5\xBA\n"},
      {"last_folder", QStringLiteral("/home/гонки/забег 3"),
       "last_folder=/home/\xD0\xB3\xD0\xBE\xD0\xBD\xD0\xBA\xD0\xB8/\xD0\xB7\xD0\xB0\xD0\xB1\xD0\xB5\xD0\xB3 3\n"},
      {"current_event_file", QStringLiteral("/data/Ωmega €.xml"),
       "current_event_file=/data/\xCE\xA9mega \xE2\x82\xAC.xml\n"},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(Write_INI(S, QLatin1String(c.key), c.value, ini), 1) << c.key;
    EXPECT_TRUE(File_Bytes().contains(c.line)) << c.key << ": " << File_Bytes().toStdString();
  }
  for (const auto &c : cases)
    EXPECT_EQ(Read_INI(QStringLiteral("settings"), QLatin1String(c.key), ini, QString()), c.value) << c.key;
  EXPECT_TRUE(op.Prompts().empty()) << "no error window";
}

TEST_F(Settings_Store, AnOlderLatin1FileKeepsItsValuesAndBecomesUTF8) {
  const QByteArray latin1("; Einstellungen f\xFCr L\xE4ufe\r\n[Settings]\r\nsave_folder=/data/M\xFCller\r\n");
  app.Write(QFileInfo(ini).fileName(), latin1);
  EXPECT_EQ(Read_INI(S, QStringLiteral("save_folder"), ini, QStringLiteral("C:")), QStringLiteral("/data/Müller"));
  ASSERT_EQ(Write_INI(S, QStringLiteral("last_folder"), QStringLiteral("/media/Łódź"), ini), 1);
  EXPECT_EQ(File_Bytes(),
            QByteArray("; Einstellungen f\xC3\xBCr L\xC3\xA4ufe\r\n[Settings]\r\nsave_folder=/data/M\xC3\xBCller\r\n"
                       "last_folder=/media/\xC5\x81\xC3\xB3"
                       "d\xC5\xBA\r\n"));
  EXPECT_EQ(Read_INI(S, QStringLiteral("save_folder"), ini, QStringLiteral("C:")), QStringLiteral("/data/Müller"));
  EXPECT_EQ(Read_INI(S, QStringLiteral("last_folder"), ini, QString()), QStringLiteral("/media/Łódź"));
}

TEST_F(Settings_Store, AByteOrderMarkIsKeptAndHidesNoSection) {
  app.Write(QFileInfo(ini).fileName(), "\xEF\xBB\xBF[Settings]\nHeat_ID=4\n");
  EXPECT_EQ(Read_INI(S, QStringLiteral("Heat_ID"), ini, QStringLiteral("1")), QStringLiteral("4"));
  ASSERT_EQ(Write_INI(S, QStringLiteral("Heat_ID"), QStringLiteral("5"), ini), 1);
  EXPECT_EQ(File_Bytes(), QByteArray("\xEF\xBB\xBF[Settings]\nHeat_ID=5\n"));
}

TEST_F(Settings_Store, TextUTF8CannotCarryIsRefusedAndTheOldValueKept) {
  ASSERT_EQ(Write_INI(S, QStringLiteral("save_folder"), QStringLiteral("/old"), ini), 1);
  op.Answer(Msg_Result::OK);
  const QString half_pair = QStringLiteral("/data/") + QChar(0xD800); // half of a surrogate pair
  EXPECT_EQ(Write_INI(S, QStringLiteral("save_folder"), half_pair, ini), 0);
  Expect_Write_Failure(ini, QStringLiteral("84 ") + QString::fromLocal8Bit(strerror(EILSEQ)));
  EXPECT_EQ(Read_INI(S, QStringLiteral("save_folder"), ini, QStringLiteral("C:")), QStringLiteral("/old"));
}

TEST_F(Settings_Store, MissingFolderFailsWithTheErrnoText) {
  const QString file = app.File(QStringLiteral("no/such/folder/Lurcher_HDMI.ini"));
  op.Answer(Msg_Result::OK);
  EXPECT_EQ(Write_INI(S, QStringLiteral("Heat_ID"), QStringLiteral("2"), file), 0);
  Expect_Write_Failure(file, QStringLiteral("2 No such file or directory"));
  EXPECT_FALSE(QDir(app.File(QStringLiteral("no"))).exists());
}

TEST_F(Settings_Store, UnreadableFileIsNeverOverwritten) {
  ASSERT_TRUE(QDir(app.Path()).mkdir(QFileInfo(ini).fileName())); // a folder where the file should be
  op.Answer(Msg_Result::OK);
  EXPECT_EQ(Write_INI(S, QStringLiteral("Heat_ID"), QStringLiteral("2"), ini), 0);
  Expect_Write_Failure(ini, QStringLiteral("21 Is a directory"));
  EXPECT_TRUE(QFileInfo(ini).isDir());
}

TEST_F(Settings_Store, FailureWhileWritingLeavesTheOldFileWhole) {
  const QByteArray original = Fixture("hand_edited.ini");
  app.Write(QFileInfo(ini).fileName(), original);
  // The file system refuses to let the new file grow past a few bytes, as on a full disk.
  rlimit old_limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old_limit;
  small.rlim_cur = 64;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  op.Answer(Msg_Result::OK);
  const int result = Write_INI(S, QStringLiteral("Heat_ID"), QStringLiteral("8"), ini);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);

  EXPECT_EQ(result, 0);
  Expect_Write_Failure(ini, QStringLiteral("27 File too large"));
  EXPECT_EQ(File_Bytes(), original);
  EXPECT_EQ(Folder_Entries(), QStringList{QFileInfo(ini).fileName()});
}

TEST_F(Settings_Store, ReadOnlyFolderFailsAndKeepsTheFile) {
  const QString folder = app.File(QStringLiteral("locked"));
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString file = folder + QStringLiteral("/Lurcher_HDMI.ini");
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("[Settings]\nHeat_ID=4\n");
  f.close();
  ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
  if (::access(QFile::encodeName(folder).constData(), W_OK) == 0) {
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    GTEST_SKIP() << "permissions do not bind this user";
  }
  op.Answer(Msg_Result::OK);
  EXPECT_EQ(Write_INI(S, QStringLiteral("Heat_ID"), QStringLiteral("5"), file), 0);
  QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  Expect_Write_Failure(file, QStringLiteral("13 Permission denied"));
  EXPECT_EQ(Read_INI(S, QStringLiteral("Heat_ID"), file, QStringLiteral("1")), QStringLiteral("4"));
}

TEST_F(Settings_Store, WriteThroughALinkReplacesItsTarget) {
  const QString real = app.File(QStringLiteral("real.ini"));
  app.Write(QStringLiteral("real.ini"), "[Settings]\nHeat_ID=4\n");
  ASSERT_TRUE(QFile::link(real, ini));
  ASSERT_EQ(Write_INI(S, QStringLiteral("Heat_ID"), QStringLiteral("9"), ini), 1);
  EXPECT_TRUE(QFileInfo(ini).isSymLink());
  EXPECT_EQ(app.Read(QStringLiteral("real.ini")), QByteArray("[Settings]\nHeat_ID=9\n"));
}

// ---- The application-data folder ---------------------------------------------------------

class Env_Var {
public:
  Env_Var(const char *name, const QString &value) : name_(name), had_(qEnvironmentVariableIsSet(name)) {
    old_ = qgetenv(name);
    if (value.isNull())
      qunsetenv(name);
    else
      qputenv(name, QFile::encodeName(value));
  }
  ~Env_Var() { had_ ? qputenv(name_, old_) : qunsetenv(name_); }

private:
  const char *name_;
  bool had_;
  QByteArray old_;
};

TEST_F(Settings_Store, AppDataFolderComesFromTheEnvironmentAndIsCreated) {
  {
    Env_Var env("LURCHER_APPDATA", app.File(QStringLiteral("own/")));
    EXPECT_EQ(Get_AppData_Folder(), app.File(QStringLiteral("own")));
    EXPECT_TRUE(QFileInfo(app.File(QStringLiteral("own"))).isDir());
  }
  {
    Env_Var env("LURCHER_APPDATA", QString());
    Env_Var xdg("XDG_DATA_HOME", app.File(QStringLiteral("xdg")));
    EXPECT_EQ(Get_AppData_Folder(), app.File(QStringLiteral("xdg/Lurcher_HDMI")));
  }
  {
    Env_Var env("LURCHER_APPDATA", QString());
    Env_Var xdg("XDG_DATA_HOME", QString());
    Env_Var home("HOME", app.File(QStringLiteral("home")));
    EXPECT_EQ(Get_AppData_Folder(), app.File(QStringLiteral("home/.local/share/Lurcher_HDMI")));
    EXPECT_TRUE(QFileInfo(app.File(QStringLiteral("home/.local/share/Lurcher_HDMI"))).isDir());
  }
}

TEST_F(Settings_Store, AppDataFolderThatCannotBeCreatedIsReported) {
  app.Write(QStringLiteral("plain_file"), "x");
  Env_Var env("LURCHER_APPDATA", app.File(QStringLiteral("plain_file/sub")));
  op.Answer(Msg_Result::OK);
  EXPECT_EQ(Get_AppData_Folder(), QString());
  EXPECT_EQ(op.Message_Texts(), QStringList{QStringLiteral("Error in AppuserData module")});
}

// ---- Window positions ----------------------------------------------------------------------

struct Form_Case {
  const char *stored; // nullptr: no entry
  std::array<std::int16_t, 4> given;
  std::optional<QSize> screen;
  std::array<std::int16_t, 4> expected;
  bool fails;
};
void PrintTo(const Form_Case &c, std::ostream *os) { *os << (c.stored ? c.stored : "(none)"); }

class Form_Pos : public Settings_Store, public testing::WithParamInterface<Form_Case> {
protected:
  void TearDown() override {
    Use_Real_Screen_Size();
    Settings_Store::TearDown();
  }
};

TEST_P(Form_Pos, TakesOnlyWhatTheEntryGives) {
  const Form_Case c = GetParam();
  if (c.stored) {
    ASSERT_EQ(
        Write_INI(QStringLiteral("windowpos"), QStringLiteral("Form_Hound_Results"), QLatin1String(c.stored), ini), 1);
  }
  Set_Screen_Size_Twips(c.screen);
  if (c.fails)
    op.Answer(Msg_Result::OK);
  auto [left, top, width, height] = c.given;
  Get_Form_Pos(QStringLiteral("Form_Hound_Results"), left, top, width, height);
  EXPECT_EQ((std::array<std::int16_t, 4>{left, top, width, height}), c.expected);
  if (c.fails) {
    ASSERT_EQ(op.Message_Texts().size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Get_Form_Pos error \\d+$")).match(op.Message_Texts()[0]).hasMatch())
        << op.Message_Texts()[0].toStdString();
  }
}

const std::optional<QSize> No_Screen;
const std::optional<QSize> Screen_1280x1024 = QSize(19200, 15360);

INSTANTIATE_TEST_SUITE_P(
    Cases, Form_Pos,
    testing::Values(Form_Case{nullptr, {100, 200, 3000, 4000}, No_Screen, {100, 200, 3000, 4000}, false},
                    Form_Case{nullptr, {-500, -151, 3000, 4000}, No_Screen, {0, 0, 3000, 4000}, false},
                    Form_Case{"-2000,500", {300, 10, 1, 2}, No_Screen, {300, 500, 1, 2}, false},
                    Form_Case{"-2000,500", {-200, 10, 1, 2}, No_Screen, {0, 500, 1, 2}, false},
                    Form_Case{"1000,2000,5000,6000", {0, 0, 1, 2}, No_Screen, {1000, 2000, 5000, 6000}, false},
                    Form_Case{"1000,2000,5000", {0, 0, 1, 2}, No_Screen, {1000, 2000, 5000, 2}, false},
                    Form_Case{"20000,16000,5000,6000", {0, 0, 1, 2}, Screen_1280x1024, {0, 0, 5000, 6000}, false},
                    Form_Case{
                        "19200,15360,5000,6000", {0, 0, 1, 2}, Screen_1280x1024, {19200, 15360, 5000, 6000}, false},
                    // past 16 bits: off any screen for a position, ignored for a size
                    Form_Case{"40000,100,70000,6000", {5, 5, 1, 2}, No_Screen, {0, 100, 1, 6000}, false},
                    // a size of nothing would hide the window
                    Form_Case{"100,100,0,-5", {5, 5, 1, 2}, No_Screen, {100, 100, 1, 2}, false},
                    // broken entries change nothing
                    Form_Case{"abc,500", {5, 5, 1, 2}, No_Screen, {5, 5, 1, 2}, true},
                    Form_Case{"100,200,wide,6000", {5, 5, 1, 2}, No_Screen, {5, 5, 1, 2}, true}));

TEST_F(Settings_Store, StoredPositionReadsBack) {
  Store_Form_Pos(QStringLiteral("Form_Hound_Results"), 1440, 720, 9000, 6000);
  EXPECT_EQ(Read_INI(QStringLiteral("WINDOWPOS"), QStringLiteral("form_hound_results"), ini, QStringLiteral("0,0")),
            QStringLiteral("1440,720,9000,6000"));
  std::int16_t left = 0, top = 0, width = 0, height = 0;
  Get_Form_Pos(QStringLiteral("Form_Hound_Results"), left, top, width, height);
  EXPECT_EQ((std::array<std::int16_t, 4>{left, top, width, height}),
            (std::array<std::int16_t, 4>{1440, 720, 9000, 6000}));
}
} // namespace
