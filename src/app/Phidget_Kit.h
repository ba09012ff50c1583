#pragma once
// The interface kit through the vendor's library. The library calls its handlers on its
// own threads; each handler takes the tick first, then queues the event for the kit's
// thread and returns. The kit is closed only from its owner, never from a handler.

#include "app/Interface_Kit.h"
#include "app/Phidget21_Api.h"

class Phidget_Library;

class Phidget_Kit final : public Interface_Kit {
  Q_OBJECT

public:
  // Creates the library's kit object and connects the handlers; failures are raised.
  explicit Phidget_Kit(const Phidget_Library &library, QObject *parent = nullptr);
  ~Phidget_Kit() override;
  Phidget_Kit(const Phidget_Kit &) = delete;
  Phidget_Kit &operator=(const Phidget_Kit &) = delete;

  void Open(std::int32_t serial) override;
  bool IsAttached() const override;
  std::int32_t Serial_Number() const override;
  bool Input_State(int index) const override;
  void Set_Output_State(int index, bool on) override;
  QString Library_Version() const override;
  QString Device_Name() const override;
  QString Device_Type() const override;

private:
  static int On_Attach(CPhidgetHandle handle, void *user);
  static int On_Detach(CPhidgetHandle handle, void *user);
  static int On_Input_Change(CPhidgetInterfaceKitHandle kit, void *user, int index, int state);

  const Phidget_Library &library_;
  CPhidgetInterfaceKitHandle kit_ = nullptr;
};
