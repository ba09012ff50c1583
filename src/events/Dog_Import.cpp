#include "events/Dog_Import.h"

#include "events/Event_Document.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

namespace {
const QString Start_Word = QStringLiteral("Start");

QString Line_Problem(int line_number, const QString &line, const QString &why) {
  return Invalid_Import_Text + QStringLiteral("\r\nLine %1: \"%2\"\r\n").arg(QString::number(line_number), line) + why;
}

// The heat number of a "Start" line: the digits right after "Start" and any blanks, up to the
// first character that is no digit ("Start 12-480m" is heat 12). false when no digit follows.
// Reading only characters 6 to 8 would turn "Start 100" into 10 and "Start   5" into nothing.
bool Start_Heat(const QString &line, std::int16_t &heat) {
  static const QRegularExpression number(QStringLiteral("^[ \\t]*([0-9]+)"));
  const qsizetype start = line.indexOf(Start_Word);
  const QRegularExpressionMatch match = number.match(line.mid(start + Start_Word.size()));
  if (start < 0 || !match.hasMatch())
    return false;
  QString digits = match.captured(1);
  while (digits.size() > 1 && digits.front() == QLatin1Char('0'))
    digits.remove(0, 1);
  // Four digits and more are beyond every heat, like 0; both are refused by the range check.
  heat = digits.size() > 3 ? std::int16_t{0} : static_cast<std::int16_t>(digits.toInt());
  return true;
}

bool Heat_In_Range(std::int16_t heat) { return heat >= 1 && heat <= Event_Document::Heat_Count; }

// The system's text is UTF-8; a file that is not valid UTF-8 was written in Latin-1, where
// every byte is a character of its own.
QString Text_Of(const QByteArray &bytes) {
  QStringDecoder utf8(QStringConverter::Utf8);
  const QString text = utf8(bytes);
  return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

QStringList Lines_Of(const QByteArray &bytes) {
  QString text = Text_Of(bytes);
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
    if (line.contains(Start_Word)) {
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
