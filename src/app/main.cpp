// Module_Lurcher's main: the application, the operator's dialogs, the main window's load,
// then the window until it closes.

#include "app/Module_Lurcher.h"
#include "app/ui/Form_Lurcher.h"
#include "support/Globals.h"
#include "support/ui/QKR_error_form.h"
#include "support/ui/Qt_Dialog_Operator.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <cstdio>

namespace {
// Without a display nobody could see or close the window, nor answer a message: run
// offscreen, answer every prompt with its default and close after start-up rather than
// hang or abort.
bool Choose_Offscreen() {
  if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
      !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    return false;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("LURCHER_UNATTENDED", "1");
  return true;
}

struct Command_Line {
  QString text;        // the heat file, as the operator or the desktop gave it
  int quit_after = -1; // ms after start-up to close by itself; -1: stay
};

Command_Line Parse_Command_Line(const QApplication &app) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Lurcher HDMI: photo finish and timing for dog races"));
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption quit_option(QStringLiteral("quit-after"), QStringLiteral("Close after <ms> milliseconds."),
                                       QStringLiteral("ms"));
  parser.addOption(quit_option);
  parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("A heat file to open for review."));
  parser.process(app);
  Command_Line line;
  line.text = parser.positionalArguments().join(QLatin1Char(' '));
  if (parser.isSet(quit_option))
    line.quit_after = qMax(0, parser.value(quit_option).toInt());
  return line;
}
} // namespace

int main(int argc, char *argv[]) {
  const bool no_display = Choose_Offscreen();
  QApplication app(argc, argv);
  QApplication::setApplicationName(Globals::App_Name);
  QApplication::setApplicationVersion(
      QStringLiteral("%1.%2.%3").arg(App_Version().major).arg(App_Version().minor).arg(App_Version().revision));
  Command_Line line = Parse_Command_Line(app);
  if (no_display && line.quit_after < 0)
    line.quit_after = 0;
  Qt_Dialog_Operator::Install();
  Install_Error_Window();

  Form_Lurcher form;
  form.Form_Load(line.text);
  if (form.Program_Ended()) {
    Remove_Error_Window();
    return form.Exit_Code();
  }
  form.show();
  if (line.quit_after >= 0)
    QTimer::singleShot(line.quit_after, &form, [&form] { form.close(); });
  const int rc = QApplication::exec();
  Remove_Error_Window();
  if (no_display)
    std::printf("Lurcher %s started and closed (no display).\n", qPrintable(QApplication::applicationVersion()));
  return rc;
}
