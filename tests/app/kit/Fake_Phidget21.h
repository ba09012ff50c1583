#pragma once
// The test controls of the fake libphidget21. Tests reach them with dlsym on the same
// library the program opened, so both sides see one kit.

extern "C" {
typedef void (*Fake_Phidget_Reset_Fn)();
typedef void (*Fake_Phidget_Set_Version_Fn)(const char *text);
typedef void (*Fake_Phidget_Fail_Create_Fn)(int code);
typedef void (*Fake_Phidget_Fail_Open_Fn)(int code);
typedef void (*Fake_Phidget_Attach_Fn)(int serial);
typedef void (*Fake_Phidget_Detach_Fn)();
typedef void (*Fake_Phidget_Set_Input_Fn)(int index, int state);
typedef int (*Fake_Phidget_Output_Fn)(int index);
typedef int (*Fake_Phidget_Kits_Alive_Fn)();
typedef int (*Fake_Phidget_Opened_Serial_Fn)();
}
