#include "support/Failure.h"

#include "support/Error_Handler.h"

#include <new>
#include <stdexcept>

Lurcher_Failure::Lurcher_Failure(std::int16_t number, QString description, std::int32_t line)
    : number_(number), description_(std::move(description)), line_(line), utf8_(description_.toStdString()) {}

void Raise(std::int16_t number, const QString &description, std::source_location where) {
  throw Lurcher_Failure(number, description.isEmpty() ? Failure_Description(number) : description,
                        static_cast<std::int32_t>(where.line()));
}

QString Location_Of::operator()(const char *procedure) const {
  return QString::fromLatin1(procedure) + QStringLiteral(" of ") + QString::fromLatin1(kind_) + QLatin1Char(' ') +
         QString::fromLatin1(object_);
}

QString Failure_Description(std::int16_t number) {
  switch (number) {
  case Err_Invalid_Call:
    return QStringLiteral("Invalid procedure call or argument");
  case Err_Overflow:
    return QStringLiteral("Overflow");
  case Err_Out_Of_Memory:
    return QStringLiteral("Out of memory");
  case Err_Subscript:
    return QStringLiteral("Subscript out of range");
  case Err_Division_By_Zero:
    return QStringLiteral("Division by zero");
  case Err_Type_Mismatch:
    return QStringLiteral("Type mismatch");
  case Err_Bad_File_Name:
    return QStringLiteral("Bad file name or number");
  case Err_File_Not_Found:
    return QStringLiteral("File not found");
  case Err_Disk_Full:
    return QStringLiteral("Disk full");
  case Err_Permission_Denied:
    return QStringLiteral("Permission denied");
  case Err_Path_Not_Found:
    return QStringLiteral("Path not found");
  case Err_Object_Required:
    return QStringLiteral("Object required");
  default:
    return QStringLiteral("Application-defined or object-defined error");
  }
}

Failure_Info Current_Failure() {
  try {
    throw;
  } catch (const Lurcher_Failure &f) {
    return {f.Description(), f.Number(), f.Line()};
  } catch (const std::bad_alloc &) {
    return {Failure_Description(Err_Out_Of_Memory), Err_Out_Of_Memory, 0};
  } catch (const std::out_of_range &e) {
    return {QString::fromUtf8(e.what()), Err_Subscript, 0};
  } catch (const std::exception &e) {
    return {QString::fromUtf8(e.what()), Err_Internal, 0};
  } catch (...) {
    return {QStringLiteral("Unknown failure"), Err_Internal, 0};
  }
}

void Report_Current_Failure(const QString &location) {
  const Failure_Info f = Current_Failure();
  QKR_Error_Handler(f.description, f.number, f.line, location, QString());
}
