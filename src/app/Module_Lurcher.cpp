#include "app/Module_Lurcher.h"

#include "support/Failure.h"
#include "support/Globals.h"
#include "support/Settings_Store.h"
#include "support/System_Info.h"
#include "support/Trace.h"

#include <QStringList>

void Test_Compiled() {
  Trace_String(QStringLiteral("Test_Compiled start"));
  Globals::Trap_Errors = true;
}

void Init_Globals() {
  Get_Mem_Info();
  const App_Version_Info v = App_Version();
  Module_Lurcher::App_Version = QStringLiteral("%1.%2.%3").arg(v.major).arg(v.minor).arg(v.revision);
  Globals::Computer_Name = Get_Computer_Name();
  const QString folder = Get_AppData_Folder();
  if (folder.isEmpty()) // the store has told the operator why
    Raise(Err_Path_Not_Found, QStringLiteral("No application-data folder"));
  Globals::AppData_Folder = folder;
  Globals::Ini_File = folder + QLatin1Char('/') + Globals::App_Name + QStringLiteral(".ini");
  Get_CPU_Info();
  Check_Bitness();
}

QString Path_from_Command(const QString &text) {
  Trace_String(QStringLiteral("*Path_from_Command ") + text);
  QString path = text;
  if (path.startsWith(QLatin1Char('"')))
    path.remove(0, 1);
  if (path.endsWith(QLatin1Char('"')))
    path.chop(1);
  return path;
}

QString Command_Text(const QStringList &arguments) { return arguments.mid(1).join(QLatin1Char(' ')); }
