#include "support/ui/QKR_error_form.h"

#include "ui_QKR_error_form.h"

#include "support/Failure.h"
#include "support/Globals.h"
#include "support/Non_dependant.h"
#include "support/Operator.h"
#include "support/Trace.h"
#include "support/ui/Printer_Wrapper.h"
#include "support/ui/Window_Helpers.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QPointer>
#include <QRegularExpression>

#include <cstdio>
#include <cstdlib>

namespace {
const QString form_name = QStringLiteral(" of Form QKR_error_form");
constexpr int progress_pause_ms = 5;
constexpr double report_left_twips = 100;
constexpr double report_top_twips = 100;
constexpr double contact_indent_twips = 400;

QString where(const char *procedure) { return QString::fromLatin1(procedure) + form_name; }

// The body of a mail link is taken as it stands, so the few characters that would end
// it early or break its escapes are escaped, and line breaks become mail line breaks.
QString Mail_Text(QString text) {
  text.replace(QLatin1Char('%'), QStringLiteral("%25"));
  text.replace(QLatin1Char('&'), QStringLiteral("%26"));
  text.replace(QLatin1Char('#'), QStringLiteral("%23"));
  text.replace(QRegularExpression(QStringLiteral("\r\n|\n|\r")), QStringLiteral("%0D%0A"));
  return text;
}

void Exit_At_Once(int code) {
  std::fflush(nullptr);
  std::_Exit(code);
}
} // namespace

QKR_error_form::QKR_error_form(QWidget *parent)
    : QWidget(parent, Qt::Window), ui_(std::make_unique<Ui::QKR_error_form>()),
      report_lines_(max_report_lines, QString()), exit_(Exit_At_Once),
      open_url_([](const QUrl &url) { return QDesktopServices::openUrl(url); }) {
  ui_->setupUi(this);
  // The report must not keep the program alive once the main window has gone.
  setAttribute(Qt::WA_QuitOnClose, false);
  connect(ui_->Cmd_continue, &QPushButton::clicked, this, [this] { Cmd_continue_Click(); });
  connect(ui_->Cmd_exit, &QPushButton::clicked, this, [this] { Cmd_exit_Click(); });
  connect(ui_->Cmd_mailto, &QPushButton::clicked, this, [this] { Cmd_mailto_Click(); });
  connect(ui_->Cmd_print_error, &QPushButton::clicked, this, [this] { Cmd_print_error_Click(); });
  connect(ui_->Cmd_save_log, &QPushButton::clicked, this, [this] { Cmd_save_log_Click(); });
  connect(ui_->Command_copy_clipboard, &QPushButton::clicked, this, [this] { Command_copy_clipboard_Click(); });
  Form_Load();
}

QKR_error_form::~QKR_error_form() = default;

void QKR_error_form::Form_Load() {
  Guarded(where("Form_Load"), [this] {
    ui_->ProgressBar1->setGeometry(Twips_To_Pixels_X(*this, 600), Twips_To_Pixels_Y(*this, 2400),
                                   Twips_To_Pixels_X(*this, 6495), Twips_To_Pixels_Y(*this, 495));
    ui_->ProgressBar1->hide();
    QKR_Error_Initialize();
    Make_Top_Most(this);
  });
}

void QKR_error_form::QKR_Error_Initialize() {
  Guarded(where("QKR_Error_Initialize"), [this] {
    setWindowTitle(Globals::App_Name + QStringLiteral(" error"));
    ui_->Label1->setText(Globals::App_Name + QStringLiteral(" error report"));
    ui_->Label_PC_info->setText(Globals::Computer_Name + QLatin1Char(' ') + Globals::CPU_Info +
                                QStringLiteral(" Ram: ") + Globals::Mem_Info);
    ui_->Label_Windows_Version->setText(Globals::OS_Caption + QLatin1Char('\n') + QStringLiteral("CPU = ") +
                                        Globals::CPU_Bitness + QStringLiteral(" OS = ") + Globals::OS_Bitness);
  });
}

void QKR_error_form::Present_Error(const QStringList &report_lines) {
  // Failures here go back to QKR_Error_Handler, which has its own message for them.
  const quint64 serial = ++report_serial_;
  report_lines_ = QStringList(max_report_lines, QString());
  show();
  raise();
  QKR_Error_Trap();
  Write_Trace(QStringLiteral("*QKR_error_handler2"));
  // A failure while events were processed has put its own, later report here already.
  if (serial != report_serial_)
    return;
  for (qsizetype i = 0; i < report_lines.size() && i < max_report_lines; ++i)
    report_lines_[i] = report_lines[i];
  Show_Report();
}

void QKR_error_form::Show_Report() {
  QString text;
  for (const QString &line : report_lines_) {
    if (line.isEmpty())
      break;
    text += line + QLatin1Char('\n');
  }
  ui_->err_lbl->setText(text);
  repaint();
  ui_->err_lbl->setText(text + QLatin1Char('\n'));
}

QString QKR_error_form::Comment() const { return ui_->Text_error_comments->toPlainText(); }

QString QKR_error_form::Mail_Link() const {
  QString link = QStringLiteral("mailto:") + Support_Contact::Mail_Address + QStringLiteral("?Subject= ") +
                 Globals::App_Name + QStringLiteral(" error&Body=");
  for (const QString &line : report_lines_) {
    if (line.isEmpty())
      break;
    link += Mail_Text(line) + QStringLiteral("%0D%0A");
  }
  return link + QStringLiteral("  ") + Mail_Text(Comment());
}

void QKR_error_form::Print_Report(Printer_Wrapper &printer) const {
  const auto line = [&printer](const QString &text, double left = report_left_twips) {
    printer.Set_CurrentX(left);
    printer.Print(text);
  };
  printer.Set_CurrentX(report_left_twips);
  printer.Set_CurrentY(report_top_twips);
  printer.Set_FontBold(false);
  printer.Set_FontSize(24);
  line(QString());
  line(Globals::App_Name + QStringLiteral(" Error report"));
  line(QString());
  printer.Set_FontSize(10);
  for (const QString &l : report_lines_) {
    if (l.isEmpty())
      break;
    line(l);
  }
  line(Comment());
  printer.Set_FontBold(true);
  line(QStringLiteral("What to do with this error report?"));
  printer.Set_FontBold(false);
  line(QStringLiteral("To help fix the error, please report it by using any of the methods listed below!\n"));
  line(QStringLiteral("1 Send by normal mail to:"));
  for (const QString &l : Support_Contact::Postal_Address)
    line(l, report_left_twips + contact_indent_twips);
  line(QStringLiteral("2 E-mail to: ") + Support_Contact::Mail_Address);
  line(QStringLiteral("3 Call ") + Support_Contact::Telephone);
  printer.End_Doc();
}

void QKR_error_form::Run_Progress_Bar() {
  ui_->ProgressBar1->show();
  for (int i = 1; i <= 100; ++i) {
    ui_->ProgressBar1->setValue(i);
    Do_Sleep(progress_pause_ms, true);
  }
  ui_->ProgressBar1->hide();
}

void QKR_error_form::Cmd_continue_Click() {
  Guarded(where("Cmd_continue_Click"), [this] { hide(); });
}

void QKR_error_form::Cmd_exit_Click() {
  Guarded(where("Cmd_exit_Click"), [this] { exit_(0); });
}

void QKR_error_form::Cmd_mailto_Click() {
  // The mail program is a convenience; when it cannot be started nothing is said.
  try {
    (void)open_url_(QUrl(Mail_Link(), QUrl::TolerantMode));
  } catch (...) {
  }
}

void QKR_error_form::Cmd_print_error_Click() {
  Guarded(where("Cmd_print_error_Click"), [this] {
    if (!Printer_Available()) {
      Msg_Box(QStringLiteral("No printer availible"));
      return;
    }
    Printer_Wrapper &printer = Current_Printer();
    try {
      Print_Report(printer);
    } catch (...) {
      printer.Kill_Doc();
      Msg_Box(QStringLiteral("Printer error"));
      return;
    }
    Run_Progress_Bar();
  });
}

void QKR_error_form::Cmd_save_log_Click() {
  Guarded(where("Cmd_save_log_Click"), [this] {
    if (Append_Error_Log(report_lines_, Comment()))
      Msg_Box(QStringLiteral("Error info appended to file: ") + Error_Log_File());
  });
}

void QKR_error_form::Command_copy_clipboard_Click() {
  Guarded(where("Command_copy_clipboard_Click"), [this] {
    if (QClipboard *clipboard = QGuiApplication::clipboard())
      clipboard->setImage(grab().toImage());
  });
}

void QKR_error_form::closeEvent(QCloseEvent *event) {
  Guarded(where("Form_QueryUnload"), [] { Write_Trace(QStringLiteral("*QKR_error_form Form_QueryUnload,end")); });
  event->accept();
}

void QKR_Error_Trap() {
  Guarded(QStringLiteral("QKR_Error_Trap of Module QKR_Error_Handler"), [] { QCoreApplication::processEvents(); });
}

namespace {
QPointer<QKR_error_form> error_window;

class Window_Presenter final : public Error_Presenter {
public:
  void Present_Error(const QStringList &report_lines) override {
    QKR_error_form *window = error_window.data();
    if (!window) {
      window = new QKR_error_form();
      error_window = window;
    }
    window->Present_Error(report_lines);
  }
};

Window_Presenter window_presenter;
} // namespace

void Install_Error_Window() { Set_Error_Presenter(&window_presenter); }

QKR_error_form *Error_Window() { return error_window.data(); }

void Remove_Error_Window() {
  Set_Error_Presenter(nullptr);
  delete error_window.data();
  error_window = nullptr;
}
