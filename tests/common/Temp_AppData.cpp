#include "common/Temp_AppData.h"

#include "support/Globals.h"

#include <QDir>
#include <QFile>
#include <cstdlib>

Temp_AppData::Temp_AppData()
    : saved_env_(qgetenv("LURCHER_APPDATA")), saved_folder_(Globals::AppData_Folder), saved_ini_(Globals::Ini_File) {
  qputenv("LURCHER_APPDATA", QFile::encodeName(dir_.path()));
  Globals::AppData_Folder = dir_.path();
  Globals::Ini_File = dir_.filePath(Globals::App_Name + QStringLiteral(".ini"));
}

Temp_AppData::~Temp_AppData() {
  qputenv("LURCHER_APPDATA", saved_env_);
  Globals::AppData_Folder = saved_folder_;
  Globals::Ini_File = saved_ini_;
}

QString Temp_AppData::Write(const QString &name, const QByteArray &bytes) const {
  QFile f(File(name));
  if (f.open(QIODevice::WriteOnly))
    f.write(bytes);
  return f.fileName();
}

QByteArray Temp_AppData::Read(const QString &name) const {
  QFile f(File(name));
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Refuse_Real_Home() {
  // ctest sets HOME and the XDG folders to a sandbox; a test run by hand gets one here.
  static QTemporaryDir sandbox;
  if (qEnvironmentVariableIsEmpty("LURCHER_APPDATA")) {
    qputenv("LURCHER_APPDATA", QFile::encodeName(sandbox.filePath(QStringLiteral("appdata"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(sandbox.filePath(QStringLiteral("data"))));
    qputenv("HOME", QFile::encodeName(sandbox.path()));
  }
  QDir().mkpath(qEnvironmentVariable("LURCHER_APPDATA"));
  Globals::AppData_Folder = qEnvironmentVariable("LURCHER_APPDATA");
  Globals::Ini_File = Globals::AppData_Folder + QLatin1Char('/') + Globals::App_Name + QStringLiteral(".ini");
}
