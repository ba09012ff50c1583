#include "recording/Cls_XML_header.h"

#include "recording/Header_Layout.h"
#include "support/Checked.h"
#include "support/Clock.h"
#include "support/Failure.h"
#include "support/Globals.h"
#include "support/Non_dependant.h"
#include "support/Operator.h"
#include "support/System_Info.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <pugixml.hpp>

namespace {
const QString Location_Create = QStringLiteral("Create_Header of Class Cls_XML_header");
const QString Location_Serialize = QStringLiteral("DOM_serialize of Class Cls_XML_header");
const QString Location_Dump = QStringLiteral("Dump_XML_to_File of Class Cls_XML_header");

// CR LF after the opening tag and after each child keeps one element per line.
constexpr const char *Line_End = "\r\n";

// The text is kept byte for byte on a round trip: line ends stay CR LF (no end-of-line
// normalisation) and the CR LF text nodes between elements are kept.
constexpr unsigned Parse_Flags = pugi::parse_cdata | pugi::parse_escapes | pugi::parse_wconv_attribute |
                                 pugi::parse_ws_pcdata | pugi::parse_declaration | pugi::parse_comments;
constexpr unsigned Print_Flags = pugi::format_raw | pugi::format_no_empty_element_tags;

struct Byte_Sink final : pugi::xml_writer {
  QByteArray bytes;
  void write(const void *data, size_t size) override {
    bytes.append(static_cast<const char *>(data), static_cast<qsizetype>(size));
  }
};

// The header is stored in ISO-8859-1. A character beyond it (a Polish or Czech dog name) is
// written as a character reference, which the reader turns back into the character; the
// Latin-1 printer would store "?" instead and lose the name.
QByteArray Latin1_With_References(const QString &text) {
  QByteArray out;
  out.reserve(text.size());
  for (const char32_t c : text.toUcs4()) {
    if (c <= 0xFF)
      out.append(static_cast<char>(c));
    else
      out.append("&#").append(QByteArray::number(static_cast<quint32>(c))).append(';');
  }
  return out;
}

void Append_Line_End(pugi::xml_node parent) { parent.append_child(pugi::node_pcdata).set_value(Line_End); }

pugi::xml_node Open_Section(pugi::xml_node parent, const char *name) {
  pugi::xml_node section = parent.append_child(name);
  Append_Line_End(section);
  return section;
}

void Append_Element(pugi::xml_node parent, const char *name, const QString &text) {
  pugi::xml_node element = parent.append_child(name);
  if (!text.isEmpty())
    element.text().set(text.toUtf8().constData());
  Append_Line_End(parent);
}

void Append_Elements(pugi::xml_node parent, const std::vector<Header_Element> &elements) {
  for (const Header_Element &e : elements)
    Append_Element(parent, e.name, e.text);
}

void Build_Lurcher_Section(pugi::xml_node root) {
  pugi::xml_node lurcher = Open_Section(root, "lurcher");
  Append_Elements(lurcher, Lurcher_Defaults());
  for (int box = 1; box <= Header_Box_Count; ++box) {
    pugi::xml_node box_node = lurcher.append_child("box");
    box_node.append_attribute("id").set_value(box);
    Append_Line_End(box_node);
    Append_Elements(box_node, Box_Defaults());
    Append_Line_End(lurcher);
  }
}

QString Read_Firmware_Model() {
  auto read_line = [](const char *path) {
    QFile f(QString::fromLatin1(path));
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readLine(256)).trimmed() : QString();
  };
  return (read_line("/sys/class/dmi/id/sys_vendor") + QLatin1Char(' ') + read_line("/sys/class/dmi/id/product_name"))
      .trimmed();
}

QString Manufacturer_Model() {
  if (!Header_Sources::Manufacturer_Model.isEmpty())
    return Header_Sources::Manufacturer_Model;
  static const QString from_firmware = Read_Firmware_Model();
  return from_firmware;
}
} // namespace

Header_Origin Gather_Header_Origin() {
  Header_Origin o;
  o.creation_date = Current_Clock().Local_Now().toString(QStringLiteral("yy-MM-dd hh:mm:ss"));
  o.comp_name = Globals::Computer_Name;
  o.comp_cpuinfo = Globals::CPU_Info;
  o.comp_cpubitness = Globals::CPU_Bitness;
  o.comp_physram = Globals::Mem_Info;
  o.comp_osbitness = Globals::OS_Bitness;
  o.capture_property = Header_Sources::Capture_Property;
  o.capture_source = Header_Sources::Capture_Source;
  o.actual_sample = Header_Sources::Actual_Sample;
  o.comp_manufacturer_model = Manufacturer_Model();
  o.phidget_serial = Header_Sources::Phidget_Serial;
  o.exe_name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
  const App_Version_Info v = App_Version();
  o.prog_major = QString::number(v.major);
  o.prog_minor = QString::number(v.minor);
  o.prog_revision = QString::number(v.revision);
  o.compile_date = Compile_Date_Text();
  o.computer_uptime = Get_Computer_Uptime();
  o.program_uptime = Get_Program_Uptime();
  o.exe_filedate = FileDate();
  o.os_version = Globals::OS_Caption;
  return o;
}

Cls_XML_header::Cls_XML_header() : doc_(std::make_unique<pugi::xml_document>()) {}

Cls_XML_header::~Cls_XML_header() = default;

void Cls_XML_header::Create_Header() {
  Guarded(Location_Create, [&] { Create_Header(Gather_Header_Origin()); });
}

void Cls_XML_header::Create_Header(const Header_Origin &origin) {
  Guarded(Location_Create, [&] {
    doc_->reset();
    pugi::xml_node declaration = doc_->append_child(pugi::node_declaration);
    declaration.append_attribute("version").set_value("1.0");
    declaration.append_attribute("encoding").set_value("iso-8859-1");
    doc_->append_child(pugi::node_comment).set_value("XML file containing QKR QK3 header");

    pugi::xml_node root = Open_Section(*doc_, "QKR_header");
    Append_Elements(Open_Section(root, "file_data"), File_Data_Defaults(origin));
    Append_Line_End(root);
    if (rgb) {
      Append_Elements(Open_Section(root, "RGB_data"), RGB_Data_Defaults());
      Append_Line_End(root);
    }
    // The golf section and the per-stream headers of other products are never built here.
    if (Dog_Race_Switch && Lurcher) {
      Build_Lurcher_Section(root);
      Append_Line_End(root);
    }
    valid_ = true;
    XML_string();
  });
}

QByteArray Cls_XML_header::XML_bytes() {
  return Guarded(Location_Serialize, QByteArray(), [&] {
    // Each top-level node on its own line, as the stored headers have it.
    Byte_Sink sink;
    for (pugi::xml_node node = doc_->first_child(); node; node = node.next_sibling()) {
      if (node.type() == pugi::node_pcdata)
        continue;
      node.print(sink, "", Print_Flags, pugi::encoding_utf8);
      sink.bytes.append(Line_End);
    }
    const QByteArray bytes = Latin1_With_References(QString::fromUtf8(sink.bytes));
    xml_text_ = QString::fromLatin1(bytes);
    return bytes;
  });
}

QString Cls_XML_header::XML_string() {
  XML_bytes();
  return xml_text_;
}

void Cls_XML_header::Set_XML_string(const QString &text) {
  const QByteArray bytes = Latin1_With_References(text);
  const pugi::xml_parse_result result =
      doc_->load_buffer(bytes.constData(), static_cast<size_t>(bytes.size()), Parse_Flags, pugi::encoding_latin1);
  valid_ = static_cast<bool>(result);
  if (!valid_)
    doc_->reset();
}

std::int32_t Cls_XML_header::Len_XML() { return Checked_32(XML_string().size()); }

std::int16_t Cls_XML_header::XML_len() const { return Checked_16(xml_text_.size()); }

void Cls_XML_header::Dump_XML_to_File(const QString &name) {
  Guarded(Location_Dump, [&] {
    const QString path =
        Globals::AppData_Folder + QLatin1Char('/') + (name.isEmpty() ? QStringLiteral("xmldump.xml") : name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
      Raise(Folder_Exists(QFileInfo(path).absolutePath()) ? Err_Permission_Denied : Err_Path_Not_Found,
            file.errorString() + QStringLiteral(": ") + path);
    const QByteArray bytes = XML_bytes();
    if (file.write(bytes) != bytes.size() || !file.flush())
      Raise(Err_Disk_Full, file.errorString() + QStringLiteral(": ") + path);
    file.close();
    Msg_Box(QStringLiteral("XML header dumped to: ") + path);
  });
}

QString Cls_XML_header::Bool_to_XML_string(bool b) { return b ? QStringLiteral("t") : QStringLiteral("f"); }

bool Cls_XML_header::XML_string_to_Bool(const QString &s) { return s == QLatin1String("t") || s == QLatin1String("Y"); }

QString Cls_XML_header::General_Date_Text(const QDateTime &when) {
  const QLocale locale = QLocale::system();
  // The long time form without the time zone, as the stored headers show it.
  QString time_format = locale.timeFormat(QLocale::LongFormat);
  time_format.remove(QRegularExpression(QStringLiteral("\\s*\\bt+\\b")));
  return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
         locale.toString(when.time(), time_format.trimmed());
}
