#include "app/Stand_Ins.h"

#include "app/Module_Lurcher.h"
#include "support/Trace.h"

namespace {
QWidget *lent_results_window = nullptr;
}

namespace Stand_In {
bool Verify_Phidgets() { return true; }

void Check_For_Phidget() { Module_Lurcher::m_Phidget_Present = false; }

void Open_Phidget() {}

void Check_Attached() {
  if (!Module_Lurcher::m_Phidget_Present)
    Trace_String(QStringLiteral("*Check_Attached m_Phidget_Present = False"));
}

void Load_Video_Source_Window() {}

void Load_Event_Registration_Window() {}

QString Event_name() { return QString(); }

void UpDown_heat_Change(std::int32_t /*heat*/) {}

void Load_Compensations() {}

void load_Capture_Folder() {}

void Create_Capture_Object() {}

void Option_selected_camera_Click(std::int16_t /*index*/) {}

void Read_Last_Crop() {}

void Read_Goal_Lines() {}

void Handle_Open(const QString & /*file_name*/) {}

void Handle_Goal_Offset(std::int32_t /*keycode*/) {}

void Stop_Camera() { Trace_String(QStringLiteral("*Stop_Camera")); }

void Release_Frame_Collection() {}

void Show_About_Window() {}

QWidget *Results_Window() { return lent_results_window; }

void Lend_Results_Window(QWidget *window) { lent_results_window = window; }
} // namespace Stand_In
