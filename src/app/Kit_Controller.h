#pragma once
// The meaning of the interface kit's inputs and its output: the kit's events become starts,
// capture starts and ends and Control Box refreshes; output 0 lights the external lamp
// while the remote contact is closed or the on-screen LED is held. Works with no kit too.

#include <QObject>
#include <cstdint>

class Interface_Kit;
class Kit_Race_Control;

class Kit_Controller : public QObject {
  Q_OBJECT

public:
  // kit may be nullptr (no kit); it is not owned.
  Kit_Controller(Interface_Kit *kit, Kit_Race_Control &race, QObject *parent = nullptr);

  // The inputs the kit has, by index.
  enum Input : int {
    Remote_Contact = 0,
    Start_Armed = 1,
    Start_Input = 2,
    Capture_Goal = 3,
    Capture_Split = 4,
    Capture_Plain = 5,
  };

  Interface_Kit *Kit() const { return kit_; }
  // A kit is there to show (not "no kit").
  bool Present() const;
  // Phidget_Attached: between an attach event and a detach event.
  bool Phidget_Attached() const { return attached_; }
  std::int32_t Serial_Number() const;
  // The state of input n as the kit reads it now; false without a kit.
  bool Input_On(int index) const;
  // One of the capture switches (inputs 3 to 5) is on.
  bool Capture_Switch_On() const;

  bool LED_Pressed() const { return led_pressed_; }
  void Set_LED_Pressed(bool pressed);
  // What output 0 shows: the held LED or the closed remote contact.
  bool Lamp_Wanted() const;
  // Sets output 0 (no-op without a kit).
  void Set_Lamp(bool on);

  // The kit's event handlers.
  void obj_Phidget_OnAttach(std::int32_t tick);
  void obj_Phidget_OnDetach(std::int32_t tick);
  void obj_Phidget_OnInputChange(std::int32_t tick, int index, bool state);
  // Output 0 := input 0.
  void Update_LED();
  // Debug -> "Blink LED": the lamp for two seconds, with the window held still.
  void item_Blink_LED_Click(std::int32_t on_ms = 2000);

private:
  void Dispatch_Input(std::int32_t tick, int index, bool state);

  Interface_Kit *kit_;
  Kit_Race_Control &race_;
  bool attached_ = false;
  bool led_pressed_ = false;
};
