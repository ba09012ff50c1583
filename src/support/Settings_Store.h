#pragma once
// The settings store: one INI file (Ini_File) in the application-data folder, read when a
// setting is needed and written the moment it changes. Section and key names match without
// regard to case. The text is UTF-8, the system's encoding; a file that is not UTF-8 (one
// an older version wrote in Latin-1) is read as Latin-1. Lines the program does not
// understand (comments, hand-written notes, broken lines) survive every write, and each
// write replaces the file atomically, so a crash never leaves half a settings file behind.

#include <QSize>
#include <QString>
#include <cstdint>
#include <optional>

// The value under section/key, at most 511 characters. Empty or missing: default, or "N/A"
// when default is empty. An empty file path shows "Ini_file_path is empty!" and returns "".
QString Read_INI(const QString &section, const QString &key, const QString &file, const QString &default_value);

// Writes value under section/key, creating file, section and key as needed. 1 when written;
// 0 after the " QKR Error" message, with the file as it was.
int Write_INI(const QString &section, const QString &key, const QString &value, const QString &file);

// $LURCHER_APPDATA, else $XDG_DATA_HOME/Lurcher_HDMI (~/.local/share/Lurcher_HDMI), created
// when missing, without a trailing "/". Empty after "Error in AppuserData module".
QString Get_AppData_Folder();

// Window positions in twips, section "windowpos", key = the window's name.
void Store_Form_Pos(const QString &name, std::int32_t left, std::int32_t top, std::int16_t width, std::int16_t height);
// Changes only what the stored entry gives; the caller's values act as defaults.
void Get_Form_Pos(const QString &name, std::int16_t &left, std::int16_t &top, std::int16_t &width,
                  std::int16_t &height);

// The primary screen's size in twips, or nullopt when there is no screen (no limit).
std::optional<QSize> Screen_Size_Twips();
// Tests fix the screen size Get_Form_Pos checks against (nullopt: no screen) and go back
// to the real screen afterwards.
void Set_Screen_Size_Twips(std::optional<QSize> size);
void Use_Real_Screen_Size();
