#include "app/Kit_Controller.h"

#include "app/Interface_Kit.h"
#include "app/Kit_Race_Control.h"
#include "app/Kit_Timing.h"
#include "support/Failure.h"
#include "support/Globals.h"
#include "support/Non_dependant.h"
#include "support/Trace.h"

namespace {
constexpr Location_Of Location{"Form", "Form_Lurcher"};
} // namespace

Kit_Controller::Kit_Controller(Interface_Kit *kit, Kit_Race_Control &race, QObject *parent)
    : QObject(parent), kit_(kit), race_(race) {
  if (!kit_)
    return;
  connect(kit_, &Interface_Kit::Attached, this, &Kit_Controller::obj_Phidget_OnAttach);
  connect(kit_, &Interface_Kit::Detached, this, &Kit_Controller::obj_Phidget_OnDetach);
  connect(kit_, &Interface_Kit::Input_Changed, this, &Kit_Controller::obj_Phidget_OnInputChange);
}

bool Kit_Controller::Present() const { return kit_ && kit_->Present(); }

std::int32_t Kit_Controller::Serial_Number() const { return kit_ ? kit_->Serial_Number() : 0; }

bool Kit_Controller::Input_On(int index) const { return kit_ && kit_->Input_State(index); }

void Kit_Controller::Set_LED_Pressed(bool pressed) { led_pressed_ = pressed; }

bool Kit_Controller::Lamp_Wanted() const { return led_pressed_ || Input_On(Remote_Contact); }

void Kit_Controller::Set_Lamp(bool on) {
  if (kit_)
    kit_->Set_Output_State(0, on);
}

void Kit_Controller::obj_Phidget_OnAttach(std::int32_t) {
  Guarded(Location("obj_Phidget_OnAttach"), [&] {
    Trace_String(QStringLiteral("*obj_Phidget_OnAttach"));
    attached_ = true;
    race_.Check_Attached();
  });
}

void Kit_Controller::obj_Phidget_OnDetach(std::int32_t) {
  Guarded(Location("obj_Phidget_OnDetach"), [&] {
    Trace_String(QStringLiteral("*obj_Phidget_OnDetach"));
    attached_ = false;
    race_.Check_Attached();
  });
}

void Kit_Controller::obj_Phidget_OnInputChange(std::int32_t tick, int index, bool state) {
  try {
    // The kit reports every input once as it attaches at start-up: that is no signal.
    if (Kit_Timing::In_Input_Grace(tick))
      return;
    Trace_String(QStringLiteral("*obj_Phidget_OnInputChange, Index = ") + QString::number(index) +
                 QStringLiteral(" NewState = ") + Bool_Text(state));
    Dispatch_Input(tick, index, state);
    Trace_String(QStringLiteral("obj_Phidget_OnInputChange, before Check_Attached"));
    race_.Check_Attached();
    Trace_String(QStringLiteral("obj_Phidget_OnInputChange, after Check_Attached"));
  } catch (...) {
    // Frames must stop before the error window waits for the operator.
    try {
      race_.Stop_All_Cameras();
    } catch (...) {
    }
    Globals::Stop_Frame_Events = true;
    Report_Current_Failure(Location("obj_Phidget_OnInputChange"));
  }
}

void Kit_Controller::Dispatch_Input(std::int32_t tick, int index, bool state) {
  switch (index) {
  case Remote_Contact:
    // Opening and closing the contact both start an armed heat; a second start is refused
    // by Handle_Start itself.
    if (Input_On(Start_Armed))
      race_.Handle_Start(tick);
    Update_LED(); // the Control Box is refreshed after every input change
    break;
  case Start_Input:
    if (state)
      race_.Handle_Start(tick);
    break;
  case Capture_Goal:
  case Capture_Split:
  case Capture_Plain:
    if (state)
      race_.Handle_Capture_Start(tick);
    else
      race_.Handle_Capture_End(tick);
    break;
  default:
    break;
  }
}

bool Kit_Controller::Capture_Switch_On() const {
  return Input_On(Capture_Goal) || Input_On(Capture_Split) || Input_On(Capture_Plain);
}

void Kit_Controller::Update_LED() {
  Guarded(Location("Update_LED"), [&] { Set_Lamp(Input_On(Remote_Contact)); });
}

void Kit_Controller::item_Blink_LED_Click(std::int32_t on_ms) {
  Guarded(Location("item_Blink_LED_Click"), [&] {
    Set_Lamp(true);
    Do_Sleep(on_ms, false);
    Set_Lamp(false);
  });
}
