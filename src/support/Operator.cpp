#include "support/Operator.h"

#include "support/Globals.h"

#include <cstdio>
#include <cstdlib>

namespace {
std::unique_ptr<Operator> &installed() {
  static std::unique_ptr<Operator> op = std::make_unique<Unattended_Operator>();
  return op;
}

void tell(const QString &kind, const QString &title, const QString &text, const QString &answer) {
  const QByteArray line = QStringLiteral("[%1] %2: %3 -> %4\n").arg(kind, title, text, answer).toLocal8Bit();
  std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
  std::fflush(stderr);
}
} // namespace

QList<Msg_Result> Buttons_Of(Msg_Buttons buttons) {
  switch (buttons) {
  case Msg_Buttons::OK:
    return {Msg_Result::OK};
  case Msg_Buttons::OK_Cancel:
    return {Msg_Result::OK, Msg_Result::Cancel};
  case Msg_Buttons::Yes_No:
    return {Msg_Result::Yes, Msg_Result::No};
  case Msg_Buttons::Yes_No_Cancel:
    return {Msg_Result::Yes, Msg_Result::No, Msg_Result::Cancel};
  case Msg_Buttons::Retry_Cancel:
    return {Msg_Result::Retry, Msg_Result::Cancel};
  case Msg_Buttons::Abort_Retry_Ignore:
    return {Msg_Result::Abort, Msg_Result::Retry, Msg_Result::Ignore};
  }
  return {Msg_Result::OK};
}

QString Button_Caption(Msg_Result button) {
  switch (button) {
  case Msg_Result::OK:
    return QStringLiteral("OK");
  case Msg_Result::Cancel:
    return QStringLiteral("Cancel");
  case Msg_Result::Yes:
    return QStringLiteral("Yes");
  case Msg_Result::No:
    return QStringLiteral("No");
  case Msg_Result::Retry:
    return QStringLiteral("Retry");
  case Msg_Result::Abort:
    return QStringLiteral("Abort");
  case Msg_Result::Ignore:
    return QStringLiteral("Ignore");
  }
  return QString();
}

Msg_Result Default_Result(const Message_Prompt &prompt) {
  const QList<Msg_Result> shown = Buttons_Of(prompt.buttons);
  const int i = (prompt.default_button >= 0 && prompt.default_button < shown.size()) ? prompt.default_button : 0;
  return shown[i];
}

Msg_Result Unattended_Operator::Message_Box(const Message_Prompt &prompt) {
  QStringList captions;
  for (Msg_Result b : Buttons_Of(prompt.buttons))
    captions << Button_Caption(b);
  const Msg_Result answer = Default_Result(prompt);
  tell(QStringLiteral("message"), prompt.title,
       prompt.text + QStringLiteral(" [") + captions.join(QLatin1Char('/')) + QLatin1Char(']'), Button_Caption(answer));
  return answer;
}

std::optional<QString> Unattended_Operator::Input_Box(const QString &prompt, const QString &title,
                                                      const QString &initial) {
  tell(QStringLiteral("input"), title, prompt, initial);
  return initial;
}

void Unattended_Operator::Beep() { tell(QStringLiteral("beep"), QString(), QString(), QString()); }

std::optional<QString> Unattended_Operator::File_Dialog(const File_Prompt &prompt) {
  tell(QStringLiteral("file"), prompt.title, prompt.folder, QStringLiteral("Cancel"));
  return std::nullopt;
}

std::optional<QString> Unattended_Operator::Folder_Dialog(const QString &title, const QString &start_folder) {
  tell(QStringLiteral("folder"), title, start_folder, QStringLiteral("Cancel"));
  return std::nullopt;
}

bool Unattended_Operator::Printer_Dialog(Printer_Choice &choice) {
  tell(QStringLiteral("printer"), QString(), choice.printer_name, QStringLiteral("OK"));
  return true;
}

void Set_Operator(std::unique_ptr<Operator> op) {
  installed() = op ? std::move(op) : std::make_unique<Unattended_Operator>();
}

Operator &Current_Operator() { return *installed(); }

bool Unattended_Requested() { return qEnvironmentVariable("LURCHER_UNATTENDED") == QLatin1String("1"); }

Msg_Result Msg_Box(const QString &text, Msg_Buttons buttons, Msg_Icon icon, const QString &title, int default_button) {
  Message_Prompt p;
  p.text = text;
  p.title = title.isNull() ? Globals::App_Name : title;
  p.buttons = buttons;
  p.icon = icon;
  p.default_button = default_button;
  return Current_Operator().Message_Box(p);
}

void Beep() { Current_Operator().Beep(); }
