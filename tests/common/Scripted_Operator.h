#pragma once
// The operator of the tests: records every prompt and answers from a queue. A prompt
// with no answer queued for it fails the test.

#include "support/Operator.h"

#include <deque>
#include <functional>
#include <optional>
#include <vector>

struct Recorded_Prompt {
  QString kind; // "message", "input", "file", "folder", "printer"
  QString title;
  QString text;
  QStringList buttons;
  Msg_Icon icon = Msg_Icon::None;
};

class Scripted_Operator final : public Operator {
public:
  // Installs a fresh scripted operator as the current one; the seam owns it.
  static Scripted_Operator &Install();

  // Answers, taken in order by the prompts of the same kind.
  void Answer(Msg_Result result) { messages_.push_back(result); }
  void Answer_Input(std::optional<QString> text) { inputs_.push_back(std::move(text)); }
  void Answer_File(std::optional<QString> path) { files_.push_back(std::move(path)); }
  void Answer_Folder(std::optional<QString> path) { folders_.push_back(std::move(path)); }
  void Answer_Printer(bool ok, Printer_Choice choice = {}) { printers_.push_back({ok, std::move(choice)}); }

  const std::vector<Recorded_Prompt> &Prompts() const { return prompts_; }
  QStringList Message_Texts() const;
  int Beeps() const { return beeps_; }
  void Clear() {
    prompts_.clear();
    beeps_ = 0;
  }
  // Runs while each message box is up, before it is answered: what the window system does
  // meanwhile (a window losing activation) can be played here.
  std::function<void(const Recorded_Prompt &)> while_message;

  // Fails the test when answers were queued and never asked for.
  void Expect_All_Answered() const;

  Msg_Result Message_Box(const Message_Prompt &prompt) override;
  std::optional<QString> Input_Box(const QString &prompt, const QString &title, const QString &initial) override;
  void Beep() override { ++beeps_; }
  std::optional<QString> File_Dialog(const File_Prompt &prompt) override;
  std::optional<QString> Folder_Dialog(const QString &title, const QString &start_folder) override;
  bool Printer_Dialog(Printer_Choice &choice) override;

private:
  std::vector<Recorded_Prompt> prompts_;
  std::deque<Msg_Result> messages_;
  std::deque<std::optional<QString>> inputs_, files_, folders_;
  std::deque<std::pair<bool, Printer_Choice>> printers_;
  int beeps_ = 0;
};
