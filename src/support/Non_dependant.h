#pragma once
// The utility module: time texts, waits, file helpers, small conversions. Several of these
// report their own failures with a plain message box instead of the error window.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstdint>

// Time and date
QString Display_Mill_Time(std::int32_t ms, bool trim);
QString Get_Date_Text();     // "YYYY-MM-DD"
QString Get_DateTime_Text(); // "yyyy-mm-dd hh:nn:ss"
// The system's general date form: the short date and the long time, with seconds and
// without a time zone ("23.05.18 12:18:54" in Germany). The locale is QLocale(), the system's.
QString General_Date_Text(const QDateTime &when);

// Waiting while the window stays alive
void Do_Sleep(std::int32_t ms, bool pump);
void Flush_DV_events();

// Files and folders ("/" separates folders)
bool FileExists(const QString &path);
bool Folder_Exists(const QString &path);
void Kill_File(const QString &path);
QString ParsePath(const QString &path, int part); // 16: folder with trailing "/", 0: file name
QString File_Suffix(const QString &path);
QString FileDate(); // date and time of the program's executable, as General_Date_Text
bool Is_Read_Only(const QString &path);
std::int64_t Get_File_Size(const QString &path);

// Small conversions
QString Bool_Text(bool b);
bool Text_Bool(const QString &text);
template <class T> T Max_Of(T a, T b) { return b > a ? b : a; }
long long Half_Up(long long n);
long long Round_To_Multiple(long long n, long long m);
QString FourCC_Text(std::uint32_t code);
void Text_To_Bytes(const QString &text, QByteArray &buffer);
QString Bytes_To_Text(const QByteArray &buffer);

bool DLL_Available(const QString &name);
