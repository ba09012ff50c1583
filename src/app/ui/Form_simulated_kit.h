#pragma once
// The simulated interface kit's window: a switch per input and the output lamp. Ticking a
// switch is the same as the track closing a contact.

#include <QWidget>
#include <array>
#include <memory>

namespace Ui {
class Form_simulated_kit;
}
class QCheckBox;
class Simulated_Kit;

class Form_simulated_kit : public QWidget {
  Q_OBJECT

public:
  // kit is not owned and must outlive the window.
  explicit Form_simulated_kit(Simulated_Kit &kit, QWidget *parent = nullptr);
  ~Form_simulated_kit() override;

  const std::unique_ptr<Ui::Form_simulated_kit> ui;
  std::array<QCheckBox *, 8> Check_input{};

  void Check_input_Click(int index);
  void Check_attached_Click();
  // The lamp: yellow while output 0 is on, grey otherwise.
  void Show_Output(bool on);

private:
  void Show_Inputs();

  Simulated_Kit &kit_;
};
