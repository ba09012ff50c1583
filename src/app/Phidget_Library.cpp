#include "app/Phidget_Library.h"

#include "support/Failure.h"

#include <QByteArray>
#include <dlfcn.h>
#include <map>
#include <memory>
#include <mutex>

namespace {
std::mutex loaded_mutex;
// One entry per file opened; never released, as the library's threads may outlive a kit.
std::map<QString, std::unique_ptr<Phidget_Library>> loaded;

template <class Fn> bool Resolve_One(void *handle, const char *name, Fn &target, QString *why) {
  // dlsym hands back an object pointer; a function pointer is what the library exports.
  void *symbol = dlsym(handle, name);
  if (!symbol) {
    if (why)
      *why = QStringLiteral("The interface-kit library has no %1").arg(QString::fromLatin1(name));
    return false;
  }
  target = reinterpret_cast<Fn>(symbol);
  return true;
}

QString Text_Of(const char *text) { return text ? QString::fromUtf8(text) : QString(); }
} // namespace

QString Phidget_Library::Library_Path() {
  const QString named = qEnvironmentVariable("LURCHER_PHIDGET_LIBRARY");
  return named.isEmpty() ? QStringLiteral("libphidget21.so.0") : named;
}

const Phidget_Library *Phidget_Library::Load(QString *why) {
  const QString path = Library_Path();
  std::lock_guard lock(loaded_mutex);
  auto found = loaded.find(path);
  if (found != loaded.end())
    return found->second.get();
  void *handle = dlopen(path.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    if (why)
      *why = Text_Of(dlerror());
    return nullptr;
  }
  auto library = std::make_unique<Phidget_Library>();
  if (!library->Resolve(handle, why)) {
    dlclose(handle);
    return nullptr;
  }
  return loaded.emplace(path, std::move(library)).first->second.get();
}

bool Phidget_Library::Resolve(void *handle, QString *why) {
  return Resolve_One(handle, "CPhidgetInterfaceKit_create", Kit_create, why) &&
         Resolve_One(handle, "CPhidget_set_OnAttach_Handler", set_OnAttach_Handler, why) &&
         Resolve_One(handle, "CPhidget_set_OnDetach_Handler", set_OnDetach_Handler, why) &&
         Resolve_One(handle, "CPhidgetInterfaceKit_set_OnInputChange_Handler", Kit_set_OnInputChange_Handler, why) &&
         Resolve_One(handle, "CPhidget_open", open, why) &&
         Resolve_One(handle, "CPhidgetInterfaceKit_getInputState", Kit_getInputState, why) &&
         Resolve_One(handle, "CPhidgetInterfaceKit_setOutputState", Kit_setOutputState, why) &&
         Resolve_One(handle, "CPhidgetInterfaceKit_getInputCount", Kit_getInputCount, why) &&
         Resolve_One(handle, "CPhidget_getSerialNumber", getSerialNumber, why) &&
         Resolve_One(handle, "CPhidget_getDeviceStatus", getDeviceStatus, why) &&
         Resolve_One(handle, "CPhidget_getDeviceName", getDeviceName, why) &&
         Resolve_One(handle, "CPhidget_getDeviceType", getDeviceType, why) &&
         Resolve_One(handle, "CPhidget_getLibraryVersion", getLibraryVersion, why) &&
         Resolve_One(handle, "CPhidget_getErrorDescription", getErrorDescription, why) &&
         Resolve_One(handle, "CPhidget_close", close, why) && Resolve_One(handle, "CPhidget_delete", del, why);
}

QString Phidget_Library::Error_Description(int code) const {
  const char *text = nullptr;
  if (getErrorDescription(code, &text) == Phidget21_OK && text)
    return QString::fromUtf8(text);
  return QStringLiteral("error code %1").arg(code);
}

void Phidget_Library::Check(int code, const char *call) const {
  if (code != Phidget21_OK)
    Raise(Err_Internal, QString::fromLatin1(call) + QStringLiteral(": ") + Error_Description(code));
}

QString Phidget_Library::Library_Version() const {
  const char *text = nullptr;
  Check(getLibraryVersion(&text), "CPhidget_getLibraryVersion");
  return Text_Of(text);
}
