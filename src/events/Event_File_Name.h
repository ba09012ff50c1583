#pragma once
// Where event files live and how a new one is named: the event folder, then the event name
// and day as typed, then ".xml". The name and day become part of a file name, so they may
// not hold a folder separator or a NUL; the characters ":", "-" and "," of the name become
// "_" (the file names the clubs already have are built that way).

#include <QString>

// The path of a new event file in folder (with its trailing "/"). Empty, with problem set to
// the message for the operator, when the name or day cannot be part of a file name (a "/",
// a NUL, or too long for the file system).
QString New_Event_File_Path(const QString &folder, const QString &event_name, const QString &event_day,
                            QString &problem);
