#include "app/Heat_File_Name.h"

namespace {
bool Separator(QChar c) { return c == QLatin1Char(':') || c == QLatin1Char('-') || c == QLatin1Char(','); }
} // namespace

namespace Heat_File_Name {
QString Clean_Path(const QString &path) {
  QString clean = path;
  for (qsizetype i = 2; i < clean.size(); ++i)
    if (Separator(clean.at(i)))
      clean[i] = QLatin1Char('_');
  return clean;
}

QString Clean_Name(const QString &name) {
  QString clean = name;
  for (qsizetype i = 0; i < clean.size(); ++i)
    if (Separator(clean.at(i)) || clean.at(i) == QLatin1Char('/'))
      clean[i] = QLatin1Char('_');
  clean.remove(QChar(0));
  return clean;
}

QString Build(const QString &folder, const QString &event_name, const QString &heat_number, const QDateTime &when) {
  QString base = folder;
  // A folder given with its trailing "/" (the root, say) gets no second one.
  if (!base.endsWith(QLatin1Char('/')))
    base += QLatin1Char('/');
  return base + Clean_Name(event_name + QLatin1Char('_') + heat_number + QLatin1Char('_') +
                           when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) + QStringLiteral(".qk3"));
}
} // namespace Heat_File_Name
