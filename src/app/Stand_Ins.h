#pragma once
// Stand-ins for the pieces the main window's start-up and shutdown call before those
// pieces exist. Each keeps the order of the sequence whole and does the least it can;
// the comment names what replaces it, and the replacement deletes the stand-in.

#include <QString>
#include <cstdint>

class QWidget;

namespace Stand_In {
// Replaced by the interface kit: Verify_Phidgets of the main window (library version test).
bool Verify_Phidgets();
// Replaced by the interface kit: Check_For_Phidget. Without a kit library nothing is present.
void Check_For_Phidget();
// Replaced by the interface kit: creating obj_Phidget, opening it and waiting for it, with
// its trace line. Called only when a kit library is present, which the stand-in above denies.
void Open_Phidget();
// Replaced by the interface kit: Check_Attached, the Control Box refresh. This is its
// no-library branch, the only one there is until then.
void Check_Attached();
// Replaced by the video source selection window Form_select_Video, loaded hidden.
void Load_Video_Source_Window();
// Replaced by the event registration window Form_event_registration, loaded hidden.
void Load_Event_Registration_Window();
// Replaced by Event_name of the event registration window. No event is loaded yet.
QString Event_name();
// Replaced by the heat preview: UpDown_heat_Change.
void UpDown_heat_Change(std::int32_t heat);
// Replaced by the settings window's Load_Compensations; the defaults stay until then.
void Load_Compensations();
// Replaced by the heat recording cycle: load_Capture_Folder.
void load_Capture_Folder();
// Replaced by the capture object cls_Capture_HDMI (obj_Capture_HDMI).
void Create_Capture_Object();
// Replaced by the review: Option_selected_camera_Click (which goal line is drawn).
void Option_selected_camera_Click(std::int16_t index);
// Replaced by the heat recording cycle: Read_Last_Crop with the crop-size menu.
void Read_Last_Crop();
// Replaced by the review: Read_Goal_Lines.
void Read_Goal_Lines();
// Replaced by the review: Handle_Open, opening a heat file for review.
void Handle_Open(const QString &file_name);
// Replaced by the review: Handle_Goal_Offset (the displaced goal line).
void Handle_Goal_Offset(std::int32_t keycode);
// Replaced by the heat recording cycle: Stop_Camera. Traces as the real one does.
void Stop_Camera();
// Replaced by the capture frame buffer: releasing the shared frame list.
void Release_Frame_Collection();
// Replaced by the About window frmAbout (Help -> "About").
void Show_About_Window();
// Replaced by the results window Form_Hound_Results. Until then nothing is shown, unless
// a test lends a window to stand for it.
QWidget *Results_Window();
void Lend_Results_Window(QWidget *window);
} // namespace Stand_In
