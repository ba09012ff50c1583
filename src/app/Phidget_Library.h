#pragma once
// The vendor's interface-kit library, loaded with dlopen the first time it is asked for.
// "libphidget21.so.0" unless LURCHER_PHIDGET_LIBRARY names another file (the tests point it
// at a fake). A loaded library stays loaded for the life of the process: its threads may
// still be finishing when the last kit object goes.

#include "app/Phidget21_Api.h"

#include <QString>

class Phidget_Library {
public:
  // The file the next Load opens.
  static QString Library_Path();
  // The library with every call resolved, or nullptr with the reason in why (a missing
  // file, a missing call). A failed load is tried again on the next call.
  static const Phidget_Library *Load(QString *why = nullptr);

  // The description the library gives for a failure code, or "error code n".
  QString Error_Description(int code) const;
  // Raises failure number 440 with the library's description when code is not 0.
  void Check(int code, const char *call) const;

  CPhidgetInterfaceKit_create_Fn Kit_create = nullptr;
  CPhidget_set_OnAttach_Handler_Fn set_OnAttach_Handler = nullptr;
  CPhidget_set_OnDetach_Handler_Fn set_OnDetach_Handler = nullptr;
  CPhidgetInterfaceKit_set_OnInputChange_Handler_Fn Kit_set_OnInputChange_Handler = nullptr;
  CPhidget_open_Fn open = nullptr;
  CPhidgetInterfaceKit_getInputState_Fn Kit_getInputState = nullptr;
  CPhidgetInterfaceKit_setOutputState_Fn Kit_setOutputState = nullptr;
  CPhidgetInterfaceKit_getInputCount_Fn Kit_getInputCount = nullptr;
  CPhidget_getSerialNumber_Fn getSerialNumber = nullptr;
  CPhidget_getDeviceStatus_Fn getDeviceStatus = nullptr;
  CPhidget_getDeviceName_Fn getDeviceName = nullptr;
  CPhidget_getDeviceType_Fn getDeviceType = nullptr;
  CPhidget_getLibraryVersion_Fn getLibraryVersion = nullptr;
  CPhidget_getErrorDescription_Fn getErrorDescription = nullptr;
  CPhidget_close_Fn close = nullptr;
  CPhidget_delete_Fn del = nullptr;

  // The library's version text ("Phidget21 - Version 2.1.8 - Built ...").
  QString Library_Version() const;

private:
  bool Resolve(void *handle, QString *why);
};
