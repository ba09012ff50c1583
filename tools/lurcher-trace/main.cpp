// lurcher-trace: shows the trace lines of Lurcher while it runs.

#include "Trace_Viewer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("lurcher-trace"));

  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Prints the trace lines of Lurcher to standard output as they arrive.\n"
                     "Start it before Lurcher: the program looks for a viewer once, at its first trace line."));
  parser.addHelpOption();
  parser.process(app);

  Trace_Viewer viewer(stdout);
  const QString name = QStringLiteral("LurcherTrace");
  if (!viewer.Listen(name)) {
    const QByteArray why = viewer.Error_Text().toLocal8Bit();
    std::fprintf(stderr, "lurcher-trace: cannot listen on %s: %s\n",
                 QFile::encodeName(QDir::tempPath() + QLatin1Char('/') + name).constData(), why.constData());
    return 1;
  }
  std::fprintf(stderr, "lurcher-trace: waiting for trace lines on %s\n",
               QFile::encodeName(QDir::tempPath() + QLatin1Char('/') + name).constData());
  return QCoreApplication::exec();
}
