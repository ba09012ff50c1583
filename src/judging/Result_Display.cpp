#include "judging/Result_Display.h"

#include "support/Checked.h"
#include "support/Non_dependant.h"

namespace {
const QString no_split_text = QStringLiteral("00,00");
const QString code_text = QStringLiteral("---,---");
const QString code_rank = QStringLiteral("---");
const QString crlf = QStringLiteral("\r\n");
const QChar tab = QLatin1Char('\t');

QString Shown_Time(std::int32_t stored, std::int32_t box_delay_ms) {
  return Display_Mill_Time(Checked_32(static_cast<long long>(stored) + box_delay_ms), true);
}

// A tab or line break inside a name would split its line or shift its columns wherever
// the export is pasted.
QString One_Field(QString text) {
  for (QChar &ch : text)
    if (ch == tab || ch == QLatin1Char('\r') || ch == QLatin1Char('\n'))
      ch = QLatin1Char(' ');
  return text;
}
} // namespace

Result_Heading Load_Result_Heading(const Heat_Results &results) {
  return {results.event, results.heat_id, results.heat_name, QStringLiteral("Started at: ") + results.start_datetime};
}

QString Box_Delay_Text(std::int32_t box_delay_ms) {
  if (box_delay_ms < 1)
    return {};
  return QStringLiteral("Box delay = %1ms").arg(box_delay_ms);
}

Result_Display Display_Result_Array(const Result_Array &table, const Result_Heading &heading,
                                    std::int32_t box_delay_ms) {
  Result_Display display;
  display.heading = heading;
  display.box_delay = Box_Delay_Text(box_delay_ms);
  int last_rank = 0;
  for (int i = 1; i <= heat_boxes; ++i) {
    const Result_Record &row = table(i);
    Result_Row_Texts &texts = display.rows[static_cast<std::size_t>(i - 1)];
    texts.box = row.Box;
    texts.name = row.Dog_Name;
    // A dead heat shares the place of the row above; in the first row that is place 0.
    texts.dead_heat = row.Dead_heat;
    if (row.Dead_heat) {
      texts.rank = QString::number(last_rank);
    } else {
      texts.rank = QString::number(i);
      last_rank = i;
    }
    texts.split = Is_Result_Code(row.Split_time) ? no_split_text : Shown_Time(row.Split_time, box_delay_ms);
    if (!Is_Result_Code(row.Heat_time)) {
      texts.time = Shown_Time(row.Heat_time, box_delay_ms);
      continue;
    }
    texts.time = code_text;
    texts.split = code_text;
    texts.rank = code_rank;
    if (row.Heat_time == code_disqualified)
      texts.time = QStringLiteral("DSQ");
    else if (row.Heat_time == code_did_not_finish)
      texts.time = QStringLiteral("DNF");
  }
  return display;
}

QString Export_Results_Text(const Result_Display &display) {
  QString text = QStringLiteral("Heat") + One_Field(display.heading.heat_id) + crlf;
  for (const Result_Row_Texts &row : display.rows) {
    if (row.name.isEmpty())
      continue;
    text += One_Field(row.rank) + tab + One_Field(row.name) + tab + row.time;
    if (!row.split.isEmpty() && row.split != no_split_text)
      text += tab + row.split;
    text += crlf;
  }
  return text;
}
