#include "events/Dog_Import.h"

#include "common/Temp_AppData.h"

#include <gtest/gtest.h>

namespace {
using Kind = Dog_Import_Step::Kind;

// "5" for a Start of heat 5, "5/2=A" for box 2 of heat 5 named A.
QStringList Steps_Text(const Dog_Import_Plan &plan) {
  QStringList out;
  for (const Dog_Import_Step &s : plan.steps)
    out << (s.kind == Kind::Start_Heat ? QString::number(s.heat)
                                       : QStringLiteral("%1/%2=%3").arg(s.heat).arg(s.box).arg(s.name));
  return out;
}

QString Fixture(const char *name) { return QStringLiteral(LURCHER_FIXTURES "/events/") + QString::fromLatin1(name); }
} // namespace

TEST(Dog_Import, FiveLinesSetThreeBoxes) {
  const Dog_Import_Plan plan = Read_Dog_Import(Fixture("import_five_lines.txt"));
  EXPECT_EQ(Steps_Text(plan), (QStringList{"5", "5/1=A", "5/2=B", "6", "6/1=C"}));
  EXPECT_TRUE(plan.problem.isEmpty());
}

TEST(Dog_Import, FirstLineADogNameImportsNothing) {
  const Dog_Import_Plan plan = Read_Dog_Import(Fixture("import_first_line_dog.txt"));
  EXPECT_TRUE(plan.steps.empty());
  EXPECT_EQ(plan.problem, QStringLiteral("Ivalid import file format!"));
}

TEST(Dog_Import, LinesAreRead) {
  const struct {
    QByteArray bytes;
    QStringList steps;
  } cases[] = {
      {"Start 3\r\nLightning Lad\r\n\r\nBlue Comet\r\n", {"3", "3/1=Lightning Lad", "3/3=Blue Comet"}},
      {"Start12\n  Rex  \n", {"12", "12/1=Rex"}},
      {"Start 100\r\nLast", {"100", "100/1=Last"}},
      {"Start 7 (puppies)\r\nA\r\n", {"7", "7/1=A"}},
      // The heat is the digits after "Start" and any blanks, up to the first other character.
      {"Start   5\r\nA\r\n", {"5", "5/1=A"}},
      {"Start 12-480m\r\nA\r\n", {"12", "12/1=A"}},
      {"Start\t9\r\nA\r\n", {"9", "9/1=A"}},
      {"Start 1x\r\nA\r\n", {"1", "1/1=A"}},
      {"Start 007\r\nA\r\n", {"7", "7/1=A"}},
      {"Heat Start 4 480m\r\nA\r\n", {"4", "4/1=A"}}, // "Start" anywhere in the line
      {"Start 3 Start 8\r\nA\r\n", {"3", "3/1=A"}},   // the first "Start" counts
      {"Start 1\r\nA\r\nB\r\nC\r\nD\r\nE\r\nF\r\nG\r\nH\r\n",
       {"1", "1/1=A", "1/2=B", "1/3=C", "1/4=D", "1/5=E", "1/6=F", "1/7=G", "1/8=H"}},
      {"Start 2\r\nM\xFCller\r\n", {"2", QStringLiteral("2/1=Müller")}}, // Latin-1: not valid UTF-8
      {"Start 2\r\n\xC5\x81ucja\r\nM\xC3\xBCller\r\n",
       {"2", QStringLiteral("2/1=Łucja"), QStringLiteral("2/2=Müller")}},
      {"Start 4\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n", {"4"}}, // empty lines past box 8 change nothing
  };
  for (const auto &c : cases) {
    const Dog_Import_Plan plan = Plan_Dog_Import(c.bytes);
    EXPECT_EQ(Steps_Text(plan), c.steps) << c.bytes.toStdString();
    EXPECT_TRUE(plan.problem.isEmpty()) << plan.problem.toStdString();
  }
}

TEST(Dog_Import, BadLinesStopWithAMessageAndKeepWhatCameBefore) {
  const struct {
    QByteArray bytes;
    QStringList steps_before;
    const char *reason;
  } cases[] = {
      {"Start 1\r\nA\r\nStart x1\r\nB\r\n", {"1", "1/1=A"}, "Line 3"},
      {"Start abc\r\nA\r\n", {}, "Line 1"},
      {"Start\r\nA\r\n", {}, "Line 1"},
      {"Start -3\r\nA\r\n", {}, "Line 1"},
      {"Start 101\r\nA\r\n", {}, "from 1 to 100"},
      {"Start 0\r\nA\r\n", {}, "from 1 to 100"},
      {"Start 1000\r\nA\r\n", {}, "from 1 to 100"},
      {"Start 99999999999999999999\r\nA\r\n", {}, "from 1 to 100"},
      {"Start 1\r\nA\r\nB\r\nC\r\nD\r\nE\r\nF\r\nG\r\nH\r\nI\r\n",
       {"1", "1/1=A", "1/2=B", "1/3=C", "1/4=D", "1/5=E", "1/6=F", "1/7=G", "1/8=H"},
       "8 boxes"},
      {QByteArray("Start 1\r\nA\x00\x01\x02", 13), {}, "not a text file"},
  };
  for (const auto &c : cases) {
    const Dog_Import_Plan plan = Plan_Dog_Import(c.bytes);
    EXPECT_EQ(Steps_Text(plan), c.steps_before) << c.bytes.toStdString();
    EXPECT_TRUE(plan.problem.startsWith(QStringLiteral("Ivalid import file format!"))) << plan.problem.toStdString();
    EXPECT_TRUE(plan.problem.contains(QString::fromLatin1(c.reason))) << plan.problem.toStdString();
  }
}

TEST(Dog_Import, AnUnreadableFileGivesAMessage) {
  Temp_AppData appdata;
  const Dog_Import_Plan plan = Read_Dog_Import(appdata.File(QStringLiteral("missing.txt")));
  EXPECT_TRUE(plan.steps.empty());
  EXPECT_FALSE(plan.problem.isEmpty());
}
