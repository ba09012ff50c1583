#pragma once
// Which computer this is: name, processor, memory, operating system and the two address
// widths, gathered once at start-up into Globals, and the two uptimes. The texts are
// informational only; nothing branches on them.

#include <QString>
#include <cstdint>
#include <optional>

// Where the facts come from. Tests point root at a fixture tree holding proc/, sys/ and etc/
// and fix the host name and machine; on the real system the calls of the kernel fill in.
struct System_Info_Sources {
  QString root = QStringLiteral("/");
  std::optional<QString> host_name; // instead of gethostname
  std::optional<QString> machine;   // instead of uname's machine ("x86_64"); empty: uname fails
};

void Set_System_Info_Sources(const System_Info_Sources &sources);
const System_Info_Sources &Current_System_Info_Sources();

QString Get_Computer_Name();
void Get_CPU_Info(); // sets Globals::CPU_Info ("CPU= 8664 4 core 3.4GHz") and Globals::OS_Caption
void Get_Mem_Info(); // sets Globals::Mem_Info from Get_Mem_Tot_Phys
// Sets Globals::OS_Bitness and CPU_Bitness; the settings file caches them.
void Check_Bitness();
QString Get_OS_Caption(); // PRETTY_NAME of os-release, or "Unknown OS"
QString GetOsBitness();   // "64" or "32"; empty after a reported failure
QString Get_CPU_Bitness();

QString Format_Byte_Size(std::int64_t bytes); // "1023 bytes", "1.5 KB", "7.98 GB"
QString Get_Mem_Tot_Phys();                   // "7.98 GB (45% Free)"

QString Get_Computer_Uptime(); // " 2:03:00,00": hours restart at each full day
QString Get_Program_Uptime();  // since Globals::Load_Time
