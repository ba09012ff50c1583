#include "app/Simulated_Kit.h"

#include "support/Clock.h"
#include "support/Operator.h"

void Simulated_Kit::Open(std::int32_t) { Attach(); }

void Simulated_Kit::Attach() {
  if (attached_)
    return;
  const std::int32_t tick = Tick();
  attached_ = true;
  Post_Attached(tick);
}

void Simulated_Kit::Detach() {
  if (!attached_)
    return;
  const std::int32_t tick = Tick();
  attached_ = false;
  Post_Detached(tick);
}

bool Simulated_Kit::Input_State(int index) const {
  return attached_ && index >= 0 && index < Input_Count && inputs_[static_cast<std::size_t>(index)];
}

void Simulated_Kit::Set_Input(int index, bool on) {
  if (index < 0 || index >= Input_Count)
    return;
  const std::int32_t tick = Tick();
  bool &input = inputs_[static_cast<std::size_t>(index)];
  if (input == on)
    return;
  input = on;
  emit Inputs_Changed();
  // A detached kit reports nothing, as the real one cannot.
  if (attached_)
    Post_Input_Changed(tick, index, on);
}

void Simulated_Kit::Set_Output_State(int index, bool on) {
  if (index != 0 || !attached_ || output_0_ == on)
    return;
  output_0_ = on;
  emit Output_Changed(on);
}

QString Simulated_Kit::Library_Version() const { return QStringLiteral("Lurcher simulated interface kit"); }

QString Simulated_Kit::Device_Name() const { return QStringLiteral("Simulated InterfaceKit 8/8/8"); }

QString Simulated_Kit::Device_Type() const { return QStringLiteral("PhidgetInterfaceKit"); }

bool Simulated_Kit::Offer() {
  return Msg_Box(QStringLiteral("No Phidget drivers found!\nUse the simulated interface kit?"), Msg_Buttons::Yes_No,
                 Msg_Icon::Question, QString(), 1) == Msg_Result::Yes;
}
