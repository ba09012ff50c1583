// The interface kit of the main window: the library checks of the start-up, the kit object
// (the vendor's library, the simulated kit, or none), its events through Kit_Controller and
// the Control Box that shows its state.

#include "app/ui/Form_Lurcher.h"
#include "ui_Form_Lurcher.h"

#include "app/Interface_Kit.h"
#include "app/Kit_Controller.h"
#include "app/Module_Lurcher.h"
#include "app/Phidget_Verify.h"
#include "app/Simulated_Kit.h"
#include "app/ui/Control_Box.h"
#include "app/ui/Form_Lurcher_settings.h"
#include "app/ui/Form_simulated_kit.h"

#include "support/Failure.h"
#include "support/Trace.h"

namespace {
constexpr Location_Of Location{"Form", "Form_Lurcher"};
} // namespace

bool Form_Lurcher::Verify_Phidgets() {
  // The simulated kit needs no library; without a library there is nothing to test.
  if (Simulate_Kit)
    return true;
  return ::Verify_Phidgets() != Phidget_Check::Failed;
}

void Form_Lurcher::Check_For_Phidget() {
  Guarded(Location("Check_For_Phidget"), [&] {
    if (!Simulate_Kit) {
      ::Check_For_Phidget();
      return;
    }
    Module_Lurcher::m_Phidget_Present = true;
    Trace_String(QStringLiteral("*Check_for_Phidget OK = True ,version = ") + Simulated_Kit().Library_Version());
  });
}

// The kit object, its controller and the Control Box; a controller without a kit when no
// kit can be had, so the Control Box shows that.
void Form_Lurcher::Set_Up_Kit() {
  Check_For_Phidget();
  if (Module_Lurcher::m_Phidget_Present)
    Open_Phidget();
  if (!Kit)
    Kit = std::make_unique<Kit_Controller>(nullptr, *this);
  if (!Control_box)
    Control_box = std::make_unique<Control_Box>(*this, *Kit);
}

void Form_Lurcher::Open_Phidget() {
  Guarded(Location("Open_Phidget"), [&] {
    std::int32_t wait_ms = 1000;
    if (Simulate_Kit) {
      auto simulated = std::make_unique<Simulated_Kit>();
      simulated_kit_window_ = std::make_unique<Form_simulated_kit>(*simulated);
      obj_Phidget = std::move(simulated);
      wait_ms = 0; // it attaches as soon as it is opened
    } else {
      obj_Phidget = Create_Phidget_Kit();
    }
    if (!obj_Phidget) {
      Module_Lurcher::m_Phidget_Present = false;
      return;
    }
    // Connected before it opens: the attach event must find its handler.
    Kit = std::make_unique<Kit_Controller>(obj_Phidget.get(), *this);
    Control_box = std::make_unique<Control_Box>(*this, *Kit);
    if (simulated_kit_window_)
      simulated_kit_window_->show();
    Open_Kit(*obj_Phidget, wait_ms);
  });
}

void Form_Lurcher::Check_Attached() {
  if (Control_box)
    Control_box->Check_Attached();
  else if (!Module_Lurcher::m_Phidget_Present)
    Trace_String(QStringLiteral("*Check_Attached m_Phidget_Present = False"));
}

void Form_Lurcher::item_Blink_LED_Click() {
  Guarded(Location("item_Blink_LED_Click"), [&] {
    if (Kit)
      Kit->item_Blink_LED_Click();
  });
}

void Form_Lurcher::item_show_settings_Click() {
  Guarded(Location("item_show_settings_Click"), [&] {
    Form_Lurcher_settings &settings = Settings_Window();
    settings.show();
    settings.raise();
  });
}

Form_Lurcher_settings &Form_Lurcher::Settings_Window() {
  // "Hide" unloads the window; the next use loads it again from the settings file.
  if (!settings_window_)
    settings_window_ = new Form_Lurcher_settings(this);
  return *settings_window_;
}
