#include "support/Error_Handler.h"

#include "support/Failure.h"

#include "support/Globals.h"
#include "support/Non_dependant.h"
#include "support/Operator.h"
#include "support/System_Info.h"
#include "support/Trace.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <cstdio>

namespace {
Error_Presenter *presenter = nullptr;
} // namespace

void Set_Error_Presenter(Error_Presenter *p) { presenter = p; }

QStringList Error_Report_Lines(const QString &description, std::int16_t number, std::int32_t line,
                               const QString &location, const QString &extra) {
  const auto v = App_Version();
  QStringList lines;
  lines
      << Get_DateTime_Text() + QLatin1Char(' ') + Globals::App_Name +
             QStringLiteral(", Program version %1.%2.%3 rm0 Compile date: ").arg(v.major).arg(v.minor).arg(v.revision) +
             Compile_Date_Text() + QStringLiteral(" Filedate: ") + FileDate();
  lines << QStringLiteral("error description: %1, %2").arg(number).arg(description);
  lines << QStringLiteral("Location of error: %1, line: %2").arg(location).arg(line);
  lines << QStringLiteral("Routine specific information: ") + extra;
  lines << QStringLiteral("App.path = ") + QCoreApplication::applicationDirPath();
  lines << QStringLiteral("Program runtime = ") + Get_Program_Uptime();
  lines << QStringLiteral("PC name = ") + Globals::Computer_Name + QStringLiteral(", Windows version: ") +
               Globals::OS_Caption + QStringLiteral(" CPU = ") + Globals::CPU_Bitness + QStringLiteral(" OS = ") +
               Globals::OS_Bitness;
  return lines;
}

void QKR_Error_Handler(const QString &description, std::int16_t number, std::int32_t line, const QString &location,
                       const QString &extra) {
  try {
    Write_Trace(QStringLiteral("*QKR_error_handler1, %1,%2,%3").arg(number).arg(line).arg(location));
    const QStringList lines = Error_Report_Lines(description, number, line, location, extra);
    if (presenter) {
      presenter->Present_Error(lines);
    } else {
      const QByteArray text = (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toLocal8Bit();
      std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stderr);
    }
    Write_Trace(QStringLiteral("*QKR_error_handler5"));
  } catch (...) {
    // The reporter must never fail its caller: a plain message box, and if even that fails,
    // standard error.
    try {
      const Failure_Info f = Current_Failure();
      const QString text = QStringLiteral("*Error in Error_form %1 %2 %3")
                               .arg(f.description, QString::number(f.number), QString::number(f.line));
      try {
        Msg_Box(text);
      } catch (...) {
        std::fputs((text + QLatin1Char('\n')).toLocal8Bit().constData(), stderr);
      }
    } catch (...) {
      std::fputs("*Error in Error_form\n", stderr);
    }
  }
}

QString Error_Log_File() { return Globals::AppData_Folder + QStringLiteral("/Lurcher_errlog.txt"); }

bool Append_Error_Log(const QStringList &report_lines, const QString &comment) {
  QFile f(Error_Log_File());
  if (!f.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
    Msg_Box(QStringLiteral("Log error") + f.errorString() + QStringLiteral(" %1").arg(Err_Permission_Denied));
    return false;
  }
  QTextStream out(&f);
  out.setEncoding(QStringConverter::Latin1);
  for (const QString &l : report_lines) {
    if (l.isEmpty())
      break;
    out << l << '\n';
  }
  out << comment << '\n' << QString(44, QLatin1Char('*')) << '\n';
  out.flush();
  // The file buffers too: a full disk shows only when the bytes really go out.
  if (!f.flush() || f.error() != QFileDevice::NoError) {
    Msg_Box(QStringLiteral("Log error") + f.errorString() + QStringLiteral(" %1").arg(Err_Disk_Full));
    return false;
  }
  return true;
}
