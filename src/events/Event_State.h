#pragma once
// The state of the open event, kept in one place: which event file is open and whether it
// holds a usable event. The registration window changes it; the main window and the heat
// preview read it.

#include <QString>

namespace Event_State {
// Full path of the current event file; empty when none.
inline QString Event_File;
// An event file is loaded and usable.
inline bool Event_Present = false;
} // namespace Event_State

// false, with Event_Present cleared, for an empty file; a missing file is reported as a
// failure and gives false. The content is not examined.
bool Validate_XML_file(const QString &path);
