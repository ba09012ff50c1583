#include "capture/Capture_Component.h"

#include "capture/Gst_Capture_Component.h"

namespace {
Capture_Component_Factory &Factory() {
  static Capture_Component_Factory factory;
  return factory;
}
} // namespace

std::unique_ptr<Capture_Component> Create_Capture_Component() {
  if (Factory())
    return Factory()();
  return std::make_unique<Gst_Capture_Component>();
}

void Set_Capture_Component_Factory(Capture_Component_Factory factory) { Factory() = std::move(factory); }
