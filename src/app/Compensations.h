#pragma once
// The timing compensations: delays of the timing chain in milliseconds, kept in the
// settings file (section "Settings") and loaded into Module_Lurcher's process-wide values.
// The switches of the settings window live beside them.

#include <QString>
#include <cstdint>

namespace Compensations {
inline const QString Section = QStringLiteral("Settings");
inline const QString Key_Goal = QStringLiteral("goal_compensation");
inline const QString Key_Split = QStringLiteral("split_compensation");
inline const QString Key_Box_Delay = QStringLiteral("box_delay");
inline const QString Key_Box_Delay_Written = QStringLiteral("Box_delay");
inline const QString Default_Goal = QStringLiteral("200");
inline const QString Default_Split = QStringLiteral("200");
inline const QString Default_Box_Delay = QStringLiteral("0");

inline const QString Key_Auto_Init = QStringLiteral("auto_init");
inline const QString Key_Open_After_Finish = QStringLiteral("open_after_finish");
inline const QString Key_Show_Printer_Dialog = QStringLiteral("show_printer_dialog");

// A stored compensation as an integer: blanks around it and a sign are allowed; anything
// else is a type mismatch (13), a value beyond 32 bits an overflow (6).
std::int32_t Compensation_Value(const QString &text);

// A switch setting ("0"/"1"); anything but an integer other than 0 reads as off.
bool Switch_On(const QString &key);
void Write_Switch(const QString &key, bool on);
} // namespace Compensations

// Reads "split_compensation", "goal_compensation" and "box_delay" in that order. A value
// that is not an integer is reported; those read before it are kept, it and the later ones
// keep their previous contents.
void Load_Compensations();
