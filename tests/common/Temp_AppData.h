#pragma once
// A fresh application-data folder for one test: LURCHER_APPDATA, AppData_Folder and
// Ini_File point into it while the object lives.

#include <QString>
#include <QTemporaryDir>

class Temp_AppData {
public:
  Temp_AppData();
  ~Temp_AppData();
  Temp_AppData(const Temp_AppData &) = delete;
  Temp_AppData &operator=(const Temp_AppData &) = delete;

  QString Path() const { return dir_.path(); }
  QString File(const QString &name) const { return dir_.filePath(name); }
  // Writes a file (Latin-1) into the folder and returns its path.
  QString Write(const QString &name, const QByteArray &bytes) const;
  QByteArray Read(const QString &name) const;

private:
  QTemporaryDir dir_;
  QByteArray saved_env_;
  QString saved_folder_, saved_ini_;
};

// Makes sure nothing a test runs can reach the real home folder.
void Refuse_Real_Home();
