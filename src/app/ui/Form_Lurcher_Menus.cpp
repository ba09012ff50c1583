// The main window's menus: their commands of this window, the menus that start hidden
// and the modifier keys that reveal the Debug menu.

#include "app/ui/Form_Lurcher.h"
#include "ui_Form_Lurcher.h"

#include "app/Module_Lurcher.h"
#include "app/Stand_Ins.h"
#include "app/ui/Form_timer.h"
#include "support/Failure.h"
#include "support/Non_dependant.h"
#include "support/Operator.h"
#include "support/ui/Keyboard_State.h"

namespace {
// The capture component's library; its absence means no camera can run.
const QString capture_library = QStringLiteral("libgstreamer-1.0.so.0");

QString Menu_Location(const char *procedure) {
  return QString::fromLatin1(procedure) + QStringLiteral(" of Form Form_Lurcher");
}
} // namespace

void Form_Lurcher::Connect_Menus() {
  connect(ui->Menu_Form, &QMenu::aboutToShow, this, &Form_Lurcher::menu_form_click);
  connect(ui->menu_print, &QMenu::aboutToShow, this, &Form_Lurcher::menu_print_click);
  connect(ui->item_about, &QAction::triggered, this, &Form_Lurcher::item_about_Click);
  connect(ui->item_Exit, &QAction::triggered, this, &Form_Lurcher::item_Exit_Click);
  connect(ui->item_associate, &QAction::triggered, this, &Form_Lurcher::item_associate_Click);
  connect(ui->item_DLL_available, &QAction::triggered, this, &Form_Lurcher::item_DLL_available_Click);
  connect(ui->item_timer, &QAction::triggered, this, &Form_Lurcher::item_timer_Click);
  connect(ui->item_test1, &QAction::triggered, this, [] { NumLock_on(); });
  // The Trap errors submenu is revealed only by Alt on the Form menu.
  Hide_Menu(ui->menu_trap_errors);
}

void Form_Lurcher::Hide_Menu(QMenu *menu) { Show_Menu(menu, false); }

void Form_Lurcher::Show_Menu(QMenu *menu, bool shown) { menu->menuAction()->setVisible(shown); }

bool Form_Lurcher::Menu_Shown(const QString &menu_name) const {
  const auto *m = findChild<QMenu *>(menu_name);
  return m && m->menuAction()->isVisible();
}

void Form_Lurcher::menu_form_click() {
  Guarded(Menu_Location("menu_form_click"), [&] {
    if (!Alt_Down())
      return;
    Show_Menu(ui->menu_trap_errors, true);
    Show_Menu(ui->menu_debug, !ui->menu_debug->menuAction()->isVisible());
  });
}

void Form_Lurcher::menu_print_click() {
  Guarded(Menu_Location("menu_print_click"), [&] {
    if (Ctrl_Down())
      Show_Menu(ui->menu_debug, true);
  });
}

void Form_Lurcher::item_about_Click() {
  Guarded(Menu_Location("item_about_Click"), [&] {
    if (Ctrl_Down())
      Show_Menu(ui->menu_debug, true);
    Stand_In::Show_About_Window();
  });
}

void Form_Lurcher::item_associate_Click() { Associate_Extension(); }

void Form_Lurcher::item_DLL_available_Click() {
  Guarded(Menu_Location("item_DLL_available_Click"), [&] { Msg_Box(Bool_Text(DLL_Available(capture_library))); });
}

void Form_Lurcher::item_timer_Click() {
  Guarded(Menu_Location("item_timer_Click"), [&] {
    Form_timer &clock = Clock_Window();
    clock.setVisible(!clock.isVisible());
  });
}
