#pragma once
// The name of a new heat file: folder / event name _ heat number _ date and time .qk3, with
// ":", "-" and "," made "_" so the name is valid on every file system and sorts by time.
//
// Only the file's own name is cleaned. The folder is the one the operator chose and it
// exists as it is spelled: "/media/race-day" cleaned to "/media/race_day" would name a
// folder that is not there and no heat could be recorded.

#include <QDateTime>
#include <QString>

namespace Heat_File_Name {
// ":", "-" and "," from the third character on become "_"; the first two stay, as a drive
// letter and its colon would (a Linux path "/h..." keeps them harmlessly).
QString Clean_Path(const QString &path);

// Every ":", "-", "," and "/" becomes "_" (a "/" would name a folder that is not there);
// blanks and all other characters stay.
QString Clean_Name(const QString &name);

// The folder, then the cleaned name; "when" is written "yyyy-mm-dd hh:nn:ss" before cleaning.
QString Build(const QString &folder, const QString &event_name, const QString &heat_number, const QDateTime &when);
} // namespace Heat_File_Name
