#include "events/Event_File_Name.h"

#include <gtest/gtest.h>

namespace {
struct Name_Case {
  const char *name;
  const char *day;
  const char *file; // nullptr: refused
};

class Event_File_Name_Test : public testing::TestWithParam<Name_Case> {};

const QString Folder = QStringLiteral("/tmp/club-files, 2018/Lurcher Event Files/");
} // namespace

TEST_P(Event_File_Name_Test, NameAndDayMakeTheFileName) {
  const Name_Case &c = GetParam();
  QString problem;
  const QString path = New_Event_File_Path(Folder, QString::fromUtf8(c.name), QString::fromUtf8(c.day), problem);
  if (c.file) {
    EXPECT_EQ(path, Folder + QString::fromUtf8(c.file)) << "the folder stays as it is";
    EXPECT_TRUE(problem.isEmpty());
  } else {
    EXPECT_TRUE(path.isEmpty());
    EXPECT_TRUE(problem.contains(QStringLiteral("\"/\""))) << problem.toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, Event_File_Name_Test,
                         testing::Values(Name_Case{"Summer Cup", "2018-05-26", "Summer Cup2018_05_26.xml"},
                                         Name_Case{"Derby: heats, final", "", "Derby_ heats_ final.xml"},
                                         Name_Case{"Größe", "1.6.", "Größe1.6..xml"}, Name_Case{"..", "", "...xml"},
                                         Name_Case{"../../etc/passwd", "", nullptr},
                                         Name_Case{"Cup", "26/05/2018", nullptr}),
                         [](const testing::TestParamInfo<Name_Case> &param) {
                           return "case_" + std::to_string(param.index);
                         });

TEST(Event_File_Name, NulIsRefused) {
  QString problem;
  const QString name = QStringLiteral("Cup") + QChar(u'\0') + QStringLiteral("x");
  EXPECT_TRUE(New_Event_File_Path(Folder, name, QString(), problem).isEmpty());
  EXPECT_FALSE(problem.isEmpty());
  EXPECT_TRUE(New_Event_File_Path(Folder, QStringLiteral("Cup"), name, problem).isEmpty());
}

TEST(Event_File_Name, ANameTooLongForTheFileSystemIsRefused) {
  QString problem;
  EXPECT_FALSE(
      New_Event_File_Path(Folder, QString(200, QLatin1Char('a')), QStringLiteral("2018-05-26"), problem).isEmpty());
  EXPECT_TRUE(New_Event_File_Path(Folder, QString(200, QChar(u'\u00e4')), QString(), problem).isEmpty())
      << "two bytes a letter on disk";
  EXPECT_TRUE(problem.contains(QStringLiteral("too long"))) << problem.toStdString();
}
