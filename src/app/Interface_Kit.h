#pragma once
// The interface kit: digital inputs from the track (remote contact, arming switch, start
// input, capture switches) and one output for the lamp. Implementations: the vendor's
// library (Phidget_Kit), the simulated kit of the training window (Simulated_Kit) and none
// (Kit_None). Each event carries the tick taken the moment it arrived, on whichever thread
// that was; the events reach the kit's own (user-interface) thread as queued calls, in the
// order they arrived, so a handler never runs on a library thread.

#include <QObject>
#include <QString>
#include <cstdint>

class Interface_Kit : public QObject {
  Q_OBJECT

public:
  explicit Interface_Kit(QObject *parent = nullptr) : QObject(parent) {}
  ~Interface_Kit() override = default;

  // False only for "no kit": the Control Box is then disabled.
  virtual bool Present() const { return true; }
  // Opens the kit; 0 takes whichever kit is plugged in. Failures are raised.
  virtual void Open(std::int32_t serial) = 0;
  virtual bool IsAttached() const = 0;
  virtual std::int32_t Serial_Number() const = 0;
  // The state of input n; false when it cannot be read (not attached, no such input).
  virtual bool Input_State(int index) const = 0;
  virtual void Set_Output_State(int index, bool on) = 0;
  virtual QString Library_Version() const = 0;
  // The two descriptive texts of the start-up trace line.
  virtual QString Device_Name() const = 0;
  virtual QString Device_Type() const = 0;

signals:
  void Attached(std::int32_t tick);
  void Detached(std::int32_t tick);
  void Input_Changed(std::int32_t tick, int index, bool state);

protected:
  // Safe from any thread: the signal follows on the kit's thread, in call order.
  void Post_Attached(std::int32_t tick);
  void Post_Detached(std::int32_t tick);
  void Post_Input_Changed(std::int32_t tick, int index, bool state);
};
