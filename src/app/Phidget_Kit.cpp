#include "app/Phidget_Kit.h"

#include "app/Phidget_Library.h"
#include "support/Clock.h"
#include "support/Failure.h"

Phidget_Kit::Phidget_Kit(const Phidget_Library &library, QObject *parent) : Interface_Kit(parent), library_(library) {
  CPhidgetInterfaceKitHandle kit = nullptr;
  library_.Check(library_.Kit_create(&kit), "CPhidgetInterfaceKit_create");
  if (!kit)
    Raise(Err_Object_Required, QStringLiteral("CPhidgetInterfaceKit_create gave no kit"));
  kit_ = kit;
  try {
    library_.Check(library_.set_OnAttach_Handler(kit_, &Phidget_Kit::On_Attach, this), "CPhidget_set_OnAttach_Handler");
    library_.Check(library_.set_OnDetach_Handler(kit_, &Phidget_Kit::On_Detach, this), "CPhidget_set_OnDetach_Handler");
    library_.Check(library_.Kit_set_OnInputChange_Handler(kit_, &Phidget_Kit::On_Input_Change, this),
                   "CPhidgetInterfaceKit_set_OnInputChange_Handler");
  } catch (...) {
    library_.del(kit_);
    throw;
  }
}

Phidget_Kit::~Phidget_Kit() {
  // Closing joins the library's threads, so no handler can reach this object afterwards.
  library_.close(kit_);
  library_.del(kit_);
}

void Phidget_Kit::Open(std::int32_t serial) {
  library_.Check(library_.open(kit_, serial == 0 ? Phidget21_Any_Serial : serial), "CPhidget_open");
}

bool Phidget_Kit::IsAttached() const {
  int status = 0;
  return library_.getDeviceStatus(kit_, &status) == Phidget21_OK && status == Phidget21_Attached;
}

std::int32_t Phidget_Kit::Serial_Number() const {
  int serial = 0;
  if (library_.getSerialNumber(kit_, &serial) != Phidget21_OK)
    return 0;
  return serial;
}

bool Phidget_Kit::Input_State(int index) const {
  int state = 0;
  return library_.Kit_getInputState(kit_, index, &state) == Phidget21_OK && state != 0;
}

void Phidget_Kit::Set_Output_State(int index, bool on) {
  // A detached kit refuses the call; the lamp follows on the next refresh after attach.
  library_.Kit_setOutputState(kit_, index, on ? 1 : 0);
}

QString Phidget_Kit::Library_Version() const { return library_.Library_Version(); }

QString Phidget_Kit::Device_Name() const {
  const char *name = nullptr;
  if (library_.getDeviceName(kit_, &name) != Phidget21_OK || !name)
    return QString();
  return QString::fromUtf8(name);
}

QString Phidget_Kit::Device_Type() const {
  const char *type = nullptr;
  if (library_.getDeviceType(kit_, &type) != Phidget21_OK || !type)
    return QString();
  return QString::fromUtf8(type);
}

// The handlers run on the library's threads: the tick comes first, before any other work.
int Phidget_Kit::On_Attach(CPhidgetHandle, void *user) {
  const std::int32_t tick = Tick();
  static_cast<Phidget_Kit *>(user)->Post_Attached(tick);
  return 0;
}

int Phidget_Kit::On_Detach(CPhidgetHandle, void *user) {
  const std::int32_t tick = Tick();
  static_cast<Phidget_Kit *>(user)->Post_Detached(tick);
  return 0;
}

int Phidget_Kit::On_Input_Change(CPhidgetInterfaceKitHandle, void *user, int index, int state) {
  const std::int32_t tick = Tick();
  static_cast<Phidget_Kit *>(user)->Post_Input_Changed(tick, index, state != 0);
  return 0;
}
