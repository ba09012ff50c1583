#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "support/Error_Handler.h"
#include "support/Globals.h"
#include "support/ui/Printer_Wrapper.h"
#include "support/ui/QKR_error_form.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
const QStringList first_report = {QStringLiteral("2018-05-23 12:18:54 Lurcher_HDMI, first"),
                                  QStringLiteral("error description: 6, Overflow"),
                                  QStringLiteral("Location of error: Form_Load of Form Form_Lurcher, line: 12")};
const QStringList second_report = {QStringLiteral("2018-05-23 12:19:01 Lurcher_HDMI, second"),
                                   QStringLiteral("error description: 11, Division by zero"),
                                   QStringLiteral("Location of error: Misbehave of Form Form_Lurcher, line: 40")};

class QKR_error_form_Test : public testing::Test {
protected:
  QKR_error_form_Test() {
    Globals::Computer_Name = QStringLiteral("finish-pc");
    Globals::CPU_Info = QStringLiteral("CPU= 586 4 core 3,4GHz");
    Globals::Mem_Info = QStringLiteral("7,98 GB (45% Free)");
    Globals::OS_Caption = QStringLiteral("Debian GNU/Linux 12 (bookworm)");
    Globals::CPU_Bitness = QStringLiteral("64");
    Globals::OS_Bitness = QStringLiteral("64");
    form = std::make_unique<QKR_error_form>();
    form->Set_Exit([this](int code) { exit_codes << code; });
    form->Set_Url_Opener([this](const QUrl &url) {
      opened << url;
      return true;
    });
  }
  ~QKR_error_form_Test() override {
    form.reset();
    Set_Current_Printer(nullptr);
    op.Expect_All_Answered();
  }

  template <class T> T &Control(const char *name) {
    T *control = form->findChild<T *>(QLatin1String(name));
    EXPECT_NE(control, nullptr) << name;
    return *control;
  }
  QString Label(const char *name) { return Control<QLabel>(name).text(); }
  void Click(const char *button) { Control<QPushButton>(button).click(); }
  void Set_Comment(const QString &text) { Control<QPlainTextEdit>("Text_error_comments").setPlainText(text); }

  Temp_AppData app;
  Scripted_Operator &op = Scripted_Operator::Install();
  std::unique_ptr<QKR_error_form> form;
  QList<int> exit_codes;
  QList<QUrl> opened;
};

TEST_F(QKR_error_form_Test, LoadFillsTheFixedLabelsAndStaysOnTop) {
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Lurcher_HDMI error"));
  EXPECT_EQ(Label("Label1"), QStringLiteral("Lurcher_HDMI error report"));
  EXPECT_EQ(Label("Label_PC_info"), QStringLiteral("finish-pc CPU= 586 4 core 3,4GHz Ram: 7,98 GB (45% Free)"));
  EXPECT_EQ(Label("Label_Windows_Version"), QStringLiteral("Debian GNU/Linux 12 (bookworm)\nCPU = 64 OS = 64"));
  EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(Control<QProgressBar>("ProgressBar1").isHidden());
  EXPECT_EQ(Control<QGroupBox>("Frame1").title(), QStringLiteral("Enter your comments here"));
  const struct {
    const char *name, *caption;
  } buttons[] = {{"Cmd_continue", "Continue"},         {"Cmd_exit", "Exit program"},
                 {"Cmd_mailto", "Send mail"},          {"Cmd_print_error", "Print report"},
                 {"Cmd_save_log", "Save in log file"}, {"Command_copy_clipboard", "Copy form to clipboard"}};
  for (const auto &b : buttons)
    EXPECT_EQ(Control<QPushButton>(b.name).text(), QLatin1String(b.caption));
}

TEST_F(QKR_error_form_Test, ReportIsShownWithoutWaitingAndEndsWithAnEmptyLine) {
  form->Present_Error(first_report);
  EXPECT_TRUE(form->isVisible());
  EXPECT_FALSE(form->isModal());
  EXPECT_EQ(Label("err_lbl"), first_report.join(QLatin1Char('\n')) + QStringLiteral("\n\n"));
  ASSERT_EQ(form->Report_Lines().size(), QKR_error_form::max_report_lines);
  EXPECT_EQ(form->Report_Lines().mid(0, 3), first_report);
  EXPECT_TRUE(form->Report_Lines()[3].isEmpty());
}

TEST_F(QKR_error_form_Test, SecondFailureReplacesTheReportAndOnlyItIsLogged) {
  form->Present_Error(first_report + QStringList{QStringLiteral("fourth"), QStringLiteral("fifth")});
  form->Present_Error(second_report);
  EXPECT_EQ(Label("err_lbl"), second_report.join(QLatin1Char('\n')) + QStringLiteral("\n\n"));

  Set_Comment(QString());
  op.Answer(Msg_Result::OK);
  Click("Cmd_save_log");
  const QString path = app.File(QStringLiteral("Lurcher_errlog.txt"));
  EXPECT_EQ(op.Message_Texts(), QStringList{QStringLiteral("Error info appended to file: ") + path});
  EXPECT_EQ(QString::fromLatin1(app.Read(QStringLiteral("Lurcher_errlog.txt"))),
            second_report.join(QLatin1Char('\n')) + QStringLiteral("\n\n") + QString(44, QLatin1Char('*')) +
                QLatin1Char('\n'));
}

TEST_F(QKR_error_form_Test, ReportArrivingWhileTheFirstIsShownWins) {
  // The handler processes events between showing the window and filling it; a failure in
  // one of those events reports first, so its report is the later one and must stay.
  QTimer::singleShot(0, form.get(), [this] { form->Present_Error(second_report); });
  form->Present_Error(first_report);
  EXPECT_EQ(form->Report_Lines().mid(0, 3), second_report);
  EXPECT_EQ(Label("err_lbl"), second_report.join(QLatin1Char('\n')) + QStringLiteral("\n\n"));
}

TEST_F(QKR_error_form_Test, ContinueAndTitleBarCloseHideAndKeepTheReport) {
  for (const bool by_close : {false, true}) {
    form->Present_Error(first_report);
    if (by_close)
      form->close();
    else
      Click("Cmd_continue");
    EXPECT_FALSE(form->isVisible()) << by_close;
    EXPECT_EQ(form->Report_Lines().mid(0, 3), first_report);
  }
  EXPECT_TRUE(exit_codes.isEmpty());
}

TEST_F(QKR_error_form_Test, ExitProgramEndsTheProcessAtOnce) {
  form->Present_Error(first_report);
  Click("Cmd_exit");
  EXPECT_EQ(exit_codes, QList<int>{0});
}

TEST_F(QKR_error_form_Test, MailLinkCarriesTheReportAndTheComment) {
  form->Present_Error(
      {QStringLiteral("2018-05-23 12:18:54 Lurcher_HDMI"), QStringLiteral("error description: 6, a b")});
  Set_Comment(QStringLiteral("Lamp on"));
  const QString expected = QStringLiteral("mailto:") + Support_Contact::Mail_Address +
                           QStringLiteral("?Subject= Lurcher_HDMI error&Body=2018-05-23 12:18:54 Lurcher_HDMI%0D%0A"
                                          "error description: 6, a b%0D%0A  Lamp on");
  EXPECT_EQ(form->Mail_Link(), expected);
  Click("Cmd_mailto");
  ASSERT_EQ(opened.size(), 1);
  EXPECT_EQ(opened[0].scheme(), QStringLiteral("mailto"));
  EXPECT_EQ(opened[0].path(), Support_Contact::Mail_Address);
  EXPECT_TRUE(opened[0].query(QUrl::FullyDecoded).contains(QStringLiteral("Lamp on")));
}

TEST_F(QKR_error_form_Test, MailLinkKeepsCharactersThatWouldCutTheBody) {
  form->Present_Error({QStringLiteral("Dogs #3 & #4 at 100%")});
  Set_Comment(QStringLiteral("two\nlines"));
  EXPECT_TRUE(form->Mail_Link().endsWith(QStringLiteral("Body=Dogs %233 %26 %234 at 100%25%0D%0A  two%0D%0Alines")))
      << form->Mail_Link().toStdString();
}

TEST_F(QKR_error_form_Test, MailProgramThatFailsIsIgnored) {
  form->Set_Url_Opener([](const QUrl &) -> bool { throw std::runtime_error("no mail program"); });
  form->Present_Error(first_report);
  Click("Cmd_mailto");
  EXPECT_TRUE(op.Prompts().empty());
}

TEST_F(QKR_error_form_Test, PrintReportGoesToTheCurrentPrinter) {
  const QString pdf = app.File(QStringLiteral("report.pdf"));
  auto printer = Printer_Wrapper::To_Pdf(pdf);
  Printer_Wrapper &p = *printer;
  Set_Current_Printer(std::move(printer));
  form->Present_Error(first_report);
  Set_Comment(QStringLiteral("The lamp was on"));
  Click("Cmd_print_error");

  EXPECT_TRUE(op.Prompts().empty());
  EXPECT_GT(QFileInfo(pdf).size(), 0);
  EXPECT_EQ(p.Documents_Ended(), 1);
  EXPECT_TRUE(Control<QProgressBar>("ProgressBar1").isHidden());
  QStringList texts;
  for (const Printed_Item &item : p.Items())
    texts << item.text;
  const QStringList expected_start =
      QStringList{QStringLiteral("Lurcher_HDMI Error report")} + first_report +
      QStringList{QStringLiteral("The lamp was on"), QStringLiteral("What to do with this error report?")};
  ASSERT_GE(texts.size(), expected_start.size() + 4);
  EXPECT_EQ(texts.mid(0, expected_start.size()), expected_start);
  EXPECT_TRUE(texts.contains(QStringLiteral("1 Send by normal mail to:")));
  EXPECT_TRUE(texts.contains(QStringLiteral("2 E-mail to: ") + Support_Contact::Mail_Address));

  const Printed_Item &title = p.Items()[0];
  EXPECT_EQ(title.font_size, 24);
  EXPECT_EQ(title.area.left(), 100);
  EXPECT_GT(title.area.top(), 100) << "an empty line comes first";
  EXPECT_EQ(p.Items()[1].font_size, 10);
  EXPECT_TRUE(p.Items()[expected_start.size() - 1].bold);
  EXPECT_FALSE(p.Items()[expected_start.size()].bold);
}

TEST_F(QKR_error_form_Test, PrintWithoutPrinterOrWithAFailingOneSaysSo) {
  const struct {
    const char *name;
    std::function<std::unique_ptr<Printer_Wrapper>()> printer;
    const char *message;
  } cases[] = {
      {"no printer", [] { return std::make_unique<Printer_Wrapper>(QStringLiteral("No such printer here")); },
       "No printer availible"},
      {"printer fails",
       [this] { return Printer_Wrapper::To_Pdf(app.File(QStringLiteral("missing/folder/report.pdf"))); },
       "Printer error"},
  };
  form->Present_Error(first_report);
  for (const auto &c : cases) {
    Set_Current_Printer(c.printer());
    op.Clear();
    op.Answer(Msg_Result::OK);
    Click("Cmd_print_error");
    EXPECT_EQ(op.Message_Texts(), QStringList{QLatin1String(c.message)}) << c.name;
    EXPECT_FALSE(Current_Printer().Printing()) << c.name;
  }
}

TEST_F(QKR_error_form_Test, CopyFormPutsThePictureOfTheWindowOnTheClipboard) {
  form->Present_Error(first_report);
  QGuiApplication::clipboard()->setText(QStringLiteral("old contents"));
  Click("Command_copy_clipboard");
  const QImage image = QGuiApplication::clipboard()->image();
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), form->size() * form->devicePixelRatio());
}

TEST(Error_Window, HandlerReachesTheInstalledWindow) {
  Temp_AppData app;
  Scripted_Operator &op = Scripted_Operator::Install();
  Install_Error_Window();
  EXPECT_EQ(Error_Window(), nullptr) << "created at the first report";
  QKR_Error_Handler(QStringLiteral("Division by zero"), 11, 40, QStringLiteral("Misbehave of Form Form_Lurcher"),
                    QString());
  QKR_error_form *window = Error_Window();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->Report_Lines()[2], QStringLiteral("Location of error: Misbehave of Form Form_Lurcher, line: 40"));
  QKR_Error_Handler(QStringLiteral("Overflow"), 6, 7, QStringLiteral("Second of Form Form_Lurcher"), QString());
  EXPECT_EQ(Error_Window(), window) << "one window for every report";
  EXPECT_EQ(window->Report_Lines()[1], QStringLiteral("error description: 6, Overflow"));
  Remove_Error_Window();
  EXPECT_EQ(Error_Window(), nullptr);
  EXPECT_TRUE(op.Prompts().empty());
}
} // namespace
