#include "support/Globals.h"

#include "support/Build_Info.h"

#include <QDate>
#include <QLocale>
#include <QTime>

App_Version_Info App_Version() { return {LURCHER_VERSION_MAJOR, LURCHER_VERSION_MINOR, LURCHER_VERSION_PATCH}; }

QString Compile_Date_Text() {
  // __DATE__ is "Mmm dd yyyy", __TIME__ "hh:mm:ss".
  const QDate d = QLocale::c().toDate(QString::fromLatin1(__DATE__).simplified(), QStringLiteral("MMM d yyyy"));
  const QTime t = QTime::fromString(QString::fromLatin1(__TIME__), QStringLiteral("hh:mm:ss"));
  return d.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char(' ') + t.toString(QStringLiteral("hh:mm"));
}
