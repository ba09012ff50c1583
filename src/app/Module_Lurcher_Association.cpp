// Associate_Extension on the freedesktop desktop: the per-user MIME database and
// applications folder stand for the machine's file-type registry.

#include "app/Module_Lurcher.h"

#include "support/Failure.h"
#include "support/Operator.h"
#include "support/Trace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace {
const QString location = QStringLiteral("Associate_Extension of Module Module_Lurcher");
constexpr int tool_wait_ms = 10000;

// Quotes a program path for a desktop entry's Exec key: inside double quotes the
// characters " ` $ \ take a backslash; the key file then doubles every backslash.
QString Exec_Quoted(const QString &path) {
  QString quoted;
  for (const QChar c : path) {
    if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
      quoted += QLatin1Char('\\');
    quoted += c;
  }
  quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
  quoted.replace(QLatin1Char('%'), QStringLiteral("%%"));
  return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool Make_Folder(const QString &folder) {
  if (QDir().mkpath(folder))
    return true;
  Msg_Box(QStringLiteral("Error: Creating Key!"));
  return false;
}

bool Write_Value(const QString &file, const QByteArray &text) {
  QSaveFile out(file);
  if (out.open(QIODevice::WriteOnly) && out.write(text) == text.size() && out.commit())
    return true;
  Msg_Box(QStringLiteral("Error Setting String Value!"));
  return false;
}

// The desktop reads its caches, so they are rebuilt when the tool is installed.
void Run_Update_Tool(const QString &tool, const QString &folder) {
  const QString program = QStandardPaths::findExecutable(tool);
  if (program.isEmpty()) {
    Trace_String(QStringLiteral("*Associate_Extension, no ") + tool);
    return;
  }
  QProcess run;
  run.setProcessChannelMode(QProcess::MergedChannels);
  run.start(program, {folder});
  if (!run.waitForFinished(tool_wait_ms) || run.exitStatus() != QProcess::NormalExit || run.exitCode() != 0) {
    run.kill();
    run.waitForFinished(1000);
    Trace_String(QStringLiteral("*Associate_Extension, ") + tool + QStringLiteral(" failed: ") +
                 QString::fromLocal8Bit(run.readAll()).trimmed());
  }
}
} // namespace

QString User_Data_Home() {
  const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
  if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
    return QDir::cleanPath(xdg);
  return QDir::homePath() + QStringLiteral("/.local/share");
}

QString Mime_Package_File(const QString &data_home) { return data_home + QStringLiteral("/mime/packages/lurcher.xml"); }

QString Desktop_Entry_File(const QString &data_home) {
  return data_home + QStringLiteral("/applications/lurcher.desktop");
}

QByteArray Mime_Package_Text() {
  return QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                           "  <mime-type type=\"application/x-lurcher-heat\">\n"
                           "    <comment>Lurcher data file</comment>\n"
                           "    <icon name=\"lurcher\"/>\n"
                           "    <glob pattern=\"*.qk3\"/>\n"
                           "    <glob pattern=\"*.qk2\"/>\n"
                           "  </mime-type>\n"
                           "</mime-info>\n");
}

QByteArray Desktop_Entry_Text(const QString &program_path) {
  const QString text = QStringLiteral("[Desktop Entry]\n"
                                      "Type=Application\n"
                                      "Name=Lurcher HDMI\n"
                                      "Comment=Photo finish and timing for dog races\n"
                                      "Exec=%1 %f\n"
                                      "Icon=lurcher\n"
                                      "Terminal=false\n"
                                      "Categories=AudioVideo;Video;\n"
                                      "MimeType=%2;\n")
                           .arg(Exec_Quoted(program_path), Heat_Mime_Type);
  return text.toUtf8();
}

void Associate_Extension() {
  Guarded(location, [] {
    const QString home = User_Data_Home();
    const QString mime_file = Mime_Package_File(home);
    const QString desktop_file = Desktop_Entry_File(home);
    // A step that fails has told the operator; claiming success after it would not be true.
    if (!Make_Folder(QFileInfo(mime_file).path()) || !Write_Value(mime_file, Mime_Package_Text()))
      return;
    if (!Make_Folder(QFileInfo(desktop_file).path()) ||
        !Write_Value(desktop_file, Desktop_Entry_Text(QCoreApplication::applicationFilePath())))
      return;
    Run_Update_Tool(QStringLiteral("update-mime-database"), home + QStringLiteral("/mime"));
    Run_Update_Tool(QStringLiteral("update-desktop-database"), home + QStringLiteral("/applications"));
    Msg_Box(QStringLiteral("Associated the file extension .qk2 with this application!"));
  });
}
