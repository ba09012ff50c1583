#pragma once
// Module_Lurcher: start-up and shutdown work that belongs to no window, and the
// process-wide values the start-up fills besides those in support/Globals.h.

#include <QString>
#include <QStringList>
#include <cstdint>

namespace Module_Lurcher {
inline QString App_Version;            // "major.minor.revision", filled by Init_Globals
inline bool m_Phidget_Present = false; // the interface-kit library can be used
// Timing compensations in ms, loaded from the settings by the main window.
inline std::int32_t Goal_Compensation = 200;
inline std::int32_t Split_Compensation = 200;
inline std::int32_t Box_Delay = 0;
} // namespace Module_Lurcher

// Traces "Test_Compiled start" and arms the failure contract.
void Test_Compiled();

// Fills the process-wide values: memory, name, version, computer, application-data folder,
// settings file, then processor and address widths.
void Init_Globals();

// The start-up path from the program's command-line text: one leading and one trailing
// double quote removed.
QString Path_from_Command(const QString &text);

// The command-line text: the arguments after the program, joined by blanks.
QString Command_Text(const QStringList &arguments);

// Makes heat files (".qk2", ".qk3") open with this program on the desktop: a MIME type and
// a desktop entry under the user's data folder, then the desktop's caches brought up to date.
void Associate_Extension();

// Where Associate_Extension writes: $XDG_DATA_HOME, else ~/.local/share.
QString User_Data_Home();
// The MIME type of heat files and the files the association writes under User_Data_Home().
inline const QString Heat_Mime_Type = QStringLiteral("application/x-lurcher-heat");
QString Mime_Package_File(const QString &data_home);
QString Desktop_Entry_File(const QString &data_home);
// Their contents; the desktop entry starts program_path with the file.
QByteArray Mime_Package_Text();
QByteArray Desktop_Entry_Text(const QString &program_path);
