#pragma once
// The utility module: time texts, waits, file helpers, small conversions. Several of these
// report their own failures with a plain message box instead of the error window.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <span>

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
bool Is_Odd(long long n);
int Odd_Even_Field(long long n); // 1 for an odd field number, 2 for an even one
long long Half_Up(long long n);
long long Round_To_Multiple(long long n, long long m);
QString FourCC_Text(std::uint32_t code);
void Text_To_Bytes(const QString &text, QByteArray &buffer);
QString Bytes_To_Text(const QByteArray &buffer);

// Collections and drawing

// Stops frame handling and says "Empty_Collection error <line>"; for Empty_Collection only.
void Empty_Collection_Failed() noexcept;

// Releases the elements first to last (frame records go in capture order). A failure stops
// frame handling rather than leave a half-released frame list in use.
template <class Collection> void Empty_Collection(Collection &collection) noexcept {
  try {
    while (!collection.empty())
      collection.erase(collection.begin());
  } catch (...) {
    Empty_Collection_Failed();
  }
}

// A DV frame starts with the bytes 31 and 7; anything else (a short buffer included) stops
// frame handling.
void Check_DV_Header(std::span<const std::uint8_t> buffer);

bool DLL_Available(const QString &name);
