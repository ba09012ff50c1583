// Module_Lurcher's main: the application, the operator's dialogs, the main window's load,
// then the window until it closes.

#include "Qk3_Commands.h"
#include "app/Module_Lurcher.h"
#include "app/Phidget_Library.h"
#include "app/Simulated_Kit.h"
#include "app/ui/Form_Lurcher.h"
#include "app/ui/Race_Demo.h"
#include "support/Clock.h"
#include "support/Globals.h"
#include "support/Operator.h"
#include "support/Settings_Store.h"
#include "support/ui/QKR_error_form.h"
#include "support/ui/Qt_Dialog_Operator.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <cstdio>
#include <cstring>

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
  bool demo = false;
  bool simulate_kit = false;
};

bool Demo_Requested(int argc, char *argv[]) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--demo") == 0)
      return true;
  return false;
}

Command_Line Parse_Command_Line(const QApplication &app) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Lurcher HDMI: photo finish and timing for dog races"));
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption quit_option(QStringLiteral("quit-after"), QStringLiteral("Close after <ms> milliseconds."),
                                       QStringLiteral("ms"));
  parser.addOption(quit_option);
  const QCommandLineOption demo_option(
      QStringLiteral("demo"),
      QStringLiteral("Record one heat from the test track with the simulated kit, print where it is, and end."));
  parser.addOption(demo_option);
  const QCommandLineOption kit_option(QStringLiteral("simulate-kit"),
                                      QStringLiteral("Use the simulated interface kit instead of a real one."));
  parser.addOption(kit_option);
  parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("A heat file to open for review."));
  parser.process(app);
  Command_Line line;
  line.text = parser.positionalArguments().join(QLatin1Char(' '));
  if (parser.isSet(quit_option))
    line.quit_after = qMax(0, parser.value(quit_option).toInt());
  line.demo = parser.isSet(demo_option);
  line.simulate_kit = parser.isSet(kit_option) || line.demo;
  return line;
}
// The demo keeps its heat, settings and instance lock in a folder of its own, so it never
// touches the operator's settings and can run beside a running Lurcher.
void Use_Demo_Folder() {
  if (!qEnvironmentVariableIsEmpty("LURCHER_APPDATA"))
    return;
  QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/lurcher-demo-XXXXXX"));
  folder.setAutoRemove(false);
  if (folder.isValid())
    qputenv("LURCHER_APPDATA", QFile::encodeName(folder.path()));
}

int Print_Demo(const Race_Demo_Result &result) {
  QTextStream out(stdout);
  QTextStream err(stderr);
  if (!result.ok) {
    err << "lurcher --demo: " << result.failure << "\n";
    return 1;
  }
  out << "Heat file: " << result.heat_file << "\n";
  out << "Start tick: " << result.start_tick << "\n";
  out << "Test track truth (box, tick at the goal line, heat time ms):\n";
  for (const QString &line : result.truth.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
    const std::int32_t tick = line.section(QLatin1Char(' '), 1, 1).toInt();
    out << "  " << line << " " << Ticks_Between(result.start_tick, tick) << "\n";
  }
  out << "Frames captured: " << result.frames << "\n";
  out << "Append after capture end: " << QString::number(result.append_seconds, 'f', 3) << " s\n";
  out << "\nlurcher-qk3 info " << result.heat_file << "\n";
  out.flush();
  return Qk3_Info(result.heat_file, out, err);
}

int Run_Demo(Form_Lurcher &form) {
  const Race_Demo_Result result = Race_Demo(form).Run();
  const int rc = Print_Demo(result);
  form.close();
  return rc;
}

// No kit library: offer the simulated kit to whoever sits at the screen.
bool Offer_Simulated_Kit() {
  if (Unattended_Requested() || Phidget_Library::Load())
    return false;
  return Simulated_Kit::Offer();
}
} // namespace

int main(int argc, char *argv[]) {
  if (Demo_Requested(argc, argv)) {
    qputenv("LURCHER_UNATTENDED", "1");
    Use_Demo_Folder();
  }
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
  form.Simulate_Kit = line.simulate_kit || Offer_Simulated_Kit();
  if (line.demo) {
    Globals::AppData_Folder = Get_AppData_Folder();
    Globals::Ini_File = Globals::AppData_Folder + QLatin1Char('/') + Globals::App_Name + QStringLiteral(".ini");
    Race_Demo::Choose_Test_Track();
    line.text.clear();
  }
  form.Form_Load(line.text);
  if (form.Program_Ended()) {
    Remove_Error_Window();
    return form.Exit_Code();
  }
  form.show();
  if (line.demo) {
    const int rc = Run_Demo(form);
    Remove_Error_Window();
    return rc;
  }
  if (line.quit_after >= 0)
    QTimer::singleShot(line.quit_after, &form, [&form] { form.close(); });
  const int rc = QApplication::exec();
  Remove_Error_Window();
  if (no_display)
    std::printf("Lurcher %s started and closed (no display).\n", qPrintable(QApplication::applicationVersion()));
  return rc;
}
