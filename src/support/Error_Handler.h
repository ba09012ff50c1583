#pragma once
// Reporting a failure: QKR_Error_Handler traces it, builds the report lines and hands them
// to the installed presenter (the error window in the program). Without a presenter
// (command-line tools, core tests) the report goes to standard error.

#include <QString>
#include <QStringList>
#include <cstdint>

class Error_Presenter {
public:
  virtual ~Error_Presenter() = default;
  // Shows the report without waiting for the operator. report_lines holds the lines up
  // to the first empty one.
  virtual void Present_Error(const QStringList &report_lines) = 0;
};

// nullptr: report to standard error. The caller keeps ownership.
void Set_Error_Presenter(Error_Presenter *presenter);

void QKR_Error_Handler(const QString &description, std::int16_t number, std::int32_t line, const QString &location,
                       const QString &extra);

// The seven report lines of a failure (the first line carries the date-time of now).
QStringList Error_Report_Lines(const QString &description, std::int16_t number, std::int32_t line,
                               const QString &location, const QString &extra);

// The error log file: AppData_Folder + "/Lurcher_errlog.txt".
QString Error_Log_File();
// Appends the report lines, the comment and a line of 44 stars. false when it cannot write
// (the message "Log error..." has then been shown).
bool Append_Error_Log(const QStringList &report_lines, const QString &comment);
