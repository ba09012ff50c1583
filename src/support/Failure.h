#pragma once
// The failure contract: every procedure catches its own failure and reports it with its
// fixed location text ("Procedure of Kind Object"), a failure number and the line where
// it was raised, then returns normally.

#include <QString>
#include <cstdint>
#include <exception>
#include <source_location>
#include <string>

// The classic failure numbers the system uses.
enum Failure_Number : std::int16_t {
  Err_Invalid_Call = 5,
  Err_Overflow = 6,
  Err_Out_Of_Memory = 7,
  Err_Subscript = 9,
  Err_Division_By_Zero = 11,
  Err_Type_Mismatch = 13,
  Err_Bad_File_Name = 52,
  Err_File_Not_Found = 53,
  Err_Disk_Full = 61,
  Err_Permission_Denied = 70,
  Err_Path_Not_Found = 76,
  Err_Object_Required = 424,
  Err_Internal = 440,
};

class Lurcher_Failure : public std::exception {
public:
  Lurcher_Failure(std::int16_t number, QString description, std::int32_t line);
  const char *what() const noexcept override { return utf8_.c_str(); }
  std::int16_t Number() const { return number_; }
  const QString &Description() const { return description_; }
  std::int32_t Line() const { return line_; }

private:
  std::int16_t number_;
  QString description_;
  std::int32_t line_;
  std::string utf8_;
};

// Raises a failure carrying the caller's line.
[[noreturn]] void Raise(std::int16_t number, const QString &description,
                        std::source_location where = std::source_location::current());

// The standard description of a failure number ("Overflow", "Division by zero", ...).
QString Failure_Description(std::int16_t number);

// The fixed location text of a procedure: its name, " of ", the kind (Form, Module, Class,
// Sub), a blank and the object's name ("Form_Load of Form Form_Lurcher").
class Location_Of {
public:
  constexpr Location_Of(const char *kind, const char *object) : kind_(kind), object_(object) {}
  QString operator()(const char *procedure) const;

private:
  const char *kind_;
  const char *object_;
};

// Description, number and line of the exception being handled (call inside a catch).
struct Failure_Info {
  QString description;
  std::int16_t number = 0;
  std::int32_t line = 0;
};
Failure_Info Current_Failure();

// Reports the exception being handled to the error window (call inside a catch).
void Report_Current_Failure(const QString &location);

// Runs body; a failure inside it is reported with location and swallowed.
template <class Body> void Guarded(const QString &location, Body &&body) noexcept {
  try {
    body();
  } catch (...) {
    Report_Current_Failure(location);
  }
}

// As above for procedures with a result: fallback is returned after a failure.
template <class T, class Body> T Guarded(const QString &location, T fallback, Body &&body) noexcept {
  try {
    return body();
  } catch (...) {
    Report_Current_Failure(location);
    return fallback;
  }
}
