#pragma once
// An event file put together byte by byte from the file layout alone, without the program's
// own document code: what another tool (or an older version) writes must open.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <utility>

struct Event_File_Fixture {
  QString event_name;
  QString event_day;
  QString comment =
      QStringLiteral("XML file containing Lurcher event definition file, created at: 26.05.2018 09:15:00");
  // Texts by heat: heat_time, heat_length, heat_name; dog names by (heat, box).
  QMap<int, QString> heat_time, heat_length, heat_name;
  QMap<std::pair<int, int>, QString> dog_name;
  bool empty_tags_short = true; // <a/> (true) or <a></a>

  QByteArray Element(const char *name, const QString &text) const {
    if (text.isEmpty())
      return empty_tags_short ? QByteArray("<") + name + "/>" : QByteArray("<") + name + "></" + name + ">";
    return QByteArray("<") + name + ">" + text.toLatin1() + "</" + name + ">";
  }

  QByteArray Bytes() const {
    const QByteArray crlf("\r\n");
    QByteArray b = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<Lurcher_event_file>";
    b += "<!--" + comment.toLatin1() + "-->" + crlf;
    b += Element("event_name", event_name) + crlf;
    b += Element("event_date", QString()) + crlf;
    b += Element("event_day", event_day) + crlf;
    b += Element("event_venue", QString()) + crlf;
    for (int heat = 1; heat <= 100; ++heat) {
      b += "<heat id=\"" + QByteArray::number(heat) + "\">";
      b += Element("heat_time", heat_time.value(heat)) + crlf;
      b += Element("heat_length", heat_length.value(heat)) + crlf;
      b += Element("heat_description", QString()) + crlf;
      b += Element("heat_name", heat_name.value(heat)) + crlf;
      for (int box = 1; box <= 8; ++box) {
        b += "<box id=\"" + QByteArray::number(box) + "\">";
        b += Element("dog_name", dog_name.value({heat, box})) + crlf;
        for (const char *name :
             {"dog_weight", "dog_heat_time", "dog_heat_rank", "dog_heat_split_time", "dog_heat_split_rank"})
          b += Element(name, QString()) + crlf;
        b += "</box>";
      }
      b += "</heat>";
    }
    b += "</Lurcher_event_file>\r\n";
    return b;
  }
};
