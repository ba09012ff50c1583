#pragma once
// The simulated interface kit: eight input switches and the output lamp on a small window,
// for training and for machines without a kit. It behaves as the library does: an input
// change is stamped when it happens and arrives as a queued event; attach comes after open.

#include "app/Interface_Kit.h"

#include <array>

class Simulated_Kit final : public Interface_Kit {
  Q_OBJECT

public:
  static constexpr int Input_Count = 8;
  static constexpr std::int32_t Simulated_Serial = 99999;

  using Interface_Kit::Interface_Kit;

  void Open(std::int32_t serial) override;
  bool IsAttached() const override { return attached_; }
  std::int32_t Serial_Number() const override { return attached_ ? Simulated_Serial : 0; }
  bool Input_State(int index) const override;
  void Set_Output_State(int index, bool on) override;
  QString Library_Version() const override;
  QString Device_Name() const override;
  QString Device_Type() const override;

  // The switches of the window. A switch that does not change raises no event.
  void Set_Input(int index, bool on);
  // Unplugging and plugging the simulated kit in again.
  void Detach();
  void Attach();
  bool Output_State() const { return output_0_; }

  // Asks whether to use the simulated kit when no kit library is found.
  static bool Offer();

signals:
  void Output_Changed(bool on);
  void Inputs_Changed();

private:
  std::array<bool, Input_Count> inputs_{};
  bool attached_ = false;
  bool output_0_ = false;
};
