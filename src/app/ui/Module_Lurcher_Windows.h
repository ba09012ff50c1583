#pragma once
// The window work of Module_Lurcher: unloading every window at shutdown.

class QWidget;

// Traces, unloads every open window but keep, releases the shared frame list, traces.
void Stop_Lurcher(QWidget *keep);

// Closes every window except keep. A window that is destroyed on close goes; the others
// are hidden and stay with their owners, so nothing is destroyed twice.
void Unload_All_Windows(QWidget *keep);
