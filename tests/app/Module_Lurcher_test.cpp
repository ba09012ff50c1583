#include "app/Module_Lurcher.h"

#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "common/Trace_Capture.h"
#include "support/Globals.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace {
struct Command_Case {
  const char *text;
  const char *path;
};

void PrintTo(const Command_Case &c, std::ostream *out) { *out << "text [" << c.text << "]"; }

class Path_from_Command_Test : public testing::TestWithParam<Command_Case> {};

TEST_P(Path_from_Command_Test, RemovesOneQuoteAtEachEndAndTraces) {
  Trace_Capture trace;
  const QString text = QString::fromUtf8(GetParam().text);
  EXPECT_EQ(Path_from_Command(text), QString::fromUtf8(GetParam().path));
  EXPECT_EQ(trace.Lines(), QStringList{QStringLiteral("*Path_from_Command ") + text});
}

INSTANTIATE_TEST_SUITE_P(Texts, Path_from_Command_Test,
                         testing::Values(Command_Case{"", ""}, Command_Case{"/heats/a.qk3", "/heats/a.qk3"},
                                         Command_Case{"\"/heats/Spring Cup_3.qk3\"", "/heats/Spring Cup_3.qk3"},
                                         Command_Case{"\"/heats/a.qk3", "/heats/a.qk3"},
                                         Command_Case{"/heats/a.qk3\"", "/heats/a.qk3"},
                                         Command_Case{"\"\"/x\"\"", "\"/x\""}, Command_Case{"\"", ""}));

TEST(Command_Text, JoinsTheArgumentsAfterTheProgram) {
  EXPECT_EQ(Command_Text({QStringLiteral("lurcher")}), QString());
  EXPECT_EQ(Command_Text({QStringLiteral("lurcher"), QStringLiteral("/heats/Spring"), QStringLiteral("Cup.qk3")}),
            QStringLiteral("/heats/Spring Cup.qk3"));
}

TEST(Init_Globals, FillsTheProcessValuesFromTheApplicationDataFolder) {
  Temp_AppData appdata;
  Globals::Ini_File.clear();
  Init_Globals();
  const App_Version_Info v = App_Version();
  EXPECT_EQ(Module_Lurcher::App_Version, QStringLiteral("%1.%2.%3").arg(v.major).arg(v.minor).arg(v.revision));
  EXPECT_EQ(QDir(Globals::AppData_Folder).canonicalPath(), QDir(appdata.Path()).canonicalPath());
  EXPECT_EQ(Globals::Ini_File, Globals::AppData_Folder + QStringLiteral("/Lurcher_HDMI.ini"));
  EXPECT_FALSE(Globals::Computer_Name.isEmpty());
  EXPECT_FALSE(Globals::OS_Bitness.isEmpty());
}

// ---------------------------------------------------------------- file-type association

class Associate_Extension_Test : public testing::Test {
protected:
  void SetUp() override {
    saved_ = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(home_.path()));
  }
  void TearDown() override { qputenv("XDG_DATA_HOME", saved_); }
  QByteArray Read(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  QTemporaryDir home_;
  QByteArray saved_;
  Scripted_Operator &op_ = Scripted_Operator::Install();
};

TEST_F(Associate_Extension_Test, WritesTheMimeTypeAndDesktopEntryThenSaysSo) {
  op_.Answer(Msg_Result::OK);
  Associate_Extension();
  EXPECT_EQ(op_.Message_Texts(),
            QStringList{QStringLiteral("Associated the file extension .qk2 with this application!")});
  const QByteArray mime = Read(home_.filePath(QStringLiteral("mime/packages/lurcher.xml")));
  EXPECT_TRUE(mime.contains("type=\"application/x-lurcher-heat\""));
  EXPECT_TRUE(mime.contains("<glob pattern=\"*.qk2\"/>"));
  EXPECT_TRUE(mime.contains("<glob pattern=\"*.qk3\"/>"));
  EXPECT_TRUE(mime.contains("<comment>Lurcher data file</comment>"));
  const QByteArray entry = Read(home_.filePath(QStringLiteral("applications/lurcher.desktop")));
  EXPECT_TRUE(entry.contains("MimeType=application/x-lurcher-heat;\n"));
  EXPECT_TRUE(entry.contains("Exec=\"" + QFile::encodeName(QCoreApplication::applicationFilePath()) + "\" %f\n"));
  EXPECT_TRUE(entry.startsWith("[Desktop Entry]\n"));
}

TEST_F(Associate_Extension_Test, AFolderThatCannotBeMadeStopsWithoutClaimingSuccess) {
  // A file where the folder should be: no folder can be made below it.
  QFile blocker(home_.filePath(QStringLiteral("mime")));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  op_.Answer(Msg_Result::OK);
  Associate_Extension();
  EXPECT_EQ(op_.Message_Texts(), QStringList{QStringLiteral("Error: Creating Key!")});
  EXPECT_FALSE(QFile::exists(home_.filePath(QStringLiteral("applications/lurcher.desktop"))));
}

TEST(Associate_Extension, RegistersTheSameMimeTypeAsTheInstalledPackage) {
  QFile installed(QStringLiteral(LURCHER_PACKAGING "/lurcher.xml"));
  ASSERT_TRUE(installed.open(QIODevice::ReadOnly));
  EXPECT_EQ(Mime_Package_Text(), installed.readAll());
  QFile entry(QStringLiteral(LURCHER_PACKAGING "/lurcher.desktop"));
  ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
  EXPECT_TRUE(entry.readAll().contains("MimeType=" + Heat_Mime_Type.toUtf8() + ";\n"));
}

struct Exec_Case {

  const char *program;
  const char *exec_line;
};

void PrintTo(const Exec_Case &c, std::ostream *out) { *out << "program [" << c.program << "]"; }

class Desktop_Entry_Test : public testing::TestWithParam<Exec_Case> {};

TEST_P(Desktop_Entry_Test, QuotesTheProgramAndPassesTheFile) {
  const QByteArray text = Desktop_Entry_Text(QString::fromUtf8(GetParam().program));
  EXPECT_TRUE(text.contains(QByteArray(GetParam().exec_line) + "\n")) << text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Programs, Desktop_Entry_Test,
                         testing::Values(Exec_Case{"/usr/bin/lurcher", "Exec=\"/usr/bin/lurcher\" %f"},
                                         Exec_Case{"/opt/Race Day/lurcher", "Exec=\"/opt/Race Day/lurcher\" %f"},
                                         Exec_Case{"/opt/a$b/lurcher", "Exec=\"/opt/a\\\\$b/lurcher\" %f"},
                                         Exec_Case{"/opt/100%/lurcher", "Exec=\"/opt/100%%/lurcher\" %f"}));
} // namespace
