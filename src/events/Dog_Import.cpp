#include "events/Dog_Import.h"

#include "events/Event_Document.h"

#include <QFile>
#include <QRegularExpression>

namespace {
QString Line_Problem(int line_number, const QString &line, const QString &why) {
  return Invalid_Import_Text + QStringLiteral("\r\nLine %1: \"%2\"\r\n").arg(QString::number(line_number), line) + why;
}

// The heat number of a "Start" line: the number from character 6 on, after any blanks, up to
// the end of the line or a blank. Reading only characters 6 to 8 would turn "Start 100" into 10.
bool Start_Heat(const QString &line, std::int16_t &heat) {
  static const QRegularExpression number(QStringLiteral("^\\s*([0-9]{1,3})(\\s|$)"));
  const QRegularExpressionMatch match = number.match(line.mid(5));
  if (!match.hasMatch())
    return false;
  heat = static_cast<std::int16_t>(match.captured(1).toInt());
  return true;
}

bool Heat_In_Range(std::int16_t heat) { return heat >= 1 && heat <= Event_Document::Heat_Count; }

QStringList Lines_Of(const QByteArray &bytes) {
  QString text = QString::fromLatin1(bytes);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  QStringList lines = text.split(QLatin1Char('\n'));
  if (!lines.isEmpty() && lines.last().isEmpty())
    lines.removeLast(); // the line end of the last line opens no further line
  return lines;
}
} // namespace

Dog_Import_Plan Plan_Dog_Import(const QByteArray &bytes) {
  Dog_Import_Plan plan;
  if (bytes.contains('\0')) {
    plan.problem = Invalid_Import_Text + QStringLiteral("\r\nThis is not a text file.");
    return plan;
  }
  std::int16_t heat = 0;
  std::int16_t box = 0;
  const QStringList lines = Lines_Of(bytes);
  for (int i = 0; i < lines.size(); ++i) {
    const QString &line = lines[i];
    if (line.contains(QStringLiteral("Start"))) {
      if (!Start_Heat(line, heat) || !Heat_In_Range(heat)) {
        plan.problem =
            Line_Problem(i + 1, line, QStringLiteral("\"Start\" must be followed by a heat number from 1 to 100."));
        return plan;
      }
      box = 0;
      plan.steps.push_back({Dog_Import_Step::Kind::Start_Heat, heat, 0, QString()});
      continue;
    }
    if (!Heat_In_Range(heat)) {
      // A dog before any "Start" line: the file is not laid out as an import file.
      plan.problem = Invalid_Import_Text;
      return plan;
    }
    ++box;
    const QString name = line.trimmed();
    if (name.isEmpty())
      continue;
    if (box > Event_Document::Box_Count) {
      plan.problem = Line_Problem(i + 1, line, QStringLiteral("A heat has no more than 8 boxes."));
      return plan;
    }
    plan.steps.push_back({Dog_Import_Step::Kind::Dog_Name, heat, box, name});
  }
  return plan;
}

Dog_Import_Plan Read_Dog_Import(const QString &path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    Dog_Import_Plan plan;
    plan.problem =
        QStringLiteral("Cannot read the import file!\r\n") + path + QStringLiteral("\r\n") + file.errorString();
    return plan;
  }
  return Plan_Dog_Import(file.readAll());
}
