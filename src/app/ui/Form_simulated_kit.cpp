#include "app/ui/Form_simulated_kit.h"

#include "app/Simulated_Kit.h"
#include "support/Failure.h"
#include "ui_Form_simulated_kit.h"

#include <QCheckBox>
#include <QPalette>

namespace {
constexpr Location_Of Location{"Form", "Form_simulated_kit"};
} // namespace

Form_simulated_kit::Form_simulated_kit(Simulated_Kit &kit, QWidget *parent)
    : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::Form_simulated_kit>()), kit_(kit) {
  ui->setupUi(this);
  Check_input = {ui->Check_input_0, ui->Check_input_1, ui->Check_input_2, ui->Check_input_3,
                 ui->Check_input_4, ui->Check_input_5, ui->Check_input_6, ui->Check_input_7};
  for (int i = 0; i < static_cast<int>(Check_input.size()); ++i)
    connect(Check_input[static_cast<std::size_t>(i)], &QCheckBox::clicked, this, [this, i] { Check_input_Click(i); });
  connect(ui->Check_attached, &QCheckBox::clicked, this, &Form_simulated_kit::Check_attached_Click);
  connect(&kit_, &Simulated_Kit::Output_Changed, this, &Form_simulated_kit::Show_Output);
  connect(&kit_, &Simulated_Kit::Inputs_Changed, this, &Form_simulated_kit::Show_Inputs);
  // The window may come before the kit is opened: the plug follows the kit.
  connect(&kit_, &Interface_Kit::Attached, this, [this] { ui->Check_attached->setChecked(kit_.IsAttached()); });
  connect(&kit_, &Interface_Kit::Detached, this, [this] { ui->Check_attached->setChecked(kit_.IsAttached()); });
  ui->Check_attached->setChecked(kit_.IsAttached());
  Show_Inputs();
  Show_Output(kit_.Output_State());
}

Form_simulated_kit::~Form_simulated_kit() = default;

void Form_simulated_kit::Check_input_Click(int index) {
  Guarded(Location("Check_input_Click"),
          [&] { kit_.Set_Input(index, Check_input[static_cast<std::size_t>(index)]->isChecked()); });
}

void Form_simulated_kit::Check_attached_Click() {
  Guarded(Location("Check_attached_Click"), [&] {
    if (ui->Check_attached->isChecked())
      kit_.Attach();
    else
      kit_.Detach();
    Show_Output(kit_.Output_State());
  });
}

void Form_simulated_kit::Show_Inputs() {
  // The kit keeps its switches while unplugged; the window shows the switches.
  for (int i = 0; i < Simulated_Kit::Input_Count; ++i) {
    QCheckBox *box = Check_input[static_cast<std::size_t>(i)];
    const bool on = kit_.IsAttached() ? kit_.Input_State(i) : box->isChecked();
    box->setChecked(on);
  }
}

void Form_simulated_kit::Show_Output(bool on) {
  const bool lit = on && kit_.IsAttached();
  ui->Label_output_0->setText(lit ? QStringLiteral("Output 0: lamp on") : QStringLiteral("Output 0: lamp off"));
  QPalette palette = ui->Label_output_0->palette();
  palette.setColor(QPalette::Window, lit ? QColor(255, 255, 0) : QColor(100, 100, 100));
  ui->Label_output_0->setPalette(palette);
}
