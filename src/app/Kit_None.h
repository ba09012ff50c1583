#pragma once
// No interface kit: nothing attaches, every input reads off, the output goes nowhere.

#include "app/Interface_Kit.h"

class Kit_None final : public Interface_Kit {
  Q_OBJECT

public:
  using Interface_Kit::Interface_Kit;
  bool Present() const override { return false; }
  void Open(std::int32_t) override {}
  bool IsAttached() const override { return false; }
  std::int32_t Serial_Number() const override { return 0; }
  bool Input_State(int) const override { return false; }
  void Set_Output_State(int, bool) override {}
  QString Library_Version() const override { return QString(); }
  QString Device_Name() const override { return QString(); }
  QString Device_Type() const override { return QString(); }
};
