// A stand-in for the vendor's libphidget21, built from the test sources: the same C calls,
// one simulated kit, and controls the tests use to attach, detach and switch inputs. Events
// are delivered the way the library does, from threads of its own.

#include "Fake_Phidget21.h"
#include "app/Phidget21_Api.h"

#include <array>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

struct Phidget21_Device {
  Phidget21_Attach_Handler on_attach = nullptr;
  void *attach_user = nullptr;
  Phidget21_Attach_Handler on_detach = nullptr;
  void *detach_user = nullptr;
  Phidget21_Input_Handler on_input = nullptr;
  void *input_user = nullptr;
  bool opened = false;
};

namespace {
constexpr int Error_Not_Attached = 5;
constexpr int Error_Bad_Argument = 4;
constexpr int Input_Count = 8;

struct Fake_State {
  std::recursive_mutex mutex;
  std::set<Phidget21_Device *> kits;
  std::string version = "Phidget21 - Version 2.1.8 - Built Mar 31 2011 16:31:15";
  int fail_create = 0;
  int fail_open = 0;
  bool attached = false;
  int serial = 0;
  int opened_serial = 0;
  std::array<int, Input_Count> inputs{};
  std::array<int, Input_Count> outputs{};
};

Fake_State &State() {
  static Fake_State state;
  return state;
}

// The library's own thread: the handler runs there, and the control returns after it.
template <class Body> void On_Library_Thread(Body body) { std::thread(body).join(); }

bool Attached_Kit(Phidget21_Device *kit) { return kit && kit->opened && State().attached; }
} // namespace

FAKE_EXPORT int CPhidgetInterfaceKit_create(CPhidgetInterfaceKitHandle *kit) {
  std::lock_guard lock(State().mutex);
  if (State().fail_create)
    return State().fail_create;
  *kit = new Phidget21_Device;
  State().kits.insert(*kit);
  return 0;
}

FAKE_EXPORT int CPhidget_set_OnAttach_Handler(CPhidgetHandle h, Phidget21_Attach_Handler handler, void *user) {
  std::lock_guard lock(State().mutex);
  h->on_attach = handler;
  h->attach_user = user;
  return 0;
}

FAKE_EXPORT int CPhidget_set_OnDetach_Handler(CPhidgetHandle h, Phidget21_Attach_Handler handler, void *user) {
  std::lock_guard lock(State().mutex);
  h->on_detach = handler;
  h->detach_user = user;
  return 0;
}

FAKE_EXPORT int CPhidgetInterfaceKit_set_OnInputChange_Handler(CPhidgetInterfaceKitHandle h,
                                                               Phidget21_Input_Handler handler, void *user) {
  std::lock_guard lock(State().mutex);
  h->on_input = handler;
  h->input_user = user;
  return 0;
}

FAKE_EXPORT int CPhidget_open(CPhidgetHandle h, int serial) {
  std::lock_guard lock(State().mutex);
  if (State().fail_open)
    return State().fail_open;
  h->opened = true;
  State().opened_serial = serial;
  return 0;
}

FAKE_EXPORT int CPhidgetInterfaceKit_getInputState(CPhidgetInterfaceKitHandle h, int index, int *state) {
  std::lock_guard lock(State().mutex);
  if (!Attached_Kit(h))
    return Error_Not_Attached;
  if (index < 0 || index >= Input_Count)
    return Error_Bad_Argument;
  *state = State().inputs[static_cast<std::size_t>(index)];
  return 0;
}

FAKE_EXPORT int CPhidgetInterfaceKit_setOutputState(CPhidgetInterfaceKitHandle h, int index, int state) {
  std::lock_guard lock(State().mutex);
  if (!Attached_Kit(h))
    return Error_Not_Attached;
  if (index < 0 || index >= Input_Count)
    return Error_Bad_Argument;
  State().outputs[static_cast<std::size_t>(index)] = state;
  return 0;
}

FAKE_EXPORT int CPhidgetInterfaceKit_getInputCount(CPhidgetInterfaceKitHandle h, int *count) {
  if (!Attached_Kit(h))
    return Error_Not_Attached;
  *count = Input_Count;
  return 0;
}

FAKE_EXPORT int CPhidget_getSerialNumber(CPhidgetHandle h, int *serial) {
  std::lock_guard lock(State().mutex);
  if (!Attached_Kit(h))
    return Error_Not_Attached;
  *serial = State().serial;
  return 0;
}

FAKE_EXPORT int CPhidget_getDeviceStatus(CPhidgetHandle h, int *attached) {
  std::lock_guard lock(State().mutex);
  *attached = Attached_Kit(h) ? Phidget21_Attached : 0;
  return 0;
}

FAKE_EXPORT int CPhidget_getDeviceName(CPhidgetHandle h, const char **name) {
  if (!Attached_Kit(h))
    return Error_Not_Attached;
  *name = "Phidget InterfaceKit 8/8/8";
  return 0;
}

FAKE_EXPORT int CPhidget_getDeviceType(CPhidgetHandle h, const char **type) {
  if (!Attached_Kit(h))
    return Error_Not_Attached;
  *type = "PhidgetInterfaceKit";
  return 0;
}

FAKE_EXPORT int CPhidget_getLibraryVersion(const char **text) {
  *text = State().version.c_str();
  return 0;
}

FAKE_EXPORT int CPhidget_getErrorDescription(int code, const char **text) {
  switch (code) {
  case Error_Not_Attached:
    *text = "Phidget not physically attached.";
    return 0;
  case Error_Bad_Argument:
    *text = "Invalid argument passed to function.";
    return 0;
  default:
    *text = "Unexpected Error.  Contact Phidgets Inc. for support.";
    return 0;
  }
}

FAKE_EXPORT int CPhidget_close(CPhidgetHandle h) {
  std::lock_guard lock(State().mutex);
  h->opened = false;
  return 0;
}

FAKE_EXPORT int CPhidget_delete(CPhidgetHandle h) {
  std::lock_guard lock(State().mutex);
  State().kits.erase(h);
  delete h;
  return 0;
}

// Test controls.

FAKE_EXPORT void Fake_Phidget_Reset() {
  std::lock_guard lock(State().mutex);
  State().version = "Phidget21 - Version 2.1.8 - Built Mar 31 2011 16:31:15";
  State().fail_create = 0;
  State().fail_open = 0;
  State().attached = false;
  State().serial = 0;
  State().opened_serial = 0;
  State().inputs = {};
  State().outputs = {};
}

FAKE_EXPORT void Fake_Phidget_Set_Version(const char *text) {
  std::lock_guard lock(State().mutex);
  State().version = text;
}

FAKE_EXPORT void Fake_Phidget_Fail_Create(int code) {
  std::lock_guard lock(State().mutex);
  State().fail_create = code;
}

FAKE_EXPORT void Fake_Phidget_Fail_Open(int code) {
  std::lock_guard lock(State().mutex);
  State().fail_open = code;
}

// Plugging the kit in: attach on the central thread, then every input's state once.
FAKE_EXPORT void Fake_Phidget_Attach(int serial) {
  std::lock_guard lock(State().mutex);
  State().attached = true;
  State().serial = serial;
  for (Phidget21_Device *kit : State().kits) {
    if (!kit->opened)
      continue;
    if (kit->on_attach)
      On_Library_Thread([kit] { kit->on_attach(kit, kit->attach_user); });
    if (kit->on_input)
      On_Library_Thread([kit] {
        for (int i = 0; i < Input_Count; ++i)
          kit->on_input(kit, kit->input_user, i, State().inputs[static_cast<std::size_t>(i)]);
      });
  }
}

FAKE_EXPORT void Fake_Phidget_Detach() {
  std::lock_guard lock(State().mutex);
  State().attached = false;
  for (Phidget21_Device *kit : State().kits) {
    if (kit->opened && kit->on_detach)
      On_Library_Thread([kit] { kit->on_detach(kit, kit->detach_user); });
  }
}

// An input changing on the track: reported on the device's read thread when it changes.
FAKE_EXPORT void Fake_Phidget_Set_Input(int index, int state) {
  std::lock_guard lock(State().mutex);
  if (index < 0 || index >= Input_Count)
    return;
  int &input = State().inputs[static_cast<std::size_t>(index)];
  if (input == state)
    return;
  input = state;
  if (!State().attached)
    return;
  for (Phidget21_Device *kit : State().kits) {
    if (kit->opened && kit->on_input)
      On_Library_Thread([kit, index, state] { kit->on_input(kit, kit->input_user, index, state); });
  }
}

FAKE_EXPORT int Fake_Phidget_Output(int index) {
  std::lock_guard lock(State().mutex);
  if (index < 0 || index >= Input_Count)
    return -1;
  return State().outputs[static_cast<std::size_t>(index)];
}

FAKE_EXPORT int Fake_Phidget_Kits_Alive() {
  std::lock_guard lock(State().mutex);
  return static_cast<int>(State().kits.size());
}

FAKE_EXPORT int Fake_Phidget_Opened_Serial() {
  std::lock_guard lock(State().mutex);
  return State().opened_serial;
}
