// lurcher-qk3: looks into heat files for operators and support.
//   lurcher-qk3 info FILE                   the heat summary and the recording's data
//   lurcher-qk3 verify FILE                 checks every record; exit status 0 only when sound
//   lurcher-qk3 frame [--field] FILE N OUT.png   writes frame (or field) N as a picture
//   lurcher-qk3 header FILE                 prints the heat header's XML

#include "Qk3_Commands.h"
#include "support/Operator.h"

#include <QGuiApplication>
#include <QStringList>
#include <QTextStream>
#include <cstdio>

namespace {
// The platform's start-up talks about the desktop session ("XDG_RUNTIME_DIR not set" and
// the like), which means nothing to someone inspecting a heat file; only failures pass.
QtMessageHandler previous_handler = nullptr;
void Quiet_Start_Up(QtMsgType type, const QMessageLogContext &context, const QString &message) {
  if (type == QtCriticalMsg || type == QtFatalMsg)
    previous_handler(type, context, message);
}

int Usage(QTextStream &err) {
  err << "usage: lurcher-qk3 info FILE\n"
         "       lurcher-qk3 verify FILE\n"
         "       lurcher-qk3 frame [--field] FILE N OUT.png\n"
         "       lurcher-qk3 header FILE\n";
  return 2;
}
} // namespace

int main(int argc, char **argv) {
  // Drawing the "Corrupted video" picture needs fonts, not a screen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  previous_handler = qInstallMessageHandler(Quiet_Start_Up);
  QGuiApplication app(argc, argv);
  qInstallMessageHandler(previous_handler);
  Set_Operator(nullptr); // messages go to standard error
  QTextStream out(stdout), err(stderr);
  QStringList args = QCoreApplication::arguments().mid(1);
  if (args.isEmpty())
    return Usage(err);
  const QString command = args.takeFirst();
  if (command == QLatin1String("info") && args.size() == 1)
    return Qk3_Info(args[0], out, err);
  if (command == QLatin1String("verify") && args.size() == 1)
    return Qk3_Verify(args[0], out, err);
  if (command == QLatin1String("header") && args.size() == 1)
    return Qk3_Header(args[0], out, err);
  if (command == QLatin1String("frame")) {
    const bool field = !args.isEmpty() && args[0] == QLatin1String("--field");
    if (field)
      args.removeFirst();
    bool number_ok = false;
    const int number = args.size() == 3 ? args[1].toInt(&number_ok) : 0;
    if (!number_ok)
      return Usage(err);
    return Qk3_Frame(args[0], number, field, args[2], out, err);
  }
  return Usage(err);
}
