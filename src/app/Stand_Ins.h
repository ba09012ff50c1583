#pragma once
// Stand-ins for the pieces the main window's start-up and shutdown call before those
// pieces exist. Each keeps the order of the sequence whole and does the least it can;
// the comment names what replaces it, and the replacement deletes the stand-in.

#include <QString>
#include <cstdint>

class QWidget;

namespace Stand_In {
// Replaced by the review: Option_selected_camera_Click (which goal line is drawn).
void Option_selected_camera_Click(std::int16_t index);
// Replaced by the review: Read_Goal_Lines.
void Read_Goal_Lines();
// Replaced by the review: Handle_Open, opening a heat file for review.
void Handle_Open(const QString &file_name);
// Replaced by the review: Handle_Goal_Offset (the displaced goal line).
void Handle_Goal_Offset(std::int32_t keycode);
// Replaced by the About window frmAbout (Help -> "About").
void Show_About_Window();
// Replaced by the results window Form_Hound_Results. Until then nothing is shown, unless
// a test lends a window to stand for it.
QWidget *Results_Window();
void Lend_Results_Window(QWidget *window);
} // namespace Stand_In
