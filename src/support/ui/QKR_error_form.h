#pragma once
// The error window. QKR_Error_Handler hands it the report of a failure; it shows the report
// on top of every other window without waiting for the operator, who may continue, end the
// program, add a comment, save the report to the error log, print it, mail it or copy the
// window to the clipboard. A new report replaces the one shown.

#include "support/Error_Handler.h"

#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <memory>

namespace Ui {
class QKR_error_form;
}
class Printer_Wrapper;

// The maker's contact details: the mail link and the contact section of the printed report.
// This is the one place to set them for a release; the values below reach no real mailbox,
// office or telephone.
namespace Support_Contact {
inline const QString Mail_Address = QStringLiteral("support@lurcher-hdmi.invalid");
inline const QStringList Postal_Address = {QStringLiteral("Lurcher support (postal address not configured)")};
inline const QString Telephone = QStringLiteral("(telephone number not configured)");
} // namespace Support_Contact

class QKR_error_form : public QWidget, public Error_Presenter {
  Q_OBJECT

public:
  static constexpr int max_report_lines = 20;

  explicit QKR_error_form(QWidget *parent = nullptr);
  ~QKR_error_form() override;

  // Shows the window and the report (the lines up to the first empty one).
  void Present_Error(const QStringList &report_lines) override;
  // The fixed labels: caption, heading, computer and system.
  void QKR_Error_Initialize();

  // The 20 report lines; those after the report are empty.
  const QStringList &Report_Lines() const { return report_lines_; }
  QString Comment() const;
  // The mail link of the report shown and the comment.
  QString Mail_Link() const;
  // Puts the report on the printer as one document (failures raise).
  void Print_Report(Printer_Wrapper &printer) const;

  // How "Exit program" ends the process, and how a mail link is opened; tests replace them.
  void Set_Exit(std::function<void(int)> exit) { exit_ = std::move(exit); }
  void Set_Url_Opener(std::function<bool(const QUrl &)> open) { open_url_ = std::move(open); }

  void Cmd_continue_Click();
  void Cmd_exit_Click();
  void Cmd_mailto_Click();
  void Cmd_print_error_Click();
  void Cmd_save_log_Click();
  void Command_copy_clipboard_Click();

protected:
  void closeEvent(QCloseEvent *event) override;

private:
  void Form_Load();
  void Show_Report();
  void Run_Progress_Bar();

  std::unique_ptr<Ui::QKR_error_form> ui_;
  QStringList report_lines_;
  quint64 report_serial_ = 0;
  std::function<void(int)> exit_;
  std::function<bool(const QUrl &)> open_url_;
};

// Processes pending window events.
void QKR_Error_Trap();

// Makes QKR_Error_Handler report to the error window, created at the first report.
void Install_Error_Window();
// The window, or nullptr before the first report.
QKR_error_form *Error_Window();
// Reports go to standard error again and the window is destroyed (shutdown, tests).
void Remove_Error_Window();
