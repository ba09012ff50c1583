#pragma once
// The operator-interaction seam. Every message box, question, input box, beep and
// file, folder or printer dialog goes through the installed Operator. The program
// installs Qt dialogs; tests install a scripted responder; LURCHER_UNATTENDED=1 installs
// one that writes each prompt to standard error and takes the default button.

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

enum class Msg_Buttons { OK, OK_Cancel, Yes_No, Yes_No_Cancel, Retry_Cancel, Abort_Retry_Ignore };
enum class Msg_Icon { None, Critical, Question, Exclamation, Information };
enum class Msg_Result { OK, Cancel, Yes, No, Retry, Abort, Ignore };

struct Message_Prompt {
  QString text;
  QString title;
  Msg_Buttons buttons = Msg_Buttons::OK;
  Msg_Icon icon = Msg_Icon::None;
  int default_button = 0; // index into the buttons shown, 0 = first
};

struct File_Prompt {
  QString title;
  QString folder;    // where the dialog starts
  QString file_name; // proposed name (save dialogs)
  QString filter;    // "Heat files (*.qk3 *.qk2)"
  bool for_saving = false;
};

struct Printer_Choice {
  QString printer_name; // empty: the default printer
  int copies = 1;
  bool landscape = false;
};

class Operator {
public:
  virtual ~Operator() = default;
  virtual Msg_Result Message_Box(const Message_Prompt &prompt) = 0;
  // nullopt when the operator cancels.
  virtual std::optional<QString> Input_Box(const QString &prompt, const QString &title, const QString &initial) = 0;
  virtual void Beep() = 0;
  virtual std::optional<QString> File_Dialog(const File_Prompt &prompt) = 0;
  virtual std::optional<QString> Folder_Dialog(const QString &title, const QString &start_folder) = 0;
  // false when the operator cancels; choice is filled in on true.
  virtual bool Printer_Dialog(Printer_Choice &choice) = 0;
};

// Answers every prompt with its default and writes it to standard error.
class Unattended_Operator final : public Operator {
public:
  Msg_Result Message_Box(const Message_Prompt &prompt) override;
  std::optional<QString> Input_Box(const QString &prompt, const QString &title, const QString &initial) override;
  void Beep() override;
  std::optional<QString> File_Dialog(const File_Prompt &prompt) override;
  std::optional<QString> Folder_Dialog(const QString &title, const QString &start_folder) override;
  bool Printer_Dialog(Printer_Choice &choice) override;
};

// The buttons a prompt shows, in order, and their captions.
QList<Msg_Result> Buttons_Of(Msg_Buttons buttons);
QString Button_Caption(Msg_Result button);
// The button taken by default.
Msg_Result Default_Result(const Message_Prompt &prompt);

// Installs the operator (the previous one is destroyed). nullptr installs the unattended one.
void Set_Operator(std::unique_ptr<Operator> op);
Operator &Current_Operator();
bool Unattended_Requested(); // LURCHER_UNATTENDED=1

// Shorthands in the form the program uses. The title defaults to App_Name.
Msg_Result Msg_Box(const QString &text, Msg_Buttons buttons = Msg_Buttons::OK, Msg_Icon icon = Msg_Icon::None,
                   const QString &title = QString(), int default_button = 0);
void Beep();
