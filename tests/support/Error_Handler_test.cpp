#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "support/Clock.h"
#include "support/Error_Handler.h"
#include "support/Failure.h"
#include "support/Globals.h"
#include "support/Non_dependant.h"

#include <QCoreApplication>
#include <QDir>
#include <gtest/gtest.h>

namespace {
class Recording_Presenter final : public Error_Presenter {
public:
  void Present_Error(const QStringList &lines) override {
    reports << lines;
    if (fail_with)
      Raise(fail_with, QString());
  }
  QList<QStringList> reports;
  std::int16_t fail_with = 0;
};

// The clock stands at 23 May 2018 12:18:54; the program was loaded 65.43 s earlier.
class Error_Handler_Test : public testing::Test {
protected:
  Temp_AppData app;
  Scripted_Operator &op = Scripted_Operator::Install();
  Manual_Clock clock{100000};
  Recording_Presenter presenter;

  void SetUp() override {
    Set_Clock(&clock);
    Globals::Load_Time = Tick();
    clock.Set(100000 + 65430);
    Globals::Computer_Name = QStringLiteral("finish-pc");
    Globals::OS_Caption = QStringLiteral("Debian GNU/Linux 12 (bookworm)");
    Globals::CPU_Bitness = QStringLiteral("64");
    Globals::OS_Bitness = QStringLiteral("64");
    Set_Error_Presenter(&presenter);
  }
  void TearDown() override {
    Set_Error_Presenter(nullptr);
    Set_Clock(nullptr);
    op.Expect_All_Answered();
  }
  QString Log() const { return QString::fromLatin1(app.Read(QStringLiteral("Lurcher_errlog.txt"))); }
};

TEST_F(Error_Handler_Test, ReportHasTheSevenLines) {
  const auto v = App_Version();
  const QStringList lines = Error_Report_Lines(QStringLiteral("Overflow"), 6, 120,
                                               QStringLiteral("Form_Load of Form Form_Lurcher"), QString());
  const QStringList expected = {
      QStringLiteral("2018-05-23 12:18:54 Lurcher_HDMI, Program version %1.%2.%3 rm0 Compile date: ")
              .arg(v.major)
              .arg(v.minor)
              .arg(v.revision) +
          Compile_Date_Text() + QStringLiteral(" Filedate: ") + FileDate(),
      QStringLiteral("error description: 6, Overflow"),
      QStringLiteral("Location of error: Form_Load of Form Form_Lurcher, line: 120"),
      QStringLiteral("Routine specific information: "),
      QStringLiteral("App.path = ") + QCoreApplication::applicationDirPath(),
      QStringLiteral("Program runtime =  01:05,43"),
      QStringLiteral("PC name = finish-pc, Windows version: Debian GNU/Linux 12 (bookworm) CPU = 64 OS = 64"),
  };
  EXPECT_EQ(lines, expected);
}

TEST_F(Error_Handler_Test, FailureRaisedInsideGuardedReachesThePresenter) {
  int raised_at = 0;
  Guarded(QStringLiteral("Misbehave of Form Form_Lurcher"), [&] {
    raised_at = __LINE__ + 1;
    Raise(Err_Division_By_Zero, QString());
  });
  ASSERT_EQ(presenter.reports.size(), 1);
  const QStringList &report = presenter.reports[0];
  ASSERT_EQ(report.size(), 7);
  EXPECT_EQ(report[1], QStringLiteral("error description: 11, Division by zero"));
  EXPECT_EQ(report[2], QStringLiteral("Location of error: Misbehave of Form Form_Lurcher, line: %1").arg(raised_at));
  EXPECT_TRUE(op.Prompts().empty());
}

TEST_F(Error_Handler_Test, EveryFailureIsPresentedAfresh) {
  QKR_Error_Handler(QStringLiteral("first"), 5, 1, QStringLiteral("A of Module M"), QString());
  QKR_Error_Handler(QStringLiteral("second"), 13, 2, QStringLiteral("B of Class C"), QStringLiteral("extra"));
  ASSERT_EQ(presenter.reports.size(), 2);
  EXPECT_EQ(presenter.reports[1][1], QStringLiteral("error description: 13, second"));
  EXPECT_EQ(presenter.reports[1][3], QStringLiteral("Routine specific information: extra"));
}

TEST_F(Error_Handler_Test, FailureInsideTheHandlerShowsAPlainMessage) {
  presenter.fail_with = Err_Type_Mismatch;
  op.Answer(Msg_Result::OK);
  QKR_Error_Handler(QStringLiteral("Overflow"), 6, 0, QStringLiteral("X of Form F"), QString());
  ASSERT_EQ(op.Message_Texts().size(), 1);
  EXPECT_TRUE(op.Message_Texts()[0].startsWith(QStringLiteral("*Error in Error_form Type mismatch 13 ")))
      << op.Message_Texts()[0].toStdString();
}

TEST_F(Error_Handler_Test, LogGetsReportCommentAndStarsAndIsNeverTruncated) {
  const QStringList first = {QStringLiteral("line one"), QStringLiteral("line two"), QString(),
                             QStringLiteral("after the end")};
  ASSERT_TRUE(Append_Error_Log(first, QStringLiteral("The lamp was on")));
  ASSERT_TRUE(Append_Error_Log({QStringLiteral("second report")}, QString()));
  const QString stars(44, QLatin1Char('*'));
  EXPECT_EQ(Log(), QStringLiteral("line one\nline two\nThe lamp was on\n") + stars +
                       QStringLiteral("\nsecond report\n\n") + stars + QLatin1Char('\n'));
  EXPECT_EQ(Error_Log_File(), app.File(QStringLiteral("Lurcher_errlog.txt")));
  EXPECT_TRUE(op.Prompts().empty());
}

TEST_F(Error_Handler_Test, UnwritableLogShowsLogError) {
  ASSERT_TRUE(QDir(app.Path()).mkdir(QStringLiteral("Lurcher_errlog.txt")));
  op.Answer(Msg_Result::OK);
  EXPECT_FALSE(Append_Error_Log({QStringLiteral("report")}, QString()));
  ASSERT_EQ(op.Message_Texts().size(), 1);
  EXPECT_TRUE(op.Message_Texts()[0].startsWith(QStringLiteral("Log error"))) << op.Message_Texts()[0].toStdString();
  EXPECT_TRUE(op.Message_Texts()[0].endsWith(QStringLiteral(" 70")));
}
} // namespace
