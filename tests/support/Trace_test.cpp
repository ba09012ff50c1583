#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "support/Clock.h"
#include "support/Globals.h"
#include "support/Trace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
constexpr int wait_ms = 200;

// Each test gets its own temporary folder, where the viewer's socket lives, and a fresh
// lookup; the clock stands at 23 May 2018 12:18:54.
class Trace_Test : public testing::Test {
protected:
  Trace_Test() : saved_tmpdir_(qgetenv("TMPDIR")) {
    qputenv("TMPDIR", QFile::encodeName(dir_.path()));
    Reset_Trace_Lookup();
    Set_Clock(&clock_);
  }
  ~Trace_Test() override {
    Reset_Trace_Lookup();
    Set_Clock(nullptr);
    Globals::Trap_Errors = true;
    qputenv("TMPDIR", saved_tmpdir_);
  }

  // A stand-in viewer listening where the program looks.
  void Start_Viewer() {
    server_ = std::make_unique<QLocalServer>();
    ASSERT_TRUE(server_->listen(QStringLiteral("LurcherTrace"))) << server_->errorString().toStdString();
  }

  // The lines the viewer has received so far.
  QList<QByteArray> Received() {
    if (!client_) {
      server_->waitForNewConnection(wait_ms);
      client_ = server_->nextPendingConnection();
      if (!client_)
        return {};
    }
    while (client_->bytesAvailable() > 0 || client_->waitForReadyRead(wait_ms))
      pending_ += client_->readAll();
    QList<QByteArray> lines;
    while (pending_.size() >= 4) {
      const auto *b = reinterpret_cast<const unsigned char *>(pending_.constData());
      const qsizetype n = qsizetype(b[0]) | qsizetype(b[1]) << 8 | qsizetype(b[2]) << 16 | qsizetype(b[3]) << 24;
      if (pending_.size() < 4 + n)
        break;
      lines << pending_.mid(4, n);
      pending_.remove(0, 4 + n);
    }
    return lines;
  }

  static QByteArray Frame(const char *mode) {
    return QStringLiteral("%1 %2: %3: %4: 20180523 121854: ")
        .arg(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName(), QLatin1String(mode))
        .arg(::getpid())
        .arg(::syscall(SYS_gettid))
        .toLatin1();
  }

  QTemporaryDir dir_;
  QByteArray saved_tmpdir_;
  Manual_Clock clock_;
  std::unique_ptr<QLocalServer> server_;
  QLocalSocket *client_ = nullptr;
  QByteArray pending_;
};

TEST_F(Trace_Test, LineFrameCarriesProgramModeIdsStampAndTabEndedItems) {
  const struct {
    const char *name;
    QVariantList items;
    QByteArray text;
  } cases[] = {
      {"one text", {QStringLiteral("Handle_Start, begin")}, "Handle_Start, begin\t"},
      {"list of numbers", {QVariant(QVariantList{1, 2, 3})}, "1\t2\t3\t"},
      {"typed list of numbers", {QVariant::fromValue(QList<int>{4, 5, 6})}, "4\t5\t6\t"},
      {"text list", {QStringList{QStringLiteral("x"), QStringLiteral("y")}}, "x\ty\t"},
      {"mixed", {QStringLiteral("*Index = "), 3, true, false}, "*Index = \t3\tTrue\tFalse\t"},
      {"nothing", {}, ""},
  };
  for (const auto &c : cases)
    EXPECT_EQ(Build_Trace_Line(c.items), Frame("C") + c.text) << c.name;
}

TEST_F(Trace_Test, ModeMarkFollowsTrapErrors) {
  Globals::Trap_Errors = false;
  EXPECT_EQ(Build_Trace_Line({QStringLiteral("x")}), Frame("I") + "x\t");
}

TEST_F(Trace_Test, StampFollowsTheClock) {
  clock_.Set_Local(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)));
  EXPECT_TRUE(Build_Trace_Line({}).contains(": 20260102 030405: "));
}

TEST_F(Trace_Test, ViewerStartedAfterTheFirstTraceGetsNothing) {
  Write_Trace("*Stop_Camera");
  EXPECT_FALSE(Trace_Window_Present());
  Start_Viewer();
  Write_Trace("Handle_Start, begin");
  Trace_String(QStringLiteral("*obj_Phidget_OnInputChange"));
  EXPECT_FALSE(Trace_Window_Present()) << "the lookup is made once per run";
  EXPECT_FALSE(server_->waitForNewConnection(wait_ms));
}

TEST_F(Trace_Test, RunningViewerReceivesEveryLineInOrder) {
  Start_Viewer();
  EXPECT_TRUE(Trace_Window_Present());
  Write_Trace("Handle_Start, begin");
  Write_Trace(QVariantList{1, 2, 3});
  Trace_String(QStringLiteral("caf\u00e9"));
  const QList<QByteArray> lines = Received();
  ASSERT_EQ(lines.size(), 3);
  EXPECT_EQ(lines[0], Frame("C") + "Handle_Start, begin\t");
  EXPECT_EQ(lines[1], Frame("C") + "1\t2\t3\t");
  EXPECT_EQ(lines[2], Frame("C") + "caf\xe9\t") << "sent as 8-bit text";
}

TEST_F(Trace_Test, ViewerThatClosesIsNotForgottenAndTracingGoesOn) {
  Start_Viewer();
  Write_Trace("first");
  ASSERT_EQ(Received().size(), 1);
  client_->close();
  server_->close();
  for (int i = 0; i < 3; ++i)
    Write_Trace("after the viewer went");
  EXPECT_TRUE(Trace_Window_Present());
}

class Log_Event_Test : public testing::Test {
protected:
  Temp_AppData app;
  Scripted_Operator &op = Scripted_Operator::Install();
  Manual_Clock clock;
  void SetUp() override { Set_Clock(&clock); }
  void TearDown() override {
    Set_Clock(nullptr);
    op.Expect_All_Answered();
  }
};

TEST_F(Log_Event_Test, AppendsLinesDatedWithTheGeneralDate) {
  // The general date: the locale's short date and its long time with the seconds.
  const QLocale saved;
  const struct {
    QLocale locale;
    const char *first, *second;
  } cases[] = {
      {QLocale(QLocale::German, QLocale::Germany), "23.05.18 12:18:54size mismatch 1",
       "23.05.18 12:19:01Ł size mismatch 2"},
      {QLocale(QLocale::English, QLocale::UnitedStates), "5/23/18 12:18:54 PMsize mismatch 1",
       "5/23/18 12:19:01 PMŁ size mismatch 2"},
  };
  for (const auto &c : cases) {
    QLocale::setDefault(c.locale);
    QFile::remove(app.File(QStringLiteral("Lurcher_eventlog.txt")));
    clock.Set_Local(QDateTime(QDate(2018, 5, 23), QTime(12, 18, 54)));
    Log_Event(QStringLiteral("size mismatch 1"));
    clock.Advance(7000);
    Log_Event(QStringLiteral("Ł size mismatch 2"));
    EXPECT_EQ(QString::fromUtf8(app.Read(QStringLiteral("Lurcher_eventlog.txt"))),
              QString::fromUtf8(c.first) + QLatin1Char('\n') + QString::fromUtf8(c.second) + QLatin1Char('\n'))
        << c.locale.name().toStdString();
  }
  QLocale::setDefault(saved);
  EXPECT_TRUE(op.Prompts().empty());
}

TEST_F(Log_Event_Test, UnwritableLogShowsLogError) {
  ASSERT_TRUE(QDir(app.Path()).mkdir(QStringLiteral("Lurcher_eventlog.txt")));
  op.Answer(Msg_Result::OK);
  Log_Event(QStringLiteral("lost"));
  ASSERT_EQ(op.Message_Texts().size(), 1);
  EXPECT_TRUE(op.Message_Texts()[0].startsWith(QStringLiteral("Log error")));
}
} // namespace
