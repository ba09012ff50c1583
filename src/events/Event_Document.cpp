#include "events/Event_Document.h"

#include "events/Event_File_Encoding.h"

#include "support/Failure.h"
#include "support/Non_dependant.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <pugixml.hpp>

namespace {
constexpr const char *Line_End = "\r\n";

// Kept byte for byte: no end-of-line normalisation, and the CR LF text nodes stay.
constexpr unsigned Parse_Flags = pugi::parse_cdata | pugi::parse_escapes | pugi::parse_wconv_attribute |
                                 pugi::parse_ws_pcdata | pugi::parse_declaration | pugi::parse_comments;

constexpr const char *Box_Elements[] = {"dog_name",      "dog_weight",          "dog_heat_time",
                                        "dog_heat_rank", "dog_heat_split_time", "dog_heat_split_rank"};

struct Byte_Sink final : pugi::xml_writer {
  QByteArray bytes;
  void write(const void *data, size_t size) override {
    bytes.append(static_cast<const char *>(data), static_cast<qsizetype>(size));
  }
};

// Text beyond ISO-8859-1 (a Polish or Czech dog name, the euro sign) is written as a
// character reference, which every XML reader turns back into the character. Letting the
// writer replace it by "?" would change the name without a word.
QByteArray Latin1_With_References(const QByteArray &utf8) {
  QByteArray out;
  out.reserve(utf8.size());
  for (const char32_t c : QString::fromUtf8(utf8).toUcs4()) {
    if (c <= 0xFF)
      out.append(static_cast<char>(c));
    else
      out.append("&#").append(QByteArray::number(static_cast<quint32>(c))).append(';');
  }
  return out;
}

void Append_Line_End(pugi::xml_node parent) { parent.append_child(pugi::node_pcdata).set_value(Line_End); }

void Append_Element(pugi::xml_node parent, const char *name) {
  parent.append_child(name);
  Append_Line_End(parent);
}

void Append_Box(pugi::xml_node heat, int box) {
  pugi::xml_node node = heat.append_child("box");
  node.append_attribute("id").set_value(box);
  for (const char *name : Box_Elements)
    Append_Element(node, name);
}

void Append_Heat(pugi::xml_node root, int heat) {
  pugi::xml_node node = root.append_child("heat");
  node.append_attribute("id").set_value(heat);
  for (const char *name : {"heat_time", "heat_length", "heat_description", "heat_name"})
    Append_Element(node, name);
  for (int box = 1; box <= Event_Document::Box_Count; ++box)
    Append_Box(node, box);
}

pugi::xml_node Find(const pugi::xml_document &doc, const QString &xpath) {
  try {
    return doc.select_node(xpath.toUtf8().constData()).node();
  } catch (const pugi::xpath_exception &) {
    return pugi::xml_node();
  }
}

std::int16_t Save_Failure_Number(const QString &path, QFileDevice::FileError error) {
  if (!QFileInfo(QFileInfo(path).absolutePath()).isDir())
    return Err_Path_Not_Found;
  if (error == QFileDevice::ResourceError)
    return Err_Disk_Full;
  return Err_Permission_Denied;
}
} // namespace

Event_Document::Event_Document() : doc_(std::make_unique<pugi::xml_document>()) {}

Event_Document::~Event_Document() = default;

void Event_Document::Create_Lurcher_Race_File(const QDateTime &created) {
  doc_->reset();
  pugi::xml_node declaration = doc_->append_child(pugi::node_declaration);
  declaration.append_attribute("version").set_value("1.0");
  declaration.append_attribute("encoding").set_value("iso-8859-1");

  pugi::xml_node root = doc_->append_child("Lurcher_event_file");
  root.append_child(pugi::node_comment).set_value(Comment_Text(created).toUtf8().constData());
  Append_Line_End(root);
  for (const char *name : {"event_name", "event_date", "event_day", "event_venue"})
    Append_Element(root, name);
  for (int heat = 1; heat <= Heat_Count; ++heat)
    Append_Heat(root, heat);
}

void Event_Document::Clear() { doc_->reset(); }

bool Event_Document::Is_Empty() const { return !doc_->first_child(); }

bool Event_Document::Load(const QString &path, QString *error) {
  doc_->reset();
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    if (error)
      *error = file.errorString();
    return false;
  }
  const Event_File_Text text = Event_File_Text_Of(file.readAll());
  if (!text.problem.isEmpty()) {
    if (error)
      *error = text.problem;
    return false;
  }
  const pugi::xml_parse_result result =
      doc_->load_buffer(text.bytes.constData(), static_cast<size_t>(text.bytes.size()), Parse_Flags, text.encoding);
  if (!result) {
    doc_->reset();
    if (error)
      *error = QString::fromUtf8(result.description()) + QStringLiteral(" at byte ") + QString::number(result.offset);
    return false;
  }
  return true;
}

QByteArray Event_Document::Serialize() const {
  if (Is_Empty())
    return QByteArray();
  // ISO-8859-1 with references, unless a character beyond it stands where no reference can.
  const bool utf8 = Needs_UTF8(*doc_);
  Byte_Sink sink;
  pugi::xml_node declaration = doc_->first_child();
  if (declaration.type() != pugi::node_declaration)
    declaration = pugi::xml_node();
  // The declaration always names the encoding of the bytes that follow.
  sink.bytes.append(Declaration_Text(declaration, utf8)).append(Line_End);
  // Each top-level node on its own line.
  for (pugi::xml_node node = doc_->first_child(); node; node = node.next_sibling()) {
    if (node.type() == pugi::node_pcdata || node.type() == pugi::node_declaration)
      continue;
    node.print(sink, "", pugi::format_raw, pugi::encoding_utf8);
    sink.bytes.append(Line_End);
  }
  return utf8 ? sink.bytes : Latin1_With_References(sink.bytes);
}

void Event_Document::Save(const QString &path) const {
  const QByteArray bytes = Serialize();
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    Raise(Save_Failure_Number(path, file.error()), file.errorString() + QStringLiteral(": ") + path);
  if (file.write(bytes) != bytes.size()) {
    // Taken before cancelWriting, which puts its own "Writing canceled" error in their place.
    const QFileDevice::FileError error = file.error();
    const QString why = file.errorString();
    file.cancelWriting();
    Raise(Save_Failure_Number(path, error), why + QStringLiteral(": ") + path);
  }
  if (!file.commit())
    Raise(Save_Failure_Number(path, file.error()), file.errorString() + QStringLiteral(": ") + path);
}

QString Event_Document::Text(const QString &xpath) const {
  try {
    const pugi::xml_node node = Find(*doc_, xpath);
    return node ? QString::fromUtf8(node.text().get()) : QString();
  } catch (...) {
    return QString();
  }
}

bool Event_Document::Exists(const QString &xpath) const { return static_cast<bool>(Find(*doc_, xpath)); }

void Event_Document::Set_Text(const QString &xpath, const QString &value) {
  pugi::xml_node node = Find(*doc_, xpath);
  if (!node)
    Raise(Err_Object_Required, QStringLiteral("Element not found: ") + xpath);
  if (!node.text().set(value.toUtf8().constData()))
    Raise(Err_Out_Of_Memory, QStringLiteral("Cannot set the text of ") + xpath);
}

QString Event_Document::Heat_Path(std::int16_t heat, const char *element) {
  return QStringLiteral("//heat[@id='%1']/%2").arg(heat).arg(QLatin1String(element));
}

QString Event_Document::Dog_Path(std::int16_t heat, std::int16_t box) {
  return QStringLiteral("//heat[@id='%1']/box[@id='%2']/dog_name").arg(heat).arg(box);
}

QString Event_Document::Comment_Text(const QDateTime &created) {
  return QStringLiteral("XML file containing Lurcher event definition file, created at: ") + General_Date_Text(created);
}
