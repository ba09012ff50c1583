// The main window's menus: their commands of this window, the menus that start hidden
// and the modifier keys that reveal the Debug menu.

#include "app/ui/Form_Lurcher.h"
#include "ui_Form_Lurcher.h"

#include "app/Module_Lurcher.h"
#include "app/Stand_Ins.h"
#include "app/ui/Form_timer.h"
#include "app/ui/Heat_Preview.h"
#include "app/ui/Lurcher_debug_form.h"
#include "capture/cls_Capture_HDMI.h"
#include "capture/ui/Form_HDMI_performance.h"
#include "capture/ui/Form_select_Video.h"
#include "recording/cls_VideoFile_handler.h"

#include "events/ui/Form_event_registration.h"
#include "support/Failure.h"
#include "support/Globals.h"
#include "support/Non_dependant.h"
#include "support/Operator.h"
#include "support/Trace.h"

#include "support/ui/Keyboard_State.h"

#include <cmath>

namespace {
// The capture component's library; its absence means no camera can run.
const QString capture_library = QStringLiteral("libgstreamer-1.0.so.0");

constexpr Location_Of Menu_Location{"Form", "Form_Lurcher"};

// A frame rate of 10,000,000 divided by a frame interval in 100 ns units, to one decimal.
QString Fps_Of_Interval(const QString &interval) {
  bool ok = false;
  const double units = interval.trimmed().toDouble(&ok);
  return ok && units > 0 ? QString::number(10000000.0 / units, 'f', 1) : QStringLiteral("?");
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
  connect(ui->item_Select_Video_Source, &QAction::triggered, this, &Form_Lurcher::item_Select_Video_Source_Click);
  connect(ui->item_file_properties, &QAction::triggered, this, &Form_Lurcher::item_file_properties_Click);
  connect(ui->item_qk3_properties, &QAction::triggered, this, &Form_Lurcher::item_qk3_properties_Click);
  connect(ui->item_HDMI_performance, &QAction::triggered, this, &Form_Lurcher::item_HDMI_performance_Click);
  connect(ui->item_event_registration, &QAction::triggered, this, &Form_Lurcher::item_event_registration_Click);
  connect(ui->item_open_event_file, &QAction::triggered, this,
          [this] { event_registration_->item_open_event_file_Click(); });
  connect(ui->item_No_event_file, &QAction::triggered, this, [this] { heat_preview_->item_No_event_file_Click(); });
  connect(ui->Command_hide, &QPushButton::clicked, this, [this] { heat_preview_->Command_hide_Click(); });
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

void Form_Lurcher::item_event_registration_Click() {
  Guarded(Menu_Location("item_event_registration_Click"), [&] {
    event_registration_->show();
    event_registration_->raise();
    event_registration_->activateWindow();
  });
}

void Form_Lurcher::item_timer_Click() {
  Guarded(Menu_Location("item_timer_Click"), [&] {
    Form_timer &clock = Clock_Window();
    clock.setVisible(!clock.isVisible());
  });
}

void Form_Lurcher::item_Select_Video_Source_Click() {
  Guarded(Menu_Location("item_Select_Video_Source_Click"), [&] {
    Load_Video_Source_Window();
    // Shown without waiting: the main window stays usable beside it.
    video_source_window_->show();
    video_source_window_->raise();
    video_source_window_->activateWindow();
  });
}

void Form_Lurcher::item_file_properties_Click() {
  Guarded(Menu_Location("item_file_properties_Click"), [&] {
    if (!Heat_File_Open(QStringLiteral("item_file_properties_Click")))
      return;
    Lurcher_debug_form &debug = Debug_Window();
    debug.Set_Text(obj_QK3_Handler->File_Properties());
    debug.show();
  });
}

void Form_Lurcher::item_qk3_properties_Click() {
  Guarded(Menu_Location("item_qk3_properties_Click"), [&] {
    if (Heat_File_Open(QStringLiteral("item_qk3_properties_Click")))
      Msg_Box(obj_QK3_Handler->QK3_Properties());
  });
}

// The reports describe the heat file under review; without one there is nothing to describe.
bool Form_Lurcher::Heat_File_Open(const QString &procedure) {
  if (obj_QK3_Handler && obj_QK3_Handler->File_open())
    return true;
  Trace_String(QLatin1Char('*') + procedure + QStringLiteral(", no heat file open"));
  Beep();
  return false;
}

// ---------------------------------------------------------------- capture performance window

// The frame size and the frame rate the source reports, e.g. "1920*1080, 25 fps"; empty while
// the source has not reported its rate.
QString Form_Lurcher::Sample_Text() const {
  if (!obj_Capture_HDMI || obj_Capture_HDMI->HDMI_10_mill() <= 0)
    return QString();
  const cls_Capture_HDMI &capture = *obj_Capture_HDMI;
  return capture.HDMI_Sample_Dimensions() + QStringLiteral(", ") +
         QString::number(static_cast<long long>(std::floor(10000.0 / capture.HDMI_10_mill()))) + QStringLiteral(" fps");
}

void Form_Lurcher::item_HDMI_performance_Click() {
  Guarded(Menu_Location("item_HDMI_performance_Click"), [&] {
    // The menu opens the window and closes it again; a window hidden by its own button
    // counts as closed.
    const bool was_open = performance_window_ && performance_window_->isVisible();
    if (performance_window_)
      performance_window_->close();
    performance_window_.reset();
    if (was_open)
      return;
    if (!obj_Capture_HDMI || obj_Capture_HDMI->HDMI_10_mill() <= 0) {
      Msg_Box(QStringLiteral("No active HDMI source!"));
      return;
    }
    const cls_Capture_HDMI &capture = *obj_Capture_HDMI;
    auto window = std::make_unique<Form_HDMI_performance>();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    window->Show_Properties(capture.Current_PropertyString() + QStringLiteral(" / ") + capture.Current_FriendlyName());
    window->Reset_Counters();
    window->show();
    window->HDMI_Dimensions(Sample_Text());
    window->Fill_min_max_fps(QStringLiteral("min max fps: ") + Fps_Of_Interval(capture.MaxInterval()) +
                             QStringLiteral(" / ") + Fps_Of_Interval(capture.MinInterval()));
    performance_window_ = std::move(window);
  });
}

// Step 1 of the frame notification: the open performance window hears of every frame.
void Form_Lurcher::Feed_Performance_Window() {
  Guarded(Menu_Location("HDMI_event"), [&] {
    if (Globals::Stop_Frame_Events || Globals::Closing || !obj_Capture_HDMI || !performance_window_ ||
        !performance_window_->isVisible())
      return;
    performance_window_->HDMI_event(obj_Capture_HDMI->last_Capture_mill(), obj_Capture_HDMI->last_Capture_delta());
  });
}
