#pragma once
// Process-wide values shared by every subsystem. The main window's start-up fills them;
// the support services read them (log folder, report lines, trace mode mark).

#include <QString>
#include <cstdint>

namespace Globals {
inline const QString App_Name = QStringLiteral("Lurcher_HDMI");
inline QString AppData_Folder; // without trailing "/"
inline QString Ini_File;       // AppData_Folder + "/" + App_Name + ".ini"
inline QString Event_Folder;
inline std::int32_t Load_Time = 0;    // tick at the start of the main window's load
inline std::int32_t Startup_Time = 0; // tick when start-up finished
inline bool Closing = false;
inline bool Stop_Frame_Events = false;
inline bool Trap_Errors = true; // on in every build

// Gathered once at start-up by the system-information module.
inline QString Computer_Name;
inline QString CPU_Info;
inline QString Mem_Info;
inline QString OS_Caption;
inline QString OS_Bitness;
inline QString CPU_Bitness;
} // namespace Globals

// Program version, from the build.
struct App_Version_Info {
  int major;
  int minor;
  int revision;
};
App_Version_Info App_Version();
QString Compile_Date_Text(); // "yyyy-mm-dd hh:nn" of this build
