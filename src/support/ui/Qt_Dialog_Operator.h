#pragma once
// The operator at the screen: every prompt of the program as a Qt dialog over the active window.

#include "support/Operator.h"

#include <QMessageBox>
#include <memory>

class Qt_Dialog_Operator final : public Operator {
public:
  // Called once at start-up: the Qt dialogs, or the unattended operator when
  // LURCHER_UNATTENDED=1 asks for a run nobody watches.
  static void Install();

  Msg_Result Message_Box(const Message_Prompt &prompt) override;
  std::optional<QString> Input_Box(const QString &prompt, const QString &title, const QString &initial) override;
  void Beep() override;
  std::optional<QString> File_Dialog(const File_Prompt &prompt) override;
  std::optional<QString> Folder_Dialog(const QString &title, const QString &start_folder) override;
  bool Printer_Dialog(Printer_Choice &choice) override;

  // The message box a prompt shows, ready to run.
  static std::unique_ptr<QMessageBox> Build_Message_Box(const Message_Prompt &prompt, QWidget *parent = nullptr);
  // The answer of a message box that has run. Closed without a button: Cancel when it was
  // offered, otherwise the default button.
  static Msg_Result Result_Of(const QMessageBox &box, const Message_Prompt &prompt);
  static QMessageBox::StandardButton Standard_Button(Msg_Result button);
  static QMessageBox::Icon Icon_Of(Msg_Icon icon);
};
