#include "app/ui/Form_Lurcher_settings.h"

#include "app/Compensations.h"
#include "app/Module_Lurcher.h"
#include "support/Failure.h"
#include "support/Globals.h"
#include "support/Operator.h"
#include "support/Settings_Store.h"
#include "ui_Form_Lurcher_settings.h"

#include <QKeyEvent>
#include <QRegularExpressionValidator>

namespace {
constexpr Location_Of Location{"Form", "Form_Lurcher_settings"};

// Backspace, Tab and Clear edit the box; digits are the value.
bool Editing_Character(QChar c) { return c == QChar(8) || c == QChar(9) || c == QChar(12); }
} // namespace

Form_Lurcher_settings::Form_Lurcher_settings(QWidget *parent)
    : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::Form_Lurcher_settings>()) {
  ui->setupUi(this);
  // Pasted text passes no key filter: only digits get in, so no box can store a value the
  // compensations cannot load. Nine digits always fit 32 bits.
  for (QLineEdit *box : {ui->Text_goalcam_delay, ui->Text_splitcam_delay, ui->Text_Box_delay}) {
    box->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), box));
    box->installEventFilter(this);
  }
  connect(ui->Check_Auto_init, &QCheckBox::clicked, this, &Form_Lurcher_settings::Check_Auto_init_Click);
  connect(ui->Check_open_after_finish, &QCheckBox::clicked, this,
          &Form_Lurcher_settings::Check_open_after_finish_Click);
  connect(ui->Check_print_dialog, &QCheckBox::clicked, this, &Form_Lurcher_settings::Check_print_dialog_Click);
  connect(ui->Text_Box_delay, &QLineEdit::textChanged, this, &Form_Lurcher_settings::Text_Box_delay_Change);
  connect(ui->Text_goalcam_delay, &QLineEdit::textChanged, this, &Form_Lurcher_settings::Text_goalcam_delay_Change);
  connect(ui->Text_splitcam_delay, &QLineEdit::textChanged, this, &Form_Lurcher_settings::Text_splitcam_delay_Change);
  connect(ui->Command_hide, &QPushButton::clicked, this, &Form_Lurcher_settings::Command_hide_Click);
  Form_Load();
}

Form_Lurcher_settings::~Form_Lurcher_settings() = default;

void Form_Lurcher_settings::Form_Load() {
  Guarded(Location("Form_Load"), [&] {
    ui->Text_goalcam_delay->setText(QString::number(Module_Lurcher::Goal_Compensation));
    ui->Text_splitcam_delay->setText(QString::number(Module_Lurcher::Split_Compensation));
    ui->Text_Box_delay->setText(QString::number(Module_Lurcher::Box_Delay));
    ui->Check_open_after_finish->setChecked(Compensations::Switch_On(Compensations::Key_Open_After_Finish));
    ui->Check_print_dialog->setChecked(Compensations::Switch_On(Compensations::Key_Show_Printer_Dialog));
    ui->Check_Auto_init->setChecked(Compensations::Switch_On(Compensations::Key_Auto_Init));
  });
}

void Form_Lurcher_settings::Check_Auto_init_Click() {
  Guarded(Location("Check_Auto_init_Click"),
          [&] { Compensations::Write_Switch(Compensations::Key_Auto_Init, ui->Check_Auto_init->isChecked()); });
}

void Form_Lurcher_settings::Check_open_after_finish_Click() {
  Guarded(Location("Check_open_after_finish_Click"), [&] {
    Compensations::Write_Switch(Compensations::Key_Open_After_Finish, ui->Check_open_after_finish->isChecked());
  });
}

void Form_Lurcher_settings::Check_print_dialog_Click() {
  Guarded(Location("Check_print_dialog_Click"), [&] {
    Compensations::Write_Switch(Compensations::Key_Show_Printer_Dialog, ui->Check_print_dialog->isChecked());
  });
}

void Form_Lurcher_settings::Text_Change(QLineEdit *box, const QString &key, const char *procedure) {
  Guarded(Location(procedure), [&] {
    Write_INI(Compensations::Section, key, box->text(), Globals::Ini_File);
    Load_Compensations();
  });
}

void Form_Lurcher_settings::Text_Box_delay_Change() {
  Text_Change(ui->Text_Box_delay, Compensations::Key_Box_Delay_Written, "Text_Box_delay_Change");
}

void Form_Lurcher_settings::Text_goalcam_delay_Change() {
  Text_Change(ui->Text_goalcam_delay, Compensations::Key_Goal, "Text_goalcam_delay_Change");
}

void Form_Lurcher_settings::Text_splitcam_delay_Change() {
  Text_Change(ui->Text_splitcam_delay, Compensations::Key_Split, "Text_splitcam_delay_Change");
}

bool Form_Lurcher_settings::Delay_KeyPress(QChar typed) {
  if (typed.isDigit() && typed.unicode() < 128)
    return true;
  if (Editing_Character(typed))
    return true;
  Beep();
  return false;
}

bool Form_Lurcher_settings::eventFilter(QObject *watched, QEvent *event) {
  if (event->type() != QEvent::KeyPress)
    return QWidget::eventFilter(watched, event);
  return Guarded(Location(watched == ui->Text_Box_delay       ? "Text_Box_delay_KeyPress"
                          : watched == ui->Text_goalcam_delay ? "Text_goalcam_delay_KeyPress"
                                                              : "Text_splitcam_delay_KeyPress"),
                 true, [&] {
                   const auto *key = static_cast<QKeyEvent *>(event);
                   const QString text = key->text();
                   // Keys without a character (arrows, Delete, Home) and the Ctrl shortcuts
                   // (copy, paste, undo) work as usual; the validator guards what is pasted.
                   if (text.size() != 1 || key->modifiers().testFlag(Qt::ControlModifier))
                     return false;
                   return !Delay_KeyPress(text.at(0));
                 });
}

void Form_Lurcher_settings::Command_hide_Click() {
  Guarded(Location("Command_hide_Click"), [&] {
    hide();
    deleteLater();
  });
}
