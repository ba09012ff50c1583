#include "common/Scripted_Operator.h"

#include <gtest/gtest.h>

namespace {
template <class Queue, class Fallback>
auto take(Queue &queue, const Recorded_Prompt &p, Fallback fallback) -> typename Queue::value_type {
  if (queue.empty()) {
    ADD_FAILURE() << "unexpected " << p.kind.toStdString() << " prompt: title \"" << p.title.toStdString()
                  << "\", text \"" << p.text.toStdString() << "\"";
    return fallback;
  }
  auto answer = std::move(queue.front());
  queue.pop_front();
  return answer;
}
} // namespace

Scripted_Operator &Scripted_Operator::Install() {
  auto op = std::make_unique<Scripted_Operator>();
  Scripted_Operator &ref = *op;
  Set_Operator(std::move(op));
  return ref;
}

QStringList Scripted_Operator::Message_Texts() const {
  QStringList texts;
  for (const auto &p : prompts_)
    if (p.kind == QLatin1String("message"))
      texts << p.text;
  return texts;
}

void Scripted_Operator::Expect_All_Answered() const {
  EXPECT_TRUE(messages_.empty() && inputs_.empty() && files_.empty() && folders_.empty() && printers_.empty())
      << "answers were queued that no prompt asked for";
}

Msg_Result Scripted_Operator::Message_Box(const Message_Prompt &prompt) {
  Recorded_Prompt p{QStringLiteral("message"), prompt.title, prompt.text, {}, prompt.icon};
  for (Msg_Result b : Buttons_Of(prompt.buttons))
    p.buttons << Button_Caption(b);
  prompts_.push_back(p);
  if (while_message)
    while_message(p);
  const Msg_Result answer = take(messages_, p, Default_Result(prompt));
  EXPECT_TRUE(Buttons_Of(prompt.buttons).contains(answer))
      << "scripted answer " << Button_Caption(answer).toStdString() << " is not a button of \""
      << prompt.text.toStdString() << "\"";
  return answer;
}

std::optional<QString> Scripted_Operator::Input_Box(const QString &prompt, const QString &title,
                                                    const QString &initial) {
  prompts_.push_back({QStringLiteral("input"), title, prompt, {}, Msg_Icon::None});
  return take(inputs_, prompts_.back(), std::optional<QString>(initial));
}

std::optional<QString> Scripted_Operator::File_Dialog(const File_Prompt &prompt) {
  prompts_.push_back({QStringLiteral("file"), prompt.title, prompt.folder, {}, Msg_Icon::None});
  return take(files_, prompts_.back(), std::optional<QString>());
}

std::optional<QString> Scripted_Operator::Folder_Dialog(const QString &title, const QString &start_folder) {
  prompts_.push_back({QStringLiteral("folder"), title, start_folder, {}, Msg_Icon::None});
  return take(folders_, prompts_.back(), std::optional<QString>());
}

bool Scripted_Operator::Printer_Dialog(Printer_Choice &choice) {
  prompts_.push_back({QStringLiteral("printer"), QString(), choice.printer_name, {}, Msg_Icon::None});
  auto [ok, chosen] = take(printers_, prompts_.back(), std::pair<bool, Printer_Choice>{false, {}});
  if (ok)
    choice = chosen;
  return ok;
}
