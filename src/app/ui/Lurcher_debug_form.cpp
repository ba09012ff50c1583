#include "app/ui/Lurcher_debug_form.h"
#include "ui_Lurcher_debug_form.h"

#include "support/Clock.h"
#include "support/Failure.h"
#include "support/Globals.h"
#include "support/ui/Printer_Wrapper.h"

Lurcher_debug_form::Lurcher_debug_form(QWidget *parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::Lurcher_debug_form>()) {
  ui->setupUi(this);
  connect(ui->item_print, &QAction::triggered, this, &Lurcher_debug_form::item_print_Click);
  connect(ui->item_hide, &QAction::triggered, this, &Lurcher_debug_form::item_hide_Click);
}

Lurcher_debug_form::~Lurcher_debug_form() = default;

QStringList Lurcher_debug_form::Print_Lines(const QString &printer_name) const {
  const QString now = Current_Clock().Local_Now().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
  QStringList lines;
  lines << QStringLiteral("Lurcher file properties at ") + now;
  lines << QStringLiteral("Computer = ") + Globals::Computer_Name + QStringLiteral(" Printer : ") + printer_name;
  lines << QString() << QString();
  lines << ui->Text_debug->toPlainText().split(QLatin1Char('\n'));
  return lines;
}

void Lurcher_debug_form::item_print_Click() {
  Guarded(QStringLiteral("item_print_Click of Form Lurcher_debug_form"), [&] {
    Printer_Wrapper &printer = Current_Printer();
    try {
      printer.Set_FontName(QStringLiteral("Courier New"));
      printer.Set_FontSize(14);
      printer.Set_CurrentX(0);
      printer.Set_CurrentY(printer.ScaleHeight() / 10.0);
      for (const QString &line : Print_Lines(printer.DeviceName())) {
        if (line.isEmpty())
          printer.Print_Empty_Line();
        else
          printer.Print(line);
      }
      printer.End_Doc();
    } catch (...) {
      printer.Kill_Doc(); // a half-made document must not go to the printer later
      throw;
    }
  });
}

void Lurcher_debug_form::item_hide_Click() { hide(); }

void Lurcher_debug_form::Set_Text(const QString &text) {
  QString lines = text;
  lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  ui->Text_debug->setPlainText(lines);
}
