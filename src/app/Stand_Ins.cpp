#include "app/Stand_Ins.h"

namespace {
QWidget *lent_results_window = nullptr;
}

namespace Stand_In {
void Option_selected_camera_Click(std::int16_t /*index*/) {}

void Read_Goal_Lines() {}

void Handle_Open(const QString & /*file_name*/) {}

void Handle_Goal_Offset(std::int32_t /*keycode*/) {}

void Show_About_Window() {}

QWidget *Results_Window() { return lent_results_window; }

void Lend_Results_Window(QWidget *window) { lent_results_window = window; }
} // namespace Stand_In
