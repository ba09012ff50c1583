#pragma once
// The event document: one race meeting as an XML document. The event's name and day, then
// 100 heats of 8 boxes. The file is ISO-8859-1 text without indentation; the program puts a
// CR LF text node after each element so that the file reads one element per line. Files of
// other tools are read in the encoding they declare (UTF-8 when they declare none) and
// written back as this program writes them, the declaration saying what the bytes are.
//
// Readers never raise: a missing element or an empty document reads as an empty text.
// Writers raise a failure when the element is missing, for the caller to report.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <memory>

namespace pugi {
class xml_document;
class xml_node;
} // namespace pugi

class Event_Document {
public:
  static constexpr std::int16_t Heat_Count = 100;
  static constexpr std::int16_t Box_Count = 8;

  Event_Document();
  ~Event_Document();
  Event_Document(const Event_Document &) = delete;
  Event_Document &operator=(const Event_Document &) = delete;

  // Replaces the content by the empty skeleton; the comment carries the creation time.
  void Create_Lurcher_Race_File(const QDateTime &created);
  // An empty document (no nodes at all).
  void Clear();
  bool Is_Empty() const;
  // Exchanges the contents of two documents.
  void Swap(Event_Document &other) noexcept { doc_.swap(other.doc_); }

  // Replaces the content by the file's. false (and an empty document) when the file cannot
  // be read, is in an encoding that cannot be read or is not well-formed XML; error then
  // says why.
  bool Load(const QString &path, QString *error = nullptr);
  // The document as it is written to a file, its declaration first: ISO-8859-1, with
  // characters beyond it as character references ("&#321;"); UTF-8 when such a character
  // stands where no reference can (a name, a comment). Empty when the document is.
  QByteArray Serialize() const;
  // Writes the document to a temporary file beside path and renames it over path, so
  // the old file stays whole until the new one is complete. Raises on failure.
  void Save(const QString &path) const;

  // Element texts by path ("//event_name"); empty when missing.
  QString Text(const QString &xpath) const;
  bool Exists(const QString &xpath) const;
  bool Has_Heat(std::int16_t heat) const { return Exists(QStringLiteral("//heat[@id='%1']").arg(heat)); }
  // Raises when the element does not exist.
  void Set_Text(const QString &xpath, const QString &value);

  QString Event_name() const { return Text(QStringLiteral("//event_name")); }
  QString Event_day() const { return Text(QStringLiteral("//event_day")); }
  QString Heat_Time(std::int16_t heat) const { return Text(Heat_Path(heat, "heat_time")); }
  QString Heat_Length(std::int16_t heat) const { return Text(Heat_Path(heat, "heat_length")); }
  QString Heat_Name(std::int16_t heat) const { return Text(Heat_Path(heat, "heat_name")); }
  QString Dog_Name(std::int16_t heat, std::int16_t box) const { return Text(Dog_Path(heat, box)); }

  void Set_Event_name(const QString &v) { Set_Text(QStringLiteral("//event_name"), v); }
  void Set_Event_day(const QString &v) { Set_Text(QStringLiteral("//event_day"), v); }
  void Set_Heat_Time(std::int16_t heat, const QString &v) { Set_Text(Heat_Path(heat, "heat_time"), v); }
  void Set_Heat_Length(std::int16_t heat, const QString &v) { Set_Text(Heat_Path(heat, "heat_length"), v); }
  void Set_Heat_Name(std::int16_t heat, const QString &v) { Set_Text(Heat_Path(heat, "heat_name"), v); }
  void Set_Dog_Name(std::int16_t heat, std::int16_t box, const QString &v) { Set_Text(Dog_Path(heat, box), v); }

  static QString Heat_Path(std::int16_t heat, const char *element);
  static QString Dog_Path(std::int16_t heat, std::int16_t box);
  // "XML file containing Lurcher event definition file, created at: " & the date-time.
  static QString Comment_Text(const QDateTime &created);

private:
  std::unique_ptr<pugi::xml_document> doc_;
};
