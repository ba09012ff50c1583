#include "events/Event_File_Name.h"

#include <QFile>

namespace {
bool Fits_A_File_Name(const QString &text) { return !text.contains(QLatin1Char('/')) && !text.contains(QChar(u'\0')); }

// The longest file name the usual Linux file systems hold is 255 bytes; a save first writes
// a temporary file named after the event file with 7 more characters.
constexpr qsizetype max_file_name_bytes = 255 - 7;
} // namespace

QString New_Event_File_Path(const QString &folder, const QString &event_name, const QString &event_day,
                            QString &problem) {
  problem.clear();
  if (!Fits_A_File_Name(event_name) || !Fits_A_File_Name(event_day)) {
    problem = QStringLiteral("The event name and day become the event file's name and may not hold \"/\" or NUL "
                             "characters!\r\nPlease change them before creating the event file.");
    return QString();
  }
  // Only the file's own name is changed: the folder has to stay as it is on this system.
  QString name = event_name + event_day + QStringLiteral(".xml");
  for (QChar &c : name)
    if (c == QLatin1Char(':') || c == QLatin1Char('-') || c == QLatin1Char(','))
      c = QLatin1Char('_');
  if (QFile::encodeName(name).size() > max_file_name_bytes) {
    problem = QStringLiteral("The event name and day are too long for a file name!\r\nPlease shorten them before "
                             "creating the event file.");
    return QString();
  }
  return folder + name;
}
