#include "capture/Capture_Component.h"

#include "capture/Combined_Capture_Component.h"
#include "capture/Gst_Capture_Component.h"
#include "capture/Test_Track_Component.h"

namespace {
Capture_Component_Factory &Factory() {
  static Capture_Component_Factory factory;
  return factory;
}
} // namespace

std::unique_ptr<Capture_Component> Create_Capture_Component() {
  if (Factory())
    return Factory()();
  std::vector<std::unique_ptr<Capture_Component>> backends;
  backends.push_back(std::make_unique<Gst_Capture_Component>());
  backends.push_back(std::make_unique<Test_Track_Component>());
  return std::make_unique<Combined_Capture_Component>(std::move(backends));
}

void Set_Capture_Component_Factory(Capture_Component_Factory factory) { Factory() = std::move(factory); }

QString Embedded_Source_Friendly_Name() { return Test_Track_Component::Friendly_Name(); }
