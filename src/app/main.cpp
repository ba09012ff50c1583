// Until the main window arrives, the program proves its build: it opens its
// settings, writes a trace line and shows a window with the program's name.

#include "support/Clock.h"
#include "support/Globals.h"
#include "support/Trace.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLabel>
#include <QTimer>
#include <cstdio>

int main(int argc, char *argv[]) {
  // With no display, run offscreen rather than hang or abort.
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
      qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setApplicationName(Globals::App_Name);
  const auto v = App_Version();
  QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3").arg(v.major).arg(v.minor).arg(v.revision));

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Lurcher HDMI: photo finish and timing for dog races"));
  parser.addHelpOption();
  parser.addVersionOption();
  QCommandLineOption quit_option(QStringLiteral("quit-after"), QStringLiteral("Close after <ms> milliseconds."),
                                 QStringLiteral("ms"));
  parser.addOption(quit_option);
  parser.process(app);

  Globals::Load_Time = Tick();
  Trace_String(QStringLiteral("*Lurcher start"));
  QLabel window(QStringLiteral("Lurcher HDMI"));
  window.setWindowTitle(QStringLiteral("Lurcher HDMI"));
  window.resize(480, 200);
  window.show();
  const bool offscreen = QGuiApplication::platformName() == QLatin1String("offscreen");
  if (parser.isSet(quit_option) || offscreen) {
    const int ms = parser.isSet(quit_option) ? parser.value(quit_option).toInt() : 0;
    QTimer::singleShot(ms, &app, &QApplication::quit);
  }
  const int rc = app.exec();
  if (offscreen)
    std::printf("Lurcher %s started and closed (no display).\n", qPrintable(QApplication::applicationVersion()));
  return rc;
}
