#pragma once
// The start-up checks of the interface-kit library: the version test, the presence test
// and opening the main kit object. Without the library Lurcher runs with the Control Box
// disabled; a library of another version is refused and the program must end, which the
// main window does on a Failed report.

#include <QString>
#include <cstdint>
#include <memory>

class Interface_Kit;

enum class Phidget_Check {
  No_Library, // nothing to test: run without a kit (or with the simulated one)
  Verified,   // the library is the version Lurcher was built for
  Failed,     // wrong version or a broken library: the program ends
};

// The one version Lurcher drives.
bool Version_Supported(const QString &version_text);
QString Wrong_Version_Message(const QString &version_text);

// Verify_Phidgets: creates a temporary kit object and tests its version text, showing the
// version message on a mismatch.
Phidget_Check Verify_Phidgets();

// Check_For_Phidget: whether a kit object can be created; sets m_Phidget_Present.
bool Check_For_Phidget();

// The main kit object over the library (obj_Phidget), not yet open: connect its events
// (Kit_Controller) before Open_Kit. nullptr, reported, when the library fails.
std::unique_ptr<Interface_Kit> Create_Phidget_Kit();

// Opens a kit on whichever kit is plugged in, then waits wait_ms with the window alive
// while it attaches, and traces what it is. A failure is reported; false then.
bool Open_Kit(Interface_Kit &kit, std::int32_t wait_ms = 1000);
