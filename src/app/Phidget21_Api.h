#pragma once
// The C calls of the vendor's legacy interface-kit library (libphidget21) that Lurcher
// uses, as function types. The library is loaded at run time, so nothing here links to it;
// the fake library of the tests implements the same signatures.

extern "C" {
struct Phidget21_Device;
typedef struct Phidget21_Device *CPhidgetHandle;
typedef struct Phidget21_Device *CPhidgetInterfaceKitHandle;

typedef int (*Phidget21_Attach_Handler)(CPhidgetHandle handle, void *user);
typedef int (*Phidget21_Input_Handler)(CPhidgetInterfaceKitHandle kit, void *user, int index, int state);

typedef int (*CPhidgetInterfaceKit_create_Fn)(CPhidgetInterfaceKitHandle *kit);
typedef int (*CPhidget_set_OnAttach_Handler_Fn)(CPhidgetHandle handle, Phidget21_Attach_Handler handler, void *user);
typedef int (*CPhidget_set_OnDetach_Handler_Fn)(CPhidgetHandle handle, Phidget21_Attach_Handler handler, void *user);
typedef int (*CPhidgetInterfaceKit_set_OnInputChange_Handler_Fn)(CPhidgetInterfaceKitHandle kit,
                                                                 Phidget21_Input_Handler handler, void *user);
typedef int (*CPhidget_open_Fn)(CPhidgetHandle handle, int serial);
typedef int (*CPhidgetInterfaceKit_getInputState_Fn)(CPhidgetInterfaceKitHandle kit, int index, int *state);
typedef int (*CPhidgetInterfaceKit_setOutputState_Fn)(CPhidgetInterfaceKitHandle kit, int index, int state);
typedef int (*CPhidgetInterfaceKit_getInputCount_Fn)(CPhidgetInterfaceKitHandle kit, int *count);
typedef int (*CPhidget_getSerialNumber_Fn)(CPhidgetHandle handle, int *serial);
typedef int (*CPhidget_getDeviceStatus_Fn)(CPhidgetHandle handle, int *attached);
typedef int (*CPhidget_getDeviceName_Fn)(CPhidgetHandle handle, const char **name);
typedef int (*CPhidget_getDeviceType_Fn)(CPhidgetHandle handle, const char **type);
typedef int (*CPhidget_getLibraryVersion_Fn)(const char **text);
typedef int (*CPhidget_getErrorDescription_Fn)(int code, const char **text);
typedef int (*CPhidget_close_Fn)(CPhidgetHandle handle);
typedef int (*CPhidget_delete_Fn)(CPhidgetHandle handle);
}

// Every call answers 0 on success.
constexpr int Phidget21_OK = 0;
// What CPhidget_getDeviceStatus reports for an attached device.
constexpr int Phidget21_Attached = 1;
// CPhidget_open's serial for "whichever kit is plugged in".
constexpr int Phidget21_Any_Serial = -1;
